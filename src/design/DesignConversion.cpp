// Conversion of the design text file into RC-beam and RC-wall records (CYRPC_DataTool).
// Values pass three unit systems: the default record is made in N and mm, converted into the
// document's units, then into the file's; each record is filled in the file's units and goes
// back into the document's, and the design-data control stores it in the library's.
#include "design/CYRPC_DataTool.h"
#include "design/CYRPDataCtrl.h"

#include "DBDoc.h"
#include "MathFunc.h"
#include "UnitCtrl.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr int kTypeLength = 1;
constexpr int kTypeStress = 17;

struct T_DESIGN_CODE {
    int nCode;
    const char* pszName;
};
const T_DESIGN_CODE kDesignCodes[] = {
    {101, "ACI318-89"},       {102, "AIK-USD94"},     {103, "ACI318-95"},    {104, "KSCE-USD96"},
    {105, "KCI-USD99"},       {106, "ACI318-99"},     {107, "AIK-WSD2K"},    {108, "AIJ-WSD99"},
    {109, "BS8110-97"},       {110, "Eurocode2"},     {111, "GB50010-02"},   {112, "ACI318-02"},
    {113, "CSA-A23.3-94"},    {114, "IS456:2000"},    {115, "TWN-USD92"},    {116, "KCI-USD03"},
    {117, "KSCE-USD05"},      {118, "KSCE-RAIL-USD04"}, {119, "Eurocode2:04"}, {120, "ACI318-05"},
    {121, "KCI-USD07"},       {151, "AASHTO-LRFD02"}, {152, "JTJ023-85"},    {153, "IRC:21-2000"},
    {154, "CSA-S6-00"},       {155, "AASHTO-LFD96"},  {156, "TWN-BRG-LSD90"}, {202, "AIK-SRC2K"},
    {203, "AIJ-SRC01"},       {205, "TWN-SRC92"},
};

// The record-type specifics of the conversion.
struct Beam {
    using Record = T_URBE_D;
    static CString& Name(T_URBE_D& r) { return r.strName; }
    static void Defaults(T_URBE_D& r, const CUnitCtrl& u)
    {
        auto L = [&](double v) { return u.ConvValueTgtUnit2CurUnit(2, 0, kTypeLength, v); };
        r.rbar.dLength[0] = L(100);
        r.rbar.dLength[1] = L(100);
        r.rbar.dCover[0] = L(50);
        r.rbar.dCover[1] = L(50);
        const double b = L(1000), h = L(1000);
        r.sect.dDim[2] = L(1000);
        r.sect.dDim[3] = L(1000);
        r.sect.dDim[4] = L(1000);
        r.sect.SetRectangle(b, h);
    }
    static void Section(T_URBE_D& r, double dDim1, double dDim2, double) { r.sect.SetRectangle(dDim1, dDim2); }
    static void AddLoad(T_URBE_D& r, const CString& strName, const double f[6], double)
    {
        T_YRP_UNITLCOM c;
        c.nType = 1;
        c.nSubType = 1;
        c.strName = strName;
        std::copy(f, f + 6, c.dForce);
        r.load.aLcom.Add(c);
    }
    static void AddService(T_URBE_D& r, T_YRP_UNITLCOM& s) { r.load.aServLcom.Add(s); }
    static int Convert(CYRPDataCtrl& c, T_URBE_D& r, const int f[4], const int t[4]) { return c.ConvertUrbeUnit(r, f, t); }
    static int Store(CYRPDataCtrl& c, const CArray<UINT, UINT>& k, CArray<T_URBE_D, T_URBE_D&>&& a)
    {
        return c.AddUrbeList(k, std::move(a));
    }
};

struct Wall {
    using Record = T_URWA_D;
    static CString& Name(T_URWA_D& r) { return r.strName; }
    static void Defaults(T_URWA_D& r, const CUnitCtrl& u)
    {
        auto L = [&](double v) { return u.ConvValueTgtUnit2CurUnit(2, 0, kTypeLength, v); };
        r.rbar.dCover[0] = L(100);
        r.rbar.dCover[1] = L(100);
        const double b = L(1000), h = L(1000);
        r.sect.SetRectangle(b, h);
    }
    // A wall strip of the reference width w: b = Dim1, h = w.
    static void Section(T_URWA_D& r, double dDim1, double, double w) { r.sect.SetRectangle(dDim1, w); }
    static void AddLoad(T_URWA_D& r, const CString& strName, const double f[6], double dFactor)
    {
        T_URWA_UNITLCOM c;
        c.nType[0] = 1;
        c.nType[1] = 2;
        c.nType[2] = 1;
        c.strName = strName;
        for (int i = 0; i < 6; ++i) {
            c.dForce[i] = f[i] * dFactor;
            c.dDesignForce[i] = f[i] * dFactor;
        }
        r.load.aLcom.Add(c);
    }
    static void AddService(T_URWA_D& r, T_YRP_UNITLCOM& s) { r.load.aServLcom.Add(s); }
    static int Convert(CYRPDataCtrl& c, T_URWA_D& r, const int f[4], const int t[4]) { return c.ConvertUrwaUnit(r, f, t); }
    static int Store(CYRPDataCtrl& c, const CArray<UINT, UINT>& k, CArray<T_URWA_D, T_URWA_D&>&& a)
    {
        return c.AddUrwaList(k, std::move(a));
    }
};

template <class T>
struct Kind;
template <>
struct Kind<T_URBE_D> : Beam {};
template <>
struct Kind<T_URWA_D> : Wall {};

void Point(const T_YRP_CONVERT_PLANE& plane, int nKey, double p[3], bool& bFound)
{
    T_YRP_CONVERT_POINT pt;
    if (!plane.mPoint.Lookup(nKey, pt)) {
        bFound = false;
        return;
    }
    p[0] = pt.X, p[1] = pt.Y, p[2] = pt.Z;
}

// The plane's material (weighted averages of its cells) and section row; false when a weight, a
// sum or an average the records take is not finite (a sum that overflowed would otherwise
// average to 0 or NaN). The weight density is averaged but never stored: it is not checked.
bool PlaneRows(const T_YRP_CONVERT_PLANE& plane, T_YRP_CONVERT_RCMATL& matl, T_YRP_CONVERT_SECT& sect)
{
    double dWeight = 0, dE = 0, dNu = 0, dGamma = 0, dLength = 0, dThickLength = 0;
    POSITION pos = plane.mCell.GetStartPosition();
    while (pos) {
        int nKey = 0;
        T_YRP_CONVERT_CELL c;
        plane.mCell.GetNextAssoc(pos, nKey, c);
        double p[3][3] = {};
        bool bFound = true;
        const int nPts = plane.bPlate ? 2 : 3;
        for (int i = 0; i < nPts; ++i)
            Point(plane, c.nPointK[i], p[i], bFound);
        if (!bFound)
            continue;
        double w;
        if (plane.bPlate) {
            // a cut segment weighs its length times its thickness
            const double L = CMathFunc::mathLength(p[0], p[1]);
            w = L * c.dThickness;
            dLength += L;
            dThickLength += L * c.dThickness;
        } else
            w = CMathFunc::mathArea(p[0], p[1], p[2]);
        dWeight += w;
        dE += w * c.dElasticModulus;
        dNu += w * c.dPoissonRatio;
        dGamma += w * c.dWeightDensity;
    }
    if (dWeight != 0.0) {
        matl.dValue[0] = dE / dWeight;
        matl.dValue[1] = dNu / dWeight;
        matl.dValue[2] = dGamma / dWeight;
    }
    if (plane.bPlate) {
        if (dLength != 0.0) {
            sect.dDim[0] = dThickLength / dLength;
            sect.dDim[1] = dLength;
        }
    } else {
        // SECTION block: area, h, b
        sect.nType = 1;
        sect.dValue[0] = plane.dSection[0];
        sect.dDim[0] = plane.dSection[2];
        sect.dDim[1] = plane.dSection[1];
    }
    for (double d : {dWeight, dE, dNu, dLength, dThickLength, matl.dValue[0], matl.dValue[1], sect.dDim[0], sect.dDim[1]})
        if (!std::isfinite(d))
            return false;
    return true;
}

} // namespace

CString CYRPC_DataTool::GetDesignCodeName(int nCode)
{
    for (const T_DESIGN_CODE& c : kDesignCodes)
        if (c.nCode == nCode)
            return CString(c.pszName);
    return CString();
}

int CYRPC_DataTool::MakeUrcoData(const char*) { return 0; }
int CYRPC_DataTool::MakeUstlData(const char*) { return 0; }

int CYRPC_DataTool::MakeUrbeData(const char* pszPath) { return MakeRecords<T_URBE_D>(pszPath, false); }
int CYRPC_DataTool::MakeUrwaData(const char* pszPath) { return MakeRecords<T_URWA_D>(pszPath, true); }

template <class T>
int CYRPC_DataTool::MakeRecords(const char* pszPath, bool bWall)
{
    using K = Kind<T>;
    if (!m_pOwner || !ReadDesignFile(pszPath))
        return 0;
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    const CUnitCtrl* pUnit = pDoc ? CDocCtrl::GetUnitCtrl(pDoc) : nullptr;
    if (!pUnit)
        return 0;
    const T_YRP_CONVERT_TABLE_D& t = m_tables;
    int aDoc[4];
    pUnit->GetUnitIndexCurrent(aDoc);
    const int aFile[4] = {t.nLengthUnit, t.nForceUnit, 0, 0};

    // The default record, in the document's units, then in the file's.
    T def;
    K::Defaults(def, *pUnit);
    def.sect.strName = "SB";
    def.matl.dValue[0] = pUnit->ConvValueTgtUnit2CurUnit(2, 0, kTypeStress, 27);
    def.matl.dValue[1] = pUnit->ConvValueTgtUnit2CurUnit(2, 0, kTypeStress, 300);
    def.matl.dValue[2] = pUnit->ConvValueTgtUnit2CurUnit(2, 0, kTypeStress, 300);
    T_UCOP_D ucop;
    m_pOwner->GetUcop(ucop);
    T_YRP_MATL_BLOCK_D block;
    if (ucop.strDesignCode == "KSCE-USD05")
        block = ucop.matl[0];
    else if (ucop.strDesignCode == "KSCE-RAIL-USD04")
        block = ucop.matl[1];
    else if (ucop.strDesignCode == "KCI-USD07")
        block = ucop.matl[2];
    def.matl.dValue[4] = block.dValue40;
    def.matl.dValue[5] = block.dValue48;
    K::Convert(*m_pOwner, def, aDoc, aFile);
    if (!AllFinite(def))
        return 0;

    // Walls: a strip one metre wide in the file's length unit; its forces scale by w / Dim2.
    const double w = bWall ? CUnitCtrl::ConvertSrcUnitData2TgtUnit(t.nForceUnit, t.nLengthUnit, 2, 2, kTypeLength, 1.0)
                           : 0.0;
    auto factor = [&](double dDim2) { return bWall && dDim2 > 0.0 ? w / dDim2 : 1.0; };

    // A record is stored only when it is finite in the document's units and stays finite in the
    // library's, into which the store converts it: that is tried on a copy.
    int aLib[4] = {0, 0, 0, 0};
    if (!m_pOwner->GetLibrary()->Get_UnitIndex(aLib[0], aLib[1]))
        return 0;
    T probe;
    auto storable = [&](const T& r) {
        if (!AllFinite(r))
            return false;
        probe = r;
        K::Convert(*m_pOwner, probe, aDoc, aLib);
        return AllFinite(probe);
    };

    // Each record is built where the list holds it, and the list is handed over to be stored.
    CArray<T, T&> aRecs;
    auto finish = [&](T& r, const CString& strName, const T_YRP_CONVERT_RCMATL& matl, const T_YRP_CONVERT_SECT& sect) {
        K::Name(r) = strName;
        if (matl.dValue[0] > 0.0)
            r.matl.dValue[0] = matl.dValue[0];
        r.matl.dValue[3] = matl.dValue[1];
        K::Section(r, sect.dDim[0], sect.dDim[1], w);
        T_YRP_UNITLCOM serv;
        serv.nType = 0;
        serv.nSubType = 2;
        serv.strName = "ServLcom00";
        K::AddService(r, serv);
    };

    if (t.nVariant == 1) {
        std::vector<int> aElem;
        POSITION pos = t.mElem.GetStartPosition();
        while (pos) {
            int nElem = 0;
            T_YRP_CONVERT_ELEM e;
            t.mElem.GetNextAssoc(pos, nElem, e);
            aElem.push_back(nElem);
        }
        if (aElem.empty())
            return 0;
        std::sort(aElem.begin(), aElem.end());
        // The elements whose rows are all found, counted before their records are made.
        struct Rows {
            int nElem;
            const T_YRP_CONVERT_SECT* pSect;
            const T_YRP_CONVERT_RCMATL* pMatl;
            const T_YRP_CONVERT_BEAM_LOAD* pLoad;
        };
        std::vector<Rows> aRows;
        for (int nElem : aElem) {
            const T_YRP_CONVERT_ELEM* pElem = t.mElem.PLookup(nElem);
            const T_YRP_CONVERT_ATTRIBUTE* pAttr = pElem ? t.mAttr.PLookup(pElem->nAttrK) : nullptr;
            const T_YRP_CONVERT_SECT* pSect = pAttr ? t.mSect.PLookup(pAttr->nSectK) : nullptr;
            const T_YRP_CONVERT_RCMATL* pMatl = pAttr ? t.mMatl.PLookup(pAttr->nMatlK) : nullptr;
            const T_YRP_CONVERT_BEAM_LOAD* pLoad = t.mBeamLoad.PLookup(nElem);
            if (pSect && pMatl && pLoad)
                aRows.push_back({nElem, pSect, pMatl, pLoad});
        }
        aRecs.SetSize(static_cast<int>(aRows.size()));
        for (size_t i = 0; i < aRows.size(); ++i) {
            const Rows& row = aRows[i];
            T& r = aRecs[static_cast<int>(i)];
            r = def;
            CString strName;
            strName.Format("Elem_%d", row.nElem);
            finish(r, strName, *row.pMatl, *row.pSect);
            const double f = factor(row.pSect->dDim[1]);
            for (const T_YRP_CONVERT_BEAM_LOADCASE& c : row.pLoad->aLoadCase) {
                CString s;
                s.Format("%s(I)", c.strName.GetString());
                K::AddLoad(r, s, c.dForceI, f);
                s.Format("%s(J)", c.strName.GetString());
                K::AddLoad(r, s, c.dForceJ, f);
            }
            K::Convert(*m_pOwner, r, aFile, aDoc);
            if (!storable(r))
                return 0;
        }
    } else {
        aRecs.SetSize(t.mPlane.GetCount());
        int i = 0;
        POSITION pos = t.mPlane.GetStartPosition();
        while (pos) {
            int nPlane = 0;
            T_YRP_CONVERT_PLANE plane;
            t.mPlane.GetNextAssoc(pos, nPlane, plane);
            T_YRP_CONVERT_RCMATL matl;
            T_YRP_CONVERT_SECT sect;
            if (!PlaneRows(plane, matl, sect))
                return 0;
            T& r = aRecs[i++];
            r = def;
            finish(r, plane.strName, matl, sect);
            const double f = factor(sect.dDim[1]);
            for (const T_YRP_CONVERT_FORCESUM& row : plane.aForceSum)
                K::AddLoad(r, row.strName, row.dSum, f);
            K::Convert(*m_pOwner, r, aFile, aDoc);
            if (!storable(r))
                return 0;
        }
    }

    CArray<UINT, UINT> aKeys;
    aKeys.SetSize(aRecs.GetSize());
    return K::Store(*m_pOwner, aKeys, std::move(aRecs)) ? 1 : 0;
}
