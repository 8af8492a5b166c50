#include "components/ZalSpeed.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QTest>
#include <QWidget>
#include <span>
#include <stdexcept>
#include <string>

#include "components/ZalColor.h"
#include "platform/NativeWindow.h"
#include "platform/Resources.h"

namespace {
constexpr TColor kMagenta = RGB(255, 0, 255);
// Image k of a test strip is filled with kColors[k].
constexpr TColor kColors[5] = {RGB(10, 200, 30), RGB(20, 40, 220), RGB(250, 150, 20),
                               RGB(0, 130, 140), RGB(120, 0, 120)};
// System colours, read once the application object exists.
TColor Face() {
    return GetSysColor(COLOR_BTNFACE);
}
TColor Light() {
    return GetSysColor(COLOR_BTNHIGHLIGHT);
}
TColor Shadow() {
    return GetSysColor(COLOR_BTNSHADOW);
}
TColor Frame() {
    return GetSysColor(COLOR_WINDOWFRAME);
}

// `count` square images side by side; the bottom-left pixel (the transparent colour) is
// magenta.
TBitmap Strip(int count, int size = 16) {
    TBitmap strip(count * size, size);
    for (int k = 0; k < count; ++k)
        strip.Canvas().FillRect(TRect{k * size, 0, (k + 1) * size, size}, kColors[k]);
    strip.SetPixel(0, size - 1, kMagenta);
    return strip;
}

TBitmap Paint(TControl& control) {
    TBitmap out(control.Width(), control.Height());
    control.Perform(WM_PAINT, reinterpret_cast<WPARAM>(&out.Canvas()));
    return out;
}

// The first pixel of `color`, row by row; (-1, -1) when there is none.
TPoint Find(const TBitmap& image, TColor color) {
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            if (image.Pixel(x, y) == color) return TPoint{x, y};
    return TPoint{-1, -1};
}

void Press(TControl& c) {
    c.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 5));
}

// A button at (10, 10) on a form shown (offscreen) in an active Qt window, so that the
// pointer can move over it.
struct THostedForm {
    QWidget Host;
    TForm Form{nullptr};
    TZalSpeedButton* Button = NewComponent<TZalSpeedButton>(&Form);
    int Clicks = 0;

    THostedForm() {
        Host.resize(200, 150);
        SetParentWidget(Form.Window(), &Host);
        Form.SetBounds(0, 0, 200, 150);
        Form.HandleNeeded();
        Button->SetParent(&Form);
        Button->SetBounds(10, 10, 25, 25);
        Button->OnClick = [this](TComponent*) { ++Clicks; };
        Host.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Host, 2000));
        Host.activateWindow();
        // A pointer move is a move only from somewhere else: start off the button.
        QCursor::setPos(Client()->mapToGlobal(QPoint(190, 140)));
        ProcessMessages();
    }
    QWidget* Client() { return ClientWidgetOf(Form.Handle()); }
    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mousePress(Client(), b, {}, p);
    }
    void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseRelease(Client(), b, {}, p);
    }
    void Move(QPoint p) { QTest::mouseMove(Client(), p); }
};
const QPoint kOn(20, 20), kOff(120, 100);

// A millisecond clock driving the button's repeat timer.
struct TFakeClock {
    std::function<void()> Handler;
    int Now = 0, Due = 0;
    unsigned Interval = 0;
    bool On = false, Exists = false;

    void Advance(int ms) {
        const int end = Now + ms;
        while (On && Due <= end)
            Now = Due, Handler();
        Now = end;
    }
    // The timer the button owns; setting the interval restarts it, as a running one does.
    struct TTimer : IZalRepeatTimer {
        TFakeClock& C;
        explicit TTimer(TFakeClock& c) : C(c) { C.Exists = true; }
        ~TTimer() override { C.Exists = C.On = false; }
        void SetHandler(std::function<void()> h) override { C.Handler = std::move(h); }
        void SetInterval(unsigned ms) override { C.Interval = ms, C.Due = C.Now + int(ms); }
        void Start() override { C.On = true, C.Due = C.Now + int(C.Interval); }
        void Stop() override { C.On = false; }
        bool Running() const override { return C.On; }
    };
    TRepeatTimerFactory Factory() {
        return [this] { return std::make_unique<TTimer>(*this); };
    }
};
} // namespace

TEST(ZalSpeedButton, SetterRulesAndTheGlyphStrip) {
    TZalSpeedButton b(nullptr);
    EXPECT_EQ(b.BoundsRect(), (TRect{0, 0, 25, 25}));
    const std::pair<int, int> counts[] = {{7, 5}, {-3, 1}, {3, 3}, {0, 3}};
    for (auto [given, stored] : counts) {
        b.SetNumGlyphs(given);
        EXPECT_EQ(b.NumGlyphs(), stored) << given;
    }
    b.SetMargin(-2);
    EXPECT_EQ(b.Margin(), -1) << "below -1 is ignored";

    // A strip whose width is a multiple of its height up to four sets the count; the
    // bottom-left pixel becomes the transparent colour.
    const std::pair<int, int> strips[] = {{64, 4}, {80, 1}, {40, 1}, {32, 2}};
    for (auto [width, count] : strips) {
        b.SetGlyph(TBitmap(width, 16));
        EXPECT_EQ(b.NumGlyphs(), count) << width;
    }
    EXPECT_EQ(b.ButtonGlyph().TransparentColor(), clWhite);

    // Built images are dropped when what they come from changes.
    b.SetGlyph(Strip(4));
    b.ButtonGlyph().StateImage(bsUp);
    b.ButtonGlyph().StateImage(bsDown);
    EXPECT_EQ(b.ButtonGlyph().BuiltImageCount(), 2);
    b.Perform(WM_SYSCOLORCHANGE);
    EXPECT_EQ(b.ButtonGlyph().BuiltImageCount(), 0);
    b.ButtonGlyph().StateImage(bsUp);
    b.SetNumGlyphs(3);
    EXPECT_EQ(b.ButtonGlyph().BuiltImageCount(), 0);
}

TEST(ZalSpeedButton, GlyphPositionForEachLayoutMarginAndSpacing) {
    struct Case {
        int width, height;
        TButtonLayout layout;
        int margin, spacing;
        TPoint up;
    };
    // Content rectangles: 25 x 25 gives (3,3)-(22,22); 40 x 30 gives (3,3)-(37,27).
    const Case cases[] = {
        {25, 25, blGlyphTop, -1, 1, {4, 4}},    {25, 25, blGlyphLeft, -1, 1, {4, 4}},
        {40, 30, blGlyphTop, -1, 1, {12, 7}},   {40, 30, blGlyphRight, 5, 1, {16, 7}},
        {40, 30, blGlyphBottom, 5, 1, {12, 6}}, {40, 30, blGlyphTop, 0, -1, {12, 3}},
        {41, 30, blGlyphLeft, -1, 1, {12, 7}},  {41, 30, blGlyphRight, -1, 1, {13, 7}},
    };
    for (const Case& c : cases) {
        TZalSpeedButton b(nullptr);
        b.SetBounds(0, 0, c.width, c.height);
        b.SetGlyph(Strip(1));
        b.SetLayout(c.layout);
        b.SetMargin(c.margin);
        b.SetSpacing(c.spacing);
        EXPECT_EQ(Find(Paint(b), kColors[0]), c.up) << c.width << " layout " << int(c.layout);
        Press(b);
        EXPECT_EQ(Find(Paint(b), kColors[0]), (TPoint{c.up.X + 1, c.up.Y + 1})) << "pressed";
    }

    // Halves are taken of each operand: a glyph 15 wide in 24 sits at 12 - 7, not 9 / 2.
    TZalButtonGlyph glyph;
    glyph.SetGlyph(TBitmap(15, 15));
    auto canvas = TCanvas::CreateMeasuring();
    EXPECT_EQ(glyph.Layout(*canvas, TRect{0, 0, 24, 24}, "", blGlyphTop, -1, 1).GlyphPos,
              (TPoint{5, 5}));

    // With a caption: margin and spacing given, both computed (three equal parts), and
    // the spacing computed from a given margin (the caption centred in what is left).
    glyph.SetGlyph(Strip(1));
    const TRect client{3, 3, 123, 43};
    auto placed = glyph.Layout(*canvas, client, "Close", blGlyphRight, 2, 3);
    ASSERT_GT(placed.TextBounds.Width(), 0);
    EXPECT_EQ(placed.GlyphPos.X, 123 - 2 - 16);
    EXPECT_EQ(placed.TextBounds.Right, placed.GlyphPos.X - 3);
    placed = glyph.Layout(*canvas, client, "Close", blGlyphLeft, -1, -1);
    const int margin = placed.GlyphPos.X - client.Left;
    EXPECT_EQ(placed.TextBounds.Left - (placed.GlyphPos.X + 16), margin);
    EXPECT_NEAR(client.Right - placed.TextBounds.Right, margin, 2);
    placed = glyph.Layout(*canvas, client, "Close", blGlyphTop, 1, -1);
    EXPECT_EQ(placed.GlyphPos.Y, 4);
    EXPECT_NEAR(placed.TextBounds.Top - 20, client.Bottom - placed.TextBounds.Bottom, 1);
}

TEST(ZalSpeedButton, FramesOfEachStyleStateAndHover) {
    struct Case {
        TButtonStyle style;
        bool flat, hover, down;
        TColor outer[2], inner[2]; // top-left and bottom-right of the first two rings
    };
    const Case cases[] = {
        {bsNew, false, false, false, {Light(), Frame()}, {Face(), Shadow()}},
        {bsAutoDetect, false, true, true, {Frame(), Light()}, {Shadow(), Face()}},
        {bsNew, true, false, false, {Face(), Face()}, {Face(), Face()}}, // no frame off the button
        {bsNew, true, true, false, {Light(), Shadow()}, {Face(), Face()}},
        {bsNew, true, true, true, {Frame(), Light()}, {Face(), Face()}},
        {bsWin31, false, false, false, {Frame(), Frame()}, {Light(), Shadow()}},
        {bsWin31, false, true, true, {Frame(), Frame()}, {Shadow(), Face()}},
        {bsWin31, true, true, false, {Light(), Frame()}, {Face(), Face()}},
    };
    for (const Case& c : cases) {
        THostedForm host;
        TZalSpeedButton& b = *host.Button;
        b.SetStyle(c.style);
        b.SetFlat(c.flat);
        b.SetGlyph(Strip(1));
        if (c.hover) host.Move(kOn);
        EXPECT_EQ(b.MouseInControl(), c.hover);
        if (c.down) host.Press(kOn);
        const TBitmap image = Paint(b);
        const std::string what = "style " + std::to_string(c.style) + (c.flat ? " flat" : "") +
                                 (c.hover ? " hover" : "") + (c.down ? " down" : "");
        EXPECT_EQ(image.Pixel(0, 0), c.outer[0]) << what;
        EXPECT_EQ(image.Pixel(24, 24), c.outer[1]) << what;
        EXPECT_EQ(image.Pixel(1, 1), c.inner[0]) << what;
        EXPECT_EQ(image.Pixel(23, 23), c.inner[1]) << what;
        // A flat button off the pointer shows the greyed image, else image 0.
        EXPECT_EQ(Find(image, kColors[0]).X == -1, c.flat && !c.hover) << what;
        if (c.down) host.Release(kOn);
    }
}

TEST(ZalSpeedButton, StateImagesComeFromTheStripOrAreDerived) {
    struct Case {
        int images;
        TZalButtonState state;
        TColor shown;
    };
    const Case cases[] = {{2, bsDown, kColors[0]},     {2, bsDisabled, kColors[0]},
                          {4, bsDown, kColors[1]},     {4, bsDisabled, kColors[3]},
                          {5, bsInactive, kColors[2]}, {3, bsInactive, Shadow()}};
    for (const Case& c : cases) {
        TZalButtonGlyph glyph;
        glyph.SetGlyph(Strip(c.images, 8));
        glyph.SetNumGlyphs(c.images);
        EXPECT_EQ(glyph.StateImage(c.state).Pixel(4, 4), c.shown) << c.images << " " << c.state;
    }

    // Inactive from one image: black, white and the transparent colour stay, navy turns
    // black, dark colours shadow and light ones face.
    TBitmap line(6, 1);
    const TColor before[6] = {kMagenta,           clBlack,          clWhite, RGB(0, 0, 128),
                              RGB(100, 100, 100), RGB(200, 200, 10)};
    const TColor after[6] = {kMagenta, clBlack, clWhite, clBlack, Shadow(), Face()};
    for (int x = 0; x < 6; ++x)
        line.SetPixel(x, 0, before[x]);
    TZalButtonGlyph glyph;
    glyph.SetGlyph(line);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(glyph.StateImage(bsInactive).Pixel(x, 0), after[x]);

    // Disabled from one image: its black pixels embossed, highlight one pixel down-right
    // under shadow in place, on the face.
    TBitmap square(4, 4);
    square.Canvas().FillRect(TRect{0, 0, 4, 4}, kColors[0]);
    square.Canvas().FillRect(TRect{1, 1, 3, 3}, clBlack);
    glyph.SetGlyph(square);
    const TColor rows[4][4] = {{Face(), Face(), Face(), Face()},
                               {Face(), Shadow(), Shadow(), Face()},
                               {Face(), Shadow(), Shadow(), Light()},
                               {Face(), Face(), Light(), Light()}};
    const TBitmap& disabled = glyph.StateImage(bsDisabled);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(disabled.Pixel(x, y), rows[y][x]) << x << "," << y;
    EXPECT_EQ(&glyph.StateImage(bsDisabled), &disabled) << "built once";

    // The button paints the disabled state while disabled, and up again after.
    TZalSpeedButton b(nullptr);
    b.SetGlyph(Strip(2));
    b.SetEnabled(false);
    EXPECT_EQ(Find(Paint(b), kColors[0]), (TPoint{4, 4}));
    EXPECT_EQ(b.State(), bsDisabled);
    b.SetEnabled(true);
    Paint(b);
    EXPECT_EQ(b.State(), bsUp);
}

TEST(ZalSpeedButton, ClicksOnlyOnALeftReleaseOverTheButtonItWasPressedOn) {
    THostedForm host;
    TZalSpeedButton& b = *host.Button;
    int rightUps = 0, doubles = 0;
    b.OnMouseUp = [&](TComponent*, TMouseButton button, TShiftState, int, int) {
        rightUps += button == mbRight;
    };
    b.OnDblClick = [&](TComponent*) { ++doubles; };

    host.Press(kOn);
    EXPECT_EQ(b.State(), bsDown);
    host.Move(kOff);
    EXPECT_EQ(b.State(), bsUp) << "dragged off";
    host.Release(kOff);
    EXPECT_EQ(host.Clicks, 0);

    host.Press(kOn);
    host.Move(kOff);
    host.Move(kOn);
    EXPECT_EQ(b.State(), bsDown) << "dragged back on";
    host.Release(kOn);
    EXPECT_EQ(host.Clicks, 1);

    host.Press(kOn, Qt::RightButton);
    host.Release(kOn, Qt::RightButton);
    EXPECT_EQ(rightUps, 1);
    host.Press(kOff); // pressed on the form, released on the button
    host.Move(kOn);
    host.Release(kOn);
    EXPECT_EQ(host.Clicks, 1) << "neither a right release nor a press elsewhere clicks";

    QTest::mouseDClick(host.Client(), Qt::LeftButton, {}, kOn);
    EXPECT_EQ(doubles, 1);
}

TEST(ZalSpeedButton, AutoRepeatClicksAfterTheDelayThenEveryInterval) {
    TFakeClock clock; // outlives the button and its timer
    THostedForm host;
    TZalSpeedButton& b = *host.Button;
    b.SetRepeatTimerFactory(clock.Factory());
    b.SetAutoRepeat(true);

    host.Press(kOn);
    clock.Advance(499);
    EXPECT_EQ(host.Clicks, 0);
    clock.Advance(300); // held for 799 ms: 500, 600, 700
    EXPECT_EQ(host.Clicks, 3);
    host.Release(kOn);
    EXPECT_EQ(host.Clicks, 4) << "and one on release";
    EXPECT_FALSE(b.RepeatTimerRunning());

    host.Press(kOn);
    clock.Advance(550);
    host.Move(kOff);
    clock.Advance(300);
    EXPECT_EQ(host.Clicks, 5) << "ticks off the button do nothing";
    host.Move(kOn);
    clock.Advance(100);
    EXPECT_EQ(host.Clicks, 6);

    // A failing click stops the timer and goes to the application's handler.
    int reported = 0;
    TExceptionHandler previous =
        SetApplicationExceptionHandler([&](std::exception_ptr) { ++reported; });
    b.OnClick = [](TComponent*) { throw std::runtime_error("click failed"); };
    clock.Advance(100);
    EXPECT_EQ(reported, 1);
    EXPECT_FALSE(b.RepeatTimerRunning());
    SetApplicationExceptionHandler(previous);
    b.OnClick = nullptr;
    host.Release(kOn);

    b.SetAutoRepeat(false);
    EXPECT_FALSE(clock.Exists) << "switching it off frees the timer";
}

namespace {
struct TBluePanel : TCustomControl {
    using TCustomControl::TCustomControl;
    void Paint(TCanvas& canvas) override { canvas.FillRect(TRect{0, 0, 100, 100}, kColors[1]); }
};
struct TRedShape : TGraphicControl {
    using TGraphicControl::TGraphicControl;
    void Paint(TCanvas& canvas) override { canvas.FillRect(TRect{0, 0, 50, 50}, clRed); }
};
} // namespace

TEST(ZalSpeedButton, TransparentButtonShowsWhatLiesBehind) {
    TForm form(nullptr);
    auto* panel = NewComponent<TBluePanel>(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 100, 100);
    TControl* below = NewComponent<TRedShape>(&form);
    auto* b = NewComponent<TZalSpeedButton>(&form);
    TControl* above = NewComponent<TRedShape>(&form); // later in the list: not behind
    for (TControl* c : {below, static_cast<TControl*>(b), above})
        c->SetParent(panel);
    below->SetBounds(10, 10, 10, 25); // under the left part of the button
    b->SetBounds(15, 10, 25, 25);
    above->SetBounds(30, 10, 20, 25);
    b->SetFlat(true);
    EXPECT_EQ(Paint(*b).Pixel(12, 12), Face());
    b->SetTransparent(true);
    const TBitmap image = Paint(*b);
    EXPECT_EQ(image.Pixel(2, 12), clRed) << "the sibling beneath";
    EXPECT_EQ(image.Pixel(20, 12), kColors[1]) << "the parent's surface";
}

TEST(ZalSpeedButton, AcceleratorAndResourceGlyph) {
    TZalSpeedButton b(nullptr);
    int clicks = 0;
    b.OnClick = [&](TComponent*) { ++clicks; };
    b.SetCaption("R&&D &go");
    EXPECT_EQ(b.Perform(CM_DIALOGCHAR, 'G'), 1);
    EXPECT_EQ(b.Perform(CM_DIALOGCHAR, 'D'), 0) << "&& is a plain ampersand";
    b.SetEnabled(false);
    EXPECT_EQ(b.Perform(CM_DIALOGCHAR, 'g'), 0);
    EXPECT_EQ(clicks, 1);

    static const char kXpm[] = "/* XPM */\nstatic char* g[] = {\"4 2 2 1\", \"a c #FF00FF\", "
                               "\"b c #0AC81E\", \"bbbb\", \"abbb\"};\n";
    const std::span bytes(reinterpret_cast<const uint8_t*>(kXpm), sizeof kXpm - 1);
    ASSERT_TRUE(RegisterResourceBlob(RT_BITMAP, "TESTGLYPH", bytes));
    EXPECT_TRUE(b.LoadGlyphFromResource("TestGlyph"));
    EXPECT_EQ(b.NumGlyphs(), 2) << "4 x 2: two images";
    EXPECT_EQ(b.ButtonGlyph().TransparentColor(), kMagenta);
    EXPECT_FALSE(b.LoadGlyphFromResource("NoSuchGlyph"));
    EXPECT_EQ(b.Glyph().Width(), 4) << "kept";
    UnregisterResourceBlob(RT_BITMAP, "TESTGLYPH");
}
