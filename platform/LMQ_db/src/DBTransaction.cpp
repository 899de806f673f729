#include "DBTransaction.h"

#include "DBDoc.h"

#include <memory>

IMPLEMENT_DYNAMIC(CDBChangeHint, CObject)

namespace {
BOOL g_bRefuse = FALSE;
struct T_HINT_SLOT_D {
    std::shared_ptr<CDBChangeHint> pHint;
};
} // namespace

void CDBTransaction::SetRefuse(BOOL bRefuse) { g_bRefuse = bRefuse; }
BOOL CDBTransaction::IsRefused() { return g_bRefuse; }

CDBChangeHint* CDBTransaction::HintOf(CDBBase* pDB)
{
    if (!pDB)
        return nullptr;
    T_HINT_SLOT_D& slot = pDB->Table<T_HINT_SLOT_D>()[1];
    if (!slot.pHint) {
        slot.pHint = std::make_shared<CDBChangeHint>();
        slot.pHint->m_pDB = pDB;
    }
    return slot.pHint.get();
}

void CDBTransaction::Commit(CDBBase* pDB, const std::vector<T_DB_CMD_RECORD_D>& records)
{
    CDBChangeHint* pHint = HintOf(pDB);
    if (!pHint)
        return;
    pHint->m_aViewBuffer = records;
    // The document whose model database this is tells its views.
    if (CDBDoc* pDoc = CDBDoc::GetDocPoint(); pDoc && pDoc->GetModelDB() == pDB)
        pDoc->UpdateAllViews(nullptr, 3, pHint);
}
