// The kernels' call paths allocate nothing: every global allocation in the test program is
// counted, and a stiffness, stress and Jacobian evaluation must leave the count unchanged.
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>

#include "recovery/kernels/element_library.h"

// AddressSanitizer brings its own operator new, which other libraries of the program bind
// to; replacing it there mixes the two. The count runs in the builds without it.
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
// The replacement pair is malloc/free on both sides; GCC cannot see that across inlining.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
#endif

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

    const long before = g_allocations;
    lib.quadratic_2d_stiffness(K, W, R, 48, 8, X, T, 1);
    lib.quadratic_2d_stresses(S, R, 8, X, T);
    double det = 0;
    lib.isoparam_jacobian(B, det, CD, N, x, 0.1, 0.2, 0.3, Y, 20, 3, 6, 0, 0);
    const long after = g_allocations;

    set_message_output(previous);
    EXPECT_EQ(after, before);
    EXPECT_EQ(sink.writes, 1);
}

}  // namespace
}  // namespace kvpvs::recovery
