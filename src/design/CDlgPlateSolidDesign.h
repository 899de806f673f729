// The plate/solid design dialog: keeps the design planes (stored force-sum planes of the model,
// added through the three-point plane dialog), runs the design force-sum display once per
// checked step over the checked planes and, as a listener of its broadcast, keeps one design
// record per (plane, step); Design writes the plate or solid variant of "KvrDesign.txt" in
// millimetres and newtons from them and starts the design checker. Exists at most once.
#pragma once
#include "core/KVPvsExport.h"
#include "core/NotifyListener.h"

#include "design/DesignBoundary.h"
#include "design/DesignControlIds.h"
#include "dialogs/ModelessDlgFrame.h"
#include "visualdata/PVSUserDefRecords.h"

#include "CMapKey.h"
#include "ClassLdfs.h"
#include "ColourButton.h"
#include "DBUpdateConnector.h"
#include "MapEx.h"
#include "PVSDlgModalessBase.h"

#include <cstdio>

class CPVSDlgDefThreePointPlane;

// What one plane's broadcast of one step leaves: the plane (origin, direction, name), its cut
// points and cells keyed 0 .. n - 1, and its six sums.
struct KV_PVS_API T_PLATE_SOLID_DESIGN_D {
    T_LCLDIR_PLNE_KVR_D plane;
    CPointInfoMap mPoint;
    CPlateCellInfoMap mPlateCell;
    CSolidCellInfoMap mSolidCell;
    T_FORCESUM_D sum{};

    T_PLATE_SOLID_DESIGN_D() = default;
    T_PLATE_SOLID_DESIGN_D(const T_PLATE_SOLID_DESIGN_D& src) { *this = src; }
    T_PLATE_SOLID_DESIGN_D& operator=(const T_PLATE_SOLID_DESIGN_D& src);
};

using CDesignKey = T_CMAP_K<unsigned int>;
using CDesignMap = CMapEx<CDesignKey, CDesignKey&, T_PLATE_SOLID_DESIGN_D, T_PLATE_SOLID_DESIGN_D&>;

class KV_PVS_API CDlgPlateSolidDesign : public CPVSDlgModalessBase, public CDBUpdateConnector, public CDataUpdateConnector {
    DECLARE_DYNAMIC(CDlgPlateSolidDesign)
    DECLARE_MESSAGE_MAP()
public:
    enum { IDD = IDD_PLATESOLIDDESIGN };
    explicit CDlgPlateSolidDesign(CWnd* pParent);
    ~CDlgPlateSolidDesign() override;

    static void CreateOrActivate(CWnd* pParent);
    // The module-wide settings record of the design force-sum display.
    static T_VD_LCLDIRSUM_KVR_D& DefaultRecord();
    // The open instance, null while none exists.
    static CDlgPlateSolidDesign* m_pMySelf;
    static T_MODELESS_DLG_REG_D m_reg;
    CDBDoc* m_pDoc = nullptr;

    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnUpdateData(int index, T_LCLDIR_PLNE_KVR_D& PlaneInfo, CPointInfoMap& mPointInfo,
                      CPlateCellInfoMap& mPlateCellInfo, CSolidCellInfoMap& mSolidCellInfo,
                      T_FORCESUM_D& ForceSum) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    void FillAnalysisCaseList();
    void FillStepList();
    void RefreshPlaneList();
    // Lists a plane (points in model units); 0, nothing listed, when its points span no plane.
    int AddPlane(const T_LDFS_D& rec);
    int GetCheckedPlanes(CArray<int, int>& aIndex, CArray<unsigned int, unsigned int>& aKey) const;
    int GetCheckedSteps(CArray<int, int>& aIndex, CArray<unsigned int, unsigned int>& aKey) const;
    // One display per checked step; 1 when every step was run.
    int RunForceSums();
    int SelectResultRows(unsigned int aKeys[12], int nElemType, unsigned int nStepK);
    // The single-use edges of the solid cells of a plane's first record; 0 without a record.
    int CollectBoundaryEdges(int nPlane);
    // Closed loops of m_mapEdge into m_aBoundaryPoint and m_aLoopEnd; 0 when an edge leads nowhere.
    int BuildBoundaryLoops();
    int WriteDesignFile();
    int RunDesignChecker();
    void ClosePlaneDialog();

    int GetPlaneCount() const { return m_aPlaneName.GetSize(); }
    const T_VD_LCLDIRSUM_KVR_BASE_D& GetPlaneFrame(int i) const { return m_aFrame[i]; }
    const T_PVIST_PLNE_D& GetCuttingPlane(int i) const { return m_aPlane[i]; }
    int GetPlaneElemType(int i) const { return m_aElemType[i]; }
    CPVSDlgDefThreePointPlane* GetPlaneDialog() const;
    const CDesignMap& GetDesignMap() const { return m_mapDesign; }
    CDesignMap& GetDesignMap() { return m_mapDesign; }
    const CEdgeMap& GetEdgeMap() const { return m_mapEdge; }
    const CArray<int, int>& GetBoundaryPoints() const { return m_aBoundaryPoint; }
    const CArray<int, int>& GetLoopEnds() const { return m_aLoopEnd; }
    int GetPostMode() const { return m_nPostMode; }
    int GetCurStep() const { return m_nCurStep; }

    int m_nCaseKind = 0;            // 0 construction-stage steps, 1 analysis cases
    int m_nPlaneCount = 0;          // planes of the last run
    int m_nElemType = 0;            // element type of the last run's planes: 0 solid, 1 plate

protected:
    // Every message handler and the framework's own handling, guarded at one point.
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    void HandleUpdateHint(LPARAM lHint, CObject* pHint);
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override { DestroyWindow(); }
    void OnDestroy() override;

    void OnDesign();
    void OnCaseKind();
    void OnSelchangeAnalysisCase() { FillStepList(); }
    void OnAddPlane();
    void OnDeletePlane();
    void OnTextOutput();

private:
    static void OnPlaneDlgDraw(double*, double*, int) {}
    static void OnPlaneDlgDestroy(double*, double*);
    static int OnPlaneDlgApply(double (*pts)[3], CString& name, void* pRecord);
    void ShowMessage(const char* pszID);
    void RequestDisplay();
    // The record of plane i from the first checked case that has one; null when none has.
    const T_PLATE_SOLID_DESIGN_D* BaseRecord(int nPlane, int nCases) const;
    // The force rows of plane i; 0 when writing must stop.
    int WriteForceRows(FILE* f, int nPlane, const CArray<unsigned int, unsigned int>& aCaseKey);

    CComboBox m_cobxAcas;
    CCheckListBox m_lstStep;
    CCheckListBox m_lstPlane;
    CString m_strSetting[3] = {"1.0", "1.0", "6"};
    int m_nReserved = 0;
    int m_bTextOutput = 0;
    CColourButton m_btnColour[3];
    CButton m_btnRcBeam, m_btnRcWall, m_btnNewDoc;
    CPVSDlgDefThreePointPlane* m_pPlaneDlg = nullptr;
    HWND m_hPlaneDlg = nullptr;
    CArray<CString, CString&> m_aPlaneName;
    CArray<T_PVIST_PLNE_D, T_PVIST_PLNE_D&> m_aPlane;
    CArray<T_VD_LCLDIRSUM_KVR_BASE_D, T_VD_LCLDIRSUM_KVR_BASE_D&> m_aFrame;
    CArray<int, int> m_aElemType;
    int m_nPostMode = 0;
    CDBBase* m_pDB = nullptr;
    CDesignMap m_mapDesign;
    T_PLATE_SOLID_DESIGN_D m_recWork;
    int m_nCurStep = -1;
    CEdgeMap m_mapEdge;
    CArray<int, int> m_aBoundaryPoint;
    CArray<int, int> m_aLoopEnd;
};
