#include "visualdata/PVSUserDefRecords.h"

#include "PVSUtilFunc.h"

T_VD_FLOWDISC_WPLKVR_D& T_VD_FLOWDISC_WPLKVR_D::operator=(const T_VD_FLOWDISC_WPLKVR_D& src)
{
    T_VD_USERDEF_DATA::operator=(src);
    nPVtifK = src.nPVtifK;
    aPlane.Copy(src.aPlane);
    nColor1 = src.nColor1;
    nSectColor = src.nSectColor;
    nArrowColor = src.nArrowColor;
    dArrowScale = src.dArrowScale;
    dFactor2 = src.dFactor2;
    nWholeNumber = src.nWholeNumber;
    nOption = src.nOption;
    return *this;
}

void T_VD_FLOWDISC_WPLKVR_D::Initialize()
{
    nPVtifK = 0;
    aPlane.RemoveAll();
    nColor1 = nSectColor = nArrowColor = 0;
    dArrowScale = 1.0;
    dFactor2 = 1.0;
    nWholeNumber = 0;
    nOption = 0;
}

T_VD_FLOWPATH_WPLKVR_D& T_VD_FLOWPATH_WPLKVR_D::operator=(const T_VD_FLOWPATH_WPLKVR_D& src)
{
    T_VD_USERDEF_DATA::operator=(src);
    nFlowPVtifK = src.nFlowPVtifK;
    aStartX.Copy(src.aStartX);
    aStartY.Copy(src.aStartY);
    aStartZ.Copy(src.aStartZ);
    nColorMode = src.nColorMode;
    bKeepPrevious = src.bKeepPrevious;
    nPathType = src.nPathType;
    dTubeScale = src.dTubeScale;
    nLineWidth = src.nLineWidth;
    nPathColor = src.nPathColor;
    nColor2 = src.nColor2;
    nIntOption = src.nIntOption;
    bDrawContour = src.bDrawContour;
    nContourPVtifK = src.nContourPVtifK;
    dStepOption = src.dStepOption;
    bMarksOn = src.bMarksOn;
    nSymbolKind = src.nSymbolKind;
    dSymbolScale = src.dSymbolScale;
    nDivisions = src.nDivisions;
    return *this;
}

void T_VD_FLOWPATH_WPLKVR_D::Initialize()
{
    nFlowPVtifK = 0;
    aStartX.RemoveAll();
    aStartY.RemoveAll();
    aStartZ.RemoveAll();
    nColorMode = 0;
    bKeepPrevious = 0;
    nPathType = 0;
    dTubeScale = 1.0;
    nLineWidth = 1;
    nPathColor = 0;
    nColor2 = 0;
    nIntOption = 0;
    bDrawContour = 0;
    nContourPVtifK = 0;
    dStepOption = 0.2;
    bMarksOn = 1;
    nSymbolKind = 0;
    dSymbolScale = 1.0;
    nDivisions = 5;
}

T_VD_FOS_TVCKVR_D& T_VD_FOS_TVCKVR_D::operator=(const T_VD_FOS_TVCKVR_D& src)
{
    T_VD_USERDEF_DATA::operator=(src);
    nPlotKind = src.nPlotKind;
    nLabelSizeLevel = src.nLabelSizeLevel;
    nLineWidth = src.nLineWidth;
    nColor = src.nColor;
    nPlane = src.nPlane;
    nCriticalIndex = src.nCriticalIndex;
    nCircleKey = src.nCircleKey;
    for (int i = 0; i < 3; ++i) {
        dCentre[i] = src.dCentre[i];
        dArcStart[i] = src.dArcStart[i];
        dArcEnd[i] = src.dArcEnd[i];
    }
    dRadius = src.dRadius;
    aGridPoint.Copy(src.aGridPoint);
    aGridFactor.Copy(src.aGridFactor);
    nPolylineKey = src.nPolylineKey;
    aPolylinePoint.Copy(src.aPolylinePoint);
    dPolylineFactor = src.dPolylineFactor;
    return *this;
}

void T_VD_FOS_TVCKVR_D::Initialize()
{
    T_VD_FOS_TVCKVR_D fresh;
    *this = fresh;
    nLabelSizeLevel = 2;
    nLineWidth = 2;
    nColor = 255;
}

T_VD_PROFGRID_D& T_VD_PROFGRID_D::operator=(const T_VD_PROFGRID_D& src)
{
    T_VD_USERDEF_DATA::operator=(src);
    nPVtifK = src.nPVtifK;
    nSpfgK = src.nSpfgK;
    bBandContour = src.bBandContour;
    bArea = src.bArea;
    GridIdx = src.GridIdx;
    bLengthUnit = src.bLengthUnit;
    return *this;
}

void T_VD_PROFGRID_D::Initialize()
{
    nPVtifK = 0;
    nSpfgK = 0;
    bBandContour = 0;
    bArea = 0;
    GridIdx.aIdx.RemoveAll();
    bLengthUnit = 0;
}

T_VD_HISTPLOT_TVCKVR_D& T_VD_HISTPLOT_TVCKVR_D::operator=(const T_VD_HISTPLOT_TVCKVR_D& src)
{
    m_nAcasKey = src.m_nAcasKey;
    m_nResultType = src.m_nResultType;
    m_bGlobal = src.m_bGlobal;
    m_nComponent = src.m_nComponent;
    m_nReserved = src.m_nReserved;
    m_bDeformed = src.m_bDeformed;
    m_nTimeStep = src.m_nTimeStep;
    return *this;
}

void T_VD_HISTPLOT_TVCKVR_D::Initialize()
{
    m_nAcasKey = 0;
    m_nResultType = 0;
    m_bGlobal = 0;
    m_nComponent = 0;
    m_nReserved = 0;
    m_bDeformed = 0;
    m_nTimeStep = 0;
}

namespace {

struct T_HIST_COMP {
    const char* pszName;
    int nUnitType;
};

struct T_HIST_TYPE {
    const char* pszLocal;   // title; also the global one unless pszGlobal is given
    const char* pszGlobal;
    int nCompCount;
    T_HIST_COMP aComp[12];
};

#define KVPVS_NODAL_COMPS(t, r) \
    {{"DX", t}, {"DY", t}, {"DZ", t}, {"RX", r}, {"RY", r}, {"RZ", r}, {"DXYZ", t}, {"RXYZ", r}}

const T_HIST_TYPE g_aHistType[13] = {
    {"DISPLACEMENT", nullptr, 8, KVPVS_NODAL_COMPS(1, 5)},
    {"VELOCITY", nullptr, 8, KVPVS_NODAL_COMPS(22, 32)},
    {"ACCELERATION", nullptr, 8, KVPVS_NODAL_COMPS(21, 49)},
    {"TRUSS FORCE", nullptr, 1, {{"Axial", 2}}},
    {"TRUSS STRESS", nullptr, 1, {{"Axial", 17}}},
    {"BEAM FORCE", nullptr, 6,
     {{"Axial", 2}, {"Shear y", 2}, {"Shear z", 2}, {"Torsion", 12}, {"Moment y", 12}, {"Moment z", 12}}},
    {"BEAM STRESS", nullptr, 12,
     {{"Sax", 17}, {"Ssy", 17}, {"Ssz", 17}, {"Sby+", 17}, {"Sby-", 17}, {"Sbz+", 17}, {"Sbz-", 17},
      {"Comb", 17}, {"Comb 1", 17}, {"Comb 2", 17}, {"Comb 3", 17}, {"Comb 4", 17}}},
    {"PLSTRN STRS(L)", "PLSTRN STRS(G)", 4, {{"Sxx", 17}, {"Syy", 17}, {"Szz", 17}, {"Sxy", 17}}},
    {"PLSTRN STRN(L)", "PLSTRN STRN(G)", 4, {{"Exx", 0}, {"Eyy", 0}, {"Ezz", 0}, {"Exy", 0}}},
    {"SOLID STRS(L)", "SOLID STRS(G)", 6,
     {{"Sxx", 17}, {"Syy", 17}, {"Szz", 17}, {"Sxy", 17}, {"Syz", 17}, {"Sxz", 17}}},
    {"SOLID STRN(L)", "SOLID STRN(G)", 6,
     {{"Exx", 0}, {"Eyy", 0}, {"Ezz", 0}, {"Exy", 0}, {"Eyz", 0}, {"Exz", 0}}},
    {"PLATE UNIT FORCE", nullptr, 8,
     {{"Fxx", 14}, {"Fyy", 14}, {"Fxy", 14}, {"Mxx", 13}, {"Myy", 13}, {"Mxy", 13}, {"Vxx", 14}, {"Vyy", 14}}},
    {"PLATE STRESS", nullptr, 6,
     {{"SxxT", 17}, {"SyyT", 17}, {"SxyT", 17}, {"SxxB", 17}, {"SyyB", 17}, {"SxyB", 17}}},
};

#undef KVPVS_NODAL_COMPS

} // namespace

void T_VD_HISTPLOT_TVCKVR_D::GetResultTypeCompUnit(CString& strType, CString& strComponent, CString& strUnit) const
{
    strType = "None";
    strComponent = "None";
    strUnit = "None";
    int nUnitType = 0;
    if (m_nResultType >= 0 && m_nResultType <= 12) {
        const T_HIST_TYPE& t = g_aHistType[m_nResultType];
        strType = (m_bGlobal != 0 && t.pszGlobal) ? t.pszGlobal : t.pszLocal;
        // Truss rows have one component, whatever index the record carries.
        const int nComp = (m_nResultType == 3 || m_nResultType == 4) ? 0 : m_nComponent;
        if (nComp >= 0 && nComp < t.nCompCount) {
            strComponent = t.aComp[nComp].pszName;
            nUnitType = t.aComp[nComp].nUnitType;
        }
    }
    CPVSUtilFunc::GetCurUnitStr4Legend(nUnitType, strUnit);
}
