// Toolbar buttons with two-image glyphs.
#include "app/Buttons.h"

#include <QIcon>
#include <QPixmap>
#include <QToolButton>
#include <algorithm>
#include <span>

#include "app/ErrorReport.h"
#include "components/ZalExcpt.h"
#include "platform/Resources.h"

TSpeedButton::TSpeedButton(TComponent* owner) : TShellControl(owner), button_(new QToolButton) {
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setAutoRaise(false);
    button_->setIconSize(QSize(16, 16));
    QObject::connect(button_, &QToolButton::clicked, button_, [this] { Click(); });
    SetWidget(button_);
}

void TSpeedButton::Click() {
    if (Enabled() && OnClick) RunCommand([this] { OnClick(this); });
}

QIcon GlyphIcon(const std::string& resourceName, int numGlyphs) {
    QIcon icon;
    if (resourceName.empty()) return icon;
    std::span<const uint8_t> bytes;
    QPixmap strip;
    if (!FindResourceBlob(RT_BITMAP, resourceName, bytes) ||
        !strip.loadFromData(bytes.data(), static_cast<uint>(bytes.size())))
        throw EConvertError("No readable bitmap resource named " + resourceName);
    const int width = strip.width() / std::max(numGlyphs, 1);
    icon.addPixmap(strip.copy(0, 0, width, strip.height()), QIcon::Normal);
    if (numGlyphs >= 2) icon.addPixmap(strip.copy(width, 0, width, strip.height()), QIcon::Disabled);
    return icon;
}

void TSpeedButton::SetGlyph(const std::string& resourceName) {
    button_->setIcon(GlyphIcon(resourceName, numGlyphs_));
    glyph_ = resourceName;
}

void TSpeedButton::SetNumGlyphs(int count) {
    if (count < 1 || count > 4) return;
    numGlyphs_ = count;
    button_->setIcon(GlyphIcon(glyph_, numGlyphs_));
}
