#include "qx/numeric/FormatNumber.h"

#include "qx/platform/SysUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

class FormatNumberTest : public ::testing::Test {
  protected:
    void TearDown() override { DecimalSeparator = saved_; }
    char saved_ = DecimalSeparator;
};

std::string fmt(double x, bool prefix, int digits = 3) {
    return TFormatNumber(digits, prefix).format(x);
}

std::string print(double x, const char* format, std::size_t size = 256) {
    std::vector<char> out(size, 'X');
    vPrintDouble(x, format, out.data(), out.size());
    return out.data();
}

TEST_F(FormatNumberTest, PrefixAndExponentModes) {
    struct Case {
        double x;
        const char* prefix;
        const char* exponent;
    };
    const Case cases[] = {
        {12345, " 12.3 K", " 12300  "},   {0.000470, " 470 \xB5", " 470e-6 "},
        {0.0123, " 12.3 m", " 0.0123  "}, {5.5, " 5.5  ", " 5.5 "},
        {12000, " 12 K", " 12000  "},     {-2.5e-10, "-250 p", "-250e-12 "},
        {4.7e-8, " 47 n", " 47e-9 "},     {3.3e7, " 33 M", " 33e6 "},
        {1.5e10, " 15 G", " 15e9 "},      {2.5e12, " 2.5 T", " 2.5e12 "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fmt(c.x, true), c.prefix) << c.x;
        EXPECT_EQ(fmt(c.x, false), c.exponent) << c.x;
    }
}

TEST_F(FormatNumberTest, ZeroHugeAndNonFinite) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    for (bool prefix : {true, false}) {
        for (double zero : {0.0, 1e-13, -1e-13}) EXPECT_EQ(fmt(zero, prefix), " 0 ");
        EXPECT_EQ(fmt(2.5e15, prefix), " 2.500e+15 ");
        EXPECT_EQ(fmt(std::numeric_limits<double>::quiet_NaN(), prefix), " nan ");
        EXPECT_EQ(fmt(-inf, prefix), "-inf ");
    }
    const std::string thousand = fmt(1000, true);  // either neighbouring decade
    EXPECT_TRUE(thousand == " 1 K" || thousand == " 1000  ") << thousand;
}

TEST_F(FormatNumberTest, DigitCounts) {
    TFormatNumber f(3, true);
    EXPECT_STREQ(f.format(12345, 5), " 12.345 K");
    EXPECT_STREQ(f.format(12345), " 12.3 K");
    EXPECT_EQ(fmt(12345, true, 0), " 0 K");
    EXPECT_EQ(fmt(123456, false, 1), " 100000  ");
    for (int digits : {1000, INT_MAX, -1000, INT_MIN}) {  // stay inside the buffer
        for (double x : {1.0 / 3.0, 12345.678, 4.7e-11}) {
            const std::string s = fmt(x, digits > 0, digits);
            EXPECT_TRUE(!s.empty() && s.size() < 256u) << digits << " " << x;
        }
    }
}

TEST_F(FormatNumberTest, RoundOnlyNegativeDecimalsHalfAwayFromZero) {
    auto round = [](double x, int d) {
        TFormatNumber(3, true).vRound(x, d);
        return std::pair(x, d);
    };
    EXPECT_EQ(round(1250, -2), std::pair(1300.0, 0));
    EXPECT_EQ(round(-1250, -2), std::pair(-1300.0, 0));
    EXPECT_EQ(round(45000, -4), std::pair(50000.0, 0));
    EXPECT_EQ(round(1234567, -6), std::pair(1000000.0, 0));  // a power above 10^4 too
    EXPECT_EQ(round(12.34, 1), std::pair(12.34, 1));
    EXPECT_EQ(round(5e300, INT_MIN), std::pair(0.0, 0));
}

TEST_F(FormatNumberTest, GetNumber) {
    const TFormatNumber f(3, true);
    EXPECT_DOUBLE_EQ(f.dGetNumber("1,5e3"), 1500.0);
    EXPECT_DOUBLE_EQ(f.dGetNumber("  -2.25 K"), -2.25);
    EXPECT_DOUBLE_EQ(f.dGetNumber("abc"), 0.0);
    EXPECT_DOUBLE_EQ(f.dGetNumber(nullptr), 0.0);
    EXPECT_DOUBLE_EQ(f.dGetNumber(std::string(300, '9').c_str()), 1e127);  // first 127 count
}

TEST_F(FormatNumberTest, PrintDouble) {
    EXPECT_EQ(print(0.5, "%t2+"), " 500 m");
    EXPECT_EQ(print(12345, "value %t3 ignored"), " 12300  ");
    EXPECT_EQ(print(0.5, "%.2f"), "0.50");
    EXPECT_EQ(print(0.5, "[%+08.3lf%%]"), "[+000.500%]");
    EXPECT_EQ(print(1.0 / 3.0, "%.10f", 6), "0.333");
    for (const char* bad :
         {"%d", "%s", "%n", "%f %f", "%*f", "%.*f", "%Lf", "%1$f", "plain", "%", "%5."})
        EXPECT_EQ(print(1.5, bad), "") << bad;
    std::unique_ptr<char[]> endsInT(new char[3]{'%', 't', '\0'});  // nothing read past the end
    EXPECT_FALSE(print(1.5, endsInT.get()).empty());
}

TEST_F(FormatNumberTest, PrintDoubleCutsHugeFieldsToWhatFits) {
    // Beyond INT_MAX printf itself fails; cut, the text is what fits of the padded number.
    EXPECT_EQ(print(1.5, "%-4294967296f|"), "1.500000" + std::string(247, ' '));
    EXPECT_EQ(print(1.5, "%999999999.2f"), std::string(255, ' '));
    EXPECT_EQ(print(1.5, "%.999999999f", 12), "1.500000000");
    DecimalSeparator = ',';
    EXPECT_EQ(print(-1.5, "%0999999999.1f", 8), "-000000");
}

TEST_F(FormatNumberTest, DecimalComma) {
    DecimalSeparator = ',';
    EXPECT_EQ(fmt(12345, true), " 12,3 K");
    EXPECT_EQ(fmt(2.5e15, false), " 2,500e+15 ");
    EXPECT_EQ(print(0.5, "%.2f"), "0,50");
    EXPECT_EQ(print(0.5, "%t3"), " 0,5  ");
}

}  // namespace
