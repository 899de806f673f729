// The user's work planes and saved view-projection states of a model, kept in the document's
// labelled data tree beside the shapes of OCAF_IShape: one branch (child 1080 of the tree's
// root) with a list of view states (child 1) and a list of work planes (child 2), one child
// label per entry. The operations are static and take the document's tree node; reading
// never fails and never throws, a missing or short entry gives a partly filled record.
#pragma once
#include "core/KVPvsExport.h"

#include "OCAF_IShape.h"
#include "ViewProjStatus.h"
#include "afxtempl.h"

#include <Standard_GUID.hxx>
#include <TCollection_ExtendedString.hxx>
#include <TDF_Label.hxx>
#include <gp_Ax3.hxx>

// One work plane: its name, the grid origin in the plane, the grid kind (0 rectangular,
// otherwise circular) with the two grid data lists, and the plane's placement.
struct KV_PVS_API T_WORKPLANE {
    int nFirst = 0;                 // not stored
    TCollection_ExtendedString strName;
    double dPair[2] = {0, 0};
    int nKind = 0;
    int nCount1 = 0;                // list lengths as read
    int nCount2 = 0;
    gp_Ax3 placement;
    CArray<double, double> aList1;
    CArray<double, double> aList2;

    T_WORKPLANE() = default;
    T_WORKPLANE(const T_WORKPLANE& src) { *this = src; }
    T_WORKPLANE& operator=(const T_WORKPLANE& src);
    void Initialize();
};

class KV_PVS_API OCAF_IWorkSpcData : public OCAF_IShape {
public:
    // A null node throws Standard_ConstructionError, as the host expects of its interfaces.
    explicit OCAF_IWorkSpcData(const Handle(TDataStd_TreeNode)& aTreeNode);
    ~OCAF_IWorkSpcData() override;

    static const Standard_GUID& GetID();

    static TDF_Label GetWorkPlaneLabel(const Handle(TDataStd_TreeNode)& aTreeNode);
    static int AddWorkPlane(const Handle(TDataStd_TreeNode)& aTreeNode, const T_WORKPLANE& wp);
    static int SetWorkPlane(const Handle(TDataStd_TreeNode)& aTreeNode, int nIndex, const T_WORKPLANE& wp);
    static int IsWorkPlane(const Handle(TDataStd_TreeNode)& aTreeNode, int nIndex);
    static T_WORKPLANE GetWorkPlane(const Handle(TDataStd_TreeNode)& aTreeNode, int nIndex);
    static int DelWorkPlane(const Handle(TDataStd_TreeNode)& aTreeNode, int nIndex);

    static TDF_Label GetViewProjStatusLabel(const Handle(TDataStd_TreeNode)& aTreeNode);
    static int AddViewProjStatus(const Handle(TDataStd_TreeNode)& aTreeNode, const T_VIEW_PROJ_STATUS& vps);
    static int SetViewProjStatus(const Handle(TDataStd_TreeNode)& aTreeNode, int nIndex,
                                 const T_VIEW_PROJ_STATUS& vps);
    static int IsViewProjStatus(const Handle(TDataStd_TreeNode)& aTreeNode, int nIndex);
    static T_VIEW_PROJ_STATUS GetViewProjStatus(const Handle(TDataStd_TreeNode)& aTreeNode, int nIndex);
    static int DelViewProjStatus(const Handle(TDataStd_TreeNode)& aTreeNode, int nIndex);
};
