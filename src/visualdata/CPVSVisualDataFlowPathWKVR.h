// Visual data of the flow paths (type 1): reads the nodal flow vectors of one result row into
// the per-node value table (seven doubles per vector: magnitude, vx, vy, vz and three carried
// values) and builds from them a vector field of unit directions with the magnitudes as point
// scalars on the mesh, which CPVSVisualMethodGlbFlowPath traces. With the draw-contour switch
// it also owns the visual data of a second result, drawn as a contour beside the paths.
#pragma once
#include "core/KVPvsExport.h"
#include "visualdata/PVSUserDefRecords.h"

#include "PVSVisualDataBase.h"

class vtkDataSet;
class vtkDoubleArray;
class vtkMergePoints;
class vtkPoints;
class vtkUnstructuredGrid;

class KV_PVS_API CPVSVisualDataFlowPathWKVR : public CPVSVisualDataBase {
    DECLARE_DYNAMIC(CPVSVisualDataFlowPathWKVR)
public:
    // Values of one node's query: whole groups of seven, at most seven groups.
    static constexpr int kQueryBuffer = 50;
    static constexpr int kGroup = 7;
    // Room of the callers of GetVectorData, in vectors.
    static constexpr int kMaxVectors = 8;

    CPVSVisualDataFlowPathWKVR(unsigned int nType, T_VD_PARAM_D& param);
    ~CPVSVisualDataFlowPathWKVR() override;

    int GetVisualMethodType(T_PVIST_ALL_D* pVS) override;
    int MakeVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector) override;
    int MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                      CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2, CArray<int, int>* pA3,
                      CArray<int, int>* pA4) override;
    using CPVSVisualDataBase::MakeVTextData;
    int MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS) override;

    virtual int MakeVDataNode(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector);
    // The vector field on the mesh (see the source); pGrid is an unstructured grid, the copy
    // grid (may be null) receives the same cells and the points.
    virtual int MakeVGeomDataNode(vtkDataSet* pGrid, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                                  CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2,
                                  vtkDataSet* pExtra1, vtkDataSet* pExtra2, int& nCount, double& dTotal,
                                  vtkPoints* pPoints, vtkDoubleArray* pVectors, vtkDoubleArray* pScalars,
                                  vtkMergePoints* pLocator, vtkUnstructuredGrid* pCopy);
    virtual int MakeVGeomDataNode(vtkDataSet* pGrid, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                                  CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2,
                                  vtkDataSet* pExtra1, vtkDataSet* pExtra2, int nReserved);
    virtual int MakeVTextDataNode(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS);

    CPVSVisualDataBase* GetOtherVD() { return m_pOtherVD; }
    T_VD_FLOWPATH_WPLKVR_D* GetFlowPathData() { return m_pFlowPathData; }

    // Names of the field's point arrays.
    static constexpr const char* kScalarName = "FlowMagnitude";
    static constexpr const char* kVectorName = "FlowDirection";

protected:
    // Whole groups of seven of a node: count, magnitudes[n], components[3n..], extras[3n..];
    // 0 without a list or with fewer than seven values. At most kMaxVectors are written.
    int GetVectorData(unsigned int nNodeK, int& nCount, double* pMagnitude, double* pComponent, double* pExtra);

private:
    int ReadVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector);

    T_VD_FLOWPATH_WPLKVR_D* m_pFlowPathData = nullptr;
    CPVSVisualDataBase* m_pOtherVD = nullptr;
};
