#pragma once
// Small blocks for the text store: paragraph nodes, their text buffers and line tables.
//
// A text of two million lines needs six million small blocks. Taking each from malloc
// costs a 16-byte header per block and a call per block; here blocks of one size class
// (multiples of 8 up to kMaxPooledBlock) are cut from 256 KiB chunks, so they cost only
// their rounded size. A chunk whose blocks are all free goes back to the system (one
// spare chunk per class is kept to avoid churn). Larger blocks come from malloc.
//
// The text store lives on the GUI thread, and so does this pool: it is not thread-safe.
// Builds with the sanitizers use malloc for every block, so that leaks and misuse of
// single blocks stay visible to them.
#include <cstddef>

constexpr std::size_t kMaxPooledBlock = 256;

// nullptr when the memory cannot be obtained.
void* PoolAlloc(std::size_t size) noexcept;
// Frees a block from PoolAlloc; size must be the size it was asked for.
void PoolFree(void* p, std::size_t size) noexcept;

// Chunks currently held from the system (for tests and benchmarks).
std::size_t PoolChunkCount() noexcept;
