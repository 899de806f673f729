// Visual data of the settlement profile grid (type 5): reads one nodal result row into per-node
// values and fills a VTK grid of the whole model with the values as point scalars and each
// node's displacement as point vectors. The profile-grid method (CPVSVisualMethodGlbProfGrid)
// probes that grid at the points of a profile grid laid on a work plane.
#pragma once
#include "core/KVPvsExport.h"
#include "visualdata/PVSUserDefRecords.h"

#include "PVSModelData.h"
#include "PVSVisualDataBase.h"

// The largest profile grids the module draws: division counts per direction and in all, and the
// divisions of an index line. The dialogs refuse counts beyond them; a grid or line stored
// beyond them (before these limits, or by another program) shows nothing. Products are formed
// in 64 bits: stored counts may be any int.
namespace kvpvs::profgrid {
constexpr int kMaxDivisions = 10000;
constexpr long long kMaxCells = 1000000;
constexpr int kMaxLineDivisions = 100000;
constexpr bool GridFits(long long nDivX, long long nDivY)
{
    return nDivX >= 1 && nDivY >= 1 && nDivX <= kMaxDivisions && nDivY <= kMaxDivisions && nDivX * nDivY <= kMaxCells;
}
constexpr bool LineFits(long long nDivision) { return nDivision >= 1 && nDivision <= kMaxLineDivisions; }
} // namespace kvpvs::profgrid

class KV_PVS_API CPVSVisualDataProfGrid : public CPVSVisualDataNode {
    DECLARE_DYNAMIC(CPVSVisualDataProfGrid)
public:
    CPVSVisualDataProfGrid(unsigned int nType, T_VD_PARAM_D& param);
    ~CPVSVisualDataProfGrid() override;

    int GetVisualMethodType(T_PVIST_ALL_D* pVS) override;
    int MakeVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector) override;
    // Fills pDataSet, which must be a vtkUnstructuredGrid; the four arrays are not read.
    int MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                      CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2, CArray<int, int>* pA3,
                      CArray<int, int>* pA4) override;
    using CPVSVisualDataNode::MakeVTextData;
    int MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS) override;

    T_VD_PROFGRID_D* GetRecord() const { return m_pProfGridData; }

private:
    int ReadVData(int bVector);
    int BuildGeom(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                  CPVSModelDataBase* pMDBase);

    T_VD_PROFGRID_D* m_pProfGridData = nullptr;
};
