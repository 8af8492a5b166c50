#pragma once
// The registry of component classes that stored forms may name: how each class is
// created, and its stored properties in order (the base class's first), each with its
// reader, writer and the rule that says whether it is stored. The builders below make
// the property kinds the forms use: integers, booleans, strings, enumerations, sets,
// colours, events bound by handler name, references to other components by name, and the
// properties a persistent object defines for itself (a command table list).
#include <any>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ShellForm.h"
#include "components/Component.h"
#include "components/Persistent.h"
#include "components/ZalExcpt.h"
#include "components/ZalStream.h"

// What a property's reader needs besides the value: the form being read.
struct TReadContext {
    TShellForm& Form;
    // Runs `fixup` once every component of the form exists (references by name).
    std::function<void(std::function<void()> fixup)> Defer;
};

struct TPropertyInfo {
    std::string Name;
    std::function<void(TComponent&, TZalValueReader&, TReadContext&)> Read;
    std::function<void(const TComponent&, TZalValueWriter&, const TShellForm&)> Write;
    // Whether the value is written at all (usually: it differs from the default).
    std::function<bool(const TComponent&, const TShellForm&)> Stored;
};

struct TComponentClass {
    std::string Name;
    const TComponentClass* Base = nullptr;
    // Creates the component for an owner; empty for forms, which create themselves.
    std::function<TComponent*(TComponent* owner)> Create;
    std::vector<TPropertyInfo> Properties;

    TComponentClass& Add(TPropertyInfo property) {
        Properties.push_back(std::move(property));
        return *this;
    }
};

// Registers a class whose properties follow those of `baseName` (registered before, or
// nullptr). Registering a name again replaces the class.
TComponentClass& RegisterComponentClass(const std::string& name, const char* baseName,
                                        std::function<TComponent*(TComponent*)> create);
// The registered class of that name (letter case ignored), or nullptr.
const TComponentClass* FindComponentClass(std::string_view name);
// The property of the class or its bases, or nullptr.
const TPropertyInfo* FindProperty(const TComponentClass& cls, std::string_view name);
// All properties in stored order: the bases' first (a redefined one in the base's place).
std::vector<const TPropertyInfo*> AllProperties(const TComponentClass& cls);
// Registers the shell's and the library's classes once.
void EnsureClassesRegistered();
void RegisterShellClasses();
void RegisterLibraryClasses();
void RegisterEditorClasses();
void RegisterFormClasses();

// A value that a property cannot take: the reader names the property and the line.
class EPropertyValueError : public Exception {
public:
    using Exception::Exception;
};

// ---- property builders -----------------------------------------------------------------
// Each takes the concrete class C; getters take `const C&`, setters `C&` and the value.

namespace props {

template <class C> C& As(TComponent& c) { return dynamic_cast<C&>(c); }
template <class C> const C& As(const TComponent& c) { return dynamic_cast<const C&>(c); }

template <class C, class T>
std::function<bool(const TComponent&, const TShellForm&)> DiffersFrom(std::function<T(const C&)> get,
                                                                      std::optional<T> def) {
    if (!def) return [](const TComponent&, const TShellForm&) { return true; };
    return [get, d = *def](const TComponent& c, const TShellForm&) { return get(As<C>(c)) != d; };
}

template <class C>
TPropertyInfo Int(std::string name, std::function<int64_t(const C&)> get, std::function<void(C&, int64_t)> set,
                  std::optional<int64_t> def, int64_t min = INT32_MIN, int64_t max = INT32_MAX) {
    return {name,
            [set, min, max, name](TComponent& c, TZalValueReader& r, TReadContext&) {
                const int64_t v = r.ReadInteger();
                if (v < min || v > max)
                    throw EPropertyValueError("value " + std::to_string(v) + " of " + name + " is out of range");
                set(As<C>(c), v);
            },
            [get](const TComponent& c, TZalValueWriter& w, const TShellForm&) { w.WriteInteger(get(As<C>(c))); },
            DiffersFrom<C, int64_t>(get, def)};
}

template <class C>
TPropertyInfo Bool(std::string name, std::function<bool(const C&)> get, std::function<void(C&, bool)> set,
                   std::optional<bool> def) {
    return {name, [set](TComponent& c, TZalValueReader& r, TReadContext&) { set(As<C>(c), r.ReadBoolean()); },
            [get](const TComponent& c, TZalValueWriter& w, const TShellForm&) { w.WriteBoolean(get(As<C>(c))); },
            DiffersFrom<C, bool>(get, def)};
}

template <class C>
TPropertyInfo Str(std::string name, std::function<std::string(const C&)> get,
                  std::function<void(C&, const std::string&)> set, std::optional<std::string> def = "") {
    return {name, [set](TComponent& c, TZalValueReader& r, TReadContext&) { set(As<C>(c), r.ReadString()); },
            [get](const TComponent& c, TZalValueWriter& w, const TShellForm&) { w.WriteString(get(As<C>(c))); },
            DiffersFrom<C, std::string>(get, def)};
}

// An enumeration stored by the names of its values, in order from 0.
int EnumValue(const std::vector<std::string>& names, const std::string& name, const std::string& property);

template <class C>
TPropertyInfo Enum(std::string name, std::vector<std::string> names, std::function<int(const C&)> get,
                   std::function<void(C&, int)> set, std::optional<int> def) {
    return {name,
            [set, names, name](TComponent& c, TZalValueReader& r, TReadContext&) {
                set(As<C>(c), EnumValue(names, r.ReadString(), name));
            },
            [get, names](const TComponent& c, TZalValueWriter& w, const TShellForm&) {
                w.WriteString(names.at(size_t(get(As<C>(c)))));
            },
            DiffersFrom<C, int>(get, def)};
}

// A set stored as the list of the names of its members; bit n stands for names[n].
template <class C>
TPropertyInfo Set(std::string name, std::vector<std::string> names, std::function<uint32_t(const C&)> get,
                  std::function<void(C&, uint32_t)> set, std::optional<uint32_t> def) {
    return {name,
            [set, names, name](TComponent& c, TZalValueReader& r, TReadContext&) {
                uint32_t bits = 0;
                r.ReadListBegin();
                while (!r.EndOfList()) bits |= 1u << EnumValue(names, r.ReadString(), name);
                r.ReadListEnd();
                set(As<C>(c), bits);
            },
            [get, names](const TComponent& c, TZalValueWriter& w, const TShellForm&) {
                const uint32_t bits = get(As<C>(c));
                w.WriteListBegin();
                for (size_t i = 0; i < names.size(); ++i)
                    if (bits & (1u << i)) w.WriteString(names[i]);
                w.WriteListEnd();
            },
            DiffersFrom<C, uint32_t>(get, def)};
}

// A colour: a name (clBlack, clWindowText, ...) or its number.
TColor ReadColor(TZalValueReader& r, const std::string& property);
void WriteColor(TZalValueWriter& w, TColor color);

template <class C>
TPropertyInfo Color(std::string name, std::function<TColor(const C&)> get, std::function<void(C&, TColor)> set,
                    std::optional<TColor> def) {
    return {name, [set, name](TComponent& c, TZalValueReader& r, TReadContext&) { set(As<C>(c), ReadColor(r, name)); },
            [get](const TComponent& c, TZalValueWriter& w, const TShellForm&) { WriteColor(w, get(As<C>(c))); },
            DiffersFrom<C, TColor>(get, def)};
}

// The handler of the form named by the stream, which must be of the event's type.
const std::any& FindHandlerOf(TShellForm& form, const std::string& handler, const std::string& event);

// An event: bound to the form's handler of the stored name.
template <class C, class Event>
TPropertyInfo EventOf(std::string name, std::function<Event&(C&)> event) {
    return {name,
            [event, name](TComponent& c, TZalValueReader& r, TReadContext& ctx) {
                const std::string handler = r.ReadString();
                const std::any& found = FindHandlerOf(ctx.Form, handler, name);
                const Event* fn = std::any_cast<Event>(&found);
                if (!fn) throw EPropertyValueError("handler " + handler + " does not fit the event " + name);
                event(As<C>(c)) = *fn;
                ctx.Form.NoteStoredName(&c, name, handler);
            },
            [name](const TComponent& c, TZalValueWriter& w, const TShellForm& form) {
                w.WriteString(form.StoredName(&c, name));
            },
            [name](const TComponent& c, const TShellForm& form) { return !form.StoredName(&c, name).empty(); }};
}

// The form's component of the stored name, which must be of class T.
TComponent* FindReferenced(TShellForm& form, const std::string& name, const std::string& property);

// A reference to another component of the form, resolved once all exist.
template <class C, class T>
TPropertyInfo Ref(std::string name, std::function<T*(const C&)> get, std::function<void(C&, T*)> set) {
    return {name,
            [set, name](TComponent& c, TZalValueReader& r, TReadContext& ctx) {
                const std::string target = r.ReadString();
                TComponent* self = &c;
                TShellForm* form = &ctx.Form;
                ctx.Defer([=] {
                    auto* found = dynamic_cast<T*>(FindReferenced(*form, target, name));
                    if (!found) throw EPropertyValueError(target + " is of the wrong class for " + name);
                    set(As<C>(*self), found);
                });
            },
            [get](const TComponent& c, TZalValueWriter& w, const TShellForm&) { w.WriteString(get(As<C>(c))->Name()); },
            [get](const TComponent& c, const TShellForm&) { return get(As<C>(c)) != nullptr; }};
}

// A property that a persistent object defines for itself (DefineProperties), reached
// through `object`; stored when the object says it has data.
TPropertyInfo Defined(std::string name, std::string definedName, std::function<TPersistent&(TComponent&)> object);

} // namespace props
