#include "PVSModelData.h"

#include <vtkCell.h>
#include <vtkGenericCell.h>
#include <vtkIdList.h>
#include <vtkPoints.h>

void CPVSModelDataFEM::Attach(CDBDoc* pDoc)
{
    m_aElemK.clear();
    m_aElem.clear();
    m_mElemIdx.clear();
    m_aNodeK.clear();
    m_aNode.clear();
    m_mNodeIdx.clear();
    m_bLoaded = TRUE;
    if (!pDoc)
        return;
    for (const auto& [k, e] : pDoc->GetModelDB()->Table<T_ELEM_D>()) {
        m_mElemIdx[k] = static_cast<int>(m_aElemK.size());
        m_aElemK.push_back(k);
        m_aElem.push_back(e);
    }
    for (const auto& [k, n] : pDoc->GetModelDB()->Table<T_NODE_D>()) {
        m_mNodeIdx[k] = static_cast<int>(m_aNodeK.size());
        m_aNodeK.push_back(k);
        m_aNode.push_back(n);
    }
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
    auto it = m_mElemIdx.find(nElemK);
    return it == m_mElemIdx.end() ? nullptr : &m_aElem[static_cast<size_t>(it->second)];
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
    auto it = m_mNodeIdx.find(nNodeK);
    return it == m_mNodeIdx.end() ? nullptr : &m_aNode[static_cast<size_t>(it->second)];
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
