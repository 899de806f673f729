// A test-only replacement of the global operator new that throws std::bad_alloc at a chosen
// allocation, so that every allocation of an entry can be made to fail in turn (a real
// oversized request would stop the sanitizer build instead). Replacing operator new affects the
// whole program: it lives in this test program alone and is off until a test arms it.
#pragma once

namespace alloc_test {

// The n-th allocation from now (0: the next) throws; the ones before and after succeed.
void FailAllocation(long long n);
// Off again; true when the armed allocation was reached (and failed).
bool Disarm();

} // namespace alloc_test
