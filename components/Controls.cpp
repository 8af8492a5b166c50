#include "components/Controls.h"

#include <algorithm>

#include "platform/Application.h"
#include "platform/Keyboard.h"
#include "platform/SysColors.h"
#include "platform/VirtualKeys.h"

// --- TControl ----------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
    Destroying();
    // The platform object is gone by now; only the parent's list still names us.
    if (parent_) std::erase(parent_->controls_, this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    for (TControl* p = parent; p; p = p->parent_)
        if (p == this) throw EComponentError("A control cannot be its own parent");
    if (parent_) std::erase(parent_->controls_, this);
    parent_ = parent;
    if (parent_) parent_->controls_.push_back(this);
    ApplyParent();
    if (parentFont_) FontChanged();
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    ApplyVisible();
    VisibleChanged();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    ApplyEnabled();
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}

const TFontDesc& TControl::Font() const {
    if (parentFont_ && parent_) return parent_->Font();
    return font_;
}

void TControl::SetFont(const TFontDesc& font) {
    const bool changed = parentFont_ || !(font == font_);
    font_ = font;
    parentFont_ = false;
    if (changed) FontChanged();
}

void TControl::SetParentFont(bool parentFont) {
    if (parentFont == parentFont_) return;
    if (!parentFont) font_ = Font(); // keep what it shows
    parentFont_ = parentFont;
    FontChanged();
}

void TControl::FontChanged() {}

void TControl::BringToFront() {
    if (!parent_) return;
    std::erase(parent_->controls_, this);
    parent_->controls_.push_back(this);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage message{msg, wParam, lParam, 0};
    WndProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage& message) {
    DefaultHandler(message);
}

void TControl::DefaultHandler(TMessage& message) {
    message.Result = 0;
}

// --- TWinControl -------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner), window_(*this) {}

TWinControl::~TWinControl() {
    Destroying();
    while (!controls_.empty())
        delete controls_.back();
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return window_.Handle();
}

void TWinControl::HandleNeeded() {
    if (!window_.HandleAllocated()) CreateWnd();
}

void TWinControl::CreateWnd() {
    if (Parent()) Parent()->HandleNeeded();
    if (window_.HandleAllocated()) return; // the parent's creation made ours
    if (!window_.CreateHandle()) return;
    const std::vector<TControl*> children = controls_;
    for (TControl* c : children)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->HandleNeeded();
}

void TWinControl::DestroyHandle() {
    window_.DestroyHandle();
}

void TWinControl::RecreateWnd() {
    if (!HandleAllocated()) return;
    DestroyHandle();
    HandleNeeded();
}

TControl* TWinControl::Controls(int index) const {
    if (index < 0 || index >= ControlCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return controls_[size_t(index)];
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    window_.SetBounds(left, top, width, height);
}

void TWinControl::SetParent(TWinControl* parent) {
    TControl::SetParent(parent);
    // Placed on a parent that is already on screen: it needs its own window now.
    if (parent && parent->HandleAllocated() && !HandleAllocated() && !IsLoading()) HandleNeeded();
}

void TWinControl::ApplyParent() {
    window_.SetParent(Parent() ? &Parent()->window_ : nullptr);
}

void TWinControl::ApplyVisible() {
    window_.SetVisible(Visible());
}

void TWinControl::ApplyEnabled() {
    window_.SetEnabled(Enabled());
}

void TWinControl::BringToFront() {
    TControl::BringToFront();
}

void TWinControl::FontChanged() {
    const std::vector<TControl*> children = controls_;
    for (TControl* c : children)
        if (c->ParentFont()) c->FontChanged();
}

bool TWinControl::Focused() const {
    return window_.HandleAllocated() && GetFocus() == window_.Handle();
}

void TWinControl::SetFocus() {
    ::SetFocus(Handle());
}

void TWinControl::DefaultHandler(TMessage& message) {
    if (window_.HandleAllocated())
        DefWindowProc(window_.Handle(), message);
    else
        message.Result = 0;
}

// --- TCustomControl ----------------------------------------------------------------------

void TCustomControl::WndProc(TMessage& message) {
    if (message.Msg == WM_PAINT) {
        // Outside the window's own paint, a canvas in WParam asks for a copy of the
        // surface (a transparent child paints its parent behind itself).
        TPaintStruct paint;
        TCanvas* own = HandleAllocated() ? BeginPaint(Handle(), paint) : nullptr;
        if (TCanvas* canvas = own ? own : MessageCanvas(message)) Paint(*canvas);
        if (own) EndPaint(Handle(), paint);
        message.Result = 0;
        return;
    }
    TWinControl::WndProc(message);
}

// --- TGraphicControl ---------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), graphic_(*this) {}

TGraphicControl::~TGraphicControl() {
    Destroying();
}

void TGraphicControl::SetBounds(int left, int top, int width, int height) {
    graphic_.SetBounds(left, top, width, height);
}

void TGraphicControl::ApplyParent() {
    graphic_.SetParent(Parent() ? &Parent()->Window() : nullptr);
}

void TGraphicControl::ApplyVisible() {
    graphic_.SetVisible(Visible());
}

void TGraphicControl::ApplyEnabled() {
    graphic_.SetEnabled(Enabled());
}

void TGraphicControl::BringToFront() {
    TControl::BringToFront();
    if (TWindow* parent = graphic_.Parent()) {
        // Re-joining the parent puts it on top of the other windowless controls.
        graphic_.SetParent(nullptr);
        graphic_.SetParent(parent);
    }
}

void TGraphicControl::WndProc(TMessage& message) {
    if (message.Msg == WM_PAINT) {
        if (TCanvas* canvas = MessageCanvas(message)) Paint(*canvas);
        message.Result = 0;
        return;
    }
    TControl::WndProc(message);
}

// --- forms -------------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {}

// The form goes first into the destroying state, so that its components know while the
// controls are being freed.
TCustomForm::~TCustomForm() {
    Destroying();
}

TCustomForm* GetParentForm(TControl* control) {
    for (TControl* c = control; c; c = c->Parent())
        if (auto* form = dynamic_cast<TCustomForm*>(c)) return form;
    return nullptr;
}

TWinControl* FindControl(HWND window) {
    TWindow* w = FindWindowObject(window);
    return w ? dynamic_cast<TWinControl*>(&w->Handler()) : nullptr;
}

TShiftState KeysToShiftState(uint16_t keys) {
    TShiftState shift = 0;
    if (keys & MK_SHIFT) shift |= ssShift;
    if (keys & MK_CONTROL) shift |= ssCtrl;
    if (keys & MK_LBUTTON) shift |= ssLeft;
    if (keys & MK_RBUTTON) shift |= ssRight;
    if (keys & MK_MBUTTON) shift |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    return shift;
}

// --- labels ------------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {}

TCustomLabel::~TCustomLabel() {
    Destroying();
}

void TCustomLabel::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool autoSize) {
    if (autoSize == autoSize_) return;
    autoSize_ = autoSize;
    AdjustBounds();
}

void TCustomLabel::SetTransparent(bool transparent) {
    if (transparent == transparent_) return;
    transparent_ = transparent;
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
    if (control == focusControl_) return;
    if (focusControl_) RemoveFreeNotification(focusControl_);
    focusControl_ = control;
    if (control) FreeNotification(control);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::FontChanged() {
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::AdjustBounds() {
    // Measuring needs the window system's fonts.
    if (!autoSize_ || IsLoading() || IsDestroying() || !ApplicationRunning()) return;
    auto canvas = TCanvas::CreateMeasuring();
    canvas->SelectFont(Font());
    const TSize extent = canvas->TextExtent(caption_);
    const int height = std::max(extent.Height, canvas->GetTextMetrics().Height);
    SetBounds(Left(), Top(), extent.Width, height);
}

void TCustomLabel::Paint(TCanvas& canvas) {
    TRect rect{0, 0, Width(), Height()};
    if (!transparent_) canvas.FillRect(rect, GetSysColor(COLOR_BTNFACE));
    canvas.SelectFont(Font());
    canvas.SetBkMode(TRANSPARENT);
    canvas.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    canvas.DrawText(caption_, rect, DT_LEFT | DT_NOPREFIX);
}
