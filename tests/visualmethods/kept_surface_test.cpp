// The kept surface of linear solids against VTK's surface filter: point for point and face for
// face in the filter's order, with its values.
#include "CutMeshes.h"
#include "visualmethods/KeptSurface.h"

#include <gtest/gtest.h>
#include <vtkCellData.h>
#include <vtkCellType.h>
#include <vtkDataSetSurfaceFilter.h>
#include <vtkDoubleArray.h>
#include <vtkIdList.h>
#include <vtkNew.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkPolyData.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>

#include <vector>

using kvpvs::test::Block;
using kvpvs::test::Fill;
using kvpvs::visualmethods::KeptSurface;

namespace {

// The grid with a cell value per cell, on request its points numbered backwards (faces then
// start at other corners), and on request a pyramid, a voxel, a lone tetrahedron and wedge and
// a second copy of the first cell: a face of three cells.
vtkSmartPointer<vtkUnstructuredGrid> Reworked(vtkUnstructuredGrid* pIn, bool bReverse, bool bMixed)
{
    auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    const vtkIdType nPts = pIn->GetNumberOfPoints();
    vtkNew<vtkPoints> pts;
    pts->SetDataTypeToDouble();
    const auto number = [&](vtkIdType p) { return bReverse ? nPts - 1 - p : p; };
    for (vtkIdType p = 0; p < nPts; ++p)
        pts->InsertNextPoint(pIn->GetPoint(number(p)));
    grid->SetPoints(pts);
    for (vtkIdType c = 0; c < pIn->GetNumberOfCells(); ++c) {
        vtkIdType n = 0;
        const vtkIdType* pIds = nullptr;
        pIn->GetCellPoints(c, n, pIds);
        std::vector<vtkIdType> ids(pIds, pIds + n);
        for (vtkIdType& id : ids)
            id = number(id);
        grid->InsertNextCell(pIn->GetCellType(c), n, ids.data());
    }
    if (bMixed) {
        // The first cell spans [0,1]^3 in a block of unit cells.
        auto at = [&](double x, double y, double z) {
            for (vtkIdType p = 0; p < grid->GetNumberOfPoints(); ++p)
                if (grid->GetPoint(p)[0] == x && grid->GetPoint(p)[1] == y && grid->GetPoint(p)[2] == z)
                    return p;
            return grid->GetPoints()->InsertNextPoint(x, y, z);
        };
        const vtkIdType pyr[5] = {at(0, 0, 2), at(1, 0, 2), at(1, 1, 2), at(0, 1, 2), at(1, 1, 1)};
        grid->InsertNextCell(VTK_PYRAMID, 5, pyr);
        const vtkIdType vox[8] = {at(0, -1, 0), at(1, -1, 0), at(0, 0, 0), at(1, 0, 0),
                                  at(0, -1, 1), at(1, -1, 1), at(0, 0, 1), at(1, 0, 1)};
        grid->InsertNextCell(VTK_VOXEL, 8, vox);
        // Cells on their own: every face of theirs is on the surface.
        const vtkIdType tet[4] = {at(5, 0, 0), at(6, 0, 0), at(5, 1, 0), at(5, 0, 1)};
        grid->InsertNextCell(VTK_TETRA, 4, tet);
        const vtkIdType wedge[6] = {at(8, 0, 0), at(9, 0, 0), at(8, 1, 0), at(8, 0, 1), at(9, 0, 1), at(8, 1, 1)};
        grid->InsertNextCell(VTK_WEDGE, 6, wedge);
        vtkIdType n = 0;
        const vtkIdType* pIds = nullptr;
        grid->GetCellPoints(0, n, pIds);
        const std::vector<vtkIdType> first(pIds, pIds + n);
        grid->InsertNextCell(grid->GetCellType(0), n, first.data());
    }
    vtkNew<vtkDoubleArray> f;
    f->SetName("f");
    for (vtkIdType p = 0; p < grid->GetNumberOfPoints(); ++p)
        f->InsertNextValue(static_cast<double>(p));
    grid->GetPointData()->SetScalars(f);
    vtkNew<vtkDoubleArray> cv;
    cv->SetName("cv");
    for (vtkIdType c = 0; c < grid->GetNumberOfCells(); ++c)
        cv->InsertNextValue(10.0 * static_cast<double>(c));
    grid->GetCellData()->AddArray(cv);
    return grid;
}

void ExpectSameArrays(vtkDataSetAttributes* a, vtkDataSetAttributes* b)
{
    ASSERT_EQ(a->GetNumberOfArrays(), b->GetNumberOfArrays());
    for (int i = 0; i < a->GetNumberOfArrays(); ++i) {
        vtkDataArray* x = a->GetArray(i);
        vtkDataArray* y = b->GetArray(x->GetName());
        ASSERT_NE(y, nullptr);
        ASSERT_EQ(x->GetNumberOfTuples(), y->GetNumberOfTuples());
        for (vtkIdType t = 0; t < x->GetNumberOfTuples(); ++t)
            EXPECT_EQ(x->GetComponent(t, 0), y->GetComponent(t, 0));
    }
}

} // namespace

// The kept surface of linear solids is the surface filter's, point for point and face for face
// in the filter's order, with its values: hexahedra, tetrahedra, wedges, and a mixed grid with
// a pyramid, a voxel and a face three cells share (a duplicate cell hides all of its faces).
TEST(KeptSurfaceOfSolids, IsTheSurfaceFiltersOwnInItsOrder)
{
    for (const auto& grid : {Reworked(Block(3, 2, 2, 1.0, Fill::Hexahedra), true, false),
                             Reworked(Block(2, 2, 2, 1.0, Fill::Tetrahedra), false, false),
                             Reworked(Block(2, 2, 1, 1.0, Fill::Wedges), true, false),
                             Reworked(Block(2, 1, 1, 1.0, Fill::Hexahedra), false, true)}) {
        vtkNew<vtkDataSetSurfaceFilter> ref;
        ref->DelegationOff();
        ref->SetInputData(grid);
        ref->Update();
        vtkPolyData* pRef = ref->GetOutput();
        vtkNew<vtkDataSetSurfaceFilter> filter;
        vtkNew<vtkPolyData> out;
        KeptSurface surface;
        surface.Make(grid, filter, out);
        ASSERT_EQ(out->GetNumberOfPoints(), pRef->GetNumberOfPoints());
        for (vtkIdType p = 0; p < pRef->GetNumberOfPoints(); ++p)
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(out->GetPoint(p)[k], pRef->GetPoint(p)[k]) << "point " << p;
        ASSERT_EQ(out->GetNumberOfPolys(), pRef->GetNumberOfPolys());
        EXPECT_EQ(out->GetNumberOfCells(), pRef->GetNumberOfCells());
        vtkNew<vtkIdList> a, b;
        for (vtkIdType c = 0; c < pRef->GetNumberOfCells(); ++c) {
            out->GetCellPoints(c, a);
            pRef->GetCellPoints(c, b);
            ASSERT_EQ(a->GetNumberOfIds(), b->GetNumberOfIds());
            for (vtkIdType j = 0; j < a->GetNumberOfIds(); ++j)
                ASSERT_EQ(a->GetId(j), b->GetId(j)) << "face " << c;
        }
        ExpectSameArrays(out->GetPointData(), pRef->GetPointData());
        ExpectSameArrays(out->GetCellData(), pRef->GetCellData());
    }
}
