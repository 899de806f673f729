// Demo step: the curve-fitting dialog on the settlement trough behind the wall. The host opens
// the dialog modally on the last stage's settlement of the surface nodes along one grid line;
// the user reads the cubic at the midpoint, spins the degree up to 5, clicks the deepest part
// of the trough in the graph and closes. Then the host opens it on the settlement down the
// soil at one x: the numerical library stops, reports in the output window, the dialog lists
// the zero polynomial, and the host goes on.
// The listed rows, values and slopes go to "curve_fit.txt", the graph to "curve_fit.png".
#include "demo_steps.h"

#include "GraphPictureVTK.h"
#include "GraphWnd_standin.h"
#include "MsgOut_standin.h"
#include "SampleProfiles.h"
#include "SampleSchema.h"
#include "afx_standin.h"

#include "dialogs/CDlgCurveFitting.h"
#include "dialogs/DialogControlIds.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using kvpvs::sample::ProfilePoint;

// What the user reads in the dialog at one moment.
struct Reading {
    std::string strWhat;
    std::string strDegree, strPosition, strValue, strSlope;
    std::vector<std::vector<std::string>> rows;
};

Reading Read(CDialog* pDlg, const char* pszWhat)
{
    Reading r;
    r.strWhat = pszWhat;
    r.strDegree = AfxDriver::GetText(pDlg, IDC_CURVEFIT_DEGREE).str();
    r.strPosition = AfxDriver::GetText(pDlg, IDC_CURVEFIT_POSITION).str();
    r.strValue = AfxDriver::GetText(pDlg, IDC_CURVEFIT_VALUE).str();
    r.strSlope = AfxDriver::GetText(pDlg, IDC_CURVEFIT_SLOPE).str();
    if (auto* pList = dynamic_cast<CListCtrl*>(pDlg->GetDlgItem(IDC_CURVEFIT_LIST)))
        for (int i = 0; i < pList->GetItemCount(); ++i)
            r.rows.push_back(
                {pList->GetItemText(i, 0).str(), pList->GetItemText(i, 1).str(), pList->GetItemText(i, 2).str()});
    return r;
}

void Write(std::ostream& os, const Reading& r)
{
    os << "-- " << r.strWhat << " (degree " << r.strDegree << ")\n";
    char line[160];
    std::snprintf(line, sizeof line, "   %-6s %-14s %s\n", "term", "coefficient", "derivative");
    os << line;
    for (const auto& row : r.rows) {
        std::snprintf(line, sizeof line, "   %-6s %-14s %s\n", row[0].c_str(), row[1].c_str(), row[2].c_str());
        os << line;
    }
    os << "   position " << r.strPosition << " m: settlement " << r.strValue << " m, slope " << r.strSlope << "\n";
}

// The host's output window during the step: recorded for the report and printed as it comes.
class OutputWindowEcho {
public:
    OutputWindowEcho() : m_previous(MsgOutStandIn::SetEcho(&Print)) { MsgOutStandIn::Reset(); }
    ~OutputWindowEcho() { MsgOutStandIn::SetEcho(m_previous); }
    OutputWindowEcho(const OutputWindowEcho&) = delete;
    OutputWindowEcho& operator=(const OutputWindowEcho&) = delete;

private:
    static void Print(const char* pszText) { std::printf("  output window: %s\n", pszText ? pszText : ""); }
    MsgOutStandIn::Echo m_previous;
};

// Runs the dialog modally on the points with the user's actions already scripted; the
// EndDialog result, or 0 when the module exports no curve-fitting dialog.
int RunDialog(const std::string& strTitle, const std::vector<ProfilePoint>& pts)
{
    // The profile-grid plot dialog that opens it comes with a later module version; until then
    // the host constructs the dialog through its exported constructor, as that dialog would.
    using PFN_CTOR = void (*)(void* pThis, CWnd* pParent);
    auto pfnCtor = reinterpret_cast<PFN_CTOR>(dlsym(RTLD_DEFAULT, "_ZN16CDlgCurveFittingC1EP4CWnd"));
    if (!pfnCtor) {
        std::fprintf(stderr, "kvpvs-host: the module exports no curve-fitting dialog\n");
        AfxDriver::ClearModalScript();
        return 0;
    }
    void* pMem = ::operator new(sizeof(CDlgCurveFitting), std::align_val_t(alignof(CDlgCurveFitting)));
    pfnCtor(pMem, AfxGetMainWnd());
    auto* pDlg = std::launder(static_cast<CDlgCurveFitting*>(pMem));
    pDlg->m_strTitle = strTitle.c_str();
    for (const ProfilePoint& p : pts)
        pDlg->AddPoint(p.x, p.value);
    CDialog* pBase = pDlg;
    const int nResult = pBase->DoModal();
    // Through the base: the module's destructor, reached by the virtual table.
    pBase->~CDialog();
    ::operator delete(pMem, std::align_val_t(alignof(CDlgCurveFitting)));
    AfxDriver::ClearModalScript();
    return nResult;
}

// The graph as the user sees it, saved by the host.
bool SaveGraph(CDialog* pDlg, const fs::path& png, const std::string& strTitle)
{
    std::vector<CGraphWnd*> graphs = GraphWndStandIn::FindIn(pDlg);
    if (graphs.empty())
        return false;
    const CGraphWnd& g = *graphs.front();
    CGraphPictureVTK picture(900, 600);
    picture.SetTitles(strTitle.c_str(), "distance x [m]", "settlement [m]");
    picture.AddCurve(GraphWndStandIn::AddedData(g));
    picture.AddPoints(GraphWndStandIn::Data(g));
    if (GraphWndStandIn::HasMark(g))
        picture.AddMark(GraphWndStandIn::MarkX(g));
    return picture.SavePNG(png.string().c_str()) != 0;
}

} // namespace

int RunCurveFitDemo(CDBDoc& doc, const kvpvs::sample::SampleSummary& sum, const char* outDir)
{
    using namespace kvpvs::sample;
    if (!outDir || sum.aStageK.empty())
        return 0;
    const fs::path out(outDir);
    const double dLineY = 4.0;
    const unsigned int nStepK = sum.aStageK.back();
    std::vector<ProfilePoint> trough;
    const unsigned int nRowK = FindNodeRow(doc, nStepK, kItemDZ);
    if (!nRowK || !ReadProfile(doc, nRowK, SurfaceNodesBehindWall(sum, dLineY), trough) || trough.size() < 2) {
        std::fprintf(stderr, "kvpvs-host: the sample has no settlement trough behind the wall\n");
        return 0;
    }
    T_STAGE_D stage;
    CClassStage(doc.GetModelDB()).Get(nStepK, stage);

    std::ostringstream report;
    char line[160];
    report << "Curve fit of the settlement trough behind the wall\n";
    report << "Stage \"" << stage.strName.GetString() << "\", surface nodes on the grid line y = " << dLineY << " m ("
           << trough.size() << " points)\n";
    for (const ProfilePoint& p : trough) {
        std::snprintf(line, sizeof line, "   node %4u  x = %5.1f m  settlement %.6e m\n", p.nNodeK, p.x, p.value);
        report << line;
    }

    // The deepest point of the trough, where the user clicks the graph.
    double dClickX = trough.front().x, dDeepest = trough.front().value;
    for (const ProfilePoint& p : trough)
        if (p.value < dDeepest) {
            dDeepest = p.value;
            dClickX = p.x;
        }
    dClickX += 0.5;

    const std::string strTitle = "Settlement behind the wall, y = 4 m, last stage";
    const fs::path png = out / "curve_fit.png";
    std::vector<Reading> readings;
    bool bSaved = false;
    int nResult = 0;
    {
        OutputWindowEcho echo;
        AfxDriver::ScriptModal([&](CDialog* d) { readings.push_back(Read(d, "cubic at the midpoint")); });
        AfxDriver::ScriptModal([](CDialog* d) { AfxDriver::Spin(d, IDC_CURVEFIT_SPIN, 1); });
        AfxDriver::ScriptModal([](CDialog* d) { AfxDriver::Spin(d, IDC_CURVEFIT_SPIN, 1); });
        AfxDriver::ScriptModal([&](CDialog* d) { readings.push_back(Read(d, "spun up twice, at the midpoint")); });
        AfxDriver::ScriptModal([&](CDialog* d) {
            std::vector<CGraphWnd*> g = GraphWndStandIn::FindIn(d);
            if (!g.empty())
                GraphWndStandIn::Click(g.front(), dClickX);
            readings.push_back(Read(d, "clicked in the graph"));
            bSaved = SaveGraph(d, png, strTitle);
        });
        AfxDriver::ScriptModal([](CDialog* d) { AfxDriver::Click(d, IDC_CURVEFIT_CLOSE); });
        nResult = RunDialog(strTitle, trough);
        report << "Output window:" << (MsgOutStandIn::Messages().empty() ? " (empty)\n" : "\n")
               << MsgOutStandIn::Text();
    }
    for (const Reading& r : readings)
        Write(report, r);
    int ok = nResult == IDCANCEL && readings.size() == 3 && bSaved;

    // The settlement of the nodes below the surface at x = 20 m: a profile down the soil, every
    // point at one x, so there is no curve to fit along x.
    std::vector<ProfilePoint> station;
    ReadProfile(doc, nRowK, NodesOnVertical(sum, 20.0, dLineY), station);
    report << "\nConstant x: the settlement of the " << station.size()
           << " nodes below the surface at x = 20 m, y = " << dLineY << " m\n";
    std::vector<Reading> stopped;
    {
        OutputWindowEcho echo;
        AfxDriver::ScriptModal([&](CDialog* d) { stopped.push_back(Read(d, "x all equal")); });
        AfxDriver::ScriptModal([](CDialog* d) { AfxDriver::Click(d, IDC_CURVEFIT_CLOSE); });
        const int nStopped = RunDialog("Settlement below x = 20 m", station);
        report << "Output window:" << (MsgOutStandIn::Messages().empty() ? " (empty)\n" : "\n")
               << MsgOutStandIn::Text();
        ok = ok && nStopped == IDCANCEL && stopped.size() == 1 && !MsgOutStandIn::Messages().empty();
    }
    for (const Reading& r : stopped)
        Write(report, r);

    const fs::path txt = out / "curve_fit.txt";
    std::ofstream file(txt);
    file << report.str();
    ok = ok && file.good();
    for (const Reading& r : readings)
        std::printf("  %s: degree %s, at %s m settlement %s m, slope %s\n", r.strWhat.c_str(), r.strDegree.c_str(),
                    r.strPosition.c_str(), r.strValue.c_str(), r.strSlope.c_str());
    for (const Reading& r : stopped)
        std::printf("  %s: degree %s, %zu coefficients listed, settlement %s m, slope %s\n", r.strWhat.c_str(),
                    r.strDegree.c_str(), r.rows.size(), r.strValue.c_str(), r.strSlope.c_str());
    std::printf("curve fit: %s, %s\n", txt.string().c_str(), png.string().c_str());
    return ok;
}
