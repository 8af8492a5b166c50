#pragma once
// An undo group held open for the lifetime of a scope: one Undo then reverses every step
// of an editing command, also one that ends early by an error or an exception.
#include "text/UndoBuffer.h"

class TUndoGroupScope {
public:
    explicit TUndoGroupScope(TZalUndoBuffer& buffer) : buffer_(buffer) { buffer_.BeginGroup(saved_); }
    ~TUndoGroupScope() { buffer_.EndGroup(saved_); }
    TUndoGroupScope(const TUndoGroupScope&) = delete;
    TUndoGroupScope& operator=(const TUndoGroupScope&) = delete;

private:
    TZalUndoBuffer& buffer_;
    bool saved_ = false;
};
