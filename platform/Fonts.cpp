#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include "platform/QtConvert.h"

std::vector<TFontFamily> EnumFontFamilies() {
    std::vector<TFontFamily> out;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return out;
    const QStringList families = QFontDatabase::families();
    for (const QString& f : families) out.push_back({QStringToCp1252(f), QFontDatabase::isFixedPitch(f)});
    static const struct { const char* alias; const char* standIn; } kAliases[] = {
        {"Courier New", "Liberation Mono"},
        {"Arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
    };
    for (const auto& a : kAliases) {
        const QString alias = QString::fromLatin1(a.alias), standIn = QString::fromLatin1(a.standIn);
        if (families.contains(alias) || !families.contains(standIn)) continue;
        out.push_back({a.alias, QFontDatabase::isFixedPitch(standIn)});
    }
    return out;
}
