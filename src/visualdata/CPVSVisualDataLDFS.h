// Visual data of the local-direction force sums (type 8) and the shared machinery of its design
// twin (type 12, CPVSVisualDataLDFSD): reads the element results of the chosen component rows
// into per-element node values, fills for each cutting plane the element grid (solid: node
// averaged; plate: per element) with them as point scalars, and integrates the values on one cut
// segment or triangle into forces and moments about the cut's centre in the plane's axes. The
// visual methods CPVSVisualMethodLDFS / CPVSVisualMethodLDFSD cut the grid and call the routines.
#pragma once
#include "core/KVPvsExport.h"
#include "visualdata/PVSUserDefRecords.h"

#include "PVSModelData.h"
#include "PVSVisualDataBase.h"

#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

using CCellElemKMap = CMap<int, int, unsigned int, unsigned int>;

inline void LdfsCopyCellMap(CCellElemKMap& dst, const CCellElemKMap& src)
{
    dst.RemoveAll();
    dst.InitHashTable(src.GetHashTableSize());
    int k = 0;
    unsigned int v = 0;
    for (POSITION pos = src.GetStartPosition(); pos;) {
        src.GetNextAssoc(pos, k, v);
        dst[k] = v;
    }
}

// The body both force-sum visual data share; RECORD is the settings record, AXIS its per-plane
// entry. Only the two classes below instantiate it.
template <class RECORD, class AXIS>
class KV_PVS_API CPVSVisualDataLDFSCore : public CPVSVisualDataBase {
public:
    static constexpr int kMaxComp = 12;
    static constexpr int kMaxNode = 20;

    CPVSVisualDataLDFSCore(unsigned int nType, T_VD_PARAM_D& param);
    ~CPVSVisualDataLDFSCore() override;

    int MakeVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector) override;
    int MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                      CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2, CArray<int, int>* pA3,
                      CArray<int, int>* pA4) override;
    using CPVSVisualDataBase::MakeVTextData;
    int MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS) override;
    void InitVDataHashTable(int nCount) override;

    virtual int MakeVGeomDataByPlane(AXIS& axis, T_PVIST_PLNE_D& plane, vtkUnstructuredGrid* pGrid,
                                     T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                                     CPVSModelDataFEM* pMD, int nReserved);
    virtual int MakeVGeomDataPlate(AXIS& axis, T_PVIST_PLNE_D& plane, vtkUnstructuredGrid* pGrid,
                                   T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                                   CPVSModelDataFEM* pMD, int nReserved);

    int GetElemVDataTable(unsigned int nElemK, int nNodeCount, int& nValueCount, double dTable[kMaxNode][kMaxComp]);

    RECORD* m_pLdfsData = nullptr;
    CMap<int, int, T_VSUL_DATA_D, T_VSUL_DATA_D&> m_aCompVData[kMaxComp];
    CMap<int, int, unsigned int, unsigned int> m_mCellElemK;

protected:
    // MakeVData's work; MakeVData gives 0 and keeps no values when it fails.
    int ReadVData();
    // No values and no grid built from them.
    void ClearVData() noexcept;
    // GetElemVDataTable clearing only the first nClearRows rows: the grid builders read no others.
    int GetElemVDataRows(unsigned int nElemK, int nNodeCount, int& nValueCount, double dTable[kMaxNode][kMaxComp],
                         int nClearRows);
    // A cell of the solid grid was inserted for an element (the design twin records it).
    virtual void OnSolidCellInserted(int nCellIdx, unsigned int nElemK) { (void)nCellIdx, (void)nElemK; }
    virtual void ClearSolidCellMap(int nHashSize) { (void)nHashSize; }
    virtual void CacheSolidCellMap(BOOL bStore) { (void)bStore; }
    // Number of point-scalar components of the grid: every component a cut reads (six for a
    // solid, twelve for a plate) exists even when the record chose fewer.
    int GetScalarCompCount() const;

    // The grid does not depend on the plane: the first fill of a Process is kept and handed out
    // (shallow) for the next planes until the values or the settings change.
    BOOL FillFromCache(vtkUnstructuredGrid* pGrid, CPVSModelDataFEM* pMD);
    void StoreCache(vtkUnstructuredGrid* pGrid, CPVSModelDataFEM* pMD);
    void DropCache();
    vtkSmartPointer<vtkUnstructuredGrid> m_pGridCache;
    CPVSModelDataFEM* m_pCacheMD = nullptr;
    int m_nCacheCutKind = -1;
    int m_nCacheCompCount = -1;
    CMap<int, int, unsigned int, unsigned int> m_mCellElemKCache;
};

class KV_PVS_API CPVSVisualDataLDFS : public CPVSVisualDataLDFSCore<T_VD_LCLDIRSUM_HOB_D, T_VD_LCLDIRSUM_HOB_BASE_D> {
    DECLARE_DYNAMIC(CPVSVisualDataLDFS)
public:
    CPVSVisualDataLDFS(unsigned int nType, T_VD_PARAM_D& param);
    int GetVisualMethodType(T_PVIST_ALL_D* pVS) override;

    static int GetLclDirForSumByLine(double dCentre[3], double dPts[2][3], double dNormal[3], double dForce[2][6],
                                     double dMoment[2][6], double dSum[6], double dElemAxis[3][3],
                                     double dPlaneAxis[3][3]);
    static int GetLclDirForSumByTriangle(double dCentre[3], double dPts[3][3], double dNormal[3],
                                         double dStress[3][6], double dSum[6], double dPlaneAxis[3][3]);
};

extern template class CPVSVisualDataLDFSCore<T_VD_LCLDIRSUM_HOB_D, T_VD_LCLDIRSUM_HOB_BASE_D>;
extern template class CPVSVisualDataLDFSCore<T_VD_LCLDIRSUM_KVR_D, T_VD_LCLDIRSUM_KVR_BASE_D>;
