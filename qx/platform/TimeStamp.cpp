#include "qx/platform/TimeStamp.h"

#include "qx/platform/Os.h"

namespace Process {
TTimeStamp::TTimeStamp() : llTime(qx::platform::PerformanceCounter()) {}
void TTimeStamp::set() {
    llTime = qx::platform::PerformanceCounter();
}
}  // namespace Process
