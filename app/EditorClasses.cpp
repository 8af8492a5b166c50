// The editor controls as stored forms name them, with their stored properties: their own
// settings (and the text file editor's file binding), the caret descriptions, the fixed font, the highlight colours, the label
// offsets, and the placement the shell keeps for it (alignment, pop-up menu, Tab order).
#include "app/ClassRegistry.h"
#include "app/FontMap.h"
#include "app/Menus.h"
#include "components/ZalBase.h"
#include "editor/TextFileEditor.h"
#include "editor/ZalEdit.h"
#include "platform/Cursors.h"

using namespace props;

namespace {

using E = TZalCustomEditor;

const std::vector<std::string> kFontStyleNames = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

// The placement the control's holder keeps for it; EPropertyValueError outside a holder.
TLibraryPlacement& Placement(const TShellForm& form, const TComponent& control) {
    auto* holder = dynamic_cast<TShellWinControl*>(form.DescriptionParent(&control));
    TLibraryPlacement* placement = holder ? holder->PlacementOf(control) : nullptr;
    if (!placement) throw EPropertyValueError(control.Name() + " is not placed on a control that can hold it");
    return *placement;
}

// A design bound, kept with the placement (the control's window fills its host).
TPropertyInfo DesignBound(const std::string& name, int TLibraryPlacement::*field) {
    return {name,
            [field](TComponent& c, TZalValueReader& r, TReadContext& ctx) {
                Placement(ctx.Form, c).*field = int(r.ReadInteger());
                if (auto* holder = dynamic_cast<TShellWinControl*>(ctx.Form.DescriptionParent(&c))) holder->Realign();
            },
            [field](const TComponent& c, TZalValueWriter& w, const TShellForm& form) {
                w.WriteInteger(Placement(form, c).*field);
            },
            [](const TComponent&, const TShellForm&) { return true; }};
}

// The caret description `which` of the editor (CaretIns or CaretOvr).
using TCaretOf = TZalCaret* (E::*)() const;

void AddCaretProperties(TComponentClass& cls, const std::string& prefix, TCaretOf caretOf) {
    auto caret = [caretOf](const E& e) -> TZalCaret& { return *(e.*caretOf)(); };
    // Align, CaretHeight and CaretWidth as stored win over what Shape sets with them,
    // in whatever order a description gives them: each is applied again at the end.
    auto winning = [](TPropertyInfo p) {
        auto read = p.Read;
        auto write = p.Write;
        p.Read = [read, write](TComponent& c, TZalValueReader& r, TReadContext& ctx) {
            read(c, r, ctx);
            TZalValueWriter value;
            write(c, value, ctx.Form);
            ctx.Defer([read, text = value.Text(), &c, &ctx] {
                TZalValueReader again(text);
                read(c, again, ctx);
            });
        };
        return p;
    };
    cls.Add(Enum<E>(prefix + ".Shape", {"csBlock", "csHalfBlock", "csVertLine", "csHorzLine", "csCustom", "csBitmap"},
                    [caret](const E& e) { return int(caret(e).Shape()); },
                    [caret](E& e, int v) { caret(e).SetShape(TZalCaretShape(v)); }, {}))
        .Add(winning(Enum<E>(prefix + ".Align", {"caLeft", "caTop", "caRight", "caBottom", "caCenter"},
                             [caret](const E& e) { return int(caret(e).Align()); },
                             [caret](E& e, int v) { caret(e).SetAlign(TZalCaretAlign(v)); }, {})))
        .Add(Int<E>(prefix + ".BitmapHotSpotX", [caret](const E& e) { return int64_t(caret(e).BitmapHotSpotX()); },
                    [caret](E& e, int64_t v) { caret(e).SetBitmapHotSpotX(int32_t(v)); }, {}))
        .Add(Int<E>(prefix + ".BitmapHotSpotY", [caret](const E& e) { return int64_t(caret(e).BitmapHotSpotY()); },
                    [caret](E& e, int64_t v) { caret(e).SetBitmapHotSpotY(int32_t(v)); }, {}))
        .Add(Int<E>(prefix + ".BlinkTime", [caret](const E& e) { return int64_t(caret(e).BlinkTime()); },
                    [caret](E& e, int64_t v) { caret(e).SetBlinkTime(uint16_t(v)); }, {}, 0, 65535))
        .Add(winning(Int<E>(prefix + ".CaretHeight", [caret](const E& e) { return int64_t(caret(e).CaretHeight()); },
                            [caret](E& e, int64_t v) { caret(e).SetCaretHeight(int32_t(v)); }, {})))
        .Add(winning(Int<E>(prefix + ".CaretWidth", [caret](const E& e) { return int64_t(caret(e).CaretWidth()); },
                            [caret](E& e, int64_t v) { caret(e).SetCaretWidth(int32_t(v)); }, {})))
        .Add(Bool<E>(prefix + ".IsGray", [caret](const E& e) { return caret(e).IsGray(); },
                     [caret](E& e, bool v) { caret(e).SetIsGray(v); }, {}));
    // The image, by the name of the program's bitmap resource that holds it.
    const std::string name = prefix + ".Bitmap";
    cls.Add({name,
             [caret, name](TComponent& c, TZalValueReader& r, TReadContext& ctx) {
                 const std::string resource = r.ReadString();
                 TBitmap image;
                 if (!image.LoadFromResourceName(resource.c_str()))
                     throw EPropertyValueError("No readable bitmap resource named " + resource);
                 caret(As<E>(c)).SetBitmap(&image);
                 ctx.Form.NoteStoredName(&c, name, resource);
             },
             [name](const TComponent& c, TZalValueWriter& w, const TShellForm& form) {
                 w.WriteString(form.StoredName(&c, name));
             },
             [name](const TComponent& c, const TShellForm& form) { return !form.StoredName(&c, name).empty(); }});
}

void AddFontAndColours(TComponentClass& cls) {
    cls.Add(Color<E>("FixedFont.Color", [](const E& e) { return e.FixedFont().Color(); },
                     [](E& e, TColor v) { e.FixedFont().SetColor(v); }, {}))
        // The form's family maps to an installed one of the same metrics, and back.
        .Add(Str<E>("FixedFont.Name", [](const E& e) { return FormFamily(e.FixedFont().Name()); },
                    [](E& e, const std::string& v) { e.FixedFont().SetName(InstalledFamily(v)); }, std::nullopt))
        .Add(Int<E>("FixedFont.Size", [](const E& e) { return int64_t(e.FixedFont().Size()); },
                    [](E& e, int64_t v) { e.FixedFont().SetSize(int(v)); }, {}, 1, 1000))
        .Add(Set<E>(
            "FixedFont.Style", kFontStyleNames,
            [](const E& e) {
                uint32_t bits = 0;
                for (int i = 0; i < 4; ++i)
                    if (e.FixedFont().Style().Contains(TFontStyle(i))) bits |= 1u << i;
                return bits;
            },
            [](E& e, uint32_t v) {
                TFontStyles style;
                for (int i = 0; i < 4; ++i)
                    if (v & (1u << i)) style.Include(TFontStyle(i));
                e.FixedFont().SetStyle(style);
            },
            {}))
        .Add(Bool<E>("HideSelection", [](const E& e) { return e.HideSelection(); },
                     [](E& e, bool v) { e.SetHideSelection(v); }, {}))
        .Add(Color<E>("HighlightColors.BackColor", [](const E& e) { return e.HighlightColors().BackColor(); },
                      [](E& e, TColor v) { e.HighlightColors().SetBackColor(v); }, {}))
        .Add(Color<E>("HighlightColors.TextColor", [](const E& e) { return e.HighlightColors().TextColor(); },
                      [](E& e, TColor v) { e.HighlightColors().SetTextColor(v); }, {}));
}

// The label's offsets are stored only while the label is shown.
void AddLabelInfo(TComponentClass& cls) {
    auto whileVisible = [](TPropertyInfo p) {
        p.Stored = [](const TComponent& c, const TShellForm&) { return As<E>(c).LabelInfo().StoredOffsets(); };
        return p;
    };
    cls.Add(whileVisible(Int<E>("LabelInfo.OffsetX", [](const E& e) { return int64_t(e.LabelInfo().OffsetX()); },
                                [](E& e, int64_t v) { e.LabelInfo().SetOffsetX(int32_t(v)); }, {})))
        .Add(whileVisible(Int<E>("LabelInfo.OffsetY", [](const E& e) { return int64_t(e.LabelInfo().OffsetY()); },
                                 [](E& e, int64_t v) { e.LabelInfo().SetOffsetY(int32_t(v)); }, {})))
        .Add(Bool<E>("LabelInfo.Visible", [](const E& e) { return e.LabelInfo().Visible(); },
                     [](E& e, bool v) { e.LabelInfo().SetVisible(v); }, false));
}

struct TCursorName {
    const char* Name;
    int Id; // 0: the control's default
};
constexpr TCursorName kCursorNames[] = {{"crDefault", 0},    {"crArrow", IDC_ARROW}, {"crIBeam", IDC_IBEAM},
                                        {"crHourGlass", IDC_WAIT}, {"crCross", IDC_CROSS}};

// The placement settings kept by the holder, and the window's own cursor and Tab stop.
void AddPlacement(TComponentClass& cls) {
    cls.Add({"Align",
             [](TComponent& c, TZalValueReader& r, TReadContext& ctx) {
                 static const std::vector<std::string> names = {"alNone",  "alTop",   "alBottom",
                                                                "alLeft",  "alRight", "alClient"};
                 Placement(ctx.Form, c).Align = TAlign(EnumValue(names, r.ReadString(), "Align"));
                 if (auto* holder = dynamic_cast<TShellWinControl*>(ctx.Form.DescriptionParent(&c))) holder->Realign();
             },
             [](const TComponent& c, TZalValueWriter& w, const TShellForm& form) {
                 static const char* const names[] = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
                 w.WriteString(names[Placement(form, c).Align]);
             },
             [](const TComponent& c, const TShellForm& form) { return Placement(form, c).Align != alNone; }});
    cls.Add({"Cursor",
             [](TComponent& c, TZalValueReader& r, TReadContext&) {
                 std::vector<std::string> names;
                 for (const TCursorName& n : kCursorNames) names.push_back(n.Name);
                 const int id = kCursorNames[EnumValue(names, r.ReadString(), "Cursor")].Id;
                 As<E>(c).Window().SetClassCursor(id ? LoadCursor(id) : nullptr);
             },
             [](const TComponent& c, TZalValueWriter& w, const TShellForm&) {
                 const HCURSOR cursor = As<E>(c).Window().ClassCursor();
                 for (const TCursorName& n : kCursorNames)
                     if ((n.Id ? LoadCursor(n.Id) : nullptr) == cursor) return w.WriteString(n.Name);
                 w.WriteString("crDefault");
             },
             [](const TComponent&, const TShellForm&) { return true; }});
    cls.Add(Bool<E>("Enabled", [](const E& e) { return e.Enabled(); }, [](E& e, bool v) { e.SetEnabled(v); }, {}))
        .Add({"ParentColor",
              [](TComponent& c, TZalValueReader& r, TReadContext& ctx) { Placement(ctx.Form, c).ParentColor = r.ReadBoolean(); },
              [](const TComponent& c, TZalValueWriter& w, const TShellForm& form) {
                  w.WriteBoolean(Placement(form, c).ParentColor);
              },
              [](const TComponent&, const TShellForm&) { return true; }})
        .Add({"PopupMenu",
              [](TComponent& c, TZalValueReader& r, TReadContext& ctx) {
                  const std::string target = r.ReadString();
                  TShellForm* form = &ctx.Form;
                  ctx.Defer([form, &c, target] {
                      auto* menu = dynamic_cast<TPopupMenu*>(FindReferenced(*form, target, "PopupMenu"));
                      if (!menu) throw EPropertyValueError(target + " is of the wrong class for PopupMenu");
                      Placement(*form, c).PopupMenu = menu;
                      if (auto* holder = dynamic_cast<TShellWinControl*>(form->DescriptionParent(&c)))
                          holder->FreeNotification(menu);
                  });
              },
              [](const TComponent& c, TZalValueWriter& w, const TShellForm& form) {
                  w.WriteString(Placement(form, c).PopupMenu->Name());
              },
              [](const TComponent& c, const TShellForm& form) { return Placement(form, c).PopupMenu != nullptr; }})
        .Add({"TabOrder",
              [](TComponent& c, TZalValueReader& r, TReadContext& ctx) {
                  Placement(ctx.Form, c).TabOrder = int(r.ReadInteger());
              },
              [](const TComponent& c, TZalValueWriter& w, const TShellForm& form) {
                  w.WriteInteger(Placement(form, c).TabOrder);
              },
              [](const TComponent& c, const TShellForm& form) { return Placement(form, c).TabOrder >= 0; }})
        .Add(Bool<E>("TabStop", [](const E& e) { return e.Window().Style().TabStop; },
                     [](E& e, bool v) {
                         TWindowStyle style = e.Window().Style();
                         style.TabStop = v;
                         e.Window().SetStyle(style);
                     },
                     {}));
}

// The editor the document windows hold: the control bound to a file.
void RegisterTextFileEditorClass() {
    using F = TZalTextFileEditor;
    TComponentClass& cls =
        RegisterComponentClass("TZalTextFileEditor", "TZalCustomEditor", [](TComponent* owner) -> TComponent* {
            return new F(owner);
        });
    cls.Add(Str<F>("BackupExt", [](const F& e) { return e.BackupExt(); },
                   [](F& e, const std::string& v) { e.SetBackupExt(v); }, std::nullopt))
        .Add({"FileName",
              [](TComponent& c, TZalValueReader& r, TReadContext&) { As<F>(c).SetFileName(r.ReadString()); },
              [](const TComponent& c, TZalValueWriter& w, const TShellForm&) { w.WriteString(As<F>(c).FileName()); },
              [](const TComponent& c, const TShellForm&) { return As<F>(c).FileNameStored(); }})
        // After FileName: opening needs the name (the load itself waits until the form is read).
        .Add(Bool<F>("IsOpen", [](const F& e) { return e.IsOpen(); }, [](F& e, bool v) { e.SetIsOpen(v); }, {}))
        .Add(Bool<F>("MakeBackup", [](const F& e) { return e.MakeBackup(); },
                     [](F& e, bool v) { e.SetMakeBackup(v); }, {}));
}

} // namespace

void RegisterEditorClasses() {
    TComponentClass& cls =
        RegisterComponentClass("TZalCustomEditor", nullptr, [](TComponent* owner) -> TComponent* { return new E(owner); });
    cls.Add(DesignBound("Left", &TLibraryPlacement::Left))
        .Add(DesignBound("Top", &TLibraryPlacement::Top))
        .Add(DesignBound("Width", &TLibraryPlacement::Width))
        .Add(DesignBound("Height", &TLibraryPlacement::Height))
        .Add(Bool<E>("AutoIndent", [](const E& e) { return e.AutoIndent(); }, [](E& e, bool v) { e.SetAutoIndent(v); }, {}))
        .Add(Enum<E>("BorderStyle", {"bsNone", "bsSingle"}, [](const E& e) { return int(e.BorderStyle()); },
                     [](E& e, int v) { e.SetBorderStyle(TBorderStyle(v)); }, {}))
        .Add(Int<E>("ByteLimit", [](const E& e) { return int64_t(e.ByteLimit()); },
                    [](E& e, int64_t v) { e.SetByteLimit(int32_t(v)); }, {}, 0));
    AddCaretProperties(cls, "CaretIns", &E::CaretIns);
    AddCaretProperties(cls, "CaretOvr", &E::CaretOvr);
    AddFontAndColours(cls);
    cls.Add(Bool<E>("InsertMode", [](const E& e) { return e.InsertMode(); }, [](E& e, bool v) { e.SetInsertMode(v); }, {}));
    AddLabelInfo(cls);
    cls.Add(Int<E>("LeftMargin", [](const E& e) { return int64_t(e.LeftMargin()); },
                   [](E& e, int64_t v) { e.SetLeftMargin(int32_t(v)); }, {}, 0))
        .Add(Int<E>("ParaLengthLimit", [](const E& e) { return int64_t(e.ParaLengthLimit()); },
                    [](E& e, int64_t v) { e.SetParaLengthLimit(int32_t(v)); }, {}, 1, kMaxParaLengthLimit))
        .Add(Int<E>("ParaLimit", [](const E& e) { return int64_t(e.ParaLimit()); },
                    [](E& e, int64_t v) { e.SetParaLimit(int32_t(v)); }, {}, 1))
        .Add(Bool<E>("ReadOnly", [](const E& e) { return e.ReadOnly(); }, [](E& e, bool v) { e.SetReadOnly(v); }, {}))
        .Add(Int<E>("RightMargin", [](const E& e) { return int64_t(e.RightMargin()); },
                    [](E& e, int64_t v) { e.SetRightMargin(int32_t(v)); }, {}, 0))
        .Add(Enum<E>("ScrollBars", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"},
                     [](const E& e) { return int(e.ScrollBars()); },
                     [](E& e, int v) { e.SetScrollBars(TScrollStyle(v)); }, {}))
        .Add(Bool<E>("ScrollBarsAlways", [](const E& e) { return e.ScrollBarsAlways(); },
                     [](E& e, bool v) { e.SetScrollBarsAlways(v); }, {}))
        .Add(Bool<E>("ScrollPastEnd", [](const E& e) { return e.ScrollPastEnd(); },
                     [](E& e, bool v) { e.SetScrollPastEnd(v); }, {}))
        .Add(Bool<E>("ShowBookmarks", [](const E& e) { return e.ShowBookmarks(); },
                     [](E& e, bool v) { e.SetShowBookmarks(v); }, {}))
        .Add(Int<E>("TabSize", [](const E& e) { return int64_t(e.TabSize()); },
                    [](E& e, int64_t v) { e.SetTabSize(int32_t(v)); }, {}, 1, 255))
        .Add(Enum<E>("TabType", {"ttReal", "ttFixed", "ttSmart"}, [](const E& e) { return int(e.TabType()); },
                     [](E& e, int v) { e.SetTabType(TTabType(v)); }, {}))
        .Add(Bool<E>("TrimWhiteSpace", [](const E& e) { return e.TrimWhiteSpace(); },
                     [](E& e, bool v) { e.SetTrimWhiteSpace(v); }, {}))
        .Add(Int<E>("UndoBufferSize", [](const E& e) { return int64_t(e.UndoBufferSize()); },
                    [](E& e, int64_t v) { e.SetUndoBufferSize(uint16_t(v)); }, {}, 0, 65535))
        .Add(Bool<E>("WantEnter", [](const E& e) { return e.WantEnter(); }, [](E& e, bool v) { e.SetWantEnter(v); }, {}))
        .Add(Bool<E>("WantTab", [](const E& e) { return e.WantTab(); }, [](E& e, bool v) { e.SetWantTab(v); }, {}))
        .Add(Bool<E>("WordWrap", [](const E& e) { return e.WordWrap(); }, [](E& e, bool v) { e.SetWordWrap(v); }, {}))
        .Add(Bool<E>("WrapAtLeft", [](const E& e) { return e.WrapAtLeft(); }, [](E& e, bool v) { e.SetWrapAtLeft(v); }, {}))
        .Add(Int<E>("WrapColumn", [](const E& e) { return int64_t(e.WrapColumn()); },
                    [](E& e, int64_t v) { e.SetWrapColumn(int32_t(v)); }, {}, 1))
        .Add(Bool<E>("WrapToWindow", [](const E& e) { return e.WrapToWindow(); },
                     [](E& e, bool v) { e.SetWrapToWindow(v); }, {}))
        .Add(EventOf<E, TShowStatusEvent>("OnShowStatus", [](E& e) -> TShowStatusEvent& { return e.OnShowStatus; }))
        .Add(Ref<E, TZalController>("Controller", [](const E& e) { return e.Controller(); },
                                    [](E& e, TZalController* c) { e.SetController(c); }));
    AddPlacement(cls);
    RegisterTextFileEditorClass();
}
