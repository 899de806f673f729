// The kernels' call paths allocate nothing: every global allocation in the test program is
// counted, and stiffness, stress, Jacobian, release and plate result calls of both builds must
// leave the count unchanged.
#include <gtest/gtest.h>

#include "alloc/counting_allocator.h"
#include "plate_test_support.h"
#include "recovery/kernels/element_library.h"

namespace kvpvs::recovery {
namespace {

class CountingSink final : public MessageSink {
public:
    void write(std::string_view) override { ++writes; }
    int writes = 0;
};

TEST(Kernels, AllocateNothingPerElement)
{
    if (!KVPVS_COUNT_ALLOCATIONS) GTEST_SKIP() << "allocation count needs the plain operator new";
    SharedBlocks blocks;
    ElementLibrary lib(Build::history, blocks);
    blocks.material_block.elastic_modulus = 1000.0;
    blocks.material_block.poisson_ratio = 0.2;
    blocks.section_values[0] = 1.0;
    Mat33 T;
    T(1, 1) = T(2, 2) = T(3, 3) = 1.0;
    FixedMatrix<3, 8> X;
    const double c[8][2] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}, {1, 0}, {2, 1}, {1, 2}, {0, 1}};
    for (int k = 1; k <= 8; ++k) {
        X(1, k) = c[k - 1][0];
        X(2, k) = c[k - 1][1];
    }
    static FixedMatrix<48, 48> K, W;
    static FixedMatrix<60, 48> S;
    FixedMatrix<4, 17> R;
    FixedMatrix<6, 69> B;
    FixedMatrix<3, 23> CD;
    FixedVector<23> N;
    FixedVector<3> x;
    FixedMatrix<3, 20> Y;  // degenerate solid: takes the message path too
    CountingSink sink;
    MessageSink* previous = set_message_output(&sink);

    const long before = kvpvs::test::allocation_count();
    lib.quadratic_2d_stiffness(K, W, R, 48, 8, X, T, 1);
    lib.quadratic_2d_stresses(S, R, 8, X, T);
    double det = 0;
    lib.isoparam_jacobian(B, det, CD, N, x, 0.1, 0.2, 0.3, Y, 20, 3, 6, 0, 0);
    const long after = kvpvs::test::allocation_count();

    set_message_output(previous);
    EXPECT_EQ(after, before);
    EXPECT_EQ(sink.writes, 1);
}

}  // namespace
}  // namespace kvpvs::recovery

namespace kvpvs::recovery::test {
namespace {

TEST(PlateKernels, AllocateNothing)
{
    if (!KVPVS_COUNT_ALLOCATIONS) GTEST_SKIP() << "allocation count needs the plain operator new";
    SharedBlocks blocks;
    auto* hist = new ElementLibrary(Build::history, blocks);
    auto* step = new ElementLibrary(Build::single_step, blocks);
    set_isotropic(blocks, 1.0e4, 0.2, 0.2);
    Element q, t;
    q.tilted_axes();
    q.place({{0, 0, 0}, {2, 0, 0.01}, {2, 1, 0}, {0, 1, -0.01}});
    t.tilted_axes();
    t.place({{0, 0, 0}, {2, 0, 0}, {0.5, 1, 0}});
    auto* K = new FixedMatrix<24, 24>;
    FixedMatrix<6, 4> U;
    for (int i = 1; i <= 24; ++i) U(i) = 1e-3 * i;
    FixedMatrix<8, 5> out;
    FixedVector<4> codes;
    codes.fill(110);
    const long before = kvpvs::test::allocation_count();
    for (ElementLibrary* lib : {hist, step}) {
        for (Kind k : {Kind::quad_thick, Kind::quad_thin}) stiffness(*lib, k, q, *K, 1);
        for (Kind k : {Kind::tri_thick, Kind::tri_thin}) stiffness(*lib, k, t, *K, 1);
        lib->shell_stiffness(0, U.a.data(), 24, q.XYZ, 1, 4, q.T, codes);
        lib->shell_stiffness(1, U.a.data(), 24, t.XYZ, 3, t.T, codes);
        lib->quad_thick_results(4, U, out, q.XYZ, q.T, 1, 0);
        lib->quad_thin_results(4, U, out, q.XYZ, q.T, 1, 0);
        int nn = 3;
        lib->tri_thick_results(nn, U, out, t.XYZ, t.T, 1);
        lib->tri_thin_results(nn, U, out, t.XYZ, t.T, 1, 1);
    }
    EXPECT_EQ(kvpvs::test::allocation_count(), before);
    delete K;
    delete hist;
    delete step;
}

}  // namespace
}  // namespace kvpvs::recovery::test
