// Test controls of the run-time library stand-in; module code never includes it.
#pragma once

namespace dforrt {
// Makes the next allocation fail with ALLOC_FAILED (as an exhausted heap would).
void StandInFailNextAllocation();
// Allocations made and not yet freed.
int StandInLiveAllocations();
} // namespace dforrt
