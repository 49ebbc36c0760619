// The grid widget on a shown form, where the framework and Qt meet.
#include <QAbstractScrollArea>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include "qx/platform/qt/QtCanvas.h"
#include "tests/qt/QtTestSupport.h"

namespace {

using qx::test::Latin1;
using qx::test::ToQ;
using qx::test::ToT;
using qx::test::Widget;

class QtGrid : public qx::test::QtTest {
  protected:
    void SetUp() override {
        QtTest::SetUp();
        MakeForm("GridForm", 500, 300).SetCaption("Gitter \374ber 1000 Zeilen");
        form->SetLeft(100);
        form->SetTop(80);
        grid = MakeChild<TStringGrid>(form.get(), form.get(), "Grid");
        grid->SetBounds(8, 8, 420, 220);
        grid->SetColCount(20);
        grid->SetRowCount(1000);
        for (int r = 0; r < grid->RowCount(); ++r)
            for (int c = 0; c < grid->ColCount(); ++c)
                grid->SetCells(c, r,
                               qx::test::Join({"r", std::to_string(r), "c", std::to_string(c)}));
        edit = MakeChild<TEdit>(form.get(), form.get(), "Edit");
        edit->SetBounds(8, 240, 200, 21);
        panel = MakeChild<TPanel>(form.get(), form.get(), "Panel");
        panel->SetBounds(220, 240, 120, 40);
        form->ShowForm();
        window = Widget(form.get());
        area = Widget<QAbstractScrollArea>(grid);
        ASSERT_TRUE(window && area);
        drive = std::make_unique<qx::test::TGridDriver>(*grid, *area);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    QPoint center(int col, int row) const { return drive->Centre(col, row); }
    // Cells that a paint shows, partly shown ones included.
    int shownCells() const {
        int cols = 0, rows = 0;
        for (int c = 0; c < grid->ColCount(); ++c)
            cols += grid->CellRect(c, grid->TopRow()).Width() > 0;
        for (int r = 0; r < grid->RowCount(); ++r)
            rows += grid->CellRect(grid->LeftCol(), r).Height() > 0;
        return cols * rows;
    }

    TStringGrid* grid = nullptr;
    TEdit* edit = nullptr;
    TPanel* panel = nullptr;
    QWidget* window = nullptr;
    QAbstractScrollArea* area = nullptr;
    std::unique_ptr<qx::test::TGridDriver> drive;
};

TEST_F(QtGrid, PaintsEveryVisibleCellAndScrollBarsMouseAndKeysReachIt) {
    int drawn = 0;
    grid->OnDrawCell = [&](TObject*, int col, int row, const TRect& rect, TGridDrawState) {
        ++drawn;
        if (col == 3 && row == 905) {
            grid->Canvas().Brush.Color = clRed;
            grid->Canvas().FillRect(rect);
        }
    };
    grid->SetTopRow(900);

    const QImage shot = area->grab().toImage();
    EXPECT_EQ(drawn, shownCells());
    EXPECT_GT(drawn, 20);
    const QPoint origin = area->viewport()->mapTo(area, QPoint(0, 0));
    auto pixel = [&](int x, int y) { return shot.pixelColor(origin + QPoint(x, y)); };

    // The cell the handler painted red and dark text pixels in a cell of row 900.
    EXPECT_EQ(pixel(center(3, 905).x(), center(3, 905).y()), QColor(255, 0, 0));
    const QRect text = ToQ(grid->CellRect(1, 900)).translated(origin);
    EXPECT_GT(qx::test::CountPixels(shot, text, [](QColor c) { return c.lightness() < 100; }), 10);
    qx::test::Screenshot(window, "grid-row-900.png");

    // Scroll bars, mouse and keys reach the grid.
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
    QTest::keyClick(area, Qt::Key_PageUp);
    EXPECT_EQ(grid->Row(), 503);
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

TEST_F(QtGrid, TheInPlaceEditorEditsInCodePage1252AndFollowsItsCell) {
    grid->SetOptions(grid->Options() | goEditing);
    grid->SetTopRow(10);
    QTest::mouseDClick(area->viewport(), Qt::LeftButton, {}, center(2, 12));
    // QTest's double click leaves the button down; a person's ends with a release.
    QTest::mouseRelease(area->viewport(), Qt::LeftButton, {}, center(2, 12));
    ASSERT_TRUE(grid->EditorMode());
    auto* editor = Widget<QLineEdit>(grid->InplaceEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->parentWidget(), area->viewport());
    EXPECT_EQ(editor->geometry(), ToQ(grid->CellRect(2, 12)));
    EXPECT_EQ(editor->text(), QStringLiteral("r12c2"));
    editor->selectAll();
    qx::test::TypeText(editor, Latin1("Gr\366\337e"));
    EXPECT_EQ(grid->Cells(2, 12), "Gr\366\337e");
    grid->SetCells(3, 12, "x");  // other cells changing leave the editor alone
    grid->SetCells(2, 13, "y");

    grid->SetColWidths(1, 110);  // the editor moves with its cell and grows with it
    grid->SetColWidths(2, 140);
    grid->SetRowHeights(12, 40);
    EXPECT_EQ(editor->geometry(), ToQ(grid->CellRect(2, 12)));
    EXPECT_EQ(editor->size(), QSize(140, 40));

    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(grid->Cells(2, 12), "Gr\366\337e");
}

TEST_F(QtGrid, MouseMovesWithoutAButtonAndScreenPointsAfterTheWindowMoved) {
    TPoint gridAt{-1, -1}, panelAt{-1, -1};
    TShiftState gridShift = ~0u;
    grid->OnMouseMove = [&](TObject*, TShiftState s, int x, int y) {
        gridAt = {x, y};
        gridShift = s;
    };
    panel->OnMouseMove = [&](TObject*, TShiftState, int x, int y) { panelAt = {x, y}; };

    QTest::mouseMove(area->viewport(), center(1, 2));
    EXPECT_EQ(gridAt, ToT(center(1, 2)));
    EXPECT_EQ(gridShift & (ssLeft | ssRight | ssMiddle), 0u);
    EXPECT_EQ(grid->Col(), 1);  // a move is no selection
    EXPECT_EQ(grid->Row(), 1);

    QTest::mouseMove(Widget(panel), QPoint(30, 12));
    EXPECT_EQ(panelAt, (TPoint{30, 12}));

    const TPoint p{5, 7};
    auto qtPoint = [&] { return ToT(area->viewport()->mapToGlobal(QPoint(p.x, p.y))); };
    EXPECT_EQ(grid->ClientToScreen(p), qtPoint());

    form->SetLeft(300);
    form->SetTop(200);
    QApplication::processEvents();
    EXPECT_EQ(grid->ClientToScreen(p), qtPoint());

    // A window moved in Qt, as a user drags it: the form's bounds follow too.
    window->move(window->pos() + QPoint(-50, 40));
    QApplication::processEvents();
    EXPECT_EQ(grid->ClientToScreen(p), qtPoint());
    EXPECT_EQ(form->Left(), 250);
    EXPECT_EQ(form->Top(), 240);
    // The form's own client area maps the same way.
    EXPECT_EQ(form->ClientToScreen({0, 0}), ToT(window->mapToGlobal(QPoint(0, 0))));
}

TEST_F(QtGrid, FocusMovedInQtReachesTheControlsWithoutEcho) {
    int gridEnter = 0, gridExit = 0, editEnter = 0, editExit = 0;
    grid->OnEnter = [&](TObject*) { ++gridEnter; };
    grid->OnExit = [&](TObject*) { ++gridExit; };
    edit->OnEnter = [&](TObject*) { ++editEnter; };
    edit->OnExit = [&](TObject*) { ++editExit; };
    auto counts = [&] { return std::vector<int>{gridEnter, gridExit, editEnter, editExit}; };

    // Activating the window gave the first control Qt's focus, and the framework's.
    EXPECT_TRUE(area->hasFocus());
    EXPECT_EQ(form->ActiveControl(), grid);
    edit->SetFocus();
    EXPECT_TRUE(Widget(edit)->hasFocus());
    grid->SetFocus();
    EXPECT_EQ(counts(), (std::vector<int>{1, 1, 1, 1}));

    // Tab without goTabs leaves the grid: Qt moves the focus, the framework follows.
    QTest::keyClick(area, Qt::Key_Tab);
    EXPECT_EQ(counts(), (std::vector<int>{1, 2, 2, 1}));
    EXPECT_EQ(form->ActiveControl(), edit);

    // A click into the grid takes the focus back, once.
    QTest::mouseClick(area->viewport(), Qt::LeftButton, {}, center(2, 3));
    EXPECT_EQ(counts(), (std::vector<int>{2, 2, 2, 2}));
    EXPECT_EQ(form->ActiveControl(), grid);
    EXPECT_EQ(grid->Col(), 2);

    // With goTabs the grid keeps Tab for itself.
    grid->SetOptions(grid->Options() | goTabs);
    QTest::keyClick(area, Qt::Key_Tab);
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(counts(), (std::vector<int>{2, 2, 2, 2}));
    EXPECT_EQ(form->ActiveControl(), grid);

    // Focus on a widget of no control on the same window: the grid has lost it.
    auto* foreign = new QLineEdit(window);
    foreign->show();
    foreign->setFocus();
    EXPECT_EQ(gridExit, 3);
    EXPECT_EQ(form->ActiveControl(), nullptr);
    delete foreign;
}

}  // namespace
