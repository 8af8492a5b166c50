#include <gtest/gtest.h>

#include "components/Persistent.h"
#include "components/ZalCmd.h"
#include "components/ZalExcpt.h"

namespace {
struct TPlain : TPersistent {
    const char* ClassName() const override { return "TPlain"; }
};
} // namespace

TEST(Persistent, AssigningAnUnknownClassNamesBothClasses) {
    TPlain plain;
    TZalCommandTable table;
    try {
        table.Assign(plain);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TPlain to a TZalCommandTable");
    }
    try {
        plain.Assign(nullptr);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a nil to a TPlain");
    }
}
