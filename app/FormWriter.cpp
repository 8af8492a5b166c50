// Writing a form's stored description from its components.
#include "app/FormWriter.h"

#include "app/ClassRegistry.h"
#include "app/ShellForm.h"

namespace {

std::string Indent(int depth) { return std::string(size_t(depth) * 2, ' '); }

// One value in the stream's own notation; a list spreads over indented lines.
std::string ValueText(const std::function<void(TZalValueWriter&)>& write, int depth) {
    TZalValueWriter w;
    write(w);
    std::string text = w.Text();
    if (!text.empty() && text.back() == '\n') text.pop_back();
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '\n') out += Indent(depth);
    }
    return out;
}

std::string Quoted(const std::string& s) {
    return ValueText([&](TZalValueWriter& w) { w.WriteString(s); }, 0);
}

class TFormWriter {
public:
    explicit TFormWriter(const TShellForm& form) : form_(form) {}

    std::string Write() {
        EnsureClassesRegistered();
        WriteObject(form_, 0);
        return out_;
    }

private:
    void WriteObject(const TComponent& component, int depth) {
        const TComponentClass* cls = FindComponentClass(component.ClassName());
        if (!cls) throw EFormError(form_.ClassName(), 0, std::string("cannot write ") + component.ClassName());
        out_ += Indent(depth) + Quoted(component.ClassName()) + " " + Quoted(component.Name()) + " (";
        bool any = false;
        for (const TPropertyInfo* p : AllProperties(*cls)) {
            if (!p->Write || !p->Stored(component, form_)) continue;
            out_ += "\n" + Indent(depth + 1) + Quoted(p->Name) + " " +
                    ValueText([&](TZalValueWriter& w) { p->Write(component, w, form_); }, depth + 1);
            any = true;
        }
        out_ += any ? "\n" + Indent(depth) + ")" : ")";
        bool children = false;
        for (int i = 0; i < form_.ComponentCount(); ++i) {
            const TComponent* child = form_.Components(i);
            if (form_.DescriptionParent(child) != &component) continue;
            if (!children) out_ += " (";
            children = true;
            out_ += "\n";
            WriteObject(*child, depth + 1);
        }
        if (children) out_ += "\n" + Indent(depth) + ")";
        if (depth == 0) out_ += "\n";
    }

    const TShellForm& form_;
    std::string out_;
};

} // namespace

std::string WriteForm(const TShellForm& form) { return TFormWriter(form).Write(); }
