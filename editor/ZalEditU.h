#pragma once
// The editor control's base class: a library control bound to its form's controller.
#include "components/ZalBase.h"

// The root of the editor controls. It adds nothing to the bound library control; it
// exists so that the editor family has a base of its own to hang shared behaviour on.
class TZalEditBase : public TZalCustomControlEx {
public:
    explicit TZalEditBase(TComponent* owner);
    const char* ClassName() const override { return "TZalEditBase"; }
};
