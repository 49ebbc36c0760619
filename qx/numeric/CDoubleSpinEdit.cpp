#include "qx/numeric/CDoubleSpinEdit.h"

#include "qx/platform/Registry.h"

namespace CDoubleSpinEdit {
void Register() {
    RegisterComponents("ORVI", {TComponentClass::Of<TCDoubleSpinEdit>("TCDoubleSpinEdit")});
}
}  // namespace CDoubleSpinEdit
