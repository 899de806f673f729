// Element diagrams drawn as a band along each two-node element: the host's entries guarded so
// nothing escapes into the host, and the end labels, tool tip and probe text that every such
// band gives from its stored values and the stations they stand at.
#pragma once
#include "frame/core/KVPvsExport.h"

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

    // The band's scale, and in dir the direction it stands out in: pDir, turned round when the
    // diagrams are drawn reversed. The caller's direction stays as given.
    double BandScaleAndDir(const double* pDir, double* dir) const;
    static VtxInfo_tag Vtx(const C3DPoint& p, int nFlag, double dValue);
};
