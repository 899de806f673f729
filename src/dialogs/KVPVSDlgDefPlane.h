// The 3-D cutting-plane dialog: the user places a plane perpendicular to a global axis or
// through three picked points and drags it with VTK's implicit-plane widget in the post view.
// Whenever the plane is shown or dragged the dialog calls its opener's draw function with
// (normal, origin, flag); when it is destroyed, the opener's destroy function with (normal,
// origin). Each dialog owns its plane, widget and observer; the observer finds its dialog
// through the command's client data.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"

#include "GeomDialog.h"
#include "InputEditCtrl.h"

#include <vtkSmartPointer.h>

#include <memory>

class CAISContext;
class CZORViewBase;
class vtkCallbackCommand;
class vtkImplicitPlaneWidget;
class vtkObject;
class vtkPlane;

class KV_PVS_API CKVPVSDlgDefPlane : public CGeomDialog {
    DECLARE_DYNAMIC(CKVPVSDlgDefPlane)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_DEFPLANE };
    using PFN_DRAW = void (*)(double* pNormal, double* pOrigin, int nFlag);
    using PFN_DESTROY = void (*)(double* pNormal, double* pOrigin);

    CKVPVSDlgDefPlane(CZORDocBase* pDoc, CWnd* pParent);
    ~CKVPVSDlgDefPlane() override;

    void SetDrawFunction(PFN_DRAW pfn) { m_pfnDraw = pfn; }
    void SetCalledOnDestoryFunction(PFN_DESTROY pfn) { m_pfnDestroy = pfn; }
    void SetNoPlotMode(int b) { m_bNoPlotMode = b; }
    // The plane the dialog starts from (taken up after its global-axis default when the normal
    // is not zero).
    void SetOrigin(double x, double y, double z);
    void SetNormal(double x, double y, double z);
    void SetOrigin(const double dOrigin[3]) { SetOrigin(dOrigin[0], dOrigin[1], dOrigin[2]); }
    void SetNormal(const double dNormal[3]) { SetNormal(dNormal[0], dNormal[1], dNormal[2]); }
    // The current plane's origin and normal, three doubles each, owned by the plane.
    double* GetOrigin();
    double* GetNormal();
    // Model bounds (x-min, x-max, y-min, y-max, z-min, z-max) into the axis edits, in output
    // length units (converted in place) with the digits that read back exactly; Apply places
    // the plane against the bounds themselves.
    void SetBoundary(double dBounds[6]);
    void UpdatePipeline();
    void ToggleVTKInteraction(int bOn);

    BOOL Create(CWnd* pParent) override;
    PositionTool* GetEventHandler() override;
    void SetLatestPoint(gp_Pnt& p) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    vtkImplicitPlaneWidget* GetWidget() const;
    int GetCurPoint() const { return m_nCurPoint; }
    int GetPlaneMode() const { return m_nPlaneMode; }

    // The dialog that exists now; null once it is destroyed.
    static CKVPVSDlgDefPlane* m_pMySelf;

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void PostNcDestroy() override;
    void OnDestroy() override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;

    void OnGcsPlaneApply();
    void OnDefPlanePlot();
    void OnSensitiveCheck();
    void OnDefPlaneReverseNormal();
    void OnDirRadioChange();
    void OnFocusPnt1() { OnFocusPnt(1); }
    void OnFocusPnt2() { OnFocusPnt(2); }
    void OnFocusPnt3() { OnFocusPnt(3); }
    void OnRdoType1();
    void OnRdoType2();

private:
    static void WidgetObserver(vtkObject* pCaller, unsigned long nEvent, void* pClientData, void* pCallData);
    void OnFocusPnt(int n);
    void FocusPoint(int n);
    CInputEditCtrl& PointEdit(int n) { return n == 1 ? m_editPnt1 : (n == 2 ? m_editPnt2 : m_editPnt3); }
    CZORViewBase* ActiveView() const;
    // The widget takes the current plane and is updated; then the view is redrawn, or with
    // dynamic display the plane is shown.
    void PushPlaneToWidget();
    void RedrawOrPlot();
    void EnableItem(UINT nID, BOOL bEnable);

    CAISContext* m_pContext = nullptr;
    std::unique_ptr<PositionTool> m_pPositionTool;
    CInputEditCtrl m_editPnt1;
    CInputEditCtrl m_editPnt2;
    CInputEditCtrl m_editPnt3;
    CString m_strPos[3];
    CString m_strMin[3];
    CString m_strMax[3];
    // The model's bounds (x-min, x-max, y-min, ..., model units) the last SetBoundary showed, and
    // the position texts it wrote.
    double m_dBounds[6] = {0, 0, 0, 0, 0, 0};
    CString m_strMidPos[3];
    // Released when the window goes (PostNcDestroy), or with a dialog whose window was never made.
    vtkSmartPointer<vtkImplicitPlaneWidget> m_pWidget;
    vtkSmartPointer<vtkCallbackCommand> m_pObserver;
    vtkSmartPointer<vtkPlane> m_pPlane;
    double m_dOrigin[3] = {0, 0, 0};
    double m_dNormal[3] = {0, 0, 0};
    PFN_DRAW m_pfnDraw = nullptr;
    PFN_DESTROY m_pfnDestroy = nullptr;
    int m_bNoPlotMode = 0;
    int m_nCurPoint = 0;
    int m_bObserverInstalled = 0;
    int m_nAxis = 0;
    int m_bDynamic = 0;
    int m_nPlaneMode = 0;
};
