#pragma once
// The framework's component model: components owned by components and freed with their
// owner, names that are identifiers and unique among the owner's components, free
// notifications, insert and remove notifications, the loading, design and destroying
// flags, and the application's exception handler that reports what escapes an event.
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "components/Persistent.h"
#include "components/ZalExcpt.h"

class TComponent;

// What happened to the component handed to Notification.
enum TOperation { opInsert, opRemove };

// The component's state flags.
using TComponentState = uint8_t;
constexpr TComponentState csLoading = 0x01, csDesigning = 0x02, csDestroying = 0x04;

// A bad component name (not an identifier, or already used by the owner's components).
class EComponentError : public Exception {
public:
    using Exception::Exception;
};

// The plain event: Sender is the component that raises it.
using TNotifyEvent = std::function<void(TComponent* Sender)>;

// A letter or underscore, then letters, digits and underscores (ASCII).
bool IsValidIdent(std::string_view name);
// Component names compare as identifiers do: ASCII letters without regard to case.
bool SameName(std::string_view a, std::string_view b);

class TComponent : public TPersistent {
public:
    // Joins owner's components (taking its design flag). The insert notification is sent
    // by NewComponent once the object is complete, so that receivers see its real class.
    explicit TComponent(TComponent* owner);
    // Sends the remove notifications and frees the owned components, newest first.
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    const char* ClassName() const override { return "TComponent"; }

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const; // EListError outside 0..count-1
    // The owned component with that name (compared as identifiers), or nullptr.
    TComponent* FindComponent(std::string_view name) const;
    // The first owned component of class T, or nullptr.
    template <class T> T* FindFirstComponent() const {
        for (TComponent* c : components_)
            if (auto* t = dynamic_cast<T*>(c)) return t;
        return nullptr;
    }
    // base followed by the first number from 1 up that no owned component uses as name.
    std::string UniqueName(std::string_view base) const;

    const std::string& Name() const { return name_; }
    // An empty name is allowed; any other must be an identifier that no other component
    // of the owner uses. Raises EComponentError and keeps the old name otherwise.
    virtual void SetName(const std::string& name);

    // Moves a component under this owner (from its old owner, if any) and notifies.
    void InsertComponent(TComponent* component);
    // Takes a component from this owner without freeing it, and notifies.
    void RemoveComponent(TComponent* component);
    // Sends the insert notification for a component just constructed with this owner.
    void NotifyInserted(TComponent* component) { Notification(component, opInsert); }

    // Asks for a remove notification when `component` is freed (and tells it when this
    // one is freed), whoever owns either of them.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    TComponentState ComponentState() const { return state_; }
    bool IsLoading() const { return state_ & csLoading; }
    bool IsDesigning() const { return state_ & csDesigning; }
    bool IsDestroying() const { return state_ & csDestroying; }
    // Design mode for this component and, with inclusive, everything it owns.
    void SetDesigning(bool designing, bool inclusive = true);
    // Marks this component and everything it owns as being loaded from a stored form.
    void BeginLoading();
    // Ends loading: Loaded for everything owned (in order), then for this component.
    void EndLoading();
    // Marks this component and everything it owns as going away. Destructors that still
    // talk to other components call it first.
    void Destroying();

protected:
    // An owned component was inserted or removed, or a component this one asked a free
    // notification of is going away. The base forwards to every owned component.
    virtual void Notification(TComponent* component, TOperation operation);
    // Loading has ended; the base clears the loading flag.
    virtual void Loaded();

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);

    TComponent* owner_ = nullptr;
    std::string name_;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    TComponentState state_ = 0;
};

// Creates a component of class T owned by owner (constructor arguments: owner, then
// args) and sends the owner's insert notification for it.
template <class T, class... Args> T* NewComponent(TComponent* owner, Args&&... args) {
    T* component = new T(owner, std::forward<Args>(args)...);
    if (owner) owner->NotifyInserted(component);
    return component;
}

// The application's exception handler: reports an exception that escaped an event
// handler (the shell shows its message; the default writes it to standard error). It is
// the windowing system's event exception handler, so one handler serves both.
using TExceptionHandler = std::function<void(std::exception_ptr)>;
// Replaces the handler (an empty one restores the default); returns the previous one.
TExceptionHandler SetApplicationExceptionHandler(TExceptionHandler handler);
// Reports `error` through the handler. Never throws.
void HandleApplicationException(std::exception_ptr error);
