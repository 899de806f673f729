// Stand-in for the host's mesh-manager bridge of the post view: holds the view's window,
// takes redraw and display requests. Requests are recorded; a host may also install a
// handler that builds the display (the demo host does).
#pragma once
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

private:
    CWnd* m_pWnd = nullptr;
};
