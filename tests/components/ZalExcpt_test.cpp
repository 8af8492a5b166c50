#include <gtest/gtest.h>

#include "components/ZalExcpt.h"

#include <type_traits>

static_assert(std::is_base_of_v<Exception, EZalStringResourceError>);
static_assert(!std::is_base_of_v<EZalException, EZalStringResourceError>);
static_assert(std::is_base_of_v<EZalException, ENoTimersAvailable>);
static_assert(std::is_base_of_v<EControllerError, ENoControllerAssigned>);
static_assert(std::is_base_of_v<ECmdProcessorError, EDuplicateCommand>);
static_assert(std::is_base_of_v<ECmdProcessorError, ETableNotFound>);
static_assert(std::is_base_of_v<EZalException, EEditorError>);
static_assert(std::is_base_of_v<EEditorError, EInvalidLineOrCol>);
static_assert(std::is_base_of_v<EEditorError, EInvalidLineOrPara>);
static_assert(std::is_base_of_v<EFixedFontError, EInvalidFixedFont>);

namespace {
template <class E> void ExpectRaised(const char* text) {
    try {
        throw E();
    } catch (const EZalException& e) { // every numbered class is a library error
        EXPECT_STREQ(e.what(), text);
        EXPECT_EQ(e.Message(), text);
        EXPECT_EQ(e.ErrorCode, 0);
        EXPECT_NE(dynamic_cast<const E*>(&e), nullptr);
    }
}
} // namespace

TEST(ZalExceptions, NumberedClassesCarryTheirLibraryTexts) {
    ExpectRaised<ENoTimersAvailable>("No Window's timers are available");
    ExpectRaised<ENoControllerAssigned>("No Controller assigned");
    ExpectRaised<EDuplicateCommand>(
        "Duplicate command found while adding a new command to the table");
    ExpectRaised<ETableNotFound>("Command table not found or command table index out of range");
    ExpectRaised<EInvalidLineOrCol>("Invalid line or column");
    ExpectRaised<EInvalidLineOrPara>("Invalid line or paragraph index");
    ExpectRaised<EInvalidFixedFont>("Invalid font assignment. Font must be a fixed font");
}

TEST(ZalExceptions, EditorErrorKeepsItsTextAndCode) {
    const EEditorError e("some text", 65535);
    EXPECT_STREQ(e.what(), "some text");
    EXPECT_EQ(e.ErrorCode, 65535);
    EXPECT_EQ(EZalException("plain").ErrorCode, 0);
}

TEST(ZalExceptions, EditorErrorReportMapsCodesToMessages) {
    const std::pair<uint16_t, int> numbers[] = {
        {0, 0},       {263, 30197}, {264, 30186}, {265, 30198}, {266, 30199},   {267, 30200},
        {268, 30201}, {1, 30168},   {262, 30168}, {269, 30168}, {65535, 30168},
    };
    for (const auto& [code, number] : numbers)
        EXPECT_EQ(EditorErrorMessageNumber(code), number) << code;

    EXPECT_NO_THROW(RaiseEditorError(0));
    const std::pair<uint16_t, const char*> texts[] = {
        {263, "insufficient memory for requested operation"},
        {264, "Region is too large (> 64K)"},
        {265, "Current operation will exceed the maximum number of allowed paragraphs"},
        {266, "Cannot join paragraphs. New paragraph size exceeds maximum paragraph size"},
        {267, "Current operation will exceed the maximum editor text size"},
        {268, "Current operation will exceed the maximum paragraph size"},
        {7, "Unknown Error condition"},
        {999, "Unknown Error condition"},
    };
    for (const auto& [code, text] : texts) {
        try {
            RaiseEditorError(code);
            ADD_FAILURE() << "nothing raised for " << code;
        } catch (const EEditorError& e) {
            EXPECT_STREQ(e.what(), text) << code;
            EXPECT_EQ(e.ErrorCode, code);
        }
    }
}
