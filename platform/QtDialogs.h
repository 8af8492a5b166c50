#pragma once
// The dialogs of the real program, on Qt. Includes Qt: for the platform layer and the
// shell (which prints on SharedPrinter, the printer the print dialogs configure).
#include <QPrinter>

#include "platform/Dialogs.h"

IDialogs& QtDialogs();
QPrinter& SharedPrinter();
