// The error dialog form: its views, table, texts in both languages and its buttons.
#include "tests/support/TestSupport.h"

namespace {

using L = TLanguage;

class ErrorForm : public qx::test::ErrorStateTest {
  protected:
    void SetUp() override {
        ErrorStateTest::SetUp();
        const char* argv[] = {"/usr/bin/host", "a", "b"};
        Application->SetArguments(3, argv);
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
    EXPECT_EQ(f->edFehlercode->Text(), "0xe5136001");
    EXPECT_TRUE(f->edFehlercode->ReadOnly());
    EXPECT_EQ(f->edFehlerort->Text(), "grid.src(167)");
    EXPECT_EQ(f->edAngaben1->Text(), "FixedRows=5 NumCol=3");

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
    EXPECT_EQ(t.Cells(1, 17), "Tabelle laden");
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
    struct {
        unsigned long code;
        const char* text;  // null: none
        const char *shown, *type;
    } cases[] = {
        {0xE0000000UL, nullptr, "", "Nicht spezifizierter Fehlertyp ( 0x00000000 )"},
        {0xE0F00000UL, nullptr, "--", "Nicht spezifizierter Fehlertyp ( 0x00f00000 )"},
        {0xE0300000UL, nullptr, "Nicht genug Speicher ( 0x00300000 )",
         "Nicht genug Speicher ( 0x00300000 )"},
        {0xE0F00001UL, "unknown type", "unknown type",
         "Nicht spezifizierter Fehlertyp ( 0x00f00000 )"},
        {0xE0000000UL, "no type", "no type", "Nicht spezifizierter Fehlertyp ( 0x00000000 )"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        c.text ? qx::error(c.code, "x.src", 1, "%s", c.text) : qx::error(c.code, "x.src", 1);
        auto f = makeForm();
        // The compact view shows no second line: the type only stands beside a text of a
        // known type.
        EXPECT_EQ(f->edAngaben1->Text(), c.shown);
        EXPECT_EQ(f->edAngaben2->Text(), "");
        EXPECT_TRUE(f->asGetCompactView().ends_with(std::string("Angaben: ") + c.shown + "\n"));
        EXPECT_EQ(f->Fehlertabelle->Cells(1, 4), c.type);
        EXPECT_EQ(f->Fehlertabelle->Cells(1, 1),
                  "Nicht spezifizierter Programmteil ( 0x00000000 )");
    }
}

TEST_F(ErrorForm, ButtonsLayOutFromTheRightAndCopyHelpAndSwitchOffDialogs) {
    raiseWithTwoTraces();
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
}

TEST_F(ErrorForm, ErrorMessageBoxShowsTheFormModallyOrWritesToStandardError) {
    raiseWithTwoTraces();
    {
        qx::test::TResponderScope r;
        r.ModalForm("btExtend");        // a named button on the dialog...
        r.ModalForm("ButtonContinue");  // ...then continue
        qx::ErrorMessageBox();
        ASSERT_EQ(r.Requests().size(), 2u);
        EXPECT_EQ(r.Requests()[0].eKind, qx::platform::TDialogKind::ErrorDialog);
        EXPECT_EQ(r.Requests()[0].text,
                  "Es ist ein Fehler aufgetreten\n"
                  "  Fehlercode: 0xe5136001\n"
                  "  Quelltextdatei: grid.src(167)\n"
                  "  Zus\xE4tzliche Angaben: FixedRows=5 NumCol=3\n"
                  "                       Fehlerhafter Parameter\n");
        EXPECT_EQ(qx::getErrorCode(), 0xE5136001UL) << "the dialog leaves the list alone";
    }
    // Without a responder the compact view goes to standard error, in UTF-8.
    testing::internal::CaptureStderr();
    qx::ErrorMessageBox();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("  Zus\xC3\xA4tzliche Angaben: FixedRows=5 NumCol=3\n"), std::string::npos)
        << err;
}

}  // namespace
