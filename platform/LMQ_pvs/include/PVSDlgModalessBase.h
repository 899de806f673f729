// Stand-in for the post-processor's base of modeless result dialogs. Choice: its update
// handling only counts the hints it is given.
#pragma once
#include "DBDlgBase.h"

class CPVSDlgModalessBase : public CDBDlgBase {
    DECLARE_DYNAMIC(CPVSDlgModalessBase)
public:
    using CDBDlgBase::CDBDlgBase;
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) { ++m_nBaseUpdates; }
    int m_nBaseUpdates = 0;
};
