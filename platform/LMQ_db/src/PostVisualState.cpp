#include "PostVisualState.h"

CPostVisualState* CPostVisualState::Instance()
{
    static CPostVisualState state;
    return &state;
}

BOOL CPostVisualState::AddCompComb(unsigned int nKey, const T_PCOMP_COMB_D& comb)
{
    if (nKey == 0)
        return FALSE;
    bool listed = false;
    for (int i = 0; i < m_aCompComb.GetSize() && !listed; ++i)
        listed = m_aCompComb[i] == nKey;
    if (!listed)
        m_aCompComb.Add(nKey);
    m_compComb[nKey] = comb;
    return TRUE;
}

BOOL CPostVisualState::DelCompComb(unsigned int nKey)
{
    BOOL bFound = m_compComb.erase(nKey) != 0;
    for (int i = m_aCompComb.GetSize() - 1; i >= 0; --i)
        if (m_aCompComb[i] == nKey) {
            m_aCompComb.RemoveAt(i);
            bFound = TRUE;
        }
    return bFound;
}

BOOL CPostVisualState::GetCompCombD(unsigned int nKey, T_PCOMP_COMB_D& comb) const
{
    auto it = m_compComb.find(nKey);
    if (it == m_compComb.end())
        return FALSE;
    comb = it->second;
    return TRUE;
}
