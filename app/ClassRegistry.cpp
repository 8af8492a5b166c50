// The registry of component classes and the shared parts of the property builders.
#include "app/ClassRegistry.h"

#include <algorithm>
#include <memory>

#include "components/ZalColor.h"

namespace {
std::vector<std::unique_ptr<TComponentClass>>& Classes() {
    static std::vector<std::unique_ptr<TComponentClass>> classes;
    return classes;
}

struct TColorName {
    const char* Name;
    TColor Value;
};

constexpr TColorName kColorNames[] = {
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clNavy", clNavy},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clWhite", clWhite},
    {"clScrollBar", clScrollBar},
    {"clBackground", clBackground},
    {"clMenu", clMenu},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clMenuText", clMenuText},
    {"clWindowText", clWindowText},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText},
    {"clBtnText", clBtnText},
    {"clBtnHighlight", clBtnHighlight},
    {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
};

// Collects the one defined property asked for.
class TPickingFiler : public TFiler {
public:
    explicit TPickingFiler(std::string_view name) : name_(name) {}
    void DefineProperty(std::string_view name, const std::function<void(TZalValueReader&)>& read,
                        const std::function<void(TZalValueWriter&)>& write, bool hasData) override {
        if (name != name_) return;
        found = true;
        Read = read;
        Write = write;
        HasData = hasData;
    }
    bool found = false;
    std::function<void(TZalValueReader&)> Read;
    std::function<void(TZalValueWriter&)> Write;
    bool HasData = false;

private:
    std::string_view name_;
};

TPickingFiler Pick(TPersistent& object, const std::string& name) {
    TPickingFiler filer(name);
    object.DefineProperties(filer);
    if (!filer.found) throw EPropertyValueError(std::string(object.ClassName()) + " defines no property " + name);
    return filer;
}
} // namespace

TComponentClass& RegisterComponentClass(const std::string& name, const char* baseName,
                                        std::function<TComponent*(TComponent*)> create) {
    const TComponentClass* base = baseName ? FindComponentClass(baseName) : nullptr;
    auto cls = std::make_unique<TComponentClass>();
    cls->Name = name;
    cls->Base = base;
    cls->Create = std::move(create);
    for (auto& existing : Classes())
        if (SameName(existing->Name, name)) {
            existing = std::move(cls);
            return *existing;
        }
    Classes().push_back(std::move(cls));
    return *Classes().back();
}

const TComponentClass* FindComponentClass(std::string_view name) {
    for (const auto& cls : Classes())
        if (SameName(cls->Name, name)) return cls.get();
    return nullptr;
}

const TPropertyInfo* FindProperty(const TComponentClass& cls, std::string_view name) {
    for (const TComponentClass* c = &cls; c; c = c->Base)
        for (const TPropertyInfo& p : c->Properties)
            if (SameName(p.Name, name)) return &p;
    return nullptr;
}

std::vector<const TPropertyInfo*> AllProperties(const TComponentClass& cls) {
    std::vector<const TPropertyInfo*> out;
    if (cls.Base) out = AllProperties(*cls.Base);
    for (const TPropertyInfo& p : cls.Properties) {
        // A class that redefines a base property keeps the base's place for it.
        auto same = std::find_if(out.begin(), out.end(), [&p](const TPropertyInfo* q) { return SameName(q->Name, p.Name); });
        if (same != out.end())
            *same = &p;
        else
            out.push_back(&p);
    }
    return out;
}

void EnsureClassesRegistered() {
    static bool registered = false;
    if (registered) return;
    RegisterShellClasses();
    RegisterLibraryClasses();
    RegisterEditorClasses();
    RegisterFormClasses();
    registered = true;
}

namespace props {

int EnumValue(const std::vector<std::string>& names, const std::string& name, const std::string& property) {
    for (size_t i = 0; i < names.size(); ++i)
        if (SameName(names[i], name)) return static_cast<int>(i);
    throw EPropertyValueError("'" + name + "' is not a value of " + property);
}

TColor ReadColor(TZalValueReader& r, const std::string& property) {
    if (r.NextValue() == TZalValueKind::vkInteger) {
        const int64_t v = r.ReadInteger();
        if (v < 0 || v > 0xFFFFFF)
            throw EPropertyValueError("colour " + std::to_string(v) + " of " + property + " is out of range");
        return TColor(v);
    }
    const std::string name = r.ReadString();
    for (const TColorName& c : kColorNames)
        if (SameName(c.Name, name)) return c.Value;
    throw EPropertyValueError("'" + name + "' is not a colour (" + property + ")");
}

void WriteColor(TZalValueWriter& w, TColor color) {
    for (const TColorName& c : kColorNames)
        if (c.Value == color) {
            w.WriteString(c.Name);
            return;
        }
    w.WriteInteger(color);
}

const std::any& FindHandlerOf(TShellForm& form, const std::string& handler, const std::string& event) {
    const std::any* found = form.FindHandler(handler);
    if (!found) throw EPropertyValueError(std::string(form.ClassName()) + " has no handler " + handler + " (" + event + ")");
    return *found;
}

TComponent* FindReferenced(TShellForm& form, const std::string& name, const std::string& property) {
    TComponent* found = form.FindComponent(name);
    if (!found) throw EPropertyValueError("no component named " + name + " (" + property + ")");
    return found;
}

TPropertyInfo Defined(std::string name, std::string definedName, std::function<TPersistent&(TComponent&)> object) {
    return {name,
            [object, definedName](TComponent& c, TZalValueReader& r, TReadContext&) {
                Pick(object(c), definedName).Read(r);
            },
            [object, definedName](const TComponent& c, TZalValueWriter& w, const TShellForm&) {
                Pick(object(const_cast<TComponent&>(c)), definedName).Write(w);
            },
            [object, definedName](const TComponent& c, const TShellForm&) {
                return Pick(object(const_cast<TComponent&>(c)), definedName).HasData;
            }};
}

} // namespace props
