#include "frame/IFactoryPVSImpl.h"

#include "frame/FactoryCreators.h"
#include "frame/FactoryGuard.h"
#include "visualdata/PVSUserDefRecords.h"

#include <initializer_list>
#include <memory>
#include <new>

namespace {

enum { ENGR_NODE = 1, ENGR_ELEM = 2 };

bool OneOf(std::uint64_t v, std::initializer_list<std::uint64_t> set)
{
    for (auto x : set)
        if (v == x)
            return true;
    return false;
}

CPVSVisualDataBase* VectPlot(T_VD_PARAM_D& p, int nMode) { return new (std::nothrow) CPVSVisualDataCustomVectPlot(p, nMode); }

template <class C>
CPVSVisualDataBase* Host(T_VD_PARAM_D& p)
{
    return new (std::nothrow) C(p);
}

CPVSVisualDataBase* Row(PFN_CREATE_VD_ROW pfn, T_VD_PARAM_D& p) { return pfn ? pfn(p) : nullptr; }

using kvpvs::frame::CopyRecord;
using kvpvs::frame::OrNull;

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
    if (!pParam)
        return nullptr;
    if (!pParam->bFlag)
        return IFactoryPVS::CreateModelData(pParam);
    switch (pParam->nType) {
    case 0: case 1: case 2: case 3: case 5: case 6: case 7: case 8: case 11: case 12:
        return new (std::nothrow) CPVSModelDataFEM(*pParam);
    default:
        return nullptr;
    }
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
    PFN_CREATE_VD_TYPED pfn = nullptr;
    switch (nType) {
    case 0: return new (std::nothrow) CPVSVisualDataNone(nType, *pParam);
    case 1: pfn = c.pfnVDFlowPath; break;
    case 2: return new (std::nothrow) CPVSVisualDataMultiStepIsoSurf(nType, *pParam);
    case 3: pfn = c.pfnVDHistoryPlotTKVR; break;
    case 5: pfn = c.pfnVDProfGrid; break;
    case 6: pfn = c.pfnVDHistoryPlotDgrm; break;
    case 7: pfn = c.pfnVDHistoryPlotStrs; break;
    case 8: pfn = c.pfnVDLDFS; break;
    case 11: pfn = c.pfnVDFOS; break;
    case 12: pfn = c.pfnVDLDFSD; break;
    default: return nullptr;
    }
    return pfn ? pfn(nType, *pParam) : nullptr;
}

CPVSVisualMethodBase* IFactoryPVSImpl::MakeVisualMethod(T_VM_PARAM_D* pParam)
{
    if (!pParam)
        return nullptr;
    const T_KVPVS_CREATORS& c = KVPvsCreators();
    PFN_CREATE_VM pfn = nullptr;
    switch (pParam->nVMType) {
    case 0: case 1: case 2: case 3: case 4: case 5: case 7:
        return IFactoryPVS::CreateVisualMethod(pParam);
    case 6: pfn = c.pfnVMGlbFlowPath; break;
    case 9: return new (std::nothrow) CPVSVisualMethodColorMap(*pParam);
    case 10: pfn = c.pfnVMGlbProfGrid; break;
    case 14: return new (std::nothrow) CPVSVisualMethodPointElement(*pParam);
    case 15: pfn = c.pfnVMLDFS; break;
    case 17: pfn = c.pfnVMFOS; break;
    case 19: pfn = c.pfnVMLDFSD; break;
    default: return nullptr;
    }
    return pfn ? pfn(*pParam) : nullptr;
}

T_VD_USERDEF_DATA* IFactoryPVSImpl::MakeAndCopyUserDefModeData(int nType, void* pSource)
{
    switch (nType) {
    case 0: return new (std::nothrow) T_VD_NONE_D;
    case 1: return CopyRecord<T_VD_FLOWPATH_WPLKVR_D>(pSource);
    case 2: {
        std::unique_ptr<T_VD_MULTIISO_WPLKVR_D> p(new (std::nothrow) T_VD_MULTIISO_WPLKVR_D);
        if (p && pSource)
            *p = *static_cast<T_VD_MULTIISO_WPLKVR_D*>(pSource);
        return p.release();
    }
    case 3: case 6: case 7: return CopyRecord<T_VD_HISTPLOT_TVCKVR_D>(pSource);
    case 5: return CopyRecord<T_VD_PROFGRID_D>(pSource);
    case 8: return CopyRecord<T_VD_LCLDIRSUM_HOB_D>(pSource);
    case 11: return CopyRecord<T_VD_FOS_TVCKVR_D>(pSource);
    case 12: return CopyRecord<T_VD_LCLDIRSUM_KVR_D>(pSource);
    default: return nullptr;
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
