// Keyboard, mouse and focus: the editor's reaction to the input messages of its window.
#include <algorithm>

#include "components/ZalCmdCodes.h"
#include "editor/ZalEdit.h"
#include "platform/Cursors.h"
#include "platform/Input.h"
#include "platform/Keyboard.h"
#include "platform/Timers.h"
#include "platform/VirtualKeys.h"
#include "platform/Window.h"

namespace {
// The static-control answer to the dialog-code query: a designed editor takes no keys.
constexpr LRESULT kDlgCodeStatic = 0x0100;

bool IsWhiteSpace(char c) { return c == ' ' || c == '\t'; }
} // namespace

bool TZalCustomEditor::HandleInputMessage(TMessage& message) {
    switch (message.Msg) {
    case WM_KEYDOWN: WMKeyDown(message); return true;
    case WM_SYSKEYDOWN: WMSysKeyDown(message); return true;
    case WM_CHAR: WMChar(message); return true;
    case CM_DIALOGCHAR: CMDialogChar(message); return true;
    case WM_GETDLGCODE: WMGetDlgCode(message); return true;
    case WM_SETFOCUS: WMSetFocus(message); return true;
    case WM_KILLFOCUS: WMKillFocus(message); return true;
    case WM_SETCURSOR: WMSetCursor(message); return true;
    case WM_LBUTTONDOWN: WMLButtonDown(message); return true;
    case WM_LBUTTONUP: WMLButtonUp(message); return true;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(message); return true;
    case WM_MOUSEACTIVATE: WMMouseActivate(message); return true;
    case WM_MOUSEWHEEL: WMMouseWheel(message); return true;
    default: return false;
    }
}

// --- keyboard ----------------------------------------------------------------------------------

void TZalCustomEditor::WMKeyDown(TMessage& message) {
    TZalEditBase::WndProc(message);
    TZalController* controller = Controller();
    if (!controller) return;
    const auto key = uint16_t(message.WParam & 0xFFFF);
    const TZalCommand code = controller->EntryCommands().TranslateKeyMessage(message);
    if (ProcessCommand(code, char(key))) {
        message.Result = 0;
        return;
    }
    if (key == VK_TAB && wantTab_) {
        InsertTab();
        message.Result = 0;
    } else if (key == VK_RETURN && wantEnter_) {
        NewLine(insertMode_ && !ReadOnly(), true);
        message.Result = 0;
    }
    // The character of a sequence's first key, and Backspace's (Ctrl+Backspace gives 127),
    // must not be typed.
    suppressChar_ = code == ccPending || key == VK_BACK;
}

void TZalCustomEditor::WMSysKeyDown(TMessage& message) {
    TZalEditBase::WndProc(message);
    const auto key = uint16_t(message.WParam & 0xFFFF);
    TZalController* controller = Controller();
    if (!controller || key == VK_TAB || key == VK_MENU) return; // Alt+Tab and Alt belong to the system
    if (const TZalCommand code = controller->EntryCommands().TranslateKeyShift(key, ssAlt); code != 0)
        ProcessCommand(code, char(key));
}

void TZalCustomEditor::WMChar(TMessage& message) {
    TZalEditBase::WndProc(message);
    if (suppressChar_) return;
    const auto ch = uint8_t(message.WParam & 0xFF);
    if (ch < 32) return; // control characters are the keys' business
    ProcessCommand(ccInsertChar, char(ch));
    message.Result = 0;
}

void TZalCustomEditor::CMDialogChar(TMessage& message) {
    // Alt+Backspace is the restore command here, not a dialog accelerator.
    if ((message.WParam & 0xFF) == VK_BACK && (message.LParam & KF_ALTDOWN_BIT)) {
        message.Result = 1;
        return;
    }
    TZalEditBase::WndProc(message);
}

void TZalCustomEditor::WMGetDlgCode(TMessage& message) {
    if (IsDesigning()) {
        message.Result = kDlgCodeStatic;
        return;
    }
    TZalEditBase::WndProc(message);
    message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    if (wantTab_) message.Result |= DLGC_WANTTAB;
}

// --- focus -------------------------------------------------------------------------------------

void TZalCustomEditor::WMSetFocus(TMessage& message) {
    if (IsDesigning()) return;
    TZalEditBase::WndProc(message);
    // The insert mode belongs to the form: toggled in one editor, it holds in the next.
    if (TZalController* controller = Controller()) insertMode_ = controller->SharedInsertMode;
    caretPair_->SetAttached(true);
    caretPair_->SetLineHeight(rowHeight_);
    caretPair_->SetCharWidth(charWidth_);
    caretPair_->SetUseInsertCaret(insertMode_);
    PlaceCaret(0);
    caretPair_->SetShowing(true);
    if (HighlightFollowsFocus()) InvalidateAll(false);
}

void TZalCustomEditor::WMKillFocus(TMessage& message) {
    caretPair_->SetAttached(false);
    if (HighlightFollowsFocus()) InvalidateAll(false);
    if (TZalController* controller = Controller()) controller->SharedInsertMode = insertMode_;
    TZalEditBase::WndProc(message);
}

// --- mouse -------------------------------------------------------------------------------------

void TZalCustomEditor::HitTest(int x, int y, int32_t& line, int32_t& col) {
    const TRect client = ClientRect();
    const int height = client.Height();
    int64_t l;
    if (y < 0)
        l = int64_t(topLine_) - 1;
    else if (y < height)
        l = topLine_ + std::min(y / rowHeight_, visibleRows_ - 1); // the partial row is the last
    else
        l = int64_t(topLine_) + visibleRows_;
    line = int32_t(std::clamp<int64_t>(l, 1, LineCount()));

    // Half a cell is added so that a click on a character's right half lands after it.
    const int64_t visual = int64_t(x + charWidth_ / 2 - leftMargin_) / charWidth_ + horzOffset_ + 1;
    if (visual <= 0) {
        col = 1;
    } else {
        const char* text;
        int len;
        list_->GetLineText(line, text, len);
        col = list_->ColumnToPos(text, len, int(std::min<int64_t>(visual, kMaxParaLengthLimit + 1)));
    }
    if (!scrollPastEnd_) col = std::min(col, list_->LineLength(line) + 1);
    // The partly shown cell at the right edge counts as the last whole one.
    const int edge = leftMargin_ + visibleCols_ * charWidth_ - charWidth_ / 2;
    if (x >= edge && x < client.Width() && y >= 0 && y < height) col = visibleCols_ + horzOffset_;
}

void TZalCustomEditor::WMSetCursor(TMessage& message) {
    inMargin_ = false;
    if (!IsDesigning() && LoWord(uintptr_t(message.LParam)) == HTCLIENT && HandleAllocated()) {
        TPoint p;
        GetCursorPos(p);
        ScreenToClient(Handle(), p);
        const TRect client = ClientRect();
        if (p.X >= 0 && p.Y >= 0 && p.Y < client.Height() && p.X <= leftMargin_ && p.X < client.Width()) {
            SetCursor(marginCursor_ ? marginCursor_ : MarginCursor());
            inMargin_ = true;
            message.Result = 1;
            return;
        }
    }
    TZalEditBase::WndProc(message);
}

void TZalCustomEditor::WMLButtonDown(TMessage& message) {
    TZalEditBase::WndProc(message);
    if (!HandleAllocated()) return;
    if (!Focused() && Showing() && Enabled()) SetFocus();
    if (TextLength() == 0 || !HandleAllocated()) return; // an empty text has nothing to select
    SetCapture(Handle());
    mouseCaptured_ = true;
    TDrag drag;
    drag.Margin = inMargin_;
    drag.Shift = GetKeyState(VK_SHIFT) < 0;
    if (drag.Margin) {
        int32_t line, col;
        HitTest(GetXLParam(message.LParam), GetYLParam(message.LParam), line, col);
        if (!drag.Shift)
            drag.AnchorLine = line, drag.AnchorCol = 1;
        else if (line < selStartLine_)
            drag.AnchorLine = selEndLine_, drag.AnchorCol = selEndCol_;
        else
            drag.AnchorLine = selStartLine_, drag.AnchorCol = selStartCol_;
    }
    TrackDrag(drag);
}

void TZalCustomEditor::TrackDrag(const TDrag& drag) {
    const int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    // A handler run inside the loop may close the editor: its window going is the sign
    // that this object may be gone too, so the loop looks at nothing of it then.
    const HWND window = Handle();
    // Inside the window the pointer is followed at every tick of the clock; outside it the
    // view scrolls the faster the farther away it is.
    const int64_t base = 3 * int64_t(GetSystemMetrics(SM_CYHSCROLL));
    bool updated = false, moved = false;
    uint32_t last = 0;
    int32_t lastLine = 0, lastCol = 0;
    do {
        TPoint p;
        GetCursorPos(p);
        ScreenToClient(window, p);
        const int height = ClientRect().Height();
        const int64_t distance = p.Y >= height ? int64_t(p.Y) - height + 1 : p.Y < 0 ? -int64_t(p.Y) : base;
        const uint32_t now = timeGetTime();
        if (!updated || int64_t(uint32_t(now - last)) > base - distance) {
            updated = true;
            last = now;
            int32_t line, col;
            HitTest(p.X, p.Y, line, col);
            if (line != lastLine || (!drag.Margin && col != lastCol)) {
                lastLine = line;
                lastCol = col;
                if (drag.Margin) {
                    SelectMarginLines(drag, line, p.Y < 0);
                } else {
                    MoveCaretTo(line, col, drag.Shift || moved);
                    moved = true;
                    UpdateNow();
                }
            }
        }
        ProcessMessages(); // paints, timers and the button-up keep flowing
        // Pointer moves and the button-up wake it at once; the clock paces the scrolling.
        WaitForMessages(1);
    } while (IsWindow(window) && GetAsyncKeyState(button) < 0);
}

void TZalCustomEditor::SelectMarginLines(const TDrag& drag, int32_t line, bool above) {
    // Scrolling and reselecting off the page reach the screen as one repaint.
    const bool offPage = line < topLine_ || line >= int64_t(topLine_) + visibleRows_;
    if (offPage) SendMessage(Handle(), WM_SETREDRAW, 0);
    if (line < drag.AnchorLine || above)
        SetSelection(line, 1, drag.AnchorLine, drag.AnchorCol, false);
    else if (line < LineCount())
        SetSelection(drag.AnchorLine, drag.AnchorCol, line + 1, 1, true);
    else
        SetSelection(drag.AnchorLine, drag.AnchorCol, line, list_->LineLength(line) + 1, true);
    if (offPage && HandleAllocated()) {
        SendMessage(Handle(), WM_SETREDRAW, 1);
        InvalidateAll(true);
    }
}

void TZalCustomEditor::WMLButtonUp(TMessage& message) {
    if (mouseCaptured_) {
        ReleaseCapture();
        mouseCaptured_ = false;
    }
    TZalEditBase::WndProc(message);
}

void TZalCustomEditor::WMLButtonDblClk(TMessage& message) {
    TZalEditBase::WndProc(message);
    if (!HandleAllocated()) return;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    int32_t line, col;
    HitTest(GetXLParam(message.LParam), GetYLParam(message.LParam), line, col);
    int offset = 0;
    const int32_t para = list_->LineToPara(line, offset);
    const int32_t length = list_->ParaLength(para);
    const bool withinPara = selStart_.Para == para && selEnd_.Para == para;
    if (inMargin_) {
        if (!shift || withinPara)
            SelectParaRange(para, 1, para, length + 1, true);
        else if (para > selStart_.Para)
            SelectParaRange(selStart_.Para, selStart_.Pos, para, length + 1, true);
        else
            SelectParaRange(para, 1, selEnd_.Para, selEnd_.Pos, false);
        return;
    }
    int32_t start, end;
    WordAt(line, col, start, end);
    if (shift && ParaPosBefore(selStart_, {para, start}))
        SelectParaRange(selStart_.Para, selStart_.Pos, para, end, true);
    else if (shift)
        SelectParaRange(para, start, selEnd_.Para, selEnd_.Pos, false);
    else
        SelectParaRange(para, start, para, end, true);
}

void TZalCustomEditor::WordAt(int32_t line, int32_t col, int32_t& start, int32_t& end) {
    int offset = 0;
    const int32_t para = list_->LineToPara(line, offset);
    const TParaNode* node = list_->FindPara(para);
    const char* text = node->GetText();
    const int32_t length = node->Length();
    // A click beyond the line's end takes its last character.
    const int32_t pos = std::max(offset + std::min(col, list_->LineLength(line)), offset + 1);
    start = pos;
    if (pos > 1 && length > 0) {
        int32_t p = std::min(pos, length); // the clicked character
        while (p >= 1 && IsDelimiter(text[p - 1])) --p;
        while (p >= 1 && !IsDelimiter(text[p - 1])) --p;
        start = p + 1;
    }
    int32_t p = start;
    while (p <= length && !IsDelimiter(text[p - 1])) ++p;
    while (p <= length && IsWhiteSpace(text[p - 1])) ++p;
    end = p;
}

void TZalCustomEditor::WMMouseActivate(TMessage& message) {
    if (IsDesigning() || Focused()) {
        TZalEditBase::WndProc(message);
        return;
    }
    const TZalController* controller = Controller();
    message.Result = controller && controller->BlockActivation ? MA_NOACTIVATEANDEAT : MA_ACTIVATE;
}

void TZalCustomEditor::WMMouseWheel(TMessage& message) {
    TZalEditBase::WndProc(message);
    // One line per wheel message, whatever its size; the caret stays where it is.
    ProcessCommand(GetWheelDelta(message.WParam) < 0 ? ccScrollDown : ccScrollUp, 0);
}
