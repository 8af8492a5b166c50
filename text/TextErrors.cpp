#include "text/TextErrors.h"

namespace {
TTextMessageSource g_source = nullptr;
}

void SetTextMessageSource(TTextMessageSource source) { g_source = source; }

std::string TextMessage(int number) {
    if (g_source) {
        std::string text = g_source(number);
        if (!text.empty()) return text;
    }
    if (number == msgInsufficientMemory) return "insufficient memory for requested operation";
    return "Unknown";
}

ETextOutOfMemory::ETextOutOfMemory() : message_(TextMessage(msgInsufficientMemory)) {}
