#include "PVSMeshMngrBrdg.h"

CPVSMeshMngrBrdg* CPVSMeshMngrBrdg::GetMySelf() { return dynamic_cast<CPVSMeshMngrBrdg*>(m_pMySelf); }

void CPVSMeshMngrBrdg::UpdatePVSLabel(int, int, int) { ++m_nRedraws; }

int CPVSMeshMngrBrdg::ShowUserDefModeDisplay(unsigned int nVDType, T_VD_USERDEF_DATA* pUserData, int nArg1, int nArg2,
                                             int nArg3)
{
    T_PVS_DISPLAY_REQUEST_D r{nVDType, pUserData, nArg1, nArg2, nArg3};
    m_aRequests.Add(r);
    return m_fnDisplayHandler ? m_fnDisplayHandler(r) : 1;
}
