// The module's visual-data and visual-method classes as the factories reach them: one
// creator per class, null until the class exists, so the factory yields null for it.
#pragma once
#include "PVSColorTable.h"
#include "PVSVisualDataBase.h"
#include "PVSVisualMethodBase.h"

using PFN_CREATE_VD_TYPED = CPVSVisualDataBase* (*)(unsigned int nType, T_VD_PARAM_D& param);
using PFN_CREATE_VD_ROW = CPVSVisualDataBase* (*)(T_VD_PARAM_D& param);
using PFN_CREATE_VM = CPVSVisualMethodBase* (*)(T_VM_PARAM_D& param);
using PFN_CREATE_CT = CPVSColorTableBase* (*)(unsigned int nKey);

struct T_KVPVS_CREATORS {
    // Visual data by type code.
    PFN_CREATE_VD_TYPED pfnVDFlowPath;          // 1
    PFN_CREATE_VD_TYPED pfnVDHistoryPlotTKVR;   // 3
    PFN_CREATE_VD_TYPED pfnVDFlowDisc;          // 4, other edition
    PFN_CREATE_VD_TYPED pfnVDProfGrid;          // 5
    PFN_CREATE_VD_TYPED pfnVDHistoryPlotDgrm;   // 6
    PFN_CREATE_VD_TYPED pfnVDHistoryPlotStrs;   // 7
    PFN_CREATE_VD_TYPED pfnVDLDFS;              // 8
    PFN_CREATE_VD_TYPED pfnVDFOS;               // 11
    PFN_CREATE_VD_TYPED pfnVDLDFSD;             // 12
    // Visual data decided from a result row.
    PFN_CREATE_VD_ROW pfnVDNodeSepg;
    PFN_CREATE_VD_ROW pfnVDPileTipElement;
    PFN_CREATE_VD_ROW pfnVDElemDgrmEvent;       // other edition
    // Visual methods by method code.
    PFN_CREATE_VM pfnVMGlbFlowPath;             // 6
    PFN_CREATE_VM pfnVMFlowDisc;                // 8, other edition
    PFN_CREATE_VM pfnVMGlbProfGrid;             // 10
    PFN_CREATE_VM pfnVMLDFS;                    // 15
    PFN_CREATE_VM pfnVMFOS;                     // 17
    PFN_CREATE_VM pfnVMLDFSD;                   // 19
    // Colour tables.
    PFN_CREATE_CT pfnCTEvent;                   // crack states, other edition
};

const T_KVPVS_CREATORS& KVPvsCreators();

template <class C>
CPVSVisualDataBase* CreateVDTyped(unsigned int nType, T_VD_PARAM_D& param)
{
    return new C(nType, param);
}

template <class C>
CPVSVisualDataBase* CreateVDRow(T_VD_PARAM_D& param)
{
    return new C(param);
}

template <class C>
CPVSVisualMethodBase* CreateVM(T_VM_PARAM_D& param)
{
    return new C(param);
}

template <class C>
CPVSColorTableBase* CreateCT(unsigned int nKey)
{
    return new C(nKey);
}
