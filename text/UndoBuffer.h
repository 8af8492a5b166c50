#pragma once
// The undo and redo history of one text, packed into a single fixed-size block.
#include <cstddef>
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
// stays valid until the buffer is changed again. Node is the paragraph of kinds 2, 3
// and 5. A paragraph out of the text belongs to the record: after TakeUndo of kind 5
// or TakeRedo of kinds 2 and 3 it is the caller's again (to link back in); after
// TakeUndo of kinds 2 and 3 or TakeRedo of kind 5 the caller unlinks it without
// destroying it, and the buffer destroys it if the record is given up.
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
    static constexpr uint8_t kModifiedBit = 0x80;
    // Data bytes charged for a record that holds a paragraph.
    static constexpr uint16_t kParaDataLen = 4;

private:
    friend class TZalUndoBuffer;

    // Fields of the record at offset ofs of the block.
    uint16_t Back(uint32_t ofs) const;
    TUndoAction Kind(uint32_t ofs) const;
    uint8_t Group(uint32_t ofs) const;
    int32_t Para(uint32_t ofs) const;
    int32_t Pos(uint32_t ofs) const;
    uint16_t Len(uint32_t ofs) const;
    uint8_t* Data(uint32_t ofs) const;
    uint32_t Next(uint32_t ofs) const { return ofs + Len(ofs) + kOverhead; }
    bool Modified(uint32_t ofs) const;
    void SetModified(uint32_t ofs, bool modified);
    void SetBack(uint32_t ofs, uint16_t back);
    void SetPos(uint32_t ofs, int32_t pos);
    void SetLen(uint32_t ofs, uint16_t len);
    // The paragraph held by a record of kind 2, 3 or 5, else nullptr.
    TParaNode* Node(uint32_t ofs) const;

    void Fill(uint32_t ofs, uint16_t back, TUndoAction kind, bool modified, uint8_t group,
              int32_t para, int32_t pos, uint16_t len, const void* data);
    // Data: old characters, 0, new characters, 0.
    void FillReplace(uint32_t ofs, uint16_t back, bool modified, uint8_t group, int32_t para,
                     int32_t pos, const char* oldText, uint16_t oldLen, const char* newText,
                     uint16_t newLen);
    // Gives the record up: destroys the paragraph it owns on its side of the history
    // (kind 5 on the undo side, kinds 2 and 3 on the redo side) and frees its slot.
    void Release(uint32_t ofs, bool undoSide);

    TZalUndoBuffer& buffer_;
};

// Obtains the block of records; nullptr when the memory cannot be had. The block is
// given back with std::free.
using TUndoBlockAllocator = void* (*)(std::size_t bytes);

class TZalUndoBuffer {
public:
    // Create: asks for a block of size bytes, halving the request while it fails.
    explicit TZalUndoBuffer(uint16_t size);
    // The same, obtaining the block from allocate (std::malloc by default).
    TZalUndoBuffer(uint16_t size, TUndoBlockAllocator allocate);
    ~TZalUndoBuffer();
    TZalUndoBuffer(const TZalUndoBuffer&) = delete;
    TZalUndoBuffer& operator=(const TZalUndoBuffer&) = delete;

    void BeginGroup(bool& saved);
    void EndGroup(bool saved);

    // Records kinds 0, 1 and 4 (characters in data). False when refused; other kinds
    // are always refused.
    bool AddRecord(TUndoAction kind, bool modified, uint16_t len, const void* data, int32_t pos,
                   int32_t para);
    // Records kinds 2, 3 and 5, which hold a paragraph (charged as 4 data bytes). A
    // uaDeletePara record takes ownership of node; when the record is refused (False)
    // the caller keeps it. The paragraph of kinds 2 and 3 stays the text's.
    bool AddParaRecord(TUndoAction kind, bool modified, TParaNode* node, int32_t pos, int32_t para);
    bool AddReplaceRecord(bool modified, int32_t para, int32_t pos, const char* oldText,
                          uint16_t oldLen, const char* newText, uint16_t newLen);

    // The newest undo record becomes the oldest redo record, and back (storing
    // modifiedNow). With nothing to take: an empty record, and nothing changes.
    TUndoRecord TakeUndo();
    TUndoRecord TakeRedo(bool modifiedNow);
    // With no such record: the complement of the group at the current position, which
    // cannot be the group being replayed.
    uint8_t UndoGroupId() const;
    uint8_t RedoGroupId() const;

    // After a save every recorded state differs from the saved text.
    void MarkAllModified();
    // Empties the history, releasing every record with the paragraph it owns.
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

    bool Obtain(uint16_t size, TUndoBlockAllocator allocate);
    bool MakeRoom(uint32_t n);
    bool CanMerge(TUndoAction kind, bool& prepend, uint16_t len, int32_t pos, int32_t para) const;
    // Starts a new group id, never equal to the newest undo record's.
    void NextGroupId();
    // Offset of the first redo record.
    uint32_t RedoStart() const;
    // Releases the redo records and sets the redo count to 0.
    void GiveUpRedo();
    // Where a new record goes and its back distance; call once room is made.
    uint32_t NewRecordOffset(uint16_t& back) const;
    void Placed(uint32_t ofs, uint16_t len);
    TUndoRecord Read(uint32_t ofs) const;
    uint32_t TakeSlot(TParaNode* node);
    void FreeSlot(uint32_t slot);

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

    // Paragraphs held by records, at full pointer width; the record stores the 4-byte
    // slot index. At most size / 20 such records fit in the block.
    TParaNode** slots_ = nullptr;
    uint16_t* freeSlots_ = nullptr; // stack of unused slot indexes
    uint16_t slotCount_ = 0;
    uint16_t freeSlotCount_ = 0;
};
