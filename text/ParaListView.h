#pragma once
// How the paragraph list reaches the editor views that show its text.
#include <cstdint>

// One view of a paragraph list. Several views may share one list; they form a ring
// (NextView leads round it back to the starting view). The list tells every view of
// the ring how positions moved after each edit, IsSelf being true for the view that
// performed it, and asks every view to lay itself out again after a re-wrap.
class TParaListView {
public:
    // Paragraph Para was removed.
    virtual void AdjustForParaDeleted(int32_t para, bool isSelf) = 0;
    // Count characters were removed from paragraph Para at Pos.
    virtual void AdjustForTextDeleted(int32_t para, int32_t pos, int32_t count, bool isSelf) = 0;
    // Paragraph Para was split at Pos; Indent characters start the new paragraph.
    virtual void AdjustForParaSplit(int32_t para, int32_t pos, int32_t indent, bool isSelf) = 0;
    // Count characters were inserted into paragraph Para at Pos.
    virtual void AdjustForTextInserted(int32_t para, int32_t pos, int32_t count, bool isSelf) = 0;
    // Paragraph Para + 1 was appended to paragraph Para at JoinPos.
    virtual void AdjustForParasJoined(int32_t para, int32_t joinPos, bool isSelf) = 0;
    // The list re-broke all its paragraphs (wrap or tab settings changed).
    virtual void Relayout() = 0;
    // The next view of the ring; the view itself when it is alone. Never null in a
    // well-formed ring; a null ends the walk.
    virtual TParaListView* NextView() const = 0;

protected:
    ~TParaListView() = default; // views are owned by their windows, never by the list
};
