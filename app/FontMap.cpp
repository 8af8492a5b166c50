// Form font families mapped to installed, metric-compatible ones.
#include "app/FontMap.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace {
struct TFamilyMapping {
    const char* FormName;
    const char* Installed; // nullptr: the desktop's default sans
};

constexpr TFamilyMapping kMappings[] = {
    {"Courier New", "Liberation Mono"},
    {"Arial", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"System", nullptr},
    {"MS Sans Serif", nullptr},
};

// Only families really installed count: the font database also answers for substitutes.
bool IsInstalled(std::string_view family) {
    const QString name = QString::fromUtf8(family.data(), qsizetype(family.size()));
    for (const QString& f : QFontDatabase::families())
        if (f.compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

std::string Replacement(const TFamilyMapping& m) {
    if (m.Installed) return m.Installed;
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family().toStdString();
}

bool SameFamily(std::string_view a, std::string_view b) {
    return QString::fromUtf8(a.data(), qsizetype(a.size()))
               .compare(QString::fromUtf8(b.data(), qsizetype(b.size())), Qt::CaseInsensitive) == 0;
}
} // namespace

std::string InstalledFamily(std::string_view formName) {
    if (IsInstalled(formName)) return std::string(formName);
    for (const TFamilyMapping& m : kMappings)
        if (SameFamily(m.FormName, formName)) {
            std::string replacement = Replacement(m);
            if (IsInstalled(replacement)) return replacement;
        }
    return std::string(formName);
}

std::string FormFamily(std::string_view family) {
    for (const TFamilyMapping& m : kMappings)
        if (!IsInstalled(m.FormName) && SameFamily(InstalledFamily(m.FormName), family) &&
            !SameFamily(m.FormName, family))
            return m.FormName;
    return std::string(family);
}
