// Element-diagram history plot (visual-data type 6): a truss or beam result of a time-history
// case at one step, drawn as a band along every two-node element, offset in one of its local
// directions, with the end values labelled. The values come from the one-step value source;
// the host's element-diagram method (type 4) draws the data set filled here.
#pragma once
#include "core/KVPvsExport.h"
#include "visualdata/CPVSVisualDataDgrmBand.h"
#include "visualdata/PVSUserDefRecords.h"

#include "PostResultRecords.h"

class CHistPlotProgress;
class CPVSTHCalcHistPlotData;

class KV_PVS_API CPVSVisualDataHistoryPlotDgrm : public CPVSVisualDataDgrmBand {
    DECLARE_DYNAMIC(CPVSVisualDataHistoryPlotDgrm)
public:
    CPVSVisualDataHistoryPlotDgrm(int nType, T_VD_PARAM_D& param);
    ~CPVSVisualDataHistoryPlotDgrm() override;
    CPVSVisualDataHistoryPlotDgrm(const CPVSVisualDataHistoryPlotDgrm&) = delete;
    CPVSVisualDataHistoryPlotDgrm& operator=(const CPVSVisualDataHistoryPlotDgrm&) = delete;

    int MakeVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector) override;
    int GetDgrmVect(unsigned int nElemK, C3DPoint& dir) override;
    using CPVSVisualDataElemDgrm::MakeDgrmPolygon;
    // The band of one element from its (start, end) value pairs: quadrilaterals, or two
    // triangles meeting on the axis where the value changes sign. 1 on success.
    virtual int MakeDgrmPolygon(T_VSUL_DATA_D& vals, double* pDir, T_NODE_D& nodeI, T_NODE_D& nodeJ,
                                CArray<T_PVS_POLY_D, T_PVS_POLY_D&>& aPoly);

    const T_VD_HISTPLOT_TVCKVR_D& GetUserDefData() const { return *m_pUserDefData; }

protected:
    int BuildGeom(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                  CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2, vtkDataSet* pInactive,
                  vtkDataSet* pD2, CArray<unsigned int, unsigned int>& aElemK) override;
    // Every element holds its two end values, at the start and the end.
    void GetDgrmStations(CArray<double, double>& aPos) const override;
    int MakeLabelPolygons(T_VSUL_DATA_D& vals, double* pDir, T_NODE_D& nodeI, T_NODE_D& nodeJ,
                          CArray<T_PVS_POLY_D, T_PVS_POLY_D&>& aPoly) override;
    int ReadVData();
    // 0 when a reading was cut short (the value source failed): the picture then fails.
    int ReadElements(CPVSTHCalcHistPlotData& src, const CArray<unsigned int, unsigned int>& aElemK, bool bTruss,
                     CHistPlotProgress& progress);
    // The failure path of MakeVData: no values or directions kept; gives 0.
    int DropValues();
    int CalcStrtData(T_PSTRT_D& rec, double* pVal);
    int CalcStrbData(T_PSTRB_D& rec, double* pVal);
    int CalDiagramDir(unsigned int nElemK, C3DPoint& dir);

    T_VD_HISTPLOT_TVCKVR_D* m_pUserDefData = nullptr;
};
