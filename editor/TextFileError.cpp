// The error a text file operation raises when the system refuses it.
#include "editor/TextFileError.h"

#include "components/ZalExcpt.h"
#include "platform/Files.h"

void RaiseFileError(std::string_view action, const std::string& fileName, int err) {
    throw EInOutError(std::string(action) + " '" + fileName + "': " + FileErrorText(err), err);
}
