#include "design/CYRPC_DataTool.h"

#include "afxfile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr size_t kFieldMax = 128;

enum class Block {
    None,      // before the first keyword, and after a keyword whose data lines are ignored
    Unit,
    Section,
    Material,
    Attribute,
    Element,
    LoadCase,
    FilePath,
    Plane,
    Point,
    Cell,
    PlaneSection,
    ForceSum,
};

struct T_KEYWORD {
    const char* pszKey;
    Block block;
    bool bTitleFollows;
};

// Looked up by substring in this order: "*SOLIDFORCESUM" holds "FORCESUM" and must be found first.
const T_KEYWORD kBeamKeys[] = {{"UNIT", Block::Unit, true},         {"SECTION", Block::Section, true},
                               {"MATERIAL", Block::Material, true}, {"ATTRIBUTE", Block::Attribute, true},
                               {"ELEMENT", Block::Element, true},   {"LOADCASE", Block::LoadCase, true},
                               {"FILEPATH", Block::FilePath, false}};
const T_KEYWORD kPlaneKeys[] = {{"UNIT", Block::Unit, true},        {"SOLIDFORCESUM", Block::Plane, true},
                                {"PLATEFORCESUM", Block::Plane, true}, {"POINT", Block::Point, true},
                                {"CELL", Block::Cell, true},        {"SECTION", Block::PlaneSection, true},
                                {"FORCESUM", Block::ForceSum, true}, {"FILEPATH", Block::FilePath, false}};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s)
{
    size_t a = 0, b = s.size();
    while (a < b && IsBlank(s[a]))
        ++a;
    while (b > a && IsBlank(s[b - 1]))
        --b;
    return s.substr(a, b - a);
}

// One line without its line feed; false at the end of the file. Reads no further than the line.
bool ReadLine(FILE* f, std::string& line)
{
    line.clear();
    char buf[512];
    while (std::fgets(buf, sizeof buf, f)) {
        const size_t n = std::strlen(buf);
        if (n > 0 && buf[n - 1] == '\n') {
            line.append(buf, n - 1);
            return true;
        }
        line.append(buf, n);
    }
    return !line.empty();
}

// Fields at commas, each trimmed; a field longer than 128 characters gives its first 128 as one
// field, loses the next character and goes on as a new field. The views point into the line.
void Split(std::string_view line, std::vector<std::string_view>& fields)
{
    fields.clear();
    size_t start = 0;
    for (;;) {
        const size_t comma = line.find(',', start);
        std::string_view f = Trim(line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        while (f.size() > kFieldMax) {
            fields.push_back(f.substr(0, kFieldMax));
            f = f.substr(kFieldMax + 1);
        }
        fields.push_back(f);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
}

bool IsTitleLine(const std::string& line)
{
    for (char c : line)
        if (!IsBlank(c))
            return c == ';';
    return false;
}

// A field as its own text: a field is at most 128 characters, so conversions stop at its end.
struct Field {
    explicit Field(std::string_view v)
    {
        const size_t n = v.size() < kFieldMax ? v.size() : kFieldMax;
        std::memcpy(sz, v.data(), n);
        sz[n] = '\0';
    }
    char sz[kFieldMax + 1];
};

int Int(std::string_view s) { return std::atoi(Field(s).sz); }
double Num(std::string_view s) { return std::atof(Field(s).sz); }
CString Text(std::string_view s) { return CString(s.data(), static_cast<int>(s.size())); }

} // namespace

int CYRPC_DataTool::ForceUnitIndex(const char* pszName)
{
    static const char* const names[6] = {"kgf", "tonf", "N", "kN", "lbf", "kips"};
    for (int i = 0; i < 6; ++i)
        if (pszName && std::strcmp(pszName, names[i]) == 0)
            return i;
    return 0;
}

int CYRPC_DataTool::LengthUnitIndex(const char* pszName)
{
    static const char* const names[5] = {"mm", "cm", "m", "in", "ft"};
    for (int i = 0; i < 5; ++i)
        if (pszName && std::strcmp(pszName, names[i]) == 0)
            return i;
    return 0;
}

int CYRPC_DataTool::ReadDesignFile(const char* pszPath)
{
    m_tables.Initialize();
    FILE* f = pszPath ? AfxTextFOpen(pszPath, "rt") : nullptr;
    if (!f)
        return 0;

    T_YRP_CONVERT_TABLE_D& t = m_tables;
    Block block = Block::None;
    bool bVariantKnown = false, bBeam = true;
    bool bTitleMayFollow = false;
    bool bCaseOpen = false;
    CString strCase;
    // The plane being read and whether it has force rows yet.
    T_YRP_CONVERT_PLANE plane;
    bool bPlaneOpen = false, bPlaneRows = false;
    int nPlaneNo = 0;
    auto storePlane = [&] {
        if (bPlaneOpen && bPlaneRows)
            t.mPlane[++nPlaneNo] = plane;
        if (bPlaneRows) {
            plane.Initialize();
            bPlaneOpen = false;
            bPlaneRows = false;
        }
    };

    int nResult = 1;
    bool bEnd = false;
    std::string line;
    std::vector<std::string_view> fl;
    while (!bEnd && ReadLine(f, line)) {
        // The column-title line after a keyword or a load-case line; anything else is data.
        if (bTitleMayFollow) {
            bTitleMayFollow = false;
            if (IsTitleLine(line))
                continue;
        }
        const std::string_view whole = Trim(line);
        if (whole.empty())
            continue;
        if (block == Block::FilePath && whole[0] != '*') {
            // The model's path is taken whole: it may hold commas and be long.
            t.strFilePath = Text(whole);
            continue;
        }
        Split(line, fl);
        if (fl[0].empty())
            continue;
        const size_t n = fl.size();

        if (fl[0][0] == '*') {
            const std::string_view key = fl[0];
            if (!bBeam)
                storePlane();
            if (!bVariantKnown) {
                bVariantKnown = true;
                bBeam = key.find("Solid/Plate Element") == std::string_view::npos;
            }
            if (key.find("ENDDATA") != std::string_view::npos) {
                bEnd = true;
                break;
            }
            block = Block::None;
            const T_KEYWORD* pKeys = bBeam ? kBeamKeys : kPlaneKeys;
            const size_t nKeys = bBeam ? std::size(kBeamKeys) : std::size(kPlaneKeys);
            for (size_t k = 0; k < nKeys; ++k)
                if (key.find(pKeys[k].pszKey) != std::string_view::npos) {
                    block = pKeys[k].block;
                    bTitleMayFollow = pKeys[k].bTitleFollows;
                    break;
                }
            if (block == Block::Plane) {
                // A plane begun without force rows is dropped, so that its points and cells are
                // not filed under the next one.
                plane.Initialize();
                bPlaneOpen = true;
                bPlaneRows = false;
                plane.bPlate = key.find("PLATEFORCESUM") != std::string_view::npos ? 1 : 0;
                t.nVariant = plane.bPlate ? 3 : 2;
            }
            continue;
        }

        switch (block) {
        case Block::None:
        case Block::FilePath:
            break;
        case Block::Unit:
            if (n != 2)
                nResult = 0;
            else {
                t.nForceUnit = ForceUnitIndex(Field(fl[0]).sz);
                t.nLengthUnit = LengthUnitIndex(Field(fl[1]).sz);
            }
            break;
        case Block::Section:
            if (n != 15)
                nResult = 0;
            else {
                T_YRP_CONVERT_SECT s;
                s.nType = fl[1] == "Shape" ? 1 : 0;
                s.strName = Text(fl[2]);
                for (int i = 0; i < 6; ++i) {
                    s.dValue[i] = Num(fl[3 + static_cast<size_t>(i)]);
                    s.dDim[i] = Num(fl[9 + static_cast<size_t>(i)]);
                }
                t.mSect[Int(fl[0])] = s;
            }
            break;
        case Block::Material:
            if (n != 5)
                nResult = 0;
            else {
                T_YRP_CONVERT_RCMATL m;
                m.strName = Text(fl[1]);
                for (int i = 0; i < 3; ++i)
                    m.dValue[i] = Num(fl[2 + static_cast<size_t>(i)]);
                t.mMatl[Int(fl[0])] = m;
            }
            break;
        case Block::Attribute:
            if (n != 3)
                nResult = 0;
            else
                t.mAttr[Int(fl[0])] = T_YRP_CONVERT_ATTRIBUTE{Int(fl[1]), Int(fl[2])};
            break;
        case Block::Element:
            if (n != 2)
                nResult = 0;
            else
                t.mElem[Int(fl[0])] = T_YRP_CONVERT_ELEM{Int(fl[1])};
            break;
        case Block::LoadCase:
            if (n == 2) {
                strCase = Text(fl[1]);
                bCaseOpen = true;
                bTitleMayFollow = true;
            } else if (n == 13 && bCaseOpen) {
                T_YRP_CONVERT_BEAM_LOADCASE c;
                c.strName = strCase;
                for (int i = 0; i < 6; ++i) {
                    c.dForceI[i] = Num(fl[1 + static_cast<size_t>(i)]);
                    c.dForceJ[i] = Num(fl[7 + static_cast<size_t>(i)]);
                }
                t.mBeamLoad[Int(fl[0])].aLoadCase.Add(c);
            } else
                nResult = 0;
            break;
        case Block::Plane:
            if (n != 7)
                nResult = 0;
            else {
                plane.strName = Text(fl[0]);
                for (int i = 0; i < 6; ++i)
                    plane.dPlane[i] = Num(fl[1 + static_cast<size_t>(i)]);
            }
            break;
        case Block::Point:
            if (n != 4)
                nResult = 0;
            else
                plane.mPoint[Int(fl[0])] = T_YRP_CONVERT_POINT{Num(fl[1]), Num(fl[2]), Num(fl[3])};
            break;
        case Block::Cell:
            if (n != 7)
                nResult = 0;
            else {
                T_YRP_CONVERT_CELL c;
                const int nPts = plane.bPlate ? 2 : 3;
                for (int i = 0; i < nPts; ++i)
                    c.nPointK[i] = Int(fl[1 + static_cast<size_t>(i)]);
                size_t v = 1 + static_cast<size_t>(nPts);
                if (plane.bPlate)
                    c.dThickness = Num(fl[v++]);
                c.dElasticModulus = Num(fl[v++]);
                c.dPoissonRatio = Num(fl[v++]);
                c.dWeightDensity = Num(fl[v]);
                plane.mCell[Int(fl[0])] = c;
            }
            break;
        case Block::PlaneSection:
            if (n != 3)
                nResult = 0;
            else
                for (int i = 0; i < 3; ++i)
                    plane.dSection[i] = Num(fl[static_cast<size_t>(i)]);
            break;
        case Block::ForceSum:
            if (n != 7)
                nResult = 0;
            else {
                T_YRP_CONVERT_FORCESUM r;
                r.strName = Text(fl[0]);
                for (int i = 0; i < 6; ++i)
                    r.dSum[i] = Num(fl[1 + static_cast<size_t>(i)]);
                plane.aForceSum.Add(r);
                bPlaneRows = true;
            }
            break;
        }
        if (!nResult)
            break;
    }
    // A plane whose force rows end the file is kept as at a keyword line.
    if (nResult && !bEnd && !bBeam)
        storePlane();
    std::fclose(f);
    return nResult;
}
