#pragma once
// A line-printer-like text stream on a printer: text lines drawn from the top-left corner
// of each page in one font, long lines continued from the left edge, a new page when the
// next line would not fit, and form feed, carriage return and line feed acting as on a
// line printer.
#include <QPainter>
#include <memory>
#include <string_view>

#include "components/ZalExcpt.h"
#include "platform/Canvas.h"

class QPrinter;

// The printer could not start a job or a page, or could not finish the job.
class EPrinterError : public Exception {
public:
    using Exception::Exception;
};

class TPrinterText {
public:
    // Begins a print job on `printer` in `font` and `color`; EPrinterError when the
    // printer cannot be opened.
    TPrinterText(QPrinter& printer, const TFontDesc& font, TColor color);
    // Ends a job that was not closed (after a failure), so that none stays half open.
    ~TPrinterText();
    TPrinterText(const TPrinterText&) = delete;
    TPrinterText& operator=(const TPrinterText&) = delete;

    // Prints `line` and ends it. Form feed ends the page, line feed the line, and carriage
    // return goes on at the current place.
    void WriteLine(std::string_view line);
    // Ends the last page and the job; EPrinterError when the job did not finish.
    void Close();

    // The printable area of the page and the font's character height, in device units.
    int PageWidth() const { return pageWidth_; }
    int PageHeight() const { return pageHeight_; }
    int CharHeight() const { return charHeight_; }

private:
    void DrawRun(std::string_view run);
    // The number of leading characters of `run` that fit between x and the page width.
    size_t FittingLength(std::string_view run) const;
    void EndLine();
    void EndPage();
    // Starts the page a break asked for, once something goes onto it: a document that
    // ends where a page ends prints no blank sheet.
    void BeginPendingPage();

    QPrinter& printer_;
    QPainter painter_;
    std::unique_ptr<TCanvas> canvas_;
    int x_ = 0, y_ = 0;
    int lineHeight_ = 0; // of the line being printed; 0 until something is drawn on it
    int pageWidth_ = 0, pageHeight_ = 0, charHeight_ = 0;
    bool pagePending_ = false;
};
