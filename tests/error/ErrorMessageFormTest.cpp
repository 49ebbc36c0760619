// The error dialog form: its views, table, texts in both languages and its buttons.
#include "tests/support/TestSupport.h"

namespace {
class ErrorForm : public qx::test::ErrorStateTest {
  protected:
    void SetUp() override {
        ErrorStateTest::SetUp();
        const char* argv[] = {"/usr/bin/host", "a", "b"};
        Application->SetArguments(3, argv);
    }
    void raiseWithTwoTraces() {
        qx::error(0xE5136001UL, "/src/grid.src", 167, "FixedRows=%d NumCol=%d", 5, 3);
        qx::trace("frame.src", 88);
        qx::trace("menu.src", 12, "Tabelle laden");
    }
    std::unique_ptr<TErrorMessageForm2> makeForm() {
        return std::make_unique<TErrorMessageForm2>(nullptr, qx::rGetErrorInfo(), show);
    }
    bool show = true;
};
}  // namespace

TEST_F(ErrorForm, CompactViewAndTableOfAnErrorWithTraces) {
    raiseWithTwoTraces();
    auto f = makeForm();
    EXPECT_EQ(f->Caption(), "Es ist ein Fehler aufgetreten");
    EXPECT_EQ(f->edFehlercode->Text(), "0xe5136001");
    EXPECT_EQ(f->edFehlerort->Text(), "grid.src(167)");
    EXPECT_EQ(f->edAngaben1->Text(), "FixedRows=5 NumCol=3");
    EXPECT_EQ(f->edAngaben2->Text(), "Fehlerhafter Parameter");
    EXPECT_TRUE(f->edFehlercode->ReadOnly());

    TStringGrid& t = *f->Fehlertabelle;
    ASSERT_EQ(t.RowCount(), 18);
    EXPECT_EQ(t.Cells(0, 1), "Programmteil");
    EXPECT_EQ(t.Cells(1, 1), "Tabellengitter ( 0x00036000 )");
    EXPECT_EQ(t.Cells(1, 3), "167");
    EXPECT_EQ(t.Cells(1, 4), "Fehlerhafter Parameter ( 0x05100000 )");
    EXPECT_EQ(t.Cells(0, 5), "Zus\xE4tzliche Angaben");
    EXPECT_EQ(t.Cells(1, 7), "\"a b \"");
    EXPECT_EQ(t.Cells(1, 10), qx::platform::OperatingSystemLine());
    EXPECT_EQ(t.Cells(0, 14), "Aufrufstack:");
    EXPECT_EQ(t.Cells(1, 14), "");
    EXPECT_EQ(t.Cells(0, 15), "    grid.src ( 167 )");
    EXPECT_EQ(t.Cells(0, 16), "    frame.src ( 88 )");
    EXPECT_EQ(t.Cells(1, 17), "Tabelle laden");
    // Column widths fit the widest text plus 16 pixels.
    int widest = 0;
    for (int r = 0; r < t.RowCount(); ++r)
        widest = std::max(widest, t.Canvas().TextWidth(t.Cells(0, r)));
    EXPECT_EQ(t.ColWidths(0), widest + 16);
}

TEST_F(ErrorForm, AnswersWithoutTextFollowTheTypeTable) {
    qx::error(0xE0000000UL, "x.src", 1);
    auto f = makeForm();
    EXPECT_EQ(f->edAngaben1->Text(), "");
    EXPECT_EQ(f->edAngaben2->Text(), "");
    EXPECT_EQ(f->Fehlertabelle->Cells(1, 4), "Nicht spezifizierter Fehlertyp ( 0x00000000 )");
    EXPECT_EQ(f->Fehlertabelle->Cells(1, 1), "Nicht spezifizierter Programmteil ( 0x00000000 )");

    qx::error(0xE0F00000UL, "x.src", 1);  // a type that is not in the table
    EXPECT_EQ(makeForm()->edAngaben1->Text(), "--");
    qx::error(0xE0300000UL, "x.src", 1);
    EXPECT_EQ(makeForm()->edAngaben1->Text(), "Nicht genug Speicher ( 0x00300000 )");
}

TEST_F(ErrorForm, EnglishTexts) {
    TLanguage::setEnglisch();
    raiseWithTwoTraces();
    auto f = makeForm();
    EXPECT_EQ(f->Caption(), "An error has occurred");
    EXPECT_EQ(f->ButtonContinue->Caption(), "Continue program");
    EXPECT_EQ(f->ButtonAbort->Caption(), "Abort program");
    EXPECT_EQ(f->ButtonClipboard->Caption(), "To clipboard");
    EXPECT_EQ(f->ButtonHilfe->Caption(), "Help");
    EXPECT_EQ(f->cbNoError->Caption(), "Show no further error messages");
    EXPECT_EQ(f->lbAngaben->Caption(), "Additional data");
    EXPECT_EQ(f->edAngaben2->Text(), "wrong parameter");
    EXPECT_EQ(f->Fehlertabelle->Cells(0, 12), "Program running since");
}

TEST_F(ErrorForm, DetailsSwitchHeightCaptionAndCentreTheWindow) {
    raiseWithTwoTraces();
    auto f = makeForm();
    EXPECT_EQ(f->ClientHeight(), 124 + 39);
    EXPECT_EQ(f->Fehlertabelle->Height(), 0) << "the table is hidden in the compact view";
    f->btExtend->Click();
    EXPECT_EQ(f->ClientHeight(), 124 + 39 + 200);
    EXPECT_EQ(f->Fehlertabelle->Height(), 200);
    EXPECT_EQ(f->btExtend->Caption(), "Keine Details");
    EXPECT_EQ(f->Top(), (Screen->WorkAreaHeight() - f->Height()) / 2);
    f->btExtend->Click();
    EXPECT_EQ(f->ClientHeight(), 124 + 39);
    EXPECT_EQ(f->btExtend->Caption(), "Details");
}

TEST_F(ErrorForm, PanelsLayOutButtonsAndEditsFromTheRight) {
    raiseWithTwoTraces();
    auto f = makeForm();
    f->SetClientWidth(700);
    EXPECT_EQ(f->ButtonHilfe->Left(), 700 - 115 - 8);
    EXPECT_EQ(f->ButtonClipboard->Left(), f->ButtonHilfe->Left() - 114 - 8);
    EXPECT_EQ(f->ButtonContinue->Left(), f->ButtonClipboard->Left() - 114 - 8);
    EXPECT_EQ(f->ButtonAbort->Left(), f->ButtonContinue->Left() - 115 - 8);
    EXPECT_EQ(f->edAngaben2->Width(), 700 - 124 - 8);
    EXPECT_EQ(f->btExtend->Left(), 700 - 115 - 8);
}

TEST_F(ErrorForm, ClipboardHelpAndTheNoFurtherErrorsBox) {
    raiseWithTwoTraces();
    auto f = makeForm();
    f->ButtonClipboard->Click();
    const std::string clip = qx::platform::GetClipboardText();
    EXPECT_EQ(clip.rfind("Fehlercode: 0xe5136001: \r\nProgrammteil: Tabellengitter", 0), 0u)
        << "each cell is followed by \": \"";
    const std::string tail = "\r\n    menu.src ( 12 ): Tabelle laden: \r\n";
    EXPECT_EQ(clip.substr(clip.size() - tail.size()), tail);

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

TEST_F(ErrorForm, ErrorMessageBoxShowsTheFormModally) {
    raiseWithTwoTraces();
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

TEST_F(ErrorForm, WithoutResponderTheCompactViewGoesToStandardError) {
    raiseWithTwoTraces();
    testing::internal::CaptureStderr();
    qx::ErrorMessageBox();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("  Zus\xC3\xA4tzliche Angaben: FixedRows=5 NumCol=3\n"), std::string::npos)
        << err;
}
