// Keyboard, mouse and focus: the editor's reaction to the input messages of its window.
#include "editor/ZalEdit.h"

bool TZalCustomEditor::HandleInputMessage(TMessage&) {
    return false; // no input message is taken over yet: the inherited handling applies
}
