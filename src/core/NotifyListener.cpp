#include "core/NotifyListener.h"

#include "CompFunc.h"

#include <cstdlib>
#include <vector>

// The registry is constructed when the module loads, before any listener can exist, and
// destroyed when it unloads.
CArray<CDataUpdateConnector*, CDataUpdateConnector*> CNotifyListener::m_aInstances;
CArray<unsigned int, unsigned int> CNotifyListener::m_aSerials;
unsigned int CNotifyListener::m_nModCount = 0;

int CNotifyListener::Find(CDataUpdateConnector* p)
{
    for (int i = 0; i < m_aInstances.GetSize(); ++i)
        if (m_aInstances[i] == p)
            return i;
    return -1;
}

void CNotifyListener::Add(CDataUpdateConnector* p)
{
    if (Find(p) >= 0) {
        KVPVS_TRACE("Warning : Try to add already connected object to DB!\n");
        return;
    }
    m_aInstances.Add(p);
    m_aSerials.Add(++m_nModCount);
}

void CNotifyListener::Del(CDataUpdateConnector* p)
{
    int i = Find(p);
    if (i < 0) {
        KVPVS_TRACE("Warning : Try to delete disconnected object to DB!\n");
        return;
    }
    m_aInstances.RemoveAt(i);
    m_aSerials.RemoveAt(i);
    ++m_nModCount;
}

void CNotifyListener::NotifyUpdate(int index, T_LCLDIR_PLNE_KVR_D& PlaneInfo, CPointInfoMap& mPointInfo,
                                   CPlateCellInfoMap& mPlateCellInfo, CSolidCellInfoMap& mSolidCellInfo,
                                   T_FORCESUM_D& ForceSum)
{
    const int n = m_aInstances.GetSize();
    if (n < 1)
        return;

    std::vector<T_POS_INT_PAIR> pairs(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        pairs[static_cast<size_t>(i)] = T_POS_INT_PAIR{i, m_aInstances[i]->GetPriority()};
    std::qsort(pairs.data(), pairs.size(), sizeof(T_POS_INT_PAIR), &CCompFunc::PosIntPairA);

    // Fixed now: a connector registered during this broadcast waits for the next one.
    std::vector<CDataUpdateConnector*> calls(static_cast<size_t>(n));
    std::vector<unsigned int> serials(static_cast<size_t>(n));
    for (int j = 0; j < n; ++j) {
        const int pos = pairs[static_cast<size_t>(n - 1 - j)].nPos;
        calls[static_cast<size_t>(j)] = m_aInstances[pos];
        serials[static_cast<size_t>(j)] = m_aSerials[pos];
    }

    unsigned int nSeen = m_nModCount;
    for (int j = 0; j < n; ++j) {
        CDataUpdateConnector* p = calls[static_cast<size_t>(j)];
        if (p == nullptr)
            continue;
        p->OnUpdateData(index, PlaneInfo, mPointInfo, mPlateCellInfo, mSolidCellInfo, ForceSum);
        if (m_nModCount != nSeen) {
            // A listener changed the registry: skip connectors removed before their turn,
            // including one whose address a newly connected object now has.
            nSeen = m_nModCount;
            for (int k = j + 1; k < n; ++k) {
                const size_t u = static_cast<size_t>(k);
                const int i = calls[u] ? Find(calls[u]) : -1;
                if (i < 0 || m_aSerials[i] != serials[u])
                    calls[u] = nullptr;
            }
        }
    }
}

CDataUpdateConnector::CDataUpdateConnector() { Connect(); }

CDataUpdateConnector::~CDataUpdateConnector() { Disconnect(); }

void CDataUpdateConnector::OnUpdateData(int, T_LCLDIR_PLNE_KVR_D&, CPointInfoMap&, CPlateCellInfoMap&,
                                        CSolidCellInfoMap&, T_FORCESUM_D&)
{
    KVPVS_TRACE("CDataUpdateConnector:Override virtual void OnUpdate(int index, T_LCLDIR_PLNE_KVR_D PlaneInfo, "
                "CMap<int, int , T_POINT_D, T_POINT_D&> mPointInfo, CMap<int, int , T_PLATE_CELL_D, "
                "T_PLATE_CELL_D&> mPlateCellInfo, CMap<int, int , T_SOLID_CELL_D, T_SOLID_CELL_D&> "
                "mSolidCellInfo, T_FORCESUM_D ForceSum)\n");
}

void CDataUpdateConnector::Connect()
{
    if (m_pRegistered == nullptr) {
        CNotifyListener::Add(this);
        m_pRegistered = this;
    }
}

void CDataUpdateConnector::Disconnect()
{
    if (m_pRegistered != nullptr) {
        CNotifyListener::Del(m_pRegistered);
        m_pRegistered = nullptr;
    }
}
