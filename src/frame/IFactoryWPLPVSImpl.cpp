#include "frame/IFactoryWPLPVSImpl.h"

#include "frame/FactoryFrame.h"
#include "frame/FactoryGuard.h"
#include "frame/IFactoryPVSImpl.h"
#include "visualdata/PVSUserDefRecords.h"

#include <new>

namespace {

// The first component code of a row: the first of its code array, 0 when it has none.
unsigned int FirstComp(const T_PVTIF_D* pRow) { return pRow->aComp.GetSize() > 0 ? pRow->aComp[0] : 0u; }

bool In(unsigned int v, unsigned int lo, unsigned int hi) { return v >= lo && v <= hi; }

bool LineEventCode(unsigned int c)
{
    return In(c, 80001, 80006) || c == 80011 || c == 80014 || In(c, 80021, 80026) || In(c, 80101, 80106);
}

bool ElemEventCode(unsigned int c)
{
    return In(c, 80031, 80036) || In(c, 80041, 80046) || In(c, 80051, 80056) || In(c, 80061, 80066) ||
           In(c, 80101, 80112);
}

using namespace kvpvs::frame;

} // namespace

IFactoryWPLPVSImpl::IFactoryWPLPVSImpl() = default;
IFactoryWPLPVSImpl::IFactoryWPLPVSImpl(const IFactoryWPLPVSImpl& src) : IFactoryPVS(src) {}
IFactoryWPLPVSImpl& IFactoryWPLPVSImpl::operator=(const IFactoryWPLPVSImpl& src)
{
    IFactoryPVS::operator=(src);
    return *this;
}
IFactoryWPLPVSImpl::~IFactoryWPLPVSImpl() = default;

CPVSModelDataBase* IFactoryWPLPVSImpl::MakeModelData(T_MD_PARAM_D* pParam)
{
    return MakeFemModelData(*this, pParam, {0, 1, 2, 4, 5, 8, 12});
}

CPVSVisualDataBase* IFactoryWPLPVSImpl::MakeVisualData(T_VD_PARAM_D* pParam)
{
    T_PVTIF_D row;
    T_PENGR_D engr;
    if (!KVPvsReadRow(pParam, row, engr))
        return nullptr;
    T_VD_PARAM_D& p = *pParam;
    const T_KVPVS_CREATORS& c = KVPvsCreators();

    // Codes in both event sets are line events: tested first.
    if (IsLineEvent(&row))
        return Row(c.pfnVDElemDgrmEvent, p);
    if (IsElemEvent(&row))
        return Host<CPVSVisualDataElemCell>(p);
    if ((row.nDispType == 7 && row.nDispType2 == 6) || row.nDispType == 6)
        return Host<CPVSVisualDataElemDgrm>(p);

    if (engr.nKind == ENGR_NODE) {
        switch (row.nQuantity) {
        case 1:
            return IsCustomVector(&row) && !p.bVectAsData ? VectPlot(p, 1) : Host<CPVSVisualDataNode>(p);
        case 3:
            return VectPlot(p, 2);
        case 9:
            if (IsCustomVector(&row))
                return VectPlot(p, 1);
            return IsVectorySymbol(&row) ? VectPlot(p, 2) : Host<CPVSVisualDataNode>(p);
        case 16:
            return nullptr;
        case 17:
            return IsSeepageVector(&row) ? VectPlot(p, 1) : Host<CPVSVisualDataNode>(p);
        default:
            return Host<CPVSVisualDataNode>(p);
        }
    }
    if (engr.nKind == ENGR_ELEM) {
        switch (row.nQuantity) {
        case 5: case 7:
            return IsPrincipalResult(&row) ? VectPlot(p, 1) : Host<CPVSVisualDataElem>(p);
        case 14: case 16:
            return nullptr;
        case 17:
            return IsSeepageVector(&row) ? VectPlot(p, 1) : Host<CPVSVisualDataElem>(p);
        default:
            return Host<CPVSVisualDataElem>(p);
        }
    }
    return nullptr;
}

CPVSVisualDataBase* IFactoryWPLPVSImpl::MakeVisualDataByMutiIso(T_VD_PARAM_D* pParam)
{
    T_PVTIF_D row;
    T_PENGR_D engr;
    if (!KVPvsReadRow(pParam, row, engr))
        return nullptr;
    T_VD_PARAM_D& p = *pParam;
    if (IsLineEvent(&row))
        return Row(KVPvsCreators().pfnVDElemDgrmEvent, p);
    if (IsElemEvent(&row))
        return Host<CPVSVisualDataElemCell>(p);
    if (row.nDispType == 6)
        return Host<CPVSVisualDataElemDgrm>(p);
    if (engr.nKind == ENGR_NODE) {
        if (row.nQuantity == 3)
            return VectPlot(p, 2);
        if (row.nQuantity == 16)
            return nullptr;
        return Host<CPVSVisualDataNode>(p);
    }
    if (engr.nKind == ENGR_ELEM) {
        if (row.nQuantity == 14 || row.nQuantity == 16)
            return nullptr;
        return Host<CPVSVisualDataElem>(p);
    }
    return nullptr;
}

CPVSVisualDataBase* IFactoryWPLPVSImpl::MakeVisualDataByType(unsigned int nType, T_VD_PARAM_D* pParam)
{
    if (!pParam)
        return nullptr;
    if (nType == 4)
        return Typed(KVPvsCreators().pfnVDFlowDisc, nType, *pParam);
    return MakeSharedVisualDataByType(nType, *pParam);
}

CPVSVisualMethodBase* IFactoryWPLPVSImpl::MakeVisualMethod(T_VM_PARAM_D* pParam)
{
    if (!pParam)
        return nullptr;
    if (pParam->nVMType == 8)
        return Method(KVPvsCreators().pfnVMFlowDisc, *pParam);
    return MakeSharedVisualMethod(*this, *pParam);
}

T_VD_USERDEF_DATA* IFactoryWPLPVSImpl::MakeAndCopyUserDefModeData(int nType, void* pSource)
{
    if (nType == 4)
        return CopyRecord<T_VD_FLOWDISC_WPLKVR_D>(pSource);
    return CopySharedRecord(nType, pSource);
}

CPVSColorTableBase* IFactoryWPLPVSImpl::MakeColorTable(unsigned int nKey)
{
    // A missing row (or no document) leaves the fresh row's values: not an event row.
    T_PVTIF_D row;
    if (CDBDoc* pDoc = CDBDoc::GetDocPoint())
        CClassPVtif(pDoc->GetPostDB()).Get(nKey, row);
    const unsigned int c = FirstComp(&row);
    if (row.nResultClass == 30 && (LineEventCode(c) || ElemEventCode(c))) {
        PFN_CREATE_CT pfn = KVPvsCreators().pfnCTEvent;
        return pfn ? pfn(nKey) : nullptr;
    }
    return new (std::nothrow) CPVSColorTableBase(nKey);
}

CPVSModelDataBase* IFactoryWPLPVSImpl::CreateModelData(T_MD_PARAM_D* pParam)
{
    return OrNull([&] { return MakeModelData(pParam); });
}

CPVSVisualDataBase* IFactoryWPLPVSImpl::CreateVisualData(T_VD_PARAM_D* pParam)
{
    return OrNull([&] { return MakeVisualData(pParam); });
}

CPVSVisualDataBase* IFactoryWPLPVSImpl::CreateVisualDataByMutiIso(T_VD_PARAM_D* pParam)
{
    return OrNull([&] { return MakeVisualDataByMutiIso(pParam); });
}

CPVSVisualDataBase* IFactoryWPLPVSImpl::CreateVisualDataByType(unsigned int nType, T_VD_PARAM_D* pParam)
{
    return OrNull([&] { return MakeVisualDataByType(nType, pParam); });
}

CPVSVisualMethodBase* IFactoryWPLPVSImpl::CreateVisualMethod(T_VM_PARAM_D* pParam)
{
    return OrNull([&] { return MakeVisualMethod(pParam); });
}

T_VD_USERDEF_DATA* IFactoryWPLPVSImpl::CreateAndCopyUserDefModeData(int nType, void* pSource)
{
    return OrNull([&] { return MakeAndCopyUserDefModeData(nType, pSource); });
}

CPVSColorTableBase* IFactoryWPLPVSImpl::CreateColorTable(unsigned int nKey)
{
    return OrNull([&] { return MakeColorTable(nKey); });
}

int IFactoryWPLPVSImpl::IsLineEvent(T_PVTIF_D* pRow) { return pRow && pRow->nResultClass == 30 && LineEventCode(FirstComp(pRow)); }

int IFactoryWPLPVSImpl::IsElemEvent(T_PVTIF_D* pRow) { return pRow && pRow->nResultClass == 30 && ElemEventCode(FirstComp(pRow)); }

int IFactoryWPLPVSImpl::IsPrincipalResult(T_PVTIF_D* pRow)
{
    if (!pRow)
        return 0;
    const unsigned int c = FirstComp(pRow);
    switch (pRow->nResultClass) {
    case 17: return c == 8007 || c == 8008 || c == 8507 || c == 8508;
    case 21: return c == 7037 || c == 7038;
    case 25: return c == 7017 || c == 7018;
    case 29: return c == 60016 || c == 60017 || c == 60058;
    default: return 0;
    }
}

int IFactoryWPLPVSImpl::IsSeepageVector(T_PVTIF_D* pRow)
{
    if (!pRow)
        return 0;
    const unsigned int c = FirstComp(pRow);
    switch (pRow->nResultClass) {
    case 6: return In(c, 61, 64);
    case 31: return In(c, 90010, 90013);
    case 35: return In(c, 71, 74);
    default: return 0;
    }
}

int IFactoryWPLPVSImpl::IsCustomVector(T_PVTIF_D* pRow)
{
    if (!pRow)
        return 0;
    const unsigned int i = pRow->nItem;
    switch (pRow->nResultClass) {
    case 1: return In(i, 1, 8);
    case 2: return In(i, 11, 18);
    case 3: return In(i, 21, 28);
    case 7: return In(i, 101, 110);
    case 9: return i == 81;
    default: return 0;
    }
}

int IFactoryWPLPVSImpl::IsVectorySymbol(T_PVTIF_D* pRow) { return pRow && pRow->nResultClass == 4; }
