// The table frame on a shown form with real Qt widgets: a table file opened, cells typed
// through the grid's in-place editor and stored by their column's type; the popup menu and
// the caption command through the input dialog. (The frame's logic behind them is tested
// headless.)
#include <QAbstractScrollArea>
#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QTest>

#include <filesystem>

#include "qx/tableframe/QxTableFrame.h"
#include "tests/qt/QtTestSupport.h"

namespace {

using qx::test::Screenshot;
using qx::test::Widget;

const QString kCaptionItem = qx::test::Latin1("\334berschrift");

class QtTableFrame : public qx::test::QtTest {
  protected:
    void SetUp() override {
        QtTest::SetUp();
        // The example table writes its file into the current folder: keep it in a scratch one.
        const auto here = std::filesystem::current_path();
        std::filesystem::current_path(dir.Path());
        {
            TQxTableFrame example(nullptr);
            example.vCreateTestTable();
        }
        std::filesystem::current_path(here);
        const std::string tableFile = dir.File("TableTest.tbl");

        MakeForm("TableFrameForm", 760, 420).SetCaption("TQxTableFrame");
        frame = MakeChild<TQxTableFrame>(form.get(), form.get(), "TableFrame");
        frame->SetAlign(alClient);
        frame->vPermitChangeColumn(true);  // the file brings its own columns
        frame->vReadFile(tableFile.c_str(), false);
        // A file brings columns and lines only, not its name: the caption is the host's.
        frame->vSetCaption("Beispiel einer Tabelle");
        form->ShowForm();
        grid = frame->StringGridQx;
        auto* area = Widget<QAbstractScrollArea>(grid);
        ASSERT_NE(area, nullptr);
        drive = std::make_unique<qx::test::TGridDriver>(*grid, *area);
        area->grab();  // the first paint numbers and sizes the grid
    }

    static std::string shown(double value) {
        char out[TQxTableFrame::kWorkSize];
        TQxTableFrame::vPrintDouble(value, "%t4-", out);
        return out;
    }
    std::string cell(int line, int column) const { return grid->cpGetCellString(line, column); }
    QPoint centre(int line, int column) const {
        return drive->Centre(grid->iColIn(column), grid->iRowIn(line));
    }
    QStringList popup(const char* file = nullptr, std::function<void(QMenu&)> inside = nullptr) {
        return drive->Popup(centre(1, 1), file, Widget(form.get()), std::move(inside));
    }
    // Opens the popup and chooses the caption command, then runs `step` on the input dialog
    // once it is up (looked for from the event loop).
    void retitle(std::function<void(QInputDialog&)> step) {
        auto* timer = new QTimer(&qx::test::QtApp());
        QObject::connect(timer, &QTimer::timeout, [timer, step] {
            auto* dlg = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!dlg || !dlg->isVisible()) return;
            timer->stop();
            timer->deleteLater();
            step(*dlg);
        });
        timer->start(0);
        popup(nullptr, [](QMenu& menu) {
            menu.setActiveAction(menu.actions().value(0));  // the caption item leads the menu
            QTest::keyClick(&menu, Qt::Key_Return);
        });
    }

    qx::test::TTempDir dir;
    TQxTableFrame* frame = nullptr;
    TStringGridQx* grid = nullptr;
    std::unique_ptr<qx::test::TGridDriver> drive;
};

}  // namespace

TEST_F(QtTableFrame, TypedCellsThePopupAndTheCaptionCommandWorkThroughQt) {
    qx::test::TModalGuard guard;  // an error dialog would otherwise block the run
    ASSERT_EQ(frame->iGetLineCount(), 100);
    EXPECT_EQ(cell(2, 1), shown(2 * 99.9)) << "a loaded value shown by its column's format";

    drive->Type(centre(2, 0), "Neu");
    EXPECT_EQ(cell(2, 0), "Neu");
    // A double column takes a decimal comma; the cell shows the stored value by the format.
    drive->Type(centre(2, 1), "12,5");
    EXPECT_EQ(cell(2, 1), shown(12.5));
    Screenshot(Widget(form.get()), "tableframe-edited.png");

    // The caption item's text reaches the Qt menu (the items are checked headless).
    EXPECT_EQ(popup("tableframe-popup.png").value(0), kCaptionItem);

    retitle([](QInputDialog& dlg) {  // cancelled: nothing changes
        EXPECT_EQ(dlg.textValue(), QStringLiteral("Beispiel einer Tabelle"))
            << "starts with the caption";
        dlg.setTextValue(QStringLiteral("Verworfen"));
        dlg.reject();
    });
    EXPECT_EQ(frame->sGetCaption(), "Beispiel einer Tabelle");

    retitle([](QInputDialog& dlg) {
        EXPECT_EQ(dlg.windowTitle(), kCaptionItem);
        dlg.setTextValue(qx::test::Latin1("Messwerte gr\374n"));
        dlg.accept();
    });
    EXPECT_EQ(frame->sGetCaption(), "Messwerte gr\374n");
}
