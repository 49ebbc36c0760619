// The extended grid in real Qt widgets: mouse selection and its events, header clicks, the
// popup menu for what is selected, an edit reported at the next paint, copy and paste
// through the system clipboard, and screenshots of formatting and selection.
#include <QAbstractScrollArea>
#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QTest>

#include "tests/qt/QtTestSupport.h"

namespace {

using qx::qt::TQtWidgetSet;

class QtGridQx : public qx::test::QtTest {
  protected:
    void SetUp() override {
        QtTest::SetUp();
        form = std::make_unique<TForm>(nullptr);
        form->SetName("GridQxForm");
        form->SetCaption("TStringGridQx");
        form->SetClientWidth(760);
        form->SetClientHeight(420);
        grid = new TStringGridQx(form.get());
        grid->SetName("Grid");
        grid->SetParent(form.get());
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
        area = qobject_cast<QAbstractScrollArea*>(TQtWidgetSet::Widget(*grid));
        ASSERT_NE(area, nullptr);
        drive = std::make_unique<qx::test::TGridDriver>(*grid, *area);
        area->grab();  // the first paint numbers and sizes the grid
    }
    void TearDown() override {
        form.reset();
        QtTest::TearDown();
    }
    static std::string text(int r, int c) {
        std::string t = "z";
        t += std::to_string(r);
        t += 's';
        t += std::to_string(c);
        return t;
    }
    QPoint centre(int col, int row) const { return drive->Centre(col, row); }
    void click(QPoint at) { drive->Click(at); }
    QStringList popupAt(QPoint at, const char* file) {
        return drive->Popup(at, file, TQtWidgetSet::Widget(*form));
    }
    void save(QWidget* w, const char* file) {
        ASSERT_TRUE(w->grab().save(QString::fromStdString(qx::test::ArtefactPath(file))));
    }

    std::unique_ptr<TForm> form;
    TStringGridQx* grid = nullptr;
    QAbstractScrollArea* area = nullptr;
    std::unique_ptr<qx::test::TGridDriver> drive;
    std::vector<std::vector<int>> blocks;
};

}  // namespace

TEST_F(QtGridQx, ADragSelectsABlockDrawnWithItsFrame) {
    blocks.clear();
    drive->Drag(centre(grid->iColIn(1), grid->iRowIn(1)), centre(grid->iColIn(3), grid->iRowIn(2)));
    ASSERT_FALSE(blocks.empty());
    EXPECT_EQ(blocks.back(), (std::vector<int>{1, 2, 1, 3}));
    EXPECT_EQ(grid->rGetSelection().iCount, 6);
    EXPECT_EQ(grid->Options() & goEditing, 0u) << "a block leaves editing off";

    const QImage shot = area->viewport()->grab().toImage();
    // Right of a cell's text and inside its frame.
    auto pixel = [&](const TRect& r) {
        return shot.pixelColor(r.right - 5, (r.top + r.bottom) / 2);
    };
    EXPECT_EQ(pixel(grid->CellRect(grid->iColIn(1), grid->iRowIn(1))), QColor(223, 223, 223))
        << "selected white";
    EXPECT_EQ(pixel(grid->CellRect(grid->iColIn(2), grid->iRowIn(1))), QColor(223, 223, 138))
        << "selected yellow";
    EXPECT_EQ(pixel(grid->CellRect(grid->iColIn(0), grid->iRowIn(0))), QColor(255, 200, 200))
        << "red background";
    EXPECT_EQ(pixel(grid->CellRect(0, 3)), QColor(170, 170, 170)) << "grey line numbers";
    // The frame: the top-left cell's left edge is darkened by the mask pen, the inside is not.
    const TRect first = grid->CellRect(grid->iColIn(1), grid->iRowIn(1));
    EXPECT_NE(shot.pixelColor(first.left + 1, first.top + 8), QColor(223, 223, 223));
    EXPECT_EQ(grid->RowHeights(grid->iRowIn(3)), 21) << "a row as high as its largest font";
    save(TQtWidgetSet::Widget(*form), "gridqx-formatting-and-block.png");
}

TEST_F(QtGridQx, HeaderClicksSelectRowsAndColumns) {
    click(centre(0, 3));
    EXPECT_TRUE(grid->rGetSelection().bSingleRow);
    EXPECT_TRUE(grid->bIsSelectedRow(2));
    click(centre(2, 0));
    EXPECT_TRUE(grid->rGetSelection().bSingleCol);
    EXPECT_TRUE(grid->bIsSelectedCol(1));
    click(centre(0, 0));
    EXPECT_TRUE(grid->rGetSelection().bAll);
}

TEST_F(QtGridQx, ThePopupOffersWhatTheSelectionAllows) {
    qx::test::TModalGuard guard;
    click(centre(grid->iColIn(2), grid->iRowIn(2)));
    const QStringList cell =
        popupAt(centre(grid->iColIn(2), grid->iRowIn(2)), "gridqx-popup-cell.png");
    EXPECT_TRUE(cell.contains(QStringLiteral("Kopieren"))) << cell.join(", ").toStdString();
    EXPECT_TRUE(cell.contains(QStringLiteral("Formatierung")));
    EXPECT_FALSE(cell.contains(QString::fromUtf8("L\xC3\xB6schen")));
    EXPECT_FALSE(cell.contains(QString::fromUtf8("Neue Zeilen einf\xC3\xBCgen")));

    click(centre(0, 4));  // a whole row by its line number
    const QStringList row = popupAt(centre(grid->iColIn(1), 4), "gridqx-popup-row.png");
    EXPECT_TRUE(row.contains(QString::fromUtf8("L\xC3\xB6schen"))) << row.join(", ").toStdString();
    EXPECT_TRUE(row.contains(QString::fromUtf8("Neue Zeilen einf\xC3\xBCgen")));
    EXPECT_FALSE(row.contains(QString::fromUtf8("Neue Zeilen anh\xC3\xA4ngen")))
        << "not the last row";
    EXPECT_EQ(row.count(QString::fromUtf8("L\xC3\xB6schen")), 1) << "one delete entry";
}

TEST_F(QtGridQx, AnEditIsReportedAtTheNextPaint) {
    std::vector<std::pair<int, int>> changed;
    grid->ECellContentChanged = [&](int row, int col) {
        changed.emplace_back(row, col);
        return true;
    };
    drive->Type(centre(grid->iColIn(2), grid->iRowIn(3)), "neu", false);
    EXPECT_EQ(std::string(grid->cpGetCellString(3, 2)), "neu");
    EXPECT_TRUE(changed.empty()) << "reported when drawn";
    area->grab();
    EXPECT_EQ(changed, (std::vector<std::pair<int, int>>{{3, 2}}));
    area->grab();
    EXPECT_EQ(changed.size(), 1u) << "once";
}

TEST_F(QtGridQx, ABlockCopiedIntoAnotherGridKeepsTextsAndFormatting) {
    grid->vSetHiddenCellString(1, 2, "hidden");
    grid->vCopy2Clipboard(1, 2, 1, 3);
    TStringGridQx other(nullptr);
    other.vSetSelectedArea(0, 0, 0, 0);
    other.vInsertFromClipboard(0, 0);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(std::string(other.cpGetCellString(r, c)), text(r + 1, c + 1));
            EXPECT_EQ(other.eGetBKColor(r, c), grid->eGetBKColor(r + 1, c + 1)) << r << c;
        }
    EXPECT_EQ(other.eGetColor(0, 0), eColorBlue);
    EXPECT_STREQ(other.cpGetHiddenCellString(0, 1), "hidden");
}
