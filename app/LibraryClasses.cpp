// The component library's classes as stored forms name them, with their stored properties.
#include "app/ClassRegistry.h"
#include "app/ErrorReport.h"
#include "components/ZalBase.h"
#include "components/ZalSpeed.h"

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

// The library's speed button: its own properties have no default, so all are stored.
void RegisterSpeedButton() {
    using B = TZalSpeedButton;
    TComponentClass& cls =
        RegisterComponentClass("TZalSpeedButton", nullptr, [](TComponent* owner) -> TComponent* { return new B(owner); });
    cls.Add((Int<B>("Left", [](const B& b) { return int64_t(b.Left()); }, [](B& b, int64_t v) { b.SetLeft(int(v)); }, {})))
        .Add((Int<B>("Top", [](const B& b) { return int64_t(b.Top()); }, [](B& b, int64_t v) { b.SetTop(int(v)); }, {})))
        .Add((Int<B>("Width", [](const B& b) { return int64_t(b.Width()); }, [](B& b, int64_t v) { b.SetWidth(int(v)); }, {}, 0)))
        .Add((Int<B>("Height", [](const B& b) { return int64_t(b.Height()); }, [](B& b, int64_t v) { b.SetHeight(int(v)); }, {}, 0)))
        .Add(Str<B>("Caption", [](const B& b) { return b.Caption(); }, [](B& b, const std::string& v) { b.SetCaption(v); }))
        .Add(Bool<B>("Enabled", [](const B& b) { return b.Enabled(); }, [](B& b, bool v) { b.SetEnabled(v); }, true))
        .Add(Str<B>("Hint", [](const B& b) { return b.Hint; }, [](B& b, const std::string& v) { b.Hint = v; }))
        .Add((Bool<B>("ParentShowHint", [](const B& b) { return b.ParentShowHint; }, [](B& b, bool v) { b.ParentShowHint = v; }, {})))
        .Add((Bool<B>("ShowHint", [](const B& b) { return b.ShowHint; }, [](B& b, bool v) { b.ShowHint = v; }, {})))
        .Add(Bool<B>("Visible", [](const B& b) { return b.Visible(); }, [](B& b, bool v) { b.SetVisible(v); }, true))
        .Add(Bool<B>("AutoRepeat", [](const B& b) { return b.AutoRepeat(); }, [](B& b, bool v) { b.SetAutoRepeat(v); }, {}))
        .Add(Bool<B>("Flat", [](const B& b) { return b.Flat(); }, [](B& b, bool v) { b.SetFlat(v); }, {}))
        .Add({"Glyph",
              [](TComponent& c, TZalValueReader& r, TReadContext& ctx) {
                  const std::string name = r.ReadString();
                  if (!As<B>(c).LoadGlyphFromResource(name.c_str()))
                      throw EPropertyValueError("No readable bitmap resource named " + name);
                  ctx.Form.NoteStoredName(&c, "Glyph", name);
              },
              [](const TComponent& c, TZalValueWriter& w, const TShellForm& form) {
                  w.WriteString(form.StoredName(&c, "Glyph"));
              },
              [](const TComponent& c, const TShellForm& form) { return !form.StoredName(&c, "Glyph").empty(); }})
        .Add(Bool<B>("GrayedInactive", [](const B& b) { return b.GrayedInactive(); }, [](B& b, bool v) { b.SetGrayedInactive(v); }, {}))
        .Add(Enum<B>("Layout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"},
                     [](const B& b) { return int(b.Layout()); }, [](B& b, int v) { b.SetLayout(TButtonLayout(v)); }, {}))
        .Add(Int<B>("Margin", [](const B& b) { return int64_t(b.Margin()); }, [](B& b, int64_t v) { b.SetMargin(int(v)); }, {}))
        .Add(Int<B>("NumGlyphs", [](const B& b) { return int64_t(b.NumGlyphs()); }, [](B& b, int64_t v) { b.SetNumGlyphs(int(v)); }, {}))
        .Add(Int<B>("RepeatDelay", [](const B& b) { return int64_t(b.RepeatDelay()); }, [](B& b, int64_t v) { b.SetRepeatDelay(int(v)); }, {}))
        .Add(Int<B>("RepeatInterval", [](const B& b) { return int64_t(b.RepeatInterval()); },
                    [](B& b, int64_t v) { b.SetRepeatInterval(int(v)); }, {}))
        .Add(Int<B>("Spacing", [](const B& b) { return int64_t(b.Spacing()); }, [](B& b, int64_t v) { b.SetSpacing(int(v)); }, {}))
        .Add(Enum<B>("Style", {"bsAutoDetect", "bsWin31", "bsNew"}, [](const B& b) { return int(b.Style()); },
                     [](B& b, int v) { b.SetStyle(TButtonStyle(v)); }, {}))
        .Add(Bool<B>("Transparent", [](const B& b) { return b.Transparent(); }, [](B& b, bool v) { b.SetTransparent(v); }, {}))
        .Add(Bool<B>("WordWrap", [](const B& b) { return b.WordWrap(); }, [](B& b, bool v) { b.SetWordWrap(v); }, {}));
    // A click that fails ends in the application's error report, like a shell button's.
    TPropertyInfo onClick = EventOf<B, TNotifyEvent>("OnClick", [](B& b) -> TNotifyEvent& { return b.OnClick; });
    auto bind = onClick.Read;
    onClick.Read = [bind](TComponent& c, TZalValueReader& r, TReadContext& ctx) {
        bind(c, r, ctx);
        TNotifyEvent handler = As<B>(c).OnClick;
        As<B>(c).OnClick = [handler](TComponent* sender) { RunCommand([&] { handler(sender); }); };
    };
    cls.Add(std::move(onClick));
}

} // namespace

void RegisterLibraryClasses() {
    RegisterController();
    RegisterSpeedButton();
}
