#include "components/ZalSpeed.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "components/ZalColor.h"
#include "platform/Input.h"
#include "platform/IntervalTimer.h"
#include "platform/SysColors.h"
#include "platform/TextServices.h"

namespace {
constexpr TColor kNavy = RGB(0, 0, 128);
constexpr TColor kDisabledText = RGB(128, 128, 128);

// One frame ring: top and left sides in one colour, bottom and right in the other (the
// top-right and bottom-left corners take the second). Returns the rectangle inside it.
TRect FrameRing(TCanvas& canvas, const TRect& r, TColor topLeft, TColor bottomRight) {
    canvas.FillRect(TRect{r.Left, r.Top, r.Right - 1, r.Top + 1}, topLeft);
    canvas.FillRect(TRect{r.Left, r.Top, r.Left + 1, r.Bottom - 1}, topLeft);
    canvas.FillRect(TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
    canvas.FillRect(TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
    return TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}

// The platform's interval timer behind the button's repeat timer.
class TPlatformRepeatTimer : public IZalRepeatTimer {
public:
    void SetHandler(std::function<void()> handler) override {
        timer_.SetHandler(std::move(handler));
    }
    void SetInterval(unsigned milliseconds) override { timer_.SetInterval(milliseconds); }
    void Start() override { timer_.Start(); }
    void Stop() override { timer_.Stop(); }
    bool Running() const override { return timer_.Running(); }

private:
    TIntervalTimer timer_;
};

unsigned Milliseconds(int value) {
    return value < 0 ? 0u : unsigned(value);
}
} // namespace

void DrawTransparentImage(TCanvas& canvas, int x, int y, const TBitmap& image, TColor transparent) {
    if (image.Empty()) return;
    if (transparent == clNone) {
        canvas.Draw(x, y, image);
        return;
    }
    const TColor key =
        transparent == clDefault ? image.TransparentColor() : ColorToRGB(transparent);
    canvas.DrawTransparent(x, y, image, key);
}

// --- TZalButtonGlyph ----------------------------------------------------------------------

TZalButtonGlyph::TZalButtonGlyph() = default;
TZalButtonGlyph::~TZalButtonGlyph() = default;

void TZalButtonGlyph::SetGlyph(const TBitmap& bitmap) {
    ClearCache();
    glyph_ = bitmap;
    if (glyph_.Height() > 0) {
        transparentColor_ = glyph_.TransparentColor();
        if (glyph_.Width() % glyph_.Height() == 0) {
            const int count = glyph_.Width() / glyph_.Height();
            numGlyphs_ = count <= 4 ? count : 1;
        }
    }
    if (OnChange) OnChange();
}

void TZalButtonGlyph::SetNumGlyphs(int count) {
    if (count < 1 || count > kMaxGlyphs || count == numGlyphs_) return;
    numGlyphs_ = count;
    ClearCache();
}

void TZalButtonGlyph::ClearCache() {
    images_.clear();
    cache_.fill(-1);
}

int TZalButtonGlyph::GlyphWidth() const {
    return glyph_.Empty() ? 0 : glyph_.Width() / numGlyphs_;
}

const TBitmap& TZalButtonGlyph::StateImage(TZalButtonState state) {
    int& index = cache_[state & 3];
    if (index < 0) {
        images_.push_back(std::make_unique<TBitmap>(BuildImage(state)));
        index = static_cast<int>(images_.size()) - 1;
    }
    return *images_[size_t(index)];
}

TBitmap TZalButtonGlyph::BuildImage(TZalButtonState state) const {
    const int w = GlyphWidth(), h = glyph_.Height();
    TBitmap image(w, h);
    if (w <= 0 || h <= 0) return image;
    image.Canvas().FillRect(TRect{0, 0, w, h}, clBtnFace);
    auto copy = [&](int k) { image.Canvas().BitBlt(0, 0, w, h, glyph_, k * w, 0); };
    switch (state) {
    case bsUp:
        copy(0);
        break;
    case bsDown:
        copy(numGlyphs_ >= 3 ? 1 : 0);
        break;
    case bsInactive: {
        if (numGlyphs_ == 5) {
            copy(2);
            break;
        }
        copy(0);
        const TColor shadow = ColorToRGB(clBtnShadow), face = ColorToRGB(clBtnFace);
        const TColor transparent = ColorToRGB(transparentColor_);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const TColor c = image.Pixel(x, y);
                if (c == clBlack || c == clWhite || c == transparent) continue;
                if (c == kNavy)
                    image.SetPixel(x, y, clBlack);
                else
                    image.SetPixel(
                        x, y, GetRValue(c) + GetGValue(c) + GetBValue(c) <= 384 ? shadow : face);
            }
        break;
    }
    case bsDisabled: {
        if (numGlyphs_ >= 2) {
            copy(numGlyphs_ >= 4 ? 3 : 0);
            break;
        }
        // Embossed: the black pixels of the glyph in highlight one pixel down-right, then
        // in shadow in place, on the button face.
        const TBitmap mask = glyph_.MaskOf(clBlack);
        const TColor highlight = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
        for (int pass = 0; pass < 2; ++pass)
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (mask.Pixel(x, y) == clWhite)
                        image.SetPixel(x + 1 - pass, y + 1 - pass, pass == 0 ? highlight : shadow);
        break;
    }
    }
    return image;
}

TButtonLayoutResult TZalButtonGlyph::Layout(TCanvas& canvas, const TRect& client,
                                            const std::string& caption, TButtonLayout layout,
                                            int margin, int spacing) const {
    TPoint clientSize{client.Width(), client.Height()};
    TPoint glyphSize{GlyphWidth(), glyph_.Empty() ? 0 : glyph_.Height()};
    TPoint textSize{0, 0};
    if (!caption.empty()) {
        TRect bounds{0, 0, clientSize.X, 0};
        canvas.DrawText(caption.substr(0, kMaxCaption), bounds,
                        DT_CALCRECT | DT_CENTER | (WordWrap ? DT_WORDBREAK : 0));
        textSize = TPoint{bounds.Width(), bounds.Height()};
    }

    // Along: the layout axis (x for left and right, y for top and bottom); across: the other.
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    auto along = [horizontal](TPoint& p) -> int& { return horizontal ? p.X : p.Y; };
    auto across = [horizontal](TPoint& p) -> int& { return horizontal ? p.Y : p.X; };
    TPoint glyphPos{0, 0}, textPos{0, 0};
    across(glyphPos) = across(clientSize) / 2 - across(glyphSize) / 2;
    across(textPos) = across(clientSize) / 2 - across(textSize) / 2;
    if (textSize.X == 0 || glyphSize.X == 0) spacing = 0;

    const int client1 = along(clientSize), glyph1 = along(glyphSize), text1 = along(textSize);
    if (margin == -1 && spacing == -1) {
        margin = (client1 - (glyph1 + text1)) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = client1 / 2 - (glyph1 + spacing + text1) / 2;
    } else if (spacing == -1) {
        spacing = (client1 - (margin + glyph1)) / 2 - text1 / 2;
    }
    if (layout == blGlyphLeft || layout == blGlyphTop) {
        along(glyphPos) = margin;
        along(textPos) = margin + glyph1 + spacing;
    } else {
        along(glyphPos) = client1 - margin - glyph1;
        along(textPos) = along(glyphPos) - spacing - text1;
    }

    TButtonLayoutResult result;
    result.GlyphPos = TPoint{glyphPos.X + client.Left, glyphPos.Y + client.Top};
    const int textLeft = textPos.X + client.Left, textTop = textPos.Y + client.Top;
    result.TextBounds = TRect{textLeft, textTop, textLeft + textSize.X, textTop + textSize.Y};
    return result;
}

TRect TZalButtonGlyph::Draw(TCanvas& canvas, const TRect& client, const std::string& caption,
                            TButtonLayout layout, int margin, int spacing, TZalButtonState state,
                            TColor fontColor) {
    const TButtonLayoutResult placed = Layout(canvas, client, caption, layout, margin, spacing);
    if (GlyphWidth() > 0) {
        // A disabled image embossed from a one-image strip stands on the button face.
        const TColor transparent =
            state == bsDisabled && numGlyphs_ == 1 ? clBtnFace : transparentColor_;
        DrawTransparentImage(canvas, placed.GlyphPos.X, placed.GlyphPos.Y, StateImage(state),
                             transparent);
    }
    DrawCaption(canvas, caption, placed.TextBounds, state, fontColor);
    return placed.TextBounds;
}

void TZalButtonGlyph::DrawCaption(TCanvas& canvas, const std::string& caption, TRect bounds,
                                  TZalButtonState state, TColor fontColor) const {
    if (caption.empty()) return;
    const std::string text = caption.substr(0, kMaxCaption);
    const UINT format = DT_CENTER | DT_VCENTER | (WordWrap ? DT_WORDBREAK : 0);
    canvas.SetBkMode(TRANSPARENT);
    if (state == bsDisabled) {
        TRect shifted = OffsetRect(bounds, 1, 1);
        canvas.SetTextColor(clWhite);
        canvas.DrawText(text, shifted, format);
        canvas.SetTextColor(kDisabledText);
    } else {
        canvas.SetTextColor(fontColor);
    }
    canvas.DrawText(text, bounds, format);
}

// --- TZalCustomSpeedButton ----------------------------------------------------------------

TZalCustomSpeedButton::TZalCustomSpeedButton(TComponent* owner)
    : TZalGraphicControl(owner), glyph_(std::make_unique<TZalButtonGlyph>()),
      fontColor_(clWindowText) {
    SetBounds(0, 0, 25, 25);
    glyph_->OnChange = [this] { Invalidate(); };
    timerFactory_ = [] { return std::make_unique<TPlatformRepeatTimer>(); };
}

TZalCustomSpeedButton::~TZalCustomSpeedButton() {
    Destroying();
    repeatTimer_.reset();
}

template <class T> void TZalCustomSpeedButton::SetAndInvalidate(T& field, T value) {
    if (field == value) return;
    field = value;
    Invalidate();
}

void TZalCustomSpeedButton::SetAutoRepeat(bool autoRepeat) {
    SetAndInvalidate(autoRepeat_, autoRepeat);
    if (!autoRepeat) repeatTimer_.reset();
}

void TZalCustomSpeedButton::SetFlat(bool flat) {
    SetAndInvalidate(flat_, flat);
}
void TZalCustomSpeedButton::SetGrayedInactive(bool grayed) {
    SetAndInvalidate(grayedInactive_, grayed);
}
void TZalCustomSpeedButton::SetLayout(TButtonLayout layout) {
    SetAndInvalidate(layout_, layout);
}
void TZalCustomSpeedButton::SetSpacing(int spacing) {
    SetAndInvalidate(spacing_, spacing);
}
void TZalCustomSpeedButton::SetStyle(TButtonStyle style) {
    SetAndInvalidate(style_, style);
}
void TZalCustomSpeedButton::SetTransparent(bool transparent) {
    SetAndInvalidate(transparent_, transparent);
}
void TZalCustomSpeedButton::SetCaption(const std::string& caption) {
    SetAndInvalidate(caption_, caption);
}
void TZalCustomSpeedButton::SetFontColor(TColor color) {
    SetAndInvalidate(fontColor_, color);
}

void TZalCustomSpeedButton::SetMargin(int margin) {
    if (margin >= -1) SetAndInvalidate(margin_, margin);
}

void TZalCustomSpeedButton::SetNumGlyphs(int count) {
    if (count < 0) count = 1;
    count = std::min(count, TZalButtonGlyph::kMaxGlyphs);
    if (count == 0 || count == glyph_->NumGlyphs()) return;
    glyph_->SetNumGlyphs(count);
    Invalidate();
}

void TZalCustomSpeedButton::SetWordWrap(bool wordWrap) {
    if (wordWrap == glyph_->WordWrap) return;
    glyph_->WordWrap = wordWrap;
    Invalidate();
}

bool TZalCustomSpeedButton::LoadGlyphFromResource(const char* name) {
    TBitmap bitmap;
    if (!bitmap.LoadFromResourceName(name)) return false;
    SetGlyph(bitmap);
    return true;
}

void TZalCustomSpeedButton::SetRepeatTimerFactory(TRepeatTimerFactory factory) {
    repeatTimer_.reset();
    timerFactory_ = std::move(factory);
}

void TZalCustomSpeedButton::Click() {
    if (OnClick) OnClick(this);
}

void TZalCustomSpeedButton::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

// --- state and tracking ---

TZalButtonState TZalCustomSpeedButton::Look() const {
    if (flat_ && !hot_ && !IsDesigning()) return bsInactive;
    return state_;
}

void TZalCustomSpeedButton::PrepareGlyph() {
    const TZalButtonState look = !Enabled() ? bsDisabled : flat_ ? bsInactive : bsUp;
    glyph_->StateImage(look);
}

void TZalCustomSpeedButton::UpdateTracking() {
    const bool hot = Enabled() && Graphic().MouseInside() && ApplicationIsActive();
    if (hot == hot_) return;
    hot_ = hot;
    if (!flat_) return;
    if (hot_)
        Graphic().Repaint();
    else
        Invalidate();
}

void TZalCustomSpeedButton::Loaded() {
    TZalGraphicControl::Loaded();
    PrepareGlyph();
}

void TZalCustomSpeedButton::FontChanged() {
    TZalGraphicControl::FontChanged();
    Invalidate();
}

bool TZalCustomSpeedButton::IsAccelerator(uint8_t key) const {
    for (size_t i = 0; i + 1 < caption_.size(); ++i) {
        if (caption_[i] != '&') continue;
        if (caption_[i + 1] == '&') { // "&&" is a plain ampersand
            ++i;
            continue;
        }
        return CharUpper1252(uint8_t(caption_[i + 1])) == CharUpper1252(key);
    }
    return false;
}

// --- messages ---

void TZalCustomSpeedButton::WndProc(TMessage& message) {
    if (message.Msg >= WM_MOUSEMOVE && message.Msg <= WM_MBUTTONDBLCLK) {
        MouseMessage(message);
        return;
    }
    switch (message.Msg) {
    case CM_ENABLEDCHANGED:
        PrepareGlyph();
        UpdateTracking();
        Graphic().Repaint();
        return;
    case CM_MOUSEENTER:
        if (!hot_ && Enabled() && ApplicationIsActive()) {
            hot_ = true;
            if (flat_) Graphic().Repaint();
        }
        return;
    case CM_MOUSELEAVE:
        if (hot_ && Enabled()) {
            hot_ = false;
            if (flat_) Invalidate();
        }
        return;
    case WM_SYSCOLORCHANGE:
        glyph_->ClearCache();
        Invalidate();
        return;
    case CM_DIALOGCHAR:
        if (Enabled() && IsAccelerator(uint8_t(message.WParam))) {
            Click();
            message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TZalGraphicControl::WndProc(message);
}

void TZalCustomSpeedButton::MouseMessage(const TMessage& message) {
    const int x = GetXLParam(message.LParam), y = GetYLParam(message.LParam);
    const TShiftState shift = KeysToShiftState(uint16_t(message.WParam));
    switch (message.Msg) {
    case WM_MOUSEMOVE:
        MouseMove(shift, x, y);
        break;
    case WM_LBUTTONDOWN:
        MouseDown(mbLeft, shift, x, y);
        break;
    case WM_RBUTTONDOWN:
        MouseDown(mbRight, shift, x, y);
        UpdateTracking();
        break;
    case WM_MBUTTONDOWN:
        MouseDown(mbMiddle, shift, x, y);
        break;
    case WM_LBUTTONDBLCLK:
        MouseDown(mbLeft, shift | ssDouble, x, y);
        if (state_ == bsDown) DblClick();
        break;
    case WM_RBUTTONDBLCLK:
        MouseDown(mbRight, shift | ssDouble, x, y);
        break;
    case WM_MBUTTONDBLCLK:
        MouseDown(mbMiddle, shift | ssDouble, x, y);
        break;
    case WM_LBUTTONUP:
        MouseUp(mbLeft, shift, x, y);
        break;
    // Only the left button clicks: another button's release raises its event alone.
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (OnMouseUp)
            OnMouseUp(this, message.Msg == WM_RBUTTONUP ? mbRight : mbMiddle, shift, x, y);
        UpdateTracking();
        break;
    default:
        break;
    }
}

void TZalCustomSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
    if (!hot_ && Enabled()) {
        hot_ = true;
        Graphic().Repaint();
    }
    if (button != mbLeft || !Enabled()) return;
    if (state_ != bsDown) {
        state_ = bsDown;
        dragging_ = true;
        Graphic().Repaint();
    }
    if (autoRepeat_) {
        if (!repeatTimer_) {
            repeatTimer_ = timerFactory_();
            repeatTimer_->SetHandler([this] {
                try {
                    RepeatTick();
                } catch (...) {
                    HandleApplicationException(std::current_exception());
                }
            });
        }
        repeatTimer_->SetInterval(Milliseconds(repeatDelay_));
        repeatTimer_->Start();
    }
}

void TZalCustomSpeedButton::RepeatTick() {
    repeatTimer_->SetInterval(Milliseconds(repeatInterval_));
    if (state_ != bsDown || !Graphic().MouseCaptured()) return;
    try {
        Click();
    } catch (...) {
        StopRepeat();
        throw;
    }
}

void TZalCustomSpeedButton::StopRepeat() {
    if (repeatTimer_) repeatTimer_->Stop();
}

void TZalCustomSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
    UpdateTracking();
    if (hot_ && dragging_ && state_ != bsDown) {
        state_ = bsDown;
        Graphic().Repaint();
    } else if (state_ == bsDown && !hot_) {
        state_ = bsUp;
        Graphic().Repaint();
    }
}

void TZalCustomSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
    // Only a release that ends a press on the button clicks.
    const bool pressed = dragging_;
    state_ = bsUp;
    dragging_ = false;
    Graphic().Repaint();
    UpdateTracking();
    // The timer stops first: the click may fail or free the button.
    StopRepeat();
    if (hot_ && pressed) Click();
}

// --- painting ---

void TZalCustomSpeedButton::Paint(TCanvas& canvas) {
    if (!Enabled())
        state_ = bsDisabled;
    else if (state_ == bsDisabled)
        state_ = bsUp;
    const TZalButtonState look = Look();

    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0) return;
    offscreen_.SetSize(w, h);
    TCanvas& c = offscreen_.Canvas();
    c.SelectFont(Font());
    TRect rect{0, 0, w, h};
    c.FillRect(rect, clBtnFace);
    if (transparent_) PaintParentSurface(c);
    if (look != bsInactive) rect = DrawFrame(c, rect, look);
    if (state_ == bsDown) rect = OffsetRect(rect, 1, 1);
    const TZalButtonState glyphState = state_ == bsDisabled || !grayedInactive_ ? state_ : look;
    glyph_->Draw(c, rect, caption_, layout_, margin_, spacing_, glyphState, fontColor_);
    canvas.Draw(0, 0, offscreen_);
}

void TZalCustomSpeedButton::PaintParentSurface(TCanvas& canvas) {
    TWinControl* parent = Parent();
    if (!parent) return;
    const TRect mine = BoundsRect();
    canvas.Save();
    canvas.OffsetOrigin(-mine.Left, -mine.Top);
    canvas.IntersectClipRect(parent->ClientRect());
    parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&canvas));
    parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&canvas));
    canvas.Restore();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* sibling = parent->Controls(i);
        if (sibling == this) break;
        if (!dynamic_cast<TGraphicControl*>(sibling) || !sibling->Visible()) continue;
        const TRect theirs = sibling->BoundsRect();
        if (Intersect(theirs, mine).IsEmpty()) continue;
        canvas.Save();
        canvas.OffsetOrigin(theirs.Left - mine.Left, theirs.Top - mine.Top);
        canvas.IntersectClipRect(TRect{0, 0, theirs.Width(), theirs.Height()});
        sibling->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&canvas));
        canvas.Restore();
    }
}

TRect TZalCustomSpeedButton::DrawFrame(TCanvas& c, TRect r, TZalButtonState look) const {
    const TColor frame = clWindowFrame, highlight = clBtnHighlight, shadow = clBtnShadow,
                 face = clBtnFace;
    if (look == bsDown) {
        if (NewStyle()) {
            r = FrameRing(c, r, frame, highlight);
            if (!flat_) r = FrameRing(c, r, shadow, face);
        } else if (flat_) {
            r = FrameRing(c, r, frame, highlight);
        } else {
            r = FrameRing(c, r, frame, frame);
            c.FillRect(TRect{r.Left, r.Top, r.Left + 1, r.Bottom}, shadow);
            c.FillRect(TRect{r.Left, r.Top, r.Right, r.Top + 1}, shadow);
        }
    } else if (NewStyle()) {
        if (flat_) {
            r = FrameRing(c, r, highlight, shadow);
        } else {
            r = FrameRing(c, r, highlight, frame);
            r = FrameRing(c, r, face, shadow);
        }
    } else if (flat_) {
        r = FrameRing(c, r, highlight, frame);
    } else {
        r = FrameRing(c, r, frame, frame);
        r = FrameRing(c, r, highlight, shadow);
    }
    return TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}
