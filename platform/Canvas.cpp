#include "platform/Canvas.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QRawFont>
#include <vector>

#include "platform/CanvasQt.h"
#include "platform/Cp1252.h"
#include "platform/QtConvert.h"

namespace {
QFont ToQFont(const TFontDesc& f) {
    QFont q(QString::fromUtf8(f.Name.c_str()));
    q.setPointSize(f.Size > 0 ? f.Size : 10);
    q.setBold(f.Bold);
    q.setItalic(f.Italic);
    q.setUnderline(f.Underline);
    q.setStrikeOut(f.StrikeOut);
    q.setKerning(false);
    q.setStyleHint(QFont::AnyStyle, QFont::PreferDefault);
    return q;
}

QRect R(const TRect& r) { return ToQRect(r); }
} // namespace

// --- TImpl ---------------------------------------------------------------------------

QPainter* TCanvas::TImpl::P() {
    if (measuring) return nullptr;
    if (!painter && image) {
        if (image->isNull()) return nullptr;
        ownPainter = std::make_unique<QPainter>(image);
        painter = ownPainter.get();
        ApplyState();
    }
    return painter;
}

void TCanvas::TImpl::EndPainting() {
    if (ownPainter) {
        ownPainter->end();
        ownPainter.reset();
        painter = nullptr;
    }
}

void TCanvas::TImpl::ApplyState() {
    cache.valid = false;
    if (!painter) return;
    painter->setTransform(QTransform::fromTranslate(origin.x(), origin.y()));
    if (clip) painter->setClipRegion(clip->translated(-origin));
    else painter->setClipping(false);
    painter->setFont(DeviceFont());
}

const TCanvas::TImpl::TFontCache& TCanvas::TImpl::Cached() const {
    if (!cache.valid) {
        cache.font = DeviceFont();
        QFontMetrics fm(cache.font);
        cache.fixed = QFontInfo(cache.font).fixedPitch();
        cache.ascent = fm.ascent();
        cache.cell = fm.horizontalAdvance(QLatin1Char('0'));
        cache.raw = QRawFont::fromFont(cache.font);
        cache.valid = true;
    }
    return cache;
}

QFont TCanvas::TImpl::DeviceFont() const {
    if (painter && painter->device()) return QFont(qfont, painter->device());
    return qfont;
}

TCanvas::TCanvas(std::unique_ptr<TImpl> impl) : d(std::move(impl)) { d->qfont = ToQFont(d->font); }
TCanvas::~TCanvas() { d->EndPainting(); }

std::unique_ptr<TCanvas> TCanvas::CreateMeasuring() {
    auto impl = std::make_unique<TImpl>();
    impl->measuring = true;
    return std::make_unique<TCanvas>(std::move(impl));
}

std::unique_ptr<TCanvas> MakeCanvas(QPainter& painter, const QRegion* clip) {
    auto impl = std::make_unique<TCanvas::TImpl>();
    impl->painter = &painter;
    if (clip) impl->clip = *clip;
    auto c = std::make_unique<TCanvas>(std::move(impl));
    c->Impl().ApplyState();
    return c;
}

// --- fonts and text ------------------------------------------------------------------

void TCanvas::SelectFont(const TFontDesc& font) {
    d->font = font;
    d->qfont = ToQFont(font);
    d->cache.valid = false;
    if (d->painter) d->painter->setFont(d->DeviceFont());
}

const TFontDesc& TCanvas::Font() const { return d->font; }

TTextMetric TCanvas::GetTextMetrics() const {
    QFontMetrics fm(d->DeviceFont());
    TTextMetric m;
    m.Ascent = fm.ascent();
    m.Descent = fm.descent();
    m.Height = m.Ascent + m.Descent;
    const QFont f = d->DeviceFont();
    const QFontInfo info(f);
    m.FixedPitch = info.fixedPitch();
    int em = info.pixelSize();
    m.InternalLeading = em > 0 && em < m.Height ? m.Height - em : 0;
    m.ExternalLeading = fm.leading() > 0 ? fm.leading() : 0;
    m.AveCharWidth = m.FixedPitch ? fm.horizontalAdvance(QLatin1Char('0')) : fm.averageCharWidth();
    m.MaxCharWidth = fm.maxWidth();
    return m;
}

TSize TCanvas::TextExtent(const char* text, size_t length) const {
    const TImpl::TFontCache& f = d->Cached();
    QFontMetrics fm(f.font);
    // Fixed-pitch text is laid out in whole-pixel cells of the average width, so that
    // measuring, drawing and the cell grid agree even when the font's advance is
    // fractional.
    if (f.fixed) return TSize{int(length) * f.cell, fm.height()};
    QString s = Cp1252ToQString(std::string_view(text, length));
    return TSize{fm.horizontalAdvance(s), fm.height()};
}

void TCanvas::SetTextColor(TColor c) { d->text = c; }
TColor TCanvas::TextColor() const { return d->text; }
void TCanvas::SetBkColor(TColor c) { d->bk = c; }
TColor TCanvas::BkColor() const { return d->bk; }
void TCanvas::SetBkMode(int mode) { d->bkMode = mode == TRANSPARENT ? TRANSPARENT : OPAQUE; }
void TCanvas::SetBrushColor(TColor c) { d->brush = c; }
TColor TCanvas::BrushColor() const { return d->brush; }
void TCanvas::SetPenColor(TColor c) { d->pen = c; }

void TCanvas::ExtTextOut(int x, int y, UINT options, const TRect* rect, const char* text, size_t length,
                         const int* dx) {
    QPainter* p = d->P();
    if (!p) return;
    if (rect && (options & ETO_OPAQUE)) p->fillRect(R(*rect), ToQColor(d->bk));
    if (length == 0 || !text) return;
    const bool clipped = rect && (options & ETO_CLIPPED);
    if (clipped) {
        p->save();
        p->setClipRect(R(*rect), p->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    const TImpl::TFontCache& f = d->Cached();
    const QFont& font = f.font;
    p->setFont(font);
    p->setPen(ToQColor(d->text));
    const QString s = Cp1252ToQString(std::string_view(text, length));
    const int ascent = f.ascent;
    bool drawn = false;
    std::vector<int> cells;
    if (!dx && f.fixed) {
        cells.assign(length, f.cell);
        dx = cells.data();
    }
    if (dx) {
        // One glyph run at exact cell positions: fast, and immune to fractional advances.
        const QRawFont& raw = f.raw;
        if (raw.isValid()) {
            QList<quint32> glyphs = raw.glyphIndexesForString(s);
            bool complete = glyphs.size() == s.size();
            for (quint32 g : glyphs) complete = complete && g != 0;
            if (complete) {
                QList<QPointF> positions;
                positions.reserve(glyphs.size());
                qreal cx = 0;
                for (qsizetype i = 0; i < glyphs.size(); ++i) {
                    positions.append(QPointF(cx, 0));
                    cx += dx[i];
                }
                QGlyphRun run;
                run.setRawFont(raw);
                run.setGlyphIndexes(glyphs);
                run.setPositions(positions);
                run.setUnderline(font.underline());
                run.setStrikeOut(font.strikeOut());
                p->drawGlyphRun(QPointF(x, y + ascent), run);
                drawn = true;
            }
        }
        if (!drawn) {
            int cx = x;
            for (qsizetype i = 0; i < s.size(); ++i) {
                p->drawText(QPointF(cx, y + ascent), QString(s[i]));
                cx += dx[i];
            }
            drawn = true;
        }
    }
    if (!drawn) p->drawText(QPointF(x, y + ascent), s);
    if (clipped) p->restore();
}

void TCanvas::TextOut(int x, int y, const char* text, size_t length) {
    QPainter* p = d->P();
    if (!p) return;
    if (d->bkMode == OPAQUE) {
        TSize e = TextExtent(text, length);
        p->fillRect(QRect(x, y, e.Width, e.Height), ToQColor(d->bk));
    }
    ExtTextOut(x, y, 0, nullptr, text, length);
}

int TCanvas::DrawText(const std::string& text, TRect& rect, UINT format) {
    int flags = 0;
    if (format & DT_CENTER) flags |= Qt::AlignHCenter;
    else if (format & DT_RIGHT) flags |= Qt::AlignRight;
    else flags |= Qt::AlignLeft;
    if (format & DT_VCENTER) flags |= Qt::AlignVCenter;
    else if (format & DT_BOTTOM) flags |= Qt::AlignBottom;
    else flags |= Qt::AlignTop;
    if (format & DT_SINGLELINE) flags |= Qt::TextSingleLine;
    else if (format & DT_WORDBREAK) flags |= Qt::TextWordWrap;
    if (!(format & DT_NOPREFIX)) flags |= Qt::TextShowMnemonic;
    const QString s = Cp1252ToQString(text);
    const QFont font = d->DeviceFont();
    if (format & DT_CALCRECT) {
        QFontMetrics fm(font);
        QRect limit(rect.Left, rect.Top, (format & DT_WORDBREAK) ? rect.Width() : 1 << 20, 1 << 20);
        QRect b = fm.boundingRect(limit, flags & ~(Qt::AlignHCenter | Qt::AlignRight | Qt::AlignVCenter | Qt::AlignBottom), s);
        rect.Right = rect.Left + b.width();
        rect.Bottom = rect.Top + b.height();
        return b.height();
    }
    QPainter* p = d->P();
    QRect bounds;
    if (!p) return 0;
    p->save();
    if (!(format & DT_NOCLIP)) p->setClipRect(R(rect), p->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    p->setFont(font);
    p->setPen(ToQColor(d->text));
    if (d->bkMode == OPAQUE) {
        p->setBackgroundMode(Qt::OpaqueMode);
        p->setBackground(ToQColor(d->bk));
    }
    p->drawText(R(rect), flags, s, &bounds);
    p->restore();
    return bounds.height();
}

// --- shapes --------------------------------------------------------------------------

void TCanvas::FillRect(const TRect& rect) { FillRect(rect, d->brush); }

void TCanvas::FillRect(const TRect& rect, TColor color) {
    if (QPainter* p = d->P(); p && !rect.IsEmpty()) p->fillRect(R(rect), ToQColor(color));
}

void TCanvas::FrameRect(const TRect& r, TColor color) {
    if (r.IsEmpty()) return;
    FillRect(TRect{r.Left, r.Top, r.Right, r.Top + 1}, color);
    FillRect(TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, color);
    FillRect(TRect{r.Left, r.Top, r.Left + 1, r.Bottom}, color);
    FillRect(TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, color);
}

void TCanvas::InvertRect(const TRect& rect) {
    QPainter* p = d->P();
    if (!p || rect.IsEmpty()) return;
    p->save();
    p->setCompositionMode(QPainter::RasterOp_NotDestination);
    p->fillRect(R(rect), Qt::black);
    p->restore();
}

void TCanvas::MoveTo(int x, int y) { d->penPos = QPoint(x, y); }

void TCanvas::LineTo(int x, int y) {
    const QPoint a = d->penPos, b(x, y);
    d->penPos = b;
    QPainter* p = d->P();
    if (!p || a == b) return;
    // Win32 lines leave out their end point; horizontal and vertical ones are exact.
    if (a.y() == b.y()) {
        const int l = b.x() > a.x() ? a.x() : b.x() + 1;
        const int r = b.x() > a.x() ? b.x() : a.x() + 1;
        p->fillRect(QRect(l, a.y(), r - l, 1), ToQColor(d->pen));
    } else if (a.x() == b.x()) {
        const int t = b.y() > a.y() ? a.y() : b.y() + 1;
        const int bt = b.y() > a.y() ? b.y() : a.y() + 1;
        p->fillRect(QRect(a.x(), t, 1, bt - t), ToQColor(d->pen));
    } else {
        p->setPen(ToQColor(d->pen));
        p->drawLine(a, b);
    }
}

void TCanvas::SetPixel(int x, int y, TColor color) { FillRect(TRect{x, y, x + 1, y + 1}, color); }

// --- bitmaps -------------------------------------------------------------------------

void TCanvas::BitBlt(int x, int y, int w, int h, const TBitmap& src, int sx, int sy) {
    QPainter* p = d->P();
    if (!p || w <= 0 || h <= 0 || src.Empty()) return;
    const QImage& img = src.Impl().Image();
    if (&img == d->image) { // copying within one bitmap
        QImage copy = img.copy(sx, sy, w, h);
        p->drawImage(QPoint(x, y), copy);
        return;
    }
    p->drawImage(QPoint(x, y), img, QRect(sx, sy, w, h));
}

void TCanvas::Draw(int x, int y, const TBitmap& src) { BitBlt(x, y, src.Width(), src.Height(), src, 0, 0); }

void TCanvas::StretchBlt(const TRect& dest, const TBitmap& src, const TRect& srcRect) {
    QPainter* p = d->P();
    if (!p || src.Empty() || dest.IsEmpty()) return;
    QImage img = src.Impl().Image().copy(R(srcRect));
    p->drawImage(R(dest), img);
}

void TCanvas::DrawMasked(int x, int y, const TBitmap& src, const TBitmap& mask) {
    QPainter* p = d->P();
    if (!p || src.Empty()) return;
    QImage img = src.Impl().Image().convertToFormat(QImage::Format_ARGB32);
    const QImage& m = mask.Impl().Image();
    for (int yy = 0; yy < img.height(); ++yy) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(yy));
        for (int xx = 0; xx < img.width(); ++xx) {
            bool keepBeneath = xx < m.width() && yy < m.height() && qGray(m.pixel(xx, yy)) >= 128;
            if (keepBeneath) line[xx] = 0;
        }
    }
    p->drawImage(QPoint(x, y), img);
}

void TCanvas::DrawTransparent(int x, int y, const TBitmap& src, TColor transparent) {
    if (src.Empty()) return;
    DrawMasked(x, y, src, src.MaskOf(transparent));
}

// --- clipping and origin -------------------------------------------------------------

TRect TCanvas::GetClipBox() const {
    QRect box;
    if (d->clip) box = d->clip->boundingRect();
    else if (d->image) box = d->image->rect();
    else if (d->painter && d->painter->device())
        box = QRect(0, 0, d->painter->device()->width(), d->painter->device()->height());
    return FromQRect(box.translated(-d->origin));
}

void TCanvas::IntersectClipRect(const TRect& rect) {
    QRegion r(R(rect).translated(d->origin));
    if (d->clip) d->clip = d->clip->intersected(r);
    else if (d->image) d->clip = r.intersected(d->image->rect());
    else d->clip = r;
    if (d->painter) d->ApplyState();
}

void TCanvas::OffsetOrigin(int dx, int dy) {
    d->origin += QPoint(dx, dy);
    if (d->painter) d->ApplyState();
}

void TCanvas::Save() {
    d->saved.push_back({d->font, d->text, d->bk, d->brush, d->pen, d->bkMode, d->origin, d->clip});
}

void TCanvas::Restore() {
    if (d->saved.empty()) return;
    TImpl::TState s = d->saved.back();
    d->saved.pop_back();
    d->font = s.font;
    d->qfont = ToQFont(s.font);
    d->cache.valid = false;
    d->text = s.text;
    d->bk = s.bk;
    d->brush = s.brush;
    d->pen = s.pen;
    d->bkMode = s.bkMode;
    d->origin = s.origin;
    d->clip = s.clip;
    if (d->painter) d->ApplyState();
}
