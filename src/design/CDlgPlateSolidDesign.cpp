#include "design/CDlgPlateSolidDesign.h"
#include "dialogs/DialogEntryGuard.h"

#include "design/DesignCases.h"
#include "design/DesignTextFile.h"
#include "dialogs/CPVSDlgDefThreePointPlane.h"
#include "dialogs/DialogControlIds.h"
#include "dialogs/ForceSumPlaneRows.h"

#include "DlgUtil.h"
#include "MathFunc.h"
#include "MsgDll.h"
#include "PVSLegendObjectUserDefMode.h"
#include "UnitCtrl.h"
#include "afxfile.h"

#include <cstdlib>

IMPLEMENT_DYNAMIC(CDlgPlateSolidDesign, CPVSDlgModalessBase)

CDlgPlateSolidDesign* CDlgPlateSolidDesign::m_pMySelf = nullptr;
T_MODELESS_DLG_REG_D CDlgPlateSolidDesign::m_reg;

namespace {

constexpr unsigned int kDesignForceSumType = 12;

const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CDlgPlateSolidDesign::IDD, AFX_DLGTEMPLATE_D{"Plate/Solid Design", 200, {
        {IDC_PSDS_PLANES, AFX_CTL_CHECKLIST, "", 0},
        {IDC_PSDS_ADD, AFX_CTL_BUTTON, "添加", 0},
        {IDC_PSDS_DELETE, AFX_CTL_BUTTON, "删除", 0},
        {IDC_PSDS_KIND_STAGE, AFX_CTL_RADIO, "施工阶段工况", WS_GROUP},
        {IDC_PSDS_KIND_LINEAR, AFX_CTL_RADIO, "线性/非线性工况", 0},
        {IDC_PSDS_ACAS, AFX_CTL_COMBO, "", WS_GROUP},
        {IDC_PSDS_GROUP, AFX_CTL_STATIC, " 分析工况 ", 0},
        {IDC_PSDS_STEPS, AFX_CTL_CHECKLIST, "", 0},
        {IDC_PSDS_DESIGN, AFX_CTL_BUTTON, "设计", 0},
        {IDC_PSDS_TEXT, AFX_CTL_BUTTON, "文本", 0},
        {IDC_PSDS_CLOSE, AFX_CTL_BUTTON, "关闭", 0},
        {IDC_PSDS_COLOUR1, AFX_CTL_CUSTOM, "", 0},
        {IDC_PSDS_COLOUR2, AFX_CTL_CUSTOM, "", 0},
        {IDC_PSDS_COLOUR3, AFX_CTL_CUSTOM, "", 0},
        {IDC_PSDS_HIDDEN, AFX_CTL_BUTTON, "", 0},
        {IDC_PSDS_RCBEAM, AFX_CTL_CHECK, "RC/Beam", 0},
        {IDC_PSDS_RCWALL, AFX_CTL_CHECK, "RC/Wall", 0},
        {IDC_PSDS_NEWDOC, AFX_CTL_CHECK, "New", 0},
    }});
    return true;
}();

// Constructed when the module loads, shared with the display it is handed to.
T_VD_LCLDIRSUM_KVR_D g_defaultRecord;

void GrowHeight(CWnd* p, int dy)
{
    if (!p)
        return;
    RECT r;
    p->GetWindowRect(&r);
    p->MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top + dy);
}

CUnitCtrl* Units(CDBDoc* pDoc) { return CDocCtrl::GetUnitCtrl(pDoc); }

} // namespace

T_PLATE_SOLID_DESIGN_D& T_PLATE_SOLID_DESIGN_D::operator=(const T_PLATE_SOLID_DESIGN_D& src)
{
    if (this == &src)
        return *this;
    mPoint.RemoveAll();
    mPlateCell.RemoveAll();
    mSolidCell.RemoveAll();
    plane = src.plane;
    mPoint = src.mPoint;
    mPlateCell = src.mPlateCell;
    mSolidCell = src.mSolidCell;
    sum = src.sum;
    return *this;
}

BEGIN_MESSAGE_MAP(CDlgPlateSolidDesign, CPVSDlgModalessBase)
ON_BN_CLICKED(IDC_PSDS_DESIGN, OnDesign)
ON_BN_CLICKED(IDC_PSDS_KIND_STAGE, OnCaseKind)
ON_BN_CLICKED(IDC_PSDS_KIND_LINEAR, OnCaseKind)
ON_CBN_SELCHANGE(IDC_PSDS_ACAS, OnSelchangeAnalysisCase)
ON_BN_CLICKED(IDC_PSDS_ADD, OnAddPlane)
ON_BN_CLICKED(IDC_PSDS_DELETE, OnDeletePlane)
ON_BN_CLICKED(IDC_PSDS_TEXT, OnTextOutput)
ON_WM_DESTROY()
END_MESSAGE_MAP()

T_VD_LCLDIRSUM_KVR_D& CDlgPlateSolidDesign::DefaultRecord() { return g_defaultRecord; }

CDlgPlateSolidDesign::CDlgPlateSolidDesign(CWnd* pParent) : CPVSDlgModalessBase(IDD, pParent)
{
    (void)g_bTemplate;
    m_mapDesign.InitHashTable(1009);
    m_mapEdge.InitHashTable(1009);
    m_pMySelf = this;
}

CDlgPlateSolidDesign::~CDlgPlateSolidDesign()
{
    if (m_pMySelf == this)
        m_pMySelf = nullptr;
}

void CDlgPlateSolidDesign::CreateOrActivate(CWnd* pParent)
{
    // Created under the main window, placed level with the launcher's window.
    CWnd* pMain = AfxGetMainWnd();
    kvpvs::dialogs::RunGuarded([&] {
        kvpvs::dialogs::CreateOrActivateModeless<CDlgPlateSolidDesign>(m_reg, pMain, [&](CDlgPlateSolidDesign& dlg) {
            RECT rView{}, rMain{};
            if (pParent)
                pParent->GetWindowRect(&rView);
            if (pMain)
                pMain->GetWindowRect(&rMain);
            dlg.SetInitPos(1, 0, rView.top - rMain.top);
        });
    });
}

void CDlgPlateSolidDesign::DoDataExchange(CDataExchange* pDX)
{
    CPVSDlgModalessBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PSDS_ACAS, m_cobxAcas);
    DDX_Control(pDX, IDC_PSDS_STEPS, m_lstStep);
    DDX_Control(pDX, IDC_PSDS_PLANES, m_lstPlane);
    DDX_Control(pDX, IDC_PSDS_COLOUR1, m_btnColour[0]);
    DDX_Control(pDX, IDC_PSDS_COLOUR2, m_btnColour[1]);
    DDX_Control(pDX, IDC_PSDS_COLOUR3, m_btnColour[2]);
    DDX_Control(pDX, IDC_PSDS_RCBEAM, m_btnRcBeam);
    DDX_Control(pDX, IDC_PSDS_RCWALL, m_btnRcWall);
    DDX_Control(pDX, IDC_PSDS_NEWDOC, m_btnNewDoc);
    DDX_Radio(pDX, IDC_PSDS_KIND_STAGE, m_nCaseKind);
}

BOOL CDlgPlateSolidDesign::OnInitDialog()
{
    CPVSDlgModalessBase::OnInitDialog();
    if (!CZORDocBase::GetCurDoc())
        return FALSE;
    CPVSMeshMngrBrdg* pBridge = CPVSMeshMngrBrdg::GetMySelf();
    m_nPostMode = pBridge ? pBridge->GetBrdgMode() : 0;
    m_pDB = CDocCtrl::GetDBMain(m_pDoc);

    m_btnRcBeam.SetCheck(1);
    m_btnNewDoc.SetCheck(1);
    for (UINT nID : {IDC_PSDS_HIDDEN, IDC_PSDS_RCBEAM, IDC_PSDS_RCWALL, IDC_PSDS_NEWDOC})
        if (CWnd* p = GetDlgItem(nID))
            p->ShowWindow(SW_HIDE);
    GrowHeight(GetDlgItem(IDC_PSDS_GROUP), 35);
    GrowHeight(GetDlgItem(IDC_PSDS_STEPS), 35);

    FillAnalysisCaseList();
    FillStepList();

    DefaultRecord().Initialize();
    RequestDisplay();

    m_btnColour[0].SetColour(0xFFFFFF);
    m_btnColour[1].SetColour(0xFDFCBF);
    m_btnColour[2].SetColour(0x00FFFF);
    RefreshPlaneList();
    CDlgUtil::CobxUpdateItemWidth(&m_cobxAcas);
    return TRUE;
}

void CDlgPlateSolidDesign::RequestDisplay()
{
    if (!m_pDoc)
        return;
    if (CDBDisplayView* pView = m_pDoc->ShowUserDefDisplay(kDesignForceSumType, &DefaultRecord(), 1, 0, 0))
        pView->Refresh();
}

void CDlgPlateSolidDesign::FillAnalysisCaseList() { kvpvs::design::FillStageCaseCombo(m_pDoc, m_cobxAcas); }

void CDlgPlateSolidDesign::FillStepList()
{
    m_lstStep.ResetContent();
    if (m_nCaseKind == 0)
        kvpvs::design::AddStageSteps(m_pDoc, m_cobxAcas, m_lstStep);
    else
        kvpvs::design::AddLinearCases(m_pDoc, m_lstStep);
}

void CDlgPlateSolidDesign::OnCaseKind()
{
    UpdateData(TRUE);
    m_cobxAcas.EnableWindow(m_nCaseKind == 0);
    FillStepList();
}

void CDlgPlateSolidDesign::RefreshPlaneList()
{
    m_aPlaneName.RemoveAll();
    m_aPlane.RemoveAll();
    m_aFrame.RemoveAll();
    m_aElemType.RemoveAll();
    m_lstPlane.ResetContent();
    CClassLdfs tbl(m_pDB);
    CArray<unsigned int, unsigned int> keys;
    tbl.GetKeyList(keys);
    const CUnitCtrl* pUnit = Units(m_pDoc);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_LDFS_D row;
        if (!tbl.Get(keys[i], row))
            continue;
        for (double* p : {row.dP1, row.dP2, row.dP3})
            for (int k = 0; k < 3; ++k)
                p[k] = pUnit ? pUnit->ConvertUnitLengthIn(p[k]) : p[k];
        if (!AddPlane(row))
            continue;
        const int n = m_lstPlane.AddString(row.strName);
        m_lstPlane.SetItemData(n, keys[i]);
    }
}

int CDlgPlateSolidDesign::AddPlane(const T_LDFS_D& rec)
{
    T_PVIST_PLNE_D plane;
    T_VD_LCLDIRSUM_KVR_BASE_D frame;
    if (!kvpvs::dialogs::DeriveForceSumPlane(rec, plane, frame.dAxis))
        return 0;
    frame.strName = rec.strName;
    m_aFrame.Add(frame);
    m_aPlane.Add(plane);
    CString strName = rec.strName;
    m_aPlaneName.Add(strName);
    m_aElemType.Add(rec.nElemType);
    return 1;
}

CPVSDlgDefThreePointPlane* CDlgPlateSolidDesign::GetPlaneDialog() const
{
    return IsWindow(m_hPlaneDlg) ? m_pPlaneDlg : nullptr;
}

void CDlgPlateSolidDesign::OnAddPlane()
{
    UpdateData(TRUE);
    if (m_pPlaneDlg && IsWindow(m_hPlaneDlg))
        return;
    m_pPlaneDlg = CPVSDlgDefThreePointPlane::OpenForOwner(this, &OnPlaneDlgDraw, &OnPlaneDlgDestroy, &OnPlaneDlgApply);
    m_hPlaneDlg = m_pPlaneDlg ? m_pPlaneDlg->m_hWnd : nullptr;
}

int CDlgPlateSolidDesign::OnPlaneDlgApply(double (*)[3], CString&, void* pRecord)
{
    CDlgPlateSolidDesign* self = m_pMySelf;
    if (!self || !pRecord)
        return 1;
    T_LDFS_D rec = *static_cast<T_LDFS_D*>(pRecord);
    self->UpdateData(TRUE);
    CClassLdfs tbl;
    tbl.ConnectToDB(self->m_pDB);
    // Stored in output units; the list converts back.
    const CUnitCtrl* pUnit = Units(self->m_pDoc);
    for (double* p : {rec.dP1, rec.dP2, rec.dP3})
        for (int k = 0; k < 3; ++k)
            p[k] = pUnit ? pUnit->ConvertUnitLengthOut(p[k]) : p[k];
    if (!tbl.TR_Add(rec))
        return 0;
    self->RefreshPlaneList();
    return 1;
}

void CDlgPlateSolidDesign::OnPlaneDlgDestroy(double*, double*)
{
    if (m_pMySelf)
        m_pMySelf->ClosePlaneDialog();
}

void CDlgPlateSolidDesign::ClosePlaneDialog()
{
    CPVSDlgDefThreePointPlane::CloseForOwner(m_hPlaneDlg, m_pPlaneDlg);
}

void CDlgPlateSolidDesign::OnDeletePlane()
{
    CArray<int, int> idx;
    CArray<unsigned int, unsigned int> keys;
    if (GetCheckedPlanes(idx, keys) == 0)
        return;
    CClassLdfs tbl(m_pDB);
    if (tbl.TR_Del(keys))
        RefreshPlaneList();
}

int CDlgPlateSolidDesign::GetCheckedPlanes(CArray<int, int>& aIndex, CArray<unsigned int, unsigned int>& aKey) const
{
    aIndex.RemoveAll();
    aKey.RemoveAll();
    for (int i = 0; i < m_lstPlane.GetCount(); ++i)
        if (m_lstPlane.GetCheck(i)) {
            aIndex.Add(i);
            aKey.Add(static_cast<unsigned int>(m_lstPlane.GetItemData(i)));
        }
    return aIndex.GetSize();
}

int CDlgPlateSolidDesign::GetCheckedSteps(CArray<int, int>& aIndex, CArray<unsigned int, unsigned int>& aKey) const
{
    aIndex.RemoveAll();
    aKey.RemoveAll();
    for (int i = 0; i < m_lstStep.GetCount(); ++i)
        if (m_lstStep.GetCheck(i)) {
            aIndex.Add(i);
            aKey.Add(static_cast<unsigned int>(m_lstStep.GetItemData(i)));
        }
    return aIndex.GetSize();
}

void CDlgPlateSolidDesign::ShowMessage(const char* pszID) { MessageBox(CMsgDll::pfuncLoadStr(pszID, 0), "", MB_OK); }

int CDlgPlateSolidDesign::SelectResultRows(unsigned int aKeys[12], int nElemType, unsigned int nStepK)
{
    CArray<unsigned int, unsigned int> rows;
    CClassPVtif(m_pDoc ? m_pDoc->GetPostDB() : nullptr).GetKeyListByLSifK(nStepK, 1, rows);
    if (const char* pszMsg =
            kvpvs::dialogs::SelectForceSumRows(m_pDoc ? m_pDoc->GetPostDB() : nullptr, rows, nElemType, aKeys)) {
        ShowMessage(pszMsg);
        return 0;
    }
    return 1;
}

int CDlgPlateSolidDesign::RunForceSums()
{
    UpdateData(TRUE);
    CArray<int, int> aPlane;
    CArray<unsigned int, unsigned int> aPlaneKey;
    if (GetCheckedPlanes(aPlane, aPlaneKey) == 0)
        return 0;
    m_nPlaneCount = aPlane.GetSize();
    CArray<int, int> aStep;
    CArray<unsigned int, unsigned int> aStepData;
    if (GetCheckedSteps(aStep, aStepData) == 0)
        return 0;
    const int nType = m_aElemType[aPlane[0]];
    for (int i = 1; i < aPlane.GetSize(); ++i)
        if (m_aElemType[aPlane[i]] != nType) {
            ShowMessage(IDS_KV_PVS_SELECTED_PLANE_ERR);
            return 0;
        }
    m_nElemType = nType;

    m_nCurStep = -1;
    const int nSteps = aStepData.GetSize();
    for (int s = 0; s < nSteps; ++s) {
        ++m_nCurStep;
        unsigned int nStepK = aStepData[s];
        if (m_nCaseKind == 1) {
            const CPostCtrlAnlTypeBase* pCtrl = kvpvs::design::CaseControl(m_pDoc, aStepData[s]);
            if (!pCtrl)
                return 0;
            CArray<unsigned int, unsigned int> steps;
            kvpvs::design::CaseSteps(m_pDoc, pCtrl, steps);
            // A case without steps shows nothing; its index stays used.
            if (steps.GetSize() == 0)
                continue;
            nStepK = steps[steps.GetSize() - 1];
        }
        unsigned int aKeys[12];
        if (!SelectResultRows(aKeys, nType, nStepK))
            return 0;

        T_VD_LCLDIRSUM_KVR_D& rec = DefaultRecord();
        rec.Initialize();
        for (int i = 0; i < aPlane.GetSize(); ++i) {
            const int n = aPlane[i];
            rec.aPlane.Add(m_aPlane[n]);
            T_VD_LCLDIRSUM_KVR_BASE_D frame = m_aFrame[n];
            frame.strName = m_aPlaneName[n];
            rec.aAxis.Add(frame);
        }
        rec.nValueColor = static_cast<int>(m_btnColour[0].GetColour());
        rec.nPlaneColor = static_cast<int>(m_btnColour[1].GetColour());
        rec.nArrowColor = static_cast<int>(m_btnColour[2].GetColour());
        rec.dArrowScale = std::atof(m_strSetting[0]);
        rec.dValueScale = std::atof(m_strSetting[1]);
        rec.nValueDecimal = std::atoi(m_strSetting[2]);
        rec.bExponential = m_nReserved;
        rec.nCutKind = nType;
        rec.nCompCount = nType == 0 ? 6 : 12;
        for (int i = 0; i < 12; ++i)
            rec.nCompPVtifK[i] = static_cast<int>(aKeys[i]);
        rec.bIncludeText = m_bTextOutput;
        rec.bAppend = s != 0;
        rec.bEditor = s == nSteps - 1;
        RequestDisplay();
    }
    return 1;
}

void CDlgPlateSolidDesign::OnUpdateData(int index, T_LCLDIR_PLNE_KVR_D& PlaneInfo, CPointInfoMap& mPointInfo,
                                        CPlateCellInfoMap& mPlateCellInfo, CSolidCellInfoMap& mSolidCellInfo,
                                        T_FORCESUM_D& ForceSum)
{
    CDesignKey key(static_cast<unsigned int>(index), static_cast<unsigned int>(m_nCurStep));
    // The first broadcast of a plane in a step stays.
    if (m_mapDesign.PLookup(key))
        return;
    m_recWork.mPoint.RemoveAll();
    m_recWork.mPlateCell.RemoveAll();
    m_recWork.mSolidCell.RemoveAll();
    m_recWork.plane.initialize();
    for (int k = 0; k < 3; ++k) {
        m_recWork.plane.dCentre[k] = PlaneInfo.dCentre[k];
        m_recWork.plane.dXDir[k] = PlaneInfo.dXDir[k];
    }
    m_recWork.plane.strName = PlaneInfo.strName;
    for (int k = 0; k < mPointInfo.GetCount(); ++k)
        if (const T_POINT_D* p = mPointInfo.PLookup(k))
            m_recWork.mPoint[k] = *p;
    for (int k = 0; k < mPlateCellInfo.GetCount(); ++k)
        if (const T_PLATE_CELL_D* p = mPlateCellInfo.PLookup(k))
            m_recWork.mPlateCell[k] = *p;
    for (int k = 0; k < mSolidCellInfo.GetCount(); ++k)
        if (const T_SOLID_CELL_D* p = mSolidCellInfo.PLookup(k))
            m_recWork.mSolidCell[k] = *p;
    m_recWork.sum = ForceSum;
    m_mapDesign[key] = m_recWork;
}

int CDlgPlateSolidDesign::CollectBoundaryEdges(int nPlane)
{
    CArray<int, int> idx;
    CArray<unsigned int, unsigned int> keys;
    const T_PLATE_SOLID_DESIGN_D* pRec = BaseRecord(nPlane, GetCheckedSteps(idx, keys));
    if (!pRec)
        return 0;
    kvpvs::design::CollectSingleEdges(pRec->mSolidCell, m_mapEdge);
    return 1;
}

int CDlgPlateSolidDesign::BuildBoundaryLoops()
{
    return kvpvs::design::BuildLoops(m_mapEdge, m_aBoundaryPoint, m_aLoopEnd) ? 1 : 0;
}

const T_PLATE_SOLID_DESIGN_D* CDlgPlateSolidDesign::BaseRecord(int nPlane, int nCases) const
{
    for (int j = 0; j < nCases; ++j) {
        CDesignKey key(static_cast<unsigned int>(nPlane), static_cast<unsigned int>(j));
        if (const T_PLATE_SOLID_DESIGN_D* p = m_mapDesign.PLookup(key))
            return p;
    }
    return nullptr;
}

int CDlgPlateSolidDesign::WriteForceRows(FILE* f, int nPlane, const CArray<unsigned int, unsigned int>& aCaseKey)
{
    if (aCaseKey.GetSize() == 0)
        return 0;
    CClassPLsif clsStep(m_pDoc ? m_pDoc->GetPostDB() : nullptr);
    for (int j = 0; j < aCaseKey.GetSize(); ++j) {
        CDesignKey key(static_cast<unsigned int>(nPlane), static_cast<unsigned int>(j));
        const T_PLATE_SOLID_DESIGN_D* pRec = m_mapDesign.PLookup(key);
        if (!pRec)
            continue;
        if (m_nCaseKind == 0) {
            T_PLSIF_D step;
            if (clsStep.Get(aCaseKey[j], step))
                kvpvs::design::WriteForceSumRow(f, true, step.strName, aCaseKey[j], pRec->sum);
            continue;
        }
        const CPostCtrlAnlTypeBase* pCtrl = kvpvs::design::CaseControl(m_pDoc, aCaseKey[j]);
        if (!pCtrl)
            return 0;
        CArray<unsigned int, unsigned int> steps;
        kvpvs::design::CaseSteps(m_pDoc, pCtrl, steps);
        T_PLSIF_D step;
        if (steps.GetSize() > 0 && clsStep.Get(steps[steps.GetSize() - 1], step))
            kvpvs::design::WriteForceSumRow(f, false, step.strName, steps[steps.GetSize() - 1], pRec->sum);
    }
    return 1;
}

int CDlgPlateSolidDesign::WriteDesignFile()
{
    if (!kvpvs::design::ModelPathReadsBack(m_pDoc))
        return 0;
    FILE* f = AfxTextFOpen(kvpvs::design::DesignFilePath(m_pDoc), "wt");
    if (!f)
        return 0;
    struct FileCloser {
        FILE* f;
        ~FileCloser() { std::fclose(f); }
    } closer{f};
    CArray<int, int> aCaseIndex;
    CArray<unsigned int, unsigned int> aCaseKey;
    const int nCases = GetCheckedSteps(aCaseIndex, aCaseKey);
    // A plane has data when a checked case has a record of it with a name and writable cut points;
    // its plane line, points, cells and boundary come from the first such case.
    auto baseOf = [&](int i) -> const T_PLATE_SOLID_DESIGN_D* {
        const T_PLATE_SOLID_DESIGN_D* p = BaseRecord(i, nCases);
        return p && !p->plane.strName.IsEmpty() && p->mPoint.GetCount() > 0 &&
                       kvpvs::design::PlaneIsWritable(p->plane, p->mPoint)
                   ? p
                   : nullptr;
    };

    if (m_nElemType == 1) {
        kvpvs::design::WriteHeader(f, false);
        for (int i = 0; i < m_nPlaneCount; ++i) {
            std::fprintf(f, "*PLATEFORCESUM, count, %d\n", i + 1);
            const T_PLATE_SOLID_DESIGN_D* pBase = baseOf(i);
            if (!pBase)
                continue;
            kvpvs::design::WritePlaneLine(f, pBase->plane, i + 1);
            kvpvs::design::WritePoints(f, pBase->mPoint);
            kvpvs::design::WritePlateCells(f, pBase->mPlateCell);
            kvpvs::design::WriteForceSumTitle(f);
            if (!WriteForceRows(f, i, aCaseKey))
                return 0;
        }
        kvpvs::design::WriteFilePath(f, m_pDoc);
        kvpvs::design::WriteEndData(f);
        return 1;
    }

    for (int i = 0; i < m_nPlaneCount; ++i) {
        const T_PLATE_SOLID_DESIGN_D* pBase = baseOf(i);
        if (!pBase)
            continue;
        m_mapEdge.RemoveAll();
        m_aBoundaryPoint.RemoveAll();
        m_aLoopEnd.RemoveAll();
        CollectBoundaryEdges(i);
        if (!BuildBoundaryLoops() || m_aLoopEnd.GetSize() != 1)
            return 0;
        double dCorner[4][3];
        if (!kvpvs::design::RectangleCorners(m_aBoundaryPoint, pBase->mPoint, dCorner)) {
            ShowMessage(IDS_KV_PVS_NOT_RECTANGLE_PLANE);
            return 0;
        }
        const double h = CMathFunc::mathLength(dCorner[0], dCorner[1]);
        const double b = CMathFunc::mathLength(dCorner[1], dCorner[2]);
        if (!kvpvs::design::AllWritable({h * b, h, b}))
            continue;

        kvpvs::design::WriteHeader(f, false);
        std::fprintf(f, "*SOLIDFORCESUM, count, %d\n", i + 1);
        kvpvs::design::WritePlaneLine(f, pBase->plane, i + 1);
        kvpvs::design::WritePoints(f, pBase->mPoint);
        kvpvs::design::WriteSolidCells(f, pBase->mSolidCell);
        std::fprintf(f, "*Boundary Edge Point\n");
        std::fprintf(f, ";Point ID\n");
        for (int k = 0; k < m_aBoundaryPoint.GetSize(); ++k)
            std::fprintf(f, "%9d\n", m_aBoundaryPoint[k] + 1);
        std::fprintf(f, "*SECTION; section\n");
        std::fprintf(f, ";%20s,%20s,%20s\n", "AREA", "h", "b");
        std::fprintf(f, " %20.3f,%20.3f,%20.3f\n", h * b, h, b);
        kvpvs::design::WriteForceSumTitle(f);
        if (!WriteForceRows(f, i, aCaseKey)) {
            kvpvs::design::WriteEndData(f);
            return 0;
        }
    }
    kvpvs::design::WriteFilePath(f, m_pDoc);
    kvpvs::design::WriteEndData(f);
    return 1;
}

int CDlgPlateSolidDesign::RunDesignChecker()
{
    kvpvs::design::RunChecker(m_pDoc);
    return 1;
}

void CDlgPlateSolidDesign::OnDesign()
{
    m_mapDesign.RemoveAll();
    kvpvs::design::CDesignUnitScope units(m_pDoc);
    if (RunForceSums() && WriteDesignFile())
        RunDesignChecker();
}

void CDlgPlateSolidDesign::OnTextOutput()
{
    m_bTextOutput = 1;
    RunForceSums();
    m_bTextOutput = 0;
}

void CDlgPlateSolidDesign::OnUpdate(CView*, LPARAM lHint, CObject* pHint)
{
    kvpvs::dialogs::RunGuarded([&] { HandleUpdateHint(lHint, pHint); });
}

void CDlgPlateSolidDesign::HandleUpdateHint(LPARAM lHint, CObject* pHint)
{
    if (!IsWindow(m_hWnd))
        return;
    if (lHint == 3) {
        auto* h = dynamic_cast<CDBChangeHint*>(pHint);
        if (!h)
            return;
        for (const T_DB_CMD_RECORD_D& r : h->m_aViewBuffer)
            if (r.nType == CClassLdfs::UR_LDFS_ADD || r.nType == CClassLdfs::UR_LDFS_DEL ||
                r.nType == CClassLdfs::UR_LDFS_MFS) {
                RefreshPlaneList();
                return;
            }
    } else if (lHint == 7 || lHint == 32)
        DestroyWindow();
}

BOOL CDlgPlateSolidDesign::PreTranslateMessage(MSG* pMsg)
{
    BOOL bDone = FALSE;
    kvpvs::dialogs::RunGuarded([&] {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
            // Destroying the window ends the object; it must not be touched afterwards.
            DestroyWindow();
            bDone = TRUE;
            return;
        }
        bDone = CPVSDlgModalessBase::PreTranslateMessage(pMsg);
    });
    return bDone;
}

void CDlgPlateSolidDesign::OnDestroy()
{
    CPVSDlgModalessBase::OnDestroy();
    kvpvs::dialogs::CloseUserDefDisplay();
    ClosePlaneDialog();
    CPVSLegendObjectUserDefMode::m_arLegendDesc.RemoveAll();
    AfxGetMainWnd()->SendMessage(WM_COMMAND, m_nPostMode ? ID_MAINWND_CLOSE_DISPLAY_BRDGMODE : ID_MAINWND_CLOSE_DISPLAY, 0);
}

LRESULT CDlgPlateSolidDesign::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return kvpvs::dialogs::GuardedWindowProc([&] { return CPVSDlgModalessBase::WindowProc(nMsg, wParam, lParam); });
}
