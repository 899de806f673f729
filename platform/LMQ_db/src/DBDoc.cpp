#include "DBDoc.h"
#include "ZORGrid.h"

#include <TDF_Data.hxx>
#include <TDF_Label.hxx>
#include <TDataStd_TreeNode.hxx>
#include <gp_Ax3.hxx>

struct T_ZOR_DOC_TREE_D {
    Handle(TDF_Data) pData = new TDF_Data();
    gp_Ax3 workPlane;
    CGrid grid;
    CZORViewer viewer;
};
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

IMPLEMENT_DYNAMIC(CZORDocBase, CObject)
IMPLEMENT_DYNAMIC(CDBDoc, CZORDocBase)

namespace {
CZORDocBase* g_pCurDoc = nullptr;
}

CZORDocBase::CZORDocBase() = default;

CZORDocBase::~CZORDocBase()
{
    if (g_pCurDoc == this)
        g_pCurDoc = nullptr;
}

Handle(TDataStd_TreeNode) CZORDocBase::GetSubRootNode(int n)
{
    if (n < 0)
        return Handle(TDataStd_TreeNode)();
    if (!m_pTree)
        m_pTree = std::make_unique<T_ZOR_DOC_TREE_D>();
    const TDF_Label label = m_pTree->pData->Root().FindChild(n + 1, Standard_True);
    return TDataStd_TreeNode::Set(label);
}

gp_Ax3 CZORDocBase::GetCurrentWorkPlane() const { return m_pTree ? m_pTree->workPlane : gp_Ax3(); }

void CZORDocBase::SetCurrentWorkPlane(const gp_Ax3& plane)
{
    if (!m_pTree)
        m_pTree = std::make_unique<T_ZOR_DOC_TREE_D>();
    m_pTree->workPlane = plane;
}

CGrid* CZORDocBase::GetGrid()
{
    if (!m_pTree)
        m_pTree = std::make_unique<T_ZOR_DOC_TREE_D>();
    return &m_pTree->grid;
}

CZORViewer* CZORDocBase::GetViewer()
{
    if (!m_pTree)
        m_pTree = std::make_unique<T_ZOR_DOC_TREE_D>();
    return &m_pTree->viewer;
}

CZORDocBase* CZORDocBase::GetCurDoc() { return g_pCurDoc; }
void CZORDocBase::SetCurDoc(CZORDocBase* pDoc) { g_pCurDoc = pDoc; }

void CZORDocBase::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    m_aHints.Add(T_UPDATE_HINT_D{pSender, lHint, pHint});
}

CDBDoc* CDBDoc::GetDocPoint()
{
    CZORDocBase* p = g_pCurDoc;
    return p && p->IsKindOf(RUNTIME_CLASS(CDBDoc)) ? static_cast<CDBDoc*>(p) : nullptr;
}

CDBDisplayView* CDBDoc::ShowUserDefDisplay(unsigned int nVDType, T_VD_USERDEF_DATA* pUserData, int nArg1, int nArg2,
                                           int nArg3)
{
    const T_DOC_DISPLAY_REQUEST_D r{nVDType, pUserData, nArg1, nArg2, nArg3};
    m_aDisplayRequests.push_back(r);
    if (!m_fnDisplayHandler)
        return nullptr;
    m_fnDisplayHandler(r);
    return &m_displayView;
}

void CDBDoc::SaveResultPictures(const CArray<unsigned int>& aCompKeys, const CStringArray& aFileNames,
                                const T_VIEW_STATUS& viewStatus, CString strFolder)
{
    T_DOC_PICTURE_BATCH_D batch;
    for (int i = 0; i < aCompKeys.GetSize(); ++i)
        batch.aCompKeys.push_back(aCompKeys[i]);
    for (int i = 0; i < aFileNames.GetSize(); ++i)
        batch.aFileNames.push_back(aFileNames[i]);
    batch.viewStatus = viewStatus;
    batch.strFolder = strFolder;
    m_aPictureBatches.push_back(batch);
}

void CDBDoc::GetModelBounds(double dBounds[6])
{
    const auto& nodes = m_modelDB.Table<T_NODE_D>();
    if (nodes.empty()) {
        for (int k = 0; k < 3; ++k) {
            dBounds[k] = 0.0;
            dBounds[3 + k] = 1.0;
        }
        return;
    }
    bool bFirst = true;
    for (const auto& [nKey, node] : nodes) {
        (void)nKey;
        for (int k = 0; k < 3; ++k) {
            if (bFirst || node.dXyz[k] < dBounds[k])
                dBounds[k] = node.dXyz[k];
            if (bFirst || node.dXyz[k] > dBounds[3 + k])
                dBounds[3 + k] = node.dXyz[k];
        }
        bFirst = false;
    }
}

void CClassPVtif::GetKeyListByLSifK(unsigned int nLSifK, int, CArray<unsigned int, unsigned int>& aKeys) const
{
    aKeys.RemoveAll();
    if (!m_pDB)
        return;
    for (const auto& [k, r] : m_pDB->Table<T_PVTIF_D>())
        if (r.nStepK == nLSifK)
            aKeys.Add(k);
}

void CClassPVtif::GetKeyListBySameOrgSelfKUsingPVtifK(unsigned int nPVtifK, int,
                                                      CArray<unsigned int, unsigned int>& aKeys) const
{
    aKeys.RemoveAll();
    if (!m_pDB)
        return;
    const auto& rows = m_pDB->Table<T_PVTIF_D>();
    const auto& steps = m_pDB->Table<T_PLSIF_D>();
    const auto itRow = rows.find(nPVtifK);
    if (itRow == rows.end())
        return;
    const T_PVTIF_D& o = itRow->second;
    const auto itStep = steps.find(o.nStepK);
    const unsigned int nOsifK = itStep == steps.end() ? 0u : itStep->second.nOsifK;
    std::vector<std::pair<unsigned int, unsigned int>> found; // step key, row key
    for (const auto& [k, r] : rows) {
        if (r.nItem != o.nItem || r.nEngrK != o.nEngrK || r.nQuantity != o.nQuantity ||
            r.nResultClass != o.nResultClass || r.nCompCode != o.nCompCode)
            continue;
        const auto it = steps.find(r.nStepK);
        if (k != nPVtifK && (it == steps.end() || it->second.nOsifK != nOsifK))
            continue;
        found.emplace_back(r.nStepK, k);
    }
    std::sort(found.begin(), found.end());
    for (const auto& f : found)
        aKeys.Add(f.second);
}

void CClassPLsif::GetKeyListByPOsifK(unsigned int nPOsifK, CArray<unsigned int, unsigned int>& aKeys,
                                     CArray<CString, CString&>* pNames) const
{
    aKeys.RemoveAll();
    if (pNames)
        pNames->RemoveAll();
    if (!m_pDB)
        return;
    for (const auto& [k, r] : m_pDB->Table<T_PLSIF_D>())
        if (r.nOsifK == nPOsifK) {
            aKeys.Add(k);
            if (pNames) {
                CString s = r.strName;
                pNames->Add(s);
            }
        }
}

CString CClassPVtif::RemoveSpecialStringInName(const CString& strName)
{
    std::string s;
    for (int i = 0; i < strName.GetLength(); ++i) {
        const char c = strName.GetAt(i);
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
            s += c;
    }
    return CString(s);
}
