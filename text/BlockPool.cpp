#include "text/BlockPool.h"

#include <cstdint>
#include <cstdlib>

#if defined(MARVOLT_PLAIN_MALLOC)

void* PoolAlloc(std::size_t size) noexcept { return std::malloc(size == 0 ? 1 : size); }
void PoolFree(void* p, std::size_t) noexcept { std::free(p); }
std::size_t PoolChunkCount() noexcept { return 0; }

#else

namespace {
constexpr std::size_t kChunkSize = 256 * 1024; // also the chunks' alignment
constexpr std::size_t kGranule = 8;
constexpr std::size_t kClassCount = kMaxPooledBlock / kGranule;

struct TChunk {
    TChunk* prev;       // in its class's list of chunks with free blocks
    TChunk* next;
    void* freeList;     // blocks given back, each holding the next one's address
    char* bump;         // blocks never handed out start here
    std::size_t used;   // blocks handed out
    std::size_t blockSize;
    bool listed;        // in the class's list (it has a free block)
};
constexpr std::size_t kHeaderSize = (sizeof(TChunk) + 63) / 64 * 64;

struct TSizeClass {
    TChunk* open = nullptr;  // chunks with free blocks
    TChunk* spare = nullptr; // one empty chunk kept back
};

TSizeClass g_classes[kClassCount];
std::size_t g_chunks = 0;

char* ChunkEnd(TChunk* c) { return reinterpret_cast<char*>(c) + kChunkSize; }

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

void Reset(TChunk* c, std::size_t blockSize) {
    c->prev = c->next = nullptr;
    c->freeList = nullptr;
    c->bump = reinterpret_cast<char*>(c) + kHeaderSize;
    c->used = 0;
    c->blockSize = blockSize;
    c->listed = false;
}

TChunk* NewChunk(TSizeClass& sc, std::size_t blockSize) {
    TChunk* c = sc.spare;
    if (c) {
        sc.spare = nullptr;
    } else {
        c = static_cast<TChunk*>(std::aligned_alloc(kChunkSize, kChunkSize));
        if (!c) return nullptr;
        ++g_chunks;
    }
    Reset(c, blockSize);
    Link(sc, c);
    return c;
}

bool Full(TChunk* c) {
    return !c->freeList && c->bump + c->blockSize > ChunkEnd(c);
}
} // namespace

void* PoolAlloc(std::size_t size) noexcept {
    if (size > kMaxPooledBlock) return std::malloc(size);
    const std::size_t index = size == 0 ? 0 : (size - 1) / kGranule;
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
    const std::size_t index = size == 0 ? 0 : (size - 1) / kGranule;
    auto* c = reinterpret_cast<TChunk*>(reinterpret_cast<std::uintptr_t>(p) & ~(kChunkSize - 1));
    // A block freed with another size than it was taken with would corrupt two lists;
    // stop at once rather than hand the memory out twice.
    if (c->blockSize != (index + 1) * kGranule || c->used == 0) std::abort();
    TSizeClass& sc = g_classes[index];
    *static_cast<void**>(p) = c->freeList;
    c->freeList = p;
    --c->used;
    if (!c->listed) Link(sc, c);
    if (c->used == 0) {
        Unlink(sc, c);
        if (!sc.spare) {
            sc.spare = c;
        } else {
            std::free(c);
            --g_chunks;
        }
    }
}

std::size_t PoolChunkCount() noexcept { return g_chunks; }

#endif
