// Number texts: format checks, the formatter, printing through a format, the decimal separator,
// code pages, text and number equality, binary digits, file-name parts and the working folder.
#include "qx/numeric/FormatCheck.h"
#include "qx/numeric/FormatNumber.h"
#include "qx/numeric/StringUtils.h"

#include "qx/platform/SysUtils.h"
#include "tests/support/TestSupport.h"

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace qx::detail;

// Restores the process-wide decimal separator the tests change.
class NumberTextTest : public ::testing::Test {
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

std::string after(std::string s, void (*fn)(char*)) {
    fn(s.data());
    return s.c_str();
}

// Cutting a field must not change what fits in the buffer, also where the conversion itself
// is longer than the precision limit (a huge "%f") or padded with zeros after a sign.
template <class T>
void expectSameText(const char* format, T value, std::size_t size) {
    std::vector<char> direct(size), clamped(size);
    const std::string cut = clampFormatFields(format, size);
    ASSERT_NE(cut, format) << "the case must exercise the clamp";
    std::snprintf(direct.data(), size, format, value);
    std::snprintf(clamped.data(), size, cut.c_str(), value);
    EXPECT_EQ(std::string(clamped.data()), std::string(direct.data())) << format;
}

TEST(FormatCheck, CuttingKeepsTheVisibleText) {
    for (std::size_t size : {std::size_t{6}, std::size_t{256}, std::size_t{1024}}) {
        expectSameText("%9000.2048f", -1.7976931348623157e308, size);
        expectSameText("%-9000.5000f", 1.0 / 3.0, size);
        expectSameText("%+09000.5000e", 1e-300, size);
        expectSameText("%.5000f", 4.9e-324, size);
        expectSameText("%#09000x", 255u, size);
        expectSameText("%9000.5000s", "text", size);
    }
}

TEST_F(NumberTextTest, PrefixAndExponentModes) {
    const struct {
        double x;
        const char *prefix, *exponent;
    } cases[] = {
        {12345, " 12.3 K", " 12300  "},   {0.000470, " 470 \xB5", " 470e-6 "},
        {0.0123, " 12.3 m", " 0.0123  "}, {5.5, " 5.5  ", " 5.5 "},
        {12000, " 12 K", " 12000  "},     {-2.5e-10, "-250 p", "-250e-12 "},
        {4.7e-8, " 47 n", " 47e-9 "},     {3.3e7, " 33 M", " 33e6 "},
        {1.5e10, " 15 G", " 15e9 "},      {2.5e12, " 2.5 T", " 2.5e12 "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fmt(c.x, true), c.prefix) << c.x;
        EXPECT_EQ(fmt(c.x, false), c.exponent) << c.x;
    }
    DecimalSeparator = ',';
    EXPECT_EQ(fmt(12345, true), " 12,3 K");
    EXPECT_EQ(fmt(2.5e15, false), " 2,500e+15 ");
}

TEST_F(NumberTextTest, ZeroHugeNonFiniteDigitCountsAndRounding) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    for (bool prefix : {true, false}) {
        for (double zero : {0.0, 1e-13, -1e-13}) EXPECT_EQ(fmt(zero, prefix), " 0 ");
        EXPECT_EQ(fmt(2.5e15, prefix), " 2.500e+15 ");
        EXPECT_EQ(fmt(std::numeric_limits<double>::quiet_NaN(), prefix), " nan ");
        EXPECT_EQ(fmt(-inf, prefix), "-inf ");
    }

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
    // Only negative decimals round, half away from zero.
    auto round = [&f](double x, int d) {
        f.vRound(x, d);
        return std::pair(x, d);
    };
    EXPECT_EQ(round(1250, -2), std::pair(1300.0, 0));
    EXPECT_EQ(round(-1250, -2), std::pair(-1300.0, 0));
    EXPECT_EQ(round(1234567, -6), std::pair(1000000.0, 0));  // a power above 10^4 too
    EXPECT_EQ(round(12.34, 1), std::pair(12.34, 1));
    EXPECT_EQ(round(5e300, INT_MIN), std::pair(0.0, 0));

    EXPECT_DOUBLE_EQ(f.dGetNumber("1,5e3"), 1500.0);
    EXPECT_DOUBLE_EQ(f.dGetNumber("  -2.25 K"), -2.25);
    EXPECT_DOUBLE_EQ(f.dGetNumber("abc"), 0.0);
    EXPECT_DOUBLE_EQ(f.dGetNumber(nullptr), 0.0);
    EXPECT_DOUBLE_EQ(f.dGetNumber(std::string(300, '9').c_str()), 1e127);  // first 127 count
}

TEST_F(NumberTextTest, PrintDoubleCutsHugeFieldsToWhatFits) {
    EXPECT_EQ(print(0.5, "%t2+"), " 500 m");
    EXPECT_EQ(print(12345, "value %t3 ignored"), " 12300  ");
    EXPECT_EQ(print(0.5, "%.2f"), "0.50");
    EXPECT_EQ(print(0.5, "[%+08.3lf%%]"), "[+000.500%]");
    EXPECT_EQ(print(1.0 / 3.0, "%.10f", 6), "0.333");
    // One conversion of a floating kind, with at most an 'l', or nothing is printed.
    for (const char* good : {"%f", "%lf", "x %-+ #010.3e y", "%%%G%%", "%.f", "%5.A"})
        EXPECT_NE(print(1.5, good), "") << good;
    for (const char* bad : {"", "plain", "%", "%%", "%f %e", "%*f", "%.*f", "%1$f", "%Lf", "%hf",
                            "%llf", "%d", "%n", "%5."})
        EXPECT_EQ(print(1.5, bad), "") << bad;
    std::unique_ptr<char[]> endsInT(new char[3]{'%', 't', '\0'});  // nothing read past the end
    EXPECT_FALSE(print(1.5, endsInT.get()).empty());
    // Beyond INT_MAX printf itself fails; cut, the text is what fits of the padded number.
    EXPECT_EQ(print(1.5, "%-4294967296f|"), "1.500000" + std::string(247, ' '));
    EXPECT_EQ(print(1.5, "%999999999.2f"), std::string(255, ' '));
    EXPECT_EQ(print(1.5, "%.999999999f", 12), "1.500000000");
    DecimalSeparator = ',';
    EXPECT_EQ(print(-1.5, "%0999999999.1f", 8), "-000000");
    EXPECT_EQ(print(0.5, "%.2f"), "0,50");
    EXPECT_EQ(print(0.5, "%t3"), " 0,5  ");
}

TEST_F(NumberTextTest, SeparatorBetweenDigitsOnly) {
    EXPECT_EQ(after("12,50 EUR", komma2punkt), "12.50 EUR");
    EXPECT_EQ(after("1,234,5", komma2punkt), "1.234.5");
    for (const char* same : {"x,y", "1,", ",5", "", "\xE4,1"})
        EXPECT_EQ(after(same, komma2punkt), same);
    EXPECT_EQ(after("3.14 v1.x .5", punkt2komma), "3,14 v1.x .5");
    komma2punkt(nullptr);
    char text[] = "3.14";
    EXPECT_STREQ(modPunkt(text), "3.14");
    DecimalSeparator = ',';
    EXPECT_STREQ(modPunkt(text), "3,14");
    EXPECT_STREQ(modKomma(text), "3.14");
}

TEST(StringUtils, CodePagesEqualityBinaryDigitsFileNamePartsAndFolders) {
    const std::string text =
        "Gr\xF6\xDF"
        "e 20\xB0 \xC4\xD6\xDC\xE4\xFC\xA7 plain";
    std::string s = text;
    EXPECT_EQ(ansi2asciiString(s.data()), s.data());
    EXPECT_EQ(s,
              "Gr\x94\xE1"
              "e 20\xF8 \x8E\x99\x9A\x84\x81\xF5 plain");
    ascii2ansiString(s.data());
    EXPECT_EQ(s, text);

    EXPECT_TRUE(ie(nullptr, nullptr) && ie(nullptr, "") && ie("", nullptr) && ie("abc", "abc"));
    EXPECT_FALSE(ie(nullptr, "a") || ie("abc", "ABC") || ie("abc", "abcd"));
    auto eq = [](std::string a, std::string b) { return iez(a.data(), b.data()); };
    EXPECT_TRUE(eq("1,0000001", "1.0") && eq(" 2,5 V", "2.5"));
    EXPECT_FALSE(eq("1.00001", "1.0") || eq("abc", "abc"));
    EXPECT_FALSE(eq("1e9", "1.000000001e9"));  // absolute, not relative
    char empty[] = "", a[] = "1,5", b[] = "1,5";
    EXPECT_TRUE(iez(nullptr, nullptr) && iez(nullptr, empty) && !iez(a, nullptr));
    EXPECT_TRUE(iez(a, b));
    EXPECT_STREQ(a, "1.5");  // the caller's texts change

    char out[64];
    formatBinaer(out, 5, 8);
    EXPECT_STREQ(out, "00000101");
    formatBinaer(out, 5, 2);
    EXPECT_STREQ(out, "01");
    formatBinaer(out, 5, -3);
    EXPECT_STREQ(out, "");
    formatBinaer(out, ULONG_MAX, 40);  // positions above bit 31 stay '0'
    EXPECT_EQ(std::string(out), std::string(8, '0') + std::string(32, '1'));

    // Both separators count.
    const char* win = "C:\\a\\b.txt";
    EXPECT_EQ(cpGetPtrAfterPath(win), win + 5);
    EXPECT_STREQ(cpGetPtrAfterPath("/a\\b/c.ini"), "c.ini");
    const char* bare = "b.txt";
    EXPECT_EQ(cpGetPtrAfterPath(bare), bare);
    EXPECT_STREQ(cpGetPtrAfterPath("dir/"), "");
    // bExistFile and chdirName on a real folder.
    qx::test::TTempDir tmp;
    const std::string dir = fs::canonical(tmp.Path()), file = dir + "/x.ini";
    std::ofstream(file).put('x');
    const fs::path cwd = fs::current_path();

    EXPECT_TRUE(bExistFile(file.c_str()));
    EXPECT_FALSE(bExistFile((dir + "/missing").c_str()) || bExistFile(dir.c_str()) ||
                 bExistFile(nullptr));

    EXPECT_EQ(chdirName(file.c_str()), 0);
    EXPECT_EQ(fs::current_path(), dir);
    fs::current_path("/");
    EXPECT_EQ(chdirName((dir + "\\x.ini").c_str()), 0);
    EXPECT_EQ(fs::current_path(), dir);
    EXPECT_NE(chdirName("x.ini"), 0);
    EXPECT_NE(chdirName(nullptr), 0);
    EXPECT_NE(chdirName((std::string(5000, 'a') + "/x.ini").c_str()), 0);  // beyond any buffer
    EXPECT_EQ(fs::current_path(), dir);
    fs::current_path(cwd);
}

}  // namespace
