// Stand-in for the host's bridge between the post-processor and the mesh manager: the live
// bridge (m_pMySelf, null when no view is open) knows the model's bounding box. Choices: the
// close-time operation of the user-defined displays only counts its calls; the bridge's mode
// value is whatever the host set (0 by default).
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
    // Called by a result dialog that closes: the display it asked for is left.
    virtual void CloseUserDefMode(int nArg)
    {
        ++m_nCloseCalls;
        m_nLastCloseArg = nArg;
    }
    int GetBrdgMode() const { return m_nMode; }
    void SetBrdgMode(int n) { m_nMode = n; }
    int m_nCloseCalls = 0;
    int m_nLastCloseArg = -1;
    // Whether only the faces of solids are considered (the three-point plane dialog starts in
    // solid mode when set, plate mode otherwise).
    static inline int m_bConsiderOnlyFaceOfSolid = 0;

private:
    double m_dBounds[6] = {0, 0, 0, 0, 0, 0};
    int m_nMode = 0;
};
