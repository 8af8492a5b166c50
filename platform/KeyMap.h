#pragma once
// Qt key codes (Qt::Key values, passed as int so that this header stays free of Qt) and
// virtual-key codes.
#include <cstdint>

// The virtual key of a Qt key; keypad says the key came from the numeric keypad. Letters
// and digits give their upper-case character codes; 0 for keys without a code.
uint16_t VirtualKeyFromQtKey(int qtKey, bool keypad);
// The Qt key that produces a virtual key (for tests and input simulation), 0 if none.
int QtKeyFromVirtualKey(uint16_t virtualKey);

// Live key bookkeeping for GetAsyncKeyState: the window layer reports every key press
// and release it sees.
void NoteKeyTransition(uint16_t virtualKey, bool down);
