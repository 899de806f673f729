// The sample project's base slab: eight-node plates cast on the pit floor after the last
// excavation, from the centre line to the wall. Their corners are the soil grid's nodes on the
// floor and their mid-side nodes are nodes of their own, shared by neighbouring plates. The slab
// belongs to the shaking model only: it has no construction stage and no result rows, so that
// the project's stages and rows stay as BuildSampleProject made them. Its plates go into the
// result files as PLTH records (WriteSampleResultFiles) and are connected with the shaking cases
// as the wall's plates are.
#pragma once
#include "SampleProject.h"

#include <string>
#include <vector>

namespace kvpvs::sample {

struct SlabSummary {
    KeyRange elems;          // the eight-node plates, x fastest, then y
    KeyRange midsideNodes;   // their mid-side nodes
    unsigned int nWallK = 0; // the first plate (key order) beside the wall
    unsigned int nGproK = 0, nAttrK = 0, nMatlK = 0;
    double dZ = -9.0;        // elevation of the pit floor [m]
    double dThickness = 0.6; // [m]
};

// Adds the slab to a document that holds the sample project: a section, an attribute, the
// mid-side nodes keyed after the highest node key and the plates keyed from 50001 (cell type
// 23, nodes: corners counter-clockwise seen from above, then the mid-side nodes of the sides
// 1-2, 2-3, 3-4 and 4-1). FALSE, with the reason in pError when given and nothing written, when
// the project's grid has no pit floor or wall line, the wall has no material or the plates'
// keys are taken.
BOOL BuildSampleSlab(CDBDoc& doc, const SampleSummary& sum, SlabSummary& slab, std::string* pError = nullptr);

// The slab's stored time-history functions of both shaking cases: the centre moment Mxx per
// length of the plate beside the wall, modal case first. Kept apart from
// StoreSampleHistoryFunctions so that the project's other plate functions are the same with or
// without the slab. Returns their keys.
std::vector<unsigned int> StoreSampleSlabFunctions(CDBDoc& doc, const SlabSummary& slab);

} // namespace kvpvs::sample
