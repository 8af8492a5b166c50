#include "components/ZalBase.h"

#include <gtest/gtest.h>

#include <ctime>
#include <memory>

#include "platform/Application.h"
#include "platform/Window.h"

namespace {

int32_t ThisYear() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

// A form with one library control named EditBox on it.
class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 300);
    }
    void TearDown() override { form.reset(); }

    TZalCustomControlEx* AddEdit() {
        auto* edit = NewComponent<TZalCustomControlEx>(form.get());
        edit->SetName("EditBox");
        edit->SetParent(form.get());
        edit->SetBounds(10, 50, 100, 20);
        return edit;
    }

    std::unique_ptr<TForm> form;
};

// --- the controller ---

TEST(Controller, StartsWithTheDefaultsAndOwnsItsProcessorAndPool) {
    TZalController controller(nullptr);
    EXPECT_EQ(controller.EntryOptions(),
              EFOption(efoAutoSelect) | EFOption(efoBeepOnError) | EFOption(efoInsertPushes));
    EXPECT_EQ(controller.EntryOptions(), 0x38);
    EXPECT_TRUE(controller.SharedInsertMode);
    EXPECT_FALSE(controller.BlockActivation);
    EXPECT_EQ(controller.EntryCommands().TableCount(), 3);
    ASSERT_NE(controller.TimerPool(), nullptr);
    EXPECT_EQ(controller.TimerPool()->Owner(), &controller);
    EXPECT_EQ(controller.TimerPool()->TriggerCount(), 0);
    EXPECT_FALSE(controller.TimerPool()->TimerRunning());
    controller.SetAbout("x");
    EXPECT_EQ(controller.About(), "v3.03");
    controller.SetEntryOptions(EFOption(efoAutoSelect) | EFOption(efoInsertPushes));
    EXPECT_TRUE(controller.HasEntryOption(efoInsertPushes));
    EXPECT_FALSE(controller.HasEntryOption(efoBeepOnError));
}

TEST(Controller, EpochIsTheCenturyAndOnlyYears1600To3999AreStored) {
    EXPECT_EQ(TZalController::CenturyOf(2026), 2000);
    EXPECT_EQ(TZalController::CenturyOf(1999), 1900);
    EXPECT_EQ(TZalController::CenturyOf(2000), 2000);

    TZalController controller(nullptr);
    const int32_t century = TZalController::CenturyOf(ThisYear());
    EXPECT_EQ(controller.Epoch(), century);
    controller.SetEpoch(1599);
    EXPECT_EQ(controller.Epoch(), century);
    controller.SetEpoch(4000);
    EXPECT_EQ(controller.Epoch(), century);
    for (int32_t year : {1600, 1900, 3999}) {
        controller.SetEpoch(year);
        EXPECT_EQ(controller.Epoch(), year);
    }

    int calls = 0;
    controller.OnGetEpoch = [&](TComponent* sender, int32_t& epoch) {
        EXPECT_EQ(sender, &controller);
        ++calls;
        epoch += 50;
    };
    EXPECT_EQ(controller.Epoch(), 4049); // the handler's answer, not stored
    controller.OnGetEpoch = nullptr;
    EXPECT_EQ(controller.Epoch(), 3999);
    EXPECT_EQ(calls, 1);
}

TEST(Controller, ForwardsEveryTriggerOfItsPool) {
    TZalController controller(nullptr);
    uint32_t now = 0;
    TZalTimerPool& pool = *controller.TimerPool();
    pool.SetTickSource([&] { return now; });
    int32_t seenHandle = 0;
    TComponent* seenSender = nullptr;
    controller.OnTimerTrigger = [&](TComponent* sender, int32_t handle, uint32_t interval,
                                    int32_t elapsed) {
        seenSender = sender;
        seenHandle = handle;
        EXPECT_EQ(interval, 100u);
        EXPECT_EQ(elapsed, 100);
    };
    const int32_t h = pool.AddTrigger(100, nullptr);
    now = 100;
    pool.FireDueTriggers();
    pool.RemoveTrigger(h);
    EXPECT_EQ(seenHandle, h);
    EXPECT_EQ(seenSender, &pool);
}

TEST_F(FormTest, SpecialControlIsAskedOfTheEventAboutTheWindowsControl) {
    auto* controller = NewComponent<TZalController>(form.get());
    TZalCustomControlEx* edit = AddEdit();
    EXPECT_FALSE(controller->IsSpecialControl(edit->Handle()));
    TWinControl* asked = nullptr;
    controller->OnIsSpecialControl = [&](TComponent*, TWinControl* control, bool& special) {
        asked = control;
        special = true;
    };
    EXPECT_TRUE(controller->IsSpecialControl(edit->Handle()));
    EXPECT_EQ(asked, edit);
}

// --- binding a control to its controller ---

TEST_F(FormTest, AnAssignedControllerIsKept) {
    auto* mine = NewComponent<TZalController>(nullptr);
    NewComponent<TZalController>(form.get());
    TZalCustomControlEx* edit = AddEdit();
    edit->SetController(mine);
    ASSERT_NE(edit->Handle(), nullptr);
    EXPECT_EQ(edit->Controller(), mine);
    delete mine; // the free notification reaches it across owners
    EXPECT_EQ(edit->Controller(), nullptr);
}

TEST_F(FormTest, WindowCreationTakesTheFormsController) {
    auto* controller = NewComponent<TZalController>(form.get());
    auto* edit = NewComponent<TZalCustomControlEx>(form.get()); // created after it
    edit->SetParent(form.get());
    EXPECT_EQ(edit->Controller(), nullptr);
    form->HandleNeeded(); // makes the children's windows too
    EXPECT_TRUE(edit->HandleAllocated());
    EXPECT_EQ(edit->Controller(), controller);
}

TEST_F(FormTest, WithoutAControllerNoWindowIsMade) {
    TZalCustomControlEx* edit = AddEdit();
    try {
        edit->HandleNeeded();
        FAIL() << "no exception";
    } catch (const ENoControllerAssigned& e) {
        EXPECT_STREQ(e.what(), "No Controller assigned");
    }
    EXPECT_FALSE(edit->HandleAllocated());
}

TEST_F(FormTest, InsertionBindsAndRemovalClears) {
    TZalCustomControlEx* edit = AddEdit();
    auto* first = NewComponent<TZalController>(form.get());
    EXPECT_EQ(edit->Controller(), first);
    auto* second = NewComponent<TZalController>(form.get());
    EXPECT_EQ(edit->Controller(), first); // only a control without one takes it
    delete first;
    EXPECT_EQ(edit->Controller(), nullptr);
    edit->HandleNeeded();
    EXPECT_EQ(edit->Controller(), second);
}

TEST_F(FormTest, DesignModeCreatesZalController1) {
    form->SetDesigning(true);
    TZalCustomControlEx* edit = AddEdit();
    const int before = form->ComponentCount();
    edit->HandleNeeded();
    EXPECT_TRUE(edit->HandleAllocated());
    ASSERT_NE(edit->Controller(), nullptr);
    EXPECT_EQ(edit->Controller()->Name(), "ZalController1");
    EXPECT_EQ(edit->Controller()->Owner(), form.get());
    EXPECT_EQ(form->ComponentCount(), before + 1);
}

TEST_F(FormTest, DesignModeNamingFailureFreesTheNewController) {
    form->SetDesigning(true);
    NewComponent<TComponent>(form.get())->SetName("ZalController1");
    TZalCustomControlEx* edit = AddEdit();
    const int before = form->ComponentCount();
    EXPECT_THROW(edit->HandleNeeded(), EComponentError);
    EXPECT_EQ(form->ComponentCount(), before);
    EXPECT_EQ(edit->Controller(), nullptr);
    EXPECT_EQ(form->FindFirstComponent<TZalController>(), nullptr);
}

TEST_F(FormTest, WhileLoadingNoControllerIsDemanded) {
    TZalCustomControlEx* edit = AddEdit();
    form->BeginLoading();
    edit->HandleNeeded();
    EXPECT_TRUE(edit->HandleAllocated());
    EXPECT_EQ(edit->Controller(), nullptr);
    form->EndLoading();
}

// --- messages of the library controls ---

TEST_F(FormTest, FocusFollowUpsArePostedAndCallTheNotifications) {
    NewComponent<TZalController>(form.get());
    TZalCustomControlEx* edit = AddEdit();
    int entered = 0, exited = 0;
    edit->AfterEnter = [&](TComponent* sender) {
        EXPECT_EQ(sender, edit);
        ++entered;
    };
    edit->AfterExit = [&](TComponent*) { ++exited; };
    SendMessage(edit->Handle(), WM_SETFOCUS);
    EXPECT_EQ(entered, 0); // posted, not called at once
    ProcessPendingEvents();
    EXPECT_EQ(entered, 1);
    SendMessage(edit->Handle(), WM_KILLFOCUS);
    ProcessPendingEvents();
    EXPECT_EQ(exited, 1);
    EXPECT_EQ(entered, 1);
}

class WheelControl : public TZalCustomControlEx {
public:
    using TZalCustomControlEx::TZalCustomControlEx;
    int overrideCalls = 0;

protected:
    void DoOnMouseWheel(TShiftState shift, uint16_t delta, uint16_t x, uint16_t y) override {
        TZalCustomControlEx::DoOnMouseWheel(shift, delta, x, y);
        ++overrideCalls;
    }
};

TEST_F(FormTest, WheelMessagesAreDecoded) {
    NewComponent<TZalController>(form.get());
    auto* edit = NewComponent<WheelControl>(form.get());
    edit->SetParent(form.get());
    TShiftState shift = 0;
    uint16_t delta = 0, x = 0, y = 0;
    edit->OnMouseWheel = [&](TComponent* sender, TShiftState s, uint16_t d, uint16_t px,
                             uint16_t py) {
        EXPECT_EQ(sender, edit);
        shift = s;
        delta = d;
        x = px;
        y = py;
    };
    SendMessage(edit->Handle(), WM_MOUSEWHEEL, MakeWParam(MK_SHIFT | MK_CONTROL, -120),
                MakeLParam(300, 65000));
    EXPECT_EQ(delta, 65416); // a notch toward the user
    EXPECT_EQ(shift & (ssShift | ssCtrl), ssShift | ssCtrl);
    EXPECT_EQ(x, 300);
    EXPECT_EQ(y, 65000);
    SendMessage(edit->Handle(), WM_MOUSEWHEEL, MakeWParam(0, 120), 0);
    EXPECT_EQ(delta, 120);
    EXPECT_EQ(shift & (ssShift | ssCtrl), 0);
    EXPECT_EQ(edit->overrideCalls, 2);
}

// --- the attached label ---

TEST_F(FormTest, ALabelIsNamedAfterTheControlAndSitsAboveIt) {
    TZalCustomControlEx* edit = AddEdit();
    EXPECT_THROW(edit->AttachedLabel(), Exception);
    try {
        edit->AttachedLabel();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Label not attached");
    }
    edit->LabelInfo().SetVisible(true);
    TZalAttachedLabel* label = edit->AttachedLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Name(), "EditBoxLabel1");
    EXPECT_EQ(label->Caption(), "EditBoxLabel1");
    EXPECT_EQ(label->Owner(), form.get());
    EXPECT_EQ(label->Parent(), form.get());
    EXPECT_EQ(label->Control(), edit);
    EXPECT_EQ(label->FocusControl(), edit);
    EXPECT_FALSE(label->AutoSize());
    EXPECT_GT(label->Width(), 0); // sized to its caption before auto-size went off
    EXPECT_GT(label->Height(), 0);
    EXPECT_EQ(label->Left(), 10);
    EXPECT_EQ(label->Top() + label->Height(), 50);
    EXPECT_EQ(edit->LabelInfo().OffsetX(), 0);
    EXPECT_EQ(edit->LabelInfo().OffsetY(), 0);

    // Off frees it; on again makes a new one with the first free name.
    edit->LabelInfo().SetVisible(false);
    EXPECT_EQ(form->FindComponent("EditBoxLabel1"), nullptr);
    EXPECT_EQ(edit->LabelInfo().Label(), nullptr);
    NewComponent<TComponent>(form.get())->SetName("EditBoxLabel1");
    edit->LabelInfo().SetVisible(true);
    EXPECT_EQ(edit->AttachedLabel()->Name(), "EditBoxLabel2");
}

TEST_F(FormTest, OffsetsPlaceTheLabelAboveOrBelow) {
    TZalCustomControlEx* edit = AddEdit();
    edit->LabelInfo().SetVisible(true);
    TZalAttachedLabel* label = edit->AttachedLabel();
    const int h = label->Height();
    edit->LabelInfo().SetOffsets(5, -3);
    EXPECT_EQ(label->Left(), 15);
    EXPECT_EQ(label->Top(), 50 - 3 - h);
    edit->SetLabelBelow(true);
    EXPECT_EQ(label->Top(), 50 + 20 - 3);
    edit->LabelInfo().SetOffsetY(4);
    EXPECT_EQ(label->Top(), 50 + 20 + 4);
    EXPECT_EQ(label->Height(), h); // the label keeps its size
}

TEST_F(FormTest, MovingTheLabelRecordsItsOffsets) {
    NewComponent<TZalController>(form.get());
    TZalCustomControlEx* edit = AddEdit();
    form->HandleNeeded();
    edit->LabelInfo().SetVisible(true);
    TZalAttachedLabel* label = edit->AttachedLabel();
    const int h = label->Height();
    label->SetBounds(30, 10, label->Width(), h);
    ProcessPendingEvents();
    EXPECT_EQ(edit->LabelInfo().OffsetX(), 20);
    EXPECT_EQ(edit->LabelInfo().OffsetY(), 10 + h - 50);
    EXPECT_EQ(label->Left(), 30); // recording does not move it back
    EXPECT_EQ(label->Top(), 10);
}

TEST_F(FormTest, MovingTheControlTakesTheLabelAlong) {
    NewComponent<TZalController>(form.get());
    TZalCustomControlEx* edit = AddEdit();
    form->HandleNeeded();
    edit->LabelInfo().SetVisible(true);
    TZalAttachedLabel* label = edit->AttachedLabel();
    edit->LabelInfo().SetOffsets(2, 1);
    ProcessPendingEvents();
    edit->SetBounds(100, 120, 80, 30);
    EXPECT_EQ(label->Left(), 12); // only when the posted message is handled
    ProcessPendingEvents();
    EXPECT_EQ(label->Left(), 102);
    EXPECT_EQ(label->Top() + label->Height(), 121);
    EXPECT_EQ(edit->LabelInfo().OffsetX(), 2);
    EXPECT_EQ(edit->LabelInfo().OffsetY(), 1);
}

TEST_F(FormTest, WithoutAVisibleLabelABoundsChangeChangesNothingElse) {
    NewComponent<TZalController>(form.get());
    TZalCustomControlEx* edit = AddEdit();
    form->HandleNeeded();
    const int components = form->ComponentCount();
    const int controls = form->ControlCount();
    edit->SetBounds(30, 40, 200, 100);
    ProcessPendingEvents();
    EXPECT_EQ(edit->BoundsRect(), (TRect{30, 40, 230, 140}));
    EXPECT_EQ(form->ComponentCount(), components);
    EXPECT_EQ(form->ControlCount(), controls);
    EXPECT_FALSE(edit->LabelInfo().Visible());
    EXPECT_EQ(edit->LabelInfo().Label(), nullptr);
    EXPECT_EQ(edit->LabelInfo().OffsetX(), 0);
    EXPECT_EQ(edit->LabelInfo().OffsetY(), 0);
}

TEST_F(FormTest, TheLabelFollowsTheControlsVisibility) {
    TZalCustomControlEx* edit = AddEdit();
    edit->LabelInfo().SetVisible(true);
    TZalAttachedLabel* label = edit->AttachedLabel();
    edit->SetVisible(false);
    EXPECT_FALSE(label->Visible());
    edit->SetVisible(true);
    EXPECT_TRUE(label->Visible());
}

TEST_F(FormTest, FreeingTheLabelDetachesItAndFreeingTheControlFreesIt) {
    TZalCustomControlEx* edit = AddEdit();
    edit->LabelInfo().SetVisible(true);
    delete edit->AttachedLabel();
    EXPECT_FALSE(edit->LabelInfo().Visible());
    EXPECT_EQ(edit->LabelInfo().Label(), nullptr);

    edit->LabelInfo().SetVisible(true);
    const int components = form->ComponentCount();
    delete edit;
    EXPECT_EQ(form->ComponentCount(), components - 2); // the control and its label
    EXPECT_EQ(form->FindComponent("EditBoxLabel1"), nullptr);
}

TEST_F(FormTest, FreeingTheFormWithALabelLeavesNothingBehind) {
    NewComponent<TZalController>(form.get());
    TZalCustomControlEx* edit = AddEdit();
    form->HandleNeeded();
    edit->LabelInfo().SetVisible(true);
    form.reset();           // the sanitizer build proves no double free and no leak
    ProcessPendingEvents(); // messages posted to windows that are gone are dropped
}

TEST(LabelInfo, WritersCallTheirCallbacksOnlyOnChange) {
    TZalLabelInfo info;
    int offsets = 0, visibility = 0;
    info.OnOffsetChange = [&] { ++offsets; };
    info.OnVisibleChange = [&](bool) { ++visibility; };
    info.SetOffsets(0, 0);
    EXPECT_EQ(offsets, 0);
    info.SetOffsets(3, 4);
    EXPECT_EQ(offsets, 1);
    info.SetOffsetX(3);
    EXPECT_EQ(offsets, 1);
    info.SetOffsetY(7);
    EXPECT_EQ(offsets, 2);
    EXPECT_FALSE(info.StoredOffsets());
    info.SetVisible(true);
    info.SetVisible(true);
    EXPECT_EQ(visibility, 1);
    EXPECT_TRUE(info.StoredOffsets());

    TZalLabelInfo copy;
    copy.Assign(info);
    EXPECT_EQ(copy.OffsetX(), 3);
    EXPECT_EQ(copy.OffsetY(), 7);
    EXPECT_TRUE(copy.Visible());
}

} // namespace
