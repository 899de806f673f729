#include "visualdata/ElementCells.h"

#include <vtkCellType.h>

bool ElementCellFits(int nCellType, int nNodeCount)
{
    switch (nCellType) {
    case VTK_VERTEX: return nNodeCount == 1;
    case VTK_POLY_VERTEX: return nNodeCount >= 1;
    case VTK_LINE: return nNodeCount == 2;
    case VTK_POLY_LINE: return nNodeCount >= 2;
    case VTK_TRIANGLE: return nNodeCount == 3;
    case VTK_TRIANGLE_STRIP:
    case VTK_POLYGON: return nNodeCount >= 3;
    case VTK_PIXEL:
    case VTK_QUAD:
    case VTK_TETRA: return nNodeCount == 4;
    case VTK_VOXEL:
    case VTK_HEXAHEDRON: return nNodeCount == 8;
    case VTK_WEDGE: return nNodeCount == 6;
    case VTK_PYRAMID: return nNodeCount == 5;
    case VTK_PENTAGONAL_PRISM: return nNodeCount == 10;
    case VTK_HEXAGONAL_PRISM: return nNodeCount == 12;
    case VTK_QUADRATIC_EDGE: return nNodeCount == 3;
    case VTK_QUADRATIC_TRIANGLE: return nNodeCount == 6;
    case VTK_QUADRATIC_QUAD: return nNodeCount == 8;
    case VTK_QUADRATIC_TETRA: return nNodeCount == 10;
    case VTK_QUADRATIC_HEXAHEDRON: return nNodeCount == 20;
    case VTK_QUADRATIC_WEDGE: return nNodeCount == 15;
    case VTK_QUADRATIC_PYRAMID: return nNodeCount == 13;
    case VTK_BIQUADRATIC_QUAD: return nNodeCount == 9;
    case VTK_TRIQUADRATIC_HEXAHEDRON: return nNodeCount == 27;
    case VTK_QUADRATIC_LINEAR_QUAD: return nNodeCount == 6;
    case VTK_QUADRATIC_LINEAR_WEDGE: return nNodeCount == 12;
    case VTK_BIQUADRATIC_QUADRATIC_WEDGE: return nNodeCount == 18;
    case VTK_BIQUADRATIC_QUADRATIC_HEXAHEDRON: return nNodeCount == 24;
    case VTK_BIQUADRATIC_TRIANGLE: return nNodeCount == 7;
    case VTK_CUBIC_LINE: return nNodeCount == 4;
    // Polyhedra need a face list and the higher-order families an order: no element gives them.
    default: return false;
    }
}
