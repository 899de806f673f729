#include "dialogs/CPVSDlgDefThreePointPlane.h"

#include "dialogs/DialogEntryGuard.h"

#include "MathFunc.h"
#include "MsgDll.h"
#include "PVSMeshMngrBrdg.h"
#include "PVSMeshMngrBrdgBase.h"

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeVertex.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Vertex.hxx>
#include <gp_Vec.hxx>

#include <cmath>
#include <vector>

IMPLEMENT_DYNAMIC(CPVSDlgDefThreePointPlane, CGeomDialog)

CPVSDlgDefThreePointPlane* CPVSDlgDefThreePointPlane::m_pMySelf = nullptr;

CPVSDlgDefThreePointPlane* CPVSDlgDefThreePointPlane::OpenForOwner(CWnd* pOwner, PFN_DRAW pfnDraw,
    PFN_DESTROY pfnDestroy, PFN_APPLY pfnApply)
{
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    if (!pDoc)
        return nullptr;
    CPVSMeshMngrBrdg* pBridge = CPVSMeshMngrBrdg::GetMySelf();
    auto* pDlg = new CPVSDlgDefThreePointPlane(pDoc, pBridge ? pBridge->GetWnd() : nullptr);
    pDlg->SetNoPlotMode(1);
    pDlg->SetDrawFunction(pfnDraw);
    pDlg->SetCalledOnDestoryFunction(pfnDestroy);
    pDlg->SetCalledOnApply(pfnApply);
    BOOL bCreated = FALSE;
    try {
        bCreated = pDlg->Create(pOwner);
    } catch (...) {
        kvpvs::dialogs::DiscardUnfinished(pDlg);
        throw;
    }
    if (!bCreated) {
        // Without a window nothing will ever free it.
        delete pDlg;
        return nullptr;
    }
    pDlg->ShowWindow(SW_SHOW);
    return pDlg;
}

void CPVSDlgDefThreePointPlane::CloseForOwner(HWND& hPicker, CPVSDlgDefThreePointPlane*& pPicker)
{
    // The picker may be on its way out already.
    if (IsWindow(hPicker))
        if (CWnd* p = CWnd::FromHandle(hPicker))
            p->DestroyWindow();
    pPicker = nullptr;
    hPicker = nullptr;
}

namespace {

// The template.
const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CPVSDlgDefThreePointPlane::IDD, AFX_DLGTEMPLATE_D{"Plane", 180, {
        {IDC_THREEPT_NAME, AFX_CTL_EDIT, "", 0},
        {IDC_THREEPT_SOLID, AFX_CTL_RADIO, "Solid", WS_GROUP},
        {IDC_THREEPT_PLATE, AFX_CTL_RADIO, "Plate", 0},
        {IDC_THREEPT_PNT1, AFX_CTL_EDIT, "", WS_GROUP},
        {IDC_THREEPT_PNT2, AFX_CTL_EDIT, "", 0},
        {IDC_THREEPT_PNT3, AFX_CTL_EDIT, "", 0},
        {IDC_THREEPT_APPLY, AFX_CTL_BUTTON, "Add", 0},
        {IDC_THREEPT_OK, AFX_CTL_BUTTON, "OK", 0},
        {IDC_THREEPT_CANCEL, AFX_CTL_BUTTON, "Cancel", 0},
        {IDC_THREEPT_PREVIEW, AFX_CTL_BUTTON, "Preview", 0},
        {IDC_THREEPT_REVERSE, AFX_CTL_BUTTON, "Reverse", 0},
        {IDC_THREEPT_LABEL, AFX_CTL_STATIC, "", 0},
        {IDC_THREEPT_SIM, AFX_CTL_BUTTON, "Sim", 0},
        {IDC_THREEPT_RE, AFX_CTL_BUTTON, "Re", 0},
        {IDC_THREEPT_DETAIL, AFX_CTL_BUTTON, "Detail", 0},
        {IDC_THREEPT_MARK, AFX_CTL_BUTTON, "Mark", 0},
        {IDC_THREEPT_HELP, AFX_CTL_BUTTON, "Help", 0},
    }});
    return true;
}();

// The framework's prompt for a number field whose text is not a number.
constexpr const char* kNumberPrompt = "Please enter a number.";

// Points closer than this are one point; an axis end this close to the centre is no axis.
constexpr double kCoincident = 1e-5;

bool Normalise(double v[3]) { return CMathFunc::mathNormalize(v) != 0.0; }

double Distance(const double a[3], const double b[3])
{
    return std::sqrt((b[0] - a[0]) * (b[0] - a[0]) + (b[1] - a[1]) * (b[1] - a[1]) + (b[2] - a[2]) * (b[2] - a[2]));
}

} // namespace

BEGIN_MESSAGE_MAP(CPVSDlgDefThreePointPlane, CGeomDialog)
ON_BN_CLICKED(IDC_THREEPT_PREVIEW, OnPriview)
ON_WM_SYSCOMMAND()
ON_BN_CLICKED(IDC_THREEPT_REVERSE, OnDefPlaneReverseNormal)
ON_EN_SETFOCUS(IDC_THREEPT_PNT1, OnFocusPnt1)
ON_EN_SETFOCUS(IDC_THREEPT_PNT2, OnFocusPnt2)
ON_EN_SETFOCUS(IDC_THREEPT_PNT3, OnFocusPnt3)
ON_BN_CLICKED_INT(IDC_THREEPT_APPLY, OnPvsDfplApply)
ON_BN_CLICKED(IDC_THREEPT_CANCEL, OnPvsDfplCancel)
ON_BN_CLICKED(IDC_THREEPT_OK, OnPvsDfplOk)
ON_BN_CLICKED(IDC_THREEPT_SOLID, OnKvpvsPlaneSolid)
ON_BN_CLICKED(IDC_THREEPT_PLATE, OnKvpvsPlaneSolid)
END_MESSAGE_MAP()

CPVSDlgDefThreePointPlane::CPVSDlgDefThreePointPlane(CZORDocBase* pDoc, CWnd* pParent)
    : CGeomDialog(IDD, pDoc, pParent)
{
    (void)g_bTemplate;
    m_pActiveView = pDoc ? pDoc->GetActiveView() : nullptr;
    m_pContext = CAISContext::Of(pDoc);
    // Made here, where a failure fails the construction: afterwards the tool always exists.
    m_pPositionTool = std::make_unique<PositionTool>(m_pActiveView, this, 1);
    m_strName = CMsgDll::pfuncLoadStr(IDS_KV_PVS_LOCAL_DIRECTION_FORCE_SUM_DEFAULT_NAME, 0);
    m_pMySelf = this;
    SetDefaultID(IDC_THREEPT_SIM, IDC_THREEPT_RE, IDC_THREEPT_DETAIL, IDC_THREEPT_MARK, IDC_THREEPT_HELP);
}

CPVSDlgDefThreePointPlane::~CPVSDlgDefThreePointPlane()
{
    // Nobody may reach a freed dialog through the module-wide pointer.
    if (m_pMySelf == this)
        m_pMySelf = nullptr;
}

BOOL CPVSDlgDefThreePointPlane::Create(CWnd* pParent) { return CGeomDialog::Create(IDD, pParent); }

PositionTool* CPVSDlgDefThreePointPlane::GetEventHandler()
{
    // Asked by the host's picking as well: a tool that cannot be made is none (null).
    kvpvs::dialogs::RunGuarded([&] {
        if (!m_pPositionTool)
            m_pPositionTool = std::make_unique<PositionTool>(m_pActiveView, this, 1);
    });
    return m_pPositionTool.get();
}

LRESULT CPVSDlgDefThreePointPlane::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return kvpvs::dialogs::GuardedWindowProc([&] { return CGeomDialog::WindowProc(nMsg, wParam, lParam); });
}

void CPVSDlgDefThreePointPlane::DoDataExchange(CDataExchange* pDX)
{
    CGeomDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_THREEPT_PNT1, m_editPnt1);
    DDX_Control(pDX, IDC_THREEPT_PNT2, m_editPnt2);
    DDX_Control(pDX, IDC_THREEPT_PNT3, m_editPnt3);
    DDX_Text(pDX, IDC_THREEPT_NAME, m_strName);
    DDX_Radio(pDX, IDC_THREEPT_SOLID, m_nElemType);
}

BOOL CPVSDlgDefThreePointPlane::OnInitDialog()
{
    CGeomDialog::OnInitDialog();
    UpdateData(TRUE);
    if (m_bNoPlotMode) {
        SetInitPos(3, 0, 0);
        MoveDlgToInitPos();
    }
    for (int n = 1; n <= 3; ++n)
        PointEdit(n).EnableWindow(TRUE);
    if (CGeomSelector* pSel = CGeomSelector::Of(m_pDoc)) {
        pSel->ResetSelection();
        pSel->AllowMultiSelect(0);
        pSel->SetPositionMode(1);
    }
    GetEventHandler()->SetStatus(1);
    for (int n = 1; n <= 3; ++n) {
        PointEdit(n).SetUnitType(1);
        PointEdit(n).SetMode(1);
        PointEdit(n).SetPoint(0.0, 0.0, 0.0);
    }
    if (CPVSMeshMngrBrdgBase::m_bConsiderOnlyFaceOfSolid == 0) {
        m_nElemType = 1;
        SetForPlate(1);
    } else {
        m_nElemType = 0;
        SetForPlate(0);
    }
    UpdateData(FALSE);
    return FALSE;
}

void CPVSDlgDefThreePointPlane::OnFocusPnt(int n)
{
    m_nCurPoint = n;
    CGeomSelector* pSel = CGeomSelector::Of(m_pDoc);
    if (pSel) {
        pSel->ResetSelection();
        pSel->SetOsnap(8, 1);
        pSel->SetOsnap(0, 1);
    }
    PointEdit(n).SetFocus();
    PointEdit(n).SetSel(0, -1);
    if (pSel)
        pSel->SetPositionMode(1);
    GetEventHandler()->SetStatus(1);
}

void CPVSDlgDefThreePointPlane::FocusPoint(int n)
{
    if (CWnd::GetFocus() == &PointEdit(n))
        OnFocusPnt(n);
    else
        PointEdit(n).SetFocus();
}

void CPVSDlgDefThreePointPlane::RemovePreview(int nRedraw)
{
    for (int id = 1; id <= 5; ++id)
        RemoveTempShape(id, 0, nRedraw);
}

void CPVSDlgDefThreePointPlane::SetLatestPoint(gp_Pnt& p)
{
    // The host's picking calls in here.
    kvpvs::dialogs::RunGuarded([&] { TakePoint(p); });
}

void CPVSDlgDefThreePointPlane::TakePoint(const gp_Pnt& p)
{
    UpdateData(TRUE);
    switch (m_nCurPoint) {
    case 1:
        m_editPnt1.SetPoint(p.X(), p.Y(), p.Z());
        FocusPoint(2);
        RemovePreview(0);
        return;
    case 2:
        m_editPnt2.SetPoint(p.X(), p.Y(), p.Z());
        FocusPoint(3);
        RemovePreview(0);
        return;
    default:
        break;
    }
    // A pick that fails on the way leaves the third point as it was and nothing of its
    // preview drawn.
    CString strOld;
    m_editPnt3.GetWindowText(strOld);
    Preview drawn;
    try {
        if (m_nCurPoint == 3) {
            m_editPnt3.SetPoint(p.X(), p.Y(), p.Z());
            Preview preview = BuildPreview();
            DrawPreview(preview);
            drawn = std::move(preview);
        }
        if (CGeomSelector* pSel = CGeomSelector::Of(m_pDoc))
            pSel->SetPositionMode(0);
    } catch (...) {
        for (const T_PREVIEW_SHAPE_D& s : drawn)
            RemoveTempShape(s.nID, 0);
        if (m_nCurPoint == 3)
            kvpvs::dialogs::RunGuarded([&] { m_editPnt3.SetWindowText(strOld); });
        throw;
    }
    if (m_pContext)
        m_pContext->UpdateCurrentViewer();
    GetEventHandler()->SetStatus(0);
    CAISObjectSnapper::ResetSnapWidget();
}

BOOL CPVSDlgDefThreePointPlane::ReadPoints(double pts[3][3]) const
{
    for (int n = 1; n <= 3; ++n) {
        double* p = pts[n - 1];
        if (!PointEdit(n).GetPoint(p) || !std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
            return FALSE;
    }
    return TRUE;
}

void CPVSDlgDefThreePointPlane::SimulateLclDirection()
{
    const Preview preview = BuildPreview();
    DrawPreview(preview);
}

void CPVSDlgDefThreePointPlane::DrawPreview(const Preview& preview)
{
    // All the shapes or none of them: shapes already shown by this call go again when one fails.
    size_t nShown = 0;
    try {
        for (; nShown < preview.size(); ++nShown) {
            const T_PREVIEW_SHAPE_D& s = preview[nShown];
            SetTempShape(s.nID, s.shape, s.colour, s.dWidth, s.nFlag);
        }
    } catch (...) {
        for (size_t i = 0; i < nShown; ++i)
            RemoveTempShape(preview[i].nID, 0);
        throw;
    }
}

CPVSDlgDefThreePointPlane::Preview CPVSDlgDefThreePointPlane::BuildPreview() const
{
    // Every shape is made before any is shown: a shape that cannot be made (an allocation, an
    // Open CASCADE failure) shows none.
    Preview preview;
    // Typed text that is not three finite numbers per point previews nothing.
    double pts[3][3];
    if (!ReadPoints(pts))
        return preview;
    const double* p1 = pts[0];
    const double* p2 = pts[1];
    const double* p3 = pts[2];

    const double a = Distance(p1, p2) / 6.0;
    double x[3] = {p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]};
    if (!Normalise(x))
        return preview;

    double o[3], first[3], third[3];
    if (!m_bForPlate) {
        // Solid: normal N = X x (P3 - P2), in-plane Y = N x X.
        double v[3] = {p3[0] - p2[0], p3[1] - p2[1], p3[2] - p2[2]};
        if (!Normalise(v))
            return preview;
        for (int k = 0; k < 3; ++k)
            o[k] = (p1[k] + p2[k] + p3[k]) / 3.0;
        CMathFunc::mathCross(x, v, first);
        if (!Normalise(first))
            return preview;
        CMathFunc::mathCross(first, x, third);
        if (!Normalise(third))
            return preview;
    } else {
        // Plate: Q = (P3 - P2) x X across the plate, normal M = X x Q.
        double w[3] = {p3[0] - p2[0], p3[1] - p2[1], p3[2] - p2[2]};
        if (!Normalise(w))
            return preview;
        for (int k = 0; k < 3; ++k)
            o[k] = (p1[k] + p2[k]) / 2.0;
        CMathFunc::mathCross(w, x, third);
        if (!Normalise(third))
            return preview;
        CMathFunc::mathCross(x, third, first);
        if (!Normalise(first))
            return preview;
    }

    const gp_Pnt centre(o[0], o[1], o[2]);
    struct Axis {
        int nID;
        const double* pDir;
        Quantity_NameOfColor colour;
    };
    const Axis axes[3] = {{1, first, Quantity_NOC_RED}, {2, x, Quantity_NOC_GREEN}, {3, third, Quantity_NOC_BLUE}};
    for (const Axis& ax : axes) {
        const gp_Pnt end = centre.Translated(gp_Vec(ax.pDir[0], ax.pDir[1], ax.pDir[2]) * std::fabs(a));
        if (end.Distance(centre) <= kCoincident)
            return preview;
        preview.push_back({ax.nID, BRepBuilderAPI_MakeEdge(centre, end).Edge(), ax.colour, 3.0, 0});
    }

    if (Distance(p1, p2) <= kCoincident || Distance(p2, p3) <= kCoincident || Distance(p3, p1) <= kCoincident)
        return preview;
    const gp_Pnt q1(p1[0], p1[1], p1[2]), q2(p2[0], p2[1], p2[2]), q3(p3[0], p3[1], p3[2]);
    const std::vector<TopoDS_Shape> edges = {BRepBuilderAPI_MakeEdge(q1, q2).Edge(), BRepBuilderAPI_MakeEdge(q2, q3).Edge()};
    preview.push_back({5, CGeomUtil2::MakeCompound(edges, 0), Quantity_NOC_GRAY, 2.0, 0});
    const std::vector<TopoDS_Shape> vertices = {BRepBuilderAPI_MakeVertex(q1).Vertex(), BRepBuilderAPI_MakeVertex(q2).Vertex(),
                                                BRepBuilderAPI_MakeVertex(q3).Vertex()};
    preview.push_back({4, CGeomUtil2::MakeCompound(vertices, 0), Quantity_NOC_RED, 2.0, 1});
    return preview;
}

void CPVSDlgDefThreePointPlane::OnKvpvsPlaneSolid()
{
    const int nOld = m_nElemType;
    const int bOldForPlate = m_bForPlate;
    UpdateData(TRUE);
    if (m_nElemType == nOld)
        return;
    SetForPlate(m_nElemType == 0 ? 0 : 1);
    Preview preview;
    try {
        preview = BuildPreview();
    } catch (...) {
        // The old choice and its preview stay; choosing again tries again.
        m_nElemType = nOld;
        SetForPlate(bOldForPlate);
        throw;
    }
    RemovePreview(1);
    DrawPreview(preview);
}

void CPVSDlgDefThreePointPlane::OnDefPlaneReverseNormal() { UpdateData(TRUE); }

int CPVSDlgDefThreePointPlane::OnPvsDfplApply()
{
    // A point that is not three finite numbers is refused as a number field refuses its text,
    // and nothing reaches the opener.
    double pts[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    if (!ReadPoints(pts)) {
        AfxMessageBox(kNumberPrompt, MB_ICONWARNING);
        return 0;
    }
    UpdateData(TRUE);
    T_LDFS_D rec;
    rec.strName = m_strName;
    for (int k = 0; k < 3; ++k) {
        rec.dP1[k] = pts[0][k];
        rec.dP2[k] = pts[1][k];
        rec.dP3[k] = pts[2][k];
    }
    rec.nElemType = m_nElemType == 0 ? 0 : 1;
    if (!m_pfnOnApply)
        return 0;
    return m_pfnOnApply(pts, m_strName, &rec);
}

void CPVSDlgDefThreePointPlane::OnPvsDfplOk()
{
    // The opener's callback may have closed this dialog (Escape in the opener while it takes
    // the plane): the object is gone with its window, so only the handle is asked.
    const HWND hSelf = m_hWnd;
    const int nTaken = OnPvsDfplApply();
    if (nTaken && IsWindow(hSelf))
        DestroyWindow();
}

void CPVSDlgDefThreePointPlane::OnPvsDfplCancel() { DestroyWindow(); }

void CPVSDlgDefThreePointPlane::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0u) == SC_CLOSE) {
        DestroyWindow();
        return;
    }
    CGeomDialog::OnSysCommand(nID, lParam);
}

BOOL CPVSDlgDefThreePointPlane::PreTranslateMessage(MSG* pMsg)
{
    // Return neither applies nor closes.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN)
        return TRUE;
    BOOL bDone = FALSE;
    kvpvs::dialogs::RunGuarded([&] { bDone = CGeomDialog::PreTranslateMessage(pMsg); });
    return bDone;
}

void CPVSDlgDefThreePointPlane::PostNcDestroy()
{
    // The object is freed whatever the opener's destroy function does.
    if (m_pfnOnDestroy)
        kvpvs::dialogs::RunGuarded([&] { m_pfnOnDestroy(nullptr, nullptr); });
    CGeomDialog::PostNcDestroy();
}
