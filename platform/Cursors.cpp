#include "platform/Cursors.h"

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <map>

#include "platform/CanvasQt.h"
#include "platform/NativeWindow.h"
#include "platform/Resources.h"

struct HCURSOR__ {
    QCursor cursor;
};

namespace {
HCURSOR g_current = nullptr;
QPointer<QWidget> g_target;
int g_screenDepth = 0;

QCursor MakeMarginCursor() {
    // The usual arrow mirrored: tip at the top right, tail towards the bottom left.
    QPixmap pix(32, 32);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPointF arrow[] = {{0, 0}, {0, 16}, {4, 12}, {7, 19}, {9, 18}, {6, 11}, {11, 11}};
    QPainterPath path;
    path.moveTo(31 - arrow[0].x(), arrow[0].y());
    for (const QPointF& pt : arrow) path.lineTo(31 - pt.x(), pt.y());
    path.closeSubpath();
    p.fillPath(path, Qt::black);
    p.setPen(QPen(Qt::white, 1));
    p.drawPath(path);
    p.end();
    return QCursor(pix, 31, 0);
}
} // namespace

HCURSOR LoadCursor(int id) {
    static std::map<int, HCURSOR__> cursors;
    Qt::CursorShape shape;
    switch (id) {
    case IDC_IBEAM: shape = Qt::IBeamCursor; break;
    case IDC_WAIT: shape = Qt::WaitCursor; break;
    case IDC_CROSS: shape = Qt::CrossCursor; break;
    case IDC_UPARROW: shape = Qt::UpArrowCursor; break;
    case IDC_SIZENWSE: shape = Qt::SizeFDiagCursor; break;
    case IDC_SIZENESW: shape = Qt::SizeBDiagCursor; break;
    case IDC_SIZEWE: shape = Qt::SizeHorCursor; break;
    case IDC_SIZENS: shape = Qt::SizeVerCursor; break;
    case IDC_SIZEALL: shape = Qt::SizeAllCursor; break;
    case IDC_NO: shape = Qt::ForbiddenCursor; break;
    case IDC_HAND: shape = Qt::PointingHandCursor; break;
    case IDC_APPSTARTING: shape = Qt::BusyCursor; break;
    default: id = IDC_ARROW; shape = Qt::ArrowCursor; break;
    }
    auto it = cursors.find(id);
    if (it == cursors.end()) it = cursors.emplace(id, HCURSOR__{QCursor(shape)}).first;
    return &it->second;
}

HCURSOR MarginCursor() {
    static HCURSOR__ margin{MakeMarginCursor()};
    return &margin;
}

HCURSOR LoadCursorFromResource(const char* name) {
    if (!name) return nullptr;
    if (QByteArray(name).compare("ZALLINECURSOR", Qt::CaseInsensitive) == 0)
        return new HCURSOR__{MakeMarginCursor()};
    std::span<const uint8_t> bytes;
    if (!FindResourceBlob(RT_CURSOR, name, bytes)) return nullptr;
    QImage img;
    if (!img.loadFromData(bytes.data(), int(bytes.size()))) return nullptr;
    return new HCURSOR__{QCursor(QPixmap::fromImage(img), 0, 0)};
}

HCURSOR CreateCursorFromBitmap(const TBitmap& image, const TBitmap* mask, int hotX, int hotY) {
    if (image.Empty()) return nullptr;
    QImage img = image.Impl().Image().convertToFormat(QImage::Format_ARGB32);
    const QImage m = mask ? mask->Impl().Image() : image.MaskOf(image.TransparentColor()).Impl().Image();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (x < m.width() && y < m.height() && qGray(m.pixel(x, y)) >= 128) img.setPixel(x, y, 0);
    return new HCURSOR__{QCursor(QPixmap::fromImage(img), hotX, hotY)};
}

void DestroyCursor(HCURSOR cursor) {
    if (!cursor || cursor == MarginCursor()) return;
    for (int id : {IDC_ARROW, IDC_IBEAM, IDC_WAIT, IDC_CROSS, IDC_UPARROW, IDC_SIZENWSE, IDC_SIZENESW,
                   IDC_SIZEWE, IDC_SIZENS, IDC_SIZEALL, IDC_NO, IDC_HAND, IDC_APPSTARTING})
        if (cursor == LoadCursor(id)) return;
    if (g_current == cursor) g_current = nullptr;
    delete cursor;
}

void SetCursorTarget(QWidget* widget) { g_target = widget; }

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR previous = g_current;
    g_current = cursor;
    QWidget* target = g_target.data();
    if (!target) {
        if (TNativeWidget* n = NativeOf(GetCapture())) target = n->viewport();
    }
    if (!target && QCoreApplication::instance()) {
        QWidget* under = QApplication::widgetAt(QCursor::pos());
        if (TNativeWidget* n = NativeOf(under)) target = n->viewport();
    }
    if (target) {
        if (cursor) target->setCursor(cursor->cursor);
        else target->setCursor(Qt::BlankCursor); // Win32: a null cursor hides it
    }
    return previous;
}

HCURSOR GetCursor() { return g_current; }

void PushScreenCursor(HCURSOR cursor) {
    if (!QCoreApplication::instance()) return;
    QApplication::setOverrideCursor(cursor ? cursor->cursor : QCursor(Qt::ArrowCursor));
    ++g_screenDepth;
}

void PopScreenCursor() {
    if (g_screenDepth == 0) return;
    QApplication::restoreOverrideCursor();
    --g_screenDepth;
}

int ScreenCursorDepth() { return g_screenDepth; }
