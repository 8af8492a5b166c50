// Hint texts and the tracking of the pointer over the shell's controls.
#include "app/Hints.h"

#include <QApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

#include "app/ShellApp.h"
#include "app/ShellControls.h"
#include "platform/NativeWindow.h"
#include "platform/QtConvert.h"

std::string GetShortHint(const std::string& hint) {
    const size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string GetLongHint(const std::string& hint) {
    const size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

void ShowLongHint(const std::string& hint) {
    if (Application) Application->SetHint(hint);
}

namespace {
// The hint shown for a control: its own, or the nearest parent's when it has none.
std::string HintOf(const TShellControl* control) {
    for (const TShellControl* c = control; c; c = c->Parent())
        if (!c->Hint().empty()) return c->Hint();
    return {};
}

class THintTracker : public QObject {
public:
    THintTracker() : QObject(qApp) { qApp->installEventFilter(this); }
    ~THintTracker() override {
        if (qApp) qApp->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        const QEvent::Type type = e->type();
        if (type != QEvent::Enter && type != QEvent::Leave && type != QEvent::ToolTip) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        // Library windows track their own windowless controls.
        if (!widget || NativeOf(widget)) return false;
        const TShellControl* control = TShellControl::FromWidget(widget);
        if (type == QEvent::Enter) {
            ShowLongHint(GetLongHint(HintOf(control)));
        } else if (type == QEvent::Leave) {
            // The pointer goes back to what holds the control.
            if (control && control->Widget() == widget) ShowLongHint(GetLongHint(HintOf(control->Parent())));
        } else if (control) {
            const std::string tip = GetShortHint(control->Hint());
            if (control->EffectiveShowHint() && !tip.empty())
                QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), DisplayString(tip), widget);
            else
                QToolTip::hideText();
            return true;
        }
        return false;
    }
};
} // namespace

QObject* InstallHintTracker() { return new THintTracker; }
