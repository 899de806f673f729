#include "frame/FactoryCreators.h"

const T_KVPVS_CREATORS& KVPvsCreators()
{
    static const T_KVPVS_CREATORS creators = {
        /* pfnVDFlowPath */ nullptr,
        /* pfnVDHistoryPlotTKVR */ nullptr,
        /* pfnVDFlowDisc */ nullptr,
        /* pfnVDProfGrid */ nullptr,
        /* pfnVDHistoryPlotDgrm */ nullptr,
        /* pfnVDHistoryPlotStrs */ nullptr,
        /* pfnVDLDFS */ nullptr,
        /* pfnVDFOS */ nullptr,
        /* pfnVDLDFSD */ nullptr,
        /* pfnVDNodeSepg */ nullptr,
        /* pfnVDPileTipElement */ nullptr,
        /* pfnVDElemDgrmEvent */ nullptr,
        /* pfnVMGlbFlowPath */ nullptr,
        /* pfnVMFlowDisc */ nullptr,
        /* pfnVMGlbProfGrid */ nullptr,
        /* pfnVMLDFS */ nullptr,
        /* pfnVMFOS */ nullptr,
        /* pfnVMLDFSD */ nullptr,
    };
    return creators;
}
