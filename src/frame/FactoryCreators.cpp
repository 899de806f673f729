#include "frame/FactoryCreators.h"
#include "visualdata/CPVSVisualDataFOS.h"
#include "visualdata/CPVSVisualDataLDFS.h"
#include "visualdata/CPVSVisualDataLDFSD.h"
#include "visualdata/CPVSVisualDataProfGrid.h"
#include "visualmethods/CPVSVisualMethodFOS.h"
#include "visualmethods/CPVSVisualMethodLDFS.h"
#include "visualmethods/CPVSVisualMethodLDFSD.h"
#include "visualmethods/CPVSVisualMethodGlbProfGrid.h"

const T_KVPVS_CREATORS& KVPvsCreators()
{
    static const T_KVPVS_CREATORS creators = {
        /* pfnVDFlowPath */ nullptr,
        /* pfnVDHistoryPlotTKVR */ nullptr,
        /* pfnVDFlowDisc */ nullptr,
        /* pfnVDProfGrid */ CreateVDTyped<CPVSVisualDataProfGrid>,
        /* pfnVDHistoryPlotDgrm */ nullptr,
        /* pfnVDHistoryPlotStrs */ nullptr,
        /* pfnVDLDFS */ CreateVDTyped<CPVSVisualDataLDFS>,
        /* pfnVDFOS */ CreateVDTyped<CPVSVisualDataFOS>,
        /* pfnVDLDFSD */ CreateVDTyped<CPVSVisualDataLDFSD>,
        /* pfnVDNodeSepg */ nullptr,
        /* pfnVDPileTipElement */ nullptr,
        /* pfnVDElemDgrmEvent */ nullptr,
        /* pfnVMGlbFlowPath */ nullptr,
        /* pfnVMFlowDisc */ nullptr,
        /* pfnVMGlbProfGrid */ CreateVM<CPVSVisualMethodGlbProfGrid>,
        /* pfnVMLDFS */ CreateVM<CPVSVisualMethodLDFS>,
        /* pfnVMFOS */ CreateVM<CPVSVisualMethodFOS>,
        /* pfnVMLDFSD */ CreateVM<CPVSVisualMethodLDFSD>,
    };
    return creators;
}
