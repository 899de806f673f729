// Allocatable arrays of the numerical run-time library: ALLOCATE with a status instead of a
// stop, and DEALLOCATE when the holder goes out of scope (so an unwind frees the storage too).
// Choices: a size beyond the machine's physical memory is refused before the allocator runs,
// and the storage starts zero-filled.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dforrt {

// Statuses of an allocation; 0 is success.
enum AllocStatus : int {
    ALLOC_OK = 0,
    ALLOC_NEGATIVE = 1,     // a negative element count
    ALLOC_TOO_LARGE = 2,    // more bytes than physical memory (or than a size can hold)
    ALLOC_FAILED = 3,       // the allocator refused
    ALLOC_ALLOCATED = 4,    // the array is already allocated
};

// count elements of `size` bytes, zero-filled; a count of 0 gives a valid empty block.
int AllocateBytes(std::int64_t count, std::size_t size, void*& block);
void DeallocateBytes(void* block);

template <class T>
class Allocatable {
public:
    Allocatable() = default;
    ~Allocatable() { Deallocate(); }
    Allocatable(const Allocatable&) = delete;
    Allocatable& operator=(const Allocatable&) = delete;

    int Allocate(std::int64_t count)
    {
        if (block_ != nullptr)
            return ALLOC_ALLOCATED;
        void* block = nullptr;
        const int status = AllocateBytes(count, sizeof(T), block);
        if (status == ALLOC_OK) {
            block_ = static_cast<T*>(block);
            size_ = count;
        }
        return status;
    }
    void Deallocate()
    {
        DeallocateBytes(block_);
        block_ = nullptr;
        size_ = 0;
    }
    T* data() const { return block_; }
    std::int64_t size() const { return size_; }
    bool allocated() const { return block_ != nullptr; }

private:
    T* block_ = nullptr;
    std::int64_t size_ = 0;
};

} // namespace dforrt
