// Records of the design text file as the reader holds it: the conversion records of sections,
// materials and beam load cases that the conversion into design records starts from, the
// attribute, element, point, cell and plane rows, and the table set that keeps them all keyed
// by the numbers of the file. Texts are CString, lists CArray, tables CMapEx (block size 10).
#pragma once
#include "core/KVPvsExport.h"

#include "MapEx.h"
#include "afxtempl.h"

// A section row: name, type (1 "Shape", 0 given by values), Area, Ix, Iy, Iz, Ay, Az, Dim1-6.
struct KV_PVS_API T_YRP_CONVERT_SECT {
    CString strName;
    int nType = 1;
    double dValue[6] = {0, 0, 0, 0, 0, 0};
    double dDim[6] = {0, 0, 0, 0, 0, 0};
    void Initialize() { *this = T_YRP_CONVERT_SECT(); }
};

// A material row: name, then elastic modulus, Poisson's ratio, weight density and a spare.
struct KV_PVS_API T_YRP_CONVERT_RCMATL {
    CString strName;
    double dValue[4] = {0, 0, 0, 0};
    void Initialize() { *this = T_YRP_CONVERT_RCMATL(); }
};

// One load case of a beam element: its name and the six forces Fx, Fy, Fz, Mx, My, Mz at end I
// and at end J.
struct KV_PVS_API T_YRP_CONVERT_BEAM_LOADCASE {
    CString strName;
    double dForceI[6] = {0, 0, 0, 0, 0, 0};
    double dForceJ[6] = {0, 0, 0, 0, 0, 0};
    void Initialize() { *this = T_YRP_CONVERT_BEAM_LOADCASE(); }
};

// The load cases of one beam element, in file order.
struct KV_PVS_API T_YRP_CONVERT_BEAM_LOAD {
    CArray<T_YRP_CONVERT_BEAM_LOADCASE, T_YRP_CONVERT_BEAM_LOADCASE&> aLoadCase;
    T_YRP_CONVERT_BEAM_LOAD() = default;
    T_YRP_CONVERT_BEAM_LOAD(const T_YRP_CONVERT_BEAM_LOAD& src) { aLoadCase.Copy(src.aLoadCase); }
    T_YRP_CONVERT_BEAM_LOAD& operator=(const T_YRP_CONVERT_BEAM_LOAD& src)
    {
        aLoadCase.Copy(src.aLoadCase);
        return *this;
    }
    void Initialize() { aLoadCase.RemoveAll(); }
};

struct KV_PVS_API T_YRP_CONVERT_ATTRIBUTE {
    int nSectK = 0;
    int nMatlK = 0;
};

struct KV_PVS_API T_YRP_CONVERT_ELEM {
    int nAttrK = 0;
};

struct KV_PVS_API T_YRP_CONVERT_POINT {
    double X = 0, Y = 0, Z = 0;
};

// A cut cell: its points (a plate segment has two, the third is 0), then thickness (0 for a
// solid triangle), elastic modulus, Poisson ratio and weight density.
struct KV_PVS_API T_YRP_CONVERT_CELL {
    int nPointK[3] = {0, 0, 0};
    double dThickness = 0;
    double dElasticModulus = 0;
    double dPoissonRatio = 0;
    double dWeightDensity = 0;
};

// A force-sum row of a plane: load-case name and FX, FY, FZ, MX, MY, MZ.
struct KV_PVS_API T_YRP_CONVERT_FORCESUM {
    CString strName;
    double dSum[6] = {0, 0, 0, 0, 0, 0};
};

// A design plane: name, origin X Y Z and direction X Y Z, its points and cells keyed by their
// numbers in the file, the section numbers (area, h, b) of a solid plane and its force sums.
struct KV_PVS_API T_YRP_CONVERT_PLANE {
    CString strName;
    int bPlate = 0;
    double dPlane[6] = {0, 0, 0, 0, 0, 0};
    CMapEx<int, int, T_YRP_CONVERT_POINT, T_YRP_CONVERT_POINT&> mPoint;
    CMapEx<int, int, T_YRP_CONVERT_CELL, T_YRP_CONVERT_CELL&> mCell;
    double dSection[3] = {0, 0, 0};
    CArray<T_YRP_CONVERT_FORCESUM, T_YRP_CONVERT_FORCESUM&> aForceSum;

    T_YRP_CONVERT_PLANE() = default;
    T_YRP_CONVERT_PLANE(const T_YRP_CONVERT_PLANE& src) { *this = src; }
    T_YRP_CONVERT_PLANE& operator=(const T_YRP_CONVERT_PLANE& src);
    void Initialize();
};

// The table set of one read: variant (1 beam, 2 solid planes, 3 plate planes), the unit index
// of the file (length, force and two entries that follow them), the model path of the FILEPATH
// block and the six tables.
struct KV_PVS_API T_YRP_CONVERT_TABLE_D {
    int nVariant = 1;
    int nLengthUnit = 0;
    int nForceUnit = 2;
    int nUnitExtra[2] = {0, 0};
    CString strFilePath;
    CMapEx<int, int, T_YRP_CONVERT_SECT, T_YRP_CONVERT_SECT&> mSect;
    CMapEx<int, int, T_YRP_CONVERT_RCMATL, T_YRP_CONVERT_RCMATL&> mMatl;
    CMapEx<int, int, T_YRP_CONVERT_ATTRIBUTE, T_YRP_CONVERT_ATTRIBUTE&> mAttr;
    CMapEx<int, int, T_YRP_CONVERT_ELEM, T_YRP_CONVERT_ELEM&> mElem;
    CMapEx<int, int, T_YRP_CONVERT_BEAM_LOAD, T_YRP_CONVERT_BEAM_LOAD&> mBeamLoad;
    CMapEx<int, int, T_YRP_CONVERT_PLANE, T_YRP_CONVERT_PLANE&> mPlane;   // keyed 1, 2, ... in file order

    T_YRP_CONVERT_TABLE_D() = default;
    T_YRP_CONVERT_TABLE_D(const T_YRP_CONVERT_TABLE_D& src) { *this = src; }
    T_YRP_CONVERT_TABLE_D& operator=(const T_YRP_CONVERT_TABLE_D& src);
    void Initialize();
};
