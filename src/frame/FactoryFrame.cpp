#include "frame/FactoryFrame.h"

#include "frame/FactoryGuard.h"
#include "visualdata/PVSUserDefRecords.h"

#include <memory>

namespace kvpvs::frame {

CPVSModelDataBase* MakeFemModelData(IFactoryPVS& factory, T_MD_PARAM_D* pParam,
                                    std::initializer_list<unsigned int> femTypes)
{
    if (!pParam)
        return nullptr;
    if (!pParam->bFlag)
        return factory.IFactoryPVS::CreateModelData(pParam);
    for (unsigned int t : femTypes)
        if (pParam->nType == t)
            return new (std::nothrow) CPVSModelDataFEM(*pParam);
    return nullptr;
}

CPVSVisualDataBase* MakeSharedVisualDataByType(unsigned int nType, T_VD_PARAM_D& param)
{
    const T_KVPVS_CREATORS& c = KVPvsCreators();
    switch (nType) {
    case 0: return new (std::nothrow) CPVSVisualDataNone(nType, param);
    case 1: return Typed(c.pfnVDFlowPath, nType, param);
    case 2: return new (std::nothrow) CPVSVisualDataMultiStepIsoSurf(nType, param);
    case 5: return Typed(c.pfnVDProfGrid, nType, param);
    default: return nullptr;
    }
}

CPVSVisualMethodBase* MakeSharedVisualMethod(IFactoryPVS& factory, T_VM_PARAM_D& param)
{
    const T_KVPVS_CREATORS& c = KVPvsCreators();
    switch (param.nVMType) {
    case 0: case 1: case 2: case 3: case 4: case 5: case 7:
        return factory.IFactoryPVS::CreateVisualMethod(&param);
    case 6: return Method(c.pfnVMGlbFlowPath, param);
    case 9: return new (std::nothrow) CPVSVisualMethodColorMap(param);
    case 10: return Method(c.pfnVMGlbProfGrid, param);
    case 15: return Method(c.pfnVMLDFS, param);
    case 19: return Method(c.pfnVMLDFSD, param);
    default: return nullptr;
    }
}

T_VD_USERDEF_DATA* CopySharedRecord(int nType, void* pSource)
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
    case 5: return CopyRecord<T_VD_PROFGRID_D>(pSource);
    case 8: return CopyRecord<T_VD_LCLDIRSUM_HOB_D>(pSource);
    case 12: return CopyRecord<T_VD_LCLDIRSUM_KVR_D>(pSource);
    default: return nullptr;
    }
}

} // namespace kvpvs::frame
