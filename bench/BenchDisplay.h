#pragma once
// An editor shown on a form in a Qt window (offscreen), as the program shows it, beside
// the display's floor: the same rows drawn with one plain opaque text call each.
#include <QWidget>

#include <string>
#include <vector>

#include "components/Controls.h"
#include "components/Font.h"
#include "components/ZalBase.h"
#include "editor/ZalEdit.h"
#include "platform/Application.h"
#include "platform/NativeWindow.h"

namespace bench {

constexpr int kRows = 50;
constexpr int kWidth = 660;

// Draws Lines, as many rows as the paint's clip box reaches.
class TPlainRows : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<std::string> Lines;
    TFontDesc Font;
    int RowHeight = 1;
    int Left = 0;

protected:
    void Paint(TCanvas& canvas) override {
        canvas.SelectFont(Font);
        const TRect clip = canvas.GetClipBox();
        for (int row = clip.Top / RowHeight; row < int(Lines.size()) && row * RowHeight < clip.Bottom; ++row) {
            const TRect r{Left, row * RowHeight, Width(), (row + 1) * RowHeight};
            canvas.ExtTextOut(Left, r.Top + 1, ETO_OPAQUE | ETO_CLIPPED, &r, Lines[size_t(row)].data(),
                              Lines[size_t(row)].size());
        }
    }
};

struct TDisplay {
    QWidget Host;
    TForm Form{nullptr};
    TPlainRows* Plain = nullptr;

    // Puts an editor of type E with its controller on the form; fill(editor) gives it its
    // text before it is shown and sized to kRows rows.
    template <class E, class Fill> E* ShowEditor(Fill&& fill) {
        SetParentWidget(Form.Window(), &Host);
        Host.resize(2 * kWidth + 40, 1000);
        Form.SetBounds(0, 0, 2 * kWidth + 40, 1000);
        NewComponent<TZalController>(&Form);
        E* e = NewComponent<E>(&Form);
        e->SetParent(&Form);
        fill(*e);
        Form.HandleNeeded();
        Host.show();
        e->HandleNeeded();
        const int frame = e->Height() - e->ClientRect().Height();
        e->SetBounds(0, 0, kWidth, kRows * e->RowHeight() + frame);
        e->ResetScrollBars(false);
        return e;
    }

    // The floor control beside the editor, holding the paragraphs of its page.
    void ShowFloor(TZalCustomEditor& e) {
        Plain = NewComponent<TPlainRows>(&Form);
        Plain->SetParent(&Form);
        Plain->SetBounds(kWidth + 20, 0, kWidth, kRows * e.RowHeight());
        Plain->Font = FontDescOf(e.FixedFont().Font());
        Plain->RowHeight = e.RowHeight();
        Plain->Left = e.LeftMargin();
        for (int row = 0; row < kRows; ++row) Plain->Lines.push_back(e.GetPara(e.TopLine() + row));
        Plain->HandleNeeded();
        ProcessPendingEvents();
    }

    // The floors: the whole page, and one row, painted.
    void PaintFloorPage() {
        InvalidateRect(Plain->Handle(), nullptr, 0);
        UpdateWindow(Plain->Handle());
    }
    void PaintFloorRow() {
        const TRect row{0, 10 * Plain->RowHeight, Plain->Width(), 11 * Plain->RowHeight};
        InvalidateRect(Plain->Handle(), &row, 0);
        UpdateWindow(Plain->Handle());
    }
};

} // namespace bench
