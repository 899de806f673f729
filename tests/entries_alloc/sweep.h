// Runs an entry with each of its allocations failing in turn (through the test-only operator
// new), until a run no longer reaches the failing allocation: the entry then did all its work.
#pragma once
#include "alloc/failing_allocator.h"

#include <gtest/gtest.h>

namespace entries_test {

// More allocations than any entry here makes: a sweep that reaches it never completed.
constexpr long long kSweepLimit = 100000;

// fnRun runs the entry once; fnFailed(n) checks what a run whose allocation n failed left.
// Returns the number of allocations of the completed run (the sweep's length).
// nMinBytes: only allocations of at least that size fail (see FailAllocation).
template <class FnRun, class FnFailed>
long long SweepAllocations(FnRun&& fnRun, FnFailed&& fnFailed, std::size_t nMinBytes = 0)
{
    for (long long n = 0; n < kSweepLimit; ++n) {
        alloc_test::FailAllocation(n, nMinBytes);
        try {
            fnRun();
        } catch (...) {
            alloc_test::Disarm();
            ADD_FAILURE() << "a failure escaped the entry at allocation " << n;
            return n;
        }
        if (!alloc_test::Disarm())
            return n;
        SCOPED_TRACE(::testing::Message() << "allocation " << n << " failed");
        fnFailed(n);
        if (::testing::Test::HasFailure())
            return n;
    }
    ADD_FAILURE() << "no run completed";
    return kSweepLimit;
}

} // namespace entries_test
