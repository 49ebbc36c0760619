#include "qx/platform/SysUtils.h"

#include <ctime>

char DecimalSeparator = '.';
AnsiString LongTimeFormat = "hh:nn:ss";

namespace qx::platform {

namespace {
bool isSep(char c) {
    return c == '/' || c == '\\';
}
}  // namespace

TPathParts SplitPath(std::string_view path) {
    TPathParts p{};
    std::string_view rest = path;
    if (rest.size() >= 2 && rest[1] == ':' &&
        ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z'))) {
        p.drive = rest.substr(0, 2);
        rest.remove_prefix(2);
    }
    size_t lastSep = std::string_view::npos;
    for (size_t i = 0; i < rest.size(); ++i)
        if (isSep(rest[i])) lastSep = i;
    if (lastSep != std::string_view::npos) {
        p.dir = rest.substr(0, lastSep + 1);
        rest.remove_prefix(lastSep + 1);
    }
    size_t dot = rest.rfind('.');
    if (dot == std::string_view::npos) {
        p.name = rest;
    } else {
        p.name = rest.substr(0, dot);
        p.ext = rest.substr(dot);
    }
    return p;
}

std::string_view FileNameOf(std::string_view path) {
    TPathParts p = SplitPath(path);
    // name and ext are adjacent in the original text
    return std::string_view(p.name.data(), p.name.size() + p.ext.size());
}

TLocalTime LocalTime() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

AnsiString FormatLongTime(const TLocalTime& t) {
    AnsiString out;
    const std::string& f = LongTimeFormat;
    for (size_t i = 0; i < f.size();) {
        char c = f[i];
        char lc = static_cast<char>(c | 0x20);
        if (lc == 'h' || lc == 'n' || lc == 's') {
            bool twoDigits = i + 1 < f.size() && (f[i + 1] | 0x20) == lc;
            int v = lc == 'h' ? t.hour : lc == 'n' ? t.minute : t.second;
            if (twoDigits || v >= 10) out += static_cast<char>('0' + v / 10);
            out += static_cast<char>('0' + v % 10);
            i += twoDigits ? 2 : 1;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

}  // namespace qx::platform
