// The module's query interface: element and node identifiers are the result database's keys
// in this product, so both lookups return the identifier unchanged.
#pragma once
#include "core/KVPvsExport.h"

#include "FactoryPVS.h"

class KV_PVS_API IQueryPVSImpl : public IQueryPVS {
public:
    IQueryPVSImpl() = default;
    IQueryPVSImpl(const IQueryPVSImpl& src) : IQueryPVS(src) {}
    IQueryPVSImpl& operator=(const IQueryPVSImpl& src)
    {
        IQueryPVS::operator=(src);
        return *this;
    }
    ~IQueryPVSImpl() override = default;

    unsigned int GetElemKeyOrId(unsigned int nId, CMeshMgr* pMeshMgr) override;
    unsigned int GetNodeKeyOrId(unsigned int nId, CMeshMgr* pMeshMgr) override;
};
