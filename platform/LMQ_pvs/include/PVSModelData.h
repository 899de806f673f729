// Stand-in for the host's model data: the model's mesh as the visual methods see it.
#pragma once
#include "PVSParams.h"

class CPVSModelDataBase : public CObject {
    DECLARE_DYNAMIC(CPVSModelDataBase)
public:
    explicit CPVSModelDataBase(T_MD_PARAM_D& param) : m_param(param) {}
    const T_MD_PARAM_D& GetParam() const { return m_param; }

protected:
    T_MD_PARAM_D m_param;
};

class CPVSModelDataFEM : public CPVSModelDataBase {
    DECLARE_DYNAMIC(CPVSModelDataFEM)
public:
    using CPVSModelDataBase::CPVSModelDataBase;
};
