#include "PVSModelData.h"

#include <vtkCell.h>
#include <vtkGenericCell.h>
#include <vtkIdList.h>
#include <vtkPoints.h>

#include <algorithm>

void CPVSKeyPositions::Build(const std::vector<unsigned int>& aKey)
{
    const size_t nMax = aKey.empty() ? 0 : aKey.back();
    m_bTable = nMax <= 4 * aKey.size() + 1024;
    std::vector<int>().swap(m_aTable);
    if (!m_bTable)
        return;
    m_aTable.assign(nMax + 1, -1);
    for (size_t i = 0; i < aKey.size(); ++i)
        m_aTable[aKey[i]] = static_cast<int>(i);
}

int CPVSKeyPositions::Find(const std::vector<unsigned int>& aKey, unsigned int nKey) const
{
    if (m_bTable)
        return nKey < m_aTable.size() ? m_aTable[nKey] : -1;
    auto it = std::lower_bound(aKey.begin(), aKey.end(), nKey);
    return it != aKey.end() && *it == nKey ? static_cast<int>(it - aKey.begin()) : -1;
}

void CPVSModelDataFEM::Attach(CDBDoc* pDoc)
{
    m_aElemK.clear();
    m_aElem.clear();
    m_aNodeK.clear();
    m_aNode.clear();
    m_bLoaded = TRUE;
    // Tables keep their keys ascending, so the lists come sorted.
    if (pDoc) {
        for (const auto& [k, e] : pDoc->GetModelDB()->Table<T_ELEM_D>()) {
            m_aElemK.push_back(k);
            m_aElem.push_back(e);
        }
        for (const auto& [k, n] : pDoc->GetModelDB()->Table<T_NODE_D>()) {
            m_aNodeK.push_back(k);
            m_aNode.push_back(n);
        }
    }
    m_elemPos.Build(m_aElemK);
    m_nodePos.Build(m_aNodeK);
}

void CPVSModelDataFEM::EnsureLoaded()
{
    if (!m_bLoaded)
        Attach(CDBDoc::GetDocPoint());
}

int CPVSModelDataFEM::GetElemNum()
{
    EnsureLoaded();
    return static_cast<int>(m_aElemK.size());
}

unsigned int CPVSModelDataFEM::GetElemK(int i)
{
    EnsureLoaded();
    return i >= 0 && i < static_cast<int>(m_aElemK.size()) ? m_aElemK[static_cast<size_t>(i)] : 0u;
}

const T_ELEM_D* CPVSModelDataFEM::FindElemD(unsigned int nElemK)
{
    EnsureLoaded();
    const int i = m_elemPos.Find(m_aElemK, nElemK);
    return i < 0 ? nullptr : &m_aElem[static_cast<size_t>(i)];
}

BOOL CPVSModelDataFEM::GetElemD(unsigned int nElemK, T_ELEM_D& rec)
{
    const T_ELEM_D* p = FindElemD(nElemK);
    if (!p)
        return FALSE;
    rec = *p;
    return TRUE;
}

int CPVSModelDataFEM::GetNodeNum()
{
    EnsureLoaded();
    return static_cast<int>(m_aNodeK.size());
}

unsigned int CPVSModelDataFEM::GetNodeK(int i)
{
    EnsureLoaded();
    return i >= 0 && i < static_cast<int>(m_aNodeK.size()) ? m_aNodeK[static_cast<size_t>(i)] : 0u;
}

const T_NODE_D* CPVSModelDataFEM::FindNodeD(unsigned int nNodeK)
{
    EnsureLoaded();
    const int i = m_nodePos.Find(m_aNodeK, nNodeK);
    return i < 0 ? nullptr : &m_aNode[static_cast<size_t>(i)];
}

BOOL CPVSModelDataFEM::GetNodeD(unsigned int nNodeK, T_NODE_D& rec)
{
    const T_NODE_D* p = FindNodeD(nNodeK);
    if (!p)
        return FALSE;
    rec = *p;
    return TRUE;
}

vtkCell* CPVSModelDataFEM::CreateCell(unsigned int nElemK)
{
    const T_ELEM_D* e = FindElemD(nElemK);
    if (!e || e->GetNumberOfNodes() == 0)
        return nullptr;
    vtkCell* pCell = vtkGenericCell::InstantiateCell(e->nCellType);
    if (!pCell)
        return nullptr;
    const int n = e->GetNumberOfNodes();
    pCell->PointIds->SetNumberOfIds(n);
    pCell->Points->SetNumberOfPoints(n);
    for (int j = 0; j < n; ++j) {
        const T_NODE_D* p = FindNodeD(e->aNodeK[j]);
        if (!p) {
            pCell->Delete();
            return nullptr;
        }
        pCell->PointIds->SetId(j, j);
        pCell->Points->SetPoint(j, p->dXyz);
    }
    return pCell;
}
