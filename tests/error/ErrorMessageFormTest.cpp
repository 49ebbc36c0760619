// The error dialog form (its views, table, texts in both languages and its buttons) and the
// labelled report of the error list (qx::SPrintfErrorMessage) in both languages.
#include <string>
#include <tuple>
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
    const char *part, *uptime, *noDetails;
};

class ErrorFormTexts : public ErrorForm, public ::testing::WithParamInterface<TFormTexts> {};

TEST_P(ErrorFormTexts, CompactViewTableAndDetailsFollowTheLanguage) {
    const TFormTexts& x = GetParam();
    L::vSetAktLanguage(x.language);
    raiseWithTwoTraces();
    auto f = makeForm();
    EXPECT_EQ((std::vector<std::string>{f->Caption(), f->ButtonContinue->Caption(),
                                        f->ButtonAbort->Caption(), f->ButtonClipboard->Caption(),
                                        f->ButtonHilfe->Caption(), f->cbNoError->Caption(),
                                        f->lbAngaben->Caption(), f->edAngaben2->Text()}),
              x.captions);
    EXPECT_TRUE(f->edFehlercode->ReadOnly());  // its text: see the message box's compact view

    TStringGrid& t = *f->Fehlertabelle;
    ASSERT_EQ(t.RowCount(), 18);
    EXPECT_EQ(t.Cells(1, 1), std::string(x.part) + " ( 0x00036000 )");
    EXPECT_EQ(t.Cells(1, 3), "167");
    EXPECT_EQ(t.Cells(1, 4), x.captions[7] + " ( 0x05100000 )");
    EXPECT_EQ(t.Cells(0, 5), x.captions[6]);
    EXPECT_EQ(t.Cells(1, 7), "\"a b \"");
    EXPECT_EQ(t.Cells(1, 10), qx::platform::OperatingSystemLine());
    EXPECT_EQ(t.Cells(0, 12), x.uptime);
    EXPECT_EQ(t.Cells(1, 14), "");
    EXPECT_EQ(t.Cells(0, 15), "    grid.src ( 167 )");
    EXPECT_EQ(t.Cells(0, 16), "    frame.src ( 88 )");
    // Column widths fit the widest text plus 16 pixels.
    int widest = 0;
    for (int r = 0; r < t.RowCount(); ++r)
        widest = std::max(widest, t.Canvas().TextWidth(t.Cells(0, r)));
    EXPECT_EQ(t.ColWidths(0), widest + 16);

    // The details show the table below and centre the window; a second click hides it.
    EXPECT_EQ(f->ClientHeight(), 124 + 39);
    EXPECT_EQ(t.Height(), 0) << "the table is hidden in the compact view";
    f->btExtend->Click();
    EXPECT_EQ(f->ClientHeight(), 124 + 39 + 200);
    EXPECT_EQ(t.Height(), 200);
    EXPECT_EQ(f->btExtend->Caption(), x.noDetails);
    EXPECT_EQ(f->Top(), (Screen->WorkAreaHeight() - f->Height()) / 2);
    f->btExtend->Click();
    EXPECT_EQ(f->ClientHeight(), 124 + 39);
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
                   "Programm l\xE4uft seit",
                   "Keine Details"},
        TFormTexts{L::eEnglisch,
                   {"An error has occurred", "Continue program", "Abort program", "To clipboard",
                    "Help", "Show no further error messages", "Additional data", "wrong parameter"},
                   "string grid",
                   "Program running since",
                   "No Details"}));

TEST_F(ErrorForm, CompactViewAndTableFollowTheTypeTable) {
    // Code, text (null: none), text shown, type in the table.
    const std::tuple<unsigned long, const char*, const char*, const char*> cases[] = {
        {0xE0000000UL, nullptr, "", "Nicht spezifizierter Fehlertyp ( 0x00000000 )"},
        {0xE0F00000UL, nullptr, "--", "Nicht spezifizierter Fehlertyp ( 0x00f00000 )"},
        {0xE0300000UL, nullptr, "Nicht genug Speicher ( 0x00300000 )",
         "Nicht genug Speicher ( 0x00300000 )"},
        {0xE0F00001UL, "unknown type", "unknown type",
         "Nicht spezifizierter Fehlertyp ( 0x00f00000 )"},
        {0xE0000000UL, "no type", "no type", "Nicht spezifizierter Fehlertyp ( 0x00000000 )"},
    };
    for (const auto& [code, text, shown, type] : cases) {
        SCOPED_TRACE(shown);
        text ? qx::error(code, "x.src", 1, "%s", text) : qx::error(code, "x.src", 1);
        auto f = makeForm();
        // The compact view shows no second line: the type only stands beside a text of a
        // known type.
        EXPECT_TRUE(f->asGetCompactView().ends_with(std::string("Angaben: ") + shown + "\n"));
        EXPECT_EQ(f->Fehlertabelle->Cells(1, 4), type);
        EXPECT_EQ(f->Fehlertabelle->Cells(1, 1),
                  "Nicht spezifizierter Programmteil ( 0x00000000 )");
    }
}

TEST_F(ErrorForm, ButtonsLayOutCopyHelpAndSwitchOffDialogsAndTheMessageBoxShowsTheForm) {
    raiseWithTwoTraces();
    // Without a responder the compact view goes to standard error, in UTF-8.
    testing::internal::CaptureStderr();
    qx::ErrorMessageBox();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("  Zus\xC3\xA4tzliche Angaben: FixedRows=5 NumCol=3\n"), std::string::npos)
        << err;

    auto f = makeForm();
    f->SetClientWidth(700);
    EXPECT_EQ((std::vector<int>{f->ButtonAbort->Left(), f->ButtonContinue->Left(),
                                f->ButtonClipboard->Left(), f->ButtonHilfe->Left(),
                                f->btExtend->Left(), f->edAngaben2->Width()}),
              (std::vector<int>{210, 333, 455, 577, 577, 568}));

    f->ButtonClipboard->Click();
    const std::string clip = qx::platform::GetClipboardText();
    EXPECT_EQ(clip.rfind("Fehlercode: 0xe5136001: \r\nProgrammteil: Tabellengitter", 0), 0u)
        << "each cell is followed by \": \"";
    EXPECT_TRUE(clip.ends_with("\r\n    menu.src ( 12 ): Tabelle laden: \r\n")) << clip;

    qx::test::TResponderScope r;
    r.MessageBox(IDOK);
    f->ButtonHilfe->Click();
    EXPECT_EQ(r.Requests().back().caption, "Hilfe");
    EXPECT_EQ(r.Requests().back().text.rfind("Wenn das Fehlerfenster", 0), 0u);

    r.MessageBox(IDOK);
    f->cbNoError->Click();  // ticking warns once and clears the flag
    EXPECT_FALSE(show);
    EXPECT_EQ(r.Requests().back().caption, "Warnung");
    EXPECT_EQ(r.Requests().back().iFlags, MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
    f->cbNoError->Click();  // unticking sets it again, without a box
    EXPECT_TRUE(show);
    EXPECT_EQ(r.Requests().size(), 2u);

    // The message box shows the form modally: a named button on it, then continue.
    r.ModalForm("btExtend");
    r.ModalForm("ButtonContinue");
    qx::ErrorMessageBox();
    ASSERT_EQ(r.Requests().size(), 4u);
    EXPECT_EQ(r.Requests()[2].eKind, qx::platform::TDialogKind::ErrorDialog);
    EXPECT_EQ(r.Requests()[2].text,
              "Es ist ein Fehler aufgetreten\n"
              "  Fehlercode: 0xe5136001\n"
              "  Quelltextdatei: grid.src(167)\n"
              "  Zus\xE4tzliche Angaben: FixedRows=5 NumCol=3\n"
              "                       Fehlerhafter Parameter\n");
    EXPECT_EQ(qx::getErrorCode(), 0xE5136001UL) << "the dialog leaves the list alone";
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
