#include "PVSVisualDataBase.h"
#include "PVSVisualMethodBase.h"
#include "PVSModelData.h"
#include "PVSColorTable.h"
#include "FactoryPVS.h"
#include "PostCtrlBase.h"
#include "PVSUtilFunc.h"
#include "MathFunc.h"

#include <memory>

#include <gp_Pnt.hxx>
#include <vtkAppendPolyData.h>
#include <vtkBandedPolyDataContourFilter.h>
#include <vtkCellArray.h>
#include <vtkCellType.h>
#include <vtkDoubleArray.h>
#include <vtkIdList.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkUnstructuredGrid.h>

#include <cfloat>
#include <cmath>
#include <vector>

IMPLEMENT_DYNAMIC(CPVSVisualDataBase, CObject)
IMPLEMENT_DYNAMIC(CPVSVisualDataNone, CPVSVisualDataBase)
IMPLEMENT_DYNAMIC(CPVSVisualDataMultiStepIsoSurf, CPVSVisualDataBase)
IMPLEMENT_DYNAMIC(CPVSVisualDataNode, CPVSVisualDataBase)
IMPLEMENT_DYNAMIC(CPVSVisualDataElem, CPVSVisualDataBase)
IMPLEMENT_DYNAMIC(CPVSVisualDataElemDgrm, CPVSVisualDataBase)
IMPLEMENT_DYNAMIC(CPVSVisualDataElemCell, CPVSVisualDataElem)
IMPLEMENT_DYNAMIC(CPVSVisualDataPointElement, CPVSVisualDataBase)
IMPLEMENT_DYNAMIC(CPVSVisualDataCustomVectPlot, CPVSVisualDataBase)
IMPLEMENT_DYNAMIC(I_PVSVisualMethod, CObject)
IMPLEMENT_DYNAMIC(CPVSVisualMethodBase, I_PVSVisualMethod)
IMPLEMENT_DYNAMIC(CPVSVisualMethodDefault, CPVSVisualMethodBase)
IMPLEMENT_DYNAMIC(CPVSVisualMethodColorMap, CPVSVisualMethodBase)
IMPLEMENT_DYNAMIC(CPVSVisualMethodPointElement, CPVSVisualMethodBase)
IMPLEMENT_DYNAMIC(CPVSModelDataBase, CObject)
IMPLEMENT_DYNAMIC(CPVSModelDataFEM, CPVSModelDataBase)

BOOL CPVSVisualDataBase::m_bVDataRsltSet = FALSE;
double CPVSVisualDataBase::m_dVDataRsltMin = 0.0;
double CPVSVisualDataBase::m_dVDataRsltMax = 0.0;
double CPVSVisualDataBase::m_dVDataRsltSum = 0.0;
double CPVSVisualDataBase::m_dVDataRsltNum = 0.0;
double CPVSVisualDataBase::m_dVDataDispMax = 0.0;
double CPVSVisualDataBase::m_dVDataDispFactor = 1.0;
double CPVSVisualDataBase::m_dVDataSymbolFactor = 1.0;

CPVSVisualDataBase::CPVSVisualDataBase(T_VD_PARAM_D& param) : m_param(param)
{
    if (m_param.pDoc) {
        // The post control lives in the post database; a database without one gets a plain one.
        CDBBase* pPostDB = m_param.pDoc->GetPostDB();
        m_pPostCtrl = CPDataBaseNeutral::GetPostCtrl(pPostDB);
        if (!m_pPostCtrl) {
            CPDataBaseNeutral::SetPostCtrl(pPostDB, std::make_shared<CPostCtrlBase>());
            m_pPostCtrl = CPDataBaseNeutral::GetPostCtrl(pPostDB);
        }
        if (m_pPostCtrl) {
            m_pPostCtrl->AttachPostDB(pPostDB);
            m_pPostCtrl->AttachModelDB(m_param.pDoc->GetModelDB());
        }
        m_clsElem.Connect(m_param.pDoc->GetModelDB());
    }
}
CPVSVisualDataBase::CPVSVisualDataBase(unsigned int nType, T_VD_PARAM_D& param) : CPVSVisualDataBase(param)
{
    m_nType = nType;
}
CPVSVisualDataBase::~CPVSVisualDataBase() = default;

BOOL CPVSVisualDataBase::GetActiveElemK(CArray<unsigned int, unsigned int>& aElemK)
{
    aElemK.RemoveAll();
    if (!m_param.pDoc)
        return FALSE;
    // Sized once: the list keeps its storage through the RemoveAll that starts GetKeyList.
    aElemK.SetSize(m_clsElem.GetCount());
    m_clsElem.GetKeyList(aElemK);
    return TRUE;
}

double CPVSVisualDataBase::GetAnimFactor(T_PVIST_ANIM_D* pAS, CAnimationEngine*)
{
    return pAS && pAS->bAnimate ? pAS->dPhase : 1.0;
}

double CPVSVisualDataBase::GetSubFrameVal(T_PVIST_ANIM_D* pAS, double dValue, double dFactor)
{
    return pAS && pAS->bAnimate ? dValue * dFactor : dValue;
}

BOOL CPVSVisualDataBase::GetActiveNodeK(CArray<unsigned int, unsigned int>& aNodeK)
{
    aNodeK.RemoveAll();
    if (!m_param.pDoc)
        return FALSE;
    CClassNode(m_param.pDoc->GetModelDB()).GetKeyList(aNodeK);
    return TRUE;
}

BOOL CPVSVisualDataBase::IsVertical(const double p0[3], const double p1[3])
{
    const double dx = p1[0] - p0[0], dy = p1[1] - p0[1], dz = p1[2] - p0[2];
    const double dH = std::sqrt(dx * dx + dy * dy);
    return dH <= 1e-9 * std::sqrt(dx * dx + dy * dy + dz * dz) ? TRUE : FALSE;
}

CPVSVisualDataBase* CPVSVisualDataBase::CreateVisualDataByType(unsigned int nType, T_VD_PARAM_D& param)
{
    IFactoryPVS* f = IFactoryPVS::Instance();
    return f ? f->CreateVisualDataByType(nType, &param) : nullptr;
}

int CPVSVisualDataBase::GetVisualMethodType(T_PVIST_ALL_D* pVS) { return pVS && !pVS->bAverage ? 2 : 1; }
int CPVSVisualDataBase::MakeVData(T_PVIST_ALL_D*, T_PVIST_ANIM_D*, int) { return 1; }
int CPVSVisualDataBase::MakeVGeomData(vtkDataSet*, T_PVIST_ALL_D*, T_PVIST_ANIM_D*, CAnimationEngine*,
                                      CPVSModelDataBase*, CArray<int, int>*, CArray<int, int>*, CArray<int, int>*,
                                      CArray<int, int>*)
{
    return 1;
}
int CPVSVisualDataBase::MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>&, T_PVIST_ALL_D*,
                                      CPVSModelDataBase*)
{
    return 1;
}
int CPVSVisualDataBase::MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>&, T_PVIST_ALL_D*) { return 1; }
void CPVSVisualDataBase::Initialize() { m_mVData.RemoveAll(); }
int CPVSVisualDataBase::GetPostOutput4ToolTip(int, unsigned int, CArray<CString, CString&>&) { return 1; }
int CPVSVisualDataBase::GetPostOutput4Probe(int, unsigned int, CArray<CString, CString&>&, int)
{
    m_nProbeResult = 0;
    return 1;
}
void CPVSVisualDataBase::InitVDataHashTable(int) { m_mVData.RemoveAll(); }
int CPVSVisualDataBase::InsertNextCell4Contour(vtkUnstructuredGrid*, int, vtkIdList*) { return 1; }
int CPVSVisualDataBase::InsertNextCell4Contour(int nCellType, vtkIdList* pIds, vtkUnstructuredGrid* pGrid,
                                               vtkDoubleArray*, vtkDataArray*, vtkPoints*, vtkIdType&,
                                               int& nCellCount,
                                               CMap<unsigned int, unsigned int, unsigned int, unsigned int>*)
{
    if (!pIds || !pGrid || nCellType <= 0)
        return 0;
    pGrid->InsertNextCell(nCellType, pIds);
    ++nCellCount;
    return 1;
}

int CPVSVisualDataBase::MakeLineContourData(CPVSModelDataBase*, unsigned int nElemK, const T_ELEM_D&,
                                            const double* pVal)
{
    T_LINE_CONTOUR_D d;
    d.nElemK = nElemK;
    if (pVal) {
        d.dVal[0] = pVal[0];
        d.dVal[1] = pVal[1];
    }
    m_aLineContour.Add(d);
    return 1;
}

int CPVSVisualDataBase::InsertNextQuadraticQuad(vtkUnstructuredGrid*, vtkIdList*) { return 1; }
int CPVSVisualDataBase::InsertNextQuadraticHexa(vtkUnstructuredGrid*, vtkIdList*) { return 1; }
int CPVSVisualDataBase::InsertNextQuadraticPyramid(vtkUnstructuredGrid*, vtkIdList*) { return 1; }
int CPVSVisualDataBase::InsertNextQuadraticWedge(vtkUnstructuredGrid*, vtkIdList*) { return 1; }

void CPVSVisualDataBase::SetMinMaxVal(double dVal)
{
    if (!m_bVDataRsltSet) {
        m_dVDataRsltMin = m_dVDataRsltMax = dVal;
        m_bVDataRsltSet = TRUE;
        return;
    }
    if (dVal < m_dVDataRsltMin)
        m_dVDataRsltMin = dVal;
    if (dVal > m_dVDataRsltMax)
        m_dVDataRsltMax = dVal;
}

void CPVSVisualDataBase::SetMinMaxVal(unsigned int, double dVal, int) { SetMinMaxVal(dVal); }

void CPVSVisualDataBase::ResetVDataStatics()
{
    m_bVDataRsltSet = FALSE;
    m_dVDataRsltMin = m_dVDataRsltMax = 0.0;
    m_dVDataRsltSum = m_dVDataRsltNum = 0.0;
    m_dVDataDispMax = 0.0;
    m_dVDataDispFactor = 1.0;
    m_dVDataSymbolFactor = 1.0;
}

int CPVSVisualDataNode::MakeVGeomDataIncludingSolid(vtkDataSet*, T_PVIST_ALL_D*) { return 1; }
double CPVSVisualDataNode::GetScalar(unsigned int nNodeK, T_PVIST_ALL_D*)
{
    T_VSUL_DATA_D d;
    return m_mVData.Lookup(static_cast<int>(nNodeK), d) ? d.GetNodeScalar(0) : 0.0;
}
int CPVSVisualDataNode::GetVector(unsigned int nNodeK, double* pVect)
{
    T_VSUL_DATA_D d;
    if (!pVect || !m_mVData.Lookup(static_cast<int>(nNodeK), d))
        return 0;
    for (int i = 0; i < 3; ++i)
        pVect[i] = d.GetNodeScalar(i + 1);
    return 1;
}

int CPVSVisualDataElem::MakeVGeomDataIncludingSolid(vtkDataSet*, T_PVIST_ALL_D*) { return 1; }
double CPVSVisualDataElem::GetScalar(unsigned int nElemK, int nNode, T_PVIST_ALL_D*)
{
    T_VSUL_DATA_D d;
    return m_mVData.Lookup(static_cast<int>(nElemK), d) ? d.GetNodeScalar(nNode) : 0.0;
}
double CPVSVisualDataElem::GetScalar4VectorPlot(unsigned int nElemK, T_PVIST_ALL_D* pVS) { return GetScalar(nElemK, 0, pVS); }
int CPVSVisualDataElem::GetVector(unsigned int, double*) { return 0; }
double CPVSVisualDataElem::GetCenterVal(unsigned int nElemK)
{
    double d = 0.0;
    return m_mElemCenterVal.Lookup(static_cast<int>(nElemK), d) ? d : GetScalar(nElemK, 0, nullptr);
}

int CPVSVisualDataElem::MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D*, T_PVIST_ANIM_D* pAS,
                                      CAnimationEngine* pAnim, CPVSModelDataBase* pMD, CArray<int, int>*,
                                      CArray<int, int>*, CArray<int, int>*, CArray<int, int>*)
{
    auto* pGrid = vtkUnstructuredGrid::SafeDownCast(pDataSet);
    auto* pFEM = dynamic_cast<CPVSModelDataFEM*>(pMD);
    if (!pGrid || !pFEM)
        return 0;
    const double dFactor = GetAnimFactor(pAS, pAnim);
    vtkPoints* pPoints = vtkPoints::New(VTK_DOUBLE);
    vtkDoubleArray* pScalars = vtkDoubleArray::New();
    vtkIdList* pIds = vtkIdList::New();
    pGrid->Allocate(pFEM->GetElemNum(), 2 * pFEM->GetElemNum());
    for (int i = 0; i < pFEM->GetElemNum(); ++i) {
        const unsigned int nElemK = pFEM->GetElemK(i);
        const T_ELEM_D* pElem = pFEM->FindElemD(nElemK);
        T_VSUL_DATA_D d;
        if (!pElem || pElem->nCellType <= 0 || !m_mVData.Lookup(static_cast<int>(nElemK), d))
            continue;
        pIds->Reset();
        bool bAll = true;
        for (int k = 0; k < pElem->aNodeK.GetSize() && bAll; ++k)
            bAll = pFEM->FindNodeD(pElem->aNodeK[k]) != nullptr;
        if (!bAll)
            continue;
        for (int k = 0; k < pElem->aNodeK.GetSize(); ++k) {
            pIds->InsertNextId(pPoints->InsertNextPoint(pFEM->FindNodeD(pElem->aNodeK[k])->dXyz));
            pScalars->InsertNextValue(GetSubFrameVal(pAS, d.GetNodeScalar(k), dFactor));
        }
        pGrid->InsertNextCell(pElem->nCellType, pIds);
    }
    pGrid->SetPoints(pPoints);
    pGrid->GetPointData()->SetScalars(pScalars);
    pIds->Delete();
    pScalars->Delete();
    pPoints->Delete();
    return 1;
}

int CPVSVisualDataElem::MakeVTextData(CArray<T_VD_TEXT_PARAM_D, T_VD_TEXT_PARAM_D&>& aText, T_PVIST_ALL_D* pVS,
                                      CPVSModelDataBase* pMD)
{
    aText.RemoveAll();
    auto* pFEM = dynamic_cast<CPVSModelDataFEM*>(pMD);
    if (!pFEM)
        return 0;
    CString strFormat;
    if (pVS)
        pVS->vals.GetFormatString(strFormat);
    else
        strFormat = "%g";
    for (int i = 0; i < pFEM->GetElemNum(); ++i) {
        const unsigned int nElemK = pFEM->GetElemK(i);
        const T_ELEM_D* pElem = pFEM->FindElemD(nElemK);
        T_VSUL_DATA_D d;
        if (!pElem || pElem->aNodeK.GetSize() == 0 || !m_mVData.Lookup(static_cast<int>(nElemK), d))
            continue;
        T_VD_TEXT_PARAM_D t;
        int n = 0;
        for (int k = 0; k < pElem->aNodeK.GetSize(); ++k)
            if (const T_NODE_D* pNode = pFEM->FindNodeD(pElem->aNodeK[k])) {
                for (int c = 0; c < 3; ++c)
                    t.dPos[c] += pNode->dXyz[c];
                ++n;
            }
        if (n == 0 || !GetTextValString(t.strText, pVS, strFormat, GetCenterVal(nElemK)))
            continue;
        for (double& c : t.dPos)
            c /= n;
        aText.Add(t);
    }
    return 1;
}
void CPVSVisualDataElem::InterpolateHighOrderEdgeVals(unsigned int) {}

CPVSVisualMethodBase::CPVSVisualMethodBase(T_VM_PARAM_D& param) : I_PVSVisualMethod(param) {}
CPVSVisualMethodBase::~CPVSVisualMethodBase()
{
    DeleteMdlDataCtrl();
    if (m_pAppendFilter)
        m_pAppendFilter->Delete();
    for (vtkDataSet* p : {m_pDataSetPre, m_pDataSetPst, m_pDataSetInactive})
        if (p)
            p->Delete();
}

void CPVSVisualMethodBase::InitializeDataSet()
{
    for (vtkDataSet** pp : {&m_pDataSetPre, &m_pDataSetPst, &m_pDataSetInactive}) {
        if (*pp)
            (*pp)->Initialize();
        else
            *pp = vtkPolyData::New();
    }
}

CPVSVisualMethodBase* CPVSVisualMethodBase::CreateVisualMethod(T_VM_PARAM_D& param)
{
    IFactoryPVS* f = IFactoryPVS::Instance();
    CPVSVisualMethodBase* pVM = f ? f->CreateVisualMethod(&param) : nullptr;
    // A method made here reads the model of its document, as one the host shows does.
    if (pVM && !pVM->GetMDTCtrl() && param.pDoc) {
        T_MD_PARAM_D md;
        md.bFlag = 1;
        pVM->SetMDTCtrl(new CPVSModelDataFEM(md, param.pDoc));
    }
    return pVM;
}

int CPVSVisualMethodBase::GenerateContour(vtkBandedPolyDataContourFilter* pFilter, int nBands, double dMin, double dMax)
{
    if (!pFilter)
        return 0;
    pFilter->GenerateValues(nBands + 1, dMin, dMax);
    return 1;
}

int CPVSVisualMethodBase::Process() { return 1; }
int CPVSVisualMethodBase::Render0(CPVSRendererBase*) { return 1; }
int CPVSVisualMethodBase::Render(CPVSRendererBase*) { return 1; }
int CPVSVisualMethodBase::Render2(CPVSRendererBase*) { return 1; }

void CPVSVisualMethodBase::DeleteMdlDataCtrl()
{
    delete m_pMDTCtrl;
    m_pMDTCtrl = nullptr;
}

int CPVSVisualDataBase::MakeInactiveElemDataSet(int nStyle, CMap<unsigned int, unsigned int, unsigned int, unsigned int>& mElemK,
                                                CPVSModelDataFEM* pMD, vtkDataSet* pDataSet)
{
    if (!pMD || !pDataSet)
        return 0;
    m_nInactiveStyle = nStyle;
    m_nInactiveCount = static_cast<int>(mElemK.GetCount());
    return 1;
}

int CPVSVisualDataPointElement::MakeVGeomData(vtkDataSet*, T_PVIST_ALL_D*, T_PVIST_ANIM_D*, CAnimationEngine*,
                                              CPVSModelDataBase*, CArray<int, int>*, CArray<int, int>*, vtkDataSet*,
                                              vtkDataSet*, CArray<unsigned int, unsigned int>& aKey,
                                              CArray<gp_Pnt, gp_Pnt&>& aPnt, CArray<double, double&>& aVal, float*)
{
    aKey.RemoveAll();
    aPnt.RemoveAll();
    aVal.RemoveAll();
    return 0;
}

int CPVSVisualDataPointElement::GetScalar(unsigned int, double&, int) { return 0; }

int CPVSVisualDataBase::GetTextValString(CString& strText, T_PVIST_ALL_D*, const CString& strFormat, double dValue)
{
    strText = "";
    if (!std::isfinite(dValue))
        return 0;
    strText.Format(static_cast<const char*>(strFormat), dValue);
    return 1;
}

CPVSVisualDataElemDgrm::CPVSVisualDataElemDgrm(T_VD_PARAM_D& param) : CPVSVisualDataBase(param)
{
    if (m_param.pDoc)
        CClassPVtif(m_param.pDoc->GetPostDB()).Get(m_param.nPVtifK, m_pvtif);
}

CPVSVisualDataElemDgrm::CPVSVisualDataElemDgrm(unsigned int nType, T_VD_PARAM_D& param) : CPVSVisualDataElemDgrm(param)
{
    m_nType = nType;
}

int CPVSVisualDataElemDgrm::MakeVData(T_PVIST_ALL_D*, T_PVIST_ANIM_D*, int)
{
    CArray<unsigned int, unsigned int> aElemK;
    if (!GetActiveElemK(aElemK) || !m_pPostCtrl)
        return 0;
    InitVDataHashTable(aElemK.GetSize());
    m_mDgrmVect.RemoveAll();
    if (!m_pPostCtrl->BeginQueryRow(GetPVtifK()))
        return 0;
    std::vector<double> a(16), d(3);
    for (int i = 0; i < aElemK.GetSize(); ++i) {
        const unsigned int nId = aElemK[i];
        int n = 0, nd = 0;
        if (!m_pPostCtrl->GetElemValues(nId, GetPVtifK(), n, a.data(), static_cast<int>(a.size())) || n <= 0)
            continue;
        if (n > static_cast<int>(a.size())) {
            a.resize(static_cast<size_t>(n));
            m_pPostCtrl->GetElemValues(nId, GetPVtifK(), n, a.data(), n);
        }
        if (!m_pPostCtrl->GetElemDgrmDir(nId, GetPVtifK(), nd, d.data(), 3) || nd < 3)
            continue;
        T_VSUL_DATA_D v;
        for (int k = 0; k < n; ++k) {
            v.aValue.Add(a[static_cast<size_t>(k)]);
            SetMinMaxVal(nId, a[static_cast<size_t>(k)], 1);
        }
        m_mVData.SetAt(static_cast<int>(nId), v);
        C3DPoint dir(d[0], d[1], d[2]);
        m_mDgrmVect.SetAt(static_cast<int>(nId), dir);
    }
    m_pPostCtrl->EndQueryRow();
    return 1;
}

int CPVSVisualDataElemDgrm::GetDgrmVect(unsigned int nElemK, C3DPoint& dir)
{
    return m_mDgrmVect.Lookup(static_cast<int>(nElemK), dir) ? 1 : 0;
}

int CPVSVisualDataElemDgrm::MakeDgrmPolygon(T_PVTIF_D& row, T_VSUL_DATA_D& vals, double* pDir, T_NODE_D& n1,
                                            T_NODE_D& n2, CArray<T_PVS_POLY_D, T_PVS_POLY_D&>& aPoly, int)
{
    aPoly.RemoveAll();
    const int nCount = vals.GetSize();
    if (!pDir || nCount == 0 || nCount % 2 != 0 || nCount != row.aDgrmPos.GetSize())
        return 0;
    const int nSeg = nCount / 2, m = 16 / nSeg;
    T_PVIST_SYMB_D* pSB = CPostVisualState::Instance()->GetCurrentPS();
    const double dScale = pSB->dDgrmScale * m_dVDataSymbolFactor;
    double dir[3] = {pDir[0], pDir[1], pDir[2]};
    if (pSB->bDgrmReverse)
        for (double& c : dir)
            c = -c;
    const C3DPoint A(n1.dXyz[0], n1.dXyz[1], n1.dXyz[2]), B(n2.dXyz[0], n2.dXyz[1], n2.dXyz[2]);
    for (int s = 0; s < nSeg; ++s) {
        const double p0 = row.aDgrmPos[2 * s], p1 = row.aDgrmPos[2 * s + 1];
        const double q0 = vals.aValue[2 * s], q1 = vals.aValue[2 * s + 1];
        for (int k = 0; k < m; ++k) {
            const double t0 = p0 + k * (p1 - p0) / m, t1 = p0 + (k + 1) * (p1 - p0) / m;
            const double w0 = q0 + k * (q1 - q0) / m, w1 = q0 + (k + 1) * (q1 - q0) / m;
            C3DPoint Pa, Pb, Pc, Pd;
            CPVSUtilFunc::GetInnerLinePoint(t0, 1.0 - t0, A, B, Pa);
            CPVSUtilFunc::GetInnerLinePoint(t1, 1.0 - t1, A, B, Pb);
            CPVSUtilFunc::GetVectorDirectionPoint(dir, w0, dScale, Pa, Pc);
            CPVSUtilFunc::GetVectorDirectionPoint(dir, w1, dScale, Pb, Pd);
            auto vtx = [](const C3DPoint& p, int f, double v) {
                VtxInfo_tag t;
                t.point = p;
                t.flag = f;
                t.value = v;
                return t;
            };
            T_PVS_POLY_D poly;
            if (w0 * w1 < 0.0) {
                const double r = std::fabs(w0) / (std::fabs(w0) + std::fabs(w1));
                C3DPoint Px;
                CPVSUtilFunc::GetInnerLinePoint(r, 1.0 - r, Pc, Pd, Px);
                VtxInfo_tag v[3] = {vtx(Pa, 1, w0), vtx(Pc, 1, w0), vtx(Px, 0, 0.0)};
                for (VtxInfo_tag& t : v)
                    poly.aVtx.Add(t);
                aPoly.Add(poly);
                poly.aVtx.RemoveAll();
                VtxInfo_tag u[3] = {vtx(Px, 1, 0.0), vtx(Pd, 1, w1), vtx(Pb, 1, w1)};
                for (VtxInfo_tag& t : u)
                    poly.aVtx.Add(t);
            } else {
                VtxInfo_tag v[4] = {vtx(Pa, 1, w0), vtx(Pc, 1, w0), vtx(Pd, 1, w1), vtx(Pb, 0, w1)};
                for (VtxInfo_tag& t : v)
                    poly.aVtx.Add(t);
            }
            aPoly.Add(poly);
        }
    }
    return 1;
}

int CPVSVisualDataElemDgrm::MakeDgrmPolygonVTK(vtkPoints* pPoints, vtkDoubleArray* pScalars, vtkDataSet* pDataSet,
                                               int& nPoint, CArray<T_PVS_POLY_D, T_PVS_POLY_D&>& aPoly)
{
    if (!pPoints || !pScalars || !pDataSet)
        return 0;
    vtkPolyData* pPoly = vtkPolyData::SafeDownCast(pDataSet);
    vtkUnstructuredGrid* pGrid = vtkUnstructuredGrid::SafeDownCast(pDataSet);
    if (!pPoly && !pGrid)
        return 0;
    if (pPoly && (!pPoly->GetPolys() || pPoly->GetPolys()->GetNumberOfCells() == 0)) {
        vtkCellArray* pCells = vtkCellArray::New();
        pPoly->SetPolys(pCells);
        pCells->Delete();
    }
    if (pGrid && !pGrid->GetCells()) {
        pGrid->Allocate(64);
    }
    vtkIdList* pIds = vtkIdList::New();
    for (int i = 0; i < aPoly.GetSize(); ++i) {
        const T_PVS_POLY_D& poly = aPoly[i];
        const int n = poly.aVtx.GetSize();
        if (n < 3)
            continue;
        pIds->Reset();
        for (int k = 0; k < n; ++k) {
            const VtxInfo_tag& v = poly.aVtx[k];
            pPoints->InsertNextPoint(v.point.x, v.point.y, v.point.z);
            pScalars->InsertNextValue(v.value);
            pIds->InsertNextId(nPoint++);
        }
        if (pPoly)
            pPoly->GetPolys()->InsertNextCell(pIds);
        else
            pGrid->InsertNextCell(n == 3 ? VTK_TRIANGLE : (n == 4 ? VTK_QUAD : VTK_POLYGON), pIds);
    }
    pIds->Delete();
    pDataSet->Modified();
    return 1;
}

int CPVSVisualDataElemDgrm::MakeVGeomData(vtkDataSet* pDataSet, T_PVIST_ALL_D*, T_PVIST_ANIM_D* pAS,
                                          CAnimationEngine* pAnim, CPVSModelDataBase* pMD, CArray<int, int>*,
                                          CArray<int, int>*, vtkDataSet*, vtkDataSet*,
                                          CArray<unsigned int, unsigned int>& aElemK)
{
    auto* pFEM = dynamic_cast<CPVSModelDataFEM*>(pMD);
    vtkPointSet* pSet = vtkPointSet::SafeDownCast(pDataSet);
    if (!pSet || !pFEM)
        return 0;
    aElemK.RemoveAll();
    vtkPoints* pPoints = vtkPoints::New();
    vtkDoubleArray* pScalars = vtkDoubleArray::New();
    const double dFactor = GetAnimFactor(pAS, pAnim);
    int nPoint = 0;
    for (int i = 0; i < pFEM->GetElemNum(); ++i) {
        const unsigned int k = pFEM->GetElemK(i);
        T_ELEM_D e;
        T_VSUL_DATA_D v;
        C3DPoint dir;
        if (!pFEM->GetElemD(k, e) || e.aNodeK.GetSize() != 2 || !m_mVData.Lookup(static_cast<int>(k), v) ||
            !GetDgrmVect(k, dir))
            continue;
        aElemK.Add(k);
        T_NODE_D a, b;
        if (!pFEM->GetNodeD(e.aNodeK[0], a) || !pFEM->GetNodeD(e.aNodeK[1], b))
            continue;
        for (int j = 0; j < v.GetSize(); ++j)
            v.aValue[j] = GetSubFrameVal(pAS, v.aValue[j], dFactor);
        double d[3] = {dir.x, dir.y, dir.z};
        CMathFunc::mathNormalize(d);
        CArray<T_PVS_POLY_D, T_PVS_POLY_D&> aPoly;
        if (MakeDgrmPolygon(m_pvtif, v, d, a, b, aPoly, 1))
            MakeDgrmPolygonVTK(pPoints, pScalars, pDataSet, nPoint, aPoly);
    }
    pSet->SetPoints(pPoints);
    pDataSet->GetPointData()->SetScalars(pScalars);
    pPoints->Delete();
    pScalars->Delete();
    return 1;
}
