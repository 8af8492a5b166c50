#pragma once
// The undo and redo history of one text, packed into a single fixed-size block.
#include <cstdint>

class TParaNode;

enum TUndoAction : uint8_t {
    uaPosition = 0,        // caret position to restore; no data
    uaInsertText = 1,      // the inserted characters
    uaInsertPara = 2,      // the new paragraph
    uaInsertParaAfter = 3, // the new paragraph, inserted after the record's paragraph
    uaDeleteText = 4,      // the deleted characters
    uaDeletePara = 5,      // the removed paragraph
    uaReplaceText = 6,     // old characters, 0, new characters, 0
};

// One record as handed back by TakeUndo and TakeRedo. Data points into the block and
// stays valid until the buffer is changed again.
struct TUndoRecord {
    TUndoAction Kind = uaPosition;
    uint8_t Group = 0;
    bool Modified = false;
    uint16_t Len = 0;
    const char* Data = nullptr;
    int32_t Pos = 0;
    int32_t Para = 0;
    TParaNode* Node = nullptr; // the paragraph held by kinds 2, 3 and 5
};

class TZalUndoBuffer;

// Reads and writes records in the block on behalf of the buffer.
class TUndoNode {
public:
    explicit TUndoNode(TZalUndoBuffer& buffer) : buffer_(buffer) {}
    // Layout offsets of a record; every record takes its data length + 16 bytes.
    static constexpr int kBackOfs = 0, kKindOfs = 2, kGroupOfs = 3, kParaOfs = 4, kPosOfs = 8,
                         kLenOfs = 12, kDataOfs = 14, kOverhead = 16;

private:
    friend class TZalUndoBuffer;
    TZalUndoBuffer& buffer_;
};

class TZalUndoBuffer {
public:
    // Create: asks for a block of size bytes, halving the request while it fails.
    explicit TZalUndoBuffer(uint16_t size);
    ~TZalUndoBuffer();
    TZalUndoBuffer(const TZalUndoBuffer&) = delete;
    TZalUndoBuffer& operator=(const TZalUndoBuffer&) = delete;

    void BeginGroup(bool& saved);
    void EndGroup(bool saved);

    // Records kinds 0, 1 and 4 (characters in data). False when refused.
    bool AddRecord(TUndoAction kind, bool modified, uint16_t len, const void* data, int32_t pos,
                   int32_t para);
    // Records kinds 2, 3 and 5, which hold a paragraph (charged as 4 data bytes).
    bool AddParaRecord(TUndoAction kind, bool modified, TParaNode* node, int32_t pos,
                       int32_t para);
    bool AddReplaceRecord(bool modified, int32_t para, int32_t pos, const char* oldText,
                          uint16_t oldLen, const char* newText, uint16_t newLen);

    TUndoRecord TakeUndo();
    TUndoRecord TakeRedo(bool modifiedNow);
    uint8_t UndoGroupId() const;
    uint8_t RedoGroupId() const;

    void MarkAllModified();
    void DiscardAll();

    bool CanUndo() const { return undoCount_ > 0; }
    bool CanRedo() const { return redoCount_ > 0; }
    uint16_t Size() const { return size_; }
    uint16_t FreeBytes() const { return free_; }
    uint16_t UndoCount() const { return undoCount_; }
    int16_t RedoCount() const { return redoCount_; }
    uint8_t GroupCounter() const { return groupCounter_; }
    bool InGroup() const { return inGroup_; }
    bool Refusing() const { return refusing_; }
    const uint8_t* Block() const { return block_; }

private:
    friend class TUndoNode;

    uint8_t* block_ = nullptr;
    uint16_t size_ = 0;
    uint16_t free_ = 0;
    uint32_t current_ = 0; // offset of the newest undo record
    uint16_t undoCount_ = 0;
    int16_t redoCount_ = 0;
    uint8_t groupCounter_ = 0;
    bool inGroup_ = false;
    bool refusing_ = false;
    TUndoNode* accessor_ = nullptr;
};
