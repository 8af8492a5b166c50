#include "text/TextAlloc.h"

#include "text/BlockPool.h"

namespace {
thread_local int t_skip = 0;
thread_local int t_fail = 0;
thread_local long t_count = 0;
} // namespace

void* TextAlloc(std::size_t size) noexcept {
    ++t_count;
    if (t_fail > 0) {
        if (t_skip > 0) {
            --t_skip;
        } else {
            --t_fail;
            return nullptr;
        }
    }
    return PoolAlloc(size);
}

void TextFree(void* p, std::size_t size) noexcept {
    PoolFree(p, size);
}

void TextFree(void* p) noexcept {
    PoolFree(p);
}

void TextAllocFailures(int skip, int count) noexcept {
    t_skip = skip < 0 ? 0 : skip;
    t_fail = count < 0 ? 0 : count;
}

long TextAllocCount() noexcept {
    return t_count;
}
