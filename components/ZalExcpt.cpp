#include "components/ZalExcpt.h"

#include "components/ZalSrMgr.h"

ENoTimersAvailable::ENoTimersAvailable() : EZalException(LibraryMessage(zmsg::NoTimersAvailable)) {}
ENoControllerAssigned::ENoControllerAssigned()
    : EControllerError(LibraryMessage(zmsg::NoControllerAssigned)) {}
EDuplicateCommand::EDuplicateCommand()
    : ECmdProcessorError(LibraryMessage(zmsg::DuplicateCommand)) {}
ETableNotFound::ETableNotFound() : ECmdProcessorError(LibraryMessage(zmsg::TableNotFound)) {}

EEditorError::EEditorError(std::string message, uint16_t code)
    : EZalException(std::move(message)) {
    ErrorCode = code;
}

EInvalidLineOrCol::EInvalidLineOrCol() : EEditorError(LibraryMessage(zmsg::InvalidLineOrCol), 0) {}
EInvalidLineOrPara::EInvalidLineOrPara()
    : EEditorError(LibraryMessage(zmsg::InvalidLineOrPara), 0) {}
EInvalidFixedFont::EInvalidFixedFont() : EFixedFontError(LibraryMessage(zmsg::InvalidFixedFont)) {}

int EditorErrorMessageNumber(uint16_t code) {
    switch (code) {
    case 0: return 0;
    case 263: return zmsg::InsufficientMemory;
    case 264: return zmsg::RegionTooLarge;
    case 265: return zmsg::ParaLimit;
    case 266: return zmsg::JoinTooLong;
    case 267: return zmsg::TextSizeLimit;
    case 268: return zmsg::ParaLengthLimit;
    default: return zmsg::UnknownError;
    }
}

void RaiseEditorError(uint16_t code) {
    if (code == 0) return;
    throw EEditorError(LibraryMessage(EditorErrorMessageNumber(code)), code);
}
