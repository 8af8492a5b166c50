#pragma once
// A timer that needs no window: calls its handler every interval on the GUI thread while
// it runs, never before the interval is over (windowless controls repeat their clicks
// with it).
#include <functional>
#include <memory>

class TIntervalTimer {
public:
    TIntervalTimer();
    ~TIntervalTimer();
    TIntervalTimer(const TIntervalTimer&) = delete;
    TIntervalTimer& operator=(const TIntervalTimer&) = delete;

    void SetHandler(std::function<void()> handler);
    // A new interval applies from now on, also to a running timer.
    void SetInterval(unsigned milliseconds);
    unsigned Interval() const;
    void Start();
    void Stop();
    bool Running() const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> d;
};
