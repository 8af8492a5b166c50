#include <cstring>

#include "components/ZalExcpt.h"
#include "EditorTestUtil.h"

TEST_F(EditorTest, AppendParaCutsLongLinesAtBlanksAndTrims) {
    edit->SetParaLengthLimit(10);
    Load(*edit, {"aaaa bbbb cccc dd  ", "abcdefghijklmnopqrstuvwxy", "", std::string("z\0z", 3)});
    const std::vector<std::string> expected{"aaaa bbbb", "cccc dd", "abcdefghij", "klmnopqrst", "uvwxy",
                                            "",          "z z",       ""};
    ASSERT_EQ(edit->ParaCount(), int32_t(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(edit->GetPara(int32_t(i + 1)), expected[i]);
    EXPECT_EQ(edit->TextLength(), 9 + 7 + 10 + 10 + 5 + 0 + 3 + 7 * 2);
    EXPECT_FALSE(edit->Modified()) << "loading changes nothing";

    edit->SetTrimWhiteSpace(false);
    edit->SetParaLimit(edit->ParaCount());
    EXPECT_EQ(edit->AppendPara("kept  "), 0) << "the final empty paragraph leaves room for one";
    EXPECT_EQ(edit->GetPara(edit->ParaCount() - 1), "kept  ");
    EXPECT_EQ(edit->AppendPara("x"), ecParaLimit);
    edit->SetByteLimit(edit->TextLength() + 3);
    edit->SetParaLimit(kNoLimit);
    EXPECT_EQ(edit->AppendPara("xy"), ecTextSizeLimit);
    EXPECT_THROW(edit->GetPara(0), EInvalidLineOrPara);
    EXPECT_THROW(edit->GetPara(edit->ParaCount() + 1), EInvalidLineOrPara);
}

TEST_F(EditorTest, PrintableLinesExpandTabsAndStopAtTheBuffer) {
    edit->SetWordWrap(true);
    edit->SetWrapColumn(12);
    Load(*edit, {"a\tb\tc", "one two three four"});
    edit->SetTabSize(4);
    char buffer[32];
    edit->GetPrintableLine(1, buffer, 31);
    EXPECT_STREQ(buffer, "a   b   c");
    edit->GetPrintableLine(1, buffer, 6);
    EXPECT_STREQ(buffer, "a   b ");
    edit->GetPrintableLine(3, buffer, 31);
    EXPECT_STREQ(buffer, "three four") << "display lines, not paragraphs";
    std::memset(buffer, 'x', sizeof buffer);
    edit->GetPrintableLine(4, buffer, 31);
    EXPECT_STREQ(buffer, "");
    EXPECT_THROW(edit->GetPrintableLine(5, buffer, 31), EInvalidLineOrPara);

    int32_t para = 2, pos = 12;
    edit->ParaToLine(para, pos);
    EXPECT_EQ(para, 3);
    EXPECT_EQ(pos, 4);
    para = 9;
    EXPECT_THROW(edit->ParaToLine(para, pos), EInvalidLineOrPara);
}

TEST_F(EditorTest, ClearingModifiedMarksTheSavedUndoState) {
    TZalCustomEditor* other = NewEditor(0, 300, 400, 200);
    other->Attach(edit);
    ASSERT_EQ(edit->ParaList().InsertTextAt(edit, 1, 2, "ab", 1), 0);
    EXPECT_TRUE(other->Modified());
    edit->SetModified(false);
    EXPECT_FALSE(other->Modified()) << "one flag for every view";
    int32_t para, pos;
    edit->ParaList().UndoGroup(edit, para, pos);
    EXPECT_TRUE(edit->Modified()) << "undoing past the save modifies the text again";
}
