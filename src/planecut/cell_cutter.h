// The cut of one cell: each crossed face piece gives a chord, the chords close into loops, and
// a loop is a polygon where the fan from one of its points covers it, else the cell is cut as
// the tetrahedra from its centre. A convex linear cell whose crossed faces are single pieces
// takes a fast path to the same points and polygon. A 2-D cell gives segments: the crossings of
// each flat piece of its face paired along the line of cut.
#pragma once
#include "planecut/cell_faces.h"
#include "planecut/cut_pieces.h"
#include "planecut/cut_points.h"
#include "planecut/in_plane_faces.h"

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

namespace kvpvs::planecut {

class CellCutter {
public:
    CellCutter(const CutContext& cx, InPlaneFaces& inPlane, bool bFastPath)
        : m_cx(cx), m_inPlane(inPlane), m_bFast(bFastPath)
    {}
    // Cuts the cell at position i of the index.
    void Cut(size_t i);

private:
    void Plate(vtkIdType c, const T_CELL_SHAPE& shape, const std::uint32_t* pPts);
    bool FlatNormal(const vtkIdType* l, int m, double* pNormal) const;
    void PairCrossings(const vtkIdType* l, int m, const double* pNormal, vtkIdType c);
    bool Convex(vtkIdType c, const T_CELL_SHAPE& shape, const std::uint32_t* pPts);
    void General(vtkIdType c, const T_CELL_SHAPE& shape, const std::uint32_t* pPts);
    void AddChord(const FacePiece& p);
    bool ChordLoops(vtkIdType c);
    bool Loop(size_t b, size_t e, double& dSign);
    void Tetrahedra(vtkIdType c, const T_CELL_SHAPE& shape, const std::uint32_t* pPts);
    void AddCellPoint(vtkIdType nId);
    bool RingTurns(std::ptrdiff_t k, double dSign) const;

    const CutContext& m_cx;
    InPlaneFaces& m_inPlane;
    bool m_bFast; // off: every 3-D cell takes the loops

    // The cell being cut: its nodes' plane values, its cut points, their ring about the normal.
    std::vector<double> m_aS;
    std::vector<vtkIdType> m_aIds;
    std::vector<T_RING> m_aRing;
    vtkIdType m_aEdgeCut[8][8];
    std::vector<FacePiece> m_aPiece, m_aTri;
    // A piece's chord: from the crossing of one edge (its ends' ids) to that of another, with the
    // plane's normal on its left as the piece turns about the cell's outside.
    struct T_CHORD {
        EdgeKey from, to;
        vtkIdType nFrom, nTo;
    };
    std::vector<T_CHORD> m_aChord;
    std::vector<vtkIdType> m_aLoop, m_aPieceConn;
    std::vector<size_t> m_aStart, m_aPieceOff;
    std::vector<char> m_aUsed;
    // The 2-D cell's edges lying in the plane: corners and edge node (-1 for none).
    std::array<std::array<vtkIdType, 3>, 4> m_aFlatEdge{};
    int m_nFlatEdges = 0;
};

} // namespace kvpvs::planecut
