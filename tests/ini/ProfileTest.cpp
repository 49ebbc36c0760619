// The private-profile engine on bytes: how files read, and how edits change them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qx/ini/PrivateProfile.h"

using qx::detail::TProfile;
using qx::detail::TProfileEdit;
using EKind = TProfileEdit::EKind;
using Names = std::vector<std::string>;

namespace {

TProfileEdit Edit(EKind kind, std::string section, std::string key = "", std::string value = "") {
    return {kind, std::move(section), std::move(key), std::move(value)};
}
TProfileEdit Write(std::string s, std::string k, std::string v) {
    return Edit(EKind::Write, std::move(s), std::move(k), std::move(v));
}

}  // namespace

TEST(ProfileRead, ValuesAndListings) {
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
    const struct {
        const std::string file;
        const char* section;
        Names names;
        Names values;
    } listings[] = {
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
    for (const auto& c : listings) {
        SCOPED_TRACE(c.file);
        const TProfile p(c.file);
        ASSERT_EQ(c.section ? p.keyNames(c.section) : p.sectionNames(), c.names);
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            const TProfile::TSpan* v = p.pFindValue(c.section, c.names[i].c_str());
            ASSERT_NE(v, nullptr) << c.names[i];
            EXPECT_EQ(p.svText(*v), c.values[i]);
        }
    }
    // Lookups by other spellings; value nullptr: the key cannot be reached.
    const struct {
        const std::string file;
        const char* section;
        const char* key;
        const char* value;
    } reads[] = {
        {"[]\r\nk=v\r\n", "  ", "k", "v"},
        {comments, ";not a comment", "z", "1"},
        {comments, "S", ";k", nullptr},
        {quotes, "S", "quoted key", nullptr},
        {orphan, "S", "no equals here", nullptr},
        {orphan, "", "orphan", nullptr},
        {dups, "s", "j", nullptr},                  // only the first section S is searched
        {names, "  table  ", "  LINESIZE ", "96"},  // arguments lose only spaces
        {names, "table", "LineSize\t", nullptr},
        {names, "\xC4rger", "x", "1"},
        {names, "\xE4rger", "x", nullptr},  // only ASCII letters fold
    };
    for (const auto& c : reads) {
        SCOPED_TRACE(c.file + " " + c.section + "/" + c.key);
        const TProfile p(c.file);
        const TProfile::TSpan* v = p.pFindValue(c.section, c.key);
        ASSERT_EQ(v != nullptr, c.value != nullptr);
        EXPECT_EQ(v ? p.svText(*v) : "", c.value ? c.value : "");
    }
}

TEST(ProfileEdit, EditsChangeOnlyWhatTheyMust) {
    // out equal to in: the edit changes nothing and reports so.
    const std::string two = "[S]\r\na=1\r\n;keep\r\nstray\r\nb=2\r\n[T]\r\nt=1\r\n[S]\r\na=5\r\n";
    const std::string ren = "[A]\r\nx=1\r\ny=\"\"q\"\"\r\nX=dup\r\n;c\r\n[B]\r\ny=old\r\nz=3\r\n";
    const struct {
        std::string in;
        TProfileEdit edit;
        std::string out;
    } cases[] = {
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in + " -> " + c.edit.section + "/" + c.edit.key);
        std::string out = "untouched";
        const bool changed = qx::detail::applyEdit(TProfile(c.in), c.edit, out);
        EXPECT_EQ(changed, c.out != c.in);
        EXPECT_EQ(out, changed ? c.out : "untouched");
    }
}

TEST(ProfileEdit, NamesAndValuesThatCannotReadBackAreRefused) {
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

TEST(ProfileFlatCall, BuffersAreCutAndTerminated) {
    // No file at all: lists are empty, values the default without trailing spaces.
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
