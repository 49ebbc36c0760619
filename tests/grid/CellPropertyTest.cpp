// Cell, column and line properties (defaults, assignment, colours, the stream record) and the
// dialogs that edit them: cell format, table size and count.
#include "tests/grid/GridSupport.h"

namespace qx::test {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes bytesOf(const TCellPropertyQx& p) {
    TMemoryStream s;
    p.vWrite2Stream(s);
    const auto* m = static_cast<const unsigned char*>(s.Memory());
    return {m, m + s.Size()};
}

// Reads `bytes` into `p`; returns how many bytes the read consumed.
std::int64_t readInto(TCellPropertyQx& p, const Bytes& bytes) {
    TMemoryStream s;
    if (!bytes.empty()) s.Write(bytes.data(), static_cast<long>(bytes.size()));
    s.SetPosition(0);
    p.vReadFromStream(s);
    return s.Position();
}

TEST(CellProperty, FreshObjectsWriteTheirDefaultRecords) {
    EXPECT_EQ(bytesOf(TCellPropertyQx{}), (Bytes{1, 0, 1, 0, 7, 1, 0}));
    EXPECT_EQ(bytesOf(TColumnPropertyQx{}), (Bytes{1, 0, 1, 0, 1, 1, 0}));
    EXPECT_EQ(bytesOf(TLinePropertyQx{}), (Bytes{1, 0, 1, 0, 1, 1, 0}));
    EXPECT_TRUE(TColumnPropertyQx{}.bGetAutomaticWidth());
    EXPECT_TRUE(TLinePropertyQx{}.bGetAutomaticHeight());
}

TEST(CellProperty, RecordsRoundTripAndForeignVersionsChangeNothing) {
    TCellPropertyQx p;
    p.vSetAdjust(eAdjustRight);
    p.vSetFontSize(eFontLarge);
    p.vSetFontColor(eColorRed);
    p.vSetBKColor(eColorYellow);
    p.vSetCanEdit(false);
    p.vSetHiddenString("verborgen \xE4");
    const Bytes record = bytesOf(p);
    ASSERT_EQ(record.size(), 7u + 11u);

    TCellPropertyQx q;
    EXPECT_EQ(readInto(q, record), static_cast<std::int64_t>(record.size()));
    EXPECT_EQ(bytesOf(q), record);
    EXPECT_FALSE(q.bGetChanged());

    Bytes v2 = record;
    v2[0] = 2;
    TCellPropertyQx r;
    EXPECT_EQ(readInto(r, v2), 1) << "stops after the version byte";
    EXPECT_EQ(bytesOf(r), bytesOf(TCellPropertyQx{}));

    // Out-of-range values are stored as read; unknown sizes are 10 points, unknown colours black.
    TCellPropertyQx odd;
    readInto(odd, {1, 9, 200, 8, 255, 5, 0});
    EXPECT_EQ(odd.eGetAdjust(), 9);
    EXPECT_EQ(odd.iGetFontSize(), 10);
    EXPECT_EQ(odd.iGetFontColor(), clBlack);
    EXPECT_EQ(odd.iGetBKColor(), clBlack);
    EXPECT_TRUE(odd.bGetCanEdit());
}

TEST(CellProperty, ShortAndOversizedRecordsStayInsideTheirBuffers) {
    // Ends before the NUL: the text read so far, and the read stops at the end.
    TCellPropertyQx p;
    EXPECT_EQ(readInto(p, {1, 2, 0, 3, 4, 0, 'a', 'b'}), 8);
    EXPECT_STREQ(p.cpGetHiddenString(), "ab");
    EXPECT_EQ(p.eGetAdjust(), eAdjustCenter);
    EXPECT_FALSE(p.bGetCanEdit());
    // Ends inside the fixed fields: what was read is kept.
    TCellPropertyQx q;
    readInto(q, {1, 3, 2});
    EXPECT_EQ(q.eGetAdjust(), eAdjustRight);
    EXPECT_EQ(q.eGetFontSize(), eFontLarge);
    EXPECT_EQ(q.eGetBKColor(), eColorWhite);
    // A hidden text of 5000 characters: 1023 kept, and the next record still reads.
    Bytes big{1, 0, 1, 0, 7, 1};
    big.insert(big.end(), 5000, 'x');
    const Bytes next = {0, 1, 3, 0, 0, 7, 1, 'n', 0};  // the NUL, then the next record
    big.insert(big.end(), next.begin(), next.end());
    TMemoryStream s;
    s.Write(big.data(), static_cast<long>(big.size()));
    s.SetPosition(0);
    TCellPropertyQx a, b;
    a.vReadFromStream(s);
    b.vReadFromStream(s);
    EXPECT_EQ(std::string(a.cpGetHiddenString()), std::string(1023, 'x'));
    EXPECT_STREQ(b.cpGetHiddenString(), "n");
    EXPECT_EQ(b.eGetAdjust(), eAdjustRight);
}

TEST(CellProperty, AssignmentCopiesFormattingButNeverTheHiddenTextOrChangedFlag) {
    TCellPropertyQx src;
    src.vSetAdjust(eAdjustLeft);
    src.vSetFontSize(eFontSmall);
    src.vSetFontColor(eColorBlue);
    src.vSetBKColor(eColorGreen);
    src.vSetCanEdit(false);
    src.vSetHiddenString("secret");
    src.vSetChanged(true);

    TCellPropertyQx only;
    only.vAssign(src, TCellPropertyQx::TAssign{false, false, false, true});
    EXPECT_EQ(only.eGetBKColor(), eColorGreen);
    EXPECT_EQ(only.eGetAdjust(), eAdjustDefault);
    EXPECT_EQ(only.eGetFontSize(), eFontMedium);
    EXPECT_EQ(only.eGetFontColor(), eColorBlack);
    EXPECT_TRUE(only.bGetCanEdit()) << "vAssign leaves the edit flag";

    TCellPropertyQx copy(src), assigned;
    assigned.vSetHiddenString("mine");
    assigned = src;
    for (const TCellPropertyQx* p : {&copy, &assigned}) {
        EXPECT_EQ(p->eGetAdjust(), eAdjustLeft);
        EXPECT_EQ(p->iGetFontSize(), 6);
        EXPECT_EQ(p->iGetFontColor(), 0xFF0000);
        EXPECT_FALSE(p->bGetCanEdit()) << "assignment copies the edit flag";
        EXPECT_FALSE(p->bGetChanged());
    }
    EXPECT_STREQ(copy.cpGetHiddenString(), "");
    EXPECT_STREQ(assigned.cpGetHiddenString(), "mine");

    TColumnPropertyQx col;
    col.vSetAutomaticWidth(false);
    col.vSetHiddenString("h");
    TColumnPropertyQx col2(col);
    EXPECT_FALSE(col2.bGetAutomaticWidth());
    EXPECT_STREQ(col2.cpGetHiddenString(), "");
    TLinePropertyQx line;
    line.vSetAutomaticHeight(false);
    TLinePropertyQx line2;
    line2 = line;
    EXPECT_FALSE(line2.bGetAutomaticHeight());
    line2 = line2;  // self-assignment keeps everything
    EXPECT_FALSE(line2.bGetAutomaticHeight());
}

TEST(CellProperty, ColoursDependOnTheirUse) {
    EXPECT_EQ(TCellPropertyQx::iEnum2TColor(eColorGreen, false), 0x00AA00);
    EXPECT_EQ(TCellPropertyQx::iEnum2TColor(eColorYellow, true), 0xAAFFFF);
    for (eColorQx same : {eColorGray, eColorLightGray, eColorBlack, eColorWhite})
        EXPECT_EQ(TCellPropertyQx::iEnum2TColor(same, true),
                  TCellPropertyQx::iEnum2TColor(same, false));
}

// The dialogs' captions per language are checked with the grid's menu.
using GridDialogs = ErrorStateTest;

TEST_F(GridDialogs, TheFormatDialogOpensOnTheCurrentFormatWithNoAspectChosen) {
    TCellPropertyQx property;
    TCellPropertyQx::TAssign assign;
    TZellenFormatierung d(nullptr, &assign, &property);
    for (TRadioButton* r : {d.rbMittel, d.rbDefault, d.rbHFWeiss, d.rbVGSchwarz})
        EXPECT_TRUE(r->Checked()) << r->Name();
    for (TCheckBox* c : {d.cbFontGroesse, d.cbFontfarbe, d.cbHintergrundfarbe, d.cbAusrichtung})
        EXPECT_FALSE(c->Checked()) << c->Name();
    EXPECT_EQ(d.rbGross->Font().Size, 10);
    EXPECT_EQ(d.rbKlein->Font().Size, 6);
    // Font colours are full, backgrounds light.
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
    fillGrid(g, 4, 2);
    std::vector<std::string> events;
    g.ERowsDeleted = logTo(events, "rows deleted");
    g.EColsAppended = logTo(events, "cols appended");
    r.PopupMenu(
        "Tabellengr\xF6\xDF"
        "e");
    r.Type("deZeilen", "2");
    r.Type("deSpalten", "5");
    r.ModalForm("btOk");
    g.pGetPopupMenu()->Popup(0, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"rows deleted 2 3", "cols appended 3"}));
    EXPECT_EQ(g.iGetRowCount(), 2);
    EXPECT_EQ(g.iGetColCount(), 5);

    // Formatting a 2 × 2 block with only the background chosen keeps fonts and alignments.
    g.vSetFontSize(eFontLarge, 0, 0, 0, 0);
    g.vSetAdjust(eAdjustRight, 1, 1, 1, 1);
    g.vSetSelectedArea(0, 1, 0, 1);
    for (const char* button : {"btOk", "btCancel"}) {  // cancel changes nothing
        r.PopupMenu("Formatierung");
        r.ModalForm(button == std::string("btOk") ? "rbHFRot" : "rbHFBlau");
        r.ModalForm(button);
        g.pGetPopupMenu()->Popup(0, 0);
    }
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col)
            EXPECT_EQ(g.eGetBKColor(row, col), eColorRed) << row << col;
    EXPECT_EQ(g.eGetFontSize(0, 0), eFontLarge);
    EXPECT_EQ(g.eGetFontSize(1, 1), eFontMedium);
    EXPECT_EQ(g.eGetAdjust(1, 1), eAdjustRight);
    EXPECT_EQ(g.eGetBKColor(0, 2), eColorWhite);
    EXPECT_EQ(g.Objects(g.iColIn(3), g.iRowIn(1)), nullptr)
        << "cells outside the block get no object";
}

}  // namespace
}  // namespace qx::test
