// The observer channel of the design force sums: a static registry of connectors and a
// synchronous broadcast to them, highest priority first and, among equal priorities, the
// most recently connected first (the host comparator's order, read backwards).
#pragma once
#include "core/ForceSumRecords.h"
#include "core/KVPvsExport.h"

#include "MapEx.h"
#include "afxtempl.h"

class CDataUpdateConnector;

using CPointInfoMap = CMapEx<int, int, T_POINT_D, T_POINT_D&>;
using CPlateCellInfoMap = CMapEx<int, int, T_PLATE_CELL_D, T_PLATE_CELL_D&>;
using CSolidCellInfoMap = CMapEx<int, int, T_SOLID_CELL_D, T_SOLID_CELL_D&>;

class KV_PVS_API CNotifyListener {
public:
    virtual ~CNotifyListener() = default;

    static int Find(CDataUpdateConnector* p);
    static void Add(CDataUpdateConnector* p);
    static void Del(CDataUpdateConnector* p);
    static void NotifyUpdate(int index, T_LCLDIR_PLNE_KVR_D& PlaneInfo, CPointInfoMap& mPointInfo,
                             CPlateCellInfoMap& mPlateCellInfo, CSolidCellInfoMap& mSolidCellInfo,
                             T_FORCESUM_D& ForceSum);
    static int GetCount() { return m_aInstances.GetSize(); }

protected:
    static CArray<CDataUpdateConnector*, CDataUpdateConnector*> m_aInstances;
    // Registration number of each entry, parallel to m_aInstances: a connector freed during a
    // broadcast and a new one at the same address are told apart by it.
    static CArray<unsigned int, unsigned int> m_aSerials;
    // Advanced by every change of the registry, so a broadcast notices a remove-and-add
    // that leaves the size unchanged.
    static unsigned int m_nModCount;
};

class KV_PVS_API CDataUpdateConnector {
public:
    CDataUpdateConnector();
    virtual ~CDataUpdateConnector();
    CDataUpdateConnector(const CDataUpdateConnector&) = delete;
    CDataUpdateConnector& operator=(const CDataUpdateConnector&) = delete;

    virtual void OnUpdateData(int index, T_LCLDIR_PLNE_KVR_D& PlaneInfo, CPointInfoMap& mPointInfo,
                              CPlateCellInfoMap& mPlateCellInfo, CSolidCellInfoMap& mSolidCellInfo,
                              T_FORCESUM_D& ForceSum);

    void Connect();
    void Disconnect();
    void SetPriority(int nPriority) { m_nPriority = nPriority; }
    int GetPriority() const { return m_nPriority; }

private:
    CDataUpdateConnector* m_pRegistered = nullptr;
    int m_nPriority = 0;
};
