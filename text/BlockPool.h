#pragma once
// Small blocks for the text store: paragraph nodes, their text buffers and line tables.
//
// A text of two million lines needs millions of small blocks. Taking each from malloc
// costs a 16-byte header per block and a call per block; here blocks of one size class
// (multiples of 8 up to kMaxPooledBlock) are cut from 2 MiB chunks, so they cost only
// their rounded size. Larger blocks come from malloc.
//
// The chunks lie in one reserved range of address space, the arena, so that a pooled
// block can be named by a 32-bit reference (TBlockRef) instead of a 64-bit pointer: the
// links of millions of nodes take half the room. A chunk is a huge page where the system
// allows it, which cuts the time of faulting in a large text. An empty chunk goes back to
// the system (a couple are kept to avoid churn).
//
// The text store lives on the GUI thread, and so does this pool: it is not thread-safe.
// Builds with the sanitizers (MARVOLT_PLAIN_MALLOC) use malloc for every block, so that
// leaks and misuse of single blocks stay visible to them; references are plain pointers
// there.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

constexpr std::size_t kMaxPooledBlock = 256;

// nullptr when the memory cannot be obtained.
void* PoolAlloc(std::size_t size) noexcept;
// Frees a block from PoolAlloc; size must be the size it was asked for.
void PoolFree(void* p, std::size_t size) noexcept;
// Frees a block from PoolAlloc of whatever size (the pool knows its pooled blocks).
void PoolFree(void* p) noexcept;

// Chunks currently held from the system (for tests and benchmarks).
std::size_t PoolChunkCount() noexcept;
// Bytes of memory the pool's chunks hold from the system (for benchmarks).
std::size_t PoolHeldBytes() noexcept;

#if defined(MARVOLT_PLAIN_MALLOC)

// A reference to a block from PoolAlloc: a plain pointer in these builds.
template <class T> class TBlockRef {
public:
    TBlockRef() = default;
    TBlockRef(T* p) noexcept : p_(p) {}
    operator T*() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    T* operator->() const noexcept { return p_; }

private:
    T* p_ = nullptr;
};

#else

namespace pool_internal {
// The arena: its start (8-byte units from it are the references) and its size.
extern std::uintptr_t g_arena;
extern std::uintptr_t g_arenaBytes;

inline std::uint32_t Encode(const void* p) noexcept {
    if (!p) return 0;
    const std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(p) - g_arena;
    // Only pooled blocks can be named; anything else would corrupt what refers to it.
    if (offset >= g_arenaBytes) std::abort();
    return static_cast<std::uint32_t>(offset >> 3);
}

inline void* Decode(std::uint32_t ref) noexcept {
    return ref ? reinterpret_cast<void*>(g_arena + (std::uintptr_t(ref) << 3)) : nullptr;
}
} // namespace pool_internal

// A reference in 32 bits to a block of at most kMaxPooledBlock bytes from PoolAlloc (the
// arena's first bytes hold no block, so 0 is the null reference). Reads and assigns like
// a pointer.
template <class T> class TBlockRef {
public:
    TBlockRef() = default;
    TBlockRef(T* p) noexcept : ref_(pool_internal::Encode(p)) {}
    operator T*() const noexcept { return static_cast<T*>(pool_internal::Decode(ref_)); }
    // Whether it names a block, without working out where.
    explicit operator bool() const noexcept { return ref_ != 0; }
    T* operator->() const noexcept { return *this; }

private:
    std::uint32_t ref_ = 0;
};

#endif
