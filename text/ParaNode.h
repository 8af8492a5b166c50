#pragma once
// One paragraph: its characters and the table of its wrapped display lines.
#include <cstdint>

#include "text/TextErrors.h"
#include "text/TextHelpers.h"

// Wrap widths that mean "do not wrap".
constexpr int kNoWrapWidth = 0;
constexpr int kUnwrappedWidth = 32767;

class TParaNode {
public:
    // Create: copies the text (at most len characters, stopping at a zero byte) and
    // breaks it into display lines. Throws ETextOutOfMemory when memory is short.
    TParaNode(const char* text, uint16_t len, int wrapWidth, int tabSize);
    ~TParaNode();
    TParaNode(const TParaNode&) = delete;
    TParaNode& operator=(const TParaNode&) = delete;

    // The text (the shared empty text when there is no buffer) and its length.
    const char* GetText() const;
    uint16_t Length() const { return length_; }
    uint16_t TextCapacity() const { return textCapacity_; }

    // Display lines, 1-based.
    int32_t LineCount() const { return lineCount_; }
    uint16_t LineCapacity() const { return lineCapacity_; }
    uint16_t LineStart(int32_t line) const; // offset of the first character of a line
    const char* GetLine(int32_t index, uint16_t& len) const;
    int32_t PosToLine(int pos, int& col) const;
    void Rewrap(int wrapWidth, int tabSize);

    // Editing; firstLine..lastLine receive the display lines whose content or breaks
    // changed. Insert and replace return ecOutOfMemory (nothing changed) when the
    // buffer cannot grow.
    TEditError InsertChars(int pos, const char* s, int count, int wrapWidth, int tabSize,
                           int32_t& firstLine, int32_t& lastLine);
    void DeleteChars(int pos, int count, int wrapWidth, int tabSize, int32_t& firstLine,
                     int32_t& lastLine);
    TEditError ReplaceChars(int pos, int oldCount, const char* s, int newCount, int wrapWidth,
                            int tabSize, int32_t& firstLine, int32_t& lastLine);
    int TrimTrailing();
    int TrailingBlanks(int n) const;

    // Sizing rules, public so that callers and tests can reason about capacity.
    bool EnsureTextCapacity(uint16_t n);
    bool EnsureLineCapacity(int32_t n);
    static uint16_t EstimateLines(uint16_t length, int wrapWidth);

    // Chain links, maintained by the paragraph list.
    TParaNode* Next = nullptr;
    TParaNode* Prev = nullptr;

private:
    void UpdateWrap(int wrapWidth, int tabSize, int p, int shift, int guard, int32_t& firstLine,
                    int32_t& lastLine);

    uint16_t textCapacity_ = 0;
    int32_t lineCount_ = 1;
    uint16_t* lineStarts_ = nullptr; // entry k-1 holds the start of line k
    uint16_t lineCapacity_ = 0;
    char* text_ = nullptr;
    uint16_t length_ = 0;
};
