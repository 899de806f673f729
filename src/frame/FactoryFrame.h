// What the two editions' factories make alike: the visual data of a vector plot, a host class or
// a row creator, the FEM model data of the types an edition lists, and the visual data by type,
// visual methods and settings records both editions offer. Each factory handles its own codes
// first and hands every other code to these, which give null for a code neither offers.
#pragma once
#include "frame/FactoryCreators.h"

#include "FactoryPVS.h"

#include <initializer_list>
#include <new>

namespace kvpvs::frame {

enum { ENGR_NODE = 1, ENGR_ELEM = 2 };

inline CPVSVisualDataBase* VectPlot(T_VD_PARAM_D& p, int nMode)
{
    return new (std::nothrow) CPVSVisualDataCustomVectPlot(p, nMode);
}

template <class C>
CPVSVisualDataBase* Host(T_VD_PARAM_D& p)
{
    return new (std::nothrow) C(p);
}

inline CPVSVisualDataBase* Row(PFN_CREATE_VD_ROW pfn, T_VD_PARAM_D& p) { return pfn ? pfn(p) : nullptr; }

inline CPVSVisualDataBase* Typed(PFN_CREATE_VD_TYPED pfn, unsigned int nType, T_VD_PARAM_D& p)
{
    return pfn ? pfn(nType, p) : nullptr;
}

inline CPVSVisualMethodBase* Method(PFN_CREATE_VM pfn, T_VM_PARAM_D& p) { return pfn ? pfn(p) : nullptr; }

// FEM model data for a flagged request of one of the listed types; an unflagged request goes to
// the host's own factory.
CPVSModelDataBase* MakeFemModelData(IFactoryPVS& factory, T_MD_PARAM_D* pParam,
                                    std::initializer_list<unsigned int> femTypes);
CPVSVisualDataBase* MakeSharedVisualDataByType(unsigned int nType, T_VD_PARAM_D& param);
CPVSVisualMethodBase* MakeSharedVisualMethod(IFactoryPVS& factory, T_VM_PARAM_D& param);
T_VD_USERDEF_DATA* CopySharedRecord(int nType, void* pSource);

} // namespace kvpvs::frame
