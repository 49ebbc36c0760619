// The grid's dialogs and the commands that open them: count, table size and cell format.
#include "tests/support/TestSupport.h"

namespace {

using qx::test::TResponderScope;

class GridDialogs : public qx::test::ErrorStateTest {
  protected:
    void TearDown() override {
        TLanguage::setDeutsch();
        ErrorStateTest::TearDown();
    }
};

}  // namespace

TEST_F(GridDialogs, TheFormatDialogOpensOnTheCurrentFormatWithNoAspectChosen) {
    TCellPropertyQx property;
    TCellPropertyQx::TAssign assign;
    TZellenFormatierung d(nullptr, &assign, &property);
    EXPECT_TRUE(d.rbMittel->Checked());
    EXPECT_TRUE(d.rbDefault->Checked());
    EXPECT_TRUE(d.rbHFWeiss->Checked());
    EXPECT_TRUE(d.rbVGSchwarz->Checked());
    for (TCheckBox* c : {d.cbFontGroesse, d.cbFontfarbe, d.cbHintergrundfarbe, d.cbAusrichtung})
        EXPECT_FALSE(c->Checked()) << c->Name();
    EXPECT_EQ(d.rbGross->Font().Size, 10);
    EXPECT_EQ(d.rbKlein->Font().Size, 6);
    EXPECT_EQ(d.rbVGRot->Color(), 0x0000FF);
    EXPECT_EQ(d.rbHFRot->Color(), 0xC8C8FF);
    EXPECT_EQ(d.paTest->Caption(), "Test");

    // A greyed cell checks no background radio.
    TCellPropertyQx grey;
    grey.vSetBKColor(eColorGray);
    grey.vSetFontColor(eColorWhite);
    TZellenFormatierung g(nullptr, &assign, &grey);
    for (TRadioButton* r : {g.rbHFWeiss, g.rbHFGelb, g.rbHFRot, g.rbHFGruen, g.rbHFBlau,
                            g.rbVGSchwarz, g.rbVGGelb, g.rbVGRot, g.rbVGBlau, g.rbVGGruen})
        EXPECT_FALSE(r->Checked()) << r->Name();
}

TEST_F(GridDialogs, OnlyTheAspectsChosenAreMarkedForApplying) {
    TCellPropertyQx property;
    property.vSetFontSize(eFontLarge);
    TCellPropertyQx::TAssign assign;
    TZellenFormatierung d(nullptr, &assign, &property);
    d.rbHFRot->Click();
    EXPECT_TRUE(d.cbHintergrundfarbe->Checked());
    EXPECT_EQ(d.paTest->Color(), 0xC8C8FF) << "the preview follows";
    d.rbRechts->Click();
    d.cbAusrichtung->SetChecked(false);  // chosen, then not applied
    d.rbKlein->Click();
    EXPECT_EQ(d.paTest->Font().Size, 6);
    d.btOk->Click();
    EXPECT_EQ(d.ModalResult(), mrOk);
    EXPECT_FALSE(assign.bFontColor);
    EXPECT_FALSE(assign.bAdjust);
    EXPECT_TRUE(assign.bBKColor);
    EXPECT_TRUE(assign.bFontSize);
    EXPECT_EQ(property.eGetBKColor(), eColorRed);
    EXPECT_EQ(property.eGetAdjust(), eAdjustRight);
    EXPECT_EQ(property.eGetFontSize(), eFontSmall);

    TCellPropertyQx untouched;
    TCellPropertyQx::TAssign keep{true, true, true, true};
    TZellenFormatierung c(nullptr, &keep, &untouched);
    c.rbHFBlau->Click();
    c.btCancel->Click();
    EXPECT_EQ(c.ModalResult(), mrCancel);
    EXPECT_EQ(untouched.eGetBKColor(), eColorWhite);
    EXPECT_TRUE(keep.bFontSize && keep.bFontColor && keep.bAdjust && keep.bBKColor);
}

TEST_F(GridDialogs, CaptionsInBothLanguages) {
    struct Case {
        bool german;
        const char *format, *size, *cancel, *rows, *right;
    };
    for (const Case& c :
         {Case{true, "Zellenformatierung",
               "Tabellengr\xF6\xDF"
               "e",
               "Abbrechen", "Zeilen", "          Rechts"},
          Case{false, "Format of cells", "Table size", "Cancel", "Rows", "             Right"}}) {
        c.german ? TLanguage::setDeutsch() : TLanguage::setEnglisch();
        TCellPropertyQx p;
        TCellPropertyQx::TAssign a;
        TZellenFormatierung f(nullptr, &a, &p);
        int rows = 1, cols = 1;
        TTabellenGroesse t(nullptr, &cols, &rows);
        TIncreaseSize i(nullptr, 1000, 1, &rows, "title");
        EXPECT_EQ(f.Caption(), c.format);
        EXPECT_EQ(f.rbRechts->Caption(), c.right);
        EXPECT_EQ(t.Caption(), c.size);
        EXPECT_EQ(t.lbZeilen->Caption(), c.rows);
        EXPECT_EQ(i.Caption(), "title");
        for (TButton* b : {f.btCancel, t.btCancel, i.btCancel}) EXPECT_EQ(b->Caption(), c.cancel);
    }
}

TEST_F(GridDialogs, CountFieldsHoldTheirLimitsAndCancelWritesNothing) {
    int rows = 7, cols = 3;
    TTabellenGroesse t(nullptr, &cols, &rows);
    EXPECT_EQ(t.deZeilen->Value(), 7);
    EXPECT_EQ(t.deSpalten->Value(), 3);
    t.deZeilen->SetValue(0);
    t.deSpalten->SetValue(4.9);
    t.btOk->Click();
    EXPECT_EQ(rows, 1) << "at least one row";
    EXPECT_EQ(cols, 4);

    int count = 5;
    TIncreaseSize i(nullptr, 10, 2, &count, "t");
    i.DoubleEdit1->SetValue(99);
    i.btCancel->Click();
    EXPECT_EQ(count, 5);
    i.btOk->Click();
    EXPECT_EQ(count, 10);
}

TEST_F(GridDialogs, TableSizeAndFormattingThroughThePopupMenu) {
    TResponderScope r;
    TStringGridQx g(nullptr);
    g.vSetTableSize(4, 2);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 2; ++col)
            g.vSetCellString(row, col, (std::to_string(row) + std::to_string(col)).c_str());
    std::vector<std::string> events;
    g.ERowsDeleted = [&](int a, int b) {
        events.push_back("rows deleted " + std::to_string(a) + ".." + std::to_string(b));
    };
    g.EColsAppended = [&](int n) { events.push_back("cols appended " + std::to_string(n)); };
    r.PopupMenu(
        "Tabellengr\xF6\xDF"
        "e");
    r.Type("deZeilen", "2");
    r.Type("deSpalten", "5");
    r.ModalForm("btOk");
    g.pGetPopupMenu()->Popup(0, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"rows deleted 2..3", "cols appended 3"}));
    EXPECT_EQ(g.iGetRowCount(), 2);
    EXPECT_EQ(g.iGetColCount(), 5);

    // Formatting a 2 × 2 block with only the background chosen keeps fonts and alignments.
    g.vSetFontSize(eFontLarge, 0, 0, 0, 0);
    g.vSetAdjust(eAdjustRight, 1, 1, 1, 1);
    g.vSetSelectedArea(0, 1, 0, 1);
    r.PopupMenu("Formatierung");
    r.ModalForm("rbHFRot");
    r.ModalForm("btOk");
    g.pGetPopupMenu()->Popup(0, 0);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col)
            EXPECT_EQ(g.eGetBKColor(row, col), eColorRed) << row << col;
    EXPECT_EQ(g.eGetFontSize(0, 0), eFontLarge);
    EXPECT_EQ(g.eGetFontSize(1, 1), eFontMedium);
    EXPECT_EQ(g.eGetAdjust(1, 1), eAdjustRight);
    EXPECT_EQ(g.eGetBKColor(0, 2), eColorWhite);
    EXPECT_EQ(g.Objects(g.iColIn(3), g.iRowIn(1)), nullptr)
        << "cells outside the block get no object";

    r.PopupMenu("Formatierung");
    r.ModalForm("rbHFBlau");
    r.ModalForm("btCancel");
    g.pGetPopupMenu()->Popup(0, 0);
    EXPECT_EQ(g.eGetBKColor(0, 0), eColorRed) << "cancel changes nothing";
}
