// Stand-in for the host's update connector: an object that receives the document's update
// hints. Choice: connectors register themselves while they live, and the host (or a test)
// delivers a hint to all of them, oldest first, with Broadcast.
#pragma once
#include "afxwin.h"

class CDBUpdateConnector {
public:
    CDBUpdateConnector();
    virtual ~CDBUpdateConnector();
    CDBUpdateConnector(const CDBUpdateConnector&) = delete;
    CDBUpdateConnector& operator=(const CDBUpdateConnector&) = delete;
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) {}
    static void Broadcast(CView* pSender, LPARAM lHint, CObject* pHint);
    static int ConnectedCount();
};
