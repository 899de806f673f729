#include "DBDoc.h"

IMPLEMENT_DYNAMIC(CZORDocBase, CObject)
IMPLEMENT_DYNAMIC(CDBDoc, CZORDocBase)

namespace {
CZORDocBase* g_pCurDoc = nullptr;
}

CZORDocBase::CZORDocBase() = default;

CZORDocBase::~CZORDocBase()
{
    if (g_pCurDoc == this)
        g_pCurDoc = nullptr;
}

CZORDocBase* CZORDocBase::GetCurDoc() { return g_pCurDoc; }
void CZORDocBase::SetCurDoc(CZORDocBase* pDoc) { g_pCurDoc = pDoc; }

void CZORDocBase::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    m_aHints.Add(T_UPDATE_HINT_D{pSender, lHint, pHint});
}

CDBDoc* CDBDoc::GetDocPoint()
{
    CZORDocBase* p = g_pCurDoc;
    return p && p->IsKindOf(RUNTIME_CLASS(CDBDoc)) ? static_cast<CDBDoc*>(p) : nullptr;
}
