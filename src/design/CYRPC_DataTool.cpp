#include "design/CYRPC_DataTool.h"

#include "design/DesignTextFile.h"

#include "afxfile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

using kvpvs::design::kFieldMax;

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

enum class LineRead { Line, End, Fail };

// One line without its line feed; End at the end of the file or at a read error, Fail for a
// line that holds a NUL byte: a design text file is text, and a NUL would hide the rest of its
// line. Reads no further than the line.
LineRead ReadLine(FILE* f, std::string& line)
{
    line.clear();
    char buf[512];
    for (;;) {
        // Filled with other bytes first: a NUL after strlen's can only be fgets's terminator, so
        // strlen's NUL came from the file.
        std::memset(buf, 1, sizeof buf);
        if (!std::fgets(buf, sizeof buf, f))
            return !line.empty() && !std::ferror(f) ? LineRead::Line : LineRead::End;
        const size_t n = std::strlen(buf);
        if (n > 0 && buf[n - 1] == '\n') {
            line.append(buf, n - 1);
            return LineRead::Line;
        }
        if (n + 1 < sizeof buf && std::memchr(buf + n + 1, '\0', sizeof buf - n - 1))
            return LineRead::Fail;
        line.append(buf, n);
    }
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
        n = v.size() < kFieldMax ? v.size() : kFieldMax;
        std::memcpy(sz, v.data(), n);
        sz[n] = '\0';
    }
    size_t n;
    char sz[kFieldMax + 1];
};

// Conversions of one data line: a field that is not a whole number inside int, or not a whole
// finite number, clears ok and gives 0.
struct Fields {
    bool ok = true;
    int Int(std::string_view s)
    {
        const char* p = s.data();
        const char* e = p + s.size();
        if (p != e && *p == '+' && e - p > 1 && p[1] != '-')
            ++p;
        int v = 0;
        const auto r = std::from_chars(p, e, v);
        if (r.ec != std::errc() || r.ptr != e) {
            ok = false;
            return 0;
        }
        return v;
    }
    double Num(std::string_view s)
    {
        const Field f(s);
        char* end = nullptr;
        const double v = f.n > 0 && !std::isspace(static_cast<unsigned char>(f.sz[0])) ? std::strtod(f.sz, &end) : 0.0;
        if (end != f.sz + f.n || !std::isfinite(v)) {
            ok = false;
            return 0.0;
        }
        return v;
    }
};

CString Text(std::string_view s) { return CString(s.data(), static_cast<int>(s.size())); }

// Index of a unit name in its table; 0 for an empty name, -1 for any other name.
int UnitIndex(const char* pszName, const char* const* pNames, int nNames)
{
    if (!pszName || !*pszName)
        return 0;
    for (int i = 0; i < nNames; ++i)
        if (std::strcmp(pszName, pNames[i]) == 0)
            return i;
    return -1;
}

} // namespace

int CYRPC_DataTool::ForceUnitIndex(const char* pszName)
{
    static const char* const names[6] = {"kgf", "tonf", "N", "kN", "lbf", "kips"};
    return UnitIndex(pszName, names, 6);
}

int CYRPC_DataTool::LengthUnitIndex(const char* pszName)
{
    static const char* const names[5] = {"mm", "cm", "m", "in", "ft"};
    return UnitIndex(pszName, names, 5);
}

int CYRPC_DataTool::ReadDesignFile(const char* pszPath)
{
    m_tables.Initialize();
    FILE* f = pszPath ? AfxTextFOpen(pszPath, "rt") : nullptr;
    if (!f)
        return 0;
    const int nResult = kvpvs::design::ReadDesignText(f, m_tables);
    std::fclose(f);
    return nResult;
}

namespace {

// One reading of a design text file into its tables: the block the last keyword opened, the
// variant the first keyword told, the load case and the plane being read.
class DesignTextReader {
public:
    explicit DesignTextReader(T_YRP_CONVERT_TABLE_D& t) : m_t(t) {}
    int Read(FILE* f);

private:
    bool StorePlane();
    void OpenBlock(std::string_view key);
    bool ReadRow(const std::vector<std::string_view>& fl);
    void ReadUnitRow(const std::vector<std::string_view>& fl, Fields& v);
    void ReadBeamRow(const std::vector<std::string_view>& fl, Fields& v);
    void ReadPlaneRow(const std::vector<std::string_view>& fl, Fields& v);

    T_YRP_CONVERT_TABLE_D& m_t;
    Block m_block = Block::None;
    bool m_bVariantKnown = false, m_bBeam = true;
    bool m_bTitleMayFollow = false;
    bool m_bCaseOpen = false;
    CString m_strCase;
    // The plane being read and whether it has force rows yet.
    T_YRP_CONVERT_PLANE m_plane;
    bool m_bPlaneOpen = false, m_bPlaneRows = false;
    int m_nPlaneNo = 0;
};

// False when the plane to be stored has a cell on a point its POINT block did not give.
bool DesignTextReader::StorePlane()
{
    if (m_bPlaneOpen && m_bPlaneRows) {
        const int nPts = m_plane.bPlate ? 2 : 3;
        for (POSITION pos = m_plane.mCell.GetStartPosition(); pos;) {
            int k = 0;
            T_YRP_CONVERT_CELL c;
            m_plane.mCell.GetNextAssoc(pos, k, c);
            for (int i = 0; i < nPts; ++i)
                if (!m_plane.mPoint.PLookup(c.nPointK[i]))
                    return false;
        }
        m_t.mPlane[++m_nPlaneNo] = m_plane;
    }
    if (m_bPlaneRows) {
        m_plane.Initialize();
        m_bPlaneOpen = false;
        m_bPlaneRows = false;
    }
    return true;
}

// The block a keyword line (not ENDDATA) opens.
void DesignTextReader::OpenBlock(std::string_view key)
{
    m_block = Block::None;
    const T_KEYWORD* pKeys = m_bBeam ? kBeamKeys : kPlaneKeys;
    const size_t nKeys = m_bBeam ? std::size(kBeamKeys) : std::size(kPlaneKeys);
    for (size_t k = 0; k < nKeys; ++k)
        if (key.find(pKeys[k].pszKey) != std::string_view::npos) {
            m_block = pKeys[k].block;
            m_bTitleMayFollow = pKeys[k].bTitleFollows;
            break;
        }
    if (m_block == Block::Plane) {
        // A plane begun without force rows is dropped, so that its points and cells are
        // not filed under the next one.
        m_plane.Initialize();
        m_bPlaneOpen = true;
        m_bPlaneRows = false;
        m_plane.bPlate = key.find("PLATEFORCESUM") != std::string_view::npos ? 1 : 0;
        m_t.nVariant = m_plane.bPlate ? 3 : 2;
    }
}

// Each row is stored only when all its fields convert; false when one does not.
bool DesignTextReader::ReadRow(const std::vector<std::string_view>& fl)
{
    Fields v;
    switch (m_block) {
    case Block::None:
    case Block::FilePath:
        break;
    case Block::Unit:
        ReadUnitRow(fl, v);
        break;
    case Block::Section:
    case Block::Material:
    case Block::Attribute:
    case Block::Element:
    case Block::LoadCase:
        ReadBeamRow(fl, v);
        break;
    case Block::Plane:
    case Block::Point:
    case Block::Cell:
    case Block::PlaneSection:
    case Block::ForceSum:
        ReadPlaneRow(fl, v);
        break;
    }
    return v.ok;
}

void DesignTextReader::ReadUnitRow(const std::vector<std::string_view>& fl, Fields& v)
{
    if (fl.size() != 2) {
        v.ok = false;
        return;
    }
    const int nForce = CYRPC_DataTool::ForceUnitIndex(Field(fl[0]).sz);
    const int nLength = CYRPC_DataTool::LengthUnitIndex(Field(fl[1]).sz);
    v.ok = nForce >= 0 && nLength >= 0;
    if (v.ok) {
        m_t.nForceUnit = nForce;
        m_t.nLengthUnit = nLength;
    }
}

void DesignTextReader::ReadBeamRow(const std::vector<std::string_view>& fl, Fields& v)
{
    const size_t n = fl.size();
    T_YRP_CONVERT_TABLE_D& t = m_t;
    switch (m_block) {
    case Block::Section:
        if (n != 15)
            v.ok = false;
        else {
            T_YRP_CONVERT_SECT s;
            s.nType = fl[1] == "Shape" ? 1 : 0;
            s.strName = Text(fl[2]);
            for (int i = 0; i < 6; ++i) {
                s.dValue[i] = v.Num(fl[3 + static_cast<size_t>(i)]);
                s.dDim[i] = v.Num(fl[9 + static_cast<size_t>(i)]);
            }
            const int k = v.Int(fl[0]);
            if (v.ok)
                t.mSect[k] = s;
        }
        break;
    case Block::Material:
        if (n != 5)
            v.ok = false;
        else {
            T_YRP_CONVERT_RCMATL m;
            m.strName = Text(fl[1]);
            for (int i = 0; i < 3; ++i)
                m.dValue[i] = v.Num(fl[2 + static_cast<size_t>(i)]);
            const int k = v.Int(fl[0]);
            if (v.ok)
                t.mMatl[k] = m;
        }
        break;
    case Block::Attribute:
        if (n != 3)
            v.ok = false;
        else {
            const T_YRP_CONVERT_ATTRIBUTE a{v.Int(fl[1]), v.Int(fl[2])};
            const int k = v.Int(fl[0]);
            if (v.ok)
                t.mAttr[k] = a;
        }
        break;
    case Block::Element:
        if (n != 2)
            v.ok = false;
        else {
            const T_YRP_CONVERT_ELEM e{v.Int(fl[1])};
            const int k = v.Int(fl[0]);
            if (v.ok)
                t.mElem[k] = e;
        }
        break;
    case Block::LoadCase:
        if (n == 2) {
            v.Int(fl[0]);
            if (v.ok) {
                m_strCase = Text(fl[1]);
                m_bCaseOpen = true;
                m_bTitleMayFollow = true;
            }
        } else if (n == 13 && m_bCaseOpen) {
            T_YRP_CONVERT_BEAM_LOADCASE c;
            c.strName = m_strCase;
            for (int i = 0; i < 6; ++i) {
                c.dForceI[i] = v.Num(fl[1 + static_cast<size_t>(i)]);
                c.dForceJ[i] = v.Num(fl[7 + static_cast<size_t>(i)]);
            }
            const int k = v.Int(fl[0]);
            if (v.ok)
                t.mBeamLoad[k].aLoadCase.Add(c);
        } else
            v.ok = false;
        break;
    default:
        break;
    }
}

void DesignTextReader::ReadPlaneRow(const std::vector<std::string_view>& fl, Fields& v)
{
    const size_t n = fl.size();
    T_YRP_CONVERT_PLANE& plane = m_plane;
    switch (m_block) {
    case Block::Plane:
        if (n != 7)
            v.ok = false;
        else {
            double d[6];
            for (int i = 0; i < 6; ++i)
                d[i] = v.Num(fl[1 + static_cast<size_t>(i)]);
            if (v.ok) {
                plane.strName = Text(fl[0]);
                std::copy(d, d + 6, plane.dPlane);
            }
        }
        break;
    case Block::Point:
        if (n != 4)
            v.ok = false;
        else {
            const T_YRP_CONVERT_POINT p{v.Num(fl[1]), v.Num(fl[2]), v.Num(fl[3])};
            const int k = v.Int(fl[0]);
            if (v.ok)
                plane.mPoint[k] = p;
        }
        break;
    case Block::Cell:
        if (n != 7)
            v.ok = false;
        else {
            T_YRP_CONVERT_CELL c;
            const int nPts = plane.bPlate ? 2 : 3;
            for (int i = 0; i < nPts; ++i)
                c.nPointK[i] = v.Int(fl[1 + static_cast<size_t>(i)]);
            size_t i = 1 + static_cast<size_t>(nPts);
            if (plane.bPlate)
                c.dThickness = v.Num(fl[i++]);
            c.dElasticModulus = v.Num(fl[i++]);
            c.dPoissonRatio = v.Num(fl[i++]);
            c.dWeightDensity = v.Num(fl[i]);
            const int k = v.Int(fl[0]);
            if (v.ok)
                plane.mCell[k] = c;
        }
        break;
    case Block::PlaneSection:
        if (n != 3)
            v.ok = false;
        else {
            double d[3];
            for (int i = 0; i < 3; ++i)
                d[i] = v.Num(fl[static_cast<size_t>(i)]);
            if (v.ok)
                std::copy(d, d + 3, plane.dSection);
        }
        break;
    case Block::ForceSum:
        if (n != 7)
            v.ok = false;
        else {
            T_YRP_CONVERT_FORCESUM r;
            r.strName = Text(fl[0]);
            for (int i = 0; i < 6; ++i)
                r.dSum[i] = v.Num(fl[1 + static_cast<size_t>(i)]);
            if (v.ok) {
                plane.aForceSum.Add(r);
                m_bPlaneRows = true;
            }
        }
        break;
    default:
        break;
    }
}

int DesignTextReader::Read(FILE* f)
{
    int nResult = 1;
    bool bEnd = false;
    std::string line;
    std::vector<std::string_view> fl;
    for (LineRead r; !bEnd && (r = ReadLine(f, line)) != LineRead::End;) {
        if (r == LineRead::Fail) {
            nResult = 0;
            break;
        }
        // The column-title line after a keyword or a load-case line; anything else is data.
        if (m_bTitleMayFollow) {
            m_bTitleMayFollow = false;
            if (IsTitleLine(line))
                continue;
        }
        const std::string_view whole = Trim(line);
        if (whole.empty())
            continue;
        if (m_block == Block::FilePath && whole[0] != '*') {
            // The model's path is taken whole: it may hold commas and be long.
            m_t.strFilePath = Text(whole);
            continue;
        }
        Split(line, fl);
        if (fl[0].empty())
            continue;

        if (fl[0][0] == '*') {
            const std::string_view key = fl[0];
            if (!m_bBeam && !StorePlane()) {
                nResult = 0;
                break;
            }
            if (!m_bVariantKnown) {
                m_bVariantKnown = true;
                m_bBeam = key.find("Solid/Plate Element") == std::string_view::npos;
            }
            if (key.find("ENDDATA") != std::string_view::npos) {
                bEnd = true;
                break;
            }
            OpenBlock(key);
            continue;
        }
        // Data before any keyword: not a design text file.
        if (!m_bVariantKnown || !ReadRow(fl)) {
            nResult = 0;
            break;
        }
    }
    // A read error is no end of the file, and a file without a keyword line is no design file.
    if (nResult && !bEnd && (std::ferror(f) || !m_bVariantKnown))
        nResult = 0;
    // A plane whose force rows end the file is kept as at a keyword line.
    if (nResult && !bEnd && !m_bBeam && !StorePlane())
        nResult = 0;
    return nResult;
}

} // namespace

namespace kvpvs::design {

int ReadDesignText(FILE* f, T_YRP_CONVERT_TABLE_D& t) { return DesignTextReader(t).Read(f); }

} // namespace kvpvs::design
