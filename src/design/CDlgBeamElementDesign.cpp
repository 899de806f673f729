#include "design/CDlgBeamElementDesign.h"
#include "dialogs/DialogEntryGuard.h"

#include "design/DesignCases.h"
#include "design/DesignTextFile.h"

#include "DBModelRecords.h"
#include "DlgUtil.h"
#include "FactoryPVS.h"
#include "MsgDll.h"
#include "QSort.h"
#include "afxfile.h"

#include <string>

IMPLEMENT_DYNAMIC(CDlgBeamElementDesign, CGeomDialog)

namespace {

// An element's value list along the beam holds at most this many values; end J is the last kept.
constexpr int kMaxValues = 50;

const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CDlgBeamElementDesign::IDD, AFX_DLGTEMPLATE_D{"Beam Element Design", 180, {
        {IDC_BMDS_SELECT, AFX_CTL_BUTTON, "选择梁单元", 0},
        {IDC_BMDS_KIND_STAGE, AFX_CTL_RADIO, "施工阶段工况", WS_GROUP},
        {IDC_BMDS_KIND_LINEAR, AFX_CTL_RADIO, "线性/非线性工况", 0},
        {IDC_BMDS_ACAS, AFX_CTL_COMBO, "", WS_GROUP},
        {IDC_BMDS_GROUP, AFX_CTL_STATIC, " 分析工况 ", 0},
        {IDC_BMDS_CASES, AFX_CTL_CHECKLIST, "", 0},
        {IDC_BMDS_DESIGN, AFX_CTL_BUTTON, "设计", 0},
        {IDC_BMDS_CLOSE, AFX_CTL_BUTTON, "关闭", 0},
        {IDC_BMDS_PICK_MORE, AFX_CTL_BUTTON, ">>", 0},
        {IDC_BMDS_PICK_STATIC1, AFX_CTL_STATIC, "", 0},
        {IDC_BMDS_PICK_STATIC2, AFX_CTL_STATIC, "", 0},
        {IDC_BMDS_PICK_RE, AFX_CTL_BUTTON, "Re", 0},
        {IDC_BMDS_PICK_SI, AFX_CTL_BUTTON, "Si", 0},
        {IDC_BMDS_HIDDEN, AFX_CTL_BUTTON, "", 0},
        {IDC_BMDS_RCBEAM, AFX_CTL_CHECK, "#?RC/Beam", 0},
        {IDC_BMDS_RCWALL, AFX_CTL_CHECK, "#?RC/Wall", 0},
        {IDC_BMDS_NEWDOC, AFX_CTL_CHECK, "#?New YRP", 0},
    }});
    return true;
}();

// Size only: the control keeps its place and width and grows by dy.
void GrowHeight(CWnd* p, int dy)
{
    if (!p)
        return;
    RECT r;
    p->GetWindowRect(&r);
    p->MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top + dy);
}

// The message text with its count put in place of "%d" (the text is not a format of ours).
CString WithCount(const CString& strText, int n)
{
    std::string s = strText.str();
    const size_t i = s.find("%d");
    if (i != std::string::npos)
        s.replace(i, 2, std::to_string(n));
    return CString(s);
}

} // namespace

BEGIN_MESSAGE_MAP(CDlgBeamElementDesign, CGeomDialog)
ON_BN_CLICKED(IDC_BMDS_DESIGN, OnDesign)
ON_BN_CLICKED(IDC_BMDS_SELECT, OnSelectBeam)
ON_BN_CLICKED(IDC_BMDS_KIND_STAGE, OnCaseKind)
ON_BN_CLICKED(IDC_BMDS_KIND_LINEAR, OnCaseKind)
ON_CBN_SELCHANGE(IDC_BMDS_ACAS, OnSelchangeAnalysisCase)
END_MESSAGE_MAP()

CDlgBeamElementDesign::CDlgBeamElementDesign(CZORDocBase* pDoc, CWnd* pParent) : CGeomDialog(IDD, pDoc, pParent)
{
    (void)g_bTemplate;
    m_pView = pDoc ? pDoc->GetActiveView() : nullptr;
    m_pContext = CAISContext::Of(pDoc);
    auto* pDBDoc = dynamic_cast<CDBDoc*>(pDoc);
    m_pDB = CDocCtrl::GetDBMain(pDBDoc);
    SetDefaultID(IDC_BMDS_PICK_SI, IDC_BMDS_PICK_RE, IDC_BMDS_PICK_MORE, IDC_BMDS_PICK_STATIC2, IDC_BMDS_PICK_STATIC1);
}

CDlgBeamElementDesign::~CDlgBeamElementDesign() = default;

BOOL CDlgBeamElementDesign::Create(CWnd* pParent) { return CGeomDialog::Create(IDD, pParent); }

void CDlgBeamElementDesign::DoDataExchange(CDataExchange* pDX)
{
    CGeomDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BMDS_ACAS, m_cobxAcas);
    DDX_Control(pDX, IDC_BMDS_CASES, m_lstCase);
    DDX_Control(pDX, IDC_BMDS_SELECT, m_btnSelect);
    DDX_Control(pDX, IDC_BMDS_RCBEAM, m_btnRcBeam);
    DDX_Control(pDX, IDC_BMDS_RCWALL, m_btnRcWall);
    DDX_Control(pDX, IDC_BMDS_NEWDOC, m_btnNewDoc);
    DDX_Radio(pDX, IDC_BMDS_KIND_STAGE, m_nCaseKind);
}

BOOL CDlgBeamElementDesign::OnInitDialog()
{
    CGeomDialog::OnInitDialog();
    m_selMgr.Init(GetDocument(), this);
    m_selMgr.SetControl(1, IDC_BMDS_SELECT);
    m_selMgr.SetMode(11);

    m_btnSelect.SetCaption(CMsgDll::pfuncLoadStr(IDS_KV_PVS_SELECTMGR_SELECT_BEAM_ELEMENT, 0));
    m_btnSelect.SetImages(IDB_SELECT_NORMAL, IDB_SELECT_CHECKED);

    m_btnRcBeam.SetCheck(1);
    m_btnRcWall.SetCheck(1);
    for (UINT nID : {IDC_BMDS_HIDDEN, IDC_BMDS_RCBEAM, IDC_BMDS_RCWALL, IDC_BMDS_NEWDOC})
        if (CWnd* p = GetDlgItem(nID))
            p->ShowWindow(SW_HIDE);
    GrowHeight(GetDlgItem(IDC_BMDS_GROUP), 35);
    GrowHeight(GetDlgItem(IDC_BMDS_CASES), 35);

    FillAnalysisCaseCombo();
    FillCaseList();
    CDlgUtil::CobxUpdateItemWidth(&m_cobxAcas);
    return TRUE;
}

void CDlgBeamElementDesign::FillAnalysisCaseCombo()
{
    kvpvs::design::FillStageCaseCombo(dynamic_cast<CDBDoc*>(GetDocument()), m_cobxAcas);
}

void CDlgBeamElementDesign::FillCaseList()
{
    m_lstCase.ResetContent();
    auto* pDoc = dynamic_cast<CDBDoc*>(GetDocument());
    if (m_nCaseKind == 0)
        kvpvs::design::AddStageSteps(pDoc, m_cobxAcas, m_lstCase);
    else
        kvpvs::design::AddLinearCases(pDoc, m_lstCase);
}

void CDlgBeamElementDesign::OnCaseKind()
{
    UpdateData(TRUE);
    m_cobxAcas.EnableWindow(m_nCaseKind == 0);
    FillCaseList();
}

void CDlgBeamElementDesign::ShowSelectionCaption()
{
    if (m_aElemK.GetSize() == 0)
        m_btnSelect.SetCaption(CMsgDll::pfuncLoadStr(IDS_KV_PVS_SELECTMGR_SELECT_BEAM_ELEMENT, 0));
    else
        m_btnSelect.SetCaption(
            WithCount(CMsgDll::pfuncLoadStr(IDS_KV_PVS_SELECTMGR_BEAM_ELEMENTS_SELECTED, 0), m_aElemK.GetSize()));
}

void CDlgBeamElementDesign::OnSelectBeam()
{
    m_selMgr.ResetSelection();
    RemoveAllTemporary(0);
    m_selMgr.SetMode(11);
    m_btnSelect.SetCaption(CMsgDll::pfuncLoadStr(IDS_KV_PVS_SELECTMGR_SELECT_BEAM_ELEMENT, 0));
}

void CDlgBeamElementDesign::OnSelectionDone(void* pPickArg)
{
    m_selMgr.OnSelect(pPickArg);
    CArray<unsigned int, unsigned int> picked;
    m_selMgr.GetSelectedElem(picked);
    if (picked.GetSize() == 0) {
        m_btnSelect.SetCaption(CMsgDll::pfuncLoadStr(IDS_KV_PVS_SELECTMGR_SELECT_BEAM_ELEMENT, 0));
        return;
    }
    CClassElem clsElem(m_pDB);
    CClassAttr clsAttr(m_pDB);
    for (int i = picked.GetSize() - 1; i >= 0; --i) {
        T_ELEM_D elem;
        T_ATTR_D attr;
        // An element or attribute that cannot be read cancels the pick.
        if (!clsElem.Get(picked[i], elem) || !clsAttr.Get(elem.nPropK, attr))
            return;
        if (attr.nType != 151 && attr.nType != 102)
            picked.RemoveAt(i);
    }
    RemoveAllTemporary(0);
    auto pHighlight = std::make_shared<AIS_MeshSelect>();
    pHighlight->SetElemSelection(picked);
    m_aElemK.Copy(picked);
    SetTempIObject_Mode(pHighlight, 10000);
    ShowSelectionCaption();
    m_btnSelect.SetImage(IDB_SELECT_DONE);
    m_btnSelect.Redraw();
}

int CDlgBeamElementDesign::GetCheckedCases(CArray<int, int>& aIndex, CArray<unsigned int, unsigned int>& aData) const
{
    aIndex.RemoveAll();
    aData.RemoveAll();
    for (int i = 0; i < m_lstCase.GetCount(); ++i)
        if (m_lstCase.GetCheck(i)) {
            aIndex.Add(i);
            aData.Add(static_cast<unsigned int>(m_lstCase.GetItemData(i)));
        }
    return aIndex.GetSize();
}

void CDlgBeamElementDesign::OnDesign()
{
    if (m_aElemK.GetSize() == 0) {
        MessageBox(CMsgDll::pfuncLoadStr(IDS_LBC_NO_SELECTED_ELEMENT, 0), "", MB_OK);
        return;
    }
    if (WriteDesignFile() == 1)
        RunChecker();
}

void CDlgBeamElementDesign::RunChecker() { kvpvs::design::RunChecker(dynamic_cast<CDBDoc*>(GetDocument())); }

void CDlgBeamElementDesign::WriteStep(FILE* f, unsigned int nStepK, const CString& strName,
                                      const CArray<unsigned int, unsigned int>& aElem)
{
    std::fprintf(f, "%6d, %16s\n", static_cast<int>(nStepK), kvpvs::design::NameInFile(strName).GetString());
    auto* pDoc = dynamic_cast<CDBDoc*>(GetDocument());
    CDBBase* pPostDB = pDoc ? pDoc->GetPostDB() : nullptr;
    CClassPVtif clsRow(pPostDB);
    CArray<unsigned int, unsigned int> rows;
    clsRow.GetKeyListByLSifK(nStepK, 1, rows);
    // Slot c holds the row of item 51 + c: Fx, Fy, Fz, Mx, My, Mz; a later row of an item wins.
    unsigned int aSlot[6] = {0, 0, 0, 0, 0, 0};
    bool bAny = false;
    for (int i = 0; i < rows.GetSize(); ++i) {
        T_PVTIF_D r;
        if (!clsRow.Get(rows[i], r) || r.nQuantity != 4 || r.nResultClass != 5 || r.nItem < 51 || r.nItem > 56)
            continue;
        aSlot[r.nItem - 51] = rows[i];
        bAny = true;
    }
    if (!bAny)
        return;
    std::fprintf(f, ";ElementID,      Fxi,      Fyi,      Fzi,      Mxi,      Myi,      Mzi,      Fxj,      Fyj,"
                    "      Fzj,      Mxj,      Myj,      Mzj\n");
    CPostCtrlBase* pPost = pPostDB ? CPDataBaseNeutral::GetPostCtrl(pPostDB) : nullptr;
    for (int e = 0; e < aElem.GetSize(); ++e) {
        double v[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        for (int c = 0; c < 6 && pPost; ++c) {
            if (aSlot[c] == 0 || !pPost->BeginQueryRow(aSlot[c]))
                continue;
            CArray<unsigned int, unsigned int> ids;
            ids.Add(aElem[e]);
            int nCount = 0;
            CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&> values;
            T_POST_VECT_ALL_D run;
            if (pPost->GetElemResult(ids, aSlot[c], nCount, values) && values.Lookup(static_cast<int>(aElem[e]), run)) {
                const int n = run.aValue.GetSize() < kMaxValues ? run.aValue.GetSize() : kMaxValues;
                if (n > 0) {
                    v[c] = run.aValue[0];
                    v[6 + c] = run.aValue[n - 1];
                }
            }
            pPost->EndQueryRow();
        }
        if (!kvpvs::design::AllWritable({v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11]}))
            continue;
        std::fprintf(f, "%10d, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f\n",
                     static_cast<int>(aElem[e]), v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10],
                     v[11]);
    }
}

int CDlgBeamElementDesign::WriteDesignFile()
{
    auto* pDoc = dynamic_cast<CDBDoc*>(GetDocument());
    if (!pDoc || !kvpvs::design::ModelPathReadsBack(pDoc))
        return 0;
    FILE* f = AfxTextFOpen(kvpvs::design::DesignFilePath(pDoc), "wt");
    if (!f)
        return 0;
    struct FileCloser {
        FILE* f;
        ~FileCloser() { std::fclose(f); }
    } closer{f};
    // Read and written in millimetres and newtons; the saved index returns on every way out.
    kvpvs::design::CDesignUnitScope units(pDoc);
    kvpvs::design::WriteHeader(f, true);

    CClassGpro clsGpro(m_pDB);
    CClassGmat clsGmat(m_pDB);
    CClassAttr clsAttr(m_pDB);
    CClassElem clsElem(m_pDB);
    CArray<unsigned int, unsigned int> keys;
    std::fprintf(f, "*SECTION ; Section\n");
    std::fprintf(f, ";   ID,   TYPE,    NAME,     Area,       Ix,       Iy,       Iz,       Ay,       Az,     Dim1");
    std::fprintf(f, ",     Dim2,     Dim3,     Dim4,     Dim5,     Dim6\n");
    clsGpro.GetKeyList(keys, 102);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_GPRO_D g;
        if (!clsGpro.Get(keys[i], g) ||
            !kvpvs::design::AllWritable({g.dArea, g.dIx, g.dIy, g.dIz, g.dAy, g.dAz, g.dDim[0], g.dDim[1], g.dDim[2],
                                         g.dDim[3], g.dDim[4], g.dDim[5]}))
            continue;
        std::fprintf(
            f, "%6d,%7s,%8s, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f, %8.3f\n",
            static_cast<int>(keys[i]), g.bShape ? "Shape" : "Value", kvpvs::design::NameInFile(g.strName).GetString(),
            g.dArea, g.dIx, g.dIy, g.dIz, g.dAy, g.dAz, g.dDim[0], g.dDim[1], g.dDim[2], g.dDim[3], g.dDim[4],
            g.dDim[5]);
    }
    std::fprintf(f, "*MATERIAL ; Material\n");
    std::fprintf(f, ";   ID,    Name,           E, Poisson's Ratio, Weight Density\n");
    clsGmat.GetKeyList(keys, 100);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_GMAT_D m;
        if (clsGmat.Get(keys[i], m) && kvpvs::design::AllWritable({m.dElast, m.dPoisson, m.dWeight}))
            std::fprintf(f, "%6d,%8s, %8.3f, %14.3f, %14.3f\n", static_cast<int>(keys[i]),
                         kvpvs::design::NameInFile(m.strName).GetString(), m.dElast, m.dPoisson, m.dWeight);
    }
    std::fprintf(f, "*ATTRIBUTE ; Attribute\n");
    std::fprintf(f, ";   ID, SECTION ID, MATERIAL ID\n");
    clsAttr.GetKeyList(keys, 151);
    for (int i = 0; i < keys.GetSize(); ++i) {
        T_ATTR_D a;
        if (clsAttr.Get(keys[i], a))
            std::fprintf(f, "%6d, %10d, %11d\n", static_cast<int>(keys[i]), static_cast<int>(a.nGproK),
                         static_cast<int>(a.nGmatK));
    }

    std::fprintf(f, "*ELEMENT ; Element\n");
    std::fprintf(f, ";    ID, ATTRIBUTE ID\n");
    CArray<unsigned int, unsigned int> aElem;
    IQueryPVS* pQuery = IQueryPVS::Instance();
    for (int i = 0; i < m_aElemK.GetSize(); ++i)
        aElem.Add(pQuery ? pQuery->GetElemKeyOrId(m_aElemK[i], nullptr) : m_aElemK[i]);
    CQSort::QSortUInt(aElem);
    for (int i = 0; i < aElem.GetSize(); ++i) {
        T_ELEM_D e;
        T_ATTR_D a;
        if (clsElem.Get(aElem[i], e) && clsAttr.Get(e.nPropK, a))
            std::fprintf(f, "%7d, %12d\n", static_cast<int>(aElem[i]), static_cast<int>(e.nPropK));
    }

    std::fprintf(f, "*LOADCASE\n");
    std::fprintf(f, ";   ID, Load Case Name\n");
    CArray<int, int> aIndex;
    CArray<unsigned int, unsigned int> aData;
    if (GetCheckedCases(aIndex, aData) == 0)
        return 0;
    CClassPLsif clsStep(pDoc->GetPostDB());
    for (int i = 0; i < aData.GetSize(); ++i) {
        if (m_nCaseKind == 0) {
            T_PLSIF_D step;
            if (clsStep.Get(aData[i], step))
                WriteStep(f, aData[i], step.strName, aElem);
            continue;
        }
        const CPostCtrlAnlTypeBase* pCtrl = kvpvs::design::CaseControl(pDoc, aData[i]);
        if (!pCtrl)
            return 0;
        CArray<unsigned int, unsigned int> steps;
        kvpvs::design::CaseSteps(pDoc, pCtrl, steps);
        for (int s = 0; s < steps.GetSize(); ++s) {
            T_PLSIF_D step;
            if (clsStep.Get(steps[s], step) && (step.nStepKind == 1 || step.nStepKind == 10))
                WriteStep(f, steps[s], step.strName, aElem);
        }
    }
    kvpvs::design::WriteFilePath(f, pDoc);
    kvpvs::design::WriteEndData(f);
    return 1;
}

void CDlgBeamElementDesign::OnUpdate(CView*, LPARAM lHint, CObject*)
{
    kvpvs::dialogs::RunGuarded([&] {
        if (IsWindow(m_hWnd) && (lHint == 7 || lHint == 32))
            DestroyWindow();
    });
}

LRESULT CDlgBeamElementDesign::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return kvpvs::dialogs::GuardedWindowProc([&] { return CGeomDialog::WindowProc(nMsg, wParam, lParam); });
}
