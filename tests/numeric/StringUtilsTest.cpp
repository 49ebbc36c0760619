#include "qx/numeric/StringUtils.h"

#include "qx/platform/SysUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string after(std::string s, void (*fn)(char*)) {
    fn(s.data());
    return s.c_str();
}

class StringUtilsTest : public ::testing::Test {
  protected:
    void TearDown() override { DecimalSeparator = saved_; }
    char saved_ = DecimalSeparator;
};

TEST_F(StringUtilsTest, SeparatorBetweenDigitsOnly) {
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

TEST_F(StringUtilsTest, CodePageMappingRoundTrips) {
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
}

TEST_F(StringUtilsTest, TextAndNumberEquality) {
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
}

TEST_F(StringUtilsTest, BinaryDigits) {
    char out[64];
    formatBinaer(out, 5, 8);
    EXPECT_STREQ(out, "00000101");
    formatBinaer(out, 5, 2);
    EXPECT_STREQ(out, "01");
    formatBinaer(out, 5, -3);
    EXPECT_STREQ(out, "");
    formatBinaer(out, ULONG_MAX, 40);  // positions above bit 31 stay '0'
    EXPECT_EQ(std::string(out), std::string(8, '0') + std::string(32, '1'));
}

TEST_F(StringUtilsTest, FileNamePartAcceptsBothSeparators) {
    const char* win = "C:\\a\\b.txt";
    EXPECT_EQ(cpGetPtrAfterPath(win), win + 5);
    EXPECT_STREQ(cpGetPtrAfterPath("/a\\b/c.ini"), "c.ini");
    const char* bare = "b.txt";
    EXPECT_EQ(cpGetPtrAfterPath(bare), bare);
    EXPECT_STREQ(cpGetPtrAfterPath("dir/"), "");
}

TEST(FileUtilsTest, ChdirNameAndExistFile) {
    char tmpl[] = "/tmp/qx_numeric_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = fs::canonical(tmpl), file = dir + "/x.ini";
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
    fs::remove_all(dir);
}

}  // namespace
