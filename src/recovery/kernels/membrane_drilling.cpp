// Triangle membrane with drilling rotations: the quadratic field whose mid-side values
// follow from the corner translations and rotations (vertex-rotation interpolation),
// u_m = (u_i + u_j)/2 + (y_i - y_j)/8 (rz_i - rz_j), v_m = (v_i + v_j)/2 + (x_j - x_i)/8
// (rz_i - rz_j). The strain matrix serves the stiffness and the triangular plate results.
#include "recovery/kernels/element_library.h"
#include "recovery/kernels/plate_kernels.h"

namespace kvpvs::recovery {

void tri_drilling_strain_matrix(ConstMatView XY, ConstMatView DN, FixedMatrix<3, 9>& B)
{
    const double x1 = XY(1, 1), x2 = XY(1, 2), x3 = XY(1, 3);
    const double y1 = XY(2, 1), y2 = XY(2, 2), y3 = XY(2, 3);
    const double a1 = (y1 - y2) * 0.125, a2 = (y2 - y3) * 0.125, a3 = (y3 - y1) * 0.125;
    const double b1 = (x2 - x1) * 0.125, b2 = (x3 - x2) * 0.125, b3 = (x1 - x3) * 0.125;
    B.fill(0.0);
    // Corner k takes half of each adjacent mid-side function: 1 (4, 6), 2 (4, 5), 3 (5, 6).
    const int ma[3] = {4, 4, 5}, mb[3] = {6, 5, 6};
    for (int k = 1; k <= 3; ++k) {
        const double gx = DN(1, k) + (DN(1, ma[k - 1]) + DN(1, mb[k - 1])) / 2.0;
        const double gy = DN(2, k) + (DN(2, ma[k - 1]) + DN(2, mb[k - 1])) / 2.0;
        const int u = 3 * (k - 1) + 1, v = u + 1;
        B(1, u) = gx;
        B(2, v) = gy;
        B(3, u) = gy;
        B(3, v) = gx;
    }
    B(1, 3) = a1 * DN(1, 4) - a3 * DN(1, 6);
    B(2, 3) = b1 * DN(2, 4) - b3 * DN(2, 6);
    B(3, 3) = a1 * DN(2, 4) + b1 * DN(1, 4) - a3 * DN(2, 6) - b3 * DN(1, 6);
    B(1, 6) = a2 * DN(1, 5) - a1 * DN(1, 4);
    B(2, 6) = b2 * DN(2, 5) - b1 * DN(2, 4);
    B(3, 6) = a2 * DN(2, 5) + b2 * DN(1, 5) - a1 * DN(2, 4) - b1 * DN(1, 4);
    B(1, 9) = a3 * DN(1, 6) - a2 * DN(1, 5);
    B(2, 9) = b3 * DN(2, 6) - b2 * DN(2, 5);
    B(3, 9) = a3 * DN(2, 6) + b3 * DN(1, 6) - a2 * DN(2, 5) - b2 * DN(1, 5);
}

void ElementLibrary::tri_membrane_stiffness(int nn, double wt, double nu, double cm, double hm,
                                            ConstMatView XY, ConstMatView DN, int N, MatView K)
{
    (void)N;  // K's view carries the leading dimension
    auto& w = plate_.tri_membrane;
    if (blocks_.material_block.material_type == 1) {
        plane_elastic_matrix(0, w.Dm);
    } else {
        w.Dm.fill(0.0);
        w.Dm(1, 1) = cm;
        w.Dm(2, 2) = cm;
        w.Dm(1, 2) = cm * nu;
        w.Dm(2, 1) = cm * nu;
        w.Dm(3, 3) = cm * hm;
    }
    tri_drilling_strain_matrix(XY, DN, w.B);
    // Local column (u, v, rz) of node I sits at rows 6(I-1) + 1, 2, 6 of the shell matrix.
    const int off[3] = {1, 2, 6};
    for (int I = 1; I <= nn; ++I) {
        for (int J = 1; J <= nn; ++J) {
            for (int a = 1; a <= 3; ++a) {
                for (int b = 1; b <= 3; ++b) {
                    const int ca = 3 * (I - 1) + a, cb = 3 * (J - 1) + b;
                    double s = 0.0;
                    for (int k = 1; k <= 3; ++k) {
                        for (int l = 1; l <= 3; ++l) {
                            s += w.B(k, ca) * w.Dm(k, l) * w.B(l, cb);
                        }
                    }
                    K(6 * (I - 1) + off[a - 1], 6 * (J - 1) + off[b - 1]) += wt * s;
                }
            }
        }
    }
}

}  // namespace kvpvs::recovery
