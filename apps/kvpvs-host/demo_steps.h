// Demo steps offered to the demo host by their own files: each runs one display of the module on
// the sample document and writes its files into the output folder; 1 done, 0 failed.
#pragma once
#include "DBDoc.h"
namespace kvpvs::sample {
struct SampleSummary;
}

namespace kvpvs::sample {
struct SampleResultFiles;
}

// Force sums over a plane through the soil and one through the wall: writes "LdfsFile.txt"
// (next to the model file, then copied) and "force_sum.png" into the folder.
int RunForceSumDemo(CDBDoc& doc, const char* outDir);
// The force-sum dialog driven as a user: "LdfsFile_dialog.txt" and "force_sum_dialog.png".
int RunForceSumDialogDemo(CDBDoc& doc, const char* outDir);
// Time histories of the sample's shaking case through the engine: three CSV files into the folder.
int RunTimeHistoryDemo(CDBDoc& doc, const char* outDir);
// The history-graph dialog applied to the sample's stored displacement and truss functions:
// the graph window writes "history_graph_displacement.csv" into the folder.
int RunHistoryGraphDemo(CDBDoc& doc, const char* outDir);
// The sample's result files ("sample.ka2", ".ka1", ".KAT1") into the folder's "result_files" subfolder.
int RunResultFilesDemo(CDBDoc& doc, const char* outDir);
// The files the result-files step wrote; null before it did.
const kvpvs::sample::SampleResultFiles* WrittenSampleResultFiles();
// Plate histories in the history-graph dialog: the shaking cases connected with the written
// result files, the four stored plate functions applied; the graph window writes
// "history_graph_plate.csv" into the folder.
int RunPlateHistoryGraphDemo(CDBDoc& doc, const char* outDir);
// Solid histories in the history-graph dialog: the two stored soil functions (a soil element's
// centre Sig-zz beside the wall) applied; the graph window writes "history_graph_solid.csv".
int RunSolidHistoryGraphDemo(CDBDoc& doc, const char* outDir);
// The base slab's histories in the history-graph dialog, on a document of the sample project
// with its base slab: the result files with the slab's PLTH records into the folder's
// "result_files_slab" subfolder, the slab's two stored functions (the centre Mxx of the plate
// beside the wall, modal and direct) applied; the graph window writes "history_graph_slab.csv".
int RunSlabHistoryGraphDemo(const char* outDir);
// Member design from the beam and the plate/solid design dialogs, the output folder as the
// program folder: "KvrDesign.txt", the checker's copies "KvrDesign_<n>.txt" and its record
// "KvrDesignCH.log". hostPath locates the checker built beside the host.
int RunDesignDemo(CDBDoc& doc, const char* outDir, const char* hostPath);
// The curve-fitting dialog on the last stage's settlement trough behind the wall, then on a
// profile of one x: "curve_fit.txt" and "curve_fit.png".
int RunCurveFitDemo(CDBDoc& doc, const kvpvs::sample::SampleSummary& sum, const char* outDir);
// The flow-quantity dialog summing the discharge over the nodes of a section behind the wall;
// the total is printed.
int RunSeepageDialogsDemo(CDBDoc& doc, const char* outDir);
// Seepage of the sample's last stage in the flow-path and flow-discharge dialogs: flow paths from
// two start points ("flow_paths.png"), their marks played, stopped and recorded in 20 frames
// ("flow_marks/frame_NN.png") and the discharge through two planes by the other edition's
// factory ("flow_discharge.png", values printed).
int RunSeepageDemo(CDBDoc& doc, const char* outDir);
// The slope factor-of-safety dialog on the sample's slope cases: the critical circle with its
// trial grid and a polyline slip surface, "slope_fos_circle.png" and "slope_fos_polyline.png".
int RunSlopeDemo(CDBDoc& doc, const char* outDir);
// The link to the member-design program: the beam design file of the member-design step handed
// to the built design program "YRP.exe" in a namespace of its own; its log of imported records
// becomes "YRP_log.txt" in the folder.
int RunDesignLinkDemo(CDBDoc& doc, const char* outDir, const char* hostPath);
// The TKVR history-plot dialog on the modal shaking case at 1.5 s: the nodal displacement on the
// deformed shape, a beam moment diagram and a solid stress plot as "history_plot_displacement.png",
// "history_plot_beam_moment.png" and "history_plot_solid_stress.png".
int RunHistoryPlotDialogDemo(CDBDoc& doc, const char* outDir);
// The sample's stored result graphs in the history-data dialog, time graphs and then the ground's
// loop applied into the host's graph windows ("history_data_time.csv",
// "history_data_hysteresis.csv"), and in the history-plot dialog with its hysteresis dialog: the
// points of their three graphs ("history_plot_graphs.csv").
int RunHistoryDataDemo(CDBDoc& doc, const char* outDir);
// The crack states of the sample's beam struts as a line-event diagram by the other edition's
// factory: "event_diagram.png"; the legend's shares of the four states are printed.
int RunEventDiagramDemo(CDBDoc& doc, const kvpvs::sample::SampleSummary& sum, const char* outDir);
// Displays chosen from the result tree: the last stage's total head as a nodal seepage contour
// ("nodal_seepage.png"), the pile tips ("pile_tips.png") and flow paths over the total-head
// contour from the flow-path dialog ("flow_paths_total_head.png").
int RunHistoryPicturesDemo(CDBDoc& doc, const char* outDir);

// The demo host's document: it answers the batch picture export by rendering each named entry
// offscreen (the row's display built through the factory, its values drawn by the host) in the
// entry's view and writing it into the folder.
class DemoHostDocument : public CDBDoc {
public:
    void SaveResultPictures(const CArray<unsigned int>& aCompKeys, const CStringArray& aFileNames,
                            const T_VIEW_STATUS& viewStatus, CString strFolder) override;
    int m_nPicturesWritten = 0;
};

// Opens a dialog of the module by its class name through the module's launcher (looked up once
// by name): 1 for a name it knows, -1 otherwise or without a launcher.
int OpenModuleDialog(const char* pszName, void* pArgument = nullptr);

// Every dialog of the launcher's tables opened by name ("launcher.txt"), the combination A+B of
// two displacement rows through the modal dialog, the picture settings exported and imported
// ("picture_settings.rpd") and a batch of pictures in views Iso and Front ("pictures/").
int RunLauncherDemo(CDBDoc& doc, const char* outDir);
// The profile-grid plot dialog on the sample's settlement grid at ground level: the grid with
// bands, deformation and the areas of three index lines ("profile_grid.png"), the grid and line
// tables from the table view ("profile_grid_table.csv", "profile_line_table.csv") and the curve
// fit of one line ("profile_curve_fit.txt").
int RunProfileGridDemo(CDBDoc& doc, const char* outDir);
