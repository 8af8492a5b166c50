#include "platform/Timers.h"

#include <chrono>

#include "platform/Input.h"
#include "platform/NativeWindow.h"

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds) {
    TNativeWidget* n = NativeOf(window);
    if (!n) return 0;
    if (auto it = n->timers.find(id); it != n->timers.end()) {
        n->killTimer(it->second);
        n->timers.erase(it);
    }
    const int ms = int(std::max<UINT>(10, std::min<UINT>(milliseconds, 0x7FFFFFFF)));
    // Precise at every period: a coarse timer may wake up to 5% early, and callers (the
    // timer pool's due test) rely on a tick never coming much before its period is over.
    const int qtId = n->startTimer(ms, Qt::PreciseTimer);
    if (qtId == 0) return 0;
    n->timers[id] = qtId;
    return id ? id : 1;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    TNativeWidget* n = NativeOf(window);
    if (!n) return 0;
    auto it = n->timers.find(id);
    if (it == n->timers.end()) return 0;
    n->killTimer(it->second);
    n->timers.erase(it);
    return 1;
}

uint32_t GetTickCount() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint32_t timeGetTime() {
    if (ILiveInputScript* script = LiveInputScript()) return script->Milliseconds();
    return GetTickCount();
}
