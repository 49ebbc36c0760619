// Raises, traces and reports errors from static destructors while the process ends normally.
// Usage: error_shutdown <folder>. Writes <folder>/shutdown.txt and exits with 0; exits with
// 3 when an error raised during shutdown was not recorded, 4 when its report is wrong.
#include <unistd.h>

#include <cstring>
#include <string>

#include "qx/error/Qxexception.h"
#include "qx/platform/Application.h"

namespace {

void RaiseTraceAndReport(unsigned long code, const char* text) {
    qx::error(code, __FILE__, __LINE__, "%s", text);
    qx::trace(__FILE__, __LINE__, "%s trace", text);
    if (qx::getErrorCode() != code || qx::rGetErrorInfo().uGetCurrentErrorEntry() != 2) _exit(3);
    // An outermost handler may report the error as text.
    static char report[8192];
    qx::SPrintfErrorMessage(report, sizeof report);
    if (!std::strstr(report, text) || !std::strstr(report, "Error facility shutdown test"))
        _exit(4);
    qx::deleteError();
}

// Constructed before the error list and the application object are first used, so destroyed
// after them and after the list's own clean-up at exit.
struct TEarly {
    ~TEarly() { RaiseTraceAndReport(0xE7436001, "early static"); }
} early;

// Constructed after the log was opened, so destroyed while it is still open.
struct TLate {
    ~TLate() { RaiseTraceAndReport(0xE7436002, "late static"); }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    Application->SetTitle("Error facility shutdown test");
    const std::string log = std::string(argv[1]) + "/shutdown.txt";
    if (!qx::openErrorFile(log.c_str())) return 2;
    static TLate late;
    RaiseTraceAndReport(0xE5136001, "before exit");
    return 0;
}
