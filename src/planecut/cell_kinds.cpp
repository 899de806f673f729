#include "planecut/cell_kinds.h"

#include <vtkCellType.h>

namespace kvpvs::planecut {

namespace {

constexpr int kTetraEdges[][2] = {{0, 1}, {1, 2}, {2, 0}, {0, 3}, {1, 3}, {2, 3}};
constexpr int kHexEdges[][2] = {{0, 1}, {1, 2}, {3, 2}, {0, 3}, {4, 5}, {5, 6},
                                {7, 6}, {4, 7}, {0, 4}, {1, 5}, {3, 7}, {2, 6}};
constexpr int kQuadraticHexEdges[][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                         {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
constexpr int kWedgeEdges[][2] = {{0, 1}, {1, 2}, {2, 0}, {3, 4}, {4, 5}, {5, 3}, {0, 3}, {1, 4}, {2, 5}};
constexpr int kPyramidEdges[][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 4}, {1, 4}, {2, 4}, {3, 4}};
// Two-dimensional cells: their edges run round the cell.
constexpr int kTriangleEdges[][2] = {{0, 1}, {1, 2}, {2, 0}};
constexpr int kQuadEdges[][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}};

} // namespace

T_CELL_SHAPE ShapeOf(int nType)
{
    switch (nType) {
    case VTK_TETRA: return {3, 4, 6, kTetraEdges, VTK_TETRA, false};
    case VTK_HEXAHEDRON: return {3, 8, 12, kHexEdges, VTK_HEXAHEDRON, false};
    case VTK_WEDGE: return {3, 6, 9, kWedgeEdges, VTK_WEDGE, false};
    case VTK_PYRAMID: return {3, 5, 8, kPyramidEdges, VTK_PYRAMID, false};
    case VTK_TRIANGLE: return {2, 3, 3, kTriangleEdges, VTK_TRIANGLE, false};
    case VTK_QUAD: return {2, 4, 4, kQuadEdges, VTK_QUAD, false};
    case VTK_QUADRATIC_TETRA: return {3, 4, 6, kTetraEdges, VTK_TETRA, true};
    // The triquadratic hexahedron's face and body nodes are left out: its faces are split as
    // the quadratic one's.
    case VTK_QUADRATIC_HEXAHEDRON:
    case VTK_TRIQUADRATIC_HEXAHEDRON: return {3, 8, 12, kQuadraticHexEdges, VTK_HEXAHEDRON, true};
    case VTK_QUADRATIC_WEDGE: return {3, 6, 9, kWedgeEdges, VTK_WEDGE, true};
    case VTK_QUADRATIC_PYRAMID: return {3, 5, 8, kPyramidEdges, VTK_PYRAMID, true};
    case VTK_QUADRATIC_TRIANGLE: return {2, 3, 3, kTriangleEdges, VTK_TRIANGLE, true};
    case VTK_QUADRATIC_QUAD:
    case VTK_BIQUADRATIC_QUAD: return {2, 4, 4, kQuadEdges, VTK_QUAD, true};
    default: return {};
    }
}

const T_FACE_LIST* SolidFacesOf(int nType)
{
    static const T_FACE_LIST kHex{
        8, 6, {{0, 1, 5, 4}, {0, 3, 2, 1}, {0, 4, 7, 3}, {1, 2, 6, 5}, {2, 3, 7, 6}, {4, 5, 6, 7}}};
    static const T_FACE_LIST kVoxel{
        8, 6, {{0, 1, 5, 4}, {0, 2, 3, 1}, {0, 4, 6, 2}, {1, 3, 7, 5}, {2, 6, 7, 3}, {4, 5, 7, 6}}};
    static const T_FACE_LIST kTetra{4, 4, {{0, 1, 3, -1}, {0, 2, 1, -1}, {0, 3, 2, -1}, {1, 2, 3, -1}}};
    static const T_FACE_LIST kPyramid{5, 5, {{3, 2, 1, 0}, {0, 1, 4, -1}, {1, 2, 4, -1}, {2, 3, 4, -1}, {3, 0, 4, -1}}};
    static const T_FACE_LIST kWedge{6, 5, {{0, 2, 5, 3}, {1, 0, 3, 4}, {2, 1, 4, 5}, {0, 1, 2, -1}, {3, 5, 4, -1}}};
    switch (nType) {
    case VTK_HEXAHEDRON: return &kHex;
    case VTK_VOXEL: return &kVoxel;
    case VTK_TETRA: return &kTetra;
    case VTK_PYRAMID: return &kPyramid;
    case VTK_WEDGE: return &kWedge;
    default: return nullptr;
    }
}

} // namespace kvpvs::planecut
