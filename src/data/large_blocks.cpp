#include "large_blocks.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <sys/mman.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace data {
namespace {

// Below this size the heap's own reuse of freed memory serves as well.
constexpr std::size_t Large = std::size_t{1} << 20;
// How much given-back memory is kept for reuse at most.
constexpr std::size_t KeptAtMost = std::size_t{256} << 20;

class LargeBlockResource : public std::pmr::memory_resource {
public:
    std::size_t KeptBytes() {
        std::lock_guard lock(m_mutex);
        return m_keptBytes;
    }

    ~LargeBlockResource() override {
        for (const auto& [p, size] : m_kept)
            ::munmap(p, size);
    }

private:
    struct Kept {
        void* p;
        std::size_t size;
    };

    void* do_allocate(std::size_t bytes, std::size_t alignment) override {
        if (bytes < Large)
            return std::pmr::new_delete_resource()->allocate(bytes, alignment);
        std::lock_guard lock(m_mutex);
        // The smallest kept block that fits without wasting more than half of it.
        auto best = m_kept.end();
        for (auto it = m_kept.begin(); it != m_kept.end(); ++it)
            if (it->size >= bytes && it->size / 2 <= bytes && (best == m_kept.end() || it->size < best->size))
                best = it;
        if (best != m_kept.end()) {
            const Kept block = *best;
            m_kept.erase(best);
            m_keptBytes -= block.size;
            m_sizes[block.p] = block.size;
            return block.p;
        }
        void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        m_sizes[p] = bytes;
        return p; // page-aligned, enough for any alignment asked of it
    }

    void do_deallocate(void* p, std::size_t bytes, std::size_t alignment) override {
        if (bytes < Large) {
            std::pmr::new_delete_resource()->deallocate(p, bytes, alignment);
            return;
        }
        std::lock_guard lock(m_mutex);
        const auto found = m_sizes.find(p);
        const std::size_t size = found != m_sizes.end() ? found->second : bytes;
        if (found != m_sizes.end())
            m_sizes.erase(found);
        m_kept.push_back({p, size});
        m_keptBytes += size;
        // Over the limit the oldest kept blocks go back to the system.
        while (m_keptBytes > KeptAtMost && !m_kept.empty()) {
            ::munmap(m_kept.front().p, m_kept.front().size);
            m_keptBytes -= m_kept.front().size;
            m_kept.erase(m_kept.begin());
        }
    }

    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }

    std::mutex m_mutex;
    std::vector<Kept> m_kept;
    std::size_t m_keptBytes = 0;
    std::unordered_map<void*, std::size_t> m_sizes; // blocks handed out, with their real size
};

} // namespace

namespace {
LargeBlockResource& Resource() {
    // Never destroyed: tables read late in the program's end still give their blocks back.
    static auto* resource = new LargeBlockResource;
    return *resource;
}
} // namespace

std::pmr::memory_resource* LargeBlocks() {
    return &Resource();
}

std::size_t KeptLargeBlockBytes() {
    return Resource().KeptBytes();
}

LargeBlock::LargeBlock(std::size_t size) : m_capacity(size > 0 ? size : 1) {
    m_data = static_cast<char*>(LargeBlocks()->allocate(m_capacity, 16));
}

LargeBlock::~LargeBlock() {
    if (m_data)
        LargeBlocks()->deallocate(m_data, m_capacity, 16);
}

LargeBlock::LargeBlock(LargeBlock&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_capacity(std::exchange(other.m_capacity, 0)) {}

LargeBlock& LargeBlock::operator=(LargeBlock&& other) noexcept {
    LargeBlock old(std::move(*this));
    m_data = std::exchange(other.m_data, nullptr);
    m_capacity = std::exchange(other.m_capacity, 0);
    return *this;
}

} // namespace data
