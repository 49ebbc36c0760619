// The table frame's binding: form, grid picture, line and column operations, editing.
#include <cstring>
#include <string>
#include <vector>

#include "tests/tableframe/FrameFixture.h"

namespace qx::test {
namespace {

TEST_F(FrameTest, DesignedStateAndDefaults) {
    EXPECT_EQ(frame->Width(), 441);
    EXPECT_EQ(frame->sGetCaption(), "paCaption");
    EXPECT_EQ(frame->paCaption->Font().Name, "Arial");
    EXPECT_EQ(frame->StringGridQx->ColCount(), 5);
    EXPECT_EQ(frame->StringGridQx->RowCount(), 5);
    EXPECT_EQ(frame->StringGridQx->Options() & goEditing, 0u);
    EXPECT_FALSE(frame->tTable.bShowLineNum);
    EXPECT_EQ(frame->iGetLineCount(), 0);
    EXPECT_EQ(frame->iGetColCount(), 0);
    EXPECT_TRUE(frame->bPermitChangeCaption && frame->bPermitCopy && frame->bPermitSave &&
                frame->bPermitLoad && frame->bPermitFormat && frame->bPermitBinaerFile);
    EXPECT_FALSE(frame->bPermitChangeColumn);
    EXPECT_EQ(frame->sBinFileExtension, ".tbl");
}

TEST_F(FrameTest, FreshFrameOperations) {
    EXPECT_EQ(code([&] { frame->vDrawTable(); }), 0u);
    EXPECT_EQ(code([&] { frame->vClearContent(); }), 0u);
    EXPECT_EQ(code([&] { frame->vClearTable(); }), 0u);
    frame->vRedrawLines(1, 0);
    frame->vRedrawColumns(1, 0);
    EXPECT_EQ(frame->iGetLineCount(), 0);
    EXPECT_EQ(code([&] { frame->vRedrawLines(0, 0); }), 0xE7436011UL);
    EXPECT_EQ(code([&] { frame->vSetSelectedLines(0, 0); }) != 0, true);
    vStandard(1);
    EXPECT_EQ(cell(0, 0), "n0");
}

TEST_F(FrameTest, CaptionShowsPanelOnlyWithText) {
    frame->vSetCaption("Messwerte");
    EXPECT_EQ(frame->sGetCaption(), "Messwerte");
    EXPECT_EQ(frame->tTable.sName, "Messwerte");
    EXPECT_TRUE(frame->paCaption->Visible());
    frame->vSetCaption("");
    EXPECT_FALSE(frame->paCaption->Visible());
    EXPECT_EQ(frame->tTable.sName, "");
    frame->vSetCaption(nullptr);
    EXPECT_EQ(frame->sGetCaption(), "");
}

TEST_F(FrameTest, ColumnMustFitLineSize) {
    frame->vSetLineSize(4);
    const auto d = std::vector<unsigned char>{1, 2, 3, 4};
    frame->vAppendLine(d.data());
    EXPECT_EQ(code([&] { frame->vAppendColumn(item("D", TH5Type::eTypDouble, 0)); }), 0xE513600BUL);
    EXPECT_EQ(frame->iGetColCount(), 0);
    frame->vSetLineSize(8);
    frame->vAppendColumn(item("D", TH5Type::eTypDouble, 0));
    EXPECT_EQ(bytes(0), (std::vector<unsigned char>{1, 2, 3, 4, 0, 0, 0, 0}));
    expectBound(*frame);
    // Too small for the column: nothing changes.
    EXPECT_EQ(code([&] { frame->vSetLineSize(7); }), 0xE5136012UL);
    EXPECT_EQ(frame->iGetLineSize(), 8);
    EXPECT_EQ(code([&] { frame->vSetColumn(0, item("D", TH5Type::eTypDouble, 1)); }), 0xE513600BUL);
    EXPECT_EQ(code([&] { frame->vInsertColumn(0, item("D", TH5Type::eTypDouble, 4)); }),
              0xE513600BUL);
    EXPECT_EQ(frame->iGetColCount(), 1);
}

TEST_F(FrameTest, SmallerLineSizeCutsLines) {
    vStandard(2);
    frame->vDeleteColumn(3);
    frame->vSetLineSize(13);
    EXPECT_EQ(frame->iGetLineSize(), 13);
    const auto full = line("n1", 8, -1, 1.5);
    EXPECT_EQ(bytes(1), std::vector<unsigned char>(full.begin(), full.begin() + 13));
    expectBound(*frame);
    EXPECT_EQ(cell(1, 2), "-1");
}

TEST_F(FrameTest, GridPicture) {
    vStandard(2);
    TStringGridQx& g = *frame->StringGridQx;
    // Grid rows: number row, caption row, unit row, lines; grid columns: number column, table.
    EXPECT_EQ(g.Cells(1, 1), "Name");
    EXPECT_EQ(g.Cells(4, 1), "Value");
    EXPECT_EQ(g.Cells(2, 2), "uByte");
    EXPECT_EQ(g.FixedRows(), 3);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(cell(0, 0), "n0");
    EXPECT_EQ(cell(1, 1), "0x08");
    EXPECT_EQ(cell(1, 2), "-1");
    EXPECT_EQ(cell(1, 3), frame->StringGridQx->cpGetCellString(1, 3));
    EXPECT_EQ(g.eGetAdjust(0, 0), eAdjustLeft);
    EXPECT_EQ(g.eGetAdjust(1, 3), eAdjustRight);
    EXPECT_EQ(g.pGetCellProperty(2, 1)->eGetBKColor(), eColorLightGray);
    EXPECT_EQ(g.pGetCellProperty(2, 2)->eGetBKColor(), eColorLightGray);
    // A caption wins over the name.
    auto c = item("Byte", TH5Type::eTypUChar, 8);
    c.sCaption = "Bits";
    frame->vSetColumn(1, c);
    EXPECT_EQ(g.Cells(2, 1), "Bits");
}

TEST_F(FrameTest, LineNumberColumnKeepsUserNumbering) {
    vStandard(3);
    frame->tTable.bShowLineNum = true;
    frame->tTable.bShowEinheit = false;
    frame->StringGridQx->vAppendCols(1);  // room for the line-number column, as vDrawTable expects
    frame->vDrawTable();
    TStringGridQx& g = *frame->StringGridQx;
    EXPECT_EQ(g.FixedRows(), 2);
    EXPECT_EQ(g.FixedCols(), 2);
    EXPECT_EQ(g.Cells(1, 4), "2");  // line 2's number
    EXPECT_EQ(g.pGetCellProperty(1, 4)->eGetBKColor(), eColorLightGray);
    frame->vDrawContent();
    EXPECT_EQ(cell(2, 0), "n2");
    EXPECT_EQ(cell(2, 1), "0x09");
}

TEST_F(FrameTest, LinesInsertDeleteKeepBuffersBound) {
    vStandard(3);
    const auto d = line("new", 1, 42, 0);
    frame->vInsertLine(1, d.data());
    EXPECT_EQ(frame->iGetLineCount(), 4);
    expectBound(*frame);
    EXPECT_EQ(cell(1, 0), "new");
    EXPECT_EQ(cell(2, 0), "n1");
    EXPECT_EQ(bytes(1), d);
    frame->vDeleteLine(0);
    expectBound(*frame);
    EXPECT_EQ(cell(0, 0), "new");
    frame->vSetLine(2, reinterpret_cast<const char*>(line("set", 2, 3, 4).data()));
    EXPECT_EQ(cell(2, 0), "set");
    EXPECT_EQ(code([&] { frame->vInsertLine(3, d.data()); }), 0xE7436011UL);
    EXPECT_EQ(code([&] { frame->vDeleteLine(-1); }), 0xE743600FUL);
    TQxTable::TItem c;
    EXPECT_EQ(code([&] { frame->vGetColumn(4, c); }), 0xE743600EUL);
    EXPECT_EQ(code([&] { frame->vDeleteColumn(-2); }), 0xE743600CUL);
    EXPECT_EQ(frame->iGetLineCount(), 3);
}

TEST_F(FrameTest, DeletingOnlyLineLeavesOneEmptyRow) {
    vStandard(1);
    const int rows = frame->StringGridQx->iGetRowCount();
    frame->vDeleteLine(0);
    EXPECT_EQ(frame->iGetLineCount(), 0);
    EXPECT_EQ(frame->tTable.uGetLineNumber(), 0u);
    EXPECT_EQ(frame->StringGridQx->iGetRowCount(), rows);
    EXPECT_EQ(cell(0, 0), "");
    frame->vAppendLine(line("back", 0, 0, 0).data());
    EXPECT_EQ(frame->StringGridQx->iGetRowCount(), rows);
    EXPECT_EQ(cell(0, 0), "back");
}

TEST_F(FrameTest, ClearingTableAndContent) {
    vStandard(3);
    frame->vClearContent();
    EXPECT_EQ(frame->iGetLineCount(), 0);
    EXPECT_EQ(frame->iGetColCount(), 4);
    EXPECT_EQ(frame->StringGridQx->iGetRowCount(), 1);
    EXPECT_EQ(cell(0, 0), "");
    frame->vAppendLine(line("a", 0, 0, 0).data());
    EXPECT_EQ(frame->StringGridQx->iGetRowCount(), 1);
    // Deleting the only column clears the table.
    for (int i = 0; i < 3; ++i) frame->vDeleteColumn(0);
    EXPECT_EQ(frame->iGetColCount(), 1);
    frame->tTable.bShowLineNum = true;
    frame->vDeleteColumn(0);
    EXPECT_EQ(frame->iGetColCount(), 0);
    EXPECT_EQ(frame->iGetLineCount(), 0);
    EXPECT_EQ(frame->iGetLineSize(), 0);
    EXPECT_FALSE(frame->tTable.bShowLineNum);
    frame->vFreeTable();
    EXPECT_TRUE(frame->vLineBuffers.empty());
}

TEST_F(FrameTest, LineAndColumnColours) {
    frame->vSetLineSize(4);
    frame->vAppendLine(std::vector<unsigned char>(4).data());
    // A line but no columns: the column check fails.
    EXPECT_EQ(code([&] { frame->vSetColorBKLine(0, eColorRed); }), 0xE743600EUL);
    frame->vAppendColumn(item("A", TH5Type::eTypUChar, 0));
    frame->vAppendColumn(item("B", TH5Type::eTypUChar, 1));
    frame->vAppendLine(std::vector<unsigned char>(4).data());
    frame->vSetColorBKLine(1, eColorRed);
    EXPECT_EQ(frame->eGetColorBKLine(1), eColorRed);
    EXPECT_EQ(frame->StringGridQx->eGetBKColor(1, 1), eColorRed);
    EXPECT_EQ(frame->StringGridQx->eGetBKColor(0, 1), eColorWhite);
    frame->vSetColorBKColumn(1, eColorYellow);
    EXPECT_EQ(frame->eGetColorBKColumn(1), eColorYellow);
    EXPECT_EQ(frame->StringGridQx->eGetBKColor(1, 1), eColorYellow);
    EXPECT_EQ(code([&] { frame->eGetColorBKLine(2); }), 0xE7436011UL);
}

TEST_F(FrameTest, SelectionAndEditSwitchesReachTheGrid) {
    vStandard(3);
    frame->vSetSelectionMode(eSelectRows);
    EXPECT_EQ(frame->StringGridQx->eGetSelectionMode(), eSelectRows);
    frame->vSetSelectSingleCell(true);
    EXPECT_TRUE(frame->bGetSelectSingleCell());
    frame->vSetCanEditCells(false);
    EXPECT_FALSE(frame->StringGridQx->bGetCanEditCells());
    frame->vSetSelectSingleCell(false);
    frame->vSetSelectionMode(eSelectCells);
    frame->vSetSelectedLines(1, 2);
    int r1, r2, c1, c2;
    frame->vGetSelectedArea(r1, r2, c1, c2);
    EXPECT_EQ(r1, 1);
    EXPECT_EQ(r2, 2);
    EXPECT_EQ(c1, 0);
    EXPECT_EQ(c2, 3);
}

TEST_F(FrameTest, EditingParsesByTypeAndFormat) {
    vStandard(1);
    // UChar with "0x%02x": 12 does not parse, 0x1f does.
    EXPECT_TRUE(type(0, 1, "12"));
    EXPECT_EQ(bytes(0)[8], 7);
    EXPECT_EQ(cell(0, 1), "0x07");
    EXPECT_TRUE(type(0, 1, "0x1f"));
    EXPECT_EQ(bytes(0)[8], 31);
    EXPECT_EQ(cell(0, 1), "0x1f");
    // A signed 32-bit column with "%ld".
    EXPECT_TRUE(type(0, 2, "-5"));
    int l = 0;
    std::memcpy(&l, bytes(0).data() + 9, 4);
    EXPECT_EQ(l, -5);
    EXPECT_EQ(cell(0, 2), "-5");
    EXPECT_TRUE(type(0, 2, "x"));
    EXPECT_EQ(cell(0, 2), "-5");
    // A decimal comma is read.
    EXPECT_TRUE(type(0, 3, "3,25"));
    double v = 0;
    std::memcpy(&v, bytes(0).data() + 13, 8);
    EXPECT_EQ(v, 3.25);
    // A string is cut to its field, NUL included.
    EXPECT_TRUE(type(0, 0, "abcdefghijkl"));
    EXPECT_EQ(std::memcmp(bytes(0).data(), "abcdefg", 8), 0);
    EXPECT_EQ(cell(0, 0), "abcdefg");
    EXPECT_EQ(bytes(0)[8], 31);  // the neighbour is untouched
}

TEST_F(FrameTest, EditingOtherIntegerAndFloatTypes) {
    frame->vSetLineSize(12);
    frame->vAppendColumn(item("US", TH5Type::eTypUShort, 0));
    frame->vAppendColumn(item("S", TH5Type::eTypShort, 2));
    frame->vAppendColumn(item("UL", TH5Type::eTypULong, 4));
    frame->vAppendColumn(item("F", TH5Type::eTypFloat, 8, 0, "%.2f"));
    frame->vAppendLine(std::vector<unsigned char>(12).data());
    EXPECT_TRUE(type(0, 0, "0xbeef"));
    EXPECT_EQ(cell(0, 0), "0xbeef");
    EXPECT_TRUE(type(0, 1, "-2"));
    EXPECT_EQ(cell(0, 1), "-2");
    EXPECT_TRUE(type(0, 2, "0xffffffff"));
    EXPECT_EQ(cell(0, 2), "0xffffffff");
    EXPECT_TRUE(type(0, 3, "1e300"));  // beyond float: stored as infinity, not undefined
    EXPECT_TRUE(type(0, 3, "2,5"));
    EXPECT_EQ(cell(0, 3), "2.50");
    const auto d = bytes(0);
    EXPECT_EQ(d[0] | d[1] << 8, 0xbeef);
    EXPECT_EQ(static_cast<short>(d[2] | d[3] << 8), -2);
}

TEST_F(FrameTest, EditingBesideTheTableChangesNothing) {
    vStandard(1);
    // The designed grid keeps spare data rows and columns beside the table.
    TStringGridQx& g = *frame->StringGridQx;
    g.vAppendRows(1);
    g.vAppendCols(1);
    const auto before = bytes(0);
    EXPECT_FALSE(type(1, 0, "7"));
    EXPECT_FALSE(type(0, 4, "7"));
    EXPECT_FALSE(frame->StringGridQxECellContentChanged(-1, 0));
    EXPECT_EQ(bytes(0), before);
    EXPECT_EQ(qx::getErrorCode(), 0u);
    // A frame without lines.
    frame->vClearContent();
    EXPECT_FALSE(type(0, 0, "x"));
}

TEST_F(FrameTest, EditingOddStringColumns) {
    frame->vSetLineSize(1100 + 4);
    frame->vAppendColumn(item("Empty", TH5Type::eTypString, 0, 0));
    frame->vAppendColumn(item("Tail", TH5Type::eTypUChar, 0));
    frame->vAppendColumn(item("Wide", TH5Type::eTypString, 1, 1100));
    frame->vAppendColumn(item("Raw", TH5Type::eTypString, 1101, 3));
    std::vector<unsigned char> d(1104, 0);
    d[0] = 9;
    d[1101] = 'x';
    d[1102] = 'y';
    d[1103] = 'z';  // no NUL in the field
    frame->vAppendLine(d.data());
    EXPECT_EQ(cell(0, 3), "xyz");
    EXPECT_TRUE(type(0, 0, "abc"));  // size 0: nothing stored
    EXPECT_EQ(bytes(0)[0], 9);
    const std::string typed(1050, 'w');
    EXPECT_TRUE(type(0, 2, typed.c_str()));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes(0).data() + 1)), typed);
    EXPECT_EQ(cell(0, 2), typed);
    EXPECT_EQ(bytes(0)[1101], 'x');
}

TEST_F(FrameTest, MismatchedFormatsNeitherCrashNorTouchNeighbours) {
    frame->vSetLineSize(16);
    frame->vAppendColumn(item("I", TH5Type::eTypLong, 0, 0, "%s"));
    frame->vAppendColumn(item("D", TH5Type::eTypDouble, 4, 0, "%s%s%n"));
    frame->vAppendColumn(item("N", TH5Type::eTypLong, 12, 0, "%d"));
    std::vector<unsigned char> d(16, 0);
    d[12] = 5;
    frame->vAppendLine(d.data());
    EXPECT_EQ(cell(0, 0), "");
    EXPECT_EQ(cell(0, 1), "");
    EXPECT_TRUE(type(0, 0, "hello world, a long text"));
    EXPECT_TRUE(type(0, 1, "1.5"));  // "%le" reads it; the format prints nothing
    EXPECT_EQ(cell(0, 1), "");
    EXPECT_EQ(bytes(0)[12], 5);
    EXPECT_EQ(cell(0, 2), "5");
    // Huge widths are cut.
    AnsiString out;
    frame->vFormatString(d.data() + 12, TH5Type::eTypLong, "%999999999d", out);
    EXPECT_LT(out.size(), TQxTableFrame::kWorkSize);
}

TEST_F(FrameTest, FramePrintDouble) {
    char out[TQxTableFrame::kWorkSize];
    TQxTableFrame::vPrintDouble(0.5, "%t2+", out);
    EXPECT_STREQ(out, " 500 m");
    const char saved = DecimalSeparator;
    DecimalSeparator = ',';
    TQxTableFrame::vPrintDouble(0.5, "%.2f", out);
    EXPECT_STREQ(out, "0.50");  // no decimal-comma replacement after printf
    DecimalSeparator = saved;
    TQxTableFrame::vPrintDouble(1.0, "%d", out);
    EXPECT_STREQ(out, "");
    TQxTableFrame::vPrintDouble(1.0, nullptr, out);
    EXPECT_STREQ(out, "");
}

TEST_F(FrameTest, EditThroughTheInplaceEditor) {
    vStandard(2);
    TStringGridQx& g = *frame->StringGridQx;
    g.SetOptions(g.Options() | goEditing);
    g.SetRow(g.iRowIn(1));
    g.SetCol(g.iColIn(2));
    g.SetEditorMode(true);
    g.InplaceEditor()->UserInput("-77");
    for (int i = 0; i < 3; ++i) {
        TRecordingCanvas canvas;
        g.PaintTo(canvas);
    }
    int l = 0;
    std::memcpy(&l, bytes(1).data() + 9, 4);
    EXPECT_EQ(l, -77);
    EXPECT_EQ(cell(1, 2), "-77");
}

// Appending in one batch gives the picture of appending line by line.
TEST_F(FrameTest, BatchAppendMatchesLineByLine) {
    TQxTableFrame single(nullptr), batch(nullptr);
    vColumns(single);
    vColumns(batch);
    std::vector<unsigned char> all;
    for (int i = 0; i < 9; ++i) {
        const auto d = line(std::string(static_cast<std::size_t>(i % 7), 'x').c_str(),
                            static_cast<unsigned char>(i), i * 1000 - 4000, i * 12345.678);
        single.vAppendLine(d.data());
        all.insert(all.end(), d.begin(), d.end());
    }
    batch.vAppendLines(all.data(), 9);
    TStringGridQx& a = *single.StringGridQx;
    TStringGridQx& b = *batch.StringGridQx;
    ASSERT_EQ(a.RowCount(), b.RowCount());
    ASSERT_EQ(a.ColCount(), b.ColCount());
    for (int c = 0; c < a.ColCount(); ++c) EXPECT_EQ(a.ColWidths(c), b.ColWidths(c)) << c;
    for (int r = 0; r < a.RowCount(); ++r) {
        EXPECT_EQ(a.RowHeights(r), b.RowHeights(r)) << r;
        for (int c = 0; c < a.ColCount(); ++c) {
            EXPECT_EQ(a.Cells(c, r), b.Cells(c, r)) << r << "," << c;
            EXPECT_EQ(a.pGetCellProperty(c, r)->eGetAdjust(),
                      b.pGetCellProperty(c, r)->eGetAdjust());
        }
    }
    expectBound(batch);
    EXPECT_EQ(batch.iGetLineCount(), 9);
}

}  // namespace
}  // namespace qx::test
