#include "ClassLdfs.h"

IMPLEMENT_DYNAMIC(CDBChangeHint, CObject)

namespace {
BOOL g_bRefuse = FALSE;
struct T_HINT_SLOT_D {
    std::shared_ptr<CDBChangeHint> pHint;
};
} // namespace

void CClassLdfs::SetRefuse(BOOL bRefuse) { g_bRefuse = bRefuse; }

CDBChangeHint* CClassLdfs::HintOf(CDBBase* pDB)
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

void CClassLdfs::Commit(const std::vector<T_DB_CMD_RECORD_D>& records)
{
    CDBChangeHint* pHint = HintOf(m_pDB);
    pHint->m_aViewBuffer = records;
    // The document whose model database this is tells its views.
    if (CDBDoc* pDoc = CDBDoc::GetDocPoint(); pDoc && pDoc->GetModelDB() == m_pDB)
        pDoc->UpdateAllViews(nullptr, 3, pHint);
}

unsigned int CClassLdfs::TR_Add(const T_LDFS_D& rec)
{
    if (g_bRefuse || !m_pDB)
        return 0;
    const unsigned int k = Add(rec);
    Commit({T_DB_CMD_RECORD_D{UR_LDFS_ADD, k}});
    return k;
}

BOOL CClassLdfs::TR_Del(const CArray<unsigned int, unsigned int>& aKeys)
{
    if (g_bRefuse || !m_pDB || aKeys.GetSize() == 0)
        return FALSE;
    for (int i = 0; i < aKeys.GetSize(); ++i)
        if (!Exist(aKeys[i]))
            return FALSE;
    std::vector<T_DB_CMD_RECORD_D> records;
    for (int i = 0; i < aKeys.GetSize(); ++i) {
        Delete(aKeys[i]);
        records.push_back(T_DB_CMD_RECORD_D{UR_LDFS_DEL, aKeys[i]});
    }
    Commit(records);
    return TRUE;
}

BOOL CClassLdfs::TR_Modify(unsigned int nKey, const T_LDFS_D& rec, int nRecordType)
{
    if (g_bRefuse || !Exist(nKey))
        return FALSE;
    Set(nKey, rec);
    Commit({T_DB_CMD_RECORD_D{nRecordType, nKey}});
    return TRUE;
}
