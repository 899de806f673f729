// The test-only operator new that counts: replaces the global one in every program that links it.
#include "alloc/counting_allocator.h"

#include <cstdlib>
#include <new>

namespace {
long g_allocations = 0;
}

long kvpvs::test::allocation_count() { return g_allocations; }

#if KVPVS_COUNT_ALLOCATIONS
void* operator new(std::size_t n)
{
    ++g_allocations;
    if (void* p = std::malloc(n == 0 ? 1 : n))
        return p;
    throw std::bad_alloc();
}
// The replacement pair is malloc/free on both sides; GCC cannot see that across inlining.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
#endif
