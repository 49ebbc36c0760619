// A table shown in a plain string grid.
#include "tests/table/TableTestSupport.h"

namespace {
class TableGrid : public qx::test::ErrorStateTest {};
}  // namespace

TEST_F(TableGrid, HeaderRowsAreFixedAndLinesFollowAsInTheTextForm) {
    qx::test::TExample ex;
    TQxTable& t = *ex.table;
    t.bShowLineNum = true;  // never makes a column in the grid
    TStringGrid grid(nullptr);
    vTableToGrid(&grid, &t);
    ASSERT_EQ(grid.RowCount(), static_cast<int>(t.uGetLineNumber()) + 2);
    EXPECT_EQ(grid.ColCount(), static_cast<int>(t.uGetColumnNumber()));
    EXPECT_EQ(grid.FixedRows(), 2);
    EXPECT_EQ(grid.FixedCols(), 0);
    EXPECT_EQ(grid.Cells(0, 0), t.rGetColumn(0).sName);
    EXPECT_EQ(grid.Cells(1, 1), t.rGetColumn(1).sEinheit);
    for (unsigned j = 0; j < t.uGetColumnNumber(); ++j) {
        AnsiString expected;
        const auto& c = t.rGetColumn(j);
        vFormatString(t.ucpGetLine(0) + c.uOffset, c.eTyp, c.sFormat, expected);
        EXPECT_EQ(grid.Cells(static_cast<int>(j), 2), expected) << "column " << j;
    }
}

TEST_F(TableGrid, UnitsWithoutCaptionsComeFirstAndEmptyTablesChangeNothing) {
    qx::test::TExample ex;
    TQxTable& t = *ex.table;
    t.bShowColumnCaption = false;
    TStringGrid grid(nullptr);
    vTableToGrid(&grid, &t);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.Cells(0, 0), t.rGetColumn(0).sEinheit);
    EXPECT_EQ(grid.Cells(0, 1), qx::detail::sGetCellText(t, 0, 0));

    TQxTable empty;
    TStringGrid untouched(nullptr);
    untouched.SetCells(1, 1, "kept");
    vTableToGrid(&untouched, &empty);
    EXPECT_EQ(untouched.Cells(1, 1), "kept");
    EXPECT_EQ(qx::test::CodeOf([&] { vTableToGrid(nullptr, &t); }), 0x05100000UL);
}
