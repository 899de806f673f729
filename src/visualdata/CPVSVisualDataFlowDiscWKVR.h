// Visual data of the flow discharge (type 4, other edition): reads the element velocity of the
// settings record's result row (seven doubles per result point: magnitude, vx, vy, vz, x, y, z;
// a nodal row gives one point per element node) into per-element blocks and builds the grid of
// the elements with values, one velocity vector per cell, which CPVSVisualMethodFlowDiscWKVR
// cuts with the record's planes to sum the discharge through each.
#pragma once
#include "core/KVPvsExport.h"
#include "visualdata/PVSUserDefRecords.h"

#include "PVSVisualDataBase.h"
#include "PVSModelData.h"

#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <vector>

class KV_PVS_API CPVSVisualDataFlowDiscWKVR : public CPVSVisualDataBase {
    DECLARE_DYNAMIC(CPVSVisualDataFlowDiscWKVR)
public:
    static constexpr int kGroup = 7;
    // Name of the grid's cell vectors.
    static constexpr const char* kVectorName = "FlowVelocity";

    CPVSVisualDataFlowDiscWKVR(unsigned int nType, T_VD_PARAM_D& param);
    ~CPVSVisualDataFlowDiscWKVR() override;

    int GetVisualMethodType(T_PVIST_ALL_D* pVS) override;
    int MakeVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector) override;
    int MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                      CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2, CArray<int, int>* pA3,
                      CArray<int, int>* pA4) override;
    using CPVSVisualDataBase::MakeVTextData;
    int MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS) override;

    // The element's result points: count, values, vectors (3 per point) and positions (3 per
    // point), each array resized to the count; 0 without a block of at least one group.
    int GetElemData(unsigned int nElemK, int& nCount, std::vector<double>& aValue, std::vector<double>& aVector,
                    std::vector<double>& aPosition);

    T_VD_FLOWDISC_WPLKVR_D* GetFlowDiscData() { return m_pFlowDiscData; }

private:
    int ReadVData();
    int MakeGrid(vtkDataSet* pDataSet, CPVSModelDataBase* pModel, CArray<int, int>* pA1, CArray<int, int>* pA2);
    // The grid's points and cells, kept while the model data, its mesh and the elements with
    // values stay the same (checked at every build): a refresh gives it new cell vectors only.
    struct T_KEPT_GRID {
        CPVSModelDataFEM* pMD = nullptr;
        std::vector<unsigned int> aElemK;      // the model's elements in its order
        std::vector<char> aData;               // those with values
        std::vector<char> aCell;               // those that became cells
        std::vector<int> aCellType;
        std::vector<unsigned int> aCellNodeK;  // the cells' node keys in turn
        std::vector<unsigned int> aPointNodeK; // the node of each point
        vtkSmartPointer<vtkUnstructuredGrid> pGrid;
    };
    bool KeptGridMatches(CPVSModelDataFEM* pMD, const std::vector<char>& aData);
    void KeepGrid(CPVSModelDataFEM* pMD, const std::vector<char>& aData);

    T_VD_FLOWDISC_WPLKVR_D* m_pFlowDiscData = nullptr;
    T_KEPT_GRID m_kept;
};
