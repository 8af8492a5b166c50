#include <gtest/gtest.h>

#include "text/TextErrors.h"

TEST(TextErrors, OutOfMemoryCarriesItsMessage) {
    ETextOutOfMemory e;
    EXPECT_EQ(e.MessageNumber(), 30197);
    EXPECT_STREQ(e.what(), "insufficient memory for requested operation");
}

TEST(TextErrors, InstalledMessageSourceIsAskedFirst) {
    SetTextMessageSource([](int n) { return n == 30197 ? std::string("from table") : std::string(); });
    EXPECT_STREQ(ETextOutOfMemory().what(), "from table");
    EXPECT_EQ(TextMessage(1), "Unknown"); // the source knows nothing of 1: fallback
    SetTextMessageSource(nullptr);
    EXPECT_STREQ(ETextOutOfMemory().what(), "insufficient memory for requested operation");
}
