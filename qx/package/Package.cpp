#include "qx/package/Package.h"

#include "qx/error/Qxexception.h"
#include "qx/grid/Stringgridqx.h"
#include "qx/numeric/CDoubleSpinEdit.h"
#include "qx/numeric/DoubleEdit.h"
#include "qx/orvi_components/ORVI_TableView.h"
#include "qx/parser/Parser8.h"

namespace qx::package {

namespace {
int gCount = 0;
}

void vStartUp() {
    if (gCount++ == 0) rGetErrorInfo();
}

void vShutDown() {
    if (gCount == 0) return;
    if (--gCount == 0) detail::finalizeErrorInfo();
}

int iStartUpCount() {
    return gCount;
}

void vRegisterComponents() {
    Parser8::Register();
    ORVI_TableView::Register();
    DoubleEdit::Register();
    Stringgridqx::Register();
    CDoubleSpinEdit::Register();
}

}  // namespace qx::package
