// The tab-separated text of a table, read back by Python's csv module cell for cell.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/table/TableTestSupport.h"

namespace {

using qx::test::TExample;
using qx::test::TTempDir;

using TMatrix = std::vector<std::vector<std::string>>;

// Each row as one output line, each cell as 'x' and the hex of its bytes (latin-1 maps bytes
// one to one, so code page 1252 text passes unchanged).
constexpr const char* kReader = R"(
import csv, sys
quoting = csv.QUOTE_NONE if sys.argv[2] == 'none' else csv.QUOTE_MINIMAL
with open(sys.argv[1], newline='', encoding='latin-1') as f:
    for row in csv.reader(f, delimiter='\t', quoting=quoting):
        print(' '.join('x' + c.encode('latin-1').hex() for c in row))
)";

std::string unhex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

// Writes `text` to a file, runs the reader on it; false when python3 cannot run.
bool readWithPython(const TTempDir& dir, const std::string& text, const char* quoting,
                    TMatrix& rows) {
    const std::string data = dir.File("table.txt"), script = dir.File("reader.py");
    std::ofstream(data, std::ios::binary) << text;
    std::ofstream(script) << kReader;
    const std::string command = "python3 '" + script + "' '" + data + "' " + quoting;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return false;
    std::string out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    if (::pclose(pipe) != 0) return false;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> cells;
        std::istringstream words(line);
        std::string word;
        while (words >> word) cells.push_back(unhex(word.substr(1)));
        rows.push_back(cells);
    }
    return true;
}

// The cells the text form must hold, worked out from the table directly.
TMatrix expectedCells(const TQxTable& t) {
    TMatrix rows;
    std::vector<std::string> row;
    if (t.bShowColumnCaption) {
        row = {""};
        for (const auto& c : t.vColumns) row.push_back(t.bShowName ? c.sName : c.sCaption);
        rows.push_back(row);
    }
    if (t.bShowEinheit) {
        row = {""};
        for (const auto& c : t.vColumns) row.push_back(c.sEinheit);
        rows.push_back(row);
    }
    for (unsigned i = 0; i < t.uGetLineNumber(); ++i) {
        row = {std::to_string(i)};
        for (const auto& c : t.vColumns) {
            AnsiString cell;
            vFormatString(t.ucpGetLine(i) + c.uOffset, c.eTyp, c.sFormat, cell, false);
            row.push_back(cell);
        }
        rows.push_back(row);
    }
    return rows;
}

class TableCsv : public qx::test::ErrorStateTest {
  protected:
    void SetUp() override {
        ErrorStateTest::SetUp();
        if (std::system("python3 -c 'import csv' >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "python3 with csv is not available";
    }
    TTempDir dir;
};

TEST_F(TableCsv, ExampleTableReadsBackCellForCell) {
    TExample ex;
    std::string text;
    vTable2String(ex.table.get(), text, true);
    TMatrix rows;
    ASSERT_TRUE(readWithPython(dir, text, "minimal", rows));
    const TMatrix expected = expectedCells(*ex.table);
    ASSERT_EQ(rows.size(), 102u);
    EXPECT_EQ(rows, expected);
}

TEST_F(TableCsv, AwkwardCellsReadBack) {
    // Quotes, separators of other dialects, non-ASCII bytes, blanks, empty and numeric text.
    const char* texts[] = {"a\"b", "say \"hi\"", "x;y,z", "\xE4\xF6\xFC \xB5", "  padded  ",
                           "",     "1.5e3",      "'q'",   "back\\slash",       "end\""};
    TQxTable t;
    t.vColumns.resize(2);
    t.vColumns[0].sName = "Text \"1\"";
    t.vColumns[0].sEinheit =
        "\xB0"
        "C";
    t.vColumns[0].eTyp = TH5Type::eTypString;
    t.vColumns[0].uStringSize = 32;
    t.vColumns[1].sName = "n";
    t.vColumns[1].eTyp = TH5Type::eTypShort;
    t.vColumns[1].sFormat = "%+06d";
    t.vCalculateSize();
    const unsigned lines = sizeof texts / sizeof texts[0];
    std::vector<unsigned char> storage(lines * t.uLineSize, 0);
    t.vCalculateLine(storage.data(), lines);
    for (unsigned i = 0; i < lines; ++i) {
        std::strcpy(reinterpret_cast<char*>(t.ucpGetLine(i)), texts[i]);
        const short n = static_cast<short>(i * -1111);
        std::memcpy(t.ucpGetLine(i) + 32, &n, 2);
    }
    std::string text;
    vTable2String(&t, text, true);
    TMatrix rows;
    ASSERT_TRUE(readWithPython(dir, text, "minimal", rows));
    EXPECT_EQ(rows, expectedCells(t));

    // A cell that starts with a quote reads back verbatim when quoting is off.
    std::strcpy(reinterpret_cast<char*>(t.ucpGetLine(0)), "\"quoted\" start");
    vTable2String(&t, text, true);
    rows.clear();
    ASSERT_TRUE(readWithPython(dir, text, "none", rows));
    EXPECT_EQ(rows, expectedCells(t));
}

}  // namespace
