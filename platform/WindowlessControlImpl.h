#pragma once
// The state of a windowless control, shared with its parent's native window.
#include <QRect>

#include "platform/WindowlessControl.h"

struct TWindowlessControl::TImpl {
    IMessageHandler* handler = nullptr;
    TWindow* parent = nullptr;
    QRect bounds;
    bool visible = true, enabled = true;
    bool inside = false, captured = false;
};
