// The member-design dialogs' resources by name: template and control ids of the beam-element
// design dialog and the plate/solid design dialog, the images of the select button, the
// message-table ids of their texts, and the file names of the design hand-off. The dialogs,
// their tests and the demo host drive controls through these names only.
#pragma once

// Template of the beam-element design dialog (CDlgBeamElementDesign).
enum : unsigned int {
    IDD_BEAMELEMENTDESIGN = 14032,
    IDC_BMDS_DESIGN = 14170,          // writes the design text file and starts the checker
    IDC_BMDS_SELECT = 14171,          // starts beam picking; caption: prompt or selection count
    IDC_BMDS_KIND_STAGE = 14172,      // case-kind radio group: construction-stage cases, linear/nonlinear
    IDC_BMDS_KIND_LINEAR = 14173,
    IDC_BMDS_ACAS = 14176,            // construction-stage analysis cases
    IDC_BMDS_GROUP = 14147,
    IDC_BMDS_CASES = 14178,           // check list of the offered load cases
    IDC_BMDS_CLOSE = 2,
    IDC_BMDS_PICK_MORE = 14004,       // the picking base's default controls
    IDC_BMDS_PICK_STATIC1 = 14005,
    IDC_BMDS_PICK_STATIC2 = 14006,
    IDC_BMDS_PICK_RE = 14007,
    IDC_BMDS_PICK_SI = 14008,
    IDC_BMDS_HIDDEN = 14148,
    IDC_BMDS_RCBEAM = 14145,          // hand-off options to the design program: hidden
    IDC_BMDS_RCWALL = 14146,
    IDC_BMDS_NEWDOC = 14034,
};

// Images of the select button.
enum : unsigned int {
    IDB_SELECT_NORMAL = 18006,
    IDB_SELECT_CHECKED = 18007,
    IDB_SELECT_DONE = 18000,
};

// Template of the plate/solid design dialog (CDlgPlateSolidDesign).
enum : unsigned int {
    IDD_PLATESOLIDDESIGN = 14206,
    IDC_PSDS_PLANES = 14181,          // check list of the design planes
    IDC_PSDS_ADD = 14179,             // opens the three-point plane dialog
    IDC_PSDS_DELETE = 14180,          // deletes the checked planes
    IDC_PSDS_KIND_STAGE = 14172,      // case-kind radio group: construction-stage steps, analysis cases
    IDC_PSDS_KIND_LINEAR = 14173,
    IDC_PSDS_ACAS = 14176,
    IDC_PSDS_STEPS = 14178,           // check list of steps or analysis cases
    IDC_PSDS_DESIGN = 14170,
    IDC_PSDS_TEXT = 14171,            // force-sum report of the checked planes and steps
    IDC_PSDS_CLOSE = 2,
    IDC_PSDS_COLOUR1 = 14087,         // the display's three colours
    IDC_PSDS_COLOUR2 = 14088,
    IDC_PSDS_COLOUR3 = 14089,
    IDC_PSDS_GROUP = 14152,
    IDC_PSDS_HIDDEN = 14153,
    IDC_PSDS_RCBEAM = 14150,          // hand-off options to the design program: hidden
    IDC_PSDS_RCWALL = 14151,
    IDC_PSDS_NEWDOC = 14034,
};

// Message-table ids of the design dialogs' texts.
inline constexpr char IDS_KV_PVS_SELECTMGR_SELECT_BEAM_ELEMENT[] = "IDS_KV_PVS_SELECTMGR_SELECT_BEAM_ELEMENT";
inline constexpr char IDS_KV_PVS_SELECTMGR_BEAM_ELEMENTS_SELECTED[] = "IDS_KV_PVS_SELECTMGR_BEAM_ELEMENTS_SELECTED";
inline constexpr char IDS_LBC_NO_SELECTED_ELEMENT[] = "IDS_LBC_NO_SELECTED_ELEMENT";
inline constexpr char IDS_KV_PVS_NOT_RECTANGLE_PLANE[] = "IDS_KV_PVS_NOT_RECTANGLE_PLANE";

// The design text file and the checker, both in the program folder.
inline constexpr char KVR_DESIGN_FILE_NAME[] = "KvrDesign.txt";
inline constexpr char KVR_DESIGN_CHECKER_NAME[] = "KvrDesignCH.exe";

// The link to the member-design program: the link dialog's template and controls.
enum : unsigned int {
    IDD_YRP_LINK = 14034,             // CYRP_LinkDlg, caption "Link YRP"
    IDC_YRP_LINK_LIST = 14170,        // titles of the running design programs
    IDC_YRP_LINK_LINK = 14171,
    IDC_YRP_LINK_CANCEL = 14172,
};

// Message-table ids of the link's texts; LINK_SUCCESS and DELINK_SUCCESS hold one "%s" for the
// design program's window title.
inline constexpr char IDS_KV_PVS_YRP_NON_KVR_DOC[] = "IDS_KV_PVS_YRP_NON_KVR_DOC";
inline constexpr char IDS_KV_PVS_YRP_DO_NOT_SUPPORT_AT_PRESENT[] = "IDS_KV_PVS_YRP_DO_NOT_SUPPORT_AT_PRESENT";
inline constexpr char IDS_KV_PVS_YRP_NONINSTALL[] = "IDS_KV_PVS_YRP_NONINSTALL";
inline constexpr char IDS_KV_PVS_YRP_NONACCESS[] = "IDS_KV_PVS_YRP_NONACCESS";
inline constexpr char IDS_KV_PVS_YRP_LINK_SUCCESS[] = "IDS_KV_PVS_YRP_LINK_SUCCESS";
inline constexpr char IDS_KV_PVS_YRP_DELINK_SUCCESS[] = "IDS_KV_PVS_YRP_DELINK_SUCCESS";
inline constexpr char IDS_KV_PVS_YRP_COMP_YRPDATA[] = "IDS_KV_PVS_YRP_COMP_YRPDATA";
inline constexpr char IDS_KV_PVS_YRP_FAIL_YRPDATA[] = "IDS_KV_PVS_YRP_FAIL_YRPDATA";

// The design program: its executable in its install folder, the registry value naming that
// folder, the title part of its main window, the named mappings it creates (%d: its process id)
// and the commands of the registered message "DMSG_DESIGNCOMMAND_YRP".
inline constexpr char YRP_EXE_NAME[] = "YRP.exe";
inline constexpr char YRP_REGISTRY_KEY[] = "SOFTWARE\\TOVAN\\tovan YRP";
inline constexpr char YRP_REGISTRY_VALUE[] = "InstalledPath";
inline constexpr char YRP_WINDOW_TITLE_PART[] = "tovan YRP";
inline constexpr char YRP_MAP_PROGRAM_NAME[] = "TOVAN_YRP_MEDIATE_PROGRAM_NAME%d";
inline constexpr char YRP_MAP_PROGRAM_VER[] = "TOVAN_YRP_MEDIATE_PROGRAM_VER%d";
inline constexpr char YRP_MAP_MESSAGE_OUT[] = "TOVAN_YRP_MEDIATE_MESSAGE_OUT%d";
inline constexpr char YRP_MAP_SELECT_BY_STR[] = "TOVAN_YRP_SELECT_BY_STR%d";
inline constexpr char YRP_MAP_PROGRESS_TITLE[] = "TOVAN_YRP_MEDIATE_PROGRESS_TITLE%d";
inline constexpr char YRP_MAP_PROGRESS_MESSAGE[] = "TOVAN_YRP_MEDIATE_PROGRESS_MESSAGE%d";
inline constexpr char YRP_MAP_PROGRESS_PERCENT[] = "TOVAN_YRP_MEDIATE_PROGRESS_PERCENT%d";
inline constexpr char YRP_MAP_FILE_NAME[] = "TOVAN_YRP_MEDIATE_FILE_NAME%d";
inline constexpr char YRP_PROGRAM_NAME_TEXT[] = "TOVAN_KVRW";
inline constexpr char YRP_LINK_SUCCESS_TEXT[] = "LINK_SUCCESS";
enum : int {
    YRP_LINK_STATE_NONE = 0,
    YRP_LINK_STATE_LINKED = 21,
    YRP_CMD_CONNECT = 1,
    YRP_CMD_DISCONNECT = 2,
    YRP_CMD_CHECK_LINK = 3,
    YRP_CMD_CREATE_DOCUMENT = 4,
    YRP_CMD_SELECT_BY_STR = 5,
    YRP_CMD_MESSAGE_OUT = 6,
    YRP_CMD_PROGRESS = 7,
    YRP_CMD_COMPLETE_VALUE = 9,
    YRP_CMD_CODE_RCS = 11,
    YRP_CMD_CODE_FND = 21,
    YRP_CMD_CODE_STL = 31,
    YRP_CMD_IMPORT_ALL = 990,
    YRP_CMD_UNDO_REDO_CLEAR = 1001,
    YRP_CMD_VIEW_TYPE = 1002,
    YRP_DESIGN_RC_BEAM = 101,
    YRP_DESIGN_RC_WALL = 103,
};
