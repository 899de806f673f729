#include "planecut/cut_integration.h"

#include <vtkDataArray.h>
#include <vtkDoubleArray.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvpvs::planecut {

namespace {

void Cross(const double p0[3], const double p1[3], const double p2[3], double w[3])
{
    const double a[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    const double b[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
    w[0] = a[1] * b[2] - a[2] * b[1];
    w[1] = a[2] * b[0] - a[0] * b[2];
    w[2] = a[0] * b[1] - a[1] * b[0];
}

double Dist2(const double a[3], const double b[3])
{
    const double x = a[0] - b[0], y = a[1] - b[1], z = a[2] - b[2];
    return x * x + y * y + z * z;
}

// Plate sums below this are what rounding leaves of segments that cancel.
constexpr double kTinySum = 1e-15;

void ToOut(const LengthOutFn& lengthOut, const double p[3], double q[3])
{
    for (int k = 0; k < 3; ++k)
        q[k] = lengthOut(p[k]);
}

void TellCounted(const CountedFn& counted, vtkIdType nCell, int nPts, const vtkIdType* pIds, const double dPts[][3])
{
    CutPiece piece;
    piece.nCell = nCell;
    std::copy_n(pIds, nPts, piece.aIds);
    std::copy_n(&dPts[0][0], 3 * nPts, &piece.dPts[0][0]);
    counted(piece);
}

// The cut's points: straight from its double array (a cut's points are one), else copied out.
class CCutPoints {
public:
    explicit CCutPoints(vtkPoints* pPts)
    {
        auto* pD = vtkDoubleArray::SafeDownCast(pPts->GetData());
        if (pD && pD->GetNumberOfComponents() == 3 && pD->GetNumberOfTuples() > 0) {
            m_pXyz = pD->GetPointer(0);
            return;
        }
        m_aCopy.resize(3 * static_cast<size_t>(pPts->GetNumberOfPoints()));
        for (vtkIdType p = 0; p < pPts->GetNumberOfPoints(); ++p)
            pPts->GetPoint(p, &m_aCopy[3 * static_cast<size_t>(p)]);
        m_pXyz = m_aCopy.data();
    }
    const double* operator[](vtkIdType nId) const { return m_pXyz + 3 * static_cast<size_t>(nId); }

private:
    std::vector<double> m_aCopy;
    const double* m_pXyz = nullptr;
};

// Six components of the cut's point scalars from nFirst on, 0 past the last: straight from a
// double array when they are one.
class CScalarReader {
public:
    explicit CScalarReader(vtkPolyData* pCut)
        : m_pVal(pCut->GetPointData()->GetScalars()), m_nComp(m_pVal ? m_pVal->GetNumberOfComponents() : 0)
    {
        vtkDoubleArray* pD = vtkDoubleArray::SafeDownCast(m_pVal);
        m_pFast = pD && pD->GetNumberOfTuples() > 0 ? pD->GetPointer(0) : nullptr;
    }
    void Read(vtkIdType nId, int nFirst, double dOut[6]) const
    {
        const double* t = m_pFast ? m_pFast + static_cast<size_t>(nId) * static_cast<size_t>(m_nComp) : nullptr;
        for (int k = 0; k < 6; ++k)
            dOut[k] = nFirst + k >= m_nComp ? 0.0 : t ? t[nFirst + k] : m_pVal->GetComponent(nId, nFirst + k);
    }

private:
    vtkDataArray* m_pVal;
    int m_nComp;
    const double* m_pFast = nullptr;
};

} // namespace

double TwiceTriangleArea(const double p0[3], const double p1[3], const double p2[3])
{
    double w[3];
    Cross(p0, p1, p2, w);
    return std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
}

bool IsDegenerateTriangle(const double p0[3], const double p1[3], const double p2[3])
{
    const double dLongest2 = std::max({Dist2(p0, p1), Dist2(p1, p2), Dist2(p2, p0)});
    const double dTol = kDegenerateFactor * std::numeric_limits<double>::epsilon() * dLongest2;
    // Written so that a NaN or infinite triangle is degenerate too.
    return !(TwiceTriangleArea(p0, p1, p2) > dTol && std::isfinite(dLongest2));
}

void CutArea::Add(const double p0[3], const double p1[3], const double p2[3])
{
    const double A = TwiceTriangleArea(p0, p1, p2) / 2.0;
    dArea += A;
    for (int d = 0; d < 3; ++d)
        dFirst[d] += A * (p0[d] + p1[d] + p2[d]) / 3.0;
}

bool CutArea::Centre(double c[3]) const
{
    if (!(dArea > 0.0) || !std::isfinite(dArea))
        return false;
    for (int d = 0; d < 3; ++d)
        c[d] = dFirst[d] / dArea;
    return true;
}

CutArea AreaOfCut(vtkPolyData* pCut)
{
    CutArea area;
    if (!pCut || !pCut->GetPoints())
        return area;
    vtkPoints* pPts = pCut->GetPoints();
    ForEachFanTriangle(pCut->GetPolys(), [&](vtkIdType, const vtkIdType ids[3]) {
        double p[3][3];
        for (int e = 0; e < 3; ++e)
            pPts->GetPoint(ids[e], p[e]);
        if (!IsDegenerateTriangle(p[0], p[1], p[2]))
            area.Add(p[0], p[1], p[2]);
    });
    return area;
}

bool IntegratePointArray(vtkPolyData* pCut, vtkDataArray* pValues, std::vector<double>& aIntegral)
{
    aIntegral.clear();
    if (!pCut || !pCut->GetPoints() || !pValues || pValues->GetNumberOfTuples() != pCut->GetNumberOfPoints())
        return false;
    const int nComp = pValues->GetNumberOfComponents();
    aIntegral.assign(static_cast<size_t>(nComp), 0.0);
    vtkPoints* pPts = pCut->GetPoints();
    ForEachFanTriangle(pCut->GetPolys(), [&](vtkIdType, const vtkIdType ids[3]) {
        double p[3][3];
        for (int e = 0; e < 3; ++e)
            pPts->GetPoint(ids[e], p[e]);
        if (IsDegenerateTriangle(p[0], p[1], p[2]))
            return;
        const double A = TwiceTriangleArea(p[0], p[1], p[2]) / 2.0;
        for (int k = 0; k < nComp; ++k)
            aIntegral[static_cast<size_t>(k)] += A / 3.0 *
                (pValues->GetComponent(ids[0], k) + pValues->GetComponent(ids[1], k) + pValues->GetComponent(ids[2], k));
    });
    return true;
}

CutSums IntegratePlateCut(const PlaneCut& cut, const PlateCutRules& rules)
{
    CutSums sums;
    vtkPolyData* pOut = cut.pOutput;
    vtkCellArray* pLines = pOut ? pOut->GetLines() : nullptr;
    if (!pLines || !pOut->GetPoints())
        return sums;
    const CCutPoints pts(pOut->GetPoints());
    // Centre: area-weighted midpoints of the qualifying segments, area = thickness x length.
    double dTotal = 0.0, dFirst[3] = {0, 0, 0};
    vtkIdType nLine = 0;
    vtkIdType n = 0;
    const vtkIdType* pIds = nullptr;
    for (pLines->InitTraversal(); pLines->GetNextCell(n, pIds); ++nLine) {
        double t = 0.0;
        if (n < 2 || !rules.thickness(cut.aLineCell[static_cast<size_t>(nLine)], t))
            continue;
        const double* p0 = pts[pIds[0]];
        const double* p1 = pts[pIds[1]];
        const double L = rules.lengthOut(std::sqrt(Dist2(p1, p0)));
        const double A = (t + t) * L / 2.0;
        dTotal += A;
        for (int k = 0; k < 3; ++k)
            dFirst[k] += A * (p0[k] + p1[k]) / 2.0;
    }
    // No area (no qualifying segment, zero thickness or length): no centre, never a NaN.
    if (!(dTotal > 0.0 && std::isfinite(dTotal)))
        return sums;
    sums.bCentre = true;
    for (int k = 0; k < 3; ++k)
        sums.dCentre[k] = dFirst[k] / dTotal;
    double dRef[3], dAxis[3][3];
    ToOut(rules.lengthOut, sums.dCentre, dRef);
    std::copy_n(&rules.dPlaneAxis[0][0], 9, &dAxis[0][0]);
    const CScalarReader values(pOut);
    nLine = 0;
    for (pLines->InitTraversal(); pLines->GetNextCell(n, pIds); ++nLine) {
        const vtkIdType nCell = cut.aLineCell[static_cast<size_t>(nLine)];
        double dElemAxis[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
        if (n != 2 || !rules.elementAxes(nCell, dElemAxis))
            continue;
        double dPts[2][3], dForce[2][6], dMoment[2][6];
        for (int e = 0; e < 2; ++e) {
            ToOut(rules.lengthOut, pts[pIds[e]], dPts[e]);
            values.Read(pIds[e], 0, dForce[e]);
            values.Read(pIds[e], 6, dMoment[e]);
        }
        if (rules.counted)
            TellCounted(rules.counted, nCell, 2, pIds, dPts);
        double dNormal[3] = {dAxis[0][0], dAxis[0][1], dAxis[0][2]};
        double dRes[6] = {0, 0, 0, 0, 0, 0};
        rules.law(dRef, dPts, dNormal, dForce, dMoment, dRes, dElemAxis, dAxis);
        for (int k = 0; k < 6; ++k)
            sums.dSum[k] += dRes[k];
    }
    for (double& s : sums.dSum)
        if (std::fabs(s) < kTinySum)
            s = 0.0;
    return sums;
}

CutSums IntegrateSolidCut(const PlaneCut& cut, const SolidCutRules& rules)
{
    CutSums sums;
    vtkPolyData* pOut = cut.pOutput;
    vtkCellArray* pPolys = pOut ? pOut->GetPolys() : nullptr;
    if (!pPolys || !pOut->GetPoints())
        return sums;
    const vtkIdType nPts = pOut->GetNumberOfPoints();
    const CCutPoints pts(pOut->GetPoints());
    // Each fan triangle counts unless it is degenerate relative to itself, decided once on the
    // output-unit points the force law receives, which applies the same test: the centre, the
    // sums and the counted pieces take the same triangles.
    std::vector<double> aOut(3 * static_cast<size_t>(nPts));
    for (vtkIdType p = 0; p < nPts; ++p)
        ToOut(rules.lengthOut, pts[p], &aOut[3 * static_cast<size_t>(p)]);
    auto outPoint = [&](vtkIdType nId) { return &aOut[3 * static_cast<size_t>(nId)]; };
    std::vector<char> aCounts;
    aCounts.reserve(static_cast<size_t>(pPolys->GetNumberOfConnectivityIds()));
    CutArea area;
    ForEachFanTriangle(pPolys, [&](vtkIdType, const vtkIdType ids[3]) {
        const bool bCounts = !IsDegenerateTriangle(outPoint(ids[0]), outPoint(ids[1]), outPoint(ids[2]));
        aCounts.push_back(bCounts ? 1 : 0);
        if (bCounts)
            area.Add(pts[ids[0]], pts[ids[1]], pts[ids[2]]);
    });
    if (!area.Centre(sums.dCentre))
        return sums;
    sums.bCentre = true;
    double dRef[3], dAxis[3][3];
    ToOut(rules.lengthOut, sums.dCentre, dRef);
    std::copy_n(&rules.dPlaneAxis[0][0], 9, &dAxis[0][0]);
    const CScalarReader values(pOut);
    size_t nTri = 0;
    vtkIdType nCheckedPoly = -1;
    bool bPolyOk = true;
    ForEachFanTriangle(pPolys, [&](vtkIdType nPoly, const vtkIdType ids[3]) {
        const vtkIdType nCell = cut.aPolyCell[static_cast<size_t>(nPoly)];
        if (rules.cellCounts && nPoly != nCheckedPoly) {
            nCheckedPoly = nPoly;
            bPolyOk = rules.cellCounts(nCell);
        }
        if (!aCounts[nTri++] || !bPolyOk)
            return;
        double dPts[3][3], dStress[3][6];
        for (int e = 0; e < 3; ++e) {
            std::copy_n(outPoint(ids[e]), 3, dPts[e]);
            values.Read(ids[e], 0, dStress[e]);
        }
        if (rules.counted)
            TellCounted(rules.counted, nCell, 3, ids, dPts);
        double dNormal[3] = {dAxis[0][0], dAxis[0][1], dAxis[0][2]};
        double dRes[6] = {0, 0, 0, 0, 0, 0};
        rules.law(dRef, dPts, dNormal, dStress, dRes, dAxis);
        for (int d = 0; d < 6; ++d)
            sums.dSum[d] += dRes[d];
    });
    return sums;
}

} // namespace kvpvs::planecut
