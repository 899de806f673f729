#include "dialogs/OCAF_IWorkSpcData.h"

#include "dialogs/DialogControlIds.h"

#include "MsgDll.h"

#include <Standard_ConstructionError.hxx>
#include <Standard_Failure.hxx>
#include <TDF_ChildIterator.hxx>
#include <TDF_TagSource.hxx>
#include <TDataStd_IntegerArray.hxx>
#include <TDataStd_Name.hxx>
#include <TDataStd_RealArray.hxx>
#include <TDataXtd_Geometry.hxx>
#include <TDataXtd_Plane.hxx>
#include <gp.hxx>
#include <gp_Pln.hxx>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kWorkSpaceTag = 1080;
constexpr int kViewListTag = 1;
constexpr int kWorkPlaneListTag = 2;
constexpr int kViewRealCount = 13;

TCollection_ExtendedString MessageText(const char* pszId)
{
    const CString str = CMsgDll::pfuncLoadStr(pszId, 0);
    return TCollection_ExtendedString(str.GetString(), Standard_True);
}

TDF_Label ListLabel(const Handle(TDataStd_TreeNode)& aTreeNode, int nTag)
{
    if (aTreeNode.IsNull() || aTreeNode->Label().IsNull())
        return TDF_Label();
    return aTreeNode->Label().Root().FindChild(kWorkSpaceTag, Standard_True).FindChild(nTag, Standard_True);
}

// The entry label of an index, created when missing; null for an index that cannot name a
// child label (tags start at 1).
TDF_Label EntryLabel(const TDF_Label& list, int nIndex, Standard_Boolean bCreate)
{
    if (list.IsNull() || nIndex <= 0)
        return TDF_Label();
    return list.FindChild(nIndex, bCreate);
}

int HighestAttributedChild(const TDF_Label& list)
{
    int m = 0;
    for (TDF_ChildIterator it(list); it.More(); it.Next())
        if (it.Value().HasAttribute() && it.Value().Tag() > m)
            m = it.Value().Tag();
    return m;
}

int HasName(const TDF_Label& label)
{
    Handle(TDataStd_Name) pName;
    return !label.IsNull() && label.FindAttribute(TDataStd_Name::GetID(), pName) ? 1 : 0;
}

void SetRealArray(const TDF_Label& label, const CArray<double, double>& aValue)
{
    const int n = static_cast<int>(aValue.GetSize());
    Handle(TDataStd_RealArray) pReal = TDataStd_RealArray::Set(label, 1, n);
    if (pReal->Lower() != 1 || pReal->Upper() != n)
        pReal->Init(1, n);
    for (int i = 0; i < n; ++i)
        pReal->SetValue(i + 1, aValue[i]);
}

// Value k (1-based, from the array's lower bound) of a stored array.
template <class H>
auto StoredValue(const H& pArray, int k)
{
    return pArray->Value(pArray->Lower() + k - 1);
}

void WriteWorkPlane(const TDF_Label& label, const T_WORKPLANE& wp)
{
    const int nA = static_cast<int>(wp.aList1.GetSize());
    const int nB = static_cast<int>(wp.aList2.GetSize());
    TDataStd_Name::Set(label, wp.strName);
    Handle(TDataStd_IntegerArray) pInt = TDataStd_IntegerArray::Set(label, 1, 3);
    if (pInt->Lower() != 1 || pInt->Upper() != 3)
        pInt->Init(1, 3);
    pInt->SetValue(1, wp.nKind);
    pInt->SetValue(2, nA);
    pInt->SetValue(3, nB);
    TDataXtd_Plane::Set(label, gp_Pln(wp.placement));
    CArray<double, double> aValue;
    aValue.SetSize(nA + nB + 2);
    aValue[0] = wp.dPair[0];
    aValue[1] = wp.dPair[1];
    for (int i = 0; i < nA; ++i)
        aValue[2 + i] = wp.aList1[i];
    for (int i = 0; i < nB; ++i)
        aValue[2 + nA + i] = wp.aList2[i];
    SetRealArray(label, aValue);
}

void WriteView(const TDF_Label& label, const T_VIEW_PROJ_STATUS& vps)
{
    TDataStd_Name::Set(label, vps.strName);
    CArray<double, double> a;
    a.SetSize(kViewRealCount);
    const double v[kViewRealCount] = {vps.vSecond.X(), vps.vSecond.Y(), vps.vSecond.Z(), vps.vFirst.X(),
                                      vps.vFirst.Y(),  vps.vFirst.Z(),  vps.dir.X(),     vps.dir.Y(),
                                      vps.dir.Z(),     vps.dValue,      vps.pair.X(),    vps.pair.Y(),
                                      static_cast<double>(vps.nValue)};
    for (int i = 0; i < kViewRealCount; ++i)
        a[i] = v[i];
    SetRealArray(label, a);
}

// Reads the lists of an entry whose name, integers, pair and placement are in the record.
void ReadWorkPlaneLists(const TDF_Label& label, const Handle(TDataStd_RealArray)& pReal, T_WORKPLANE& wp)
{
    const std::int64_t nA = wp.nCount1;
    const std::int64_t nB = wp.nCount2;
    if (nA < 0 || nB < 0) {
        // Negative counts name no lists; the stored entry stays as it is.
        wp.nCount1 = wp.nCount2 = 0;
        return;
    }
    if (nA == 0 || nB == 0) {
        wp.nCount1 = wp.nCount2 = 0;
        CArray<double, double> aPair;
        aPair.Add(wp.dPair[0]);
        aPair.Add(wp.dPair[1]);
        SetRealArray(label, aPair);
        return;
    }
    const std::int64_t nLen = pReal->Length();
    const std::int64_t nNeed = nA + nB + 2;
    // The earlier form kept A x B values after the pair; it holds the lists only when it is
    // at least as long as the current form, else reading it would run past its end.
    const bool bEarlier = nLen == nA * nB + 2 && nLen >= nNeed;
    if (!bEarlier && nLen < nNeed) {
        wp.nCount1 = wp.nCount2 = 0;
        return;
    }
    wp.aList1.SetSize(static_cast<int>(nA));
    wp.aList2.SetSize(static_cast<int>(nB));
    for (int i = 0; i < nA; ++i)
        wp.aList1[i] = StoredValue(pReal, 3 + i);
    for (int i = 0; i < nB; ++i)
        wp.aList2[i] = StoredValue(pReal, static_cast<int>(nA) + 3 + i);
    if (bEarlier) {
        CArray<double, double> aValue;
        aValue.Add(wp.dPair[0]);
        aValue.Add(wp.dPair[1]);
        aValue.Append(wp.aList1);
        aValue.Append(wp.aList2);
        SetRealArray(label, aValue);
    }
}

} // namespace

T_WORKPLANE& T_WORKPLANE::operator=(const T_WORKPLANE& src)
{
    if (this == &src)
        return *this;
    nFirst = src.nFirst;
    strName = src.strName;
    dPair[0] = src.dPair[0];
    dPair[1] = src.dPair[1];
    nKind = src.nKind;
    nCount1 = src.nCount1;
    nCount2 = src.nCount2;
    placement = src.placement;
    aList1.Copy(src.aList1);
    aList2.Copy(src.aList2);
    return *this;
}

void T_WORKPLANE::Initialize()
{
    nFirst = 0;
    strName = MessageText(IDS_BASE_User_Defined_WorkPlane);
    dPair[0] = dPair[1] = 0.0;
    nCount1 = nCount2 = 0;
}

OCAF_IWorkSpcData::OCAF_IWorkSpcData(const Handle(TDataStd_TreeNode)& aTreeNode) : OCAF_IShape(aTreeNode)
{
    if (aTreeNode.IsNull())
        throw Standard_ConstructionError(TCollection_AsciiString(MessageText(IDS_INTERFACE___MSG2), '?').ToCString());
}

OCAF_IWorkSpcData::~OCAF_IWorkSpcData() = default;

const Standard_GUID& OCAF_IWorkSpcData::GetID()
{
    static const Standard_GUID id("22111AAA-CAAA-11d4-8F1A-0060B0AA18E8");
    return id;
}

TDF_Label OCAF_IWorkSpcData::GetWorkPlaneLabel(const Handle(TDataStd_TreeNode)& aTreeNode)
{
    return ListLabel(aTreeNode, kWorkPlaneListTag);
}

int OCAF_IWorkSpcData::AddWorkPlane(const Handle(TDataStd_TreeNode)& aTreeNode, const T_WORKPLANE& wp)
{
    const TDF_Label list = GetWorkPlaneLabel(aTreeNode);
    if (list.IsNull())
        return 0;
    const int m = HighestAttributedChild(list);
    if (m == INT_MAX)
        return 0;
    const TDF_Label label = m > 0 ? list.FindChild(m + 1, Standard_True) : TDF_TagSource::NewChild(list);
    WriteWorkPlane(label, wp);
    return label.Tag();
}

int OCAF_IWorkSpcData::SetWorkPlane(const Handle(TDataStd_TreeNode)& aTreeNode, int nIndex, const T_WORKPLANE& wp)
{
    const TDF_Label label = EntryLabel(GetWorkPlaneLabel(aTreeNode), nIndex, Standard_True);
    if (label.IsNull())
        return 0;
    WriteWorkPlane(label, wp);
    return 1;
}

int OCAF_IWorkSpcData::IsWorkPlane(const Handle(TDataStd_TreeNode)& aTreeNode, int nIndex)
{
    if (aTreeNode.IsNull() || aTreeNode->Label().IsNull() || nIndex <= 0)
        return 0;
    // Looked up without creating anything on the way.
    const TDF_Label branch = aTreeNode->Label().Root().FindChild(kWorkSpaceTag, Standard_False);
    const TDF_Label list = branch.IsNull() ? branch : branch.FindChild(kWorkPlaneListTag, Standard_False);
    return list.IsNull() ? 0 : HasName(list.FindChild(nIndex, Standard_False));
}

T_WORKPLANE OCAF_IWorkSpcData::GetWorkPlane(const Handle(TDataStd_TreeNode)& aTreeNode, int nIndex)
{
    T_WORKPLANE wp;
    wp.Initialize();
    const TDF_Label label = EntryLabel(GetWorkPlaneLabel(aTreeNode), nIndex, Standard_True);
    if (label.IsNull())
        return wp;
    Handle(TDataStd_Name) pName;
    Handle(TDataStd_IntegerArray) pInt;
    Handle(TDataStd_RealArray) pReal;
    if (!label.FindAttribute(TDataStd_Name::GetID(), pName))
        return wp;
    if (!label.FindAttribute(TDataStd_IntegerArray::GetID(), pInt) || pInt->Length() < 3)
        return wp;
    if (!label.FindAttribute(TDataStd_RealArray::GetID(), pReal) || pReal->Length() < 2)
        return wp;
    gp_Pln plane;
    try {
        if (!TDataXtd_Geometry::Plane(label, plane))
            return wp;
    } catch (const Standard_Failure&) {
        return wp;
    }
    wp.strName = pName->Get();
    wp.nKind = StoredValue(pInt, 1);
    wp.nCount1 = StoredValue(pInt, 2);
    wp.nCount2 = StoredValue(pInt, 3);
    wp.dPair[0] = StoredValue(pReal, 1);
    wp.dPair[1] = StoredValue(pReal, 2);
    wp.placement = plane.Position();
    ReadWorkPlaneLists(label, pReal, wp);
    return wp;
}

int OCAF_IWorkSpcData::DelWorkPlane(const Handle(TDataStd_TreeNode)& aTreeNode, int nIndex)
{
    const TDF_Label label = EntryLabel(GetWorkPlaneLabel(aTreeNode), nIndex, Standard_True);
    if (label.IsNull())
        return 0;
    label.ForgetAllAttributes(Standard_True);
    return 1;
}

TDF_Label OCAF_IWorkSpcData::GetViewProjStatusLabel(const Handle(TDataStd_TreeNode)& aTreeNode)
{
    return ListLabel(aTreeNode, kViewListTag);
}

int OCAF_IWorkSpcData::AddViewProjStatus(const Handle(TDataStd_TreeNode)& aTreeNode, const T_VIEW_PROJ_STATUS& vps)
{
    const TDF_Label list = GetViewProjStatusLabel(aTreeNode);
    if (list.IsNull())
        return 0;
    // Above both the tag source and every stored view: the tag source alone may name a label
    // that already holds a view (one written with SetViewProjStatus).
    Handle(TDF_TagSource) pSource = TDF_TagSource::Set(list);
    const int nLast = std::max(pSource->Get(), HighestAttributedChild(list));
    if (nLast == INT_MAX)
        return 0;
    pSource->Set(nLast + 1);
    const TDF_Label label = list.FindChild(nLast + 1, Standard_True);
    WriteView(label, vps);
    return label.Tag();
}

int OCAF_IWorkSpcData::SetViewProjStatus(const Handle(TDataStd_TreeNode)& aTreeNode, int nIndex,
                                         const T_VIEW_PROJ_STATUS& vps)
{
    const TDF_Label label = EntryLabel(GetViewProjStatusLabel(aTreeNode), nIndex, Standard_True);
    if (label.IsNull())
        return 0;
    WriteView(label, vps);
    return 1;
}

int OCAF_IWorkSpcData::IsViewProjStatus(const Handle(TDataStd_TreeNode)& aTreeNode, int nIndex)
{
    if (aTreeNode.IsNull() || aTreeNode->Label().IsNull() || nIndex <= 0)
        return 0;
    const TDF_Label branch = aTreeNode->Label().Root().FindChild(kWorkSpaceTag, Standard_False);
    const TDF_Label list = branch.IsNull() ? branch : branch.FindChild(kViewListTag, Standard_False);
    return list.IsNull() ? 0 : HasName(list.FindChild(nIndex, Standard_False));
}

T_VIEW_PROJ_STATUS OCAF_IWorkSpcData::GetViewProjStatus(const Handle(TDataStd_TreeNode)& aTreeNode, int nIndex)
{
    T_VIEW_PROJ_STATUS vps;
    const TDF_Label label = EntryLabel(GetViewProjStatusLabel(aTreeNode), nIndex, Standard_True);
    Handle(TDataStd_Name) pName;
    if (label.IsNull() || !label.FindAttribute(TDataStd_Name::GetID(), pName))
        return vps;
    vps.strName = pName->Get();
    Handle(TDataStd_RealArray) pReal;
    if (!label.FindAttribute(TDataStd_RealArray::GetID(), pReal))
        return vps;
    // A short array is read as far as it goes.
    const int n = pReal->Length();
    auto xyz = [&](int k) { return gp_XYZ(StoredValue(pReal, k), StoredValue(pReal, k + 1), StoredValue(pReal, k + 2)); };
    if (n >= 3)
        vps.vSecond = xyz(1);
    if (n >= 6)
        vps.vFirst = xyz(4);
    if (n >= 9) {
        // A zero (or non-finite) direction cannot be normalised: the default stays.
        const gp_XYZ d = xyz(7);
        const double dLen = d.Modulus();
        if (std::isfinite(dLen) && dLen > gp::Resolution())
            vps.dir = gp_Dir(d);
    }
    if (n >= 10)
        vps.dValue = StoredValue(pReal, 10);
    if (n >= 12)
        vps.pair = gp_XY(StoredValue(pReal, 11), StoredValue(pReal, 12));
    if (n >= 13) {
        const double d = StoredValue(pReal, 13);
        // Truncated toward zero; a value no int can hold keeps the default.
        if (std::isfinite(d) && d > static_cast<double>(INT_MIN) - 1.0 && d < static_cast<double>(INT_MAX) + 1.0)
            vps.nValue = static_cast<int>(d);
    }
    return vps;
}

int OCAF_IWorkSpcData::DelViewProjStatus(const Handle(TDataStd_TreeNode)& aTreeNode, int nIndex)
{
    const TDF_Label label = EntryLabel(GetViewProjStatusLabel(aTreeNode), nIndex, Standard_True);
    if (label.IsNull())
        return 0;
    label.ForgetAllAttributes(Standard_True);
    return 1;
}
