#include "platform/SysColors.h"

#include <QApplication>
#include <QPalette>

#include "platform/QtConvert.h"

namespace {
QPalette CurrentPalette() {
    if (QCoreApplication::instance() && qobject_cast<QApplication*>(QCoreApplication::instance()))
        return QApplication::palette();
    return QPalette(); // the built-in default palette
}
} // namespace

TColor GetSysColor(int index) {
    const QPalette p = CurrentPalette();
    auto c = [&](QPalette::ColorRole role, QPalette::ColorGroup g = QPalette::Active) {
        return FromQColor(p.color(g, role));
    };
    switch (index) {
    case COLOR_SCROLLBAR: return c(QPalette::Button);
    case COLOR_BACKGROUND: return c(QPalette::Dark);
    case COLOR_ACTIVECAPTION: return c(QPalette::Highlight);
    case COLOR_INACTIVECAPTION: return c(QPalette::Highlight, QPalette::Inactive);
    case COLOR_MENU: return c(QPalette::Window);
    case COLOR_WINDOW: return c(QPalette::Base);
    case COLOR_WINDOWFRAME: return c(QPalette::Shadow);
    case COLOR_MENUTEXT: return c(QPalette::WindowText);
    case COLOR_WINDOWTEXT: return c(QPalette::Text);
    case COLOR_CAPTIONTEXT: return c(QPalette::HighlightedText);
    case COLOR_ACTIVEBORDER: return c(QPalette::Window);
    case COLOR_INACTIVEBORDER: return c(QPalette::Window, QPalette::Inactive);
    case COLOR_APPWORKSPACE: return c(QPalette::Dark);
    case COLOR_HIGHLIGHT: return c(QPalette::Highlight);
    case COLOR_HIGHLIGHTTEXT: return c(QPalette::HighlightedText);
    case COLOR_BTNFACE: return c(QPalette::Button);
    case COLOR_BTNSHADOW: return c(QPalette::Dark);
    case COLOR_GRAYTEXT: return c(QPalette::Text, QPalette::Disabled);
    case COLOR_BTNTEXT: return c(QPalette::ButtonText);
    case COLOR_INACTIVECAPTIONTEXT: return c(QPalette::HighlightedText, QPalette::Inactive);
    case COLOR_BTNHIGHLIGHT: return c(QPalette::Light);
    case COLOR_3DDKSHADOW: return c(QPalette::Shadow);
    case COLOR_3DLIGHT: return c(QPalette::Midlight);
    case COLOR_INFOTEXT: return c(QPalette::ToolTipText);
    case COLOR_INFOBK: return c(QPalette::ToolTipBase);
    default: return 0;
    }
}

TColor ColorToRGB(TColor color) {
    if (color & SYSCOLOR_FLAG) return GetSysColor(int(color & 0xFF));
    return color & 0x00FFFFFF;
}
