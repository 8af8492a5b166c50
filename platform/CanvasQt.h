#pragma once
// The Qt side of TCanvas and TBitmap. Includes Qt: for the platform layer and the shell
// (the shell prints through a canvas made on its printer's painter).
#include <QFont>
#include <QRawFont>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

struct TCanvas::TImpl {
    QPainter* painter = nullptr;          // the painter in use (own or borrowed)
    std::unique_ptr<QPainter> ownPainter; // for bitmaps: begun on first use
    QImage* image = nullptr;              // bitmap canvases draw here
    bool measuring = false;               // no device at all
    TFontDesc font;
    QFont qfont;
    TColor text = 0, bk = 0x00FFFFFF, brush = 0x00FFFFFF, pen = 0;
    int bkMode = OPAQUE;
    QPoint penPos;
    QPoint origin;                // logical (0,0) in device coordinates
    std::optional<QRegion> clip;  // device coordinates
    struct TState { TFontDesc font; TColor text, bk, brush, pen; int bkMode; QPoint origin; std::optional<QRegion> clip; };
    std::vector<TState> saved;
    // Font facts computed on first use after each font change (text output is hot).
    struct TFontCache {
        bool valid = false;
        QFont font;
        bool fixed = false;
        int ascent = 0, cell = 0;
        QRawFont raw;
    };
    mutable TFontCache cache;
    const TFontCache& Cached() const;

    // The painter to draw with, nullptr on a measuring canvas.
    QPainter* P();
    // Ends a bitmap canvas's painter so that the image can be read or copied safely.
    void EndPainting();
    void ApplyState();
    QFont DeviceFont() const;
};

// A canvas drawing with a painter that the caller keeps active while the canvas is used.
// clip, in device coordinates, limits the drawing (the paint region of a window).
std::unique_ptr<TCanvas> MakeCanvas(QPainter& painter, const QRegion* clip = nullptr);

struct TBitmap::TImpl {
    QImage image;
    std::unique_ptr<TCanvas> canvas;
    // The image, with any drawing in progress finished.
    const QImage& Image();
};
