// Values, tables and logs as text, and the checks that keep file-borne formats harmless.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "tests/table/TableTestSupport.h"

namespace {

using qx::test::CodeOf;
using qx::test::Column;
using qx::test::ReadFile;
using qx::test::TExample;
using qx::test::TTempDir;

class TableText : public qx::test::ErrorStateTest {};

template <class T>
std::string fmt(T value, TH5Type::TDataTyp type, const std::string& format) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof value);
    AnsiString out = "stale";
    vFormatString(bytes, type, format, out, true);
    return out;
}

std::string fmtText(const char* text, const std::string& format = "") {
    AnsiString out;
    vFormatString(reinterpret_cast<const unsigned char*>(text), TH5Type::eTypString, format, out);
    return out;
}

TEST_F(TableText, ValuesByTypeAndFormatsThatDoNotFitTheValue) {
    EXPECT_EQ(fmt<std::uint8_t>(7, TH5Type::eTypUChar, ""), "0x07");
    EXPECT_EQ(fmt<std::int16_t>(-2, TH5Type::eTypShort, ""), "-2");
    EXPECT_EQ(fmt<std::uint16_t>(0xBEEF, TH5Type::eTypUShort, ""), "0xbeef");
    EXPECT_EQ(fmt<std::uint32_t>(0xFFFFFFFF, TH5Type::eTypULong, ""), "0xffffffff");
    EXPECT_EQ(fmt<std::int32_t>(-1, TH5Type::eTypLong, ""), "-1");
    char expected[256];
    vPrintDouble(1234.5, "%t4-", expected);
    EXPECT_EQ(fmt<double>(1234.5, TH5Type::eTypDouble, ""), expected);
    EXPECT_EQ(fmt<float>(0.25f, TH5Type::eTypFloat, "%.3f"), "0.250");
    EXPECT_EQ(fmtText("abc"), "abc");
    EXPECT_EQ(fmt<std::int32_t>(5, TH5Type::eTypNone, "%d"), "");
    // With the decimal comma: in a text, a point between digits or after a leading number.
    DecimalSeparator = ',';
    EXPECT_EQ(fmtText("3.5"), "3,5");
    EXPECT_EQ(fmtText("x1.2"), "x1,2");  // not a number first, but digits around the point
    EXPECT_EQ(fmtText(" 2.x"), " 2,x");  // a leading number: its first point
    EXPECT_EQ(fmtText("v.1 a.b"), "v.1 a.b");
    EXPECT_EQ(fmt<double>(2.5, TH5Type::eTypDouble, "%.1f"), "2,5");
    DecimalSeparator = '.';

    // Each would read an argument that is not passed, or of another kind, or write through one.
    for (const char* bad : {"%s", "%d %d", "plain", "%n", "%*d", "%.*d", "%1$d", "%f", "%lc", "%p",
                            "%hs", "%", "%5", "%q", "%Lf", "%jd", "%zd", "%qd", "%lllx"}) {
        EXPECT_EQ(fmt<std::int32_t>(42, TH5Type::eTypLong, bad), "") << bad;
        EXPECT_EQ(fmt<std::uint8_t>(42, TH5Type::eTypUChar, bad), "") << bad;
    }
    for (const char* bad : {"%d", "%s%s", "%ls", "%n", "%*s", "%c", "none"})
        EXPECT_EQ(fmtText("abc", bad), "") << bad;
    for (const char* bad : {"%d", "%s", "%f%f", "%n"})
        EXPECT_EQ(fmt<double>(1.0, TH5Type::eTypDouble, bad), "") << bad;

    // What fits is used, "%%" anywhere.
    EXPECT_EQ(fmt<std::int32_t>(42, TH5Type::eTypLong, "%% %-5d|%%"), "% 42   |%");
    EXPECT_EQ(fmt<std::int32_t>(-1, TH5Type::eTypLong, "%lx"), "ffffffff");  // 32-bit long
    EXPECT_EQ(fmt<std::uint32_t>(0xFFFFFFFF, TH5Type::eTypULong, "%ld"), "-1");
    EXPECT_EQ(fmt<std::uint32_t>(0xFFFFFFFF, TH5Type::eTypULong, "%lld"), "4294967295");
    EXPECT_EQ(fmt<std::uint16_t>(300, TH5Type::eTypUShort, "%hhu"), "44");
    EXPECT_EQ(fmt<std::uint16_t>(0xBEEF, TH5Type::eTypUShort, "0x%hX"), "0xBEEF");
    EXPECT_EQ(fmt<std::int32_t>(-7, TH5Type::eTypLong, "%-5lli|"), "-7   |");
    EXPECT_EQ(fmt<std::uint8_t>('A', TH5Type::eTypUChar, "[%c]"), "[A]");
    EXPECT_EQ(fmt<std::int16_t>(1111, TH5Type::eTypShort, "%+06d"), "+01111");
    EXPECT_EQ(fmtText("abcdef", "<%-4.3s>"), "<abc >");

    // Texts are cut to 1023 characters; an unterminated string is read no further.
    EXPECT_EQ(fmt<std::int32_t>(1, TH5Type::eTypLong, "%2000d").size(), 1023u);
    EXPECT_EQ(fmt<std::int32_t>(1, TH5Type::eTypLong, "%-999999999d|"),
              "1" + std::string(1022, ' '));
    EXPECT_EQ(fmt<double>(1.0, TH5Type::eTypDouble, "%.999999999f"), "1." + std::string(1021, '0'));
    // Cut fields keep the visible text even where the number is longer than the cut width.
    EXPECT_EQ(fmt<double>(1e300, TH5Type::eTypDouble, "%999999999.2048f"), std::string(1023, ' '));
    std::vector<char> longText(4000, 'z');
    EXPECT_EQ(fmtText(longText.data(), "x%s").size(), 1023u);
}

TEST_F(TableText, ExampleTableAsTabText) {
    TExample ex;
    std::string text = "old";
    vTable2String(ex.table.get(), text, true);
    // 102 rows of six cells, each ending in CR LF; the first rows are pinned by the shell test of
    // "qx table show".
    std::size_t rows = 0;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos;
         at = end + 2, ++rows)
        EXPECT_EQ(std::count(text.begin() + at, text.begin() + end, '\t'), 5) << rows;
    EXPECT_EQ(rows, 102u);
    EXPECT_TRUE(text.ends_with("\r\n99\tName100\t 9890  \t 29690  \t 19790  \t 989 \r\n"));

    // Captions instead of names; without header rows an empty table gives no text.
    ex.table->bShowName = false;
    ex.table->rGetColumn(0).sCaption = "Bezeichnung";
    vTable2String(ex.table.get(), text, true);
    EXPECT_EQ(text.substr(0, 15), "\tBezeichnung\t\t\t");
    ex.table->bShowColumnCaption = ex.table->bShowEinheit = false;
    ex.table->vSetLineNumber(0);
    vTable2String(ex.table.get(), text, false);
    EXPECT_EQ(text, "");
    EXPECT_EQ(CodeOf([&] { vTable2String(nullptr, text, true); }), 0x05100000u);
}

TEST_F(TableText, AlignedColumnsCellsThatCannotSpoilTheLayoutAndLogFiles) {
    TQxTable t;
    t.bShowColumnCaption = t.bShowEinheit = t.bShowLineNum = false;
    t.vColumns = {Column(TH5Type::eTypString, 3), Column(TH5Type::eTypString, 3)};
    t.vCalculateSize();
    unsigned char lines[12] = {'x', 'y', 0, 'z', 0, 0, 'a', 0, 0, 0, 0, 0};
    t.vCalculateLine(lines, 2);
    std::string text;
    vTable2String(&t, text, false);
    EXPECT_EQ(text, std::string("xy  z  \r\na      \r\n"));

    // Cells that cannot spoil the layout.
    TQxTable c;
    c.bShowEinheit = false;
    // The last string is larger than the line.
    c.vColumns = {Column(TH5Type::eTypString, 8, "a\tb"), Column(TH5Type::eTypDouble, 0, "far"),
                  Column(TH5Type::eTypString, 100, "open")};
    c.vCalculateSize();
    c.vColumns[1].uOffset = 4;  // reaches past the line's end
    c.uLineSize = 10;
    c.vColumns[2].uOffset = 8;
    unsigned char line[10] = {'1', '\r', '2', '\n', 0, 0, 0, 0, 'o', 'k'};  // no NUL in "ok"
    // Quotes, other dialects' separators, blanks and code page 1252 bytes pass unchanged.
    unsigned char plain[10] = {'"', ' ', ';', ',', 0xE4, '\'', ' ', 0, '"', 0};
    c.vSetLineNumber(3);
    c.vSetLine(0, line);
    c.vSetLine(2, plain);
    vTable2String(&c, text, true);
    EXPECT_EQ(text,
              "\ta b\tfar\topen\r\n0\t1 2 \t\tok\r\n1\t\t\t\r\n"
              "2\t\" ;,\xE4' \t\t\"\r\n");
    // Log files: entries and failures.
    TTempDir dir;
    TExample ex;
    ex.table->vSetLineNumber(2);
    const std::string file = dir.File("log.txt");
    vTableToFile(file.c_str(), ex.table.get(), false);
    vTableToFile(file.c_str(), ex.table.get(), true);
    EXPECT_TRUE(ex.table->bShowColumnCaption && ex.table->bShowEinheit);

    const std::string stamp = "[0-3][0-9]\\.[01][0-9]\\.[0-9]{4}\t[0-9]{2}:[0-9]{2}:[0-9]{2}";
    const std::string caption = "\tName\tMinimum\tMaximum\tMittelwert\tStreuung";
    const std::string units = "\t\tcd/m\xB2\tcd/m\xB2\tcd/m\xB2\tcd/m\xB2";
    const std::string line0 = "0\tName1\t 0 \t 0 \t 0 \t 0 ";
    const std::string line1 = "1\tName2\t 99\\.9 \t 299\\.9 \t 199\\.9 \t 9\\.99 ";
    // A new file gets the header row; with header rows an entry is the stamp and the units, then
    // each line on its own row; without, the stamp and all lines on one row.
    const std::regex expected(
        qx::test::Join({"\t\t", caption, "\r\n\r\n", stamp, "\t", units, "\r\n\t\t", line0,
                        "\r\n\t\t", line1, "\r\n\r\n", stamp, "\t", line0, "\t", line1, "\t"}));
    EXPECT_TRUE(std::regex_match(ReadFile(file), expected)) << ReadFile(file);

    // A table without lines: the header of a new log, then nothing to add to an existing one.
    TQxTable bare;
    bare.bShowEinheit = false;
    bare.vColumns = {Column(TH5Type::eTypNone, 0, "Spalte")};
    const std::string empty = dir.File("empty.txt");
    vTableToFile(empty.c_str(), &bare, false);
    vTableToFile(empty.c_str(), &bare, false);
    const std::regex once("\t\t\tSpalte\r\n\r\n[0-9.]+\t[0-9:]+\t\r\n");
    EXPECT_TRUE(std::regex_match(ReadFile(empty), once)) << ReadFile(empty);

    EXPECT_EQ(CodeOf([&] { vTableToFile(nullptr, ex.table.get(), false); }), 0x05100000u);
    EXPECT_EQ(CodeOf([&] { vTableToFile("x", nullptr, false); }), 0x05100000u);
    EXPECT_EQ(CodeOf([&] { vTableToFile(dir.Path().c_str(), ex.table.get(), false); }),
              0x03100000u);
    const TErrorInfo& info = qx::rGetErrorInfo();
    ASSERT_NE(info[0].cpParam, nullptr);
    EXPECT_EQ(std::string(info[0].cpParam), "Datei " + dir.Path() +
                                                " kann nicht ge\xF6"
                                                "ffnet/erzeugt werden.");
}

TEST_F(TableText, GridHeaderRowsAreFixedAndLinesFollowAsInTheTextForm) {
    TExample ex;
    TQxTable& t = *ex.table;
    t.bShowLineNum = true;  // never makes a column in the grid
    TStringGrid grid(nullptr);
    vTableToGrid(&grid, &t);
    ASSERT_EQ(grid.RowCount(), static_cast<int>(t.uGetLineNumber()) + 2);
    EXPECT_EQ(grid.FixedRows(), 2);
    EXPECT_EQ(grid.Cells(0, 0), t.rGetColumn(0).sName);
    EXPECT_EQ(grid.Cells(1, 1), t.rGetColumn(1).sEinheit);
    for (unsigned j = 0; j < t.uGetColumnNumber(); ++j)
        EXPECT_EQ(grid.Cells(static_cast<int>(j), 2), qx::detail::cellText(t, 0, j)) << j;

    // Units without captions come first; empty tables change nothing.
    t.bShowColumnCaption = false;
    vTableToGrid(&grid, &t);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.Cells(0, 0), t.rGetColumn(0).sEinheit);
    EXPECT_EQ(grid.Cells(0, 1), qx::detail::cellText(t, 0, 0));
    TQxTable empty;
    vTableToGrid(&grid, &empty);
    EXPECT_EQ(grid.Cells(0, 0), t.rGetColumn(0).sEinheit);
    EXPECT_EQ(CodeOf([&] { vTableToGrid(nullptr, &t); }), 0x05100000UL);
}

}  // namespace
