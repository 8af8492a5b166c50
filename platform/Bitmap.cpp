#include "platform/Bitmap.h"

#include <span>

#include "platform/Resources.h"

#include "platform/CanvasQt.h"
#include "platform/QtConvert.h"

const QImage& TBitmap::TImpl::Image() {
    if (canvas) canvas->Impl().EndPainting();
    return image;
}

TBitmap::TBitmap() : d(std::make_unique<TImpl>()) {}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::TBitmap(const TBitmap& other) : TBitmap() { d->image = other.d->Image().copy(); }

TBitmap& TBitmap::operator=(const TBitmap& other) {
    if (this != &other) {
        QImage copy = other.d->Image().copy();
        d->Image();
        d->image = copy;
    }
    return *this;
}

TBitmap::~TBitmap() {
    d->canvas.reset(); // ends its painter before the image goes
}

bool TBitmap::Empty() const { return d->image.isNull() || d->image.width() == 0 || d->image.height() == 0; }
int TBitmap::Width() const { return d->image.width(); }
int TBitmap::Height() const { return d->image.height(); }

void TBitmap::SetSize(int width, int height) {
    if (width == Width() && height == Height()) return;
    const QImage& old = d->Image();
    if (width <= 0 || height <= 0) {
        d->image = QImage();
        return;
    }
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::white);
    if (!old.isNull()) {
        QPainter p(&img);
        p.drawImage(0, 0, old);
    }
    d->image = img;
}

bool TBitmap::LoadFromData(const void* data, size_t size) {
    QImage img;
    if (!data || size == 0 || !img.loadFromData(static_cast<const uchar*>(data), int(size))) return false;
    d->Image();
    d->image = img.convertToFormat(QImage::Format_RGB32);
    return true;
}

bool TBitmap::LoadFromResourceName(const char* name) {
    std::span<const uint8_t> bytes;
    if (!name || !FindResourceBlob(RT_BITMAP, name, bytes)) return false;
    return LoadFromData(bytes.data(), bytes.size());
}

TColor TBitmap::Pixel(int x, int y) const {
    const QImage& img = d->Image();
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return 0;
    return FromQColor(QColor(img.pixel(x, y)));
}

void TBitmap::SetPixel(int x, int y, TColor color) {
    d->Image();
    if (x < 0 || y < 0 || x >= d->image.width() || y >= d->image.height()) return;
    d->image.setPixel(x, y, ToQColor(color).rgb());
}

TColor TBitmap::TransparentColor() const { return Empty() ? 0 : Pixel(0, Height() - 1); }

TBitmap TBitmap::MaskOf(TColor color) const {
    TBitmap mask;
    const QImage& img = d->Image();
    if (img.isNull()) return mask;
    const QRgb key = ToQColor(color).rgb() | 0xFF000000u;
    QImage m(img.size(), QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(m.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            dst[x] = (src[x] | 0xFF000000u) == key ? 0xFFFFFFFFu : 0xFF000000u;
    }
    mask.d->image = m;
    return mask;
}

TCanvas& TBitmap::Canvas() {
    if (!d->canvas) {
        auto impl = std::make_unique<TCanvas::TImpl>();
        impl->image = &d->image;
        d->canvas = std::make_unique<TCanvas>(std::move(impl));
    }
    return *d->canvas;
}
