#include "visualdata/CPVSVisualDataDgrmBand.h"
#include "visualdata/HostEntryGuard.h"

#include "MathFunc.h"
#include "PostVisualState.h"
#include "PVSModelData.h"
#include "PVSUtilFunc.h"

#include <vtkDataSet.h>

#include <cmath>
#include <initializer_list>

IMPLEMENT_DYNAMIC(CPVSVisualDataDgrmBand, CPVSVisualDataElemDgrm)

namespace {

VtxInfo_tag Vtx(const C3DPoint& p, int nFlag, double dValue)
{
    VtxInfo_tag v;
    v.point = p;
    v.flag = nFlag;
    v.value = dValue;
    return v;
}

void AddPolygon(std::initializer_list<VtxInfo_tag> vtx, CArray<T_PVS_POLY_D, T_PVS_POLY_D&>& aPoly)
{
    T_PVS_POLY_D poly;
    for (VtxInfo_tag v : vtx)
        poly.aVtx.Add(v);
    aPoly.Add(poly);
}

} // namespace

CPVSVisualDataDgrmBand::BandFrame CPVSVisualDataDgrmBand::MakeBandFrame(const double* pDir, const T_NODE_D& nodeI,
                                                                        const T_NODE_D& nodeJ) const
{
    const T_PVIST_SYMB_D* pSB = CPostVisualState::Instance()->GetCurrentPS();
    BandFrame f;
    f.I = C3DPoint(nodeI.dXyz[0], nodeI.dXyz[1], nodeI.dXyz[2]);
    f.J = C3DPoint(nodeJ.dXyz[0], nodeJ.dXyz[1], nodeJ.dXyz[2]);
    for (int c = 0; c < 3; ++c)
        f.dir[c] = pSB->bDgrmReverse ? -pDir[c] : pDir[c];
    f.dScale = pSB->dDgrmScale * m_dVDataSymbolFactor;
    return f;
}

void CPVSVisualDataDgrmBand::AddBandSegment(const BandFrame& f, double p0, double p1, double q0, double q1, int m,
                                            StepRule rule, CArray<T_PVS_POLY_D, T_PVS_POLY_D&>& aPoly) const
{
    for (int k = 0; k < m; ++k) {
        const double t0 = p0 + k * (p1 - p0) / m, t1 = p0 + (k + 1) * (p1 - p0) / m;
        const double w0 = q0 + k * (q1 - q0) / m, w1 = q0 + (k + 1) * (q1 - q0) / m;
        const BandStep step = rule(w0, w1);
        if (step == STEP_NONE)
            continue;
        // Axis points Pa and Pb, the band's tips Pc and Pd above them.
        C3DPoint Pa, Pb, Pc, Pd;
        CPVSUtilFunc::GetInnerLinePoint(t0, 1.0 - t0, f.I, f.J, Pa);
        CPVSUtilFunc::GetInnerLinePoint(t1, 1.0 - t1, f.I, f.J, Pb);
        CPVSUtilFunc::GetVectorDirectionPoint(f.dir, w0, f.dScale, Pa, Pc);
        CPVSUtilFunc::GetVectorDirectionPoint(f.dir, w1, f.dScale, Pb, Pd);
        if (step == STEP_QUAD) {
            AddPolygon({Vtx(Pa, 1, w0), Vtx(Pc, 1, w0), Vtx(Pd, 1, w1), Vtx(Pb, 0, w1)}, aPoly);
            continue;
        }
        const double r = std::fabs(w0) / (std::fabs(w0) + std::fabs(w1));
        C3DPoint Px;
        CPVSUtilFunc::GetInnerLinePoint(r, 1.0 - r, Pc, Pd, Px);
        const double x = w0 + (w1 - w0) * r;
        AddPolygon({Vtx(Pa, 1, w0), Vtx(Pc, 1, w0), Vtx(Px, 0, x)}, aPoly);
        AddPolygon({Vtx(Px, 1, x), Vtx(Pd, 1, w1), Vtx(Pb, 1, w1)}, aPoly);
    }
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
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return BuildGeom(pDataSet, pVS, pAS, pAnim, pMD, pA1, pA2, pInactive, pD2, aElemK); },
        [&] {
            aElemK.RemoveAll();
            if (pDataSet)
                pDataSet->Initialize();
        });
}

int CPVSVisualDataDgrmBand::MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return BuildLabels(aText, pVS); }, [&] { aText.RemoveAll(); });
}

int CPVSVisualDataDgrmBand::GetPostOutput4ToolTip(int nKind, unsigned int nKey, CArray<CString, CString&>& aText)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return ToolTipLines(nKind, nKey, aText); }, [&] { aText.RemoveAll(); });
}

int CPVSVisualDataDgrmBand::GetPostOutput4Probe(int nKind, unsigned int nKey, CArray<CString, CString&>& aText, int)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return ProbeLine(nKind, nKey, aText); }, [&] { aText.RemoveAll(); });
}
