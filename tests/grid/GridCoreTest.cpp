// The extended grid's core: numbering, proofs, row and column operations with their events,
// the number test, properties, the selection model, drawing and automatic sizing.
#include <random>

#include "tests/grid/GridSupport.h"

namespace qx::test {
namespace {

// Opens the kept column widths to the tests.
class TProbeGrid : public TStringGridQx {
  public:
    using TStringGridQx::TStringGridQx;
    using TStringGridQx::vUpdateColWidth;
};

class GridQx : public ErrorStateTest {
  protected:
    void SetUp() override {
        ErrorStateTest::SetUp();
        g = std::make_unique<TProbeGrid>(nullptr);
        g->SetBounds(0, 0, 600, 400);
    }
    void paint() {
        TRecordingCanvas canvas;
        g->PaintTo(canvas);
        records = canvas.Records();
    }
    std::string text(int row, int col) { return g->cpGetCellString(row, col); }

    std::unique_ptr<TProbeGrid> g;
    std::vector<TRecordingCanvas::TRecord> records;
};

TEST_F(GridQx, FailedChecksChangeNothingAndRowOperationsCarryCellsAndRaiseEvents) {
    fillGrid(*g, 3, 2);  // base: 4 rows, 3 columns
    const std::vector<std::tuple<std::function<void()>, unsigned long, const char*>> cases = {
        {[&] { g->vSetFixedArea(-1, 0); }, 0xE5136001, "FixedRows=0 NumCol=1"},
        {[&] { g->vSetFixedArea(3, 0); }, 0xE5136002, "FixedRows=4 RowCount=4"},
        {[&] { g->vSetFixedArea(0, -2); }, 0xE5136003, "FixedCols=-1 NumLin=1"},
        {[&] { g->vSetFixedArea(0, 2); }, 0xE5136004, "FixedCols=3 ColCount=3"},
        {[&] { g->cpGetCellString(-1, 0); }, 0xE7436005, "Row=0"},
        {[&] { g->vSetCellString(3, 0, "x"); }, 0xE7436007, "Row=4 RowCount=4"},
        {[&] { g->bIsNumber(0, -1); }, 0xE7436008, "Col=0"},
        {[&] { g->dGetNumber(0, 2); }, 0xE743600A, "Col=3 ColCount=3"},
        {[&] { g->vDeleteRows(-1, 0); }, 0xE7436005, "FirstRow=0 NumCol=1"},
        {[&] { g->vDeleteRows(2, 1); }, 0xE5136006, "FirstRow=3 LastRow=2"},
        {[&] { g->vClearRows(0, 3); }, 0xE7436007, "LastRow=4 RowCount=4"},
        {[&] { g->vDeleteCols(-1, 0); }, 0xE7436008, "FirstCol=0 NumLin=1"},
        {[&] { g->vDeleteCols(1, 0); }, 0xE5136009, "FirstCol=2 LastCol=1"},
        {[&] { g->vSetBKColor(eColorRed, 0, 0, 0, 2); }, 0xE743600A, "LastCol=3 ColCount=3"},
        {[&] { g->vInsertRows(5, 1); }, 0xE7436007, "Row=6 RowCount=5"},
        {[&] { g->vInsertCols(-1, 2); }, 0xE7436008, "Col=0"},
        {[&] { g->vSetSelectedArea(1, 0, 0, 0); }, 0xE5136006, "FirstRow=2 LastRow=1"},
    };
    for (const auto& [call, code, expected] : cases) {
        SCOPED_TRACE(expected);
        std::string message;
        EXPECT_EQ(raisedCode(call, &message), code);
        EXPECT_EQ(message, expected);
        EXPECT_EQ(std::pair(g->RowCount(), g->ColCount()), std::pair(4, 3))
            << "a failed check changes nothing";
    }

    // Row operations carry cells along and raise the events in order.
    fillGrid(*g, 6, 3);
    g->vSetHiddenCellString(4, 1, "hidden");
    g->vSetBKColor(eColorRed, 4, 4, 0, 2);
    g->SetRowHeights(g->iRowIn(4), 33);
    std::vector<std::string> events;
    g->ERowsDeleted = logTo(events, "deleted");
    g->ERowSizeChanged = logTo(events, "rows");
    g->ESizeChanged = logTo(events, "size");
    g->vDeleteRows(1, 2);
    EXPECT_EQ(events, (std::vector<std::string>{"deleted 1 2", "rows 4", "size 4 3"}));
    EXPECT_EQ(text(2, 1), "r4c1");
    EXPECT_STREQ(g->cpGetHiddenCellString(2, 1), "hidden");
    EXPECT_EQ(g->eGetBKColor(2, 0), eColorRed);
    EXPECT_EQ(g->eGetBKColor(1, 0), eColorWhite);
    EXPECT_EQ(g->RowHeights(g->iRowIn(2)), 33);

    // Every data row deleted: one empty data cell, fixation released.
    g->vSetFixedArea(1, 0);
    g->vDeleteRows(-1, g->iGetRowCount() - 1);
    // Fixed rows and columns, base indices of user row 0 and column 0, the counts.
    EXPECT_EQ((std::vector<int>{g->FixedRows(), g->FixedCols(), g->iRowIn(0), g->iColIn(0),
                                g->RowCount(), g->ColCount()}),
              (std::vector<int>{1, 1, 1, 1, 2, 2}));

    // Inserted and appended lines take their neighbours' formatting.
    fillGrid(*g, 3, 2);
    g->vSetFontSize(eFontLarge, 0, 0, 0, 1);
    g->vSetColor(eColorBlue, 2, 2, 1, 1);
    g->vSetHiddenCellString(2, 0, "h");  // an object without formatting
    std::vector<std::string> inserted;
    g->ERowsInserted = logTo(inserted, "ins");
    g->ERowsAppended = logTo(inserted, "app");
    g->vInsertRows(0, 2);
    EXPECT_EQ(inserted, (std::vector<std::string>{"ins 0 2"}));
    EXPECT_EQ(text(2, 0), "r0c0");
    EXPECT_EQ(g->eGetFontSize(0, 1), eFontLarge) << "formatting of the former row 0";
    g->vAppendRows(3);
    EXPECT_EQ(inserted.back(), "app 3");
    EXPECT_EQ(g->eGetColor(7, 1), eColorBlue) << "formatting of the row above";
    g->vInsertCols(1, 1);
    EXPECT_EQ(text(2, 2), "r0c1");
    g->vSetTableSize(2, 1);
    EXPECT_EQ(gridTexts(*g), "|");
}

TEST_F(GridQx, TheNumberTestAndNumberReading) {
    fillGrid(*g, 1, 1);
    const std::vector<std::pair<const char*, bool>> cases = {
        {"", true},       {"-", true},      {"   ", true},   {"12", true},
        {" -3,5 ", true}, {"1.5e-3", true}, {"1e5", true},   {"1.5x", true},
        {"1.5xy", false}, {"1.", false},    {"1,5e", false}, {"12 x", false},
        {"abc", false},   {"+7\t", true},   {"e5", true},    {"e", false},
    };
    for (const auto& [t, number] : cases) {
        g->vSetCellString(0, 0, t);
        EXPECT_EQ(g->bIsNumber(0, 0), number) << '"' << t << '"';
    }
    g->vSetCellString(0, 0, "2,5");
    EXPECT_DOUBLE_EQ(g->dGetNumber(0, 0), 2.5);
    g->vSetCellString(0, 0, "letters");
    EXPECT_DOUBLE_EQ(g->dGetNumber(0, 0), 0.0);
    const std::string longText = "1" + std::string(2000, '0') + ",5";
    g->vSetCellString(0, 0, longText.c_str());
    EXPECT_TRUE(g->bIsNumber(0, 0)) << "texts of any length are tested";
    EXPECT_GT(g->dGetNumber(0, 0), 1e300) << "and read";

    // Properties are made on request without losing texts.
    fillGrid(*g, 2, 2);
    EXPECT_EQ(g->Objects(1, 1), nullptr) << "default cells have no object";
    TCellPropertyQx* p = g->pGetCellProperty(1, 1);
    EXPECT_EQ(g->Objects(1, 1), p);
    EXPECT_EQ(text(0, 0), "r0c0") << "creating the property keeps the text";
    EXPECT_NE(dynamic_cast<TLinePropertyQx*>(g->pGetCellProperty(1, 0)), nullptr);
    EXPECT_NE(dynamic_cast<TColumnPropertyQx*>(g->pGetCellProperty(0, 1)), nullptr);
    EXPECT_EQ(g->pGetCellProperty(99, 0), g->pGetCellProperty(-1, 5))
        << "one shared default outside";
    g->vSetBKColor(eColorWhite, 0, 1, 0, 1);
    EXPECT_EQ(g->Objects(2, 2), nullptr) << "setting a value a cell already has makes no object";
}

TEST_F(GridQx, SelectionOfCornerLinesAndBlocksByMouseAndByCode) {
    fillGrid(*g, 10, 5);
    paint();  // first drawing: numbering and sizes
    std::vector<std::string> cells, rows;
    g->ECellSelectionChanged = logTo(cells, "cells");
    g->ERowSelectionChanged = logTo(rows, "rows");
    // Presses at the first cell's centre, moves over the others, releases at the last.
    auto drag = [&](std::vector<TPoint> cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const TRect r = g->CellRect(cells[i].x, cells[i].y);
            const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
            g->MouseMove(i ? ssLeft : 0u, x, y);
            if (i == 0) g->MouseDown(mbLeft, 0, x, y);
            if (i + 1 == cells.size()) g->MouseUp(mbLeft, 0, x, y);
        }
    };
    drag({{0, 0}});
    EXPECT_TRUE(g->rGetSelection().bAll);
    // Dragging down the line numbers: several rows.
    drag({{0, 2}, {0, 5}});
    EXPECT_TRUE(g->rGetSelection().bRows);
    EXPECT_EQ(rows.back(), "rows 1 4");
    // A drag builds a block though the base grid moves its current cell on every cell crossed.
    drag({{1, 1}, {1, 1}, {2, 2}, {3, 3}});
    EXPECT_EQ(cells.back(), "cells 0 2 0 2");
    EXPECT_EQ(g->Options() & goEditing, 0u) << "a block leaves editing off";
    drag({{2, 2}});
    EXPECT_NE(g->Options() & goEditing, 0u) << "one cell switches it on again";
    // bSelectSingleCell: the drag leaves the cell under the mouse.
    g->vSetSelectSingleCell(true);
    drag({{1, 1}, {3, 4}});
    EXPECT_EQ(cells.back(), "cells 3 3 2 2");

    // Selection modes and setting the area from code.
    g->vSetSelectSingleCell(false);
    const size_t events = cells.size();
    g->vSetSelectedArea(1, 2, 1, 2);
    EXPECT_EQ(cells.size(), events + 1);
    g->vSetSelectedArea(1, 2, 1, 2);
    EXPECT_EQ(cells.size(), events + 1) << "the same block raises nothing";
    EXPECT_TRUE(g->bIsSelectedCell(2, 2));
    EXPECT_FALSE(g->bIsSelectedRow(1));

    g->vSetSelectionMode(eSelectRows);  // widens the block to whole rows
    EXPECT_TRUE(g->bIsSelectedRow(1));

    g->vSetSelectionMode(eSelectNone);
    const size_t before = cells.size();
    g->vSetSelectedArea(3, 3, 0, 0);
    EXPECT_EQ(cells.size(), before) << "no notification in eSelectNone";
    EXPECT_FALSE(g->bIsSelectedCell(3, 0));
}

TEST_F(GridQx, FirstDrawingNumbersAndSizesThenCellsDrawFromTheirPropertiesAndEditsReport) {
    fillGrid(*g, 3, 3);
    g->vSetCellString(0, 0, "12,5");
    g->vSetCellString(0, 1, "abc");
    g->vSetCellString(1, 0, "");
    g->vSetFontSize(eFontLarge, 2, 2, 2, 2);
    g->vSetBKColor(eColorRed, 1, 1, 1, 1);
    g->vSetBKColor(eColorBlack, 1, 1, 2, 2);
    g->vSetSelectedArea(1, 2, 1, 2);
    paint();
    g->vSetLinColNum(false, false);
    EXPECT_EQ(g->iGetNumLin(), 1) << "no effect after the first drawing";

    paint();
    auto fillOf = [&](int col, int row) {
        const TRect r = g->CellRect(col, row);
        for (const auto& rec : records)
            if (rec.op == TRecordingCanvas::Op::FillRect && rec.rect == r)
                return ColorToRGB(rec.brush.Color);
        return TColor(-1);
    };
    EXPECT_EQ(fillOf(2, 2), RGB(223, 168, 168)) << "selected light red";

    // An edit is reported once, at the next drawing.
    std::vector<std::pair<int, int>> changed;
    g->ECellContentChanged = [&](int row, int col) {
        changed.emplace_back(row, col);
        g->vSetCellString(row, col, "a much longer text than before");
        return true;
    };
    g->SetOptions(g->Options() | goEditing);
    g->SetRow(2);
    g->SetCol(2);
    g->SetEditorMode(true);
    g->InplaceEditor()->UserInput("typed");
    paint();
    paint();
    EXPECT_EQ(changed, (std::vector<std::pair<int, int>>{{1, 1}}));
    EXPECT_EQ(g->ColWidths(2), 30 * TRecordingCanvas::CharWidth(8) + 16) << "re-measured";
}

TEST_F(GridQx, KeptWidthsEqualAFreshMeasurementAfterAnyOperations) {
    std::mt19937 rng(11);
    fillGrid(*g, 30, 5);
    paint();
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int step = 0; step < 200; ++step) {
        const int op = pick(0, 7), rows = g->iGetRowCount(), cols = g->iGetColCount();
        const int row = pick(0, rows - 1), col = pick(0, cols - 1);
        SCOPED_TRACE("step " + std::to_string(step) + " op " + std::to_string(op));
        const std::string t(static_cast<size_t>(pick(0, 12)), 'w');
        const auto font = static_cast<eFontSizeQx>(pick(0, 2));
        const std::function<void()> ops[] = {
            [&] { g->vSetCellString(row, col, t.c_str()); },
            [&] { g->vDeleteRows(row, std::min(rows - 1, row + pick(0, 2))); },
            [&] { g->vInsertRows(pick(0, rows), pick(1, 3)); },
            [&] { g->vAppendCols(1); },
            [&] { g->vDeleteCols(col, col); },
            [&] { g->vSetFontSize(font, row, row, 0, cols - 1); },
            [&] { g->vClearRows(row, row); },
            [&] { g->vAppendRows(pick(1, 4)); },
        };
        ASSERT_EQ(raisedCode(ops[op]), 0u);
        std::vector<int> kept;
        for (int c = 0; c < g->ColCount(); ++c) {
            g->vUpdateColWidth(c);
            kept.push_back(g->ColWidths(c));
        }
        g->vCalculateColWidths();
        for (int c = 0; c < g->ColCount(); ++c)
            ASSERT_EQ(g->ColWidths(c), kept[static_cast<size_t>(c)]) << "col " << c;
        // Header cells keep their places, so their numbers stay right without renumbering.
        for (int r = 1; r < g->RowCount(); ++r) ASSERT_EQ(g->Cells(0, r), std::to_string(r));
        for (int c = 1; c < g->ColCount(); ++c) ASSERT_EQ(g->Cells(c, 0), std::to_string(c));
    }
}

}  // namespace
}  // namespace qx::test
