// Fuzz entry of the work-space data: the bytes become one work-plane entry and one view entry
// written straight into a document's data tree, as a damaged or older file could leave them,
// then read back. Reading must never throw, lists must match their counts, a second reading
// must give the same record, and adding an entry must not overwrite the stored one.
// Layout: byte 0 flags (1 name, 2 integers, 4 plane, 8 reals, 16 view name, 32 view reals),
// byte 1 the entry's tag, byte 2 the integer count (mod 6), byte 3 the real count (mod 48),
// byte 4 the view's real count (mod 16), then 4-byte integers and 8-byte reals while they last.
#include "fuzz_bytes.h"

#include "dialogs/OCAF_IWorkSpcData.h"

#include "ZORDocBase.h"

#include <TDataStd_IntegerArray.hxx>
#include <TDataStd_Name.hxx>
#include <TDataStd_RealArray.hxx>
#include <TDataXtd_Plane.hxx>
#include <gp_Pln.hxx>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using fuzz::CByteReader;
using fuzz::Require;

bool SameLists(const T_WORKPLANE& a, const T_WORKPLANE& b)
{
    if (a.aList1.GetSize() != b.aList1.GetSize() || a.aList2.GetSize() != b.aList2.GetSize())
        return false;
    // Bitwise: a NaN read twice is the same NaN. Empty lists have no data to compare.
    auto same = [](const CArray<double, double>& x, const CArray<double, double>& y) {
        return x.GetSize() == 0 || std::memcmp(x.GetData(), y.GetData(), sizeof(double) * x.GetSize()) == 0;
    };
    return same(a.aList1, b.aList1) && same(a.aList2, b.aList2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5)
        return 0;
    const int nFlags = data[0];
    const int nTag = 1 + data[1] % 8;
    const int nInts = data[2] % 6;
    const int nReals = data[3] % 48;
    const int nViewReals = data[4] % 16;
    CByteReader in{data + 5, size - 5};

    CZORDocBase doc;
    const Handle(TDataStd_TreeNode) node = doc.GetSubRootNode(0);
    const TDF_Label plane = OCAF_IWorkSpcData::GetWorkPlaneLabel(node).FindChild(nTag, Standard_True);
    if (nFlags & 1)
        TDataStd_Name::Set(plane, "fuzz");
    if ((nFlags & 2) && nInts > 0) {
        Handle(TDataStd_IntegerArray) p = TDataStd_IntegerArray::Set(plane, 1, nInts);
        for (int i = 1; i <= nInts; ++i)
            p->SetValue(i, in.Next<int32_t>());
    }
    if (nFlags & 4)
        TDataXtd_Plane::Set(plane, gp_Pln(gp::XOY()));
    if ((nFlags & 8) && nReals > 0) {
        Handle(TDataStd_RealArray) p = TDataStd_RealArray::Set(plane, 1, nReals);
        for (int i = 1; i <= nReals; ++i)
            p->SetValue(i, in.Next<double>());
    }
    const TDF_Label view = OCAF_IWorkSpcData::GetViewProjStatusLabel(node).FindChild(nTag, Standard_True);
    if (nFlags & 16)
        TDataStd_Name::Set(view, "fuzz view");
    if ((nFlags & 32) && nViewReals > 0) {
        Handle(TDataStd_RealArray) p = TDataStd_RealArray::Set(view, 1, nViewReals);
        for (int i = 1; i <= nViewReals; ++i)
            p->SetValue(i, in.Next<double>());
    }

    const T_WORKPLANE a = OCAF_IWorkSpcData::GetWorkPlane(node, nTag);
    Require(a.nCount1 >= 0 && a.nCount2 >= 0);
    Require(a.aList1.GetSize() == a.nCount1 && a.aList2.GetSize() == a.nCount2);
    const T_WORKPLANE b = OCAF_IWorkSpcData::GetWorkPlane(node, nTag);
    Require(SameLists(a, b) && a.nCount1 == b.nCount1 && a.nKind == b.nKind);
    Require(OCAF_IWorkSpcData::IsWorkPlane(node, nTag) == ((nFlags & 1) ? 1 : 0));

    const T_VIEW_PROJ_STATUS v = OCAF_IWorkSpcData::GetViewProjStatus(node, nTag);
    (void)v;
    const bool bViewStored = view.HasAttribute();
    const bool bPlaneStored = plane.HasAttribute();
    const int nNewView = OCAF_IWorkSpcData::AddViewProjStatus(node, T_VIEW_PROJ_STATUS());
    Require(nNewView > 0 && (nNewView != nTag || !bViewStored));
    const int nNewPlane = OCAF_IWorkSpcData::AddWorkPlane(node, a);
    Require(nNewPlane > 0 && (nNewPlane != nTag || !bPlaneStored));
    return 0;
}
