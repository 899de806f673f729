#include "visualmethods/KeptSurface.h"

#include "planecut/cell_kinds.h"

#include <vtkCellArray.h>
#include <vtkCellData.h>
#include <vtkDataSetSurfaceFilter.h>
#include <vtkFieldData.h>
#include <vtkIdTypeArray.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkUnstructuredGrid.h>

#include <array>
#include <cstdint>
#include <vector>

namespace kvpvs::visualmethods {

using planecut::GridShapeKey;
using planecut::SolidFacesOf;
using planecut::T_FACE_LIST;

void KeptSurface::Clear()
{
    m_key = GridShapeKey{};
    m_pSurface = nullptr;
    m_pPointIds = nullptr;
    m_pCellIds = nullptr;
}

namespace {

// A face's points turned, keeping their sense, so that the smallest id comes first (a tie
// turns nothing); its size, 3 or 4.
int FacePoints(const vtkIdType* pIds, const int* pCorner, vtkIdType f[4])
{
    const int n = pCorner[3] < 0 ? 3 : 4;
    vtkIdType v[4];
    for (int j = 0; j < n; ++j)
        v[j] = pIds[pCorner[j]];
    int nFirst = 0;
    for (int j = 1; j < n; ++j) {
        bool bLeast = true;
        for (int k = 0; k < n; ++k)
            bLeast = bLeast && (k == j || v[j] < v[k]);
        if (bLeast)
            nFirst = j;
    }
    for (int j = 0; j < n; ++j)
        f[j] = v[(nFirst + j) % n];
    return n;
}

// Two turned faces are one when they have the same points: a triangle's last two and a
// quadrilateral's second and fourth in either order.
bool SameFace(const vtkIdType* f, int n, const vtkIdType* g, int m)
{
    if (n != m || f[0] != g[0])
        return false;
    if (n == 3)
        return (f[1] == g[1] && f[2] == g[2]) || (f[1] == g[2] && f[2] == g[1]);
    return f[2] == g[2] && ((f[1] == g[1] && f[3] == g[3]) || (f[1] == g[3] && f[3] == g[1]));
}

// The boundary faces of a grid of linear solid cells, as the surface filter gives them
// (faces grouped by their smallest point id, in the order the cells list them; points in order
// of first use), without its per-face allocations: faces are listed by cell and face number,
// 4 bytes each, and compared within their group. False for any other grid.
bool SolidBoundary(vtkUnstructuredGrid* pGrid, vtkPolyData* pSurf, vtkIdTypeArray* pPointIds, vtkIdTypeArray* pCellIds)
{
    vtkPoints* pPts = pGrid->GetPoints();
    const vtkIdType nCells = pGrid->GetNumberOfCells();
    const vtkIdType nPts = pPts ? pPts->GetNumberOfPoints() : 0;
    if (nCells <= 0 || nPts <= 0 || nCells >= (vtkIdType{1} << 28) || nPts >= (vtkIdType{1} << 31) ||
        pGrid->GetPointGhostArray() || pGrid->GetCellGhostArray())
        return false;
    vtkIdType n = 0;
    const vtkIdType* pIds = nullptr;
    std::vector<std::uint32_t> aFirst(static_cast<size_t>(nPts) + 1, 0);
    vtkIdType f[4];
    for (vtkIdType c = 0; c < nCells; ++c) {
        const T_FACE_LIST* pFaces = SolidFacesOf(pGrid->GetCellType(c));
        pGrid->GetCellPoints(c, n, pIds);
        if (!pFaces || n < pFaces->nPoint)
            return false;
        for (int j = 0; j < pFaces->nPoint; ++j)
            if (pIds[j] < 0 || pIds[j] >= nPts)
                return false;
        for (int k = 0; k < pFaces->nFace; ++k) {
            FacePoints(pIds, pFaces->aCorner[k], f);
            ++aFirst[static_cast<size_t>(f[0]) + 1];
        }
    }
    for (size_t p = 0; p < static_cast<size_t>(nPts); ++p)
        aFirst[p + 1] += aFirst[p];
    std::vector<std::uint32_t> aFace(aFirst.back());
    {
        std::vector<std::uint32_t> aNext(aFirst.begin(), aFirst.end() - 1);
        for (vtkIdType c = 0; c < nCells; ++c) {
            const T_FACE_LIST* pFaces = SolidFacesOf(pGrid->GetCellType(c));
            pGrid->GetCellPoints(c, n, pIds);
            for (int k = 0; k < pFaces->nFace; ++k) {
                FacePoints(pIds, pFaces->aCorner[k], f);
                aFace[aNext[static_cast<size_t>(f[0])]++] =
                    static_cast<std::uint32_t>(c) << 3 | static_cast<std::uint32_t>(k);
            }
        }
    }
    auto facePoints = [&](std::uint32_t nRef, vtkIdType g[4]) {
        const vtkIdType c = static_cast<vtkIdType>(nRef >> 3);
        pGrid->GetCellPoints(c, n, pIds);
        return FacePoints(pIds, SolidFacesOf(pGrid->GetCellType(c))->aCorner[nRef & 7], g);
    };
    auto pNewPts = vtkSmartPointer<vtkPoints>::New();
    pNewPts->SetDataType(pPts->GetDataType());
    vtkNew<vtkCellArray> pPolys;
    std::vector<vtkIdType> aOut(static_cast<size_t>(nPts), -1);
    pPointIds->SetNumberOfComponents(1);
    pCellIds->SetNumberOfComponents(1);
    // One group's faces: their points, then which are shared.
    std::vector<std::array<vtkIdType, 5>> aGroup;
    for (size_t p = 0; p < static_cast<size_t>(nPts); ++p) {
        aGroup.resize(aFirst[p + 1] - aFirst[p]);
        for (size_t i = 0; i < aGroup.size(); ++i)
            aGroup[i][4] = facePoints(aFace[aFirst[p] + i], aGroup[i].data());
        for (size_t i = 0; i < aGroup.size(); ++i) {
            const vtkIdType* g = aGroup[i].data();
            const int nf = static_cast<int>(g[4]);
            bool bShared = false;
            for (size_t j = 0; j < aGroup.size() && !bShared; ++j)
                bShared = j != i && SameFace(g, nf, aGroup[j].data(), static_cast<int>(aGroup[j][4]));
            if (bShared)
                continue;
            vtkIdType aCell[4];
            for (int j = 0; j < nf; ++j) {
                vtkIdType& r = aOut[static_cast<size_t>(g[j])];
                if (r < 0) {
                    r = pNewPts->InsertNextPoint(pPts->GetPoint(g[j]));
                    pPointIds->InsertNextValue(g[j]);
                }
                aCell[j] = r;
            }
            pPolys->InsertNextCell(nf, aCell);
            pCellIds->InsertNextValue(static_cast<vtkIdType>(aFace[aFirst[p] + i] >> 3));
        }
    }
    pSurf->SetPoints(pNewPts);
    pSurf->SetPolys(pPolys);
    pSurf->GetFieldData()->ShallowCopy(pGrid->GetFieldData());
    return true;
}

} // namespace

void KeptSurface::Make(vtkUnstructuredGrid* pGrid, vtkDataSetSurfaceFilter* pFilter, vtkPolyData* pOut)
{
    const GridShapeKey key = GridShapeKey::Of(pGrid);
    if (!m_pSurface || !(key == m_key)) {
        Clear();
        auto pSolid = vtkSmartPointer<vtkPolyData>::New();
        auto pSolidPointIds = vtkSmartPointer<vtkIdTypeArray>::New();
        auto pSolidCellIds = vtkSmartPointer<vtkIdTypeArray>::New();
        if (SolidBoundary(pGrid, pSolid, pSolidPointIds, pSolidCellIds)) {
            m_pSurface = pSolid;
            m_pPointIds = pSolidPointIds;
            m_pCellIds = pSolidCellIds;
            m_key = key;
        }
    }
    if (!m_pSurface) {
        // The filter first sees the grid's points and cells alone: the values of the surface are
        // then gathered as for a kept surface, and the filter sizes no value arrays by the grid.
        auto pShape = vtkSmartPointer<vtkUnstructuredGrid>::New();
        pShape->ShallowCopy(pGrid);
        pShape->GetPointData()->Initialize();
        pShape->GetCellData()->Initialize();
        pFilter->SetInputData(pShape);
        pFilter->PassThroughPointIdsOn();
        pFilter->PassThroughCellIdsOn();
        pFilter->Update();
        auto pSurf = vtkSmartPointer<vtkPolyData>::New();
        pSurf->ShallowCopy(pFilter->GetOutput());
        pFilter->SetInputData(nullptr);
        pFilter->GetOutput()->Initialize();
        pShape = nullptr;
        auto takeIds = [](vtkDataSetAttributes* pData, const char* pszName) {
            vtkSmartPointer<vtkIdTypeArray> pIds = vtkIdTypeArray::SafeDownCast(pData->GetArray(pszName));
            pData->RemoveArray(pszName);
            return pIds;
        };
        const auto pPointIds = takeIds(pSurf->GetPointData(), pFilter->GetOriginalPointIdsName());
        const auto pCellIds = takeIds(pSurf->GetCellData(), pFilter->GetOriginalCellIdsName());
        // Kept only when every surface point is a grid point and every face a grid cell's:
        // points the filter makes inside a face take interpolated values, and are filtered again
        // with the values.
        auto within = [](vtkIdTypeArray* pIds, vtkIdType nCount, vtkIdType nMax) {
            bool bIn = pIds && pIds->GetNumberOfTuples() == nCount;
            for (vtkIdType i = 0; bIn && i < nCount; ++i)
                bIn = pIds->GetValue(i) >= 0 && pIds->GetValue(i) < nMax;
            return bIn;
        };
        if (!within(pPointIds, pSurf->GetNumberOfPoints(), pGrid->GetNumberOfPoints()) ||
            !within(pCellIds, pSurf->GetNumberOfCells(), pGrid->GetNumberOfCells())) {
            pSurf = nullptr;
            pFilter->SetInputData(pGrid);
            pFilter->PassThroughPointIdsOff();
            pFilter->PassThroughCellIdsOff();
            pFilter->Update();
            pOut->DeepCopy(pFilter->GetOutput());
            return;
        }
        pSurf->GetPointData()->Initialize();
        pSurf->GetCellData()->Initialize();
        m_pSurface = pSurf;
        m_pPointIds = pPointIds;
        m_pCellIds = pCellIds;
        m_key = key;
    }
    auto pSurf = vtkSmartPointer<vtkPolyData>::New();
    pSurf->ShallowCopy(m_pSurface);
    auto gather = [](vtkDataSetAttributes* pFrom, vtkDataSetAttributes* pTo, vtkIdTypeArray* pIds) {
        const vtkIdType n = pIds->GetNumberOfTuples();
        pTo->CopyAllocate(pFrom, n);
        for (vtkIdType i = 0; i < n; ++i)
            pTo->CopyData(pFrom, pIds->GetValue(i), i);
    };
    gather(pGrid->GetPointData(), pSurf->GetPointData(), m_pPointIds);
    gather(pGrid->GetCellData(), pSurf->GetCellData(), m_pCellIds);
    pOut->DeepCopy(pSurf);
}

} // namespace kvpvs::visualmethods
