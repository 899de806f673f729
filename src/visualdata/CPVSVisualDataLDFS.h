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

#include <algorithm>

#include <vtkDoubleArray.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

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

// Unsigned keys -> positions in a list of them. Keys of a model are mostly dense: a plain table
// when the largest key is within a few times the count, a hash map otherwise. The first of
// equal keys wins, or the last with bLastWins.
class KV_PVS_API CLdfsKeyIndex {
public:
    template <class GETKEY>
    void Build(int nCount, GETKEY getKey, bool bLastWins = false)
    {
        // The table's room is kept: an index rebuilt for the same keys allocates nothing.
        m_map.clear();
        unsigned int nMax = 0;
        for (int i = 0; i < nCount; ++i)
            nMax = std::max(nMax, getKey(i));
        m_bTable = static_cast<size_t>(nMax) <= 4 * static_cast<size_t>(nCount) + 1024;
        if (m_bTable) {
            m_aTable.assign(static_cast<size_t>(nMax) + 1, -1);
        } else {
            std::vector<int>().swap(m_aTable);
            m_map.reserve(static_cast<size_t>(nCount));
        }
        for (int i = 0; i < nCount; ++i) {
            int& r = m_bTable ? m_aTable[getKey(i)] : m_map.try_emplace(getKey(i), -1).first->second;
            if (r < 0 || bLastWins)
                r = i;
        }
    }
    int Find(unsigned int nKey) const
    {
        if (m_bTable)
            return nKey < m_aTable.size() ? m_aTable[nKey] : -1;
        auto it = m_map.find(nKey);
        return it == m_map.end() ? -1 : it->second;
    }
    void Clear() noexcept
    {
        m_bTable = false;
        std::vector<int>().swap(m_aTable);
        std::unordered_map<unsigned int, int>().swap(m_map);
    }

private:
    bool m_bTable = false;
    std::vector<int> m_aTable;
    std::unordered_map<unsigned int, int> m_map;
};

// The node values MakeVData read, element key -> per component the values at the element's
// nodes in node order: one flat array per component over all elements, not one heap array per
// element and component.
class KV_PVS_API CLdfsCompValues {
public:
    static constexpr int kMaxComp = 12;
    // Room for the elements aElemK with their node counts (negative: no room), no entries. The
    // arrays of the last Reset are reused: a refresh of the same elements allocates nothing.
    void Reset(const unsigned int* pElemK, const int* pNodeCount, int nElem);
    void Clear() noexcept;
    // Element i of the Reset list: its node values of component c, to be written in full.
    double* Set(int c, int i)
    {
        if (!m_bUsed[c])
            Use(c);
        m_aHas[c][static_cast<size_t>(i)] = 1;
        return m_aValue[c].data() + m_aFirst[static_cast<size_t>(i)];
    }
    void Remove(int c, int i)
    {
        if (m_bUsed[c])
            m_aHas[c][static_cast<size_t>(i)] = 0;
    }
    // Elements first to end - 1.
    void Remove(int c, int nFirst, int nEnd)
    {
        if (m_bUsed[c])
            std::fill(m_aHas[c].begin() + nFirst, m_aHas[c].begin() + nEnd, std::uint8_t{0});
    }
    // No entries of component c.
    void RemoveAll(int c) noexcept { m_bUsed[c] = false; }
    // The element's values of component c and their count; null without an entry.
    const double* Find(int c, unsigned int nElemK, int& nSize) const { return At(c, m_index.Find(nElemK), nSize); }
    // The same by the element's place in the Reset list (IndexOf; -1: none), looked up once
    // for all components.
    int IndexOf(unsigned int nElemK) const { return m_index.Find(nElemK); }
    const double* At(int c, int i, int& nSize) const
    {
        nSize = 0;
        if (!m_bUsed[c] || i < 0 || !m_aHas[c][static_cast<size_t>(i)])
            return nullptr;
        nSize = static_cast<int>(m_aFirst[static_cast<size_t>(i) + 1] - m_aFirst[static_cast<size_t>(i)]);
        return m_aValue[c].data() + m_aFirst[static_cast<size_t>(i)];
    }
    // Entries of component c.
    int GetCount(int c) const;

private:
    // Component c sized for the Reset list, without entries.
    void Use(int c);
    CLdfsKeyIndex m_index;
    std::vector<size_t> m_aFirst; // per element, its first value; one more at the end
    std::vector<double> m_aValue[kMaxComp];
    std::vector<std::uint8_t> m_aHas[kMaxComp];
    bool m_bUsed[kMaxComp] = {}; // has entries: m_aHas and m_aValue are sized
};

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
    CLdfsCompValues m_aCompVData;
    CMap<int, int, unsigned int, unsigned int> m_mCellElemK;

protected:
    // MakeVData's work; MakeVData gives 0 and keeps no values when it fails.
    int ReadVData();
    // No values and no grid built from them.
    void ClearVData() noexcept;
    // GetElemVDataTable clearing only the first nClearRows rows: the grid builders read no others.
    int GetElemVDataRows(unsigned int nElemK, int nNodeCount, int& nValueCount, double dTable[kMaxNode][kMaxComp],
                         int nClearRows);
    // The table's columns as GetElemVDataRows fills them, by reference: per component the
    // element's values, zeros without an entry, or null for a column it leaves alone.
    int GetElemColumns(unsigned int nElemK, int nNodeCount, int& nValueCount, const double* pCol[kMaxComp]) const;
    static constexpr double kZeroColumn[kMaxNode] = {};
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

    // The model's side of the solid grid, kept while the model data and its mesh stay the same
    // (checked at every build): per element its key, kind and node indices; and the points and
    // cells that the elements with values gave, kept while the same elements give values.
    enum : std::uint8_t { kNoCell, kCellOnly, kSolid, kMisfit };
    struct T_SOLID_SHAPE {
        CPVSModelDataFEM* pMD = nullptr;
        bool bKeep = false;
        std::vector<unsigned int> aNodeK;
        std::vector<unsigned int> aElemK;
        std::vector<std::uint8_t> aKind;
        std::vector<std::uint8_t> aCellType;
        std::vector<std::uint32_t> aFirstNode;
        std::vector<int> aElemNode;
        std::vector<char> aFailed;
        vtkSmartPointer<vtkUnstructuredGrid> pTopo; // points and cells, no values
        std::vector<std::int32_t> aPointId;        // per node, its point (-1: none)
        std::vector<unsigned int> aCellElemK;      // per cell, its element
        vtkSmartPointer<vtkDoubleArray> pScalars; // the last fill's point values
    };
    bool ShapeMatches(CPVSModelDataFEM* pMD) const;
    void BuildShape(CPVSModelDataFEM* pMD);
    void BuildTopology(CPVSModelDataFEM* pMD, const std::vector<char>& aFailed, const std::vector<int>& aCount);
    T_SOLID_SHAPE m_shape;
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
