// Stand-in for the host's bridge between the post-processor and the mesh manager: the live
// bridge (m_pMySelf, null when no view is open) knows the model's bounding box.
#pragma once
#include "afxwin.h"

class CAnimationEngine;

class CPVSMeshMngrBrdgBase {
public:
    CPVSMeshMngrBrdgBase();
    virtual ~CPVSMeshMngrBrdgBase();
    static CPVSMeshMngrBrdgBase* m_pMySelf;

    // Model bounding box: xmin, xmax, ymin, ymax, zmin, zmax.
    virtual void GetBounds(double dBounds[6]) const;
    void SetBounds(const double dBounds[6]);
    virtual CAnimationEngine* GetAnimationEngine() { return nullptr; }

private:
    double m_dBounds[6] = {0, 0, 0, 0, 0, 0};
};
