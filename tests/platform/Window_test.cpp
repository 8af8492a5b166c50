#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>
#include <QWheelEvent>

#include "TestWindow.h"
#include "platform/Canvas.h"
#include "platform/ScrollBars.h"
#include "platform/SysColors.h"
#include "platform/Window.h"
#include "platform/WindowlessControl.h"

TEST(Window, ExistsOnlyBetweenCreateAndDestroy) {
    TRecorder r;
    TWindow w(r);
    EXPECT_FALSE(w.HandleAllocated());
    w.SetBounds(0, 0, 50, 40);
    EXPECT_EQ(w.ClientRect(), (TRect{0, 0, 50, 40}));
    HWND h = w.CreateHandle();
    r.Window = h;
    ASSERT_TRUE(h);
    EXPECT_EQ(w.CreateHandle(), h);
    EXPECT_EQ(FindWindowObject(h), &w);
    ASSERT_GE(r.Messages.size(), 2u);
    EXPECT_EQ(r.Messages[0].Msg, WM_CREATE);
    auto sizes = r.Of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(GetXLParam(sizes[0].LParam), 50);
    EXPECT_EQ(GetYLParam(sizes[0].LParam), 40);
    EXPECT_FALSE(IsWindowVisible(h)) << "a window without a parent stays hidden";
    w.DestroyHandle();
    EXPECT_FALSE(w.HandleAllocated());
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(r.Count(WM_DESTROY), 1u);
}

TEST(Window, StyleChangeRecreatesTheWindowAndItsChildren) {
    THostedWindow parent;
    TRecorder childRecorder;
    TWindow child(childRecorder);
    child.SetParent(&parent.Window);
    child.SetBounds(5, 5, 30, 30);
    childRecorder.Window = child.CreateHandle();
    const HWND oldParent = parent.Handle(), oldChild = child.Handle();
    TWindowStyle style;
    style.VScroll = true;
    parent.Window.SetStyle(style);
    ASSERT_TRUE(parent.Window.HandleAllocated());
    ASSERT_TRUE(child.HandleAllocated());
    EXPECT_NE(parent.Handle(), oldParent);
    EXPECT_NE(child.Handle(), oldChild);
    EXPECT_FALSE(IsWindow(oldParent));
    EXPECT_EQ(GetParent(child.Handle()), parent.Handle());
    EXPECT_EQ(childRecorder.Count(WM_DESTROY), 1u);
    EXPECT_EQ(childRecorder.Count(WM_CREATE), 2u);
    EXPECT_TRUE(IsScrollBarShown(parent.Handle(), SB_VERT));
    EXPECT_EQ(child.BoundsRect(), (TRect{5, 5, 35, 35}));
}

TEST(Window, InvalidationWithAndWithoutEraseAndImmediateUpdate) {
    THostedWindow w;
    ASSERT_TRUE(w.Show());
    w.Recorder.Messages.clear();
    TRect paintBox;
    w.Recorder.Hook = [&](TMessage& m) {
        if (m.Msg == WM_ERASEBKGND) {
            m.Result = 1;
            return true;
        }
        if (m.Msg != WM_PAINT) return false;
        TPaintStruct ps;
        TCanvas* c = BeginPaint(w.Handle(), ps);
        EXPECT_EQ(c, MessageCanvas(m));
        paintBox = c ? c->GetClipBox() : TRect{};
        EndPaint(w.Handle(), ps);
        return true;
    };
    TRect r{10, 20, 30, 40};
    InvalidateRect(w.Handle(), &r, 0);
    UpdateWindow(w.Handle());
    EXPECT_EQ(w.Recorder.Count(WM_PAINT), 1u) << "UpdateWindow paints at once";
    EXPECT_EQ(w.Recorder.Count(WM_ERASEBKGND), 0u);
    EXPECT_EQ(paintBox, r);
    w.Recorder.Messages.clear();
    UpdateWindow(w.Handle());
    EXPECT_EQ(w.Recorder.Count(WM_PAINT), 0u) << "nothing was invalid";
    InvalidateRect(w.Handle(), &r, 1);
    UpdateWindow(w.Handle());
    EXPECT_EQ(w.Recorder.Count(WM_ERASEBKGND), 1u);
    EXPECT_EQ(w.Recorder.Count(WM_PAINT), 1u);
    TPaintStruct outside;
    EXPECT_EQ(BeginPaint(w.Handle(), outside), nullptr) << "no canvas outside a paint";
}

namespace {
// Paints horizontal bands whose colour depends on the document row y + offset.
QRgb Band(int row) { return qRgb((row * 37) % 256, (row * 11) % 256, 200); }
} // namespace

TEST(Window, ScrollWindowMovesPixelsAndRepaintsOnlyTheUncoveredStrip) {
    THostedWindow w(120, 100);
    int offset = 0;
    std::vector<TRect> painted;
    w.Recorder.Hook = [&](TMessage& m) {
        if (m.Msg == WM_ERASEBKGND) {
            m.Result = 1;
            return true;
        }
        if (m.Msg != WM_PAINT) return false;
        TCanvas* c = MessageCanvas(m);
        const TRect box = c->GetClipBox();
        painted.push_back(box);
        for (int y = box.Top; y < box.Bottom; ++y) {
            const QRgb b = Band(y + offset);
            c->FillRect(TRect{0, y, 120, y + 1}, RGB(uint8_t(qRed(b)), uint8_t(qGreen(b)), uint8_t(qBlue(b))));
        }
        return true;
    };
    ASSERT_TRUE(w.Show());
    ProcessMessages();
    const QImage before = w.ScreenPixels();
    ASSERT_FALSE(before.isNull()) << "the offscreen backing store is an image";
    ASSERT_EQ(before.pixel(5, 50), Band(50));

    painted.clear();
    offset = 10; // the view moves down by ten rows: pixels move up
    ScrollWindow(w.Handle(), 0, -10, nullptr, nullptr);
    UpdateWindow(w.Handle());
    ASSERT_FALSE(painted.empty());
    for (const TRect& p : painted) {
        EXPECT_GE(p.Top, 90) << "only the uncovered strip is repainted";
        EXPECT_EQ(p.Bottom, 100);
    }
    const QImage after = w.ScreenPixels();
    for (int y : {0, 30, 79, 89, 95, 99}) EXPECT_EQ(after.pixel(5, y), Band(y + 10)) << "row " << y;
}

TEST(Window, ClientCoordinatesAndFocus) {
    THostedWindow w;
    ASSERT_TRUE(w.Show());
    TPoint p{3, 4};
    ASSERT_TRUE(ClientToScreen(w.Handle(), p));
    TPoint back = p;
    ASSERT_TRUE(ScreenToClient(w.Handle(), back));
    EXPECT_EQ(back, (TPoint{3, 4}));
    SetFocus(w.Handle());
    ProcessMessages();
    EXPECT_EQ(GetFocus(), w.Handle());
    EXPECT_EQ(w.Recorder.Count(WM_SETFOCUS), 1u);
    SetCapture(w.Handle());
    EXPECT_EQ(GetCapture(), w.Handle());
    ReleaseCapture();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(w.Recorder.Count(WM_CAPTURECHANGED), 1u);
}

TEST(Window, WindowlessChildIsPaintedByItsParentAndGetsItsMouse) {
    THostedWindow w(100, 80);
    TRecorder childRecorder;
    TWindowlessControl child(childRecorder);
    child.SetParent(&w.Window);
    child.SetBounds(40, 30, 20, 10);
    TRect childClip;
    childRecorder.Hook = [&](TMessage& m) {
        if (m.Msg == WM_PAINT) {
            TCanvas* c = MessageCanvas(m);
            childClip = c->GetClipBox();
            c->FillRect(TRect{0, 0, 100, 100}, RGB(255, 0, 0)); // clipped to the child
            return true;
        }
        return m.Msg != WM_SETCURSOR;
    };
    w.Recorder.Hook = [&](TMessage& m) {
        if (m.Msg != WM_PAINT) return false;
        MessageCanvas(m)->FillRect(TRect{0, 0, 100, 80}, RGB(0, 0, 255));
        return true;
    };
    ASSERT_TRUE(w.Show());
    ProcessMessages();
    EXPECT_EQ(childClip, (TRect{0, 0, 20, 10}));
    const QImage img = w.ScreenPixels();
    EXPECT_EQ(img.pixel(45, 35), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(39, 35), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(60, 35), qRgb(0, 0, 255));

    w.Recorder.Messages.clear();
    QTest::mousePress(w.Client(), Qt::LeftButton, Qt::ShiftModifier, QPoint(45, 33));
    QTest::mouseRelease(w.Client(), Qt::LeftButton, Qt::ShiftModifier, QPoint(70, 60));
    auto downs = childRecorder.Of(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(GetXLParam(downs[0].LParam), 5);
    EXPECT_EQ(GetYLParam(downs[0].LParam), 3);
    EXPECT_TRUE(downs[0].WParam & MK_SHIFT);
    auto ups = childRecorder.Of(WM_LBUTTONUP);
    ASSERT_EQ(ups.size(), 1u) << "the press captured the mouse for the child";
    EXPECT_EQ(GetXLParam(ups[0].LParam), 30);
    EXPECT_EQ(w.Recorder.Count(WM_LBUTTONDOWN), 0u);
    EXPECT_FALSE(child.MouseCaptured());

    QTest::mouseClick(w.Client(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(w.Recorder.Count(WM_LBUTTONDOWN), 1u);
    EXPECT_EQ(childRecorder.Count(WM_LBUTTONDOWN), 1u);
}

TEST(Window, MouseMessagesCarryClientCoordinatesAndKeyFlags) {
    THostedWindow w;
    ASSERT_TRUE(w.Show());
    w.Recorder.Messages.clear();
    QTest::mouseDClick(w.Client(), Qt::LeftButton, Qt::ControlModifier, QPoint(12, 34));
    QTest::mouseClick(w.Client(), Qt::RightButton, Qt::NoModifier, QPoint(1, 2));
    EXPECT_EQ(w.Recorder.Count(WM_RBUTTONDOWN), 1u);
    EXPECT_EQ(w.Recorder.Count(WM_RBUTTONUP), 1u);
    auto dbl = w.Recorder.Of(WM_LBUTTONDBLCLK);
    ASSERT_EQ(dbl.size(), 1u);
    EXPECT_EQ(GetXLParam(dbl[0].LParam), 12);
    EXPECT_EQ(GetYLParam(dbl[0].LParam), 34);
    EXPECT_EQ(dbl[0].WParam, MK_LBUTTON | MK_CONTROL);
}

TEST(Window, EraseDefaultFillsWithTheWindowColour) {
    THostedWindow w(60, 40);
    ASSERT_TRUE(w.Show());
    InvalidateRect(w.Handle(), nullptr, 1);
    UpdateWindow(w.Handle());
    const TColor window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(w.ScreenPixels().pixel(30, 20), qRgb(GetRValue(window), GetGValue(window), GetBValue(window)));
}

TEST(Window, WheelFocusAndVisibilityMessages) {
    THostedWindow a(80, 60), b(80, 60);
    ASSERT_TRUE(a.Show());
    a.Window.SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(a.Handle()));
    a.Window.SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(a.Handle()));

    QWheelEvent wheel(QPointF(10, 10), a.Client()->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::ShiftModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(a.Client(), &wheel);
    auto wheels = a.Recorder.Of(WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 1u);
    EXPECT_EQ(GetWheelDelta(wheels[0].WParam), -120) << "towards the user";
    EXPECT_EQ(LoWord(wheels[0].WParam), MK_SHIFT);

    // Focus moves between two windows of one host.
    b.Window.SetParent(nullptr);
    SetParentWidget(b.Window, &a.Host);
    b.Window.SetBounds(0, 0, 5, 5);
    SetFocus(a.Handle());
    ProcessMessages();
    ASSERT_EQ(GetFocus(), a.Handle());
    SetFocus(b.Handle());
    ProcessMessages();
    auto kills = a.Recorder.Of(WM_KILLFOCUS);
    ASSERT_EQ(kills.size(), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(kills[0].WParam), b.Handle());
    auto sets = b.Recorder.Of(WM_SETFOCUS);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(sets[0].WParam), a.Handle());
}

TEST(Window, FillParentFollowsTheParentsSize) {
    THostedWindow parent(120, 90);
    TRecorder r;
    TWindow child(r);
    child.SetParent(&parent.Window);
    child.SetFillParent(true);
    r.Window = child.CreateHandle();
    EXPECT_EQ(child.BoundsRect(), (TRect{0, 0, 120, 90}));
    parent.Window.SetBounds(0, 0, 100, 50);
    EXPECT_EQ(child.BoundsRect(), (TRect{0, 0, 100, 50}));
    EXPECT_EQ(child.ClientRect(), (TRect{0, 0, 100, 50}));
    auto sizes = r.Of(WM_SIZE);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(GetXLParam(sizes.back().LParam), 100);
}

TEST(Window, AWindowDestroyedByItsOwnMessageGetsNothingMore) {
    THostedWindow w;
    w.Recorder.Hook = [&](TMessage& m) {
        if (m.Msg == WM_KEYDOWN) w.Window.DestroyHandle();
        return m.Msg == WM_KEYDOWN;
    };
    QWidget* area = w.Area();
    QTest::keyPress(area, Qt::Key_A); // the key-down destroys the window; its character must not follow
    ProcessMessages();
    EXPECT_FALSE(w.Window.HandleAllocated());
    EXPECT_EQ(w.Recorder.Count(WM_CHAR), 0u);
    EXPECT_EQ(w.Recorder.Count(WM_DESTROY), 1u);
    w.Recorder.Hook = nullptr;
    EXPECT_TRUE(w.Window.CreateHandle()) << "and it can be created again";
}

TEST(Window, WindowlessChildHearsThePointerComeAndGo) {
    THostedWindow w(100, 60);
    TRecorder childRecorder;
    TWindowlessControl child(childRecorder);
    child.SetParent(&w.Window);
    child.SetBounds(10, 10, 20, 20);
    ASSERT_TRUE(w.Show());
    QTest::mouseMove(w.Client(), QPoint(60, 40));
    QTest::mouseMove(w.Client(), QPoint(15, 15));
    EXPECT_TRUE(child.MouseInside());
    EXPECT_EQ(childRecorder.Count(CM_MOUSEENTER), 1u);
    QTest::mouseMove(w.Client(), QPoint(50, 50));
    EXPECT_FALSE(child.MouseInside());
    EXPECT_EQ(childRecorder.Count(CM_MOUSELEAVE), 1u);
    child.SetEnabled(false);
    EXPECT_EQ(childRecorder.Count(CM_ENABLEDCHANGED), 1u);
    QTest::mouseClick(w.Client(), Qt::LeftButton, Qt::NoModifier, QPoint(15, 15));
    EXPECT_EQ(childRecorder.Count(WM_LBUTTONDOWN), 0u) << "a disabled child gets no mouse";
    EXPECT_EQ(w.Recorder.Count(WM_LBUTTONDOWN), 1u);
}
