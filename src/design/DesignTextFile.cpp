#include "design/DesignTextFile.h"

#include "design/DesignControlIds.h"

#include "FileCtrl.h"

#include <cmath>
#include <string_view>

namespace kvpvs::design {

namespace {

// The unit index of a design run: length and force, as the unit block names them.
constexpr int kLengthUnit = 0;
constexpr int kForceUnit = 2;
constexpr const char* kLengthUnitName = "mm";
constexpr const char* kForceUnitName = "N";

// The blanks the reader trims from a field.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Beyond 1e120 the "%.3f" text of a value may pass a field; below, it has at most 125 characters.
bool Writable(double v)
{
    return std::isfinite(v) && (std::fabs(v) < 1e120 || std::snprintf(nullptr, 0, "%.3f", v) <= int{kFieldMax});
}

// A name that opens its line, by NameInFile's rules; besides, a first '*' after blanks becomes
// '+', since the reader takes such a line for a keyword line. Empty when the name is empty or
// blank, as the reader skips a line whose first field is empty: the caller writes its own then.
CString LeadingName(const char* pszName)
{
    CString s = NameInFile(pszName);
    const std::string_view v(s.GetString());
    const size_t i = v.find_first_not_of(" \t\r\n");
    if (i == std::string_view::npos)
        return CString();
    if (v[i] == '*')
        s.SetAt(static_cast<int>(i), '+');
    return s;
}

// The FILEPATH line: the document's path without its extension.
CString ModelPath(CDBDoc* pDoc)
{
    CFileCtrl file;
    file.SetFilePathNameExt(pDoc ? pDoc->GetPathName() : CString());
    return file.GetFilePathName();
}

} // namespace

CString DesignFilePath(CDBDoc* pDoc)
{
    CFileCtrl file;
    file.SetFilePathNameExt(pDoc ? pDoc->GetProgramPath() : CString());
    CString s;
    s.Format("%sKvrDesign.txt", file.GetFilePath().GetString());
    return s;
}

CString CheckerPath(CDBDoc* pDoc)
{
    return (pDoc ? pDoc->GetProgramPath() : CString()) + KVR_DESIGN_CHECKER_NAME;
}

void RunChecker(CDBDoc* pDoc)
{
    CDBLib::RunProgram(CheckerPath(pDoc), "");
}

CDesignUnitScope::CDesignUnitScope(CDBDoc* pDoc) : m_pUnit(CDocCtrl::GetUnitCtrl(pDoc))
{
    if (!m_pUnit)
        return;
    m_pUnit->GetUnitIndexCurrent(m_nSaved);
    int design[4] = {kLengthUnit, kForceUnit, m_nSaved[2], m_nSaved[3]};
    m_pUnit->SetUnitIndexCurrent(design, 1);
}

CDesignUnitScope::~CDesignUnitScope()
{
    if (m_pUnit)
        m_pUnit->SetUnitIndexCurrent(m_nSaved, 1);
}

CString NameInFile(const CString& strName)
{
    CString s = strName;
    s.Replace(",", ";");
    s.Replace("\n", " ");
    // What %s writes: the text up to its first NUL.
    const std::string_view v(s.GetString());
    size_t a = 0, b = v.size();
    while (a < b && IsBlank(v[a]))
        ++a;
    while (b > a && IsBlank(v[b - 1]))
        --b;
    if (b - a <= kFieldMax)
        return s;
    size_t n = kFieldMax;
    while (n > 0 && (static_cast<unsigned char>(v[a + n]) & 0xC0) == 0x80)
        --n;
    return CString(v.data() + a, static_cast<int>(n));
}

bool AllWritable(std::initializer_list<double> values)
{
    for (double v : values)
        if (!Writable(v))
            return false;
    return true;
}

void WriteHeader(FILE* f, bool bBeam)
{
    std::fprintf(f, "%s\n", bBeam ? "*Beam Element Design Result" : "*Solid/Plate Element Design Result");
    std::fprintf(f, "*UNIT ; Unit System\n");
    std::fprintf(f, ";Force, Length\n");
    std::fprintf(f, "%6s,%7s\n", kForceUnitName, kLengthUnitName);
}

bool ModelPathReadsBack(CDBDoc* pDoc)
{
    // The reader ends the line at a line feed, trims its blanks, tabs and CRs and takes a line
    // opening with '*' for a keyword line.
    const CString strPath = ModelPath(pDoc);
    const std::string_view v(strPath.GetString());
    return v.empty() ||
           (v.find('\n') == std::string_view::npos && v.front() != '*' && !IsBlank(v.front()) && !IsBlank(v.back()));
}

void WriteFilePath(FILE* f, CDBDoc* pDoc)
{
    std::fprintf(f, "*FILEPATH ; File Path\n");
    std::fprintf(f, "%s\n", ModelPath(pDoc).GetString());
}

void WriteEndData(FILE* f) { std::fprintf(f, "*ENDDATA\n"); }

bool PlaneIsWritable(const T_LCLDIR_PLNE_KVR_D& p, const CPointInfoMap& mPoint)
{
    if (!AllWritable({p.dCentre[0], p.dCentre[1], p.dCentre[2], p.dXDir[0], p.dXDir[1], p.dXDir[2]}))
        return false;
    for (int k = 0; k < mPoint.GetCount(); ++k)
        if (const T_POINT_D* q = mPoint.PLookup(k); q && !AllWritable({q->X, q->Y, q->Z}))
            return false;
    return true;
}

void WritePlaneLine(FILE* f, const T_LCLDIR_PLNE_KVR_D& p, int nPlane)
{
    CString strName = LeadingName(p.strName);
    if (strName.IsEmpty())
        strName.Format("Plane %d", nPlane);
    std::fprintf(f, ";    Name,      ORG X,      ORG Y,      ORG Z,    DIR X,    DIR Y,    DIR Z \n");
    std::fprintf(f, "%9s, %10.3f, %10.3f, %10.3f, %8.3f, %8.3f, %8.3f\n", strName.GetString(), p.dCentre[0],
                 p.dCentre[1], p.dCentre[2], p.dXDir[0], p.dXDir[1], p.dXDir[2]);
}

void WritePoints(FILE* f, const CPointInfoMap& mPoint)
{
    std::fprintf(f, "*POINT\n");
    std::fprintf(f, ";      ID,             X,             Y,             Z\n");
    for (int k = 0; k < mPoint.GetCount(); ++k) {
        T_POINT_D p;
        if (mPoint.Lookup(k, p))
            std::fprintf(f, "%9d,%14.3f,%14.3f,%14.3f\n", k + 1, p.X, p.Y, p.Z);
    }
}

void WritePlateCells(FILE* f, const CPlateCellInfoMap& mCell)
{
    std::fprintf(f, "*CELL\n");
    std::fprintf(f, ";      ID, POINT1 ID, POINT2 ID, Thickness, Elastic Modulus, Poisson Ratio, Weight Density\n");
    for (int k = 0; k < mCell.GetCount(); ++k) {
        T_PLATE_CELL_D c;
        if (mCell.Lookup(k, c) && AllWritable({c.dThickness, c.dElasticModulus, c.dPoissonRatio, c.dWeightDensity}))
            std::fprintf(f, "%9d, %9d, %9d, %8.3f, %15.3f, %13.3f, %14.3f\n", k + 1, c.nPoint1Id + 1, c.nPoint2Id + 1,
                         c.dThickness, c.dElasticModulus, c.dPoissonRatio, c.dWeightDensity);
    }
}

void WriteSolidCells(FILE* f, const CSolidCellInfoMap& mCell)
{
    std::fprintf(f, "*CELL\n");
    std::fprintf(f, ";      ID, POINT1 ID, POINT2 ID, POINT3 ID, Elastic Modulus, Poisson Ratio, Weight Density\n");
    for (int k = 0; k < mCell.GetCount(); ++k) {
        T_SOLID_CELL_D c;
        if (mCell.Lookup(k, c) && AllWritable({c.dElasticModulus, c.dPoissonRatio, c.dWeightDensity}))
            std::fprintf(f, "%9d, %9d, %9d, %9d, %15.3f, %13.3f, %14.3f\n", k + 1, c.nPoint1Id + 1, c.nPoint2Id + 1,
                         c.nPoint3Id + 1, c.dElasticModulus, c.dPoissonRatio, c.dWeightDensity);
    }
}

void WriteForceSumTitle(FILE* f)
{
    std::fprintf(f, "*FORCESUM\n");
    std::fprintf(f, ";      Load Case Name,             FX,             FY,             FZ,             MX,             MY,"
                    "             MZ\n");
}

void WriteForceSumRow(FILE* f, bool bStepWidth, const char* pszName, unsigned int nStepK, const T_FORCESUM_D& s)
{
    if (!AllWritable({s.FX, s.FY, s.FZ, s.MX, s.MY, s.MZ}))
        return;
    CString strName = LeadingName(pszName);
    if (strName.IsEmpty())
        strName.Format("Step %u", nStepK);
    if (bStepWidth)
        std::fprintf(f, "%21s, %14.3f, %14.3f, %14.3f, %14.3f, %14.3f, %14.3f\n", strName.GetString(), s.FX, s.FY, s.FZ,
                     s.MX, s.MY, s.MZ);
    else
        std::fprintf(f, "%16s, %14.3f, %14.3f, %14.3f, %14.3f, %14.3f, %14.3f\n", strName.GetString(), s.FX, s.FY, s.FZ,
                     s.MX, s.MY, s.MZ);
}

} // namespace kvpvs::design
