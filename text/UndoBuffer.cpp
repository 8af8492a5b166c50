#include "text/UndoBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "text/ParaNode.h"

namespace {

// Record fields are little-endian whatever the machine.
uint16_t Get16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}

uint32_t Get32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

void Put16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

bool HoldsPara(TUndoAction kind) {
    return kind == uaInsertPara || kind == uaInsertParaAfter || kind == uaDeletePara;
}

// Length of the old text at the front of a replace record's data.
uint16_t OldTextLen(const uint8_t* data, uint16_t len) {
    const void* zero = std::memchr(data, 0, len);
    return zero ? uint16_t(static_cast<const uint8_t*>(zero) - data) : len;
}

} // namespace

// --- TUndoNode -------------------------------------------------------------------------

uint16_t TUndoNode::Back(uint32_t ofs) const {
    return Get16(buffer_.block_ + ofs + kBackOfs);
}

TUndoAction TUndoNode::Kind(uint32_t ofs) const {
    return TUndoAction(buffer_.block_[ofs + kKindOfs] & ~kModifiedBit);
}

uint8_t TUndoNode::Group(uint32_t ofs) const {
    return buffer_.block_[ofs + kGroupOfs];
}

int32_t TUndoNode::Para(uint32_t ofs) const {
    return int32_t(Get32(buffer_.block_ + ofs + kParaOfs));
}

int32_t TUndoNode::Pos(uint32_t ofs) const {
    return int32_t(Get32(buffer_.block_ + ofs + kPosOfs));
}

uint16_t TUndoNode::Len(uint32_t ofs) const {
    return Get16(buffer_.block_ + ofs + kLenOfs);
}

uint8_t* TUndoNode::Data(uint32_t ofs) const {
    return buffer_.block_ + ofs + kDataOfs;
}

bool TUndoNode::Modified(uint32_t ofs) const {
    return (buffer_.block_[ofs + kKindOfs] & kModifiedBit) != 0;
}

void TUndoNode::SetModified(uint32_t ofs, bool modified) {
    uint8_t& b = buffer_.block_[ofs + kKindOfs];
    b = modified ? uint8_t(b | kModifiedBit) : uint8_t(b & ~kModifiedBit);
}

void TUndoNode::SetBack(uint32_t ofs, uint16_t back) {
    Put16(buffer_.block_ + ofs + kBackOfs, back);
}

void TUndoNode::SetPos(uint32_t ofs, int32_t pos) {
    Put32(buffer_.block_ + ofs + kPosOfs, uint32_t(pos));
}

void TUndoNode::SetLen(uint32_t ofs, uint16_t len) {
    Put16(buffer_.block_ + ofs + kLenOfs, len);
}

TParaNode* TUndoNode::Node(uint32_t ofs) const {
    if (!HoldsPara(Kind(ofs))) return nullptr;
    uint32_t slot = Get32(Data(ofs));
    return slot < buffer_.slotCount_ ? buffer_.slots_[slot] : nullptr;
}

void TUndoNode::Fill(uint32_t ofs, uint16_t back, TUndoAction kind, bool modified, uint8_t group,
                     int32_t para, int32_t pos, uint16_t len, const void* data) {
    uint8_t* r = buffer_.block_ + ofs;
    Put16(r + kBackOfs, back);
    r[kKindOfs] = uint8_t(kind | (modified ? kModifiedBit : 0));
    r[kGroupOfs] = group;
    Put32(r + kParaOfs, uint32_t(para));
    Put32(r + kPosOfs, uint32_t(pos));
    Put16(r + kLenOfs, len);
    if (len && data) std::memcpy(r + kDataOfs, data, len);
}

void TUndoNode::FillReplace(uint32_t ofs, uint16_t back, bool modified, uint8_t group, int32_t para,
                            int32_t pos, const char* oldText, uint16_t oldLen, const char* newText,
                            uint16_t newLen) {
    Fill(ofs, back, uaReplaceText, modified, group, para, pos, uint16_t(oldLen + newLen + 2),
         nullptr);
    uint8_t* d = Data(ofs);
    if (oldLen) std::memcpy(d, oldText, oldLen);
    d[oldLen] = 0;
    if (newLen) std::memcpy(d + oldLen + 1, newText, newLen);
    d[oldLen + 1 + newLen] = 0;
}

void TUndoNode::Release(uint32_t ofs, bool undoSide) {
    TUndoAction kind = Kind(ofs);
    if (!HoldsPara(kind)) return;
    uint32_t slot = Get32(Data(ofs));
    if (slot >= buffer_.slotCount_) return;
    // A deleted paragraph is out of the text while its record can be undone; an
    // inserted one is out of the text once its record has been undone.
    bool owns = undoSide ? kind == uaDeletePara : kind != uaDeletePara;
    if (owns) delete buffer_.slots_[slot];
    buffer_.FreeSlot(slot);
}

// --- TZalUndoBuffer ---------------------------------------------------------------------

TZalUndoBuffer::TZalUndoBuffer(uint16_t size) : TZalUndoBuffer(size, nullptr) {}

TZalUndoBuffer::TZalUndoBuffer(uint16_t size, TUndoBlockAllocator allocate) {
    accessor_ = new TUndoNode(*this);
    if (!allocate) allocate = std::malloc;
    // Ask again for less while memory is short; below 16 bytes no record would fit.
    while (size != 0 && !Obtain(size, allocate))
        size = size > 16 ? uint16_t(size - size / 2) : 0;
    size_ = size;
    free_ = size_;
}

TZalUndoBuffer::~TZalUndoBuffer() {
    if (size_ != 0) {
        DiscardAll();
        std::free(block_);
    }
    delete[] slots_;
    delete[] freeSlots_;
    delete accessor_;
}

bool TZalUndoBuffer::Obtain(uint16_t size, TUndoBlockAllocator allocate) {
    uint8_t* block = static_cast<uint8_t*>(allocate(size));
    if (!block) return false;
    uint16_t n = uint16_t(size / (TUndoNode::kOverhead + TUndoNode::kParaDataLen));
    TParaNode** slots = new (std::nothrow) TParaNode*[n];
    uint16_t* freeSlots = new (std::nothrow) uint16_t[n];
    if (!slots || !freeSlots) {
        delete[] slots;
        delete[] freeSlots;
        std::free(block);
        return false;
    }
    std::memset(block, 0, size);
    for (uint16_t i = 0; i < n; ++i) {
        slots[i] = nullptr;
        freeSlots[i] = uint16_t(n - 1 - i);
    }
    block_ = block;
    slots_ = slots;
    freeSlots_ = freeSlots;
    slotCount_ = freeSlotCount_ = n;
    return true;
}

uint32_t TZalUndoBuffer::TakeSlot(TParaNode* node) {
    uint16_t slot = freeSlots_[--freeSlotCount_];
    slots_[slot] = node;
    return slot;
}

void TZalUndoBuffer::FreeSlot(uint32_t slot) {
    slots_[slot] = nullptr;
    freeSlots_[freeSlotCount_++] = uint16_t(slot);
}

void TZalUndoBuffer::BeginGroup(bool& saved) {
    saved = inGroup_;
    if (!inGroup_) {
        inGroup_ = true;
        NextGroupId();
    }
}

void TZalUndoBuffer::EndGroup(bool saved) {
    inGroup_ = saved;
    if (!saved) refusing_ = false;
}

void TZalUndoBuffer::NextGroupId() {
    ++groupCounter_;
    // A run of groups that record nothing can bring the counter round to the newest
    // record's id; one undo would then take both actions.
    if (undoCount_ > 0 && groupCounter_ == accessor_->Group(current_)) ++groupCounter_;
}

uint32_t TZalUndoBuffer::RedoStart() const {
    return undoCount_ > 0 ? accessor_->Next(current_) : 0;
}

void TZalUndoBuffer::GiveUpRedo() {
    uint32_t ofs = RedoStart();
    for (int i = 0; i < redoCount_; ++i) {
        uint32_t next = accessor_->Next(ofs);
        accessor_->Release(ofs, false);
        ofs = next;
    }
    redoCount_ = 0;
}

uint32_t TZalUndoBuffer::NewRecordOffset(uint16_t& back) const {
    if (undoCount_ == 0) {
        back = 0;
        return 0;
    }
    back = uint16_t(accessor_->Len(current_) + TUndoNode::kOverhead);
    return accessor_->Next(current_);
}

void TZalUndoBuffer::Placed(uint32_t ofs, uint16_t len) {
    ++undoCount_;
    current_ = ofs;
    free_ = uint16_t(free_ - len - TUndoNode::kOverhead);
}

bool TZalUndoBuffer::MakeRoom(uint32_t n) {
    if (refusing_) return false;
    if (size_ < n) {
        DiscardAll();
        refusing_ = inGroup_;
        return false;
    }
    if (free_ >= n) return true;
    uint32_t target = size_ / 16 > n ? size_ / 16 : n;
    GiveUpRedo();
    // Drop the oldest history a whole group at a time.
    uint32_t ofs = 0;
    uint16_t discarded = 0;
    while (free_ < target && discarded < undoCount_) {
        uint8_t group = accessor_->Group(ofs);
        while (discarded < undoCount_ && accessor_->Group(ofs) == group) {
            uint32_t next = accessor_->Next(ofs);
            free_ = uint16_t(free_ + accessor_->Len(ofs) + TUndoNode::kOverhead);
            accessor_->Release(ofs, true);
            ofs = next;
            ++discarded;
        }
    }
    if (discarded == undoCount_) {
        // Inside a group the rest of it is refused: its beginning is gone.
        undoCount_ = 0;
        DiscardAll();
        refusing_ = inGroup_;
        return !inGroup_;
    }
    uint32_t end = accessor_->Next(current_);
    std::memmove(block_, block_ + ofs, end - ofs);
    accessor_->SetBack(0, 0);
    undoCount_ = uint16_t(undoCount_ - discarded);
    current_ -= ofs;
    return true;
}

bool TZalUndoBuffer::CanMerge(TUndoAction kind, bool& prepend, uint16_t len, int32_t pos,
                              int32_t para) const {
    prepend = false;
    if (undoCount_ == 0) return false;
    const TUndoNode& r = *accessor_;
    if (r.Kind(current_) != kind || r.Para(current_) != para) return false;
    int64_t rPos = r.Pos(current_);
    switch (kind) {
    case uaInsertText:
        return pos == rPos + r.Len(current_);
    case uaDeleteText:
        if (pos == rPos) return true;
        prepend = int64_t(pos) + len == rPos;
        return prepend;
    case uaReplaceText: {
        // Overwriting continues right after the new text of R. Where old and new are of
        // equal length (typing over text) that is also the end of R's old text; where
        // they differ, only the end of the new text joins the two spans without a gap.
        const uint16_t oldLen = OldTextLen(r.Data(current_), r.Len(current_));
        return pos == rPos + (r.Len(current_) - oldLen - 2);
    }
    default:
        return false;
    }
}

bool TZalUndoBuffer::AddRecord(TUndoAction kind, bool modified, uint16_t len, const void* data,
                               int32_t pos, int32_t para) {
    if (kind != uaPosition && kind != uaInsertText && kind != uaDeleteText) return false;
    if (len && !data) return false;
    if (!inGroup_) {
        bool prepend;
        if (CanMerge(kind, prepend, len, pos, para)) {
            GiveUpRedo();
            // Room made by emptying the history took the record to extend with it.
            if (!MakeRoom(len) || undoCount_ == 0) return false;
            uint32_t ofs = current_;
            uint16_t oldLen = accessor_->Len(ofs);
            uint8_t* d = accessor_->Data(ofs);
            if (prepend) {
                std::memmove(d + len, d, oldLen);
                std::memcpy(d, data, len);
                accessor_->SetPos(ofs, accessor_->Pos(ofs) - len);
            } else if (len) {
                std::memcpy(d + oldLen, data, len);
            }
            accessor_->SetLen(ofs, uint16_t(oldLen + len));
            free_ = uint16_t(free_ - len);
            return true;
        }
        NextGroupId();
    }
    if (!MakeRoom(uint32_t(len) + TUndoNode::kOverhead)) return false;
    GiveUpRedo();
    uint16_t back;
    uint32_t ofs = NewRecordOffset(back);
    accessor_->Fill(ofs, back, kind, modified, groupCounter_, para, pos, len, data);
    Placed(ofs, len);
    return true;
}

bool TZalUndoBuffer::AddParaRecord(TUndoAction kind, bool modified, TParaNode* node, int32_t pos,
                                   int32_t para) {
    if (!HoldsPara(kind) || !node) return false;
    if (!inGroup_) NextGroupId();
    if (!MakeRoom(TUndoNode::kParaDataLen + TUndoNode::kOverhead)) return false;
    GiveUpRedo();
    if (freeSlotCount_ == 0) return false; // cannot happen: a slot exists per 20 bytes
    uint8_t slot[TUndoNode::kParaDataLen];
    Put32(slot, TakeSlot(node));
    uint16_t back;
    uint32_t ofs = NewRecordOffset(back);
    accessor_->Fill(ofs, back, kind, modified, groupCounter_, para, pos, TUndoNode::kParaDataLen,
                    slot);
    Placed(ofs, TUndoNode::kParaDataLen);
    return true;
}

bool TZalUndoBuffer::AddReplaceRecord(bool modified, int32_t para, int32_t pos, const char* oldText,
                                      uint16_t oldLen, const char* newText, uint16_t newLen) {
    if ((oldLen && !oldText) || (newLen && !newText)) return false;
    if (!inGroup_) {
        bool prepend;
        if (CanMerge(uaReplaceText, prepend, oldLen, pos, para)) {
            GiveUpRedo();
            uint32_t added = uint32_t(oldLen) + newLen;
            if (!MakeRoom(added) || undoCount_ == 0) return false;
            // old, 0, new, 0 becomes old + oldText, 0, new + newText, 0.
            uint32_t ofs = current_;
            uint16_t len = accessor_->Len(ofs);
            uint8_t* d = accessor_->Data(ofs);
            uint16_t a = OldTextLen(d, len);
            uint16_t b = uint16_t(len - a - 2);
            std::memmove(d + a + oldLen, d + a, 1u + b);
            if (oldLen) std::memcpy(d + a, oldText, oldLen);
            if (newLen) std::memcpy(d + a + oldLen + 1 + b, newText, newLen);
            d[a + oldLen + 1 + b + newLen] = 0;
            accessor_->SetLen(ofs, uint16_t(len + added));
            free_ = uint16_t(free_ - added);
            return true;
        }
        NextGroupId();
    }
    uint32_t len = uint32_t(oldLen) + newLen + 2;
    if (!MakeRoom(len + TUndoNode::kOverhead)) return false;
    GiveUpRedo();
    uint16_t back;
    uint32_t ofs = NewRecordOffset(back);
    accessor_->FillReplace(ofs, back, modified, groupCounter_, para, pos, oldText, oldLen, newText,
                           newLen);
    Placed(ofs, uint16_t(len));
    return true;
}

TUndoRecord TZalUndoBuffer::Read(uint32_t ofs) const {
    const TUndoNode& r = *accessor_;
    TUndoRecord rec;
    rec.Kind = r.Kind(ofs);
    rec.Group = r.Group(ofs);
    rec.Modified = r.Modified(ofs);
    rec.Len = r.Len(ofs);
    rec.Data = reinterpret_cast<const char*>(r.Data(ofs));
    rec.Pos = r.Pos(ofs);
    rec.Para = r.Para(ofs);
    rec.Node = r.Node(ofs);
    return rec;
}

TUndoRecord TZalUndoBuffer::TakeUndo() {
    if (undoCount_ == 0) return TUndoRecord();
    uint32_t ofs = current_;
    TUndoRecord rec = Read(ofs);
    --undoCount_;
    ++redoCount_;
    free_ = uint16_t(free_ + rec.Len + TUndoNode::kOverhead);
    current_ -= accessor_->Back(ofs);
    return rec;
}

TUndoRecord TZalUndoBuffer::TakeRedo(bool modifiedNow) {
    if (redoCount_ <= 0) return TUndoRecord();
    uint32_t ofs = RedoStart();
    accessor_->SetModified(ofs, modifiedNow);
    TUndoRecord rec = Read(ofs);
    --redoCount_;
    ++undoCount_;
    free_ = uint16_t(free_ - rec.Len - TUndoNode::kOverhead);
    current_ = ofs;
    return rec;
}

uint8_t TZalUndoBuffer::UndoGroupId() const {
    if (undoCount_ > 0) return accessor_->Group(current_);
    return uint8_t(~(size_ > TUndoNode::kGroupOfs ? accessor_->Group(current_) : 0));
}

uint8_t TZalUndoBuffer::RedoGroupId() const {
    if (redoCount_ > 0) return accessor_->Group(RedoStart());
    return uint8_t(~(size_ > TUndoNode::kGroupOfs ? accessor_->Group(current_) : 0));
}

void TZalUndoBuffer::MarkAllModified() {
    uint32_t ofs = 0;
    for (int i = 0; i < undoCount_ + redoCount_; ++i) {
        accessor_->SetModified(ofs, true);
        ofs = accessor_->Next(ofs);
    }
}

void TZalUndoBuffer::DiscardAll() {
    uint32_t ofs = 0;
    for (int i = 0; i < undoCount_; ++i) {
        uint32_t next = accessor_->Next(ofs);
        accessor_->Release(ofs, true);
        ofs = next;
    }
    // Redo records are given up too, with the paragraphs they own.
    for (int i = 0; i < redoCount_; ++i) {
        uint32_t next = accessor_->Next(ofs);
        accessor_->Release(ofs, false);
        ofs = next;
    }
    free_ = size_;
    undoCount_ = 0;
    redoCount_ = 0;
    current_ = 0;
    groupCounter_ = 0;
}
