#include "DBUpdateConnector.h"
#include "DlgMove.h"

#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(CInternationalDlg, CDialog)
IMPLEMENT_DYNAMIC(CDlgMove, CInternationalDlg)
IMPLEMENT_DYNAMIC(CDlgModeless, CDlgMove)

namespace {
std::vector<CDBUpdateConnector*>& Connectors()
{
    // Never destroyed: objects torn down at process exit may still reach it.
    static auto* connectors = new std::vector<CDBUpdateConnector*>;
    return *connectors;
}
} // namespace

CDBUpdateConnector::CDBUpdateConnector() { Connectors().push_back(this); }

CDBUpdateConnector::~CDBUpdateConnector()
{
    auto& c = Connectors();
    c.erase(std::remove(c.begin(), c.end(), this), c.end());
}

void CDBUpdateConnector::Broadcast(CView* pSender, LPARAM lHint, CObject* pHint)
{
    // A receiver may close (and free) itself or another: deliver only to those still connected.
    const std::vector<CDBUpdateConnector*> snapshot = Connectors();
    for (CDBUpdateConnector* p : snapshot)
        if (std::find(Connectors().begin(), Connectors().end(), p) != Connectors().end())
            p->OnUpdate(pSender, lHint, pHint);
}

int CDBUpdateConnector::ConnectedCount() { return static_cast<int>(Connectors().size()); }
