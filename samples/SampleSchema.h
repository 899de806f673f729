// The sample project's vocabulary: the result classes, quantity sub-types, item and component
// codes, value layouts, element kinds and attribute types that its result rows and model
// records use. One place, so that every later display and test reads the sample the same way.
// Row fields: T_PVTIF_D nItem, nQuantity, nDispType, nResultClass, nCompCode (aComp[0] = nCompCode).
#pragma once

namespace kvpvs::sample {

// --- Entity kinds (T_PENGR_D::nKind) ---
constexpr int kEntNode = 1;    // row values per node
constexpr int kEntElem = 2;    // row values per element
constexpr int kEntGlobal = 3;  // model-wide values of a stage (not drawn on the mesh)

// --- Element kinds (T_ELEM_D::nType) ---
constexpr int kElemTruss = 1;  // 2-node truss (lower struts)
constexpr int kElemBeam = 2;   // 2-node beam (upper struts)
constexpr int kElemPlate = 4;  // 4-node plate (diaphragm wall)
constexpr int kElemSolid = 8;  // 8-node hexahedron (soil)
constexpr int kElemPile = 60;  // 2-node pile beam (piles under the pit)
// T_ELEM_D::nPropK holds the element's attribute key (T_ATTR_D), nMatlK its material (T_GMAT_D).

// --- Attribute types (T_ATTR_D::nType) ---
constexpr int kAttrTruss = 101;  // truss: section area only
constexpr int kAttrBeam = 102;   // beam: full section
constexpr int kAttrPile = 151;   // pile beam: full section (a beam for member design)
constexpr int kAttrPlate = 201;  // plate: section thickness
constexpr int kAttrSolid = 301;  // solid: material only (no section)

// --- Display types (T_PVTIF_D::nDispType) ---
constexpr int kDispPlain = 0;    // contour or symbol of the row's values
constexpr int kDispDiagram = 6;  // element diagram along line elements (aDgrmPos holds the positions)
constexpr int kDispComb = 7;     // component combination (item 709, step "Dummy Step" of output set 999999)

// --- Quantity sub-types (T_PVTIF_D::nQuantity) ---
constexpr int kQtyTranslation = 1;  // node: translation or rotation component
constexpr int kQtyScalar = 2;       // node: scalar (magnitude, reaction, head, pore pressure)
constexpr int kQtyFlux = 3;         // node: nodal discharge vector (drawn as vector plot 2)
constexpr int kQtyMemberForce = 4;  // element: truss and beam member forces along the member
constexpr int kQtyStress = 5;       // element: stress component
constexpr int kQtyPlateForce = 6;   // element: plate force per unit length (local axes)
constexpr int kQtyStrainOrVel = 7;  // element: strain component; node: seepage velocity vector
constexpr int kQtyPlateMoment = 8;  // element: plate moment per unit length (local axes)
constexpr int kQtyState = 14;       // element: yield state flags (not drawn)
constexpr int kQtyTable = 16;       // node or element: tabular only (not drawn)
constexpr int kQtySeepVector = 17;  // element: seepage vector at result points
constexpr int kQtyPileTip = 21;     // element: pile-tip result of pile elements

// --- Result classes (T_PVTIF_D::nResultClass) with their items / component codes ---
constexpr int kClsDisp = 1;          // node displacements; items below; custom vector for items 1-11
constexpr unsigned kItemDX = 1, kItemDY = 2, kItemDZ = 3;          // translations [m]
constexpr unsigned kItemRX = 4, kItemRY = 5, kItemRZ = 6;          // rotations [rad]
constexpr unsigned kItemDXY = 7, kItemDYZ = 8, kItemDZX = 9;       // in-plane translation magnitudes [m]
constexpr unsigned kItemDXYZ = 10;                                 // total translation magnitude [m]
constexpr unsigned kItemRXYZ = 11;                                 // total rotation magnitude [rad]
constexpr unsigned kItemDZStage = 12;                              // settlement increment of the stage [m]
constexpr unsigned kItemDispTable = 20;                            // displacement table (tabular only)
constexpr int kClsReact = 2;         // node reactions at supports; items 11-13 FX, FY, FZ [kN]
constexpr unsigned kItemRFX = 11, kItemRFY = 12, kItemRFZ = 13;
constexpr int kClsTruss = 4;         // truss member forces; item 41 axial force [kN]
constexpr unsigned kItemTrussN = 41;
constexpr int kClsBeam = 5;          // beam member forces; items 51-56 Fx, Fy, Fz, Mx, My, Mz [kN, kNm]
constexpr unsigned kItemBeamFx = 51;  // item 51 + c for component c
constexpr int kClsSolidStress = 8;   // solid stresses; component 0-5 SXX SYY SZZ SXY SYZ SZX, 6-8 S1 S2 S3 (principal), 9 von Mises [kN/m2]
constexpr int kClsSolidStrain = 11;  // solid strains; component 0-5 EXX EYY EZZ EXY EYZ EZX, 6 E1 7 E3 (principal)
constexpr int kClsPlateForce = 23;   // plate forces and moments per length; component 0-2 NXX NYY NXY, 3-5 MXX MYY MXY, 6-7 QXZ QYZ
constexpr int kClsNodeSeep = 38;     // nodal seepage; item 1 total head [m], 2 pore pressure [kN/m2] (sub-type 2), 3 discharge (sub-type 3), 7 velocity (sub-type 7); component code = sub-type
constexpr int kClsElemSeep = 39;     // element seepage vectors; component 0 |v|, 1 VX, 2 VY, 3 VZ, 10 |i| hydraulic gradient
constexpr int kClsPile = 45;         // pile results; component index c into [tip node, Q tip [kN], tip settlement [m]] = 1 + c
constexpr int kClsGlobal = 60;       // stage-wide values (entity kind 3): item 1 pumped discharge [m3/s]
// Classes 1, 2, 4, 5 and 60: component code = item code. Classes 8, 11, 23, 39 and 45: item = component code + 1.
constexpr unsigned kCompYield = 20;  // class 8 component: yield state flag (sub-type 14, not drawn)
constexpr unsigned kItemComb = 709;  // combination rows

// --- Value layouts (T_PVAL_D run per entity, same key as the row) ---
// Node, displacement items 1-11: 4 doubles: value, then the item's vector (VX, VY, VZ; axes not in the item are 0).
// Node, any other scalar row: 1 double.
// Node, discharge (sub-type 3): 4 doubles: |Q|, QX, QY, QZ [m3/s].
// Node, seepage velocity (sub-type 7): 7 doubles: |v|, VX, VY, VZ, IX, IY, IZ (hydraulic gradient).
// Element, solid/plate rows: 1 + n doubles: centre value, then one per element node in node order.
// Element, principal rows: 1 + n + 3 doubles: as above, then the unit principal direction at the centre.
// Element, member forces (display type 6): one double per diagram position, end I to end J.
// Element, seepage vector (sub-type 17): 7 doubles per result point: value, VX, VY, VZ, X, Y, Z (one point, the centre).
// Element, pile (class 45): 3 doubles per pile element: tip node key, Q tip, tip settlement (the T_PPILE_D layout).
// Global: 1 double.

// --- Output sets (T_POSIF_D keys) ---
constexpr unsigned kOsetStages = 1;       // "Construction Stages"
constexpr unsigned kOsetComb = 999999;    // combination rows ("Dummy Step")

} // namespace kvpvs::sample

namespace kvpvs::sample {

// --- Force-sum rows (SampleForceSumRows.h): the item codes the force-sum dialog looks for ---
// Solid stresses, class 8, items 141-146 = SXX SYY SZZ SXY SYZ SZX (component code 0-5).
constexpr unsigned kItemLdfsSolidFirst = 141;
// Plate forces and moments per length in the element axes, class 23: items 85-87 = NXX NYY NXY
// (component code 0-2) and 91-93 = MXX MYY MXY (component code 3-5).
constexpr unsigned kItemLdfsPlateN = 85;
constexpr unsigned kItemLdfsPlateM = 91;
// Layout as every element row: 1 + n doubles, the centre value, then one per element node.

} // namespace kvpvs::sample

namespace kvpvs::sample {

// --- Analysis cases (CClassAcas keys, with a post control each) and step kinds ---
constexpr unsigned kAcasStages = 1;        // "Construction Stages", type 5, output set kOsetStages
constexpr unsigned kAcasLinear = 2;        // "Self weight (linear)", type 15, output set kOsetLinear
constexpr int kAcasTypeStages = 5;
constexpr int kAcasTypeLinear = 15;
constexpr unsigned kOsetLinear = 2;
constexpr unsigned kStepLinear = 901;      // the linear case's one step
constexpr int kStepKindStage = 25;         // T_PLSIF_D::nStepKind of a construction stage
constexpr int kStepKindLinear = 1;
// Unit types of member-force rows (T_PVTIF_D::nUnitType): values read in the current unit system.
constexpr int kUnitForce = 2;              // kN
constexpr int kUnitMoment = 12;            // kNm
constexpr int kUnitForcePerLength = 13;    // kN/m
constexpr int kUnitStress = 17;            // kN/m2

} // namespace kvpvs::sample
