#pragma once
// Carets: descriptions of a caret's look, shared by reference between their holders;
// the single caret that owns the platform caret of one window and places it inside the
// character cell; and the pair that switches between an insert and an overwrite look.
#include <cstdint>
#include <functional>

#include "components/Persistent.h"
#include "platform/Bitmap.h"
#include "platform/Types.h"

class TWindow;

enum TZalCaretShape : uint8_t { csBlock, csHalfBlock, csVertLine, csHorzLine, csCustom, csBitmap };
enum TZalCaretAlign : uint8_t { caLeft, caTop, caRight, caBottom, caCenter };

// How a caret looks. Shared by reference: each holder calls AddRef, and Release frees the
// description when the last holder lets it go, so it is created with new and never
// deleted directly.
class TZalCaret : public TPersistent {
public:
    TZalCaret() = default;
    TZalCaret(const TZalCaret&) = delete;
    TZalCaret& operator=(const TZalCaret&) = delete;
    const char* ClassName() const override { return "TZalCaret"; }

    void AddRef() { ++refCount_; }
    // Frees this description when no holder is left (also when none was counted).
    void Release();
    uint16_t RefCount() const { return refCount_; }

    TZalCaretAlign Align() const { return align_; }
    void SetAlign(TZalCaretAlign align);
    const TBitmap& Bitmap() const { return bitmap_; }
    // Copies the image (an empty one clears it); null is ignored.
    void SetBitmap(const TBitmap* bitmap);
    int32_t BitmapHotSpotX() const { return hotSpotX_; }
    void SetBitmapHotSpotX(int32_t x);
    int32_t BitmapHotSpotY() const { return hotSpotY_; }
    void SetBitmapHotSpotY(int32_t y);
    // Milliseconds per blink phase while the caret is shown; 0 keeps the system's.
    uint16_t BlinkTime() const { return blinkTime_; }
    void SetBlinkTime(uint16_t milliseconds);
    // Sizes of 0 or less are ignored.
    int32_t CaretHeight() const { return caretHeight_; }
    void SetCaretHeight(int32_t height);
    int32_t CaretWidth() const { return caretWidth_; }
    void SetCaretWidth(int32_t width);
    bool IsGray() const { return isGray_; }
    void SetIsGray(bool gray);
    TZalCaretShape Shape() const { return shape_; }
    // Also sets the alignment and size that go with the shape (see the .cpp), then
    // notifies once.
    void SetShape(TZalCaretShape shape);

    // Called after every effective change; the single caret using the description sets it.
    std::function<void(TPersistent* sender)> OnCaretChange;

protected:
    ~TZalCaret() override = default;

private:
    void CaretChanged();

    TZalCaretAlign align_ = caLeft;
    TBitmap bitmap_;
    int32_t hotSpotX_ = 0;
    int32_t hotSpotY_ = 0;
    uint16_t blinkTime_ = 0;
    int32_t caretHeight_ = 10;
    int32_t caretWidth_ = 2;
    bool isGray_ = false;
    TZalCaretShape shape_ = csVertLine;
    uint16_t refCount_ = 0;
};

// The platform caret of one window, shown in the look of its current description.
class TZalSingleCaret : public TPersistent {
public:
    // A position coordinate that names no position (the caret stays off the client area).
    static constexpr int32_t kNoPosition = 2147483647;

    // control is the window the caret lives in (may be null: the caret never attaches);
    // it must outlive this object, whose destruction detaches.
    explicit TZalSingleCaret(TWindow* control);
    ~TZalSingleCaret() override;
    TZalSingleCaret(const TZalSingleCaret&) = delete;
    TZalSingleCaret& operator=(const TZalSingleCaret&) = delete;
    const char* ClassName() const override { return "TZalSingleCaret"; }

    TWindow* Control() const { return control_; }

    // True while the platform caret exists in the control's window. Attaching needs that
    // window; it saves the system blink time and sets the description's, detaching puts
    // the saved time back.
    bool Attached() const { return attached_; }
    void SetAttached(bool attached);
    bool Showing() const { return showing_; }
    void SetShowing(bool showing);
    // The character cell's top-left pixel; a negative coordinate becomes kNoPosition.
    TPoint Position() const { return position_; }
    void SetPosition(TPoint position);
    int32_t LineHeight() const { return lineHeight_; }
    void SetLineHeight(int32_t pixels);
    int32_t CharWidth() const { return charWidth_; }
    void SetCharWidth(int32_t pixels);
    TZalCaret* CurrentCaret() const { return current_; }
    void SetCurrentCaret(TZalCaret* caret);
    // Pixels added to the position to place the caret inside the cell.
    TPoint Offset() const { return offset_; }

    // Sizes the description by its shape and the cell, and offsets it by its alignment.
    void Recompute();
    // Recompute with the platform caret destroyed and re-created in the new look.
    void Rebuild();

private:
    struct TRebuildLink;
    void Connect(TZalCaret& caret);
    void Disconnect(TZalCaret& caret);
    void ReleaseCurrent();
    bool WindowExists() const;
    bool OwnsSystemCaret() const;
    void CreateSystemCaret();
    void UpdatePosition();

    TZalCaret* current_ = nullptr;
    int32_t lineHeight_ = 10;
    bool attached_ = false;
    TPoint position_{kNoPosition, kNoPosition};
    bool showing_ = false;
    int32_t charWidth_ = 10;
    // The platform's value, kept whole: "does not blink" is a 32-bit value.
    uint32_t savedBlinkTime_ = 0;
    TWindow* control_;
    TPoint offset_;
};

// A single caret with an insert and an overwrite description, switched by the editor's
// insert mode.
class TZalCaretPair : public TZalSingleCaret {
public:
    explicit TZalCaretPair(TWindow* control);
    ~TZalCaretPair() override;
    const char* ClassName() const override { return "TZalCaretPair"; }

    bool UseInsertCaret() const { return useInsertCaret_; }
    void SetUseInsertCaret(bool useInsert);
    TZalCaret* InsertCaret() const { return insertCaret_; }
    void SetInsertCaret(TZalCaret* caret);
    TZalCaret* OverwriteCaret() const { return overwriteCaret_; }
    void SetOverwriteCaret(TZalCaret* caret);

private:
    bool useInsertCaret_ = true;
    TZalCaret* insertCaret_ = nullptr;
    TZalCaret* overwriteCaret_ = nullptr;
};
