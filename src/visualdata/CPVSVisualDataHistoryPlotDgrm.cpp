#include "visualdata/CPVSVisualDataHistoryPlotDgrm.h"
#include "visualdata/HistPlotProgress.h"
#include "visualdata/HostEntryGuard.h"

#include "timehistory/CPVSTHCalcHistPlotData.h"

#include "GlobalFunc.h"
#include "MathFunc.h"
#include "MsgDll.h"
#include "PostCtrlGeoTech.h"
#include "PostGeneralTable.h"
#include "PostVisualState.h"
#include "PVSModelData.h"

#include <vtkDataSet.h>
#include <vtkDoubleArray.h>
#include <vtkPointData.h>
#include <vtkPointSet.h>
#include <vtkPoints.h>
#include <vtkSmartPointer.h>

#include <algorithm>
#include <cmath>

IMPLEMENT_DYNAMIC(CPVSVisualDataHistoryPlotDgrm, CPVSVisualDataDgrmBand)

namespace {

CPVSModelDataFEM* FemOf(CPVSModelDataBase* pMD) { return dynamic_cast<CPVSModelDataFEM*>(pMD); }

} // namespace

CPVSVisualDataHistoryPlotDgrm::CPVSVisualDataHistoryPlotDgrm(int nType, T_VD_PARAM_D& param)
    : CPVSVisualDataDgrmBand(static_cast<unsigned int>(nType), param), m_pUserDefData(new T_VD_HISTPLOT_TVCKVR_D)
{
    m_pUserDefData->Initialize();
    if (const auto* p = dynamic_cast<const T_VD_HISTPLOT_TVCKVR_D*>(param.pUserDefData))
        *m_pUserDefData = *p;
}

CPVSVisualDataHistoryPlotDgrm::~CPVSVisualDataHistoryPlotDgrm() { delete m_pUserDefData; }

// An entry of the host's: whatever escapes the reading (a failed allocation), or cuts the value
// source's query short, gives the failure value with empty tables, as a part of them would be
// drawn as the result.
int CPVSVisualDataHistoryPlotDgrm::MakeVData(T_PVIST_ALL_D*, T_PVIST_ANIM_D*, int)
{
    return kvpvs::visualdata::GuardedEntry(0, [&] { return ReadVData(); }, [&] { DropValues(); });
}

int CPVSVisualDataHistoryPlotDgrm::DropValues()
{
    m_mVData.RemoveAll();
    m_mDgrmVect.RemoveAll();
    return 0;
}

int CPVSVisualDataHistoryPlotDgrm::ReadVData()
{
    CArray<unsigned int, unsigned int> aActive;
    if (!GetActiveElemK(aActive))
        return 0;
    auto* pPost = dynamic_cast<CPostCtrlGeoTech*>(GetPostCtrl());
    CPostCtrlAnlTypeBase* pAnl = nullptr;
    if (!pPost || !pPost->GetPostCtrlSub(m_pUserDefData->m_nAcasKey, &pAnl) || !pAnl)
        return 0;
    const int nResultType = m_pUserDefData->m_nResultType;
    const bool bTruss = nResultType == 3 || nResultType == 4;
    if (!bTruss && nResultType != 5 && nResultType != 6)
        return 0;
    CArray<unsigned int, unsigned int> aTyped, aElemK;
    pAnl->GetSeqIdInfo()->GetElemKeyListByType(bTruss ? 1 : 2, aTyped);
    CArrayUtil::IntersectUINT(aTyped, aActive, aElemK);
    const int n = aElemK.GetSize();

    InitVDataHashTable(n);
    m_mDgrmVect.RemoveAll();
    m_mDgrmVect.InitHashTable(GF_GetHashSizeByCount(std::max(n / 5, 1)));

    CHistPlotProgress progress(n);
    CPVSTHCalcHistPlotData src(m_pUserDefData->m_nAcasKey);
    // The query is ended whatever happens to the reading.
    const kvpvs::visualdata::CScopeEnd endQuery([&] { src.EndQuery(); });
    // A query that gives no step leaves every element out; one cut short fails the picture.
    if ((!src.BeginQuery(nResultType) && src.HasFailed()) || !ReadElements(src, aElemK, bTruss, progress))
        return DropValues();
    return 1;
}

int CPVSVisualDataHistoryPlotDgrm::ReadElements(CPVSTHCalcHistPlotData& src,
                                                const CArray<unsigned int, unsigned int>& aElemK, bool bTruss,
                                                CHistPlotProgress& progress)
{
    const int n = aElemK.GetSize();
    for (int i = 0; i < n; ++i) {
        progress.At(i);
        const unsigned int nElemK = aElemK[i];
        double v[2] = {0.0, 0.0};
        int bRead = 0;
        if (bTruss) {
            T_PSTRT_D rec;
            bRead = src.GetTrussValue(m_pUserDefData->m_nTimeStep, nElemK, rec) && CalcStrtData(rec, v);
        } else {
            T_PSTRB_D rec;
            bRead = src.GetBeamValue(m_pUserDefData->m_nTimeStep, nElemK, rec) && CalcStrbData(rec, v);
        }
        // An element without a record (results not ready, a step outside the case, a recovery
        // array of another size) is left out; a reading cut short fails the picture.
        if (src.HasFailed())
            return 0;
        if (!bRead)
            continue;
        T_VSUL_DATA_D vals;
        vals.aValue.Add(v[0]);
        vals.aValue.Add(v[1]);
        m_mVData.SetAt(static_cast<int>(nElemK), vals);
        SetMinMaxVal(nElemK, v[0], 1);
        SetMinMaxVal(nElemK, v[1], 1);
        C3DPoint dir;
        if (CalDiagramDir(nElemK, dir))
            m_mDgrmVect.SetAt(static_cast<int>(nElemK), dir);
    }
    return 1;
}

int CPVSVisualDataHistoryPlotDgrm::CalcStrtData(T_PSTRT_D& rec, double* pVal)
{
    pVal[0] = pVal[1] = 0.0;
    if (m_pUserDefData->m_nResultType == 3) {
        pVal[0] = rec.dForceI;
        pVal[1] = rec.dForceJ;
    } else if (m_pUserDefData->m_nResultType == 4) {
        pVal[0] = rec.dStressI;
        pVal[1] = rec.dStressJ;
    }
    return 1;
}

int CPVSVisualDataHistoryPlotDgrm::CalcStrbData(T_PSTRB_D& rec, double* pVal)
{
    pVal[0] = pVal[1] = 0.0;
    const int c = m_pUserDefData->m_nComponent;
    if (m_pUserDefData->m_nResultType == 5) {
        if (c >= 0 && c <= 5) {
            // End I opens the first quarter, end J closes the last.
            pVal[0] = rec.dForce[0][c];
            pVal[1] = rec.dForce[3][6 + c];
        }
        return 1;
    }
    if (m_pUserDefData->m_nResultType != 6 || c < 0 || c > 11)
        return 1;
    if (c <= 6) {
        pVal[0] = rec.dStress[0][c];
        pVal[1] = rec.dStress[3][7 + c];
    } else if (c == 7) {
        // "Comb": the corner stress of largest magnitude at each end.
        for (int e = 0; e < 2; ++e) {
            double d = 0.0;
            for (int k = 0; k < 4; ++k) {
                const double s = e == 0 ? rec.dStress[0][16 + 2 * k] : rec.dStress[3][17 + 2 * k];
                if (std::fabs(s) > std::fabs(d))
                    d = s;
            }
            pVal[e] = d;
        }
    } else {
        // "Comb 1" to "Comb 4": one corner at both ends.
        const int k = c - 8;
        pVal[0] = rec.dStress[0][16 + 2 * k];
        pVal[1] = rec.dStress[3][17 + 2 * k];
    }
    return 1;
}

int CPVSVisualDataHistoryPlotDgrm::CalDiagramDir(unsigned int nElemK, C3DPoint& dir)
{
    dir = C3DPoint();
    double axis[3][3];
    if (!m_clsElem.calcFrameLocalVector(nElemK, axis, 0))
        return 0;
    const int t = m_pUserDefData->m_nResultType, c = m_pUserDefData->m_nComponent;
    int nAxis = 2;
    if (t == 5) {
        if (c < 0 || c > 5)
            nAxis = 0;
        else if (c == 2 || c == 5)
            nAxis = 1;
    } else if (t == 6) {
        if (c < 0 || c > 11)
            nAxis = 0;
        else if (c == 1 || c == 5 || c == 6)
            nAxis = 1;
    }
    dir = C3DPoint(axis[nAxis][0], axis[nAxis][1], axis[nAxis][2]);
    return 1;
}

int CPVSVisualDataHistoryPlotDgrm::GetDgrmVect(unsigned int nElemK, C3DPoint& dir)
{
    return m_mDgrmVect.Lookup(static_cast<int>(nElemK), dir) ? 1 : 0;
}

int CPVSVisualDataHistoryPlotDgrm::MakeDgrmPolygon(T_VSUL_DATA_D& vals, double* pDir, T_NODE_D& nodeI,
                                                   T_NODE_D& nodeJ, CArray<T_PVS_POLY_D, T_PVS_POLY_D&>& aPoly)
{
    const int nCount = vals.GetSize();
    if (!pDir || nCount == 0 || nCount % 2 != 0)
        return 0;
    aPoly.RemoveAll();
    const int nSeg = nCount / 2;
    const BandFrame f = MakeBandFrame(pDir, nodeI, nodeJ);
    // Every step is drawn; only a change of sign inside it splits it.
    const StepRule rule = [](double a, double b) { return a * b >= 0.0 ? STEP_QUAD : STEP_CROSS; };
    for (int s = 0; s < nSeg; ++s)
        AddBandSegment(f, static_cast<double>(s) / nSeg, static_cast<double>(s + 1) / nSeg, vals.aValue[2 * s],
                       vals.aValue[2 * s + 1], 16 / nSeg, rule, aPoly);
    return 1;
}

int CPVSVisualDataHistoryPlotDgrm::BuildGeom(vtkDataSet* pDataSet, T_PVIST_ALL_D*, T_PVIST_ANIM_D* pAS,
                                                 CAnimationEngine* pAnim, CPVSModelDataBase* pMD, CArray<int, int>*,
                                                 CArray<int, int>*, vtkDataSet* pInactive, vtkDataSet*,
                                                 CArray<unsigned int, unsigned int>& aElemK)
{
    CPVSModelDataFEM* pFEM = FemOf(pMD);
    vtkPointSet* pSet = vtkPointSet::SafeDownCast(pDataSet);
    if (!pSet || !pFEM)
        return 0;
    aElemK.RemoveAll();
    auto pPoints = vtkSmartPointer<vtkPoints>::Take(vtkPoints::New(VTK_DOUBLE));
    vtkSmartPointer<vtkDoubleArray> pScalars = vtkSmartPointer<vtkDoubleArray>::New();
    const double dFactor = GetAnimFactor(pAS, pAnim);
    CMap<unsigned int, unsigned int, unsigned int, unsigned int> mInactive;
    mInactive.InitHashTable(1000003);
    int nPoint = 0;
    for (int i = 0; i < pFEM->GetElemNum(); ++i) {
        const unsigned int k = pFEM->GetElemK(i);
        // The lookups copy: animating the values and normalising the direction below leave the
        // stored tables as read, so every frame starts from them.
        T_VSUL_DATA_D vals;
        if (!m_mVData.Lookup(static_cast<int>(k), vals)) {
            mInactive.SetAt(k, k);
            continue;
        }
        T_ELEM_D e;
        C3DPoint dir;
        if (!pFEM->GetElemD(k, e) || e.aNodeK.GetSize() != 2 || vals.GetSize() == 0 || !GetDgrmVect(k, dir))
            continue;
        aElemK.Add(k);
        double d[3] = {dir.x, dir.y, dir.z};
        CMathFunc::mathNormalize(d);
        T_NODE_D nI, nJ;
        if (!pFEM->GetNodeD(e.aNodeK[0], nI) || !pFEM->GetNodeD(e.aNodeK[1], nJ))
            continue;
        for (int j = 0; j < vals.GetSize(); ++j)
            vals.aValue[j] = GetSubFrameVal(pAS, vals.aValue[j], dFactor);
        CArray<T_PVS_POLY_D, T_PVS_POLY_D&> aPoly;
        if (MakeDgrmPolygon(vals, d, nI, nJ, aPoly))
            MakeDgrmPolygonVTK(pPoints, pScalars, pDataSet, nPoint, aPoly);
    }
    pSet->SetPoints(pPoints);
    pDataSet->GetPointData()->SetScalars(pScalars);

    const int nDisp = CPostVisualState::Instance()->GetCurrentPS()->nInactiveDisp;
    if (!mInactive.IsEmpty() && pInactive && nDisp >= 2 && nDisp <= 6)
        MakeInactiveElemDataSet(nDisp - 1, mInactive, pFEM, pInactive);
    return 1;
}

void CPVSVisualDataHistoryPlotDgrm::GetDgrmStations(CArray<double, double>& aPos) const
{
    aPos.RemoveAll();
    aPos.Add(0.0);
    aPos.Add(1.0);
}

int CPVSVisualDataHistoryPlotDgrm::MakeLabelPolygons(T_VSUL_DATA_D& vals, double* pDir, T_NODE_D& nodeI,
                                                     T_NODE_D& nodeJ, CArray<T_PVS_POLY_D, T_PVS_POLY_D&>& aPoly)
{
    return MakeDgrmPolygon(vals, pDir, nodeI, nodeJ, aPoly);
}
