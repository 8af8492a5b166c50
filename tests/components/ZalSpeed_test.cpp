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
constexpr TColor kGreen = RGB(10, 200, 30), kBlue = RGB(20, 40, 220), kOrange = RGB(250, 150, 20),
                 kTeal = RGB(0, 130, 140), kPurple = RGB(120, 0, 120), kMagenta = RGB(255, 0, 255);
const TColor kImageColors[5] = {kGreen, kBlue, kOrange, kTeal, kPurple};

TColor Sys(int index) {
    return GetSysColor(index);
}

// A strip of `count` square images, image k filled with kImageColors[k] except for its
// bottom-left pixel, which is the strip's transparent colour.
TBitmap Strip(int count, int size = 16) {
    TBitmap strip(count * size, size);
    for (int k = 0; k < count; ++k)
        strip.Canvas().FillRect(TRect{k * size, 0, (k + 1) * size, size}, kImageColors[k]);
    strip.SetPixel(0, size - 1, kMagenta);
    return strip;
}

TBitmap Paint(TZalCustomSpeedButton& button) {
    TBitmap out(button.Width(), button.Height());
    button.Perform(WM_PAINT, reinterpret_cast<WPARAM>(&out.Canvas()));
    return out;
}

// The top-left pixel of the first occurrence of `color`, or (-1, -1).
TPoint Find(const TBitmap& image, TColor color) {
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            if (image.Pixel(x, y) == color) return TPoint{x, y};
    return TPoint{-1, -1};
}

// A form shown (offscreen) in a Qt window and made active, so that the pointer can be
// moved over a button on it.
struct THostedForm {
    QWidget Host;
    TForm Form{nullptr};
    TZalSpeedButton* Button = nullptr;
    int Clicks = 0;

    THostedForm() {
        Host.resize(200, 150);
        SetParentWidget(Form.Window(), &Host);
        Form.SetBounds(0, 0, 200, 150);
        Form.HandleNeeded();
        Button = NewComponent<TZalSpeedButton>(&Form);
        Button->SetParent(&Form);
        Button->SetBounds(10, 10, 25, 25);
        Button->OnClick = [this](TComponent*) { ++Clicks; };
        Host.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Host, 2000));
        Host.activateWindow();
        // Moves of the pointer are moves only from somewhere else: start off the button.
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
const QPoint kOnButton(20, 20), kOffButton(120, 100);

// A repeat timer run by a fake millisecond clock.
struct TFakeClock {
    struct TTimer : IZalRepeatTimer {
        TFakeClock& Clock;
        std::function<void()> Handler;
        unsigned IntervalMs = 0;
        bool On = false;
        int Due = 0;
        explicit TTimer(TFakeClock& clock) : Clock(clock) {}
        ~TTimer() override { Clock.Timer = nullptr; }
        void SetHandler(std::function<void()> handler) override { Handler = std::move(handler); }
        void SetInterval(unsigned ms) override {
            IntervalMs = ms;
            Due = Clock.Now + int(ms); // restarts, as a running timer does
        }
        void Start() override {
            On = true;
            Due = Clock.Now + int(IntervalMs);
        }
        void Stop() override { On = false; }
        bool Running() const override { return On; }
    };
    int Now = 0;
    TTimer* Timer = nullptr;

    TRepeatTimerFactory Factory() {
        return [this] {
            auto timer = std::make_unique<TTimer>(*this);
            Timer = timer.get();
            return timer;
        };
    }
    void Advance(int ms) {
        const int end = Now + ms;
        while (Timer && Timer->On && Timer->Due <= end) {
            Now = Timer->Due;
            Timer->Handler();
        }
        Now = end;
    }
};
} // namespace

TEST(ZalSpeedButton, DefaultsAndSetterRules) {
    TZalSpeedButton b(nullptr);
    EXPECT_STREQ(b.ClassName(), "TZalSpeedButton");
    EXPECT_EQ(b.About(), "v3.03");
    EXPECT_EQ(b.BoundsRect(), (TRect{0, 0, 25, 25}));
    EXPECT_FALSE(b.AutoRepeat());
    EXPECT_FALSE(b.Flat());
    EXPECT_TRUE(b.GrayedInactive());
    EXPECT_EQ(b.RepeatDelay(), 500);
    EXPECT_EQ(b.RepeatInterval(), 100);
    EXPECT_EQ(b.Layout(), blGlyphTop);
    EXPECT_EQ(b.Margin(), -1);
    EXPECT_EQ(b.Spacing(), 1);
    EXPECT_EQ(b.Style(), bsAutoDetect);
    EXPECT_FALSE(b.Transparent());
    EXPECT_EQ(b.NumGlyphs(), 1);
    EXPECT_TRUE(b.ShowHint && !b.ParentShowHint && b.ParentFont());
    EXPECT_EQ(b.ButtonGlyph().TransparentColor(), kMagenta);

    b.SetNumGlyphs(7);
    EXPECT_EQ(b.NumGlyphs(), 5);
    b.SetNumGlyphs(-3);
    EXPECT_EQ(b.NumGlyphs(), 1);
    b.SetNumGlyphs(3);
    b.SetNumGlyphs(0);
    EXPECT_EQ(b.NumGlyphs(), 3) << "0 leaves the count";
    b.SetMargin(-2);
    EXPECT_EQ(b.Margin(), -1);
    b.SetMargin(4);
    EXPECT_EQ(b.Margin(), 4);

    // A strip whose width is a multiple of its height up to four sets the count.
    b.SetGlyph(TBitmap(64, 16));
    EXPECT_EQ(b.NumGlyphs(), 4);
    b.SetGlyph(TBitmap(80, 16));
    EXPECT_EQ(b.NumGlyphs(), 1);
    b.SetNumGlyphs(2);
    b.SetGlyph(TBitmap(40, 16));
    EXPECT_EQ(b.NumGlyphs(), 2);
    EXPECT_EQ(b.ButtonGlyph().TransparentColor(), clWhite) << "the new bitmap's bottom-left pixel";

    // The cache is dropped whenever what the images come from changes.
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
        {40, 30, blGlyphTop, -1, 1, {12, 7}},   {40, 30, blGlyphLeft, -1, 1, {12, 7}},
        {40, 30, blGlyphRight, 5, 1, {16, 7}},  {40, 30, blGlyphBottom, 5, 1, {12, 6}},
        {40, 30, blGlyphTop, 0, -1, {12, 3}},   {41, 30, blGlyphLeft, -1, 1, {12, 7}},
        {41, 30, blGlyphRight, -1, 1, {13, 7}},
    };
    for (const Case& c : cases) {
        TZalSpeedButton b(nullptr);
        b.SetBounds(0, 0, c.width, c.height);
        b.SetGlyph(Strip(1));
        b.SetLayout(c.layout);
        b.SetMargin(c.margin);
        b.SetSpacing(c.spacing);
        const std::string what =
            "layout " + std::to_string(c.layout) + " margin " + std::to_string(c.margin);
        EXPECT_EQ(Find(Paint(b), kGreen), c.up) << what;
        b.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 5));
        EXPECT_EQ(Find(Paint(b), kGreen), (TPoint{c.up.X + 1, c.up.Y + 1})) << what << ": pressed";
    }

    // Halves are taken of each operand: a glyph 15 wide in 24 sits at 12 - 7, not 9 / 2.
    TZalButtonGlyph glyph;
    glyph.SetGlyph(TBitmap(15, 15));
    auto canvas = TCanvas::CreateMeasuring();
    EXPECT_EQ(glyph.Layout(*canvas, TRect{0, 0, 24, 24}, "", blGlyphTop, -1, 1).GlyphPos,
              (TPoint{5, 5}));
}

TEST(ZalSpeedButton, CaptionLayoutKeepsMarginAndSpacing) {
    TZalButtonGlyph glyph;
    glyph.SetGlyph(Strip(1));
    auto canvas = TCanvas::CreateMeasuring();
    const TRect client{3, 3, 123, 43};
    auto placed = glyph.Layout(*canvas, client, "Close", blGlyphLeft, 2, 3);
    ASSERT_GT(placed.TextBounds.Width(), 0);
    EXPECT_EQ(placed.GlyphPos.X, 5);
    EXPECT_EQ(placed.TextBounds.Left, 5 + 16 + 3);
    placed = glyph.Layout(*canvas, client, "Close", blGlyphRight, 2, 3);
    EXPECT_EQ(placed.GlyphPos.X, 123 - 2 - 16);
    EXPECT_EQ(placed.TextBounds.Right, placed.GlyphPos.X - 3);
    placed = glyph.Layout(*canvas, client, "Close", blGlyphBottom, 1, 0);
    EXPECT_EQ(placed.GlyphPos.Y, 43 - 1 - 16);
    EXPECT_EQ(placed.TextBounds.Bottom, placed.GlyphPos.Y);

    // Both -1: margin, spacing and the rest split the free width in three.
    placed = glyph.Layout(*canvas, client, "Close", blGlyphLeft, -1, -1);
    const int margin = placed.GlyphPos.X - client.Left;
    const int spacing = placed.TextBounds.Left - (placed.GlyphPos.X + 16);
    EXPECT_EQ(margin, spacing);
    EXPECT_NEAR(client.Right - placed.TextBounds.Right, margin, 2);
    // Margin given, spacing -1: the caption is centred in what is left.
    placed = glyph.Layout(*canvas, client, "Close", blGlyphTop, 1, -1);
    const int below = placed.GlyphPos.Y + 16;
    EXPECT_NEAR(placed.TextBounds.Top - below, client.Bottom - placed.TextBounds.Bottom, 1);
}

TEST(ZalSpeedButton, FramesOfEachStyleAndState) {
    struct Case {
        TButtonStyle style;
        bool flat, down;
        TColor outer[2], inner[2]; // top-left and bottom-right of the first two rings
    };
    const TColor frame = Sys(COLOR_WINDOWFRAME), light = Sys(COLOR_BTNHIGHLIGHT),
                 shadow = Sys(COLOR_BTNSHADOW), face = Sys(COLOR_BTNFACE);
    const Case cases[] = {
        {bsNew, false, false, {light, frame}, {face, shadow}},
        {bsAutoDetect, false, true, {frame, light}, {shadow, face}},
        {bsNew, true, false, {light, shadow}, {face, face}},
        {bsNew, true, true, {frame, light}, {face, face}},
        {bsWin31, false, false, {frame, frame}, {light, shadow}},
        {bsWin31, false, true, {frame, frame}, {shadow, face}},
        {bsWin31, true, false, {light, frame}, {face, face}},
    };
    int i = 0;
    for (const Case& c : cases) {
        THostedForm host; // a flat button shows its frame only while the pointer is over it
        TZalSpeedButton& b = *host.Button;
        b.SetStyle(c.style);
        b.SetFlat(c.flat);
        host.Move(kOnButton);
        ASSERT_TRUE(b.MouseInControl());
        if (c.down) host.Press(kOnButton);
        const TBitmap image = Paint(b);
        EXPECT_EQ(image.Pixel(0, 0), c.outer[0]) << "case " << i;
        EXPECT_EQ(image.Pixel(24, 24), c.outer[1]) << "case " << i;
        EXPECT_EQ(image.Pixel(1, 1), c.inner[0]) << "case " << i;
        EXPECT_EQ(image.Pixel(23, 23), c.inner[1]) << "case " << i;
        if (c.down) host.Release(kOnButton);
        ++i;
    }
}

TEST(ZalSpeedButton, StateImagesFromTheStrip) {
    TZalSpeedButton b(nullptr);
    b.SetGlyph(Strip(2));
    b.SetNumGlyphs(2);
    b.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 5));
    EXPECT_EQ(Find(Paint(b), kGreen), (TPoint{5, 5})) << "two images: pressed shows image 0";
    b.Perform(WM_LBUTTONUP, 0, MakeLParam(5, 5));
    b.SetEnabled(false);
    EXPECT_EQ(b.State(), bsUp);
    const TBitmap disabled = Paint(b);
    EXPECT_EQ(b.State(), bsDisabled);
    EXPECT_EQ(Find(disabled, kGreen), (TPoint{4, 4})) << "two images: disabled shows image 0";
    b.SetEnabled(true);
    Paint(b);
    EXPECT_EQ(b.State(), bsUp);

    b.SetGlyph(Strip(4));
    b.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 5));
    EXPECT_NE(Find(Paint(b), kBlue).X, -1) << "four images: pressed shows image 1";
    b.Perform(WM_LBUTTONUP, 0, MakeLParam(5, 5));
    b.SetEnabled(false);
    EXPECT_NE(Find(Paint(b), kTeal).X, -1) << "four images: disabled shows image 3";
    b.SetEnabled(true);

    b.SetGlyph(Strip(5, 8)); // 40 x 8: five images need the count set by hand
    b.SetNumGlyphs(5);
    b.SetFlat(true);
    EXPECT_NE(Find(Paint(b), kOrange).X, -1) << "five images: inactive shows image 2";
    b.SetGrayedInactive(false);
    EXPECT_NE(Find(Paint(b), kGreen).X, -1) << "without GrayedInactive the up image";
}

TEST(ZalSpeedButton, InactiveAndDisabledImagesAreDerivedFromOneImage) {
    // One image: black, white, navy, a dark and a light colour, and the transparent one.
    TBitmap glyph(6, 1);
    const TColor pixels[6] = {kMagenta,           clBlack,          clWhite, RGB(0, 0, 128),
                              RGB(100, 100, 100), RGB(200, 200, 10)};
    for (int x = 0; x < 6; ++x)
        glyph.SetPixel(x, 0, pixels[x]);
    TZalButtonGlyph g;
    g.SetGlyph(glyph);
    ASSERT_EQ(g.NumGlyphs(), 1);
    const TBitmap& inactive = g.StateImage(bsInactive);
    const TColor expected[6] = {kMagenta,          clBlack, clWhite, clBlack, Sys(COLOR_BTNSHADOW),
                                Sys(COLOR_BTNFACE)};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(inactive.Pixel(x, 0), expected[x]) << "pixel " << x;

    // Embossed: black pixels in highlight one pixel down-right, then in shadow in place.
    TBitmap square(4, 4);
    square.Canvas().FillRect(TRect{0, 0, 4, 4}, kGreen);
    square.Canvas().FillRect(TRect{1, 1, 3, 3}, clBlack);
    g.SetGlyph(square);
    const TBitmap& disabled = g.StateImage(bsDisabled);
    const TColor face = Sys(COLOR_BTNFACE), light = Sys(COLOR_BTNHIGHLIGHT),
                 shadow = Sys(COLOR_BTNSHADOW);
    const TColor rows[4][4] = {{face, face, face, face},
                               {face, shadow, shadow, face},
                               {face, shadow, shadow, light},
                               {face, face, light, light}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(disabled.Pixel(x, y), rows[y][x]) << x << "," << y;
    EXPECT_EQ(&g.StateImage(bsDisabled), &disabled) << "built once";
}

TEST(ZalSpeedButton, FlatButtonShowsFrameAndImageOnlyWhileHot) {
    THostedForm host;
    TZalSpeedButton& b = *host.Button;
    b.SetFlat(true);
    b.SetGlyph(Strip(1));
    TBitmap image = Paint(b);
    EXPECT_EQ(image.Pixel(0, 0), Sys(COLOR_BTNFACE)) << "no frame";
    EXPECT_EQ(Find(image, kGreen).X, -1) << "the greyed image";
    host.Move(kOnButton);
    image = Paint(b);
    EXPECT_EQ(image.Pixel(0, 0), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(image.Pixel(24, 24), Sys(COLOR_BTNSHADOW));
    EXPECT_NE(Find(image, kGreen).X, -1);
    host.Move(kOffButton);
    EXPECT_FALSE(b.MouseInControl());
    EXPECT_EQ(Paint(b).Pixel(0, 0), Sys(COLOR_BTNFACE));
}

TEST(ZalSpeedButton, ClicksOnlyOnALeftReleaseOverTheButtonItWasPressedOn) {
    THostedForm host;
    TZalSpeedButton& b = *host.Button;
    int rightUps = 0;
    b.OnMouseUp = [&](TComponent*, TMouseButton button, TShiftState, int, int) {
        rightUps += button == mbRight;
    };

    host.Press(kOnButton);
    EXPECT_EQ(b.State(), bsDown);
    host.Move(kOffButton);
    EXPECT_EQ(b.State(), bsUp) << "dragged off";
    host.Release(kOffButton);
    EXPECT_EQ(host.Clicks, 0);

    host.Press(kOnButton);
    host.Move(kOffButton);
    host.Move(kOnButton);
    EXPECT_EQ(b.State(), bsDown) << "dragged back on";
    host.Release(kOnButton);
    EXPECT_EQ(host.Clicks, 1);

    host.Press(kOnButton, Qt::RightButton);
    host.Release(kOnButton, Qt::RightButton);
    EXPECT_EQ(rightUps, 1);
    EXPECT_EQ(host.Clicks, 1) << "a right release does not click";

    host.Press(kOffButton); // pressed on the form, released on the button
    host.Move(kOnButton);
    host.Release(kOnButton);
    EXPECT_EQ(host.Clicks, 1);

    int doubles = 0;
    b.OnDblClick = [&](TComponent*) { ++doubles; };
    QTest::mouseDClick(host.Client(), Qt::LeftButton, {}, kOnButton);
    EXPECT_EQ(doubles, 1);
}

TEST(ZalSpeedButton, AutoRepeatClicksAfterTheDelayThenEveryInterval) {
    TFakeClock clock; // outlives the button and its timer
    THostedForm host;
    TZalSpeedButton& b = *host.Button;
    b.SetRepeatTimerFactory(clock.Factory());
    b.SetAutoRepeat(true);

    host.Press(kOnButton);
    clock.Advance(499);
    EXPECT_EQ(host.Clicks, 0);
    clock.Advance(300); // held for 799 ms: 500, 600, 700
    EXPECT_EQ(host.Clicks, 3);
    host.Release(kOnButton);
    EXPECT_EQ(host.Clicks, 4) << "and one on release";
    EXPECT_FALSE(b.RepeatTimerRunning());

    host.Press(kOnButton);
    clock.Advance(550);
    host.Move(kOffButton);
    clock.Advance(300);
    EXPECT_EQ(host.Clicks, 5) << "ticks off the button do nothing";
    host.Move(kOnButton);
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
    host.Release(kOnButton);

    b.SetAutoRepeat(false);
    EXPECT_EQ(clock.Timer, nullptr) << "switching it off frees the timer";
}

namespace {
// A windowed parent and a windowless sibling that paint plain colours.
struct TBluePanel : TCustomControl {
    using TCustomControl::TCustomControl;
    void Paint(TCanvas& canvas) override { canvas.FillRect(TRect{0, 0, Width(), Height()}, kBlue); }
};
struct TRedShape : TGraphicControl {
    using TGraphicControl::TGraphicControl;
    void Paint(TCanvas& canvas) override { canvas.FillRect(TRect{0, 0, Width(), Height()}, clRed); }
};
} // namespace

TEST(ZalSpeedButton, TransparentButtonShowsWhatLiesBehind) {
    TForm form(nullptr);
    auto* panel = NewComponent<TBluePanel>(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 100, 100);
    auto* below = NewComponent<TRedShape>(&form);
    below->SetParent(panel);
    below->SetBounds(10, 10, 10, 25); // covers the left part of the button
    auto* b = NewComponent<TZalSpeedButton>(&form);
    b->SetParent(panel);
    b->SetBounds(15, 10, 25, 25);
    auto* above = NewComponent<TRedShape>(&form);
    above->SetParent(panel);
    above->SetBounds(30, 10, 20, 25); // comes later: not part of the background
    b->SetFlat(true);

    EXPECT_EQ(Paint(*b).Pixel(12, 12), Sys(COLOR_BTNFACE));
    b->SetTransparent(true);
    const TBitmap image = Paint(*b);
    EXPECT_EQ(image.Pixel(2, 12), clRed) << "the sibling beneath";
    EXPECT_EQ(image.Pixel(20, 12), kBlue) << "the parent's surface";
}

TEST(ZalSpeedButton, AcceleratorClicksAnEnabledButton) {
    TZalSpeedButton b(nullptr);
    int clicks = 0;
    b.OnClick = [&](TComponent*) { ++clicks; };
    b.SetCaption("R&&D &go");
    EXPECT_EQ(b.Perform(CM_DIALOGCHAR, 'G'), 1);
    EXPECT_EQ(b.Perform(CM_DIALOGCHAR, 'D'), 0) << "&& is a plain ampersand";
    b.SetEnabled(false);
    EXPECT_EQ(b.Perform(CM_DIALOGCHAR, 'g'), 0);
    EXPECT_EQ(clicks, 1);
}

TEST(ZalSpeedButton, GlyphFromANamedBitmapResource) {
    static const char kXpm[] =
        "/* XPM */\nstatic char* g[] = {\"4 2 2 1\", \"a c #FF00FF\", \"b c #0AC81E\", "
        "\"bbbb\", \"abbb\"};\n";
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(kXpm), sizeof kXpm - 1);
    ASSERT_TRUE(RegisterResourceBlob(RT_BITMAP, "TESTGLYPH", bytes));
    TZalSpeedButton b(nullptr);
    EXPECT_TRUE(b.LoadGlyphFromResource("TestGlyph"));
    EXPECT_EQ(b.Glyph().Width(), 4);
    EXPECT_EQ(b.NumGlyphs(), 2);
    EXPECT_EQ(b.ButtonGlyph().TransparentColor(), kMagenta);
    EXPECT_FALSE(b.LoadGlyphFromResource("NoSuchGlyph"));
    EXPECT_EQ(b.Glyph().Width(), 4) << "kept";
    UnregisterResourceBlob(RT_BITMAP, "TESTGLYPH");
}
