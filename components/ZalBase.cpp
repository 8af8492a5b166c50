#include "components/ZalBase.h"

#include <ctime>

#include "components/ZalExcpt.h"
#include "components/ZalSrMgr.h"

namespace {
bool OwnsComponent(const TComponent& owner, const TComponent* component) {
    for (int i = 0; i < owner.ComponentCount(); ++i)
        if (owner.Components(i) == component) return true;
    return false;
}

int32_t CurrentYear() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}
} // namespace

// --- TZalLabelInfo -----------------------------------------------------------------------

void TZalLabelInfo::Assign(const TPersistent* source) {
    if (auto* info = dynamic_cast<const TZalLabelInfo*>(source)) {
        SetOffsets(info->offsetX_, info->offsetY_);
        SetVisible(info->visible_);
        return;
    }
    TPersistent::Assign(source);
}

void TZalLabelInfo::SetOffsetX(int32_t x) {
    SetOffsets(x, offsetY_);
}

void TZalLabelInfo::SetOffsetY(int32_t y) {
    SetOffsets(offsetX_, y);
}

void TZalLabelInfo::SetOffsets(int32_t x, int32_t y) {
    if (x == offsetX_ && y == offsetY_) return;
    offsetX_ = x;
    offsetY_ = y;
    if (OnOffsetChange) OnOffsetChange();
}

void TZalLabelInfo::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (OnVisibleChange) OnVisibleChange(visible);
}

// --- TZalCustomControl -------------------------------------------------------------------

TZalCustomControl::TZalCustomControl(TComponent* owner)
    : TCustomControl(owner), labelInfo_(std::make_unique<TZalLabelInfo>()) {
    labelInfo_->OnOffsetChange = [this] { PlaceLabel(); };
    labelInfo_->OnVisibleChange = [this](bool visible) { LabelVisibilityChanged(visible); };
}

TZalCustomControl::~TZalCustomControl() {
    labelInfo_->SetVisible(false);
    RemoveLabel(); // one adopted but not yet recorded as visible
    labelInfo_->OnOffsetChange = nullptr;
    labelInfo_->OnVisibleChange = nullptr;
}

void TZalCustomControl::SetLabelBelow(bool below) {
    if (below == labelBelow_) return;
    labelBelow_ = below;
    PlaceLabel();
}

TZalAttachedLabel* TZalCustomControl::AttachedLabel() const {
    if (!labelInfo_->visible_) throw Exception(LibraryMessage(zmsg::LabelNotAttached));
    return labelInfo_->label_;
}

void TZalCustomControl::SetBounds(int left, int top, int width, int height) {
    TCustomControl::SetBounds(left, top, width, height);
    if (HandleAllocated()) PostMessage(Handle(), ZM_PLACELABEL);
}

void TZalCustomControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_SETFOCUS:
        TCustomControl::WndProc(message);
        if (HandleAllocated()) PostMessage(Handle(), ZM_AFTERENTER);
        return;
    case WM_KILLFOCUS:
        TCustomControl::WndProc(message);
        if (HandleAllocated()) PostMessage(Handle(), ZM_AFTEREXIT);
        return;
    case ZM_AFTERENTER:
        if (AfterEnter) AfterEnter(this);
        message.Result = 0;
        return;
    case ZM_AFTEREXIT:
        if (AfterExit) AfterExit(this);
        message.Result = 0;
        return;
    case WM_MOUSEWHEEL:
        DoOnMouseWheel(KeysToShiftState(LoWord(message.WParam)), HiWord(message.WParam),
                       LoWord(static_cast<uintptr_t>(message.LParam)),
                       HiWord(static_cast<uintptr_t>(message.LParam)));
        message.Result = 0;
        return;
    case ZM_PLACELABEL:
        LabelMoved();
        message.Result = 0;
        return;
    case ZM_RECORDLABELOFFSET:
        RecordLabelOffsets();
        message.Result = 0;
        return;
    case ZM_ASSIGNLABEL:
        if (auto* label = reinterpret_cast<TZalAttachedLabel*>(message.LParam)) {
            labelInfo_->label_ = label;
            label->FreeNotification(this);
        }
        message.Result = 0;
        return;
    default:
        TCustomControl::WndProc(message);
    }
}

void TZalCustomControl::DoOnMouseWheel(TShiftState shift, uint16_t delta, uint16_t xPos,
                                       uint16_t yPos) {
    if (OnMouseWheel) OnMouseWheel(this, shift, delta, xPos, yPos);
}

void TZalCustomControl::VisibleChanged() {
    TCustomControl::VisibleChanged();
    if (!IsLoading() && labelInfo_->visible_ && labelInfo_->label_)
        labelInfo_->label_->SetVisible(Visible());
}

void TZalCustomControl::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation != opRemove || !component || component != labelInfo_->label_) return;
    // The reference goes in any case: the label no longer exists.
    labelInfo_->label_ = nullptr;
    TCustomForm* form = GetParentForm(this);
    if (!(form && form->IsDestroying())) labelInfo_->visible_ = false;
}

void TZalCustomControl::LabelVisibilityChanged(bool visible) {
    if (!visible) {
        RemoveLabel();
        return;
    }
    if (!IsLoading() && GetParentForm(this)) CreateLabel();
}

void TZalCustomControl::CreateLabel() {
    TCustomForm* form = GetParentForm(this);
    RemoveLabel();
    auto* label = NewComponent<TZalAttachedLabel>(form, this);
    labelInfo_->label_ = label;
    try {
        label->SetParent(Parent());
        const std::string name = form->UniqueName(Name() + "Label");
        label->SetName(name);
        label->SetCaption(name);
    } catch (...) {
        RemoveLabel();
        labelInfo_->visible_ = false;
        throw;
    }
    labelInfo_->offsetX_ = 0;
    labelInfo_->offsetY_ = 0;
    PlaceLabel();
    label->BringToFront();
    label->SetAutoSize(false);
}

void TZalCustomControl::RemoveLabel() {
    if (TZalAttachedLabel* label = std::exchange(labelInfo_->label_, nullptr)) delete label;
}

void TZalCustomControl::PlaceLabel() {
    TZalAttachedLabel* label = labelInfo_->label_;
    if (IsLoading() || !labelInfo_->visible_ || !label || !label->Parent()) return;
    const int left = Left() + labelInfo_->offsetX_;
    const int top = labelBelow_ ? Top() + Height() + labelInfo_->offsetY_
                                : Top() + labelInfo_->offsetY_ - label->Height();
    label->SetBounds(left, top, label->Width(), label->Height());
}

void TZalCustomControl::LabelOffsets(int32_t& x, int32_t& y) const {
    const TZalAttachedLabel* label = labelInfo_->label_;
    x = label->Left() - Left();
    y = labelBelow_ ? label->Top() - Top() - Height() : label->Top() + label->Height() - Top();
}

void TZalCustomControl::RecordLabelOffsets() {
    TZalAttachedLabel* label = labelInfo_->label_;
    if (!label || !label->Parent()) return;
    labelInfo_->visible_ = true;
    int32_t x = 0, y = 0;
    LabelOffsets(x, y);
    labelInfo_->SetOffsets(x, y);
}

void TZalCustomControl::LabelMoved() {
    TZalAttachedLabel* label = labelInfo_->label_;
    if (!labelInfo_->visible_ || !label || !label->Parent() || IsLoading()) return;
    int32_t x = 0, y = 0;
    LabelOffsets(x, y);
    if (x != labelInfo_->offsetX_ || y != labelInfo_->offsetY_) PlaceLabel();
}

// --- TZalCustomControlEx -----------------------------------------------------------------

void TZalCustomControlEx::SetController(TZalController* controller) {
    if (controller == controller_) return;
    if (controller_) RemoveFreeNotification(controller_);
    controller_ = controller;
    if (controller_) FreeNotification(controller_);
}

void TZalCustomControlEx::CreateWnd() {
    TCustomForm* form = GetParentForm(this);
    if (IsDesigning() && !IsLoading() && !controller_ && form) {
        if (auto* found = form->FindFirstComponent<TZalController>()) {
            SetController(found);
        } else {
            auto* created = NewComponent<TZalController>(form);
            try {
                created->SetName("ZalController1");
            } catch (...) {
                delete created; // its removal clears the binding its insertion made
                throw;
            }
            SetController(created);
        }
    }
    if (!IsLoading() && !controller_) {
        if (form) SetController(form->FindFirstComponent<TZalController>());
        if (!controller_ && !IsDesigning()) throw ENoControllerAssigned();
    }
    TZalCustomControl::CreateWnd();
}

void TZalCustomControlEx::Notification(TComponent* component, TOperation operation) {
    TZalCustomControl::Notification(component, operation);
    if (operation == opRemove && component && component == controller_) {
        controller_ = nullptr;
    } else if (operation == opInsert && !controller_) {
        if (auto* controller = dynamic_cast<TZalController*>(component)) SetController(controller);
    }
}

// --- TZalAttachedLabel -------------------------------------------------------------------

TZalAttachedLabel::TZalAttachedLabel(TComponent* owner, TZalCustomControl* control)
    : TLabel(owner), control_(control) {
    SetAutoSize(true);
    SetParentFont(true);
    SetTransparent(false);
    SetFocusControl(control);
    if (control) FreeNotification(control);
}

TZalAttachedLabel::~TZalAttachedLabel() {
    Destroying();
}

void TZalAttachedLabel::SetBounds(int left, int top, int width, int height) {
    const TRect before = BoundsRect();
    TLabel::SetBounds(left, top, width, height);
    if (BoundsRect() != before) AdjustControl();
}

void TZalAttachedLabel::Loaded() {
    TLabel::Loaded();
    AdjustControl();
}

void TZalAttachedLabel::Notification(TComponent* component, TOperation operation) {
    TLabel::Notification(component, operation);
    if (operation == opRemove && component && component == control_) control_ = nullptr;
}

void TZalAttachedLabel::AdjustControl() {
    if (!control_ || IsLoading() || IsDestroying()) return;
    TCustomForm* form = GetParentForm(this);
    if (!form) form = dynamic_cast<TCustomForm*>(Owner());
    if (!form || !OwnsComponent(*form, control_)) return;
    // Without a window the control is told nothing; creating one here would be a side
    // effect of moving a label.
    if (!control_->HandleAllocated()) return;
    SendMessage(control_->Handle(), ZM_ASSIGNLABEL, 0, reinterpret_cast<LPARAM>(this));
    PostMessage(control_->Handle(), ZM_RECORDLABELOFFSET);
}

// --- TZalController ----------------------------------------------------------------------

TZalController::TZalController(TComponent* owner)
    : TZalComponent(owner), entryCommands_(std::make_unique<TZalCommandProcessor>()),
      epoch_(CenturyOf(CurrentYear())) {
    timerPool_ = NewComponent<TZalTimerPool>(this);
    timerPool_->OnAllTriggers = [this](TComponent* sender, int32_t handle, uint32_t interval,
                                       int32_t elapsed) {
        if (OnTimerTrigger) OnTimerTrigger(sender, handle, interval, elapsed);
    };
}

TZalController::~TZalController() {
    entryCommands_.reset();
    delete timerPool_;
    timerPool_ = nullptr;
}

int32_t TZalController::CenturyOf(int32_t year) {
    return year - ((year % 100) + 100) % 100;
}

int32_t TZalController::Epoch() const {
    int32_t epoch = epoch_;
    if (OnGetEpoch) OnGetEpoch(const_cast<TZalController*>(this), epoch);
    return epoch;
}

void TZalController::SetEpoch(int32_t epoch) {
    if (epoch == epoch_ || epoch < kMinEpoch || epoch > kMaxEpoch) return;
    epoch_ = epoch;
}

bool TZalController::IsSpecialControl(HWND window) {
    bool special = false;
    if (OnIsSpecialControl) OnIsSpecialControl(this, FindControl(window), special);
    return special;
}

void TZalController::Notification(TComponent* component, TOperation operation) {
    TZalComponent::Notification(component, operation);
    if (operation == opRemove && component == timerPool_) timerPool_ = nullptr;
}
