// The three-point plane dialog: the user names a cutting plane of the force sums, chooses solid
// or plate and picks or types three points; the local axes are previewed in the view, and Apply
// hands the points and a T_LDFS_D to the opener's callback, which decides what becomes of them.
#pragma once
#include "core/KVPvsExport.h"

#include "dialogs/DialogControlIds.h"

#include "ClassLdfs.h"
#include "GeomDialog.h"
#include "InputEditCtrl.h"

#include <Quantity_NameOfColor.hxx>
#include <TopoDS_Shape.hxx>

#include <memory>
#include <vector>

class KV_PVS_API CPVSDlgDefThreePointPlane : public CGeomDialog {
    DECLARE_DYNAMIC(CPVSDlgDefThreePointPlane)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_DEFTHREEPOINTPLANE };
    using PFN_DRAW = void (*)(double*, double*, int);
    using PFN_DESTROY = void (*)(double*, double*);
    using PFN_APPLY = int (*)(double (*)[3], CString& name, void* record);

    CPVSDlgDefThreePointPlane(CZORDocBase* pDoc, CWnd* pParent);
    ~CPVSDlgDefThreePointPlane() override;

    void SetDrawFunction(PFN_DRAW pfn) { m_pfnDraw = pfn; }
    void SetCalledOnDestoryFunction(PFN_DESTROY pfn) { m_pfnOnDestroy = pfn; }
    void SetCalledOnApply(PFN_APPLY pfn) { m_pfnOnApply = pfn; }
    void SetNoPlotMode(int b) { m_bNoPlotMode = b; }
    void SetForPlate(int b) { m_bForPlate = b; }
    int GetForPlate() const { return m_bForPlate; }
    int GetCurPoint() const { return m_nCurPoint; }

    BOOL Create(CWnd* pParent) override;
    PositionTool* GetEventHandler() override;
    void SetLatestPoint(gp_Pnt& p) override;
    void SimulateLclDirection();
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The most recently constructed instance; null once it is destroyed.
    static CPVSDlgDefThreePointPlane* m_pMySelf;

    // Opens the picker for a dialog that keeps its own plane list (over the mesh view, no plot
    // of its own); null without a document or when no window could be made, nothing leaked.
    static CPVSDlgDefThreePointPlane* OpenForOwner(CWnd* pOwner, PFN_DRAW pfnDraw, PFN_DESTROY pfnDestroy,
        PFN_APPLY pfnApply);
    // Closes the picker an owner opened; the handle, not the pointer, tells whether it still lives.
    static void CloseForOwner(HWND& hPicker, CPVSDlgDefThreePointPlane*& pPicker);

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void PostNcDestroy() override;
    void EnterApply() override {}
    void OnSysCommand(UINT nID, LPARAM lParam) override;

    void OnPriview() {}
    void OnDefPlaneReverseNormal();
    void OnFocusPnt1() { OnFocusPnt(1); }
    void OnFocusPnt2() { OnFocusPnt(2); }
    void OnFocusPnt3() { OnFocusPnt(3); }
    int OnPvsDfplApply();
    void OnPvsDfplCancel();
    void OnPvsDfplOk();
    void OnKvpvsPlaneSolid();

private:
    // One temporary shape of the axes preview.
    struct T_PREVIEW_SHAPE_D {
        int nID;
        TopoDS_Shape shape;
        Quantity_NameOfColor colour;
        double dWidth;
        int nFlag;
    };
    using Preview = std::vector<T_PREVIEW_SHAPE_D>;

    void TakePoint(const gp_Pnt& p);
    // The preview of the typed or picked points, in the order it is shown; empty when they
    // give none.
    Preview BuildPreview() const;
    void DrawPreview(const Preview& preview);
    void OnFocusPnt(int n);
    // Moves picking to point n: the focus goes to its edit, whose notification does the rest.
    void FocusPoint(int n);
    CInputEditCtrl& PointEdit(int n) { return n == 1 ? m_editPnt1 : (n == 2 ? m_editPnt2 : m_editPnt3); }
    const CInputEditCtrl& PointEdit(int n) const { return n == 1 ? m_editPnt1 : (n == 2 ? m_editPnt2 : m_editPnt3); }
    // The three points in model units; FALSE when a text is not three finite numbers.
    BOOL ReadPoints(double pts[3][3]) const;
    void RemovePreview(int nRedraw);

    CView* m_pActiveView = nullptr;
    CAISContext* m_pContext = nullptr;
    std::unique_ptr<PositionTool> m_pPositionTool;
    PFN_DRAW m_pfnDraw = nullptr;
    PFN_DESTROY m_pfnOnDestroy = nullptr;
    PFN_APPLY m_pfnOnApply = nullptr;
    int m_bNoPlotMode = 0;
    CInputEditCtrl m_editPnt1;
    CInputEditCtrl m_editPnt2;
    CInputEditCtrl m_editPnt3;
    int m_nCurPoint = 0;
    int m_bForPlate = 0;
    CString m_strName;
    int m_nElemType = 0;
};
