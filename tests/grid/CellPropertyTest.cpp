// Cell, column and line properties (assignment, the stream record, short and oversized records)
// and the dialogs that edit them: cell format and table size.
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
    s.Write(bytes.data(), static_cast<long>(bytes.size()));
    s.SetPosition(0);
    p.vReadFromStream(s);
    return s.Position();
}

TEST(CellProperty, RecordsRoundTripAndForeignOrShortRecordsStayInsideTheirBuffers) {
    TCellPropertyQx p;
    p.vSetAdjust(eAdjustRight);
    p.vSetFontSize(eFontLarge);
    p.vSetFontColor(eColorRed);
    p.vSetBKColor(eColorYellow);
    p.vSetCanEdit(false);
    p.vSetHiddenString("verborgen \xE4");
    const Bytes record = bytesOf(p);
    ASSERT_EQ(record,
              (Bytes{1, 3, 2, 5, 6, 0, 'v', 'e', 'r', 'b', 'o', 'r', 'g', 'e', 'n', ' ', 0xE4, 0}));
    TCellPropertyQx q;
    EXPECT_EQ(readInto(q, record), static_cast<std::int64_t>(record.size()));
    EXPECT_EQ(bytesOf(q), record);
    EXPECT_FALSE(q.bGetChanged());

    // Ends before the NUL: the text read so far, and the read stops at the end.
    TCellPropertyQx cut;
    EXPECT_EQ(readInto(cut, {1, 2, 0, 3, 4, 0, 'a', 'b'}), 8);
    EXPECT_STREQ(cut.cpGetHiddenString(), "ab");
    EXPECT_EQ(cut.eGetAdjust(), eAdjustCenter);
    EXPECT_FALSE(cut.bGetCanEdit());
    // Ends inside the fixed fields: what was read is kept.
    TCellPropertyQx fixedCut;
    readInto(fixedCut, {1, 3, 2});
    EXPECT_EQ(fixedCut.eGetAdjust(), eAdjustRight);
    EXPECT_EQ(fixedCut.eGetFontSize(), eFontLarge);
    EXPECT_EQ(fixedCut.eGetBKColor(), eColorWhite);
    // Colours beyond the known ones draw black.
    TCellPropertyQx odd;
    readInto(odd, {1, 0, 1, 8, 255, 1, 0});
    EXPECT_EQ(odd.iGetFontColor(), clBlack);
    EXPECT_EQ(odd.iGetBKColor(), clBlack);

    // Assignment copies formatting but never the hidden text or the changed flag.
    p.vSetChanged(true);
    TCellPropertyQx copy(p), assigned;
    assigned.vSetHiddenString("mine");
    assigned = p;
    for (const TCellPropertyQx* c : {&copy, &assigned}) {
        EXPECT_EQ(c->eGetAdjust(), eAdjustRight);
        EXPECT_FALSE(c->bGetCanEdit()) << "assignment copies the edit flag";
        EXPECT_FALSE(c->bGetChanged());
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
    line2 = line2;  // self-assignment keeps everything
    EXPECT_FALSE(line2.bGetAutomaticHeight());
}

// The dialogs' captions and their look per language are checked with the Qt widget set.
using GridDialogs = ErrorStateTest;

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
    d.btOk->Click();
    EXPECT_FALSE(assign.bAdjust);
    EXPECT_TRUE(assign.bFontSize);
    EXPECT_EQ(property.eGetAdjust(), eAdjustRight);
    EXPECT_EQ(property.eGetFontSize(), eFontSmall);

    // The table size and formatting dialogs through the popup menu.
    TResponderScope r;
    TStringGridQx g(nullptr);
    fillGrid(g, 4, 2);
    std::vector<std::string> events;
    g.ERowsDeleted = logTo(events, "rows deleted");
    g.EColsAppended = logTo(events, "cols appended");
    r.PopupMenu("Tabellengr\xF6\xDF\x65");
    r.Type("deZeilen", "2");
    r.Type("deSpalten", "5");
    r.ModalForm("btOk");
    g.pGetPopupMenu()->Popup(0, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"rows deleted 2 3", "cols appended 3"}));

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
    EXPECT_EQ(g.eGetBKColor(0, 0), eColorRed);
    EXPECT_EQ(g.eGetBKColor(1, 1), eColorRed);
    EXPECT_EQ(g.eGetFontSize(0, 0), eFontLarge);
    EXPECT_EQ(g.eGetAdjust(1, 1), eAdjustRight);
    EXPECT_EQ(g.Objects(g.iColIn(3), g.iRowIn(1)), nullptr)
        << "cells outside the block get no object";
}

}  // namespace
}  // namespace qx::test
