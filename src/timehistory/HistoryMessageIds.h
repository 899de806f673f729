// Message-table ids of the time-history reports and of the history plots' progress: per report
// its page head, its max/min title and its column kinds, and the result file's name and the
// editor's title. The history calculations and the history plots' visual data load their texts
// through these names only.
#pragma once

// Column kinds of the element and node reports.
inline constexpr char IDS_QB_PVS_Force[] = "IDS_QB_PVS_Force";
inline constexpr char IDS_QB_PVS_Stress[] = "IDS_QB_PVS_Stress";
inline constexpr char IDS_QB_PVS_Unit_Force[] = "IDS_QB_PVS_Unit_Force";
inline constexpr char IDS_QB_PVS_Displacement[] = "IDS_QB_PVS_Displacement";
inline constexpr char IDS_QB_PVS_Velocity[] = "IDS_QB_PVS_Velocity";
inline constexpr char IDS_QB_PVS_Acceleration[] = "IDS_QB_PVS_Acceleration";

// Page heads (printf formats) of one element's or node's history.
inline constexpr char IDS_QB_PVS__n_ELEM____5d_BEAM__8s_History__Local___[] =
    "IDS_QB_PVS__n_ELEM____5d_BEAM__8s_History__Local___";
inline constexpr char IDS_QB_PVS__n_ELEM____5d_PLATE__8s_History__Local___[] =
    "IDS_QB_PVS__n_ELEM____5d_PLATE__8s_History__Local___";
inline constexpr char IDS_QB_PVS__n_ELEM____5d_PLANE_STRAIN__8s_History__Local___[] =
    "IDS_QB_PVS__n_ELEM____5d_PLANE_STRAIN__8s_History__Local___";
inline constexpr char IDS_QB_PVS__n_ELEM____5d_PLANE_STRESS__8s_History__Local___[] =
    "IDS_QB_PVS__n_ELEM____5d_PLANE_STRESS__8s_History__Local___";
inline constexpr char IDS_QB_PVS__n_ELEM____5d_SOLID__8s_History__Local___[] =
    "IDS_QB_PVS__n_ELEM____5d_SOLID__8s_History__Local___";
inline constexpr char IDS_QB_PVS__n_NODE____5d___10s_History_______UNIT_S[] =
    "IDS_QB_PVS__n_NODE____5d___10s_History_______UNIT_S";

// Titles of the max/min tables over the selection.
inline constexpr char IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Trussses[] =
    "IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Trussses";
inline constexpr char IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Beams___[] =
    "IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Beams___";
inline constexpr char IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plate___[] =
    "IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plate___";
inline constexpr char IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plain_Strain___[] =
    "IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plain_Strain___";
inline constexpr char IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plain_Stress___[] =
    "IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Plain_Stress___";
inline constexpr char IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Solid___[] =
    "IDS_QB_PVS__Maximum_Minimum__s_of_Selected_Solid___";
inline constexpr char IDS_QB_PVS_MaxMin_of_Selected_Nodes[] = "IDS_QB_PVS_MaxMin_of_Selected_Nodes";

// The result file's name, the text editor's title, and the message when the file cannot be made.
inline constexpr char IDS_QB_PVS_TimeHistoryResult[] = "IDS_QB_PVS_TimeHistoryResult";
inline constexpr char IDS_QB_PVS_TIME_HISTORY_RESULTS[] = "IDS_QB_PVS_TIME_HISTORY_RESULTS";
inline constexpr char IDS_QB_PVS_Can_t_create_the_file__[] = "IDS_QB_PVS_Can_t_create_the_file__";

// Progress text while a history plot reads its results.
inline constexpr char IDS_PVS_Reading_Result_Data[] = "IDS_PVS_Reading_Result_Data";
