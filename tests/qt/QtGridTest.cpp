// The grid widget: scrolling, painting every visible cell through the grid, input, editing.
#include <QAbstractScrollArea>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include "tests/qt/QtTestSupport.h"

namespace {

using qx::qt::TQtWidgetSet;

class QtGrid : public qx::test::QtTest {
  protected:
    void SetUp() override {
        QtTest::SetUp();
        form = std::make_unique<TForm>(nullptr);
        form->SetName("GridForm");
        form->SetCaption(
            "Gitter \xFC"
            "ber 1000 Zeilen");
        form->SetClientWidth(700);
        form->SetClientHeight(420);
        grid = new TStringGrid(form.get());
        grid->SetName("Grid");
        grid->SetParent(form.get());
        grid->SetColCount(20);
        grid->SetRowCount(1000);
        grid->SetAlign(alClient);
        for (int r = 0; r < grid->RowCount(); ++r)
            for (int c = 0; c < grid->ColCount(); ++c)
                grid->SetCells(c, r, "r" + std::to_string(r) + "c" + std::to_string(c));
        grid->OnDrawCell = [this](TObject*, int col, int row, const TRect& rect, TGridDrawState) {
            ++drawn;
            if (col == 3 && row == 905) {
                grid->Canvas().Brush.Color = clRed;
                grid->Canvas().FillRect(rect);
            }
        };
        form->ShowForm();
        area = qobject_cast<QAbstractScrollArea*>(TQtWidgetSet::Widget(*grid));
        ASSERT_NE(area, nullptr);
    }
    void TearDown() override {
        form.reset();
        QtTest::TearDown();
    }
    QPoint center(int col, int row) const {
        const TRect r = grid->CellRect(col, row);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // Cells that a paint shows, partly shown ones included.
    int shownCells() const {
        int cols = 0, rows = 0;
        for (int c = 0; c < grid->ColCount(); ++c)
            cols += grid->CellRect(c, grid->TopRow()).Width() > 0;
        for (int r = 0; r < grid->RowCount(); ++r)
            rows += grid->CellRect(grid->LeftCol(), r).Height() > 0;
        return cols * rows;
    }

    std::unique_ptr<TForm> form;
    TStringGrid* grid = nullptr;
    QAbstractScrollArea* area = nullptr;
    int drawn = 0;
};

TEST_F(QtGrid, ScrolledToRow900PaintsEveryVisibleCellThroughTheGrid) {
    EXPECT_EQ(area->width(), grid->Width());
    EXPECT_EQ(area->height(), grid->Height());
    grid->SetTopRow(900);
    EXPECT_EQ(area->verticalScrollBar()->value(), 900);
    EXPECT_GE(area->verticalScrollBar()->maximum(), 900);

    drawn = 0;
    const QImage shot = area->grab().toImage();
    EXPECT_EQ(drawn, shownCells());
    EXPECT_GT(drawn, 20);
    const QPoint origin = area->viewport()->mapTo(area, QPoint(0, 0));
    auto pixel = [&](int x, int y) { return shot.pixelColor(origin + QPoint(x, y)); };

    // The cell the handler painted red, an ordinary cell (window colour, away from its text),
    // a fixed cell (button face) and dark text pixels in a cell of row 900.
    EXPECT_EQ(pixel(center(3, 905).x(), center(3, 905).y()), QColor(255, 0, 0));
    const TRect plain = grid->CellRect(2, 903);
    EXPECT_EQ(pixel(plain.right - 3, plain.bottom - 2), QColor(255, 255, 255));
    const TRect fixed = grid->CellRect(0, 903);
    EXPECT_EQ(pixel(fixed.right - 3, fixed.bottom - 2), QColor(0xF0, 0xF0, 0xF0));
    const TRect text = grid->CellRect(1, 900);
    int dark = 0;
    for (int y = text.top; y < text.bottom; ++y)
        for (int x = text.left; x < text.right; ++x) dark += pixel(x, y).lightness() < 100;
    EXPECT_GT(dark, 10);

    ASSERT_TRUE(TQtWidgetSet::Widget(*form)->grab().save(
        QString::fromStdString(qx::test::ArtefactPath("grid-row-900.png"))));
}

TEST_F(QtGrid, ScrollBarsMouseAndKeysReachTheGrid) {
    area->verticalScrollBar()->setValue(500);
    EXPECT_EQ(grid->TopRow(), 500);
    area->horizontalScrollBar()->setValue(3);
    EXPECT_EQ(grid->LeftCol(), 3);

    QTest::mouseClick(area->viewport(), Qt::LeftButton, {}, center(5, 502));
    EXPECT_EQ(grid->Col(), 5);
    EXPECT_EQ(grid->Row(), 502);

    QTest::keyClick(area, Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 503);
    QTest::keyClick(area, Qt::Key_PageDown);
    EXPECT_GT(grid->Row(), 503 + 5);
    // The scroll bars take their room from the cells: scrolled to the end, the last row and
    // column show wholly above and left of them.
    EXPECT_EQ(grid->ClientHeight(), area->viewport()->height());
    EXPECT_EQ(grid->ClientWidth(), area->viewport()->width());
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
    const TRect last = grid->CellRect(19, 999);
    EXPECT_GT(last.Height(), 0);
    EXPECT_LE(last.bottom, area->viewport()->height());
    EXPECT_LE(last.right, area->viewport()->width());

    // Scrolling by keys moves the scroll bar too.
    QTest::keyClick(area, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid->Row(), 999);
    EXPECT_EQ(area->verticalScrollBar()->value(), grid->TopRow());
    EXPECT_GT(grid->TopRow(), 900);
}

TEST_F(QtGrid, InPlaceEditorEditsTheCellInCodePage1252) {
    grid->SetOptions(grid->Options() | goEditing);
    grid->SetTopRow(10);
    QTest::mouseDClick(area->viewport(), Qt::LeftButton, {}, center(2, 12));
    // QTest's double click leaves the button down; a person's ends with a release.
    QTest::mouseRelease(area->viewport(), Qt::LeftButton, {}, center(2, 12));
    ASSERT_TRUE(grid->EditorMode());
    auto* editor = qobject_cast<QLineEdit*>(TQtWidgetSet::Widget(*grid->InplaceEditor()));
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->parentWidget(), area->viewport());
    const TRect cell = grid->CellRect(2, 12);
    EXPECT_EQ(editor->geometry(), QRect(cell.left, cell.top, cell.Width(), cell.Height()));
    EXPECT_EQ(editor->text(), QStringLiteral("r12c2"));

    editor->selectAll();
    qx::test::TypeText(editor, QString::fromUtf8("Gr\xC3\xB6\xC3\x9F"
                                                 "e"));
    EXPECT_EQ(grid->Cells(2, 12),
              "Gr\xF6\xDF"
              "e");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(grid->Cells(2, 12),
              "Gr\xF6\xDF"
              "e");
}

}  // namespace
