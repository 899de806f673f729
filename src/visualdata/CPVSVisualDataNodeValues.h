// Nodal values drawn over the model's nodes: each node with a value keeps one value, or the
// total then X, Y and Z. Its labels, tool tip and probe text come from the stored values.
#pragma once
#include "core/KVPvsExport.h"

#include "PVSVisualDataBase.h"

class CPVSModelDataFEM;
class vtkDoubleArray;
class vtkIdList;
class vtkPoints;

class KV_PVS_API CPVSVisualDataNodeValues : public CPVSVisualDataBase {
    DECLARE_DYNAMIC(CPVSVisualDataNodeValues)
public:
    using CPVSVisualDataBase::CPVSVisualDataBase;

    int GetPostOutput4ToolTip(int nKind, unsigned int nKey, CArray<CString, CString&>& aText) override;
    int GetPostOutput4Probe(int nKind, unsigned int nKey, CArray<CString, CString&>& aText, int nOption) override;
    virtual int GetScalar(unsigned int nNodeK, double& dValue, int nOption) = 0;
    virtual int GetVector(unsigned int nNodeK, double* pVect, int nOption) = 0;

protected:
    // One label per node of the model that has a scalar, at the node.
    int MakeNodeLabels(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS,
                       CPVSModelDataBase* pMD);
    int NodeLabels(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS, CPVSModelDataBase* pMD);
    int ToolTipLines(int nKind, unsigned int nKey, CArray<CString, CString&>& aText);
    int ProbeLine(int nKind, unsigned int nKey, CArray<CString, CString&>& aText);
    // One grid point per model node with a scalar, its value at the animation's sub-frame; the
    // point's grid index goes to mPointOf. The count of points.
    vtkIdType InsertNodePoints(CPVSModelDataFEM* pFEM, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, double dFactor,
                               vtkPoints* pPoints, vtkDoubleArray* pScalars,
                               CMap<unsigned int, unsigned int, vtkIdType, vtkIdType>& mPointOf);
    // Where a node's point stands: at the node unless the display moves it.
    virtual void DisplaceNodePoint(unsigned int nNodeK, int nOption, T_PVIST_ALL_D* pVS, double dFactor, double* p);
    // The grid points of the element's nodes into pIds; false when a node has no point or the
    // element no node.
    static bool ElemPointIds(const T_ELEM_D& e, const CMap<unsigned int, unsigned int, vtkIdType, vtkIdType>& mPointOf,
                             vtkIdList* pIds);
    // A two-node element's line contour from the scalars at its points in pIds.
    void MakeLineContourOfCell(CPVSModelDataBase* pMD, unsigned int nElemK, const T_ELEM_D& e,
                               vtkDoubleArray* pScalars, vtkIdList* pIds);
};
