#include "qx/package/Package.h"

#include "qx/error/Qxexception.h"

namespace qx::package {

namespace {
int gCount = 0;
}

void vStartUp() {
    if (gCount++ == 0) rGetErrorInfo();
}

void vShutDown() {
    if (gCount == 0) return;
    if (--gCount == 0) detail::vFinalizeErrorInfo();
}

int iStartUpCount() { return gCount; }

}  // namespace qx::package
