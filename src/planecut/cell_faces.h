// A cell's faces as the cut sees them, split into flat pieces the same way from both cells
// that share them: a quadrilateral without edge nodes is one piece when its corners are
// exactly coplanar, else two triangles on the diagonal from its least corner id; a face with
// edge nodes (the cell's own, or a quadratic neighbour's on a linear cell) is the fan of
// triangles from a point made once in it; a triangle is itself. Every piece keeps the face's
// turn, outward for a cell listed as VTK lists it.
#pragma once
#include "planecut/cell_shapes.h"
#include "planecut/cut_points.h"

#include <vtkType.h>

#include <array>
#include <cstdint>
#include <vector>

namespace kvpvs::planecut {

// A flat piece of a face: three or four point ids in the face's turn.
struct FacePiece {
    int n = 0;
    std::array<vtkIdType, 4> aId{};
};

class CellFaces {
public:
    CellFaces(const PlaneCutIndex& index, CutPoints& points) : m_index(index), m_points(points) {}
    // The node on the edge between corners ja, jb: the cell's own, or one a quadratic
    // neighbour puts there; -1 for none.
    vtkIdType EdgeNode(const T_CELL_SHAPE& shape, const std::uint32_t* pPts, int ja, int jb) const;
    // A face's points in turn (corners and the nodes on its edges) into pLoop (8 at most); their
    // count.
    int Loop(const T_CELL_SHAPE& shape, const std::uint32_t* pPts, const int* pCorner, int n, vtkIdType* pLoop) const;
    // The face's pieces, appended.
    void Pieces(const T_CELL_SHAPE& shape, const std::uint32_t* pPts, const int* pCorner, int n,
                std::vector<FacePiece>& aOut);

private:
    const PlaneCutIndex& m_index;
    CutPoints& m_points;
};

// The two triangles of a quadrilateral piece on the diagonal from its least id, in its turn.
void SplitQuad(const FacePiece& q, FacePiece& t0, FacePiece& t1);

} // namespace kvpvs::planecut
