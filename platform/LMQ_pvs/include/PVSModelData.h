// Stand-in for the host's model data: the model's mesh as the visual methods see it.
// CPVSModelDataFEM reads nodes and elements of a document's model database (the document it
// is attached to, else the current one at first use) and keeps them in model (key) order.
// Choices: the model is one mesh in mesh mode; CreateCell makes a VTK cell of the element's
// cell type holding the element's node coordinates (point ids 0..n-1), released with Delete.
#pragma once
#include "PVSParams.h"

#include <vector>

class vtkCell;

class CPVSModelDataBase : public CObject {
    DECLARE_DYNAMIC(CPVSModelDataBase)
public:
    explicit CPVSModelDataBase(T_MD_PARAM_D& param) : m_param(param) {}
    const T_MD_PARAM_D& GetParam() const { return m_param; }

protected:
    T_MD_PARAM_D m_param;
};

// Ascending keys -> their positions: a table by key while the keys are dense, a binary search
// over the keys otherwise.
class CPVSKeyPositions {
public:
    void Build(const std::vector<unsigned int>& aKey);
    // -1: not a key.
    int Find(const std::vector<unsigned int>& aKey, unsigned int nKey) const;

private:
    std::vector<int> m_aTable;
    bool m_bTable = false;
};

class CPVSModelDataFEM : public CPVSModelDataBase {
    DECLARE_DYNAMIC(CPVSModelDataFEM)
public:
    using CPVSModelDataBase::CPVSModelDataBase;
    CPVSModelDataFEM(T_MD_PARAM_D& param, CDBDoc* pDoc) : CPVSModelDataBase(param) { Attach(pDoc); }

    // Reads the model of the document (again).
    void Attach(CDBDoc* pDoc);

    int GetElemNum();
    unsigned int GetElemK(int i);
    BOOL GetElemD(unsigned int nElemK, T_ELEM_D& rec);
    const T_ELEM_D* FindElemD(unsigned int nElemK);
    int GetNodeNum();
    unsigned int GetNodeK(int i);
    BOOL GetNodeD(unsigned int nNodeK, T_NODE_D& rec);
    const T_NODE_D* FindNodeD(unsigned int nNodeK);
    vtkCell* CreateCell(unsigned int nElemK);

    void BeginMeshMode() { m_bMeshMode = TRUE; m_nCurMesh = 0; }
    int GetMeshCount() { return 1; }
    void SetCurrentMesh(int i) { m_nCurMesh = i; }
    void EndMeshMode() { m_bMeshMode = FALSE; }

private:
    void EnsureLoaded();
    BOOL m_bLoaded = FALSE;
    BOOL m_bMeshMode = FALSE;
    int m_nCurMesh = 0;
    std::vector<unsigned int> m_aElemK;
    std::vector<T_ELEM_D> m_aElem;
    CPVSKeyPositions m_elemPos;
    std::vector<unsigned int> m_aNodeK;
    std::vector<T_NODE_D> m_aNode;
    CPVSKeyPositions m_nodePos;
};
