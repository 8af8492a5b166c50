// What the editor shows, read back from the screen: text, tabs, offset, selection, focus and
// disabled looks cell by cell against a model; pixel scrolling and bookmark glyphs against a
// full repaint; the scroll bars and their messages; invalidation, the line hook, the caret.
#include <gmock/gmock.h>

#include <QAbstractScrollArea>
#include <QBackingStore>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <random>

#include "EditorTestUtil.h"
#include "platform/CanvasQt.h"
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
        edit->OnDrawLine = [this](TComponent*, TCanvas& canvas, TRect& rect, const char* s, int32_t len, int32_t line,
                                  int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, bool& drawn) {
            drawn = line == ownLine;
            if (drawn) canvas.FillRect(rect, RGB(255, 0, 0));
            painted.emplace_back(line, std::string(s, size_t(len)));
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
    // A character per visible cell of a screen row: '.' blank, 'a' dark ink, 'g' light ink,
    // '-' and 'A' blank and ink on the highlight, '?' any other background.
    std::string Cells(const QImage& img, int row) const {
        const int cw = edit->CharWidth(), rh = edit->RowHeight();
        std::string out;
        for (int x0 = edit->LeftMargin(); out.size() < size_t(edit->VisibleColumns()); x0 += cw) {
            const QRgb back = img.pixel(x0 + cw / 2, row * rh); // above the glyphs
            int ink = 256;
            for (int y = row * rh + 1; y < (row + 1) * rh; ++y)
                for (int x = x0 + 1; x < x0 + cw - 1; ++x)
                    if (img.pixel(x, y) != back) ink = std::min(ink, qGray(img.pixel(x, y)));
            if (back == ToQRgb(clHighlight)) out += ink < 256 ? 'A' : '-';
            else out += back != ToQRgb(clWindow) ? '?' : ink == 256 ? '.' : ink < 128 ? 'a' : 'g';
        }
        return out;
    }
    QWidget host;
    TZalCustomEditor* other = nullptr;
    std::vector<std::pair<int32_t, std::string>> painted; // the rows drawn, as OnDrawLine saw them
    int32_t ownLine = 0; // the line the handler draws itself
};

TEST_F(PaintTest, CellsShowTheTextTabsOffsetAndSelectionAsAModelDoes) {
    std::mt19937 rng(12);
    for (int scene = 0; scene < 40; ++scene) {
        std::vector<std::string> paras(8);
        for (std::string& p : paras)
            for (int n = int(rng() % 24); n > 0; --n) p += "ab \t"[rng() % 4];
        Load(*edit, paras);
        const size_t tab = 2 + rng() % 7;
        edit->SetTabSize(int(tab));
        edit->SetWrapColumn(8 + rng() % 20);
        edit->SetWordWrap(rng() % 2);
        ownLine = rng() % 12;
        const int32_t lines = edit->LineCount();
        // The first scenes end their selection in column 1 of a line.
        edit->SetSelection(1 + rng() % lines, 1 + rng() % 24, 1 + rng() % lines, scene < 4 ? 1 : 1 + rng() % 24, true);
        edit->Scroll(int32_t(rng() % 9) - edit->HorzOffset(), 0);
        edit->SetEnabled(true);
        (rng() % 3 ? edit : other)->SetFocus();
        edit->SetHideSelection(rng() % 2);
        edit->SetEnabled(rng() % 5);
        painted.clear();
        const QImage img = Repainted();
        int32_t sl = 0, sc = 0, el = 0, ec = 0;
        const bool marks = edit->GetSelection(sl, sc, el, ec) && edit->Enabled() && (edit->Focused() || !edit->HideSelection());
        auto text = [&](int32_t line) {
            const char* s = "";
            int len = 0;
            if (line <= lines) edit->ParaList().GetLineText(line, s, len);
            return std::string(s, size_t(len));
        };
        auto visual = [&](int32_t line, int32_t col) { return Expand(text(line).substr(0, col - 1), tab).size() + 1; };
        for (int32_t row = 0; row < edit->VisibleRows(); ++row) {
            const int32_t line = edit->TopLine() + row;
            const std::string shown = Expand(text(line), tab);
            // The hook sees the display line (tabs expanded), empty once the offset passes it.
            EXPECT_EQ(painted.at(size_t(row)), std::make_pair(line, edit->HorzOffset() < int(shown.size()) ? shown : ""));
            std::string want;
            for (size_t v = edit->HorzOffset() + 1; want.size() < size_t(edit->VisibleColumns()); ++v) {
                const bool ink = v <= shown.size() && shown[v - 1] != ' ';
                const bool marked = marks && v <= shown.size() && line >= sl && line <= el &&
                                    (line > sl || v >= visual(sl, sc)) && (line < el || v < visual(el, ec));
                want += marked ? (ink ? 'A' : '-') : !ink ? '.' : edit->Enabled() ? 'a' : 'g';
            }
            ASSERT_EQ(Cells(img, row), line == ownLine ? std::string(want.size(), '?') : want) << scene << ", " << line;
        }
    }
}

TEST_F(PaintTest, ScrollsMovePixelsAndGlyphsAndPaintOnlyWhatTheyUncover) {
    std::vector<std::string> paras;
    for (int i = 1; i <= 100; ++i) paras.push_back("line " + std::to_string(i) + "\tend");
    Load(*edit, paras);
    // The focused editor's caret would add its own cells to every scroll's repaint.
    edit->CaretPair().SetShowing(false);
    edit->ParaList().SetMarker(3, 2, 1);
    edit->ParaList().SetMarker(1, 2, 5); // the lower index wins the shared line
    edit->ParaList().SetMarker(5, 4, 1);
    const TBitmap& glyphs = *edit->MarkerBitmap();
    const int w = glyphs.Width() / 10, h = glyphs.Height(), rows = edit->VisibleRows(), rh = edit->RowHeight();
    const int dy = rh >= h + 2 ? (rh - h) / 2 : 0; // centred in a row with room for it
    auto glyphOf = [&](const QImage& img, int32_t line) { // the bookmark shown beside a line, -1 none
        const QImage shown = img.copy(1, (line - edit->TopLine()) * rh + dy, w, h);
        for (int i = 0; i < 10; ++i)
            if (shown == glyphs.Impl().Image().copy(i * w, 0, w, h).convertToFormat(shown.format())) return i;
        return -1;
    };
    Repainted();
    // {columns, lines, rows painted}: under a page on one axis the pixels move.
    for (auto [dx, dy, rowsPainted] : std::vector<std::array<int, 3>>{
             {0, 0, 0}, {0, 1, 1}, {0, 2, 2}, {0, -1, 1}, {2, 0, rows}, {-1, 0, rows}, {1, 1, rows}, {0, rows, rows}}) {
        painted.clear();
        edit->Scroll(dx, dy);
        const QImage moved = Screen();
        EXPECT_EQ(painted.size(), size_t(rowsPainted)) << dx << "," << dy;
        EXPECT_TRUE(moved == Repainted()) << dx << "," << dy;
        EXPECT_TRUE(edit->TopLine() > 2 || glyphOf(moved, 2) == 1) << "the glyphs move with their lines";
        EXPECT_TRUE(edit->TopLine() > 4 || glyphOf(moved, 4) == 5);
    }
}

TEST_F(PaintTest, ScrollBarRangesAndMessagesReachLinesBeyondSixteenBits) {
    Load(*edit, {"a", "b"});
    ASSERT_GE(edit->VisibleRows(), 20);
    EXPECT_TRUE(IsScrollBarShown(edit->Handle(), SB_VERT) && !IsScrollBarEnabled(edit->Handle(), SB_VERT));
    edit->SetWrapColumn(1000);
    edit->SetWordWrap(true);
    int lo = 0, hi = 0;
    EXPECT_TRUE(GetScrollRange(edit->Handle(), SB_HORZ, lo, hi) && hi == 512);

    edit->SetWordWrap(false);
    Load(*edit, std::vector<std::string>(200'000, "x"));
    edit->ResetScrollBars(false); // as loading a file ends
    auto* bar = static_cast<QAbstractScrollArea*>(WidgetOf(edit->Handle()))->verticalScrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(100'000);
    bar->setSliderDown(false);
    EXPECT_EQ(edit->TopLine(), 100'000);
    SendMessage(edit->Handle(), WM_VSCROLL, MakeScrollWParam(SB_PAGEUP, 0));
    SendMessage(edit->Handle(), WM_HSCROLL, MakeScrollWParam(SB_THUMBTRACK, 7));
    EXPECT_EQ(std::make_pair(edit->TopLine(), edit->HorzOffset()), std::make_pair(100'000 - edit->VisibleRows(), 7));
    EXPECT_EQ(std::make_pair(GetScrollPos(edit->Handle(), SB_VERT), GetScrollPos(edit->Handle(), SB_HORZ)),
              std::make_pair(edit->TopLine(), 7));
}
} // namespace
