#include "qx/numeric/StringUtils.h"

#include "qx/platform/SysUtils.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Explicit range: isdigit() on a negative char (any byte >= 0x80 here) is undefined.
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void replaceBetweenDigits(char* text, char from, char to) {
    if (text == nullptr) return;
    const std::size_t len = std::strlen(text);
    if (len < 3) return;
    for (std::size_t i = 1; i + 1 < len; ++i) {
        if (text[i] == from && isDigit(text[i - 1]) && isDigit(text[i + 1])) text[i] = to;
    }
}

struct TCharPair {
    unsigned char ansi;
    unsigned char oem;
};

// Upper and lower umlauts, sharp s, section sign and degree sign: code page 1252, code page 850.
constexpr TCharPair kCharTable[] = {
    {196, 142}, {214, 153}, {220, 154}, {228, 132}, {246, 148},
    {252, 129}, {223, 225}, {167, 245}, {176, 248},
};

char* mapChars(char* text, bool toOem) {
    if (text == nullptr) return text;
    for (char* p = text; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        for (const TCharPair& pair : kCharTable) {
            if (c == (toOem ? pair.ansi : pair.oem)) {
                *p = static_cast<char>(toOem ? pair.oem : pair.ansi);
                break;
            }
        }
    }
    return text;
}

// The "C" locale object, created once; never freed (it lives as long as the process).
locale_t cLocale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

// Switches the calling thread to the "C" locale for its lifetime.
class TCLocaleScope {
  public:
    TCLocaleScope() : old_(cLocale() != nullptr ? uselocale(cLocale()) : nullptr) {}
    ~TCLocaleScope() {
        if (old_ != nullptr) uselocale(old_);
    }
    TCLocaleScope(const TCLocaleScope&) = delete;
    TCLocaleScope& operator=(const TCLocaleScope&) = delete;

  private:
    locale_t old_;
};

bool isNullOrEmpty(const char* s) {
    return s == nullptr || *s == '\0';
}

}  // namespace

void komma2punkt(char* text) {
    replaceBetweenDigits(text, ',', '.');
}

void punkt2komma(char* text) {
    replaceBetweenDigits(text, '.', ',');
}

char* modKomma(char* text) {
    komma2punkt(text);
    return text;
}

char* modPunkt(char* text) {
    if (DecimalSeparator == ',') punkt2komma(text);
    return text;
}

char* ansi2asciiString(char* text) {
    return mapChars(text, true);
}

char* ascii2ansiString(char* text) {
    return mapChars(text, false);
}

bool ie(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return isNullOrEmpty(a) && isNullOrEmpty(b);
    return std::strcmp(a, b) == 0;
}

bool iez(char* a, char* b) {
    if (a == nullptr || b == nullptr) return isNullOrEmpty(a) && isNullOrEmpty(b);
    double x = 0.0;
    double y = 0.0;
    if (!qx::detail::readNumberC(modKomma(a), x)) return false;
    if (!qx::detail::readNumberC(modKomma(b), y)) return false;
    return std::fabs(x - y) < 1e-6;
}

void formatBinaer(char* out, unsigned long value, int bits) {
    if (out == nullptr) return;
    if (bits <= 0) {
        out[0] = '\0';
        return;
    }
    std::memset(out, '0', static_cast<std::size_t>(bits));
    out[bits] = '\0';
    const int used = bits < 32 ? bits : 32;
    for (int k = 0; k < used; ++k) {
        if ((value >> k) & 1UL) out[bits - 1 - k] = '1';
    }
}

const char* cpGetPtrAfterPath(const char* path) {
    if (path == nullptr) return nullptr;
    const char* after = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') after = p + 1;
    }
    return after;
}

char* cpGetPtrAfterPath(char* path) {
    return const_cast<char*>(cpGetPtrAfterPath(static_cast<const char*>(path)));
}

int chdirName(const char* path) {
    if (path == nullptr) return -1;
    // No fixed buffer: any path length is handled, the system decides what it accepts.
    std::string dir(path, static_cast<std::size_t>(cpGetPtrAfterPath(path) - path));
    if (dir.empty()) {
        errno = ENOENT;
        return -1;
    }
    for (char& c : dir) {
        if (c == '\\') c = '/';
    }
    return ::chdir(dir.c_str());
}

bool bExistFile(const char* path) {
    if (path == nullptr) return false;
    // O_NONBLOCK: opening a FIFO for reading must not wait for a writer.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
    ::close(fd);
    return ok;
}

namespace qx::detail {

int printC(char* out, std::size_t size, const char* format, ...) {
    TCLocaleScope scope;
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(out, size, format, args);
    va_end(args);
    return n;
}

bool readNumberC(const char* text, double& value) {
    if (text == nullptr) return false;
    char* end = nullptr;
    const double v =
        cLocale() != nullptr ? strtod_l(text, &end, cLocale()) : std::strtod(text, &end);
    if (end == text) return false;
    value = v;
    return true;
}

}  // namespace qx::detail
