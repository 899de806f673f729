#include "alloc/failing_allocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
// Allocations left before the armed one; -1: off.
std::atomic<long long> g_countdown{-1};
std::atomic<bool> g_failed{false};
std::atomic<std::size_t> g_minBytes{0};

bool FailsNow(std::size_t nBytes)
{
    if (nBytes < g_minBytes.load())
        return false;
    long long n = g_countdown.load();
    while (n >= 0) {
        if (g_countdown.compare_exchange_weak(n, n - 1)) {
            if (n == 0) {
                g_failed = true;
                return true;
            }
            return false;
        }
    }
    return false;
}

void* Allocate(std::size_t n)
{
    if (FailsNow(n))
        throw std::bad_alloc();
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
} // namespace

namespace alloc_test {

void FailAllocation(long long n, std::size_t nMinBytes)
{
    g_failed = false;
    g_minBytes = nMinBytes;
    g_countdown = n;
}

bool Disarm()
{
    g_countdown = -1;
    g_minBytes = 0;
    return g_failed.exchange(false);
}

} // namespace alloc_test

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(n);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
