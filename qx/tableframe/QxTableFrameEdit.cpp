// The frame's value formatting and the cell-edit handler.
//
// Column formats come from files, so every format is checked before printf or scanf sees it
// (one conversion of the value's kind), and every value is read and written only inside its
// line.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "qx/error/Qxexception.h"
#include "qx/numeric/FormatCheck.h"
#include "qx/numeric/FormatNumber.h"
#include "qx/table/TableText.h"
#include "qx/numeric/StringUtils.h"
#include "qx/tableframe/QxTableFrame.h"

namespace {

using qx::detail::TConversion;
using qx::detail::TLength;
using qx::detail::TLengths;

constexpr char kIntegerConversions[] = "diuoxXc";
constexpr char kScanConversions[] = "diuoxX";
constexpr char kFloatConversions[] = "eEfFgGaA";

bool isInteger(TH5Type::TDataTyp t) {
    return t == TH5Type::eTypUChar || t == TH5Type::eTypUShort || t == TH5Type::eTypShort ||
           t == TH5Type::eTypULong || t == TH5Type::eTypLong;
}

// printf of one argument into a string of any length.
template <class T>
std::string print1(const char* format, T arg) {
    char small[256];
    const int n = std::snprintf(small, sizeof small, format, arg);
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < sizeof small)
        return std::string(small, static_cast<std::size_t>(n));
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, arg);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

// An integer given as its 32-bit pattern and as the number its type means. The argument
// matches the conversion's length: "%ld" gets a long holding the 32-bit meaning, so -5 prints
// as -5 and not as 4294967291.
std::string printInteger(const char* format, std::uint32_t bits, std::int64_t typed) {
    TConversion c;
    if (!qx::detail::findSingleConversion(format, kIntegerConversions, TLengths::Integer, &c))
        return {};
    const std::string f = qx::detail::clampFormatFields(format, TQxTableFrame::kWorkSize);
    const bool isSigned = c.conv == 'd' || c.conv == 'i';
    switch (c.length) {
        case TLength::None:
        case TLength::Short:
            return isSigned ? print1(f.c_str(), static_cast<int>(bits))
                            : print1(f.c_str(), static_cast<unsigned>(bits));
        case TLength::Long:
            return isSigned ? print1(f.c_str(), static_cast<long>(static_cast<std::int32_t>(bits)))
                            : print1(f.c_str(), static_cast<unsigned long>(bits));
        case TLength::LongLong:
            return isSigned ? print1(f.c_str(), static_cast<long long>(typed))
                            : print1(f.c_str(), static_cast<unsigned long long>(typed));
    }
    return {};
}

// Scans one integer with a checked format; the target is wide enough for any length
// modifier, so a format's modifier can never make scanf write past it.
bool scanInteger(const char* text, const char* format, std::uint32_t& bits) {
    TConversion c;
    if (!qx::detail::findSingleConversion(format, kScanConversions, TLengths::Integer, &c))
        return false;
    alignas(8) unsigned char store[8] = {};
    if (std::sscanf(text, format, store) != 1) return false;
    switch (c.length) {
        case TLength::None: {
            std::uint32_t v;
            std::memcpy(&v, store, 4);
            bits = v;
            return true;
        }
        case TLength::Short: {
            std::uint16_t v;
            std::memcpy(&v, store, 2);
            bits = v;
            return true;
        }
        case TLength::Long:
        case TLength::LongLong: {
            std::uint64_t v;
            std::memcpy(&v, store, 8);
            bits = static_cast<std::uint32_t>(v);  // cut to the column's width below
            return true;
        }
    }
    return false;
}

template <class T>
T load(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The stored integer as its 32-bit pattern and its typed value.
void loadInteger(const unsigned char* p, TH5Type::TDataTyp t, std::uint32_t& bits,
                 std::int64_t& typed) {
    switch (t) {
        case TH5Type::eTypUChar:
            bits = *p;
            typed = bits;
            break;
        case TH5Type::eTypUShort:
            bits = load<std::uint16_t>(p);
            typed = bits;
            break;
        case TH5Type::eTypShort: {
            const std::int16_t v = load<std::int16_t>(p);
            bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
            typed = v;
            break;
        }
        case TH5Type::eTypULong:
            bits = load<std::uint32_t>(p);
            typed = bits;
            break;
        default: {
            const std::int32_t v = load<std::int32_t>(p);
            bits = static_cast<std::uint32_t>(v);
            typed = v;
            break;
        }
    }
}

// A double narrowed to float without the undefined conversion of out-of-range values.
float toFloat(double d) {
    if (std::isfinite(d) && std::fabs(d) > FLT_MAX) return d > 0 ? HUGE_VALF : -HUGE_VALF;
    return static_cast<float>(d);
}

}  // namespace

void TQxTableFrame::vPrintDouble(double value, const char* format, char* out) {
    if (out == nullptr) return;
    out[0] = '\0';
    if (format == nullptr) return;
    if (std::strstr(format, "%t") != nullptr) {
        ::vPrintDouble(value, format, out, kWorkSize);
        return;
    }
    if (!qx::detail::findSingleConversion(format, kFloatConversions, TLengths::LongOnly)) return;
    const std::string f = qx::detail::clampFormatFields(format, kWorkSize);
    if (std::snprintf(out, kWorkSize, f.c_str(), value) < 0) out[0] = '\0';
}

void TQxTableFrame::vFormatString(const unsigned char* value, TH5Type::TDataTyp type,
                                  const std::string& format, AnsiString& out) {
    vFormatString(value, type, format, kWorkSize - 1, out);
}

void TQxTableFrame::vFormatString(const unsigned char* value, TH5Type::TDataTyp type,
                                  const std::string& format, std::size_t stringLimit,
                                  AnsiString& out) {
    out.clear();
    if (value == nullptr) return;
    const char* f = format.empty() ? qx::detail::defaultFormat(type) : format.c_str();
    if (isInteger(type)) {
        std::uint32_t bits = 0;
        std::int64_t typed = 0;
        loadInteger(value, type, bits, typed);
        out = printInteger(f, bits, typed);
        if (out.size() >= kWorkSize) out.resize(kWorkSize - 1);
        return;
    }
    switch (type) {
        case TH5Type::eTypString: {
            if (!qx::detail::findSingleConversion(f, "s", TLengths::None)) return;
            // Exactly the field's bytes when it holds no NUL.
            const std::string text(reinterpret_cast<const char*>(value),
                                   strnlen(reinterpret_cast<const char*>(value), stringLimit));
            const std::string clamped = qx::detail::clampFormatFields(f, text.size() + kWorkSize);
            out = print1(clamped.c_str(), text.c_str());
            return;
        }
        case TH5Type::eTypFloat:
        case TH5Type::eTypDouble: {
            char work[kWorkSize];
            const double d = type == TH5Type::eTypFloat ? load<float>(value) : load<double>(value);
            vPrintDouble(d, f, work);
            out = work;
            return;
        }
        default:
            return;
    }
}

bool TQxTableFrame::StringGridQxECellContentChanged(int row, int column) {
    try {
        // Cells beside the table (the grid's spare rows and columns) have no value to change.
        if (row < 0 || column < 0 || row >= iGetLineCount() || column >= iGetColCount())
            return false;
        const TQxTable::TItem& c = tTable.vColumns[static_cast<std::size_t>(column)];
        const std::uint64_t end = std::uint64_t{c.uOffset} + qx::detail::valueSize(c);
        if (end > tTable.uGetLineSize()) return false;
        const char* f = c.sFormat.empty() ? qx::detail::defaultFormat(c.eTyp) : c.sFormat.c_str();
        const AnsiString typedText = StringGridQx->cpGetCellString(row, column);
        unsigned char* p = vLineBuffers[static_cast<std::size_t>(row)].get() + c.uOffset;
        std::string work;
        if (isInteger(c.eTyp)) {
            std::uint32_t bits = 0;
            std::int64_t typed = 0;
            if (scanInteger(typedText.c_str(), f, bits))
                std::memcpy(p, &bits,
                            qx::detail::valueSize(c));  // little-endian: the low bytes
            loadInteger(p, c.eTyp, bits, typed);
            work = printInteger(f, bits, typed);
            if (work.size() >= kWorkSize) work.resize(kWorkSize - 1);
        } else if (c.eTyp == TH5Type::eTypString) {
            if (c.uStringSize > 0) {
                const std::size_t n = std::min<std::size_t>(typedText.size(), c.uStringSize - 1);
                std::memcpy(p, typedText.data(), n);
                p[n] = '\0';
                work.assign(typedText.data(), n);
            }
        } else if (c.eTyp == TH5Type::eTypFloat || c.eTyp == TH5Type::eTypDouble) {
            char text[kWorkSize];
            const std::size_t n = std::min<std::size_t>(typedText.size(), kWorkSize - 1);
            std::memcpy(text, typedText.data(), n);
            text[n] = '\0';
            komma2punkt(text);
            double d = 0;
            const bool isFloat = c.eTyp == TH5Type::eTypFloat;
            if (std::sscanf(text, "%le", &d) == 1) {
                if (isFloat) {
                    const float v = toFloat(d);
                    std::memcpy(p, &v, sizeof v);
                } else {
                    std::memcpy(p, &d, sizeof d);
                }
            }
            d = isFloat ? load<float>(p) : load<double>(p);
            char out[kWorkSize];
            vPrintDouble(d, f, out);
            work = out;
        }
        StringGridQx->vSetCellString(row, column, work.c_str());
        return true;
    } catch (...) {
        QX_PASS();
    }
}
