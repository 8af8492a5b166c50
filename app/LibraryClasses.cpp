// The component library's classes as stored forms name them, with their stored properties.
#include "app/ClassRegistry.h"
#include "components/ZalBase.h"

using namespace props;

namespace {

void RegisterController() {
    using C = TZalController;
    RegisterComponentClass("TZalController", nullptr, [](TComponent* owner) -> TComponent* { return new C(owner); })
        .Add(Set<C>("EntryOptions",
                    {"efoAutoAdvanceChar", "efoAutoAdvanceLeftRight", "efoAutoAdvanceUpDown", "efoAutoSelect",
                     "efoBeepOnError", "efoInsertPushes"},
                    [](const C& c) { return uint32_t(c.EntryOptions()); },
                    [](C& c, uint32_t v) { c.SetEntryOptions(TZalBaseEFOptions(v)); }, kDefaultEntryOptions))
        .Add(Int<C>("Epoch", [](const C& c) { return int64_t(c.Epoch()); }, [](C& c, int64_t v) { c.SetEpoch(int32_t(v)); },
                    std::nullopt, C::kMinEpoch, C::kMaxEpoch))
        .Add(Defined("EntryCommands.TableList", "TableList",
                     [](TComponent& c) -> TPersistent& { return As<C>(c).EntryCommands(); }));
}

} // namespace

void RegisterLibraryClasses() { RegisterController(); }
