#include "DFORRT/Allocatable.h"
#include "DFORRT_standin.h"

#include <unistd.h>

#include <cstdlib>
#include <limits>

namespace dforrt {
namespace {

bool g_fail_next = false;
int g_live = 0;

// Physical memory in bytes; a request above it cannot be met, and some allocators (the
// address sanitizer's among them) abort on it instead of failing.
std::uint64_t PhysicalBytes()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long page = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || page <= 0)
        return std::numeric_limits<std::uint64_t>::max();
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page);
}

} // namespace

int AllocateBytes(std::int64_t count, std::size_t size, void*& block)
{
    block = nullptr;
    if (count < 0)
        return ALLOC_NEGATIVE;
    const std::uint64_t n = static_cast<std::uint64_t>(count);
    if (size != 0 && n > PhysicalBytes() / size)
        return ALLOC_TOO_LARGE;
    if (g_fail_next) {
        g_fail_next = false;
        return ALLOC_FAILED;
    }
    const std::size_t bytes = n * size;
    block = std::calloc(bytes > 0 ? bytes : 1, 1);
    if (block == nullptr)
        return ALLOC_FAILED;
    ++g_live;
    return ALLOC_OK;
}

void DeallocateBytes(void* block)
{
    if (block == nullptr)
        return;
    std::free(block);
    --g_live;
}

void StandInFailNextAllocation() { g_fail_next = true; }

int StandInLiveAllocations() { return g_live; }

} // namespace dforrt
