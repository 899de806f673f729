// Stand-in for the host's visual-data base and its generic visual-data classes. The generic
// classes only record how they were made: the host's own displays are not part of the module.
// The class-wide statics are the host's: SetMinMaxVal widens the range and marks it set;
// ResetVDataStatics (called by the host before it builds each display) clears them all.
// Choices for the result read: the threshold is 0 and the value mode 2 by default; the active
// elements (nodes) are every element (node) of the model, ascending; the post control reads
// the document's post database and its model. The (key, value, flag) SetMinMaxVal widens the
// range as the one-value form does; the key and flag are the host's bookkeeping. IsVertical:
// the horizontal offset of the segment is at most 1e-9 of its length.
#pragma once
#include "PVSParams.h"

#include "3DPoint.h"

#include <vtkType.h>

class vtkDataSet;
class vtkUnstructuredGrid;
class vtkIdList;
class vtkDoubleArray;
class vtkDataArray;
class vtkPoints;
class CAnimationEngine;
class CPVSModelDataBase;
class CPVSModelDataFEM;
class gp_Pnt;
class CPostCtrlBase;

class CPVSVisualDataBase : public CObject {
    DECLARE_DYNAMIC(CPVSVisualDataBase)
public:
    explicit CPVSVisualDataBase(T_VD_PARAM_D& param);
    CPVSVisualDataBase(unsigned int nType, T_VD_PARAM_D& param);
    ~CPVSVisualDataBase() override;
    // The host's static creator: asks the factory instance (IFactoryPVS::Instance()).
    static CPVSVisualDataBase* CreateVisualDataByType(unsigned int nType, T_VD_PARAM_D& param);

    virtual int GetVisualMethodType(T_PVIST_ALL_D* pVS);
    virtual int MakeVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector);
    virtual int MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                              CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2,
                              CArray<int, int>* pA3, CArray<int, int>* pA4);
    virtual int MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS,
                              CPVSModelDataBase* pMD);
    virtual int MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS);
    virtual void Initialize();
    // The label text of a value in the given printf format; choice: 0 and no text for a value
    // that is not finite.
    int GetTextValString(CString& strText, T_PVIST_ALL_D* pVS, const CString& strFormat, double dValue);
    // The animation's factor for the current frame and a value at that frame; choice: 1 and
    // the value itself while the state does not animate, else the phase and value x phase.
    double GetAnimFactor(T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim);
    double GetSubFrameVal(T_PVIST_ANIM_D* pAS, double dValue, double dFactor);
    virtual void SetModelData(CPVSModelDataBase* pMD) { m_pModelData = pMD; }
    virtual void SetLineContData4Label(vtkDataSet* pData) { m_pLineContData = pData; }
    virtual double GetMinVal() { return m_dVDataRsltMin; }
    virtual double GetMaxVal() { return m_dVDataRsltMax; }
    virtual unsigned int GetPVtifK() { return m_param.nPVtifK; }
    virtual unsigned int GetMeshK() { return m_param.nMeshK; }
    virtual CDBDoc* GetDoc() { return m_param.pDoc; }
    virtual CPostCtrlBase* GetPostCtrl() { return m_pPostCtrl; }
    virtual CPVSModelDataBase* GetModelData() { return m_pModelData; }
    virtual vtkDataSet* GetLineContData4Label() { return m_pLineContData; }
    virtual int GetPostOutput4ToolTip(int nKind, unsigned int nKey, CArray<CString, CString&>& aText);
    virtual int GetPostOutput4Probe(int nKind, unsigned int nKey, CArray<CString, CString&>& aText, int nOption);
    virtual void InitVDataHashTable(int nSize);
    virtual int InsertNextCell4Contour(vtkUnstructuredGrid* pGrid, int nCellType, vtkIdList* pIds);
    // A cell of a contour from the element's point list; choice: the cell goes into the grid
    // as it is (quadratic kinds included), nCellCount counts it, nothing else is touched.
    // The number of cells made.
    virtual int InsertNextCell4Contour(int nCellType, vtkIdList* pIds, vtkUnstructuredGrid* pGrid,
                                       vtkDoubleArray* pScalars, vtkDataArray* pValues, vtkPoints* pPoints,
                                       vtkIdType& nPointIdx, int& nCellCount,
                                       CMap<unsigned int, unsigned int, unsigned int, unsigned int>* pElemMap);
    // Line contour of a two-node element from its end values; the stand-in keeps the
    // requests (element key and the two values) for the host's label pass. 1.
    int MakeLineContourData(CPVSModelDataBase* pMD, unsigned int nElemK, const T_ELEM_D& elem, const double* pVal);
    struct T_LINE_CONTOUR_D {
        unsigned int nElemK = 0;
        double dVal[2] = {0, 0};
    };
    CArray<T_LINE_CONTOUR_D, T_LINE_CONTOUR_D&> m_aLineContour;
    // The component code the display shows (one of the row's component codes; the host's
    // result tree sets it, 0 until then).
    unsigned int GetDispCompCode() const { return m_nDispCompCode; }
    void SetDispCompCode(unsigned int n) { m_nDispCompCode = n; }
    virtual int InsertNextQuadraticQuad(vtkUnstructuredGrid* pGrid, vtkIdList* pIds);
    virtual int InsertNextQuadraticHexa(vtkUnstructuredGrid* pGrid, vtkIdList* pIds);
    virtual int InsertNextQuadraticPyramid(vtkUnstructuredGrid* pGrid, vtkIdList* pIds);
    virtual int InsertNextQuadraticWedge(vtkUnstructuredGrid* pGrid, vtkIdList* pIds);
    // Keys of the elements active in the displayed step; FALSE without a document.
    virtual BOOL GetActiveElemK(CArray<unsigned int, unsigned int>& aElemK);
    // Keys of the nodes active in the displayed step; FALSE without a document.
    virtual BOOL GetActiveNodeK(CArray<unsigned int, unsigned int>& aNodeK);
    // Whether the segment p0 p1 is vertical (along Z).
    static BOOL IsVertical(const double p0[3], const double p1[3]);
    void SetThreshold(double d) { m_dThreshold = d; }
    void SetValueMode(int n) { m_nValueMode = n; }

    // The type code the object was created for (0 when made from a result row).
    unsigned int GetVDType() const { return m_nType; }
    const T_VD_PARAM_D& GetParam() const { return m_param; }

    // Draws the given elements in the inactive style (1 to 5) into pDataSet; the stand-in
    // records the style and the element count. 1 on success.
    int MakeInactiveElemDataSet(int nStyle, CMap<unsigned int, unsigned int, unsigned int, unsigned int>& mElemK,
                                CPVSModelDataFEM* pMD, vtkDataSet* pDataSet);
    int m_nInactiveStyle = 0;
    int m_nInactiveCount = 0;

    static void SetMinMaxVal(double dVal);
    static void SetMinMaxVal(unsigned int nKey, double dVal, int bFlag);
    static void ResetVDataStatics();

    static BOOL m_bVDataRsltSet;
    static double m_dVDataRsltMin;
    static double m_dVDataRsltMax;
    static double m_dVDataRsltSum;
    static double m_dVDataRsltNum;
    static double m_dVDataDispMax;
    static double m_dVDataDispFactor;
    static double m_dVDataSymbolFactor;

protected:
    unsigned int m_nType = 0;
    T_VD_PARAM_D m_param;
    CPVSModelDataBase* m_pModelData = nullptr;
    CPostCtrlBase* m_pPostCtrl = nullptr;
    vtkDataSet* m_pLineContData = nullptr;
    int m_nProbeResult = 0;
    CMap<int, int, T_VSUL_DATA_D, T_VSUL_DATA_D&> m_mVData; // entity key -> values
    unsigned int m_nDispCompCode = 0;
    double m_dThreshold = 0.0;  // values not above it in magnitude count as 0
    int m_nValueMode = 2;       // 2: an element value stands for every node of the element
    CClassElem m_clsElem;       // elements of the document's model database
};

class CPVSVisualDataNone : public CPVSVisualDataBase {
    DECLARE_DYNAMIC(CPVSVisualDataNone)
public:
    using CPVSVisualDataBase::CPVSVisualDataBase;
};

class CPVSVisualDataMultiStepIsoSurf : public CPVSVisualDataBase {
    DECLARE_DYNAMIC(CPVSVisualDataMultiStepIsoSurf)
public:
    using CPVSVisualDataBase::CPVSVisualDataBase;
};

class CPVSVisualDataNode : public CPVSVisualDataBase {
    DECLARE_DYNAMIC(CPVSVisualDataNode)
public:
    using CPVSVisualDataBase::CPVSVisualDataBase;
    virtual int MakeVGeomDataIncludingSolid(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS);
    virtual double GetScalar(unsigned int nNodeK, T_PVIST_ALL_D* pVS);
    virtual int GetVector(unsigned int nNodeK, double* pVect);
};

class CPVSVisualDataElem : public CPVSVisualDataBase {
    DECLARE_DYNAMIC(CPVSVisualDataElem)
public:
    using CPVSVisualDataBase::CPVSVisualDataBase;
    // The element contour: every element of the model data with values becomes a cell of its
    // own points (its node coordinates) whose point scalars are its node values, in model
    // order; elements without values, or without a cell type, are left out.
    int MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                      CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2, CArray<int, int>* pA3,
                      CArray<int, int>* pA4) override;
    // A label at each element centre with its centre value (GetCenterVal).
    using CPVSVisualDataBase::MakeVTextData;
    int MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS,
                      CPVSModelDataBase* pMD) override;
    int MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS) override
    {
        return MakeVTextData(aText, pVS, GetModelData());
    }
    virtual int MakeVGeomDataIncludingSolid(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS);
    virtual double GetScalar(unsigned int nElemK, int nNode, T_PVIST_ALL_D* pVS);
    virtual double GetScalar4VectorPlot(unsigned int nElemK, T_PVIST_ALL_D* pVS);
    virtual int GetVector(unsigned int nElemK, double* pVect);
    virtual double GetCenterVal(unsigned int nElemK);
    virtual void InterpolateHighOrderEdgeVals(unsigned int nElemK);
    // Element-centre range; choice: kept apart from the node range.
    static void SetMinMaxValElemCenter(unsigned int, double dVal)
    {
        if (!m_bElemCenterSet || dVal < m_dElemCenterMin)
            m_dElemCenterMin = dVal;
        if (!m_bElemCenterSet || dVal > m_dElemCenterMax)
            m_dElemCenterMax = dVal;
        m_bElemCenterSet = TRUE;
    }
    inline static BOOL m_bElemCenterSet = FALSE;
    inline static double m_dElemCenterMin = 0.0;
    inline static double m_dElemCenterMax = 0.0;

protected:
    CMap<int, int, double, double> m_mElemCenterVal; // element key -> centre value
};

// One vertex of an element-diagram polygon: its point, the host's flag and its value.
struct VtxInfo_tag {
    C3DPoint point;
    int flag = 0;
    double value = 0.0;
};

// One element-diagram polygon.
struct T_PVS_POLY_D {
    CArray<VtxInfo_tag, VtxInfo_tag&> aVtx;
    T_PVS_POLY_D() = default;
    T_PVS_POLY_D(const T_PVS_POLY_D& o) { aVtx.Copy(o.aVtx); }
    T_PVS_POLY_D& operator=(const T_PVS_POLY_D& o)
    {
        aVtx.Copy(o.aVtx);
        return *this;
    }
};

// Element diagrams along two-node elements. The row copy, the value table (one value per
// relative position of the row) and the direction table are the host's; choices: the row
// is read at construction (a missing row leaves a fresh one); MakeVData reads the row's values
// and directions of the active elements through the post control; the polygons put the band of
// each segment of the row's positions in 16 / segments steps, each a quadrilateral or, where the
// values change sign, two triangles meeting on the axis; vertex values the diagram values,
// scaled by the symbol settings' diagram scale x m_dVDataSymbolFactor (reversed on request);
// MakeDgrmPolygonVTK appends polygon cells to a poly data or unstructured grid that the caller
// hands over empty, and counts the points in nPoint.
class CPVSVisualDataElemDgrm : public CPVSVisualDataBase {
    DECLARE_DYNAMIC(CPVSVisualDataElemDgrm)
public:
    explicit CPVSVisualDataElemDgrm(T_VD_PARAM_D& param);
    CPVSVisualDataElemDgrm(unsigned int nType, T_VD_PARAM_D& param);

    int GetVisualMethodType(T_PVIST_ALL_D*) override { return 4; }
    int MakeVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector) override;
    using CPVSVisualDataBase::MakeVGeomData;
    virtual int MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                              CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2,
                              vtkDataSet* pInactive, vtkDataSet* pD2, CArray<unsigned int, unsigned int>& aElemK);
    virtual int MakeDgrmPolygon(T_PVTIF_D& row, T_VSUL_DATA_D& vals, double* pDir, T_NODE_D& n1, T_NODE_D& n2,
                                CArray<T_PVS_POLY_D, T_PVS_POLY_D&>& aPoly, int nOption);
    virtual int MakeDgrmPolygonVTK(vtkPoints* pPoints, vtkDoubleArray* pScalars, vtkDataSet* pDataSet, int& nPoint,
                                   CArray<T_PVS_POLY_D, T_PVS_POLY_D&>& aPoly);
    virtual int GetDgrmVect(unsigned int nElemK, C3DPoint& dir);

    // Host and test side: the tables as they stand.
    BOOL LookupVData(unsigned int nElemK, T_VSUL_DATA_D& vals) const { return m_mVData.Lookup(static_cast<int>(nElemK), vals); }
    const T_PVTIF_D& GetRow() const { return m_pvtif; }

protected:
    T_PVTIF_D m_pvtif;                                // the display's row
    CMap<int, int, C3DPoint, C3DPoint&> m_mDgrmVect;  // element key -> diagram direction
};

class CPVSVisualDataElemCell : public CPVSVisualDataElem {
    DECLARE_DYNAMIC(CPVSVisualDataElemCell)
public:
    using CPVSVisualDataElem::CPVSVisualDataElem;
};

// Point symbols: the host's point-element method (type 14) draws one symbol per point that
// MakeVGeomData lists, with its value and the size written to the last argument.
class CPVSVisualDataPointElement : public CPVSVisualDataBase {
    DECLARE_DYNAMIC(CPVSVisualDataPointElement)
public:
    using CPVSVisualDataBase::CPVSVisualDataBase;
    int GetVisualMethodType(T_PVIST_ALL_D*) override { return 14; }
    using CPVSVisualDataBase::MakeVGeomData;
    virtual int MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, CAnimationEngine* pAnim,
                              CPVSModelDataBase* pMD, CArray<int, int>* pA1, CArray<int, int>* pA2, vtkDataSet* pD1,
                              vtkDataSet* pD2, CArray<unsigned int, unsigned int>& aKey,
                              CArray<gp_Pnt, gp_Pnt&>& aPnt, CArray<double, double&>& aVal, float* pSize);
    virtual int GetSymbolKind() { return 0; }
    virtual int GetScalar(unsigned int nNodeNo, double& dVal, int nOption);
};

// Vector plot: mode 1 or mode 2 as the host's factory asks.
class CPVSVisualDataCustomVectPlot : public CPVSVisualDataBase {
    DECLARE_DYNAMIC(CPVSVisualDataCustomVectPlot)
public:
    CPVSVisualDataCustomVectPlot(T_VD_PARAM_D& param, int nMode) : CPVSVisualDataBase(param), m_nMode(nMode) {}
    int GetMode() const { return m_nMode; }

private:
    int m_nMode;
};
