#include "components/ZalTimer.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "components/ZalExcpt.h"
#include "platform/Application.h"
#include "platform/Timers.h"

namespace {

// The system timer as the tests see it.
struct HostState {
    bool running = false;
    uint32_t interval = 0;
    bool refuse = false;
    int starts = 0;
};

class FakeHost : public IZalTimerHost {
public:
    explicit FakeHost(HostState& state) : state_(state) {}
    bool StartTimer(uint32_t interval) override {
        ++state_.starts;
        if (state_.refuse) return false;
        state_.running = true;
        state_.interval = interval;
        return true;
    }
    void StopTimer() override { state_.running = false; }

private:
    HostState& state_;
};

struct Fired {
    int32_t handle;
    uint32_t interval;
    int32_t elapsed;
};

class TimerPoolTest : public ::testing::Test {
protected:
    void SetUp() override {
        pool = std::make_unique<TZalTimerPool>(nullptr);
        pool->SetTickSource([this] { return now; });
        pool->SetTimerHost(std::make_unique<FakeHost>(host));
    }

    // A trigger that records its firings.
    int32_t Add(uint32_t interval, bool repeating = true, bool enabled = true) {
        return pool->AddTrigger(
            interval,
            [this](TComponent* sender, int32_t handle, uint32_t iv, int32_t elapsed) {
                EXPECT_EQ(sender, pool.get());
                fired.push_back({handle, iv, elapsed});
            },
            repeating, enabled);
    }

    uint32_t now = 1000;
    HostState host;
    std::unique_ptr<TZalTimerPool> pool;
    std::vector<Fired> fired;
};

TEST_F(TimerPoolTest, PeriodDividesTheIntervalsOrStopsAtTheFloor) {
    Add(300);
    Add(500);
    EXPECT_EQ(pool->TimerInterval(), 100u);
    EXPECT_TRUE(host.running);
    EXPECT_EQ(host.interval, 100u);

    SetUp();
    Add(100);
    Add(250); // 250 mod 100 = 50 ends the descent below the floor
    EXPECT_EQ(pool->TimerInterval(), 55u);
    EXPECT_EQ(host.interval, 55u);

    SetUp();
    Add(1000);
    Add(3000);
    EXPECT_EQ(pool->TimerInterval(), 1000u);
}

TEST_F(TimerPoolTest, TimeLeftUntilDueShortensThePeriod) {
    Add(3000);
    now += 2500; // the 3000 ms trigger is due in 500 ms
    Add(1000);
    EXPECT_EQ(pool->TimerInterval(), 500u);
    EXPECT_EQ(host.interval, 500u);
}

TEST_F(TimerPoolTest, AnOverdueTriggerGivesTheFloor) {
    Add(1000);
    now += 1400;
    Add(2000);
    EXPECT_EQ(pool->TimerInterval(), 55u);
}

TEST_F(TimerPoolTest, DisabledTriggersDoNotRunTheTimerButTakePartInTheDescent) {
    Add(500, true, false);
    EXPECT_EQ(pool->ActiveTriggerCount(), 0);
    EXPECT_EQ(pool->TimerInterval(), 0u);
    EXPECT_FALSE(host.running);
    EXPECT_FALSE(pool->TimerRunning());

    Add(300);
    EXPECT_EQ(pool->ActiveTriggerCount(), 1);
    EXPECT_EQ(pool->TimerInterval(), 100u); // 500 mod 300 counts even though disabled

    now += 600;
    pool->TimerTick();
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].interval, 300u);
}

TEST_F(TimerPoolTest, NoSystemTimerWhileIdle) {
    EXPECT_FALSE(host.running);
    EXPECT_EQ(pool->TimerInterval(), 0u);
    const int32_t a = Add(200);
    const int32_t b = Add(300);
    EXPECT_TRUE(host.running);
    pool->RemoveTrigger(a);
    EXPECT_TRUE(host.running);
    EXPECT_EQ(pool->TimerInterval(), 300u);
    pool->RemoveTrigger(b);
    EXPECT_FALSE(host.running);
    EXPECT_FALSE(pool->TimerRunning());
    EXPECT_EQ(pool->TimerInterval(), 0u);
    EXPECT_EQ(pool->ActiveTriggerCount(), 0);
}

TEST_F(TimerPoolTest, FiresUpTo27MillisecondsEarly) {
    const int32_t h = Add(100);
    now += 72;
    pool->TimerTick();
    EXPECT_TRUE(fired.empty());
    now += 1; // 73 ms after it was set up
    pool->TimerTick();
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].handle, h);
    EXPECT_EQ(fired[0].interval, 100u);
    EXPECT_EQ(fired[0].elapsed, 73);
    EXPECT_EQ(pool->Triggers(0).LastFiredTicks, now);

    // The next period counts from that firing; the elapsed time from the set-up.
    now += 72;
    pool->TimerTick();
    EXPECT_EQ(fired.size(), 1u);
    now += 1;
    pool->TimerTick();
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_EQ(fired[1].elapsed, 146);
}

TEST_F(TimerPoolTest, TheDueTestSurvivesTheTickCounterWrapping) {
    now = 0xFFFFFFF0u;
    Add(100);
    now += 72; // wraps past zero
    pool->TimerTick();
    EXPECT_TRUE(fired.empty());
    now += 1;
    pool->TimerTick();
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].elapsed, 73);
}

TEST_F(TimerPoolTest, AOneShotTriggerIsRemovedAndTheNextStillFires) {
    const int32_t once = Add(100, false);
    const int32_t again = Add(100);
    const int32_t third = Add(100, false);
    now += 100;
    pool->TimerTick();
    ASSERT_EQ(fired.size(), 3u);
    EXPECT_EQ(fired[0].handle, once);
    EXPECT_EQ(fired[1].handle, again);
    EXPECT_EQ(fired[2].handle, third);
    ASSERT_EQ(pool->TriggerCount(), 1);
    EXPECT_EQ(pool->Triggers(0).Handle, again);
    EXPECT_EQ(pool->FindTriggerIndex(once), -1);
    EXPECT_EQ(pool->ActiveTriggerCount(), 1);
    EXPECT_EQ(pool->TimerInterval(), 100u);
}

TEST_F(TimerPoolTest, OnAllTriggersHearsEveryFiringWithTheSameArguments) {
    std::vector<Fired> all;
    pool->OnAllTriggers = [&](TComponent* sender, int32_t handle, uint32_t interval,
                              int32_t elapsed) {
        EXPECT_EQ(sender, pool.get());
        all.push_back({handle, interval, elapsed});
    };
    const int32_t h = pool->AddTrigger(200, nullptr); // a trigger without its own handler
    now += 200;
    pool->TimerTick();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].handle, h);
    EXPECT_EQ(all[0].interval, 200u);
    EXPECT_EQ(all[0].elapsed, 200);
}

TEST_F(TimerPoolTest, AHandlersExceptionIsReportedAndEndsTheTick) {
    std::vector<std::string> reported;
    const TExceptionHandler previous = SetApplicationExceptionHandler([&](std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& x) {
            reported.push_back(x.what());
        }
    });
    int allCalls = 0;
    pool->OnAllTriggers = [&](TComponent*, int32_t, uint32_t, int32_t) { ++allCalls; };
    pool->AddTrigger(
        100, [](TComponent*, int32_t, uint32_t, int32_t) { throw std::runtime_error("boom"); });
    Add(100);
    now += 100;
    pool->TimerTick();
    SetApplicationExceptionHandler(previous);

    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], "boom");
    EXPECT_EQ(allCalls, 0);
    EXPECT_TRUE(fired.empty()); // the second trigger was not examined
    EXPECT_EQ(pool->Triggers(1).LastFiredTicks, 1000u);
    EXPECT_TRUE(host.running); // the pool goes on
}

TEST_F(TimerPoolTest, ARefusedTimerRaisesAndTheNewTriggerIsTakenBack) {
    Add(300);
    host.refuse = true;
    try {
        Add(500);
        FAIL() << "no exception";
    } catch (const ENoTimersAvailable& e) {
        EXPECT_STREQ(e.what(), "No Window's timers are available");
    }
    EXPECT_EQ(pool->TriggerCount(), 1);
    EXPECT_EQ(pool->ActiveTriggerCount(), 1);
    EXPECT_EQ(pool->TimerInterval(), 300u);

    // Removal stands even when the timer for the rest is refused.
    host.refuse = false;
    Add(500);
    const int32_t last = Add(700);
    host.refuse = true;
    EXPECT_THROW(pool->RemoveTrigger(last), ENoTimersAvailable);
    EXPECT_EQ(pool->TriggerCount(), 2);
    EXPECT_EQ(pool->FindTriggerIndex(last), -1);
    EXPECT_EQ(pool->TimerInterval(), 100u);
    EXPECT_FALSE(pool->TimerRunning());
}

TEST_F(TimerPoolTest, HandlesStayUniqueAndLookupsFindThem) {
    const int32_t a = Add(100), b = Add(200), c = Add(300);
    EXPECT_NE(a, b);
    EXPECT_NE(b, c);
    EXPECT_NE(a, c);
    EXPECT_EQ(pool->FindTriggerIndex(b), 1);
    pool->RemoveTrigger(12345); // unknown: nothing happens
    EXPECT_EQ(pool->TriggerCount(), 3);
    pool->RemoveTrigger(b);
    EXPECT_EQ(pool->FindTriggerIndex(c), 1);
    const int32_t d = Add(400);
    EXPECT_NE(d, a);
    EXPECT_NE(d, c);
    EXPECT_THROW(pool->Triggers(3), EListError);
    EXPECT_THROW(Add(0x80000000u), EZalException);
    EXPECT_EQ(pool->TriggerCount(), 3);
}

// The real system timer on the pool's hidden window, under the offscreen platform.
TEST(TimerPoolWindow, ARealTimerFiresTriggers) {
    TZalTimerPool pool(nullptr);
    int count = 0;
    pool.AddTrigger(60, [&](TComponent*, int32_t, uint32_t, int32_t) { ++count; });
    EXPECT_TRUE(pool.TimerRunning());
    for (int waited = 0; count < 2 && waited < 3000; waited += 20)
        ProcessEventsFor(20);
    EXPECT_GE(count, 2);
    pool.RemoveTrigger(pool.Triggers(0).Handle);
    EXPECT_FALSE(pool.TimerRunning());
}

TEST(TimerPoolWindow, ALongTriggerFiresAtTheEndOfItsFirstPeriod) {
    // Due 100 ms past a half second of the clock: a system timer that may round its
    // wake-up to such a boundary would come 50 ms early, too early for the trigger,
    // which would then wait a whole second more.
    for (uint32_t ms; (ms = (GetTickCount() + 1000) % 500) < 100 || ms > 115;) ProcessEventsFor(1);
    TZalTimerPool pool(nullptr);
    int32_t elapsed = -1;
    pool.AddTrigger(1000, [&](TComponent*, int32_t, uint32_t, int32_t ms) { elapsed = ms; });
    for (int waited = 0; elapsed < 0 && waited < 3000; waited += 10) ProcessEventsFor(10);
    EXPECT_GE(elapsed, 1000 - int32_t(TZalTimerPool::kEarlyAllowance));
    EXPECT_LT(elapsed, 1250);
}

} // namespace
