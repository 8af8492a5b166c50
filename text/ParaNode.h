#pragma once
// One paragraph: its characters and the table of its wrapped display lines.
#include <cstddef>
#include <cstdint>
#include <new>

#include "text/BlockPool.h"
#include "text/TextErrors.h"
#include "text/TextHelpers.h"

// Wrap widths that mean "do not wrap" (so do widths below 1).
constexpr int kNoWrapWidth = 0;
constexpr int kUnwrappedWidth = 32767;

class TParaNode {
    // A line table of more than one entry: a pool block holding the line count, the
    // capacity and the entries (entry k-1 holds the start of line k), or for a table
    // too big for a block the count, the capacity and a pointer to the entries.
    struct TLineTable {
        uint16_t count;
        uint16_t capacity;
    };

public:
    // Create: copies the text (at most len characters, stopping at a zero byte; the
    // length is the number copied) and breaks it into display lines. Throws
    // ETextOutOfMemory when memory is short, or when 65535 characters are copied (the
    // buffer would not fit a 16-bit capacity). The text gets a buffer of its own.
    TParaNode(const char* text, uint16_t len, int wrapWidth, int tabSize);
    // The same on the heap, with a short text kept in the node's own block: the text
    // store holds millions of nodes, and one block each halves their cost. Free with delete.
    static TParaNode* New(const char* text, uint16_t len, int wrapWidth, int tabSize);
    ~TParaNode();
    // Nodes come from the block pool, so that their links fit 32 bits.
    static void* operator new(std::size_t size);
    // Frees the node's block whatever its size (a block from New holds the text too).
    static void operator delete(TParaNode* p, std::destroying_delete_t) noexcept;
    // Gives the block back when the constructor of a new-expression throws.
    static void operator delete(void* p) noexcept;

    TParaNode(const TParaNode&) = delete;
    TParaNode& operator=(const TParaNode&) = delete;

    // Chain links, maintained by the paragraph list.
    TBlockRef<TParaNode> Next;
    TBlockRef<TParaNode> Prev;

    // The text (the shared empty text when there is no buffer) and its length.
    const char* GetText() const { return OwnBuffer() ? buffer_ : InNode(); }
    uint16_t Length() const { return length_; }
    uint16_t TextCapacity() const {
        return capacity_ & kFullCapacity ? 0xFFFF : capacity_ & ~kCapacityFlags;
    }

    // Display lines, 1-based.
    int32_t LineCount() const { return lines_ ? lines_->count : 1; }
    uint16_t LineCapacity() const {
        return lines_ ? lines_->capacity : capacity_ & kLazyTable ? 8 : 1;
    }
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

private:
    TParaNode(const char* text, int length, int capacity, bool inNode, int wrapWidth,
              int tabSize);
    // Re-breaks after an edit at offset p; false when the line table could not grow,
    // in which case the table is left short but consistent: its last line runs to the
    // end of the text.
    bool UpdateWrap(int wrapWidth, int tabSize, int p, int shift, int guard, int32_t& firstLine,
                    int32_t& lastLine);
    // Full re-break; false when the table could not grow to hold every line.
    bool Rebreak(int wrapWidth, int tabSize);
    void FreeBuffers() noexcept;
    void FreeTable() noexcept; // leaves lines_ dangling: the caller replaces it

    // capacity_ holds the text's capacity, a multiple of 8, and in its low bits:
    static constexpr unsigned kOwnBuffer = 1;     // the text is in a buffer of its own, or
                                                  // is the shared empty text
    static constexpr unsigned kLazyTable = 2;     // a table of 8 entries is promised but not
                                                  // allocated: most paragraphs keep one line
    static constexpr unsigned kFullCapacity = 4;  // the capacity is 65535 (never in a node)
    static constexpr unsigned kCapacityFlags = 7;
    bool OwnBuffer() const { return capacity_ & kOwnBuffer; }
    bool HasBuffer() const { return capacity_ > kCapacityFlags; }
    void SetTextCapacity(int capacity, bool own) {
        const unsigned bits = capacity == 0xFFFF ? 0xFFF8 | kFullCapacity : unsigned(capacity);
        capacity_ = static_cast<uint16_t>(bits | (own ? kOwnBuffer : 0) | (capacity_ & kLazyTable));
    }
    char* Text() { return OwnBuffer() ? buffer_ : InNode(); }
    // Where a text kept in the node starts: at buffer_, running on past the end of the
    // object into the rest of the node's block.
    static constexpr std::size_t TextOffset() { return sizeof(TParaNode) - sizeof(char*); }
    char* InNode() { return reinterpret_cast<char*>(this) + TextOffset(); }
    const char* InNode() const { return reinterpret_cast<const char*>(this) + TextOffset(); }
    // Entries of the line table: read-only for a node of one line (its only start is 0),
    // writable once the table holds more than one entry.
    const uint16_t* Starts() const;
    uint16_t* Entries();
    // Makes room to store n entries (the promised table of 8 is allocated now); false,
    // changing nothing, when memory is short.
    bool Room(int32_t n);
    // Entries the table really holds (a promised table holds only the first).
    int Stored() const { return lines_ ? lines_->capacity : 1; }
    // Replaces the table by an allocated one of `capacity` entries holding the same starts.
    bool GrowTable(int capacity);
    // Moves the text to a buffer of its own of n bytes rounded up to 16.
    bool GrowText(uint16_t n);
    void SetLineCount(int32_t n) {
        if (lines_) lines_->count = static_cast<uint16_t>(n);
    }

    // 16 bytes before the text (with 32-bit links): the text store holds millions of nodes.
    uint16_t length_ = 0;
    uint16_t capacity_ = kOwnBuffer; // bytes for the text, and the flags above
    TBlockRef<TLineTable> lines_; // none while the table has one entry
    char* buffer_;                // the text's own buffer; the last member (see InNode)
};
