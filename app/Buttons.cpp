// Toolbar buttons with two-image glyphs.
#include "app/Buttons.h"

#include <QAbstractButton>
#include <QIcon>
#include <QPixmap>
#include <QToolButton>

#include "app/ErrorReport.h"
#include "app/ResourcePixmap.h"

TSpeedButton::TSpeedButton(TComponent* owner)
    : TShellControl(owner), button_(new QToolButton), glyph_(*button_) {
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setAutoRaise(false);
    button_->setIconSize(QSize(16, 16));
    QObject::connect(button_, &QToolButton::clicked, button_, [this] { Click(); });
    SetWidget(button_);
}

void TSpeedButton::Click() {
    if (Enabled() && OnClick) RunCommand([this] { OnClick(this); });
}

void TButtonGlyph::SetName(const std::string& resourceName) {
    QIcon icon;
    if (!resourceName.empty()) {
        const QPixmap strip = ResourcePixmap(resourceName);
        const int width = strip.width() / count_;
        icon.addPixmap(strip.copy(0, 0, width, strip.height()), QIcon::Normal);
        if (count_ >= 2) icon.addPixmap(strip.copy(width, 0, width, strip.height()), QIcon::Disabled);
    }
    button_.setIcon(icon);
    name_ = resourceName;
}

void TButtonGlyph::SetCount(int count) {
    if (count < 1 || count > 4) return;
    count_ = count;
    SetName(name_);
}
