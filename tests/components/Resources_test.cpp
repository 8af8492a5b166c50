#include <gtest/gtest.h>

#include "components/ZalSrMgr.h"
#include "platform/Resources.h"

#include <vector>

TEST(Resources, CompiledTablesAreFoundByTypeAndNameIgnoringCase) {
    std::span<const uint8_t> a, b;
    ASSERT_TRUE(FindResourceBlob(RT_RCDATA, kLibraryStringsName, a));
    ASSERT_TRUE(FindResourceBlob(RT_RCDATA, "corvane3_strings_english", b));
    EXPECT_EQ(a.data(), b.data());
    EXPECT_EQ(a.size(), b.size());
    EXPECT_TRUE(FindResourceBlob(RT_RCDATA, kManagerStringsName, a));

    std::span<const uint8_t> none;
    EXPECT_FALSE(FindResourceBlob(RT_BITMAP, kLibraryStringsName, none));
    EXPECT_FALSE(FindResourceBlob(RT_RCDATA, "CORVANE3_STRINGS", none));
    EXPECT_FALSE(FindResourceBlob(RT_RCDATA, "", none));
}

TEST(Resources, RunTimeBlobsRegisterOnceAndUnregister) {
    const std::vector<uint8_t> bytes = {1, 2, 3};
    EXPECT_FALSE(RegisterResourceBlob(RT_RCDATA, "", bytes));
    EXPECT_FALSE(RegisterResourceBlob(RT_RCDATA, "zalsrmgr_strings", bytes)); // compiled one
    ASSERT_TRUE(RegisterResourceBlob(RT_CURSOR, "TEST_CURSOR", bytes));
    EXPECT_FALSE(RegisterResourceBlob(RT_CURSOR, "test_cursor", bytes));

    std::span<const uint8_t> found;
    ASSERT_TRUE(FindResourceBlob(RT_CURSOR, "Test_Cursor", found));
    EXPECT_EQ(found.data(), bytes.data());
    EXPECT_EQ(found.size(), 3u);

    EXPECT_TRUE(UnregisterResourceBlob(RT_CURSOR, "TEST_CURSOR"));
    EXPECT_FALSE(UnregisterResourceBlob(RT_CURSOR, "TEST_CURSOR"));
    EXPECT_FALSE(FindResourceBlob(RT_CURSOR, "TEST_CURSOR", found));
}
