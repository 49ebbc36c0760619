// Checks of printf formats that come from outside (files, column descriptors): exactly one
// conversion of an expected kind, and field sizes that cannot make printf run for seconds.
#pragma once

#include <cstddef>
#include <string>

namespace qx::detail {

// The length modifier of a conversion.
enum class TLength { None, Short, Long, LongLong };

// Which length modifiers a check accepts: none; only 'l' (a double: "%lf"); or those of an
// integer argument, "hh", 'h', 'l' and "ll".
enum class TLengths { None, LongOnly, Integer };

// The one conversion of a format.
struct TConversion {
    char conv = 0;
    TLength length = TLength::None;
};

// True when `format` holds exactly one conversion ("%%" aside), made of flags (-+ #0), a width,
// a precision, a length modifier that `lengths` accepts and a character of `allowed`; `found`
// (when given) then describes it. '*', an argument position ("%1$d"), "%lc" and every other
// conversion ('n' among them) are refused: each would read or write an argument that is not
// there, or one of another type.
bool findSingleConversion(const char* format, const char* allowed, TLengths lengths,
                          TConversion* found = nullptr);

// `format` with every width and precision cut to where it can no longer change the first
// `visible` characters of a conversion: printf would otherwise produce every padding character
// or digit of "%999999999f" before cutting the text. The rest is copied as it is.
std::string clampFormatFields(const char* format, std::size_t visible);

}  // namespace qx::detail
