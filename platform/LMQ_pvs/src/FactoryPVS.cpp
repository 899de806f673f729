#include "FactoryPVS.h"

#include <algorithm>
#include <vector>

namespace {

// Registration stacks: the newest live implementation is the instance.
template <class T>
std::vector<T*>& Stack()
{
    // Never destroyed: objects torn down at process exit may still reach it.
    static auto* stack = new std::vector<T*>;
    return *stack;
}

template <class T>
void Push(T* p)
{
    Stack<T>().push_back(p);
}

template <class T>
void Pop(T* p)
{
    auto& s = Stack<T>();
    auto it = std::find(s.rbegin(), s.rend(), p);
    if (it != s.rend())
        s.erase(std::next(it).base());
}

template <class T>
T* Top()
{
    auto& s = Stack<T>();
    return s.empty() ? nullptr : s.back();
}

} // namespace

IFactoryPVS* IFactoryPVS::Instance() { return Top<IFactoryPVS>(); }
IFactoryPVS::IFactoryPVS() { Push(this); }
IFactoryPVS::IFactoryPVS(const IFactoryPVS&) { Push(this); }
IFactoryPVS::~IFactoryPVS() { Pop(this); }

CPVSModelDataBase* IFactoryPVS::CreateModelData(T_MD_PARAM_D* pParam)
{
    return pParam ? new CPVSModelDataBase(*pParam) : nullptr;
}

CPVSVisualMethodBase* IFactoryPVS::CreateVisualMethod(T_VM_PARAM_D* pParam)
{
    if (!pParam)
        return nullptr;
    switch (pParam->nVMType) {
    case 0: case 1: case 2: case 3: case 4: case 5: case 7:
        return new CPVSVisualMethodDefault(*pParam);
    default:
        return nullptr;
    }
}

CPVSColorTableBase* IFactoryPVS::CreateColorTable(unsigned int nKey) { return new CPVSColorTableBase(nKey); }

CDialog* IFactoryPVS::CreateDefPlaneDlgIn2DProduct(CDialog**, void*, void*, void*) { return nullptr; }

IQueryPVS* IQueryPVS::Instance() { return Top<IQueryPVS>(); }
IQueryPVS::IQueryPVS() { Push(this); }
IQueryPVS::IQueryPVS(const IQueryPVS&) { Push(this); }
IQueryPVS::~IQueryPVS() { Pop(this); }

IPvsDlg* IPvsDlg::Instance() { return Top<IPvsDlg>(); }
IPvsDlg::IPvsDlg() { Push(this); }
IPvsDlg::IPvsDlg(const IPvsDlg&) { Push(this); }
IPvsDlg::~IPvsDlg() { Pop(this); }
