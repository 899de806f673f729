#include "frame/IQueryPVSImpl.h"

unsigned int IQueryPVSImpl::GetElemKeyOrId(unsigned int nId, CMeshMgr*) { return nId; }

unsigned int IQueryPVSImpl::GetNodeKeyOrId(unsigned int nId, CMeshMgr*) { return nId; }
