// Stand-in records of the host's post-processing library: construction parameters of visual
// data, visual methods and model data, the settings-record base and the value lists.
#pragma once
#include "DBDoc.h"
#include "PostVisualState.h"

class CPVSVisualDataBase;

// Base of every per-display settings record. Its one field is kept zero by the host.
struct T_VD_USERDEF_DATA {
    int nReserved = 0;
    T_VD_USERDEF_DATA() = default;
    T_VD_USERDEF_DATA(const T_VD_USERDEF_DATA&) = default;
    T_VD_USERDEF_DATA& operator=(const T_VD_USERDEF_DATA&) = default;
    virtual ~T_VD_USERDEF_DATA() = default;
};

// The host's settings record of the "none" display.
struct T_VD_NONE_D : T_VD_USERDEF_DATA {};

// The host's settings record of the multi-step iso-surface display.
struct T_VD_MULTIISO_WPLKVR_D : T_VD_USERDEF_DATA {
    unsigned int nPVtifK = 0;
    CArray<unsigned int, unsigned int> aStepK;
    double dIsoValue = 0.0;
    T_VD_MULTIISO_WPLKVR_D() = default;
    T_VD_MULTIISO_WPLKVR_D(const T_VD_MULTIISO_WPLKVR_D& o) : T_VD_USERDEF_DATA(o) { *this = o; }
    T_VD_MULTIISO_WPLKVR_D& operator=(const T_VD_MULTIISO_WPLKVR_D& o)
    {
        T_VD_USERDEF_DATA::operator=(o);
        nPVtifK = o.nPVtifK;
        aStepK.Copy(o.aStepK);
        dIsoValue = o.dIsoValue;
        return *this;
    }
};

struct T_VD_PARAM_D {
    CDBDoc* pDoc = nullptr;
    unsigned int nPVtifK = 0;            // key of the result row
    unsigned int nMeshK = 0;
    T_VD_USERDEF_DATA* pUserDefData = nullptr;
    int bVectAsData = 0;                 // show custom-vector results as plain node/element data
};

struct T_VM_PARAM_D {
    CDBDoc* pDoc = nullptr;
    unsigned int nMeshK = 0;
    CPVSVisualDataBase* pVData = nullptr;
    T_PVIST_ALL_D* pVS = nullptr;
    T_PVIST_ANIM_D* pAS = nullptr;
    int nVMType = 0;
    T_VD_USERDEF_DATA* pUserDefData = nullptr;
};

struct T_MD_PARAM_D {
    int bFlag = 0;
    unsigned int nType = 0;
};

// Result values of one node or element.
struct T_VSUL_DATA_D {
    CArray<double, double> aValue;
    T_VSUL_DATA_D() = default;
    T_VSUL_DATA_D(const T_VSUL_DATA_D& o) { aValue.Copy(o.aValue); }
    T_VSUL_DATA_D& operator=(const T_VSUL_DATA_D& o)
    {
        aValue.Copy(o.aValue);
        return *this;
    }
    int GetSize() const { return aValue.GetSize(); }
    void Initialize() { aValue.RemoveAll(); }
    double GetNodeScalar(int i) const { return i >= 0 && i < aValue.GetSize() ? aValue[i] : 0.0; }
};

// One label of a display.
struct T_VD_TEXT_PARAM_D {
    double dPos[3] = {0, 0, 0};
    CString strText;
};
