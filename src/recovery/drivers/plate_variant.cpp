#include "recovery/drivers/plate_variant.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kvpvs::recovery {
namespace {

constexpr int POINTS = 5;

// Element matrices of the last call that started with value 1.
struct VariantState {
    Mat33 Dm;
    Mat33 Db;
    FixedMatrix<2, 2> Ds;
    FixedMatrix<2, 4> XL;
    FixedMatrix<4, 8> Kc;
    std::array<FixedMatrix<2, 4>, POINTS> DN;
    std::array<FixedMatrix<3, 4>, POINTS> Bi;
    std::array<FixedMatrix<3, 12>, POINTS> Bb;
    std::array<FixedMatrix<2, 12>, POINTS> Bs;
    // Scratch of the set-up and of each value.
    FixedMatrix<12, 12> K;
    FixedVector<12> F;
    FixedMatrix<2, 4> DNm;
    FixedMatrix<2, 4> DP;
    FixedMatrix<4, 12> A;
    FixedVector<4> alpha;
};

VariantState& variant_state()
{
    static VariantState state;
    return state;
}

// A degenerate corner set (coincident corners, a zero Jacobian) leaves infinities in the
// matrices; they become 0 so that no value of the element turns into NaN.
template <int R, int C>
void keep_finite(FixedMatrix<R, C>& m)
{
    for (double& v : m.a)
        if (!std::isfinite(v))
            v = 0.0;
}

double cube(double x) { return x * x * x; }

void point_of(int p, double& xi, double& eta)
{
    // Centre, then (-,-), (+,-), (+,+), (-,+) of the 2-point rule.
    constexpr int I[POINTS] = {0, 1, 2, 2, 1};
    constexpr int J[POINTS] = {0, 1, 1, 2, 2};
    xi = 0.0;
    eta = 0.0;
    if (p == 1)
        return;
    double w = 0.0;
    gauss_points(2, I[p - 1], xi, w);
    gauss_points(2, J[p - 1], eta, w);
}

// Membrane, bending and transverse-shear section matrices of the element's section and material.
void set_up_sections(VariantState& s, const SharedBlocks& blocks)
{
    const std::array<double, 11>& h = blocks.section_values;
    const MaterialBlock& m = blocks.material_block;
    const double E = m.elastic_modulus;
    const double nu = m.poisson_ratio;
    const bool orthotropic = m.material_type == 1;
    const double h1 = h[0], h2 = h[1], h3 = h[2], h4 = h[3], h5 = h[4];

    // Bending and transverse shear section.
    const double tb = std::max(h3, h4);
    const double e1 = cube(plate_quotient(h3, tb)) * E;
    const double e2 = cube(plate_quotient(h4, tb)) * (orthotropic ? m.ortho(1) : E);
    const double e3 = cube(plate_quotient(h5, tb)) * (orthotropic ? (E + m.ortho(1)) / 2.0 : E);
    const double g1 = orthotropic ? m.ortho(8) : e1 / 2.0;
    const double g2 = orthotropic ? m.ortho(9) : e2 / 2.0;
    const double tb3 = tb * tb * tb;
    s.Db(1, 1) = e1 * tb3 / 12.0;
    s.Db(2, 2) = e2 * tb3 / 12.0;
    s.Db(3, 3) = (e3 * tb3 / 12.0) * 0.5;
    s.Ds(1, 1) = g1 * tb / 1.2;
    s.Ds(2, 2) = g2 * tb / 1.2;

    // Membrane section.
    const double tm = std::max(h1, h2);
    const double a1 = plate_quotient(h1, tm) * E;
    const double a2 = plate_quotient(h2, tm) * (orthotropic ? m.ortho(1) : E);
    const double a3 = orthotropic ? m.ortho(7)
                                  : plate_quotient((h1 + h2) / 2.0, tm) * plate_quotient(E, 2.0 * (1.0 + nu));
    const double c = plate_quotient(1.0, 1.0 - nu * nu);
    s.Dm(1, 1) = c * a1 * tm;
    s.Dm(1, 2) = c * nu * (a1 + a2) / 2.0 * tm;
    s.Dm(2, 1) = s.Dm(1, 2);
    s.Dm(2, 2) = c * a2 * tm;
    s.Dm(3, 3) = a3 * tm;
}

// Strain matrices at integration point p: the internal membrane modes (a, b, c0, d: the centre
// Jacobian terms), the bending curvatures with the mid-side rotations, the edge shear strains.
void set_up_point(VariantState& s, const QuadEdgeBlock& e, int p, double a, double b, double c0, double d)
{
    const std::size_t q = static_cast<std::size_t>(p - 1);
    double xi = 0.0;
    double eta = 0.0;
    point_of(p, xi, eta);
    FixedMatrix<2, 4>& DN = s.DN[q];
    quad4_shape(xi, eta, DN, 1);
    quad_midside_derivs(xi, eta, s.DP);
    double det = 0.0;
    FixedMatrix<2, 2> J;
    jacobian_2d_pair(4, s.XL, DN, s.DP, det, J);
    const double j11 = J(1, 1), j21 = J(2, 1), j12 = J(1, 2), j22 = J(2, 2);

    const double qd = plate_quotient(2.0, det);
    FixedMatrix<3, 4>& Bi = s.Bi[q];
    Bi(1, 1) = -xi * d * qd;
    Bi(3, 1) = xi * c0 * qd;
    Bi(2, 2) = xi * c0 * qd;
    Bi(3, 2) = -xi * d * qd;
    Bi(1, 3) = eta * b * qd;
    Bi(3, 3) = -eta * a * qd;
    Bi(2, 4) = -eta * a * qd;
    Bi(3, 4) = eta * b * qd;

    FixedMatrix<3, 12>& Bb = s.Bb[q];
    for (int k = 1; k <= 4; ++k) {
        Bb(1, 3 * k) = DN(1, k);
        Bb(2, 3 * k - 1) = -DN(2, k);
        Bb(3, 3 * k - 1) = -DN(1, k);
        Bb(3, 3 * k) = DN(2, k);
    }
    // Bb += 1.5 G A: the mid-side functions' rotations along each edge.
    FixedMatrix<3, 4> G;
    for (int k = 1; k <= 4; ++k) {
        const std::size_t r = static_cast<std::size_t>(k - 1);
        G(1, k) = s.DP(1, k) * e.CO[r];
        G(2, k) = s.DP(2, k) * e.SI[r];
        G(3, k) = s.DP(1, k) * e.SI[r] + s.DP(2, k) * e.CO[r];
    }
    for (int c = 1; c <= 12; ++c)
        for (int r = 1; r <= 3; ++r) {
            double sum = 0.0;
            for (int k = 1; k <= 4; ++k)
                sum += G(r, k) * s.A(k, c);
            Bb(r, c) = Bb(r, c) + 1.5 * sum;
        }
    // Bs = 0.25 H A: the edge shear strains carried to the point.
    FixedMatrix<2, 4> H;
    const double ln[4] = {e.L[0] * e.PHI[0], e.L[1] * e.PHI[1], e.L[2] * e.PHI[2], e.L[3] * e.PHI[3]};
    H(1, 1) = -(1.0 - eta) * j11 * ln[0];
    H(1, 2) = -(1.0 + xi) * j12 * ln[1];
    H(1, 3) = (1.0 + eta) * j11 * ln[2];
    H(1, 4) = (1.0 - xi) * j12 * ln[3];
    H(2, 1) = -(1.0 - eta) * j21 * ln[0];
    H(2, 2) = -(1.0 + xi) * j22 * ln[1];
    H(2, 3) = (1.0 + eta) * j21 * ln[2];
    H(2, 4) = (1.0 - xi) * j22 * ln[3];
    FixedMatrix<2, 12>& Bs = s.Bs[q];
    for (int c = 1; c <= 12; ++c)
        for (int r = 1; r <= 2; ++r) {
            double sum = 0.0;
            for (int k = 1; k <= 4; ++k)
                sum += H(r, k) * s.A(k, c);
            Bs(r, c) = 0.25 * sum;
        }
}

} // namespace

void quad_incompatible_membrane(int order, ConstMatView XY, MatView DN, double E, double nu, double h1, double h2,
                                MatView K, MatView Kc, MatView F, int flag, double scale)
{
    if (h1 == 0.0 && h2 == 0.0)
        return;
    const MaterialBlock& m = shared_blocks().material_block;
    double E2 = m.ortho(1);
    double G12 = m.ortho(7);
    if (scale > 0.0) {
        E = E * scale;
        E2 = E2 * scale;
        G12 = G12 * scale;
    }
    const double tm = std::max(h1, h2);
    Mat33 D;
    if (m.material_type == 1) {
        const double a1 = plate_quotient(h1, tm) * E;
        const double a2 = plate_quotient(h2, tm) * E2;
        // Inverse of the compliance [[1/a1, -nu/a1], [-nu/a1, 1/a2]].
        const double c11 = plate_quotient(1.0, a1);
        const double c12 = -plate_quotient(nu, a1);
        const double c22 = plate_quotient(1.0, a2);
        const double det = c11 * c22 - c12 * c12;
        D(1, 1) = plate_quotient(c22, det);
        D(1, 2) = plate_quotient(-c12, det);
        D(2, 1) = D(1, 2);
        D(2, 2) = plate_quotient(c11, det);
        D(3, 3) = plate_quotient((h1 + h2) / 2.0, tm) * G12;
    } else {
        const double a1 = plate_quotient(h1, tm) * E;
        const double a2 = plate_quotient(h2, tm) * E;
        const double a3 = plate_quotient((h1 + h2) / 2.0, tm) * plate_quotient(E, 2.0 * (1.0 + nu));
        const double c = plate_quotient(1.0, 1.0 - nu * nu);
        D(1, 1) = c * a1;
        D(1, 2) = c * nu * (a1 + a2) / 2.0;
        D(2, 1) = D(1, 2);
        D(2, 2) = c * a2;
        D(3, 3) = a3;
    }
    // Centre Jacobian terms of the internal modes.
    const double a = (-XY(1, 1) + XY(1, 2) + XY(1, 3) - XY(1, 4)) / 4.0;
    const double b = (-XY(2, 1) + XY(2, 2) + XY(2, 3) - XY(2, 4)) / 4.0;
    const double c0 = (-XY(1, 1) - XY(1, 2) + XY(1, 3) + XY(1, 4)) / 4.0;
    const double d = (-XY(2, 1) - XY(2, 2) + XY(2, 3) + XY(2, 4)) / 4.0;
    for (int c = 1; c <= order; ++c)
        for (int r = 1; r <= order; ++r)
            K(r, c) = 0.0;
    FixedMatrix<3, 12> B;
    for (int i = 1; i <= 2; ++i) {
        for (int j = 1; j <= 2; ++j) {
            double xi = 0.0;
            double wi = 0.0;
            double eta = 0.0;
            double wj = 0.0;
            double det = 0.0;
            gauss_points(2, i, xi, wi);
            gauss_points(2, j, eta, wj);
            quad4_shape(xi, eta, DN, 1);
            jacobian_2d(4, XY, DN, det, 0);
            B.fill(0.0);
            for (int k = 1; k <= 4; ++k) {
                B(1, 2 * k - 1) = DN(1, k);
                B(3, 2 * k - 1) = DN(2, k);
                B(2, 2 * k) = DN(2, k);
                B(3, 2 * k) = DN(1, k);
            }
            // Internal modes (1 - xi^2) in u, in v, (1 - eta^2) in u, in v.
            const double q = plate_quotient(2.0, det);
            B(1, 9) = -xi * d * q;
            B(3, 9) = xi * c0 * q;
            B(2, 10) = xi * c0 * q;
            B(3, 10) = -xi * d * q;
            B(1, 11) = eta * b * q;
            B(3, 11) = -eta * a * q;
            B(2, 12) = -eta * a * q;
            B(3, 12) = eta * b * q;
            const double dv = tm * det * wi * wj;
            for (int c = 1; c <= 12; ++c) {
                const double s1 = D(1, 1) * B(1, c) + D(1, 2) * B(2, c) + D(1, 3) * B(3, c);
                const double s2 = D(2, 1) * B(1, c) + D(2, 2) * B(2, c) + D(2, 3) * B(3, c);
                const double s3 = D(3, 1) * B(1, c) + D(3, 2) * B(2, c) + D(3, 3) * B(3, c);
                for (int r = 1; r <= 12; ++r)
                    K(r, c) = K(r, c) + (B(1, r) * s1 + B(2, r) * s2 + B(3, r) * s3) * dv;
            }
        }
    }
    FixedMatrix<4, 4> work;
    FixedMatrix<4, 9> H;
    condense_internal(order, 4, K, F, work, H, flag);
    for (int c = 1; c <= 8; ++c)
        for (int r = 1; r <= 4; ++r)
            Kc(r, c) = H(r, c);
}

void quad_orthotropic_plate_results(DriverBuildState& build, int node_count, ConstMatView L, MatView P,
                                    ConstMatView X, const Mat33& T, int value_index, int /*unused*/)
{
    (void)node_count;
    VariantState& s = variant_state();
    SharedBlocks& blocks = shared_blocks();
    if (value_index == 1) {
        s = VariantState{};
        set_up_sections(s, blocks);
        const std::array<double, 11>& h = blocks.section_values;
        const MaterialBlock& m = blocks.material_block;
        const double E = m.elastic_modulus;
        const double nu = m.poisson_ratio;
        const double h1 = h[0], h2 = h[1], tb = std::max(h[2], h[3]);

        // Corners in the element plane, node 1 at the origin.
        for (int k = 1; k <= 4; ++k) {
            for (int r = 1; r <= 2; ++r) {
                const double pk = T(r, 1) * X(1, k) + T(r, 2) * X(2, k) + T(r, 3) * X(3, k);
                const double p1 = T(r, 1) * X(1, 1) + T(r, 2) * X(2, 1) + T(r, 3) * X(3, 1);
                s.XL(r, k) = pk - p1;
            }
        }
        const double a = (-s.XL(1, 1) + s.XL(1, 2) + s.XL(1, 3) - s.XL(1, 4)) / 4.0;
        const double b = (-s.XL(2, 1) + s.XL(2, 2) + s.XL(2, 3) - s.XL(2, 4)) / 4.0;
        const double c0 = (-s.XL(1, 1) - s.XL(1, 2) + s.XL(1, 3) + s.XL(1, 4)) / 4.0;
        const double d = (-s.XL(2, 1) - s.XL(2, 2) + s.XL(2, 3) + s.XL(2, 4)) / 4.0;

        quad_incompatible_membrane(12, s.XL, s.DNm, E, nu, h1, h2, s.K, s.Kc, s.F, 1, 1.0);

        // Edge data with Poisson's ratio 0: phi = 2.4 tb^2 / L^2, f = (1/L) / (1 + phi).
        build.library.quad_edge_shear(s.XL, tb, 0.0);
        const QuadEdgeBlock& e = blocks.quad_edge_block;
        // A (4, 12): the mid-side rotation parameter of each edge from the bending freedoms.
        for (int k = 1; k <= 4; ++k) {
            const std::size_t q = static_cast<std::size_t>(k - 1);
            const int i = k;
            const int j = k % 4 + 1;
            const double f = e.Q[q];
            s.A(k, 3 * i - 2) = f;
            s.A(k, 3 * j - 2) = -f;
            s.A(k, 3 * i - 1) = e.DY[q] * f / 2.0;
            s.A(k, 3 * j - 1) = e.DY[q] * f / 2.0;
            s.A(k, 3 * i) = -e.DX[q] * f / 2.0;
            s.A(k, 3 * j) = -e.DX[q] * f / 2.0;
        }

        for (int p = 1; p <= POINTS; ++p)
            set_up_point(s, e, p, a, b, c0, d);
        keep_finite(s.Dm);
        keep_finite(s.Db);
        keep_finite(s.Ds);
        keep_finite(s.Kc);
        for (std::size_t q = 0; q < POINTS; ++q) {
            keep_finite(s.DN[q]);
            keep_finite(s.Bi[q]);
            keep_finite(s.Bb[q]);
            keep_finite(s.Bs[q]);
        }
    }

    for (int p = 1; p <= POINTS; ++p)
        for (int r = 1; r <= 8; ++r)
            P(r, p) = 0.0;
    // Internal parameters alpha = -Kc (u1, v1, ..., u4, v4).
    for (int i = 1; i <= 4; ++i) {
        double sum = 0.0;
        for (int k = 1; k <= 4; ++k)
            sum += s.Kc(i, 2 * k - 1) * L(6 * (k - 1) + 1) + s.Kc(i, 2 * k) * L(6 * (k - 1) + 2);
        s.alpha(i) = -sum;
    }
    const bool internal_modes = blocks.membrane_flag == 0;
    for (int p = 1; p <= POINTS; ++p) {
        const std::size_t q = static_cast<std::size_t>(p - 1);
        const FixedMatrix<2, 4>& DN = s.DN[q];
        double ex = 0.0;
        double ey = 0.0;
        double gxy = 0.0;
        for (int k = 1; k <= 4; ++k) {
            const double u = L(6 * (k - 1) + 1);
            const double v = L(6 * (k - 1) + 2);
            ex += DN(1, k) * u;
            ey += DN(2, k) * v;
            gxy += DN(2, k) * u + DN(1, k) * v;
        }
        if (internal_modes) {
            const FixedMatrix<3, 4>& Bi = s.Bi[q];
            for (int i = 1; i <= 4; ++i) {
                ex += Bi(1, i) * s.alpha(i);
                ey += Bi(2, i) * s.alpha(i);
                gxy += Bi(3, i) * s.alpha(i);
            }
        }
        for (int r = 1; r <= 3; ++r)
            P(r, p) = s.Dm(r, 1) * ex + s.Dm(r, 2) * ey + s.Dm(r, 3) * gxy;

        double kappa[3] = {0.0, 0.0, 0.0};
        double gamma[2] = {0.0, 0.0};
        for (int k = 1; k <= 4; ++k) {
            for (int f = 1; f <= 3; ++f) {
                const int c = 3 * (k - 1) + f;
                const double value = L(6 * (k - 1) + 2 + f);
                for (int r = 1; r <= 3; ++r)
                    kappa[r - 1] += s.Bb[q](r, c) * value;
                for (int r = 1; r <= 2; ++r)
                    gamma[r - 1] += s.Bs[q](r, c) * value;
            }
        }
        for (int r = 1; r <= 3; ++r)
            P(3 + r, p) = s.Db(r, 1) * kappa[0] + s.Db(r, 2) * kappa[1] + s.Db(r, 3) * kappa[2];
        P(7, p) = s.Ds(2, 2) * gamma[1];
        P(8, p) = s.Ds(1, 1) * gamma[0];
    }
}

} // namespace kvpvs::recovery
