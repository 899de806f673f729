// Counts every global allocation of a test program that links the counting allocator, so a
// test can prove a call path allocates nothing. AddressSanitizer brings its own operator new,
// which other libraries of the program bind to; replacing it there mixes the two, so the count
// runs only in the builds without it.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define KVPVS_COUNT_ALLOCATIONS 0
#else
#define KVPVS_COUNT_ALLOCATIONS 1
#endif

namespace kvpvs::test {
// Global allocations so far in this program.
long allocation_count();
} // namespace kvpvs::test
