#include "components/ZalCaret.h"

#include <algorithm>
#include <climits>

#include "platform/Caret.h"
#include "platform/Window.h"

// ---- TZalCaret ----

void TZalCaret::Release() {
    if (refCount_ > 0) --refCount_;
    if (refCount_ == 0) delete this;
}

void TZalCaret::CaretChanged() {
    if (!OnCaretChange) return;
    // The handler (a caret's Rebuild) replaces OnCaretChange while it runs: call a copy.
    const auto handler = OnCaretChange;
    handler(this);
}

void TZalCaret::SetAlign(TZalCaretAlign align) {
    if (align == align_) return;
    align_ = align;
    CaretChanged();
}

void TZalCaret::SetBitmap(const TBitmap* bitmap) {
    // An empty image is a value too: it clears the old one.
    if (!bitmap) return;
    bitmap_ = *bitmap;
    CaretChanged();
}

void TZalCaret::SetBitmapHotSpotX(int32_t x) {
    if (x == hotSpotX_) return;
    hotSpotX_ = x;
    if (shape_ == csBitmap) CaretChanged();
}

void TZalCaret::SetBitmapHotSpotY(int32_t y) {
    if (y == hotSpotY_) return;
    hotSpotY_ = y;
    if (shape_ == csBitmap) CaretChanged();
}

void TZalCaret::SetBlinkTime(uint16_t milliseconds) {
    if (milliseconds == blinkTime_) return;
    blinkTime_ = milliseconds;
    CaretChanged();
}

void TZalCaret::SetCaretHeight(int32_t height) {
    if (height <= 0 || height == caretHeight_) return;
    caretHeight_ = height;
    CaretChanged();
}

void TZalCaret::SetCaretWidth(int32_t width) {
    if (width <= 0 || width == caretWidth_) return;
    caretWidth_ = width;
    CaretChanged();
}

void TZalCaret::SetIsGray(bool gray) {
    if (gray == isGray_) return;
    isGray_ = gray;
    CaretChanged();
}

void TZalCaret::SetShape(TZalCaretShape shape) {
    if (shape == shape_) return;
    shape_ = shape;
    // The fields are written directly so that the change is reported once. Stored values
    // of Align, CaretHeight and CaretWidth are read after Shape, so they win on loading.
    switch (shape) {
    case csBlock:
        align_ = caLeft;
        break;
    case csHalfBlock:
        align_ = caBottom;
        break;
    case csVertLine:
        align_ = caLeft;
        caretWidth_ = 2;
        break;
    case csHorzLine:
        align_ = caBottom;
        caretHeight_ = 2;
        break;
    case csBitmap:
        // Without an image the sizes stay: a caret is never 0 pixels wide or high.
        if (!bitmap_.Empty()) {
            caretHeight_ = bitmap_.Height();
            caretWidth_ = bitmap_.Width();
        }
        break;
    case csCustom:
        break;
    }
    CaretChanged();
}

// ---- TZalSingleCaret ----

// The change callback a single caret gives its description; recognisable, so that only
// our own link is removed when the description is let go.
struct TZalSingleCaret::TRebuildLink {
    TZalSingleCaret* owner;
    void operator()(TPersistent*) const { owner->Rebuild(); }
};

TZalSingleCaret::TZalSingleCaret(TWindow* control) : control_(control) {
    current_ = new TZalCaret;
    current_->AddRef();
    Recompute();
}

TZalSingleCaret::~TZalSingleCaret() {
    SetShowing(false);
    SetAttached(false);
    ReleaseCurrent();
}

void TZalSingleCaret::Connect(TZalCaret& caret) {
    caret.OnCaretChange = TRebuildLink{this};
}

void TZalSingleCaret::Disconnect(TZalCaret& caret) {
    const TRebuildLink* link = caret.OnCaretChange.target<TRebuildLink>();
    if (link && link->owner == this) caret.OnCaretChange = nullptr;
}

void TZalSingleCaret::ReleaseCurrent() {
    if (!current_) return;
    TZalCaret* old = current_;
    current_ = nullptr;
    // A description shared with other holders must not call back into a caret that no
    // longer uses it.
    Disconnect(*old);
    old->Release();
}

bool TZalSingleCaret::WindowExists() const {
    return control_ && control_->HandleAllocated();
}

// After the window was re-created, or while another window holds the thread's caret,
// the caret is not ours to move or destroy.
bool TZalSingleCaret::OwnsSystemCaret() const {
    return WindowExists() && CaretOwner() == control_->Handle();
}

void TZalSingleCaret::SetAttached(bool attached) {
    if (attached == attached_) return;
    const bool wasAttached = attached_;
    attached_ = attached;
    if (!WindowExists()) {
        attached_ = false;
        // The window went away while attached (the platform dropped its caret with it):
        // the blink time this caret set must still be put back.
        if (wasAttached) SetCaretBlinkTime(savedBlinkTime_);
        return;
    }
    if (attached_) {
        savedBlinkTime_ = GetCaretBlinkTime();
        CreateSystemCaret();
        UpdatePosition();
        if (current_ && current_->BlinkTime() != 0 && current_->BlinkTime() != savedBlinkTime_)
            SetCaretBlinkTime(current_->BlinkTime());
    } else {
        SetCaretBlinkTime(savedBlinkTime_);
        if (OwnsSystemCaret()) DestroyCaret();
    }
}

void TZalSingleCaret::SetShowing(bool showing) {
    if (showing == showing_) return;
    showing_ = showing;
    if (!attached_ || !WindowExists()) return;
    if (showing_)
        ShowCaret(control_->Handle());
    else
        HideCaret(control_->Handle());
}

void TZalSingleCaret::SetPosition(TPoint position) {
    if (position.X < 0) position.X = kNoPosition;
    if (position.Y < 0) position.Y = kNoPosition;
    if (position == position_) return;
    position_ = position;
    if (attached_) UpdatePosition();
}

void TZalSingleCaret::SetLineHeight(int32_t pixels) {
    if (pixels <= 0 || pixels == lineHeight_) return;
    lineHeight_ = pixels;
    Rebuild();
}

void TZalSingleCaret::SetCharWidth(int32_t pixels) {
    if (pixels <= 0 || pixels == charWidth_) return;
    charWidth_ = pixels;
    Rebuild();
}

void TZalSingleCaret::SetCurrentCaret(TZalCaret* caret) {
    if (caret == current_) return;
    ReleaseCurrent();
    current_ = caret;
    if (current_) {
        current_->AddRef();
        Connect(*current_);
    }
    Rebuild();
}

void TZalSingleCaret::Recompute() {
    if (!current_) return;
    TZalCaret& caret = *current_;
    // The size writes below must not call back into Rebuild.
    caret.OnCaretChange = nullptr;
    switch (caret.Shape()) {
    case csBlock:
        caret.SetCaretHeight(lineHeight_);
        caret.SetCaretWidth(charWidth_);
        break;
    case csHalfBlock:
        caret.SetCaretHeight(lineHeight_ / 2);
        caret.SetCaretWidth(charWidth_);
        break;
    case csVertLine:
        caret.SetCaretHeight(lineHeight_);
        break;
    case csHorzLine:
        caret.SetCaretWidth(charWidth_);
        break;
    case csCustom:
    case csBitmap:
        break;
    }
    Connect(caret);

    // Integer division truncates toward zero, also for a caret larger than the cell.
    const int32_t h = lineHeight_ - caret.CaretHeight();
    const int32_t w = charWidth_ - caret.CaretWidth();
    TPoint offset;
    switch (caret.Align()) {
    case caLeft:
        offset = {0, h / 2};
        break;
    case caTop:
        offset = {w / 2, 0};
        break;
    case caRight:
        offset = {w, h / 2};
        break;
    case caBottom:
        offset = {w / 2, h};
        break;
    case caCenter:
        offset = {w / 2, h / 2};
        break;
    }
    if (caret.Shape() == csBitmap) {
        offset.X -= caret.BitmapHotSpotX();
        offset.Y -= caret.BitmapHotSpotY();
    }
    if (offset == offset_) return;
    offset_ = offset;
    if (attached_) UpdatePosition();
}

void TZalSingleCaret::Rebuild() {
    const bool wasAttached = attached_;
    SetAttached(false);
    Recompute();
    SetAttached(wasAttached);
}

void TZalSingleCaret::CreateSystemCaret() {
    if (!attached_ || !current_ || !WindowExists()) return;
    const TZalCaret& caret = *current_;
    const HWND window = control_->Handle();
    if (caret.Shape() == csBitmap && !caret.Bitmap().Empty()) {
        CreateCaret(window, TCaretKind::Bitmap, 0, 0, &caret.Bitmap());
    } else {
        // A bitmap caret without an image is drawn solid, as the platform does for a
        // caret created without a bitmap.
        const bool gray = caret.IsGray() && caret.Shape() != csBitmap;
        CreateCaret(window, gray ? TCaretKind::Gray : TCaretKind::Solid, caret.CaretWidth(),
                    caret.CaretHeight());
    }
    if (showing_) ShowCaret(window);
}

namespace {
// A coordinate plus its offset; "no position" stays as it is, so the platform caret is
// parked far outside the client area.
int Place(int32_t coordinate, int32_t offset) {
    if (coordinate == TZalSingleCaret::kNoPosition) return coordinate;
    return int(std::clamp<int64_t>(int64_t(coordinate) + offset, INT32_MIN, INT32_MAX));
}
} // namespace

void TZalSingleCaret::UpdatePosition() {
    if (!OwnsSystemCaret()) return;
    SetCaretPos(Place(position_.X, offset_.X), Place(position_.Y, offset_.Y));
}

// ---- TZalCaretPair ----

TZalCaretPair::TZalCaretPair(TWindow* control) : TZalSingleCaret(control) {
    insertCaret_ = new TZalCaret;
    insertCaret_->AddRef();
    overwriteCaret_ = new TZalCaret;
    overwriteCaret_->AddRef();
    overwriteCaret_->SetShape(csBlock);
    SetCurrentCaret(insertCaret_);
}

TZalCaretPair::~TZalCaretPair() {
    // The current description is also held by the single caret, which lets it go last.
    TZalCaret* ins = insertCaret_;
    TZalCaret* ovr = overwriteCaret_;
    insertCaret_ = overwriteCaret_ = nullptr;
    if (ins) ins->Release();
    if (ovr) ovr->Release();
}

void TZalCaretPair::SetUseInsertCaret(bool useInsert) {
    if (useInsert == useInsertCaret_) return;
    useInsertCaret_ = useInsert;
    SetCurrentCaret(useInsert ? insertCaret_ : overwriteCaret_);
}

void TZalCaretPair::SetInsertCaret(TZalCaret* caret) {
    if (caret == insertCaret_) return;
    if (insertCaret_) insertCaret_->Release();
    insertCaret_ = caret;
    if (insertCaret_) insertCaret_->AddRef();
    if (useInsertCaret_) SetCurrentCaret(insertCaret_);
}

void TZalCaretPair::SetOverwriteCaret(TZalCaret* caret) {
    if (caret == overwriteCaret_) return;
    if (overwriteCaret_) overwriteCaret_->Release();
    overwriteCaret_ = caret;
    if (overwriteCaret_) overwriteCaret_->AddRef();
    if (!useInsertCaret_) SetCurrentCaret(overwriteCaret_);
}
