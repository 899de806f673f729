#include "visualdata/CPVSVisualDataHistoryPlotStrs.h"
#include "visualdata/HistPlotProgress.h"
#include "visualdata/HostEntryGuard.h"

#include "recovery/drivers/result_units.h"
#include "recovery/drivers/solid_families.h"
#include "timehistory/CPVSTHCalcHistPlotData.h"

#include "GlobalFunc.h"
#include "PostCtrlGeoTech.h"
#include "PostVisualState.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>
#include <optional>

IMPLEMENT_DYNAMIC(CPVSVisualDataHistoryPlotStrs, CPVSVisualDataElem)

CPVSVisualDataHistoryPlotStrs::CPVSVisualDataHistoryPlotStrs(int nType, T_VD_PARAM_D& param)
    : CPVSVisualDataElem(static_cast<unsigned int>(nType), param), m_pUserDefData(new T_VD_HISTPLOT_TVCKVR_D)
{
    m_pUserDefData->Initialize();
    if (const auto* p = dynamic_cast<const T_VD_HISTPLOT_TVCKVR_D*>(param.pUserDefData))
        *m_pUserDefData = *p;
}

CPVSVisualDataHistoryPlotStrs::~CPVSVisualDataHistoryPlotStrs() { delete m_pUserDefData; }

int CPVSVisualDataHistoryPlotStrs::GetVisualMethodType(T_PVIST_ALL_D* pVS) { return pVS && pVS->bAverage ? 1 : 2; }

double CPVSVisualDataHistoryPlotStrs::AverageStart(int nMode)
{
    switch (nMode) {
    case 2: return -DBL_MAX;
    case 3: case 5: return DBL_MAX;
    default: return 0.0;
    }
}

double CPVSVisualDataHistoryPlotStrs::AverageCombine(int nMode, double dStored, double dValue)
{
    switch (nMode) {
    case 2: return std::max(dStored, dValue);
    case 3: return dValue <= dStored ? dValue : dStored;
    case 4: return std::max(std::fabs(dStored), std::fabs(dValue));
    case 5: return std::fabs(dValue) <= std::fabs(dStored) ? std::fabs(dValue) : std::fabs(dStored);
    default: return dStored + dValue;
    }
}

namespace {

using ReadFn = int (CPVSTHCalcHistPlotData::*)(int, unsigned int, int, int, int, int, double&);

struct T_STRS_SOURCE {
    int nElemType[2];
    ReadFn pfnRead;
};

const T_STRS_SOURCE* SourceOf(int nResultType)
{
    static const T_STRS_SOURCE s[6] = {
        {{10, 11}, &CPVSTHCalcHistPlotData::GetPlstrnStress}, {{10, 11}, &CPVSTHCalcHistPlotData::GetPlstrnStrain},
        {{15, 16}, &CPVSTHCalcHistPlotData::GetSolidStress},  {{15, 16}, &CPVSTHCalcHistPlotData::GetSolidStrain},
        {{5, 6}, &CPVSTHCalcHistPlotData::GetPlateUnitForce}, {{5, 6}, &CPVSTHCalcHistPlotData::GetPlateStress},
    };
    return nResultType >= 7 && nResultType <= 12 ? &s[nResultType - 7] : nullptr;
}

} // namespace

// An entry of the host's: whatever escapes the reading, or cuts the value source's query
// short, gives the failure value with empty tables, the result files taken back.
int CPVSVisualDataHistoryPlotStrs::MakeVData(T_PVIST_ALL_D* pVS, T_PVIST_ANIM_D*, int)
{
    return kvpvs::visualdata::GuardedEntry(0, [&] { return ReadVData(pVS); }, [&] { DropValues(); });
}

int CPVSVisualDataHistoryPlotStrs::DropValues()
{
    m_mVData.RemoveAll();
    m_mElemCenterVal.RemoveAll();
    return 0;
}

int CPVSVisualDataHistoryPlotStrs::ReadVData(T_PVIST_ALL_D* pVS)
{
    CArray<unsigned int, unsigned int> aActive;
    if (!GetActiveElemK(aActive))
        return 0;
    auto* pPost = dynamic_cast<CPostCtrlGeoTech*>(GetPostCtrl());
    CPostCtrlAnlTypeBase* pAnl = nullptr;
    if (!pPost || !pPost->GetPostCtrlSub(m_pUserDefData->m_nAcasKey, &pAnl) || !pAnl)
        return 0;
    const T_STRS_SOURCE* pSrc = SourceOf(m_pUserDefData->m_nResultType);
    if (!pSrc)
        return 0;
    CArray<unsigned int, unsigned int> aTyped, aPart, aElemK;
    for (int nCode : pSrc->nElemType) {
        pAnl->GetSeqIdInfo()->GetElemKeyListByType(nCode, aPart);
        aTyped.Append(aPart);
    }
    CArrayUtil::IntersectUINT(aActive, aTyped, aElemK);
    const int n = aElemK.GetSize();

    const int bAverage = pVS && pVS->bAverage;
    int nMode = pVS ? pVS->nAverageMode : 1;
    if (nMode < 1 || nMode > 5)
        nMode = 1;
    m_bAveraged = bAverage;
    InitVDataHashTable(n);
    const unsigned int nHash = GF_GetHashSizeByCount(std::max(n / 5, 1));
    m_mElemCenterVal.RemoveAll();
    m_mElemCenterVal.InitHashTable(nHash);
    CMap<int, int, double, double> mNodeVal, mNodeCnt;
    mNodeVal.InitHashTable(nHash);
    mNodeCnt.InitHashTable(nHash);
    CArray<unsigned int, unsigned int> aAvgElemK, aAvgNodeK;
    CArray<int, int> aAvgCount;

    CHistPlotProgress progress(n);
    CPVSTHCalcHistPlotData src(m_pUserDefData->m_nAcasKey);
    // BeginQuery releases the host's result files: they are taken back on every path.
    const kvpvs::visualdata::CScopeEnd endQuery([&] { src.EndQuery(); });
    // Without a result file, or with a path too long for the library, the query gives no step:
    // every element is left out. Only a query cut short fails the picture.
    if (!src.BeginQuery(m_pUserDefData->m_nResultType) && src.HasFailed())
        return DropValues();
    // The result files stay open, their directories and blocks read once, for the whole list.
    std::optional<kvpvs::recovery::ResultFileSession> session(std::in_place);
    if (!m_pCentreRows)
        m_pCentreRows = std::make_unique<kvpvs::recovery::CentreRowsKeep>();
    const kvpvs::recovery::CentreRowsUse rows(*m_pCentreRows);
    // One element record and one value array for the whole list, their storage reused.
    T_ELEM_D elem;
    T_VSUL_DATA_D vals;
    for (int i = 0; i < n; ++i) {
        progress.At(i);
        const unsigned int nElemK = aElemK[i];
        if (!m_clsElem.Get(nElemK, elem))
            continue;
        const int nNodes = elem.aNodeK.GetSize();
        double v = 0.0;
        const int bRead = (src.*pSrc->pfnRead)(m_pUserDefData->m_nTimeStep, nElemK, nNodes, 0,
                                               m_pUserDefData->m_bGlobal, m_pUserDefData->m_nComponent, v);
        if (!bRead && src.HasFailed())
            return DropValues();
        // A non-finite value is no value: the element is left out as one without a step is,
        // and neither its nodes nor the range see it.
        if (!bRead || !std::isfinite(v))
            continue;
        m_mElemCenterVal.SetAt(static_cast<int>(nElemK), v);
        if (!bAverage) {
            vals.aValue.SetSize(nNodes);
            for (int k = 0; k < nNodes; ++k) {
                vals.aValue[k] = v;
                SetMinMaxVal(nElemK, v, 1);
            }
            m_mVData.SetAt(static_cast<int>(nElemK), vals);
            continue;
        }
        aAvgElemK.Add(nElemK);
        aAvgCount.Add(nNodes);
        for (int k = 0; k < nNodes; ++k) {
            const int nNodeK = static_cast<int>(elem.aNodeK[k]);
            double dStored = AverageStart(nMode);
            mNodeVal.Lookup(nNodeK, dStored);
            mNodeVal.SetAt(nNodeK, AverageCombine(nMode, dStored, v));
            if (nMode == 1) {
                double c = 0.0;
                mNodeCnt.Lookup(nNodeK, c);
                mNodeCnt.SetAt(nNodeK, c + 1.0);
            }
            aAvgNodeK.Add(elem.aNodeK[k]);
        }
    }
    session.reset();
    src.EndQuery();
    progress.End();
    if (!bAverage)
        return 1;

    CArray<int, int> aNodeKeys;
    for (POSITION pos = mNodeVal.GetStartPosition(); pos;) {
        int nNodeK = 0;
        double d = 0.0;
        mNodeVal.GetNextAssoc(pos, nNodeK, d);
        aNodeKeys.Add(nNodeK);
    }
    bool bOverflow = false;
    for (int i = 0; i < aNodeKeys.GetSize(); ++i) {
        const int nNodeK = aNodeKeys[i];
        double d = 0.0;
        mNodeVal.Lookup(nNodeK, d);
        if (nMode == 1) {
            double c = 0.0;
            if (!mNodeCnt.Lookup(nNodeK, c) || c <= 0.0)
                continue;
            d = d / c;
            mNodeVal.SetAt(nNodeK, d);
            // Finite values whose sum overflowed: averaged again below.
            if (!std::isfinite(d)) {
                bOverflow = true;
                continue;
            }
        }
        SetMinMaxVal(static_cast<unsigned int>(nNodeK), d, 0);
    }
    if (bOverflow)
        AverageOverflowedNodes(aAvgElemK, aAvgCount, aAvgNodeK, mNodeVal, mNodeCnt);
    int nNext = 0;
    for (int i = 0; i < aAvgElemK.GetSize(); ++i) {
        vals.aValue.SetSize(aAvgCount[i]);
        for (int k = 0; k < aAvgCount[i]; ++k) {
            double d = 0.0;
            if (!mNodeVal.Lookup(static_cast<int>(aAvgNodeK[nNext++]), d))
                d = 0.0;
            vals.aValue[k] = d;
        }
        m_mVData.SetAt(static_cast<int>(aAvgElemK[i]), vals);
        double c = 0.0;
        m_mElemCenterVal.Lookup(static_cast<int>(aAvgElemK[i]), c);
        SetMinMaxValElemCenter(aAvgElemK[i], c);
    }
    return 1;
}

// The mean of a node whose plain sum overflowed, as the sum of each contribution divided by
// the count: every partial sum stays within the largest contribution's magnitude. A node
// whose mean still is not finite is left out, as a non-finite value is.
void CPVSVisualDataHistoryPlotStrs::AverageOverflowedNodes(const CArray<unsigned int, unsigned int>& aElemK,
                                                           const CArray<int, int>& aCount,
                                                           const CArray<unsigned int, unsigned int>& aNodeK,
                                                           CMap<int, int, double, double>& mNodeVal,
                                                           const CMap<int, int, double, double>& mNodeCnt)
{
    CMap<int, int, double, double> mScaled;
    int nNext = 0;
    for (int i = 0; i < aElemK.GetSize(); ++i) {
        double v = 0.0;
        m_mElemCenterVal.Lookup(static_cast<int>(aElemK[i]), v);
        for (int k = 0; k < aCount[i]; ++k) {
            const int nNodeK = static_cast<int>(aNodeK[nNext++]);
            double d = 0.0, c = 0.0;
            if (!mNodeVal.Lookup(nNodeK, d) || std::isfinite(d) || !mNodeCnt.Lookup(nNodeK, c))
                continue;
            double s = 0.0;
            mScaled.Lookup(nNodeK, s);
            mScaled.SetAt(nNodeK, s + v / c);
        }
    }
    for (POSITION pos = mScaled.GetStartPosition(); pos;) {
        int nNodeK = 0;
        double d = 0.0;
        mScaled.GetNextAssoc(pos, nNodeK, d);
        if (!std::isfinite(d)) {
            mNodeVal.RemoveKey(nNodeK);
            continue;
        }
        mNodeVal.SetAt(nNodeK, d);
        SetMinMaxVal(static_cast<unsigned int>(nNodeK), d, 0);
    }
}

double CPVSVisualDataHistoryPlotStrs::GetElemCenterVal(unsigned int nElemK) const
{
    double c = 0.0;
    m_mElemCenterVal.Lookup(static_cast<int>(nElemK), c);
    return c;
}

// An entry of the host's: a failure gives 0 and no lines.
int CPVSVisualDataHistoryPlotStrs::GetPostOutput4Probe(int nKind, unsigned int nKey, CArray<CString, CString&>& aText,
                                                       int)
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return ProbeLines(nKind, nKey, aText); }, [&] { aText.RemoveAll(); });
}

int CPVSVisualDataHistoryPlotStrs::ProbeLines(int nKind, unsigned int nKey, CArray<CString, CString&>& aText)
{
    m_nProbeResult = 0;
    aText.RemoveAll();
    CString s;
    if (nKind == 1) {
        if (!m_bAveraged || !GetDoc())
            return 0;
        CClassNode clsNode(GetDoc()->GetModelDB());
        CArray<unsigned int, unsigned int> aConn;
        clsNode.GetConnectedElemKeyList(nKey, aConn);
        T_VSUL_DATA_D vals;
        unsigned int nElemK = 0;
        bool bFound = false;
        for (int i = 0; i < aConn.GetSize() && !bFound; ++i)
            if (m_mVData.Lookup(static_cast<int>(aConn[i]), vals)) {
                nElemK = aConn[i];
                bFound = true;
            }
        T_NODE_D node;
        T_ELEM_D elem;
        if (!bFound || !clsNode.Get(nKey, node) || vals.aValue.GetSize() == 0 || !m_clsElem.Get(nElemK, elem))
            return 0;
        for (int k = 0; k < vals.aValue.GetSize() && k < elem.aNodeK.GetSize(); ++k)
            if (elem.aNodeK[k] == nKey) {
                s.Format("%g", vals.aValue[k]);
                aText.Add(s);
            }
        return 1;
    }
    if (nKind != 2)
        return 0;
    T_VSUL_DATA_D vals;
    T_ELEM_D elem;
    if (!m_mVData.Lookup(static_cast<int>(nKey), vals) || !m_clsElem.Get(nKey, elem) || vals.aValue.GetSize() == 0)
        return 0;
    if (vals.aValue.GetSize() == 1)
        s.Format("%g", vals.aValue[0]);
    else if (vals.aValue.GetSize() == elem.aNodeK.GetSize())
        s.Format("%g", GetElemCenterVal(nKey));
    else
        s.Format("%g", vals.aValue[0]);
    aText.Add(s);
    return 1;
}
