#include "dialogs/CTreeCtrlPVS.h"

#include "Comp2ResultType.h"
#include "DBDoc.h"
#include "GlobalFunc.h"
#include "UnitCtrl.h"

#include <memory>
#include <vector>

namespace {

struct ResultGroup {
    const char* pszLabel;
    int nCode;
};

// Display order; code 18 and codes 33 to 299 have no group.
const ResultGroup kGroups[] = {
    {"Reaction", 2},
    {"Displacement", 0},
    {"Mode Shape", 1},
    {"1D Element Forces", 3},
    {"Plate Forces", 4},
    {"Solid Forces", 24},
    {"1D Element Stresses", 5},
    {"1D Element Strains", 25},
    {"Plate Stresses", 6},
    {"Plane-Stress Stresses", 7},
    {"Plane-Strain Stresses", 8},
    {"Axisymmetric Stresses", 9},
    {"Solid Stresses", 10},
    {"Plate Strains", 32},
    {"Plane-Strain Strains", 11},
    {"Axisymmetric Strains", 12},
    {"Solid Strains", 13},
    {"Node Seepage", 14},
    {"Plane-Strain Seepage", 15},
    {"Axisymmetric Seepage", 16},
    {"Solid Seepage", 17},
    {"Pile Element", 19},
    {"Pile Tip Element", 20},
    {"Shell Interface Element Force", 21},
    {"Shell Interface Element Disp.", 22},
    {"Shell Interface Element Plastic Sliding", 23},
    {"Line Interface Element Force", 26},
    {"Line Interface Element Disp.", 27},
    {"Line Interface Element Plastic Sliding", 28},
    {"Surface Interface Element Force", 29},
    {"Surface Interface Element Disp.", 30},
    {"Surface Interface Element Plastic Sliding", 31},
};

constexpr int kCodeCount = 300;

} // namespace

void CTreeCtrlPVS::BuildResultTree()
{
    m_pDoc = CDBDoc::GetDocPoint();
    m_pDBMain = CDocCtrl::GetDBMain(m_pDoc);
    if (!m_pDoc || !m_pDBMain)
        return;
    CDBBase* pPost = m_pDoc->GetPostDB();

    CClassPOsif tblSet(pPost);
    CClassPLsif tblStep(pPost);
    CArray<UINT, UINT> aSetKeys;
    CArray<UINT, UINT> aAllSteps;
    tblSet.GetKeyList(aSetKeys);
    tblStep.GetKeyList(aAllSteps);

    CMap<UINT, UINT, std::shared_ptr<CArray<UINT, UINT>>, std::shared_ptr<CArray<UINT, UINT>>> mapSteps;
    mapSteps.InitHashTable(10001);
    for (int i = 0; i < aAllSteps.GetSize(); ++i) {
        T_PLSIF_D step;
        if (!tblStep.Get(aAllSteps[i], step))
            continue;
        std::shared_ptr<CArray<UINT, UINT>> pList;
        if (!mapSteps.Lookup(step.nOsifK, pList)) {
            pList = std::make_shared<CArray<UINT, UINT>>();
            mapSteps.SetAt(step.nOsifK, pList);
        }
        pList->Add(aAllSteps[i]);
    }

    m_mapRowItems.RemoveAll();
    m_mapRowItems.InitHashTable(GF_GetHashSizeByCount(1000));
    CWKVRComp2ResultType wMapper;
    CTKVRComp2ResultType tMapper;
    wMapper.InitData();
    tMapper.InitData();

    for (int i = 0; i < aSetKeys.GetSize(); ++i) {
        T_POSIF_D set;
        if (!tblSet.Get(aSetKeys[i], set))
            continue;
        const HTREEITEM hSet = InsertCheckItem(set.strName, TVI_ROOT);
        SetItemData(hSet, aSetKeys[i]);
        m_mapSetItems.SetAt(hSet, aSetKeys[i]);
        std::shared_ptr<CArray<UINT, UINT>> pList;
        if (mapSteps.Lookup(aSetKeys[i], pList) && pList->GetSize() > 0) {
            InsertSteps(hSet, set, *pList, &tMapper);
            Expand(hSet, TVE_EXPAND);
        }
    }
}

void CTreeCtrlPVS::InsertSteps(HTREEITEM hSet, const T_POSIF_D&, const CArray<UINT, UINT>& aStepKeys,
                               const CTKVRComp2ResultType* pMapper)
{
    CClassPLsif tblStep(m_pDoc ? m_pDoc->GetPostDB() : nullptr);
    for (int i = 0; i < aStepKeys.GetSize(); ++i) {
        T_PLSIF_D step;
        if (!tblStep.Get(aStepKeys[i], step))
            continue;
        const HTREEITEM hStep = InsertCheckItem(step.strName, hSet);
        SetItemData(hStep, aStepKeys[i]);
        m_mapStepItems.SetAt(hStep, aStepKeys[i]);
        InsertResultGroups(hStep, aStepKeys[i], pMapper);
    }
}

void CTreeCtrlPVS::InsertResultGroups(HTREEITEM hStep, UINT nStepK, const CTKVRComp2ResultType* pMapper)
{
    if (!pMapper || !m_pDoc)
        return;
    CClassPVtif tblRow(m_pDoc->GetPostDB());
    CArray<UINT, UINT> aRowKeys;
    tblRow.GetKeyListByLSifK(nStepK, 0, aRowKeys);

    std::vector<std::vector<UINT>> aBuckets(kCodeCount);
    for (int i = 0; i < aRowKeys.GetSize(); ++i) {
        T_PVTIF_D row;
        if (!tblRow.Get(aRowKeys[i], row))
            continue;
        int nCode = -1;
        if (pMapper->GetReusulType(row.nItem, nCode) && nCode >= 0 && nCode < kCodeCount)
            aBuckets[static_cast<size_t>(nCode)].push_back(aRowKeys[i]);
    }

    for (const ResultGroup& g : kGroups) {
        const std::vector<UINT>& aRows = aBuckets[static_cast<size_t>(g.nCode)];
        if (aRows.empty())
            continue;
        const HTREEITEM hGroup = InsertCheckItem(g.pszLabel, hStep);
        SetItemData(hGroup, static_cast<DWORD_PTR>(g.nCode));
        m_mapGroupItems.SetAt(hGroup, static_cast<UINT>(g.nCode));
        for (UINT nRowK : aRows) {
            T_PVTIF_D row;
            if (nRowK == 0 || !tblRow.Get(nRowK, row))
                continue;
            CString strName = row.strName;
            strName = CClassPVtif::RemoveSpecialStringInName(strName);
            const HTREEITEM hRow = InsertCheckItem(strName, hGroup);
            SetItemData(hRow, nRowK);
            m_mapRowItems.SetAt(hRow, nRowK);
        }
    }
}
