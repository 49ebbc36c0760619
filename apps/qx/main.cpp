// qx: the package's functions and file formats from a shell.
#include <cstdio>
#include <cstring>

#include "apps/qx/Commands.h"
#include "qx/qx.h"

namespace {
const char* kUsage =
    "usage: qx COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  format VALUE [--digits N] [--prefix] [--comma]\n"
    "        print VALUE with N significant digits (default 3), with SI prefix letters\n"
    "        (--prefix) or exponent suffixes, optionally with a decimal comma\n"
    "  report [--english]\n"
    "        raise a sample error, add two trace entries and print the error report\n"
    "  --help\n"
    "        this text\n"
    "\n"
    "Texts are printed as UTF-8.\n";
}  // namespace

int main(int argc, char** argv) {
    Application->SetArguments(argc, argv);
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string cmd = argv[1];
    qxcli::Args args(argv + 2, argv + argc);
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (cmd == "format") return qxcli::FormatCommand(args);
    if (cmd == "report") return qxcli::ReportCommand(args);
    std::fprintf(stderr, "qx: unknown command '%s'\n\n%s", cmd.c_str(), kUsage);
    return 2;
}
