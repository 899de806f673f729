// The cell kinds the cut knows: per VTK cell type its corners, edges and linear kind, and a
// linear solid's faces by their corners.
#pragma once

namespace kvpvs::planecut {

struct T_CELL_SHAPE {
    int nDim = 0;    // 0: not cut
    int nCorner = 0; // corner points, the first ones of the cell
    int nEdge = 0;
    const int (*pEdge)[2] = nullptr;
    int nLinear = 0;         // the linear type whose corners and faces it has
    bool bQuadratic = false; // a node on each edge
    int Nodes() const { return nCorner + (bQuadratic ? nEdge : 0); }
};

// The shape of a VTK cell type; nDim 0 for a type the cut leaves alone. Pixels and voxels have
// none: no model element is one, and the index refuses them.
T_CELL_SHAPE ShapeOf(int nType);

// Faces of a linear solid cell: corner indices, -1 after a triangle's third.
struct T_FACE_LIST {
    int nPoint = 0;
    int nFace = 0;
    int aCorner[6][4] = {};
};
// Null for any other type; a voxel's are there for the kept surface.
const T_FACE_LIST* SolidFacesOf(int nType);
inline int FaceSize(const int* pCorner) { return pCorner[3] < 0 ? 3 : 4; }

} // namespace kvpvs::planecut
