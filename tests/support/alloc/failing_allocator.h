// A test-only replacement of the global operator new that throws std::bad_alloc at a chosen
// allocation, so that every allocation of an entry can be made to fail in turn (a real
// oversized request would stop the sanitizer build instead). Replacing operator new affects the
// whole program: it lives in this test program alone and is off until a test arms it.
#pragma once
#include <cstddef>

namespace alloc_test {

// The n-th allocation from now (0: the next) throws; the ones before and after succeed. With
// nMinBytes, only allocations of at least that many bytes count and fail: the small ones that
// libraries make inside destructors (VTK's garbage collector), where a throw ends the process
// whatever the caller does, are left alone.
void FailAllocation(long long n, std::size_t nMinBytes = 0);
// Off again; true when the armed allocation was reached (and failed).
bool Disarm();

} // namespace alloc_test
