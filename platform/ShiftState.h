#pragma once
// The key-state set handed to key and mouse handlers.
#include <cstdint>

using TShiftState = uint8_t;
constexpr TShiftState ssShift = 0x01, ssAlt = 0x02, ssCtrl = 0x04, ssLeft = 0x08,
                      ssRight = 0x10, ssMiddle = 0x20, ssDouble = 0x40;
