// Reading a form's stored description into its components.
#include "app/FormReader.h"

#include <span>

#include "app/ClassRegistry.h"
#include "app/Menus.h"
#include "app/ShellForm.h"
#include "components/Controls.h"
#include "platform/Resources.h"

namespace {

class TFormReader {
public:
    TFormReader(TShellForm& form, const std::string& text)
        : form_(form), reader_(text), context_{form, [this](std::function<void()> f) { fixups_.push_back({line_, f}); }} {}

    void Read() {
        try {
            ReadRoot();
        } catch (const EFormError&) {
            throw;
        } catch (const EZalStreamError& e) {
            throw EFormError(form_.ClassName(), e.Line, Detail(e.what()));
        } catch (const std::exception& e) {
            throw EFormError(form_.ClassName(), line_, e.what());
        }
    }

private:
    // The stream error's text without its own "at line" prefix.
    static std::string Detail(const std::string& message) {
        const size_t colon = message.find(": ");
        return colon == std::string::npos ? message : message.substr(colon + 2);
    }

    void Mark() {
        reader_.NextValue();
        line_ = reader_.Line();
    }

    void ReadRoot() {
        EnsureClassesRegistered();
        Mark();
        const std::string className = reader_.ReadString();
        if (!SameName(className, form_.ClassName()))
            throw EFormError(form_.ClassName(), line_, "the description is of " + className);
        const TComponentClass* cls = FindComponentClass(form_.ClassName());
        if (!cls) throw EFormError(form_.ClassName(), line_, "the form class is not registered");
        Mark();
        form_.SetName(UniqueFormName(reader_.ReadString()));
        form_.BeginLoading();
        ReadProperties(form_, *cls);
        form_.CreateWindow();
        ReadChildren(form_);
        Mark();
        if (!reader_.AtEnd()) throw EFormError(form_.ClassName(), line_, "unexpected text after the form");
        for (auto& [line, fixup] : fixups_) {
            line_ = line;
            fixup();
        }
        form_.EndLoading();
    }

    // A second form of a class is named after the first with "_1", "_2", ... appended.
    std::string UniqueFormName(const std::string& name) const {
        const TComponent* owner = form_.Owner();
        auto taken = [&](const std::string& n) {
            TComponent* other = owner ? owner->FindComponent(n) : nullptr;
            return other && other != &form_;
        };
        if (!taken(name)) return name;
        for (int n = 1;; ++n)
            if (!taken(name + "_" + std::to_string(n))) return name + "_" + std::to_string(n);
    }

    void ReadProperties(TComponent& component, const TComponentClass& cls) {
        reader_.ReadListBegin();
        while (!reader_.EndOfList()) {
            Mark();
            const std::string name = reader_.ReadString();
            const TPropertyInfo* property = FindProperty(cls, name);
            if (!property) throw EFormError(form_.ClassName(), line_, cls.Name + " has no property " + name);
            property->Read(component, reader_, context_);
        }
        reader_.ReadListEnd();
    }

    void ReadChildren(TComponent& parent) {
        if (reader_.NextValue() != TZalValueKind::vkListBegin) return;
        reader_.ReadListBegin();
        while (!reader_.EndOfList()) ReadObject(parent);
        reader_.ReadListEnd();
    }

    void ReadObject(TComponent& parent) {
        Mark();
        const std::string className = reader_.ReadString();
        const TComponentClass* cls = FindComponentClass(className);
        if (!cls) throw EFormError(form_.ClassName(), line_, "unknown class " + className);
        if (!cls->Create) throw EFormError(form_.ClassName(), line_, className + " cannot be part of a form");
        Mark();
        const std::string name = reader_.ReadString();
        TComponent* component = cls->Create(&form_);
        form_.NotifyInserted(component);
        component->BeginLoading();
        component->SetName(name);
        Place(*component, parent);
        ReadProperties(*component, *cls);
        ReadChildren(*component);
    }

    // Puts a component where the description nests it: a control on its parent, a menu
    // item in its menu; other components sit at the form's top level.
    void Place(TComponent& child, TComponent& parent) {
        form_.NoteParent(&child, &parent);
        auto* holder = dynamic_cast<TShellWinControl*>(&parent);
        if (auto* shell = dynamic_cast<TShellControl*>(&child)) {
            if (holder) return shell->SetParent(holder);
        } else if (auto* item = dynamic_cast<TMenuItem*>(&child)) {
            if (auto* menu = dynamic_cast<TMenu*>(&parent)) return menu->Items().Add(item);
            if (auto* parentItem = dynamic_cast<TMenuItem*>(&parent)) return parentItem->Add(item);
        } else if (auto* windowed = dynamic_cast<TWinControl*>(&child)) {
            if (holder) return holder->InsertLibraryControl(*windowed);
        } else if (auto* graphic = dynamic_cast<TGraphicControl*>(&child)) {
            if (holder) return holder->InsertGraphicControl(*graphic);
        } else if (&parent == &form_) {
            return;
        }
        throw EFormError(form_.ClassName(), line_,
                         std::string(parent.ClassName()) + " " + parent.Name() + " cannot hold " + child.Name());
    }

    TShellForm& form_;
    TZalValueReader reader_;
    TReadContext context_;
    int line_ = 1;
    std::vector<std::pair<int, std::function<void()>>> fixups_;
};

} // namespace

void ReadForm(TShellForm& form, const std::string& text) { TFormReader(form, text).Read(); }

std::string FormResourceText(const std::string& className) {
    std::span<const uint8_t> bytes;
    if (!FindResourceBlob(RT_RCDATA, className, bytes)) return {};
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void ReadFormResource(TShellForm& form) {
    const std::string text = FormResourceText(form.ClassName());
    if (text.empty()) throw EFormError(form.ClassName(), 0, "the program holds no description of this form");
    ReadForm(form, text);
}
