#include "visualmethods/CPVSVisualMethodFOS.h"
#include "visualdata/ElementCells.h"
#include "visualdata/HostEntryGuard.h"

#include "CustomSetting.h"
#include "DBDoc.h"
#include "DisplayOptMgr.h"
#include "PVSModelData.h"
#include "PVSRendererBase.h"
#include "PVSUtilFunc.h"
#include "PostVisualState.h"
#include "SlopeResults.h"
#include "UnitCtrl.h"
#include "vtkQuadraticDataSetSurfaceFilter.h"

#include <vtkCleanPolyData.h>
#include <vtkDataSetSurfaceFilter.h>
#include <vtkIdList.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkUnstructuredGrid.h>


#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

IMPLEMENT_DYNAMIC(CPVSVisualMethodFOS, CPVSVisualMethodBase)

namespace {

// In-plane axes (first, second) and the out-of-plane axis of a plane kind.
void PlaneAxes(int nPlane, int& i, int& j, int& k)
{
    static const int axes[3][3] = {{0, 1, 2}, {1, 2, 0}, {0, 2, 1}};
    i = axes[nPlane][0];
    j = axes[nPlane][1];
    k = axes[nPlane][2];
}

// t(k) = k (1 / (n - 1)), the reciprocal formed once, and exactly 1 for the last line.
std::vector<double> GridParams(int n)
{
    std::vector<double> t(static_cast<size_t>(n), 1.0);
    if (n > 1) {
        const double dStep = 1.0 / (n - 1);
        for (int k = 0; k < n - 1; ++k)
            t[static_cast<size_t>(k)] = k * dStep;
    }
    return t;
}

double Distance(const T_POINT3D& a, const T_POINT3D& b)
{
    const double dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// A label d beyond a point along both in-plane axes.
gp_Pnt LabelPoint(const T_POINT3D& p, int nPlane, double d)
{
    double c[3] = {p.x, p.y, p.z};
    int i = 0, j = 0, k = 0;
    PlaneAxes(nPlane, i, j, k);
    c[i] += d;
    c[j] += d;
    return gp_Pnt(c[0], c[1], c[2]);
}

CString FactorText(double dFactor, bool bBlankZero)
{
    CString s;
    if (!(bBlankZero && std::fabs(dFactor) < 1e-15))
        s.Format("%.4g", dFactor);
    return s;
}

Quantity_Color RgbOf(unsigned int nColor)
{
    double r = 0, g = 0, b = 0;
    CPVSUtilFunc::GetRgbF(nColor, r, g, b);
    return Quantity_Color(r, g, b, Quantity_TOC_RGB);
}

} // namespace

CPVSVisualMethodFOS::CPVSVisualMethodFOS(T_VM_PARAM_D& param) : CPVSVisualMethodBase(param)
{
    for (auto& p : m_dArc)
        p[0] = p[1] = p[2] = 0.0;
}

CPVSVisualMethodFOS::~CPVSVisualMethodFOS() { ReleaseArrays(); }

void CPVSVisualMethodFOS::ReleaseArrays()
{
    delete[] m_pMarker;
    delete[] m_pGridSeg;
    delete[] m_pPolyline;
    m_pMarker = m_pGridSeg = m_pPolyline = nullptr;
    m_nMarkerCount = m_nGridSegCount = m_nPolylineCount = 0;
}

T_VD_FOS_TVCKVR_D* CPVSVisualMethodFOS::GetRecord()
{
    auto* pVD = dynamic_cast<CPVSVisualDataFOS*>(GetVDTCtrl());
    return pVD ? pVD->m_pFOSData : nullptr;
}

// An entry of the host's: whatever escapes gives Process's failure value with nothing kept to
// draw, as a record that names no slip surface does.
int CPVSVisualMethodFOS::Process()
{
    return kvpvs::visualdata::GuardedEntry(
        0, [&] { return Build(); },
        [&] {
            m_aLabelPos.RemoveAll();
            m_aLabelText.RemoveAll();
            m_aCriticalPos.RemoveAll();
            m_aCriticalText.RemoveAll();
            ReleaseArrays();
            for (vtkDataSet* p : {m_pDataSetPre, m_pDataSetPst, m_pDataSetInactive})
                if (p)
                    p->Initialize();
        });
}

int CPVSVisualMethodFOS::Build()
{
    CPVSModelDataFEM* pMD = GetMDTCtrl();
    InitializeDataSet();
    m_aLabelPos.RemoveAll();
    m_aLabelText.RemoveAll();
    m_aCriticalPos.RemoveAll();
    m_aCriticalText.RemoveAll();
    ReleaseArrays();
    T_VD_FOS_TVCKVR_D* pRec = GetRecord();
    if (!pMD || !pRec)
        return 0;

    // The whole mesh as one grid; an element whose cell VTK cannot take, or with a node missing
    // from the model, is left out.
    vtkNew<vtkUnstructuredGrid> pGrid;
    pGrid->Allocate(10000, 5000);
    vtkNew<vtkPoints> pPoints;
    pPoints->SetDataTypeToDouble();
    const int nNodeNum = pMD->GetNodeNum();
    pPoints->SetNumberOfPoints(nNodeNum);
    std::unordered_map<unsigned int, vtkIdType> mNodePt;
    mNodePt.reserve(1000003);
    for (int i = 0; i < nNodeNum; ++i) {
        const unsigned int nNodeK = pMD->GetNodeK(i);
        T_NODE_D node;
        pMD->GetNodeD(nNodeK, node);
        pPoints->SetPoint(i, node.dXyz);
        mNodePt.emplace(nNodeK, i);
    }
    vtkNew<vtkIdList> pIds;
    for (int i = 0; i < pMD->GetElemNum(); ++i) {
        T_ELEM_D elem;
        if (!pMD->GetElemD(pMD->GetElemK(i), elem) || !ElementCellFits(elem.nCellType, elem.GetNumberOfNodes()))
            continue;
        pIds->Reset();
        bool bComplete = true;
        for (int j = 0; j < elem.GetNumberOfNodes() && bComplete; ++j) {
            auto it = mNodePt.find(elem.aNodeK[j]);
            bComplete = it != mNodePt.end();
            if (bComplete)
                pIds->InsertNextId(it->second);
        }
        if (bComplete)
            pGrid->InsertNextCell(elem.nCellType, pIds);
    }
    pGrid->SetPoints(pPoints);
    vtkNew<vtkDataSetSurfaceFilter> pSurface;
    pSurface->SetInputData(pGrid);
    vtkNew<vtkQuadraticDataSetSurfaceFilter> pQuadSurface;
    vtkNew<vtkCleanPolyData> pClean;

    const T_VD_FOS_TVCKVR_D& rec = *pRec;
    m_nPlotKind = rec.nPlotKind;
    if (rec.nPlane < 0 || rec.nPlane > 2)
        return 0;
    int bDone = 0;
    if (m_nPlotKind == 0)
        bDone = ProcessCircle(rec);
    else if (m_nPlotKind == 1)
        bDone = ProcessPolyline(rec);
    if (!bDone)
        return 0;

    pQuadSurface->SetInputData(pGrid);
    pQuadSurface->Update();
    m_pDataSetPre->DeepCopy(pQuadSurface->GetOutput());
    pClean->SetInputConnection(pSurface->GetOutputPort());
    pClean->SetTolerance(0.0);
    pClean->Update();
    m_pDataSetPst->DeepCopy(pClean->GetOutput());
    return 1;
}

int CPVSVisualMethodFOS::ProcessCircle(const T_VD_FOS_TVCKVR_D& rec)
{
    CDBDoc* pDoc = CDBDoc::GetDocPoint();
    if (!pDoc)
        return 0;
    CClassLegr clsLegr;
    clsLegr.ConnectToDB(CDocCtrl::GetDBMain(pDoc));
    T_LEGR_D legr;
    if (rec.nCircleKey <= 0 || !clsLegr.Get(static_cast<unsigned int>(rec.nCircleKey), legr))
        return 0;
    if (legr.nN1 < 1 || legr.nN2 < 1)
        return 0;
    const int nPoints = static_cast<int>(rec.aGridPoint.GetSize());
    if (rec.aGridFactor.GetSize() < nPoints)
        return 0;
    CUnitCtrl* pUnit = CDocCtrl::GetUnitCtrl(pDoc);
    const double f = pUnit ? pUnit->GetConvertFactorCurrent(1) : 1.0;

    // Corners in output units to model units, the fourth completing the parallelogram, placed
    // by plane kind as the dialog places the centres: on the current work plane, which the user
    // may have left anywhere, the outline would stand apart from its own centres.
    double c2[4][2];
    for (int i = 0; i < 3; ++i) {
        c2[i][0] = legr.p[i].x * f;
        c2[i][1] = legr.p[i].y * f;
    }
    c2[3][0] = c2[0][0] + c2[2][0] - c2[1][0];
    c2[3][1] = c2[0][1] + c2[2][1] - c2[1][1];
    gp_Pnt q[4];
    for (int i = 0; i < 4; ++i) {
        const T_POINT3D p = kvdb::PlanePoint(rec.nPlane, c2[i][0], c2[i][1]);
        q[i].SetCoord(p.x, p.y, p.z);
    }

    const std::vector<double> t1 = GridParams(legr.nN1);
    const std::vector<double> t2 = GridParams(legr.nN2);
    m_nGridSegCount = 2 * (legr.nN1 + legr.nN2);
    m_pGridSeg = new double[m_nGridSegCount][3];
    int n = 0;
    auto addLine = [&](const gp_Pnt& a0, const gp_Pnt& a1, const gp_Pnt& b0, const gp_Pnt& b1, double t) {
        for (int c = 0; c < 3; ++c) {
            m_pGridSeg[n][c] = a0.Coord(c + 1) * (1.0 - t) + a1.Coord(c + 1) * t;
            m_pGridSeg[n + 1][c] = b0.Coord(c + 1) * (1.0 - t) + b1.Coord(c + 1) * t;
        }
        n += 2;
    };
    for (double t : t1)
        addLine(q[0], q[1], q[3], q[2], t);
    for (double t : t2)
        addLine(q[1], q[2], q[0], q[3], t);

    m_nColor = rec.nColor;
    for (int c = 0; c < 3; ++c)
        m_dCentre[c] = rec.dCentre[c];

    // The arc: u = s - c turned 20 times by alpha = theta / 20 about the centre, from the plane's
    // first axis towards its second; theta = acos(u.v / r^2), the cosine held in [-1, 1].
    int ia = 0, ib = 0, io = 0;
    PlaneAxes(rec.nPlane, ia, ib, io);
    double u[3], v[3];
    for (int c = 0; c < 3; ++c) {
        u[c] = rec.dArcStart[c] - rec.dCentre[c];
        v[c] = rec.dArcEnd[c] - rec.dCentre[c];
    }
    const double r = rec.dRadius;
    double dCos = (u[0] * v[0] + u[1] * v[1] + u[2] * v[2]) / (r * r);
    dCos = std::isfinite(dCos) ? std::clamp(dCos, -1.0, 1.0) : 1.0;
    const double alpha = std::acos(dCos) / 20.0;
    const double ca = std::cos(alpha), sa = std::sin(alpha);
    double a = u[ia], b = u[ib];
    for (int c = 0; c < 3; ++c) {
        m_dArc[0][c] = rec.dArcStart[c];
        m_dArc[kArcPoints - 1][c] = rec.dArcEnd[c];
    }
    for (int k = 1; k < kArcPoints - 1; ++k) {
        const double an = a * ca - b * sa;
        const double bn = a * sa + b * ca;
        a = an;
        b = bn;
        m_dArc[k][ia] = rec.dCentre[ia] + a;
        m_dArc[k][ib] = rec.dCentre[ib] + b;
        m_dArc[k][io] = 0.0;
    }

    m_nMarkerCount = nPoints;
    m_pMarker = new double[std::max(nPoints, 1)][3];
    for (int i = 0; i < nPoints; ++i) {
        m_pMarker[i][0] = rec.aGridPoint[i].x;
        m_pMarker[i][1] = rec.aGridPoint[i].y;
        m_pMarker[i][2] = rec.aGridPoint[i].z;
    }
    const double d = nPoints >= 2 ? 0.05 * Distance(rec.aGridPoint[0], rec.aGridPoint[1]) : 0.0;
    for (int i = 0; i < nPoints; ++i) {
        gp_Pnt pos = LabelPoint(rec.aGridPoint[i], rec.nPlane, d);
        CString text = FactorText(rec.aGridFactor[i], true);
        if (i == rec.nCriticalIndex) {
            m_aCriticalPos.Add(pos);
            m_aCriticalText.Add(text);
        } else {
            m_aLabelPos.Add(pos);
            m_aLabelText.Add(text);
        }
    }
    return 1;
}

int CPVSVisualMethodFOS::ProcessPolyline(const T_VD_FOS_TVCKVR_D& rec)
{
    const int nPoints = static_cast<int>(rec.aPolylinePoint.GetSize());
    if (nPoints < 1)
        return 0;
    m_nColor = rec.nColor;
    m_nPolylineCount = nPoints;
    m_pPolyline = new double[nPoints][3];
    for (int i = 0; i < nPoints; ++i) {
        m_pPolyline[i][0] = rec.aPolylinePoint[i].x;
        m_pPolyline[i][1] = rec.aPolylinePoint[i].y;
        m_pPolyline[i][2] = rec.aPolylinePoint[i].z;
    }
    const double d = nPoints >= 2 ? 0.05 * Distance(rec.aPolylinePoint[0], rec.aPolylinePoint[1]) : 0.0;
    m_aLabelPos.RemoveAll();
    m_aLabelText.RemoveAll();
    gp_Pnt pos = LabelPoint(rec.aPolylinePoint[nPoints - 1], rec.nPlane, d);
    CString text = FactorText(rec.dPolylineFactor, false);
    m_aLabelPos.Add(pos);
    m_aLabelText.Add(text);
    return 1;
}

int CPVSVisualMethodFOS::Render0(CPVSRendererBase* pRenderer)
{
    return kvpvs::visualdata::GuardedEntry(0, [&] {
        T_PVIST_ALL_D* pVS = GetVS();
        if (pVS && pVS->nShapeMode == 3)
            RenderUndeformedShape(pRenderer);
        return 1;
    });
}

int CPVSVisualMethodFOS::Render(CPVSRendererBase* pRenderer)
{
    // An entry of the host's: a drawing that fails gives Render's failure value.
    return kvpvs::visualdata::GuardedEntry(0, [&] { return Draw(pRenderer); });
}

int CPVSVisualMethodFOS::Draw(CPVSRendererBase* pRenderer)
{
    T_PVIST_ALL_D* pVS = GetVS();
    T_VD_FOS_TVCKVR_D* pRec = GetRecord();
    if (!pRenderer || !pVS || !pRec)
        return 0;
    pRenderer->DrawDataSet(GetDataSetPst(), RgbOf(CPostVisualState::Instance()->GetCurrentPE()->nColor), 1);

    // Level 1 the smallest labels (font size / 18) to level 6 the largest (font size / 3).
    static const double kDivisor[6] = {18, 15, 12, 9, 6, 3};
    const int nLevel = std::clamp(pRec->nLabelSizeLevel, 1, 6);
    const double h = static_cast<unsigned int>(pVS->nFontSize) / kDivisor[nLevel - 1];
    const double s = ICustomSetting::Instance()->GetLabelSizeFactor();
    const Quantity_Color colour((m_nColor & 0xFF) / 255.0, ((m_nColor >> 8) & 0xFF) / 255.0,
                                ((m_nColor >> 16) & 0xFF) / 255.0, Quantity_TOC_RGB);
    if (m_nPlotKind == 0) {
        pRenderer->DrawPointMarkers(m_pMarker, m_nMarkerCount);
        pRenderer->DrawLabels(m_aLabelPos, m_aLabelText, 0, h * s, Quantity_Color(0, 0, 0, Quantity_TOC_RGB));
        pRenderer->DrawLabels(m_aCriticalPos, m_aCriticalText, 0, h * s, colour);
        pRenderer->DrawArc(m_dArc, m_dCentre, kArcPoints, pRec->nLineWidth, colour);
        T_DISPLAYOPTION_LABEL opt;
        if (!CDisplayOptMgr::Instance()->GetLabelOpt(216, opt))
            return 0;
        pRenderer->DrawPointList(m_pGridSeg, m_nGridSegCount, 1, RgbOf(opt.nColor));
    } else if (m_nPlotKind == 1) {
        pRenderer->DrawPointList(m_pPolyline, m_nPolylineCount, pRec->nLineWidth, colour);
        pRenderer->DrawLabels(m_aLabelPos, m_aLabelText, 0, h * s, colour);
    } else {
        return 0;
    }
    pRenderer->DrawDataSet(GetDataSetPre(), RgbOf(pVS->nColor), pVS->nLineWidth, 1, 6);
    return 1;
}
