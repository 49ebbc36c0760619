#include "qx/numeric/FormatCheck.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using qx::detail::bFindSingleConversion;
using qx::detail::sClampFormatFields;
using qx::detail::TConversion;
using qx::detail::TLength;
using qx::detail::TLengths;

TEST(FormatCheck, OneConversionOfAnAllowedKind) {
    for (const char* good : {"%f", "%lf", "x %-+ #010.3e y", "%%%G%%", "%.f", "%5.A"})
        EXPECT_TRUE(bFindSingleConversion(good, "eEfFgGaA", TLengths::LongOnly)) << good;
    for (const char* bad : {"", "plain", "%", "%%", "%f %e", "%*f", "%.*f", "%1$f", "%Lf", "%hf",
                            "%llf", "%d", "%n", "%5."})
        EXPECT_FALSE(bFindSingleConversion(bad, "eEfFgGaA", TLengths::LongOnly)) << bad;
    EXPECT_FALSE(bFindSingleConversion("%lf", "f", TLengths::None));
}

TEST(FormatCheck, IntegerLengthModifiersAreReported) {
    const std::vector<std::pair<const char*, TConversion>> cases = {
        {"%d", {'d', TLength::None}},    {"0x%08x", {'x', TLength::None}},
        {"%hhu", {'u', TLength::Short}}, {"%hX", {'X', TLength::Short}},
        {"%ld", {'d', TLength::Long}},   {"%-5lli|", {'i', TLength::LongLong}},
        {"[%c]", {'c', TLength::None}},
    };
    for (const auto& [format, expected] : cases) {
        TConversion found;
        ASSERT_TRUE(bFindSingleConversion(format, "diuoxXc", TLengths::Integer, &found)) << format;
        EXPECT_EQ(found.conv, expected.conv) << format;
        EXPECT_EQ(found.length, expected.length) << format;
    }
    for (const char* bad : {"%lc", "%lllx", "%qd", "%s", "%d%d", "%zd", "%jd"})
        EXPECT_FALSE(bFindSingleConversion(bad, "diuoxXc", TLengths::Integer)) << bad;
}

TEST(FormatCheck, OnlyOversizedFieldsAreCut) {
    EXPECT_EQ(sClampFormatFields("a %-08.3f %% %5d b", 256), "a %-08.3f %% %5d b");
    EXPECT_EQ(sClampFormatFields("%999999999.999999999f", 256), "%2816.2048f");
    EXPECT_EQ(sClampFormatFields("%99999999999999999999999d", 1024), "%3584d");
    EXPECT_EQ(sClampFormatFields("%.99999999999999999999999s", 1024), "%.2048s");
    EXPECT_EQ(sClampFormatFields("%%999999999", 256), "%%999999999");  // not a field
    EXPECT_EQ(sClampFormatFields("%", 256), "%");
    EXPECT_EQ(sClampFormatFields("", 256), "");
}

// Cutting a field must not change what fits in the buffer, also where the conversion itself
// is longer than the precision limit (a huge "%f") or padded with zeros after a sign.
template <class T>
void expectSameText(const char* format, T value, std::size_t size) {
    std::vector<char> direct(size), clamped(size);
    const std::string cut = sClampFormatFields(format, size);
    ASSERT_NE(cut, format) << "the case must exercise the clamp";
    std::snprintf(direct.data(), size, format, value);
    std::snprintf(clamped.data(), size, cut.c_str(), value);
    EXPECT_EQ(std::string(clamped.data()), std::string(direct.data())) << format;
}

TEST(FormatCheck, CuttingKeepsTheVisibleText) {
    for (std::size_t size : {std::size_t{6}, std::size_t{256}, std::size_t{1024}}) {
        expectSameText("%9000.2048f", 1e300, size);
        expectSameText("%9000.2048f", -1.7976931348623157e308, size);
        expectSameText("%-9000.5000f", 1.0 / 3.0, size);
        expectSameText("%09000.3f", -2.5, size);
        expectSameText("%+09000.5000e", 1e-300, size);
        expectSameText("%#9000.5000g", 2.0 / 3.0, size);
        expectSameText("%9000.5000a", 0.1, size);
        expectSameText("%.5000f", 4.9e-324, size);
        expectSameText("%9000.5000d", -5, size);
        expectSameText("%#09000x", 255u, size);
        expectSameText("%-9000.5000lld", -1234567890123LL, size);
        expectSameText("%9000.5000s", "text", size);
    }
}

}  // namespace
