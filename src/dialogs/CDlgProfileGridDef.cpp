#include "dialogs/CDlgProfileGridDef.h"

#include "dialogs/DialogEntryGuard.h"
#include "dialogs/OCAF_IWorkSpcData.h"
#include "visualdata/CPVSVisualDataProfGrid.h"

#include "AIS_RectGrid.h"
#include "DBDoc.h"
#include "GeomUtil.h"
#include "MsgDll.h"
#include "UnitCtrl.h"
#include "ZORGrid.h"
#include "ZORViewBase.h"

#include <Precision.hxx>
#include <Quantity_Color.hxx>
#include <TCollection_AsciiString.hxx>
#include <TColStd_Array1OfReal.hxx>
#include <TDF_ChildIterator.hxx>
#include <TDataStd_TreeNode.hxx>
#include <gp_Pnt2d.hxx>

#include <cmath>
#include <cstdio>

IMPLEMENT_DYNAMIC(CDlgProfileGridDef, CGeomDialog)

// The host's grid object declares its destructor and leaves it to the modules that show it.
AIS_RectGrid::~AIS_RectGrid() = default;

namespace {

const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CDlgProfileGridDef::IDD, AFX_DLGTEMPLATE_D{"定义沉降形状栅格", 200, {
        {IDC_PGDEF_WORKPLANE, AFX_CTL_COMBO, "", 0},
        {IDC_PGDEF_LOWER_LEFT, AFX_CTL_EDIT, "", 0},
        {IDC_PGDEF_UPPER_RIGHT, AFX_CTL_EDIT, "", 0},
        {IDC_PGDEF_XDIV, AFX_CTL_EDIT, "", 0},
        {IDC_PGDEF_YDIV, AFX_CTL_EDIT, "", 0},
        {IDC_PGDEF_NAME, AFX_CTL_EDIT, "", 0},
        {IDC_PGDEF_PREVIEW, AFX_CTL_BUTTON, "预览", 0},
        {IDC_PGDEF_ADD, AFX_CTL_BUTTON, "添加", 0},
        {IDC_PGDEF_GRIDS, AFX_CTL_CHECKLIST, "", 0},
        {IDC_PGDEF_DELETE, AFX_CTL_BUTTON, "删除", 0},
        {IDC_PGDEF_OK, AFX_CTL_BUTTON, "确认", 0},
        {IDC_PGDEF_CANCEL, AFX_CTL_BUTTON, "取消", 0},
        {IDC_PGDEF_PICK1, AFX_CTL_BUTTON, "", WS_HIDDEN},
        {IDC_PGDEF_PICK2, AFX_CTL_BUTTON, "", WS_HIDDEN},
        {IDC_PGDEF_PICK3, AFX_CTL_BUTTON, "", WS_HIDDEN},
        {IDC_PGDEF_PICK4, AFX_CTL_BUTTON, "", WS_HIDDEN},
        {IDC_PGDEF_PICK5, AFX_CTL_BUTTON, "", WS_HIDDEN},
    }});
    return true;
}();

// The work plane that follows the user's picks is kept in the tree too; it is not offered.
constexpr const char* kCurrentWorkPlane = "Current WorkPlane";

// Preview refuses corners closer than this and cells narrower than the next.
constexpr double kCornerTolerance = 1e-07;
constexpr double kCellTolerance = 1e-06;

bool IsFinite(const gp_Pnt& p) { return std::isfinite(p.X()) && std::isfinite(p.Y()) && std::isfinite(p.Z()); }

// A corner edit's point in model units; FALSE for a text that is not three finite numbers.
BOOL ReadCorner(const CInputEditCtrl& edit, gp_Pnt& p)
{
    double d[3];
    if (!edit.GetPoint(d))
        return FALSE;
    p.SetCoord(d[0], d[1], d[2]);
    return IsFinite(p) ? TRUE : FALSE;
}

void StoreOut(const CUnitCtrl* pUnit, const gp_Pnt& p, double d[3])
{
    const double v[3] = {p.X(), p.Y(), p.Z()};
    for (int k = 0; k < 3; ++k)
        d[k] = pUnit ? pUnit->ConvertUnitLengthOut(v[k]) : v[k];
}

} // namespace

BEGIN_MESSAGE_MAP(CDlgProfileGridDef, CGeomDialog)
ON_CBN_SELCHANGE(IDC_PGDEF_WORKPLANE, OnWorkPlaneChange)
ON_LBN_SELCHANGE(IDC_PGDEF_GRIDS, OnGridChange)
ON_EN_SETFOCUS(IDC_PGDEF_LOWER_LEFT, OnFocusLowerLeft)
ON_EN_SETFOCUS(IDC_PGDEF_UPPER_RIGHT, OnFocusUpperRight)
ON_BN_CLICKED(IDC_PGDEF_PREVIEW, OnPreview)
ON_BN_CLICKED(IDC_PGDEF_ADD, OnAdd)
ON_BN_CLICKED(IDC_PGDEF_DELETE, OnDelete)
ON_BN_CLICKED(IDC_PGDEF_OK, OnOK)
ON_BN_CLICKED(IDC_PGDEF_CANCEL, OnCancel)
END_MESSAGE_MAP()

CDlgProfileGridDef::CDlgProfileGridDef(CWnd* pView, CZORDocBase* pDoc, unsigned short nValue, int bFlag)
    : CGeomDialog(IDD, pDoc, pView), m_nValue(nValue), m_bFlag(bFlag)
{
    (void)g_bTemplate;
    m_pView = pDoc ? dynamic_cast<CZORViewBase*>(pDoc->GetActiveView()) : nullptr;
    m_pContext = CAISContext::Of(pDoc);
    SetDefaultID(IDC_PGDEF_PICK1, IDC_PGDEF_PICK2, IDC_PGDEF_PICK3, IDC_PGDEF_PICK4, IDC_PGDEF_PICK5);
}

CDlgProfileGridDef::~CDlgProfileGridDef() = default;

BOOL CDlgProfileGridDef::Create(CWnd* pParent) { return CGeomDialog::Create(IDD, pParent); }

PositionTool* CDlgProfileGridDef::GetEventHandler()
{
    if (!m_pPositionTool)
        m_pPositionTool = std::make_unique<PositionTool>(m_pDoc ? m_pDoc->GetActiveView() : nullptr, this, 1);
    return m_pPositionTool.get();
}

CClassSpfg CDlgProfileGridDef::Table() const
{
    auto* pDoc = dynamic_cast<CDBDoc*>(m_pDoc);
    return CClassSpfg(pDoc ? pDoc->GetModelDB() : nullptr);
}

void CDlgProfileGridDef::DoDataExchange(CDataExchange* pDX)
{
    CGeomDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PGDEF_GRIDS, m_lstGrids);
    DDX_Control(pDX, IDC_PGDEF_WORKPLANE, m_cobxWorkPlane);
    DDX_Control(pDX, IDC_PGDEF_LOWER_LEFT, m_editLowerLeft);
    DDX_Control(pDX, IDC_PGDEF_UPPER_RIGHT, m_editUpperRight);
    DDX_Text(pDX, IDC_PGDEF_XDIV, m_nDivX);
    DDX_Text(pDX, IDC_PGDEF_YDIV, m_nDivY);
    DDX_Text(pDX, IDC_PGDEF_NAME, m_strName);
}

BOOL CDlgProfileGridDef::OnInitDialog()
{
    CGeomDialog::OnInitDialog();
    if (CGeomSelector* pSel = CGeomSelector::Of(m_pDoc))
        pSel->SetPositionMode(1);
    m_nActiveCorner = 1;
    GetEventHandler()->SetStatus(1);
    // Corners are typed and shown in output length units, read back in model units.
    m_editLowerLeft.SetUnitType(1);
    m_editUpperRight.SetUnitType(1);
    FillWorkPlaneCombo();
    InitializeData();
    FillGridList();
    return 1;
}

void CDlgProfileGridDef::InitializeData()
{
    m_nActiveCorner = 1;
    m_editLowerLeft.SetPoint(1.0, 0.0, 0.0);
    m_editUpperRight.SetPoint(0.0, 0.0, 0.0);
    m_nDivX = 20;
    m_nDivY = 20;
    m_strName = "Grid";
    UpdateData(FALSE);
}

void CDlgProfileGridDef::FillWorkPlaneCombo()
{
    m_cobxWorkPlane.ResetContent();
    if (!m_pDoc)
        return;
    const Handle(TDataStd_TreeNode) node = m_pDoc->GetSubRootNode(0);
    if (node.IsNull())
        return;
    const TCollection_ExtendedString current(kCurrentWorkPlane);
    for (TDF_ChildIterator it(OCAF_IWorkSpcData::GetWorkPlaneLabel(node)); it.More(); it.Next()) {
        const int nTag = it.Value().Tag();
        const T_WORKPLANE wp = OCAF_IWorkSpcData::GetWorkPlane(node, nTag);
        if (wp.strName.IsEqual(current))
            continue;
        const TCollection_AsciiString name(wp.strName);
        m_cobxWorkPlane.SetItemData(m_cobxWorkPlane.AddString(name.ToCString()), static_cast<DWORD_PTR>(nTag));
    }
    if (m_cobxWorkPlane.GetCount() > 0)
        m_cobxWorkPlane.SetCurSel(0);
}

void CDlgProfileGridDef::OnWorkPlaneChange()
{
    RemoveAllTemporary(1);
    const int nSel = m_cobxWorkPlane.GetCurSel();
    if (nSel < 0 || !m_pDoc)
        return;
    const Handle(TDataStd_TreeNode) node = m_pDoc->GetSubRootNode(0);
    if (node.IsNull())
        return;
    const T_WORKPLANE wp = OCAF_IWorkSpcData::GetWorkPlane(node, static_cast<int>(m_cobxWorkPlane.GetItemData(nSel)));
    if (!m_pView)
        return;
    CGrid* pGrid = m_pDoc->GetGrid();
    pGrid->Reset();
    m_pDoc->SetCurrentWorkPlane(wp.placement);
    if (wp.nKind == 0) {
        pGrid->SetGridType(0);
        pGrid->SetRectGridData(wp.dPair[0], wp.dPair[1], wp.aList1, wp.aList2);
    } else {
        pGrid->SetGridType(1);
        pGrid->SetCircularGridData(wp.dPair[0], wp.dPair[1], wp.aList1, wp.aList2);
    }
    m_pDoc->GetViewer()->SetPrivilegedPlane(wp.placement);
    if (m_pView->IsGridOn())
        pGrid->ShowGrid(1, 1);
    m_pDoc->UpdateWorkPlane();
}

void CDlgProfileGridDef::StartPicking(int nCorner)
{
    m_nActiveCorner = nCorner;
    RemoveAllTemporary(1);
    if (CGeomSelector* pSel = CGeomSelector::Of(m_pDoc)) {
        pSel->ResetSelection();
        pSel->SetPositionMode(1);
        for (int nSnap : {8, 7})
            if (!pSel->GetOsnap(nSnap))
                pSel->SetOsnap(nSnap, 1);
    }
    GetEventHandler()->SetStatus(1);
}

void CDlgProfileGridDef::SetLatestPoint(gp_Pnt& p)
{
    if (m_nActiveCorner == 1) {
        m_editLowerLeft.SetPoint(p.X(), p.Y(), p.Z());
        // Focus that is already there announces nothing: the picking starts here then.
        if (CWnd::GetFocus() == &m_editUpperRight)
            StartPicking(2);
        else
            m_editUpperRight.SetFocus();
    } else if (m_nActiveCorner == 2) {
        m_editUpperRight.SetPoint(p.X(), p.Y(), p.Z());
        m_nActiveCorner = 3;
        CAISObjectSnapper::ResetSnapWidget();
    }
}

void CDlgProfileGridDef::ShowInvalidGrid()
{
    MessageBox(CMsgDll::pfuncLoadStr(IDS_PVS_Invalid_grid_data, 0), "", MB_OK);
    RemoveAllTemporary(1);
}

void CDlgProfileGridDef::OnPreview()
{
    if (!UpdateData(TRUE))
        return;
    RemoveAllTemporary(1);
    gp_Pnt p1, p2;
    if (!ReadCorner(m_editLowerLeft, p1) || !ReadCorner(m_editUpperRight, p2)) {
        ShowInvalidGrid();
        return;
    }
    const gp_Ax3 plane = m_pDoc ? m_pDoc->GetCurrentWorkPlane() : gp_Ax3();
    const gp_Pnt q1 = CGeomUtil::GetTransformedCoordbyAxis(p1, plane);
    const gp_Pnt q2 = CGeomUtil::GetTransformedCoordbyAxis(p2, plane);
    gp_Pnt origin;
    CGeomUtil::Convert2dTo3dPnt(plane, gp_Pnt2d(q1.X(), q1.Y()), origin);
    // Corners as entered, not as projected onto the plane.
    if (p1.IsEqual(p2, kCornerTolerance) || !kvpvs::profgrid::GridFits(m_nDivX, m_nDivY)) {
        ShowInvalidGrid();
        return;
    }
    const double dx = (q2.X() - q1.X()) / m_nDivX;
    const double dy = (q2.Y() - q1.Y()) / m_nDivY;
    if (std::fabs(dx) < kCellTolerance || std::fabs(dy) < kCellTolerance) {
        ShowInvalidGrid();
        return;
    }
    TColStd_Array1OfReal xs(0, m_nDivX);
    TColStd_Array1OfReal ys(0, m_nDivY);
    for (int i = 0; i <= m_nDivX; ++i)
        xs.SetValue(i, i * dx);
    for (int j = 0; j <= m_nDivY; ++j)
        ys.SetValue(j, j * dy);
    Handle(AIS_RectGrid) pGrid = new AIS_RectGrid(origin, xs, ys, 0);
    pGrid->SetGridPlane(plane);
    pGrid->SetColor(Quantity_Color(Quantity_NOC_GREEN));
    SetTempIObject_Mode(pGrid, 100);
}

BOOL CDlgProfileGridDef::BuildGridRecord(T_SPFG_D& rec)
{
    rec.Initialize();
    if (!UpdateData(TRUE))
        return FALSE;
    gp_Pnt p1, p2;
    if (!ReadCorner(m_editLowerLeft, p1) || !ReadCorner(m_editUpperRight, p2) ||
        !kvpvs::profgrid::GridFits(m_nDivX, m_nDivY))
        return FALSE;
    const gp_Ax3 plane = m_pDoc ? m_pDoc->GetCurrentWorkPlane() : gp_Ax3();
    const gp_Pnt q1 = CGeomUtil::GetTransformedCoordbyAxis(p1, plane);
    const gp_Pnt q2 = CGeomUtil::GetTransformedCoordbyAxis(p2, plane);
    gp_Pnt ll, ur, ul, lr;
    CGeomUtil::Convert2dTo3dPnt(plane, gp_Pnt2d(q1.X(), q1.Y()), ll);
    CGeomUtil::Convert2dTo3dPnt(plane, gp_Pnt2d(q2.X(), q2.Y()), ur);
    CGeomUtil::Convert2dTo3dPnt(plane, gp_Pnt2d(q1.X(), q2.Y()), ul);
    CGeomUtil::Convert2dTo3dPnt(plane, gp_Pnt2d(q2.X(), q1.Y()), lr);
    if (ll.IsEqual(ur, Precision::Confusion()))
        return FALSE;
    const CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(dynamic_cast<CDBDoc*>(m_pDoc));
    StoreOut(pUnit, ul, rec.dUL);
    StoreOut(pUnit, ll, rec.dLL);
    StoreOut(pUnit, ur, rec.dUR);
    StoreOut(pUnit, lr, rec.dLR);
    rec.nDivX = m_nDivX;
    rec.nDivY = m_nDivY;
    rec.strName = m_strName;
    return TRUE;
}

void CDlgProfileGridDef::OnAdd()
{
    T_SPFG_D rec;
    if (!BuildGridRecord(rec))
        return;
    Table().TR_Add(rec);
    FillGridList();
}

void CDlgProfileGridDef::OnDelete()
{
    CArray<unsigned int, unsigned int> keys;
    for (int i = 0; i < m_lstGrids.GetCount(); ++i)
        if (m_lstGrids.GetCheck(i))
            keys.Add(static_cast<unsigned int>(m_lstGrids.GetItemData(i)));
    if (keys.GetSize() == 0)
        return;
    Table().TR_Del(keys);
    RemoveAllTemporary(1);
    FillGridList();
}

void CDlgProfileGridDef::OnGridChange()
{
    const int nSel = m_lstGrids.GetCurSel();
    T_SPFG_D g;
    if (nSel < 0 || !Table().Get(static_cast<unsigned int>(m_lstGrids.GetItemData(nSel)), g))
        return;
    const CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(dynamic_cast<CDBDoc*>(m_pDoc));
    auto in = [&](double d) { return pUnit ? pUnit->ConvertUnitLengthIn(d) : d; };
    m_editLowerLeft.SetPoint(in(g.dLL[0]), in(g.dLL[1]), in(g.dLL[2]));
    m_editUpperRight.SetPoint(in(g.dUR[0]), in(g.dUR[1]), in(g.dUR[2]));
    m_nDivX = g.nDivX;
    m_nDivY = g.nDivY;
    // Only the division edits: the name edit keeps what the user typed.
    const int nDiv[2] = {m_nDivX, m_nDivY};
    const UINT nID[2] = {IDC_PGDEF_XDIV, IDC_PGDEF_YDIV};
    for (int k = 0; k < 2; ++k)
        if (CWnd* pEdit = GetDlgItem(nID[k])) {
            CString s;
            s.Format("%d", nDiv[k]);
            pEdit->SetWindowText(s);
        }
    OnPreview();
}

void CDlgProfileGridDef::FillGridList()
{
    m_lstGrids.ResetContent();
    const CClassSpfg table = Table();
    CArray<unsigned int, unsigned int> keys;
    table.GetKeyList(keys);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_SPFG_D g;
        if (table.Get(keys[i], g))
            m_lstGrids.SetItemData(m_lstGrids.AddString(g.strName), keys[i]);
    }
}

LRESULT CDlgProfileGridDef::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return kvpvs::dialogs::GuardedWindowProc([&] { return CGeomDialog::WindowProc(nMsg, wParam, lParam); });
}
