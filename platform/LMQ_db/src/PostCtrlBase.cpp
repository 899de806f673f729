#include "PostCtrlBase.h"
#include "ClassPGrph.h"

#include <algorithm>

namespace {
// The post control of a database, stored as the one record of its own table.
struct T_POSTCTRL_SLOT_D {
    std::shared_ptr<CPostCtrlBase> pCtrl;
};
} // namespace

int CSeqIdInfo::GetSeqIdElemType(unsigned int nElemK) const
{
    auto it = m_elem.find(nElemK);
    return it == m_elem.end() ? 0 : it->second.nType;
}

int CSeqIdInfo::GetSeqIdElem(unsigned int nElemK) const
{
    auto it = m_elem.find(nElemK);
    return it == m_elem.end() ? 0 : it->second.nId;
}

int CSeqIdInfo::GetSeqIdThis(unsigned int nThisK) const
{
    auto it = m_this.find(nThisK);
    return it == m_this.end() ? 0 : it->second.nId;
}

int CSeqIdInfo::GetSeqIdDirectThis(unsigned int nThisK) const
{
    auto it = m_this.find(nThisK);
    return it == m_this.end() ? 0 : it->second.bDirect;
}

void CSeqIdInfo::GetElemKeyListByType(int nType, CArray<unsigned int, unsigned int>& aElemK) const
{
    aElemK.RemoveAll();
    for (const auto& [k, e] : m_elem)
        if (e.nType == nType && m_typeCode.find(k) == m_typeCode.end())
            aElemK.Add(k);
    const int nBySolverType = aElemK.GetSize();
    for (const auto& [k, c] : m_typeCode)
        if (c == nType)
            aElemK.Add(k);
    // Two ascending lists without a common key: one merge orders them.
    std::inplace_merge(aElemK.begin(), aElemK.begin() + nBySolverType, aElemK.end());
}

void CSeqIdInfo::SetElem(unsigned int nElemK, int nType, int nId) { m_elem[nElemK] = Elem{nType, nId}; }
void CSeqIdInfo::SetThis(unsigned int nThisK, int nId, int bDirect) { m_this[nThisK] = This{nId, bDirect}; }

BOOL CResultFileMngr::FindResultFile(int nFamily, T_RESULT_FILE_D& rec) const
{
    auto it = m_files.find(nFamily);
    if (it == m_files.end())
        return FALSE;
    rec.nFamily = nFamily;
    rec.strPathName = it->second;
    return TRUE;
}

void CResultFileMngr::SetResultFile(int nFamily, const char* pszPathName) { m_files[nFamily] = pszPathName; }

CPostCtrlBase* CPDataBaseNeutral::GetPostCtrl(CDBBase* pPostDB)
{
    if (!pPostDB)
        return nullptr;
    auto& t = pPostDB->Table<T_POSTCTRL_SLOT_D>();
    auto it = t.find(1);
    return it == t.end() ? nullptr : it->second.pCtrl.get();
}

void CPDataBaseNeutral::SetPostCtrl(CDBBase* pPostDB, std::shared_ptr<CPostCtrlBase> pCtrl)
{
    if (pPostDB)
        pPostDB->Table<T_POSTCTRL_SLOT_D>()[1].pCtrl = std::move(pCtrl);
}
