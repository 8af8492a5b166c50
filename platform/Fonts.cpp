#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include "platform/QtConvert.h"

std::vector<TFontFamily> EnumFontFamilies() {
    std::vector<TFontFamily> out;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return out;
    const QStringList families = QFontDatabase::families();
    for (const QString& f : families) out.push_back({QStringToCp1252(f), QFontDatabase::isFixedPitch(f)});
    return out;
}
