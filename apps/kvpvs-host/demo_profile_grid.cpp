// Demo step: the profile-grid dialogs driven as a user drives them. In the definition dialog the
// user chooses the work plane at ground level, types the corners, divisions and name of the
// settlement grid, previews it and adds it. Then the user opens the plot dialog, picks the last construction stage and its
// settlement DZ, adds three index lines of the grid (y = 2 along the pit and the trough behind
// the wall, x = 5 in the pit, x = 18 in the trough), ticks them and presses Show: the host builds
// the display through the module's factory (bands on the deformed grid, the profiles with their
// areas) and saves "profile_grid.png". The two table buttons fill the host's table view, which
// the host writes as "profile_grid_table.csv" and "profile_line_table.csv". Last the user selects
// the line y = 2 and opens the curve fitting, reads the cubic, spins the degree up to 5 and
// closes; the fit and its tables go to "profile_curve_fit.txt".
#include "demo_steps.h"
#include "demo_support.h"

#include "UserDefDisplayHost.h"

#include "DBDoc.h"
#include "DBModelRecords.h"
#include "GeomDialog.h"
#include "GraphWnd_standin.h"
#include "PVSMeshMngrBrdg.h"
#include "PVSRendererBase.h"
#include "PostGeneralTable.h"
#include "PostVisualState.h"
#include "SampleProfileGrid.h"
#include "SampleSchema.h"
#include "UnitCtrl.h"
#include "ZORViewBase.h"
#include "afx_standin.h"
#include "afxcmn.h"

#include "dialogs/DialogControlIds.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The model's bounding box: the display scales its deformation and diagrams by its size.
void ModelBounds(CDBDoc& doc, double bb[6])
{
    CClassNode cls(doc.GetModelDB());
    CArray<unsigned int, unsigned int> keys;
    cls.GetKeyList(keys);
    for (int k = 0; k < 6; ++k)
        bb[k] = 0.0;
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_NODE_D n;
        cls.Get(keys[i], n);
        for (int k = 0; k < 3; ++k) {
            bb[2 * k] = i == 0 ? n.dXyz[k] : std::min(bb[2 * k], n.dXyz[k]);
            bb[2 * k + 1] = i == 0 ? n.dXyz[k] : std::max(bb[2 * k + 1], n.dXyz[k]);
        }
    }
}

// The visual-state fields the step changes, put back when it ends.
class VisualStateScope {
public:
    VisualStateScope()
    {
        CPostVisualState* p = CPostVisualState::Instance();
        m_all = *p->GetCurrentPA();
        m_symb = *p->GetCurrentPS();
    }
    ~VisualStateScope()
    {
        CPostVisualState* p = CPostVisualState::Instance();
        *p->GetCurrentPA() = m_all;
        *p->GetCurrentPS() = m_symb;
    }
    VisualStateScope(const VisualStateScope&) = delete;
    VisualStateScope& operator=(const VisualStateScope&) = delete;

private:
    T_PVIST_ALL_D m_all;
    T_PVIST_SYMB_D m_symb;
};

std::string CsvField(const CString& s)
{
    std::string t = s.GetString();
    if (t.find_first_of(",\"") == std::string::npos)
        return t;
    std::string q = "\"";
    for (char c : t)
        q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

// One stored table as CSV rows: its column titles, then its cells; pszFirst (when given) is put
// in front of every row as the first field.
void WriteTable(std::ostream& os, const T_POST_GENR_TABL_D& t, const char* pszFirstTitle, const CString* pFirst)
{
    auto lead = [&](bool bTitle) {
        if (pFirst)
            os << (bTitle ? std::string(pszFirstTitle) : CsvField(*pFirst)) << ',';
    };
    lead(true);
    for (int c = 0; c < t.nCols; ++c)
        os << (c ? "," : "") << CsvField(t.aColTitle[c]);
    os << '\n';
    for (int r = 0; r < t.nRows; ++r) {
        lead(false);
        for (int c = 0; c < t.nCols; ++c)
            os << (c ? "," : "") << CsvField(t.Cell(r, c));
        os << '\n';
    }
}

// The last tables the host's table view was asked to open, as the user sees them: one table
// under its title, or several under their names.
bool WriteShownTables(const fs::path& csv, size_t nShownBefore, bool bNamed)
{
    const auto& shown = ICustomPostDB::Instance()->m_aShown;
    if (shown.size() != nShownBefore + 1)
        return false;
    const ICustomPostDB::T_TABLE_VIEW_D& v = shown.back();
    std::ofstream file(csv);
    bool bHeader = true;
    for (size_t i = 0; i < v.aKey.size(); ++i) {
        const T_POST_GENR_TABL_D* t = IPostGeneralTableData::Instance()->GetTable(v.aKey[i]);
        if (!t)
            return false;
        if (!bNamed) {
            WriteTable(file, *t, nullptr, nullptr);
            continue;
        }
        std::ostringstream rows;
        WriteTable(rows, *t, "Line", &v.aName[i]);
        std::string s = rows.str();
        // One header for all lines.
        if (!bHeader)
            s.erase(0, s.find('\n') + 1);
        bHeader = false;
        file << s;
    }
    std::printf("  table view \"%s\": %zu table(s) -> %s\n", v.strTitle.GetString(), v.aKey.size(),
                csv.filename().string().c_str());
    return file.good() && !v.aKey.empty();
}

// What the user reads in the curve-fitting dialog at one moment.
struct FitReading {
    std::string strWhat, strTitle, strDegree, strPosition, strValue, strSlope;
    std::vector<std::vector<std::string>> rows;
    std::vector<T_GRPH_D> points, curve;
};

FitReading ReadFit(CDialog* pDlg, const char* pszWhat)
{
    FitReading r;
    r.strWhat = pszWhat;
    r.strTitle = AfxDriver::GetText(pDlg, IDC_CURVEFIT_TITLE).str();
    r.strDegree = AfxDriver::GetText(pDlg, IDC_CURVEFIT_DEGREE).str();
    r.strPosition = AfxDriver::GetText(pDlg, IDC_CURVEFIT_POSITION).str();
    r.strValue = AfxDriver::GetText(pDlg, IDC_CURVEFIT_VALUE).str();
    r.strSlope = AfxDriver::GetText(pDlg, IDC_CURVEFIT_SLOPE).str();
    if (auto* pList = dynamic_cast<CListCtrl*>(pDlg->GetDlgItem(IDC_CURVEFIT_LIST)))
        for (int i = 0; i < pList->GetItemCount(); ++i)
            r.rows.push_back(
                {pList->GetItemText(i, 0).str(), pList->GetItemText(i, 1).str(), pList->GetItemText(i, 2).str()});
    std::vector<CGraphWnd*> g = GraphWndStandIn::FindIn(pDlg);
    if (!g.empty()) {
        r.points = GraphWndStandIn::Data(*g.front());
        r.curve = GraphWndStandIn::AddedData(*g.front());
    }
    return r;
}

void WriteFit(std::ostream& os, const FitReading& r)
{
    char line[200];
    os << "-- " << r.strWhat << " (degree " << r.strDegree << ")\n";
    std::snprintf(line, sizeof line, "   %-6s %-16s %s\n", "term", "coefficient", "derivative");
    os << line;
    for (const auto& row : r.rows) {
        std::snprintf(line, sizeof line, "   %-6s %-16s %s\n", row[0].c_str(), row[1].c_str(), row[2].c_str());
        os << line;
    }
    os << "   at position " << r.strPosition << ": value " << r.strValue << ", slope " << r.strSlope << "\n";
    os << "   fitted curve, " << r.curve.size() << " points drawn:\n";
    const size_t nStep = std::max<size_t>(1, r.curve.size() / 12);
    for (size_t i = 0; i < r.curve.size(); i += nStep) {
        std::snprintf(line, sizeof line, "   %10.4f %14.6e\n", r.curve[i].dX, r.curve[i].dY);
        os << line;
    }
}

// A picture is blank when it holds no more than an empty render of the same size does: PNG
// compresses a uniform picture to a small fraction of one with content.
bool IsBlank(const fs::path& png, const fs::path& empty)
{
    std::error_code ec;
    const auto nPicture = fs::file_size(png, ec);
    if (ec)
        return true;
    const auto nEmpty = fs::file_size(empty, ec);
    return ec || nPicture < 3 * nEmpty;
}

// The user's session in the grid-definition dialog: the ground-level work plane chosen, the
// corners typed (in output lengths), the divisions and the name, Preview, Add and OK. The key of
// the added grid; 0 when it was not added.
unsigned int DefineGrid(CDBDoc& doc, CView& view, kvpvs::sample::ProfileGridSummary& grid)
{
    const gp_Ax3 planeBefore = doc.GetCurrentWorkPlane();
    grid.nPlaneTag = kvpvs::sample::EnsureGroundWorkPlane(doc);
    CWnd* pDlg = OpenModuleDialog("CDlgProfileGridDef") == 1 ? FindOwnedWindow(&view, "CDlgProfileGridDef") : nullptr;
    if (!pDlg) {
        std::fprintf(stderr, "kvpvs-host: the profile-grid definition dialog did not open\n");
        return 0;
    }
    auto* pPlanes = dynamic_cast<CComboBox*>(pDlg->GetDlgItem(IDC_PGDEF_WORKPLANE));
    int nPlane = -1;
    for (int i = 0; pPlanes && i < pPlanes->GetCount(); ++i)
        if (static_cast<int>(pPlanes->GetItemData(i)) == grid.nPlaneTag)
            nPlane = i;
    const CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(&doc);
    auto corner = [pUnit](const double p[3]) {
        char sz[96];
        auto out = [pUnit](double d) { return pUnit ? pUnit->ConvertUnitLengthOut(d) : d; };
        const std::array<double, 3> q = Moved(p[0], p[1], p[2]);
        std::snprintf(sz, sizeof sz, "%.17g, %.17g, %.17g", out(q[0]), out(q[1]), out(q[2]));
        return std::string(sz);
    };
    const int nPreviewsBefore = static_cast<int>(CAISContext::Of(&doc)->GetTempIObjects().size());
    bool ok = nPlane >= 0 && AfxDriver::Select(pDlg, IDC_PGDEF_WORKPLANE, nPlane) &&
              AfxDriver::SetText(pDlg, IDC_PGDEF_LOWER_LEFT, corner(grid.dLowerLeft).c_str()) &&
              AfxDriver::SetText(pDlg, IDC_PGDEF_UPPER_RIGHT, corner(grid.dUpperRight).c_str()) &&
              AfxDriver::SetText(pDlg, IDC_PGDEF_XDIV, std::to_string(grid.nDivX).c_str()) &&
              AfxDriver::SetText(pDlg, IDC_PGDEF_YDIV, std::to_string(grid.nDivY).c_str()) &&
              AfxDriver::SetText(pDlg, IDC_PGDEF_NAME, grid.strName.c_str()) &&
              AfxDriver::Click(pDlg, IDC_PGDEF_PREVIEW);
    const bool bPreviewed = static_cast<int>(CAISContext::Of(&doc)->GetTempIObjects().size()) > nPreviewsBefore;
    ok = ok && bPreviewed && AfxDriver::Click(pDlg, IDC_PGDEF_ADD);
    auto* pGrids = dynamic_cast<CListBox*>(pDlg->GetDlgItem(IDC_PGDEF_GRIDS));
    unsigned int nGridK = 0;
    for (int i = 0; ok && pGrids && i < pGrids->GetCount(); ++i) {
        CString s;
        pGrids->GetText(i, s);
        if (s == grid.strName.c_str())
            nGridK = static_cast<unsigned int>(pGrids->GetItemData(i));
    }
    std::printf("  grid definition: \"%s\" on work plane %d, %d x %d cells, previewed %s, key %u\n",
                grid.strName.c_str(), grid.nPlaneTag, grid.nDivX, grid.nDivY, bPreviewed ? "yes" : "no", nGridK);
    AfxDriver::Click(pDlg, IDC_PGDEF_OK);
    doc.SetCurrentWorkPlane(planeBefore);
    return nGridK;
}

} // namespace

int RunProfileGridDemo(CDBDoc& doc, const char* outDir)
{
    if (!outDir)
        return 0;
    // The stage whose settlement is shown: the last construction stage.
    CArray<unsigned int, unsigned int> aStageK;
    CClassStage(doc.GetModelDB()).GetKeyList(aStageK);
    T_PLSIF_D lastStep;
    unsigned int nLastK = 0;
    for (int i = 0; i < aStageK.GetSize(); ++i) {
        T_PLSIF_D s;
        if (CClassPLsif(doc.GetPostDB()).Get(aStageK[i], s) && s.nOsifK == kvpvs::sample::kOsetStages &&
            aStageK[i] > nLastK) {
            nLastK = aStageK[i];
            lastStep = s;
        }
    }
    if (nLastK == 0) {
        std::fprintf(stderr, "kvpvs-host: the sample has no construction stage\n");
        return 0;
    }

    CView* pViewBefore = doc.GetActiveView();
    CZORViewBase view;
    view.CreateWindowCore(nullptr);
    view.MoveWindow(0, 120, 1000, 750);
    doc.SetActiveView(&view);
    kvpvs::sample::ProfileGridSummary grid = kvpvs::sample::SampleProfileGridDefinition();
    grid.nGridK = DefineGrid(doc, view, grid);
    if (grid.nGridK == 0) {
        std::fprintf(stderr, "kvpvs-host: the sample's profile grid was not added\n");
        doc.SetActiveView(pViewBefore);
        view.DestroyWindow();
        return 0;
    }
    CPVSMeshMngrBrdgBase* pBridgeBefore = CPVSMeshMngrBrdgBase::m_pMySelf;
    auto pBridge = std::make_unique<CPVSMeshMngrBrdg>();
    pBridge->SetWnd(&view);
    double bb[6];
    ModelBounds(doc, bb);
    pBridge->SetBounds(bb);
    CPVSRendererVTK renderer(1000, 750);
    // From the front and above, the pit on the left.
    const double dDir[3] = {0.35, 0.9, -1.1}, dUp[3] = {0, 0, 1};
    renderer.SetViewDirection(dDir, dUp);
    kvpvs::host::CUserDefDisplayHost host(&renderer);
    host.InstallDoc(doc);

    // The user's display settings: the grid deformed, the model's feature edges, the profiles
    // coloured by value and turned over (settlement stands up out of the ground, where its area
    // label is not hidden by the grid), areas with four decimals.
    VisualStateScope state;
    T_PVIST_ALL_D* pVS = CPostVisualState::Instance()->GetCurrentPA();
    T_PVIST_SYMB_D* pSymb = CPostVisualState::Instance()->GetCurrentPS();
    pVS->nShapeMode = 2;
    pVS->dDeformScale = 1.0;
    pVS->nDispMode = 3;
    pVS->nColor = 0x00808080;
    pVS->vals.nDecimal = 4;
    pVS->vals.bExponential = 0;
    pSymb->bDgrmColorByValue = 1;
    pSymb->nDgrmWidth = 2;
    pSymb->bDgrmReverse = 1;

    const fs::path out(outDir);
    const int nBoxes = Win32MessageBoxCount();
    int ok = 0;
    if (OpenModuleDialog("CDlgProfileGridPlot") != 1)
        std::fprintf(stderr, "kvpvs-host: the module's launcher does not open the profile-grid dialog\n");
    CWnd* pDlg = FindOwnedWindow(&view, "CDlgProfileGridPlot");
    if (!pDlg)
        pDlg = FindOwnedWindow(AfxGetMainWnd(), "CDlgProfileGridPlot");
    if (pDlg) {
        ok = 1;
        auto step = [&](bool b, const char* pszWhat) {
            if (ok && !b)
                std::fprintf(stderr, "kvpvs-host: profile-grid demo: %s failed\n", pszWhat);
            ok = ok && b;
        };
        step(SelectByText(pDlg, IDC_PGPLOT_CASE, "Construction Stages"), "choosing the construction stages");
        step(ok && SelectByText(pDlg, IDC_PGPLOT_STEP, lastStep.strName.GetString()), "choosing the last stage");
        step(ok && SelectByText(pDlg, IDC_PGPLOT_COMPONENT, "DZ"), "choosing the settlement DZ");
        step(ok && SelectByText(pDlg, IDC_PGPLOT_GRID, grid.strName.c_str()), "choosing the grid");
        for (const kvpvs::sample::ProfileGridLine& l : grid.aLine) {
            const bool bX = l.nAxis == 0;
            const std::string strDiv = std::to_string(l.nDivision);
            step(ok && AfxDriver::Click(pDlg, bX ? IDC_PGPLOT_AXIS_X : IDC_PGPLOT_AXIS_Y) &&
                     AfxDriver::Select(pDlg, bX ? IDC_PGPLOT_XINDEX : IDC_PGPLOT_YINDEX, l.nIndex) &&
                     AfxDriver::SetText(pDlg, bX ? IDC_PGPLOT_XDIV : IDC_PGPLOT_YDIV, strDiv.c_str()) &&
                     AfxDriver::Click(pDlg, IDC_PGPLOT_ADD),
                 "adding an index line");
        }
        auto* pLines = dynamic_cast<CListBox*>(pDlg->GetDlgItem(IDC_PGPLOT_LINES));
        step(ok && pLines && pLines->GetCount() == static_cast<int>(grid.aLine.size()), "listing the lines");
        for (int i = 0; ok && i < pLines->GetCount(); ++i) {
            CString s;
            pLines->GetText(i, s);
            std::printf("  line %d: %s\n", i + 1, s.GetString());
            AfxDriver::CheckItem(pDlg, IDC_PGPLOT_LINES, i, 1);
        }

        const int nShown = host.GetShownCount();
        step(ok && AfxDriver::Click(pDlg, IDC_PGPLOT_SHOW) && host.GetShownCount() == nShown + 1, "showing the grid");
        const fs::path png = out / "profile_grid.png";
        step(ok && renderer.SavePNG(png.string().c_str()), "saving the picture");
        {
            CPVSRendererVTK empty(1000, 750);
            const fs::path blank = out / "profile_grid_empty.png";
            empty.SavePNG(blank.string().c_str());
            step(ok && !IsBlank(png, blank), "drawing the picture (it is blank)");
            std::error_code ec;
            fs::remove(blank, ec);
        }

        const size_t nShownTables = ICustomPostDB::Instance()->m_aShown.size();
        step(ok && AfxDriver::Click(pDlg, IDC_PGPLOT_GRID_TABLE) &&
                 WriteShownTables(out / "profile_grid_table.csv", nShownTables, false),
             "writing the grid table");
        step(ok && AfxDriver::Click(pDlg, IDC_PGPLOT_LINE_TABLE) &&
                 WriteShownTables(out / "profile_line_table.csv", nShownTables + 1, true),
             "writing the line tables");

        // The curve fit of the line y = 2, the first listed.
        std::vector<FitReading> fits;
        CString strLine;
        if (ok)
            pLines->GetText(0, strLine);
        AfxDriver::ScriptModal([&](CDialog* d) { fits.push_back(ReadFit(d, "cubic, as opened")); });
        AfxDriver::ScriptModal([](CDialog* d) { AfxDriver::Spin(d, IDC_CURVEFIT_SPIN, 1); });
        AfxDriver::ScriptModal([](CDialog* d) { AfxDriver::Spin(d, IDC_CURVEFIT_SPIN, 1); });
        AfxDriver::ScriptModal([&](CDialog* d) { fits.push_back(ReadFit(d, "spun up twice")); });
        AfxDriver::ScriptModal([](CDialog* d) { AfxDriver::Click(d, IDC_CURVEFIT_CLOSE); });
        step(ok && AfxDriver::Select(pDlg, IDC_PGPLOT_LINES, 0) && AfxDriver::Click(pDlg, IDC_PGPLOT_CURVE_FIT) &&
                 fits.size() == 2,
             "fitting the curve of the first line");
        AfxDriver::ClearModalScript();
        if (ok) {
            std::ostringstream report;
            report << "Curve fit along the profile grid \"" << grid.strName << "\", last stage \""
                   << lastStep.strName.GetString() << "\", settlement DZ\n";
            report << "Line " << strLine.GetString() << ", dialog title \"" << fits.front().strTitle << "\"\n";
            report << "Points from the line's table (" << fits.front().points.size() << "):\n";
            report << "   distance [m]   DZ [m]\n";
            char line[120];
            for (const T_GRPH_D& p : fits.front().points) {
                std::snprintf(line, sizeof line, "   %10.4f %14.6e\n", p.dX, p.dY);
                report << line;
            }
            for (const FitReading& r : fits)
                WriteFit(report, r);
            const fs::path txt = out / "profile_curve_fit.txt";
            std::ofstream file(txt);
            file << report.str();
            step(file.good() && !fits.front().points.empty() && !fits.front().rows.empty(), "writing the fit");
            for (const FitReading& r : fits)
                std::printf("  curve fit, %s: degree %s, %zu points, at %s value %s, slope %s\n", r.strWhat.c_str(),
                            r.strDegree.c_str(), r.points.size(), r.strPosition.c_str(), r.strValue.c_str(),
                            r.strSlope.c_str());
        }
        for (int i = nBoxes; i < Win32MessageBoxCount(); ++i)
            std::printf("  message: %s\n", Win32MessageBoxAt(i)->pszText);
        if (CWnd* p = FindOwnedWindow(&view, "CDlgProfileGridPlot"))
            AfxDriver::Click(p, IDC_PGPLOT_CLOSE);
        else if (CWnd* q = FindOwnedWindow(AfxGetMainWnd(), "CDlgProfileGridPlot"))
            AfxDriver::Click(q, IDC_PGPLOT_CLOSE);
        if (ok)
            std::printf("profile grid: %s, profile_grid_table.csv, profile_line_table.csv, profile_curve_fit.txt\n",
                        png.string().c_str());
    } else {
        std::fprintf(stderr, "kvpvs-host: the profile-grid dialog did not open\n");
    }
    kvpvs::host::CUserDefDisplayHost::UninstallDoc(doc);
    pBridge.reset();
    CPVSMeshMngrBrdgBase::m_pMySelf = pBridgeBefore;
    doc.SetActiveView(pViewBefore);
    view.DestroyWindow();
    return ok;
}
