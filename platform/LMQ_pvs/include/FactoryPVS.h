// Stand-in for the host's post-processing interfaces that a module implements.
// Instance(): constructing an implementation makes it the instance; destroying it restores the
// one constructed before it (registrations form a stack, so a later, shorter-lived
// implementation never leaves a dangling or null instance behind).
#pragma once
#include "PVSColorTable.h"
#include "PVSModelData.h"
#include "PVSVisualDataBase.h"
#include "PVSVisualMethodBase.h"

class CDialog;
class CMeshMgr;

class IFactoryPVS {
public:
    static IFactoryPVS* Instance();
    IFactoryPVS();
    IFactoryPVS(const IFactoryPVS&);
    IFactoryPVS& operator=(const IFactoryPVS&) { return *this; }
    virtual ~IFactoryPVS();

    virtual CPVSModelDataBase* CreateModelData(T_MD_PARAM_D* pParam);
    virtual CPVSVisualDataBase* CreateVisualData(T_VD_PARAM_D* pParam) = 0;
    virtual CPVSVisualDataBase* CreateVisualDataByMutiIso(T_VD_PARAM_D* pParam) = 0;
    virtual CPVSVisualDataBase* CreateVisualDataByType(unsigned int nType, T_VD_PARAM_D* pParam) = 0;
    virtual CPVSVisualMethodBase* CreateVisualMethod(T_VM_PARAM_D* pParam);
    virtual T_VD_USERDEF_DATA* CreateAndCopyUserDefModeData(int nType, void* pSource) = 0;
    virtual CPVSColorTableBase* CreateColorTable(unsigned int nKey);
    virtual CDialog* CreateDefPlaneDlgIn2DProduct(CDialog** ppDlg, void* pPlane, void* pfnDraw, void* pfnDestroy);
};

class IQueryPVS {
public:
    static IQueryPVS* Instance();
    IQueryPVS();
    IQueryPVS(const IQueryPVS&);
    IQueryPVS& operator=(const IQueryPVS&) { return *this; }
    virtual ~IQueryPVS();
    virtual unsigned int GetElemKeyOrId(unsigned int nId, CMeshMgr* pMeshMgr) = 0;
    virtual unsigned int GetNodeKeyOrId(unsigned int nId, CMeshMgr* pMeshMgr) = 0;
};

struct T_PVIST_PLNE_D;

class IPvsDlg {
public:
    static IPvsDlg* Instance();
    IPvsDlg();
    IPvsDlg(const IPvsDlg&);
    IPvsDlg& operator=(const IPvsDlg&) { return *this; }
    virtual ~IPvsDlg();
    virtual int DoModelessPVSDefPlane3D(CDialog** ppDlg, T_PVIST_PLNE_D& plane, void* pfnDraw, void* pfnDestroy,
                                        int nReserved) = 0;
};
