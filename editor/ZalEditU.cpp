// The editor control's base class.
#include "editor/ZalEditU.h"

TZalEditBase::TZalEditBase(TComponent* owner) : TZalCustomControlEx(owner) {}
