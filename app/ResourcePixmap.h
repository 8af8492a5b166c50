#pragma once
// Images of the program's bitmap resources for Qt widgets.
#include <string>

#include <QPixmap>

// The bitmap resource named `name` as a pixmap; raises EConvertError when there is no
// such resource or its bytes are not a readable image.
QPixmap ResourcePixmap(const std::string& name);
