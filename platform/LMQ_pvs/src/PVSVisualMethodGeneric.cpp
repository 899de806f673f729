#include "PVSVisualMethodBase.h"
#include "DBDoc.h"
#include "PVSVisualDataBase.h"
#include "PVSModelData.h"
#include "PVSColorTable.h"
#include "PVSRendererBase.h"

#include <gp_Pnt.hxx>
#include <vtkCellArray.h>
#include <vtkDataArray.h>
#include <vtkDoubleArray.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkUnstructuredGrid.h>

namespace {

// The display's colour table over the displayed range.
CPVSColorTableBase* MakeTable(vtkDataArray* pScalars, T_PVIST_ALL_D* pVS)
{
    double dMin = 0.0, dMax = 0.0;
    if (CPVSVisualDataBase::m_bVDataRsltSet) {
        dMin = CPVSVisualDataBase::m_dVDataRsltMin;
        dMax = CPVSVisualDataBase::m_dVDataRsltMax;
    } else if (pScalars && pScalars->GetNumberOfTuples() > 0) {
        double r[2];
        pScalars->GetRange(r);
        dMin = r[0];
        dMax = r[1];
    }
    if (!(dMax > dMin))
        dMax = dMin + 1.0;
    auto* pTable = new CPVSColorTableBase(0);
    pTable->Generate(dMin, dMax, pVS ? pVS->cont.GetBandNum() : 12, 0, 0, 0);
    return pTable;
}

void DrawLabels(CPVSVisualDataBase* pVD, T_PVIST_ALL_D* pVS, CPVSRendererBase* pRenderer)
{
    if (!pVD || !pVS || !pVS->vals.bShow)
        return;
    CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&> aText;
    if (!pVD->MakeVTextData(aText, pVS) || aText.GetSize() == 0)
        return;
    CArray<gp_Pnt, gp_Pnt&> aPos;
    CArray<CString, CString&> aStr;
    for (int i = 0; i < aText.GetSize(); ++i) {
        gp_Pnt p(aText[i].dPos[0], aText[i].dPos[1], aText[i].dPos[2]);
        aPos.Add(p);
        aStr.Add(aText[i].strText);
    }
    const unsigned int c = pVS->nLabelColor;
    pRenderer->DrawLabels(aPos, aStr, 0, pVS->nFontSize,
                          Quantity_Color((c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0,
                                         Quantity_TOC_RGB));
}

} // namespace

CPVSVisualMethodDefault::CPVSVisualMethodDefault(T_VM_PARAM_D& param) : CPVSVisualMethodBase(param) {}
CPVSVisualMethodDefault::~CPVSVisualMethodDefault() { delete m_pColorTable; }

int CPVSVisualMethodDefault::Process()
{
    const int nCode = m_param.nVMType;
    CPVSVisualDataBase* pVD = GetVDTCtrl();
    if ((nCode != 1 && nCode != 2 && nCode != 4) || !pVD || !GetMDTCtrl())
        return 1;
    if (!pVD->GetModelData())
        pVD->SetModelData(GetMDTCtrl());
    if (m_pDataSetPst)
        m_pDataSetPst->Delete();
    m_pDataSetPst = nullptr;
    // Element diagrams are polygons built with the list of the elements they draw.
    if (auto* pDgrm = dynamic_cast<CPVSVisualDataElemDgrm*>(pVD)) {
        auto* pPoly = vtkPolyData::New();
        m_pDataSetPst = pPoly;
        CArray<unsigned int, unsigned int> aDrawn;
        if (!pDgrm->MakeVGeomData(pPoly, GetVS(), GetAS(), nullptr, GetMDTCtrl(), nullptr, nullptr, nullptr, nullptr,
                                  aDrawn))
            return 0;
    } else {
        auto* pGrid = vtkUnstructuredGrid::New();
        m_pDataSetPst = pGrid;
        if (!pVD->MakeVGeomData(pGrid, GetVS(), GetAS(), nullptr, GetMDTCtrl(), nullptr, nullptr, nullptr, nullptr))
            return 0;
    }
    delete m_pColorTable;
    vtkPointData* pPD = m_pDataSetPst->GetPointData();
    m_pColorTable = MakeTable(pPD ? pPD->GetScalars() : nullptr, GetVS());
    return 1;
}

int CPVSVisualMethodDefault::Render(CPVSRendererBase* pRenderer)
{
    if (!pRenderer || !m_pColorTable || !m_pDataSetPst)
        return 1;
    // A model drawn as its feature edges shows what lies inside: the contour goes translucent.
    const int bSeeThrough = GetVS() && GetVS()->nDispMode == 3;
    // A display that made its own colour table (the event states) is drawn through it.
    CPVSColorTableBase* pTable = GetDBDoc() && GetDBDoc()->GetCurPostColorTable() ? GetDBDoc()->GetCurPostColorTable()
                                                                                  : m_pColorTable;
    pRenderer->DrawTableDataSet(m_pDataSetPst, pTable->GetTable(), bSeeThrough ? 2 : 1, 0);
    DrawLabels(GetVDTCtrl(), GetVS(), pRenderer);
    return 1;
}

CPVSVisualMethodPointElement::CPVSVisualMethodPointElement(T_VM_PARAM_D& param) : CPVSVisualMethodBase(param) {}
CPVSVisualMethodPointElement::~CPVSVisualMethodPointElement() { delete m_pColorTable; }

int CPVSVisualMethodPointElement::Process()
{
    auto* pVD = dynamic_cast<CPVSVisualDataPointElement*>(GetVDTCtrl());
    if (!pVD || !GetMDTCtrl())
        return 1;
    if (!pVD->GetModelData())
        pVD->SetModelData(GetMDTCtrl());
    InitializeDataSet();
    vtkUnstructuredGrid* pOwn = vtkUnstructuredGrid::New();
    CArray<gp_Pnt, gp_Pnt&> aPnt;
    CArray<double, double&> aVal;
    m_fSymbolSize = 0.0f;
    const int bMade = pVD->MakeVGeomData(pOwn, GetVS(), GetAS(), nullptr, GetMDTCtrl(), nullptr, nullptr,
                                         m_pDataSetInactive, nullptr, m_aKey, aPnt, aVal, &m_fSymbolSize);
    pOwn->Delete();
    if (!bMade)
        return 0;
    vtkPoints* pPoints = vtkPoints::New(VTK_DOUBLE);
    vtkDoubleArray* pScalars = vtkDoubleArray::New();
    vtkCellArray* pVerts = vtkCellArray::New();
    const int n = aPnt.GetSize() < aVal.GetSize() ? aPnt.GetSize() : aVal.GetSize();
    for (int i = 0; i < n; ++i) {
        const vtkIdType id = pPoints->InsertNextPoint(aPnt[i].X(), aPnt[i].Y(), aPnt[i].Z());
        pVerts->InsertNextCell(1, &id);
        pScalars->InsertNextValue(aVal[i]);
    }
    auto* pPoly = vtkPolyData::SafeDownCast(m_pDataSetPst);
    pPoly->SetPoints(pPoints);
    pPoly->SetVerts(pVerts);
    pPoly->GetPointData()->SetScalars(pScalars);
    pVerts->Delete();
    pScalars->Delete();
    pPoints->Delete();
    delete m_pColorTable;
    m_pColorTable = MakeTable(pPoly->GetPointData()->GetScalars(), GetVS());
    return 1;
}

int CPVSVisualMethodPointElement::Render(CPVSRendererBase* pRenderer)
{
    if (!pRenderer || !m_pColorTable || !m_pDataSetPst)
        return 1;
    // Symbols a fixed number of pixels wide: the model-size symbol is the host view's.
    pRenderer->DrawTableDataSet(m_pDataSetPst, m_pColorTable->GetTable(), 0, 12);
    return 1;
}
