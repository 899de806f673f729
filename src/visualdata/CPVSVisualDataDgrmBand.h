// Element diagrams drawn as a band along each two-node element: the host's entries guarded so
// nothing escapes into the host, and the end labels, tool tip and probe text that every such
// band gives from its stored values and the stations they stand at.
#pragma once
#include "core/KVPvsExport.h"

#include "PVSVisualDataBase.h"

class KV_PVS_API CPVSVisualDataDgrmBand : public CPVSVisualDataElemDgrm {
    DECLARE_DYNAMIC(CPVSVisualDataDgrmBand)
public:
    using CPVSVisualDataElemDgrm::CPVSVisualDataElemDgrm;

    // The host's entries: whatever escapes the building (a failed allocation) gives the failure
    // value and empty output, never a part of it.
    using CPVSVisualDataElemDgrm::MakeVGeomData;
    int MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                      CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2, vtkDataSet* pInactive,
                      vtkDataSet* pD2, CArray<unsigned int, unsigned int>& aElemK) override;
    using CPVSVisualDataElemDgrm::MakeVTextData;
    int MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS) override;
    int GetPostOutput4ToolTip(int nKind, unsigned int nKey, CArray<CString, CString&>& aText) override;
    int GetPostOutput4Probe(int nKind, unsigned int nKey, CArray<CString, CString&>& aText, int nOption) override;

protected:
    virtual int BuildGeom(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                          CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2,
                          vtkDataSet* pInactive, vtkDataSet* pD2, CArray<unsigned int, unsigned int>& aElemK) = 0;
    // The relative stations along the element that an element's stored values stand at; values
    // of another count are not this display's.
    virtual void GetDgrmStations(CArray<double, double>& aPos) const;
    // The band polygons the labels are taken from; the host's diagram polygons by default.
    virtual int MakeLabelPolygons(T_VSUL_DATA_D& vals, double* pDir, T_NODE_D& nodeI, T_NODE_D& nodeJ,
                                  CArray<T_PVS_POLY_D, T_PVS_POLY_D&>& aPoly);

    // The values at the outer tips of an element's first and last polygons.
    int BuildLabels(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS);
    // The stations and the element's values for the tool tip and probe text: 0 for a node, an
    // element without values or values of another count.
    int StationValues(int nKind, unsigned int nKey, CArray<double, double>& aPos, T_VSUL_DATA_D& vals);
    int ToolTipLines(int nKind, unsigned int nKey, CArray<CString, CString&>& aText);
    int ProbeLine(int nKind, unsigned int nKey, CArray<CString, CString&>& aText);

    // Where a band stands: the element's axis from node I to node J, the direction the band
    // stands out in (pDir, turned round when the diagrams are drawn reversed; the caller's
    // direction stays as given) and the height of a unit value.
    struct BandFrame {
        C3DPoint I, J;
        double dir[3];
        double dScale;
    };
    BandFrame MakeBandFrame(const double* pDir, const T_NODE_D& nodeI, const T_NODE_D& nodeJ) const;
    // How a step of the band with the end values w0 and w1 is drawn: not at all, as one
    // quadrilateral, or as two triangles meeting where the band crosses the axis.
    enum BandStep { STEP_NONE, STEP_QUAD, STEP_CROSS };
    using StepRule = BandStep (*)(double w0, double w1);
    // Appends the band of one segment, from station p0 (value q0) to p1 (value q1) along the
    // element, in m equal steps shaped by the rule. Vertices carry the band's values.
    void AddBandSegment(const BandFrame& f, double p0, double p1, double q0, double q1, int m, StepRule rule,
                        CArray<T_PVS_POLY_D, T_PVS_POLY_D&>& aPoly) const;
};
