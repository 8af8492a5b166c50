#include "platform/IntervalTimer.h"

#include <QPointer>
#include <QTimer>

struct TIntervalTimer::TImpl {
    QTimer timer;
    std::function<void()> handler;
    unsigned interval = 1000;
};

TIntervalTimer::TIntervalTimer() : d(std::make_unique<TImpl>()) {
    d->timer.setTimerType(Qt::PreciseTimer); // a coarse timer may tick up to 5% early
    d->timer.setInterval(int(d->interval));
    QObject::connect(&d->timer, &QTimer::timeout, [impl = d.get()] {
        if (impl->handler) {
            std::function<void()> h = impl->handler; // the handler may replace itself
            h();
        }
    });
}

TIntervalTimer::~TIntervalTimer() = default;

void TIntervalTimer::SetHandler(std::function<void()> handler) { d->handler = std::move(handler); }

void TIntervalTimer::SetInterval(unsigned milliseconds) {
    d->interval = milliseconds;
    d->timer.setInterval(int(std::min(milliseconds, 0x7FFFFFFFu)));
}

unsigned TIntervalTimer::Interval() const { return d->interval; }
void TIntervalTimer::Start() { d->timer.start(); }
void TIntervalTimer::Stop() { d->timer.stop(); }
bool TIntervalTimer::Running() const { return d->timer.isActive(); }
