#pragma once
// The multi-paragraph plain-text editor control: its state, properties, events and every
// operation, declared here once and implemented across the Editor*.cpp files by concern.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "components/ZalCaret.h"
#include "components/ZalColor.h"
#include "components/ZalFxFnt.h"
#include "editor/SearchOptions.h"
#include "editor/ZalEditU.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Messages.h"
#include "platform/Types.h"
#include "text/ParaList.h"
#include "text/ParaListView.h"

enum TBorderStyle : uint8_t { bsNone, bsSingle };
enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
// What the Tab key inserts: a tab character, spaces to the next tab stop, or spaces up
// to the next word of a neighbouring line.
enum TTabType : uint8_t { ttReal, ttFixed, ttSmart };

// Posted to the editor's own window on every caret placement: WParam holds the visual
// column in its low 16 bits, LParam the caret line. Handling it raises OnShowStatus.
constexpr UINT ZM_SHOWSTATUS = 0x7F02;

// The 35 characters that end a word by default; letters, digits and '_' are word characters.
inline constexpr std::string_view kDefaultWordDelimiters = "\t'\r\n ,./?;:`\"<>[]{}-=\\+|()%@&^$#!~*";

// Defaults of the numeric properties.
constexpr int32_t kDefaultLeftMargin = 15;
constexpr int32_t kDefaultRightMargin = 5;
constexpr int32_t kMaxParaLengthLimit = 32767;
// The horizontal scroll range never exceeds this many columns.
constexpr int32_t kMaxHorzRange = 512;
// The pixel coordinate that puts the caret off the client area.
constexpr int kCaretOffScreen = 32767;

using TEditorErrorEvent = std::function<void(TComponent* Sender, uint16_t& ErrorCode)>;
using TShowStatusEvent = std::function<void(TComponent* Sender, int32_t LineNum, int32_t ColNum)>;
using TTopLineChangedEvent = std::function<void(TComponent* Sender, int32_t Line)>;
using TUserCommandEvent = std::function<void(TComponent* Sender, uint16_t Command)>;
// Lets the application draw display line Line itself: S is the line's text with tabs
// expanded and Len its length (the display line alone, also when word wrap continues the
// paragraph; 0 when the offset lies beyond it and for rows below the text), Pos the first
// visible visual column - 1, Count the visible columns, HB/HE the highlighted selection's
// start and end line and visual column (all 0 without highlight). Setting WasDrawn leaves
// the row to the handler.
using TEditorDrawLineEvent = std::function<void(
    TComponent* Sender, TCanvas& Canvas, TRect& Rect, const char* S, int32_t Len, int32_t Line,
    int32_t Pos, int32_t Count, int32_t HBLine, int32_t HBCol, int32_t HELine, int32_t HECol,
    bool& WasDrawn)>;

// Whether a comes before b in the text.
inline bool ParaPosBefore(const TParaPos& a, const TParaPos& b) {
    return a.Para < b.Para || (a.Para == b.Para && a.Pos < b.Pos);
}

class TZalCustomEditor : public TZalEditBase, public TParaListView {
public:
    // Creates the text (one empty paragraph), the carets, the colours and the font; the
    // control has no window until it is placed on a shown parent or asked for one.
    explicit TZalCustomEditor(TComponent* owner);
    // Leaves the ring of views (the text goes with its last view).
    ~TZalCustomEditor() override;
    const char* ClassName() const override { return "TZalCustomEditor"; }

    // ==== published properties (EditorState.cpp) =======================================
    // Equal values and out-of-range values are ignored; limits, tab and wrap settings are
    // held by the paragraph list, so every view of a shared text reads the same values.

    // New paragraphs start with the leading white space of the caret line.
    bool AutoIndent() const { return autoIndent_; }
    void SetAutoIndent(bool on) { autoIndent_ = on; }
    // A sunken frame (bsSingle) or none; changing it makes the window again.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    // Maximum text size in bytes (2 per paragraph end); negative values are ignored.
    int32_t ByteLimit() const { return list_->ByteLimit(); }
    virtual void SetByteLimit(int32_t limit);
    // The background colour of the text area and margins.
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    // The font the text is drawn in; assigning copies the given font's settings.
    TZalFixedFont& FixedFont() { return *fixedFont_; }
    const TZalFixedFont& FixedFont() const { return *fixedFont_; }
    void SetFixedFont(const TPersistent& font) { fixedFont_->Assign(font); }
    // The selection is not drawn while the control lacks the focus.
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool on);
    // Text and back colour of the selection; assigning copies the colours.
    TZalColors& HighlightColors() { return *highlightColors_; }
    const TZalColors& HighlightColors() const { return *highlightColors_; }
    void SetHighlightColors(const TPersistent& colors) { highlightColors_->Assign(colors); }
    // Typing inserts (true) or overwrites; switches the caret shape.
    bool InsertMode() const { return insertMode_; }
    void SetInsertMode(bool on);
    // Pixels left of the text (bookmark glyphs, line selection); negative values ignored.
    int32_t LeftMargin() const { return leftMargin_; }
    void SetLeftMargin(int32_t pixels);
    // Maximum characters in one paragraph, 1..32767.
    int32_t ParaLengthLimit() const { return list_->ParaLengthLimit(); }
    void SetParaLengthLimit(int32_t limit);
    // Maximum number of paragraphs; values below 1 are ignored.
    int32_t ParaLimit() const { return list_->ParaLimit(); }
    void SetParaLimit(int32_t limit);
    // Editing commands change nothing while read-only (read through GetReadOnly).
    bool ReadOnly() const { return GetReadOnly(); }
    void SetReadOnly(bool on) { readOnly_ = on; }
    // Pixels right of the last visible column; negative values ignored.
    int32_t RightMargin() const { return rightMargin_; }
    void SetRightMargin(int32_t pixels);
    // The scroll bars the window is made with; changing it makes the window again.
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle bars);
    // Keep the bars even when nothing can scroll (only with some bars).
    bool ScrollBarsAlways() const { return scrollBarsAlways_; }
    void SetScrollBarsAlways(bool on);
    // The caret may stand beyond the end of a line; switches word wrap off.
    bool ScrollPastEnd() const { return scrollPastEnd_; }
    void SetScrollPastEnd(bool on);
    // Bookmark glyphs are drawn in the left margin.
    bool ShowBookmarks() const { return showBookmarks_; }
    void SetShowBookmarks(bool on);
    // Tab stop distance, 1..255.
    int32_t TabSize() const { return list_->TabSize(); }
    void SetTabSize(int32_t size);
    TTabType TabType() const { return tabType_; }
    void SetTabType(TTabType type);
    // Trailing blanks are cut from paragraphs added by AppendPara.
    bool TrimWhiteSpace() const { return trimWhiteSpace_; }
    void SetTrimWhiteSpace(bool on) { trimWhiteSpace_ = on; }
    // Bytes of undo history; every assignment starts a new, empty history.
    uint16_t UndoBufferSize() const { return list_->UndoBuffer().Size(); }
    void SetUndoBufferSize(uint16_t bytes);
    // Enter splits paragraphs instead of reaching the dialog.
    bool WantEnter() const { return wantEnter_; }
    void SetWantEnter(bool on) { wantEnter_ = on; }
    // Tab is used by the editor instead of moving the focus.
    bool WantTab() const { return wantTab_; }
    void SetWantTab(bool on) { wantTab_ = on; }
    // The characters that end a word (each byte of the string is one).
    const std::string& WordDelimiters() const { return wordDelimiters_; }
    void SetWordDelimiters(std::string_view delimiters);
    bool IsDelimiter(char ch) const { return delimiterTable_[static_cast<uint8_t>(ch)]; }
    // Paragraphs break into display lines at the wrap column; on forces WrapAtLeft on
    // and ScrollPastEnd off.
    bool WordWrap() const { return list_->WordWrap(); }
    void SetWordWrap(bool on);
    // Moving left from a paragraph start goes to the end of the previous line; always on
    // while word wrap is on.
    bool WrapAtLeft() const { return wrapAtLeft_; }
    void SetWrapAtLeft(bool on);
    // Wrap width in characters; values below 1 are ignored.
    int32_t WrapColumn() const { return list_->WrapColumn(); }
    void SetWrapColumn(int32_t column);
    // With word wrap, the wrap column follows the window width.
    bool WrapToWindow() const { return wrapToWindow_; }
    void SetWrapToWindow(bool on);
    // The insert and overwrite caret shapes, shared by reference.
    TZalCaret* CaretIns() const { return caretPair_->InsertCaret(); }
    void SetCaretIns(TZalCaret* caret) { caretPair_->SetInsertCaret(caret); }
    TZalCaret* CaretOvr() const { return caretPair_->OverwriteCaret(); }
    void SetCaretOvr(TZalCaret* caret) { caretPair_->SetOverwriteCaret(caret); }
    // The legacy stored "Margin": both margin fields at once, as forms of old wrote it.
    void SetMargin(int32_t pixels);
    // Reads the legacy "Margin" property from stored forms.
    void DefineProperties(TFiler& filer) override;

    // ==== events (EditorState.cpp) =====================================================
    // After the editing commands and after a paragraph split by Enter.
    TNotifyEvent OnChange;
    // Lets the application draw a line itself (Paint).
    TEditorDrawLineEvent OnDrawLine;
    // Receives a failed edit's error code instead of EEditorError being raised.
    TEditorErrorEvent OnError;
    // The caret's line and visual column, after the command that placed it.
    TShowStatusEvent OnShowStatus;
    // The first line shown changed.
    TTopLineChangedEvent OnTopLineChanged;
    // Command codes from 256 up.
    TUserCommandEvent OnUserCommand;

    // ==== queries and coordinates (EditorCoords.cpp) ===================================
    int32_t LineCount() const { return list_->LineCount(); }
    int32_t ParaCount() const { return list_->ParaCount(); }
    // Bytes of the text as saved: paragraph lengths plus 2 per paragraph.
    int32_t TextLength() const { return list_->ByteCount(); }
    int32_t TopLine() const { return topLine_; }
    // Whole character cells between the margins; makes the window first.
    int32_t VisibleColumns();
    // The text differs from the last loaded or saved state. Clearing it also marks the
    // present undo state as the saved one and repaints every view.
    bool Modified() const { return list_->Modified(); }
    void SetModified(bool on);
    // False while read-only; otherwise whether there is history to undo or redo.
    bool CanUndo() const;
    bool CanRedo() const;
    // Paragraph Para's text ("" for none); EInvalidLineOrPara outside 1..ParaCount.
    std::string GetPara(int32_t para);
    const char* GetParaPointer(int32_t para, int32_t& len);
    // Display line Line with tabs expanded to spaces, at most destLen characters and a
    // terminating zero (dest holds destLen + 1 bytes); EInvalidLineOrPara for no such line.
    void GetPrintableLine(int32_t line, char* dest, int32_t destLen);
    // Para/Pos to Line/Col in place; EInvalidLineOrPara for no such paragraph.
    void ParaToLine(int32_t& para, int32_t& pos);
    // Moves the caret to Line/Col; EInvalidLineOrPara for no such line or Col < 1.
    void SetCaretPosition(int32_t line, int32_t col);
    // Scrolls so that Line is the first line shown; EInvalidLineOrPara for no such line.
    void SetTopLine(int32_t line);
    // Appends S as the last paragraph(s) while loading: lines longer than the paragraph
    // length limit are cut at word breaks. Returns the first error code (0 = success).
    TEditError AppendPara(std::string_view s);

    // ==== the view: caret placement, scrolling, adjustment (EditorView.cpp) ============
    // Relative move; vertical moves keep the visual column, KeepRow keeps the caret's row
    // on screen. Extend extends the selection, otherwise it collapses at the caret.
    void MoveCaretBy(int32_t deltaCol, int32_t deltaLine, bool extend, bool keepRow);
    void MoveCaretTo(int32_t line, int32_t col, bool extend);
    void MoveCaretToPara(int32_t para, int32_t pos, bool extend);
    // Moves the view by columns and lines, clamped to the text.
    virtual void Scroll(int32_t deltaCols, int32_t deltaLines);
    // Stores the top line, raising OnTopLineChanged when it differs.
    void SetTopLineValue(int32_t line);
    // TParaListView: the list re-wrapped, or positions moved after an edit.
    void Relayout() override;
    void AdjustForParaDeleted(int32_t para, bool isSelf) override;
    void AdjustForTextDeleted(int32_t para, int32_t pos, int32_t count, bool isSelf) override;
    void AdjustForParaSplit(int32_t para, int32_t pos, int32_t indent, bool isSelf) override;
    void AdjustForTextInserted(int32_t para, int32_t pos, int32_t count, bool isSelf) override;
    void AdjustForParasJoined(int32_t para, int32_t joinPos, bool isSelf) override;

    // ==== the ring of views and the text (EditorRing.cpp) ==============================
    // Shares Editor's text: this view leaves its ring and joins Editor's, its caret,
    // selection and view going back to the start of the text.
    virtual void Attach(TZalCustomEditor* editor);
    // Replaces the text by a new, empty one with the same limits and settings (other
    // views keep the old text); with reset and a window, the bars and view are refreshed.
    void Clear(bool reset);
    // Refreshes scroll bars, metrics and wrap column and repaints (with a window only).
    void ResetScrollBars(bool repaint);
    TZalParaList& ParaList() { return *list_; }
    const TZalParaList& ParaList() const { return *list_; }
    TParaListView* NextView() const override { return nextView_; }
    TZalCustomEditor* NextEditor() const { return nextView_; }
    TZalCustomEditor* PrevEditor() const { return prevView_; }

    // ==== selection (EditorSelection.cpp) ===============================================
    // Selects from (Line1, Col1) to (Line2, Col2), clamped to the text; the caret ends at
    // the second end with CaretAtEnd, at the first otherwise. Nothing on an empty text.
    void SetSelection(int32_t line1, int32_t col1, int32_t line2, int32_t col2, bool caretAtEnd);
    void SelectParaRange(int32_t para1, int32_t pos1, int32_t para2, int32_t pos2, bool caretAtEnd);
    // False when nothing is selected; otherwise the selection's ends as Line/Col.
    bool GetSelection(int32_t& line1, int32_t& col1, int32_t& line2, int32_t& col2);
    // Collapses a selection onto its end (CaretAtEnd) or its start, the caret going there.
    void DeselectAll(bool caretAtEnd);
    bool SelectionExists() const { return !(selStart_ == selEnd_); }
    // Start, end and caret end become the caret position (clamped to the paragraph end).
    void CollapseSelection(bool redraw);
    // The caret end of the selection moves to the caret position.
    void ExtendSelection(bool redraw);

    // ==== view state, read-only (kept in the fields below) =============================
    int32_t CaretLine() const { return caretLine_; }
    int32_t CaretCol() const { return caretCol_; }
    int32_t CaretPara() const { return caretPara_; }
    int32_t CaretPos() const { return caretLineOffset_ + caretCol_; }
    int32_t CaretLineOffset() const { return caretLineOffset_; }
    // The caret's screen column with tabs expanded.
    int32_t CaretVisualColumn();
    int32_t HorzOffset() const { return horzOffset_; }
    int32_t HorzMax() const { return horzMax_; }
    int32_t TopPara() const { return topPara_; }
    int32_t TopLineOffset() const { return topLineOffset_; }
    TParaPos SelStart() const { return selStart_; }
    TParaPos SelEnd() const { return selEnd_; }
    TParaPos SelCaretEnd() const { return selCaretEnd_; }
    int32_t SelStartLine() const { return selStartLine_; }
    int32_t SelStartCol() const { return selStartCol_; }
    int32_t SelEndLine() const { return selEndLine_; }
    int32_t SelEndCol() const { return selEndCol_; }
    int32_t VisibleRows() const { return visibleRows_; }
    int32_t CharWidth() const { return charWidth_; }
    int32_t RowHeight() const { return rowHeight_; }
    bool HasHorzBar() const { return hasHorzBar_; }
    bool HasVertBar() const { return hasVertBar_; }
    bool Invalidated() const { return invalidated_; }
    bool HorzPosDirty() const { return horzPosDirty_; }
    bool VertPosDirty() const { return vertPosDirty_; }
    bool VertRangeDirty() const { return vertRangeDirty_; }
    const TBitmap* MarkerBitmap() const { return markerBitmap_.get(); }
    TZalCaretPair& CaretPair() { return *caretPair_; }

    // ==== display and scroll bars (EditorPaint.cpp) ====================================
    // Puts the system caret at its cell (VisualCol 0: the caret's own) and posts the
    // status message.
    void PlaceCaret(int32_t visualCol);
    // Marks a full repaint pending and invalidates the window; Update paints at once.
    void InvalidateAll(bool update);
    // Invalidates the rows of display lines Line1..Line2 that are on the page.
    void InvalidateLines(int32_t line1, int32_t line2);
    void UpdateHorzRange();
    void UpdateHorzPos();
    void UpdateVertRange();
    void UpdateVertPos();

    // ==== editing commands (EditorCommands.cpp, EditorEditing.cpp, EditorInsertFit.cpp,
    // ==== EditorClipboard.cpp, EditorUndo.cpp) =========================================
    // Executes one command code: Ch is the typed character for ccInsertChar and the key
    // (a digit) for the bookmark commands; codes from 256 go to OnUserCommand. False for
    // the codes this control does not handle (it then does nothing).
    virtual bool ProcessCommand(uint16_t command, char ch);
    // One character left or right; at a paragraph's edge to the neighbouring line.
    void CaretLeft(bool extend);
    void CaretRight(bool extend);
    // To the start of the word before the caret, or past the word and delimiters after it.
    void WordLeft(bool extend);
    void WordRight(bool extend);

    // Deletions; all do nothing while read-only.
    // The selection, else the character at the caret (joining the next paragraph at the
    // paragraph's end).
    void DeleteSelectionOrChar();
    // The selection, else the character before the caret (Backspace).
    void DeleteLeft();
    // From the start of the caret's line up to the caret, or from the caret to its end.
    void DeleteToLineStart();
    void DeleteToLineEnd();
    // The caret's line with its line break; the last line is only emptied.
    void DeleteLine();
    // The selection, else the word at the caret with the blanks after it.
    void DeleteWord();

    // Insertion; nothing while read-only.
    // Types Ch over the selection, else inserts or overwrites as InsertMode says.
    void InsertChar(char ch);
    // Inserts S (line breaks make paragraphs) in place of the selection, as one undo
    // step. A text that would break a limit changes nothing: the error code is returned.
    TEditError InsertText(std::string_view s);
    // Enter: with Insert the paragraph splits at the caret (auto-indented); with
    // MoveCaret the caret goes to the start of the next paragraph.
    void NewLine(bool insert, bool moveCaret);
    // Tab: a tab character or spaces, as TabType says.
    void InsertTab();

    // The selection to the clipboard as text (bytes 1..8 as spaces); Cut also deletes
    // it, but only once it is on the clipboard.
    virtual void CopyToClipboard();
    virtual void CutToClipboard();
    // Inserts the clipboard's text at the caret (InsertText), reporting a refusal.
    virtual void PasteFromClipboard();
    // Reverses or repeats the newest edit; a beep when there is none.
    virtual void Undo();
    virtual void Redo();

    // Bookmarks 0..9 of the text; other indexes are ignored.
    // Puts bookmark Index at the caret, or at (Line, Col) (EInvalidLineOrCol when no
    // such line or Col < 1).
    virtual void SetMarker(int index);
    virtual void SetMarkerAt(int index, int32_t line, int32_t col);
    virtual void ClearMarker(int index);
    // Moves the caret to bookmark Index when it is set.
    void GotoMarker(int index);

    // ==== search and replace (EditorSearch.cpp) ========================================
    // Finds S (cut to 255 characters) and selects the match: forward or backward from the
    // caret, from the text's first or last position (soGlobal) or inside the selection
    // (soSelectedOnly). True when found, and for an empty S, which searches nothing.
    bool Search(std::string_view s, TSearchOptions options);
    // Search that replaces: the selection when it holds S, then the next match is found
    // and selected (soReplace) or every match is replaced (soReplaceAll). Returns the
    // replacements made when above 0; else 0 when a match was selected, -1 when none was
    // found, or the error code of a refused edit (after DoOnError). An empty S, or a
    // replacing call without R (a null view), returns 0 and does nothing; an empty R
    // deletes the matches. R is cut to 255 characters and at a zero byte.
    virtual int32_t Replace(std::string_view s, std::string_view r, TSearchOptions options);
    // Whether the selection lies in one paragraph and holds exactly S (not empty), byte
    // for byte or, without matchCase, upper-cased as the search compares.
    bool SelectionMatches(std::string_view s, bool matchCase);
    // One call's search state (the pattern, range, position and count).
    class TSearchRun;

    // ==== keyboard, mouse and focus (EditorInput.cpp) ==================================

protected:
    // ---- overridable operations (EditorState.cpp) ------------------------------------
    virtual bool GetReadOnly() const { return readOnly_; }
    virtual void DoOnChange();
    // Reports a failed edit: to OnError when assigned, else as EEditorError. 0 is ignored.
    virtual void DoOnError(uint16_t errorCode);
    virtual void DoOnShowStatus(int32_t line, int32_t col);
    virtual void DoOnTopLineChanged(int32_t line);
    virtual void DoOnUserCommand(uint16_t command);
    // In design mode, replaces the text by 30 sample paragraphs.
    virtual void CreateDesignText();
    // Calls OnDrawLine (EditorPaint.cpp); true when the handler drew the row.
    virtual bool DoOnDrawLine(TCanvas& canvas, const TRect& rect, const char* s, int32_t len,
                              int32_t line, int32_t pos, int32_t count, int32_t hbLine,
                              int32_t hbCol, int32_t heLine, int32_t heCol);

    // ---- window and messages (EditorState.cpp) ---------------------------------------
    // Chooses the window's bars and border from the properties, then sets the view up.
    void CreateWnd() override;
    // Status, size and destroy here; the other messages go to the handler hooks of
    // display and input, then to the inherited handling.
    void WndProc(TMessage& message) override;
    void WMShowStatus(TMessage& message);
    void WMSize(TMessage& message);
    void WMDestroy(TMessage& message);
    // The control's font or the fixed font changed.
    void FontChanged() override;
    // Recomputes character width, rows and columns until the bars settle.
    void UpdateMetrics();
    // With WrapToWindow and word wrap, the wrap column follows the visible columns.
    void UpdateWrapColumn();
    // Setter steps: a changed value is stored and the view repainted; a margin also
    // recomputes the metrics and the wrap column.
    template <class T> void StoreAndRepaint(T& field, T value);
    void SetMarginField(int32_t& field, int32_t pixels);
    // Makes the window again, keeping the focus where it was.
    void RecreateKeepingFocus();
    void LoadMarkerBitmap();

    // ---- display hooks (EditorPaint.cpp) ---------------------------------------------
    void Paint(TCanvas& canvas) override;
    // Scroll-bar and erase messages; false for any other message.
    bool HandleDisplayMessage(TMessage& message);
    // Moves or repaints the pixels after the view moved by DX columns and DY lines.
    void ScrollPixels(int32_t dx, int32_t dy);
    // The three scroll-bar refreshes are due after the next paint.
    void MarkScrollBarsDirty();
    // The bars' requests: lines, pages and the thumb.
    void WMHScroll(TMessage& message);
    void WMVScroll(TMessage& message);
    // The selection as a paint draws it: its ends' lines and visual columns, all 0 when
    // no highlight is shown. A column is left 0 when its line is outside first..last and
    // no OnDrawLine handler wants it.
    struct THighlight {
        int32_t StartLine = 0, StartCol = 0, EndLine = 0, EndCol = 0;
    };
    THighlight PaintedHighlight(int64_t firstLine, int64_t lastLine);
    // How many of the n visible characters of a line come before the highlight (normal)
    // and in it (marked); the rest follows in normal colours.
    void SplitRow(int32_t line, int32_t n, const THighlight& h, int32_t& normal, int32_t& marked) const;
    // Draws display line `line` (beyond the text: a blank row) in the row rectangle.
    void PaintRow(TCanvas& canvas, const TRect& rect, int64_t line, const THighlight& h,
                  std::string& expanded);
    // The glyph of the lowest-numbered bookmark on each row's line, in the left margin.
    void PaintBookmarks(TCanvas& canvas);

    // ---- input hook (EditorInput.cpp) ------------------------------------------------
    // Keyboard, mouse and focus messages; false for any other message.
    bool HandleInputMessage(TMessage& message);
    // Keys become commands through the controller's tables; an unhandled key decides
    // whether its character message is typed.
    void WMKeyDown(TMessage& message);
    // Alt combinations (Alt alone and Alt+Tab excepted).
    void WMSysKeyDown(TMessage& message);
    // A printable character is typed unless its key said otherwise.
    void WMChar(TMessage& message);
    // Claims Alt+Backspace so that no dialog takes it as an accelerator.
    void CMDialogChar(TMessage& message);
    // Asks for arrows, all keys and characters, and Tab while WantTab is on.
    void WMGetDlgCode(TMessage& message);
    // The caret pair comes and goes with the focus; the insert mode is handed on through
    // the controller.
    void WMSetFocus(TMessage& message);
    void WMKillFocus(TMessage& message);
    // A selection hidden without the focus must be drawn or wiped when the focus changes;
    // nothing else on the screen depends on it.
    bool HighlightFollowsFocus() const { return hideSelection_ && SelectionExists(); }
    // Over the left margin the line cursor shows, and clicks select whole lines.
    void WMSetCursor(TMessage& message);
    // Places the caret, then follows the pointer until the button is up.
    void WMLButtonDown(TMessage& message);
    void WMLButtonUp(TMessage& message);
    // Selects the word (with its trailing blanks) or, in the margin, the paragraph.
    void WMLButtonDblClk(TMessage& message);
    // Lets the controller keep a click from activating an unfocused editor.
    void WMMouseActivate(TMessage& message);
    // One line per wheel message.
    void WMMouseWheel(TMessage& message);
    // The display line and character column under client pixel (X, Y); above and below
    // the window give the lines beyond the page, clamped to the text.
    void HitTest(int x, int y, int32_t& line, int32_t& col);
    // One drag: whole lines from the margin (from the anchor) or characters, Shift held.
    struct TDrag {
        bool Margin = false, Shift = false;
        int32_t AnchorLine = 0, AnchorCol = 0;
    };
    void TrackDrag(const TDrag& drag);
    // Selects from the anchor to the start of the line after Line (to the end on the
    // last line), or from the start of Line back to the anchor when Line comes before it
    // or the pointer is above the window.
    void SelectMarginLines(const TDrag& drag, int32_t line, bool above);
    // The word at (Line, Col) as paragraph positions: its start, and the end after its
    // trailing white space.
    void WordAt(int32_t line, int32_t col, int32_t& start, int32_t& end);

    // ---- editing helpers (EditorCommands.cpp, EditorEditing.cpp, ...) ----------------
    // Deletes the selection and puts the caret at its start; a refused deletion changes
    // nothing and returns its code without reporting it.
    TEditError RemoveSelection();
    // Inserts N spaces at the caret, overwriting N characters in overwrite mode; a run
    // that does not fit changes nothing and returns its code.
    TEditError InsertSpaces(int32_t n);
    // Where a smart tab on the caret's line stops, judged by display line Line.
    int32_t SmartTabStop(int32_t line);
    // Gives s to the text store in chunks that end at line breaks, from the caret.
    TEditError InsertBlockAtCaret(std::string_view s);
    // The first limit that inserting s in place of the selection would break (0: none).
    TEditError CheckInsertFits(std::string_view s);
    // The selected text with CR LF between paragraphs.
    std::string SelectionText();
    // Puts the selection on the clipboard; false when it did not get there.
    bool CopySelection();
    // Undoes or redoes the newest group (a beep when there is none), the caret going to
    // the position the replay reports and the view following it.
    void Replay(bool redo);
    void PlaceAfterReplay(int32_t para, int32_t pos, bool scrollFirst);
    // The lines the text store last changed are repainted (and the vertical bar
    // refreshed when line counts changed).
    void InvalidateRepaintRange();
    // Paints what is invalid now.
    void UpdateNow();
    bool CaretLineOnPage() const {
        return caretLine_ >= topLine_ && caretLine_ < int64_t(topLine_) + visibleRows_;
    }

    // ---- view helpers (EditorView.cpp, EditorRing.cpp) -------------------------------
    // The caret core: absolute moves take the column as it is and never keep the row.
    void MoveCaret(int64_t deltaCol, int64_t deltaLine, bool extend, bool keepRow, bool absolute);
    // The display line and column of a paragraph position.
    int32_t LineOf(TParaPos p, int32_t& col);
    // Moves the remembered positions of this view after an edit described by `move`.
    struct TEditShift;
    void AdjustView(const TEditShift& shift, bool isSelf);
    // Caret, top and selection back to the start of the text.
    void ResetViewState();
    void LeaveRing();
    void JoinRing(TZalCustomEditor* owner);
    // The busy indicator of every text: the hourglass while the text re-wraps.
    static void ShowBusy(bool busy);
    // A new text without owner (so that settings applied to it reach no view yet).
    static TZalParaList* NewParaList(uint16_t undoSize);

    // ==== state ==========================================================================
    // Published properties held by the control itself.
    bool autoIndent_ = false;
    TBorderStyle borderStyle_ = bsSingle;
    TColor color_ = clWindow;
    bool hideSelection_ = true;
    bool insertMode_ = true;
    int32_t leftMargin_ = kDefaultLeftMargin;
    bool readOnly_ = false;
    int32_t rightMargin_ = kDefaultRightMargin;
    TScrollStyle scrollBars_ = ssBoth;
    bool scrollBarsAlways_ = false;
    bool scrollPastEnd_ = false;
    bool showBookmarks_ = true;
    TTabType tabType_ = ttReal;
    bool trimWhiteSpace_ = true;
    bool wantEnter_ = true;
    bool wantTab_ = false;
    std::string wordDelimiters_;
    std::array<bool, 256> delimiterTable_{};
    bool wrapAtLeft_ = true;
    bool wrapToWindow_ = false;

    // Owned objects.
    std::unique_ptr<TZalFixedFont> fixedFont_;
    std::unique_ptr<TZalColors> highlightColors_;
    std::unique_ptr<TZalCaretPair> caretPair_;
    std::unique_ptr<TBitmap> markerBitmap_; // only while ShowBookmarks and a window exist
    HCURSOR marginCursor_ = nullptr;

    // Keyboard and mouse state: a drag in progress, the pointer over the margin, the next
    // character message to be dropped.
    bool mouseCaptured_ = false;
    bool inMargin_ = false;
    bool suppressChar_ = false;

    // Metrics.
    int32_t visibleCols_ = 1; // whole character cells between the margins, at least 1
    int32_t visibleRows_ = 1; // whole rows in the client height, at least 1
    int32_t charWidth_ = 1;
    int32_t rowHeight_ = 1;

    // The caret: Pos = line offset + column.
    int32_t caretCol_ = 1;
    int32_t caretLine_ = 1;
    int32_t caretPara_ = 1;
    int32_t caretLineOffset_ = 0;
    int32_t horzOffset_ = 0; // visual columns scrolled off at the left

    // The selection: start <= end; the caret end is one of them.
    TParaPos selCaretEnd_{1, 1};
    TParaPos selStart_{1, 1};
    int32_t selStartLine_ = 1, selStartCol_ = 1;
    TParaPos selEnd_{1, 1};
    int32_t selEndLine_ = 1, selEndCol_ = 1;

    // Scroll bars.
    bool hasHorzBar_ = false;
    bool hasVertBar_ = false;
    int32_t horzMax_ = 0; // longest possible line in columns, at most 512
    bool horzPosDirty_ = false;
    bool vertPosDirty_ = false;
    bool vertRangeDirty_ = false;
    bool invalidated_ = false; // a full repaint is pending

    // The text and the ring of views that share it.
    TZalParaList* list_ = nullptr;
    TZalCustomEditor* prevView_ = this;
    TZalCustomEditor* nextView_ = this;

    // The view: the top line, also as paragraph and characters before it, which survive
    // re-wrapping.
    int32_t topLine_ = 1;
    int32_t topPara_ = 1;
    int32_t topLineOffset_ = 0;
};
