// The table frame on a shown form with real Qt widgets: a table file opened, cells typed
// through the grid's in-place editor and stored by their column's type, the result saved and
// reopened; the popup menu by the permissions; the caption command through the input dialog.
#include <QAbstractScrollArea>
#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QTest>

#include <cstring>
#include <filesystem>
#include <vector>

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
        tableFile = dir.File("TableTest.tbl");
        ASSERT_TRUE(std::filesystem::exists(tableFile));

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

    static std::vector<unsigned char> bytes(const TQxTableFrame& f, int at) {
        std::vector<unsigned char> d(static_cast<std::size_t>(f.iGetLineSize()));
        f.vGetLine(at, reinterpret_cast<char*>(d.data()));
        return d;
    }
    static double doubleAt(const std::vector<unsigned char>& line, std::size_t offset) {
        double d = 0;
        std::memcpy(&d, line.data() + offset, sizeof d);
        return d;
    }
    static std::string shown(double value) {
        char out[TQxTableFrame::kWorkSize];
        TQxTableFrame::vPrintDouble(value, "%t4-", out);
        return out;
    }
    // A second frame with the file at `path` read in.
    static std::unique_ptr<TQxTableFrame> reopen(const std::string& path) {
        auto f = std::make_unique<TQxTableFrame>(nullptr);
        f->vPermitChangeColumn(true);
        f->vReadFile(path.c_str(), false);
        return f;
    }
    std::string cell(int line, int column) const { return grid->cpGetCellString(line, column); }
    QPoint centre(int line, int column) const {
        return drive->Centre(grid->iColIn(column), grid->iRowIn(line));
    }
    // Types into the table's cell as a user would and paints, which hands the edit to the frame.
    void typeInto(int line, int column, const char* text) {
        drive->Type(centre(line, column), text);
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
            for (QAction* a : menu.actions())
                if (a->isVisible() && a->text() == kCaptionItem) {
                    menu.setActiveAction(a);
                    QTest::keyClick(&menu, Qt::Key_Return);
                    return;
                }
            ADD_FAILURE() << "no caption item";
            menu.close();
        });
    }

    qx::test::TTempDir dir;
    std::string tableFile;
    TQxTableFrame* frame = nullptr;
    TStringGridQx* grid = nullptr;
    std::unique_ptr<qx::test::TGridDriver> drive;
};

}  // namespace

TEST_F(QtTableFrame, TypedCellsAreStoredByTypeSavedAndReopened) {
    qx::test::TModalGuard guard;  // an error dialog would otherwise block the run
    ASSERT_EQ(frame->iGetLineCount(), 100);
    ASSERT_EQ(frame->iGetColCount(), 5);
    ASSERT_EQ(frame->iGetLineSize(), 96);
    const std::vector<unsigned char> before = bytes(*frame, 2);
    EXPECT_EQ(cell(2, 0), "Name3");
    EXPECT_EQ(cell(2, 1), shown(2 * 99.9)) << "a loaded value shown by its column's format";

    // A string column: the text with its NUL at the column's offset, nothing else touched.
    typeInto(2, 0, "Neu");
    std::vector<unsigned char> now = bytes(*frame, 2);
    EXPECT_EQ(std::memcmp(now.data(), "Neu", 4), 0);
    EXPECT_TRUE(std::equal(now.begin() + 64, now.end(), before.begin() + 64));
    EXPECT_EQ(cell(2, 0), "Neu");

    // A double column takes a decimal comma; the cell shows the stored value by the format.
    typeInto(2, 1, "12,5");
    now = bytes(*frame, 2);
    EXPECT_EQ(doubleAt(now, 64), 12.5);
    EXPECT_TRUE(std::equal(now.begin() + 72, now.end(), before.begin() + 72));
    EXPECT_EQ(cell(2, 1), shown(12.5));
    typeInto(3, 3, "-0.25");
    EXPECT_EQ(doubleAt(bytes(*frame, 3), 80), -0.25);
    EXPECT_EQ(cell(3, 3), shown(-0.25));

    // Text that is no number leaves the value and brings the stored one back into the cell.
    typeInto(2, 2, "abc");
    EXPECT_EQ(doubleAt(bytes(*frame, 2), 72), 2 * 299.9);
    EXPECT_EQ(cell(2, 2), shown(2 * 299.9));
    EXPECT_EQ(bytes(*frame, 1), bytes(*reopen(tableFile), 1)) << "other lines untouched";
    Screenshot(Widget(form.get()), "tableframe-edited.png");

    // Saved and opened in a second frame: the same columns and lines.
    const std::string saved = dir.File("edited.tbl");
    frame->vWriteFileBin(saved.c_str());
    const auto second = reopen(saved);
    ASSERT_EQ(second->iGetLineCount(), frame->iGetLineCount());
    ASSERT_EQ(second->iGetLineSize(), frame->iGetLineSize());
    EXPECT_TRUE(second->tTable.bCompareColumns(frame->tTable));
    for (int i = 0; i < frame->iGetLineCount(); ++i)
        EXPECT_EQ(bytes(*second, i), bytes(*frame, i)) << "line " << i;
    EXPECT_EQ(std::string(second->StringGridQx->cpGetCellString(2, 1)), shown(12.5));
}

TEST_F(QtTableFrame, ThePopupOffersWhatThePermissionsAllow) {
    qx::test::TModalGuard guard;
    const QString load = QStringLiteral("Tabelle laden"), format = QStringLiteral("Formatierung");
    EXPECT_EQ(popup("tableframe-popup.png"),
              (QStringList{kCaptionItem, load, QStringLiteral("Tabelle speichern"),
                           QStringLiteral("Kopieren"), format}));
    frame->vPermitSave(false);
    frame->vPermitChangeCaption(false);
    frame->vPermitCopy(false);
    EXPECT_EQ(popup(), (QStringList{load, format}));
    frame->vPermitLoad(false);
    frame->vPermitFormat(false);
    frame->vPermitChangeCaption(true);
    EXPECT_EQ(popup("tableframe-popup-caption-only.png"), (QStringList{kCaptionItem}));
}

TEST_F(QtTableFrame, TheCaptionCommandRetitlesTheTable) {
    qx::test::TModalGuard guard;
    ASSERT_EQ(frame->sGetCaption(), "Beispiel einer Tabelle");
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
    EXPECT_EQ(frame->tTable.sName, "Messwerte gr\374n") << "the table's name follows";
    EXPECT_TRUE(frame->paCaption->Visible());
    Screenshot(Widget(form.get()), "tableframe-retitled.png");

    // The new name goes into the file.
    const std::string saved = dir.File("retitled.tbl");
    frame->vWriteFileBin(saved.c_str());
    TQxTable back;
    unsigned char* raw = nullptr;
    back.vReadBin(saved.c_str(), &raw);
    const std::unique_ptr<unsigned char[]> storage(raw);
    EXPECT_EQ(back.sName, "Messwerte gr\374n");
}
