// The shell's component classes as stored forms name them, with their stored properties.
#include "app/Buttons.h"
#include "app/ClassRegistry.h"
#include "app/CommonDialogs.h"
#include "app/Menus.h"
#include "app/Panels.h"
#include "app/ShellForm.h"
#include "app/StdControls.h"

using namespace props;

namespace {

template <class C> std::function<TComponent*(TComponent*)> Maker() {
    return [](TComponent* owner) -> TComponent* { return new C(owner); };
}

const std::vector<std::string> kAlignNames = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
const std::vector<std::string> kFontStyleNames = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

uint32_t StyleBits(TFontStyles style) {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        if (style.Contains(TFontStyle(i))) bits |= 1u << i;
    return bits;
}

TFontStyles StyleOf(uint32_t bits) {
    TFontStyles style;
    for (int i = 0; i < 4; ++i)
        if (bits & (1u << i)) style.Include(TFontStyle(i));
    return style;
}

// Font.Color, Font.Height, Font.Name, Font.Style of a shell control: stored while the
// control has its own font.
void AddFontProperties(TComponentClass& cls) {
    using C = TShellControl;
    auto stored = [](const TComponent& c, const TShellForm&) { return !As<C>(c).ParentFont(); };
    auto edit = [](C& c, const std::function<void(TShellFont&)>& change) {
        TShellFont font = c.Font();
        change(font);
        c.SetFont(font);
    };
    TPropertyInfo color = Color<C>("Font.Color", [](const C& c) { return c.Font().Color; },
                                   [edit](C& c, TColor v) { edit(c, [v](TShellFont& f) { f.Color = v; }); }, {});
    TPropertyInfo height = Int<C>("Font.Height", [](const C& c) { return int64_t(c.Font().Height); },
                                  [edit](C& c, int64_t v) { edit(c, [v](TShellFont& f) { f.Height = int(v); }); },
                                  {}, 1, 1000);
    TPropertyInfo name = Str<C>("Font.Name", [](const C& c) { return c.Font().Name; },
                                [edit](C& c, const std::string& v) { edit(c, [&v](TShellFont& f) { f.Name = v; }); },
                                std::nullopt);
    TPropertyInfo style = Set<C>("Font.Style", kFontStyleNames, [](const C& c) { return StyleBits(c.Font().Style); },
                                 [edit](C& c, uint32_t v) { edit(c, [v](TShellFont& f) { f.Style = StyleOf(v); }); },
                                 {});
    for (TPropertyInfo* p : {&color, &height, &name, &style}) {
        p->Stored = stored;
        cls.Add(std::move(*p));
    }
}

// Glyph and NumGlyphs of a button with a glyph.
template <class B> TPropertyInfo GlyphName() {
    return Str<B>("Glyph", [](const B& b) { return b.Glyph().Name(); },
                  [](B& b, const std::string& v) { b.Glyph().SetName(v); });
}

template <class B> TPropertyInfo GlyphCount() {
    return Int<B>("NumGlyphs", [](const B& b) { return int64_t(b.Glyph().Count()); },
                  [](B& b, int64_t v) { b.Glyph().SetCount(int(v)); }, 1, 1, 4);
}

void RegisterControls() {
    using C = TShellControl;
    TComponentClass& control = RegisterComponentClass("TShellControl", nullptr, nullptr);
    control.Add(Int<C>("Left", [](const C& c) { return int64_t(c.Left()); }, [](C& c, int64_t v) { c.SetLeft(int(v)); }, 0))
        .Add(Int<C>("Top", [](const C& c) { return int64_t(c.Top()); }, [](C& c, int64_t v) { c.SetTop(int(v)); }, 0))
        .Add(Int<C>("Width", [](const C& c) { return int64_t(c.Width()); }, [](C& c, int64_t v) { c.SetWidth(int(v)); }, 0, 0))
        .Add(Int<C>("Height", [](const C& c) { return int64_t(c.Height()); }, [](C& c, int64_t v) { c.SetHeight(int(v)); }, 0, 0))
        .Add(Enum<C>("Align", kAlignNames, [](const C& c) { return int(c.Align()); },
                     [](C& c, int v) { c.SetAlign(TAlign(v)); }, alNone))
        .Add(Bool<C>("Enabled", [](const C& c) { return c.Enabled(); }, [](C& c, bool v) { c.SetEnabled(v); }, true));
    AddFontProperties(control);
    control.Add(Str<C>("Hint", [](const C& c) { return c.Hint(); }, [](C& c, const std::string& v) { c.SetHint(v); }))
        .Add(Bool<C>("ParentFont", [](const C& c) { return c.ParentFont(); }, [](C& c, bool v) { c.SetParentFont(v); }, true))
        .Add(Bool<C>("ParentShowHint", [](const C& c) { return c.ParentShowHint(); },
                     [](C& c, bool v) { c.SetParentShowHint(v); }, true));
    TPropertyInfo showHint =
        Bool<C>("ShowHint", [](const C& c) { return c.ShowHint(); }, [](C& c, bool v) { c.SetShowHint(v); }, {});
    showHint.Stored = [](const TComponent& c, const TShellForm&) { return !As<C>(c).ParentShowHint(); };
    control.Add(std::move(showHint))
        .Add(Int<C>("TabOrder", [](const C& c) { return int64_t(c.TabOrder()); },
                    [](C& c, int64_t v) { c.SetTabOrder(int(v)); }, -1, -1))
        .Add(Bool<C>("Visible", [](const C& c) { return c.Visible(); }, [](C& c, bool v) { c.SetVisible(v); }, true));
    RegisterComponentClass("TShellWinControl", "TShellControl", nullptr);

    using P = TPanel;
    RegisterComponentClass("TPanel", "TShellWinControl", Maker<P>())
        .Add(Enum<P>("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"},
                     [](const P& p) { return int(p.Alignment()); }, [](P& p, int v) { p.SetAlignment(TAlignment(v)); },
                     taCenter))
        .Add(Enum<P>("BevelInner", {"bvNone", "bvLowered", "bvRaised", "bvSpace"},
                     [](const P& p) { return int(p.BevelInner()); }, [](P& p, int v) { p.SetBevelInner(TBevelCut(v)); },
                     bvNone))
        .Add(Enum<P>("BevelOuter", {"bvNone", "bvLowered", "bvRaised", "bvSpace"},
                     [](const P& p) { return int(p.BevelOuter()); }, [](P& p, int v) { p.SetBevelOuter(TBevelCut(v)); },
                     bvRaised))
        .Add(Int<P>("BevelWidth", [](const P& p) { return int64_t(p.BevelWidth()); },
                    [](P& p, int64_t v) { p.SetBevelWidth(int(v)); }, 1, 1, 100))
        .Add(Int<P>("BorderWidth", [](const P& p) { return int64_t(p.BorderWidth()); },
                    [](P& p, int64_t v) { p.SetBorderWidth(int(v)); }, 0, 0, 100))
        .Add(Str<P>("Caption", [](const P& p) { return p.Caption(); }, [](P& p, const std::string& v) { p.SetCaption(v); }))
        .Add(Color<P>("Color", [](const P& p) { return p.Color(); }, [](P& p, TColor v) { p.SetColor(v); }, clBtnFace));

    using B = TSpeedButton;
    RegisterComponentClass("TSpeedButton", "TShellControl", Maker<B>())
        .Add(GlyphName<B>())
        .Add(GlyphCount<B>())
        .Add(EventOf<B, TNotifyEvent>("OnClick", [](B& b) -> TNotifyEvent& { return b.OnClick; }));
}

void RegisterStdControls() {
    using L = TShellLabel;
    RegisterComponentClass("TLabel", "TShellControl", Maker<L>())
        .Add(Str<L>("Caption", [](const L& l) { return l.Caption(); }, [](L& l, const std::string& v) { l.SetCaption(v); }))
        .Add(Ref<L, TShellControl>("FocusControl", [](const L& l) { return l.FocusControl(); },
                                   [](L& l, TShellControl* c) { l.SetFocusControl(c); }));
    using E = TEdit;
    RegisterComponentClass("TEdit", "TShellControl", Maker<E>())
        .Add(Str<E>("Text", [](const E& e) { return e.Text(); }, [](E& e, const std::string& v) { e.SetText(v); }));
    using BC = TButtonControl;
    RegisterComponentClass("TButtonControl", "TShellControl", nullptr)
        .Add(Str<BC>("Caption", [](const BC& b) { return b.Caption(); }, [](BC& b, const std::string& v) { b.SetCaption(v); }))
        .Add(Bool<BC>("Checked", [](const BC& b) { return b.Checked(); }, [](BC& b, bool v) { b.SetChecked(v); }, false));
    RegisterComponentClass("TCheckBox", "TButtonControl", Maker<TCheckBox>());
    RegisterComponentClass("TRadioButton", "TButtonControl", Maker<TRadioButton>());
    using G = TGroupBox;
    RegisterComponentClass("TGroupBox", "TShellWinControl", Maker<G>())
        .Add(Str<G>("Caption", [](const G& g) { return g.Caption(); }, [](G& g, const std::string& v) { g.SetCaption(v); }));
    using B = TButton;
    RegisterComponentClass("TButton", "TShellControl", Maker<B>())
        .Add(Bool<B>("Cancel", [](const B& b) { return b.Cancel(); }, [](B& b, bool v) { b.SetCancel(v); }, false))
        .Add(Str<B>("Caption", [](const B& b) { return b.Caption(); }, [](B& b, const std::string& v) { b.SetCaption(v); }))
        .Add(Bool<B>("Default", [](const B& b) { return b.Default(); }, [](B& b, bool v) { b.SetDefault(v); }, false))
        .Add(Int<B>("ModalResult", [](const B& b) { return int64_t(b.ModalResult()); },
                    [](B& b, int64_t v) { b.SetModalResult(int(v)); }, mrNone))
        .Add(EventOf<B, TNotifyEvent>("OnClick", [](B& b) -> TNotifyEvent& { return b.OnClick; }));
    using BB = TBitBtn;
    RegisterComponentClass("TBitBtn", "TButton", Maker<BB>())
        .Add(GlyphName<BB>())
        .Add(Enum<BB>("Kind",
                      {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort", "bkRetry",
                       "bkIgnore", "bkAll"},
                      [](const BB& b) { return int(b.Kind()); }, [](BB& b, int v) { b.SetKind(TBitBtnKind(v)); }, bkCustom))
        .Add(GlyphCount<BB>());
}

void RegisterMenus() {
    using M = TMenuItem;
    RegisterComponentClass("TMenuItem", nullptr, Maker<M>())
        .Add(Str<M>("Caption", [](const M& m) { return m.Caption(); }, [](M& m, const std::string& v) { m.SetCaption(v); }))
        .Add(Bool<M>("Checked", [](const M& m) { return m.Checked(); }, [](M& m, bool v) { m.SetChecked(v); }, false))
        .Add(Bool<M>("Enabled", [](const M& m) { return m.Enabled(); }, [](M& m, bool v) { m.SetEnabled(v); }, true))
        .Add(Str<M>("Hint", [](const M& m) { return m.Hint(); }, [](M& m, const std::string& v) { m.SetHint(v); }))
        .Add(Str<M>("ShortCut", [](const M& m) { return m.ShortCut(); },
                    [](M& m, const std::string& v) { m.SetShortCut(v); }))
        .Add(Bool<M>("Visible", [](const M& m) { return m.Visible(); }, [](M& m, bool v) { m.SetVisible(v); }, true))
        .Add(EventOf<M, TNotifyEvent>("OnClick", [](M& m) -> TNotifyEvent& { return m.OnClick; }));
    RegisterComponentClass("TMainMenu", nullptr, Maker<TMainMenu>());
    RegisterComponentClass("TPopupMenu", nullptr, Maker<TPopupMenu>());
}

void RegisterDialogs() {
    using D = TOpenDialog;
    const std::vector<std::string> openOptions = {
        "ofReadOnly",       "ofOverwritePrompt",  "ofHideReadOnly",   "ofNoChangeDir",       "ofShowHelp",
        "ofNoValidate",     "ofAllowMultiSelect", "ofExtensionDifferent", "ofPathMustExist", "ofFileMustExist",
        "ofCreatePrompt",   "ofShareAware",       "ofNoReadOnlyReturn", "ofNoTestFileCreate", "ofNoNetworkButton",
        "ofNoLongNames",    "ofOldStyleDialog",   "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing"};
    RegisterComponentClass("TOpenDialog", nullptr, Maker<D>())
        .Add(Str<D>("DefaultExt", [](const D& d) { return d.DefaultExt; }, [](D& d, const std::string& v) { d.DefaultExt = v; }))
        .Add(Str<D>("FileName", [](const D& d) { return d.FileName; }, [](D& d, const std::string& v) { d.FileName = v; }))
        .Add(Str<D>("Filter", [](const D& d) { return d.Filter; }, [](D& d, const std::string& v) { d.Filter = v; }))
        .Add(Int<D>("FilterIndex", [](const D& d) { return int64_t(d.FilterIndex); },
                    [](D& d, int64_t v) { d.FilterIndex = int(v); }, 1, 1))
        .Add(Str<D>("InitialDir", [](const D& d) { return d.InitialDir; }, [](D& d, const std::string& v) { d.InitialDir = v; }))
        .Add(Set<D>("Options", openOptions, [](const D& d) { return d.Options; }, [](D& d, uint32_t v) { d.Options = v; }, 0u))
        .Add(Str<D>("Title", [](const D& d) { return d.Title; }, [](D& d, const std::string& v) { d.Title = v; }));
    RegisterComponentClass("TSaveDialog", "TOpenDialog", Maker<TSaveDialog>());

    using PD = TPrintDialog;
    RegisterComponentClass("TPrintDialog", nullptr, Maker<PD>())
        .Add(Int<PD>("Copies", [](const PD& d) { return int64_t(d.Copies); }, [](PD& d, int64_t v) { d.Copies = int(v); }, 0, 0))
        .Add(Set<PD>("Options",
                     {"poPrintToFile", "poPageNums", "poSelection", "poWarning", "poHelp", "poDisablePrintToFile"},
                     [](const PD& d) { return d.Options; }, [](PD& d, uint32_t v) { d.Options = v; }, 0u));
    RegisterComponentClass("TPrinterSetupDialog", nullptr, Maker<TPrinterSetupDialog>());
}

} // namespace

void RegisterShellClasses() {
    RegisterControls();
    RegisterStdControls();
    RegisterMenus();
    RegisterDialogs();
}

void RegisterFormClasses() {
    using F = TShellForm;
    RegisterComponentClass("TShellForm", "TShellWinControl", nullptr)
        .Add(Bool<F>("Visible", [](const F& f) { return f.Visible(); }, [](F& f, bool v) { f.SetVisible(v); }, false))
        .Add(Set<F>("BorderIcons", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"},
                    [](const F& f) { return uint32_t(f.BorderIcons()); },
                    [](F& f, uint32_t v) { f.SetBorderIcons(uint8_t(v)); }, 7u))
        .Add(Enum<F>("BorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"},
                     [](const F& f) { return int(f.BorderStyle()); },
                     [](F& f, int v) { f.SetBorderStyle(TFormBorderStyle(v)); }, int(TFormBorderStyle::bsSizeable)))
        .Add(Str<F>("Caption", [](const F& f) { return f.Caption(); }, [](F& f, const std::string& v) { f.SetCaption(v); }))
        .Add(Int<F>("ClientHeight", [](const F& f) { return int64_t(f.ClientHeight()); },
                    [](F& f, int64_t v) { f.SetClientHeight(int(v)); }, 0, 0))
        .Add(Int<F>("ClientWidth", [](const F& f) { return int64_t(f.ClientWidth()); },
                    [](F& f, int64_t v) { f.SetClientWidth(int(v)); }, 0, 0))
        .Add(Str<F>("Icon", [](const F& f) { return f.Icon(); }, [](F& f, const std::string& v) { f.SetIcon(v); }))
        .Add(Enum<F>("FormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm"}, [](const F& f) { return int(f.FormStyle()); },
                     [](F& f, int v) { f.SetFormStyle(TFormStyle(v)); }, fsNormal))
        .Add(Ref<F, TMainMenu>("Menu", [](const F& f) { return f.Menu(); }, [](F& f, TMainMenu* m) { f.SetMenu(m); }))
        .Add(Enum<F>("Position", {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter"},
                     [](const F& f) { return int(f.Position()); }, [](F& f, int v) { f.SetPosition(TPosition(v)); },
                     poDesigned))
        .Add(Bool<F>("Scaled", [](const F& f) { return f.Scaled(); }, [](F& f, bool v) { f.SetScaled(v); }, true))
        .Add(Ref<F, TMenuItem>("WindowMenu", [](const F& f) { return f.WindowMenu(); },
                               [](F& f, TMenuItem* m) { f.SetWindowMenu(m); }))
        .Add(EventOf<F, TCloseEvent>("OnClose", [](F& f) -> TCloseEvent& { return f.OnClose; }))
        .Add(EventOf<F, TCloseQueryEvent>("OnCloseQuery", [](F& f) -> TCloseQueryEvent& { return f.OnCloseQuery; }))
        .Add(EventOf<F, TNotifyEvent>("OnCreate", [](F& f) -> TNotifyEvent& { return f.OnCreate; }))
        .Add(EventOf<F, TNotifyEvent>("OnDestroy", [](F& f) -> TNotifyEvent& { return f.OnDestroy; }))
        .Add(EventOf<F, TNotifyEvent>("OnShow", [](F& f) -> TNotifyEvent& { return f.OnShow; }));
    for (const char* form : {"TMainForm", "TMDIChild", "TFindDlg", "TReplDlg"})
        RegisterComponentClass(form, "TShellForm", nullptr);
}
