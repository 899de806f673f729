#include "PostResultRecords.h"

#include "UnitCtrl.h"

#include <cmath>

namespace {
T_PCFMO_D g_offsetDefault;
}

void T_PSTRT_D::ConvertUnitOut(const CUnitCtrl* pUnit)
{
    if (!pUnit)
        return;
    dForceI = pUnit->ConvertUnitDataOut(2, dForceI);
    dForceJ = pUnit->ConvertUnitDataOut(2, dForceJ);
    dStressI = pUnit->ConvertUnitDataOut(17, dStressI);
    dStressJ = pUnit->ConvertUnitDataOut(17, dStressJ);
}

void T_PSTRB_D::ConvertUnitOut(const CUnitCtrl* pUnit)
{
    if (!pUnit)
        return;
    for (int q = 0; q < 4; ++q) {
        for (int i = 0; i < 12; ++i)
            dForce[q][i] = pUnit->ConvertUnitDataOut(i % 6 < 3 ? 2 : 12, dForce[q][i]);
        for (int i = 0; i < 24; ++i)
            if (i != 14 && i != 15)
                dStress[q][i] = pUnit->ConvertUnitDataOut(17, dStress[q][i]);
    }
}

void T_PSTRB_D::calcMaximumCombinedStress()
{
    dMaxCombined = 0.0;
    nMaxCombinedSeg = 0;
    for (int q = 0; q < 4; ++q)
        for (int i = 16; i < 24; ++i)
            if (std::fabs(dStress[q][i]) > dMaxCombined) {
                dMaxCombined = std::fabs(dStress[q][i]);
                nMaxCombinedSeg = q;
            }
}

void T_PCFMO_D::Initialize() { *this = g_offsetDefault; }
void T_PCFMO_D::SetDefault(const T_PCFMO_D& rec) { g_offsetDefault = rec; }

double CElemGeom::calcLAVElem(CDBBase* pModelDB, unsigned int nElemK)
{
    T_ELEM_D e;
    CClassElem elem(pModelDB);
    if (!elem.Get(nElemK, e) || e.aNodeK.GetSize() < 2)
        return 0.0;
    CClassNode node(pModelDB);
    T_NODE_D a, b;
    if (!node.Get(e.aNodeK[0], a) || !node.Get(e.aNodeK[1], b))
        return 0.0;
    double dx = b.dXyz[0] - a.dXyz[0], dy = b.dXyz[1] - a.dXyz[1], dz = b.dXyz[2] - a.dXyz[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}
