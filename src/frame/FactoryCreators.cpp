#include "frame/FactoryCreators.h"
#include "visualdata/CPVSVisualDataFOS.h"
#include "visualdata/CPVSVisualDataElemDgrmEvent.h"
#include "visualdata/CPVSVisualDataHistoryPlotDgrm.h"
#include "visualdata/CPVSColorTableEvent.h"
#include "visualdata/CPVSVisualDataLDFS.h"
#include "visualdata/CPVSVisualDataPileTipElement.h"
#include "visualdata/CPVSVisualDataHistoryPlotTKVR.h"
#include "visualdata/CPVSVisualDataHistoryPlotStrs.h"
#include "visualdata/CPVSVisualDataNodeSepg.h"
#include "visualdata/CPVSVisualDataFlowDiscWKVR.h"
#include "visualdata/CPVSVisualDataFlowPathWKVR.h"
#include "visualdata/CPVSVisualDataLDFSD.h"
#include "visualmethods/CPVSVisualMethodFlowDiscWKVR.h"
#include "visualmethods/CPVSVisualMethodGlbFlowPath.h"
#include "visualdata/CPVSVisualDataProfGrid.h"
#include "visualmethods/CPVSVisualMethodFOS.h"
#include "visualmethods/CPVSVisualMethodLDFS.h"
#include "visualmethods/CPVSVisualMethodLDFSD.h"
#include "visualmethods/CPVSVisualMethodGlbProfGrid.h"

const T_KVPVS_CREATORS& KVPvsCreators()
{
    static const T_KVPVS_CREATORS creators = {
        /* pfnVDFlowPath */ CreateVDTyped<CPVSVisualDataFlowPathWKVR>,
        /* pfnVDHistoryPlotTKVR */ CreateVDTyped<CPVSVisualDataHistoryPlotTKVR>,
        /* pfnVDFlowDisc */ CreateVDTyped<CPVSVisualDataFlowDiscWKVR>,
        /* pfnVDProfGrid */ CreateVDTyped<CPVSVisualDataProfGrid>,
        /* pfnVDHistoryPlotDgrm */ CreateVDTyped<CPVSVisualDataHistoryPlotDgrm>,
        /* pfnVDHistoryPlotStrs */ CreateVDTyped<CPVSVisualDataHistoryPlotStrs>,
        /* pfnVDLDFS */ CreateVDTyped<CPVSVisualDataLDFS>,
        /* pfnVDFOS */ CreateVDTyped<CPVSVisualDataFOS>,
        /* pfnVDLDFSD */ CreateVDTyped<CPVSVisualDataLDFSD>,
        /* pfnVDNodeSepg */ CreateVDRow<CPVSVisualDataNodeSepg>,
        /* pfnVDPileTipElement */ CreateVDRow<CPVSVisualDataPileTipElement>,
        /* pfnVDElemDgrmEvent */ CreateVDRow<CPVSVisualDataElemDgrmEvent>,
        /* pfnVMGlbFlowPath */ CreateVM<CPVSVisualMethodGlbFlowPath>,
        /* pfnVMFlowDisc */ CreateVM<CPVSVisualMethodFlowDiscWKVR>,
        /* pfnVMGlbProfGrid */ CreateVM<CPVSVisualMethodGlbProfGrid>,
        /* pfnVMLDFS */ CreateVM<CPVSVisualMethodLDFS>,
        /* pfnVMFOS */ CreateVM<CPVSVisualMethodFOS>,
        /* pfnVMLDFSD */ CreateVM<CPVSVisualMethodLDFSD>,
        /* pfnCTEvent */ CreateCT<CPVSColorTableEvent>,
    };
    return creators;
}
