#include "DBDoc.h"
#include "DBModelRecords.h"
#include "DBValueUnits.h"
#include "PostCtrlBase.h"

#include <algorithm>
#include <vector>

namespace {

using CResultMap = CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&>;

// Whether nCount ascending keys up to nLargest are dense enough for a table indexed by key.
bool DenseKeys(size_t nLargest, size_t nCount) { return nLargest <= 4 * nCount + 1024; }

// The runs of one row looked up in turn: an id list comes mostly in ascending order, so the
// entity after the last one found is tried before a search.
class CRunFinder {
public:
    explicit CRunFinder(const T_PVAL_D& val) : m_val(val)
    {
        // Runs whose starts do not match the keys are left to the record's own lookup.
        m_bDirect = val.aStart.GetSize() == val.aEntK.GetSize() + 1;
    }
    // For many lookups in no order (the nodes of elements): a table by key, when the keys are
    // dense.
    void Index()
    {
        const unsigned int* pKey = m_val.aEntK.GetData();
        const size_t nSize = static_cast<size_t>(m_val.aEntK.GetSize());
        if (!m_bDirect || nSize == 0 || !DenseKeys(pKey[nSize - 1], nSize))
            return;
        m_aPos.assign(static_cast<size_t>(pKey[nSize - 1]) + 1, -1);
        // The first of equal keys, as the search finds it.
        for (size_t i = nSize; i-- > 0;)
            m_aPos[pKey[i]] = static_cast<int>(i);
    }
    const double* Find(unsigned int nEntK, int& nCount)
    {
        if (!m_bDirect)
            return m_val.Find(nEntK, nCount);
        nCount = 0;
        const unsigned int* pBeg = m_val.aEntK.GetData();
        const size_t nSize = static_cast<size_t>(m_val.aEntK.GetSize());
        size_t i = m_nNext;
        if (!m_aPos.empty()) {
            if (nEntK >= m_aPos.size() || m_aPos[nEntK] < 0)
                return nullptr;
            i = static_cast<size_t>(m_aPos[nEntK]);
        } else if (i >= nSize || pBeg[i] != nEntK) {
            i = static_cast<size_t>(std::lower_bound(pBeg, pBeg + nSize, nEntK) - pBeg);
            if (i == nSize || pBeg[i] != nEntK)
                return nullptr;
        }
        m_nNext = i + 1;
        const int* pStart = m_val.aStart.GetData();
        nCount = pStart[i + 1] - pStart[i];
        return m_val.aValue.GetData() + pStart[i];
    }

private:
    const T_PVAL_D& m_val;
    bool m_bDirect = false;
    size_t m_nNext = 0;
    std::vector<int> m_aPos;
};

// mResult made to hold, in list order, the entities of aId that read(id, value) gives a value:
// as a fresh map filled in that order holds them (a repeated id keeps its first place). A map
// that already holds those keys in that order, as one read of the same list leaves it, is
// rewritten in place: its entries and their arrays are reused, nothing is allocated. Any other
// map is emptied and filled anew. nValueCount gets the longest value array.
template <class READ>
void FillResultMap(const CArray<unsigned int, unsigned int>& aId, CResultMap& mResult, int& nValueCount, READ read)
{
    T_POST_VECT_ALL_D v;
    nValueCount = 0;
    // Read straight into the entry whose turn it is. An id without a value that names it, or a
    // value of an id that does not, ends the rewrite (a repeated id meets a later key, or none):
    // such a list is filled anew, which also drops an entry a failed read left half written.
    CResultMap::CPair* pPair = mResult.PGetFirstAssoc();
    bool bSame = true;
    for (int i = 0; i < aId.GetSize() && bSame; ++i) {
        if (pPair && pPair->key == static_cast<int>(aId[i])) {
            bSame = read(aId[i], pPair->value);
            if (bSame) {
                nValueCount = std::max(nValueCount, pPair->value.aValue.GetSize());
                pPair = mResult.PGetNextAssoc(pPair);
            }
        } else if (read(aId[i], v)) {
            bSame = false;
        }
    }
    if (bSame && !pPair)
        return;
    mResult.RemoveAll();
    nValueCount = 0;
    for (int i = 0; i < aId.GetSize(); ++i) {
        if (!read(aId[i], v))
            continue;
        mResult[static_cast<int>(aId[i])] = v;
        nValueCount = std::max(nValueCount, v.aValue.GetSize());
    }
}

} // namespace

BOOL CPostCtrlBase::BeginQueryRow(unsigned int nPVtifK)
{
    m_nRowK = 0;
    if (!m_pRowDB || !CClassPVtif(m_pRowDB).Exist(nPVtifK))
        return FALSE;
    m_nRowK = nPVtifK;
    return TRUE;
}

BOOL CPostCtrlBase::GetElemResult(const CArray<unsigned int, unsigned int>& aElemId, unsigned int nPVtifK,
                                  int& nValueCount, CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&>& mResult)
{
    nValueCount = 0;
    if (!m_pRowDB || m_nRowK == 0 || m_nRowK != nPVtifK || !m_pRowDB->Table<T_PVAL_D>().count(nPVtifK)) {
        mResult.RemoveAll();
        return FALSE;
    }
    T_PVTIF_D row;
    CClassPVtif(m_pRowDB).Get(nPVtifK, row);
    T_PENGR_D engr;
    if (CClassPEngr(m_pRowDB).Get(row.nEngrK, engr) && engr.nKind == 1)
        return GetElemResultOfNodeRow(aElemId, nPVtifK, nValueCount, mResult);
    return ReadRuns(aElemId, nPVtifK, nValueCount, mResult);
}

BOOL CPostCtrlBase::ReadRuns(const CArray<unsigned int, unsigned int>& aId, unsigned int nPVtifK, int& nValueCount,
                             CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&>& mResult)
{
    const T_PVAL_D& val = m_pRowDB->Table<T_PVAL_D>().find(nPVtifK)->second;
    // Values come in the current unit system of the row's unit type.
    T_PVTIF_D row;
    const int nUnitType = CClassPVtif(m_pRowDB).Get(nPVtifK, row) ? row.nUnitType : DB_UNIT_NONE;
    const bool bConvert = CDBValueUnits::Converts(nUnitType);
    CRunFinder runs(val);
    FillResultMap(aId, mResult, nValueCount, [&](unsigned int nId, T_POST_VECT_ALL_D& v) {
        int n = 0;
        const double* p = runs.Find(nId, n);
        if (!p)
            return false;
        v.aValue.SetSize(n);
        double* pOut = v.aValue.GetData();
        if (!bConvert)
            std::copy(p, p + n, pOut);
        else
            for (int k = 0; k < n; ++k)
                pOut[k] = CDBValueUnits::Out(nUnitType, p[k]);
        return true;
    });
    return TRUE;
}

BOOL CPostCtrlBase::GetElemResultOfNodeRow(const CArray<unsigned int, unsigned int>& aElemId, unsigned int nPVtifK,
                                           int& nValueCount,
                                           CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&>& mResult)
{
    const T_PVAL_D& val = m_pRowDB->Table<T_PVAL_D>().find(nPVtifK)->second;
    T_PVTIF_D row;
    const int nUnitType = CClassPVtif(m_pRowDB).Get(nPVtifK, row) ? row.nUnitType : DB_UNIT_NONE;
    if (!m_pModelDB) {
        mResult.RemoveAll();
        return TRUE;
    }
    // The records are read where they are, not copied.
    const auto& elems = m_pModelDB->Table<T_ELEM_D>();
    const auto& nodes = m_pModelDB->Table<T_NODE_D>();
    CRunFinder runs(val);
    // A long list meets most nodes several times, in no order: the node values and the node
    // records are then found through tables by key, made once for the read.
    std::vector<const T_NODE_D*> aNodeByKey;
    if (aElemId.GetSize() >= 1024) {
        runs.Index();
        if (!nodes.empty() && DenseKeys(nodes.rbegin()->first, nodes.size())) {
            aNodeByKey.assign(static_cast<size_t>(nodes.rbegin()->first) + 1, nullptr);
            for (const auto& [k, n] : nodes)
                aNodeByKey[k] = &n;
        }
    }
    auto findNode = [&](unsigned int nNodeK) {
        if (aNodeByKey.empty())
            return nodes.Seek(nNodeK);
        return nNodeK < aNodeByKey.size() ? aNodeByKey[nNodeK] : nullptr;
    };
    FillResultMap(aElemId, mResult, nValueCount, [&](unsigned int nId, T_POST_VECT_ALL_D& v) {
        const T_ELEM_D* pElem = elems.Seek(nId);
        if (!pElem || pElem->aNodeK.GetSize() == 0)
            return false;
        const int nNode = pElem->aNodeK.GetSize();
        const unsigned int* pNodeK = pElem->aNodeK.GetData();
        v.aValue.SetSize(7 * nNode);
        double* pOut = v.aValue.GetData();
        for (int j = 0; j < nNode; ++j, pOut += 7) {
            int n = 0;
            const double* p = runs.Find(pNodeK[j], n);
            const T_NODE_D* pNode = p ? findNode(pNodeK[j]) : nullptr;
            if (!pNode)
                return false;
            for (int k = 0; k < 4; ++k)
                pOut[k] = k < n ? CDBValueUnits::Out(nUnitType, p[k]) : 0.0;
            std::copy(pNode->dXyz, pNode->dXyz + 3, pOut + 4);
        }
        return true;
    });
    return TRUE;
}

BOOL CPostCtrlBase::GetNodeResult(unsigned int nNodeId, unsigned int nPVtifK, int& nCount, double* pValue, int nMax)
{
    nCount = 0;
    if (!m_pRowDB || m_nRowK == 0 || m_nRowK != nPVtifK || !pValue || nMax < 0)
        return FALSE;
    const auto& table = m_pRowDB->Table<T_PVAL_D>();
    auto it = table.find(nPVtifK);
    if (it == table.end())
        return FALSE;
    int n = 0;
    const double* p = it->second.Find(nNodeId, n);
    if (!p)
        return FALSE;
    T_PVTIF_D row;
    const int nUnitType = CClassPVtif(m_pRowDB).Get(nPVtifK, row) ? row.nUnitType : DB_UNIT_NONE;
    nCount = n < nMax ? n : nMax;
    for (int k = 0; k < nCount; ++k)
        pValue[k] = CDBValueUnits::Out(nUnitType, p[k]);
    return TRUE;
}

BOOL CPostCtrlBase::GetNodeResult(const CArray<unsigned int, unsigned int>& aNodeId, unsigned int nPVtifK,
                                  int& nValueCount, CMap<int, int, T_POST_VECT_ALL_D, T_POST_VECT_ALL_D&>& mResult)
{
    nValueCount = 0;
    if (!m_pRowDB || m_nRowK == 0 || m_nRowK != nPVtifK || !m_pRowDB->Table<T_PVAL_D>().count(nPVtifK)) {
        mResult.RemoveAll();
        return FALSE;
    }
    return ReadRuns(aNodeId, nPVtifK, nValueCount, mResult);
}

BOOL CPostCtrlBase::GetElemValues(unsigned int nElemId, unsigned int nPVtifK, int& nCount, double* pValue, int nMax)
{
    nCount = 0;
    if (!m_pRowDB || m_nRowK == 0 || m_nRowK != nPVtifK)
        return FALSE;
    const auto& table = m_pRowDB->Table<T_PVAL_D>();
    auto it = table.find(nPVtifK);
    if (it == table.end())
        return FALSE;
    int n = 0;
    const double* p = it->second.Find(nElemId, n);
    if (!p)
        return FALSE;
    T_PVTIF_D row;
    const int nUnitType = CClassPVtif(m_pRowDB).Get(nPVtifK, row) ? row.nUnitType : DB_UNIT_NONE;
    nCount = n;
    for (int k = 0; k < n && k < nMax && pValue; ++k)
        pValue[k] = CDBValueUnits::Out(nUnitType, p[k]);
    return TRUE;
}

BOOL CPostCtrlBase::GetElemDgrmDir(unsigned int nElemId, unsigned int nPVtifK, int& nCount, double* pValue, int nMax)
{
    nCount = 0;
    if (!m_pRowDB || m_nRowK == 0 || m_nRowK != nPVtifK)
        return FALSE;
    std::vector<double> a;
    auto it = m_dgrmDir.find(nElemId);
    if (it != m_dgrmDir.end()) {
        a = it->second;
    } else {
        double axis[3][3];
        if (!m_pModelDB || !CClassElem(m_pModelDB).calcFrameLocalVector(nElemId, axis, 0))
            return FALSE;
        a.assign(axis[2], axis[2] + 3);
    }
    nCount = static_cast<int>(a.size());
    for (int k = 0; k < nCount && k < nMax && pValue; ++k)
        pValue[k] = a[static_cast<size_t>(k)];
    return TRUE;
}
