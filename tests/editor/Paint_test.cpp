// What the editor shows, read back from the screen: text, tabs, offset and selection cell
// by cell against a model; pixel scrolling and bookmark glyphs against a full repaint;
// the disabled and unfocused looks; the scroll bars and their messages; the caret.
#include <QAbstractScrollArea>
#include <QBackingStore>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <gmock/gmock.h>
#include <random>

#include "EditorTestUtil.h"
#include "platform/NativeWindow.h"
#include "platform/ScrollBars.h"
#include "platform/SysColors.h"

namespace {
QRgb ToQRgb(TColor c) {
    c = ColorToRGB(c);
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}
std::string Expand(const std::string& s, size_t tab) {
    std::string out;
    for (char c : s) c == '\t' ? out.append(tab - out.size() % tab, ' ') : out.append(1, c);
    return out;
}

// A shown (offscreen) form with a focused editor and a second one to take the focus.
class PaintTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        SetParentWidget(form->Window(), &host);
        host.resize(800, 600);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host, 2000));
        host.activateWindow();
        other = NewEditor(420, 0, 200, 100);
        edit->SetFocus();
        ProcessPendingEvents();
        ASSERT_TRUE(edit->Focused());
        edit->OnDrawLine = [this](TComponent*, TCanvas& canvas, TRect&, const char*, int32_t, int32_t line, int32_t,
                                  int32_t, int32_t, int32_t, int32_t, int32_t, bool&) {
            painted.push_back(line);
            clipBottom = canvas.GetClipBox().Bottom;
        };
    }
    // The client area as the screen has it once everything pending is painted.
    QImage Screen() {
        ProcessPendingEvents();
        auto* image = dynamic_cast<QImage*>(host.backingStore()->paintDevice());
        QWidget* client = ClientWidgetOf(edit->Handle());
        return image->copy(QRect(client->mapTo(&host, QPoint(0, 0)), client->size()));
    }
    QImage Repainted() {
        edit->InvalidateAll(true);
        return Screen();
    }
    // A character per visible cell of a screen row: '.' blank, 'a' ink, '-' and 'A' the
    // same on the highlight, '?' any other background.
    std::string Cells(const QImage& img, int row) const {
        const int cw = edit->CharWidth(), rh = edit->RowHeight();
        std::string out;
        for (int x0 = edit->LeftMargin(); out.size() < size_t(edit->VisibleColumns()); x0 += cw) {
            const QRgb back = img.pixel(x0 + cw / 2, row * rh); // above the glyphs
            bool ink = false;
            for (int y = row * rh + 1; y < (row + 1) * rh; ++y)
                for (int x = x0 + 1; x < x0 + cw - 1; ++x) ink = ink || img.pixel(x, y) != back;
            const bool marked = back == ToQRgb(clHighlight);
            out += back != ToQRgb(clWindow) && !marked ? '?' : marked ? (ink ? 'A' : '-') : (ink ? 'a' : '.');
        }
        return out;
    }
    QWidget host;
    TZalCustomEditor* other = nullptr;
    std::vector<int32_t> painted; // the lines drawn, as OnDrawLine saw them
    int clipBottom = 0;           // of the last paint that drew a line
};

TEST_F(PaintTest, CellsShowTabsOffsetAndExactlyTheSelectedCharacters) {
    std::mt19937 rng(12);
    for (int scene = 0; scene < 40; ++scene) {
        std::vector<std::string> paras(8);
        for (std::string& p : paras)
            for (int n = int(rng() % 24); n > 0; --n) p += "ab \t"[rng() % 4];
        Load(*edit, paras);
        const size_t tab = 2 + rng() % 7;
        edit->SetTabSize(int(tab));
        const int32_t lines = edit->LineCount();
        // The first scenes end their selection in column 1 of a line.
        edit->SetSelection(1 + rng() % lines, 1 + rng() % 24, 1 + rng() % lines, scene < 4 ? 1 : 1 + rng() % 24, true);
        edit->Scroll(int32_t(rng() % 9) - edit->HorzOffset(), 0);
        int32_t sl = 0, sc = 0, el = 0, ec = 0;
        const bool selected = edit->GetSelection(sl, sc, el, ec);
        auto visual = [&](int32_t line, int32_t col) { return Expand(edit->GetPara(line).substr(0, col - 1), tab).size() + 1; };
        const QImage img = Repainted();
        for (int32_t line = 1; line <= lines + 1; ++line) {
            const std::string shown = line <= lines ? Expand(edit->GetPara(line), tab) : "";
            std::string want;
            for (size_t v = edit->HorzOffset() + 1; want.size() < size_t(edit->VisibleColumns()); ++v) {
                const bool ink = v <= shown.size() && shown[v - 1] != ' ';
                const bool marked = selected && v <= shown.size() && line >= sl && line <= el &&
                                    (line > sl || v >= visual(sl, sc)) && (line < el || v < visual(el, ec));
                want += marked ? (ink ? 'A' : '-') : (ink ? 'a' : '.');
            }
            ASSERT_EQ(Cells(img, line - 1), want) << "scene " << scene << ", line " << line;
        }
    }
}

TEST_F(PaintTest, ScrollsMovePixelsAndGlyphsAndPaintOnlyWhatTheyUncover) {
    std::vector<std::string> paras;
    for (int i = 1; i <= 100; ++i) paras.push_back("line " + std::to_string(i) + "\tend");
    Load(*edit, paras);
    edit->ParaList().SetMarker(3, 2, 1);
    edit->ParaList().SetMarker(1, 2, 5); // the lower index wins the shared line
    edit->ParaList().SetMarker(5, 4, 1);
    const TBitmap& glyphs = *edit->MarkerBitmap();
    const int w = glyphs.Width() / 10, h = glyphs.Height(), rows = edit->VisibleRows(), rh = edit->RowHeight();
    const int dy = rh >= h + 2 ? (rh - h) / 2 : 0; // centred in a row with room for it
    auto glyphAt = [&](const QImage& img, int row) { // the bookmark shown beside a row, -1 none
        for (int i = 0; i < 10; ++i) {
            bool same = true;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    same = same && img.pixel(1 + x, row * rh + dy + y) == ToQRgb(glyphs.Pixel(i * w + x, y));
            if (same) return i;
        }
        return -1;
    };
    const QImage first = Repainted();
    EXPECT_EQ(std::vector<int>({glyphAt(first, 0), glyphAt(first, 1), glyphAt(first, 3)}), std::vector<int>({-1, 1, 5}));
    // {columns, lines, rows painted}: under a page on one axis the pixels move.
    for (auto [dx, dy, rowsPainted] : std::vector<std::array<int, 3>>{
             {0, 1, 1}, {0, 3, 3}, {0, -1, 1}, {2, 0, rows}, {-1, 0, rows}, {1, 1, rows}, {0, rows, rows}}) {
        painted.clear();
        edit->Scroll(dx, dy);
        const QImage moved = Screen();
        EXPECT_EQ(painted.size(), size_t(rowsPainted)) << dx << "," << dy;
        EXPECT_TRUE(moved == Repainted()) << dx << "," << dy;
        if (edit->TopLine() <= 4) {
            EXPECT_EQ(glyphAt(moved, 4 - edit->TopLine()), 5);
        }
    }
}

TEST_F(PaintTest, DisabledTextIsGrayAndHideSelectionFollowsTheFocus) {
    Load(*edit, {"Hill"});
    edit->SetSelection(1, 1, 1, 3, true);
    auto row = [&] { return Cells(Repainted(), 0).substr(0, 5); };
    EXPECT_EQ(row(), "AAaa.");
    other->SetFocus();
    EXPECT_EQ(row(), "aaaa.");
    edit->SetHideSelection(false);
    EXPECT_EQ(row(), "AAaa.");
    edit->SetHideSelection(true);
    edit->SetFocus();
    EXPECT_EQ(row(), "AAaa.");
    // The darkest pixel of the unselected "ll": the text colour, give or take smoothing.
    auto ink = [&] {
        const QImage img = Repainted();
        int darkest = 255;
        for (int y = 0; y < edit->RowHeight(); ++y)
            for (int x = edit->LeftMargin() + 2 * edit->CharWidth(); x < edit->LeftMargin() + 4 * edit->CharWidth(); ++x)
                darkest = std::min(darkest, qGray(img.pixel(x, y)));
        return darkest;
    };
    EXPECT_LT(ink(), 64);
    edit->SetEnabled(false);
    EXPECT_NEAR(ink(), qGray(ToQRgb(clGrayText)), 12);
    EXPECT_EQ(row(), "aaaa.") << "no highlight while disabled";
}

TEST_F(PaintTest, ScrollBarRangesAndMessagesReachLinesBeyondSixteenBits) {
    Load(*edit, {"a", "b"});
    ASSERT_GE(edit->VisibleRows(), 20);
    EXPECT_TRUE(IsScrollBarShown(edit->Handle(), SB_VERT));
    EXPECT_FALSE(IsScrollBarEnabled(edit->Handle(), SB_VERT));
    int lo = 0, hi = 0;
    edit->SetWrapColumn(40);
    edit->SetWordWrap(true);
    EXPECT_FALSE(IsScrollBarShown(edit->Handle(), SB_HORZ)) << "40 columns fit";
    edit->SetWrapColumn(1000);
    GetScrollRange(edit->Handle(), SB_HORZ, lo, hi);
    EXPECT_EQ(hi, 512);
    edit->SetWordWrap(false);

    Load(*edit, std::vector<std::string>(200'000, "x"));
    edit->ResetScrollBars(false); // as loading a file ends
    auto* bar = static_cast<QAbstractScrollArea*>(WidgetOf(edit->Handle()))->verticalScrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(100'000);
    EXPECT_EQ(edit->TopLine(), 100'000);
    painted.clear();
    bar->setSliderDown(false);
    EXPECT_EQ(GetScrollPos(edit->Handle(), SB_VERT), 100'000);
    for (auto [msg, code, pos, top, offset] : std::vector<std::array<int, 5>>{
             {WM_VSCROLL, SB_LINEDOWN, 0, 100'001, 0}, {WM_VSCROLL, SB_PAGEUP, 0, 100'001 - edit->VisibleRows(), 0},
             {WM_HSCROLL, SB_LINERIGHT, 0, 0, 1}, {WM_HSCROLL, SB_PAGERIGHT, 0, 0, edit->VisibleColumns()},
             {WM_HSCROLL, SB_THUMBTRACK, 7, 0, 7}, {WM_HSCROLL, SB_LINELEFT, 0, 0, 6}}) {
        const int32_t oldTop = edit->TopLine();
        SendMessage(edit->Handle(), UINT(msg), MakeScrollWParam(code, pos));
        EXPECT_EQ(edit->TopLine(), top ? top : oldTop);
        EXPECT_EQ(edit->HorzOffset(), offset);
        EXPECT_EQ(GetScrollPos(edit->Handle(), msg == WM_HSCROLL ? SB_HORZ : SB_VERT), msg == WM_HSCROLL ? offset : edit->TopLine());
    }
}

TEST_F(PaintTest, InvalidatedLinesAloneArePaintedAndTheCaretStandsInItsCell) {
    Load(*edit, {"ab\tc", "x"});
    const int32_t rows = edit->VisibleRows();
    Repainted();
    for (auto [from, to, first, last] : std::vector<std::array<int32_t, 4>>{
             {5, 3, 3, 5}, {rows + 1, rows + 9, 0, -1}, {rows, kRepaintToEnd, rows, rows}}) {
        painted.clear();
        edit->InvalidateLines(from, to);
        UpdateWindow(edit->Handle());
        std::vector<int32_t> want;
        for (int32_t line = first; line <= last; ++line) want.push_back(line);
        EXPECT_EQ(painted, want) << from << ".." << to;
        EXPECT_TRUE(to != kRepaintToEnd || clipBottom == edit->ClientRect().Bottom) << "with the partial row";
    }
    edit->SetCaretPosition(1, 4); // after the tab: visual column 9
    const int x = edit->LeftMargin() + 8 * edit->CharWidth();
    EXPECT_EQ(edit->CaretPair().Position(), (TPoint{x - 1, 0})) << "a thin caret stands in the gap";
    edit->SetInsertMode(false);
    EXPECT_EQ(edit->CaretPair().Position(), (TPoint{x, 0}));
    Statuses();
    edit->Scroll(20, 0);
    EXPECT_EQ(edit->CaretPair().Position(), (TPoint{kCaretOffScreen, kCaretOffScreen}));
    using namespace testing;
    EXPECT_THAT(Statuses(), AllOf(Not(IsEmpty()), Each(Pair(1, 9)))) << "reported also off screen";
}

TEST_F(PaintTest, DrawLineHandlerGetsTheDisplayLineAndMayDrawTheRowItself) {
    Load(*edit, {"aaaa bbbb cccc", "\tx"});
    edit->SetWrapColumn(10);
    edit->SetWordWrap(true);
    std::vector<std::string> texts;
    edit->OnDrawLine = [&](TComponent*, TCanvas& canvas, TRect& rect, const char* s, int32_t len, int32_t line,
                           int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, bool& drawn) {
        texts.emplace_back(s, size_t(len));
        drawn = line == 2;
        if (drawn) canvas.FillRect(rect, RGB(255, 0, 0));
    };
    const QImage img = Repainted();
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 5),
              std::vector<std::string>({"aaaa bbbb ", "cccc", "        x", "", ""}));
    EXPECT_EQ(Cells(img, 1)[0], '?');
    EXPECT_EQ(Cells(img, 0).substr(0, 5), "aaaa.");
}
} // namespace
