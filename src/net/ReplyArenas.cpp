#include "net/ReplyArenas.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <rapidjson/rapidjson.h>

#include "base/Log.h"

namespace {

// The head of the buffer a rapidjson 1.1 pool allocator is given as its first chunk. When the document owning the
// allocator goes, the allocator clears its chunks and sets this buffer's size to 0: from then on it is free.
struct PoolChunkHeader {
    size_t capacity;
    size_t size;
    void* next;
};
static_assert(RAPIDJSON_MAJOR_VERSION == 1 && RAPIDJSON_MINOR_VERSION == 1, "PoolChunkHeader mirrors rapidjson 1.1");

constexpr size_t kHugePage = 2 << 20;
constexpr size_t kSmallestArena = 64 << 10;
// Larger documents get pool chunks of their own, given back when they go.
constexpr size_t kLargestArena = 32 << 20;
constexpr size_t kArenasPerThread = 4;

// Memory for parsed documents, kept between parses: a reply lands in pages that are already there.
class ArenaCache {
public:
    ~ArenaCache() {
        // A document still alive keeps its buffer.
        for (Arena& arena : arenas) {
            if (isFree(arena)) {
                std::free(arena.memory);
            }
        }
    }

    // A free buffer of at least bytes, or null.
    void* take(size_t bytes, size_t& capacity) {
        if (bytes > kLargestArena) {
            return nullptr;
        }
        Arena* fit = nullptr;
        Arena* largest = nullptr;
        for (Arena& arena : arenas) {
            if (!isFree(arena)) {
                continue;
            }
            if (arena.bytes >= bytes && (!fit || arena.bytes < fit->bytes)) {
                fit = &arena;
            }
            if (!largest || arena.bytes > largest->bytes) {
                largest = &arena;
            }
        }
        Arena* found = fit;
        if (!found && largest) {
            std::free(largest->memory);
            *largest = make(bytes);
            found = largest;
        } else if (!found && arenas.size() < kArenasPerThread) {
            arenas.push_back(make(bytes));
            found = &arenas.back();
        }
        if (!found || !found->memory) {
            return nullptr;
        }
        capacity = found->bytes;
        return found->memory;
    }

private:
    struct Arena {
        void* memory = nullptr;
        size_t bytes = 0;
    };

    static bool isFree(const Arena& arena) {
        return !arena.memory || static_cast<const PoolChunkHeader*>(arena.memory)->size == 0;
    }

    // Its header reads free; in huge pages where the system gives them.
    static Arena make(size_t bytes) {
        const size_t align = bytes >= kHugePage ? kHugePage : 4096;
        bytes = std::max(kSmallestArena, (bytes + align - 1) / align * align);
        Arena arena;
        arena.memory = std::aligned_alloc(align, bytes);
        if (!arena.memory) {
            return Arena();
        }
        if (align == kHugePage) {
            madvise(arena.memory, bytes, MADV_HUGEPAGE);
        }
        static_cast<PoolChunkHeader*>(arena.memory)->size = 0;
        arena.bytes = bytes;
        return arena;
    }

    std::vector<Arena> arenas;
};

// Only the main thread keeps memory: its replies come one after another, while a document parsed on another thread
// may outlive that thread and with it any cache of its own.
ArenaCache& mainThreadArenas() {
    static ArenaCache arenas;
    return arenas;
}

} // namespace

namespace ReplyArenas {

void* take(size_t bytes, size_t& capacity) {
    return engine::isMainThread() ? mainThreadArenas().take(bytes, capacity) : nullptr;
}

} // namespace ReplyArenas
