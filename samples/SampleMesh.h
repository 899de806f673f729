// Small mesh builders of the sample project: a structured node grid, hexahedron blocks,
// plate strips and element lines written into a document's model database. The sample
// project is made of them, and tests use them to build fixtures of a known shape.
#pragma once
#include "DBDoc.h"
#include "DBModelRecords.h"

#include <vector>

namespace kvpvs::sample {

struct KeyRange {
    unsigned int nFirst = 0;
    unsigned int nLast = 0; // inclusive; nFirst > nLast when empty
    unsigned int Count() const { return nLast >= nFirst && nFirst != 0 ? nLast - nFirst + 1 : 0; }
    bool Contains(unsigned int k) const { return Count() != 0 && k >= nFirst && k <= nLast; }
};

// Nodes on the tensor grid xs × ys × zs, keyed from nFirstNodeK with x fastest, then y, then z.
struct SampleGrid {
    std::vector<double> xs, ys, zs;
    unsigned int nFirstNodeK = 1;

    int Nx() const { return static_cast<int>(xs.size()); }
    int Ny() const { return static_cast<int>(ys.size()); }
    int Nz() const { return static_cast<int>(zs.size()); }
    unsigned int NodeK(int i, int j, int k) const
    {
        return nFirstNodeK + static_cast<unsigned int>(i + Nx() * (j + Ny() * k));
    }
    KeyRange Nodes() const { return {nFirstNodeK, NodeK(Nx() - 1, Ny() - 1, Nz() - 1)}; }
    // Index of the grid line at coordinate v (within 1e-9), -1 when there is none.
    static int IndexOf(const std::vector<double>& a, double v);
};

// Writes the grid's nodes (T_NODE_D) under their keys. FALSE when a key is taken.
BOOL BuildGridNodes(CDBDoc& doc, const SampleGrid& grid);

// Moves every node of the document's model by d, and adds d to the shift the document keeps.
void MoveNodes(CDBDoc& doc, const double d[3]);
// The shift of the document's model from the sample's own origin (0 until MoveNodes).
void SampleShiftOf(CDBDoc& doc, double d[3]);

// Hexahedra of the cells [i0, i1) × [j0, j1) × [k0, k1) of the grid, keyed from nFirstElemK in
// the grid's order. Node order: the bottom face counter-clockwise seen from +z, then the top
// face above it (VTK's hexahedron), so every element has a positive volume when z rises with k.
KeyRange BuildHexBlock(CDBDoc& doc, const SampleGrid& grid, int i0, int i1, int j0, int j1, int k0, int k1,
                       unsigned int nFirstElemK, unsigned int nAttrK, unsigned int nMatlK);

// Quadrilateral plates on the grid plane x = xs[i] over the cells [j0, j1) × [k0, k1).
KeyRange BuildPlateStripX(CDBDoc& doc, const SampleGrid& grid, int i, int j0, int j1, int k0, int k1,
                          unsigned int nFirstElemK, unsigned int nAttrK, unsigned int nMatlK);

// Two-node elements along the given nodes, one per consecutive pair.
KeyRange BuildLine(CDBDoc& doc, const std::vector<unsigned int>& aNodeK, int nElemType, unsigned int nFirstElemK,
                   unsigned int nAttrK, unsigned int nMatlK);

// Signed volume of an 8-node hexahedron in VTK's node order, from its 6 tetrahedra around the
// diagonal 0-6 (exact for planar faces).
double HexVolume(const double xyz[8][3]);

} // namespace kvpvs::sample
