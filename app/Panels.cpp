// Panels: bevels, border, caption and the client area inside them.
#include "app/Panels.h"

#include <QPainter>

#include "platform/QtConvert.h"

class TPanel::TPanelWidget : public QWidget {
public:
    explicit TPanelWidget(TPanel& panel) : panel_(panel) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QRect r = rect();
        const QColor face = ToQColor(panel_.color_);
        p.fillRect(r, face);
        if (panel_.bevelOuter_ != bvNone) Bevel(p, r, panel_.bevelOuter_);
        Frame(p, r, face, face, panel_.borderWidth_);
        if (panel_.bevelInner_ != bvNone) Bevel(p, r, panel_.bevelInner_);
        if (panel_.caption_.empty()) return;
        int flags = Qt::AlignVCenter | Qt::TextSingleLine;
        switch (panel_.alignment_) {
        case taLeftJustify: flags |= Qt::AlignLeft; break;
        case taRightJustify: flags |= Qt::AlignRight; break;
        case taCenter: flags |= Qt::AlignHCenter; break;
        }
        p.setPen(palette().color(QPalette::WindowText));
        p.setFont(font());
        p.drawText(r, flags, DisplayString(panel_.caption_));
    }

private:
    void Bevel(QPainter& p, QRect& r, TBevelCut cut) {
        const QColor light = ToQColor(clBtnHighlight), dark = ToQColor(clBtnShadow);
        const QColor face = ToQColor(panel_.color_);
        switch (cut) {
        case bvRaised: Frame(p, r, light, dark, panel_.bevelWidth_); break;
        case bvLowered: Frame(p, r, dark, light, panel_.bevelWidth_); break;
        default: Frame(p, r, face, face, panel_.bevelWidth_); break;
        }
    }
    // Rings of one pixel: top and left in one colour, bottom and right in the other.
    static void Frame(QPainter& p, QRect& r, const QColor& topLeft, const QColor& bottomRight, int width) {
        for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
            p.setPen(topLeft);
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.setPen(bottomRight);
            p.drawLine(r.bottomLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomRight());
            r.adjust(1, 1, -1, -1);
        }
    }

    TPanel& panel_;
};

TPanel::TPanel(TComponent* owner) : TShellWinControl(owner), panel_(new TPanelWidget(*this)) {
    SetWidget(panel_);
    SetClient(panel_);
    Changed();
}

void TPanel::Changed() {
    const int edge = (bevelOuter_ != bvNone ? bevelWidth_ : 0) + borderWidth_ +
                     (bevelInner_ != bvNone ? bevelWidth_ : 0);
    panel_->setContentsMargins(edge, edge, edge, edge);
    panel_->update();
    Realign();
}

void TPanel::SetCaption(const std::string& caption) {
    caption_ = caption;
    panel_->update();
}

void TPanel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    panel_->update();
}

void TPanel::SetBevelInner(TBevelCut bevel) {
    bevelInner_ = bevel;
    Changed();
}

void TPanel::SetBevelOuter(TBevelCut bevel) {
    bevelOuter_ = bevel;
    Changed();
}

void TPanel::SetBevelWidth(int width) {
    if (width < 1) return;
    bevelWidth_ = width;
    Changed();
}

void TPanel::SetBorderWidth(int width) {
    if (width < 0) return;
    borderWidth_ = width;
    Changed();
}

void TPanel::SetColor(TColor color) {
    color_ = color;
    panel_->update();
}

void TPanel::Repaint() { panel_->repaint(); }
