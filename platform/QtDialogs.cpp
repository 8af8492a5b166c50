#include "platform/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPushButton>

#include "platform/QtConvert.h"

namespace {
QWidget* DialogParent() {
    QWidget* w = QApplication::activeWindow();
    return w;
}

// "Text (*.txt)|*.txt|All (*)|*" -> Qt's "Text (*.txt);;All (*)" and back to an index.
QStringList QtFilters(const std::string& filter) {
    QStringList parts = FileNameToQString(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString name = parts[i];
        if (!name.contains(QLatin1Char('('))) name += QStringLiteral(" (") + patterns + QLatin1Char(')');
        out << name;
    }
    return out;
}

class TQtDialogs final : public IDialogs {
public:
    int MessageBox(const std::string& text, const std::string& caption, UINT flags) override {
        QMessageBox box(DialogParent());
        box.setWindowTitle(DisplayString(caption));
        box.setText(DisplayString(text));
        switch (flags & MB_ICONMASK) {
        case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
        case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
        case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
        case MB_ICONASTERISK: box.setIcon(QMessageBox::Information); break;
        default: box.setIcon(QMessageBox::NoIcon); break;
        }
        std::vector<std::pair<QMessageBox::StandardButton, int>> buttons;
        switch (flags & MB_TYPEMASK) {
        case MB_OKCANCEL: buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
        case MB_ABORTRETRYIGNORE:
            buttons = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
            break;
        case MB_YESNOCANCEL:
            buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
            break;
        case MB_YESNO: buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
        case MB_RETRYCANCEL: buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}; break;
        default: buttons = {{QMessageBox::Ok, IDOK}}; break;
        }
        QMessageBox::StandardButtons set;
        for (auto& b : buttons) set |= b.first;
        box.setStandardButtons(set);
        const size_t def = (flags & MB_DEFMASK) >> 8;
        box.setDefaultButton(buttons[def < buttons.size() ? def : 0].first);
        const int cancel = MessageBoxCancelResult(flags);
        for (auto& b : buttons)
            if (b.second == cancel) box.setEscapeButton(b.first);
        box.exec();
        QAbstractButton* clicked = box.clickedButton();
        for (auto& b : buttons)
            if (clicked && box.standardButton(clicked) == b.first) return b.second;
        return cancel;
    }

    bool OpenFileDialog(TFileDialogOptions& o) override { return FileDialog(o, QFileDialog::AcceptOpen); }
    bool SaveFileDialog(TFileDialogOptions& o) override { return FileDialog(o, QFileDialog::AcceptSave); }

    bool PrintDialog(TPrintDialogOptions& o) override {
        QPrinter& printer = SharedPrinter();
        printer.setCopyCount(o.Copies > 0 ? o.Copies : 1);
        // The dialog opens on the caller's range, never on one it does not offer.
        printer.setPrintRange(o.PrintRange == TPrintDialogOptions::Selection && o.AllowSelection ? QPrinter::Selection
                              : o.PrintRange == TPrintDialogOptions::PageNums && o.AllowPageNums ? QPrinter::PageRange
                                                                                                 : QPrinter::AllPages);
        QPrintDialog dlg(&printer, DialogParent());
        dlg.setMinMax(o.MinPage, o.MaxPage);
        dlg.setFromTo(o.FromPage, o.ToPage);
        QAbstractPrintDialog::PrintDialogOptions opts = QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize;
        if (o.AllowPageNums) opts |= QAbstractPrintDialog::PrintPageRange;
        if (o.AllowSelection) opts |= QAbstractPrintDialog::PrintSelection;
        dlg.setOptions(opts);
        if (dlg.exec() != QDialog::Accepted) return false;
        o.Copies = printer.copyCount();
        o.FromPage = printer.fromPage() ? printer.fromPage() : o.FromPage;
        o.ToPage = printer.toPage() ? printer.toPage() : o.ToPage;
        switch (printer.printRange()) {
        case QPrinter::PageRange: o.PrintRange = TPrintDialogOptions::PageNums; break;
        case QPrinter::Selection: o.PrintRange = TPrintDialogOptions::Selection; break;
        default: o.PrintRange = TPrintDialogOptions::AllPages; break;
        }
        o.PrinterName = QStringToCp1252(printer.printerName());
        return true;
    }

    bool PrinterSetupDialog() override {
        QPageSetupDialog dlg(&SharedPrinter(), DialogParent());
        return dlg.exec() == QDialog::Accepted;
    }

    bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override {
        bool ok = false;
        QString text = QInputDialog::getText(DialogParent(), DisplayString(caption), DisplayString(prompt),
                                             QLineEdit::Normal, Cp1252ToQString(value), &ok);
        if (!ok) return false;
        value = QStringToCp1252(text);
        return true;
    }

private:
    bool FileDialog(TFileDialogOptions& o, QFileDialog::AcceptMode mode) {
        QFileDialog dlg(DialogParent(), DisplayString(o.Title));
        dlg.setAcceptMode(mode);
        dlg.setFileMode(mode == QFileDialog::AcceptOpen && o.FileMustExist ? QFileDialog::ExistingFile
                                                                            : QFileDialog::AnyFile);
        if (!o.OverwritePrompt) dlg.setOption(QFileDialog::DontConfirmOverwrite);
        const QStringList filters = QtFilters(o.Filter);
        if (!filters.isEmpty()) {
            dlg.setNameFilters(filters);
            if (o.FilterIndex >= 1 && o.FilterIndex <= filters.size()) dlg.selectNameFilter(filters[o.FilterIndex - 1]);
        }
        if (!o.DefaultExt.empty()) dlg.setDefaultSuffix(FileNameToQString(o.DefaultExt));
        if (!o.InitialDir.empty()) dlg.setDirectory(FileNameToQString(o.InitialDir));
        if (!o.FileName.empty()) dlg.selectFile(FileNameToQString(o.FileName));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
        o.FileName = QStringToFileName(dlg.selectedFiles().first());
        const qsizetype index = filters.indexOf(dlg.selectedNameFilter());
        if (index >= 0) o.FilterIndex = int(index) + 1;
        return true;
    }
};
} // namespace

IDialogs& QtDialogs() {
    static TQtDialogs dialogs;
    return dialogs;
}

QPrinter& SharedPrinter() {
    static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
    return *printer;
}
