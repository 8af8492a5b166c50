#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QScrollBar>

#include "TestWindow.h"
#include "platform/ScrollBars.h"

namespace {
TWindowStyle Bars() {
    TWindowStyle s;
    s.HScroll = s.VScroll = true;
    return s;
}

TScrollInfo Info(int min, int max, UINT page, int pos, UINT extra = 0) {
    TScrollInfo i;
    i.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | extra;
    i.nMin = min;
    i.nMax = max;
    i.nPage = page;
    i.nPos = pos;
    return i;
}

QScrollBar* VBar(THostedWindow& w) { return static_cast<QAbstractScrollArea*>(w.Area())->verticalScrollBar(); }
} // namespace

TEST(ScrollBars, RangePageAndPositionAreClampedAsOnWin32) {
    THostedWindow w(200, 150, Bars());
    EXPECT_EQ(SetScrollInfo(w.Handle(), SB_VERT, Info(1, 100, 20, 95), 1), 81) << "the last page starts at 81";
    TScrollInfo got;
    got.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(w.Handle(), SB_VERT, got));
    EXPECT_EQ(got.nMin, 1);
    EXPECT_EQ(got.nMax, 100);
    EXPECT_EQ(got.nPage, 20u);
    EXPECT_EQ(got.nPos, 81);
    EXPECT_EQ(SetScrollPos(w.Handle(), SB_VERT, -5, 1), 81);
    EXPECT_EQ(GetScrollPos(w.Handle(), SB_VERT), 1);
    EXPECT_EQ(SetScrollInfo(w.Handle(), SB_VERT, Info(1, 10, 50, 3), 1), 1) << "a page beyond the range shows all";
    int min = 0, max = 0;
    GetScrollRange(w.Handle(), SB_VERT, min, max);
    EXPECT_EQ(min, 1);
    EXPECT_EQ(max, 10);
    EXPECT_EQ(SetScrollInfo(nullptr, SB_VERT, Info(1, 10, 5, 3), 1), 0);
}

TEST(ScrollBars, NothingToScrollHidesOrOnlyDisables) {
    THostedWindow w(200, 150, Bars());
    SetScrollInfo(w.Handle(), SB_VERT, Info(1, 3, 20, 1, SIF_DISABLENOSCROLL), 1);
    EXPECT_TRUE(IsScrollBarShown(w.Handle(), SB_VERT)) << "3 lines in 20 rows: shown";
    EXPECT_FALSE(IsScrollBarEnabled(w.Handle(), SB_VERT)) << "but disabled";
    EXPECT_FALSE(VBar(w)->isEnabled());
    SetScrollInfo(w.Handle(), SB_VERT, Info(1, 300, 20, 1, SIF_DISABLENOSCROLL), 1);
    EXPECT_TRUE(IsScrollBarEnabled(w.Handle(), SB_VERT));
    EXPECT_TRUE(VBar(w)->isEnabled());
    SetScrollInfo(w.Handle(), SB_VERT, Info(1, 3, 20, 1), 1);
    EXPECT_FALSE(IsScrollBarShown(w.Handle(), SB_VERT)) << "without the flag the bar goes";
    SetScrollRange(w.Handle(), SB_HORZ, 0, 0, 1);
    EXPECT_FALSE(IsScrollBarShown(w.Handle(), SB_HORZ));
    SetScrollRange(w.Handle(), SB_HORZ, 0, 512, 1);
    EXPECT_TRUE(IsScrollBarShown(w.Handle(), SB_HORZ));
}

TEST(ScrollBars, ClientAreaShrinksWhenABarShows) {
    THostedWindow w(200, 150);
    ASSERT_TRUE(w.Show());
    EXPECT_EQ(w.Window.ClientRect(), (TRect{0, 0, 200, 150}));
    w.Recorder.Messages.clear();
    SetScrollInfo(w.Handle(), SB_VERT, Info(1, 500, 10, 1), 1);
    const TRect client = w.Window.ClientRect();
    EXPECT_LT(client.Right, 200);
    EXPECT_EQ(client.Bottom, 150);
    auto sizes = w.Recorder.Of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u) << "WM_SIZE comes at once";
    EXPECT_EQ(GetXLParam(sizes[0].LParam), client.Right);
    SetScrollInfo(w.Handle(), SB_VERT, Info(1, 5, 10, 1), 1);
    EXPECT_EQ(w.Window.ClientRect(), (TRect{0, 0, 200, 150}));
    EXPECT_EQ(w.Recorder.Count(WM_SIZE), 2u);
}

TEST(ScrollBars, ClientShrinksAlsoWhileHidden) {
    THostedWindow w(200, 150);
    SetScrollInfo(w.Handle(), SB_HORZ, Info(0, 500, 10, 0), 1);
    EXPECT_LT(w.Window.ClientRect().Bottom, 150);
}

TEST(ScrollBars, UserActionsArriveAsBarMessagesAndTheBarFollowsTheControl) {
    THostedWindow w(200, 150, Bars());
    ASSERT_TRUE(w.Show());
    SetScrollInfo(w.Handle(), SB_VERT, Info(1, 100000, 20, 1), 1);
    std::vector<std::pair<int, int32_t>> seen;
    int32_t trackPos = 0;
    w.Recorder.Hook = [&](TMessage& m) {
        if (m.Msg != WM_VSCROLL) return false;
        const int code = LoWord(m.WParam);
        seen.emplace_back(code, ScrollThumbPos(m.WParam));
        if (code == SB_THUMBTRACK) {
            TScrollInfo i;
            i.fMask = SIF_TRACKPOS;
            GetScrollInfo(w.Handle(), SB_VERT, i);
            trackPos = i.nTrackPos;
            SetScrollPos(w.Handle(), SB_VERT, ScrollThumbPos(m.WParam), 1);
        }
        return true;
    };
    QScrollBar* bar = VBar(w);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0].first, SB_LINEDOWN);
    EXPECT_EQ(GetScrollPos(w.Handle(), SB_VERT), 1) << "the bar moves only when the control moves it";
    EXPECT_EQ(bar->value(), 1);
    seen.clear();
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0].first, SB_PAGEUP);
    seen.clear();
    bar->setSliderDown(true);
    bar->setSliderPosition(70000);
    bar->setSliderDown(false);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0], (std::pair<int, int32_t>{SB_THUMBTRACK, 70000})) << "32-bit thumb position";
    EXPECT_EQ(trackPos, 70000);
    bool released = false;
    for (auto& s : seen) released = released || (s.first == SB_THUMBPOSITION && s.second == 70000);
    EXPECT_TRUE(released);
    EXPECT_EQ(GetScrollPos(w.Handle(), SB_VERT), 70000);
}
