#pragma once
// Memory for the big buffers of loading and saving a table: a file's bytes and the values
// of its rows. Fresh memory arrives page by page, each page with a fault of its own, which
// on a virtual machine costs more than reading the bytes; so large blocks that are given
// back are kept (up to a limit) and handed out again to the next load, with their pages
// already in place. The results window reloads its table at every opening, so the next
// load is never far. Small requests go to the heap.
#include <cstddef>
#include <memory_resource>

namespace data {

// The resource behind the arenas of read tables; lives for the whole program.
std::pmr::memory_resource* LargeBlocks();

// How many bytes of given-back blocks are kept for reuse now.
std::size_t KeptLargeBlockBytes();

// One block from LargeBlocks, given back with the object.
class LargeBlock {
public:
    LargeBlock() = default;
    explicit LargeBlock(std::size_t size);
    ~LargeBlock();
    LargeBlock(LargeBlock&& other) noexcept;
    LargeBlock& operator=(LargeBlock&& other) noexcept;
    LargeBlock(const LargeBlock&) = delete;
    LargeBlock& operator=(const LargeBlock&) = delete;

    char* Data() const { return m_data; }
    std::size_t Capacity() const { return m_capacity; }

private:
    char* m_data = nullptr;
    std::size_t m_capacity = 0;
};

// A standard allocator over LargeBlocks, for containers that grow large (the versions of a
// read table). It has no state, so containers that use it swap and move freely.
template <typename T> struct LargeBlockAllocator {
    using value_type = T;
    LargeBlockAllocator() = default;
    template <typename U> LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return static_cast<T*>(LargeBlocks()->allocate(n * sizeof(T), alignof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { LargeBlocks()->deallocate(p, n * sizeof(T), alignof(T)); }
    template <typename U> bool operator==(const LargeBlockAllocator<U>&) const noexcept { return true; }
};

} // namespace data
