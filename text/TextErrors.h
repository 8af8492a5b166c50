#pragma once
// Error codes of the text store and the out-of-memory error its constructors raise.
#include <cstdint>
#include <new>
#include <string>

// Editing operations report failure by one of these 16-bit codes (0 = success).
using TEditError = uint16_t;
constexpr TEditError ecSuccess = 0;
constexpr TEditError ecOutOfMemory = 263;     // a buffer could not be obtained
constexpr TEditError ecRegionTooLarge = 264;  // a region is too large to copy
constexpr TEditError ecParaLimit = 265;       // paragraph limit exceeded
constexpr TEditError ecJoinTooLong = 266;     // joining would exceed a limit
constexpr TEditError ecTextSizeLimit = 267;   // byte limit exceeded
constexpr TEditError ecParaLengthLimit = 268; // paragraph length limit exceeded

// Message number carried by the out-of-memory error.
constexpr int msgInsufficientMemory = 30197;

// The text store knows its own messages only as fallbacks: the library's message
// table, once it exists, installs itself here and is asked first.
using TTextMessageSource = std::string (*)(int number);
void SetTextMessageSource(TTextMessageSource source);
std::string TextMessage(int number);

// Raised when a node or another store object cannot get its memory.
class ETextOutOfMemory : public std::bad_alloc {
public:
    ETextOutOfMemory();
    const char* what() const noexcept override { return message_.c_str(); }
    int MessageNumber() const { return msgInsufficientMemory; }

private:
    std::string message_;
};
