// Settings files: the private-profile engine on bytes, and the stores over real files: values,
// listings, failed writes, changes behind a store's back, several processes and threads at
// once, and Python's configparser.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "qx/ini/PrivateProfile.h"
#include "tests/platform/FilesTestSupport.h"
#include "tests/support/TestSupport.h"

using Names = std::vector<std::string>;
using qx::detail::TProfile;
using qx::detail::TProfileEdit;
using qx::test::ReadFile;
using qx::test::WriteFile;
using EKind = TProfileEdit::EKind;

namespace {

TProfileEdit Edit(EKind kind, std::string section, std::string key = "", std::string value = "") {
    return {kind, std::move(section), std::move(key), std::move(value)};
}
TProfileEdit Write(std::string s, std::string k, std::string v) {
    return Edit(EKind::Write, std::move(s), std::move(k), std::move(v));
}
// The value of section/key as text; "<none>" when it cannot be reached.
std::string Read(const TProfile& p, const char* section, const char* key) {
    const TProfile::TSpan* v = p.pFindValue(section, key);
    return v ? std::string(p.svText(*v)) : "<none>";
}

}  // namespace

TEST(ProfileRead, ValuesListingsAndTheFlatCallsBuffers) {
    const std::string ends = "[A]\r\na=1\nb=2\rc=3\r\n[B]\rd=4";  // no line end at the end
    const std::string headers =
        "  \t[ Spaced\t]\r\n[NoClose\r\n[Tail] junk=1\r\n[]\r\n[a]b]\r\nx[Not]\r\n";
    const std::string comments =
        "[S]\r\n;k=comment\r\n  \t; k2=also comment\r\nk3=a;b\r\n#k4=hash\r\nk5 ;=x\r\n"
        "[;not a comment]\r\nz=1\r\n";
    const std::string quotes =
        "[S]\r\n\t key \t=\t value with  inner blanks \x1A \r\nq1=  \"  V  \" \r\nq2='single'\r\n"
        "q3=\"\"\"x\"\"\"\r\nq4=\"open\r\nq5=\"mixed'\r\nq6=\"\r\nq7=\"\"\r\neq=a=b=c\r\n"
        "=empty key\r\n\"quoted key\"=1\r\n";
    const std::string orphan = "orphan=1\r\n[S]\r\nno equals here\r\nk=v\r\n";
    const std::string dups = "[S]\r\nk=1\r\nK=2\r\n[T]\r\n[s]\r\nk=3\r\nj=4\r\n";
    const std::string names = "[Table]\r\nLineSize=96\r\n[\xC4rger]\r\nx=1\r\n";
    // Listings keep every occurrence (section nullptr: the section names); each listed key
    // reads as the value beside it.
    const std::tuple<std::string, const char*, Names, Names> listings[] = {
        {ends, "A", {"a", "b", "c"}, {"1", "2", "3"}},
        {ends, "B", {"d"}, {"4"}},
        // "\n\r" is two line ends, not one: the empty line between them is harmless.
        {"[A]\n\rx=1", "A", {"x"}, {"1"}},
        {headers, nullptr, {"Spaced", "NoClose", "Tail", "", "a"}, {}},
        {headers, "Tail", {}, {}},  // what follows ']' is ignored, so "junk=1" is no entry
        {"[]\r\nk=v\r\n", "", {"k"}, {"v"}},
        {"\x1A[S]\r\n", nullptr, {}, {}},  // '[' must be the first non-blank; 0x1A is not blank
        {comments, "S", {"k3", "#k4", "k5 ;"}, {"a;b", "hash", "x"}},
        {quotes,
         "S",
         {"key", "q1", "q2", "q3", "q4", "q5", "q6", "q7", "eq", "", "\"quoted key\""},
         {"value with  inner blanks", "  V  ", "single", "\"\"x\"\"", "\"open", "\"mixed'", "\"",
          "", "a=b=c", "empty key", "1"}},
        {orphan, "S", {"k"}, {"v"}},
        {dups, nullptr, {"S", "T", "s"}, {}},
        {dups, "S", {"k", "K"}, {"1", "1"}},  // the first duplicate wins
    };
    for (const auto& [file, section, names, values] : listings) {
        SCOPED_TRACE(file);
        const TProfile p(file);
        ASSERT_EQ(section ? p.keyNames(section) : p.sectionNames(), names);
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_EQ(Read(p, section, names[i].c_str()), values[i]) << names[i];
    }
    // Lookups by other spellings.
    const std::tuple<std::string, const char*, const char*, const char*> reads[] = {
        {"[]\r\nk=v\r\n", "  ", "k", "v"},
        {comments, ";not a comment", "z", "1"},
        {comments, "S", ";k", "<none>"},
        {quotes, "S", "quoted key", "<none>"},
        {orphan, "S", "no equals here", "<none>"},
        {orphan, "", "orphan", "<none>"},
        {dups, "s", "j", "<none>"},                 // only the first section S is searched
        {names, "  table  ", "  LINESIZE ", "96"},  // arguments lose only spaces
        {names, "table", "LineSize\t", "<none>"},
        {names, "\xC4rger", "x", "1"},
        {names, "\xE4rger", "x", "<none>"},  // only ASCII letters fold
    };
    for (const auto& [file, section, key, value] : reads)
        EXPECT_EQ(Read(TProfile(file), section, key), value)
            << file << " " << section << "/" << key;

    // The flat call without a file: empty lists, and defaults without trailing spaces, cut and
    // terminated to fit the buffer.
    char buf[16];
    const char* none = "/nonexistent-qx-dir/none.ini";
    EXPECT_EQ(qx::detail::ulGetPrivateProfileString(nullptr, nullptr, "", buf, 16, none), 0u);
    EXPECT_EQ(std::string(buf, 2), std::string("\0\0", 2));
    EXPECT_EQ(qx::detail::ulGetPrivateProfileString("S", "k", "def  ", buf, 16, none), 3u);
    EXPECT_STREQ(buf, "def");
    EXPECT_EQ(qx::detail::ulGetPrivateProfileString("S", "k", "0123456789", buf, 5, none), 4u);
    EXPECT_STREQ(buf, "0123");
    EXPECT_EQ(qx::detail::ulGetPrivateProfileString("S", "k", nullptr, buf, 16, none), 0u);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(qx::detail::ulGetPrivateProfileString("S", "k", "x", buf, 0, none), 0u);
}

TEST(ProfileEdit, EditsChangeOnlyWhatTheyMustAndRefuseWhatCannotReadBack) {
    // out equal to in: the edit changes nothing and reports so.
    const std::string two = "[S]\r\na=1\r\n;keep\r\nstray\r\nb=2\r\n[T]\r\nt=1\r\n[S]\r\na=5\r\n";
    const std::string ren = "[A]\r\nx=1\r\ny=\"\"q\"\"\r\nX=dup\r\n;c\r\n[B]\r\ny=old\r\nz=3\r\n";
    const std::tuple<std::string, TProfileEdit, std::string> cases[] = {
        {"", Write(" S ", " K ", "V"), "[S]\r\nK=V\r\n"},
        // A new section goes at the end, after a line end when the file lacks one.
        {"[A]\r\na=1\r\n", Write("B", "b", "2"), "[A]\r\na=1\r\n[B]\r\nb=2\r\n"},
        {"[A]\na=1", Write("B", "b", "2"), "[A]\na=1\r\n[B]\r\nb=2\r\n"},
        {"; only a comment\r", Write("B", "b", ""), "; only a comment\r[B]\r\nb=\r\n"},
        // A replaced value keeps the key's spelling and every other byte.
        {"; head\n[Sec]\nKEY = old ; x\nother=1\n", Write("sec", "key", "new"),
         "; head\n[Sec]\nKEY = new\nother=1\n"},
        {"[S]\r\n\tk\t=\t\"q\"\r\n", Write("S", "K", "v"), "[S]\r\n\tk\t=\tv\r\n"},
        {"[S]\r\nk=   \r\n", Write("S", "k", "v"), "[S]\r\nk=v\r\n"},
        {"[S]\r\nk=1", Write("S", "k", "22"), "[S]\r\nk=22"},
        // The first of duplicate keys and sections is the one changed.
        {"[S]\nk=1\nk=2\n[S]\nk=3\n", Write("S", "k", "9"), "[S]\nk=9\nk=2\n[S]\nk=3\n"},
        {"[S]\r\nk=v\r\n", Write("S", "k", "v"), "[S]\r\nk=v\r\n"},
        // A new key follows the last entry, before trailing comments.
        {"[S]\r\na=1\r\nnoise\r\nb=2\r\n; about T\r\n\r\n[T]\r\nt=1\r\n", Write("s", "c", "3"),
         "[S]\r\na=1\r\nnoise\r\nb=2\r\nc=3\r\n; about T\r\n\r\n[T]\r\nt=1\r\n"},
        // An empty section takes it right after its header, even at the end without a line end.
        {"[E]\r\n; c\r\n[F]", Write("E", "k", "v"), "[E]\r\nk=v\r\n; c\r\n[F]"},
        {"[E]", Write("E", "k", "v"), "[E]\r\nk=v\r\n"},
        {"[E]\r\na=1", Write("E", "k", "v"), "[E]\r\na=1\r\nk=v\r\n"},
        {two, Edit(EKind::DeleteKey, "s", "A"),
         "[S]\r\n;keep\r\nstray\r\nb=2\r\n[T]\r\nt=1\r\n[S]\r\na=5\r\n"},
        {two, Edit(EKind::DeleteSection, "S"), ";keep\r\nstray\r\n[T]\r\nt=1\r\n[S]\r\na=5\r\n"},
        {"[S]\r\na=1\r\nb=2", Edit(EKind::DeleteKey, "S", "b"), "[S]\r\na=1\r\n"},
        {two, Edit(EKind::DeleteKey, "S", "z"), two},
        {two, Edit(EKind::DeleteKey, "X", "a"), two},
        {two, Edit(EKind::DeleteSection, "X"), two},
        // A rename moves the entries, raw, into the target; the target's own keys win.
        {ren, Edit(EKind::RenameSection, "a", "", "B"),
         ";c\r\n[B]\r\ny=\"\"q\"\"\r\nz=3\r\nx=1\r\n"},
        // One that only changes case respells the header instead of losing the section.
        {"[ table ]\r\nk=1\r\n", Edit(EKind::RenameSection, "TABLE", "", "Table"),
         "[ Table ]\r\nk=1\r\n"},
        {"[A]\r\n", Edit(EKind::RenameSection, "A", "", "B"), "[A]\r\n"},  // empty: not renamed
    };
    for (const auto& [in, edit, out] : cases) {
        SCOPED_TRACE(in + " -> " + edit.section + "/" + edit.key);
        std::string result = "untouched";
        const bool changed = qx::detail::applyEdit(TProfile(in), edit, result);
        EXPECT_EQ(changed, out != in);
        EXPECT_EQ(result, changed ? out : "untouched");
    }

    // Names and values that cannot read back are refused.
    const std::vector<TProfileEdit> bad = {
        Write("S", "k", "two\r\n[Injected]"),
        Write("S", "k", "lf\nx=1"),
        Write("S]x", "k", "v"),
        Write("\tS", "k", "v"),
        Write("S", "k=j", "v"),
        Write("S", "[k", "v"),
        Write("S", " ;k", "v"),
        Write("S", "k\t", "v"),
        Write("S\nT", "k", "v"),
        Write("S", std::string("a\0b", 3), "v"),
        Edit(EKind::RenameSection, "S", "", "New]"),
    };
    for (const TProfileEdit& e : bad) {
        EXPECT_EQ(qx::detail::ulCheckEdit(e), qx::detail::kIniBadName) << e.section << "/" << e.key;
        std::string out;
        EXPECT_FALSE(qx::detail::applyEdit(TProfile("[S]\r\nk=1\r\n"), e, out));
    }
    for (const TProfileEdit& e :
         {Write("S", "", "v"), Write("", "k", ""), Write("a[b", "k;", "\"x")})
        EXPECT_EQ(qx::detail::ulCheckEdit(e), 0u);
}

namespace {

class IniFile : public ::testing::Test {
  protected:
    qx::test::TTempDir dir;
    std::string path = dir.File("settings.ini");
    TQxStdIniFile ini{TIniFilename(path)};
};

constexpr int kWrites = 40;

std::string Key(int writer, int i) {
    return qx::test::Join({"w", std::to_string(writer), "_", std::to_string(i)});
}

// Runs the configparser side; its output lines, or a failed assertion.
Names Python(const std::string& mode, const std::string& file) {
    const std::string out = file + ".out";
    const std::string cmd = qx::test::Join(
        {"python3 '", QX_INI_INTEROP_SCRIPT, "' ", mode, " '", file, "' >'", out, "' 2>&1"});
    EXPECT_EQ(std::system(cmd.c_str()), 0) << ReadFile(out);
    std::istringstream in(ReadFile(out));
    Names lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The store rendered in the script's line format, through the listing and reading calls.
Names Ours(const TQxIniFile& ini) {
    Names lines, sections, keys;
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

TEST_F(IniFile, TypedReadsConvertTheStoredTextAndStringsTheirDefaults) {
    // Defaults 5, true, 77 and 9.0; a null text leaves the key missing.
    const std::tuple<const char*, int, bool, long long, double> cases[] = {
        {"12abc", 12, true, 12, 12.0},
        {"true", 0, false, 77, 0.0},  // no number: 0, but the 64-bit read gives its default
        {"99999999999999999999999", INT_MAX, true, LLONG_MAX, 99999999999999999999999.0},
        {"-99999999999999999999999", INT_MIN, true, LLONG_MIN, -99999999999999999999999.0},
        {"1,5", 1, true, 1, 1.5},
        {"  -2.5xyz", -2, true, -2, -2.5},
        {nullptr, 5, true, 77, 9.0},
    };
    for (const auto& [text, i, b, ll, d] : cases) {
        SCOPED_TRACE(text ? text : "(missing)");
        ini.vDeleteEntry("S", "k");
        if (text) ini.vWriteString("S", "k", text);
        EXPECT_EQ(ini.iReadInteger("S", "k", 5), i);
        EXPECT_EQ(ini.bReadBool("S", "k", true), b);
        EXPECT_EQ(ini.iReadLongLong("S", "k", 77), ll);
        EXPECT_EQ(ini.dReadFloat("S", "k", 9.0), d);
    }
    // Defaults go through the text form of the write.
    ini.vWriteLongLong("S", "min", LLONG_MIN);
    EXPECT_EQ(ini.iReadLongLong("S", "min", 0), LLONG_MIN);
    EXPECT_EQ(ini.dReadFloat("S", "missing", 0.123456789), 0.1234568);
    EXPECT_FALSE(ini.bReadBool("S", "missing", false));

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

TEST_F(IniFile, ListingsRenderingCopyRenameAndDeleteThroughTheStore) {
    // Without a file: empty listings and text; reading creates nothing.
    EXPECT_EQ(ini.uGetStringSize(), 1u);
    char one[1] = {'x'};
    ini.vWriteToString(one);
    EXPECT_EQ(one[0], '\0');
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

    // Rendering as text.
    WriteFile(path, "; c\n[Empty]\n[Long name]\nk = \"v v\"\nk=dup\n");
    const std::string text = "[Empty]\r\n\r\n[Long name]\r\nk=v v\r\nk=v v\r\n\r\n";
    EXPECT_EQ(ini.sWriteToString(), text);
    EXPECT_EQ(ini.uGetStringSize(), text.size() + 1);
    char small[8];
    ini.vWriteToString(small, sizeof small);
    EXPECT_EQ(std::string(small), text.substr(0, 7));

    // Copying a section.
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

    // Rename and delete: the rules are tested on the engine; here that the store applies them.
    WriteFile(path, "");
    ini.vWriteString("A", "x", "1");
    ini.vWriteString("A", "y", "2");
    ini.vWriteString("C", "y", "old");
    ini.vWriteString("C", "z", "3");
    ini.vRenameSection("a", "C");
    EXPECT_EQ(ReadFile(path), "[C]\r\ny=2\r\nz=3\r\nx=1\r\n");
    ini.vDeleteEntry("c", "Y");
    ini.vDeleteEntry("C", "missing");  // edits that change nothing leave the file alone
    ini.vRenameSection("Missing", "X");
    EXPECT_EQ(ReadFile(path), "[C]\r\nz=3\r\nx=1\r\n");
    ini.vDeleteSection("c");
    EXPECT_EQ(ReadFile(path), "");

    // Subsections go by a case-sensitive prefix; an empty one takes every section.
    WriteFile(path, "[Grid]\r\na=1\r\n[Grid1]\r\n[Grid.Col]\r\nb=2\r\n[MyGrid]\r\n[grid1]\r\n");
    ini.vDeleteSubsections("Grid");
    ini.vReadSections(names);
    EXPECT_EQ(names, (Names{"MyGrid", "grid1"}));
    ini.vDeleteSubsections("");
    ini.vReadSections(names);
    EXPECT_TRUE(names.empty());
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

// Modes, links and devices of the whole-file replacement are tested with qx::platform.

TEST_F(IniFile, FailedRefusedAndUnreadableTargetsKeepTheOldFileAndReportIt) {
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
    EXPECT_EQ(ini.sReadString("S", "a", ""), "1");
    // The file created to be locked goes again, and no temporary file stays.
    EXPECT_EQ(qx::test::Listing(dir.Path()), (Names{"settings.ini"}));

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

    // Folders and pipes read as unreadable; a pipe must not block.
    TQxStdIniFile folder{TIniFilename(dir.Path())};
    EXPECT_EQ(folder.sReadString("S", "k", "d"), "d");
    folder.vWriteString("S", "k", "v");  // ignored
    unsigned long error = 0;
    qx::detail::pReadProfile(dir.Path(), &error);
    EXPECT_EQ(error, qx::detail::kIniReadError);

    const std::string fifo = dir.File("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    TQxStdIniFile pipe{TIniFilename(fifo)};
    EXPECT_EQ(pipe.sReadString("S", "k", "d"), "d");
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
    // clock (or one second). The cache must not answer with the old text. An old file changed
    // in place the same way is told by its new time.
    struct timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    const auto touch = [&](struct timespec t) {
        const struct timespec times[2] = {t, t};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    };
    const timespec ahead{now.tv_sec + 5, now.tv_nsec}, tick{now.tv_sec, 0};
    for (const auto& [first, second] :
         {std::pair(ahead, ahead), std::pair(tick, tick),
          std::pair(timespec{now.tv_sec - 20, 0}, timespec{now.tv_sec - 10, 0})}) {
        WriteFile(path, "[S]\r\nk=A\r\n");
        touch(first);
        EXPECT_EQ(ini.sReadString("S", "k", ""), "A");
        const int fd = ::open(path.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, "B", 1, 7), 1);
        ::close(fd);
        touch(second);
        EXPECT_EQ(ini.sReadString("S", "k", ""), "B");
    }

    // Removed and recreated.
    ASSERT_EQ(::unlink(path.c_str()), 0);
    EXPECT_EQ(ini.sReadString("S", "k", "gone"), "gone");
    WriteFile(path, "[S]\r\nk=back\r\n");
    EXPECT_EQ(ini.sReadString("S", "k", ""), "back");
}

// Several processes and threads changing one ini file at once lose no write, and readers
// never see a half-written file.

TEST_F(IniFile, ProcessesAndThreadsLoseNoWriteAndReadersSeeOnlyWholeFiles) {
    ini.vWriteString("Common", "start", "1");

    std::vector<pid_t> children;
    for (int writer = 0; writer < 2; ++writer) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            TQxStdIniFile own{TIniFilename(path)};
            for (int i = 0; i < kWrites; ++i) {
                // Both write into the same section, so each must see the other's lines.
                own.vWriteInteger("Common", Key(writer, i).c_str(), i);
                if (i % 5 == 0) own.vWriteInteger(("Own" + std::to_string(writer)).c_str(), "n", i);
            }
            ::_exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    Names keys;
    ini.vReadSection("Common", keys);
    EXPECT_EQ(keys.size(), 1u + 2 * kWrites);
    for (int writer = 0; writer < 2; ++writer) {
        for (int i = 0; i < kWrites; ++i)
            EXPECT_EQ(ini.iReadInteger("Common", Key(writer, i).c_str(), -1), i) << Key(writer, i);
        EXPECT_EQ(ini.iReadInteger(("Own" + std::to_string(writer)).c_str(), "n", -1), 35);
    }

    // Threads writing and reading while the cache evicts.
    ini.vWriteString("S", "fixed", "value");

    std::atomic<bool> done{false};
    std::atomic<int> badReads{0};
    std::vector<std::thread> workers;
    for (int writer = 0; writer < 3; ++writer) {
        workers.emplace_back([&, writer] {
            TQxStdIniFile own{TIniFilename(path)};
            for (int i = 0; i < 15; ++i) own.vWriteInteger("S", Key(writer, i).c_str(), i);
        });
    }
    // More files than the cache holds, so entries are evicted while others read.
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&, t] {
            for (int f = 0; f < 12; ++f) {
                TQxStdIniFile own{TIniFilename(dir.File(
                    qx::test::Join({"f", std::to_string(t), "_", std::to_string(f), ".ini"})))};
                own.vWriteInteger("S", "v", f);
                for (int r = 0; r < 20; ++r)
                    if (own.iReadInteger("S", "v", -1) != f) ++badReads;
            }
        });
    }
    std::thread reader([&] {
        const TQxStdIniFile own{TIniFilename(path)};
        Names keys;
        while (!done.load()) {
            // Every file a reader can see is a whole one: the fixed entry is always there.
            if (own.sReadString("S", "fixed", "") != "value") ++badReads;
            own.vReadSection("S", keys);
            if (keys.empty() || keys.front() != "fixed") ++badReads;
        }
    });
    for (auto& t : workers) t.join();
    done = true;
    reader.join();

    EXPECT_EQ(badReads.load(), 0);
    for (int writer = 0; writer < 3; ++writer)
        for (int i = 0; i < 15; ++i)
            EXPECT_EQ(ini.iReadInteger("S", Key(writer, i).c_str(), -1), i);
}

TEST_F(IniFile, ConfigparserAndWeReadWhatTheOtherWrites) {
    if (std::system("python3 -c pass >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
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
              (Names{"[Table]", "Name\tBeispiel einer Tabelle", "LineSize\t128", "LineNum\t1",
                     "Factor\t1.000000e-01", "Big\t-12345678901", "Unit\tcd/m\xB2", "Empty\t",
                     "Formula\ta=b;c #d", "[Table/Column0]", "Name\tNr", "[Zus\xE4tze]",
                     "\xC4nderung\t\xFC"}));
    EXPECT_EQ(Python("read", path), Ours(ini));

    // Its file read by us.
    Python("write", path);
    EXPECT_EQ(Ours(ini), (Names{"[Table]", "LineSize\t96", "Name\tBeispiel einer Tabelle",
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
