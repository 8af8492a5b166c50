#include <gtest/gtest.h>

#include "TestWindow.h"
#include "platform/Application.h"
#include "platform/Caret.h"
#include "platform/Canvas.h"

namespace {
struct TPaintedWindow : THostedWindow {
    TPaintedWindow() : THostedWindow(100, 60) {
        Recorder.Hook = [this](TMessage& m) {
            if (m.Msg == WM_ERASEBKGND) return m.Result = 1, true;
            if (m.Msg != WM_PAINT) return false;
            MessageCanvas(m)->FillRect(TRect{0, 0, 100, 60}, RGB(255, 255, 255));
            return true;
        };
    }
};
} // namespace

TEST(Caret, CreatedHiddenShownWithNestedHidesAndPositioned) {
    TPaintedWindow w;
    ASSERT_TRUE(w.Show());
    ASSERT_TRUE(CreateCaret(w.Handle(), TCaretKind::Solid, 2, 16));
    EXPECT_EQ(CaretOwner(), w.Handle());
    EXPECT_EQ(CaretSize(), (TSize{2, 16}));
    EXPECT_FALSE(CaretVisible()) << "a new caret is hidden";
    SetCaretBlinkTime(5000); // no blink phase change during the test
    ASSERT_TRUE(SetCaretPos(20, 10));
    ASSERT_TRUE(ShowCaret(w.Handle()));
    EXPECT_TRUE(CaretVisible());
    UpdateWindow(w.Handle());
    QImage img = w.ScreenPixels();
    EXPECT_EQ(img.pixel(20, 10), qRgb(0, 0, 0)) << "the caret inverts what it covers";
    EXPECT_EQ(img.pixel(21, 25), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(22, 10), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(20, 26), qRgb(255, 255, 255));

    SetCaretPos(50, 30);
    UpdateWindow(w.Handle());
    img = w.ScreenPixels();
    EXPECT_EQ(img.pixel(20, 10), qRgb(255, 255, 255)) << "the old place is repainted";
    EXPECT_EQ(img.pixel(50, 30), qRgb(0, 0, 0));
    TPoint p;
    GetCaretPos(p);
    EXPECT_EQ(p, (TPoint{50, 30}));

    HideCaret(w.Handle());
    HideCaret(w.Handle());
    ShowCaret(w.Handle());
    EXPECT_FALSE(CaretVisible()) << "two hides need two shows";
    ShowCaret(w.Handle());
    EXPECT_TRUE(CaretVisible());
    EXPECT_FALSE(ShowCaret(w.Handle())) << "showing a shown caret does nothing";
    EXPECT_FALSE(ShowCaret(reinterpret_cast<HWND>(1))) << "only the owner shows it";

    HideCaret(w.Handle());
    UpdateWindow(w.Handle());
    EXPECT_EQ(w.ScreenPixels().pixel(50, 30), qRgb(255, 255, 255));
    EXPECT_EQ(GetCaretBlinkTime(), 5000u);
    EXPECT_TRUE(DestroyCaret());
    EXPECT_FALSE(DestroyCaret());
    EXPECT_EQ(CaretOwner(), nullptr);
}

TEST(Caret, GoesWithItsWindowAndNeedsOne) {
    TPaintedWindow w;
    EXPECT_FALSE(CreateCaret(nullptr, TCaretKind::Solid, 2, 10));
    EXPECT_FALSE(CreateCaret(w.Handle(), TCaretKind::Bitmap, 0, 0, nullptr)) << "a bitmap caret needs a bitmap";
    ASSERT_TRUE(CreateCaret(w.Handle(), TCaretKind::Gray, 8, 16));
    w.Window.DestroyHandle();
    EXPECT_EQ(CaretOwner(), nullptr);
    EXPECT_FALSE(SetCaretPos(1, 1));
}

TEST(Caret, BlinksWhileShown) {
    TPaintedWindow w;
    ASSERT_TRUE(w.Show());
    ASSERT_TRUE(CreateCaret(w.Handle(), TCaretKind::Solid, 2, 10));
    SetCaretBlinkTime(20);
    ShowCaret(w.Handle());
    bool sawOff = false;
    for (int i = 0; i < 200 && !sawOff; ++i) {
        ProcessEventsFor(5);
        sawOff = !CaretDrawn();
    }
    EXPECT_TRUE(sawOff);
    DestroyCaret();
    SetCaretBlinkTime(500);
}

TEST(Caret, ParksAtTheIntLimitsWithoutOverflow) {
    TPaintedWindow w;
    ASSERT_TRUE(w.Show());
    ASSERT_TRUE(CreateCaret(w.Handle(), TCaretKind::Solid, 8, 16));
    ASSERT_TRUE(ShowCaret(w.Handle()));
    for (TPoint p : {TPoint{2147483647, 2147483647}, TPoint{-2147483647 - 1, 5}, TPoint{3, 2147483647}}) {
        ASSERT_TRUE(SetCaretPos(p.X, p.Y));
        ProcessMessages(); // paints: the caret's cells must be computed without overflow
        TPoint q;
        ASSERT_TRUE(GetCaretPos(q));
        EXPECT_EQ(q, p);
    }
    DestroyCaret();
}
