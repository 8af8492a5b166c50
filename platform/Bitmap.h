#pragma once
// A device-independent bitmap with value semantics (copies are independent images).
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/Types.h"

class TCanvas;

class TBitmap {
public:
    TBitmap();
    TBitmap(int width, int height); // filled white
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);
    ~TBitmap();

    bool Empty() const;
    int Width() const;
    int Height() const;
    // Resizes, keeping the pixels that still fit; new pixels are white.
    void SetSize(int width, int height);

    // Reads PNG, XPM, BMP or any other format the image reader knows. On failure the
    // bitmap keeps its old contents and false is returned.
    bool LoadFromData(const void* data, size_t size);
    // Reads the program's bitmap resource `name` (RT_BITMAP); false, with the old
    // contents kept, when there is no such resource or it is not a readable image.
    bool LoadFromResourceName(const char* name);

    TColor Pixel(int x, int y) const; // 0 outside the bitmap
    void SetPixel(int x, int y, TColor color);
    // The colour drawn as transparent by default: the bottom-left pixel.
    TColor TransparentColor() const;
    // A mask of the same size: white where the pixel equals `color`, black elsewhere.
    TBitmap MaskOf(TColor color) const;

    // A canvas drawing into the bitmap; it stays valid as long as the bitmap.
    TCanvas& Canvas();

    struct TImpl;
    TImpl& Impl() const { return *d; }

private:
    std::unique_ptr<TImpl> d;
};
