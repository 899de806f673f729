// The module's result-display factory: maps a visual-data type code, or a result row, to the
// visual data that shows it, a visual-method code to the method that draws it, and makes the
// model data, the copy of a display's settings record and the colour table. It owns nothing:
// every object goes to the host, which deletes it through its virtual destructor.
#pragma once
#include "core/KVPvsExport.h"

#include "FactoryPVS.h"

class KV_PVS_API IFactoryPVSImpl : public IFactoryPVS {
public:
    IFactoryPVSImpl() = default;
    IFactoryPVSImpl(const IFactoryPVSImpl& src) : IFactoryPVS(src) {}
    IFactoryPVSImpl& operator=(const IFactoryPVSImpl& src)
    {
        IFactoryPVS::operator=(src);
        return *this;
    }
    ~IFactoryPVSImpl() override = default;

    CPVSModelDataBase* CreateModelData(T_MD_PARAM_D* pParam) override;
    CPVSVisualDataBase* CreateVisualData(T_VD_PARAM_D* pParam) override;
    CPVSVisualDataBase* CreateVisualDataByMutiIso(T_VD_PARAM_D* pParam) override;
    CPVSVisualDataBase* CreateVisualDataByType(unsigned int nType, T_VD_PARAM_D* pParam) override;
    CPVSVisualMethodBase* CreateVisualMethod(T_VM_PARAM_D* pParam) override;
    T_VD_USERDEF_DATA* CreateAndCopyUserDefModeData(int nType, void* pSource) override;
    CPVSColorTableBase* CreateColorTable(unsigned int nKey) override;

    static int IsCompCombDiagram(T_PVTIF_D* pRow);
    static int IsNodalSeepage(T_PVTIF_D* pRow);
    static int IsCustomVector(T_PVTIF_D* pRow);
    static int IsPrincipalResult(T_PVTIF_D* pRow);
    static int IsSeepageVector(T_PVTIF_D* pRow);

private:
    // The operations' work; the operations above return null for whatever escapes it.
    CPVSModelDataBase* MakeModelData(T_MD_PARAM_D* pParam);
    CPVSVisualDataBase* MakeVisualData(T_VD_PARAM_D* pParam);
    CPVSVisualDataBase* MakeVisualDataByMutiIso(T_VD_PARAM_D* pParam);
    CPVSVisualDataBase* MakeVisualDataByType(unsigned int nType, T_VD_PARAM_D* pParam);
    CPVSVisualMethodBase* MakeVisualMethod(T_VM_PARAM_D* pParam);
    T_VD_USERDEF_DATA* MakeAndCopyUserDefModeData(int nType, void* pSource);
};

// Reads the row and its entity of a construction's parameters; FALSE when either is missing.
BOOL KVPvsReadRow(const T_VD_PARAM_D* pParam, T_PVTIF_D& row, T_PENGR_D& engr);
