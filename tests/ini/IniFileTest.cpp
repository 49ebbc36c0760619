// TQxStdIniFile and TQxIniFile over real files: typed values, listings, copy and rename, the
// text rendering, file names, and what a write does to the file on disk.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "qx/ini/PrivateProfile.h"
#include "qx/qx.h"
#include "tests/platform/FilesTestSupport.h"
#include "tests/support/TestSupport.h"

using Names = std::vector<std::string>;
using qx::test::ReadFile;
using qx::test::WriteFile;

namespace {

class IniFile : public ::testing::Test {
  protected:
    qx::test::TTempDir dir;
    std::string path = dir.File("settings.ini");
    TQxStdIniFile ini{TIniFilename(path)};
};

}  // namespace

TEST_F(IniFile, TypedReadsConvertTheStoredText) {
    // Defaults 5, true, 77 and 9.0; a null text leaves the key missing.
    const struct {
        const char* text;
        int i;
        bool b;
        long long ll;
        double d;
    } cases[] = {
        {"12abc", 12, true, 12, 12.0},
        {"true", 0, false, 77, 0.0},  // no number: 0, but the 64-bit read gives its default
        {"99999999999999999999999", INT_MAX, true, LLONG_MAX, 99999999999999999999999.0},
        {"-99999999999999999999999", INT_MIN, true, LLONG_MIN, -99999999999999999999999.0},
        {"1,5", 1, true, 1, 1.5},
        {"  -2.5xyz", -2, true, -2, -2.5},
        {nullptr, 5, true, 77, 9.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(missing)");
        ini.vDeleteEntry("S", "k");
        if (c.text) ini.vWriteString("S", "k", c.text);
        EXPECT_EQ(ini.iReadInteger("S", "k", 5), c.i);
        EXPECT_EQ(ini.bReadBool("S", "k", true), c.b);
        EXPECT_EQ(ini.iReadLongLong("S", "k", 77), c.ll);
        EXPECT_EQ(ini.dReadFloat("S", "k", 9.0), c.d);
    }
    // Defaults go through the text form of the write.
    ini.vWriteLongLong("S", "min", LLONG_MIN);
    EXPECT_EQ(ini.iReadLongLong("S", "min", 0), LLONG_MIN);
    EXPECT_EQ(ini.dReadFloat("S", "missing", 0.123456789), 0.1234568);
    EXPECT_EQ(ini.iReadLongLong("S", "missing", -5000000000LL), -5000000000LL);
    EXPECT_FALSE(ini.bReadBool("S", "missing", false));
}

TEST_F(IniFile, StringsAndDefaults) {
    EXPECT_EQ(ini.sReadString("S", "k", "def   "), "def");
    EXPECT_EQ(ini.sReadString("S", "k", "  def\t"), "  def\t");
    EXPECT_EQ(ini.sReadString("S", "k", nullptr), "");
    EXPECT_EQ(ini.sReadString(nullptr, "k", "d"), "d");
    const std::string big(200000, 'x');  // longer than any fixed buffer
    ini.vWriteString("S", "big", big.c_str());
    EXPECT_EQ(ini.sReadString("S", "big", ""), big);
    ini.vWriteString("S", "null", nullptr);
    EXPECT_TRUE(ini.bValueExists("S", "null"));
    EXPECT_EQ(ini.sReadString("S", "null", "d"), "");
}

TEST_F(IniFile, ListingsAndExistenceTests) {
    Names names{"stale"};
    ini.vReadSections(names);
    EXPECT_TRUE(names.empty());
    names = {"stale"};
    ini.vReadSection("S", names);
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(std::filesystem::exists(path));  // reading creates nothing

    WriteFile(path, "[B]\r\nz=1\r\nKey=2\r\n[A]\r\n[b]\r\ny=3\r\n");
    ini.vReadSections(names);
    EXPECT_EQ(names, (Names{"B", "A", "b"}));
    ini.vReadSection("b", names);
    EXPECT_EQ(names, (Names{"z", "Key"}));
    // Existence tests are case-sensitive, lookups are not.
    EXPECT_FALSE(ini.bSectionExists("a"));
    EXPECT_TRUE(ini.bSectionExists("A"));
    EXPECT_FALSE(ini.bSectionExists(nullptr));
    EXPECT_EQ(ini.sReadString("b", "key", ""), "2");
    EXPECT_FALSE(ini.bValueExists("B", "key"));
    EXPECT_TRUE(ini.bValueExists("b", "Key"));  // the section is found by the lookup
}

TEST_F(IniFile, CopySection) {
    TQxStdIniFile src(TIniFilename(dir.File("src.ini")));
    src.vWriteString("S", "a", "1");
    src.vWriteString("S", "b", "\"two\"");
    src.vWriteString("Other", "c", "3");
    ini.vWriteString("S", "a", "old");
    ini.vWriteString("S", "mine", "stays");

    ini.vCopySection(src, "s");  // the source's exact name test fails: nothing happens
    EXPECT_EQ(ini.sReadString("S", "a", ""), "old");
    ini.vCopySection(&src, "S");
    EXPECT_EQ(ini.sReadString("S", "a", ""), "1");
    EXPECT_EQ(ini.sReadString("S", "b", ""), "two");
    EXPECT_EQ(ini.sReadString("S", "mine", ""), "stays");
    EXPECT_FALSE(ini.bSectionExists("Other"));
    const std::string before = ReadFile(path);
    ini.vCopySection(static_cast<const TQxIniFile*>(nullptr), "S");
    ini.vCopySection(src, "Missing");
    EXPECT_EQ(ReadFile(path), before);
}

TEST_F(IniFile, RenameAndDeleteThroughTheStore) {
    // The rules of the edits are tested on the engine; here that the store applies them.
    ini.vWriteString("A", "x", "1");
    ini.vWriteString("A", "y", "2");
    ini.vWriteString("C", "y", "old");
    ini.vWriteString("C", "z", "3");
    ini.vRenameSection("a", "C");
    EXPECT_EQ(ReadFile(path), "[C]\r\ny=2\r\nz=3\r\nx=1\r\n");
    ini.vDeleteEntry("c", "Y");
    EXPECT_EQ(ReadFile(path), "[C]\r\nz=3\r\nx=1\r\n");
    ini.vDeleteEntry("C", "missing");  // edits that change nothing leave the file alone
    ini.vRenameSection("Missing", "X");
    EXPECT_EQ(ReadFile(path), "[C]\r\nz=3\r\nx=1\r\n");
    ini.vDeleteSection("c");
    EXPECT_EQ(ReadFile(path), "");

    // Subsections go by a case-sensitive prefix; an empty one takes every section.
    WriteFile(path, "[Grid]\r\na=1\r\n[Grid1]\r\n[Grid.Col]\r\nb=2\r\n[MyGrid]\r\n[grid1]\r\n");
    ini.vDeleteSubsections("Grid");
    Names names;
    ini.vReadSections(names);
    EXPECT_EQ(names, (Names{"MyGrid", "grid1"}));
    ini.vDeleteSubsections("");
    ini.vReadSections(names);
    EXPECT_TRUE(names.empty());
}

TEST_F(IniFile, RenderingAsText) {
    EXPECT_EQ(ini.uGetStringSize(), 1u);
    char one[1] = {'x'};
    ini.vWriteToString(one);
    EXPECT_EQ(one[0], '\0');

    WriteFile(path, "; c\n[Empty]\n[Long name]\nk = \"v v\"\nk=dup\n");
    const std::string text = "[Empty]\r\n\r\n[Long name]\r\nk=v v\r\nk=v v\r\n\r\n";
    EXPECT_EQ(ini.sWriteToString(), text);
    EXPECT_EQ(ini.uGetStringSize(), text.size() + 1);
    char small[8];
    ini.vWriteToString(small, sizeof small);
    EXPECT_EQ(std::string(small), text.substr(0, 7));
}

TEST(IniFilename, BareNamesGetTheCurrentFolder) {
    EXPECT_EQ(TIniFilename("Table.ini"), "./Table.ini");
    for (const char* kept : {"dir/T.ini", "dir\\T.ini", "/abs/T.ini", "C:T.ini", "./T.ini"})
        EXPECT_EQ(TIniFilename(kept), kept);
    EXPECT_EQ(TIniFilename(nullptr), "");
    const TIniFilename a("x.ini");
    const TIniFilename b(a);  // a copy is not prefixed twice
    EXPECT_EQ(b, "./x.ini");
    TQxStdIniFile store(a);
    EXPECT_EQ(store.rGetFileName(), "./x.ini");
}

// ---------------------------------------------------------------------------- on the disk
// Modes, links and devices of the whole-file replacement are tested with qx::platform.

TEST_F(IniFile, AFailedWriteKeepsTheOldFileAndReportsIt) {
    ini.vWriteString("S", "a", "1");
    const std::string fresh = dir.File("fresh.ini");
    const std::string big(256 * 1024, 'b');
    {
        qx::test::TFileSizeLimit limit(64 * 1024);
        ASSERT_TRUE(limit.ok);
        EXPECT_EQ(qx::detail::ulWritePrivateProfileString("S", "a", big.c_str(), path.c_str()),
                  qx::detail::kIniWriteError);
        EXPECT_EQ(qx::detail::ulWritePrivateProfileString("S", "a", big.c_str(), fresh.c_str()),
                  qx::detail::kIniWriteError);
    }
    EXPECT_EQ(ReadFile(path), "[S]\r\na=1\r\n");
    EXPECT_EQ(ini.sReadString("S", "a", ""), "1");
    // The file created to be locked goes again, and no temporary file stays.
    EXPECT_EQ(qx::test::Listing(dir.Path()), (Names{"settings.ini"}));
}

TEST_F(IniFile, WhatCannotBeWrittenLeavesEverythingAsItWas) {
    ini.vWriteString("S", "a", "1");
    // A value with a line break would inject a section: refused.
    EXPECT_EQ(qx::detail::ulWritePrivateProfileString("S", "a", "x\r\n[Evil]", path.c_str()),
              qx::detail::kIniBadName);
    EXPECT_EQ(ReadFile(path), "[S]\r\na=1\r\n");
    // Nothing is created for a delete, and a missing folder is an error, not a crash.
    const std::string absent = dir.File("absent.ini");
    EXPECT_EQ(qx::detail::ulWritePrivateProfileString("S", "a", nullptr, absent.c_str()), 0u);
    EXPECT_EQ(qx::detail::ulWritePrivateProfileString("S", nullptr, nullptr, absent.c_str()), 0u);
    EXPECT_FALSE(std::filesystem::exists(absent));
    EXPECT_EQ(
        qx::detail::ulWritePrivateProfileString("S", "a", "1", dir.File("no/such/dir.ini").c_str()),
        qx::detail::kIniWriteError);
}

TEST_F(IniFile, DirectoriesAndPipesReadAsUnreadable) {
    TQxStdIniFile folder{TIniFilename(dir.Path())};
    EXPECT_EQ(folder.sReadString("S", "k", "d"), "d");
    folder.vWriteString("S", "k", "v");  // ignored
    unsigned long error = 0;
    qx::detail::pReadProfile(dir.Path(), &error);
    EXPECT_EQ(error, qx::detail::kIniReadError);

    const std::string fifo = dir.File("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    TQxStdIniFile pipe{TIniFilename(fifo)};
    EXPECT_EQ(pipe.sReadString("S", "k", "d"), "d");  // must not block
    EXPECT_EQ(qx::detail::ulWritePrivateProfileString("S", "k", "v", fifo.c_str()),
              qx::detail::kIniWriteError);
    qx::detail::pReadProfile(dir.File("nothing.ini"), &error);
    EXPECT_EQ(error, qx::detail::kIniFileNotFound);
}

TEST_F(IniFile, ReadsSeeChangesMadeBehindTheirBack) {
    TQxStdIniFile other{TIniFilename(path)};
    ini.vWriteString("S", "k", "1");
    EXPECT_EQ(other.sReadString("S", "k", ""), "1");
    other.vWriteString("S", "k", "2");
    EXPECT_EQ(ini.sReadString("S", "k", ""), "2");

    // Another program rewrites the file in place: same inode and size, and the modification
    // time set back, as happens when both changes fall into one tick of a coarse file-system
    // clock (or one second). The cache must not answer with the old text.
    struct timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    for (const struct timespec stamp :
         {timespec{now.tv_sec + 5, now.tv_nsec}, timespec{now.tv_sec, 0}}) {
        const struct timespec times[2] = {stamp, stamp};
        WriteFile(path, "[S]\r\nk=A\r\n");
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        EXPECT_EQ(ini.sReadString("S", "k", ""), "A");
        const int fd = ::open(path.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, "B", 1, 7), 1);
        ::close(fd);
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        EXPECT_EQ(ini.sReadString("S", "k", ""), "B");
    }

    // Removed and recreated.
    ASSERT_EQ(::unlink(path.c_str()), 0);
    EXPECT_EQ(ini.sReadString("S", "k", "gone"), "gone");
    WriteFile(path, "[S]\r\nk=back\r\n");
    EXPECT_EQ(ini.sReadString("S", "k", ""), "back");
}
