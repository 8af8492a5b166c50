#pragma once
// The system beep.
#include "platform/Messages.h"

constexpr UINT MB_BEEP_DEFAULT = 0xFFFFFFFFu;
void MessageBeep(UINT type = MB_BEEP_DEFAULT);
