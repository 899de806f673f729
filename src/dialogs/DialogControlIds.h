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
    IDC_DEFPLANE_MODE_AXIS = 14156,     // mode radio group: global axis, three points
    IDC_DEFPLANE_MODE_POINTS = 14157,
    IDC_DEFPLANE_AXIS_X = 27537,        // axis radio group: X, Y, Z
    IDC_DEFPLANE_AXIS_Y = 27541,
    IDC_DEFPLANE_AXIS_Z = 27545,
    IDC_DEFPLANE_POS_X = 27540,         // position on each axis
    IDC_DEFPLANE_POS_Y = 27544,
    IDC_DEFPLANE_POS_Z = 27548,
    IDC_DEFPLANE_MIN_X = 27539,         // model range of each axis, read-only
    IDC_DEFPLANE_MIN_Y = 27543,
    IDC_DEFPLANE_MIN_Z = 27547,
    IDC_DEFPLANE_MAX_X = 27538,
    IDC_DEFPLANE_MAX_Y = 27542,
    IDC_DEFPLANE_MAX_Z = 27546,
    IDC_DEFPLANE_PNT1 = 14148,          // point edits 1 to 3
    IDC_DEFPLANE_PNT2 = 14150,
    IDC_DEFPLANE_PNT3 = 14151,
    IDC_DEFPLANE_APPLY = 27508,         // applies the plane (previews the direction symbol)
    IDC_DEFPLANE_REVERSE = 27503,
    IDC_DEFPLANE_SHOW = 27502,
    IDC_DEFPLANE_DYNAMIC = 27536,       // dynamic display check
    IDC_DEFPLANE_PICK1 = 14149,         // the geometry dialog's default buttons, hidden
    IDC_DEFPLANE_PICK2 = 14152,
    IDC_DEFPLANE_PICK3 = 14153,
    IDC_DEFPLANE_PICK4 = 14154,
    IDC_DEFPLANE_PICK5 = 14155,
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

// Template of the flow-path dialog (CDlgFlowPathWKVR).
enum : unsigned int {
    IDD_FLOWPATHWKVR = 14001,
    IDC_FP_RESULTSET = 14001,       // result-set combo, parent of the step combo
    IDC_FP_STEP = 14002,            // step combo, parent of the other-result combo
    IDC_FP_POSITION = 14003,        // start point "x, y, z"
    IDC_FP_PICK1 = 14004,           // the geometry dialog's default buttons, hidden
    IDC_FP_PICK2 = 14005,
    IDC_FP_PICK3 = 14006,
    IDC_FP_PICK4 = 14007,
    IDC_FP_PICK5 = 14008,
    IDC_FP_PLOT = 14009,
    IDC_FP_KEEP = 14010,            // keep previous paths
    IDC_FP_LINE = 14011,            // path type radio group: line, pipe
    IDC_FP_PIPE = 14012,
    IDC_FP_LINE_WIDTH = 14013,
    IDC_FP_PIPE_SCALE = 14014,
    IDC_FP_CONTOUR = 14015,         // colour type radio group: contour, single colour
    IDC_FP_SINGLE = 14016,
    IDC_FP_INT_OPTION = 14017,
    IDC_FP_OTHER_COMBO = 14018,     // other-result combo
    IDC_FP_RESET = 14023,
    IDC_FP_COLOUR = 14024,
    IDC_FP_COLOUR2 = 14025,
    IDC_FP_STEP_LENGTH = 14028,
    IDC_FP_OTHER = 14034,           // other-result check
    IDC_FP_RECORD = 14136,
    IDC_FP_MARKING = 14137,
    IDC_FP_ARROW = 14138,           // mark symbol radio group: line arrow, solid cone, solid sphere
    IDC_FP_CONE = 14139,
    IDC_FP_SPHERE = 14140,
    IDC_FP_SYMBOL_SCALE = 14141,
    IDC_FP_DIVISIONS = 14142,
    IDC_FP_PLAY = 14143,
    IDC_FP_STOP = 14144,
};

// Bitmap resources of the flow-path dialog's Play, Stop and Record buttons.
enum : unsigned int {
    IDB_FP_PLAY = 14008,
    IDB_FP_RECORD = 14009,
    IDB_FP_STOP = 14010,
};

// Template of the flow-discharge dialog (CDlgFlowDiscWKVR).
enum : unsigned int {
    IDD_FLOWDISCWKVR = 14008,
    IDC_FD_CASE = 14078,            // analysis-case combo, parent of the step combo
    IDC_FD_STEP = 14079,
    IDC_FD_DEFINE = 14080,          // opens the origin-normal plane dialog
    IDC_FD_ADD = 14081,
    IDC_FD_DELETE = 14082,          // deletes the checked planes
    IDC_FD_NAME = 14083,
    IDC_FD_LIST = 14084,            // check list of the planes
    IDC_FD_CLOSE2 = 14085,
    IDC_FD_ARROW_SCALE = 14086,
    IDC_FD_VALUE_SCALE = 14087,
    IDC_FD_PLANE_COLOUR = 14088,
    IDC_FD_DECIMAL = 14089,
    IDC_FD_EXPONENTIAL = 14090,
    IDC_FD_SHOW = 14009,
    IDC_FD_CLOSE = 14057,
    IDC_FD_VALUE_COLOUR = 14025,
    IDC_FD_ARROW_COLOUR = 14026,
};

// Template of the flow-quantity dialog (CDlgFlowQuantityTKVR).
enum : unsigned int {
    IDD_FLOWQUANTITYTKVR = 14005,
    IDC_FQ_RESULTSET = 14044,       // result-set combo, parent of the step combo
    IDC_FQ_STEP = 14045,
    IDC_FQ_NODES = 14046,           // node list in the compact notation
    IDC_FQ_CALCULATE = 14047,
    IDC_FQ_TOTAL = 14048,           // the total, "%g"
    IDC_FQ_UNIT = 14049,            // unit label of the total
    IDC_FQ_RESET = 952,
};

// Template of the profile-grid plot dialog (CDlgProfileGridPlot).
enum : unsigned int {
    IDD_PROFILEGRIDPLOT = 14010,
    IDC_PGPLOT_CASE = 14064,         // analysis-case combo, parent of the step combo
    IDC_PGPLOT_XINDEX = 14093,       // x-index combo
    IDC_PGPLOT_YINDEX = 14094,       // y-index combo
    IDC_PGPLOT_STEP = 14099,         // step combo, parent of the component combo
    IDC_PGPLOT_AXIS_X = 14100,       // radio pair: X (0), Y (1)
    IDC_PGPLOT_AXIS_Y = 14101,
    IDC_PGPLOT_COMPONENT = 14102,    // result component combo
    IDC_PGPLOT_GRID = 14103,         // grid combo
    IDC_PGPLOT_LINES = 14104,        // check list of the chosen lines of the grid
    IDC_PGPLOT_SHOW = 14105,
    IDC_PGPLOT_CLOSE = 14106,
    IDC_PGPLOT_XDIV = 14107,
    IDC_PGPLOT_YDIV = 14108,
    IDC_PGPLOT_CONTOUR = 14034,
    IDC_PGPLOT_AREA = 14035,
    IDC_PGPLOT_DYNAMIC = 14116,
    IDC_PGPLOT_ADD = 14015,
    IDC_PGPLOT_DELETE = 14016,
    IDC_PGPLOT_LINE_TABLE = 14017,   // tables of the checked lines
    IDC_PGPLOT_GRID_TABLE = 14018,   // table of the grid
    IDC_PGPLOT_CURVE_FIT = 14019,
};

// Template of the slope factor-of-safety result dialog (CDlgSlopeFOSResult).
enum : unsigned int {
    IDD_SLOPEFOSRESULT = 14017,
    IDC_SFOS_CASE = 14157,          // analysis cases of slope stability
    IDC_SFOS_LIST = 14158,          // slip surfaces with their factors of safety
    IDC_SFOS_CLOSE = 14160,
    IDC_SFOS_FONT = 14161,          // label size level 1 to 6
    IDC_SFOS_MINIMUM = 14162,
    IDC_SFOS_MAXIMUM = 14163,
    IDC_SFOS_WIDTH = 14167,         // line width
    IDC_SFOS_WIDTH_SPIN = 14168,
    IDC_SFOS_COLOUR = 27549,
};
inline constexpr char IDS_KV_PVS_Radius[] = "IDS_KV_PVS_Radius";
inline constexpr char IDS_KV_PVS_FOS[] = "IDS_KV_PVS_FOS";
inline constexpr char IDS_KV_PVS_No[] = "IDS_KV_PVS_No";
inline constexpr char IDS_KV_PVS_Poly_Line[] = "IDS_KV_PVS_Poly_Line";
inline constexpr char IDS_KV_PVS_Error_FOS[] = "IDS_KV_PVS_Error_FOS";
inline constexpr char IDS_KV_PVS_Min[] = "IDS_KV_PVS_Min";
inline constexpr char IDS_KV_PVS_Max[] = "IDS_KV_PVS_Max";

// Template of the result-component combination dialog (CDlgResultCompComb).
enum : unsigned int {
    IDD_RESULTCOMPCOMB = 14011,
    IDC_RCC_STEP = 14108,           // step combo, parent of the result-row combo
    IDC_RCC_SET = 14109,            // output-set combo, parent of the step combo
    IDC_RCC_RESULT = 14110,         // result rows of the step
    IDC_RCC_DATA_LIST = 14111,      // the chosen data rows
    IDC_RCC_EXPRESSION = 14112,
    IDC_RCC_NAME = 14113,
    IDC_RCC_ADD_DATA = 14114,
    IDC_RCC_DEL_DATA = 14115,
    IDC_RCC_DEL_ALL_DATA = 14087,
    IDC_RCC_COMB_LIST = 14116,      // the stored combinations
    IDC_RCC_ADD_COMB = 14083,
    IDC_RCC_DEL_COMB = 14085,
    IDC_RCC_DEL_ALL_COMB = 14086,
    IDC_RCC_CLOSE = 14089,
};

// Message ids of the result-component combination dialog.
inline constexpr char IDS_QB_PVS_Result_Comp_Comb_Data[] = "IDS_QB_PVS_Result_Comp_Comb_Data";
inline constexpr char IDS_QB_PVS_Result_Comp_Comb_Symbol[] = "IDS_QB_PVS_Result_Comp_Comb_Symbol";
inline constexpr char IDS_QB_PVS_Result_Comp_Comb_Analysis_Set[] = "IDS_QB_PVS_Result_Comp_Comb_Analysis_Set";
inline constexpr char IDS_QB_PVS_Result_Comp_Comb_Step[] = "IDS_QB_PVS_Result_Comp_Comb_Step";
inline constexpr char IDS_QB_PVS_Result_Comp_Comb_Combination[] = "IDS_QB_PVS_Result_Comp_Comb_Combination";
inline constexpr char IDS_QB_PVS_Result_Comp_Comb_Expression[] = "IDS_QB_PVS_Result_Comp_Comb_Expression";
inline constexpr char IDS_QB_PVS_Result_Comp_Comb_Error_Symbol_Out_of_Range[] =
    "IDS_QB_PVS_Result_Comp_Comb_Error_Symbol_Out_of_Range";
inline constexpr char IDS_QB_PVS_Result_Comp_Comb_Error_Diff_entity_type[] = "IDS_QB_PVS_Result_Comp_Comb_Error_Diff_entity_type";
inline constexpr char IDS_QB_PVS_Result_Comp_Comb_Error_Diff_result_type[] = "IDS_QB_PVS_Result_Comp_Comb_Error_Diff_result_type";
inline constexpr char IDS_QB_PVS_Result_Comp_Comb_Error_Diff_result_comp[] = "IDS_QB_PVS_Result_Comp_Comb_Error_Diff_result_comp";

// Template of the history-plot dialog (CDlgHistoryPlot).
enum : unsigned int {
    IDD_HISTORYPLOT = 14007,
    IDC_HPLOT_INPUT_FRAME = 14025,      // frame of the input graph
    IDC_HPLOT_INPUT = 14026,            // input waves: acceleration functions, stored graphs of type 6
    IDC_HPLOT_RESPONSE = 14027,         // responses: stored graphs of type 1
    IDC_HPLOT_RESPONSE_FRAME = 14028,   // frame of the response graph
    IDC_HPLOT_INPUT_LABEL = 14071,
    IDC_HPLOT_RESPONSE_LABEL = 14072,
    IDC_HPLOT_HYSTERESIS = 14077,       // opens the hysteresis-plot dialog
    IDC_HPLOT_EXPAND = 14078,           // ">>" expands, "<<" collapses
};

// Template of the hysteresis-plot dialog (CDlgHistoryPlotHyst).
enum : unsigned int {
    IDD_HISTORYPLOTHYST = 14003,
    IDC_HYST_GRAPH = 14074,             // stored graphs of type 2
    IDC_HYST_FRAME = 14075,             // frame of the graph
};

// Template of the history-data dialog (CDlgHistoryData).
enum : unsigned int {
    IDD_HISTORYDATA = 14002,
    IDC_HDATA_LIST = 14014,         // check list of the stored graphs of the chosen type
    IDC_HDATA_TITLE = 14015,
    IDC_HDATA_X_TITLE = 14016,
    IDC_HDATA_Y_TITLE = 14017,
    IDC_HDATA_X_DECIMAL = 14018,
    IDC_HDATA_X_EXPONENTIAL = 14019,
    IDC_HDATA_Y_DECIMAL = 14020,
    IDC_HDATA_Y_EXPONENTIAL = 14021,
    IDC_HDATA_APPLY = 14022,
    IDC_HDATA_XGRAPH = 14070,       // X source of a time graph: time or one stored graph
    IDC_HDATA_TIME_GRAPH = 14073,   // graph-type radio group: time graph, hysteresis graph
    IDC_HDATA_HYST_GRAPH = 14074,
    IDC_HDATA_CLOSE = 2,
};

// Template of the history-plot dialog of the TKVR edition (CDlgHistoryPlotTKVR).
enum : unsigned int {
    IDD_HISTORYPLOTTKVR = 14006,
    IDC_HPTK_DEFORMED = 14034,     // include the deformed shape
    IDC_HPTK_RESULT_TYPE = 14045,
    IDC_HPTK_STEP = 14046,         // time steps of the chosen case, "%g"
    IDC_HPTK_COMPONENT = 14047,
    IDC_HPTK_CLOSE = 14057,
    IDC_HPTK_ANIMATION = 14058,
    IDC_HPTK_INCREMENT = 14059,
    IDC_HPTK_START_TIME = 14060,
    IDC_HPTK_END_TIME = 14061,
    IDC_HPTK_DEFAULT_TIME = 14062,
    IDC_HPTK_TIME_APPLY = 14063,
    IDC_HPTK_CASE = 14064,         // time-history analysis cases
    IDC_HPTK_INPUT = 14065,        // forcing functions
    IDC_HPTK_INPUT_GRAPH = 14066,  // static: frame of the input graph
    IDC_HPTK_OUTPUT = 14067,       // stored functions of the chosen case
    IDC_HPTK_OUTPUT_GRAPH = 14068, // static: frame of the output graph
    IDC_HPTK_DEFINE = 14069,       // asks the host's function editor
    IDC_HPTK_APPLY = 14130,
    IDC_HPTK_IMMEDIATE = 14132,
    IDC_HPTK_LOCAL = 14134,        // axes radio group: local, global
    IDC_HPTK_GLOBAL = 14135,
};

// Message-table ids of the history-plot dialog's result types.
inline constexpr char IDS_PVS_Displacement[] = "IDS_PVS_Displacement";
inline constexpr char IDS_PVS_Velocity[] = "IDS_PVS_Velocity";
inline constexpr char IDS_PVS_Acceleration[] = "IDS_PVS_Acceleration";
// Template of the profile-grid definition dialog (CDlgProfileGridDef).
enum : unsigned int {
    IDD_PROFILEGRIDDEF = 14009,
    IDC_PGDEF_GRIDS = 14084,         // check list of the stored grids
    IDC_PGDEF_WORKPLANE = 14092,     // stored work planes
    IDC_PGDEF_LOWER_LEFT = 14093,    // corner point edits
    IDC_PGDEF_UPPER_RIGHT = 14095,
    IDC_PGDEF_XDIV = 14096,
    IDC_PGDEF_YDIV = 14097,
    IDC_PGDEF_NAME = 14098,
    IDC_PGDEF_PREVIEW = 14010,
    IDC_PGDEF_ADD = 14011,
    IDC_PGDEF_DELETE = 14012,        // deletes the checked grids
    IDC_PGDEF_OK = 14013,
    IDC_PGDEF_CANCEL = 14014,
    IDC_PGDEF_PICK1 = 14008,         // the geometry dialog's default buttons, hidden
    IDC_PGDEF_PICK2 = 14007,
    IDC_PGDEF_PICK3 = 14004,
    IDC_PGDEF_PICK4 = 14006,
    IDC_PGDEF_PICK5 = 14005,
};
inline constexpr char IDS_PVS_Invalid_grid_data[] = "IDS_PVS_Invalid_grid_data";
// Template of the batch picture export dialog (CDlgSaveResultPic).
enum : unsigned int {
    IDD_SAVERESULTPIC = 14016,
    IDC_SRP_TREE = 14147,           // result rows with check boxes
    IDC_SRP_FORMAT = 14171,         // image format combo
    IDC_SRP_AUTO_RANGE = 14148,
    IDC_SRP_MAX = 14149,
    IDC_SRP_MIN = 14150,
    IDC_SRP_DIVISIONS = 14151,
    IDC_SRP_DIVISIONS_SPIN = 14152,
    IDC_SRP_VECTOR_SCALE = 14153,
    IDC_SRP_DEFORM_SCALE = 14155,
    IDC_SRP_REAL_DISP = 14156,
    IDC_SRP_DIAGRAM_SCALE = 14157,
    IDC_SRP_IMAGE_TYPE = 14159,
    IDC_SRP_DEFORMED = 14160,
    IDC_SRP_DEFORMED_DATA = 14161,
    IDC_SRP_WITH_UNDEFORMED = 14162,
    IDC_SRP_VIEW_ISO = 14163,       // view buttons Iso to Right: 14163 to 14170
    IDC_SRP_VIEW_RIGHT = 14170,
    IDC_SRP_VIEW_CURRENT = 14172,
    IDC_SRP_FOLDER = 14173,
    IDC_SRP_PREFIX = 14174,
    IDC_SRP_BROWSE = 14183,
    IDC_SRP_IMPORT = 14145,
    IDC_SRP_EXPORT = 14146,
    IDC_SRP_WORD = 3,               // saves the pictures, then the word-processor document
    IDB_SRP_BROWSE = 14031,         // image of the browse button
};

// Message ids of the batch picture export dialog.
inline constexpr char IDS_ZOR_PVS_Error_No_result_component_is_selected[] =
    "IDS_ZOR_PVS_Error_No_result_component_is_selected";
inline constexpr char IDS_ZOR_PVS_Error_No_view_point_is_selected[] = "IDS_ZOR_PVS_Error_No_view_point_is_selected";
inline constexpr char IDS_ZOR_PVS_RPD_FILTER[] = "IDS_ZOR_PVS_RPD_FILTER";
// Tips of the view buttons, Iso to Current.
inline constexpr char IDS_ZOR_PVS_VIEW_ISO[] = "IDS_ZOR_PVS_VIEW_ISO";
inline constexpr char IDS_ZOR_PVS_VIEW_ISO1[] = "IDS_ZOR_PVS_VIEW_ISO1";
inline constexpr char IDS_ZOR_PVS_VIEW_FRONT[] = "IDS_ZOR_PVS_VIEW_FRONT";
inline constexpr char IDS_ZOR_PVS_VIEW_REAR[] = "IDS_ZOR_PVS_VIEW_REAR";
inline constexpr char IDS_ZOR_PVS_VIEW_TOP[] = "IDS_ZOR_PVS_VIEW_TOP";
inline constexpr char IDS_ZOR_PVS_VIEW_BOTTOM[] = "IDS_ZOR_PVS_VIEW_BOTTOM";
inline constexpr char IDS_ZOR_PVS_VIEW_LEFT[] = "IDS_ZOR_PVS_VIEW_LEFT";
inline constexpr char IDS_ZOR_PVS_VIEW_RIGHT[] = "IDS_ZOR_PVS_VIEW_RIGHT";
inline constexpr char IDS_ZOR_PVS_VIEW_CURRENT[] = "IDS_ZOR_PVS_VIEW_CURRENT";
// Texts of the image-type combo.
inline constexpr char IDS_ZOR_PVS_Contour[] = "IDS_ZOR_PVS_Contour";
inline constexpr char IDS_ZOR_PVS_Vector[] = "IDS_ZOR_PVS_Vector";
inline constexpr char IDS_ZOR_PVS_Contour_Vector[] = "IDS_ZOR_PVS_Contour_Vector";
inline constexpr char IDS_ZOR_PVS_Diagram[] = "IDS_ZOR_PVS_Diagram";

// Message ids of the work-plane record: its default name, and the error of a work plane made
// without its tree node.
inline constexpr char IDS_BASE_User_Defined_WorkPlane[] = "IDS_BASE_User_Defined_WorkPlane";
inline constexpr char IDS_INTERFACE___MSG2[] = "IDS_INTERFACE___MSG2";
