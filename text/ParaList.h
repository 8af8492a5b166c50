#pragma once
// The text store of the editor: a chain of paragraphs with its totals, limits, wrap and
// tab settings, bookmarks, modified flag and undo history.
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "text/ParaListView.h"
#include "text/ParaNode.h"
#include "text/TextErrors.h"
#include "text/UndoBuffer.h"

// A paragraph and a 1-based character position in it; paragraph 0 means "not set".
struct TParaPos {
    int32_t Para = 0;
    int32_t Pos = 0;
    friend bool operator==(const TParaPos&, const TParaPos&) = default;
};

// "No limit", and the repaint end meaning "up to the end of the text".
constexpr int32_t kNoLimit = 2147483647;
constexpr int32_t kRepaintToEnd = 2147483647;
constexpr int kMarkerCount = 10;
// RewrapAll shows the busy indicator above this many bytes of text.
constexpr int32_t kBusyRewrapBytes = 10000;
constexpr uint16_t kDefaultUndoSize = 8192;
// Node lengths and capacities are 16-bit and capacities grow in steps of 16: no paragraph
// is let grow past this, so its buffer size never wraps.
constexpr int kMaxParaChars = 65519;

// Called with true when a long operation starts and with false when it ends (also when
// it ends by an exception). The editor turns it into the hourglass cursor.
using TBusyIndicator = std::function<void(bool busy)>;

class TZalParaList {
public:
    TZalParaList(TParaListView* owner, bool wordWrap, uint16_t undoSize = kDefaultUndoSize);
    ~TZalParaList();
    TZalParaList(const TZalParaList&) = delete;
    TZalParaList& operator=(const TZalParaList&) = delete;

    // --- settings -------------------------------------------------------------------
    TParaListView* Owner() const { return owner_; }
    void SetOwner(TParaListView* owner) { owner_ = owner; } // when the owner leaves the ring
    int32_t ParaLimit() const { return paraLimit_; }
    int32_t ByteLimit() const { return byteLimit_; }
    int32_t ParaLengthLimit() const { return paraLengthLimit_; }
    void SetParaLimit(int32_t n) { paraLimit_ = n; }
    void SetByteLimit(int32_t n) { byteLimit_ = n; }
    void SetParaLengthLimit(int32_t n) { paraLengthLimit_ = n; } // the editor enforces 1..32767
    bool WordWrap() const { return wordWrap_; }
    int32_t WrapColumn() const { return wrapColumn_; }
    int TabSize() const { return tabSize_; }
    // The width the nodes are broken at: the wrap column, or "unwrapped".
    int WrapWidth() const { return wordWrap_ ? wrapColumn_ : kUnwrappedWidth; }
    void SetTabSize(int n);       // 1..255; others ignored
    void SetWordWrap(bool on);
    void SetWrapColumn(int32_t n); // at least 1; others ignored
    // Replaces the undo buffer by a new one of n bytes: all history is lost.
    void SetUndoBufferSize(uint16_t n);
    void RelayoutViews();
    void SetBusyIndicator(TBusyIndicator indicator) { busy_ = std::move(indicator); }

    // --- state ----------------------------------------------------------------------
    int32_t ParaCount() const { return paraCount_; }
    int32_t LineCount() const { return lineCount_; }
    int32_t ByteCount() const { return byteCount_; } // 2 bytes per paragraph end
    bool Modified() const { return modified_; }
    void SetModified(bool on) { modified_ = on; }
    bool NotifyViews() const { return notifyViews_; }
    bool Replaying() const { return replaying_; }
    int32_t RepaintFrom() const { return repaintFrom_; }
    int32_t RepaintTo() const { return repaintTo_; }
    // The display lines that the paragraph of the last text-inserted or text-deleted
    // notification gained (negative: lost); the views move the lines after it by this.
    int32_t LastLineDelta() const { return lastLineDelta_; }
    TZalUndoBuffer& UndoBuffer() { return *undo_; }
    const TZalUndoBuffer& UndoBuffer() const { return *undo_; }
    TParaNode* First() const { return first_; }
    TParaNode* Last() const { return last_; }
    // The remembered position that makes sequential access free.
    TParaNode* CachedNode() const { return cacheNode_; }
    int32_t CachedPara() const { return cachePara_; }
    int32_t CachedLine() const { return cacheLine_; }
    int32_t CachedLineInPara() const { return cacheLineInPara_; }

    // --- queries (they move the cache) --------------------------------------------
    TParaNode* FindPara(int32_t para);
    TParaNode* GetLineText(int32_t line, const char*& text, int& len);
    int ParaLength(int32_t para);
    int LineLength(int32_t line);
    int LineWidth(int32_t line);
    int32_t LineToPara(int32_t line, int& offset);
    int32_t ParaPosToLine(int32_t para, int pos, int& col);
    int PosToColumn(const char* text, int len, int pos) const;
    int ColumnToPos(const char* text, int len, int col) const;

    // Whether adding addParas paragraphs and addBytes bytes (going into paragraph para)
    // keeps within the limits. Changes nothing.
    TEditError CheckLimits(int32_t para, int32_t addParas, int32_t addBytes);

    // --- editing primitives (editor: the view performing the edit, may be null) ----
    TEditError AddLoadedPara(const char* text, int len, bool trim);
    TEditError InsertTextAt(TParaListView* editor, int32_t para, int count, const char* s, int pos);
    void DeleteTextAt(TParaListView* editor, int32_t para, int count, int pos);
    TEditError ReplaceTextAt(TParaListView* editor, int32_t para, int newCount, const char* s,
                             int oldCount, int pos);
    TEditError InsertParaBefore(TParaListView* editor, int32_t para, int len, const char* text);
    TEditError InsertParaAfter(TParaListView* editor, int32_t para, int len, const char* text);
    void DeletePara(TParaListView* editor, int32_t para);
    void RewrapAll();

    // --- compound edits and replay (ParaListEdits.cpp) ------------------------------
    TEditError SplitPara(TParaListView* editor, int32_t para, int pos, bool trim, int& indent,
                         int indentTabSize);
    TEditError JoinParas(TParaListView* editor, int32_t para, int pos);
    // Deletes from (para1, pos1) up to (para2, pos2) as one undo group. When the text
    // left around the range would not fit one paragraph it returns ecJoinTooLong and
    // changes nothing.
    TEditError DeleteRange(TParaListView* editor, int32_t para1, int pos1, int32_t para2,
                           int pos2);
    TEditError InsertBlock(TParaListView* editor, int32_t& para, std::string_view s, int& pos);
    // Undoes the newest group; returns the modified flag it restored.
    bool UndoGroup(TParaListView* editor, int32_t& para, int& pos);
    void RedoGroup(TParaListView* editor, int32_t& para, int& pos);

    // --- bookmarks and positions ----------------------------------------------------
    TParaPos Marker(int index) const;
    void SetMarker(int index, int32_t para, int32_t pos);
    void SetMarkerAtLine(int index, int32_t line, int col);
    void AdjustPosForParaDeleted(TParaPos& p, int32_t para) const;
    void AdjustPosForTextDeleted(TParaPos& p, int32_t para, int32_t count, int32_t pos) const;

private:
    class TGroupScope;
    class TFlagScope;

    void SetCache(TParaNode* node, int32_t para, int32_t line, int32_t lineInPara);
    int W(const char* text, int n) const;
    void SetRepaint(int32_t paraFirstLine, int32_t firstLine, int32_t lastLine, bool linesChanged);
    bool Recording() const { return !replaying_; }
    void RecordPosition(int32_t para, int pos);

    // ecJoinTooLong when appending nextLen characters at pos of a paragraph of len
    // characters would break a limit; only growth beyond a limit counts.
    TEditError CheckJoin(int len, int pos, int nextLen) const;
    // Insertion without the limit test: shared by InsertTextAt, the join and replay.
    TEditError DoInsertText(TParaListView* editor, int32_t para, int count, const char* s,
                            int pos);
    // Link a node (new or held by an undo record) into the chain.
    void LinkBefore(TParaListView* editor, TParaNode* node, int32_t para, bool rewrap);
    void LinkAfter(TParaListView* editor, TParaNode* node, int32_t para, bool rewrap);
    void Unlink(TParaNode* node);
    // Removes the paragraph an undo record holds, found by identity first.
    void RemoveHeldPara(TParaListView* editor, TParaNode* held, int32_t para);
    int32_t IndexOf(const TParaNode* node) const;
    static bool InChain(const TParaNode* node, const TParaNode* first);
    void ApplyUndo(TParaListView* editor, const TUndoRecord& rec);
    void ApplyRedo(TParaListView* editor, const TUndoRecord& rec, int32_t& para, int& pos);

    // Notifications: move the bookmarks, then tell every view of the editor's ring.
    void NotifyParaDeleted(TParaListView* editor, int32_t para);
    void NotifyTextDeleted(TParaListView* editor, int32_t para, int32_t count, int32_t pos);
    void NotifyParaSplit(TParaListView* editor, int32_t para, int32_t indent, int32_t splitPos);
    void NotifyTextInserted(TParaListView* editor, int32_t para, int32_t count, int32_t pos);
    void NotifyParasJoined(TParaListView* editor, int32_t para, int32_t joinPos);
    template <class F> void ForEachView(TParaListView* start, F&& f);

    TParaListView* owner_;
    TParaNode* first_ = nullptr;
    TParaNode* last_ = nullptr;
    TParaNode* cacheNode_ = nullptr;
    int32_t cachePara_ = 1;
    int32_t cacheLine_ = 1;
    int32_t cacheLineInPara_ = 1;
    int32_t paraCount_ = 1;
    int32_t byteCount_ = 0;
    int32_t lineCount_ = 1;
    int32_t paraLimit_ = kNoLimit;
    int32_t byteLimit_ = kNoLimit;
    int32_t paraLengthLimit_ = 32767;
    bool wordWrap_;
    int32_t wrapColumn_ = 80;
    uint8_t tabSize_ = 8;
    bool modified_ = false;
    bool notifyViews_ = true;
    TParaPos markers_[kMarkerCount];
    std::unique_ptr<TZalUndoBuffer> undo_;
    bool replaying_ = false;
    int32_t repaintFrom_ = 1;
    int32_t repaintTo_ = 1;
    int32_t lastLineDelta_ = 0;
    TBusyIndicator busy_;
};
