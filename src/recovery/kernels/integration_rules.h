#pragma once
// Integration rules of the element library: the Gauss-Legendre rule of the 4-node plane
// and plate elements, and the tabulated line, plane and solid rules of the isoparametric
// elements. Constant data, no state.

namespace kvpvs::recovery {

// Abscissa and weight of point i of the n-point Gauss-Legendre rule on [-1, 1], n = 2..4
// (any other n: the 1-point rule).
void gauss_points(int n, int i, double& xi, double& w);

// Point `point` of the npoints-point rule of an nnodes-node element; space 2 selects line
// rules, 6 solid rules, any other value plane rules. Unlisted combinations give zeros.
void integration_points(double& xi, double& eta, double& zeta, double& weight, int point,
                        int npoints, int nnodes, int space);

}  // namespace kvpvs::recovery
