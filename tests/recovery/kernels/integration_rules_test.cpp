// Integration rules against the exact integrals of monomials over each natural shape.
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

#include "recovery/kernels/integration_rules.h"

namespace kvpvs::recovery {
namespace {

double factorial(int n)
{
    double f = 1.0;
    for (int i = 2; i <= n; ++i) f *= i;
    return f;
}
// Integral of x^p over [-1, 1].
double line_integral(int p) { return p % 2 == 1 ? 0.0 : 2.0 / (p + 1); }
// Integral of xi^a eta^b over the unit triangle: a! b! / (a + b + 2)!.
double triangle_integral(int a, int b) { return factorial(a) * factorial(b) / factorial(a + b + 2); }
double tetra_integral(int a, int b, int c)
{
    return factorial(a) * factorial(b) * factorial(c) / factorial(a + b + c + 3);
}

// Full precision of the 15-digit constants.
TEST(GaussPoints, IntegratesMonomialsOfDegreeTwoNMinusOneToFullPrecision)
{
    for (int n = 1; n <= 4; ++n) {
        for (int p = 0; p <= 2 * n - 1; ++p) {
            double s = 0.0;
            for (int i = 1; i <= n; ++i) {
                double xi, w;
                gauss_points(n, i, xi, w);
                s += w * std::pow(xi, p);
            }
            EXPECT_NEAR(s, line_integral(p), 2e-13) << "n=" << n << " p=" << p;
        }
    }
}

TEST(GaussPoints, UnlistedOrdersGiveTheOnePointRuleAndPointZeroTheFirstPoint)
{
    for (int n : {0, 5, -3}) {
        double xi = 9, w = 9;
        gauss_points(n, 1, xi, w);
        EXPECT_EQ(xi, 0.0);
        EXPECT_EQ(w, 2.0);
    }
    double xi, w;
    gauss_points(2, 0, xi, w);
    EXPECT_DOUBLE_EQ(xi, -1.0 / std::sqrt(3.0));
    gauss_points(4, 7, xi, w);
    EXPECT_EQ(xi, -0.861136311594053);
}

enum class Shape { line, triangle, quad, tetra, wedge, hexa };

struct RuleCase {
    const char* name;
    Shape shape;
    int nnodes;
    int npoints;
    int space;
    int degree;       // total degree exact (in-plane degree for wedges)
    int line_degree;  // wedges: degree in zeta
};

void PrintTo(const RuleCase& rc, std::ostream* os)
{
    *os << rc.npoints << " points for " << rc.nnodes << " nodes in space " << rc.space << ", exact to degree "
        << rc.degree;
    if (rc.shape == Shape::wedge)
        *os << " in plane and " << rc.line_degree << " in zeta";
}

class IntegrationRule : public ::testing::TestWithParam<RuleCase> {};

double exact(Shape s, int a, int b, int c)
{
    switch (s) {
    case Shape::line: return line_integral(a);
    case Shape::triangle: return triangle_integral(a, b);
    case Shape::quad: return line_integral(a) * line_integral(b);
    case Shape::tetra: return tetra_integral(a, b, c);
    case Shape::wedge: return triangle_integral(a, b) * line_integral(c);
    case Shape::hexa: return line_integral(a) * line_integral(b) * line_integral(c);
    }
    return 0.0;
}

// The tables hold eight significant digits, so the rules are exact to about 1e-8.
TEST_P(IntegrationRule, IntegratesMonomialsOfItsDegree)
{
    const RuleCase& rc = GetParam();
    const int dims = rc.shape == Shape::line ? 1 : (rc.shape == Shape::triangle || rc.shape == Shape::quad) ? 2 : 3;
    for (int a = 0; a <= rc.degree; ++a) {
        for (int b = 0; b <= (dims >= 2 ? rc.degree - a : 0); ++b) {
            const int cmax = rc.shape == Shape::wedge ? rc.line_degree : (dims == 3 ? rc.degree - a - b : 0);
            for (int c = 0; c <= cmax; ++c) {
                double s = 0.0;
                for (int p = 1; p <= rc.npoints; ++p) {
                    double xi, eta, zeta, w;
                    integration_points(xi, eta, zeta, w, p, rc.npoints, rc.nnodes, rc.space);
                    s += w * std::pow(xi, a) * std::pow(eta, b) * std::pow(zeta, c);
                }
                EXPECT_NEAR(s, exact(rc.shape, a, b, c), 5e-8) << a << " " << b << " " << c;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllRules, IntegrationRule,
    ::testing::Values(RuleCase{"Line2Points", Shape::line, 2, 2, 2, 3, 0},
                      RuleCase{"Line3Points", Shape::line, 3, 3, 2, 5, 0},
                      RuleCase{"Triangle1Point", Shape::triangle, 3, 1, 4, 1, 0},
                      RuleCase{"Triangle3Points", Shape::triangle, 6, 3, 4, 2, 0},
                      RuleCase{"Quad4Points", Shape::quad, 4, 4, 4, 3, 0},
                      RuleCase{"Quad9Points", Shape::quad, 8, 9, 4, 5, 0},
                      RuleCase{"Tetra1Point", Shape::tetra, 4, 1, 6, 1, 0},
                      RuleCase{"Tetra4Points", Shape::tetra, 10, 4, 6, 2, 0},
                      RuleCase{"Tetra5Points", Shape::tetra, 10, 5, 6, 3, 0},
                      RuleCase{"Wedge6Points", Shape::wedge, 6, 6, 6, 2, 3},
                      RuleCase{"Wedge8Points", Shape::wedge, 15, 8, 6, 3, 3},
                      RuleCase{"Wedge9Points", Shape::wedge, 15, 9, 6, 2, 5},
                      RuleCase{"Wedge12Points", Shape::wedge, 15, 12, 6, 3, 5},
                      RuleCase{"Hex8Points", Shape::hexa, 8, 8, 6, 3, 0},
                      RuleCase{"Hex27Points", Shape::hexa, 20, 27, 6, 5, 0}),
    [](const ::testing::TestParamInfo<RuleCase>& info) { return std::string(info.param.name); });

TEST(IntegrationPoints, LineRuleIsChosenByTheNodeCountAlone)
{
    double xi, eta, zeta, w;
    integration_points(xi, eta, zeta, w, 2, 17, 2, 2);
    EXPECT_EQ(xi, 0.57735027);
    EXPECT_EQ(w, 1.0);
    integration_points(xi, eta, zeta, w, 1, 2, 4, 2);
    EXPECT_EQ(xi, 0.0);
    EXPECT_EQ(w, 0.0);
}

TEST(IntegrationPoints, TetrahedronFourPointRuleWeighsOneTwentyFourthEach)
{
    double xi, eta, zeta, w;
    integration_points(xi, eta, zeta, w, 4, 4, 10, 6);
    EXPECT_EQ(xi, 0.1381966);
    EXPECT_EQ(eta, 0.1381966);
    EXPECT_EQ(zeta, 0.1381966);
    EXPECT_DOUBLE_EQ(w, 1.0 / 24.0);
}

TEST(IntegrationPoints, WedgeTwelvePointRuleHasClassicalWeights)
{
    double xi, eta, zeta, w;
    integration_points(xi, eta, zeta, w, 5, 12, 15, 6);
    EXPECT_EQ(xi, 0.33333333);
    EXPECT_EQ(eta, 0.33333333);
    EXPECT_EQ(zeta, 0.0);
    EXPECT_DOUBLE_EQ(w, -27.0 / 96.0 * 8.0 / 9.0);
}

TEST(IntegrationPoints, UnlistedRulesAndPointsGiveZeros)
{
    struct Q { int point, npoints, nnodes, space; };
    for (Q q : {Q{1, 5, 4, 4}, Q{1, 3, 5, 4}, Q{1, 2, 4, 6}, Q{1, 8, 9, 6}, Q{0, 4, 4, 4}, Q{10, 9, 8, 4}}) {
        double xi = 7, eta = 7, zeta = 7, w = 7;
        integration_points(xi, eta, zeta, w, q.point, q.npoints, q.nnodes, q.space);
        EXPECT_EQ(xi, 0.0);
        EXPECT_EQ(eta, 0.0);
        EXPECT_EQ(zeta, 0.0);
        EXPECT_EQ(w, 0.0);
    }
}

TEST(IntegrationPoints, PlaneRulesNeverWriteZeta)
{
    for (int nnodes : {3, 4, 6, 8}) {
        for (int npoints : {1, 3, 4, 9}) {
            for (int p = 1; p <= npoints; ++p) {
                double xi, eta, zeta = 5, w;
                integration_points(xi, eta, zeta, w, p, npoints, nnodes, 4);
                EXPECT_EQ(zeta, 0.0);
            }
        }
    }
}

}  // namespace
}  // namespace kvpvs::recovery
