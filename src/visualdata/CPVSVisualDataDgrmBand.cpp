#include "visualdata/CPVSVisualDataDgrmBand.h"

#include "MathFunc.h"
#include "PostVisualState.h"
#include "PVSModelData.h"

#include <vtkDataSet.h>

IMPLEMENT_DYNAMIC(CPVSVisualDataDgrmBand, CPVSVisualDataElemDgrm)

VtxInfo_tag CPVSVisualDataDgrmBand::Vtx(const C3DPoint& p, int nFlag, double dValue)
{
    VtxInfo_tag v;
    v.point = p;
    v.flag = nFlag;
    v.value = dValue;
    return v;
}

double CPVSVisualDataDgrmBand::BandScaleAndDir(const double* pDir, double* dir) const
{
    const T_PVIST_SYMB_D* pSB = CPostVisualState::Instance()->GetCurrentPS();
    for (int c = 0; c < 3; ++c)
        dir[c] = pSB->bDgrmReverse ? -pDir[c] : pDir[c];
    return pSB->dDgrmScale * m_dVDataSymbolFactor;
}

void CPVSVisualDataDgrmBand::GetDgrmStations(CArray<double, double>& aPos) const { aPos.Copy(m_pvtif.aDgrmPos); }

int CPVSVisualDataDgrmBand::MakeLabelPolygons(T_VSUL_DATA_D& vals, double* pDir, T_NODE_D& nodeI, T_NODE_D& nodeJ,
                                              CArray<T_PVS_POLY_D, T_PVS_POLY_D&>& aPoly)
{
    return MakeDgrmPolygon(m_pvtif, vals, pDir, nodeI, nodeJ, aPoly, 1);
}

int CPVSVisualDataDgrmBand::BuildLabels(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS)
{
    aText.RemoveAll();
    auto* pFEM = dynamic_cast<CPVSModelDataFEM*>(GetModelData());
    if (!pFEM)
        return 0;
    CString strFormat;
    if (pVS)
        pVS->vals.GetFormatString(strFormat);
    else
        T_PVIST_VALS_D().GetFormatString(strFormat);
    CArray<double, double> aPos;
    GetDgrmStations(aPos);
    for (int i = 0; i < pFEM->GetElemNum(); ++i) {
        const unsigned int k = pFEM->GetElemK(i);
        T_VSUL_DATA_D vals;
        T_ELEM_D e;
        if (!m_mVData.Lookup(static_cast<int>(k), vals) || !pFEM->GetElemD(k, e) || e.aNodeK.GetSize() != 2)
            continue;
        if (vals.GetSize() != aPos.GetSize())
            return 0;
        C3DPoint dir;
        T_NODE_D n1, n2;
        if (vals.GetSize() == 0 || !GetDgrmVect(k, dir) || !pFEM->GetNodeD(e.aNodeK[0], n1) ||
            !pFEM->GetNodeD(e.aNodeK[1], n2))
            continue;
        double d[3] = {dir.x, dir.y, dir.z};
        CMathFunc::mathNormalize(d);
        CArray<T_PVS_POLY_D, T_PVS_POLY_D&> aPoly;
        if (!MakeLabelPolygons(vals, d, n1, n2, aPoly) || aPoly.GetSize() < 2)
            continue;
        const T_PVS_POLY_D& first = aPoly[0];
        const T_PVS_POLY_D& last = aPoly[aPoly.GetSize() - 1];
        const VtxInfo_tag* tips[2] = {first.aVtx.GetSize() > 1 ? &first.aVtx[1] : nullptr, nullptr};
        // A last polygon of neither three nor four vertices gives no second label.
        if (last.aVtx.GetSize() == 3)
            tips[1] = &last.aVtx[1];
        else if (last.aVtx.GetSize() == 4)
            tips[1] = &last.aVtx[2];
        for (const VtxInfo_tag* pTip : tips) {
            T_VD_TEXT_PARAM_D label;
            if (!pTip || !GetTextValString(label.strText, pVS, strFormat, pTip->value))
                continue;
            label.dPos[0] = pTip->point.x;
            label.dPos[1] = pTip->point.y;
            label.dPos[2] = pTip->point.z;
            aText.Add(label);
        }
    }
    return 1;
}

int CPVSVisualDataDgrmBand::StationValues(int nKind, unsigned int nKey, CArray<double, double>& aPos,
                                          T_VSUL_DATA_D& vals)
{
    if (nKind == 1)
        return 0;
    GetDgrmStations(aPos);
    return m_mVData.Lookup(static_cast<int>(nKey), vals) && vals.GetSize() == aPos.GetSize() ? 1 : 0;
}

int CPVSVisualDataDgrmBand::ToolTipLines(int nKind, unsigned int nKey, CArray<CString, CString&>& aText)
{
    aText.RemoveAll();
    CArray<double, double> aPos;
    T_VSUL_DATA_D vals;
    T_ELEM_D e;
    if (!StationValues(nKind, nKey, aPos, vals) || !m_clsElem.Get(nKey, e))
        return 0;
    CString s;
    s.Format("Element No. %d", static_cast<int>(m_clsElem.GetElemNoByKey(nKey)));
    aText.Add(s);
    for (int i = 0; i < vals.GetSize(); ++i) {
        s.Format(" %3.2lf L : %g", aPos[i], vals.aValue[i]);
        aText.Add(s);
    }
    return 1;
}

int CPVSVisualDataDgrmBand::ProbeLine(int nKind, unsigned int nKey, CArray<CString, CString&>& aText)
{
    aText.RemoveAll();
    CArray<double, double> aPos;
    T_VSUL_DATA_D vals;
    if (!StationValues(nKind, nKey, aPos, vals))
        return 0;
    CString strLine, s;
    for (int i = 0; i < vals.GetSize(); ++i) {
        s.Format("%3.2lf L:%g  ", aPos[i], vals.aValue[i]);
        strLine += s;
    }
    aText.Add(strLine);
    return 1;
}

int CPVSVisualDataDgrmBand::MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS,
                                          CAnimationEngine* pAnim, CPVSModelDataBase* pMD, CArray<int, int>* pA1,
                                          CArray<int, int>* pA2, vtkDataSet* pInactive, vtkDataSet* pD2,
                                          CArray<unsigned int, unsigned int>& aElemK)
{
    try {
        return BuildGeom(pDataSet, pVS, pAS, pAnim, pMD, pA1, pA2, pInactive, pD2, aElemK);
    } catch (...) {
        aElemK.RemoveAll();
        if (pDataSet)
            pDataSet->Initialize();
        return 0;
    }
}

int CPVSVisualDataDgrmBand::MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS)
{
    try {
        return BuildLabels(aText, pVS);
    } catch (...) {
        aText.RemoveAll();
        return 0;
    }
}

int CPVSVisualDataDgrmBand::GetPostOutput4ToolTip(int nKind, unsigned int nKey, CArray<CString, CString&>& aText)
{
    try {
        return ToolTipLines(nKind, nKey, aText);
    } catch (...) {
        aText.RemoveAll();
        return 0;
    }
}

int CPVSVisualDataDgrmBand::GetPostOutput4Probe(int nKind, unsigned int nKey, CArray<CString, CString&>& aText, int)
{
    try {
        return ProbeLine(nKind, nKey, aText);
    } catch (...) {
        aText.RemoveAll();
        return 0;
    }
}
