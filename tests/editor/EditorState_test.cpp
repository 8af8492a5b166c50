#include "components/ZalExcpt.h"
#include "components/ZalStream.h"
#include "EditorTestUtil.h"
#include "platform/ScrollBars.h"

TEST_F(EditorTest, SettersIgnoreOutOfRangeValuesAndTakeTheListsValue) {
    edit->SetParaLengthLimit(0);
    edit->SetParaLengthLimit(32768);
    EXPECT_EQ(edit->ParaLengthLimit(), 32767);
    edit->SetParaLengthLimit(100);
    EXPECT_EQ(edit->ParaList().ParaLengthLimit(), 100);
    edit->SetTabSize(0);
    EXPECT_EQ(edit->TabSize(), 8);
    edit->SetByteLimit(-1);
    edit->SetParaLimit(0);
    edit->SetWrapColumn(0);
    EXPECT_EQ(edit->ByteLimit(), kNoLimit);
    EXPECT_EQ(edit->ParaLimit(), kNoLimit);
    EXPECT_EQ(edit->WrapColumn(), 80);
    edit->SetLeftMargin(-3);
    EXPECT_EQ(edit->LeftMargin(), 15);

    // Assigning the same undo size again still starts a new history.
    ASSERT_EQ(edit->ParaList().InsertTextAt(edit, 1, 1, "x", 1), 0);
    ASSERT_TRUE(edit->CanUndo());
    edit->SetUndoBufferSize(edit->UndoBufferSize());
    EXPECT_FALSE(edit->CanUndo());
    ASSERT_EQ(edit->ParaList().InsertTextAt(edit, 1, 1, "x", 1), 0);
    edit->SetReadOnly(true);
    EXPECT_FALSE(edit->CanUndo()) << "read-only has nothing to undo";
}

TEST_F(EditorTest, WordWrapScrollPastEndAndWrapAtLeftGoTogether) {
    edit->SetWrapAtLeft(false);
    edit->SetScrollPastEnd(true);
    edit->SetWordWrap(true);
    EXPECT_TRUE(edit->WordWrap());
    EXPECT_TRUE(edit->WrapAtLeft());
    EXPECT_FALSE(edit->ScrollPastEnd());
    edit->SetWrapAtLeft(false);
    EXPECT_TRUE(edit->WrapAtLeft()) << "stays on while wrapping";
    edit->SetScrollPastEnd(true);
    EXPECT_FALSE(edit->WordWrap());
}

TEST_F(EditorTest, WrapToWindowFollowsTheWidthAndClearKeepsSettings) {
    edit->SetWordWrap(true);
    edit->SetWrapToWindow(true);
    EXPECT_EQ(edit->WrapColumn(), edit->VisibleColumns() - 2);
    edit->SetWidth(600);
    EXPECT_EQ(edit->WrapColumn(), edit->VisibleColumns() - 2);
    Load(*edit, {std::string(3 * edit->WrapColumn(), 'w')});
    EXPECT_EQ(edit->LineCount(), 4) << "re-wrapped at the new width";

    edit->SetParaLengthLimit(500);
    edit->SetByteLimit(100000);
    edit->SetTabSize(4);
    edit->SetModified(true);
    edit->Clear(true);
    EXPECT_EQ(edit->ParaCount(), 1);
    EXPECT_FALSE(edit->Modified());
    EXPECT_EQ(edit->ParaLengthLimit(), 500);
    EXPECT_EQ(edit->ByteLimit(), 100000);
    EXPECT_EQ(edit->TabSize(), 4);
    EXPECT_TRUE(edit->WordWrap());
    EXPECT_EQ(edit->WrapColumn(), edit->VisibleColumns() - 2);
}

TEST_F(EditorTest, WindowStylesBookmarkGlyphsAndTheLegacyMargin) {
    EXPECT_TRUE(edit->Window().Style().Border);
    EXPECT_TRUE(edit->HasHorzBar() && edit->HasVertBar());
    const HWND before = edit->Handle();
    edit->SetScrollBarsAlways(true);
    edit->SetScrollBars(ssNone);
    EXPECT_NE(edit->Handle(), before) << "the window is made again";
    EXPECT_FALSE(edit->ScrollBarsAlways());
    EXPECT_FALSE(edit->HasHorzBar() || edit->HasVertBar());
    edit->SetBorderStyle(bsNone);
    EXPECT_FALSE(edit->Window().Style().Border);
    const int32_t rowHeight = edit->RowHeight();
    edit->FixedFont().SetSize(edit->FixedFont().Size() * 2);
    EXPECT_GT(edit->RowHeight(), rowHeight) << "the metrics follow the font";

    edit->SetDesigning(true);
    edit->RecreateWnd();
    EXPECT_EQ(edit->ParaCount(), 31);
    EXPECT_EQ(edit->GetPara(30), "30: Editor paragraph.\tTab.");

    ASSERT_NE(edit->MarkerBitmap(), nullptr);
    EXPECT_EQ(edit->MarkerBitmap()->Width() % 10, 0);
    EXPECT_LE(edit->MarkerBitmap()->Width() / 10, edit->LeftMargin()) << "a glyph fits the margin";
    edit->SetShowBookmarks(false);
    EXPECT_EQ(edit->MarkerBitmap(), nullptr);

    struct TReader : TFiler {
        void DefineProperty(std::string_view name, const std::function<void(TZalValueReader&)>& read,
                            const std::function<void(TZalValueWriter&)>&, bool hasData) override {
            if (name != "Margin") return;
            EXPECT_FALSE(hasData) << "read from old forms, never written";
            TZalValueReader reader("7");
            read(reader);
        }
    } reader;
    edit->DefineProperties(reader);
    EXPECT_EQ(edit->LeftMargin(), 7);
    EXPECT_EQ(edit->RightMargin(), 7);
}

TEST_F(EditorTest, ErrorsGoToTheHandlerOrAreRaisedWithTheirMessage) {
    EXPECT_NO_THROW(edit->DoOnError(0));
    try {
        edit->DoOnError(266);
        FAIL() << "no handler: raised";
    } catch (const EEditorError& e) {
        EXPECT_EQ(e.ErrorCode, 266);
        EXPECT_STREQ(e.what(), "Cannot join paragraphs. New paragraph size exceeds maximum paragraph size");
    }
    uint16_t seen = 0;
    edit->OnError = [&](TComponent* sender, uint16_t& code) {
        EXPECT_EQ(sender, edit);
        seen = code;
    };
    EXPECT_NO_THROW(edit->DoOnError(267));
    EXPECT_EQ(seen, 267);
}

TEST_F(EditorTest, ViewsShareOneTextThatLivesWithItsLastView) {
    std::vector<std::string> paras{"one", "two", "three"};
    paras.resize(40, "more");
    Load(*edit, paras);
    auto* b = NewEditor(0, 300, 400, 200);
    auto* c = NewEditor(400, 0, 300, 300);
    b->SetCaretPosition(1, 1);
    edit->SetCaretPosition(3, 4);
    b->Attach(edit);
    c->Attach(b);
    EXPECT_EQ(edit->NextEditor(), b);
    EXPECT_EQ(b->NextEditor(), c);
    EXPECT_EQ(c->NextEditor(), edit) << "joined before the text's owner";
    EXPECT_EQ(c->GetPara(3), "three");
    EXPECT_EQ(edit->CaretLine(), 3) << "each view keeps its own caret";
    TZalParaList* list = &edit->ParaList();

    delete edit;
    edit = nullptr;
    EXPECT_EQ(list->Owner(), b) << "the owner's successor takes the text over";
    EXPECT_EQ(b->PrevEditor(), c);
    c->Clear(true);
    EXPECT_EQ(c->NextEditor(), c);
    EXPECT_EQ(c->ParaCount(), 1);
    EXPECT_EQ(b->ParaCount(), 41);
    EXPECT_EQ(&b->ParaList(), list);
    EXPECT_EQ(b->GetPara(2), "two") << "the other views keep the text";

    // Resizing so that every line fits shows the text from its first line.
    b->SetTopLine(10);
    ASSERT_EQ(b->TopLine(), 10);
    b->SetHeight(b->Height() + 50 * b->RowHeight());
    EXPECT_EQ(b->TopLine(), 1);
    b->SetInsertMode(false);
    EXPECT_FALSE(b->CaretPair().UseInsertCaret());
}
