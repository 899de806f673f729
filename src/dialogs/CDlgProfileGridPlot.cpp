#include "dialogs/CDlgProfileGridPlot.h"

#include "dialogs/CDlgCurveFitting.h"
#include "dialogs/CaseCombos.h"
#include "visualdata/CPVSVisualDataProfGrid.h"
#include "visualmethods/CPVSVisualMethodGlbProfGrid.h"

#include "PVSMeshMngrBrdgBase.h"
#include "PVSVisualDataBase.h"
#include "PVSVisualMethodBase.h"
#include "PostGeneralTable.h"
#include "UnitCtrl.h"

#include <cstdlib>
#include <memory>

IMPLEMENT_DYNAMIC(CDlgProfileGridPlot, CPVSDlgModalessBase)

CDlgProfileGridPlot* CDlgProfileGridPlot::m_pMySelf = nullptr;
T_MODELESS_DLG_REG_D CDlgProfileGridPlot::m_reg;

namespace {

constexpr unsigned int kProfGridType = 5;

const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CDlgProfileGridPlot::IDD, AFX_DLGTEMPLATE_D{"显示沉降形状", 200, {
        {IDC_PGPLOT_CASE, AFX_CTL_COMBO, "", 0},
        {IDC_PGPLOT_STEP, AFX_CTL_COMBO, "", 0},
        {IDC_PGPLOT_COMPONENT, AFX_CTL_COMBO, "位移", 0},
        {IDC_PGPLOT_GRID, AFX_CTL_COMBO, "", 0},
        {IDC_PGPLOT_GRID_TABLE, AFX_CTL_BUTTON, "表格", 0},
        {IDC_PGPLOT_AXIS_X, AFX_CTL_RADIO, "X", WS_GROUP},
        {IDC_PGPLOT_AXIS_Y, AFX_CTL_RADIO, "Y", 0},
        {IDC_PGPLOT_XINDEX, AFX_CTL_COMBO, "", WS_GROUP},
        {IDC_PGPLOT_XDIV, AFX_CTL_EDIT, "", 0},
        {IDC_PGPLOT_YINDEX, AFX_CTL_COMBO, "", 0},
        {IDC_PGPLOT_YDIV, AFX_CTL_EDIT, "", 0},
        {IDC_PGPLOT_ADD, AFX_CTL_BUTTON, "添加", 0},
        {IDC_PGPLOT_DELETE, AFX_CTL_BUTTON, "删除", 0},
        {IDC_PGPLOT_LINES, AFX_CTL_CHECKLIST, "", 0},
        {IDC_PGPLOT_LINE_TABLE, AFX_CTL_BUTTON, "表格", 0},
        {IDC_PGPLOT_CURVE_FIT, AFX_CTL_BUTTON, "曲线拟合", 0},
        {IDC_PGPLOT_CONTOUR, AFX_CTL_CHECK, "沉降轮廓线", 0},
        {IDC_PGPLOT_AREA, AFX_CTL_CHECK, "沉降面积", 0},
        {IDC_PGPLOT_DYNAMIC, AFX_CTL_CHECK, "动态显示", 0},
        {IDC_PGPLOT_SHOW, AFX_CTL_BUTTON, "显示", 0},
        {IDC_PGPLOT_CLOSE, AFX_CTL_BUTTON, "关闭", 0},
    }});
    return true;
}();

T_VD_PROFGRID_D g_defaultRecord;

// Factory products are freed through their virtual destructors.
template <class T>
struct VirtualDelete {
    void operator()(T* p) const { delete p; }
};

// The division count typed for an index line: a whole integer in 1 to the line limit, else the
// framework's number message with the focus on the field.
BOOL ReadLineDivisions(CWnd* pDlg, UINT nID, int& nDivision)
{
    CDataExchange dx(pDlg, TRUE);
    try {
        DDX_Text(&dx, nID, nDivision);
        if (!kvpvs::profgrid::LineFits(nDivision)) {
            CString s;
            s.Format("Please enter an integer between 1 and %d.", kvpvs::profgrid::kMaxLineDivisions);
            AfxMessageBox(s, MB_ICONWARNING);
            dx.Fail();
        }
    } catch (const CUserException&) {
        return FALSE;
    }
    return TRUE;
}

bool IsLengthItem(unsigned int nItem)
{
    return nItem == 1 || nItem == 2 || nItem == 3 || nItem == 7 || nItem == 8 || nItem == 9 || nItem == 10;
}

} // namespace

BEGIN_MESSAGE_MAP(CDlgProfileGridPlot, CPVSDlgModalessBase)
ON_CBN_SELCHANGE(IDC_PGPLOT_CASE, OnCaseChange)
ON_CBN_SELCHANGE(IDC_PGPLOT_STEP, OnStepChange)
ON_CBN_SELCHANGE(IDC_PGPLOT_COMPONENT, OnComponentChange)
ON_CBN_SELCHANGE(IDC_PGPLOT_GRID, OnGridChange)
ON_BN_CLICKED(IDC_PGPLOT_AXIS_X, OnAxis)
ON_BN_CLICKED(IDC_PGPLOT_AXIS_Y, OnAxis)
ON_BN_CLICKED(IDC_PGPLOT_ADD, OnAdd)
ON_BN_CLICKED(IDC_PGPLOT_DELETE, OnDelete)
ON_BN_CLICKED(IDC_PGPLOT_GRID_TABLE, OnGridTable)
ON_BN_CLICKED(IDC_PGPLOT_LINE_TABLE, OnLineTable)
ON_BN_CLICKED(IDC_PGPLOT_CURVE_FIT, OnCurveFit)
ON_BN_CLICKED(IDC_PGPLOT_SHOW, OnShow)
ON_BN_CLICKED(IDC_PGPLOT_CLOSE, OnCloseButton)
ON_WM_DESTROY()
END_MESSAGE_MAP()

T_VD_PROFGRID_D& CDlgProfileGridPlot::DefaultRecord() { return g_defaultRecord; }

CDlgProfileGridPlot::CDlgProfileGridPlot(CWnd* pParent) : CPVSDlgModalessBase(IDD, pParent)
{
    (void)g_bTemplate;
    m_mChosen.InitHashTable(101);
    m_pMySelf = this;
}

CDlgProfileGridPlot::~CDlgProfileGridPlot()
{
    if (m_pMySelf == this)
        m_pMySelf = nullptr;
}

void CDlgProfileGridPlot::CreateOrActivate(CWnd* pParent)
{
    kvpvs::dialogs::CreateOrActivateModeless<CDlgProfileGridPlot>(m_reg, pParent, [](CDlgProfileGridPlot&) {});
}

T_SPFG_GRID_IDX_D CDlgProfileGridPlot::GetChosenLines(unsigned int nGridK) const
{
    const T_SPFG_GRID_IDX_D* p = m_mChosen.PLookup(nGridK);
    return p ? *p : T_SPFG_GRID_IDX_D();
}

void CDlgProfileGridPlot::DoDataExchange(CDataExchange* pDX)
{
    CPVSDlgModalessBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PGPLOT_LINES, m_lstLines);
    DDX_Control(pDX, IDC_PGPLOT_YINDEX, m_cobxYIndex);
    DDX_Control(pDX, IDC_PGPLOT_GRID, m_cobxGrid);
    DDX_Control(pDX, IDC_PGPLOT_XINDEX, m_cobxXIndex);
    DDX_Control(pDX, IDC_PGPLOT_STEP, m_cobxStep);
    DDX_Control(pDX, IDC_PGPLOT_COMPONENT, m_cobxComponent);
    DDX_Control(pDX, IDC_PGPLOT_CASE, m_cobxCase);
    DDX_Check(pDX, IDC_PGPLOT_CONTOUR, m_bContour);
    DDX_Text(pDX, IDC_PGPLOT_XDIV, m_strXDiv);
    DDX_Radio(pDX, IDC_PGPLOT_AXIS_X, m_nAxis);
    DDX_Text(pDX, IDC_PGPLOT_YDIV, m_strYDiv);
    DDX_Check(pDX, IDC_PGPLOT_AREA, m_bArea);
    DDX_Check(pDX, IDC_PGPLOT_DYNAMIC, m_bDynamic);
}

BOOL CDlgProfileGridPlot::OnInitDialog()
{
    CPVSDlgModalessBase::OnInitDialog();
    kvpvs::dialogs::ChainCaseCombos(m_pDoc, m_cobxCase, {&m_cobxStep, &m_cobxComponent});
    FillGridCombo();
    FillIndexCombos();
    EnableAxisControls();
    GetDlgItem(IDC_PGPLOT_CURVE_FIT)->EnableWindow(m_lstLines.GetCount() > 0);
    return 1;
}

unsigned int CDlgProfileGridPlot::SelectedGrid() const
{
    const int i = m_cobxGrid.GetCurSel();
    return i < 0 ? 0u : static_cast<unsigned int>(m_cobxGrid.GetItemData(i));
}

void CDlgProfileGridPlot::FillGridCombo()
{
    m_cobxGrid.ResetContent();
    CClassSpfg spfg(m_pDoc ? m_pDoc->GetModelDB() : nullptr);
    CArray<unsigned int, unsigned int> keys;
    spfg.GetKeyList(keys);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_SPFG_D g;
        if (spfg.Get(keys[i], g))
            m_cobxGrid.SetItemData(m_cobxGrid.AddString(g.strName), keys[i]);
    }
    if (m_cobxGrid.GetCount() > 0)
        m_cobxGrid.SetCurSel(0);
}

void CDlgProfileGridPlot::FillIndexCombos()
{
    const unsigned int nGridK = SelectedGrid();
    if (nGridK != 0) {
        CClassSpfg spfg(m_pDoc ? m_pDoc->GetModelDB() : nullptr);
        T_SPFG_D grid;
        CArray<CString, CString&> aX, aY;
        // A grid stored beyond the limits shows nothing: it offers no line either (its names
        // alone could fill gigabytes).
        if (spfg.Get(nGridK, grid) && kvpvs::profgrid::GridFits(grid.nDivX, grid.nDivY)) {
            spfg.GetXIndexName(nGridK, aX);
            spfg.GetYIndexName(nGridK, aY);
        }
        m_cobxXIndex.ResetContent();
        m_cobxYIndex.ResetContent();
        for (int i = 0; i < aX.GetSize(); ++i)
            m_cobxXIndex.AddString(aX[i]);
        for (int i = 0; i < aY.GetSize(); ++i)
            m_cobxYIndex.AddString(aY[i]);
        if (m_cobxXIndex.GetCount() > 0)
            m_cobxXIndex.SetCurSel(0);
        if (m_cobxYIndex.GetCount() > 0)
            m_cobxYIndex.SetCurSel(0);
    }
    RebuildLineList();
}

void CDlgProfileGridPlot::EnableAxisControls()
{
    const BOOL bY = m_nAxis == 1;
    m_cobxXIndex.EnableWindow(!bY);
    GetDlgItem(IDC_PGPLOT_XDIV)->EnableWindow(!bY);
    m_cobxYIndex.EnableWindow(bY);
    GetDlgItem(IDC_PGPLOT_YDIV)->EnableWindow(bY);
}

void CDlgProfileGridPlot::RebuildLineList()
{
    m_lstLines.ResetContent();
    const unsigned int nGridK = SelectedGrid();
    const T_SPFG_GRID_IDX_D* pLines = nGridK ? m_mChosen.PLookup(nGridK) : nullptr;
    if (pLines) {
        const CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(m_pDoc);
        for (int i = 0; i < pLines->aIdx.GetSize(); ++i) {
            const T_SPFG_GRID_IDX_BASE& l = pLines->aIdx[i];
            CString s;
            s.Format("%s:%d(%.3e) , Div:%d", l.nDirection == 1 ? "Y Index" : "X Index", l.nGridIndex + 1,
                     pUnit ? pUnit->ConvertUnitLengthOut(l.dPosition) : l.dPosition, l.nDivision);
            m_lstLines.SetItemData(m_lstLines.AddString(s), static_cast<DWORD_PTR>(i));
        }
    }
    GetDlgItem(IDC_PGPLOT_CURVE_FIT)->EnableWindow(m_lstLines.GetCount() > 0);
}

BOOL CDlgProfileGridPlot::BuildLine(T_SPFG_GRID_IDX_BASE& line)
{
    UpdateData(TRUE);
    const bool bY = m_nAxis == 1;
    const int nIndex = bY ? m_cobxYIndex.GetCurSel() : m_cobxXIndex.GetCurSel();
    int nDivision = 0;
    if (nIndex < 0 || !ReadLineDivisions(this, bY ? IDC_PGPLOT_YDIV : IDC_PGPLOT_XDIV, nDivision))
        return FALSE;
    double pt[3], plane[2];
    CClassSpfg spfg(m_pDoc ? m_pDoc->GetModelDB() : nullptr);
    if (!spfg.GetCoorByGridIdx(SelectedGrid(), bY ? 0 : nIndex, bY ? nIndex : 0, pt, plane))
        return FALSE;
    const CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(m_pDoc);
    line.nDirection = bY ? 1 : 0;
    line.nGridIndex = nIndex;
    line.nDivision = nDivision;
    const double d = bY ? plane[1] : plane[0];
    line.dPosition = pUnit ? pUnit->ConvertUnitLengthIn(d) : d;
    return TRUE;
}

void CDlgProfileGridPlot::OnAdd()
{
    UpdateData(TRUE);
    const unsigned int nGridK = SelectedGrid();
    if (nGridK == 0)
        return;
    T_SPFG_GRID_IDX_BASE line;
    if (!BuildLine(line))
        return;
    T_SPFG_GRID_IDX_D lines = GetChosenLines(nGridK);
    lines.aIdx.Add(line);
    m_mChosen[nGridK] = lines;
    RebuildLineList();
}

void CDlgProfileGridPlot::OnDelete()
{
    CArray<int, int> checked;
    for (int i = 0; i < m_lstLines.GetCount(); ++i)
        if (m_lstLines.GetCheck(i))
            checked.Add(i);
    if (checked.GetSize() == 0)
        return;
    UpdateData(TRUE);
    const unsigned int nGridK = SelectedGrid();
    const T_SPFG_GRID_IDX_D* pLines = nGridK ? m_mChosen.PLookup(nGridK) : nullptr;
    if (!pLines || pLines->aIdx.GetSize() == 0)
        return;
    T_SPFG_GRID_IDX_D lines = *pLines;
    for (int i = checked.GetSize() - 1; i >= 0; --i)
        if (checked[i] < lines.aIdx.GetSize())
            lines.aIdx.RemoveAt(checked[i]);
    m_mChosen[nGridK] = lines;
    RebuildLineList();
}

BOOL CDlgProfileGridPlot::FillRecord()
{
    UpdateData(TRUE);
    const unsigned int nRowK = m_cobxComponent.GetSelKey();
    T_PVTIF_D row;
    if (nRowK == 0 || !m_pDoc || !CClassPVtif(m_pDoc->GetPostDB()).Get(nRowK, row))
        return FALSE;
    const unsigned int nGridK = SelectedGrid();
    if (nGridK == 0)
        return FALSE;
    T_VD_PROFGRID_D& rec = DefaultRecord();
    rec.Initialize();
    rec.nPVtifK = nRowK;
    rec.nSpfgK = nGridK;
    rec.bBandContour = m_bContour;
    rec.bArea = m_bArea;
    rec.bLengthUnit = IsLengthItem(row.nItem) ? 1 : 0;
    const T_SPFG_GRID_IDX_D lines = GetChosenLines(nGridK);
    for (int i = 0; i < m_lstLines.GetCount(); ++i) {
        const int n = static_cast<int>(m_lstLines.GetItemData(i));
        if (m_lstLines.GetCheck(i) && n < lines.aIdx.GetSize()) {
            T_SPFG_GRID_IDX_BASE line = lines.aIdx[n];
            rec.GridIdx.aIdx.Add(line);
        }
    }
    return TRUE;
}

void CDlgProfileGridPlot::OnShow()
{
    if (FillRecord() && m_pDoc)
        m_pDoc->ShowUserDefDisplay(kProfGridType, &DefaultRecord(), 1, 0, 0);
}

BOOL CDlgProfileGridPlot::RunTable(int nMode, int bShow)
{
    if (!m_pDoc)
        return FALSE;
    m_pDoc->m_displayView.Refresh();
    CPostVisualState* pState = CPostVisualState::Instance();
    T_VD_PARAM_D vp{m_pDoc, 0, 0, &DefaultRecord(), 0};
    std::unique_ptr<CPVSVisualDataBase, VirtualDelete<CPVSVisualDataBase>> pVD(
        CPVSVisualDataBase::CreateVisualDataByType(kProfGridType, vp));
    if (!pVD)
        return FALSE;
    pVD->MakeVData(pState->GetCurrentPA(), pState->GetCurrentPAnim(), 0);
    T_VM_PARAM_D mp{m_pDoc, 0, pVD.get(), pState->GetCurrentPA(), pState->GetCurrentPAnim(),
                    pVD->GetVisualMethodType(pState->GetCurrentPA()), &DefaultRecord()};
    std::unique_ptr<CPVSVisualMethodBase, VirtualDelete<CPVSVisualMethodBase>> pVM(
        CPVSVisualMethodBase::CreateVisualMethod(mp));
    auto* pGrid = dynamic_cast<CPVSVisualMethodGlbProfGrid*>(pVM.get());
    if (!pGrid)
        return FALSE;
    pVD->SetModelData(pVM->GetMDTCtrl());
    pGrid->MakeProfGridTable(nMode, DefaultRecord(), bShow);
    // The method reads the data: it goes first.
    pVM.reset();
    return TRUE;
}

void CDlgProfileGridPlot::MakeTable(int nMode)
{
    if (FillRecord())
        RunTable(nMode, 1);
}

void CDlgProfileGridPlot::OnCurveFit()
{
    const int nSel = m_lstLines.GetCurSel();
    if (nSel < 0) {
        AfxMessageBox("No Selected Grid Index");
        return;
    }
    const unsigned int nGridK = SelectedGrid();
    const T_SPFG_GRID_IDX_D* pLines = nGridK ? m_mChosen.PLookup(nGridK) : nullptr;
    if (!pLines || pLines->aIdx.GetSize() == 0 || !FillRecord())
        return;
    const int n = static_cast<int>(m_lstLines.GetItemData(nSel));
    if (n >= pLines->aIdx.GetSize())
        return;
    T_VD_PROFGRID_D& rec = DefaultRecord();
    rec.GridIdx.aIdx.RemoveAll();
    T_SPFG_GRID_IDX_BASE line = pLines->aIdx[n];
    rec.GridIdx.aIdx.Add(line);
    IPostGeneralTableData* pTables = IPostGeneralTableData::Instance();
    const int nBefore = pTables->GetCount();
    if (!RunTable(2, 0))
        return;
    const int c = pTables->GetCount();
    // A line with no point in the model stores no table: the last one stored is another's.
    if (c <= nBefore)
        return;

    CDlgCurveFitting dlg(this);
    m_lstLines.GetText(nSel, dlg.m_strTitle);
    pTables->RequestRows(2, c - 1);
    CArray<unsigned int, unsigned int> aRowK;
    pTables->GetRowKeys(aRowK);
    for (int i = 0; i < aRowK.GetSize(); ++i) {
        CArray<CString, CString&> aText;
        if (pTables->GetRowTexts(aRowK[i], aText) && aText.GetSize() >= 2)
            dlg.AddPoint(std::atof(aText[0]), std::atof(aText[1]));
    }
    pTables->ReleaseRows();
    dlg.DoModal();
}

void CDlgProfileGridPlot::OnCaseChange()
{
    m_cobxCase.UpdateChild(0, 0);
    UpdateData(TRUE);
    if (m_bDynamic)
        OnShow();
}

void CDlgProfileGridPlot::OnStepChange()
{
    m_cobxStep.UpdateChild(0, 0);
    UpdateData(TRUE);
    if (m_bDynamic)
        OnShow();
}

void CDlgProfileGridPlot::OnComponentChange()
{
    UpdateData(TRUE);
    if (m_bDynamic)
        OnShow();
}

void CDlgProfileGridPlot::RefillAll()
{
    FillGridCombo();
    FillIndexCombos();
    EnableAxisControls();
}

void CDlgProfileGridPlot::CheckDBChange(CObject* pHint)
{
    auto* h = dynamic_cast<CDBChangeHint*>(pHint);
    if (!h || !m_pDoc || h->m_pDB != m_pDoc->GetModelDB() || h->m_aViewBuffer.empty())
        return;
    bool bGrids = false;
    for (const T_DB_CMD_RECORD_D& r : h->m_aViewBuffer)
        if (r.nType == CClassSpfg::UR_SPFG_ADD || r.nType == CClassSpfg::UR_SPFG_DEL)
            bGrids = true;
    if (!bGrids)
        return;
    // Lines of grids the table no longer holds go with them.
    CClassSpfg spfg(m_pDoc->GetModelDB());
    CArray<unsigned int, unsigned int> gone;
    unsigned int k = 0;
    T_SPFG_GRID_IDX_D v;
    for (POSITION pos = m_mChosen.GetStartPosition(); pos;) {
        m_mChosen.GetNextAssoc(pos, k, v);
        if (!spfg.Exist(k))
            gone.Add(k);
    }
    for (int i = 0; i < gone.GetSize(); ++i)
        m_mChosen.RemoveKey(gone[i]);
    RefillAll();
}

void CDlgProfileGridPlot::OnUpdate(CView*, LPARAM lHint, CObject* pHint)
{
    if (!IsWindow(m_hWnd))
        return;
    if (lHint == 0 || lHint == 1 || lHint == 3)
        CheckDBChange(pHint);
    else if (lHint == 4)
        RefillAll();
    else if (lHint == 7 || lHint == 32)
        DestroyWindow();
}

void CDlgProfileGridPlot::OnDestroy()
{
    CPVSDlgModalessBase::OnDestroy();
    if (CPVSMeshMngrBrdgBase::m_pMySelf)
        CPVSMeshMngrBrdgBase::m_pMySelf->CloseUserDefMode(0);
}
