// The plate and shell routines allocate nothing: every global allocation of this test
// program is counted around stiffness, release and result calls of both builds.
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>

#include "plate_test_support.h"

// AddressSanitizer brings its own operator new; the count runs in the builds without it.
#if defined(__SANITIZE_ADDRESS__)
#define KVPVS_COUNT_ALLOCATIONS 0
#else
#define KVPVS_COUNT_ALLOCATIONS 1
#endif

namespace {
long g_allocations = 0;
}

#if KVPVS_COUNT_ALLOCATIONS
void* operator new(std::size_t n)
{
    ++g_allocations;
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
#endif

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
    const long before = g_allocations;
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
    EXPECT_EQ(g_allocations, before);
    delete K;
    delete hist;
    delete step;
}

}  // namespace
}  // namespace kvpvs::recovery::test
