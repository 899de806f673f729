#include "frame/IFactoryPVSImpl.h"

#include "frame/FactoryFrame.h"
#include "frame/FactoryGuard.h"
#include "visualdata/PVSUserDefRecords.h"

#include <initializer_list>
#include <new>

namespace {

bool OneOf(std::uint64_t v, std::initializer_list<std::uint64_t> set)
{
    for (auto x : set)
        if (v == x)
            return true;
    return false;
}

using namespace kvpvs::frame;

} // namespace

BOOL KVPvsReadRow(const T_VD_PARAM_D* pParam, T_PVTIF_D& row, T_PENGR_D& engr)
{
    if (!pParam || !pParam->pDoc)
        return FALSE;
    CClassPVtif pvtif(pParam->pDoc->GetPostDB());
    CClassPEngr pengr(pParam->pDoc->GetPostDB());
    if (!pvtif.Get(pParam->nPVtifK, row))
        return FALSE;
    return pengr.Get(row.nEngrK, engr);
}

CPVSModelDataBase* IFactoryPVSImpl::MakeModelData(T_MD_PARAM_D* pParam)
{
    return MakeFemModelData(*this, pParam, {0, 1, 2, 3, 5, 6, 7, 8, 11, 12});
}

CPVSVisualDataBase* IFactoryPVSImpl::MakeVisualData(T_VD_PARAM_D* pParam)
{
    T_PVTIF_D row;
    T_PENGR_D engr;
    if (!KVPvsReadRow(pParam, row, engr))
        return nullptr;
    T_VD_PARAM_D& p = *pParam;
    const T_KVPVS_CREATORS& c = KVPvsCreators();

    if (row.nDispType == 6 || IsCompCombDiagram(&row))
        return Host<CPVSVisualDataElemDgrm>(p);

    if (engr.nKind == ENGR_NODE) {
        if (row.nDispType == 7)
            return row.nQuantity == 3 ? VectPlot(p, 2) : Host<CPVSVisualDataNode>(p);
        switch (row.nQuantity) {
        case 1:
            return IsCustomVector(&row) && !p.bVectAsData ? VectPlot(p, 1) : Host<CPVSVisualDataNode>(p);
        case 3:
            return VectPlot(p, 2);
        case 16:
            return nullptr;
        default:
            if (IsNodalSeepage(&row))
                return Row(c.pfnVDNodeSepg, p);
            if (IsCustomVector(&row) && !p.bVectAsData)
                return VectPlot(p, 1);
            return Host<CPVSVisualDataNode>(p);
        }
    }

    if (engr.nKind == ENGR_ELEM) {
        if (row.nDispType == 7)
            return Host<CPVSVisualDataElem>(p);
        switch (row.nQuantity) {
        case 5: case 7:
            return IsPrincipalResult(&row) ? VectPlot(p, 1) : Host<CPVSVisualDataElem>(p);
        case 14: case 16:
            return nullptr;
        case 17:
            return IsSeepageVector(&row) ? VectPlot(p, 1) : Host<CPVSVisualDataElem>(p);
        case 21:
            return Row(c.pfnVDPileTipElement, p);
        default:
            return Host<CPVSVisualDataElem>(p);
        }
    }
    return nullptr;
}

CPVSVisualDataBase* IFactoryPVSImpl::MakeVisualDataByMutiIso(T_VD_PARAM_D* pParam)
{
    T_PVTIF_D row;
    T_PENGR_D engr;
    if (!KVPvsReadRow(pParam, row, engr))
        return nullptr;
    T_VD_PARAM_D& p = *pParam;

    if (row.nDispType == 6)
        return Host<CPVSVisualDataElemDgrm>(p);
    if (engr.nKind == ENGR_NODE) {
        if (row.nDispType == 7)
            return Host<CPVSVisualDataNode>(p);
        if (row.nQuantity == 3)
            return VectPlot(p, 2);
        if (row.nQuantity == 16)
            return nullptr;
        return IsNodalSeepage(&row) ? Row(KVPvsCreators().pfnVDNodeSepg, p) : Host<CPVSVisualDataNode>(p);
    }
    if (engr.nKind == ENGR_ELEM) {
        if (row.nDispType == 7)
            return Host<CPVSVisualDataElem>(p);
        if (row.nQuantity == 14 || row.nQuantity == 16)
            return nullptr;
        return Host<CPVSVisualDataElem>(p);
    }
    return nullptr;
}

CPVSVisualDataBase* IFactoryPVSImpl::MakeVisualDataByType(unsigned int nType, T_VD_PARAM_D* pParam)
{
    if (!pParam)
        return nullptr;
    const T_KVPVS_CREATORS& c = KVPvsCreators();
    switch (nType) {
    case 3: return Typed(c.pfnVDHistoryPlotTKVR, nType, *pParam);
    case 6: return Typed(c.pfnVDHistoryPlotDgrm, nType, *pParam);
    case 7: return Typed(c.pfnVDHistoryPlotStrs, nType, *pParam);
    case 8: return Typed(c.pfnVDLDFS, nType, *pParam);
    case 11: return Typed(c.pfnVDFOS, nType, *pParam);
    case 12: return Typed(c.pfnVDLDFSD, nType, *pParam);
    default: return MakeSharedVisualDataByType(nType, *pParam);
    }
}

CPVSVisualMethodBase* IFactoryPVSImpl::MakeVisualMethod(T_VM_PARAM_D* pParam)
{
    if (!pParam)
        return nullptr;
    switch (pParam->nVMType) {
    case 14: return new (std::nothrow) CPVSVisualMethodPointElement(*pParam);
    case 17: return Method(KVPvsCreators().pfnVMFOS, *pParam);
    default: return MakeSharedVisualMethod(*this, *pParam);
    }
}

T_VD_USERDEF_DATA* IFactoryPVSImpl::MakeAndCopyUserDefModeData(int nType, void* pSource)
{
    switch (nType) {
    case 3: case 6: case 7: return CopyRecord<T_VD_HISTPLOT_TVCKVR_D>(pSource);
    case 11: return CopyRecord<T_VD_FOS_TVCKVR_D>(pSource);
    default: return CopySharedRecord(nType, pSource);
    }
}

CPVSModelDataBase* IFactoryPVSImpl::CreateModelData(T_MD_PARAM_D* pParam)
{
    return OrNull([&] { return MakeModelData(pParam); });
}

CPVSVisualDataBase* IFactoryPVSImpl::CreateVisualData(T_VD_PARAM_D* pParam)
{
    return OrNull([&] { return MakeVisualData(pParam); });
}

CPVSVisualDataBase* IFactoryPVSImpl::CreateVisualDataByMutiIso(T_VD_PARAM_D* pParam)
{
    return OrNull([&] { return MakeVisualDataByMutiIso(pParam); });
}

CPVSVisualDataBase* IFactoryPVSImpl::CreateVisualDataByType(unsigned int nType, T_VD_PARAM_D* pParam)
{
    return OrNull([&] { return MakeVisualDataByType(nType, pParam); });
}

CPVSVisualMethodBase* IFactoryPVSImpl::CreateVisualMethod(T_VM_PARAM_D* pParam)
{
    return OrNull([&] { return MakeVisualMethod(pParam); });
}

T_VD_USERDEF_DATA* IFactoryPVSImpl::CreateAndCopyUserDefModeData(int nType, void* pSource)
{
    return OrNull([&] { return MakeAndCopyUserDefModeData(nType, pSource); });
}

CPVSColorTableBase* IFactoryPVSImpl::CreateColorTable(unsigned int nKey)
{
    return OrNull([&] { return IFactoryPVS::CreateColorTable(nKey); });
}

int IFactoryPVSImpl::IsCompCombDiagram(T_PVTIF_D* pRow)
{
    return pRow && pRow->nDispType == 7 && (pRow->nResultClass == 4 || pRow->nResultClass == 5);
}

int IFactoryPVSImpl::IsNodalSeepage(T_PVTIF_D* pRow) { return pRow && pRow->nResultClass == 38; }

int IFactoryPVSImpl::IsCustomVector(T_PVTIF_D* pRow)
{
    return pRow && pRow->nResultClass == 1 && pRow->nItem >= 1 && pRow->nItem <= 11;
}

int IFactoryPVSImpl::IsSeepageVector(T_PVTIF_D* pRow)
{
    if (!pRow)
        return 0;
    const std::uint64_t c = pRow->nCompCode;
    switch (pRow->nResultClass) {
    case 39: case 42:
        return OneOf(c, {0, 1, 2, 10});
    case 40: case 41: case 43: case 44:
        return OneOf(c, {0, 1, 2, 10, 11, 12});
    default:
        return 0;
    }
}

int IFactoryPVSImpl::IsPrincipalResult(T_PVTIF_D* pRow)
{
    if (!pRow)
        return 0;
    const std::uint64_t c = pRow->nCompCode;
    const int k = pRow->nResultClass;
    if (OneOf(k, {8, 9, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 26}) || (k >= 27 && k <= 37))
        return OneOf(c, {6, 7, 8});
    switch (k) {
    case 6: case 22: return OneOf(c, {3, 4, 10, 11});
    case 7: return OneOf(c, {6, 7, 16, 17});
    case 10: case 24: return OneOf(c, {3, 4});
    case 11: case 25: return OneOf(c, {6, 7});
    case 81: case 83: return c >= 18 && c <= 23;
    case 85: case 87: return c >= 24 && c <= 29;
    case 89: case 91: return c >= 15 && c <= 20;
    default: return 0;
    }
}
