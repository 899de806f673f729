// Membrane of the 4-node quadrilateral with two incompatible bubble modes per displacement
// component (1 - xi^2, 1 - eta^2), integrated 2x2 and condensed out.
#include "recovery/kernels/element_library.h"
#include "recovery/kernels/plate_kernels.h"

namespace kvpvs::recovery {

void ElementLibrary::quad_membrane_stiffness(int N, ConstMatView XY, MatView DN, double Em,
                                             double nu, double t, MatView K, MatView H,
                                             MatView F, int flag)
{
    auto& w = plate_.quad_membrane;
    for (int c = 1; c <= 12; ++c) {
        for (int r = 1; r <= N; ++r) {
            K(r, c) = 0.0;
        }
    }
    w.B.fill(0.0);
    if (blocks_.material_block.material_type == 1) {
        plane_elastic_matrix(blocks_.plane_mode, w.D);
    } else {
        // Mode 2 forms no moduli: the previous call's c1, c2, c3 stay in use.
        if (blocks_.plane_mode == 0) {
            w.c1 = Em;
            w.c2 = Em * nu;
            w.c3 = Em * (1.0 - nu) / 2.0;
        } else if (blocks_.plane_mode == 1) {
            w.c1 = Em * (1.0 - nu);
            w.c2 = Em * nu;
            w.c3 = Em * (1.0 - 2.0 * nu) / 2.0;
        }
        w.D.fill(0.0);
        w.D(1, 1) = w.c1;
        w.D(2, 2) = w.c1;
        w.D(1, 2) = w.c2;
        w.D(2, 1) = w.c2;
        w.D(3, 3) = w.c3;
    }
    const Mat33& D = w.D;
    const double a1 = (-XY(1, 1) + XY(1, 2) + XY(1, 3) - XY(1, 4)) / 4.0;
    const double b1 = (-XY(2, 1) + XY(2, 2) + XY(2, 3) - XY(2, 4)) / 4.0;
    const double a2 = (-XY(1, 1) - XY(1, 2) + XY(1, 3) + XY(1, 4)) / 4.0;
    const double b2 = (-XY(2, 1) - XY(2, 2) + XY(2, 3) + XY(2, 4)) / 4.0;

    for (int i = 1; i <= 2; ++i) {
        for (int j = 1; j <= 2; ++j) {
            double xi, wi, eta, wj, detJ;
            gauss_points(2, i, xi, wi);
            gauss_points(2, j, eta, wj);
            quad4_shape(xi, eta, DN, 1);
            jacobian_2d(4, XY, DN, detJ, 0);
            for (int k = 1; k <= 4; ++k) {
                w.B(1, 2 * k - 1) = DN(1, k);
                w.B(3, 2 * k - 1) = DN(2, k);
                w.B(2, 2 * k) = DN(2, k);
                w.B(3, 2 * k) = DN(1, k);
            }
            // Bubble derivatives through the centre Jacobian terms, scaled by the point's
            // determinant.
            const double g = 2.0 / detJ;
            w.B(1, 9) = -b2 * xi * g;
            w.B(3, 9) = a2 * xi * g;
            w.B(2, 10) = a2 * xi * g;
            w.B(3, 10) = -b2 * xi * g;
            w.B(1, 11) = b1 * eta * g;
            w.B(3, 11) = -a1 * eta * g;
            w.B(2, 12) = -a1 * eta * g;
            w.B(3, 12) = b1 * eta * g;
            const double dv = detJ * t * wi * wj;
            for (int c = 1; c <= 12; ++c) {
                const double s1 = (D(1, 1) * w.B(1, c) + D(1, 2) * w.B(2, c)) * dv;
                const double s2 = (D(2, 1) * w.B(1, c) + D(2, 2) * w.B(2, c)) * dv;
                const double s3 = D(3, 3) * w.B(3, c) * dv;
                for (int r = c; r <= 12; ++r) {
                    K(r, c) = K(r, c) + w.B(1, r) * s1 + w.B(2, r) * s2 + w.B(3, r) * s3;
                }
            }
        }
    }
    for (int c = 1; c <= 12; ++c) {
        for (int r = c + 1; r <= 12; ++r) {
            K(c, r) = K(r, c);
        }
    }
    condense_internal(N, 4, K, F, w.A, H, flag);
}

}  // namespace kvpvs::recovery
