#include "dialogs/ModelessDlgFrame.h"

namespace kvpvs::dialogs {

int RequestUserDefDisplay(unsigned int nVDType, T_VD_USERDEF_DATA* pRecord, int nArg1)
{
    CPVSMeshMngrBrdg* pBridge = CPVSMeshMngrBrdg::GetMySelf();
    if (!pBridge)
        return 0;
    return pBridge->ShowUserDefModeDisplay(nVDType, pRecord, nArg1, 0, 0);
}

void CloseUserDefDisplay()
{
    if (CPVSMeshMngrBrdgBase::m_pMySelf)
        CPVSMeshMngrBrdgBase::m_pMySelf->CloseUserDefMode(0);
}

} // namespace kvpvs::dialogs
