#include "frame/FactoryCreators.h"
#include "visualdata/CPVSColorTableEvent.h"
#include "visualdata/CPVSVisualDataLDFS.h"
#include "visualdata/CPVSVisualDataPileTipElement.h"
#include "visualdata/CPVSVisualDataFlowDiscWKVR.h"
#include "visualdata/CPVSVisualDataFlowPathWKVR.h"
#include "visualdata/CPVSVisualDataLDFSD.h"
#include "visualmethods/CPVSVisualMethodFlowDiscWKVR.h"
#include "visualmethods/CPVSVisualMethodGlbFlowPath.h"
#include "visualmethods/CPVSVisualMethodLDFS.h"
#include "visualmethods/CPVSVisualMethodLDFSD.h"

const T_KVPVS_CREATORS& KVPvsCreators()
{
    static const T_KVPVS_CREATORS creators = {
        /* pfnVDFlowPath */ CreateVDTyped<CPVSVisualDataFlowPathWKVR>,
        /* pfnVDHistoryPlotTKVR */ nullptr,
        /* pfnVDFlowDisc */ CreateVDTyped<CPVSVisualDataFlowDiscWKVR>,
        /* pfnVDProfGrid */ nullptr,
        /* pfnVDHistoryPlotDgrm */ nullptr,
        /* pfnVDHistoryPlotStrs */ nullptr,
        /* pfnVDLDFS */ CreateVDTyped<CPVSVisualDataLDFS>,
        /* pfnVDFOS */ nullptr,
        /* pfnVDLDFSD */ CreateVDTyped<CPVSVisualDataLDFSD>,
        /* pfnVDNodeSepg */ nullptr,
        /* pfnVDPileTipElement */ CreateVDRow<CPVSVisualDataPileTipElement>,
        /* pfnVDElemDgrmEvent */ nullptr,
        /* pfnVMGlbFlowPath */ CreateVM<CPVSVisualMethodGlbFlowPath>,
        /* pfnVMFlowDisc */ CreateVM<CPVSVisualMethodFlowDiscWKVR>,
        /* pfnVMGlbProfGrid */ nullptr,
        /* pfnVMLDFS */ CreateVM<CPVSVisualMethodLDFS>,
        /* pfnVMFOS */ nullptr,
        /* pfnVMLDFSD */ CreateVM<CPVSVisualMethodLDFSD>,
        /* pfnCTEvent */ CreateCT<CPVSColorTableEvent>,
    };
    return creators;
}
