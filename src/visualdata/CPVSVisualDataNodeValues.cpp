#include "visualdata/CPVSVisualDataNodeValues.h"
#include "visualdata/HostEntryGuard.h"

#include "PVSModelData.h"

#include <vtkDoubleArray.h>
#include <vtkIdList.h>
#include <vtkPoints.h>

IMPLEMENT_DYNAMIC(CPVSVisualDataNodeValues, CPVSVisualDataBase)

// Labels, tool tip and probe text are entries of the host's: a failure gives 0 and no lines.
int CPVSVisualDataNodeValues::MakeNodeLabels(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText,
                                             T_PVIST_ALL_D* pVS, CPVSModelDataBase* pMD)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return NodeLabels(aText, pVS, pMD); }, [&] { aText.RemoveAll(); });
}

int CPVSVisualDataNodeValues::NodeLabels(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS,
                                         CPVSModelDataBase* pMD)
{
    aText.RemoveAll();
    auto* pFEM = dynamic_cast<CPVSModelDataFEM*>(pMD);
    if (!pFEM)
        return 0;
    CString strFormat;
    if (pVS)
        pVS->vals.GetFormatString(strFormat);
    const int nOption = pVS ? pVS->nScalarOption : 0;
    for (int i = 0; i < pFEM->GetNodeNum(); ++i) {
        const unsigned int nNodeK = pFEM->GetNodeK(i);
        const T_NODE_D* pNode = pFEM->FindNodeD(nNodeK);
        double dValue = 0.0;
        T_VD_TEXT_PARAM_D t;
        if (!pNode || !GetScalar(nNodeK, dValue, nOption) || !GetTextValString(t.strText, pVS, strFormat, dValue))
            continue;
        for (int c = 0; c < 3; ++c)
            t.dPos[c] = pNode->dXyz[c];
        aText.Add(t);
    }
    return 1;
}

int CPVSVisualDataNodeValues::GetPostOutput4ToolTip(int nKind, unsigned int nKey, CArray<CString, CString&>& aText)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return ToolTipLines(nKind, nKey, aText); }, [&] { aText.RemoveAll(); });
}

int CPVSVisualDataNodeValues::ToolTipLines(int nKind, unsigned int nKey, CArray<CString, CString&>& aText)
{
    aText.RemoveAll();
    if (nKind == 2 || !GetDoc())
        return 0;
    T_VSUL_DATA_D vals;
    CClassNode clsNode(GetDoc()->GetModelDB());
    T_NODE_D node;
    if (!m_mVData.Lookup(static_cast<int>(nKey), vals) || !clsNode.Get(nKey, node))
        return 0;
    CString s;
    s.Format("Node No. %d", static_cast<int>(clsNode.GetNodeNoByKey(nKey)));
    aText.Add(s);
    const CArray<double, double>& a = vals.aValue;
    if (a.GetSize() == 0)
        return 0;
    if (a.GetSize() == 4) {
        const char* fmt[4] = {"Total Value : %g", "X Value : %g", "Y Value : %g", "Z Value : %g"};
        for (int k = 0; k < 4; ++k) {
            s.Format(fmt[k], a[k]);
            aText.Add(s);
        }
    } else {
        s.Format("Value : %g", a[0]);
        aText.Add(s);
    }
    return 1;
}

int CPVSVisualDataNodeValues::GetPostOutput4Probe(int nKind, unsigned int nKey, CArray<CString, CString&>& aText,
                                                  int)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return ProbeLine(nKind, nKey, aText); }, [&] { aText.RemoveAll(); });
}

int CPVSVisualDataNodeValues::ProbeLine(int nKind, unsigned int nKey, CArray<CString, CString&>& aText)
{
    aText.RemoveAll();
    if (nKind == 2)
        return 0;
    T_VSUL_DATA_D vals;
    if (!m_mVData.Lookup(static_cast<int>(nKey), vals) || vals.aValue.GetSize() == 0)
        return 0;
    CString s;
    s.Format("%g", vals.aValue[0]);
    aText.Add(s);
    return 1;
}

bool CPVSVisualDataNodeValues::ElemPointIds(const T_ELEM_D& e,
                                            const CMap<unsigned int, unsigned int, vtkIdType, vtkIdType>& mPointOf,
                                            vtkIdList* pIds)
{
    pIds->Reset();
    bool bAll = e.aNodeK.GetSize() > 0;
    for (int k = 0; k < e.aNodeK.GetSize() && bAll; ++k) {
        vtkIdType id = 0;
        bAll = mPointOf.Lookup(e.aNodeK[k], id) != 0;
        pIds->InsertNextId(id);
    }
    return bAll;
}

void CPVSVisualDataNodeValues::MakeLineContourOfCell(CPVSModelDataBase* pMD, unsigned int nElemK, const T_ELEM_D& e,
                                                     vtkDoubleArray* pScalars, vtkIdList* pIds)
{
    if (e.aNodeK.GetSize() != 2)
        return;
    const double dEnd[2] = {pScalars->GetValue(pIds->GetId(0)), pScalars->GetValue(pIds->GetId(1))};
    MakeLineContourData(pMD, nElemK, e, dEnd);
}

void CPVSVisualDataNodeValues::DisplaceNodePoint(unsigned int, int, T_PVIST_ALL_D*, double, double*) {}

vtkIdType CPVSVisualDataNodeValues::InsertNodePoints(CPVSModelDataFEM* pFEM, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS,
                                                     double dFactor, vtkPoints* pPoints, vtkDoubleArray* pScalars,
                                                     CMap<unsigned int, unsigned int, vtkIdType, vtkIdType>& mPointOf)
{
    const int nOption = pVS ? pVS->nScalarOption : 0;
    vtkIdType nNext = 0;
    for (int i = 0; i < pFEM->GetNodeNum(); ++i) {
        const unsigned int nNodeK = pFEM->GetNodeK(i);
        const T_NODE_D* pNode = pFEM->FindNodeD(nNodeK);
        double dValue = 0.0;
        if (!pNode || !GetScalar(nNodeK, dValue, nOption))
            continue;
        double p[3] = {pNode->dXyz[0], pNode->dXyz[1], pNode->dXyz[2]};
        DisplaceNodePoint(nNodeK, nOption, pVS, dFactor, p);
        dValue = GetSubFrameVal(pAS, dValue, dFactor);
        pPoints->InsertPoint(nNext, p);
        pScalars->InsertValue(nNext, dValue);
        mPointOf.SetAt(nNodeK, nNext);
        ++nNext;
    }
    return nNext;
}
