// Where the framework and Qt meet: screen coordinates after the window moved, focus changes
// made in Qt, mouse moves without a button, the in-place editor following its cell, the
// right-click popup, partial repaints, measuring outside painting, Show() on a form.
#include <QAbstractScrollArea>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEvent>
#include <QTest>

#include "qx/platform/qt/QtCanvas.h"
#include "tests/qt/QtTestSupport.h"

namespace {

using qx::qt::TQtCanvas;
using qx::qt::TQtWidgetSet;

TPoint toT(QPoint p) {
    return {p.x(), p.y()};
}
QRect toQ(const TRect& r) {
    return {r.left, r.top, r.Width(), r.Height()};
}

// Paint rectangles a widget receives.
class TPaintSpy : public QObject {
  public:
    explicit TPaintSpy(QWidget* w) { w->installEventFilter(this); }
    std::vector<QRect> rects;

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) rects.push_back(static_cast<QPaintEvent*>(e)->rect());
        return false;
    }
};

class QtSeam : public qx::test::QtTest {
  protected:
    void SetUp() override {
        QtTest::SetUp();
        form = std::make_unique<TForm>(nullptr);
        form->SetName("SeamForm");
        form->SetCaption("Naht");
        form->SetBounds(100, 80, 500, 360);
        grid = MakeChild<TStringGrid>(form.get(), form.get(), "Grid");
        grid->SetBounds(8, 8, 420, 220);
        grid->SetColCount(6);
        grid->SetRowCount(60);
        for (int r = 0; r < grid->RowCount(); ++r)
            for (int c = 0; c < grid->ColCount(); ++c)
                grid->SetCells(c, r, std::to_string(c) + "/" + std::to_string(r));
        edit = MakeChild<TEdit>(form.get(), form.get(), "Edit");
        edit->SetBounds(8, 240, 200, 21);
        panel = MakeChild<TPanel>(form.get(), form.get(), "Panel");
        panel->SetBounds(220, 240, 120, 40);
        form->ShowForm();
        window = TQtWidgetSet::Widget(*form);
        area = qobject_cast<QAbstractScrollArea*>(TQtWidgetSet::Widget(*grid));
        ASSERT_TRUE(window && area);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    void TearDown() override {
        form.reset();
        QtTest::TearDown();
    }
    QPoint center(int col, int row) const { return toQ(grid->CellRect(col, row)).center(); }

    std::unique_ptr<TForm> form;
    TStringGrid* grid = nullptr;
    TEdit* edit = nullptr;
    TPanel* panel = nullptr;
    QWidget* window = nullptr;
    QAbstractScrollArea* area = nullptr;
};

TEST_F(QtSeam, ClientToScreenFollowsTheWindowMovedByTheProgramOrTheUser) {
    const TPoint p{5, 7};
    auto qtPoint = [&] { return toT(area->viewport()->mapToGlobal(QPoint(p.x, p.y))); };
    EXPECT_EQ(grid->ClientToScreen(p), qtPoint());
    const TPoint before = grid->ClientToScreen(p);

    form->SetLeft(300);
    form->SetTop(200);
    QApplication::processEvents();
    EXPECT_EQ(grid->ClientToScreen(p), qtPoint());
    EXPECT_EQ(grid->ClientToScreen(p), (TPoint{before.x + 200, before.y + 120}));

    // A window moved in Qt, as a user drags it: the form's bounds follow too.
    window->move(window->pos() + QPoint(-50, 40));
    QApplication::processEvents();
    EXPECT_EQ(grid->ClientToScreen(p), qtPoint());
    EXPECT_EQ(grid->ClientToScreen(p), (TPoint{before.x + 150, before.y + 160}));
    EXPECT_EQ(form->Left(), 250);
    EXPECT_EQ(form->Top(), 240);
    // The form's own client area maps the same way.
    EXPECT_EQ(form->ClientToScreen({0, 0}), toT(window->mapToGlobal(QPoint(0, 0))));
}

TEST_F(QtSeam, FocusMovedInQtReachesTheControlsWithoutEcho) {
    int gridEnter = 0, gridExit = 0, editEnter = 0, editExit = 0;
    grid->OnEnter = [&](TObject*) { ++gridEnter; };
    grid->OnExit = [&](TObject*) { ++gridExit; };
    edit->OnEnter = [&](TObject*) { ++editEnter; };
    edit->OnExit = [&](TObject*) { ++editExit; };

    // Activating the window gave the first control Qt's focus, and the framework's.
    EXPECT_TRUE(area->hasFocus());
    EXPECT_EQ(form->ActiveControl(), grid);
    edit->SetFocus();
    EXPECT_TRUE(TQtWidgetSet::Widget(*edit)->hasFocus());
    grid->SetFocus();
    EXPECT_TRUE(area->hasFocus());
    EXPECT_EQ(gridExit, 1);
    EXPECT_EQ(gridEnter, 1);
    EXPECT_EQ(editEnter, 1);
    EXPECT_EQ(editExit, 1);
    editEnter = editExit = gridEnter = gridExit = 0;

    // Tab without goTabs leaves the grid: Qt moves the focus, the framework follows.
    QTest::keyClick(area, Qt::Key_Tab);
    EXPECT_EQ(gridExit, 1);
    EXPECT_EQ(editEnter, 1);
    EXPECT_EQ(form->ActiveControl(), edit);
    EXPECT_TRUE(TQtWidgetSet::Widget(*edit)->hasFocus());

    // A click into the grid takes the focus back, once.
    QTest::mouseClick(area->viewport(), Qt::LeftButton, {}, center(2, 3));
    EXPECT_EQ(editExit, 1);
    EXPECT_EQ(gridEnter, 1);
    EXPECT_EQ(form->ActiveControl(), grid);
    EXPECT_EQ(grid->Col(), 2);

    // With goTabs the grid keeps Tab for itself.
    grid->SetOptions(grid->Options() | goTabs);
    QTest::keyClick(area, Qt::Key_Tab);
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(gridExit, 1);
    EXPECT_EQ(form->ActiveControl(), grid);

    // Focus on a widget of no control on the same window: the grid has lost it.
    auto* foreign = new QLineEdit(window);
    foreign->show();
    foreign->setFocus();
    EXPECT_EQ(gridExit, 2);
    EXPECT_EQ(form->ActiveControl(), nullptr);
    delete foreign;
}

TEST_F(QtSeam, MouseMovesWithoutAButtonReachTheControls) {
    std::vector<TPoint> gridMoves, panelMoves;
    TShiftState gridShift = ~0u;
    grid->OnMouseMove = [&](TObject*, TShiftState s, int x, int y) {
        gridMoves.push_back({x, y});
        gridShift = s;
    };
    panel->OnMouseMove = [&](TObject*, TShiftState, int x, int y) { panelMoves.push_back({x, y}); };

    QTest::mouseMove(area->viewport(), center(1, 2));
    ASSERT_FALSE(gridMoves.empty());
    EXPECT_EQ(gridMoves.back(), toT(center(1, 2)));
    EXPECT_EQ(gridShift & (ssLeft | ssRight | ssMiddle), 0u);
    EXPECT_EQ(grid->Col(), 1);  // a move is no selection
    EXPECT_EQ(grid->Row(), 1);

    QTest::mouseMove(TQtWidgetSet::Widget(*panel), QPoint(30, 12));
    ASSERT_FALSE(panelMoves.empty());
    EXPECT_EQ(panelMoves.back(), (TPoint{30, 12}));
}

TEST_F(QtSeam, TheEditorFollowsItsCellWhenSizesChange) {
    grid->SetOptions(grid->Options() | goEditing);
    QTest::mouseDClick(area->viewport(), Qt::LeftButton, {}, center(2, 4));
    // QTest's double click leaves the button down; a person's ends with a release.
    QTest::mouseRelease(area->viewport(), Qt::LeftButton, {}, center(2, 4));
    ASSERT_TRUE(grid->EditorMode());
    QWidget* editor = TQtWidgetSet::Widget(*grid->InplaceEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->geometry(), toQ(grid->CellRect(2, 4)));

    grid->SetColWidths(1, 110);  // left of the cell: the editor moves
    EXPECT_EQ(editor->geometry(), toQ(grid->CellRect(2, 4)));
    EXPECT_EQ(editor->x(), grid->ColWidths(0) + 110 + 2 * grid->GridLineWidth());
    grid->SetColWidths(2, 140);  // its own column: the editor widens
    EXPECT_EQ(editor->width(), 140);
    grid->SetRowHeights(4, 40);
    EXPECT_EQ(editor->geometry(), toQ(grid->CellRect(2, 4)));
    EXPECT_EQ(editor->height(), 40);
    EXPECT_TRUE(editor->isVisible());

    ASSERT_TRUE(window->grab().save(
        QString::fromStdString(qx::test::ArtefactPath("seam-editor-widened.png"))));
}

TEST_F(QtSeam, ARightClickOpensThePopupMenuOnce) {
    TPopupMenu menu(nullptr);
    auto* item = new TMenuItem(&menu);
    item->SetCaption("Kopieren");
    menu.Items()->Add(item);
    grid->SetPopupMenu(&menu);
    int popups = 0, ups = 0;
    QPoint shownAt;
    grid->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    menu.OnPopup = [&](TObject*) {
        ++popups;
        EXPECT_EQ(ups, 1) << "the menu opens after OnMouseUp";
        Later([&] {
            QWidget* m = QApplication::activePopupWidget();
            ASSERT_NE(m, nullptr);
            shownAt = m->pos();
            m->close();
        });
    };
    qx::test::TModalGuard guard;
    QTest::mouseClick(area->viewport(), Qt::RightButton, {}, center(3, 5));
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(menu.PopupComponent(), grid);
    EXPECT_EQ(toT(shownAt), grid->ClientToScreen(toT(center(3, 5))));

    // A left click opens nothing.
    QTest::mouseClick(area->viewport(), Qt::LeftButton, {}, center(3, 5));
    EXPECT_EQ(popups, 1);
}

TEST_F(QtSeam, AChangedCellRepaintsItsRectangleOnly) {
    QApplication::processEvents();
    TPaintSpy spy(area->viewport());
    grid->SetCells(2, 3, "neu");
    QApplication::processEvents();
    ASSERT_FALSE(spy.rects.empty());
    const QRect cell = toQ(grid->CellRect(2, 3));
    for (const QRect& r : spy.rects) {
        EXPECT_TRUE(r.contains(cell));
        EXPECT_LT(r.width() * r.height(),
                  area->viewport()->width() * area->viewport()->height() / 4);
    }
}

TEST_F(QtSeam, TextMeasuredOutsidePaintingEqualsTheWidthWhilePainting) {
    TFont font = grid->Font();
    font.Size = 11;
    grid->SetFont(font);
    const AnsiString text = "Breite Spalte \xC4\xD6\xDC 123";
    TCanvas& measure = grid->Canvas();
    ASSERT_NE(dynamic_cast<TQtCanvas*>(&measure), nullptr);
    measure.Font = grid->Font();
    const int outside = measure.TextWidth(text);
    EXPECT_EQ(&grid->Canvas(), &measure);  // made once, not per call
    measure.FillRect({0, 0, 10, 10});      // draws nothing, and does not fail
    measure.TextOut(0, 0, text);

    int inside = -1;
    grid->OnDrawCell = [&](TObject*, int col, int row, const TRect&, TGridDrawState) {
        if (col == 1 && row == 1) inside = grid->Canvas().TextWidth(text);
    };
    area->viewport()->grab();
    EXPECT_EQ(inside, outside);
    EXPECT_NE(outside, static_cast<int>(text.size()) * TRecordingCanvas::CharWidth(11));
}

TEST_F(QtSeam, CanvasMeasuresEachFontWithItsOwnMetrics) {
    TQtCanvas canvas;
    auto width = [&](int size, unsigned style, TColor color) {
        canvas.Font.Size = size;
        canvas.Font.Style = style;
        canvas.Font.Color = color;
        return canvas.TextWidth("Messung");
    };
    auto expected = [](int size, unsigned style) {
        TFont f;
        f.Size = size;
        f.Style = style;
        return QFontMetrics(TQtCanvas::ToQFont(f)).horizontalAdvance(QStringLiteral("Messung"));
    };
    // Alternating fonts: every answer is that font's, not the last one's.
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(width(8, 0, clBlack), expected(8, 0));
        EXPECT_EQ(width(16, 0, clBlack), expected(16, 0));
        EXPECT_EQ(width(16, fsBold, clRed), expected(16, fsBold));
        EXPECT_EQ(width(8, 0, clRed), expected(8, 0));  // colour changes no metric
    }
    EXPECT_GT(expected(16, 0), expected(8, 0));
}

TEST_F(QtSeam, ShowOnAFormShowsItsWindowOnce) {
    TForm other(nullptr);
    other.SetName("ShownForm");
    int shows = 0;
    other.OnShow = [&](TObject*) { ++shows; };
    other.Show();
    QWidget* w = TQtWidgetSet::Widget(other);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(shows, 1);
    other.ShowForm();
    EXPECT_EQ(shows, 1);
    other.Hide();
    EXPECT_FALSE(w->isVisible());
    other.SetVisible(true);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(shows, 2);
}

}  // namespace
