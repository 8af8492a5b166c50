#include <gtest/gtest.h>

#include "TestWindow.h"
#include "platform/Application.h"
#include "platform/IntervalTimer.h"
#include "platform/Timers.h"

TEST(Timers, FireWithTheirIdAndStopWhenKilled) {
    THostedWindow w;
    std::vector<WPARAM> ticks;
    w.Recorder.Hook = [&](TMessage& m) {
        if (m.Msg != WM_TIMER) return false;
        ticks.push_back(m.WParam);
        return true;
    };
    ASSERT_EQ(SetTimer(w.Handle(), 7, 15), 7u);
    const uint32_t start = GetTickCount();
    while (ticks.size() < 3 && GetTickCount() - start < 3000) ProcessEventsFor(5);
    ASSERT_GE(ticks.size(), 3u) << "three ticks within three seconds";
    for (WPARAM id : ticks) EXPECT_EQ(id, 7u);
    EXPECT_TRUE(KillTimer(w.Handle(), 7));
    EXPECT_FALSE(KillTimer(w.Handle(), 7));
    ticks.clear();
    ProcessEventsFor(60);
    EXPECT_TRUE(ticks.empty());
}

TEST(Timers, NoTickBeforeThePeriodIsOver) {
    // Started so that the period ends 100 ms past a half second of the clock, where a
    // timer allowed 5% of slack would round its wake-up down.
    THostedWindow w;
    uint32_t windowTick = 0, intervalTick = 0;
    w.Recorder.Hook = [&](TMessage& m) {
        if (m.Msg != WM_TIMER) return false;
        if (!windowTick) windowTick = GetTickCount();
        return true;
    };
    TIntervalTimer timer;
    timer.SetInterval(1000);
    timer.SetHandler([&] {
        if (!intervalTick) intervalTick = GetTickCount();
    });
    for (uint32_t ms; (ms = (GetTickCount() + 1000) % 500) < 100 || ms > 115;) ProcessEventsFor(1);
    const uint32_t start = GetTickCount();
    ASSERT_EQ(SetTimer(w.Handle(), 3, 1000), 3u);
    timer.Start();
    while ((!windowTick || !intervalTick) && GetTickCount() - start < 3000) ProcessEventsFor(5);
    EXPECT_GE(windowTick - start, 1000u);
    EXPECT_LT(windowTick - start, 1250u);
    EXPECT_GE(intervalTick - start, 1000u);
    EXPECT_LT(intervalTick - start, 1250u);
}

TEST(Timers, RefusedWithoutAWindowAndGoneWithIt) {
    EXPECT_EQ(SetTimer(nullptr, 1, 10), 0u);
    THostedWindow w;
    HWND h = w.Handle();
    ASSERT_EQ(SetTimer(h, 1, 10), 1u);
    w.Window.DestroyHandle();
    EXPECT_FALSE(KillTimer(h, 1));
    EXPECT_EQ(SetTimer(h, 1, 10), 0u);
}

TEST(Timers, MillisecondClocksAdvance) {
    const uint32_t a = GetTickCount(), t = timeGetTime();
    ProcessEventsFor(20);
    EXPECT_GE(GetTickCount() - a, 15u);
    EXPECT_GE(timeGetTime() - t, 15u);
    EXPECT_LT(GetTickCount() - a, 5000u);
}

TEST(Timers, IntervalTimerWithoutAWindow) {
    TIntervalTimer timer;
    int ticks = 0;
    timer.SetHandler([&] {
        if (++ticks == 2) timer.SetInterval(10);
    });
    timer.SetInterval(20);
    EXPECT_FALSE(timer.Running());
    timer.Start();
    const uint32_t start = GetTickCount();
    while (ticks < 4 && GetTickCount() - start < 3000) ProcessEventsFor(5);
    EXPECT_GE(ticks, 4);
    EXPECT_EQ(timer.Interval(), 10u);
    timer.Stop();
    const int stopped = ticks;
    ProcessEventsFor(40);
    EXPECT_EQ(ticks, stopped);
}
