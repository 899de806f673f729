#include "planecut/plane_cut.h"

#include "planecut/cell_cutter.h"
#include "planecut/plane_direction.h"

#include <vtkCellArray.h>
#include <vtkCellData.h>
#include <vtkIdTypeArray.h>
#include <vtkNew.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkUnstructuredGrid.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace kvpvs::planecut {

namespace {

// Cell arrays of VTK's own layout from plain offsets and connectivity.
vtkSmartPointer<vtkCellArray> CellArrayOf(const std::vector<vtkIdType>& aOffset, const std::vector<vtkIdType>& aConn)
{
    vtkNew<vtkIdTypeArray> pOff, pConn;
    pOff->SetNumberOfValues(static_cast<vtkIdType>(aOffset.size()));
    std::copy(aOffset.begin(), aOffset.end(), pOff->GetPointer(0));
    pConn->SetNumberOfValues(static_cast<vtkIdType>(aConn.size()));
    std::copy(aConn.begin(), aConn.end(), pConn->GetPointer(0));
    auto pCells = vtkSmartPointer<vtkCellArray>::New();
    pCells->SetData(pOff, pConn);
    return pCells;
}

// What is wrong with a plane, or null; else its normal scaled exactly (s) and as a unit vector
// (u).
const char* PlaneFault(const double o[3], const double n[3], double s[3], double u[3])
{
    switch (ScaledDirection(n, s)) {
    case DirectionFault::kZero:
        return "its normal is zero";
    case DirectionFault::kNotFinite:
        return "its normal has a component that is not finite";
    case DirectionFault::kNone:
        break;
    }
    for (int k = 0; k < 3; ++k)
        if (!std::isfinite(o[k]))
            return "its origin has a coordinate that is not finite";
    // Plane values are formed of differences from the origin as of the points.
    if (!WithinReach(o)) {
        static const std::string kBeyond = std::string("its origin ") + kBeyondReach;
        return kBeyond.c_str();
    }
    UnitOfScaled(s, u);
    return nullptr;
}

// The candidates first, then their cuts with the points of a few cells ahead asked for early:
// a plane's cells lie scattered through memory, and waiting on each in turn would dominate the
// cut.
vtkIdType CutCandidates(const PlaneCutIndex& index, const CutPoints& points, CellCutter& cutter, const double n[3],
                        const double o[3])
{
    std::vector<size_t> aCand;
    index.Visit(n, o, aCand);
    auto prefetch = [&](size_t i) {
        const std::uint32_t* pP = index.CellPoints(i);
        for (int j = 0; j < index.CellSize(i); ++j)
            points.Prefetch(pP[j]);
    };
    constexpr size_t kAhead = 12;
    // Two stages: a cell's point list twice as far ahead as its points.
    for (size_t k = 0; k < aCand.size() && k < 2 * kAhead; ++k)
        __builtin_prefetch(index.CellPoints(aCand[k]));
    for (size_t k = 0; k < aCand.size() && k < kAhead; ++k)
        prefetch(aCand[k]);
    for (size_t k = 0; k < aCand.size(); ++k) {
        if (k + 2 * kAhead < aCand.size())
            __builtin_prefetch(index.CellPoints(aCand[k + 2 * kAhead]));
        if (k + kAhead < aCand.size())
            prefetch(aCand[k + kAhead]);
        cutter.Cut(aCand[k]);
    }
    return static_cast<vtkIdType>(aCand.size());
}

// Points, pieces, point and cell data into the cut's output. Each piece takes the cell data of
// its grid cell: lines first, then polygons, as listed.
void Finish(vtkUnstructuredGrid* pGrid, CutPoints& points, CutPieces& pieces, PlaneCut& cut)
{
    vtkPolyData* pOut = cut.pOutput;
    points.Finish(pOut);
    if (!pieces.aLineConn.empty()) {
        std::vector<vtkIdType> aLineOffset(pieces.aLineConn.size() / 2 + 1);
        for (size_t i = 0; i < aLineOffset.size(); ++i)
            aLineOffset[i] = static_cast<vtkIdType>(2 * i);
        pOut->SetLines(CellArrayOf(aLineOffset, pieces.aLineConn));
    }
    if (pieces.Polygons() > 0)
        pOut->SetPolys(CellArrayOf(pieces.aPolyOffset, pieces.aPolyConn));
    cut.aLineCell = std::move(pieces.aLineCell);
    cut.aPolyCell = std::move(pieces.aPolyCell);
    vtkCellData* pInCd = pGrid->GetCellData();
    if (!pInCd || pInCd->GetNumberOfArrays() == 0)
        return;
    vtkCellData* pOutCd = pOut->GetCellData();
    const vtkIdType nL = static_cast<vtkIdType>(cut.aLineCell.size());
    pOutCd->CopyAllocate(pInCd, nL + static_cast<vtkIdType>(cut.aPolyCell.size()));
    for (vtkIdType i = 0; i < nL; ++i)
        pOutCd->CopyData(pInCd, cut.aLineCell[static_cast<size_t>(i)], i);
    for (size_t i = 0; i < cut.aPolyCell.size(); ++i)
        pOutCd->CopyData(pInCd, cut.aPolyCell[i], nL + static_cast<vtkIdType>(i));
}

} // namespace

vtkIdType CutGridByPlane(vtkUnstructuredGrid* pGrid, const PlaneCutIndex& index, const double origin[3],
                         const double normal[3], PlaneCut& cut, bool bFastPath)
{
    cut.aLineCell.clear();
    cut.aPolyCell.clear();
    cut.strRefusal.clear();
    cut.pOutput = vtkSmartPointer<vtkPolyData>::New();
    {
        // An empty cut still has its (empty) points.
        vtkNew<vtkPoints> pNone;
        pNone->SetDataTypeToDouble();
        cut.pOutput->SetPoints(pNone);
    }
    if (!pGrid || !index.Matches(pGrid))
        return 0;
    if (!index.Refusal().empty()) {
        cut.strRefusal = index.Refusal();
        return -1;
    }
    // Sides and plane values from the exactly scaled normal, so that an exact normal keeps its
    // exact zeros; in-plane axes from the unit one.
    double s[3], n[3];
    if (const char* pszFault = PlaneFault(origin, normal, s, n)) {
        char sz[320];
        std::snprintf(sz, sizeof sz,
                      "The plane cut refuses the plane through (%g, %g, %g) with normal (%g, %g, %g): %s.", origin[0],
                      origin[1], origin[2], normal[0], normal[1], normal[2], pszFault);
        cut.strRefusal = sz;
        return -1;
    }
    if (!pGrid->GetPoints())
        return 0;
    CutPoints points(pGrid, index, s, origin);
    CutPieces pieces;
    const PlaneAxes axes(n);
    CellFaces faces(index, points);
    const CutContext cx{index, points, faces, pieces, axes, s, origin};
    InPlaneFaces inPlane(cx);
    CellCutter cutter(cx, inPlane, bFastPath);
    const vtkIdType nVisited = CutCandidates(index, points, cutter, s, origin);
    inPlane.Settle();
    Finish(pGrid, points, pieces, cut);
    return nVisited;
}

} // namespace kvpvs::planecut
