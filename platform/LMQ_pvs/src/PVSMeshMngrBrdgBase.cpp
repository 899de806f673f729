#include "PVSMeshMngrBrdgBase.h"

CPVSMeshMngrBrdgBase* CPVSMeshMngrBrdgBase::m_pMySelf = nullptr;

CPVSMeshMngrBrdgBase::CPVSMeshMngrBrdgBase() { m_pMySelf = this; }

CPVSMeshMngrBrdgBase::~CPVSMeshMngrBrdgBase()
{
    if (m_pMySelf == this)
        m_pMySelf = nullptr;
}

void CPVSMeshMngrBrdgBase::GetBounds(double dBounds[6]) const
{
    for (int i = 0; i < 6; ++i)
        dBounds[i] = m_dBounds[i];
}

void CPVSMeshMngrBrdgBase::SetBounds(const double dBounds[6])
{
    for (int i = 0; i < 6; ++i)
        m_dBounds[i] = dBounds[i];
}
