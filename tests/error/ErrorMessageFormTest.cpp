// The error dialog form (its views, table, texts in both languages and its buttons) and the
// labelled report of the error list (qx::SPrintfErrorMessage) in both languages.
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

using L = TLanguage;
using qx::test::Join;

class ErrorForm : public qx::test::ErrorStateTest {
  protected:
    void SetUp() override {
        ErrorStateTest::SetUp();
        Application->SetTitle("Messplatz");
        Application->SetArguments(std::vector<AnsiString>{"/opt/bin/messplatz", "a", "b"});
    }
    void TearDown() override {
        qx::platform::SetTickSource({});
        qx::rGetErrorInfo().ulStartTime = savedStart_;
        ErrorStateTest::TearDown();
    }
    // Program start and the current tick, both in milliseconds since the system started.
    static void SetClock(std::uint32_t start, std::uint32_t now) {
        qx::rGetErrorInfo().ulStartTime = start;
        qx::platform::SetTickSource([now] { return now; });
    }
    static std::string Report() {
        std::string buf(16384, '\0');
        qx::SPrintfErrorMessage(buf.data(), static_cast<int>(buf.size()));
        return buf.c_str();
    }
    static void raiseWithTwoTraces() {
        qx::error(0xE5136001UL, "/src/grid.src", 167, "FixedRows=%d NumCol=%d", 5, 3);
        qx::trace("frame.src", 88);
        qx::trace("menu.src", 12, "Tabelle laden");
    }
    std::unique_ptr<TErrorMessageForm2> makeForm() {
        return std::make_unique<TErrorMessageForm2>(nullptr, qx::rGetErrorInfo(), show);
    }
    bool show = true;
    const unsigned long savedStart_ = qx::rGetErrorInfo().ulStartTime;
};

struct TFormTexts {
    L::eTLanguage language;
    // Form, continue, abort, clipboard, help, check box, label of the data, the type's text.
    std::vector<std::string> captions;
    const char *part, *noDetails;
};

class ErrorFormTexts : public ErrorForm, public ::testing::WithParamInterface<TFormTexts> {};

TEST_P(ErrorFormTexts, CaptionsAndTableFollowTheLanguage) {
    const TFormTexts& x = GetParam();
    L::vSetAktLanguage(x.language);
    raiseWithTwoTraces();
    auto f = makeForm();
    EXPECT_EQ((std::vector<std::string>{f->Caption(), f->ButtonContinue->Caption(),
                                        f->ButtonAbort->Caption(), f->ButtonClipboard->Caption(),
                                        f->ButtonHilfe->Caption(), f->cbNoError->Caption(),
                                        f->lbAngaben->Caption(), f->edAngaben2->Text()}),
              x.captions);
    EXPECT_EQ(f->Fehlertabelle->Cells(1, 1), std::string(x.part) + " ( 0x00036000 )");
    f->btExtend->Click();
    EXPECT_EQ(f->btExtend->Caption(), x.noDetails);
    f->btExtend->Click();
    EXPECT_EQ(f->btExtend->Caption(), "Details");
}

INSTANTIATE_TEST_SUITE_P(
    Languages, ErrorFormTexts,
    ::testing::Values(
        TFormTexts{L::eDeutsch,
                   {"Es ist ein Fehler aufgetreten", "Programm fortsetzen", "Programm abbrechen",
                    "In die Zwischenablage", "Hilfe", "Keine weiteren Fehlermeldungen anzeigen",
                    "Zus\xE4tzliche Angaben", "Fehlerhafter Parameter"},
                   "Tabellengitter",
                   "Keine Details"},
        TFormTexts{L::eEnglisch,
                   {"An error has occurred", "Continue program", "Abort program", "To clipboard",
                    "Help", "Show no further error messages", "Additional data", "wrong parameter"},
                   "string grid",
                   "No Details"}));

TEST_F(ErrorForm, ButtonsLayOutCopyHelpAndSwitchOffDialogsAndTheMessageBoxShowsTheForm) {
    raiseWithTwoTraces();
    // Without a responder the compact view goes to standard error, in UTF-8.
    testing::internal::CaptureStderr();
    qx::ErrorMessageBox();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("  Zus\xC3\xA4tzliche Angaben: FixedRows=5 NumCol=3\n"), std::string::npos)
        << err;

    auto f = makeForm();
    f->ButtonClipboard->Click();
    const std::string clip = qx::platform::GetClipboardText();
    EXPECT_EQ(clip.rfind("Fehlercode: 0xe5136001: \r\nProgrammteil: Tabellengitter", 0), 0u)
        << "each cell is followed by \": \"";

    qx::test::TResponderScope r;
    r.MessageBox(IDOK);
    f->ButtonHilfe->Click();
    EXPECT_EQ(r.Requests().back().caption, "Hilfe");
    EXPECT_EQ(r.Requests().back().text.rfind("Wenn das Fehlerfenster", 0), 0u);

    r.MessageBox(IDOK);
    f->cbNoError->Click();  // ticking warns once and clears the flag
    EXPECT_FALSE(show);
    EXPECT_EQ(r.Requests().back().caption, "Warnung");
    f->cbNoError->Click();  // unticking sets it again, without a box
    EXPECT_TRUE(show);

    // The message box shows the form modally: a named button on it, then continue.
    r.ModalForm("btExtend");
    r.ModalForm("ButtonContinue");
    qx::ErrorMessageBox();
    ASSERT_EQ(r.Requests().size(), 4u);
    EXPECT_EQ(r.Requests()[2].text,
              "Es ist ein Fehler aufgetreten\n"
              "  Fehlercode: 0xe5136001\n"
              "  Quelltextdatei: grid.src(167)\n"
              "  Zus\xE4tzliche Angaben: FixedRows=5 NumCol=3\n"
              "                       Fehlerhafter Parameter\n");
}

TEST_F(ErrorForm, ReportsInBothLanguagesAreWrittenOnlyWhenTheyFitWhole) {
    qx::test::TTempDir dir;
    const std::string log = dir.File("fehler.txt");
    ASSERT_TRUE(qx::openErrorFile(log.c_str()));
    // Started 1000 ms before the tick wrapped; running 1d 1h 1m 1s 999ms.
    SetClock(0xFFFFFC18u, 90061999u - 1000u);
    qx::error(0xE5136001, "C:\\src\\grid.src", 167, "FixedRows=%d NumCol=%d", 5, 3);
    qx::trace("/src/frame.src", 88);

    EXPECT_EQ(Report(), Join({"\n\tFehlercode: 0xe5136001\n"
                              "\tQuelltextdatei: grid.src\n"
                              "\tQuelltextzeile: 167\n"
                              "\tFehlertyp: Fehlerhafter Parameter ( 0x05100000 )\n"
                              "\tZus\xE4tzliche Angaben: FixedRows=5 NumCol=3\n"
                              "\tApplikation: Messplatz\n"
                              "\tAufrufparameter: \"a b \"\n"
                              "\tBetriebssystem:: ",
                              qx::platform::OperatingSystemLine(), "\n\tFehlerdatei: ", log,
                              "\n\tProgramm l\xE4uft seit: 1d 1h 1m 1s\n"
                              "\tRechner l\xE4uft seit: 1d 1h 1m 0s\n"
                              "\tAufrufstack::\n"
                              "\t\tgrid.src (167)\tFixedRows=5 NumCol=3"
                              "\t\tframe.src (88)\t"}));

    // The buffer is written only when the whole report fits.
    qx::error(0xE7436005, "grid.src", 1, "%s", std::string(900, 'x').c_str());
    for (int i = 0; i < 20; ++i) qx::trace("grid.src", i, "level %d", i);
    const std::string full = Report();
    ASSERT_GT(full.size(), 1000u);
    const int n = static_cast<int>(full.size());
    std::string buf(full.size() + 1, '#');
    for (int size : {-1, 0, 1, n / 2, n}) {
        qx::SPrintfErrorMessage(buf.data(), size);
        EXPECT_EQ(buf, std::string(full.size() + 1, '#')) << "size " << size;
    }
    qx::SPrintfErrorMessage(buf.data(), n + 1);
    EXPECT_EQ(buf, full + '\0');

    // In English, after deletion, with no stale entry, log or arguments.
    qx::closeErrorFile();
    qx::deleteError();
    TLanguage::setEnglisch();
    Application->SetArguments(std::vector<AnsiString>{"/opt/bin/messplatz"});
    SetClock(59999, 59999);
    EXPECT_EQ(Report(), Join({"\n\tError code: 0x00000000\n"
                              "\tSource text file: \n"
                              "\tSource text line: 0\n"
                              "\tType of error: Error type not specified ( 0x00000000 )\n"
                              "\tAdditional data: \n"
                              "\tApplication: Messplatz\n"
                              "\tCall parameters: \"\"\n"
                              "\tOperating system:: ",
                              qx::platform::OperatingSystemLine(),
                              "\n\tError file: \n"
                              "\tProgram running since: 0d 0h 0m 0s\n"
                              "\tComputer running since: 0d 0h 0m 59s\n"
                              "\tCall stack::\n"}));
}

}  // namespace
