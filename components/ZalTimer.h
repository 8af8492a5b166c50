#pragma once
// The timer pool: any number of timed triggers multiplexed onto one system timer that
// runs on a hidden window of the pool.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/Component.h"

// A trigger fired: the pool, the trigger's handle, its period and the milliseconds since
// it was set up.
using TTriggerEvent =
    std::function<void(TComponent* Sender, int32_t Handle, uint32_t Interval, int32_t ElapsedTime)>;

struct TZalTrigger {
    bool Enabled = true;     // only enabled triggers count, set the timer and fire
    int32_t Handle = 0;      // unique within the pool
    uint32_t StartTicks = 0; // tick count when the trigger was set up
    uint32_t Interval = 0;   // period in milliseconds
    uint32_t LastFiredTicks = 0;
    TTriggerEvent OnTrigger;
    bool Repeating = true; // false: removed when it fires
};

// The millisecond clock the pool reads (wrapping at 2^32).
using TTickSource = std::function<uint32_t()>;

// The system timer under a pool: timer 1 of the pool's window.
class IZalTimerHost {
public:
    virtual ~IZalTimerHost() = default;
    // Sets (or resets) the timer to `interval` ms; false when the system refuses.
    virtual bool StartTimer(uint32_t interval) = 0;
    virtual void StopTimer() = 0;
};

class TZalTimerPool : public TComponent {
public:
    // The timer floor and how early a trigger may fire.
    static constexpr uint32_t kMinInterval = 55;
    static constexpr uint32_t kEarlyAllowance = 27;
    // The longest period a trigger may have (longer ones break the signed arithmetic of
    // the due test).
    static constexpr uint32_t kMaxInterval = 0x7FFFFFFF;

    // An empty pool on its own hidden window, reading the platform's tick count.
    explicit TZalTimerPool(TComponent* owner);
    // Stops the timer, frees the triggers and the window.
    ~TZalTimerPool() override;
    const char* ClassName() const override { return "TZalTimerPool"; }

    std::string About() const { return "v3.03"; }
    void SetAbout(const std::string&) {}

    TTriggerEvent OnAllTriggers;

    // Adds a trigger due `interval` ms from now and returns its handle, unique within
    // the pool. An interval above kMaxInterval raises EZalException and adds nothing;
    // when the system timer is refused ENoTimersAvailable is raised and the trigger is
    // taken back out.
    int32_t AddTrigger(uint32_t interval, TTriggerEvent onTrigger, bool repeating = true,
                       bool enabled = true);
    // Removes the first trigger with that handle; an unknown handle does nothing.
    void RemoveTrigger(int32_t handle);
    int FindTriggerIndex(int32_t handle) const;
    int TriggerCount() const { return static_cast<int>(triggers_.size()); }
    const TZalTrigger& Triggers(int index) const; // EListError outside the list
    int ActiveTriggerCount() const { return activeCount_; }
    // The system timer's period; 0 when none runs.
    uint32_t TimerInterval() const { return interval_; }
    bool TimerRunning() const { return running_; }

    // Fires the triggers that are due now (the work of one system timer tick).
    virtual void FireDueTriggers();
    // One system timer tick: FireDueTriggers, with an escaping exception reported to the
    // application's exception handler.
    void TimerTick();

    // Seams for tests and hosts without a window system. Replacing the host stops the
    // old host's timer and starts the new one as the triggers require.
    void SetTickSource(TTickSource ticks);
    void SetTimerHost(std::unique_ptr<IZalTimerHost> host);

private:
    void Recount();
    uint32_t CalcInterval(uint32_t now) const;
    // Stops the system timer and starts it again with the current interval; raises
    // ENoTimersAvailable when it is refused.
    void RestartTimer();
    void TriggersChanged();
    int32_t NextHandle();

    std::vector<TZalTrigger> triggers_;
    std::unique_ptr<IZalTimerHost> host_;
    TTickSource ticks_;
    uint32_t interval_ = 0;
    int32_t activeCount_ = 0;
    int32_t lastHandle_ = 0;
    bool running_ = false;
};

// The default host: timer 1 of a hidden window whose WM_TIMER runs the pool's TimerTick.
std::unique_ptr<IZalTimerHost> NewWindowTimerHost(TZalTimerPool& pool);
