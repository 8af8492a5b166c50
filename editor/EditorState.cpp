// The editor's construction and destruction, property setters, events, error report,
// window creation and message dispatch, metrics and the design-time sample text.
#include <algorithm>
#include <utility>

#include "components/ZalExcpt.h"
#include "components/ZalStream.h"
#include "editor/ZalEdit.h"
#include "platform/Cursors.h"
#include "platform/TextServices.h"
#include "platform/Window.h"

namespace {
constexpr int kDefaultWidth = 200;
constexpr int kDefaultHeight = 150;
constexpr int kDesignParagraphs = 30;
// Showing or hiding a bar changes the client area, which may show or hide the other one;
// the bars settle within a few rounds.
constexpr int kMaxMetricRounds = 8;
} // namespace

// --- construction and destruction --------------------------------------------------------

TZalCustomEditor::TZalCustomEditor(TComponent* owner)
    : TZalEditBase(owner),
      fixedFont_(std::make_unique<TZalFixedFont>()),
      highlightColors_(std::make_unique<TZalColors>(clHighlight, clHighlightText)),
      caretPair_(std::make_unique<TZalCaretPair>(&Window())) {
    SetWordDelimiters(kDefaultWordDelimiters);
    SetBounds(0, 0, kDefaultWidth, kDefaultHeight);
    Window().SetClassCursor(LoadCursor(IDC_IBEAM));
    marginCursor_ = LoadCursorFromResource("ZALLINECURSOR");
    list_ = NewParaList(kDefaultUndoSize);
    list_->SetOwner(this);
    highlightColors_->OnColorChange = [this](TPersistent*) { InvalidateAll(false); };
    fixedFont_->OnFontChange = [this](TPersistent*) { FontChanged(); };
}

TZalCustomEditor::~TZalCustomEditor() {
    Destroying();
    caretPair_.reset();
    DestroyCursor(marginCursor_);
    marginCursor_ = nullptr;
    LeaveRing();
    markerBitmap_.reset();
    highlightColors_.reset();
    fixedFont_.reset();
}

// --- properties ----------------------------------------------------------------------------

void TZalCustomEditor::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateKeepingFocus();
}

void TZalCustomEditor::SetByteLimit(int32_t limit) {
    if (limit < 0) return;
    list_->SetByteLimit(limit);
}

template <class T> void TZalCustomEditor::StoreAndRepaint(T& field, T value) {
    if (value == field) return;
    field = value;
    InvalidateAll(false);
}

void TZalCustomEditor::SetColor(TColor color) {
    StoreAndRepaint(color_, color);
}

void TZalCustomEditor::SetHideSelection(bool on) {
    StoreAndRepaint(hideSelection_, on);
}

void TZalCustomEditor::SetInsertMode(bool on) {
    if (on == insertMode_) return;
    insertMode_ = on;
    caretPair_->SetUseInsertCaret(on);
    PlaceCaret(0);
}

void TZalCustomEditor::SetMarginField(int32_t& field, int32_t pixels) {
    if (pixels < 0 || pixels == field) return;
    field = pixels;
    UpdateMetrics();
    UpdateWrapColumn();
    InvalidateAll(false);
}

void TZalCustomEditor::SetLeftMargin(int32_t pixels) {
    SetMarginField(leftMargin_, pixels);
}

void TZalCustomEditor::SetRightMargin(int32_t pixels) {
    SetMarginField(rightMargin_, pixels);
}

void TZalCustomEditor::SetMargin(int32_t pixels) {
    // Fields only: the stored form is still being read. A negative width is refused as the
    // margin setters refuse it.
    if (pixels < 0) return;
    leftMargin_ = rightMargin_ = pixels;
}

void TZalCustomEditor::DefineProperties(TFiler& filer) {
    TZalEditBase::DefineProperties(filer);
    filer.DefineProperty(
        "Margin",
        [this](TZalValueReader& reader) {
            SetMargin(int32_t(std::clamp<int64_t>(reader.ReadInteger(), INT32_MIN, INT32_MAX)));
        },
        [](TZalValueWriter&) {}, false);
}

void TZalCustomEditor::SetParaLengthLimit(int32_t limit) {
    if (limit < 1 || limit > kMaxParaLengthLimit) return;
    list_->SetParaLengthLimit(limit);
    UpdateHorzRange();
    UpdateHorzPos();
}

void TZalCustomEditor::SetParaLimit(int32_t limit) {
    if (limit <= 0) return;
    list_->SetParaLimit(limit);
}

void TZalCustomEditor::SetScrollBars(TScrollStyle bars) {
    if (bars == scrollBars_) return;
    scrollBars_ = bars;
    if (bars == ssNone) scrollBarsAlways_ = false;
    RecreateKeepingFocus();
}

void TZalCustomEditor::SetScrollBarsAlways(bool on) {
    on = on && scrollBars_ != ssNone;
    if (on == scrollBarsAlways_) return;
    scrollBarsAlways_ = on;
    RecreateKeepingFocus();
}

void TZalCustomEditor::SetScrollPastEnd(bool on) {
    if (on == scrollPastEnd_) return;
    scrollPastEnd_ = on;
    if (on) SetWordWrap(false);
}

void TZalCustomEditor::SetShowBookmarks(bool on) {
    if (on == showBookmarks_) return;
    showBookmarks_ = on;
    if (on)
        LoadMarkerBitmap();
    else
        markerBitmap_.reset();
    InvalidateAll(false);
}

void TZalCustomEditor::SetTabSize(int32_t size) {
    if (size < 1 || size > 255) return;
    list_->SetTabSize(size);
    InvalidateAll(false);
}

void TZalCustomEditor::SetTabType(TTabType type) {
    StoreAndRepaint(tabType_, type);
}

void TZalCustomEditor::SetUndoBufferSize(uint16_t bytes) {
    list_->SetUndoBufferSize(bytes);
}

void TZalCustomEditor::SetWordDelimiters(std::string_view delimiters) {
    wordDelimiters_.assign(delimiters);
    delimiterTable_.fill(false);
    for (char ch : wordDelimiters_) delimiterTable_[static_cast<uint8_t>(ch)] = true;
}

void TZalCustomEditor::SetWordWrap(bool on) {
    if (on == list_->WordWrap()) return;
    // Following the window: take its width first, so the text is wrapped once, at the
    // width the window really has.
    if (on && wrapToWindow_ && HandleAllocated() && visibleCols_ - 2 >= 1)
        list_->SetWrapColumn(visibleCols_ - 2);
    list_->SetWordWrap(on);
    if (list_->WordWrap()) {
        wrapAtLeft_ = true;
        scrollPastEnd_ = false;
    }
}

void TZalCustomEditor::SetWrapAtLeft(bool on) {
    if (list_->WordWrap()) on = true;
    wrapAtLeft_ = on;
}

void TZalCustomEditor::SetWrapColumn(int32_t column) {
    if (column <= 0) return;
    list_->SetWrapColumn(column);
}

void TZalCustomEditor::SetWrapToWindow(bool on) {
    if (on == wrapToWindow_) return;
    wrapToWindow_ = on;
    if (HandleAllocated()) UpdateWrapColumn();
}

// --- events and the error report -----------------------------------------------------------

void TZalCustomEditor::DoOnChange() {
    if (OnChange) OnChange(this);
}

void TZalCustomEditor::DoOnError(uint16_t errorCode) {
    if (errorCode == 0) return;
    if (OnError) {
        OnError(this, errorCode);
        return;
    }
    RaiseEditorError(errorCode);
}

void TZalCustomEditor::DoOnShowStatus(int32_t line, int32_t col) {
    if (OnShowStatus) OnShowStatus(this, line, col);
}

void TZalCustomEditor::DoOnTopLineChanged(int32_t line) {
    if (OnTopLineChanged) OnTopLineChanged(this, line);
}

void TZalCustomEditor::DoOnUserCommand(uint16_t command) {
    if (OnUserCommand) OnUserCommand(this, command);
}

void TZalCustomEditor::CreateDesignText() {
    if (!IsDesigning()) return;
    if (ParaCount() > 1) Clear(false);
    for (int i = 1; i <= kDesignParagraphs; ++i) AppendPara(FormatStr("%i: Editor paragraph.\tTab.", i));
}

// --- the window ------------------------------------------------------------------------------

void TZalCustomEditor::CreateWnd() {
    // A parent made now makes its children's windows, ours among them: that creation has
    // then done everything below.
    if (Parent()) Parent()->HandleNeeded();
    if (HandleAllocated()) return;
    TWindowStyle style;
    style.HScroll = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
    style.VScroll = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
    style.Border = borderStyle_ == bsSingle;
    style.TabStop = true;
    Window().SetStyle(style);
    // Known before the first WM_SIZE, which the creation sends.
    hasHorzBar_ = style.HScroll;
    hasVertBar_ = style.VScroll;
    TZalEditBase::CreateWnd();
    if (!HandleAllocated()) return;
    CreateDesignText();
    UpdateVertRange();
    UpdateHorzRange();
    UpdateMetrics();
    UpdateWrapColumn();
    if (showBookmarks_) LoadMarkerBitmap();
}

void TZalCustomEditor::RecreateKeepingFocus() {
    if (!HandleAllocated()) return;
    const bool focused = Focused();
    RecreateWnd();
    if (focused && HandleAllocated()) SetFocus();
}

void TZalCustomEditor::LoadMarkerBitmap() {
    if (!showBookmarks_ || !HandleAllocated()) return;
    auto bitmap = std::make_unique<TBitmap>();
    if (bitmap->LoadFromResourceName("ZALMARKERS"))
        markerBitmap_ = std::move(bitmap);
    else
        markerBitmap_.reset(); // no glyphs are drawn without it
}

void TZalCustomEditor::WndProc(TMessage& message) {
    switch (message.Msg) {
    case ZM_SHOWSTATUS:
        WMShowStatus(message);
        return;
    case WM_SIZE:
        WMSize(message);
        return;
    case WM_DESTROY:
        WMDestroy(message);
        return;
    default:
        break;
    }
    if (HandleDisplayMessage(message) || HandleInputMessage(message)) return;
    TZalEditBase::WndProc(message);
}

void TZalCustomEditor::WMShowStatus(TMessage& message) {
    DoOnShowStatus(int32_t(message.LParam), LoWord(message.WParam));
    message.Result = 0;
}

void TZalCustomEditor::WMSize(TMessage& message) {
    TZalEditBase::WndProc(message);
    const int32_t lines = LineCount();
    const int32_t rows = visibleRows_;
    UpdateMetrics();
    UpdateWrapColumn();
    // Everything fits now: show it all from the first line.
    if (rows < lines && visibleRows_ >= LineCount()) SetTopLine(1);
}

void TZalCustomEditor::WMDestroy(TMessage& message) {
    TZalEditBase::WndProc(message);
    markerBitmap_.reset();
}

void TZalCustomEditor::FontChanged() {
    TZalEditBase::FontChanged();
    if (IsLoading() || !HandleAllocated() || !fixedFont_) return;
    UpdateMetrics();
    UpdateWrapColumn();
    if (IsDesigning() || !Focused()) return;
    caretPair_->SetLineHeight(rowHeight_);
    caretPair_->SetCharWidth(charWidth_);
    caretPair_->SetUseInsertCaret(insertMode_);
    PlaceCaret(0);
}

// --- metrics ---------------------------------------------------------------------------------

void TZalCustomEditor::UpdateMetrics() {
    if (!HandleAllocated() || !fixedFont_) return;
    auto canvas = TCanvas::CreateMeasuring();
    canvas->SelectFont(FontDescOf(fixedFont_->Font()));
    const TTextMetric metrics = canvas->GetTextMetrics();
    charWidth_ = std::max(1, metrics.AveCharWidth);
    rowHeight_ = std::max(1, metrics.Height + metrics.ExternalLeading + 1);
    for (int round = 0; round < kMaxMetricRounds; ++round) {
        bool changed = false;
        const TRect client = ClientRect();
        const int64_t textWidth = int64_t(client.Width()) - leftMargin_ - rightMargin_;
        const int32_t cols = int32_t(std::max<int64_t>(1, textWidth / charWidth_));
        if (cols != visibleCols_) {
            visibleCols_ = cols;
            changed = true;
            if (client.Width() > 0) {
                UpdateHorzRange();
                UpdateHorzPos();
                if (horzMax_ == 0) horzOffset_ = 0;
            }
        }
        const int32_t rows = std::max(1, client.Height() / rowHeight_);
        if (rows != visibleRows_) {
            visibleRows_ = rows;
            changed = true;
            if (client.Height() > 0) UpdateVertRange();
        }
        if (!changed) break;
    }
    InvalidateAll(false);
}

void TZalCustomEditor::UpdateWrapColumn() {
    if (wrapToWindow_ && list_->WordWrap()) SetWrapColumn(visibleCols_ - 2);
}
