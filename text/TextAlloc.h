#pragma once
// Memory for paragraph nodes with their text, text buffers and line tables. Every
// allocation of a node's memory goes through here (on to the block pool), so that tests
// can make allocations fail on purpose.
#include <cstddef>

// Returns nullptr when the memory cannot be obtained (or a test asked for a failure).
void* TextAlloc(std::size_t size) noexcept;
// Frees what TextAlloc gave for the same size (the size gives the pool the block's
// size class without a header).
void TextFree(void* p, std::size_t size) noexcept;
// Frees what TextAlloc gave, of whatever size (a node's block holds its text).
void TextFree(void* p) noexcept;

// Test seam: after `skip` more successful allocations, the next `count` ones fail.
// Settings are per thread; TextAllocFailures(0, 0) switches the failures off.
void TextAllocFailures(int skip, int count) noexcept;
// Number of allocations attempted on this thread so far (failed ones included).
long TextAllocCount() noexcept;
