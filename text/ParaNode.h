#pragma once
// One paragraph: its characters and the table of its wrapped display lines.
#include <cstddef>
#include <cstdint>

#include "text/TextErrors.h"
#include "text/TextHelpers.h"

// Wrap widths that mean "do not wrap" (so do widths below 1).
constexpr int kNoWrapWidth = 0;
constexpr int kUnwrappedWidth = 32767;

class TParaNode {
public:
    // Create: copies the text (at most len characters, stopping at a zero byte; the
    // length is the number copied) and breaks it into display lines. Throws
    // ETextOutOfMemory when memory is short, or when 65535 characters are copied (the
    // buffer would not fit a 16-bit capacity).
    TParaNode(const char* text, uint16_t len, int wrapWidth, int tabSize);
    ~TParaNode();
    // Nodes come from the block pool: millions of them, 40 bytes each.
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;

    TParaNode(const TParaNode&) = delete;
    TParaNode& operator=(const TParaNode&) = delete;

    // The text (the shared empty text when there is no buffer) and its length.
    const char* GetText() const;
    uint16_t Length() const { return length_; }
    uint16_t TextCapacity() const { return textCapacity_; }

    // Display lines, 1-based.
    int32_t LineCount() const { return lineCount_; }
    uint16_t LineCapacity() const { return lineCapacity_; }
    uint16_t LineStart(int32_t line) const; // offset of line's first character; 0 out of range
    const char* GetLine(int32_t index, uint16_t& len) const;
    int32_t PosToLine(int pos, int& col) const;
    void Rewrap(int wrapWidth, int tabSize);

    // Editing; firstLine..lastLine receive the display lines whose content or breaks
    // changed. Insert and replace return ecOutOfMemory (nothing changed) when the
    // buffer cannot grow (also when the text would pass 65534 characters), and
    // ecRegionTooLarge (nothing changed) for a position below 1, a negative count, or
    // a replaced span outside the text. Should the line table fail to grow after the
    // text of a delete or replace has changed, the edit stands and the paragraph's
    // last display line runs to the end of the text until the next successful wrap.
    TEditError InsertChars(int pos, const char* s, int count, int wrapWidth, int tabSize,
                           int32_t& firstLine, int32_t& lastLine);
    void DeleteChars(int pos, int count, int wrapWidth, int tabSize, int32_t& firstLine,
                     int32_t& lastLine);
    TEditError ReplaceChars(int pos, int oldCount, const char* s, int newCount, int wrapWidth,
                            int tabSize, int32_t& firstLine, int32_t& lastLine);
    int TrimTrailing();
    int TrailingBlanks(int n) const;

    // Sizing rules, public so that callers and tests can reason about capacity.
    // EnsureTextCapacity grows to n rounded up to 16, EnsureLineCapacity to n rounded
    // up to 8 (at least 8); both return false, changing nothing, when memory is short.
    bool EnsureTextCapacity(uint16_t n);
    bool EnsureLineCapacity(int32_t n);
    static uint16_t EstimateLines(uint16_t length, int wrapWidth);

    // Chain links, maintained by the paragraph list.
    TParaNode* Next = nullptr;
    TParaNode* Prev = nullptr;

private:
    // Re-breaks after an edit at offset p; false when the line table could not grow,
    // in which case the table is left short but consistent: its last line runs to the
    // end of the text.
    bool UpdateWrap(int wrapWidth, int tabSize, int p, int shift, int guard, int32_t& firstLine,
                    int32_t& lastLine);
    // Full re-break; false when the table could not grow to hold every line.
    bool Rebreak(int wrapWidth, int tabSize);
    void FreeBuffers() noexcept;
    // A table of one entry lives inside the node; larger ones are allocated.
    bool OwnsLineTable() const { return lineCapacity_ > 1; }
    uint16_t* Starts() { return OwnsLineTable() ? lines_.table : &lines_.single; }
    const uint16_t* Starts() const { return OwnsLineTable() ? lines_.table : &lines_.single; }

    // 40 bytes with the links: the text store holds millions of nodes. The line count
    // never exceeds the 16-bit table capacity, so 16 bits hold it.
    char* text_ = nullptr;
    union {
        uint16_t* table; // entry k-1 holds the start of line k
        uint16_t single = 0;
    } lines_;
    uint16_t lineCount_ = 1;
    uint16_t textCapacity_ = 0;
    uint16_t lineCapacity_ = 1;
    uint16_t length_ = 0;
};
