#include "qx/numeric/FormatNumber.h"

#include "qx/numeric/FormatCheck.h"
#include "qx/numeric/StringUtils.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

// Decimals beyond this are cut so that any digit count fits the 256-character buffer:
// sign + at most 7 integer digits + point + decimals + suffix + terminator.
constexpr long long kMaxDecimals = 200;
// Rounding to more than 10^308 gives 0 for every finite double anyway.
constexpr int kMaxRoundPower = 308;

// One group of three decades: the highest decade e (digits before the point) it covers, the
// power s of the scale factor 10^s and the suffix, for prefix and for exponent mode.
struct TDecadeRow {
    int maxDecade;
    int prefixPower;
    const char* prefixSuffix;
    int exponentPower;
    const char* exponentSuffix;
};

constexpr TDecadeRow kRows[] = {
    {-9, 12, " p", 12, "e-12 "}, {-6, 9, " n", 9, "e-9 "},  {-3, 6, " \xB5", 6, "e-6 "},
    {0, 3, " m", 0, "  "},       {3, 0, "  ", 0, " "},      {6, -3, " K", 0, "  "},
    {9, -6, " M", -6, "e6 "},    {12, -9, " G", -9, "e9 "}, {13, -12, " T", -12, "e12 "},
};
// From this decade on (values from 1e13) the text is "%.3e " without scaling.
constexpr int kFirstHugeDecade = 14;

// Scales by an exact power of ten; dividing for negative powers keeps the quotient correctly
// rounded (x * 1e-3 is not).
double scaled(double x, int power) {
    return power >= 0 ? x * std::pow(10.0, power) : x / std::pow(10.0, -power);
}

void copyText(char* out, std::size_t size, const char* text) {
    const std::size_t n = strnlen(text, size - 1);
    std::memcpy(out, text, n);
    out[n] = '\0';
}

void removeTrailingZeros(char* text) {
    std::size_t len = std::strlen(text);
    if (len == 0 || text[len - 1] != '0' || std::strchr(text, '.') == nullptr) return;
    while (len > 0 && text[len - 1] == '0') text[--len] = '\0';
    if (len > 0 && text[len - 1] == '.') text[--len] = '\0';
}

}  // namespace

TFormatNumber::TFormatNumber(int digits, bool prefix) : digits_(digits), prefix_(prefix) {}

const char* TFormatNumber::format(double x, int digits) {
    const int stored = digits_;
    digits_ = digits;
    format(x);
    digits_ = stored;
    return text_.data();
}

const char* TFormatNumber::format(double x) {
    char* const buf = text_.data();
    const std::size_t cap = text_.size();

    char sign = ' ';
    if (x < 0) {
        sign = '-';
        x = -x;
    }
    if (std::isnan(x)) {
        copyText(buf, cap, " nan ");
        return buf;
    }
    if (x <= 1e-12) {
        // No sign for values that show as zero.
        copyText(buf, cap, " 0 ");
        return buf;
    }

    const int decade =
        std::isinf(x) ? kFirstHugeDecade : static_cast<int>(std::floor(std::log10(x))) + 1;
    if (decade >= kFirstHugeDecade) {
        qx::detail::printC(buf, cap, "%c%.3e ", sign, x);
        modPunkt(buf);
        return buf;
    }

    const TDecadeRow* row = &kRows[0];
    while (decade > row->maxDecade) ++row;  // the last row covers decade 13
    const int power = prefix_ ? row->prefixPower : row->exponentPower;
    const char* suffix = prefix_ ? row->prefixSuffix : row->exponentSuffix;

    double value = scaled(x, power);
    long long wanted = static_cast<long long>(digits_) - (decade + power);
    wanted = std::clamp(wanted, -static_cast<long long>(kMaxRoundPower) - 1, kMaxDecimals);
    int decimals = static_cast<int>(wanted);
    vRound(value, decimals);

    qx::detail::printC(buf, cap, "%c%.*f", sign, decimals, value);
    removeTrailingZeros(buf);
    const std::size_t len = std::strlen(buf);
    copyText(buf + len, cap - len, suffix);
    modPunkt(buf);
    return buf;
}

void TFormatNumber::vRound(double& x, int& decimals) {
    if (decimals >= 0) return;
    const int power = decimals < -kMaxRoundPower ? kMaxRoundPower : -decimals;
    const double unit = std::pow(10.0, power);
    const double rounded = std::floor(std::fabs(x) / unit + 0.5) * unit;
    x = x < 0 ? -rounded : rounded;
    decimals = 0;
}

double TFormatNumber::dGetNumber(const char* text) const {
    if (text == nullptr) return 0.0;
    char copy[128];
    copyText(copy, sizeof copy, text);
    if (char* comma = std::strchr(copy, ',')) *comma = '.';
    double value = 0.0;
    return qx::detail::readNumberC(copy, value) ? value : 0.0;
}

void vPrintDouble(double x, const char* format, char* out, std::size_t outSize) {
    if (out == nullptr || outSize == 0) return;
    out[0] = '\0';
    if (format == nullptr) return;

    if (const char* t = std::strstr(format, "%t")) {
        const char digit = t[2];
        const bool prefix = digit != '\0' && t[3] == '+';
        TFormatNumber formatter(digit - '0', prefix);
        copyText(out, outSize, formatter.format(x));
    } else if (qx::detail::findSingleConversion(format, "eEfFgGaA",
                                                qx::detail::TLengths::LongOnly)) {
        const std::string clamped = qx::detail::clampFormatFields(format, outSize);
        if (qx::detail::printC(out, outSize, clamped.c_str(), x) < 0) out[0] = '\0';
    }
    modPunkt(out);
}

void vPrintDouble(double x, const char* format, char* out) {
    vPrintDouble(x, format, out, 256);
}
