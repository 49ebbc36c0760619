// TCDoubleSpinEdit: the framework's integer spin edit (TCSpinEdit) under a class name of its
// own, so that forms can refer to it; it behaves exactly as its base. Floating-point input with
// ranges, digits and factor stepping is TDoubleEdit's.
//
// Ownership: belongs to its owner, like any component; its spin button is an owned child.
// Threads: the thread that owns the windows.
#pragma once

#include "qx/platform/Controls.h"

class TCDoubleSpinEdit : public TCSpinEdit {
  public:
    explicit TCDoubleSpinEdit(TComponent* owner) : TCSpinEdit(owner) {}
};

namespace CDoubleSpinEdit {
// Registers TCDoubleSpinEdit on the component palette page "ORVI".
void Register();
}  // namespace CDoubleSpinEdit
