// Visual data of the force sums for member design (type 12): the force-sum visual data on the
// design settings record, which also maps every solid-grid cell to its element so that the
// design method finds the material of each cut solid cell.
#pragma once
#include "visualdata/CPVSVisualDataLDFS.h"

class KV_PVS_API CPVSVisualDataLDFSD
    : public CPVSVisualDataLDFSCore<T_VD_LCLDIRSUM_KVR_D, T_VD_LCLDIRSUM_KVR_BASE_D> {
    DECLARE_DYNAMIC(CPVSVisualDataLDFSD)
public:
    CPVSVisualDataLDFSD(unsigned int nType, T_VD_PARAM_D& param);
    int GetVisualMethodType(T_PVIST_ALL_D* pVS) override;

    static int GetLclDirForSumByLine(double dCentre[3], double dPts[2][3], double dNormal[3], double dForce[2][6],
                                     double dMoment[2][6], double dSum[6], double dElemAxis[3][3],
                                     double dPlaneAxis[3][3]);
    static int GetLclDirForSumByTriangle(double dCentre[3], double dPts[3][3], double dNormal[3],
                                         double dStress[3][6], double dSum[6], double dPlaneAxis[3][3]);

    CMap<int, int, unsigned int, unsigned int> m_mSolidCellElemK;

private:
    CMap<int, int, unsigned int, unsigned int> m_mSolidCellElemKCache;

protected:
    void OnSolidCellInserted(int nCellIdx, unsigned int nElemK) override { m_mSolidCellElemK[nCellIdx] = nElemK; }
    void ClearSolidCellMap(int nHashSize) override
    {
        m_mSolidCellElemK.RemoveAll();
        m_mSolidCellElemK.InitHashTable(static_cast<UINT>(nHashSize));
    }
    void CacheSolidCellMap(BOOL bStore) override
    {
        if (bStore)
            LdfsCopyCellMap(m_mSolidCellElemKCache, m_mSolidCellElemK);
        else
            LdfsCopyCellMap(m_mSolidCellElemK, m_mSolidCellElemKCache);
    }
};
