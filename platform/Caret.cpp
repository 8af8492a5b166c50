#include "platform/Caret.h"

#include <algorithm>

#include <QApplication>
#include <QPainter>
#include <QTimer>

#include "platform/Bitmap.h"
#include "platform/CanvasQt.h"
#include "platform/NativeWindow.h"

namespace {
struct TCaret {
    HWND owner = nullptr;
    TCaretKind kind = TCaretKind::Solid;
    QSize size;
    QImage bitmap;
    QPoint pos;
    int hideCount = 1;
    bool phaseOn = true;
    UINT blink = 0; // 0: not read from the platform yet
    QTimer* timer = nullptr;
};

TCaret& Caret() {
    static TCaret caret;
    return caret;
}

// The caret's pixels. Callers park the caret far outside the client area with
// coordinates up to the int limits; the rectangle is built from coordinates cut to a
// range that no window reaches, so its arithmetic cannot overflow.
QRect CaretRect() {
    constexpr int kFar = 1 << 24;
    const QPoint p(std::clamp(Caret().pos.x(), -kFar, kFar), std::clamp(Caret().pos.y(), -kFar, kFar));
    return QRect(p, Caret().size);
}

// Asks the owner to repaint the caret's cells (without erasing), which draws or removes it.
void InvalidateCaret() {
    TCaret& c = Caret();
    TNativeWidget* n = NativeOf(c.owner);
    if (!n) return;
    const QRect r = CaretRect().intersected(n->viewport()->rect());
    if (r.isEmpty()) return;
    n->pending += r;
    n->viewport()->update(r);
}

void StopBlink() {
    if (Caret().timer) Caret().timer->stop();
}

void StartBlink() {
    TCaret& c = Caret();
    if (!QCoreApplication::instance()) return;
    if (!c.timer) {
        c.timer = new QTimer(QCoreApplication::instance());
        QObject::connect(c.timer, &QTimer::timeout, [] {
            Caret().phaseOn = !Caret().phaseOn;
            InvalidateCaret();
        });
        QObject::connect(c.timer, &QObject::destroyed, [] { Caret().timer = nullptr; });
    }
    c.phaseOn = true;
    const UINT blink = GetCaretBlinkTime();
    if (blink == 0 || blink == 0xFFFFFFFFu) {
        c.timer->stop(); // a caret that does not blink
        return;
    }
    c.timer->start(int(blink));
}

bool Owns(HWND window) { return Caret().owner && (!window || window == Caret().owner); }
} // namespace

BOOL CreateCaret(HWND window, TCaretKind kind, int width, int height, const TBitmap* bitmap) {
    if (!NativeOf(window)) return 0;
    if (kind == TCaretKind::Bitmap && (!bitmap || bitmap->Empty())) return 0;
    DestroyCaret();
    TCaret& c = Caret();
    c.owner = window;
    c.kind = kind;
    if (kind == TCaretKind::Bitmap) {
        c.bitmap = bitmap->Impl().Image().copy();
        c.size = c.bitmap.size();
    } else {
        c.bitmap = QImage();
        c.size = QSize(width > 0 ? width : 1, height > 0 ? height : 1);
    }
    c.pos = QPoint(0, 0);
    c.hideCount = 1;
    c.phaseOn = true;
    return 1;
}

BOOL DestroyCaret() {
    TCaret& c = Caret();
    if (!c.owner) return 0;
    if (c.hideCount == 0) InvalidateCaret();
    StopBlink();
    c.owner = nullptr;
    c.hideCount = 1;
    return 1;
}

BOOL ShowCaret(HWND window) {
    TCaret& c = Caret();
    if (!Owns(window) || c.hideCount == 0) return 0;
    if (--c.hideCount == 0) {
        StartBlink();
        InvalidateCaret();
    }
    return 1;
}

BOOL HideCaret(HWND window) {
    TCaret& c = Caret();
    if (!Owns(window)) return 0;
    if (c.hideCount++ == 0) {
        StopBlink();
        if (c.phaseOn) InvalidateCaret();
    }
    return 1;
}

BOOL SetCaretPos(int x, int y) {
    TCaret& c = Caret();
    if (!c.owner) return 0;
    if (c.pos == QPoint(x, y)) return 1;
    const bool visible = c.hideCount == 0;
    if (visible && c.phaseOn) InvalidateCaret();
    c.pos = QPoint(x, y);
    if (visible) {
        StartBlink(); // a moved caret shows at once
        InvalidateCaret();
    }
    return 1;
}

BOOL GetCaretPos(TPoint& point) {
    TCaret& c = Caret();
    if (!c.owner) return 0;
    point = TPoint{c.pos.x(), c.pos.y()};
    return 1;
}

UINT GetCaretBlinkTime() {
    TCaret& c = Caret();
    if (c.blink == 0) {
        int flash = QCoreApplication::instance() ? QApplication::cursorFlashTime() : 1000;
        c.blink = flash > 0 ? UINT(flash / 2) : 0xFFFFFFFFu;
        if (c.blink == 0) c.blink = 500;
    }
    return c.blink;
}

BOOL SetCaretBlinkTime(UINT milliseconds) {
    if (milliseconds == 0) return 0;
    TCaret& c = Caret();
    c.blink = milliseconds;
    if (c.owner && c.hideCount == 0) StartBlink();
    return 1;
}

HWND CaretOwner() { return Caret().owner; }
TSize CaretSize() { return Caret().owner ? TSize{Caret().size.width(), Caret().size.height()} : TSize{}; }
bool CaretVisible() { return Caret().owner && Caret().hideCount == 0; }
bool CaretDrawn() { return CaretVisible() && Caret().phaseOn; }

void PaintCaret(TNativeWidget& w, QPainter& painter, const QRegion& region) {
    TCaret& c = Caret();
    if (c.owner != w.handle || !CaretDrawn()) return;
    const QRect r = CaretRect();
    if (!region.intersects(r)) return;
    painter.save();
    painter.setClipRegion(region);
    // Difference with white inverts, like the XOR a Win32 caret uses.
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    switch (c.kind) {
    case TCaretKind::Solid: painter.fillRect(r, Qt::white); break;
    case TCaretKind::Gray: painter.fillRect(r, QBrush(Qt::white, Qt::Dense4Pattern)); break;
    case TCaretKind::Bitmap: painter.drawImage(r.topLeft(), c.bitmap); break;
    }
    painter.restore();
}

void CaretWindowGone(HWND window) {
    if (Caret().owner == window) {
        StopBlink();
        Caret().owner = nullptr;
        Caret().hideCount = 1;
    }
}

void CaretScrolled(TNativeWidget& w, const QRect& rect, int dx, int dy) {
    TCaret& c = Caret();
    if (c.owner != w.handle || !CaretDrawn()) return;
    const QRect r = CaretRect();
    if (!r.intersects(rect)) return;
    // The inverted cells moved with the pixels: repaint where they went and where the
    // caret stays.
    const QRect ghost = r.translated(dx, dy).intersected(rect);
    if (!ghost.isEmpty()) {
        w.pending += ghost;
        w.viewport()->update(ghost);
    }
    InvalidateCaret();
}
