#include "PVSMeshMngrBrdg.h"

CPVSMeshMngrBrdg* CPVSMeshMngrBrdg::GetMySelf() { return dynamic_cast<CPVSMeshMngrBrdg*>(m_pMySelf); }

void CPVSMeshMngrBrdg::UpdatePVSLabel(int nKind, int nArg1, int nArg2)
{
    ++m_nRedraws;
    const T_PVS_LABEL_UPDATE_D u{nKind, nArg1, nArg2};
    m_aLabelUpdates.Add(u);
    if (m_fnRedrawHandler)
        m_fnRedrawHandler(u);
}

int CPVSMeshMngrBrdg::ShowUserDefModeDisplay(unsigned int nVDType, T_VD_USERDEF_DATA* pUserData, int nArg1, int nArg2,
                                             int nArg3)
{
    T_PVS_DISPLAY_REQUEST_D r{nVDType, pUserData, nArg1, nArg2, nArg3};
    m_aRequests.Add(r);
    return m_fnDisplayHandler ? m_fnDisplayHandler(r) : 1;
}

int CPVSMeshMngrBrdg::ShowResult(unsigned int nPVtifK, int nArg1, int nArg2, int nArg3)
{
    m_aShownResults.Add(T_SHOW_RESULT_D{nPVtifK, nArg1, nArg2, nArg3});
    m_nCurResultK = nPVtifK;
    return 1;
}
