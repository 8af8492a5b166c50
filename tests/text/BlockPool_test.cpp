// The block pool: blocks keep their contents, are reused, and chunks go back when empty.
#include "text/BlockPool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {
struct Block {
    unsigned char* p;
    std::size_t size;
    unsigned char fill;
};

void Fill(const Block& b) { std::memset(b.p, b.fill, b.size); }

bool Intact(const Block& b) {
    for (std::size_t i = 0; i < b.size; ++i)
        if (b.p[i] != b.fill) return false;
    return true;
}
} // namespace

TEST(BlockPool, RandomUseKeepsEveryBlockIntactAndGivesChunksBack) {
    const std::size_t chunksBefore = PoolChunkCount();
    std::mt19937 rng(20261208);
    std::vector<Block> live;
    for (int step = 0; step < 200000; ++step) {
        SCOPED_TRACE(step);
        if (live.empty() || rng() % 100 < 55) {
            // Mostly pooled sizes, a few above the pooled limit, and size 0.
            std::size_t size = rng() % 10 == 0 ? kMaxPooledBlock + rng() % 300 : rng() % (kMaxPooledBlock + 1);
            Block b{static_cast<unsigned char*>(PoolAlloc(size)), size, static_cast<unsigned char>(rng())};
            ASSERT_NE(b.p, nullptr);
            ASSERT_EQ(reinterpret_cast<std::uintptr_t>(b.p) % 8, 0u) << "blocks hold pointers";
            Fill(b);
            live.push_back(b);
        } else {
            std::size_t i = rng() % live.size();
            ASSERT_TRUE(Intact(live[i])) << "a block was overwritten by another";
            PoolFree(live[i].p, live[i].size);
            live[i] = live.back();
            live.pop_back();
        }
    }
    for (const Block& b : live) {
        ASSERT_TRUE(Intact(b));
        PoolFree(b.p, b.size);
    }
    // Every chunk is empty again: at most one spare per size class stays.
    EXPECT_LE(PoolChunkCount(), chunksBefore + kMaxPooledBlock / 8);
}

TEST(BlockPool, FreedBlocksAreReusedAndFullChunksReopen) {
    std::vector<void*> blocks;
    for (int i = 0; i < 20000; ++i) blocks.push_back(PoolAlloc(40)); // several chunks of nodes
    const std::size_t chunks = PoolChunkCount();
    for (void* p : blocks) PoolFree(p, 40);
    for (void*& p : blocks) p = PoolAlloc(40);
    EXPECT_EQ(PoolChunkCount(), chunks) << "the freed room is used again before new chunks";
    for (void* p : blocks) PoolFree(p, 40);
    PoolFree(nullptr, 40); // as free(nullptr): nothing
}

// Several chunks filled, emptied (freed with and without their size) and filled again:
// the emptied chunks go back to the system and come back intact, the later ones as huge
// pages. References name every pooled block.
TEST(BlockPool, ChunksGoBackAndReturnAndReferencesNameTheirBlocks) {
    const std::size_t chunksBefore = PoolChunkCount();
    for (int round = 0; round < 3; ++round) {
        std::vector<Block> blocks;
        for (int i = 0; i < 120000; ++i) { // about 12 MB, most of it in one size class
            const std::size_t size = i % 1000 == 0 ? kMaxPooledBlock + 44 : 97 + i % 8;
            Block b{static_cast<unsigned char*>(PoolAlloc(size)), size, static_cast<unsigned char>(i + round)};
            ASSERT_NE(b.p, nullptr);
            Fill(b);
            blocks.push_back(b);
            if (size <= kMaxPooledBlock) {
                const TBlockRef<unsigned char> ref(b.p);
                ASSERT_EQ(static_cast<unsigned char*>(ref), b.p);
            }
        }
#if !defined(MARVOLT_PLAIN_MALLOC)
        EXPECT_GE(PoolChunkCount(), 5u);
        EXPECT_EQ(PoolHeldBytes(), PoolChunkCount() * (std::size_t(2) << 20));
#endif
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            ASSERT_TRUE(Intact(blocks[i])) << "round " << round << " block " << i;
            if (i % 2) PoolFree(blocks[i].p);
            else PoolFree(blocks[i].p, blocks[i].size);
        }
        EXPECT_LE(PoolChunkCount(), chunksBefore + 2) << "a couple of empty chunks are kept";
    }
    EXPECT_EQ(static_cast<char*>(TBlockRef<char>()), nullptr);
    EXPECT_EQ(static_cast<char*>(TBlockRef<char>(nullptr)), nullptr);
#if !defined(MARVOLT_PLAIN_MALLOC)
    EXPECT_EQ(sizeof(TBlockRef<char>), 4u);
    char outside = 0;
    EXPECT_DEATH(TBlockRef<char>{&outside}, "") << "only pooled blocks can be named";
#endif
}
