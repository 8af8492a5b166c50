#include "components/ZalExcpt.h"
#include "EditorTestUtil.h"

namespace {
std::vector<std::string> Numbered(int n, const std::string& text = "line") {
    std::vector<std::string> paras;
    for (int i = 1; i <= n; ++i) paras.push_back(text + std::to_string(i));
    return paras;
}
} // namespace

TEST_F(EditorTest, PageMovesKeepTheRowUntilTheEndOfTheText) {
    Load(*edit, Numbered(100));
    const int32_t rows = edit->VisibleRows();
    ASSERT_GT(rows, 3);
    std::vector<int32_t> tops;
    edit->OnTopLineChanged = [&](TComponent*, int32_t line) { tops.push_back(line); };
    edit->SetCaretPosition(3, 2);
    const int32_t page = rows - 1;
    edit->MoveCaretBy(0, page, false, true);
    EXPECT_EQ(edit->CaretLine(), 3 + page);
    EXPECT_EQ(edit->TopLine(), 1 + page);
    EXPECT_EQ(tops, std::vector<int32_t>{1 + page});
    for (int i = 0; i < 200 / page; ++i) edit->MoveCaretBy(0, page, false, true);
    EXPECT_EQ(edit->TopLine(), edit->LineCount() - rows + 1);
    EXPECT_EQ(edit->CaretLine(), edit->LineCount());

    Statuses();
    edit->MoveCaretBy(0, 1, true, false);
    EXPECT_TRUE(Statuses().empty()) << "no move from the last line, no status";
    EXPECT_FALSE(edit->SelectionExists());
    edit->MoveCaretBy(0, -1, false, false);
    EXPECT_EQ(Statuses().size(), 1u);
}

TEST_F(EditorTest, VerticalMovesKeepTheVisualColumnWithoutAGoalColumn) {
    Load(*edit, {"a long first line", "\tab", "another long line", "ab"});
    edit->SetCaretPosition(1, 5);
    edit->MoveCaretBy(0, 1, false, false);
    EXPECT_EQ(edit->CaretCol(), 1) << "visual column 5 lies in the tab's cells";
    edit->MoveCaretBy(0, 1, false, false);
    EXPECT_EQ(edit->CaretCol(), 1) << "column 5 is not remembered";
    edit->SetCaretPosition(2, 3);
    edit->MoveCaretBy(0, 1, false, false);
    EXPECT_EQ(edit->CaretCol(), 10) << "after the tab and 'a': visual column 10";
    edit->SetCaretPosition(3, 15);
    edit->MoveCaretBy(0, 1, false, false);
    EXPECT_EQ(edit->CaretCol(), 3) << "clamped to the short line's end";
    edit->MoveCaretBy(0, -1, false, false);
    EXPECT_EQ(edit->CaretCol(), 3) << "the clamped column goes on";
    EXPECT_THROW(edit->SetCaretPosition(0, 1), EInvalidLineOrPara);
    EXPECT_THROW(edit->SetCaretPosition(edit->LineCount() + 1, 1), EInvalidLineOrPara);
    edit->SetCaretPosition(4, 99);
    EXPECT_EQ(edit->CaretCol(), 3);
    edit->SetScrollPastEnd(true);
    edit->SetParaLengthLimit(50);
    edit->SetCaretPosition(4, 99);
    EXPECT_EQ(edit->CaretCol(), 51);

    Statuses();
    edit->SetCaretPosition(2, 2);
    EXPECT_TRUE(statuses.empty()) << "posted, not yet handled";
    EXPECT_EQ(Statuses(), (std::vector<std::pair<int32_t, int32_t>>{{2, 9}})) << "after the tab: column 9";
}

TEST_F(EditorTest, TheViewFollowsTheCaretSideways) {
    Load(*edit, {std::string(400, 'x'), std::string(400, 'y')});
    const int32_t cols = edit->VisibleColumns();
    edit->SetCaretPosition(1, cols + 5);
    EXPECT_EQ(edit->HorzOffset(), 5) << "right of the window: the caret in the last column";
    edit->SetCaretPosition(1, 4);
    EXPECT_EQ(edit->HorzOffset(), 3) << "left of the window: the caret in the first column";
    edit->SetCaretPosition(1, cols + 20);
    edit->SetCaretPosition(1, 2);
    EXPECT_EQ(edit->HorzOffset(), 0) << "visual column 2 shows from the start";
    edit->SetCaretPosition(1, cols + 20);
    edit->SetCaretPosition(2, cols + 40);
    EXPECT_EQ(edit->HorzOffset(), 0) << "on a later line the view goes back to column 1";
    edit->SetCaretPosition(1, cols + 40);
    EXPECT_EQ(edit->HorzOffset(), 40) << "an earlier line follows the caret";
}

TEST_F(EditorTest, ScrollStaysWithinTheText) {
    Load(*edit, Numbered(2));
    edit->Scroll(0, 5);
    EXPECT_EQ(edit->TopLine(), 1) << "fewer lines than rows";
    Load(*edit, Numbered(100));
    const int32_t last = edit->LineCount() - edit->VisibleRows() + 1;
    edit->Scroll(3, 1000);
    EXPECT_EQ(edit->TopLine(), last);
    EXPECT_EQ(edit->TopPara(), last);
    edit->Scroll(-5, -7);
    EXPECT_EQ(edit->HorzOffset(), 0);
    EXPECT_EQ(edit->TopLine(), last - 7);
    edit->SetTopLine(1);
    EXPECT_EQ(edit->TopLine(), 1);
    EXPECT_THROW(edit->SetTopLine(edit->LineCount() + 1), EInvalidLineOrPara);
}
