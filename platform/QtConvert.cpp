#include "platform/QtConvert.h"

#include <QFile>
#include <QStringDecoder>

#include "platform/Cp1252.h"
#include "platform/SysColors.h"

QString Cp1252ToQString(std::string_view bytes) {
    QString s(qsizetype(bytes.size()), Qt::Uninitialized);
    for (size_t i = 0; i < bytes.size(); ++i) s[qsizetype(i)] = QChar(Cp1252ToUnicode(uint8_t(bytes[i])));
    return s;
}

std::string QStringToCp1252(const QString& text, char replacement) {
    return Utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())),
                         replacement);
}

QString DisplayString(std::string_view bytes) {
    bool ascii = true;
    for (char c : bytes)
        if (uint8_t(c) >= 0x80) { ascii = false; break; }
    if (ascii) return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (!utf8.hasError()) return s;
    return Cp1252ToQString(bytes);
}

QString FileNameToQString(const std::string& name) {
    return QFile::decodeName(QByteArray(name.data(), qsizetype(name.size())));
}

std::string QStringToFileName(const QString& name) {
    QByteArray b = QFile::encodeName(name);
    return std::string(b.constData(), size_t(b.size()));
}

QColor ToQColor(TColor c) {
    TColor v = ColorToRGB(c);
    return QColor(GetRValue(v), GetGValue(v), GetBValue(v));
}

TColor FromQColor(const QColor& c) { return RGB(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())); }
