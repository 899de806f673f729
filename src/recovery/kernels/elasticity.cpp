// Elasticity matrices of the element library, read from the material block.
#include <cassert>

#include "recovery/kernels/element_library.h"

namespace kvpvs::recovery {

void ElementLibrary::plane_elastic_matrix(int mode, Mat33& D) const
{
    // Every caller passes 0 or 1; any other mode takes the plane-stress compliances.
    assert(mode == 0 || mode == 1);
    const MaterialBlock& m = blocks_.material_block;
    double E1, E2, E3, nu12, nu21, nu13, nu31, nu23, nu32, G12;
    if (m.material_type == 1) {
        E1 = m.elastic_modulus;
        nu12 = m.poisson_ratio;
        E2 = m.ortho(1);
        nu13 = m.ortho(2);
        E3 = m.ortho(4);
        nu23 = m.ortho(5);
        G12 = m.ortho(7);
        nu21 = E2 * nu12 / E1;
        nu31 = E3 * nu13 / E1;
        nu32 = E3 * nu23 / E2;
    } else {
        E1 = E2 = E3 = m.elastic_modulus;
        nu12 = nu21 = nu13 = nu31 = nu23 = nu32 = m.poisson_ratio;
        G12 = m.elastic_modulus / (2.0 * (1.0 + m.poisson_ratio));
    }

    // Compliances of the normal block, inverted as a 2x2.
    double a, b, c, d;
    if (mode == 1) {
        a = (1.0 - nu23 * nu32) / E2;
        b = -(nu21 + nu23 * nu31) / E2;
        c = -(nu12 + nu13 * nu32) / E1;
        d = (1.0 - nu13 * nu31) / E1;
    } else {
        a = 1.0 / E2;
        b = -nu21 / E2;
        c = -nu12 / E1;
        d = 1.0 / E1;
    }
    D.fill(0.0);
    const double det = a * d - c * b;
    D(1, 1) = a / det;
    D(2, 2) = d / det;
    D(1, 2) = -b / det;
    D(2, 1) = -c / det;
    D(3, 3) = G12;
}

namespace {

// Orthotropic compliance block; entries below the diagonal through the reciprocal ratios.
void orthotropic_compliance(const MaterialBlock& m, Mat33& S)
{
    const double E1 = m.elastic_modulus, nu12 = m.poisson_ratio;
    const double E2 = m.ortho(1), nu13 = m.ortho(2), E3 = m.ortho(4), nu23 = m.ortho(5);
    S(1, 1) = 1.0 / E1;
    S(2, 2) = 1.0 / E2;
    S(3, 3) = 1.0 / E3;
    S(1, 2) = -nu12 / E1;
    S(1, 3) = -nu13 / E1;
    S(2, 3) = -nu23 / E2;
    S(2, 1) = -(nu12 * E2 / E1) / E2;
    S(3, 1) = -(nu13 * E3 / E1) / E3;
    S(3, 2) = -(nu23 * E3 / E2) / E3;
}

}  // namespace

void ElementLibrary::solid_elastic_matrix(FixedMatrix<6, 6>& D) const
{
    const MaterialBlock& m = blocks_.material_block;
    if (m.material_type == 0) {
        const double E = m.elastic_modulus, nu = m.poisson_ratio;
        D.fill(0.0);
        const double c = E / ((1.0 + nu) * (1.0 - 2.0 * nu));
        for (int i = 1; i <= 3; ++i) {
            for (int j = 1; j <= 3; ++j) {
                D(i, j) = i == j ? c * (1.0 - nu) : c * nu;
            }
        }
        D(4, 4) = 0.5 * c * (1.0 - 2.0 * nu);
        D(5, 5) = 0.5 * c * (1.0 - 2.0 * nu);
        D(6, 6) = 0.5 * c * (1.0 - 2.0 * nu);
    } else if (m.material_type == 1) {
        Mat33 S, Sinv;
        orthotropic_compliance(m, S);
        invert_matrix(S, Sinv, 3);
        for (int j = 1; j <= 3; ++j) {
            for (int i = 1; i <= 3; ++i) {
                D(i, j) = Sinv(i, j);
            }
        }
        D(4, 4) = m.ortho(7);
        D(5, 5) = m.ortho(8);
        D(6, 6) = m.ortho(9);
    }
    // Any other type leaves D as it was.
}

void ElementLibrary::axisym_elastic_matrix(FixedMatrix<4, 4>& D) const
{
    const MaterialBlock& m = blocks_.material_block;
    D.fill(0.0);
    if (m.material_type == 1) {
        Mat33 S;
        orthotropic_compliance(m, S);
        // Inverse by cofactors over the determinant (first-row expansion).
        const double c11 = S(2, 2) * S(3, 3) - S(2, 3) * S(3, 2);
        const double c12 = -(S(2, 1) * S(3, 3) - S(2, 3) * S(3, 1));
        const double c13 = S(2, 1) * S(3, 2) - S(2, 2) * S(3, 1);
        const double c21 = -(S(1, 2) * S(3, 3) - S(1, 3) * S(3, 2));
        const double c22 = S(1, 1) * S(3, 3) - S(1, 3) * S(3, 1);
        const double c23 = -(S(1, 1) * S(3, 2) - S(1, 2) * S(3, 1));
        const double c31 = S(1, 2) * S(2, 3) - S(1, 3) * S(2, 2);
        const double c32 = -(S(1, 1) * S(2, 3) - S(1, 3) * S(2, 1));
        const double c33 = S(1, 1) * S(2, 2) - S(1, 2) * S(2, 1);
        const double det = S(1, 1) * c11 + S(1, 2) * c12 + S(1, 3) * c13;
        D(1, 1) = c11 / det;
        D(1, 2) = c21 / det;
        D(1, 3) = c31 / det;
        D(2, 1) = c12 / det;
        D(2, 2) = c22 / det;
        D(2, 3) = c32 / det;
        D(3, 1) = c13 / det;
        D(3, 2) = c23 / det;
        D(3, 3) = c33 / det;
        D(4, 4) = m.ortho(7);
    } else {
        const double E = m.elastic_modulus, nu = m.poisson_ratio;
        const double c = E / ((1.0 + nu) * (1.0 - 2.0 * nu));
        for (int i = 1; i <= 3; ++i) {
            for (int j = 1; j <= 3; ++j) {
                D(i, j) = i == j ? c * (1.0 - nu) : c * nu;
            }
        }
        D(4, 4) = c * 0.5 * (1.0 - 2.0 * nu);
    }
}

void ElementLibrary::elastic_matrix(MatView D, double E, double nu, int mode, int n) const
{
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) {
            D(i, j) = 0.0;
        }
    }
    if (n == 6) {
        FixedMatrix<6, 6> D6;  // zero, as D: the orthotropic solid writes only its own entries
        solid_elastic_matrix(D6);
        for (int j = 1; j <= 6; ++j) {
            for (int i = 1; i <= 6; ++i) {
                D(i, j) = D6(i, j);
            }
        }
        return;
    }
    if (n != 4) {
        return;
    }
    if (mode == 2) {
        // Shear to row/column 3, the hoop component to 4: the strain rows of isoparam_jacobian.
        FixedMatrix<4, 4> T;
        axisym_elastic_matrix(T);
        constexpr int p[4] = {1, 2, 4, 3};
        for (int j = 1; j <= 4; ++j) {
            for (int i = 1; i <= 4; ++i) {
                D(p[i - 1], p[j - 1]) = T(i, j);
            }
        }
        return;
    }
    if (blocks_.material_block.material_type == 1) {
        Mat33 D3;
        plane_elastic_matrix(mode, D3);
        for (int j = 1; j <= 3; ++j) {
            for (int i = 1; i <= 3; ++i) {
                D(i, j) = D3(i, j);
            }
        }
        return;
    }
    double d11, d12, d33;
    if (mode == 0) {
        d11 = E / (1.0 - nu * nu);
        d12 = nu * d11;
        d33 = (1.0 - nu) * d11 / 2.0;
    } else if (mode == 1) {
        const double c = E / ((1.0 + nu) * (1.0 - 2.0 * nu));
        d11 = (1.0 - nu) * c;
        d12 = nu * c;
        d33 = (1.0 - 2.0 * nu) * c / 2.0;
    } else {
        // Outside the interface: no caller passes another mode; D stays zero.
        assert(false && "elastic_matrix: 2-D mode other than 0, 1 or 2");
        return;
    }
    D(1, 1) = d11;
    D(2, 2) = d11;
    D(1, 2) = d12;
    D(2, 1) = d12;
    D(3, 3) = d33;
}

}  // namespace kvpvs::recovery
