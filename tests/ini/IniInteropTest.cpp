// Ini files exchanged with Python's configparser, both ways.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "qx/qx.h"
#include "tests/support/TestSupport.h"

using Lines = std::vector<std::string>;

namespace {

bool HavePython() {
    return std::system("python3 -c pass >/dev/null 2>&1") == 0;
}

// Runs the configparser side; its output lines, or a failed assertion.
Lines Python(const std::string& mode, const std::string& file) {
    const std::string cmd = "python3 '" QX_INI_INTEROP_SCRIPT "' " + mode + " '" + file + "' 2>&1";
    FILE* p = ::popen(cmd.c_str(), "r");
    EXPECT_NE(p, nullptr);
    if (!p) return {};
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    EXPECT_EQ(::pclose(p), 0) << out;
    Lines lines;
    size_t start = 0;
    for (size_t nl; (nl = out.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(out.substr(start, nl - start));
    return lines;
}

// The store rendered in the script's line format, through the listing and reading calls.
Lines Ours(const TQxIniFile& ini) {
    Lines lines;
    std::vector<std::string> sections, keys;
    ini.vReadSections(sections);
    for (const std::string& s : sections) {
        lines.push_back("[" + s + "]");
        ini.vReadSection(s.c_str(), keys);
        for (const std::string& k : keys)
            lines.push_back(k + "\t" + ini.sReadString(s.c_str(), k.c_str(), "<missing>"));
    }
    return lines;
}

}  // namespace

TEST(IniInterop, ConfigparserReadsWhatWeWrite) {
    if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
    qx::test::TTempDir dir;
    const std::string path = dir.File("ours.ini");
    TQxStdIniFile ini{TIniFilename(path)};
    ini.vWriteString("Table", "Name", "Beispiel einer Tabelle");
    ini.vWriteInteger("Table", "LineSize", 96);
    ini.vWriteBool("Table", "LineNum", true);
    ini.vWriteFloat("Table", "Factor", 0.1);
    ini.vWriteLongLong("Table", "Big", -12345678901LL);
    ini.vWriteString("Table", "Unit", "cd/m\xB2");
    ini.vWriteString("Table", "Empty", "");
    ini.vWriteString("Table", "Formula", "a=b;c #d");
    ini.vWriteString("Table/Column0", "Name", "Nr");
    ini.vWriteInteger("Table", "LineSize", 128);  // replaced in place
    ini.vWriteString("Zus\xE4tze", "\xC4nderung", "\xFC");

    EXPECT_EQ(Python("read", path),
              (Lines{"[Table]", "Name\tBeispiel einer Tabelle", "LineSize\t128", "LineNum\t1",
                     "Factor\t1.000000e-01", "Big\t-12345678901", "Unit\tcd/m\xB2", "Empty\t",
                     "Formula\ta=b;c #d", "[Table/Column0]", "Name\tNr", "[Zus\xE4tze]",
                     "\xC4nderung\t\xFC"}));
    EXPECT_EQ(Python("read", path), Ours(ini));
}

TEST(IniInterop, WeReadWhatConfigparserWrites) {
    if (!HavePython()) GTEST_SKIP() << "python3 is not installed";
    qx::test::TTempDir dir;
    const std::string path = dir.File("python.ini");
    Python("write", path);
    TQxStdIniFile ini{TIniFilename(path)};
    EXPECT_EQ(Ours(ini), (Lines{"[Table]", "LineSize\t96", "Name\tBeispiel einer Tabelle",
                                "Path\tC:\\data\\table.tbl", "Empty\t", "Equals\ta=b=c",
                                "Semicolon\tx;y", "Hash\t#1", "Unit\t\xB5m", "[Table/Column0]",
                                "Name\tNr", "Adjust\t-1", "[Mixed Case]", "KeyOne\t1"}));
    EXPECT_EQ(ini.iReadInteger("table/column0", "adjust", 0), -1);
    EXPECT_EQ(ini.iReadInteger("TABLE", "linesize", 0), 96);

    // Our change to its file leaves its layout (" = ", LF, blank lines) alone and reads
    // back on its side.
    ini.vWriteInteger("Table", "LineSize", 100);
    ini.vWriteString("Mixed Case", "KeyTwo", "2");
    const std::string text = qx::test::ReadFile(path);
    EXPECT_NE(text.find("LineSize = 100\n"), std::string::npos);
    EXPECT_NE(text.find("[Mixed Case]\nKeyOne = 1\nKeyTwo=2\r\n"), std::string::npos);
    EXPECT_EQ(Python("read", path), Ours(ini));
}
