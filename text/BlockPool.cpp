#include "text/BlockPool.h"

#include <cstdint>
#include <cstdlib>

#if defined(MARVOLT_PLAIN_MALLOC)

void* PoolAlloc(std::size_t size) noexcept { return std::malloc(size == 0 ? 1 : size); }
void PoolFree(void* p, std::size_t) noexcept { std::free(p); }
void PoolFree(void* p) noexcept { std::free(p); }
std::size_t PoolChunkCount() noexcept { return 0; }
std::size_t PoolHeldBytes() noexcept { return 0; }

#else

#include <sys/mman.h>

namespace pool_internal {
std::uintptr_t g_arena = 0;
std::uintptr_t g_arenaBytes = 0;
} // namespace pool_internal

namespace {
using pool_internal::g_arena;
using pool_internal::g_arenaBytes;

constexpr std::size_t kChunkSize = std::size_t(2) << 20; // a huge page; also the chunks' alignment
constexpr std::size_t kGranule = 8;
constexpr std::size_t kClassCount = kMaxPooledBlock / kGranule;
// What a 32-bit reference in 8-byte units reaches; smaller when the system refuses that much.
constexpr std::size_t kArenaMax = (std::size_t(1) << 32) * kGranule;
constexpr std::size_t kArenaMin = std::size_t(64) << 20;
constexpr std::size_t kMaxChunks = kArenaMax / kChunkSize;
// Empty chunks kept ready, so that freeing and taking a few blocks does not ask the system.
constexpr std::size_t kWarmChunks = 2;
// A size class that already fills this many chunks gets its next ones as huge pages, and
// faulted in at once: a large text loads much faster so. A class with a few blocks would
// otherwise hold a whole 2 MiB page for them.
constexpr std::size_t kHugePagesFrom = 1;

struct TChunk {
    TChunk* prev;       // in its class's list of chunks with free blocks, or the warm list
    TChunk* next;
    void* freeList;     // blocks given back, each holding the next one's address
    char* bump;         // blocks never handed out start here
    std::size_t used;   // blocks handed out
    std::size_t blockSize;
    bool listed;        // in the class's list (it has a free block)
};
// The header also keeps offset 0 of the arena free of blocks: reference 0 is null.
constexpr std::size_t kHeaderSize = (sizeof(TChunk) + 63) / 64 * 64;

struct TSizeClass {
    TChunk* open = nullptr; // chunks with free blocks
    std::size_t chunks = 0; // chunks holding blocks of the class
};

TSizeClass g_classes[kClassCount];
std::size_t g_chunks = 0;     // committed: in use or warm
std::size_t g_frontier = 0;   // chunks of the arena ever committed
TChunk* g_warm = nullptr;     // empty chunks still committed
std::size_t g_warmCount = 0;
// Chunks below the frontier given back to the system, one bit each.
std::uint64_t g_cold[kMaxChunks / 64];
std::size_t g_coldCount = 0;
bool g_reserveFailed = false;

char* ChunkAt(std::size_t index) { return reinterpret_cast<char*>(g_arena + index * kChunkSize); }
std::size_t IndexOf(TChunk* c) { return (reinterpret_cast<std::uintptr_t>(c) - g_arena) / kChunkSize; }
char* ChunkEnd(TChunk* c) { return reinterpret_cast<char*>(c) + kChunkSize; }

bool InArena(const void* p) {
    return reinterpret_cast<std::uintptr_t>(p) - g_arena < g_arenaBytes;
}

TChunk* ChunkOf(const void* p) {
    return reinterpret_cast<TChunk*>(reinterpret_cast<std::uintptr_t>(p) & ~(kChunkSize - 1));
}

// Reserves address space only: nothing is committed until a chunk is taken.
bool ReserveArena() {
    if (g_arena) return true;
    if (g_reserveFailed) return false;
    for (std::size_t size = kArenaMax; size >= kArenaMin; size /= 2) {
        void* p = mmap(nullptr, size + kChunkSize, PROT_NONE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (p == MAP_FAILED) continue;
        g_arena = (reinterpret_cast<std::uintptr_t>(p) + kChunkSize - 1) & ~(kChunkSize - 1);
        g_arenaBytes = size;
        return true;
    }
    g_reserveFailed = true;
    return false;
}

bool Commit(std::size_t index, bool large) {
    char* at = ChunkAt(index);
    if (mprotect(at, kChunkSize, PROT_READ | PROT_WRITE) != 0) return false;
    if (large) {
        // Advice only: where the system has no huge pages, or an older kernel does not
        // know the advice, the chunk is faulted in page by page as it fills.
#if defined(MADV_HUGEPAGE)
        madvise(at, kChunkSize, MADV_HUGEPAGE);
#endif
#if defined(MADV_POPULATE_WRITE)
        madvise(at, kChunkSize, MADV_POPULATE_WRITE);
#endif
    }
    ++g_chunks;
    return true;
}

// Gives the chunk's memory back to the system; its address range stays reserved.
void Decommit(TChunk* c) {
    const std::size_t index = IndexOf(c);
    if (mmap(c, kChunkSize, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED,
             -1, 0) == MAP_FAILED)
        madvise(c, kChunkSize, MADV_DONTNEED); // the pages go back at least
    g_cold[index / 64] |= std::uint64_t(1) << (index % 64);
    ++g_coldCount;
    --g_chunks;
}

// An empty committed chunk: a warm one, else the lowest given back, else a new one.
TChunk* TakeChunk(bool large) {
    if (g_warm) {
        TChunk* c = g_warm;
        g_warm = c->next;
        --g_warmCount;
        return c;
    }
    if (g_coldCount > 0) {
        for (std::size_t w = 0; w * 64 < g_frontier; ++w) {
            if (!g_cold[w]) continue;
            const std::size_t index = w * 64 + std::size_t(__builtin_ctzll(g_cold[w]));
            if (!Commit(index, large)) return nullptr;
            g_cold[w] &= g_cold[w] - 1;
            --g_coldCount;
            return reinterpret_cast<TChunk*>(ChunkAt(index));
        }
    }
    if (!ReserveArena() || (g_frontier + 1) * kChunkSize > g_arenaBytes) return nullptr;
    if (!Commit(g_frontier, large)) return nullptr;
    return reinterpret_cast<TChunk*>(ChunkAt(g_frontier++));
}

void RetireChunk(TChunk* c) {
    if (g_warmCount < kWarmChunks) {
        c->next = g_warm;
        g_warm = c;
        ++g_warmCount;
    } else {
        Decommit(c);
    }
}

void Link(TSizeClass& sc, TChunk* c) {
    c->prev = nullptr;
    c->next = sc.open;
    if (sc.open) sc.open->prev = c;
    sc.open = c;
    c->listed = true;
}

void Unlink(TSizeClass& sc, TChunk* c) {
    if (c->prev) c->prev->next = c->next;
    else sc.open = c->next;
    if (c->next) c->next->prev = c->prev;
    c->prev = c->next = nullptr;
    c->listed = false;
}

TChunk* NewChunk(TSizeClass& sc, std::size_t blockSize) {
    TChunk* c = TakeChunk(sc.chunks >= kHugePagesFrom);
    if (!c) return nullptr;
    ++sc.chunks;
    c->freeList = nullptr;
    c->bump = reinterpret_cast<char*>(c) + kHeaderSize;
    c->used = 0;
    c->blockSize = blockSize;
    Link(sc, c);
    return c;
}

bool Full(TChunk* c) {
    return !c->freeList && c->bump + c->blockSize > ChunkEnd(c);
}

std::size_t ClassIndex(std::size_t size) { return size == 0 ? 0 : (size - 1) / kGranule; }

void Release(TChunk* c, void* p) {
    TSizeClass& sc = g_classes[ClassIndex(c->blockSize)];
    *static_cast<void**>(p) = c->freeList;
    c->freeList = p;
    --c->used;
    if (!c->listed) Link(sc, c);
    if (c->used == 0) {
        Unlink(sc, c);
        --sc.chunks;
        RetireChunk(c);
    }
}
} // namespace

void* PoolAlloc(std::size_t size) noexcept {
    if (size > kMaxPooledBlock) return std::malloc(size);
    const std::size_t index = ClassIndex(size);
    const std::size_t blockSize = (index + 1) * kGranule;
    TSizeClass& sc = g_classes[index];
    TChunk* c = sc.open ? sc.open : NewChunk(sc, blockSize);
    if (!c) return nullptr;
    void* p;
    if (c->freeList) {
        p = c->freeList;
        c->freeList = *static_cast<void**>(p);
    } else {
        p = c->bump;
        c->bump += blockSize;
    }
    ++c->used;
    if (Full(c)) Unlink(sc, c);
    return p;
}

void PoolFree(void* p, std::size_t size) noexcept {
    if (!p) return;
    if (size > kMaxPooledBlock) {
        std::free(p);
        return;
    }
    TChunk* c = ChunkOf(p);
    // A block freed with another size than it was taken with, or one the pool never gave,
    // would corrupt the lists; stop at once rather than hand the memory out twice.
    if (!InArena(p) || c->blockSize != (ClassIndex(size) + 1) * kGranule || c->used == 0)
        std::abort();
    Release(c, p);
}

void PoolFree(void* p) noexcept {
    if (!p) return;
    if (!InArena(p)) {
        std::free(p);
        return;
    }
    TChunk* c = ChunkOf(p);
    if (c->used == 0) std::abort();
    Release(c, p);
}

std::size_t PoolChunkCount() noexcept { return g_chunks; }

std::size_t PoolHeldBytes() noexcept { return g_chunks * kChunkSize; }

#endif
