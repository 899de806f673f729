#include "visualdata/PVSUserDefRecords.h"

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
