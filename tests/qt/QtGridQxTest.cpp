// The extended grid in real Qt widgets: mouse selection and its events, header clicks, the
// popup menu for what is selected, copy and paste through the system clipboard, and
// screenshots of formatting and selection. (An edit reported at the next paint: the table
// frame's typing test, which relies on it.)
#include <QAbstractScrollArea>
#include <QTest>

#include "tests/qt/QtTestSupport.h"

namespace {

using qx::test::Latin1;

class QtGridQx : public qx::test::QtTest {
  protected:
    void SetUp() override {
        QtTest::SetUp();
        MakeForm("GridQxForm", 760, 420).SetCaption("TStringGridQx");
        grid = MakeChild<TStringGridQx>(form.get(), form.get(), "Grid");
        grid->SetAlign(alClient);
        grid->vSetTableSize(30, 7);
        for (int r = 0; r < 30; ++r)
            for (int c = 0; c < 7; ++c) grid->vSetCellString(r, c, text(r, c).c_str());
        grid->vSetCellString(0, 1, "12,5");
        grid->vSetBKColor(eColorRed, 0, 0, 0, 0);
        grid->vSetBKColor(eColorYellow, 1, 2, 2, 3);
        grid->vSetColor(eColorBlue, 1, 1, 0, 6);
        grid->vSetFontSize(eFontLarge, 3, 3, 0, 6);
        grid->vSetFontSize(eFontSmall, 4, 4, 0, 6);
        grid->vSetAdjust(eAdjustCenter, 5, 5, 0, 6);
        grid->vSetAdjust(eAdjustRight, 6, 6, 0, 6);
        grid->ECellSelectionChanged = [this](int a, int b, int c, int d) {
            blocks.push_back({a, b, c, d});
        };
        form->ShowForm();
        area = qx::test::Widget<QAbstractScrollArea>(grid);
        ASSERT_NE(area, nullptr);
        drive = std::make_unique<qx::test::TGridDriver>(*grid, *area);
        area->grab();  // the first paint numbers and sizes the grid
    }
    static std::string text(int r, int c) {
        std::string t = "z";
        t += std::to_string(r);
        t += 's';
        t += std::to_string(c);
        return t;
    }
    // Centre of the table's cell (row, column).
    QPoint centre(int row, int col) const {
        return drive->Centre(grid->iColIn(col), grid->iRowIn(row));
    }

    TStringGridQx* grid = nullptr;
    QAbstractScrollArea* area = nullptr;
    std::unique_ptr<qx::test::TGridDriver> drive;
    std::vector<std::vector<int>> blocks;
};

}  // namespace

TEST_F(QtGridQx, MouseSelectionDrawingAndThePopupThroughQt) {
    drive->Drag(centre(1, 1), centre(2, 3));
    ASSERT_FALSE(blocks.empty());
    EXPECT_EQ(blocks.back(), (std::vector<int>{1, 2, 1, 3}));

    const QImage shot = area->viewport()->grab().toImage();
    // Right of a cell's text and inside its frame.
    auto pixel = [&](const TRect& r) {
        return shot.pixelColor(r.right - 5, (r.top + r.bottom) / 2);
    };
    auto cell = [&](int row, int col) {
        return grid->CellRect(grid->iColIn(col), grid->iRowIn(row));
    };
    EXPECT_EQ(pixel(cell(1, 1)), QColor(223, 223, 223)) << "selected white";
    EXPECT_EQ(pixel(cell(0, 0)), QColor(255, 200, 200)) << "red background";
    EXPECT_EQ(grid->RowHeights(grid->iRowIn(3)), 21) << "a row as high as its largest font";
    qx::test::Screenshot(qx::test::Widget(form.get()), "gridqx-formatting-and-block.png");

    // Header clicks select lines; the popup offers what the selection allows.
    qx::test::TModalGuard guard;
    QWidget* window = qx::test::Widget(form.get());
    drive->Click(centre(2, 2));
    const QStringList one = drive->Popup(centre(2, 2), "gridqx-popup-cell.png", window);
    EXPECT_TRUE(one.contains(QStringLiteral("Kopieren"))) << one.join(", ").toStdString();
    EXPECT_FALSE(one.contains(Latin1("L\366schen")));

    drive->Click(drive->Centre(0, 4));  // a whole row by its line number
    EXPECT_TRUE(grid->rGetSelection().bSingleRow);
    EXPECT_TRUE(grid->bIsSelectedRow(3));
    const QStringList row = drive->Popup(centre(3, 1), "gridqx-popup-row.png", window);
    EXPECT_EQ(row.count(Latin1("L\366schen")), 1) << row.join(", ").toStdString();

    drive->Click(drive->Centre(2, 0));
    EXPECT_TRUE(grid->bIsSelectedCol(1));
    drive->Click(drive->Centre(0, 0));
    EXPECT_TRUE(grid->rGetSelection().bAll);
}
