#include "components/ZalTimer.h"

#include <algorithm>

#include "components/ZalSrMgr.h"
#include "platform/Application.h"
#include "platform/Timers.h"
#include "platform/Window.h"

namespace {
constexpr UINT_PTR kPoolTimerId = 1;

// The hidden window of a pool. The native window is made when the first timer is
// needed if no application ran yet when the pool was created.
class TWindowTimerHost final : public IZalTimerHost, private IMessageHandler {
public:
    explicit TWindowTimerHost(TZalTimerPool& pool) : pool_(pool), window_(*this) {
        if (ApplicationRunning()) window_.CreateHandle();
    }
    ~TWindowTimerHost() override { window_.DestroyHandle(); }

    bool StartTimer(uint32_t interval) override {
        if (!window_.HandleAllocated() && ApplicationRunning()) window_.CreateHandle();
        HWND handle = window_.Handle();
        return handle && ::SetTimer(handle, kPoolTimerId, interval) != 0;
    }
    void StopTimer() override {
        if (window_.HandleAllocated()) ::KillTimer(window_.Handle(), kPoolTimerId);
    }

private:
    void WndProc(TMessage& message) override {
        if (message.Msg == WM_TIMER) {
            pool_.TimerTick();
            message.Result = 0;
            return;
        }
        DefWindowProc(window_.Handle(), message);
    }

    TZalTimerPool& pool_;
    TWindow window_;
};
} // namespace

std::unique_ptr<IZalTimerHost> NewWindowTimerHost(TZalTimerPool& pool) {
    return std::make_unique<TWindowTimerHost>(pool);
}

TZalTimerPool::TZalTimerPool(TComponent* owner)
    : TComponent(owner), host_(NewWindowTimerHost(*this)), ticks_([] { return GetTickCount(); }) {}

TZalTimerPool::~TZalTimerPool() {
    interval_ = 0;
    try {
        RestartTimer(); // with interval 0 this only stops it
    } catch (...) {
    }
    triggers_.clear();
    host_.reset();
}

const TZalTrigger& TZalTimerPool::Triggers(int index) const {
    if (index < 0 || index >= TriggerCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return triggers_[size_t(index)];
}

int TZalTimerPool::FindTriggerIndex(int32_t handle) const {
    for (size_t i = 0; i < triggers_.size(); ++i)
        if (triggers_[i].Handle == handle) return static_cast<int>(i);
    return -1;
}

int32_t TZalTimerPool::NextHandle() {
    // Handles count up from 1 and, after the largest, start over at 1, skipping those
    // still in use; the list can never hold every positive value.
    do {
        lastHandle_ = lastHandle_ == INT32_MAX ? 1 : lastHandle_ + 1;
    } while (FindTriggerIndex(lastHandle_) >= 0);
    return lastHandle_;
}

int32_t TZalTimerPool::AddTrigger(uint32_t interval, TTriggerEvent onTrigger, bool repeating,
                                  bool enabled) {
    if (interval > kMaxInterval)
        throw EZalException("Trigger interval of " + std::to_string(interval) + " ms is too long");
    const uint32_t now = ticks_();
    TZalTrigger trigger;
    trigger.Enabled = enabled;
    trigger.Handle = NextHandle();
    trigger.StartTicks = now;
    trigger.Interval = interval;
    trigger.LastFiredTicks = now;
    trigger.OnTrigger = std::move(onTrigger);
    trigger.Repeating = repeating;
    triggers_.push_back(std::move(trigger));
    const int32_t handle = triggers_.back().Handle;
    try {
        TriggersChanged();
    } catch (const ENoTimersAvailable&) {
        // The caller never got the handle: take the trigger back and run the others as
        // well as the system allows.
        triggers_.erase(triggers_.begin() + FindTriggerIndex(handle));
        try {
            TriggersChanged();
        } catch (const ENoTimersAvailable&) {
        }
        throw;
    }
    return handle;
}

void TZalTimerPool::RemoveTrigger(int32_t handle) {
    const int index = FindTriggerIndex(handle);
    if (index < 0) return;
    triggers_.erase(triggers_.begin() + index);
    TriggersChanged();
}

void TZalTimerPool::TriggersChanged() {
    Recount();
    interval_ = CalcInterval(ticks_());
    RestartTimer();
}

void TZalTimerPool::Recount() {
    activeCount_ = static_cast<int32_t>(std::count_if(
        triggers_.begin(), triggers_.end(), [](const TZalTrigger& t) { return t.Enabled; }));
}

uint32_t TZalTimerPool::CalcInterval(uint32_t now) const {
    // The smallest interval, or less when a trigger is due sooner. Kept wide and signed,
    // so that an overdue trigger (negative time left) cannot be outbid by the interval of
    // a trigger after it: it always gives the floor.
    int64_t m = 0xFFFFFFFFll;
    bool anyEnabled = false;
    for (const TZalTrigger& t : triggers_) {
        if (!t.Enabled) continue;
        anyEnabled = true;
        if (int64_t(t.Interval) < m) m = t.Interval;
        const auto left = static_cast<int32_t>(t.Interval - (now - t.LastFiredTicks));
        if (left < m) m = left;
    }
    if (!anyEnabled) return 0;
    if (m < int64_t(kMinInterval)) m = kMinInterval;
    // Descend until the period divides every trigger's interval, or the floor is reached.
    bool again = true;
    while (again) {
        again = false;
        for (const TZalTrigger& t : triggers_) {
            const int64_t rest = int64_t(t.Interval) % m;
            if (rest == 0) continue;
            m -= rest;
            again = m > int64_t(kMinInterval);
            break;
        }
    }
    if (m < int64_t(kMinInterval)) m = kMinInterval;
    return static_cast<uint32_t>(m);
}

void TZalTimerPool::RestartTimer() {
    if (host_) host_->StopTimer();
    running_ = false;
    if (interval_ != 0 && activeCount_ > 0) {
        if (!host_ || !host_->StartTimer(interval_)) throw ENoTimersAvailable();
        running_ = true;
    }
}

void TZalTimerPool::FireDueTriggers() {
    const uint32_t now = ticks_();
    for (int i = 0; i < TriggerCount(); ++i) {
        const TZalTrigger trigger = triggers_[size_t(i)];
        if (!trigger.Enabled) continue;
        const auto sinceFired = static_cast<int32_t>(now - trigger.LastFiredTicks);
        if (sinceFired < static_cast<int32_t>(trigger.Interval - kEarlyAllowance)) continue;
        triggers_[size_t(i)].LastFiredTicks = now;
        if (!trigger.Repeating) {
            RemoveTrigger(trigger.Handle);
            --i; // the next trigger moved into this place
        }
        const auto elapsed = static_cast<int32_t>(now - trigger.StartTicks);
        if (trigger.OnTrigger) trigger.OnTrigger(this, trigger.Handle, trigger.Interval, elapsed);
        if (OnAllTriggers) OnAllTriggers(this, trigger.Handle, trigger.Interval, elapsed);
    }
}

void TZalTimerPool::TimerTick() {
    try {
        FireDueTriggers();
    } catch (...) {
        HandleApplicationException(std::current_exception());
    }
}

void TZalTimerPool::SetTickSource(TTickSource ticks) {
    ticks_ = ticks ? std::move(ticks) : TTickSource([] { return GetTickCount(); });
}

void TZalTimerPool::SetTimerHost(std::unique_ptr<IZalTimerHost> host) {
    if (host_) host_->StopTimer();
    running_ = false;
    host_ = std::move(host);
    RestartTimer();
}
