#pragma once
// Conversions between the program's byte strings and colours and Qt's types. Includes Qt:
// for the platform layer and the application shell only.
#include <QColor>
#include <QRect>
#include <QString>
#include <string>
#include <string_view>

#include "platform/Types.h"

QString Cp1252ToQString(std::string_view bytes);
std::string QStringToCp1252(const QString& text, char replacement = '?');
// Text meant for a person (captions, prompts, messages that may quote a file name): UTF-8
// when the bytes are valid UTF-8, else Windows-1252.
QString DisplayString(std::string_view bytes);
// File names are the file system's bytes.
QString FileNameToQString(const std::string& name);
std::string QStringToFileName(const QString& name);

QColor ToQColor(TColor c); // system colours resolved
TColor FromQColor(const QColor& c);
inline QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }
inline TRect FromQRect(const QRect& r) { return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
