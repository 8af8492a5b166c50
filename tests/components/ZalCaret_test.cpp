#include <gtest/gtest.h>

#include "components/ZalCaret.h"
#include "platform/Bitmap.h"
#include "platform/Caret.h"
#include "platform/Window.h"

namespace {
// A parentless window (a hidden utility window) is enough to own the caret.
struct TTestWindow : IMessageHandler {
    TWindow Window{*this};
    explicit TTestWindow(bool create = true) {
        Window.SetBounds(0, 0, 300, 200);
        if (create) Window.CreateHandle();
    }
    void WndProc(TMessage& m) override { DefWindowProc(Window.Handle(), m); }
};

// A description that records when it is freed.
struct TTrackedCaret : TZalCaret {
    bool* Freed;
    explicit TTrackedCaret(bool* freed) : Freed(freed) {}
    ~TTrackedCaret() override { *Freed = true; }
};

TPoint CaretPos() {
    TPoint p{-1, -1};
    GetCaretPos(p);
    return p;
}
} // namespace

TEST(ZalCaret, ShapeAdjustsAlignAndSizeAndIgnoredWritesReportNothing) {
    TZalCaret* c = new TZalCaret;
    c->AddRef();
    int changes = 0;
    c->OnCaretChange = [&](TPersistent*) { ++changes; };
    c->SetCaretWidth(7);
    c->SetShape(csHorzLine);
    EXPECT_EQ(c->Align(), caBottom);
    EXPECT_EQ(c->CaretHeight(), 2);
    c->SetShape(csVertLine);
    EXPECT_EQ(c->Align(), caLeft);
    EXPECT_EQ(c->CaretWidth(), 2);
    c->SetAlign(caCenter);
    c->SetShape(csCustom);
    EXPECT_EQ(c->Align(), caCenter) << "a custom shape changes nothing else";
    EXPECT_EQ(changes, 5) << "one notification per shape change";

    TBitmap empty;
    c->SetCaretWidth(0);
    c->SetCaretHeight(-4);
    c->SetAlign(caCenter);
    c->SetBitmap(nullptr);
    c->SetBitmapHotSpotX(3); // matters only to a bitmap caret
    EXPECT_EQ(c->CaretWidth(), 2) << "a zero width keeps the old width";
    c->SetShape(csBitmap);
    EXPECT_EQ(c->CaretHeight(), 2) << "without an image the size stays";
    EXPECT_EQ(changes, 6);

    TBitmap image(6, 9);
    c->SetBitmap(&image);
    c->SetShape(csCustom);
    c->SetShape(csBitmap);
    EXPECT_EQ(c->CaretWidth(), 6);
    EXPECT_EQ(c->CaretHeight(), 9);
    c->SetBitmapHotSpotY(1);
    EXPECT_EQ(changes, 10);
    c->SetBitmap(&empty);
    EXPECT_TRUE(c->Bitmap().Empty()) << "an empty image clears the old one";
    EXPECT_EQ(changes, 11);
    c->Release();
}

TEST(ZalCaretPair, SizesAndOffsetsByShapeAndAlignment) {
    TZalCaretPair pair(nullptr);
    EXPECT_EQ(pair.OverwriteCaret()->Shape(), csBlock);
    pair.SetCharWidth(8);
    pair.SetLineHeight(16);
    pair.SetLineHeight(0); // ignored
    EXPECT_EQ(pair.InsertCaret()->CaretWidth(), 2);
    EXPECT_EQ(pair.InsertCaret()->CaretHeight(), 16);
    EXPECT_EQ(pair.Offset(), (TPoint{0, 0}));
    pair.SetUseInsertCaret(false);
    EXPECT_EQ(pair.CurrentCaret(), pair.OverwriteCaret());
    EXPECT_EQ(pair.OverwriteCaret()->CaretWidth(), 8);
    EXPECT_EQ(pair.OverwriteCaret()->CaretHeight(), 16);
    EXPECT_EQ(pair.Offset(), (TPoint{0, 0}));

    TZalCaret* c = pair.OverwriteCaret();
    pair.SetLineHeight(15);
    c->SetShape(csHalfBlock);
    EXPECT_EQ(c->CaretHeight(), 7);
    EXPECT_EQ(pair.Offset(), (TPoint{0, 8})) << "a half block sits at the bottom";

    c->SetShape(csCustom);
    c->SetCaretWidth(3);
    c->SetCaretHeight(5);
    const struct {
        TZalCaretAlign align;
        TPoint offset;
    } cases[] = {{caLeft, {0, 5}},
                 {caTop, {2, 0}},
                 {caRight, {5, 5}},
                 {caBottom, {2, 10}},
                 {caCenter, {2, 5}}};
    for (const auto& k : cases) {
        c->SetAlign(k.align);
        EXPECT_EQ(pair.Offset(), k.offset) << "align " << int(k.align);
    }
    c->SetCaretWidth(11); // wider and higher than the cell: halves truncate toward zero
    c->SetCaretHeight(18);
    EXPECT_EQ(pair.Offset(), (TPoint{-1, -1}));

    TBitmap image(6, 9); // a bitmap's hot spot goes on the alignment point
    c->SetBitmap(&image);
    c->SetBitmapHotSpotX(1);
    c->SetBitmapHotSpotY(2);
    c->SetShape(csBitmap);
    c->SetAlign(caLeft);
    EXPECT_EQ(pair.Offset(), (TPoint{-1, 1}));
}

TEST(ZalCaretPair, ReferenceCountsFreeADescriptionWithItsLastHolder) {
    bool insFreed = false, sharedFreed = false;
    auto* ins = new TTrackedCaret(&insFreed);
    auto* shared = new TTrackedCaret(&sharedFreed);
    {
        TZalCaretPair a(nullptr), b(nullptr);
        a.SetInsertCaret(ins);
        EXPECT_EQ(ins->RefCount(), 2) << "held by the pair and as the current caret";
        a.SetUseInsertCaret(false);
        EXPECT_EQ(ins->RefCount(), 1);
        a.SetUseInsertCaret(true);
        EXPECT_FALSE(insFreed) << "the pair still held it through the switch";
        a.SetInsertCaret(nullptr);
        EXPECT_TRUE(insFreed);
        a.SetCharWidth(9); // no current description: nothing to size

        b.SetInsertCaret(shared);
        {
            TZalCaretPair c(nullptr);
            c.SetInsertCaret(shared);
            EXPECT_EQ(shared->RefCount(), 4);
        }
        EXPECT_EQ(shared->RefCount(), 2);
        // A description outliving a caret that used it must not call back into it.
        shared->SetShape(csHorzLine);
        EXPECT_FALSE(sharedFreed);
    }
    EXPECT_TRUE(sharedFreed);
}

TEST(ZalCaretPair, DrivesThePlatformCaret) {
    TTestWindow unborn(false);
    TZalCaretPair early(&unborn.Window);
    early.SetAttached(true);
    EXPECT_FALSE(early.Attached()) << "attaching needs the window";

    TTestWindow w;
    const HWND h = w.Window.Handle();
    SetCaretBlinkTime(5000); // no blink phase change during the test
    {
        TZalCaretPair pair(&w.Window);
        // As the editor does on gaining the focus.
        pair.SetAttached(true);
        pair.SetLineHeight(16);
        pair.SetCharWidth(8);
        pair.SetUseInsertCaret(true);
        pair.SetPosition({40, 32});
        pair.SetShowing(true);
        EXPECT_EQ(CaretOwner(), h);
        EXPECT_EQ(CaretSize(), (TSize{2, 16}));
        EXPECT_EQ(CaretPos(), (TPoint{40, 32}));
        EXPECT_TRUE(CaretVisible());

        pair.SetUseInsertCaret(false);
        EXPECT_EQ(CaretSize(), (TSize{8, 16})) << "re-created with the overwrite look";
        EXPECT_TRUE(CaretVisible());
        pair.OverwriteCaret()->SetShape(csHalfBlock);
        EXPECT_EQ(CaretSize(), (TSize{8, 8}));
        EXPECT_EQ(CaretPos(), (TPoint{40, 40}));

        constexpr int none = TZalSingleCaret::kNoPosition;
        pair.SetPosition({-1, 20});
        EXPECT_EQ(pair.Position(), (TPoint{none, 20}));
        EXPECT_EQ(CaretPos(), (TPoint{none, 28})) << "no offset on the missing coordinate";
        pair.SetPosition({2147483646, 0});
        EXPECT_EQ(CaretPos(), (TPoint{2147483646, 8})) << "parked near the limit, no overflow";

        pair.SetShowing(false);
        pair.OverwriteCaret()->SetIsGray(true);
        EXPECT_FALSE(CaretVisible()) << "re-created hidden";
        pair.SetAttached(false);
        EXPECT_EQ(CaretOwner(), nullptr);
        pair.SetPosition({5, 5}); // detached: only remembered
        pair.SetAttached(true);
        EXPECT_EQ(CaretPos(), (TPoint{5, 13}));
    }
    EXPECT_EQ(CaretOwner(), nullptr) << "destruction detaches";
}

TEST(ZalCaretPair, BlinkTimeIsSetWhileAttachedAndRestoredOnDetach) {
    TTestWindow w;
    SetCaretBlinkTime(700);
    TZalCaretPair pair(&w.Window);
    pair.SetAttached(true);
    EXPECT_EQ(GetCaretBlinkTime(), 700u) << "0 keeps the system's blink time";
    pair.InsertCaret()->SetBlinkTime(300);
    EXPECT_EQ(GetCaretBlinkTime(), 300u);
    pair.SetAttached(false);
    EXPECT_EQ(GetCaretBlinkTime(), 700u);
    pair.SetAttached(true);
    pair.SetUseInsertCaret(false);
    EXPECT_EQ(GetCaretBlinkTime(), 700u) << "the overwrite look keeps the system's";

    // The window goes while attached: the platform drops the caret, the time comes back.
    pair.SetUseInsertCaret(true);
    w.Window.DestroyHandle();
    pair.SetAttached(false);
    EXPECT_EQ(GetCaretBlinkTime(), 700u);
}

TEST(ZalCaretPair, LeavesAnotherWindowsCaretAlone) {
    TTestWindow first, second;
    TZalCaretPair a(&first.Window), b(&second.Window);
    a.SetAttached(true);
    first.Window.RecreateHandle(); // a's caret went with the old window
    b.SetPosition({1, 2});
    b.SetAttached(true);
    a.SetPosition({50, 50});
    a.SetAttached(false);
    EXPECT_EQ(CaretOwner(), second.Window.Handle());
    EXPECT_EQ(CaretPos(), (TPoint{1, 2}));
}
