#include "visualdata/CPVSVisualDataElemDgrmEvent.h"
#include "visualdata/HostEntryGuard.h"

#include "FactoryPVS.h"
#include "GlobalFunc.h"
#include "MathFunc.h"
#include "PostCtrlBase.h"
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
#include <vector>

IMPLEMENT_DYNAMIC(CPVSVisualDataElemDgrmEvent, CPVSVisualDataDgrmBand)

namespace {

enum { ENGR_ELEM = 2 };

// Reads one answer of the post control whole, however long: a first read into the buffer as
// it stands, a second when the answer is longer. The count of doubles read; 0 on failure.
template <class Read>
int ReadWhole(std::vector<double>& buf, Read read)
{
    int n = 0;
    if (!read(n, buf.data(), static_cast<int>(buf.size())) || n <= 0)
        return 0;
    if (n > static_cast<int>(buf.size())) {
        buf.resize(static_cast<size_t>(n));
        int m = 0;
        if (!read(m, buf.data(), n) || m != n)
            return 0;
    }
    return n;
}

} // namespace

int CPVSVisualDataElemDgrmEvent::GetForceCompID(unsigned int nEventCode, unsigned int& nForceComp, int& nKind)
{
    static const unsigned int family1[6] = {3008, 3005, 3004, 3010, 3001, 3000};
    if (nEventCode >= 80001 && nEventCode <= 80006) {
        nForceComp = family1[nEventCode - 80001];
        nKind = 1;
        return 1;
    }
    if (nEventCode >= 80101 && nEventCode <= 80106) {
        nForceComp = 5001 + (nEventCode - 80101);
        nKind = 2;
        return 1;
    }
    return 0;
}

CPVSVisualDataElemDgrmEvent::CPVSVisualDataElemDgrmEvent(T_VD_PARAM_D& param) : CPVSVisualDataDgrmBand(param)
{
    m_nDgrmKind = 1;
    m_pCompanionDgrm = nullptr;
    if (!param.pDoc)
        return;
    CClassPVtif clsRow(param.pDoc->GetPostDB());
    T_PVTIF_D row;
    if (!clsRow.Get(param.nPVtifK, row) || row.aComp.GetSize() == 0)
        return;
    unsigned int nForceComp = 0;
    if (!GetForceCompID(row.aComp[0], nForceComp, m_nDgrmKind))
        return;
    CArray<unsigned int, unsigned int> aKey;
    clsRow.GetKeyListByLSifK(row.nStepK, 0, aKey);
    for (int i = 0; i < aKey.GetSize(); ++i) {
        T_PVTIF_D cand;
        if (!clsRow.Get(aKey[i], cand) || cand.aComp.GetSize() == 0 || cand.aComp[0] != nForceComp)
            continue;
        // The 3008 rows of a step exist per entity: only the event row's entity is its companion.
        if (nForceComp == 3008 && cand.nEngrK != row.nEngrK)
            continue;
        T_VD_PARAM_D companion = param;
        companion.nPVtifK = aKey[i];
        m_pCompanionDgrm = new CPVSVisualDataElemDgrm(companion);
        return;
    }
}

CPVSVisualDataElemDgrmEvent::~CPVSVisualDataElemDgrmEvent()
{
    delete m_pCompanionDgrm;
    m_pCompanionDgrm = nullptr;
}

// An entry of the host's: whatever escapes the reading (a failed allocation) ends the row's
// query and gives the failure value with empty tables.
int CPVSVisualDataElemDgrmEvent::MakeVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return ReadVData(pVS, pAS, bVector); },
        [&] {
            m_mVData.RemoveAll();
            m_mDgrmVect.RemoveAll();
        });
}

int CPVSVisualDataElemDgrmEvent::ReadVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D* pAS, int bVector)
{
    if (m_pCompanionDgrm)
        m_pCompanionDgrm->MakeVData(pVS, pAS, bVector);
    else
        SetMinMaxVal(0u, 1.0, 1);
    CArray<unsigned int, unsigned int> aElemK;
    if (!GetActiveElemK(aElemK) || aElemK.GetSize() == 0)
        return 0;
    const int n = aElemK.GetSize();
    InitVDataHashTable(n);
    m_mDgrmVect.RemoveAll();
    m_mDgrmVect.InitHashTable(GF_GetHashSizeByCount(std::max(n / 5, 1)));
    CPostCtrlBase* pPost = GetPostCtrl();
    if (!pPost)
        return 0;
    const unsigned int nRowK = GetPVtifK();
    pPost->BeginQueryRow(nRowK);
    const kvpvs::visualdata::CScopeEnd endRow([&] { pPost->EndQueryRow(); });
    IQueryPVS* pQuery = IQueryPVS::Instance();
    std::vector<double> events(50), dir(50);
    for (int i = 0; i < n; ++i) {
        const unsigned int nElemK = aElemK[i];
        const unsigned int nId = pQuery ? pQuery->GetElemKeyOrId(nElemK, nullptr) : nElemK;
        const int nEvents = ReadWhole(events, [&](int& c, double* p, int nMax) {
            return pPost->GetElemValues(nId, nRowK, c, p, nMax);
        });
        if (nEvents == 0)
            continue;
        const int nDir = ReadWhole(dir, [&](int& c, double* p, int nMax) {
            return pPost->GetElemDgrmDir(nId, nRowK, c, p, nMax);
        });
        if (nDir == 0)
            continue;
        T_VSUL_DATA_D vals;
        vals.aValue.SetSize(nEvents);
        for (int k = 0; k < nEvents; ++k)
            vals.aValue[k] = events[static_cast<size_t>(k)];
        m_mVData.SetAt(static_cast<int>(nElemK), vals);
        // A shorter answer gives the direction as far as it goes.
        C3DPoint d(dir[0], nDir > 1 ? dir[1] : 0.0, nDir > 2 ? dir[2] : 0.0);
        m_mDgrmVect.SetAt(static_cast<int>(nElemK), d);
    }
    return 1;
}

int CPVSVisualDataElemDgrmEvent::MakeVGeomData(vtkDataSet*, T_PVIST_ALL_D*, T_PVIST_ANIM_D*, CAnimationEngine*,
                                               CPVSModelDataBase*, CArray<int, int>*, CArray<int, int>*,
                                               CArray<int, int>*, CArray<int, int>*)
{
    return 0;
}

int CPVSVisualDataElemDgrmEvent::BuildGeom(vtkDataSet* pDataSet, T_PVIST_ALL_D*, T_PVIST_ANIM_D* pAS,
                                               CAnimationEngine* pAnim, CPVSModelDataBase* pMD, CArray<int, int>*,
                                               CArray<int, int>*, vtkDataSet* pInactive, vtkDataSet*,
                                               CArray<unsigned int, unsigned int>& aElemK)
{
    auto* pFEM = dynamic_cast<CPVSModelDataFEM*>(pMD);
    vtkPointSet* pSet = vtkPointSet::SafeDownCast(pDataSet);
    if (!pSet || !pFEM)
        return 0;
    aElemK.RemoveAll();
    T_PENGR_D engr;
    if (!GetDoc() || !CClassPEngr(GetDoc()->GetPostDB()).Get(m_pvtif.nEngrK, engr) || engr.nKind != ENGR_ELEM)
        return 0;
    auto pPoints = vtkSmartPointer<vtkPoints>::Take(vtkPoints::New(VTK_DOUBLE));
    vtkSmartPointer<vtkDoubleArray> pScalars = vtkSmartPointer<vtkDoubleArray>::New();
    const double dFactor = GetAnimFactor(pAS, pAnim);
    const T_PVIST_SYMB_D* pSB = CPostVisualState::Instance()->GetCurrentPS();
    CMap<unsigned int, unsigned int, unsigned int, unsigned int> mMissing;
    mMissing.InitHashTable(1000003);
    int nPoint = 0;
    for (int i = 0; i < pFEM->GetElemNum(); ++i) {
        const unsigned int k = pFEM->GetElemK(i);
        // Every lookup below copies: the unit band, the animation and the normalisation work on
        // the copies, so the stored event states and directions stay as read for the next frame.
        T_VSUL_DATA_D events, dgrm;
        if (!m_mVData.Lookup(static_cast<int>(k), events))
            continue;
        if (m_pCompanionDgrm) {
            if (!m_pCompanionDgrm->LookupVData(k, dgrm)) {
                mMissing.SetAt(k, k);
                continue;
            }
        } else {
            dgrm = events;
            for (int j = 0; j < dgrm.GetSize(); ++j)
                dgrm.aValue[j] = 1.0;
        }
        T_ELEM_D e;
        if (!pFEM->GetElemD(k, e) || e.aNodeK.GetSize() != 2 || dgrm.GetSize() < 1)
            continue;
        C3DPoint dir;
        if (!GetDgrmVect(k, dir))
            continue;
        if (m_pCompanionDgrm && !m_pCompanionDgrm->GetDgrmVect(k, dir))
            continue;
        double d[3] = {dir.x, dir.y, dir.z};
        CMathFunc::mathNormalize(d);
        aElemK.Add(k);
        T_NODE_D n1, n2;
        if (!pFEM->GetNodeD(e.aNodeK[0], n1) || !pFEM->GetNodeD(e.aNodeK[1], n2))
            continue;
        for (int j = 0; j < dgrm.GetSize(); ++j)
            dgrm.aValue[j] = GetSubFrameVal(pAS, dgrm.aValue[j], dFactor);
        CArray<T_PVS_POLY_D, T_PVS_POLY_D&> aPoly;
        if (MakeDgrmPolygonEvent(m_pvtif, dgrm, events, d, n1, n2, aPoly))
            MakeDgrmPolygonVTK(pPoints, pScalars, pDataSet, nPoint, aPoly);
    }
    pSet->SetPoints(pPoints);
    pDataSet->GetPointData()->SetScalars(pScalars);
    if (!mMissing.IsEmpty() && pInactive) {
        if (pSB->nInactiveDisp == 2)
            MakeInactiveElemDataSet(1, mMissing, pFEM, pInactive);
        else if (pSB->nInactiveDisp == 3)
            MakeInactiveElemDataSet(2, mMissing, pFEM, pInactive);
    }
    return 1;
}

int CPVSVisualDataElemDgrmEvent::MakeDgrmPolygonEvent(T_PVTIF_D& row, T_VSUL_DATA_D& dgrm, T_VSUL_DATA_D& events,
                                                      double* pDir, T_NODE_D& n1, T_NODE_D& n2,
                                                      CArray<T_PVS_POLY_D, T_PVS_POLY_D&>& aPoly)
{
    aPoly.RemoveAll();
    const int nCount = dgrm.GetSize();
    if (!pDir || nCount == 0 || nCount % 2 != 0 || nCount != row.aDgrmPos.GetSize() || events.GetSize() != 2)
        return 0;
    const int n = nCount / 2, m = 16 / n;
    const BandFrame f = MakeBandFrame(pDir, n1, n2);
    // Steps whose values are both next to nothing are left out; a step whose values nearly
    // touch zero is split at the axis even when they keep their sign.
    const StepRule rule = [](double w0, double w1) {
        if (std::fabs(w0) < 1e-15 && std::fabs(w1) < 1e-15)
            return STEP_NONE;
        return w0 * w1 < 1e-15 ? STEP_CROSS : STEP_QUAD;
    };
    for (int s = 0; s < n; ++s) {
        // The first quarter of the segments takes the first end's state, the last quarter the
        // second end's; between them family 1 keeps the first end's, family 2 has none.
        double dEvent;
        if (s < n / 4)
            dEvent = events.aValue[0];
        else if (s > 3 * n / 4)
            dEvent = events.aValue[1];
        else
            dEvent = m_nDgrmKind == 1 ? events.aValue[0] : -1.0;
        const int nFirst = aPoly.GetSize();
        AddBandSegment(f, row.aDgrmPos[2 * s], row.aDgrmPos[2 * s + 1], dgrm.aValue[2 * s], dgrm.aValue[2 * s + 1], m,
                       rule, aPoly);
        for (int k = nFirst; k < aPoly.GetSize(); ++k)
            for (int v = 0; v < aPoly[k].aVtx.GetSize(); ++v)
                aPoly[k].aVtx[v].value = dEvent;
    }
    return 1;
}
