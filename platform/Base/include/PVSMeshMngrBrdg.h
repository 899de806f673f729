// Stand-in for the host's mesh-manager bridge of the post view: holds the view's window,
// takes redraw and display requests. Requests are recorded; a host may also install a
// handler that builds the display (the demo host does).
#pragma once
#include "DPObserver.h"
#include "PVSMeshMngrBrdgBase.h"

#include <functional>

struct T_VD_USERDEF_DATA;

struct T_PVS_DISPLAY_REQUEST_D {
    unsigned int nVDType = 0;
    T_VD_USERDEF_DATA* pUserData = nullptr;
    int nArg1 = 0, nArg2 = 0, nArg3 = 0;
};

struct T_PVS_LABEL_UPDATE_D {
    int nKind = 0, nArg1 = 0, nArg2 = 0;
};

class CPVSMeshMngrBrdg : public CPVSMeshMngrBrdgBase {
public:
    static CPVSMeshMngrBrdg* GetMySelf();
    CWnd* GetWnd() const { return m_pWnd; }
    void SetWnd(CWnd* pWnd) { m_pWnd = pWnd; }

    virtual void UpdatePVSLabel(int nKind, int nArg1, int nArg2);
    virtual int ShowUserDefModeDisplay(unsigned int nVDType, T_VD_USERDEF_DATA* pUserData, int nArg1, int nArg2,
                                       int nArg3);

    std::function<int(const T_PVS_DISPLAY_REQUEST_D&)> m_fnDisplayHandler;
    CArray<T_PVS_DISPLAY_REQUEST_D, const T_PVS_DISPLAY_REQUEST_D&> m_aRequests;
    int m_nRedraws = 0;
    // The arguments of every redraw request, in order; a host may also redraw on each.
    CArray<T_PVS_LABEL_UPDATE_D, const T_PVS_LABEL_UPDATE_D&> m_aLabelUpdates;
    std::function<void(const T_PVS_LABEL_UPDATE_D&)> m_fnRedrawHandler;

    // The animation of result steps: its observers hear 3 (the current step changed; the
    // object's first word is the step key), 4 (the animation starts) and 5 (it ends).
    DP_CSubject* GetAnimSubject() { return &m_animSubject; }
    BOOL IsAnimationRunning() const { return m_bAnimationRunning; }
    // The key of the result row the view shows (0: none).
    unsigned int GetCurResultKey() const { return m_nCurResultK; }
    // Shows a result row; choice: recorded, and the row becomes the current one.
    virtual int ShowResult(unsigned int nPVtifK, int nArg1, int nArg2, int nArg3);
    struct T_SHOW_RESULT_D {
        unsigned int nPVtifK = 0;
        int nArg1 = 0, nArg2 = 0, nArg3 = 0;
    };
    CArray<T_SHOW_RESULT_D, const T_SHOW_RESULT_D&> m_aShownResults;
    BOOL m_bAnimationRunning = FALSE;
    unsigned int m_nCurResultK = 0;

private:
    CWnd* m_pWnd = nullptr;
    DP_CSubject m_animSubject;
};
