#pragma once
// The library's component bases (a version string, focus follow-ups, mouse-wheel
// forwarding, the binding to the form's controller, a caption label that travels with a
// windowed control) and the controller: the form-wide service object that owns the
// command processor and the timer pool.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "components/Component.h"
#include "components/Controls.h"
#include "components/Persistent.h"
#include "components/ZalCmd.h"
#include "components/ZalTimer.h"
#include "platform/Messages.h"
#include "platform/ShiftState.h"

// The version every library component shows as its About property.
inline constexpr const char* kZalVersion = "v3.03";

// The library's private messages (0x7F02, the editor's status notification, belongs to
// the editor).
constexpr UINT ZM_AFTERENTER = 0x7F08;        // posted on WM_SETFOCUS: after-enter notification
constexpr UINT ZM_AFTEREXIT = 0x7F09;         // posted on WM_KILLFOCUS: after-exit notification
constexpr UINT ZM_PLACELABEL = 0x7F0B;        // posted after a bounds change: re-place the label
constexpr UINT ZM_RECORDLABELOFFSET = 0x7F0C; // posted by a label: record its offsets
constexpr UINT ZM_ASSIGNLABEL = 0x7F0D;       // sent by a label, LParam = the label: adopt it

class TZalController;
class TZalAttachedLabel;
class TZalCustomControl;

class TZalComponent : public TComponent {
public:
    using TComponent::TComponent;
    const char* ClassName() const override { return "TZalComponent"; }
    // Always "v3.03"; writes are ignored and it is never stored.
    std::string About() const { return kZalVersion; }
    void SetAbout(const std::string&) {}
};

class TZalGraphicControl : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    const char* ClassName() const override { return "TZalGraphicControl"; }
    std::string About() const { return kZalVersion; }
    void SetAbout(const std::string&) {}
};

// Where and whether a windowed control's caption label shows.
class TZalLabelInfo : public TPersistent {
public:
    const char* ClassName() const override { return "TZalLabelInfo"; }
    using TPersistent::Assign;
    void Assign(const TPersistent* source) override;

    int32_t OffsetX() const { return offsetX_; }
    int32_t OffsetY() const { return offsetY_; }
    // Each writer stores a changed value and calls the offset-change callback.
    void SetOffsetX(int32_t x);
    void SetOffsetY(int32_t y);
    // Stores both and calls the callback once; nothing when neither changes.
    void SetOffsets(int32_t x, int32_t y);
    // The offsets are stored with the form only while the label is visible.
    bool StoredOffsets() const { return visible_; }

    bool Visible() const { return visible_; }
    // Stores a changed value and calls the visibility-change callback.
    void SetVisible(bool visible);

    // The label attached now, if any.
    TZalAttachedLabel* Label() const { return label_; }

    // Set by the owning control.
    std::function<void()> OnOffsetChange;
    std::function<void(bool visible)> OnVisibleChange;

private:
    friend class TZalCustomControl;
    int32_t offsetX_ = 0, offsetY_ = 0;
    TZalAttachedLabel* label_ = nullptr;
    bool visible_ = false;
};

// A wheel turn: the key state, the 16-bit delta (120 per notch away from the user, 65416
// toward) and the pointer's screen position.
using TMouseWheelEvent = std::function<void(TComponent* Sender, TShiftState Shift, uint16_t Delta,
                                            uint16_t XPos, uint16_t YPos)>;

class TZalCustomControl : public TCustomControl {
public:
    // Creates the label info and connects it to placing, creating and removing the label.
    explicit TZalCustomControl(TComponent* owner);
    // Removes any label.
    ~TZalCustomControl() override;
    const char* ClassName() const override { return "TZalCustomControl"; }

    std::string About() const { return kZalVersion; }
    void SetAbout(const std::string&) {}

    // Called on the follow-up messages of gaining and losing the focus.
    TNotifyEvent AfterEnter;
    TNotifyEvent AfterExit;
    TMouseWheelEvent OnMouseWheel;

    TZalLabelInfo& LabelInfo() { return *labelInfo_; }
    const TZalLabelInfo& LabelInfo() const { return *labelInfo_; }
    // false: the label sits above the control; true: below it.
    bool LabelBelow() const { return labelBelow_; }
    void SetLabelBelow(bool below);
    // The attached label; Exception "Label not attached" while LabelInfo.Visible is off.
    TZalAttachedLabel* AttachedLabel() const;

    // The framework's handling, then ZM_PLACELABEL posted to itself if the window exists.
    void SetBounds(int left, int top, int width, int height) override;

protected:
    void WndProc(TMessage& message) override;
    // Calls OnMouseWheel when assigned.
    virtual void DoOnMouseWheel(TShiftState shift, uint16_t delta, uint16_t xPos, uint16_t yPos);
    void VisibleChanged() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void LabelVisibilityChanged(bool visible);
    void CreateLabel();
    void RemoveLabel();
    void PlaceLabel();
    // The offsets the label's current position gives.
    void LabelOffsets(int32_t& x, int32_t& y) const;
    void RecordLabelOffsets();
    void LabelMoved();

    std::unique_ptr<TZalLabelInfo> labelInfo_;
    bool labelBelow_ = false;
};

// A library control bound to its form's controller.
class TZalCustomControlEx : public TZalCustomControl {
public:
    using TZalCustomControl::TZalCustomControl;
    const char* ClassName() const override { return "TZalCustomControlEx"; }

    TZalController* Controller() const { return controller_; }
    // Binds the controller (not owned) and asks for its free notification.
    void SetController(TZalController* controller);

protected:
    // Finds or (in design mode) creates the controller first; without one outside
    // design mode raises ENoControllerAssigned and makes no window.
    void CreateWnd() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    TZalController* controller_ = nullptr;
};

// The caption label of a windowed control.
class TZalAttachedLabel : public TLabel {
public:
    // Auto-size on, parent font on, not transparent; focuses `control`.
    TZalAttachedLabel(TComponent* owner, TZalCustomControl* control);
    ~TZalAttachedLabel() override;
    const char* ClassName() const override { return "TZalAttachedLabel"; }

    TZalCustomControl* Control() const { return control_; }

    // Tells the control, after the change, where the label now is.
    void SetBounds(int left, int top, int width, int height) override;

protected:
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    // Has the control adopt this label and record its offsets.
    void AdjustControl();

    TZalCustomControl* control_ = nullptr;
};

// The entry options of the form; bit n is option n.
enum TZalBaseEFOption : uint8_t {
    efoAutoAdvanceChar,
    efoAutoAdvanceLeftRight,
    efoAutoAdvanceUpDown,
    efoAutoSelect,
    efoBeepOnError,
    efoInsertPushes,
};
using TZalBaseEFOptions = uint8_t;
constexpr TZalBaseEFOptions EFOption(TZalBaseEFOption option) {
    return TZalBaseEFOptions(1u << option);
}
constexpr TZalBaseEFOptions kDefaultEntryOptions =
    EFOption(efoAutoSelect) | EFOption(efoBeepOnError) | EFOption(efoInsertPushes);

using TDelayNotifyEvent = std::function<void(TComponent* Sender, uint16_t NotifyCode)>;
using TDataErrorEvent =
    std::function<void(TComponent* Sender, uint16_t ErrorCode, const std::string& ErrorMsg)>;
using TGetEpochEvent = std::function<void(TComponent* Sender, int32_t& Epoch)>;
using TIsSpecialControlEvent =
    std::function<void(TComponent* Sender, TWinControl* Control, bool& Special)>;
using TPostEditEvent = std::function<void(TComponent* Sender, TWinControl* GainingControl)>;
using TPreEditEvent = std::function<void(TComponent* Sender, TWinControl* LosingControl)>;

class TZalController : public TZalComponent {
public:
    static constexpr int32_t kMinEpoch = 1600;
    static constexpr int32_t kMaxEpoch = 3999;

    // Default entry options, the epoch of the current century, shared insert mode on, a
    // command processor with the built-in tables and an empty timer pool.
    explicit TZalController(TComponent* owner);
    ~TZalController() override;
    const char* ClassName() const override { return "TZalController"; }

    TZalBaseEFOptions EntryOptions() const { return entryOptions_; }
    void SetEntryOptions(TZalBaseEFOptions options) { entryOptions_ = options & 0x3F; }
    bool HasEntryOption(TZalBaseEFOption option) const { return entryOptions_ & EFOption(option); }

    TZalCommandProcessor& EntryCommands() { return *entryCommands_; }
    const TZalCommandProcessor& EntryCommands() const { return *entryCommands_; }

    // The stored epoch, as OnGetEpoch (when assigned) changes it.
    int32_t Epoch() const;
    // Stores a year of 1600..3999; any other value is ignored.
    void SetEpoch(int32_t epoch);
    // The year rounded down to its century (2026 gives 2000).
    static int32_t CenturyOf(int32_t year);

    // The editor's insert mode, carried across focus changes.
    bool SharedInsertMode = true;
    // Set: an editor without the focus neither activates nor takes the click that would
    // activate it.
    bool BlockActivation = false;

    // The controller's pool (nullptr only if someone freed it).
    TZalTimerPool* TimerPool() const { return timerPool_; }

    TDelayNotifyEvent OnDelayNotify;
    TDataErrorEvent OnError;
    TGetEpochEvent OnGetEpoch;
    TIsSpecialControlEvent OnIsSpecialControl;
    TPostEditEvent OnPostEdit;
    TPreEditEvent OnPreEdit;
    TTriggerEvent OnTimerTrigger;

    // Whether OnIsSpecialControl calls the control of that window special.
    virtual bool IsSpecialControl(HWND window);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TZalBaseEFOptions entryOptions_ = kDefaultEntryOptions;
    std::unique_ptr<TZalCommandProcessor> entryCommands_;
    int32_t epoch_ = 0;
    TZalTimerPool* timerPool_ = nullptr; // owned as a component
};
