#include "qx/platform/Application.h"

#include <fstream>
#include <iterator>

namespace {
std::vector<AnsiString> readCmdline() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<AnsiString> args;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\0', start);
        if (end == std::string::npos) end = all.size();
        args.emplace_back(all.substr(start, end - start));
        start = end + 1;
    }
    if (args.empty()) args.emplace_back();
    return args;
}

TApplication& instance() {
    // Never destroyed: error reports read it during static destruction too.
    static TApplication* app = new TApplication;
    return *app;
}
}  // namespace

TApplication::TApplication() : args_(readCmdline()) {
    title_ = AnsiString(qx::platform::SplitPath(args_[0]).name);
}

AnsiString TApplication::ParamStr(int index) const {
    if (index < 0 || index >= static_cast<int>(args_.size())) return {};
    return args_[static_cast<size_t>(index)];
}

void TApplication::SetArguments(std::vector<AnsiString> args) {
    if (args.empty()) args.emplace_back();
    args_ = std::move(args);
}

void TApplication::SetArguments(int argc, const char* const* argv) {
    std::vector<AnsiString> args;
    for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
    SetArguments(std::move(args));
}

int TApplication::MessageBox(const char* text, const char* caption, int flags) {
    return qx::platform::WidgetSet().MessageBox(text ? text : "", caption ? caption : "", flags);
}

TApplication* const Application = &instance();
