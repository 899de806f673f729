// Thin (discrete Kirchhoff) triangular plate/shell stiffness: the drilling membrane at the
// three side midpoints and the explicit DKT bending block.
#include "recovery/kernels/element_library.h"
#include "recovery/kernels/plate_kernels.h"

namespace kvpvs::recovery {

void ElementLibrary::tri_thin_stiffness(MatView K, MatView WORK, int N, ConstMatView X,
                                        ConstMatView Y, ConstMatView Z, const Mat33& T,
                                        double& area, int iflag)
{
    auto& w = plate_.tri_thin;
    tri_local_geometry(X, Y, Z, T, w.XY, area);
    for (int j = 1; j <= N; ++j) {
        for (int i = 1; i <= N; ++i) {
            K(i, j) = 0.0;
        }
    }
    w.DN.fill(0.0);
    const double E = blocks_.E(), nu = blocks_.nu();
    const double tm = blocks_.membrane_thickness(), tb = blocks_.bending_thickness();
    const double c = E / (1.0 - nu * nu), h = (1.0 - nu) / 2.0;

    if (iflag != 2) {
        for (int ip = 1; ip <= 3; ++ip) {
            double r, s, wt, det;
            tri_integration_point(3, ip, r, s, wt);
            tri6_shape(r, s, w.DN, 1);
            tri3_shape(r, s, w.DL, 1);
            tri_jacobian(3, w.DL, w.XY, w.DN, det, 2);
            tri_membrane_stiffness(3, det * wt * tm, nu, c, h, w.XY, w.DN, N, K);
        }
    }
    tri_dkt_geometry(w.XY);
    // 1/(2A) of the curvature operator squared and 1/24 of the area integral of L_i L_j.
    const double Db = ((c * tb * tb * tb / 12.0) / area) / 48.0;
    const double D12 = nu * Db, D33 = h * Db;
    w.DM.fill(0.0);
    if (blocks_.material_block.material_type == 1) {
        plane_elastic_matrix(0, w.Dp);
        const int ij[5][2] = {{1, 1}, {2, 1}, {1, 2}, {2, 2}, {3, 3}};
        for (const auto& p : ij) {
            w.DM(p[0], p[1]) = ((w.Dp(p[0], p[1]) * tb * tb * tb / 12.0) / area) / 48.0;
        }
    }
    for (int I = 1; I <= 3; ++I) {
        for (int J = 1; J <= 3; ++J) {
            tri_dkt_node_pair(Db, D12, Db, D33, I, J, N, K, w.DM);
        }
    }
    if (iflag == 1 || iflag == 2) {
        rotate_matrix(K, WORK, T, 18);
    }
}

}  // namespace kvpvs::recovery
