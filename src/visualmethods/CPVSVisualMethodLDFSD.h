// Visual method of the force sums for member design (type 19): the force-sum method on the
// design settings record that, for every plane with a result, broadcasts the plane, its cut
// points, plate or solid cells with section and material values, and the six sums through
// CNotifyListener::NotifyUpdate before the next plane is cut.
#pragma once
#include "visualmethods/CPVSVisualMethodLDFS.h"

class KV_PVS_API CPVSVisualMethodLDFSD
    : public CPVSVisualMethodLDFSCore<CPVSVisualDataLDFSD, T_VD_LCLDIRSUM_KVR_D, T_VD_LCLDIRSUM_KVR_BASE_D,
                                      T_LCLDIR_PLNE_KVR_D> {
    DECLARE_DYNAMIC(CPVSVisualMethodLDFSD)
public:
    explicit CPVSVisualMethodLDFSD(T_VM_PARAM_D& param);
    using CPVSVisualMethodLDFSCore::TextLclDirForSum;

    T_LCLDIR_PLNE_KVR_D m_BroadcastPlane;
    CPointInfoMap m_mPointInfo;
    CPlateCellInfoMap m_mPlateCellInfo;
    CSolidCellInfoMap m_mSolidCellInfo;
    T_FORCESUM_D m_ForceSum{};
};
