// qx: the package's functions and file formats from a shell.
#include <algorithm>
#include <cstdio>
#include <string>

#include "apps/qx/Commands.h"
#include "qx/qx.h"

namespace qxcli {

namespace {
std::vector<TCommand>& registry() {
    static std::vector<TCommand> commands;
    return commands;
}
}  // namespace

const std::vector<TCommand>& Commands() {
    return registry();
}

TRegistrar::TRegistrar(const char* name, const char* usage, CommandFn fn) {
    auto& r = registry();
    r.push_back({name, usage, fn});
    std::sort(r.begin(), r.end(),
              [](const TCommand& a, const TCommand& b) { return std::string(a.name) < b.name; });
}

void Print(const std::string& text) {
    std::fputs(qx::platform::Cp1252ToUtf8(text).c_str(), stdout);
}

int Fail(int code, const std::string& message) {
    std::fprintf(stderr, "qx: %s\n", qx::platform::Cp1252ToUtf8(message).c_str());
    return code;
}

std::string DescribeError(unsigned long code) {
    char head[32];
    std::snprintf(head, sizeof head, "error 0x%08lx", code);
    std::string text = std::string(head) + " (" + qx::cpGetErrorTypeText(code) + ")";
    const TErrorInfo& info = qx::rGetErrorInfo();
    if (info.uGetCurrentErrorEntry() > 0 && info[0].cpParam != nullptr)
        text += std::string(": ") + info[0].cpParam;
    qx::deleteError();
    return text;
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace qxcli

namespace {
std::string usage() {
    std::string u = "usage: qx COMMAND [ARGS]\n\ncommands:\n";
    for (const auto& c : qxcli::Commands()) u += c.usage;
    u += "  --help\n        this text\n\nTexts are printed as UTF-8.\n";
    return u;
}
}  // namespace

int main(int argc, char** argv) {
    Application->SetArguments(argc, argv);
    if (argc < 2) {
        std::fputs(usage().c_str(), stderr);
        return 2;
    }
    const std::string cmd = argv[1];
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        std::fputs(usage().c_str(), stdout);
        return 0;
    }
    for (const auto& c : qxcli::Commands())
        if (cmd == c.name) return c.fn(qxcli::Args(argv + 2, argv + argc));
    std::fprintf(stderr, "qx: unknown command '%s'\n\n%s", cmd.c_str(), usage().c_str());
    return 2;
}
