#include "components/Controls.h"

#include <gtest/gtest.h>

namespace {

TEST(ControlTree, ParentsHoldTheirControlsAndFreeThem) {
    TForm form(nullptr);
    auto* panel = NewComponent<TWinControl>(nullptr); // owned by no one, freed as a child
    panel->SetParent(&form);
    auto* label = NewComponent<TLabel>(&form);
    label->SetParent(panel);
    EXPECT_EQ(panel->ControlCount(), 1);
    EXPECT_EQ(GetParentForm(label), &form);
    EXPECT_THROW(form.SetParent(panel), EComponentError); // no cycles

    label->SetParent(&form); // moves between lists
    EXPECT_EQ(panel->ControlCount(), 0);
    EXPECT_EQ(form.ControlCount(), 2);
    label->SetParent(panel);
    delete panel; // takes the label with it, which leaves the form's components
    EXPECT_EQ(form.ControlCount(), 0);
    EXPECT_EQ(form.ComponentCount(), 0);
}

TEST(ControlTree, ChildWindowsComeWithTheParentsAndLaterChildrenAtOnce) {
    TForm form(nullptr);
    auto* first = NewComponent<TWinControl>(&form);
    first->SetParent(&form);
    EXPECT_FALSE(first->HandleAllocated());
    form.HandleNeeded();
    EXPECT_TRUE(first->HandleAllocated());
    EXPECT_EQ(FindControl(first->Handle()), first);

    auto* later = NewComponent<TWinControl>(&form);
    later->SetParent(&form);
    EXPECT_TRUE(later->HandleAllocated());
    later->SetBounds(5, 6, 70, 80);
    EXPECT_EQ(later->BoundsRect(), (TRect{5, 6, 75, 86}));
    later->SetVisible(false);
    EXPECT_FALSE(later->Showing());
    later->RecreateWnd();
    EXPECT_TRUE(later->HandleAllocated());
}

TEST(ControlTree, ParentFontFollowsTheParent) {
    TForm form(nullptr);
    auto* label = NewComponent<TLabel>(&form);
    label->SetParent(&form);
    label->SetCaption("Some caption");
    const int narrow = label->Width();
    TFontDesc big = form.Font();
    big.Size = 30;
    form.SetFont(big);
    EXPECT_EQ(label->Font().Size, 30);
    EXPECT_GT(label->Width(), narrow); // auto-size measured again
    TFontDesc own = big;
    own.Size = 8;
    label->SetFont(own);
    EXPECT_FALSE(label->ParentFont());
    form.SetFont(big);
    EXPECT_EQ(label->Font().Size, 8);
}

TEST(ControlTree, KeysToShiftStateReadsTheMouseKeyFlags) {
    EXPECT_EQ(KeysToShiftState(MK_SHIFT | MK_LBUTTON) & ~ssAlt, ssShift | ssLeft);
    EXPECT_EQ(KeysToShiftState(MK_CONTROL | MK_RBUTTON | MK_MBUTTON) & ~ssAlt,
              ssCtrl | ssRight | ssMiddle);
}

} // namespace
