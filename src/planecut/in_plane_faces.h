// Faces lying in the plane, whole or as the flat pieces of them that do. The cells below a face
// cut it; a face of a cell above it (it faces away from the normal) counts where no cell cut its
// twin from below, less the polygons cut over it. An edge of 2-D cells counts once, whichever
// cells hold it and on whichever side: from the least cell that has points below, else from the
// least cell.
#pragma once
#include "planecut/cell_faces.h"
#include "planecut/cut_pieces.h"
#include "planecut/cut_points.h"
#include "planecut/flat_clip.h"

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

namespace kvpvs::planecut {

class InPlaneFaces {
public:
    explicit InPlaneFaces(const CutContext& cx) : m_cx(cx) {}
    // The faces (edges of a 2-D cell) of cell i lying in the plane; nSide > 0 when the cell has
    // no point below the plane, < 0 when it has none above it (off it), 0 when it has both.
    void Collect(size_t i, const T_CELL_SHAPE& shape, const std::uint32_t* pPts, int nSide);
    // Counts the faces above that nothing covers, once every cell was cut.
    void Settle();

private:
    // A face, or a piece of one, lying in the plane: its sorted ids, its cell and face number,
    // and the piece (n 0 for the whole face).
    struct T_INPLANE {
        FaceKey key;
        size_t nCell = 0;
        int nFace = 0;
        FacePiece piece;
    };
    using EdgeCoords = std::array<double, 6>;
    void CollectEdges(size_t i, const T_CELL_SHAPE& shape, const std::uint32_t* pPts, bool bCut);
    double Facing(const vtkIdType* pIds, int n) const;
    double CellTurn(const T_CELL_SHAPE& shape, const std::uint32_t* pPts);
    void SettleEdges();
    void Triangles(const T_INPLANE& face, std::vector<FacePiece>& aTri);
    int Points(const T_INPLANE& face, vtkIdType* pIds) const;
    std::vector<FlatPolygon> ClipsUv(const std::vector<size_t>& aClip, const double* pRef) const;
    void AddFace(const T_INPLANE& face, const std::vector<size_t>& aClip);

    const CutContext& m_cx;
    std::vector<T_INPLANE> m_aAbove;
    std::vector<FaceKey> m_aBelow;
    // An edge lying in the plane: its ends' coordinates, sorted; whether its cell has no point
    // below; the cell's id, position and edge number.
    struct T_EDGE {
        EdgeCoords key;
        bool bAbove = false;
        vtkIdType nCell = 0;
        size_t i = 0;
        int nEdge = 0;
    };
    std::vector<T_EDGE> m_aEdge;
    std::vector<FacePiece> m_aPiece;
};

} // namespace kvpvs::planecut
