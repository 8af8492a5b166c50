// Images of the program's bitmap resources for Qt widgets.
#include "app/ResourcePixmap.h"

#include <span>

#include "components/ZalExcpt.h"
#include "platform/Resources.h"

QPixmap ResourcePixmap(const std::string& name) {
    std::span<const uint8_t> bytes;
    QPixmap pixmap;
    if (!FindResourceBlob(RT_BITMAP, name, bytes) ||
        !pixmap.loadFromData(bytes.data(), static_cast<uint>(bytes.size())))
        throw EConvertError("No readable bitmap resource named " + name);
    return pixmap;
}
