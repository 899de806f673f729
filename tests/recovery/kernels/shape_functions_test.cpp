// Shape functions: partition of unity, the Kronecker property at the node positions, and
// natural derivatives against central differences of the values, for every element.
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

#include "recovery/kernels/shape_functions.h"

namespace kvpvs::recovery {
namespace {

using P3 = std::array<double, 3>;

struct Element {
    const char* name;
    int ndim;
    int nnode;
    std::vector<P3> nodes;  // natural positions, in the node order of the library
    bool extra_values_match_derivatives;
};

void PrintTo(const Element& e, std::ostream* os) { *os << e.nnode << " nodes in " << e.ndim << "D"; }

std::vector<Element> elements()
{
    const double h = 0.5;
    return {
        {"Line2", 1, 2, {{-1, 0, 0}, {1, 0, 0}}, true},
        {"Line3", 1, 3, {{-1, 0, 0}, {0, 0, 0}, {1, 0, 0}}, true},
        {"Tri3", 2, 3, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, true},
        {"Tri6", 2, 6, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {h, 0, 0}, {h, h, 0}, {0, h, 0}}, true},
        {"Quad4", 2, 4, {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}}, true},
        {"Quad8", 2, 8, {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}, {0, -1, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}}, true},
        {"Tet4", 3, 4, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, true},
        {"Tet10", 3, 10, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {h, 0, 0}, {h, h, 0}, {0, h, 0}, {0, 0, h}, {h, 0, h}, {0, h, h}}, true},
        {"Wedge6", 3, 6, {{0, 0, -1}, {1, 0, -1}, {0, 1, -1}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}}, true},
        {"Wedge15", 3, 15, {{0, 0, -1}, {1, 0, -1}, {0, 1, -1}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1},
                            {h, 0, -1}, {h, h, -1}, {0, h, -1}, {h, 0, 1}, {h, h, 1}, {0, h, 1},
                            {0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, true},
        {"Hex8", 3, 8, {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1}, {-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}}, false},
        {"Hex20", 3, 20, {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1}, {-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1},
                          {0, -1, -1}, {1, 0, -1}, {0, 1, -1}, {-1, 0, -1}, {0, -1, 1}, {1, 0, 1}, {0, 1, 1}, {-1, 0, 1},
                          {-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}}, false},
    };
}

class ShapeFunctions : public ::testing::TestWithParam<Element> {
protected:
    std::vector<double> values(const P3& p) const
    {
        const Element& e = GetParam();
        std::vector<double> n(static_cast<size_t>(e.nnode + e.ndim), -1.0);
        shape_functions(MatView(n.data(), e.nnode + e.ndim), p[0], p[1], p[2], e.nnode, e.ndim);
        return n;
    }
    std::vector<double> derivatives(const P3& p) const
    {
        const Element& e = GetParam();
        std::vector<double> dn(static_cast<size_t>(e.ndim * (e.nnode + e.ndim)), -1.0);
        shape_derivatives(MatView(dn.data(), e.ndim, e.ndim, e.nnode + e.ndim), p[0], p[1], p[2], e.nnode, e.ndim);
        return dn;
    }
    // Interior sample points of the natural domain.
    std::vector<P3> samples() const
    {
        const Element& e = GetParam();
        const bool simplex_plane = (e.ndim == 2 && (e.nnode == 3 || e.nnode == 6)) || (e.ndim == 3 && e.nnode <= 15 && e.nnode != 8);
        if (simplex_plane) return {{0.2, 0.3, 0.1}, {0.1, 0.15, -0.4}, {0.6, 0.1, 0.7}, {0.05, 0.7, 0.2}};
        return {{0.3, -0.7, 0.2}, {-0.45, 0.8, -0.6}, {0.9, 0.1, 0.5}, {0.0, 0.0, 0.0}};
    }
};

TEST_P(ShapeFunctions, NodeFunctionsSumToOne)
{
    const Element& e = GetParam();
    for (const P3& p : samples()) {
        const auto n = values(p);
        double s = 0.0;
        for (int k = 0; k < e.nnode; ++k) s += n[static_cast<size_t>(k)];
        EXPECT_NEAR(s, 1.0, 1e-14);
        const auto dn = derivatives(p);
        for (int i = 0; i < e.ndim; ++i) {
            double sd = 0.0;
            for (int k = 0; k < e.nnode; ++k) sd += dn[static_cast<size_t>(i + e.ndim * k)];
            EXPECT_NEAR(sd, 0.0, 1e-13);
        }
    }
}

TEST_P(ShapeFunctions, EachNodeFunctionIsOneAtItsNodeAndZeroAtTheOthers)
{
    const Element& e = GetParam();
    for (int j = 0; j < e.nnode; ++j) {
        const auto n = values(e.nodes[static_cast<size_t>(j)]);
        for (int k = 0; k < e.nnode; ++k) {
            EXPECT_NEAR(n[static_cast<size_t>(k)], j == k ? 1.0 : 0.0, 1e-15) << "node " << j + 1 << " function " << k + 1;
        }
    }
}

TEST_P(ShapeFunctions, DerivativesEqualCentralDifferences)
{
    const Element& e = GetParam();
    const double h = 1e-6;
    // Node functions always; extra modes where their values are the integrals of their
    // derivatives (the cubic modes of the 20-node hexahedron have values 0 by design).
    const int ncheck = e.extra_values_match_derivatives ? e.nnode + e.ndim : e.nnode;
    for (const P3& p : samples()) {
        const auto dn = derivatives(p);
        for (int i = 0; i < e.ndim; ++i) {
            P3 pp = p, pm = p;
            pp[static_cast<size_t>(i)] += h;
            pm[static_cast<size_t>(i)] -= h;
            const auto np = values(pp), nm = values(pm);
            for (int k = 0; k < ncheck; ++k) {
                const double fd = (np[static_cast<size_t>(k)] - nm[static_cast<size_t>(k)]) / (2 * h);
                EXPECT_NEAR(dn[static_cast<size_t>(i + e.ndim * k)], fd, 1e-8) << "d" << i + 1 << " N" << k + 1;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllElements, ShapeFunctions, ::testing::ValuesIn(elements()),
                         [](const ::testing::TestParamInfo<Element>& info) { return std::string(info.param.name); });

TEST(ShapeFunctionsCases, ThreeNodeLineHasItsMiddleNodeSecond)
{
    std::array<double, 4> n{};
    shape_functions(MatView(n.data(), 4), 0.0, 9.0, 9.0, 3, 1);
    EXPECT_EQ(n[0], 0.0);
    EXPECT_EQ(n[1], 1.0);
    EXPECT_EQ(n[2], 0.0);
}

TEST(ShapeFunctionsCases, FourNodeQuadrilateralExtraModes)
{
    std::array<double, 6> n{};
    shape_functions(MatView(n.data(), 6), 0.5, 0.0, 0.0, 4, 2);
    EXPECT_EQ(n[4], 0.75);
    EXPECT_EQ(n[5], 1.0);
    FixedMatrix<2, 6> dn;
    shape_derivatives(dn, 0.5, 0.0, 0.0, 4, 2);
    EXPECT_EQ(dn(1, 5), -1.0);
    EXPECT_EQ(dn(2, 5), 0.0);
    EXPECT_EQ(dn(1, 6), 0.0);
    EXPECT_EQ(dn(2, 6), 0.0);
}

TEST(ShapeFunctionsCases, EightNodeHexahedronExtraModesHaveDerivativesOnly)
{
    FixedVector<11> n;
    shape_functions(n, 0.3, -0.4, 0.5, 8, 3);
    EXPECT_EQ(n(9), 0.0);
    EXPECT_EQ(n(10), 0.0);
    EXPECT_EQ(n(11), 0.0);
    FixedMatrix<3, 11> dn;
    shape_derivatives(dn, 0.3, -0.4, 0.5, 8, 3);
    EXPECT_DOUBLE_EQ(dn(1, 9), -0.6);
    EXPECT_DOUBLE_EQ(dn(2, 10), 0.8);
    EXPECT_DOUBLE_EQ(dn(3, 11), -1.0);
}

TEST(ShapeFunctionsCases, TwentyNodeHexahedronCubicModeDerivatives)
{
    FixedMatrix<3, 23> dn;
    shape_derivatives(dn, 0.3, -0.4, 0.5, 20, 3);
    EXPECT_DOUBLE_EQ(dn(1, 21), 1.0 - 3 * 0.09);
    EXPECT_DOUBLE_EQ(dn(2, 22), 1.0 - 3 * 0.16);
    EXPECT_DOUBLE_EQ(dn(3, 23), 1.0 - 3 * 0.25);
}

TEST(ShapeFunctionsCases, UnsupportedPairsGiveZeros)
{
    struct Pair { int nnode, ndim; };
    for (Pair pr : {Pair{5, 2}, Pair{9, 3}, Pair{4, 1}, Pair{7, 3}}) {
        std::array<double, 16> n;
        n.fill(3.0);
        shape_functions(MatView(n.data(), pr.nnode + pr.ndim), 0.2, 0.3, 0.1, pr.nnode, pr.ndim);
        for (int k = 0; k < pr.nnode + pr.ndim; ++k) EXPECT_EQ(n[static_cast<size_t>(k)], 0.0);
        std::array<double, 48> dn;
        dn.fill(3.0);
        shape_derivatives(MatView(dn.data(), pr.ndim, pr.ndim, pr.nnode + pr.ndim), 0.2, 0.3, 0.1, pr.nnode, pr.ndim);
        for (int k = 0; k < pr.ndim * (pr.nnode + pr.ndim); ++k) EXPECT_EQ(dn[static_cast<size_t>(k)], 0.0);
    }
}

TEST(ShapeFunctionsCases, SixNodeTriangleAtTheCentroid)
{
    FixedVector<8> n;
    shape_functions(n, 1.0 / 3.0, 1.0 / 3.0, 0.0, 6, 2);
    for (int k = 1; k <= 3; ++k) EXPECT_NEAR(n(k), -1.0 / 9.0, 1e-15);
    for (int k = 4; k <= 6; ++k) EXPECT_NEAR(n(k), 4.0 / 9.0, 1e-15);
}

TEST(Quad4Shape, ValuesAndDerivativesAgreeWithTheMainFamily)
{
    const double xi = 0.35, eta = -0.8;
    std::array<double, 8> n{}, dn{};
    quad4_shape(xi, eta, MatView(n.data(), 8), 0);
    quad4_shape(xi, eta, MatView(dn.data(), 8), 1);
    FixedVector<6> ref;
    FixedMatrix<2, 6> dref;
    shape_functions(ref, xi, eta, 0.0, 4, 2);
    shape_derivatives(dref, xi, eta, 0.0, 4, 2);
    double s = 0.0, s1 = 0.0, s2 = 0.0;
    for (int k = 1; k <= 4; ++k) {
        EXPECT_DOUBLE_EQ(n[static_cast<size_t>(k - 1)], ref(k));
        EXPECT_DOUBLE_EQ(dn[static_cast<size_t>(2 * k - 2)], dref(1, k));
        EXPECT_DOUBLE_EQ(dn[static_cast<size_t>(2 * k - 1)], dref(2, k));
        s += n[static_cast<size_t>(k - 1)];
        s1 += dn[static_cast<size_t>(2 * k - 2)];
        s2 += dn[static_cast<size_t>(2 * k - 1)];
    }
    EXPECT_NEAR(s, 1.0, 1e-15);
    EXPECT_NEAR(s1, 0.0, 1e-16);
    EXPECT_NEAR(s2, 0.0, 1e-16);
}

TEST(QuadMidsideDerivs, EqualCentralDifferencesOfTheMidsideFunctions)
{
    auto P = [](double xi, double eta) {
        return std::array<double, 4>{(1 - xi * xi) * (1 - eta) / 2, (1 + xi) * (1 - eta * eta) / 2,
                                     (1 - xi * xi) * (1 + eta) / 2, (1 - xi) * (1 - eta * eta) / 2};
    };
    const double xi = -0.3, eta = 0.65, h = 1e-6;
    FixedMatrix<2, 4> dp;
    quad_midside_derivs(xi, eta, dp);
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(dp(1, k + 1), (P(xi + h, eta)[k] - P(xi - h, eta)[k]) / (2 * h), 1e-9);
        EXPECT_NEAR(dp(2, k + 1), (P(xi, eta + h)[k] - P(xi, eta - h)[k]) / (2 * h), 1e-9);
    }
}

// Perimeter numbering: nodes around the element, corner and mid-side alternating.
TEST(Shape2dPerimeter, KroneckerPartitionAndDerivativesForEachNodeCount)
{
    struct Case { int nnode; std::vector<std::array<double, 2>> nodes; };
    const std::vector<Case> cases = {
        {3, {{0, 0}, {1, 0}, {0, 1}}},
        {4, {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}},
        {6, {{1, 0}, {0.5, 0.5}, {0, 1}, {0, 0.5}, {0, 0}, {0.5, 0}}},
        {8, {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}}},
    };
    for (const Case& c : cases) {
        for (int j = 0; j < c.nnode; ++j) {
            FixedVector<10> dnx, dne, n;
            shape_2d_perimeter(dnx, dne, n, c.nodes[static_cast<size_t>(j)][0], c.nodes[static_cast<size_t>(j)][1], c.nnode);
            for (int k = 1; k <= c.nnode; ++k) EXPECT_NEAR(n(k), j + 1 == k ? 1.0 : 0.0, 1e-15) << c.nnode;
        }
        const double xi = 0.2, eta = 0.3, h = 1e-6;
        FixedVector<10> dnx, dne, n, np, nm, ep, em;
        shape_2d_perimeter(dnx, dne, n, xi, eta, c.nnode);
        shape_2d_perimeter(dnx, dne, np, xi + h, eta, c.nnode);
        shape_2d_perimeter(dnx, dne, nm, xi - h, eta, c.nnode);
        shape_2d_perimeter(dnx, dne, ep, xi, eta + h, c.nnode);
        shape_2d_perimeter(dnx, dne, em, xi, eta - h, c.nnode);
        shape_2d_perimeter(dnx, dne, n, xi, eta, c.nnode);
        double s = 0.0;
        for (int k = 1; k <= c.nnode; ++k) {
            s += n(k);
            EXPECT_NEAR(dnx(k), (np(k) - nm(k)) / (2 * h), 1e-8) << c.nnode << " node " << k;
            EXPECT_NEAR(dne(k), (ep(k) - em(k)) / (2 * h), 1e-8) << c.nnode << " node " << k;
        }
        EXPECT_NEAR(s, 1.0, 1e-14);
    }
}

}  // namespace
}  // namespace kvpvs::recovery
