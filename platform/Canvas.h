#pragma once
// Drawing on a window during its paint, on a bitmap, or (in the shell) on the printer.
// Text is bytes in Windows-1252; colours are TColor values (system colours allowed).
#include <cstddef>
#include <memory>
#include <string>

#include "platform/Messages.h"
#include "platform/Types.h"

class TBitmap;

struct TFontDesc {
    std::string Name = "Liberation Mono";
    int Size = 10; // points
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    friend bool operator==(const TFontDesc&, const TFontDesc&) = default;
};

struct TTextMetric {
    int Height = 0, Ascent = 0, Descent = 0;
    int InternalLeading = 0, ExternalLeading = 0;
    int AveCharWidth = 0, MaxCharWidth = 0;
    bool FixedPitch = false;
};

// ExtTextOut options.
constexpr UINT ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004;
// Background modes.
constexpr int TRANSPARENT = 1, OPAQUE = 2;
// DrawText formats.
constexpr UINT DT_LEFT = 0x0000, DT_CENTER = 0x0001, DT_RIGHT = 0x0002, DT_VCENTER = 0x0004,
               DT_BOTTOM = 0x0008, DT_WORDBREAK = 0x0010, DT_SINGLELINE = 0x0020,
               DT_NOCLIP = 0x0100, DT_CALCRECT = 0x0400, DT_NOPREFIX = 0x0800;

class TCanvas {
public:
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // A canvas that only measures (fonts and text extents), as a screen DC would.
    static std::unique_ptr<TCanvas> CreateMeasuring();

    void SelectFont(const TFontDesc& font);
    const TFontDesc& Font() const;
    TTextMetric GetTextMetrics() const;
    TSize TextExtent(const char* text, size_t length) const;
    TSize TextExtent(const std::string& text) const { return TextExtent(text.data(), text.size()); }

    void SetTextColor(TColor color);
    TColor TextColor() const;
    void SetBkColor(TColor color);
    TColor BkColor() const;
    void SetBkMode(int mode);
    void SetBrushColor(TColor color);
    TColor BrushColor() const;
    void SetPenColor(TColor color);

    // Text whose cell top-left is (x, y). ETO_OPAQUE fills rect with the background
    // colour first; ETO_CLIPPED keeps the text inside rect. dx, when given, holds the
    // advance of each character (equal cells for fixed-pitch layout).
    void ExtTextOut(int x, int y, UINT options, const TRect* rect, const char* text, size_t length,
                    const int* dx = nullptr);
    // Text in the background mode (opaque: background colour behind the text).
    void TextOut(int x, int y, const char* text, size_t length);
    void TextOut(int x, int y, const std::string& text) { TextOut(x, y, text.data(), text.size()); }
    // Text laid out in rect; with DT_CALCRECT nothing is drawn and rect is set to the
    // bounds the text needs. Returns the text height.
    int DrawText(const std::string& text, TRect& rect, UINT format);

    void FillRect(const TRect& rect); // with the brush colour
    void FillRect(const TRect& rect, TColor color);
    void FrameRect(const TRect& rect, TColor color); // one-pixel outline inside rect
    void InvertRect(const TRect& rect);
    void MoveTo(int x, int y);
    void LineTo(int x, int y); // pen colour, the end point excluded
    void SetPixel(int x, int y, TColor color);

    // Bitmap copies: src part (sx, sy, w, h) to (x, y).
    void BitBlt(int x, int y, int w, int h, const TBitmap& src, int sx, int sy);
    void Draw(int x, int y, const TBitmap& src);
    void StretchBlt(const TRect& dest, const TBitmap& src, const TRect& srcRect);
    // Copies the pixels of src whose mask pixel is black; white mask pixels keep what
    // lies beneath.
    void DrawMasked(int x, int y, const TBitmap& src, const TBitmap& mask);
    // The same with the mask made of the pixels equal to `transparent`.
    void DrawTransparent(int x, int y, const TBitmap& src, TColor transparent);

    // The bounding box of what may be drawn, in the canvas's coordinates.
    TRect GetClipBox() const;
    void IntersectClipRect(const TRect& rect);
    // Shifts the origin: later coordinates are relative to (dx, dy) of the current ones.
    void OffsetOrigin(int dx, int dy);
    void Save();
    void Restore();

    struct TImpl;
    explicit TCanvas(std::unique_ptr<TImpl> impl);
    TImpl& Impl() const { return *d; }

private:
    std::unique_ptr<TImpl> d;
};
