// Printing: the print dialog's choices, the text stream's lines and pages in the editor's
// font, selections, tabs, long lines, form feeds and failures. Pages go to a PDF file,
// read back with pdftotext.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPageLayout>
#include <QPrinter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "DocumentTest.h"
#include "app/Childwin.h"
#include "app/Menus.h"
#include "editor/TextFileEditor.h"
#include "platform/QtDialogs.h"

namespace {

using TPages = std::vector<std::vector<std::string>>;

class Printing : public TDocumentTest {
protected:
    void SetUp() override {
        TDocumentTest::SetUp();
        pdf_ = (dir_ / "out.pdf").string();
        QPrinter& printer = SharedPrinter();
        saved_.emplace(printer.pageLayout());
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf_));
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                                          QPageLayout::Millimeter));
    }
    void TearDown() override {
        QPrinter& printer = SharedPrinter();
        printer.setOutputFileName(QString());
        printer.setPageLayout(*saved_);
        TDocumentTest::TearDown();
    }
    // Prints the active document, answering the print dialog with `range`.
    void Print(TPrintDialogOptions::TRange range = TPrintDialogOptions::AllPages) {
        TPrintDialogOptions choice;
        choice.PrintRange = range;
        dialogs.AnswerPrint(choice);
        Main().Print1->Click();
    }
    // The printed pages, each as its lines with the blank ones left out, every word at the
    // column its position on the page gives (in cells of the fixed font, from the leftmost
    // word of the page).
    TPages Pages() const {
        FILE* pipe = popen(("pdftotext -bbox '" + pdf_ + "' -").c_str(), "r");
        if (!pipe) return {};
        std::string xml;
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) xml.append(buffer, n);
        pclose(pipe);
        struct TWord {
            double x, y;
            std::string text;
        };
        std::vector<std::vector<TWord>> words;
        std::istringstream in(xml);
        for (std::string line; std::getline(in, line);) {
            if (line.find("<page ") != std::string::npos) words.emplace_back();
            const size_t at = line.find("<word ");
            if (at == std::string::npos || words.empty()) continue;
            auto number = [&](const char* key) { return std::stod(line.substr(line.find(key) + std::strlen(key))); };
            const size_t open = line.find('>', at) + 1;
            words.back().push_back({number("xMin=\""), number("yMin=\""), line.substr(open, line.find("</word>") - open)});
            const double width = number("xMax=\"") - words.back().back().x;
            cell_ = width / double(words.back().back().text.size());
        }
        TPages pages;
        for (const auto& page : words) {
            double left = 1e9;
            for (const TWord& w : page) left = std::min(left, w.x);
            std::vector<std::pair<double, std::string>> lines; // by their top
            for (const TWord& w : page) {
                auto it = std::find_if(lines.begin(), lines.end(), [&](const auto& l) { return std::abs(l.first - w.y) < 1; });
                if (it == lines.end()) it = lines.insert(lines.end(), {w.y, std::string()});
                const size_t column = size_t(std::lround((w.x - left) / cell_));
                if (it->second.size() < column) it->second.resize(column, ' ');
                it->second.replace(std::min(column, it->second.size()), w.text.size(), w.text);
            }
            std::sort(lines.begin(), lines.end());
            pages.emplace_back();
            for (auto& l : lines) pages.back().push_back(l.second);
        }
        return pages;
    }
    // Lines per page as the stream places them: a printed line advances by the font's
    // height plus 2, and the page ends once less than two lines' room is left.
    static int LinesPerPage(const TZalCustomEditor& editor) {
        QPrinter& printer = SharedPrinter();
        QFont font(QString::fromStdString(editor.FixedFont().Name()));
        font.setPointSize(editor.FixedFont().Size());
        const int lineHeight = QFontMetrics(QFont(font, &printer)).height() + 2;
        return (printer.height() - 2 * lineHeight) / lineHeight + 1;
    }

    std::string pdf_;
    mutable double cell_ = 1;

private:
    std::optional<QPageLayout> saved_;
};

TEST_F(Printing, AllLinesInOrderWithTabsExpandedInTheEditorsFont) {
    Start();
    Main().Print1->Click(); // no document: nothing, not even the dialog
    EXPECT_TRUE(dialogs.Calls().empty());
    TZalCustomEditor& e = Document("first\r\n\tsecond\r\n\r\nab\tc");
    ASSERT_EQ(e.TabSize(), 8);
    Print();
    ASSERT_EQ(dialogs.Calls().size(), 1u);
    EXPECT_FALSE(dialogs.Calls()[0].Print.AllowSelection); // nothing selected
    EXPECT_FALSE(dialogs.Calls()[0].Print.AllowPageNums);
    const TPages pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], std::vector<std::string>({"first", "        second", "ab      c"}));
    // The editor's font is the one embedded.
    FILE* pipe = popen(("pdffonts '" + pdf_ + "'").c_str(), "r");
    ASSERT_TRUE(pipe);
    std::string fonts;
    char buffer[1024];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) fonts.append(buffer, n);
    pclose(pipe);
    EXPECT_NE(fonts.find("LiberationMono"), std::string::npos) << fonts;

    // A cancelled dialog prints nothing.
    std::filesystem::remove(pdf_);
    dialogs.AnswerPrint(std::nullopt);
    Main().Print1->Click();
    EXPECT_FALSE(std::filesystem::exists(pdf_));
    EXPECT_EQ(dialogs.UnexpectedCalls(), 0u);
}

TEST_F(Printing, SelectedLinesKeepTheirColumns) {
    Start();
    TZalCustomEditor& e = Document("abcdef\r\nghijkl\r\nmnopqr\r\nstuvwx\r\nyz");
    e.SetSelection(2, 3, 4, 5, true);
    Print(TPrintDialogOptions::Selection);
    ASSERT_EQ(dialogs.Calls().size(), 1u);
    EXPECT_TRUE(dialogs.Calls()[0].Print.AllowSelection);
    EXPECT_EQ(Pages(), TPages({{"  ijkl", "mnopqr", "stuv"}}));
    // All pages chosen although a selection exists: the whole text.
    Print(TPrintDialogOptions::AllPages);
    EXPECT_EQ(Pages(), TPages({{"abcdef", "ghijkl", "mnopqr", "stuvwx", "yz"}}));

    // One line, after a tab: the selected text stands where the tab put it.
    e.SetCaretPosition(5, 3);
    e.InsertText("\r\n\tabcd\r\nxyz");
    e.SetSelection(6, 3, 7, 2, true);
    Print(TPrintDialogOptions::Selection);
    EXPECT_EQ(Pages(), TPages({{"         bcd", "x"}}));
    // The selection choice without a selection prints the whole text.
    e.DeselectAll(true);
    Print(TPrintDialogOptions::Selection);
    EXPECT_FALSE(dialogs.Calls().back().Print.AllowSelection);
    EXPECT_EQ(Pages().at(0).size(), 7u);
}

TEST_F(Printing, PagesBreakWhereTheNextLineDoesNotFit) {
    Start();
    std::string text;
    for (int i = 1; i <= 3000; ++i) text += (i > 1 ? "\r\n" : "") + ("line " + std::to_string(i));
    TZalCustomEditor& e = Document(text);
    const int perPage = LinesPerPage(e);
    ASSERT_GT(perPage, 10);
    Print();
    const TPages pages = Pages();
    ASSERT_EQ(int(pages.size()), (3000 + perPage - 1) / perPage);
    std::vector<std::string> all;
    for (size_t p = 0; p < pages.size(); ++p) {
        if (p + 1 < pages.size()) {
            EXPECT_EQ(int(pages[p].size()), perPage) << "page " << p + 1;
        }
        all.insert(all.end(), pages[p].begin(), pages[p].end());
    }
    ASSERT_EQ(all.size(), 3000u);
    for (int i = 0; i < 3000; ++i) ASSERT_EQ(all[size_t(i)], "line " + std::to_string(i + 1));
}

TEST_F(Printing, LongLinesContinueFormFeedsBreakPagesAndLinesStopAt1024Characters) {
    Start();
    std::string longLine;
    for (int i = 0; i < 150; ++i) longLine += "abcdefghi" + std::string(1, char('0' + i % 10));
    Document("before\fafter\r\n" + longLine + "\r\nend");
    Print();
    const TPages pages = Pages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0], std::vector<std::string>({"before"}));
    ASSERT_GE(pages[1].size(), 4u);
    EXPECT_EQ(pages[1].front(), "after");
    EXPECT_EQ(pages[1].back(), "end");
    // The long line's pieces, from the left edge, add up to its first 1024 characters.
    std::string joined;
    for (size_t i = 1; i + 1 < pages[1].size(); ++i) {
        EXPECT_LT(pages[1][i].size(), 1024u);
        joined += pages[1][i];
    }
    EXPECT_EQ(joined, longLine.substr(0, 1024));
}

TEST_F(Printing, ACharacterWiderThanThePageIsPrintedAloneAndPrintingGoesOn) {
    Start();
    SharedPrinter().setPageLayout(
        QPageLayout(QPageSize(QSizeF(2, 100), QPageSize::Millimeter), QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter));
    Document("ab\r\nc");
    Print();
    EXPECT_TRUE(std::filesystem::exists(pdf_));
    EXPECT_EQ(dialogs.UnexpectedCalls(), 0u);
    EXPECT_EQ(dialogs.Calls().size(), 1u); // no error
}

TEST_F(Printing, AJobThatCannotStartIsReportedAndTheNextOneWorks) {
    Start();
    Document("text");
    const QString good = SharedPrinter().outputFileName();
    SharedPrinter().setOutputFileName(QString::fromStdString((dir_ / "missing" / "x.pdf").string()));
    Print();
    ASSERT_EQ(dialogs.Calls().size(), 2u);
    EXPECT_EQ(dialogs.Calls()[1].Caption, "Marvolt!");
    EXPECT_EQ(dialogs.Calls()[1].Flags, UINT(MB_OK | MB_ICONERROR));
    EXPECT_EQ(dialogs.Calls()[1].Text, "Cannot start printing on \"" + (dir_ / "missing" / "x.pdf").string() + "\"");
    SharedPrinter().setOutputFileName(good);
    Print();
    EXPECT_EQ(Pages(), TPages({{"text"}}));
    // Print Setup shows its dialog, with or without a document.
    dialogs.AnswerPrinterSetup(true);
    Main().PrintSetup1->Click();
    EXPECT_EQ(dialogs.Calls().back().Kind, TScriptedDialogs::TKind::PrinterSetup);
}

} // namespace
