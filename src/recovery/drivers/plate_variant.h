// Results kernel of the four-node plate whose section has separate membrane thicknesses for x
// and y and bending thicknesses for x, y and xy, on an isotropic or orthotropic material: an
// incompatible-mode membrane with its four internal modes condensed, and discrete
// Kirchhoff-Mindlin bending and shear with mid-side rotation parameters. The element matrices
// are formed at value 1 of a call and kept for the later values. History build only.
#pragma once

#include "recovery/drivers/driver_state.h"

namespace kvpvs::recovery {

// a / b, and 0 where b is 0: a section without a thickness keeps finite values.
inline double plate_quotient(double a, double b) { return b == 0.0 ? 0.0 : a / b; }

// Membrane stiffness K(12, 12) (columns 1..8 the nodal u, v; 9..12 the internal modes) of the
// in-plane corners XY(2, 4), condensed: Kc(4, 8) gives the internal parameters as -Kc times the
// nodal (u, v) pairs. DN(2, 4) is derivative scratch; F(12) the zero load vector; flag is
// passed to the condensation; a positive scale multiplies E, E2 and G12 first. Nothing is
// formed when h1 and h2 are both 0.
void quad_incompatible_membrane(int order, ConstMatView XY, MatView DN, double E, double nu, double h1, double h2,
                                MatView K, MatView Kc, MatView F, int flag, double scale);

// P(8, 5): at the centre and the 2 x 2 Gauss points (-,-), (+,-), (+,+), (-,+): Nx, Ny, Nxy,
// the bending triple Db kappa, Qy, Qx. L(24) holds six values per node in element axes.
// value_index 1 forms the element's matrices; the seventh argument is not read.
void quad_orthotropic_plate_results(DriverBuildState& build, int node_count, ConstMatView L, MatView P,
                                    ConstMatView X, const Mat33& T, int value_index, int unused);

} // namespace kvpvs::recovery
