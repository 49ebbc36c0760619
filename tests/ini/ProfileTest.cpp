// The private-profile engine on bytes: how files read, and how edits change them.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "qx/ini/PrivateProfile.h"

using qx::detail::TProfile;
using qx::detail::TProfileEdit;
using Names = std::vector<std::string>;

namespace {

std::optional<std::string> Get(const std::string& bytes, const char* section, const char* key) {
    TProfile p(bytes);
    const TProfile::TSpan* v = p.pFindValue(section, key);
    if (!v) return std::nullopt;
    return std::string(p.svText(*v));
}

TProfileEdit Edit(TProfileEdit::EKind kind, std::string section, std::string key = "",
                  std::string value = "") {
    return {kind, std::move(section), std::move(key), std::move(value)};
}
TProfileEdit Write(std::string s, std::string k, std::string v) {
    return Edit(TProfileEdit::EKind::Write, std::move(s), std::move(k), std::move(v));
}

// The bytes after the edit; the input itself when nothing changed.
std::string Apply(const std::string& bytes, const TProfileEdit& e) {
    std::string out;
    return qx::detail::applyEdit(TProfile(bytes), e, out) ? out : bytes;
}

}  // namespace

TEST(ProfileRead, LineEndsOfEveryKindAndNoneAtTheEnd) {
    const std::string f = "[A]\r\na=1\nb=2\rc=3\r\n[B]\rd=4";
    EXPECT_EQ(Get(f, "A", "a"), "1");
    EXPECT_EQ(Get(f, "A", "b"), "2");
    EXPECT_EQ(Get(f, "A", "c"), "3");
    EXPECT_EQ(Get(f, "B", "d"), "4");
    EXPECT_EQ(TProfile(f).keyNames("A"), (Names{"a", "b", "c"}));
    // "\n\r" is two line ends, not one: the empty line between them is harmless.
    EXPECT_EQ(Get("[A]\n\rx=1", "A", "x"), "1");
}

TEST(ProfileRead, SectionHeaders) {
    TProfile p("  \t[ Spaced\t]\r\n[NoClose\r\n[Tail] junk=1\r\n[]\r\n[a]b]\r\nx[Not]\r\n");
    EXPECT_EQ(p.sectionNames(), (Names{"Spaced", "NoClose", "Tail", "", "a"}));
    // What follows ']' is ignored, so "junk=1" is no entry of Tail.
    EXPECT_TRUE(p.keyNames("Tail").empty());
    EXPECT_EQ(Get("[]\r\nk=v\r\n", "", "k"), "v");
    EXPECT_EQ(Get("[]\r\nk=v\r\n", "  ", "k"), "v");
    // A header needs '[' as its first non-blank character; 0x1A is not blank.
    EXPECT_TRUE(TProfile("\x1A[S]\r\n").sectionNames().empty());
}

TEST(ProfileRead, CommentsAndOrdinarySemicolonsAndHashes) {
    const std::string f =
        "[S]\r\n;k=comment\r\n  \t; k2=also comment\r\nk3=a;b\r\n#k4=hash\r\nk5 ;=x\r\n"
        "[;not a comment]\r\nz=1\r\n";
    EXPECT_EQ(TProfile(f).keyNames("S"), (Names{"k3", "#k4", "k5 ;"}));
    EXPECT_EQ(Get(f, "S", "k3"), "a;b");
    EXPECT_EQ(Get(f, "S", "#k4"), "hash");
    EXPECT_EQ(Get(f, "S", ";k"), std::nullopt);
    EXPECT_EQ(Get(f, ";not a comment", "z"), "1");
}

TEST(ProfileRead, EntriesAreTrimmedAndLoseOnePairOfOuterQuotes) {
    const std::string f =
        "[S]\r\n"
        "\t key \t=\t value with  inner blanks \x1A \r\n"
        "q1=  \"  V  \" \r\n"
        "q2='single'\r\n"
        "q3=\"\"\"x\"\"\"\r\n"
        "q4=\"open\r\n"
        "q5=\"mixed'\r\n"
        "q6=\"\r\n"
        "q7=\"\"\r\n"
        "eq=a=b=c\r\n"
        "=empty key\r\n"
        "\"quoted key\"=1\r\n";
    EXPECT_EQ(Get(f, "S", "key"), "value with  inner blanks");
    EXPECT_EQ(Get(f, "S", "q1"), "  V  ");
    EXPECT_EQ(Get(f, "S", "q2"), "single");
    EXPECT_EQ(Get(f, "S", "q3"), "\"\"x\"\"");
    EXPECT_EQ(Get(f, "S", "q4"), "\"open");
    EXPECT_EQ(Get(f, "S", "q5"), "\"mixed'");
    EXPECT_EQ(Get(f, "S", "q6"), "\"");
    EXPECT_EQ(Get(f, "S", "q7"), "");
    EXPECT_EQ(Get(f, "S", "eq"), "a=b=c");
    EXPECT_EQ(Get(f, "S", ""), "empty key");
    EXPECT_EQ(Get(f, "S", "\"quoted key\""), "1");
    EXPECT_EQ(Get(f, "S", "quoted key"), std::nullopt);
}

TEST(ProfileRead, LinesWithoutEqualsAndBeforeTheFirstSectionAreUnreachable) {
    const std::string f = "orphan=1\r\n[S]\r\nno equals here\r\nk=v\r\n";
    TProfile p(f);
    EXPECT_EQ(p.keyNames("S"), (Names{"k"}));
    EXPECT_EQ(Get(f, "S", "no equals here"), std::nullopt);
    EXPECT_EQ(Get(f, "", "orphan"), std::nullopt);
}

TEST(ProfileRead, FirstDuplicateWinsAndListingsKeepEveryOccurrence) {
    const std::string f = "[S]\r\nk=1\r\nK=2\r\n[T]\r\n[s]\r\nk=3\r\nj=4\r\n";
    EXPECT_EQ(Get(f, "S", "k"), "1");
    EXPECT_EQ(Get(f, "s", "j"), std::nullopt);  // only the first section S is searched
    TProfile p(f);
    EXPECT_EQ(p.sectionNames(), (Names{"S", "T", "s"}));
    EXPECT_EQ(p.keyNames("S"), (Names{"k", "K"}));
}

TEST(ProfileRead, NamesMatchIgnoringAsciiCaseAndArgumentsLoseOnlySpaces) {
    const std::string f = "[Table]\r\nLineSize=96\r\n[\xC4rger]\r\nx=1\r\n";
    EXPECT_EQ(Get(f, "TABLE", "linesize"), "96");
    EXPECT_EQ(Get(f, "  table  ", "  LINESIZE "), "96");
    EXPECT_EQ(Get(f, "\ttable", "LineSize"), std::nullopt);
    EXPECT_EQ(Get(f, "table", "LineSize\t"), std::nullopt);
    EXPECT_EQ(Get(f, "\xC4rger", "x"), "1");
    EXPECT_EQ(Get(f, "\xE4rger", "x"), std::nullopt);  // only ASCII letters fold
}

// ------------------------------------------------------------------------------------ edits

TEST(ProfileEdit, NewFileSectionAndKey) {
    EXPECT_EQ(Apply("", Write(" S ", " K ", "V")), "[S]\r\nK=V\r\n");
    // A new section goes at the end, after a line end when the file lacks one.
    EXPECT_EQ(Apply("[A]\r\na=1\r\n", Write("B", "b", "2")), "[A]\r\na=1\r\n[B]\r\nb=2\r\n");
    EXPECT_EQ(Apply("[A]\na=1", Write("B", "b", "2")), "[A]\na=1\r\n[B]\r\nb=2\r\n");
    EXPECT_EQ(Apply("; only a comment\r", Write("B", "b", "")), "; only a comment\r[B]\r\nb=\r\n");
    // The value exactly as given.
    EXPECT_EQ(Apply("", Write("S", "K", "  v  ")), "[S]\r\nK=  v  \r\n");
}

TEST(ProfileEdit, ReplacingAValueKeepsSpellingAndEveryOtherByte) {
    const std::string f = "; head\n[Sec]\nKEY = old ; x\nother=1\n";
    EXPECT_EQ(Apply(f, Write("sec", "key", "new")), "; head\n[Sec]\nKEY = new\nother=1\n");
    EXPECT_EQ(Apply("[S]\r\n\tk\t=\t\"q\"\r\n", Write("S", "K", "v")), "[S]\r\n\tk\t=\tv\r\n");
    EXPECT_EQ(Apply("[S]\r\nk=   \r\n", Write("S", "k", "v")), "[S]\r\nk=v\r\n");
    EXPECT_EQ(Apply("[S]\r\nk=1", Write("S", "k", "22")), "[S]\r\nk=22");
    // The first of duplicate keys and sections is the one changed.
    EXPECT_EQ(Apply("[S]\nk=1\nk=2\n[S]\nk=3\n", Write("S", "k", "9")),
              "[S]\nk=9\nk=2\n[S]\nk=3\n");
    // Writing the value that is already there changes nothing.
    TProfile p("[S]\r\nk=v\r\n");
    std::string out = "untouched";
    EXPECT_FALSE(qx::detail::applyEdit(p, Write("S", "k", "v"), out));
    EXPECT_EQ(out, "untouched");
}

TEST(ProfileEdit, NewKeyFollowsTheLastEntryBeforeTrailingComments) {
    const std::string f = "[S]\r\na=1\r\nnoise\r\nb=2\r\n; about T\r\n\r\n[T]\r\nt=1\r\n";
    EXPECT_EQ(Apply(f, Write("s", "c", "3")),
              "[S]\r\na=1\r\nnoise\r\nb=2\r\nc=3\r\n; about T\r\n\r\n[T]\r\nt=1\r\n");
    // An empty section takes it right after its header, even at the end without a line end.
    EXPECT_EQ(Apply("[E]\r\n; c\r\n[F]", Write("E", "k", "v")), "[E]\r\nk=v\r\n; c\r\n[F]");
    EXPECT_EQ(Apply("[E]", Write("E", "k", "v")), "[E]\r\nk=v\r\n");
    EXPECT_EQ(Apply("[E]\r\na=1", Write("E", "k", "v")), "[E]\r\na=1\r\nk=v\r\n");
}

TEST(ProfileEdit, DeletingKeysAndSections) {
    const std::string f = "[S]\r\na=1\r\n;keep\r\nstray\r\nb=2\r\n[T]\r\nt=1\r\n[S]\r\na=5\r\n";
    EXPECT_EQ(Apply(f, Edit(TProfileEdit::EKind::DeleteKey, "s", "A")),
              "[S]\r\n;keep\r\nstray\r\nb=2\r\n[T]\r\nt=1\r\n[S]\r\na=5\r\n");
    EXPECT_EQ(Apply(f, Edit(TProfileEdit::EKind::DeleteSection, "S")),
              ";keep\r\nstray\r\n[T]\r\nt=1\r\n[S]\r\na=5\r\n");
    EXPECT_EQ(Apply("[S]\r\na=1\r\nb=2", Edit(TProfileEdit::EKind::DeleteKey, "S", "b")),
              "[S]\r\na=1\r\n");
    // Deleting what does not exist changes nothing.
    TProfile p(f);
    std::string out;
    EXPECT_FALSE(qx::detail::applyEdit(p, Edit(TProfileEdit::EKind::DeleteKey, "S", "z"), out));
    EXPECT_FALSE(qx::detail::applyEdit(p, Edit(TProfileEdit::EKind::DeleteKey, "X", "a"), out));
    EXPECT_FALSE(qx::detail::applyEdit(p, Edit(TProfileEdit::EKind::DeleteSection, "X"), out));
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
        Edit(TProfileEdit::EKind::RenameSection, "S", "", "New]"),
    };
    for (const TProfileEdit& e : bad) {
        EXPECT_EQ(qx::detail::ulCheckEdit(e), qx::detail::kIniBadName) << e.section << "/" << e.key;
        EXPECT_EQ(Apply("[S]\r\nk=1\r\n", e), "[S]\r\nk=1\r\n");
    }
    for (const TProfileEdit& e :
         {Write("S", "", "v"), Write("", "k", ""), Write("a[b", "k;", "\"x")})
        EXPECT_EQ(qx::detail::ulCheckEdit(e), 0u);
}

TEST(ProfileEdit, RenameMovesEntriesAndKeepsRawValues) {
    const std::string f = "[A]\r\nx=1\r\ny=\"\"q\"\"\r\nX=dup\r\n;c\r\n[B]\r\ny=old\r\nz=3\r\n";
    const std::string r = Apply(f, Edit(TProfileEdit::EKind::RenameSection, "a", "", "B"));
    EXPECT_EQ(r, ";c\r\n[B]\r\ny=\"\"q\"\"\r\nz=3\r\nx=1\r\n");
    EXPECT_EQ(Get(r, "B", "y"), Get(f, "A", "y"));
    // A rename that only changes case respells the header instead of losing the section.
    EXPECT_EQ(Apply("[ table ]\r\nk=1\r\n",
                    Edit(TProfileEdit::EKind::RenameSection, "TABLE", "", "Table")),
              "[ Table ]\r\nk=1\r\n");
    // An empty or missing section is not renamed.
    EXPECT_EQ(Apply("[A]\r\n", Edit(TProfileEdit::EKind::RenameSection, "A", "", "B")), "[A]\r\n");
}

// --------------------------------------------------------------------------- the flat call

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
