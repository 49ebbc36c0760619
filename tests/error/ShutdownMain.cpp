// Raises and traces errors from static destructors while the process ends normally.
// Usage: error_shutdown <folder>. Writes <folder>/shutdown.txt and exits with 0; exits with
// 3 when an error raised during shutdown was not recorded.
#include <unistd.h>

#include <string>

#include "qx/error/Qxexception.h"

namespace {

void RaiseAndTrace(unsigned long code, const char* text) {
    qx::error(code, __FILE__, __LINE__, "%s", text);
    qx::trace(__FILE__, __LINE__, "%s trace", text);
    if (qx::getErrorCode() != code || qx::rGetErrorInfo().uGetCurrentErrorEntry() != 2) _exit(3);
    qx::deleteError();
}

// Constructed before the error list exists, so destroyed after the list's own clean-up.
struct TEarly {
    ~TEarly() { RaiseAndTrace(0xE7436001, "early static"); }
} early;

// Constructed after the log was opened, so destroyed while it is still open.
struct TLate {
    ~TLate() { RaiseAndTrace(0xE7436002, "late static"); }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string log = std::string(argv[1]) + "/shutdown.txt";
    if (!qx::openErrorFile(log.c_str())) return 2;
    static TLate late;
    qx::error(0xE5136001, __FILE__, __LINE__, "before exit");
    qx::trace(__FILE__, __LINE__);
    qx::deleteError();
    return 0;
}
