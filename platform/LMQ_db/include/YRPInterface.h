// Stand-in for the host's face of the link to the member-design program: the module's link
// object derives from it and, while it lives, is the one instance the host reaches through
// m_pInstance (the constructor sets it, the destructor clears it).
#pragma once
#include "afxwin.h"

class IYRPInterface {
public:
    IYRPInterface() { m_pInstance = this; }
    virtual ~IYRPInterface()
    {
        if (m_pInstance == this)
            m_pInstance = nullptr;
    }
    IYRPInterface(const IYRPInterface&) = delete;
    IYRPInterface& operator=(const IYRPInterface&) = delete;

    virtual void UpdateYRPSelectByStr(int nType) = 0;
    virtual void End() = 0;
    virtual void UpdateBuffer(CObject* pHint) = 0;

    static IYRPInterface* m_pInstance;
};
