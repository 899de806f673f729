#include "SampleSlope.h"

#include "ClassAcas.h"
#include "PostCtrlGeoTech.h"
#include "SampleMesh.h"
#include "SlopeResults.h"
#include "THResultBuilder.h"
#include "UnitCtrl.h"

#include <TDF_Label.hxx>
#include <TDataStd_IntegerArray.hxx>
#include <TDataStd_Name.hxx>
#include <TDataStd_RealArray.hxx>
#include <TDataStd_TreeNode.hxx>
#include <TDataXtd_Plane.hxx>
#include <gp_Ax3.hxx>
#include <gp_Pln.hxx>

#include <cmath>
#include <memory>

namespace kvpvs::sample {

namespace {

constexpr int kSlopeType = 18;
constexpr int kPlaneXZ = 2;

} // namespace

int WriteSampleWorkPlane(CDBDoc& doc, int nTag, const char* pszName, const gp_Ax3& ax, const std::vector<double>& l1,
                         const std::vector<double>& l2)
{
    const TDF_Label label = doc.GetSubRootNode(0)->Label().Root().FindChild(1080).FindChild(2).FindChild(nTag);
    TDataStd_Name::Set(label, TCollection_ExtendedString(pszName));
    Handle(TDataStd_IntegerArray) pInt = TDataStd_IntegerArray::Set(label, 1, 3);
    pInt->SetValue(1, 0);
    pInt->SetValue(2, static_cast<int>(l1.size()));
    pInt->SetValue(3, static_cast<int>(l2.size()));
    TDataXtd_Plane::Set(label, gp_Pln(ax));
    const int n = static_cast<int>(l1.size() + l2.size()) + 2;
    Handle(TDataStd_RealArray) pReal = TDataStd_RealArray::Set(label, 1, n);
    pReal->SetValue(1, 0.0);
    pReal->SetValue(2, 0.0);
    int k = 3;
    for (double d : l1)
        pReal->SetValue(k++, d);
    for (double d : l2)
        pReal->SetValue(k++, d);
    return nTag;
}

namespace {

unsigned int AddCase(CDBDoc& doc, const char* pszName, unsigned int nBndrK, unsigned int nGroundK)
{
    CClassAcas acas(doc.GetModelDB());
    T_ACAS_D rec;
    rec.nType = kSlopeType;
    rec.strName = pszName;
    const unsigned int nKey = acas.Add(rec);
    auto pCtrl = std::make_shared<CPostCtrlAnlTypeStatic>(kSlopeType);
    CTHResultBuilder::PostCtrl(doc)->SetStaticCase(nKey, pCtrl);
    T_SLOPE_ACAS_D use;
    use.aBndrK.Add(nBndrK);
    use.aKey2.Add(nGroundK);
    CClassSlopeAcas(doc.GetModelDB()).Set(nKey, use);
    return nKey;
}

} // namespace

double SampleCircleFactor(double a, double b, double r)
{
    return 1.18 + 0.012 * ((a - 12.0) * (a - 12.0) + (b - 5.0) * (b - 5.0)) + 0.004 * (r - 16.0) * (r - 16.0);
}

BOOL BuildSampleSlope(CDBDoc& doc, SlopeSummary& sum)
{
    CPostCtrlGeoTech* pPost = CTHResultBuilder::PostCtrl(doc);
    if (!pPost)
        return FALSE;
    CDBBase* pDB = doc.GetModelDB();
    // The slope's records hold x and z of the section y = 0: of the model's shift they take x and z.
    double shift[3];
    SampleShiftOf(doc, shift);
    const double sx = shift[0], sz = shift[2];

    // Section y = 0: the pit's floor at -9 up to the wall at x = 10, the ground at 0 behind it.
    T_SLOPE_GROUND_D ground;
    for (T_POINT2D_D p : {T_POINT2D_D{0, -9}, T_POINT2D_D{10, -9}, T_POINT2D_D{10, 0}, T_POINT2D_D{40, 0}})
        ground.aVertex.Add(T_POINT2D_D{p.x + sx, p.y + sz});
    const unsigned int nGroundK = CClassSlopeGround(pDB).Add(ground);

    // Trial centres x 9 to 15, z 3 to 7 behind the wall; corners kept in output lengths.
    CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(&doc);
    auto out = [&](double d) { return pUnit ? pUnit->ConvertUnitLengthOut(d) : d; };
    T_LEGR_D grid;
    grid.strName = "Trial centres behind the wall";
    grid.nPlane = kPlaneXZ;
    grid.p[0] = {out(9.0 + sx), out(3.0 + sz)};
    grid.p[1] = {out(15.0 + sx), out(3.0 + sz)};
    grid.p[2] = {out(15.0 + sx), out(7.0 + sz)};
    grid.nN1 = 4;
    grid.nN2 = 3;
    for (double r : {12.0, 16.0, 20.0})
        grid.aRadius.Add(r);
    sum.nLegrK = CClassLegr(pDB).Add(grid);
    T_SLOPE_BNDR_D circles;
    circles.strName = "Slope behind the wall";
    circles.aLegrK.Add(sum.nLegrK);
    const unsigned int nCircleBndrK = CClassSlopeBndr(pDB).Add(circles);
    sum.nCircleCaseK = AddCase(doc, "Slope stability: circles", nCircleBndrK, nGroundK);

    // A circle that does not cut the ground line twice has no factor.
    T_CIRC2D_CASE circ;
    CClassLegr(pDB).GetCircData(sum.nLegrK, circ);
    CArray<unsigned int, unsigned int> aKey2;
    aKey2.Add(nGroundK);
    CArray<T_POINT3D, T_POINT3D&> aPoint;
    CArray<T_ARC_WIRE, T_ARC_WIRE&> aWire;
    CDBDoc* pBefore = CDBDoc::GetDocPoint();
    CZORDocBase::SetCurDoc(&doc);
    CLegrMaker(sum.nLegrK, aKey2).Perform(aPoint, aWire);
    CZORDocBase::SetCurDoc(pBefore);
    sum.aCircleFactor.clear();
    for (int i = 0; i < circ.aCirc.GetSize(); ++i) {
        const bool bTraced = i < aWire.GetSize() && aWire[i].aPair.GetSize() >= 2;
        sum.aCircleFactor.push_back(
            bTraced ? SampleCircleFactor(circ.aCirc[i].a - sx, circ.aCirc[i].b - sz, circ.aCirc[i].r) : 0.0);
    }
    pPost->SetSafetyRatio4SAM(sum.nCircleCaseK, sum.aCircleFactor);

    // Two polylines from the pit's floor under the wall's toe up to the ground behind it.
    T_SLOPE_BNDR_D polylines;
    polylines.strName = "Polyline slip surfaces";
    const double shapes[2][4][2] = {{{4, -9}, {9, -13}, {17, -8}, {22, 0}}, {{6, -9}, {10, -11}, {15, -6}, {18, 0}}};
    const char* names[2] = {"Deep surface", "Shallow surface"};
    sum.aLeplK.clear();
    for (int s = 0; s < 2; ++s) {
        T_LEPL_D pl;
        pl.strName = names[s];
        pl.nPlane = kPlaneXZ;
        for (const auto& v : shapes[s])
            pl.aVertex.Add(T_POINT2D_D{v[0] + sx, v[1] + sz});
        sum.aLeplK.push_back(CClassLepl(pDB).Add(pl));
        polylines.aLeplK.Add(sum.aLeplK.back());
    }
    const unsigned int nPolyBndrK = CClassSlopeBndr(pDB).Add(polylines);
    sum.nPolylineCaseK = AddCase(doc, "Slope stability: polylines", nPolyBndrK, nGroundK);
    sum.aPolylineFactor = {1.462, 1.315};
    pPost->SetSafetyRatio4SAM(sum.nPolylineCaseK, sum.aPolylineFactor);

    // The section as the current work plane: X along the model's x, Y along its z.
    const gp_Ax3 section(gp_Pnt(sx, 0, sz), gp_Dir(0, -1, 0), gp_Dir(1, 0, 0));
    sum.nCurrentPlaneTag = WriteSampleWorkPlane(doc, 1, "Current WorkPlane", section, {}, {});
    sum.nGroundPlaneTag =
        WriteSampleWorkPlane(doc, 2, "Ground level", gp_Ax3(gp_Pnt(sx, shift[1], sz), gp_Dir(0, 0, 1), gp_Dir(1, 0, 0)),
                             {0, 5, 10, 15, 20}, {0, 5, 10});
    doc.SetCurrentWorkPlane(section);
    return TRUE;
}

} // namespace kvpvs::sample
