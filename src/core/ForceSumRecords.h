// Records of a local-direction force sum: the cutting plane with its centre and axes, the cut
// points and cells with the material data a design check needs, and the six resultants.
// Shared with the other modules of the product, so field order and widths are fixed.
#pragma once
#include "core/KVPvsExport.h"

#include "afxstr.h"

// A cutting plane: centre of the cut (model length unit), X direction (the cutting normal),
// Y direction; Z = X x Y is not stored. The directions need not be unit vectors.
struct KV_PVS_API T_LCLDIR_PLNE_D {
    double dCentre[3] = {0, 0, 0};
    double dXDir[3] = {0, 0, 0};
    double dYDir[3] = {0, 0, 0};
    CString strName;

    T_LCLDIR_PLNE_D();
    T_LCLDIR_PLNE_D(const T_LCLDIR_PLNE_D& src);
    ~T_LCLDIR_PLNE_D();
    T_LCLDIR_PLNE_D& operator=(const T_LCLDIR_PLNE_D& src);
};

// The cutting plane of the design variant: the same fields, a type of its own.
struct KV_PVS_API T_LCLDIR_PLNE_KVR_D {
    double dCentre[3] = {0, 0, 0};
    double dXDir[3] = {0, 0, 0};
    double dYDir[3] = {0, 0, 0};
    CString strName;

    T_LCLDIR_PLNE_KVR_D();
    T_LCLDIR_PLNE_KVR_D(const T_LCLDIR_PLNE_KVR_D& src);
    ~T_LCLDIR_PLNE_KVR_D();
    T_LCLDIR_PLNE_KVR_D& operator=(const T_LCLDIR_PLNE_KVR_D& src);
    void initialize();
};

// The point, cell and sum records are plain values: copy and assignment copy every field.

// A cut point, in the output length unit.
struct KV_PVS_API T_POINT_D {
    double X = 0;
    double Y = 0;
    double Z = 0;
    void initialize();
};

// A cut segment through a plate element: two point-map keys, thickness and material.
struct KV_PVS_API T_PLATE_CELL_D {
    int nPoint1Id = 0;
    int nPoint2Id = 0;
    double dThickness = 0;
    double dElasticModulus = 0;
    double dPoissonRatio = 0;
    double dWeightDensity = 0;
    void initialize();
};

// A cut triangle through a solid element: three point-map keys and material.
struct KV_PVS_API T_SOLID_CELL_D {
    int nPoint1Id = 0;
    int nPoint2Id = 0;
    int nPoint3Id = 0;
    double dElasticModulus = 0;
    double dPoissonRatio = 0;
    double dWeightDensity = 0;
    void initialize();
};

// The resultant over one plane in the plane's axes; moments about the plane's centre.
struct KV_PVS_API T_FORCESUM_D {
    double FX = 0;
    double FY = 0;
    double FZ = 0;
    double MX = 0;
    double MY = 0;
    double MZ = 0;
    void initialize();
};
