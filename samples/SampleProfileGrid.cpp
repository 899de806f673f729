#include "SampleProfileGrid.h"

#include "ClassSpfg.h"
#include "SampleMesh.h"
#include "SampleSlope.h"
#include "UnitCtrl.h"

#include <ElSLib.hxx>
#include <TCollection_AsciiString.hxx>
#include <TDF_ChildIterator.hxx>
#include <TDF_Label.hxx>
#include <TDataStd_Name.hxx>
#include <TDataStd_TreeNode.hxx>
#include <TDataXtd_Geometry.hxx>
#include <gp.hxx>
#include <gp_Ax3.hxx>
#include <gp_Pln.hxx>
#include <gp_Trsf.hxx>

#include <cmath>

namespace kvpvs::sample {

namespace {

TDF_Label WorkPlaneBranch(CDBDoc& doc) { return doc.GetSubRootNode(0)->Label().Root().FindChild(1080).FindChild(2); }

// The placement of a stored work plane; FALSE without one.
bool ReadPlacement(const TDF_Label& label, gp_Ax3& ax)
{
    gp_Pln pln;
    if (!TDataXtd_Geometry::Plane(label, pln))
        return false;
    ax = pln.Position();
    return true;
}

} // namespace

int FindHorizontalWorkPlane(CDBDoc& doc)
{
    for (TDF_ChildIterator it(WorkPlaneBranch(doc)); it.More(); it.Next()) {
        const TDF_Label label = it.Value();
        Handle(TDataStd_Name) pName;
        if (!label.FindAttribute(TDataStd_Name::GetID(), pName) ||
            TCollection_AsciiString(pName->Get()) == "Current WorkPlane")
            continue;
        gp_Ax3 ax;
        if (ReadPlacement(label, ax) && ax.Direction().IsParallel(gp::DZ(), 1e-9) &&
            ax.XDirection().IsParallel(gp::DX(), 1e-9))
            return label.Tag();
    }
    return 0;
}

int EnsureGroundWorkPlane(CDBDoc& doc)
{
    if (const int nTag = FindHorizontalWorkPlane(doc))
        return nTag;
    // The slope step writes its planes under tags 1 and 2: take the next free tag from 2 on.
    int nTag = 2;
    for (TDF_ChildIterator it(WorkPlaneBranch(doc)); it.More(); it.Next())
        if (it.Value().Tag() >= nTag)
            nTag = it.Value().Tag() + 1;
    double s[3];
    SampleShiftOf(doc, s);
    return WriteSampleWorkPlane(doc, nTag, "Ground level", gp_Ax3(gp_Pnt(s[0], s[1], s[2]), gp_Dir(0, 0, 1), gp_Dir(1, 0, 0)),
                                {0, 5, 10, 15, 20}, {0, 5, 10});
}

ProfileGridSummary SampleProfileGridDefinition()
{
    ProfileGridSummary sum;
    sum.strName = "Settlement grid at ground level";
    sum.dUpperRight[0] = 30.0;
    sum.dUpperRight[1] = 8.0;
    sum.nDivX = 30;
    sum.nDivY = 8;
    // y = 2 along x in 60 segments; x = 5 and x = 18 across y in 16.
    sum.aLine = {{1, 2, 60}, {0, 5, 16}, {0, 18, 16}};
    return sum;
}

BOOL BuildSampleProfileGrid(CDBDoc& doc, ProfileGridSummary& sum)
{
    CDBBase* pDB = doc.GetModelDB();
    if (!pDB)
        return FALSE;
    sum = SampleProfileGridDefinition();
    sum.nPlaneTag = EnsureGroundWorkPlane(doc);
    gp_Ax3 ax;
    if (!ReadPlacement(WorkPlaneBranch(doc).FindChild(sum.nPlaneTag), ax))
        return FALSE;

    // The corners as the user picks them on the model; the grid is formed in the work plane's axes.
    double s[3];
    SampleShiftOf(doc, s);
    const gp_Pnt picked[2] = {gp_Pnt(sum.dLowerLeft[0] + s[0], sum.dLowerLeft[1] + s[1], sum.dLowerLeft[2] + s[2]),
                              gp_Pnt(sum.dUpperRight[0] + s[0], sum.dUpperRight[1] + s[1], sum.dUpperRight[2] + s[2])};
    gp_Trsf toPlane;
    toPlane.SetTransformation(ax);
    const gp_Pnt ll = picked[0].Transformed(toPlane), ur = picked[1].Transformed(toPlane);
    const gp_Pln pln(ax);
    const gp_Pnt LL = ElSLib::Value(ll.X(), ll.Y(), pln), UR = ElSLib::Value(ur.X(), ur.Y(), pln);
    const gp_Pnt UL = ElSLib::Value(ll.X(), ur.Y(), pln), LR = ElSLib::Value(ur.X(), ll.Y(), pln);

    const CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(&doc);
    auto out = [pUnit](double d) { return pUnit ? pUnit->ConvertUnitLengthOut(d) : d; };
    T_SPFG_D grid;
    grid.strName = sum.strName.c_str();
    for (int k = 0; k < 3; ++k) {
        grid.dUL[k] = out(UL.Coord(k + 1));
        grid.dLL[k] = out(LL.Coord(k + 1));
        grid.dUR[k] = out(UR.Coord(k + 1));
        grid.dLR[k] = out(LR.Coord(k + 1));
        sum.dLowerLeft[k] = LL.Coord(k + 1);
        sum.dUpperRight[k] = UR.Coord(k + 1);
    }
    grid.nDivX = sum.nDivX;
    grid.nDivY = sum.nDivY;
    sum.nGridK = CClassSpfg(pDB).Add(grid);
    return sum.nGridK != 0 ? TRUE : FALSE;
}

} // namespace kvpvs::sample
