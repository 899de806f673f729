// A cell's faces split into flat pieces alike from every cell that shares them: a quadrilateral
// on the diagonal its triangular neighbours share, else whole when exactly flat, else on the
// diagonal from its least id; a face with edge nodes (its own or a quadratic neighbour's) as the
// fan from a point made once in it. Pieces keep the face's turn.
#pragma once
#include "planecut/cell_kinds.h"
#include "planecut/cut_pieces.h"
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
    // The corner of the quadrilateral q (without edge nodes, in its face's turn) whose diagonal
    // splits it, -1 when it is one piece.
    int SplitAt(const FacePiece& q) const;
    // The corner of q whose diagonal is an edge of triangular faces, -1 for none.
    int MeshDiagonal(const FacePiece& q) const;
    // The face's pieces, appended.
    void Pieces(const T_CELL_SHAPE& shape, const std::uint32_t* pPts, const int* pCorner, int n,
                std::vector<FacePiece>& aOut);

private:
    const PlaneCutIndex& m_index;
    CutPoints& m_points;
};

// What the units of one cut share: the grid's index, the cut's points and pieces, the face
// split, and the plane (normal n through o) with its in-plane axes.
struct CutContext {
    const PlaneCutIndex& index;
    CutPoints& points;
    CellFaces& faces;
    CutPieces& pieces;
    const PlaneAxes& axes;
    const double* n;
    const double* o;
};

// The two triangles of a quadrilateral piece on the diagonal from its corner r (from its least
// id when r < 0), in its turn.
void SplitQuad(const FacePiece& q, FacePiece& t0, FacePiece& t1, int r = -1);
// The pieces as triangles, quadrilaterals split so, into aTri.
void ToTriangles(const std::vector<FacePiece>& aPiece, std::vector<FacePiece>& aTri);

} // namespace kvpvs::planecut
