#pragma once
// Hints: a control's hint is "short|long"; the short part is its tooltip, the long part
// goes to the application's hint (the status line) while the pointer rests on it.
#include <string>

class QObject;

// The part before the first "|", or the whole hint when it has none.
std::string GetShortHint(const std::string& hint);
// The part after the first "|", or the whole hint when it has none.
std::string GetLongHint(const std::string& hint);
// Makes `hint` the application's hint (nothing when no application object exists).
void ShowLongHint(const std::string& hint);

// Watches the pointer over the shell's controls: entering one sets the application's hint
// to its long hint (or its parent's, when it has none), and its tooltip shows the short
// one while the control's hint display is on. Installed on the Qt application; removed
// when the returned object is deleted.
QObject* InstallHintTracker();
