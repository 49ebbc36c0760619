// The number formatting and error report commands.
#include "apps/qx/Commands.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "qx/qx.h"

namespace qxcli {

namespace {
// A whole-text number; a decimal comma is accepted as well as a point.
bool parseNumber(std::string text, double& out) {
    modKomma(text.data());
    errno = 0;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0' && errno != ERANGE && std::isfinite(out);
}

int FormatCommand(const Args& args) {
    std::string value;
    int digits = 3;
    bool prefix = false, comma = false, haveValue = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--digits") {
            if (++i >= args.size()) return Fail(2, "--digits needs a number");
            char* end = nullptr;
            long n = std::strtol(args[i].c_str(), &end, 10);
            if (*end || n < 1 || n > 9) return Fail(2, "--digits takes 1 to 9");
            digits = static_cast<int>(n);
        } else if (a == "--prefix") {
            prefix = true;
        } else if (a == "--comma") {
            comma = true;
        } else if (!haveValue &&
                   (a.empty() || a[0] != '-' ||
                    (a.size() > 1 && (std::isdigit(static_cast<unsigned char>(a[1])) ||
                                      a[1] == '.' || a[1] == ',')))) {
            value = a;
            haveValue = true;
        } else {
            return Fail(2, "format: unexpected argument '" + a + "'");
        }
    }
    if (!haveValue) return Fail(2, "format: VALUE is missing");
    double x = 0;
    if (!parseNumber(value, x)) return Fail(2, "format: '" + value + "' is not a number");
    const char saved = DecimalSeparator;
    if (comma) DecimalSeparator = ',';
    TFormatNumber fn(digits, prefix);
    Print(std::string("\"") + fn.format(x) + "\"\n");
    DecimalSeparator = saved;
    return 0;
}

int ReportCommand(const Args& args) {
    for (const std::string& a : args) {
        if (a == "--english")
            TLanguage::setEnglisch();
        else
            return Fail(2, "report: unexpected argument '" + a + "'");
    }
    // A sample error as a grid would raise it, passed up through two functions.
    try {
        try {
            try {
                QX_RAISE(0xE5136001UL, "FixedRows=%d NumCol=%d", 5, 3);
            } catch (...) {
                QX_PASS();
            }
        } catch (...) {
            QX_PASS();
        }
    } catch (unsigned long) {
        std::vector<char> buffer(64 * 1024);
        qx::SPrintfErrorMessage(buffer.data(), static_cast<int>(buffer.size()));
        Print(std::string(buffer.data()) + "\n");
        qx::deleteError();
    }
    return 0;
}

}  // namespace

QXCLI_COMMAND("format",
              "  format VALUE [--digits N] [--prefix] [--comma]\n"
              "        print VALUE with N significant digits (default 3), with SI prefix letters\n"
              "        (--prefix) or exponent suffixes, optionally with a decimal comma\n",
              FormatCommand);
QXCLI_COMMAND("report",
              "  report [--english]\n"
              "        raise a sample error, add two trace entries and print the error report\n",
              ReportCommand);

}  // namespace qxcli
