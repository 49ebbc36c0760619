// The translation dictionary: file form, lookup, learning through the input prompt, both
// translate variants in both languages, and harvesting texts from source files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "tests/support/TestSupport.h"

namespace {

using qx::platform::TDialogKind;
using qx::test::ReadFile;
using qx::test::TResponderScope;
using qx::test::TTempDir;

const std::string kStart = "#-------------------------------";

std::string Entry(const std::string& german, const std::string& english) {
    return kStart + "\n" + german + "\n#\n" + english + "\n##\n";
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

class Translator : public qx::test::ErrorStateTest {
  protected:
    void TearDown() override {
        TProgramUser::vSetUser(puStandard);
        ErrorStateTest::TearDown();
    }
    TTempDir dir;
};

// ---------------------------------------------------------------------------- file form

TEST_F(Translator, ReadsMultiLineTextsSkipsOutsideTextAndDropsEmptyGerman) {
    const std::string file = dir.File("dict.txt");
    WriteFile(file, "comment before the first entry\n\n" +  //
                        Entry("Zeile", "Line") +            //
                        "between entries\n" +               //
                        Entry("Datei\noeffnen", "Open\nfile") + Entry("", "dropped"));
    TTranslator t;
    t.bChanged = true;
    t.vReadFile(file.c_str());
    ASSERT_EQ(t.iGetCount(), 2);
    EXPECT_EQ(t.rGetItem(0).sDeutsch, "Datei\noeffnen");  // sorted
    EXPECT_EQ(t.rGetItem(0).sEnglisch, "Open\nfile");
    EXPECT_EQ(t.rGetItem(1).sDeutsch, "Zeile");
    EXPECT_FALSE(t.bChanged);
}

TEST_F(Translator, WritingReproducesTheFileAndReplacesItWhole) {
    const std::string file = dir.File("dict.txt");
    const std::string canonical = Entry("Datei\noeffnen", "Open file") + Entry("Leer", "");
    WriteFile(file, std::string(4096, 'x'));  // longer than what replaces it
    TTranslator t;
    t.vReadText(canonical);
    t.bChanged = true;
    t.vWriteFile(file.c_str());
    EXPECT_EQ(ReadFile(file), canonical);
    EXPECT_FALSE(t.bChanged);
    TTranslator back;
    back.vReadFile(file.c_str());
    ASSERT_EQ(back.iGetCount(), 2);
    EXPECT_EQ(back.rGetItem(1).sEnglisch, "");
}

TEST_F(Translator, FileEndingInsideAnEntryKeepsWhatWasRead) {
    TTranslator t;
    t.vReadText(Entry("A", "a") + kStart + "\nB\n#\nb1\nb2");
    ASSERT_EQ(t.iGetCount(), 2);
    EXPECT_EQ(t.rGetItem(1).sEnglisch, "b1\nb2");
    t.vReadText(kStart + "\nC1\nC2\n");  // no "#" at all
    ASSERT_EQ(t.iGetCount(), 1);
    EXPECT_EQ(t.rGetItem(0).sDeutsch, "C1\nC2");
    EXPECT_EQ(t.rGetItem(0).sEnglisch, "");
}

TEST_F(Translator, SeparatorsMatchOnlyAsWholeLines) {
    TTranslator t;
    t.vReadText(kStart + "\nA\n # \n#x\n#\n## \nx\n##\n" + kStart + " \nB\n#\nb\n##\n");
    ASSERT_EQ(t.iGetCount(), 1);  // the blank after the second start line makes it text
    EXPECT_EQ(t.rGetItem(0).sDeutsch, "A\n # \n#x");
    EXPECT_EQ(t.rGetItem(0).sEnglisch, "## \nx");
}

TEST_F(Translator, WritingThroughALinkReplacesItsTargetAndKeepsPermissions) {
    const std::string target = dir.File("real.txt"), link = dir.File("link.txt");
    WriteFile(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    TTranslator t;
    t.vReadText(Entry("A", "a"));
    t.vWriteFile(link.c_str());
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(target), Entry("A", "a"));
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(Translator, WritingReachesLongNamesAndLeavesReadOnlyFilesAndPipesInPlace) {
    TTranslator t;
    t.vReadText(Entry("A", "a"));
    // A temporary name made longer than the target's would not fit in the folder.
    const std::string longName = dir.File(std::string(255, 'L'));
    t.bChanged = true;
    t.vWriteFile(longName.c_str());
    EXPECT_EQ(ReadFile(longName), Entry("A", "a"));
    EXPECT_FALSE(t.bChanged);

    const std::string locked = dir.File("locked.txt");
    WriteFile(locked, "old");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    if (::access(locked.c_str(), W_OK) != 0) {  // root may write anyway
        t.bChanged = true;
        t.vWriteFile(locked.c_str());
        EXPECT_EQ(ReadFile(locked), "old");
        EXPECT_TRUE(t.bChanged);
    }

    // Opened for reading first, the pipe takes the short text without a reading thread.
    const std::string fifo = dir.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int in = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(in, 0);
    t.vWriteFile(fifo.c_str());
    std::string received;
    char buf[4096];
    for (ssize_t n; (n = ::read(in, buf, sizeof buf)) > 0;) received.append(buf, n);
    ::close(in);
    EXPECT_EQ(received, Entry("A", "a"));
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(Translator, CrLfFilesLoseTheirLineEndsButCrInsideTextsSurvive) {
    TTranslator t;
    // A file written with CR LF line ends, whose text holds a CR LF of its own.
    t.vReadText(kStart + "\r\nZwei\r\r\nZeilen\r\n#\r\nTwo lines\r\n##\r\n");
    ASSERT_EQ(t.iGetCount(), 1);
    EXPECT_EQ(t.rGetItem(0).sDeutsch, "Zwei\r\nZeilen");
    EXPECT_EQ(t.rGetItem(0).sEnglisch, "Two lines");
    // Written with LF line ends and read back unchanged.
    const std::string file = dir.File("dict.txt");
    t.vWriteFile(file.c_str());
    EXPECT_EQ(ReadFile(file), kStart + "\nZwei\r\nZeilen\n#\nTwo lines\n##\n");
    TTranslator back;
    back.vReadFile(file.c_str());
    ASSERT_EQ(back.iGetCount(), 1);
    EXPECT_EQ(back.rGetItem(0).sDeutsch, "Zwei\r\nZeilen");
}

TEST_F(Translator, LongLinesDoNotCutTheDictionaryShort) {
    const std::string longText(5000, 'L');
    TTranslator t;
    t.vReadText(Entry("A", longText) + Entry("B", "b"));
    ASSERT_EQ(t.iGetCount(), 2);
    EXPECT_EQ(t.rGetItem(0).sEnglisch, longText);
    EXPECT_EQ(t.iFind("B"), 1);
}

TEST_F(Translator, DuplicatesStayAndTheFirstOfThemIsFound) {
    TTranslator t;
    t.vReadText(Entry("Ja", "Yes") + Entry("Ja", "Yeah") + Entry("Aber", "But"));
    ASSERT_EQ(t.iGetCount(), 3);
    EXPECT_EQ(t.iFind("Ja"), 1);
    EXPECT_EQ(t.rGetItem(1).sEnglisch, "Yes");
}

TEST_F(Translator, FilesThatCannotBeReadOrWrittenChangeNothing) {
    TTranslator t;
    t.vReadText(Entry("A", "a"));
    t.bChanged = true;
    t.vReadFile(dir.File("missing.txt").c_str());
    t.vReadFile(dir.Path().c_str());  // a folder
    t.vReadFile("/dev/zero");         // a device that never ends
    t.vReadFile(nullptr);
    EXPECT_EQ(t.iGetCount(), 1);
    EXPECT_TRUE(t.bChanged);
    t.vWriteFile(dir.File("no/such/folder/dict.txt").c_str());
    t.vWriteFile(dir.Path().c_str());
    EXPECT_TRUE(t.bChanged);  // nothing was written, so the change is still unsaved
}

// ---------------------------------------------------------------------------- lookup and order

TEST_F(Translator, FindIsExactAndOrderComparesUnsignedBytesPrefixFirst) {
    TTranslator t;
    t.vReadText(Entry("\xE4pfel", "apples") + Entry("zebra", "z") + Entry("Ab", "x") +
                Entry("A", "y"));
    EXPECT_EQ(t.iFind("A"), 0);
    EXPECT_EQ(t.iFind("Ab"), 1);
    EXPECT_EQ(t.iFind("zebra"), 2);
    EXPECT_EQ(t.iFind("\xE4pfel"), 3);  // 0xE4 after every ASCII byte
    EXPECT_EQ(t.iFind("ZEBRA"), -1);
    EXPECT_EQ(t.iFind("zebr"), -1);
    EXPECT_EQ(t.iFind(nullptr), -1);
}

TEST_F(Translator, InsertAsksWithCaptionPromptAndTextAndKeepsTheOrder) {
    TResponderScope r;
    r.InputQuery("zebra");
    r.InputQuery("apple");
    r.InputQuery("", false);
    TTranslator t;
    t.vInsert("Zebra");
    t.vInsert("Apfel");
    t.vInsert("Birne");  // cancelled
    EXPECT_EQ(t.iFind("Apfel"), 0);
    EXPECT_EQ(t.iFind("Zebra"), 1);
    EXPECT_EQ(t.iFind("Birne"), -1);
    EXPECT_FALSE(t.bChanged);  // vInsert alone is no learning step
    ASSERT_EQ(r.Requests().size(), 3u);
    const auto& q = r.Requests()[0];
    EXPECT_EQ(q.eKind, TDialogKind::InputQuery);
    EXPECT_EQ(q.caption,
              "Bitte \xDC"
              "bersetzung angeben f\xFC"
              "r:");
    EXPECT_EQ(q.text, ">>Zebra<<");
    EXPECT_EQ(q.value, "Zebra");
}

TEST_F(Translator, InsertAcceptsTheUnchangedOrEmptyValueAndDoesNotCheckForDuplicates) {
    TResponderScope r;
    r.InputQuery("Hallo");
    r.InputQuery("");
    TTranslator t;
    t.vInsert("Hallo");
    t.vInsert("Hallo");
    ASSERT_EQ(t.iGetCount(), 2);
    EXPECT_EQ(t.rGetItem(0).sEnglisch, "Hallo");  // the first stays first
    EXPECT_EQ(t.rGetItem(1).sEnglisch, "");
}

TEST_F(Translator, WithoutAResponderThePromptIsCancelled) {
    TTranslator t;
    TLanguage::setEnglisch();
    std::string result = "before";
    t.vTranslate("Neu", result);
    EXPECT_EQ(result, "before");
    EXPECT_EQ(t.iGetCount(), 0);
    EXPECT_TRUE(t.bChanged);
}

namespace {
class TThrowingWidgetSet : public qx::platform::THeadlessWidgetSet {
  public:
    bool InputQuery(const std::string&, const std::string&, std::string&) override {
        throw Exception("no window");
    }
};
}  // namespace

TEST_F(Translator, AFailingPromptBecomesAnErrorWithTheExceptionText) {
    TThrowingWidgetSet ws;
    qx::platform::SetWidgetSet(&ws);
    TTranslator t;
    unsigned long code = 0;
    try {
        t.vInsert("Text");
    } catch (unsigned long c) {
        code = c;
    }
    qx::platform::SetWidgetSet(nullptr);
    EXPECT_EQ(code, qx::kForeignExceptionCode);
    const TErrorInfo& info = qx::rGetErrorInfo();
    ASSERT_EQ(info.uGetCurrentErrorEntry(), 1u);
    EXPECT_STREQ(info[0].cpParam, "no window");
    EXPECT_EQ(t.iGetCount(), 0);
}

// ---------------------------------------------------------------------------- translating

TEST_F(Translator, EnglishWithoutLearningLeavesTheBufferAndAddsNothing) {
    TTranslator t;
    t.vSetLearnMode(false);
    TLanguage::setEnglisch();
    char buffer[16] = "previous";
    t.vTranslate("Unbekannt", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "previous");
    EXPECT_EQ(t.iGetCount(), 0);
    EXPECT_FALSE(t.bChanged);
}

TEST_F(Translator, EnglishLearningCancelledAddsNothingButMarksTheChange) {
    TResponderScope r;
    r.InputQuery("ignored", false);
    TTranslator t;
    TLanguage::setEnglisch();
    char buffer[16] = "previous";
    t.vTranslate("Unbekannt", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "previous");
    EXPECT_EQ(t.iGetCount(), 0);
    EXPECT_TRUE(t.bChanged);
}

TEST_F(Translator, EnglishLearnsAndReturnsTheNewTranslation) {
    TResponderScope r;
    r.InputQuery("Save");
    TTranslator t;
    TLanguage::setEnglisch();
    std::string result;
    t.vTranslate("Speichern", result);
    EXPECT_EQ(result, "Save");
    EXPECT_EQ(t.iFind("Speichern"), 0);
    EXPECT_TRUE(t.bChanged);
    char buffer[8];
    t.vTranslate("Speichern", buffer, sizeof buffer);  // known now: no second prompt
    EXPECT_STREQ(buffer, "Save");
}

TEST_F(Translator, BufferResultsAreCutToSizeMinusOne) {
    TTranslator t;
    t.vReadText(Entry("Datei oeffnen", "Open file"));
    TLanguage::setEnglisch();
    char buffer[8] = "xxxxxxx";
    t.vTranslate("Datei oeffnen", buffer, 4);
    EXPECT_STREQ(buffer, "Ope");
    t.vTranslate("Datei oeffnen", buffer, 1);
    EXPECT_STREQ(buffer, "");
    TLanguage::setDeutsch();
    t.vTranslate("Datei oeffnen", buffer, 4);
    EXPECT_STREQ(buffer, "Dat");
    char same[16] = "Datei oeffnen";
    t.vTranslate(same, same, 6);  // buffer is the text itself
    EXPECT_STREQ(same, "Datei");
    buffer[0] = 'q';
    t.vTranslate("Datei", buffer, 0);  // no room even for the terminator
    EXPECT_EQ(buffer[0], 'q');
}

TEST_F(Translator, GermanAsksOnlyForProgramUserZero) {
    TTranslator t;
    char buffer[16];
    for (ProgramUser user : {puStandard, puService}) {
        TProgramUser::vSetUser(user);
        t.vTranslate("Fenster", buffer, sizeof buffer);  // a prompt would fail the test
        EXPECT_STREQ(buffer, "Fenster");
    }
    EXPECT_FALSE(t.bChanged);
    TProgramUser::vSetUser(puDeveloper);
    TResponderScope r;
    r.InputQuery("Window");
    t.vTranslate("Fenster", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "Fenster");  // German stays German
    EXPECT_EQ(t.iFind("Fenster"), 0);
    EXPECT_TRUE(t.bChanged);
}

TEST_F(Translator, TheStringVariantNeverLearnsInGerman) {
    TProgramUser::vSetUser(puDeveloper);
    TTranslator t;
    std::string result = "old";
    t.vTranslate("Fenster", result);
    EXPECT_EQ(result, "Fenster");
    EXPECT_EQ(t.iGetCount(), 0);
    EXPECT_FALSE(t.bChanged);
}

// ---------------------------------------------------------------------------- harvesting

TEST_F(Translator, HarvestingTakesOneQuotedTextPerTranslateLine) {
    const std::string src = dir.File("form.cpp");
    WriteFile(src,
              "caption = translate(\"Speichern\");\n"
              "empty = translate(\"\");\n"
              "none = translate;\n"
              "plain(\"Laden\");\n"
              "a = translate (\"Eins\") + translate(\"Zwei\");\r\n"
              "b = translate(\"Schr\\\"aeg\");");
    TResponderScope r;
    r.InputQuery("Save");
    r.InputQuery("One/Two");
    r.InputQuery("Slanted");
    TTranslator t;
    TLanguage::setEnglisch();
    t.vAddFile(src.c_str());
    ASSERT_EQ(t.iGetCount(), 3);
    EXPECT_GE(t.iFind("Speichern"), 0);
    EXPECT_GE(t.iFind("Eins\") + translate(\"Zwei"), 0);
    EXPECT_GE(t.iFind("Schr\\\"aeg"), 0);  // verbatim, escapes untouched
    EXPECT_TRUE(t.bChanged);
}

TEST_F(Translator, HarvestingInGermanAsksOnlyForProgramUserZero) {
    const std::string src = dir.File("form.cpp");
    WriteFile(src, "x = translate(\"Speichern\");\n");
    TTranslator t;
    t.vAddFile(src.c_str());  // program user 4: no prompt
    EXPECT_EQ(t.iGetCount(), 0);
    t.vAddFile(dir.File("missing.cpp").c_str());
    TProgramUser::vSetUser(puDeveloper);
    TResponderScope r;
    r.InputQuery("Save");
    t.vAddFile(src.c_str());
    EXPECT_EQ(t.iFind("Speichern"), 0);
}

}  // namespace
