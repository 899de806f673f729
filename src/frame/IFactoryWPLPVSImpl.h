// The result-display factory of the other edition of the product: the same operations as
// IFactoryPVSImpl on the same type codes, for that edition's displays (crack-state results of
// lining elements, flow discharge through planes; no history plots, factor of safety, pile-tip
// or point-element displays) with its own predicates and colour table. Exported for that
// edition's host to construct; the module makes no instance of it.
#pragma once
#include "core/KVPvsExport.h"

#include "FactoryPVS.h"

class KV_PVS_API IFactoryWPLPVSImpl : public IFactoryPVS {
public:
    IFactoryWPLPVSImpl();
    IFactoryWPLPVSImpl(const IFactoryWPLPVSImpl& src);
    IFactoryWPLPVSImpl& operator=(const IFactoryWPLPVSImpl& src);
    ~IFactoryWPLPVSImpl() override;

    CPVSModelDataBase* CreateModelData(T_MD_PARAM_D* pParam) override;
    CPVSVisualDataBase* CreateVisualData(T_VD_PARAM_D* pParam) override;
    CPVSVisualDataBase* CreateVisualDataByMutiIso(T_VD_PARAM_D* pParam) override;
    CPVSVisualDataBase* CreateVisualDataByType(unsigned int nType, T_VD_PARAM_D* pParam) override;
    CPVSVisualMethodBase* CreateVisualMethod(T_VM_PARAM_D* pParam) override;
    T_VD_USERDEF_DATA* CreateAndCopyUserDefModeData(int nType, void* pSource) override;
    CPVSColorTableBase* CreateColorTable(unsigned int nKey) override;

protected:
    int IsPrincipalResult(T_PVTIF_D* pRow);
    int IsSeepageVector(T_PVTIF_D* pRow);
    int IsCustomVector(T_PVTIF_D* pRow);
    int IsVectorySymbol(T_PVTIF_D* pRow);
    int IsLineEvent(T_PVTIF_D* pRow);
    int IsElemEvent(T_PVTIF_D* pRow);

private:
    // The operations' work; the operations above return null for whatever escapes it.
    CPVSModelDataBase* MakeModelData(T_MD_PARAM_D* pParam);
    CPVSVisualDataBase* MakeVisualData(T_VD_PARAM_D* pParam);
    CPVSVisualDataBase* MakeVisualDataByMutiIso(T_VD_PARAM_D* pParam);
    CPVSVisualDataBase* MakeVisualDataByType(unsigned int nType, T_VD_PARAM_D* pParam);
    CPVSVisualMethodBase* MakeVisualMethod(T_VM_PARAM_D* pParam);
    T_VD_USERDEF_DATA* MakeAndCopyUserDefModeData(int nType, void* pSource);
    CPVSColorTableBase* MakeColorTable(unsigned int nKey);
};
