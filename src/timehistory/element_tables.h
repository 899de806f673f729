// The element histories' tables, one of each, shared by the calculation functions and the
// history-plot value source: the row of the library's per-step result vector that holds a
// component (1-based; p the 0-based position, c the 0-based component, k the 1-based result
// kind), and the unit type a component is converted with.
#pragma once

namespace kvpvs::timehistory {

// Rows of plane-strain (3, 4 / 6, 8 nodes), solid (4, 6, 8 / 10, 15, 20) and plate (3, 4 / 6, 8)
// elements; row 1 for another node count or result kind.
int PlstrnRow(int nNodes, int k, int p, int c);
int SolidRow(int nNodes, int k, int p, int c);
int PlateRow(int nNodes, int k, int p, int c);

// Unit types: forces, stresses, strains (no unit) by result kind alone for plane-strain and
// solid elements; plates by kind and component (forces and moments, stresses, forces and
// moments per length); 1 for anything else.
int PlstrnUnitType(int k, int c);
int SolidUnitType(int k, int c);
int PlateUnitType(int k, int c);

} // namespace kvpvs::timehistory
