// The module's dialog resources by name: per dialog its template id and control ids (IDD_/IDC_,
// one block per template, as the resource script would name them), the main-window commands a
// closing display dialog sends, the message-table ids of the dialogs' texts, and the names of
// the window messages the module registers. The dialogs, their tests and the demo host drive
// controls and messages through these names only. Control ids are unique within a template,
// not across templates, hence the per-dialog prefixes.
#pragma once

// Template of the local-direction force-sum dialog (CDlgLclDirForSum).
enum : unsigned int {
    IDD_LCLDIRFORSUM = 14207,
    IDC_LDFS_CASE = 14078,          // analysis-case combo, parent of the step combo
    IDC_LDFS_STEP = 14079,          // step combo
    IDC_LDFS_DEFINE = 14080,
    IDC_LDFS_ADD = 14081,           // opens the three-point plane dialog
    IDC_LDFS_DELETE = 14082,        // deletes the checked planes
    IDC_LDFS_NAME = 14083,
    IDC_LDFS_LIST = 14084,          // check list of the stored planes
    IDC_LDFS_CLOSE2 = 14085,
    IDC_LDFS_ARROW_SCALE = 14086,
    IDC_LDFS_VALUE_SCALE = 14087,
    IDC_LDFS_PLANE_COLOUR = 14088,
    IDC_LDFS_DECIMAL = 14089,
    IDC_LDFS_EXPONENTIAL = 14090,
    IDC_LDFS_SHOW = 14009,          // shows the force sums over the checked planes
    IDC_LDFS_TEXT = 14010,
    IDC_LDFS_CLOSE = 14057,
    IDC_LDFS_VALUE_COLOUR = 14025,
    IDC_LDFS_ARROW_COLOUR = 14026,
    IDC_LDFS_SOLID = 14201,
    IDC_LDFS_PLATE = 14202,
    IDC_LDFS_INCLUDE_TEXT = 14303,
};

// Template of the three-point plane dialog (CPVSDlgDefThreePointPlane).
enum : unsigned int {
    IDD_DEFTHREEPOINTPLANE = 14205,
    IDC_THREEPT_NAME = 14215,       // plane name
    IDC_THREEPT_SOLID = 14304,      // element-type radio group: solid, plate
    IDC_THREEPT_PLATE = 14305,
    IDC_THREEPT_PNT1 = 14207,       // point edits 1 to 3
    IDC_THREEPT_PNT2 = 14209,
    IDC_THREEPT_PNT3 = 14210,
    IDC_THREEPT_APPLY = 14206,
    IDC_THREEPT_OK = 14203,
    IDC_THREEPT_CANCEL = 14205,
    IDC_THREEPT_PREVIEW = 14216,
    IDC_THREEPT_REVERSE = 14217,
    IDC_THREEPT_LABEL = 14218,
    IDC_THREEPT_SIM = 14208,        // the geometry dialog's default buttons
    IDC_THREEPT_RE = 14211,
    IDC_THREEPT_DETAIL = 14212,
    IDC_THREEPT_MARK = 14213,
    IDC_THREEPT_HELP = 14214,
};

// Template of the 3-D cutting-plane dialog (CKVPVSDlgDefPlane).
enum : unsigned int {
    IDD_DEFPLANE = 14013,
};

// WM_COMMAND ids sent to the host's main window when a display dialog closes, with the
// mesh-manager bridge in a mode and without; what they do is the host's.
enum : unsigned int {
    ID_MAINWND_CLOSE_DISPLAY_BRDGMODE = 0x8420,
    ID_MAINWND_CLOSE_DISPLAY = 0x8322,
};

// Message-table ids of the dialogs' texts.
inline constexpr char IDS_KV_PVS_LOCAL_DIRECTION_FORCE_SUM_DEFAULT_NAME[] = "IDS_KV_PVS_LOCAL_DIRECTION_FORCE_SUM_DEFAULT_NAME";
inline constexpr char IDS_KV_PVS_NO_RESULT_EXIST_CURRENT_STEP[] = "IDS_KV_PVS_NO_RESULT_EXIST_CURRENT_STEP";
inline constexpr char IDS_KV_PVS_No_RESULT_CDFS[] = "IDS_KV_PVS_No_RESULT_CDFS";
inline constexpr char IDS_KV_PVS_SELECTED_PLANE_ERR[] = "IDS_KV_PVS_SELECTED_PLANE_ERR";

// Names of the window messages the module registers at load.
inline constexpr char DMSG_DESIGNCOMMAND_YRP_NAME[] = "DMSG_DESIGNCOMMAND_YRP";

// Template of the history-graph dialog (CDlgHistoryGrphTKVR).
enum : unsigned int {
    IDD_HISTORYGRPHTKVR = 14004,
    IDC_HGRPH_FUNC_LIST = 14028,    // check list of every stored time-history function
    IDC_HGRPH_DEFINE = 14029,       // asks the host's function editor
    IDC_HGRPH_PLOT_LIST = 14030,    // check list of the functions chosen for the graph
    IDC_HGRPH_ADD = 14031,
    IDC_HGRPH_DELETE = 14032,
    IDC_HGRPH_XAXIS = 14033,        // X-axis source: time or one function
    IDC_HGRPH_Y_DECIMAL = 14035,
    IDC_HGRPH_Y_EXPONENTIAL = 14036,
    IDC_HGRPH_TITLE = 14037,
    IDC_HGRPH_X_TITLE = 14038,
    IDC_HGRPH_Y_TITLE = 14039,
    IDC_HGRPH_X_DECIMAL = 14040,
    IDC_HGRPH_X_EXPONENTIAL = 14041,
    IDC_HGRPH_APPLY = 14042,
    IDC_HGRPH_CLOSE = 14043,
};

// WM_COMMAND id sent to the host's main window to open its time-history function editor.
enum : unsigned int {
    ID_MAINWND_DEFINE_TH_FUNCTIONS = 0x843F,
};

// Message-table ids of the history-graph dialog's texts.
inline constexpr char IDS_QB_PVS_THST_TFunc_has_not_Time_History_Key[] = "IDS_QB_PVS_THST_TFunc_has_not_Time_History_Key";
inline constexpr char IDS_QB_PVS_Time_sec_[] = "IDS_QB_PVS_Time_sec_";

// Template of the curve-fitting dialog (CDlgCurveFitting).
enum : unsigned int {
    IDD_CURVEFITTING = 14012,
    IDC_CURVEFIT_TITLE = 14117,      // static: the caller's title
    IDC_CURVEFIT_POSITION = 14118,   // edit: position
    IDC_CURVEFIT_VALUE = 14119,      // edit: fitted value at the position
    IDC_CURVEFIT_SLOPE = 14120,      // edit: slope at the position
    IDC_CURVEFIT_POS_UNIT = 14121,   // unit label of the position
    IDC_CURVEFIT_VALUE_UNIT = 14122, // unit label of the value
    IDC_CURVEFIT_DEGREE = 14123,     // edit: polynomial degree
    IDC_CURVEFIT_UNUSED = 14124,     // edit outside the visible area
    IDC_CURVEFIT_SPIN = 14125,       // spin of the degree
    IDC_CURVEFIT_LIST = 14127,       // coefficient list
    IDC_CURVEFIT_GRAPH = 14129,      // static: frame of the graph window
    IDC_CURVEFIT_APPLY = 14130,      // evaluates at the typed position
    IDC_CURVEFIT_CLOSE = 2,
};

// Column texts of the curve-fitting dialog's coefficient list.
inline constexpr char IDS_QB_PVS_Settlement_SIMU_VO[] = "IDS_QB_PVS_Settlement_SIMU_VO";
inline constexpr char IDS_QB_PVS_Settlement_SIMU_F[] = "IDS_QB_PVS_Settlement_SIMU_F";
inline constexpr char IDS_QB_PVS_Settlement_SIMU_FP[] = "IDS_QB_PVS_Settlement_SIMU_FP";
