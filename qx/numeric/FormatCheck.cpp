#include "qx/numeric/FormatCheck.h"

#include <algorithm>
#include <cstring>

namespace qx::detail {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isFlag(char c) {
    return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0';
}

// Reads the digits at p (if any) into out, cut to `limit`.
void copyNumber(const char*& p, std::size_t limit, std::string& out) {
    if (!isDigit(*p)) return;
    std::size_t v = 0;
    for (; isDigit(*p); ++p)
        if (v < limit) v = v * 10 + static_cast<std::size_t>(*p - '0');
    out += std::to_string(std::min(v, limit));
}

}  // namespace

bool findSingleConversion(const char* format, const char* allowed, TLengths lengths,
                          TConversion* found) {
    int count = 0;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        while (isFlag(*p)) ++p;
        while (isDigit(*p)) ++p;
        if (*p == '.') {
            ++p;
            while (isDigit(*p)) ++p;
        }
        TLength length = TLength::None;
        if (lengths == TLengths::Integer && p[0] == 'h') {
            length = TLength::Short;
            p += p[1] == 'h' ? 2 : 1;
        } else if (lengths == TLengths::Integer && p[0] == 'l') {
            length = p[1] == 'l' ? TLength::LongLong : TLength::Long;
            p += p[1] == 'l' ? 2 : 1;
        } else if (lengths == TLengths::LongOnly && p[0] == 'l') {
            length = TLength::Long;
            ++p;
        }
        if (*p == '\0' || std::strchr(allowed, *p) == nullptr) return false;
        if (*p == 'c' && length != TLength::None) return false;  // %lc takes a wide character
        if (found) *found = {*p, length};
        ++count;
    }
    return count == 1;
}

std::string clampFormatFields(const char* format, std::size_t visible) {
    // With a precision up to `precision`, no conversion of one argument is longer than
    // precision + 320 characters (the widest: "%f" of the largest double, 309 digits before
    // the point). A wider field only adds padding beyond what is visible.
    const std::size_t precision = std::max<std::size_t>(2048, visible);
    const std::size_t width = precision + 512 + visible;
    std::string out;
    for (const char* p = format; *p != '\0';) {
        out += *p;
        if (*p++ != '%') continue;
        if (*p == '%') {
            out += *p++;
            continue;
        }
        while (isFlag(*p)) out += *p++;
        copyNumber(p, width, out);
        if (*p == '.') {
            out += *p++;
            copyNumber(p, precision, out);
        }
    }
    return out;
}

}  // namespace qx::detail
