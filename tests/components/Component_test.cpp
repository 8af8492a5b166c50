#include "components/Component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Event {
    std::string receiver;
    TComponent* component;
    TOperation operation;
};

// Records what it is told, and whether the component it hears of is a Special.
class Listener : public TComponent {
public:
    Listener(TComponent* owner, std::string label, std::vector<Event>& log)
        : TComponent(owner), label_(std::move(label)), log_(log) {}
    ~Listener() override { Destroying(); }
    std::vector<bool> sawSpecial;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::string label_;
    std::vector<Event>& log_;
};

class Special : public TComponent {
public:
    using TComponent::TComponent;
};

void Listener::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    log_.push_back({label_, component, operation});
    if (operation == opInsert) sawSpecial.push_back(dynamic_cast<Special*>(component) != nullptr);
}

TEST(ComponentNames, MustBeIdentifiersUniqueAmongTheOwnersComponents) {
    TComponent form(nullptr);
    auto* a = NewComponent<TComponent>(&form);
    auto* b = NewComponent<TComponent>(&form);
    a->SetName("EditBox");
    EXPECT_THROW(b->SetName("editbox"), EComponentError); // names compare without case
    EXPECT_EQ(b->Name(), "");
    for (const char* bad : {"1st", "has space", "dash-ed", "Ünï"}) {
        EXPECT_THROW(b->SetName(bad), EComponentError) << bad;
        EXPECT_EQ(b->Name(), "");
    }
    b->SetName("_ok9");
    EXPECT_EQ(form.FindComponent("_OK9"), b);
    a->SetName("EditBox"); // its own name again is fine
    b->SetName("");        // no name is allowed
    EXPECT_EQ(form.FindComponent(""), nullptr);

    EXPECT_EQ(form.UniqueName("EditBoxLabel"), "EditBoxLabel1");
    b->SetName("EditBoxLabel1");
    EXPECT_EQ(form.UniqueName("EditBoxLabel"), "EditBoxLabel2");
    EXPECT_TRUE(IsValidIdent("A_1"));
    EXPECT_FALSE(IsValidIdent(""));
}

TEST(ComponentOwnership, OwnerFreesItsComponentsAndEachLeavesItsOwner) {
    std::vector<Event> log;
    auto* form = new TComponent(nullptr);
    auto* watcher = NewComponent<Listener>(form, "watcher", log);
    auto* child = NewComponent<TComponent>(form);
    auto* grandchild = NewComponent<TComponent>(child);
    EXPECT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(grandchild->Owner(), child);

    delete child; // frees the grandchild with it; the form's components hear of it
    EXPECT_EQ(form->ComponentCount(), 1);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().component, child);
    EXPECT_EQ(log.back().operation, opRemove);
    EXPECT_EQ(form->Components(0), watcher);
    EXPECT_THROW(form->Components(1), EListError);
    delete form;
}

TEST(ComponentNotifications, InsertionIsAnnouncedWithTheRealClass) {
    std::vector<Event> log;
    TComponent form(nullptr);
    auto* watcher = NewComponent<Listener>(&form, "watcher", log);
    auto* special = NewComponent<Special>(&form);
    ASSERT_EQ(watcher->sawSpecial.size(), 2u); // itself, then the special one
    EXPECT_FALSE(watcher->sawSpecial[0]);
    EXPECT_TRUE(watcher->sawSpecial[1]);
    EXPECT_EQ(form.FindFirstComponent<Special>(), special);

    // Moving to another owner: removal at the old one, insertion at the new one.
    TComponent other(nullptr);
    other.InsertComponent(special);
    EXPECT_EQ(special->Owner(), &other);
    EXPECT_EQ(log.back().component, special);
    EXPECT_EQ(log.back().operation, opRemove);
}

TEST(ComponentNotifications, FreeNotificationReachesComponentsOfOtherOwners) {
    std::vector<Event> log;
    TComponent formA(nullptr), formB(nullptr);
    auto* watcher = NewComponent<Listener>(&formA, "watcher", log);
    auto* target = NewComponent<TComponent>(&formB);
    watcher->FreeNotification(target);
    log.clear();
    delete target;
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].component, target);
    EXPECT_EQ(log[0].operation, opRemove);

    // Whichever goes first, nothing dangles: the watcher goes before the other one.
    auto* target2 = NewComponent<TComponent>(&formB);
    target2->FreeNotification(watcher);
    delete watcher;
    delete target2;
}

class LoadProbe : public TComponent {
public:
    LoadProbe(TComponent* owner, std::vector<std::string>& order, std::string name)
        : TComponent(owner), order_(order), name_(std::move(name)) {}

protected:
    void Loaded() override {
        TComponent::Loaded();
        order_.push_back(name_);
    }

private:
    std::vector<std::string>& order_;
    std::string name_;
};

TEST(ComponentState, LoadingEndsWithLoadedForEveryComponentAndDesignIsInherited) {
    std::vector<std::string> order;
    TComponent form(nullptr);
    form.SetDesigning(true);
    auto* a = NewComponent<LoadProbe>(&form, order, "a");
    auto* b = NewComponent<LoadProbe>(&form, order, "b");
    EXPECT_TRUE(a->IsDesigning()); // taken from the owner
    form.BeginLoading();
    EXPECT_TRUE(a->IsLoading());
    EXPECT_TRUE(b->IsLoading());
    form.EndLoading();
    EXPECT_FALSE(a->IsLoading());
    EXPECT_FALSE(form.IsLoading());
    EXPECT_EQ(order, (std::vector<std::string>{"a", "b"}));
}

TEST(ApplicationExceptionHandler, ReplacedHandlerGetsTheException) {
    std::string seen;
    const TExceptionHandler previous = SetApplicationExceptionHandler([&](std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const Exception& x) {
            seen = x.Message();
        }
    });
    HandleApplicationException(std::make_exception_ptr(Exception("shown")));
    SetApplicationExceptionHandler(previous);
    EXPECT_EQ(seen, "shown");
}

} // namespace
