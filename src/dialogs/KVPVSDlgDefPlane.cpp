#include "dialogs/KVPVSDlgDefPlane.h"

#include "dialogs/DialogEntryGuard.h"
#include "dialogs/DialogNumbers.h"
#include "DBDoc.h"
#include "MathFunc.h"
#include "MsgOut.h"
#include "UnitCtrl.h"
#include "ZORViewBase.h"

#include <vtkCallbackCommand.h>
#include <vtkCommand.h>
#include <vtkImplicitPlaneWidget.h>
#include <vtkPlane.h>
#include <vtkProperty.h>
#include <vtkRenderWindowInteractor.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CKVPVSDlgDefPlane, CGeomDialog)

CKVPVSDlgDefPlane* CKVPVSDlgDefPlane::m_pMySelf = nullptr;

namespace {

const UINT kPosID[3] = {IDC_DEFPLANE_POS_X, IDC_DEFPLANE_POS_Y, IDC_DEFPLANE_POS_Z};
const UINT kMinID[3] = {IDC_DEFPLANE_MIN_X, IDC_DEFPLANE_MIN_Y, IDC_DEFPLANE_MIN_Z};
const UINT kMaxID[3] = {IDC_DEFPLANE_MAX_X, IDC_DEFPLANE_MAX_Y, IDC_DEFPLANE_MAX_Z};
const UINT kAxisID[3] = {IDC_DEFPLANE_AXIS_X, IDC_DEFPLANE_AXIS_Y, IDC_DEFPLANE_AXIS_Z};
const UINT kPntID[3] = {IDC_DEFPLANE_PNT1, IDC_DEFPLANE_PNT2, IDC_DEFPLANE_PNT3};

// The template: radio groups in template order, each started by WS_GROUP.
const bool g_bTemplate = [] {
    AfxRegisterDialogTemplate(CKVPVSDlgDefPlane::IDD, AFX_DLGTEMPLATE_D{"平面", 170, {
        {IDC_DEFPLANE_MODE_AXIS, AFX_CTL_RADIO, "Global axis", WS_GROUP},
        {IDC_DEFPLANE_MODE_POINTS, AFX_CTL_RADIO, "Three points", 0},
        {IDC_DEFPLANE_AXIS_X, AFX_CTL_RADIO, "X", WS_GROUP},
        {IDC_DEFPLANE_AXIS_Y, AFX_CTL_RADIO, "Y", 0},
        {IDC_DEFPLANE_AXIS_Z, AFX_CTL_RADIO, "Z", 0},
        {IDC_DEFPLANE_POS_X, AFX_CTL_EDIT, "", WS_GROUP},
        {IDC_DEFPLANE_MIN_X, AFX_CTL_EDIT, "", ES_READONLY},
        {IDC_DEFPLANE_MAX_X, AFX_CTL_EDIT, "", ES_READONLY},
        {IDC_DEFPLANE_POS_Y, AFX_CTL_EDIT, "", 0},
        {IDC_DEFPLANE_MIN_Y, AFX_CTL_EDIT, "", ES_READONLY},
        {IDC_DEFPLANE_MAX_Y, AFX_CTL_EDIT, "", ES_READONLY},
        {IDC_DEFPLANE_POS_Z, AFX_CTL_EDIT, "", 0},
        {IDC_DEFPLANE_MIN_Z, AFX_CTL_EDIT, "", ES_READONLY},
        {IDC_DEFPLANE_MAX_Z, AFX_CTL_EDIT, "", ES_READONLY},
        {IDC_DEFPLANE_PNT1, AFX_CTL_EDIT, "", 0},
        {IDC_DEFPLANE_PNT2, AFX_CTL_EDIT, "", 0},
        {IDC_DEFPLANE_PNT3, AFX_CTL_EDIT, "", 0},
        {IDC_DEFPLANE_APPLY, AFX_CTL_BUTTON, "Apply", 0},
        {IDC_DEFPLANE_REVERSE, AFX_CTL_BUTTON, "Reverse", 0},
        {IDC_DEFPLANE_SHOW, AFX_CTL_BUTTON, "Show", 0},
        {IDC_DEFPLANE_DYNAMIC, AFX_CTL_CHECK, "Dynamic display", 0},
        {IDC_DEFPLANE_PICK1, AFX_CTL_BUTTON, "", WS_HIDDEN},
        {IDC_DEFPLANE_PICK2, AFX_CTL_BUTTON, "", WS_HIDDEN},
        {IDC_DEFPLANE_PICK3, AFX_CTL_BUTTON, "", WS_HIDDEN},
        {IDC_DEFPLANE_PICK4, AFX_CTL_BUTTON, "", WS_HIDDEN},
        {IDC_DEFPLANE_PICK5, AFX_CTL_BUTTON, "", WS_HIDDEN},
    }});
    return true;
}();

constexpr const char* kNoPlaneMessage = "The 3 selected points cannot define a plane!";

const CUnitCtrl* Units(CZORDocBase* pDoc) { return CDocCtrl::GetUnitCtrl(dynamic_cast<CDBDoc*>(pDoc)); }

} // namespace

BEGIN_MESSAGE_MAP(CKVPVSDlgDefPlane, CGeomDialog)
ON_BN_CLICKED(IDC_DEFPLANE_APPLY, OnGcsPlaneApply)
ON_BN_CLICKED(IDC_DEFPLANE_SHOW, OnDefPlanePlot)
ON_BN_CLICKED(IDC_DEFPLANE_DYNAMIC, OnSensitiveCheck)
ON_BN_CLICKED(IDC_DEFPLANE_REVERSE, OnDefPlaneReverseNormal)
ON_BN_CLICKED(IDC_DEFPLANE_AXIS_X, OnDirRadioChange)
ON_BN_CLICKED(IDC_DEFPLANE_AXIS_Y, OnDirRadioChange)
ON_BN_CLICKED(IDC_DEFPLANE_AXIS_Z, OnDirRadioChange)
ON_EN_SETFOCUS(IDC_DEFPLANE_PNT1, OnFocusPnt1)
ON_EN_SETFOCUS(IDC_DEFPLANE_PNT2, OnFocusPnt2)
ON_EN_SETFOCUS(IDC_DEFPLANE_PNT3, OnFocusPnt3)
ON_BN_CLICKED(IDC_DEFPLANE_MODE_AXIS, OnRdoType1)
ON_BN_CLICKED(IDC_DEFPLANE_MODE_POINTS, OnRdoType2)
ON_WM_SYSCOMMAND()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CKVPVSDlgDefPlane::CKVPVSDlgDefPlane(CZORDocBase* pDoc, CWnd* pParent)
    : CGeomDialog(IDD, pDoc, pParent), m_pWidget(vtkSmartPointer<vtkImplicitPlaneWidget>::New()),
      m_pObserver(vtkSmartPointer<vtkCallbackCommand>::New()), m_pPlane(vtkSmartPointer<vtkPlane>::New())
{
    (void)g_bTemplate;
    m_pContext = CAISContext::Of(pDoc);
    m_pMySelf = this;
    SetDefaultID(IDC_DEFPLANE_PICK1, IDC_DEFPLANE_PICK2, IDC_DEFPLANE_PICK3, IDC_DEFPLANE_PICK4, IDC_DEFPLANE_PICK5);
}

CKVPVSDlgDefPlane::~CKVPVSDlgDefPlane()
{
    if (m_pMySelf == this)
        m_pMySelf = nullptr;
}

vtkImplicitPlaneWidget* CKVPVSDlgDefPlane::GetWidget() const { return m_pWidget; }

BOOL CKVPVSDlgDefPlane::Create(CWnd* pParent) { return CGeomDialog::Create(IDD, pParent); }

void CKVPVSDlgDefPlane::SetOrigin(double x, double y, double z)
{
    m_dOrigin[0] = x;
    m_dOrigin[1] = y;
    m_dOrigin[2] = z;
}

void CKVPVSDlgDefPlane::SetNormal(double x, double y, double z)
{
    m_dNormal[0] = x;
    m_dNormal[1] = y;
    m_dNormal[2] = z;
}

double* CKVPVSDlgDefPlane::GetOrigin() { return m_pPlane->GetOrigin(); }

double* CKVPVSDlgDefPlane::GetNormal() { return m_pPlane->GetNormal(); }

PositionTool* CKVPVSDlgDefPlane::GetEventHandler()
{
    if (!m_pPositionTool)
        m_pPositionTool = std::make_unique<PositionTool>(m_pDoc ? m_pDoc->GetActiveView() : nullptr, this, 1);
    return m_pPositionTool.get();
}

CZORViewBase* CKVPVSDlgDefPlane::ActiveView() const
{
    return m_pDoc ? dynamic_cast<CZORViewBase*>(m_pDoc->GetActiveView()) : nullptr;
}

void CKVPVSDlgDefPlane::EnableItem(UINT nID, BOOL bEnable)
{
    if (CWnd* p = GetDlgItem(nID))
        p->EnableWindow(bEnable);
}

void CKVPVSDlgDefPlane::DoDataExchange(CDataExchange* pDX)
{
    CGeomDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DEFPLANE_PNT1, m_editPnt1);
    DDX_Control(pDX, IDC_DEFPLANE_PNT2, m_editPnt2);
    DDX_Control(pDX, IDC_DEFPLANE_PNT3, m_editPnt3);
    DDX_Radio(pDX, IDC_DEFPLANE_MODE_AXIS, m_nPlaneMode);
    DDX_Radio(pDX, IDC_DEFPLANE_AXIS_X, m_nAxis);
    DDX_Check(pDX, IDC_DEFPLANE_DYNAMIC, m_bDynamic);
    for (int k = 0; k < 3; ++k) {
        DDX_Text(pDX, kPosID[k], m_strPos[k]);
        DDX_Text(pDX, kMinID[k], m_strMin[k]);
        DDX_Text(pDX, kMaxID[k], m_strMax[k]);
    }
}

BOOL CKVPVSDlgDefPlane::OnInitDialog()
{
    CGeomDialog::OnInitDialog();
    m_pObserver->SetCallback(&CKVPVSDlgDefPlane::WidgetObserver);
    m_pObserver->SetClientData(this);
    ToggleVTKInteraction(1);
    UpdateData(FALSE);
    if (m_bNoPlotMode) {
        SetInitPos(3, 0, 0);
        MoveDlgToInitPos();
        if (CWnd* p = GetDlgItem(IDC_DEFPLANE_DYNAMIC))
            p->ShowWindow(SW_HIDE);
        if (CWnd* p = GetDlgItem(IDC_DEFPLANE_SHOW))
            p->ShowWindow(SW_HIDE);
    }
    OnSensitiveCheck();
    OnDirRadioChange();
    OnRdoType1();
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
    OnGcsPlaneApply();
    // The opener's plane replaces the global-axis default, without a draw call: its normal
    // must not be zero (the stored values start at zero when the opener gives none).
    if (m_dNormal[0] != 0.0 || m_dNormal[1] != 0.0 || m_dNormal[2] != 0.0) {
        m_pPlane->SetOrigin(m_dOrigin);
        m_pPlane->SetNormal(m_dNormal);
        m_pWidget->SetOrigin(m_dOrigin);
        m_pWidget->SetNormal(m_dNormal);
        m_pWidget->UpdatePlacement();
    }
    return FALSE;
}

void CKVPVSDlgDefPlane::SetBoundary(double dBounds[6])
{
    // The planes are placed against these, not against their texts: six digits of a model at
    // x = 5123456.789 would move every plane by metres.
    std::copy(dBounds, dBounds + 6, m_dBounds);
    const CUnitCtrl* pUnit = Units(m_pDoc);
    for (int i = 0; i < 6; ++i)
        dBounds[i] = pUnit ? pUnit->ConvertUnitLengthOut(dBounds[i]) : dBounds[i];
    for (int k = 0; k < 3; ++k) {
        m_strMin[k] = kvpvs::dialogs::FormatRoundTrip(dBounds[2 * k]);
        m_strMax[k] = kvpvs::dialogs::FormatRoundTrip(dBounds[2 * k + 1]);
        m_strPos[k] = kvpvs::dialogs::FormatRoundTrip((dBounds[2 * k] + dBounds[2 * k + 1]) / 2.0);
        m_strMidPos[k] = m_strPos[k];
        if (CWnd* p = GetDlgItem(kMinID[k]))
            p->SetWindowText(m_strMin[k]);
        if (CWnd* p = GetDlgItem(kMaxID[k]))
            p->SetWindowText(m_strMax[k]);
        if (CWnd* p = GetDlgItem(kPosID[k]))
            p->SetWindowText(m_strPos[k]);
    }
}

void CKVPVSDlgDefPlane::UpdatePipeline()
{
    CZORViewBase* pView = ActiveView();
    auto* pDoc = dynamic_cast<CDBDoc*>(m_pDoc);
    if (!pView || !pDoc)
        return;
    double dModel[6];
    pDoc->GetModelBounds(dModel);
    double dBounds[6] = {dModel[0], dModel[3], dModel[1], dModel[4], dModel[2], dModel[5]};

    m_pWidget->SetInteractor(pView->GetInteractor());
    m_pWidget->SetPlaceFactor(1.25);
    // The outline box all but vanishes; the plane stays visible, half see-through grey.
    m_pWidget->GetOutlineProperty()->SetOpacity(0.001);
    m_pWidget->GetPlaneProperty()->SetOpacity(0.7);
    m_pWidget->GetPlaneProperty()->SetColor(0.5, 0.5, 0.5);

    double dRange[3];
    for (int k = 0; k < 3; ++k)
        dRange[k] = std::fabs(dBounds[2 * k + 1] - dBounds[2 * k]);
    double dBox[6];
    for (int k = 0; k < 3; ++k) {
        // A flat axis is widened by 1 % of the larger other range, so the widget can be placed.
        const double d = dRange[k] >= 1e-7 ? 0.1 * dRange[k] : 0.01 * std::max(dRange[(k + 1) % 3], dRange[(k + 2) % 3]);
        dBox[2 * k] = dBounds[2 * k] - d;
        dBox[2 * k + 1] = dBounds[2 * k + 1] + d;
    }
    m_pWidget->PlaceWidget(dBox);
    m_pWidget->SetOrigin(m_pPlane->GetOrigin());
    m_pWidget->SetNormal(m_pPlane->GetNormal());
    if (!m_bObserverInstalled) {
        m_pWidget->AddObserver(vtkCommand::EndInteractionEvent, m_pObserver);
        m_bObserverInstalled = 1;
    }
    m_pWidget->On();
    SetBoundary(dBounds);
}

void CKVPVSDlgDefPlane::ToggleVTKInteraction(int bOn)
{
    CZORViewBase* pView = ActiveView();
    if (!pView)
        return;
    if (bOn) {
        UpdatePipeline();
        pView->SetVTKInteraction(1);
    } else {
        pView->SetVTKInteraction(0);
        m_pWidget->EnabledOff();
        m_pWidget->Off();
    }
}

void CKVPVSDlgDefPlane::WidgetObserver(vtkObject*, unsigned long nEvent, void* pClientData, void*)
{
    auto* self = static_cast<CKVPVSDlgDefPlane*>(pClientData);
    if (!self)
        return;
    self->m_pWidget->GetPlane(self->m_pPlane);
    if (nEvent != vtkCommand::EndInteractionEvent)
        return;
    if (!IsWindow(self->m_hWnd))
        return;
    self->UpdateData(TRUE);
    if (self->m_pfnDraw)
        self->m_pfnDraw(self->m_pPlane->GetNormal(), self->m_pPlane->GetOrigin(), self->m_bDynamic);
}

void CKVPVSDlgDefPlane::PushPlaneToWidget()
{
    m_pWidget->SetOrigin(m_pPlane->GetOrigin());
    m_pWidget->SetNormal(m_pPlane->GetNormal());
    m_pWidget->UpdatePlacement();
}

void CKVPVSDlgDefPlane::RedrawOrPlot()
{
    if (!m_bDynamic) {
        if (CZORViewBase* pView = ActiveView())
            pView->Redraw();
        return;
    }
    OnDefPlanePlot();
}

void CKVPVSDlgDefPlane::OnGcsPlaneApply()
{
    UpdateData(TRUE);
    if (m_nPlaneMode == 1) {
        double p[3][3];
        double n[3] = {0, 0, 0};
        bool bPoints = true;
        for (int i = 0; i < 3; ++i)
            bPoints = bPoints && PointEdit(i + 1).GetPoint(p[i]) && std::isfinite(p[i][0]) && std::isfinite(p[i][1]) &&
                      std::isfinite(p[i][2]);
        if (bPoints)
            CMathFunc::mathNormal(p[0], p[1], p[2], n);
        if (!bPoints || !std::isfinite(n[0]) || !std::isfinite(n[1]) || !std::isfinite(n[2]) || !CMathFunc::Normalize(n)) {
            GMsgOut(kNoPlaneMessage);
            return;
        }
        ToggleVTKInteraction(1);
        double o[3];
        for (int k = 0; k < 3; ++k)
            o[k] = (p[0][k] + p[1][k] + p[2][k]) / 3.0;
        m_pPlane->SetOrigin(o);
        m_pPlane->SetNormal(n);
    } else {
        const CUnitCtrl* pUnit = Units(m_pDoc);
        const int a = std::clamp(m_nAxis, 0, 2);
        double o[3], n[3] = {0, 0, 0};
        for (int k = 0; k < 3; ++k)
            o[k] = (m_dBounds[2 * k] + m_dBounds[2 * k + 1]) / 2.0;
        // The middle as written stands for the middle itself: units out and in again may round.
        // A typed position that is no number stays at the middle too.
        if (m_strPos[a] != m_strMidPos[a]) {
            const double d = std::atof(m_strPos[a]);
            const double dPos = pUnit ? pUnit->ConvertUnitLengthIn(d) : d;
            if (std::isfinite(dPos))
                o[a] = std::min(std::max(dPos, m_dBounds[2 * a]), m_dBounds[2 * a + 1]);
        }
        n[a] = 1.0;
        m_pPlane->SetOrigin(o);
        m_pPlane->SetNormal(n);
    }
    PushPlaneToWidget();
    RedrawOrPlot();
}

void CKVPVSDlgDefPlane::OnDefPlanePlot()
{
    ToggleVTKInteraction(1);
    if (m_pfnDraw)
        m_pfnDraw(m_pPlane->GetNormal(), m_pPlane->GetOrigin(), 1);
}

void CKVPVSDlgDefPlane::OnDefPlaneReverseNormal()
{
    UpdateData(TRUE);
    double n[3];
    m_pPlane->GetNormal(n);
    // Kept as the host has it: the X axis turns a hair off its line.
    if (n[0] == 1.0 && n[1] == 0.0 && n[2] == 0.0) {
        n[0] = -1.0;
        n[1] = 9e-06;
    } else {
        for (double& c : n)
            c = -c;
    }
    m_pPlane->SetNormal(n);
    PushPlaneToWidget();
    RedrawOrPlot();
}

void CKVPVSDlgDefPlane::OnSensitiveCheck()
{
    UpdateData(TRUE);
    EnableItem(IDC_DEFPLANE_SHOW, !m_bDynamic);
}

void CKVPVSDlgDefPlane::OnDirRadioChange()
{
    UpdateData(TRUE);
    for (int k = 0; k < 3; ++k)
        EnableItem(kPosID[k], FALSE);
    if (m_nAxis >= 0 && m_nAxis < 3)
        EnableItem(kPosID[m_nAxis], TRUE);
}

void CKVPVSDlgDefPlane::OnRdoType1()
{
    UpdateData(TRUE);
    m_nPlaneMode = 0;
    UpdateData(FALSE);
    for (UINT id : kAxisID)
        EnableItem(id, TRUE);
    OnDirRadioChange();
    for (UINT id : kPntID)
        EnableItem(id, FALSE);
}

void CKVPVSDlgDefPlane::OnRdoType2()
{
    UpdateData(TRUE);
    m_nPlaneMode = 1;
    UpdateData(FALSE);
    for (UINT id : kPosID)
        EnableItem(id, FALSE);
    for (UINT id : kAxisID)
        EnableItem(id, FALSE);
    for (UINT id : kPntID)
        EnableItem(id, TRUE);
}

void CKVPVSDlgDefPlane::OnFocusPnt(int n)
{
    ToggleVTKInteraction(0);
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

void CKVPVSDlgDefPlane::FocusPoint(int n)
{
    if (CWnd::GetFocus() == &PointEdit(n))
        OnFocusPnt(n);
    else
        PointEdit(n).SetFocus();
}

void CKVPVSDlgDefPlane::SetLatestPoint(gp_Pnt& p)
{
    if (m_nCurPoint == 1 || m_nCurPoint == 2) {
        PointEdit(m_nCurPoint).SetPoint(p.X(), p.Y(), p.Z());
        FocusPoint(m_nCurPoint + 1);
        return;
    }
    if (m_nCurPoint == 3)
        m_editPnt3.SetPoint(p.X(), p.Y(), p.Z());
    m_nCurPoint = 0;
    if (CGeomSelector* pSel = CGeomSelector::Of(m_pDoc))
        pSel->SetPositionMode(0);
    GetEventHandler()->SetStatus(0);
    CAISObjectSnapper::ResetSnapWidget();
}

BOOL CKVPVSDlgDefPlane::PreTranslateMessage(MSG* pMsg)
{
    // Enter in any control shows the plane.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
        OnDefPlanePlot();
        return TRUE;
    }
    return CGeomDialog::PreTranslateMessage(pMsg);
}

void CKVPVSDlgDefPlane::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0u) == SC_CLOSE) {
        DestroyWindow();
        return;
    }
    CGeomDialog::OnSysCommand(nID, lParam);
}

LRESULT CKVPVSDlgDefPlane::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return kvpvs::dialogs::GuardedWindowProc([&] { return CGeomDialog::WindowProc(nMsg, wParam, lParam); });
}

void CKVPVSDlgDefPlane::OnDestroy()
{
    CGeomDialog::OnDestroy();
    if (m_pfnDestroy)
        m_pfnDestroy(m_pPlane->GetNormal(), m_pPlane->GetOrigin());
}

void CKVPVSDlgDefPlane::PostNcDestroy()
{
    if (vtkRenderWindowInteractor* pInteractor = m_pWidget->GetInteractor()) {
        (void)pInteractor;
        if (CZORViewBase* pView = ActiveView())
            pView->SetVTKInteraction(0);
        m_pWidget->EnabledOff();
        m_pWidget->Off();
    }
    m_pWidget->RemoveObserver(m_pObserver);
    m_pWidget = nullptr;
    m_pObserver = nullptr;
    m_pPlane = nullptr;
    CGeomDialog::PostNcDestroy();
}
