#pragma once
// The library's exception classes. Each numbered class takes its text from the
// library's message table when it is created.
#include <cstdint>
#include <exception>
#include <string>
#include <utility>

// The framework's base exception: carries the message text.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const { return message_; }

private:
    std::string message_;
};

// A file that cannot be created, opened, read or written. ErrorCode holds errno.
class EInOutError : public Exception {
public:
    EInOutError(std::string message, int errorCode)
        : Exception(std::move(message)), ErrorCode(errorCode) {}
    int ErrorCode = 0;
};

// A value that cannot be converted or assigned ("Cannot assign a TFont to a TZalColors").
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// An object of another class than the operation needs (a caller error).
class EInvalidCast : public Exception {
public:
    using Exception::Exception;
};

// An index outside a list (a caller error).
class EListError : public Exception {
public:
    using Exception::Exception;
};

// Raised by the string-table reader with one of its own five messages.
class EZalStringResourceError : public Exception {
public:
    using Exception::Exception;
};

// Root of the library's errors.
class EZalException : public Exception {
public:
    using Exception::Exception;
    int32_t ErrorCode = 0;
};

class ENoTimersAvailable : public EZalException {
public:
    ENoTimersAvailable();
};

class EControllerError : public EZalException {
public:
    using EZalException::EZalException;
};

class ENoControllerAssigned : public EControllerError {
public:
    ENoControllerAssigned();
};

class ECmdProcessorError : public EZalException {
public:
    using EZalException::EZalException;
};

class EDuplicateCommand : public ECmdProcessorError {
public:
    EDuplicateCommand();
};

class ETableNotFound : public ECmdProcessorError {
public:
    ETableNotFound();
};

class EEditorError : public EZalException {
public:
    EEditorError(std::string message, uint16_t code);
};

class EInvalidLineOrCol : public EEditorError {
public:
    EInvalidLineOrCol();
};

class EInvalidLineOrPara : public EEditorError {
public:
    EInvalidLineOrPara();
};

class EFixedFontError : public EZalException {
public:
    using EZalException::EZalException;
};

class EInvalidFixedFont : public EFixedFontError {
public:
    EInvalidFixedFont();
};

// Message numbers of the library table used by the classes above and by the editor.
namespace zmsg {
constexpr int UnknownError = 30168;
constexpr int DuplicateCommand = 30169;
constexpr int TableNotFound = 30170;
constexpr int NoControllerAssigned = 30172;
constexpr int RegionTooLarge = 30186;
constexpr int NoTimersAvailable = 30189;
constexpr int InsufficientMemory = 30197;
constexpr int ParaLimit = 30198;
constexpr int JoinTooLong = 30199;
constexpr int TextSizeLimit = 30200;
constexpr int ParaLengthLimit = 30201;
constexpr int InvalidLineOrPara = 30213;
constexpr int InvalidFixedFont = 30214;
constexpr int InvalidLineOrCol = 30216;
constexpr int LabelNotAttached = 30244;
constexpr int TableGrid = 30266;
constexpr int TableDefault = 30275;
constexpr int TableWordStar = 30276;
constexpr int TableUnknown = 30277;
constexpr int Yes = 30368;
constexpr int No = 30369;
constexpr int True = 30370;
constexpr int False = 30371;
} // namespace zmsg

// The message number the editor's error report uses for an error code (0 for code 0).
int EditorErrorMessageNumber(uint16_t code);
// The editor's error report without an OnError handler: raises EEditorError for a
// non-zero code; code 0 reports nothing.
void RaiseEditorError(uint16_t code);
