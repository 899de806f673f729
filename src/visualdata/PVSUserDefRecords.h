// The per-display settings records: what the user chose for one display. The dialogs keep
// file-scope defaults of them; the factory copies one into each display it builds. Every
// field is zero until Initialize (or an assignment) gives it its value.
#pragma once
#include "core/KVPvsExport.h"

#include "DBRecords.h"
#include "PVSParams.h"

// Flow discharge through user planes (visual-data type 4, other edition).
struct KV_PVS_API T_VD_FLOWDISC_WPLKVR_D : T_VD_USERDEF_DATA {
    unsigned int nPVtifK = 0;                        // element vector result row
    CArray<T_PVIST_PLNE_D, T_PVIST_PLNE_D&> aPlane;  // cutting planes
    int nColor1 = 0;                                 // first colour (not read by the display)
    int nSectColor = 0;                              // colour of the cut sections
    int nArrowColor = 0;                             // colour of arrows and labels
    double dArrowScale = 0;
    double dFactor2 = 0;                             // not read by the display
    int nWholeNumber = 0;                            // not read by the display
    int nOption = 0;                                 // not read by the display

    T_VD_FLOWDISC_WPLKVR_D() = default;
    T_VD_FLOWDISC_WPLKVR_D(const T_VD_FLOWDISC_WPLKVR_D& src) : T_VD_USERDEF_DATA(src) { *this = src; }
    T_VD_FLOWDISC_WPLKVR_D& operator=(const T_VD_FLOWDISC_WPLKVR_D& src);
    void Initialize();
};

// Flow paths (visual-data type 1).
struct KV_PVS_API T_VD_FLOWPATH_WPLKVR_D : T_VD_USERDEF_DATA {
    unsigned int nFlowPVtifK = 0;        // nodal flow vector result row
    CArray<double, double> aStartX;      // start points; the three arrays have equal length
    CArray<double, double> aStartY;
    CArray<double, double> aStartZ;
    int nColorMode = 0;                  // 0 by value, 1 single colour
    int bKeepPrevious = 0;               // read by the dialog only
    int nPathType = 0;                   // 0 lines, 1 tubes
    double dTubeScale = 0;
    int nLineWidth = 0;
    int nPathColor = 0;
    int nColor2 = 0;                     // not read by the display
    int nIntOption = 0;                  // not read by the display
    int bDrawContour = 0;
    unsigned int nContourPVtifK = 0;
    double dStepOption = 0;              // not read by the display
    int bMarksOn = 0;
    int nSymbolKind = 0;                 // 0 line arrow, 1 solid cone, 2 solid sphere
    double dSymbolScale = 0;
    int nDivisions = 0;                  // marks per path

    T_VD_FLOWPATH_WPLKVR_D() = default;
    T_VD_FLOWPATH_WPLKVR_D(const T_VD_FLOWPATH_WPLKVR_D& src) : T_VD_USERDEF_DATA(src) { *this = src; }
    T_VD_FLOWPATH_WPLKVR_D& operator=(const T_VD_FLOWPATH_WPLKVR_D& src);
    void Initialize();
};

// Slope factor of safety (visual-data type 11).
struct KV_PVS_API T_VD_FOS_TVCKVR_D : T_VD_USERDEF_DATA {
    int nPlotKind = 0;                   // 0 circle with centre grid, 1 polyline
    int nLabelSizeLevel = 0;             // 1 to 6
    int nLineWidth = 0;
    unsigned int nColor = 0;             // 0x00BBGGRR
    int nPlane = 0;                      // 0 X-Y, 1 Y-Z, 2 X-Z
    int nCriticalIndex = 0;
    int nCircleKey = 0;                  // T_LEGR_D key
    double dCentre[3] = {0, 0, 0};
    double dRadius = 0;
    double dArcStart[3] = {0, 0, 0};
    double dArcEnd[3] = {0, 0, 0};
    CArray<T_POINT3D, T_POINT3D&> aGridPoint;
    CArray<double, double> aGridFactor;
    int nPolylineKey = 0;                // T_LEPL_D key; not read by the display
    CArray<T_POINT3D, T_POINT3D&> aPolylinePoint;
    double dPolylineFactor = 0;

    T_VD_FOS_TVCKVR_D() = default;
    T_VD_FOS_TVCKVR_D(const T_VD_FOS_TVCKVR_D& src) : T_VD_USERDEF_DATA(src) { *this = src; }
    T_VD_FOS_TVCKVR_D& operator=(const T_VD_FOS_TVCKVR_D& src);
    void Initialize();
};

// One grid index line of a profile grid.
struct T_SPFG_GRID_IDX_BASE {
    int nDirection = 0;   // 0 X index line, otherwise Y index line
    int nGridIndex = 0;   // from 0
    int nDivision = 0;    // below 1: skipped
    double dPosition = 0; // internal length units; not read by the displays
};

struct KV_PVS_API T_SPFG_GRID_IDX_D {
    CArray<T_SPFG_GRID_IDX_BASE, T_SPFG_GRID_IDX_BASE&> aIdx;
    T_SPFG_GRID_IDX_D() = default;
    T_SPFG_GRID_IDX_D(const T_SPFG_GRID_IDX_D& src) { aIdx.Copy(src.aIdx); }
    T_SPFG_GRID_IDX_D& operator=(const T_SPFG_GRID_IDX_D& src)
    {
        aIdx.Copy(src.aIdx);
        return *this;
    }
};

// Settlement profile grid (visual-data type 5).
struct KV_PVS_API T_VD_PROFGRID_D : T_VD_USERDEF_DATA {
    unsigned int nPVtifK = 0;
    unsigned int nSpfgK = 0;       // T_SPFG_D profile grid
    int bBandContour = 0;
    int bArea = 0;
    T_SPFG_GRID_IDX_D GridIdx;
    int bLengthUnit = 0;

    T_VD_PROFGRID_D() = default;
    T_VD_PROFGRID_D(const T_VD_PROFGRID_D& src) : T_VD_USERDEF_DATA(src) { *this = src; }
    T_VD_PROFGRID_D& operator=(const T_VD_PROFGRID_D& src);
    void Initialize();
};

// Name and axis matrix of one force-sum plane: rows X (the cutting normal), Y, Z.
struct T_VD_LCLDIRSUM_HOB_BASE_D {
    CString strName;
    double dAxis[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
};

struct T_VD_LCLDIRSUM_KVR_BASE_D {
    CString strName;
    double dAxis[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
};

// The fields the two force-sum records share, with the plane-axis entry type as parameter.
template <class AXIS>
struct T_VD_LCLDIRSUM_FIELDS : T_VD_USERDEF_DATA {
    CArray<T_PVIST_PLNE_D, T_PVIST_PLNE_D&> aPlane;
    CArray<AXIS, AXIS&> aAxis;
    int nValueColor = 0;
    int nPlaneColor = 0;
    int nArrowColor = 0;
    double dArrowScale = 0;
    double dValueScale = 0;
    int nValueDecimal = 0;
    int bExponential = 0;
    int nCutKind = 0;          // 0 solid, 1 plate
    int nCompCount = 0;        // 6 solid, 12 plate; 0 = wire mesh only
    int nCompPVtifK[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; // 0 = component not chosen
    int bIncludeText = 0;

    T_VD_LCLDIRSUM_FIELDS() = default;
    T_VD_LCLDIRSUM_FIELDS(const T_VD_LCLDIRSUM_FIELDS& src) : T_VD_USERDEF_DATA(src) { CopyFields(src); }
    T_VD_LCLDIRSUM_FIELDS& operator=(const T_VD_LCLDIRSUM_FIELDS& src)
    {
        CopyFields(src);
        return *this;
    }

    void CopyFields(const T_VD_LCLDIRSUM_FIELDS& src)
    {
        T_VD_USERDEF_DATA::operator=(src);
        aPlane.Copy(src.aPlane);
        aAxis.Copy(src.aAxis);
        nValueColor = src.nValueColor;
        nPlaneColor = src.nPlaneColor;
        nArrowColor = src.nArrowColor;
        dArrowScale = src.dArrowScale;
        dValueScale = src.dValueScale;
        nValueDecimal = src.nValueDecimal;
        bExponential = src.bExponential;
        nCutKind = src.nCutKind;
        nCompCount = src.nCompCount;
        for (int i = 0; i < 12; ++i)
            nCompPVtifK[i] = src.nCompPVtifK[i];
        bIncludeText = src.bIncludeText;
    }
    void InitializeFields()
    {
        nReserved = 0;
        aPlane.RemoveAll();
        aAxis.RemoveAll();
        nValueColor = nPlaneColor = nArrowColor = 0;
        dArrowScale = 1.0;
        dValueScale = 1.0;
        nValueDecimal = 0;
        bExponential = 0;
        nCutKind = 0;
        nCompCount = 0;
        for (int& k : nCompPVtifK)
            k = 0;
        bIncludeText = 1;
    }
};

// Local-direction force sum (visual-data type 8).
struct KV_PVS_API T_VD_LCLDIRSUM_HOB_D : T_VD_LCLDIRSUM_FIELDS<T_VD_LCLDIRSUM_HOB_BASE_D> {
    T_VD_LCLDIRSUM_HOB_D() = default;
    T_VD_LCLDIRSUM_HOB_D(const T_VD_LCLDIRSUM_HOB_D& src) = default;
    T_VD_LCLDIRSUM_HOB_D& operator=(const T_VD_LCLDIRSUM_HOB_D& src)
    {
        CopyFields(src);
        return *this;
    }
    void Initialize() { InitializeFields(); }
};

// Force sum for member design (visual-data type 12): the same fields, then the report's
// append and editor switches. Reset, it writes no report.
struct KV_PVS_API T_VD_LCLDIRSUM_KVR_D : T_VD_LCLDIRSUM_FIELDS<T_VD_LCLDIRSUM_KVR_BASE_D> {
    int bAppend = 0;
    int bEditor = 0;

    T_VD_LCLDIRSUM_KVR_D() = default;
    T_VD_LCLDIRSUM_KVR_D(const T_VD_LCLDIRSUM_KVR_D& src) : T_VD_LCLDIRSUM_FIELDS(src), bAppend(src.bAppend), bEditor(src.bEditor) {}
    T_VD_LCLDIRSUM_KVR_D& operator=(const T_VD_LCLDIRSUM_KVR_D& src)
    {
        CopyFields(src);
        bAppend = src.bAppend;
        bEditor = src.bEditor;
        return *this;
    }
    void Initialize()
    {
        InitializeFields();
        bIncludeText = 0;
        bAppend = 1;
        bEditor = 1;
    }
};

// History plots (visual-data types 3, 6 and 7).
struct KV_PVS_API T_VD_HISTPLOT_TVCKVR_D : T_VD_USERDEF_DATA {
    unsigned int m_nAcasKey = 0;
    int m_nResultType = 0;   // 0 to 12
    int m_bGlobal = 0;
    int m_nComponent = 0;
    int m_nReserved = 0;
    int m_bDeformed = 0;
    int m_nTimeStep = 0;

    T_VD_HISTPLOT_TVCKVR_D() = default;
    T_VD_HISTPLOT_TVCKVR_D(const T_VD_HISTPLOT_TVCKVR_D& src) : T_VD_USERDEF_DATA() { *this = src; }
    // Copies the seven fields; the base part stays the target's.
    T_VD_HISTPLOT_TVCKVR_D& operator=(const T_VD_HISTPLOT_TVCKVR_D& src);
    void Initialize();
    // Type title, component name and current unit text of the record's result type and
    // component; "None" where the vocabulary has no entry.
    void GetResultTypeCompUnit(CString& strType, CString& strComponent, CString& strUnit) const;
};
