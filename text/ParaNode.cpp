// Temporary stand-in: only construction, destruction and the text, enough for the
// undo buffer's tests. The full paragraph node replaces this file.
#include "text/ParaNode.h"

#include <cstring>
#include <new>

TParaNode::TParaNode(const char* text, uint16_t len, int /*wrapWidth*/, int /*tabSize*/) {
    const void* zero = text ? std::memchr(text, 0, len) : nullptr;
    uint16_t n = text ? (zero ? uint16_t(static_cast<const char*>(zero) - text) : len) : 0;
    text_ = new (std::nothrow) char[n + 1u];
    if (!text_) throw ETextOutOfMemory();
    if (n) std::memcpy(text_, text, n);
    text_[n] = 0;
    length_ = n;
    textCapacity_ = uint16_t(n + 1u);
}

TParaNode::~TParaNode() {
    delete[] text_;
    delete[] lineStarts_;
}

const char* TParaNode::GetText() const { return text_ ? text_ : ""; }
