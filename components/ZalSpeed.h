#pragma once
// The library's tool-bar button: a windowless control showing a glyph strip of up to five
// images and an optional caption, framed or flat, optionally transparent, painted
// flicker-free through an off-screen bitmap, that can repeat its click while held; and
// its glyph object, which derives the image of each button state and lays out glyph and
// caption.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/ZalBase.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/ShiftState.h"
#include "platform/Types.h"

// The look of the button (one byte). Inactive is the look of a flat button the pointer is
// not over; it is never the stored state.
enum TZalButtonState : uint8_t { bsUp = 0, bsDown = 1, bsInactive = 2, bsDisabled = 3 };
// Where the glyph sits relative to the caption.
enum TButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// The frame: the new look, the old one, or whichever the platform has (the new one here).
enum TButtonStyle : uint8_t { bsAutoDetect, bsWin31, bsNew };
enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

using TMouseEvent =
    std::function<void(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TComponent* Sender, TShiftState Shift, int X, int Y)>;

// Where glyph and caption go inside the content rectangle.
struct TButtonLayoutResult {
    TPoint GlyphPos;  // top-left corner of the glyph
    TRect TextBounds; // the caption's bounds (empty without a caption)
};

// The glyph bitmap of a button, the images derived from it for each state, and the layout
// of glyph and caption.
class TZalButtonGlyph {
public:
    static constexpr int kMaxGlyphs = 5;
    static constexpr size_t kMaxCaption = 255; // characters of the caption laid out

    TZalButtonGlyph();
    ~TZalButtonGlyph();
    TZalButtonGlyph(const TZalButtonGlyph&) = delete;
    TZalButtonGlyph& operator=(const TZalButtonGlyph&) = delete;

    const TBitmap& Glyph() const { return glyph_; }
    // Copies the strip, forgets the built images; a bitmap with height takes its own
    // transparent colour, and one whose width is a multiple of its height up to 4 sets
    // NumGlyphs (a longer strip sets 1). Then OnChange.
    void SetGlyph(const TBitmap& bitmap);
    int NumGlyphs() const { return numGlyphs_; }
    // Takes 1..5 (anything else is ignored) and forgets the built images.
    void SetNumGlyphs(int count);
    // The colour left out when an image is drawn.
    TColor TransparentColor() const { return transparentColor_; }
    bool WordWrap = false; // the caption may break into lines

    // The image shown for a state, built on first use and kept until the strip, the
    // count or the system colours change. Empty while the glyph is empty.
    const TBitmap& StateImage(TZalButtonState state);
    // Frees the built images.
    void ClearCache();
    // How many state images are built now.
    int BuiltImageCount() const { return static_cast<int>(images_.size()); }

    // Places glyph and caption in `client` (see the button's Layout, Margin, Spacing).
    TButtonLayoutResult Layout(TCanvas& canvas, const TRect& client, const std::string& caption,
                               TButtonLayout layout, int margin, int spacing) const;
    // Lays out and draws the glyph image of `state` and the caption in `client`;
    // returns the caption's bounds.
    TRect Draw(TCanvas& canvas, const TRect& client, const std::string& caption,
               TButtonLayout layout, int margin, int spacing, TZalButtonState state,
               TColor fontColor);

    // Called when the glyph bitmap changes (the button invalidates itself).
    std::function<void()> OnChange;

private:
    int GlyphWidth() const;
    TBitmap BuildImage(TZalButtonState state) const;
    void DrawCaption(TCanvas& canvas, const std::string& caption, TRect bounds,
                     TZalButtonState state, TColor fontColor) const;

    std::vector<std::unique_ptr<TBitmap>> images_;
    int numGlyphs_ = 1;
    std::array<int, 4> cache_{-1, -1, -1, -1}; // state -> index in images_
    TBitmap glyph_;
    TColor transparentColor_ = RGB(255, 0, 255);
};

// Draws `image` at (x, y) leaving out `transparent`: clNone copies it all, clDefault
// leaves out its bottom-left pixel's colour.
void DrawTransparentImage(TCanvas& canvas, int x, int y, const TBitmap& image, TColor transparent);

// The timer behind AutoRepeat. The platform's interval timer by default; tests drive one
// from a fake clock.
class IZalRepeatTimer {
public:
    virtual ~IZalRepeatTimer() = default;
    virtual void SetHandler(std::function<void()> handler) = 0;
    // A new interval applies from now on, also to a running timer.
    virtual void SetInterval(unsigned milliseconds) = 0;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool Running() const = 0;
};
using TRepeatTimerFactory = std::function<std::unique_ptr<IZalRepeatTimer>()>;

class TZalCustomSpeedButton : public TZalGraphicControl {
public:
    // 25 x 25, up, not flat, greyed when inactive, glyph on top, centred, spacing 1,
    // repeat after 500 ms every 100 ms once AutoRepeat is on.
    explicit TZalCustomSpeedButton(TComponent* owner);
    // Frees the glyph with its images, the off-screen bitmap and the repeat timer.
    ~TZalCustomSpeedButton() override;
    const char* ClassName() const override { return "TZalCustomSpeedButton"; }

    // Repeat the click while the left button is held on the button; off stops and frees
    // the repeat timer.
    bool AutoRepeat() const { return autoRepeat_; }
    void SetAutoRepeat(bool autoRepeat);
    // No frame unless the pointer is over the button.
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    // A flat button the pointer is not over shows the greyed inactive image.
    bool GrayedInactive() const { return grayedInactive_; }
    void SetGrayedInactive(bool grayed);
    // Milliseconds before the first repeated click.
    int RepeatDelay() const { return repeatDelay_; }
    void SetRepeatDelay(int milliseconds) { repeatDelay_ = milliseconds; }
    // Milliseconds between repeated clicks.
    int RepeatInterval() const { return repeatInterval_; }
    void SetRepeatInterval(int milliseconds) { repeatInterval_ = milliseconds; }
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    // Distance of the glyph from the edge; -1 centres. Values below -1 are ignored.
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    // Distance between glyph and caption; -1 computes it.
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    TButtonStyle Style() const { return style_; }
    void SetStyle(TButtonStyle style);
    // Paint the parent's surface (and the windowless siblings beneath) behind the button.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);

    const TBitmap& Glyph() const { return glyph_->Glyph(); }
    void SetGlyph(const TBitmap& bitmap) { glyph_->SetGlyph(bitmap); }
    // Loads the glyph from the program's bitmap resource `name`; false, with the glyph
    // kept, when there is no such resource or it is no readable image.
    bool LoadGlyphFromResource(const char* name);
    int NumGlyphs() const { return glyph_->NumGlyphs(); }
    // Below 0 gives 1, above 5 gives 5; 0 leaves the count as it is.
    void SetNumGlyphs(int count);
    bool WordWrap() const { return glyph_->WordWrap; }
    void SetWordWrap(bool wordWrap);
    // The glyph object with its state images.
    TZalButtonGlyph& ButtonGlyph() { return *glyph_; }

    // The caption; a "&" marks the accelerator character.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // The caption's colour.
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    // The tooltip text; the shell shows it while ShowHint is on.
    std::string Hint;
    bool ShowHint = true;
    bool ParentShowHint = false;

    // The stored state: up, down or disabled.
    TZalButtonState State() const { return state_; }
    // The pointer is over the enabled button of the active application.
    bool MouseInControl() const { return hot_; }
    // Whether the repeat timer exists and runs.
    bool RepeatTimerRunning() const { return repeatTimer_ && repeatTimer_->Running(); }
    // Replaces how the repeat timer is made (the platform's interval timer by default).
    void SetRepeatTimerFactory(TRepeatTimerFactory factory);

    // Calls OnClick when assigned.
    virtual void Click();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

protected:
    void WndProc(TMessage& message) override;
    // Paints the button into the off-screen bitmap and copies that onto `canvas`.
    void Paint(TCanvas& canvas) override;
    void Loaded() override;
    void FontChanged() override;
    // Each first raises its event (the default handling).
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DblClick();

private:
    // The look: the state, or inactive for a flat button the pointer is not over.
    TZalButtonState Look() const;
    // Builds the image for the current look ahead of the next paint.
    void PrepareGlyph();
    // hot := enabled, under the pointer and the application active; a flat button shows it.
    void UpdateTracking();
    void PaintParentSurface(TCanvas& canvas);
    // Draws the frame rings of `look` and returns the rectangle inside them.
    TRect DrawFrame(TCanvas& canvas, TRect rect, TZalButtonState look) const;
    bool NewStyle() const { return style_ != bsWin31; }
    // Mouse messages to MouseDown, MouseMove, MouseUp and DblClick.
    void MouseMessage(const TMessage& message);
    void RepeatTick();
    void StopRepeat();
    // Whether `key` is the caption's accelerator character.
    bool IsAccelerator(uint8_t key) const;
    template <class T> void SetAndInvalidate(T& field, T value);

    bool autoRepeat_ = false;
    bool flat_ = false;
    std::unique_ptr<TZalButtonGlyph> glyph_;
    bool grayedInactive_ = true;
    int repeatDelay_ = 500;
    TButtonLayout layout_ = blGlyphTop;
    int margin_ = -1;
    int repeatInterval_ = 100;
    int spacing_ = 1;
    TButtonStyle style_ = bsAutoDetect;
    bool transparent_ = false;
    bool dragging_ = false;
    TBitmap offscreen_;
    bool hot_ = false;
    std::unique_ptr<IZalRepeatTimer> repeatTimer_;
    TRepeatTimerFactory timerFactory_;
    TZalButtonState state_ = bsUp;
    std::string caption_;
    TColor fontColor_;
};

class TZalSpeedButton : public TZalCustomSpeedButton {
public:
    using TZalCustomSpeedButton::TZalCustomSpeedButton;
    const char* ClassName() const override { return "TZalSpeedButton"; }
};
