// Stand-ins for the post-processor's element result records of the element-diagram plots
// (truss and beam) and the member end-offset record.
#pragma once
#include "DBDoc.h"

class CUnitCtrl;

// Truss result: force I, force J, stress I, stress J, then the host's further fields.
struct T_PSTRT_D {
    double dForceI = 0.0, dForceJ = 0.0, dStressI = 0.0, dStressJ = 0.0;
    double dReserved[4] = {0, 0, 0, 0};
    // Unit types of the columns of the host's truss result table: four force columns, then
    // four stress columns.
    static constexpr int unit[8] = {2, 2, 2, 2, 17, 17, 17, 17};

    void Initialize() { *this = T_PSTRT_D(); }
    // Forces with unit type 2, stresses with 17.
    void ConvertUnitOut(const CUnitCtrl* pUnit);
};

// Beam result: four quarter segments; forces (six at the start, six at the end) and stress
// blocks (seven at the start, seven at the end, two spare, eight corner stresses).
struct T_PSTRB_D {
    double dForce[4][12] = {};
    double dStress[4][24] = {};
    double dMaxCombined = 0.0;   // largest |corner stress| of the element
    int nMaxCombinedSeg = 0;     // its quarter, 0 to 3
    // Unit types of the columns of the host's beam result table: forces and moments at the
    // start (0-5) and the end (6-11), then stresses.
    static constexpr int unit[24] = {2, 2, 2, 12, 12, 12, 2, 2, 2, 12, 12, 12,
                                     17, 17, 17, 17, 17, 17, 17, 17, 17, 17, 17, 17};

    void Initialize() { *this = T_PSTRB_D(); }
    // Forces 0-2 with unit type 2, moments 3-5 with 12, stresses with 17.
    void ConvertUnitOut(const CUnitCtrl* pUnit);
    void calcMaximumCombinedStress();
};

// Member end offsets: a flag and four offsets. Initialize takes the host's defaults, which a
// builder may set (the flag is 0 unless set).
struct T_PCFMO_D {
    int bOffset = 0;
    double dOffset[4] = {0, 0, 0, 0};

    void Initialize();
    static void SetDefault(const T_PCFMO_D& rec);
};

// Element geometry the post-processor offers: the length of a line element.
class CElemGeom {
public:
    static double calcLAVElem(CDBBase* pModelDB, unsigned int nElemK);
};
