// The base string grid: layout, scrolling, selection, editing and fixed cells.
#include "tests/support/TestSupport.h"

TEST(Grid, GeometryTheCurrentCellTheInplaceEditorAndFixedCounts) {
    // 10 columns × 1000 rows of 64 × 24 pixel cells with one fixed row and column.
    auto g = std::make_unique<TStringGrid>(nullptr);
    g->SetBounds(0, 0, 300, 200);
    g->SetColCount(10);
    g->SetRowCount(1000);
    g->SetTopRow(500);
    g->SetLeftCol(5);
    EXPECT_EQ(g->CellRect(2, 600), TRect{}) << "scrolled out";
    EXPECT_EQ(g->CellRect(5, 500), Rect(65, 25, 129, 49));
    auto at = [&](int x, int y) {
        const TGridCoord c = g->MouseToCell(x, y);
        return std::pair{c.X, c.Y};
    };
    EXPECT_EQ(at(70, 30), std::pair(5, 500));
    EXPECT_EQ(at(64, 10).first, 0) << "on the line between columns: the left cell's";
    EXPECT_EQ(at(-1, 10).first, -1);

    // Moving the current cell scrolls it into view, and can be vetoed.
    g->MoveCurrent(9, 999);
    EXPECT_LT(999, g->TopRow() + g->VisibleRowCount());
    g->OnSelectCell = [](TObject*, int col, int, bool& can) { can = col != 3; };
    EXPECT_FALSE(g->MoveCurrent(3, 5));
    EXPECT_EQ(g->Col(), 9);
    g->SetTopRow(100000);  // clamped so that the last page is full
    EXPECT_EQ(g->TopRow(), 1000 - g->VisibleRowCount());

    // The in-place editor reports every edit.
    std::vector<std::tuple<int, int, std::string>> seen;
    g->OnSetEditText = [&](TObject*, int c, int r, const AnsiString& v) {
        seen.emplace_back(c, r, v);
    };
    g->MoveCurrent(2, 3);
    g->SetEditorMode(true);
    EXPECT_FALSE(g->EditorMode()) << "editing is off without goEditing";
    g->SetOptions(g->Options() | goEditing);
    char key = '7';
    g->KeyPress(key);  // typing starts the editor with that character
    ASSERT_TRUE(g->EditorMode());
    g->InplaceEditor()->UserInput("75");
    EXPECT_EQ(g->Cells(2, 3), "75");
    EXPECT_EQ(seen, (decltype(seen){{2, 3, "7"}, {2, 3, "75"}}));
    unsigned short enter = VK_RETURN;
    g->InplaceEditor()->KeyDown(enter, 0);
    EXPECT_FALSE(g->EditorMode());

    // Fixed counts stay below the counts, and removing them shows the freed cells.
    g = std::make_unique<TStringGrid>(nullptr);
    g->SetColCount(3);
    EXPECT_THROW(g->SetFixedCols(3), Exception);
    g->SetFixedCols(2);
    g->SetColCount(2);  // shrinking pulls the fixed count down
    EXPECT_EQ(g->FixedCols(), 1);
    EXPECT_EQ(g->Cells(5, 5), "");  // out of range reads empty
    g->SetCells(5, 5, "x");         // and ignores writes

    g->SetRowCount(20);
    g->SetFixedRows(0);
    g->SetFixedCols(0);
    EXPECT_EQ(g->CellRect(0, 0), Rect(0, 0, 64, 24)) << "scrolled back to the first cell";
    // Adding fixed rows again moves the first scrolled row below them.
    g->SetFixedRows(2);
    EXPECT_EQ(g->TopRow(), 2);
}
