// What the tests of the link to the member-design program share: a current document with a
// program folder and units of its own, the data library loaded from a chosen folder, design
// text files written with the writers' formats, and the unit factors of the physical units.
#pragma once
#include "TempDir.h"

#include "DBDoc.h"
#include "UnitCtrl.h"
#include "afx_standin.h"
#include "windows.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace kvpvs::test {

// Newtons per force unit (kgf, tonf, N, kN, lbf, kips) and millimetres per length unit (mm, cm,
// m, in, ft), from their definitions.
inline double NewtonsPer(int f)
{
    const double a[6] = {9.80665, 9806.65, 1.0, 1000.0, 0.45359237 * 9.80665, 453.59237 * 9.80665};
    return a[f];
}
inline double MillimetresPer(int l)
{
    const double a[5] = {1.0, 10.0, 1000.0, 25.4, 304.8};
    return a[l];
}
// A value of force exponent nf and length exponent nl from (f1, l1) units into (f2, l2) units.
inline double Convert(double v, int nf, int nl, int f1, int l1, int f2, int l2)
{
    return v * std::pow(NewtonsPer(f1) / NewtonsPer(f2), nf) * std::pow(MillimetresPer(l1) / MillimetresPer(l2), nl);
}

// Loads the data library from this folder (the built one unless told otherwise) while it lives.
class LibraryFolder {
public:
    explicit LibraryFolder(const char* pszFolder = KVPVS_YRP_FOLDER) { Win32SetModuleFolder(pszFolder); }
    ~LibraryFolder() { Win32SetModuleFolder(nullptr); }
    LibraryFolder(const LibraryFolder&) = delete;
    LibraryFolder& operator=(const LibraryFolder&) = delete;
};

// The current document: its program folder is a scratch folder, its unit index the one given
// (length, force).
class CurrentDocument {
public:
    explicit CurrentDocument(int nLength = 2, int nForce = 3) : dir("kvpvs_yrp")
    {
        doc.SetProgramPath((dir.path() + "/").c_str());
        SetUnits(nLength, nForce);
        CZORDocBase::SetCurDoc(&doc);
    }
    ~CurrentDocument() { CZORDocBase::SetCurDoc(nullptr); }
    CurrentDocument(const CurrentDocument&) = delete;
    CurrentDocument& operator=(const CurrentDocument&) = delete;
    void SetUnits(int nLength, int nForce)
    {
        const int a[4] = {nLength, nForce, 0, 0};
        CDocCtrl::GetUnitCtrl(&doc)->SetUnitIndexCurrent(a, 1);
    }
    std::string Program() const { return dir.path() + "/"; }
    kvpvs::testing::TempDir dir;
    CDBDoc doc;
};

inline const char* ForceName(int f)
{
    const char* a[6] = {"kgf", "tonf", "N", "kN", "lbf", "kips"};
    return a[f];
}
inline const char* LengthName(int l)
{
    const char* a[5] = {"mm", "cm", "m", "in", "ft"};
    return a[l];
}

// A beam design file written with the writer's formats.
struct BeamElementRow {
    int nElem;
    int nAttr;
};
struct BeamCase {
    int nKey;
    std::string strName;
    // element number, then 12 end forces
    std::vector<std::vector<double>> rows;
};
struct BeamFile {
    int nForce = 2, nLength = 0;
    // key, name, Area, Dim1, Dim2
    struct Sect {
        int nKey;
        const char* pszName;
        double dArea, dDim1, dDim2;
    };
    struct Matl {
        int nKey;
        const char* pszName;
        double dE, dNu, dGamma;
    };
    struct Attr {
        int nKey, nSect, nMatl;
    };
    std::vector<Sect> sects;
    std::vector<Matl> matls;
    std::vector<Attr> attrs;
    std::vector<BeamElementRow> elems;
    std::vector<BeamCase> cases;

    bool Write(const std::string& strPath) const
    {
        FILE* f = std::fopen(strPath.c_str(), "w");
        if (!f)
            return false;
        std::fprintf(f, "*Beam Element Design Result\n*UNIT ; Unit System\n;Force, Length\n");
        std::fprintf(f, "%6s,%7s\n", ForceName(nForce), LengthName(nLength));
        std::fprintf(f, "*SECTION ; Section\n;   ID,   TYPE,    NAME,     Area,       Ix,       Iy,       Iz,       "
                        "Ay,       Az,     Dim1,     Dim2,     Dim3,     Dim4,     Dim5,     Dim6\n");
        for (const Sect& s : sects)
            std::fprintf(f,
                         "%6d,%7s,%8s, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, "
                         "%8.3f\n",
                         s.nKey, "Value", s.pszName, s.dArea, 1.0, 1.0, 1.0, 1.0, 1.0, s.dDim1, s.dDim2, 0.0, 0.0, 0.0, 0.0);
        std::fprintf(f, "*MATERIAL ; Material\n;   ID,    Name,           E, Poisson's Ratio, Weight Density\n");
        for (const Matl& m : matls)
            std::fprintf(f, "%6d,%8s, %8.3f, %14.3f, %14.3f\n", m.nKey, m.pszName, m.dE, m.dNu, m.dGamma);
        std::fprintf(f, "*ATTRIBUTE ; Attribute\n;   ID, SECTION ID, MATERIAL ID\n");
        for (const Attr& a : attrs)
            std::fprintf(f, "%6d, %10d, %11d\n", a.nKey, a.nSect, a.nMatl);
        std::fprintf(f, "*ELEMENT ; Element\n;    ID, ATTRIBUTE ID\n");
        for (const BeamElementRow& e : elems)
            std::fprintf(f, "%7d, %12d\n", e.nElem, e.nAttr);
        std::fprintf(f, "*LOADCASE\n;   ID, Load Case Name\n");
        for (const BeamCase& c : cases) {
            std::fprintf(f, "%6d, %16s\n", c.nKey, c.strName.c_str());
            std::fprintf(f, ";ElementID,      Fxi,      Fyi,      Fzi,      Mxi,      Myi,      Mzi,      Fxj,      Fyj,"
                            "      Fzj,      Mxj,      Myj,      Mzj\n");
            for (const auto& r : c.rows)
                std::fprintf(f,
                             "%10d, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, "
                             "%8.3f\n",
                             static_cast<int>(r[0]), r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[8], r[9], r[10], r[11],
                             r[12]);
        }
        std::fprintf(f, "*FILEPATH ; File Path\n/projects/model.kvr\n*ENDDATA\n");
        return std::fclose(f) == 0;
    }
};

} // namespace kvpvs::test
