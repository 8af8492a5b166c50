// The printer text stream.
#include "app/PrinterText.h"

#include <QPrinter>

#include "platform/CanvasQt.h"
#include "platform/QtConvert.h"

namespace {
std::string PrinterDescription(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat) return QStringToFileName(printer.outputFileName());
    return QStringToCp1252(printer.printerName());
}
} // namespace

TPrinterText::TPrinterText(QPrinter& printer, const TFontDesc& font, TColor color) : printer_(printer) {
    if (!painter_.begin(&printer_))
        throw EPrinterError("Cannot start printing on \"" + PrinterDescription(printer_) + "\"");
    canvas_ = MakeCanvas(painter_);
    canvas_->SelectFont(font);
    canvas_->SetTextColor(color);
    canvas_->SetBkMode(TRANSPARENT);
    pageWidth_ = painter_.device()->width();
    pageHeight_ = painter_.device()->height();
    charHeight_ = canvas_->GetTextMetrics().Height;
}

TPrinterText::~TPrinterText() {
    canvas_.reset();
    if (painter_.isActive()) painter_.end();
}

void TPrinterText::WriteLine(std::string_view line) {
    size_t start = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c != '\f' && c != '\r' && c != '\n') continue;
        DrawRun(line.substr(start, i - start));
        start = i + 1;
        if (c == '\f')
            EndPage();
        else if (c == '\n')
            EndLine();
    }
    DrawRun(line.substr(start));
    EndLine();
}

void TPrinterText::Close() {
    canvas_.reset();
    if (painter_.isActive() && !painter_.end())
        throw EPrinterError("Printing on \"" + PrinterDescription(printer_) + "\" did not finish");
}

size_t TPrinterText::FittingLength(std::string_view run) const {
    // Widths grow with the length, so the longest part that fits is found by halving.
    size_t fits = 0, over = run.size() + 1;
    while (over - fits > 1) {
        const size_t mid = fits + (over - fits) / 2;
        if (x_ + canvas_->TextExtent(run.data(), mid).Width <= pageWidth_)
            fits = mid;
        else
            over = mid;
    }
    return fits;
}

void TPrinterText::DrawRun(std::string_view run) {
    while (!run.empty()) {
        BeginPendingPage();
        size_t length = FittingLength(run);
        if (length == 0) {
            if (x_ > 0) {
                EndLine();
                continue;
            }
            // A character wider than the whole page goes alone on its line, cut at the
            // page's edge, so that printing always moves on.
            length = 1;
        }
        const TSize size = canvas_->TextExtent(run.data(), length);
        const TRect page{0, 0, pageWidth_, pageHeight_};
        canvas_->ExtTextOut(x_, y_, ETO_CLIPPED, &page, run.data(), length);
        if (lineHeight_ < size.Height) lineHeight_ = size.Height + 2;
        run.remove_prefix(length);
        if (run.empty())
            x_ += size.Width;
        else
            EndLine();
    }
}

void TPrinterText::EndLine() {
    BeginPendingPage();
    // An empty line takes the font's character height, and leaves as much room below it
    // for the next line as a printed one does.
    const int ended = lineHeight_ > 0 ? lineHeight_ : charHeight_;
    x_ = 0;
    y_ += ended;
    lineHeight_ = 0;
    if (y_ > pageHeight_ - 2 * ended) EndPage();
}

void TPrinterText::EndPage() {
    BeginPendingPage();
    pagePending_ = true;
    x_ = y_ = 0;
}

void TPrinterText::BeginPendingPage() {
    if (!pagePending_) return;
    pagePending_ = false;
    if (!printer_.newPage()) throw EPrinterError("Cannot start a new page on \"" + PrinterDescription(printer_) + "\"");
}
