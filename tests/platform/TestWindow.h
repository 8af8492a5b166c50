#pragma once
// A window that records the messages it receives, shown inside a Qt host widget.
#include <QBackingStore>
#include <QImage>
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/NativeWindow.h"
#include "platform/Window.h"

struct TRecorder : IMessageHandler {
    std::vector<TMessage> Messages;
    std::function<bool(TMessage&)> Hook; // returns true when it handled the message
    HWND Window = nullptr;

    void WndProc(TMessage& m) override {
        Messages.push_back(m);
        if (Hook && Hook(m)) return;
        DefWindowProc(Window, m);
    }
    std::vector<TMessage> Of(UINT msg) const {
        std::vector<TMessage> out;
        for (const TMessage& m : Messages)
            if (m.Msg == msg) out.push_back(m);
        return out;
    }
    size_t Count(UINT msg) const { return Of(msg).size(); }
};

// A top-level host with one platform window filling part of it.
struct THostedWindow {
    QWidget Host;
    TRecorder Recorder;
    TWindow Window{Recorder};

    explicit THostedWindow(int width = 200, int height = 150, TWindowStyle style = {}) {
        Host.resize(width + 20, height + 20);
        Window.SetStyle(style);
        SetParentWidget(Window, &Host);
        Window.SetBounds(10, 10, width, height);
        Recorder.Window = Window.CreateHandle();
    }
    HWND Handle() const { return Window.Handle(); }
    QWidget* Area() const { return WidgetOf(Window.Handle()); }
    QWidget* Client() const { return ClientWidgetOf(Window.Handle()); }
    bool Show();
    // The pixels of the client area as the screen has them (the host's backing store).
    QImage ScreenPixels() const;
};
