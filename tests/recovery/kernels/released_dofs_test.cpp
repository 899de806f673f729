// Released freedoms: the filled-in displacements carry zero force in the element's own
// stiffness; release codes read as 5-character integer fields; untouched data stay bit
// for bit; the repeated element reuses its condensation with identical results.
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

#include "plate_test_support.h"

namespace kvpvs::recovery::test {
namespace {

struct ReleaseCase {
    Kind kind;
    std::vector<double> codes;
    std::vector<int> released;  // 1-based freedoms expected released
};

void PrintTo(const ReleaseCase& c, std::ostream* os)
{
    *os << kind_name(c.kind) << ", codes";
    for (double v : c.codes)
        *os << ' ' << v;
    *os << ", released:";
    for (int j : c.released)
        *os << ' ' << j;
}

class ReleasedFreedoms : public ::testing::TestWithParam<ReleaseCase> {
protected:
    SharedBlocks blocks;
    ElementLibrary lib{Build::history, blocks};
    Element e;
    static constexpr int kCols = 3;
    std::vector<double> U = std::vector<double>(24 * kCols);
    FixedVector<4> codes;

    void SetUp() override
    {
        set_isotropic(blocks, 3.0e4, 0.2, 0.25);
        e.tilted_axes();
        if (is_quad(GetParam().kind)) e.place({{0, 0, 0}, {2.2, 0.3, 0}, {1.9, 1.7, 0}, {-0.2, 1.3, 0}});
        else e.place({{0, 0, 0}, {2.1, 0, 0}, {0.6, 1.4, 0}});
        for (size_t i = 0; i < U.size(); ++i) U[i] = 1e-3 * std::sin(0.7 * static_cast<double>(i) + 0.3);
        for (int k = 1; k <= e.nn; ++k) codes(k) = GetParam().codes[static_cast<size_t>(k - 1)];
    }
    int plate_type() const
    {
        return GetParam().kind == Kind::quad_thick || GetParam().kind == Kind::tri_thick ? 0 : 1;
    }
};

TEST_P(ReleasedFreedoms, ReleasedFreedomsCarryNoForce)
{
    const std::vector<double> before = U;
    lib.shell_stiffness(plate_type(), U.data(), 24, e.XYZ, kCols, e.nn, e.T, codes);
    FixedMatrix<24, 24> K;
    stiffness(lib, GetParam().kind, e, K, 0);
    const int n = 6 * e.nn;
    std::vector<int> is_released(25, 0);
    for (int q : GetParam().released) is_released[static_cast<size_t>(q)] = 1;
    for (int j = 0; j < kCols; ++j) {
        for (int q = 1; q <= 24; ++q) {
            const size_t at = static_cast<size_t>(24 * j + q - 1);
            if (q > n || !is_released[static_cast<size_t>(q)]) {
                EXPECT_EQ(U[at], before[at]) << "freedom " << q << " column " << j;
                continue;
            }
            double f = 0.0, scale = 0.0;
            for (int c = 1; c <= n; ++c) {
                f += K(q, c) * U[static_cast<size_t>(24 * j + c - 1)];
                scale += std::fabs(K(q, c) * U[static_cast<size_t>(24 * j + c - 1)]);
            }
            EXPECT_NEAR(f, 0.0, 1e-10 * scale) << "freedom " << q << " column " << j;
        }
    }
    // A single released freedom follows the closed form -sum K(q,c) U(c) / K(q,q).
    if (GetParam().released.size() == 1) {
        const int q = GetParam().released[0];
        double s = 0.0;
        for (int c = 1; c <= n; ++c)
            if (c != q) s += K(q, c) * before[static_cast<size_t>(c - 1)];
        EXPECT_NEAR(U[static_cast<size_t>(q - 1)], -s / K(q, q), 1e-12 * std::fabs(s / K(q, q)));
    }
}

TEST_P(ReleasedFreedoms, RepeatedElementGivesIdenticalResults)
{
    std::vector<double> again = U;
    lib.shell_stiffness(plate_type(), U.data(), 24, e.XYZ, kCols, e.nn, e.T, codes);
    // Another element in between, then the first again (reused), then after a change of
    // material (rebuilt): the first two agree bit for bit.
    Element other = e;
    other.place({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    std::vector<double> scratch = again;
    lib.shell_stiffness(plate_type(), scratch.data(), 24, other.XYZ, kCols, e.nn, other.T, codes);
    std::vector<double> third = again;
    lib.shell_stiffness(plate_type(), again.data(), 24, e.XYZ, kCols, e.nn, e.T, codes);
    lib.shell_stiffness(plate_type(), third.data(), 24, e.XYZ, kCols, e.nn, e.T, codes);
    for (size_t i = 0; i < U.size(); ++i) {
        EXPECT_EQ(again[i], U[i]);
        EXPECT_EQ(third[i], U[i]);
    }
    if (!GetParam().released.empty() && plate_type() == 0) {
        std::vector<double> stiffer = scratch;
        blocks.material_block.poisson_ratio = 0.35;
        std::vector<double> v = U;
        for (size_t i = 0; i < v.size(); ++i) v[i] = 1e-3 * std::sin(0.7 * static_cast<double>(i) + 0.3);
        lib.shell_stiffness(plate_type(), v.data(), 24, e.XYZ, kCols, e.nn, e.T, codes);
        double diff = 0.0;
        for (size_t i = 0; i < v.size(); ++i) diff += std::fabs(v[i] - U[i]);
        EXPECT_GT(diff, 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ReleasedFreedoms,
    ::testing::Values(
        ReleaseCase{Kind::quad_thick, {0, 0, 0, 0}, {}},
        ReleaseCase{Kind::quad_thick, {0, 1, 0, 0}, {11}},                       // rotation about y
        ReleaseCase{Kind::quad_thick, {0, 0, 11000, 0}, {13, 14}},               // u, v
        ReleaseCase{Kind::quad_thin, {110, 0, 0, 1.9}, {3, 4, 23}},              // 1.9 -> 1
        ReleaseCase{Kind::quad_thin, {0, 100000, -10, 0}, {16}},                 // six digits: none
        ReleaseCase{Kind::tri_thick, {0, 11111, 0}, {7, 8, 9, 10, 11}},          // drilling stays
        ReleaseCase{Kind::tri_thick, {11, 0, 0}, {4, 5}},
        ReleaseCase{Kind::tri_thin, {0, 0, 1e30}, {}},                           // asterisks
        ReleaseCase{Kind::tri_thin, {1, 0, 10}, {5, 16}}),
    [](const ::testing::TestParamInfo<ReleaseCase>& i) {
        std::string name = std::string(kind_name(i.param.kind)) + "Releases";
        if (i.param.released.empty())
            return name + "None";
        for (int j : i.param.released)
            name += "_" + std::to_string(j);
        return name;
    });

TEST(ReleasedFreedomsSingleStep, OneVectorFormMatchesTheColumnForm)
{
    SharedBlocks blocks;
    ElementLibrary hist{Build::history, blocks}, step{Build::single_step, blocks};
    set_isotropic(blocks, 3.0e4, 0.2, 0.25);
    Element e;
    e.tilted_axes();
    e.place({{0, 0, 0}, {2.1, 0, 0}, {0.6, 1.4, 0}});
    std::vector<double> a(24), b(18);
    for (int i = 0; i < 18; ++i) a[static_cast<size_t>(i)] = b[static_cast<size_t>(i)] = std::cos(1.0 + i);
    for (int i = 18; i < 24; ++i) a[static_cast<size_t>(i)] = 99.0;  // rows 19..24 untouched
    FixedVector<4> codes;
    codes(1) = 110;
    codes(2) = 1;
    hist.shell_stiffness(0, a.data(), 24, e.XYZ, 1, 3, e.T, codes);
    step.shell_stiffness(0, b.data(), 24, e.XYZ, 3, e.T, codes);
    for (int i = 0; i < 18; ++i) EXPECT_EQ(a[static_cast<size_t>(i)], b[static_cast<size_t>(i)]);
    for (int i = 18; i < 24; ++i) EXPECT_EQ(a[static_cast<size_t>(i)], 99.0);
}

TEST(ReleasedFreedomsBadInput, UnknownNodeCountOrTypeLeavesUUntouched)
{
    SharedBlocks blocks;
    ElementLibrary lib{Build::history, blocks};
    set_isotropic(blocks, 3.0e4, 0.2, 0.25);
    Element e;
    e.identity_axes();
    e.place({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    FixedVector<4> codes;
    codes.fill(11111);
    std::vector<double> u(48, 0.5);
    lib.shell_stiffness(2, u.data(), 24, e.XYZ, 2, 4, e.T, codes);
    lib.shell_stiffness(0, u.data(), 24, e.XYZ, 2, 5, e.T, codes);
    lib.shell_stiffness(0, u.data(), 12, e.XYZ, 2, 4, e.T, codes);  // column shorter than 24
    for (double v : u) EXPECT_EQ(v, 0.5);
}

}  // namespace
}  // namespace kvpvs::recovery::test
