// The translation dictionary: file form, lookup, learning through the input prompt, both
// translate variants in both languages, and harvesting texts from source files.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/platform/FilesTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using qx::test::ReadFile;
using qx::test::TResponderScope;
using qx::test::TTempDir;
using qx::test::WriteFile;
using Items = std::vector<std::pair<std::string, std::string>>;

const std::string kStart = "#-------------------------------";

std::string Entry(const std::string& german, const std::string& english) {
    return kStart + "\n" + german + "\n#\n" + english + "\n##\n";
}

Items ItemsOf(const TTranslator& t) {
    Items items;
    for (int i = 0; i < t.iGetCount(); ++i)
        items.emplace_back(t.rGetItem(i).sDeutsch, t.rGetItem(i).sEnglisch);
    return items;
}

class Translator : public qx::test::ErrorStateTest {
  protected:
    void TearDown() override {
        TProgramUser::vSetUser(puStandard);
        ErrorStateTest::TearDown();
    }
    TTempDir dir;
};

TEST_F(Translator, ReadingTheFileForm) {
    const std::string longText(5000, 'L');
    const struct {
        const char* what;
        std::string text;
        Items items;
    } cases[] = {
        {"text outside entries is skipped, an empty German text dropped, entries sorted",
         "comment before the first entry\n\n" + Entry("Zeile", "Line") + "between entries\n" +
             Entry("Datei\noeffnen", "Open\nfile") + Entry("", "dropped"),
         {{"Datei\noeffnen", "Open\nfile"}, {"Zeile", "Line"}}},
        {"the file ends inside an English text",
         Entry("A", "a") + kStart + "\nB\n#\nb1\nb2",
         {{"A", "a"}, {"B", "b1\nb2"}}},
        // The blank after the second start line makes it text.
        {"separators match only as whole lines",
         kStart + "\nA\n # \n#x\n#\n## \nx\n##\n" + kStart + " \nB\n#\nb\n##\n",
         {{"A\n # \n#x", "## \nx"}}},
        {"CR LF line ends go, a CR LF inside a text stays",
         kStart + "\r\nZwei\r\r\nZeilen\r\n#\r\nTwo lines\r\n##\r\n",
         {{"Zwei\r\nZeilen", "Two lines"}}},
        {"long lines do not cut the dictionary short",
         Entry("A", longText) + Entry("B", "b"),
         {{"A", longText}, {"B", "b"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TTranslator t;
        t.vReadText(c.text);
        EXPECT_EQ(ItemsOf(t), c.items);
    }
}

TEST_F(Translator, WritingReplacesTheFileWholeOrNotAtAll) {
    const std::string file = dir.File("dict.txt");
    const std::string canonical = Entry("Datei\noeffnen", "Open file") + Entry("Leer", "");
    WriteFile(file, std::string(4096, 'x'));  // longer than what replaces it
    TTranslator t;
    t.vReadText(canonical);
    t.bChanged = true;
    // Files that cannot be read or written change nothing.
    t.vReadFile(dir.File("missing.txt").c_str());
    t.vReadFile(dir.Path().c_str());  // a folder
    t.vReadFile("/dev/zero");         // a device that never ends
    t.vReadFile(nullptr);
    t.vWriteFile(dir.File("no/such/folder/dict.txt").c_str());
    EXPECT_EQ(t.iGetCount(), 2);
    EXPECT_TRUE(t.bChanged);
    t.vWriteFile(file.c_str());
    EXPECT_EQ(ReadFile(file), canonical);
    EXPECT_FALSE(t.bChanged);
    TTranslator back;
    back.vReadFile(file.c_str());
    EXPECT_EQ(ItemsOf(back), ItemsOf(t));

    // A write that fails part-way keeps the old file and the unsaved change.
    back.vReadText(Entry("A", std::string(256 * 1024, 'a')));
    back.bChanged = true;
    {
        qx::test::TFileSizeLimit limit(64 * 1024);
        ASSERT_TRUE(limit.ok);
        back.vWriteFile(file.c_str());
    }
    EXPECT_EQ(ReadFile(file), canonical);
    EXPECT_TRUE(back.bChanged);
    EXPECT_EQ(qx::test::Listing(dir.Path()), (std::vector<std::string>{"dict.txt"}));
}

TEST_F(Translator, FindIsExactOrderComparesUnsignedBytesAndBufferResultsAreCut) {
    TTranslator t;
    t.vReadText(Entry("\xE4pfel", "apples") + Entry("zebra", "z") + Entry("Ab", "x") +
                Entry("A", "y") + Entry("Ja", "Yes") + Entry("Ja", "Yeah") +
                Entry("Datei oeffnen", "Open file"));
    // The first of duplicates; 0xE4 after every ASCII byte; case and length count.
    const std::pair<const char*, int> cases[] = {{"A", 0},     {"Ab", 1},       {"Ja", 3},
                                                 {"zebra", 5}, {"\xE4pfel", 6}, {"ZEBRA", -1},
                                                 {"zebr", -1}, {nullptr, -1}};
    for (const auto& [text, index] : cases)
        EXPECT_EQ(t.iFind(text), index) << (text ? text : "null");
    // Translations into a buffer keep size - 1 characters.
    TLanguage::setEnglisch();
    char buffer[8] = "xxxxxxx";
    t.vTranslate("Datei oeffnen", buffer, 4);
    EXPECT_STREQ(buffer, "Ope");
    TLanguage::setDeutsch();
    char same[16] = "Datei oeffnen";
    t.vTranslate(same, same, 6);  // buffer is the text itself
    EXPECT_STREQ(same, "Datei");
    buffer[0] = 'q';
    t.vTranslate("Datei", buffer, 0);  // no room even for the terminator
    EXPECT_EQ(buffer[0], 'q');
}

TEST_F(Translator, AnUnknownTextIsLearnedOnlyWhereItShouldBe) {
    // Either variant, in either language, for a program user, with the prompt answered,
    // cancelled, absent from the widget set (cancelled by the headless one) or not expected.
    // Only an answer teaches the text; any prompt marks the dictionary changed.
    enum class EPrompt { None, Headless, Cancel, Answer };
    const struct {
        const char* what;
        bool english;
        bool buffer;  // the buffer variant, else the string variant
        ProgramUser user;
        bool learn;
        EPrompt prompt;
        std::string result;  // "previous": left as it was
    } cases[] = {
        {"English", true, true, puStandard, true, EPrompt::Answer, "Window"},
        {"English string", true, false, puStandard, true, EPrompt::Answer, "Window"},
        {"German string", false, false, puDeveloper, true, EPrompt::None, "Fenster"},
        {"cancelled", true, true, puStandard, true, EPrompt::Cancel, "previous"},
        {"headless", true, false, puStandard, true, EPrompt::Headless, "previous"},
        {"not learning", true, true, puStandard, false, EPrompt::None, "previous"},
        {"German", false, true, puStandard, true, EPrompt::None, "Fenster"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const bool learned = c.prompt == EPrompt::Answer;
        c.english ? TLanguage::setEnglisch() : TLanguage::setDeutsch();
        TProgramUser::vSetUser(c.user);
        std::optional<TResponderScope> r;
        if (c.prompt != EPrompt::Headless) r.emplace();
        if (c.prompt == EPrompt::Answer) r->InputQuery("Window");
        if (c.prompt == EPrompt::Cancel) r->InputQuery("ignored", false);
        TTranslator t;
        t.vSetLearnMode(c.learn);
        char buffer[16] = "previous";
        std::string result = "previous";
        for (int round = 0; round < 2; ++round) {  // known after the first: no second prompt
            if (c.buffer) {
                t.vTranslate("Fenster", buffer, sizeof buffer);
                result = buffer;
            } else {
                t.vTranslate("Fenster", result);
            }
            EXPECT_EQ(result, c.result);
            if (!learned) break;
        }
        EXPECT_EQ(t.iFind("Fenster"), learned ? 0 : -1);
        EXPECT_EQ(t.bChanged, c.prompt != EPrompt::None);
    }
}

TEST_F(Translator, HarvestingTakesOneQuotedTextPerTranslateLine) {
    const std::string src = dir.File("form.cpp");
    WriteFile(src,
              "caption = translate(\"Speichern\");\n"
              "empty = translate(\"\");\n"
              "none = translate;\n"
              "plain(\"Laden\");\n"
              "a = translate (\"Eins\") + translate(\"Zwei\");\r\n"
              "b = translate(\"Schr\\\"aeg\");");
    TTranslator t;
    t.vAddFile(src.c_str());  // in German, program user 4: no prompt
    EXPECT_EQ(t.iGetCount(), 0);
    t.vAddFile(dir.File("missing.cpp").c_str());
    TResponderScope r;
    r.InputQuery("Save");
    r.InputQuery("One/Two");
    r.InputQuery("Slanted");
    TProgramUser::vSetUser(puDeveloper);  // program user 0 is asked in German too
    t.vAddFile(src.c_str());
    ASSERT_EQ(t.iGetCount(), 3);
    ASSERT_EQ(r.Requests().size(), 3u);
    const auto& q = r.Requests()[0];
    EXPECT_EQ(q.eKind, qx::platform::TDialogKind::InputQuery);
    EXPECT_EQ(q.caption,
              "Bitte \xDC"
              "bersetzung angeben f\xFC"
              "r:");
    EXPECT_EQ(q.text, ">>Speichern<<");
    EXPECT_EQ(q.value, "Speichern");
    EXPECT_GE(t.iFind("Speichern"), 0);
    EXPECT_GE(t.iFind("Eins\") + translate(\"Zwei"), 0);
    EXPECT_GE(t.iFind("Schr\\\"aeg"), 0);  // verbatim, escapes untouched
    EXPECT_TRUE(t.bChanged);
}

}  // namespace
