#pragma once
// Keyboard state as seen by a message handler.
#include <cstdint>

// State of a virtual key at the time of the message being handled: the high bit
// (0x8000, negative as int16) is set while the key is down, the low bit while a lock
// key (Caps Lock, Num Lock, Scroll Lock) is toggled on.
int16_t GetKeyState(int virtualKey);
// The live state, for loops that poll the keyboard (drag selection).
int16_t GetAsyncKeyState(int virtualKey);

// Records the key state that GetKeyState answers while a message is handled. The window
// layer calls this before dispatching each input message; tests call it to simulate.
struct TKeyboardState {
    bool Shift = false, Control = false, Alt = false;
    bool CapsLock = false, NumLock = false, ScrollLock = false;
    bool LButton = false, RButton = false, MButton = false;
    uint16_t DownKey = 0; // the key of the current key-down message, reported as down
};
void SetMessageKeyState(const TKeyboardState& state);
const TKeyboardState& MessageKeyState();
