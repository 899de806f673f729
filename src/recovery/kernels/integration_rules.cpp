#include "recovery/kernels/integration_rules.h"

#include <cmath>

namespace kvpvs::recovery {

void gauss_points(int n, int i, double& xi, double& w)
{
    switch (n) {
    case 2:
        w = 1.0;
        xi = (i == 2 ? 1.0 : -1.0) / std::sqrt(3.0);
        return;
    case 3:
        if (i < 2) {
            xi = -0.774596669241438;
            w = 0.555555555555556;
        } else if (i == 2) {
            xi = 0.0;
            w = 0.888888888888889;
        } else {
            xi = 0.774596669241438;
            w = 0.555555555555556;
        }
        return;
    case 4:
        switch (i) {
        case 2:
            xi = -0.339981043584856;
            w = 0.652145154862546;
            return;
        case 3:
            xi = 0.339981043584856;
            w = 0.652145154862546;
            return;
        case 4:
            xi = 0.861136311594053;
            w = 0.347854845137454;
            return;
        default:
            xi = -0.861136311594053;
            w = 0.347854845137454;
            return;
        }
    default:
        xi = 0.0;
        w = 2.0;
        return;
    }
}

namespace {

struct Point {
    double xi, eta, zeta, w;
};

template <int N>
struct Rule {
    Point p[N];
};

// Eight-significant-digit tabulated values: results of the solver were produced with them.
constexpr double A = 0.57735027;  // 1/sqrt(3)
constexpr double B = 0.77459667;  // sqrt(3/5)

constexpr Rule<2> kLine2{{{-A, 0, 0, 1.0}, {A, 0, 0, 1.0}}};
constexpr Rule<3> kLine3{{{-B, 0, 0, 0.55555556}, {0, 0, 0, 0.88888889}, {B, 0, 0, 0.55555556}}};

constexpr Rule<1> kTri1{{{1.0 / 3.0, 1.0 / 3.0, 0, 0.5}}};
constexpr Rule<3> kTri3{{{0.5, 0.5, 0, 0.16666667}, {0.0, 0.5, 0, 0.16666667}, {0.5, 0.0, 0, 0.16666667}}};

constexpr Rule<4> kQuad4{{{-A, -A, 0, 1.0}, {A, -A, 0, 1.0}, {A, A, 0, 1.0}, {-A, A, 0, 1.0}}};

// 3 x 3 Gauss product weights: 25/81, 40/81, 64/81.
constexpr double Q1 = 0.30864198, Q2 = 0.49382716, Q3 = 0.79012346;
constexpr Rule<9> kQuad9{{{-B, -B, 0, Q1}, {0, -B, 0, Q2}, {B, -B, 0, Q1},
                          {-B, 0, 0, Q2}, {0, 0, 0, Q3}, {B, 0, 0, Q2},
                          {-B, B, 0, Q1}, {0, B, 0, Q2}, {B, B, 0, Q1}}};

constexpr Rule<1> kTet1{{{0.25, 0.25, 0.25, 1.0 / 6.0}}};
// Degree 2; weights 1/24 so that they sum to the tetrahedron's volume 1/6.
constexpr double TC = 0.5854102, TD = 0.1381966;
constexpr Rule<4> kTet4{{{TC, TD, TD, 1.0 / 24.0}, {TD, TC, TD, 1.0 / 24.0},
                         {TD, TD, TC, 1.0 / 24.0}, {TD, TD, TD, 1.0 / 24.0}}};
// Degree 3: centre weight -2/15, four points at barycentric (1/2, 1/6, 1/6, 1/6) weight 3/40.
constexpr double T5A = 0.5, T5B = 1.0 / 6.0;
constexpr Rule<5> kTet5{{{0.25, 0.25, 0.25, -2.0 / 15.0},
                         {T5A, T5B, T5B, 3.0 / 40.0},
                         {T5B, T5A, T5B, 3.0 / 40.0},
                         {T5B, T5B, T5A, 3.0 / 40.0},
                         {T5B, T5B, T5B, 3.0 / 40.0}}};

constexpr double S6 = 0.16666667;
constexpr Rule<6> kWedge6{{{0.5, 0.5, -A, S6}, {0.0, 0.5, -A, S6}, {0.5, 0.0, -A, S6},
                           {0.5, 0.5, A, S6}, {0.0, 0.5, A, S6}, {0.5, 0.0, A, S6}}};
constexpr double W8C = -0.28125, W8 = 0.26041667, T3 = 0.33333333;
constexpr Rule<8> kWedge8{{{T3, T3, -A, W8C}, {0.2, 0.2, -A, W8}, {0.6, 0.2, -A, W8}, {0.2, 0.6, -A, W8},
                           {T3, T3, A, W8C}, {0.2, 0.2, A, W8}, {0.6, 0.2, A, W8}, {0.2, 0.6, A, W8}}};
constexpr double W9O = 0.09259259, W9M = 0.14814815;
constexpr Rule<9> kWedge9{{{0.5, 0.5, -B, W9O}, {0.0, 0.5, -B, W9O}, {0.5, 0.0, -B, W9O},
                           {0.5, 0.5, 0.0, W9M}, {0.0, 0.5, 0.0, W9M}, {0.5, 0.0, 0.0, W9M},
                           {0.5, 0.5, B, W9O}, {0.0, 0.5, B, W9O}, {0.5, 0.0, B, W9O}}};
// Product of the 4-point triangle rule (-27/96, 25/96) and the 3-point line rule
// (5/9, 8/9, 5/9): outer layers -0.15625 and 125/864, middle layer -0.25 and 25/108.
constexpr double W12CO = -0.15625, W12O = 0.14467593, W12CM = -0.25, W12M = 0.23148148;
constexpr Rule<12> kWedge12{{{T3, T3, -B, W12CO}, {0.6, 0.2, -B, W12O}, {0.2, 0.6, -B, W12O}, {0.2, 0.2, -B, W12O},
                             {T3, T3, 0.0, W12CM}, {0.6, 0.2, 0.0, W12M}, {0.2, 0.6, 0.0, W12M}, {0.2, 0.2, 0.0, W12M},
                             {T3, T3, B, W12CO}, {0.6, 0.2, B, W12O}, {0.2, 0.6, B, W12O}, {0.2, 0.2, B, W12O}}};

constexpr Rule<8> kHex8{{{-A, -A, -A, 1.0}, {A, -A, -A, 1.0}, {A, A, -A, 1.0}, {-A, A, -A, 1.0},
                         {-A, -A, A, 1.0}, {A, -A, A, 1.0}, {A, A, A, 1.0}, {-A, A, A, 1.0}}};

// 3 x 3 x 3 Gauss product weights: 125/729, 200/729, 320/729, 512/729.
constexpr double H3 = 0.17146776, H2 = 0.27434842, H1 = 0.43895748, H0 = 0.70233196;
constexpr Rule<27> kHex27{{
    {-B, -B, -B, H3}, {0, -B, -B, H2}, {B, -B, -B, H3},
    {-B, 0, -B, H2},  {0, 0, -B, H1},  {B, 0, -B, H2},
    {-B, B, -B, H3},  {0, B, -B, H2},  {B, B, -B, H3},
    {-B, -B, 0, H2},  {0, -B, 0, H1},  {B, -B, 0, H2},
    {-B, 0, 0, H1},   {0, 0, 0, H0},   {B, 0, 0, H1},
    {-B, B, 0, H2},   {0, B, 0, H1},   {B, B, 0, H2},
    {-B, -B, B, H3},  {0, -B, B, H2},  {B, -B, B, H3},
    {-B, 0, B, H2},   {0, 0, B, H1},   {B, 0, B, H2},
    {-B, B, B, H3},   {0, B, B, H2},   {B, B, B, H3},
}};

template <int N>
void take(const Rule<N>& rule, int point, double& xi, double& eta, double& zeta, double& weight)
{
    // The callers keep the point within the rule; a point outside it gives the zeros.
    if (point < 1 || point > N) {
        return;
    }
    const Point& p = rule.p[point - 1];
    xi = p.xi;
    eta = p.eta;
    zeta = p.zeta;
    weight = p.w;
}

}  // namespace

void integration_points(double& xi, double& eta, double& zeta, double& weight, int point,
                        int npoints, int nnodes, int space)
{
    xi = 0.0;
    eta = 0.0;
    zeta = 0.0;
    weight = 0.0;

    if (space == 2) {
        // Lines: the node count chooses the rule; npoints is not read.
        if (nnodes == 2) {
            take(kLine2, point, xi, eta, zeta, weight);
        } else if (nnodes == 3) {
            take(kLine3, point, xi, eta, zeta, weight);
        }
        return;
    }

    if (space == 6) {
        if (nnodes == 4 || nnodes == 10) {
            switch (npoints) {
            case 1: take(kTet1, point, xi, eta, zeta, weight); break;
            case 4: take(kTet4, point, xi, eta, zeta, weight); break;
            case 5: take(kTet5, point, xi, eta, zeta, weight); break;
            default: break;
            }
        } else if (nnodes == 6 || nnodes == 15) {
            switch (npoints) {
            case 6: take(kWedge6, point, xi, eta, zeta, weight); break;
            case 8: take(kWedge8, point, xi, eta, zeta, weight); break;
            case 9: take(kWedge9, point, xi, eta, zeta, weight); break;
            case 12: take(kWedge12, point, xi, eta, zeta, weight); break;
            default: break;
            }
        } else if (nnodes == 8 || nnodes == 20) {
            switch (npoints) {
            case 8: take(kHex8, point, xi, eta, zeta, weight); break;
            case 27: take(kHex27, point, xi, eta, zeta, weight); break;
            default: break;
            }
        }
        return;
    }

    if (nnodes == 3 || nnodes == 6) {
        switch (npoints) {
        case 1: take(kTri1, point, xi, eta, zeta, weight); break;
        case 3: take(kTri3, point, xi, eta, zeta, weight); break;
        default: break;
        }
    } else if (nnodes == 4 || nnodes == 8) {
        switch (npoints) {
        case 4: take(kQuad4, point, xi, eta, zeta, weight); break;
        case 9: take(kQuad9, point, xi, eta, zeta, weight); break;
        default: break;
        }
    }
}

}  // namespace kvpvs::recovery
