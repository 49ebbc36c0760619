// Numbers with a fixed count of significant digits, scaled by decades of three: either with an
// SI prefix letter (" 12.3 K", " 470 \xB5") or with an exponent suffix (" 470e-6 ").
//
// Texts are code page 1252; the decimal point becomes a comma when DecimalSeparator is ','.
// Formatting and reading never depend on the C locale.
#pragma once

#include <array>
#include <cstddef>

// Formats values for tables, edits and exports.
//
// The object owns a 256-character text buffer; format() returns a pointer into it that stays
// valid until the next format() call, assignment or destruction. Not synchronised: use one
// instance per thread.
class TFormatNumber {
  public:
    // digits: significant digits shown; prefix: SI prefix letters (true) or exponent suffixes.
    TFormatNumber(int digits, bool prefix);

    // Copies digits, prefix mode and the whole text buffer.
    TFormatNumber(const TFormatNumber&) = default;
    TFormatNumber& operator=(const TFormatNumber&) = default;
    ~TFormatNumber() = default;

    // The text of x: a sign column ('-' or blank), the number with trailing zeros after the
    // point removed, then the suffix (" K", "e-6 ", blanks, ...). |x| <= 1e-12 gives " 0 ";
    // from 1e13 up the text is "%.3le " without suffix; NaN gives " nan ", infinity " inf ".
    const char* format(double x);
    // As format(x) with `digits` significant digits for this one call.
    const char* format(double x, int digits);

    void setPraefix(bool prefix) { prefix_ = prefix; }
    bool getPraefix() const { return prefix_; }

    // When decimals < 0, rounds x half away from zero to a multiple of 10^-decimals and sets
    // decimals to 0; otherwise changes nothing.
    void vRound(double& x, int& decimals);

    // Reads a number from text (at most its first 127 characters); the first ',' counts as the
    // decimal point. Prefix letters and suffixes are not interpreted. 0.0 when there is none.
    double dGetNumber(const char* text) const;

  private:
    std::array<char, 256> text_{};
    int digits_;
    bool prefix_;
};

// printf-like formatting of one double into out (outSize bytes, always terminated, cut when
// longer).
//  - A format containing "%t" yields exactly TFormatNumber's text: the character after "%t" is
//    the digit count ('0' + n), a following '+' selects prefix letters ("%t3+", "%t4").
//  - Otherwise the format must hold exactly one floating conversion (e, E, f, F, g, G, a, A with
//    optional flags, width, precision and an 'l'), besides any "%%"; it is applied to x.
//    Any other format gives an empty text. Widths and precisions too large to change the text
//    that fits in out are cut first, so that "%999999999f" costs no more than "%4000f".
// The point becomes a comma when DecimalSeparator is ','. A null out or outSize 0 does nothing.
void vPrintDouble(double x, const char* format, char* out, std::size_t outSize);

// As above with an out buffer of 256 characters, which always suffices for "%t".
void vPrintDouble(double x, const char* format, char* out);
