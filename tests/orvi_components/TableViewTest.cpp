// The read-only table view: rendering, colours, menu captions and export.
#include "tests/grid/GridSupport.h"

namespace {

class TableView : public qx::test::ErrorStateTest {
  protected:
    void SetUp() override {
        ErrorStateTest::SetUp();
        v = std::make_unique<TORVI_TableView>(nullptr);
        v->SetColCount(2);
        v->SetRowCount(2);
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 2; ++col)
                v->SetCells(col, row, std::string(1, "xy"[row]) + std::to_string(col + 1));
    }
    void TearDown() override {
        v.reset();
        ErrorStateTest::TearDown();
    }
    std::unique_ptr<TORVI_TableView> v;
};

}  // namespace

TEST_F(TableView, RendersCellsWithTabsAndLinesWithCrLfAndFitsColumnsToTheirTexts) {
    AnsiString text;
    v->_table2String(text);
    EXPECT_EQ(text, "x1\tx2\t\r\ny1\ty2\t\r\n");
    v->SetCells(0, 1, "");
    v->_line2String(1, text);
    EXPECT_EQ(text, "\ty2\t\r\n") << "an empty cell still has its TAB";
    EXPECT_EQ(qx::test::raisedCode([&] { v->_line2String(2, text); }), 0x05100000UL)
        << "a row outside the grid";

    // Reformatting fits each column to its widest text plus five.
    v->SetCells(1, 1, "a longer text");
    v->reformat();
    const int cw = TRecordingCanvas::CharWidth(v->Font().Size);
    EXPECT_EQ(v->ColWidths(0), 2 * cw + 5);
    EXPECT_EQ(v->ColWidths(1), 13 * cw + 5);
}

TEST_F(TableView, TheColourTableFollowsTheGridAndColouredCellsDrawTheirOwnWay) {
    v->vCellColors[1][1] = clRed;
    v->vCellColors[0][0] = clBlue;
    v->SetColCount(3);
    v->SetRowCount(4);
    ASSERT_EQ(v->vCellColors.size(), 3u);
    for (const auto& column : v->vCellColors) EXPECT_EQ(column.size(), 4u);
    EXPECT_EQ(v->vCellColors[2][0], -1);
    v->InsertRows(1, 1);
    EXPECT_EQ(v->vCellColors[1][2], clRed) << "old colours stay and move with their rows";
    v->DeleteRows(0, 1);
    EXPECT_EQ(v->vCellColors[1][1], clRed);

    v->SetBounds(0, 0, 400, 300);
    v->SetCells(1, 1, "red");
    v->vCellColors[0][0] = static_cast<TColor>(0x80000016);
    TRecordingCanvas canvas;
    v->PaintTo(canvas);
    bool redCell = false, infoCell = false;
    const TRect r11 = v->CellRect(1, 1);
    for (const auto& rec : canvas.Records()) {
        if (rec.op != TRecordingCanvas::Op::TextOut) continue;
        if (rec.text == "red") {
            redCell = true;
            EXPECT_EQ(rec.point, (TPoint{r11.left, r11.top})) << "no margin";
            EXPECT_EQ(rec.font.Color, clWhite);
        }
        if (rec.point == TPoint{0, 0}) {
            infoCell = true;
            EXPECT_EQ(rec.font.Color, clBlack);
        }
    }
    EXPECT_TRUE(redCell);
    EXPECT_TRUE(infoCell);
    v->vClearColor();
    EXPECT_EQ(v->vCellColors[1][1], -1);
}

TEST_F(TableView, MenuCaptionsFollowTheLanguage) {
    EXPECT_EQ(v->SaveItem()->Caption(), "&Speichern unter");
    EXPECT_EQ(v->CopyItem()->Caption(), "&Kopieren");
    EXPECT_EQ(v->PopupMenu(), v->GetpPopupMenu());
    TLanguage::setEnglisch();
    v->vSetAktLanguage();
    EXPECT_EQ(v->SaveItem()->Caption(), "&Save as");
    EXPECT_EQ(v->CopyItem()->Caption(), "&Copy");
    TPopupMenu extra(nullptr);
    auto* item = new TMenuItem(nullptr);
    item->SetCaption("Extra");
    extra.Items()->Add(item);
    v->vAddMenu(&extra, true);
    ASSERT_EQ(v->GetpPopupMenu()->Items()->Count(), 4);
    EXPECT_TRUE(v->GetpPopupMenu()->Items()->Items(2)->IsLine());
    EXPECT_EQ(v->GetpPopupMenu()->Items()->Items(3)->Caption(), "Extra");
}

TEST_F(TableView, ExportsToAFileAndTheClipboard) {
    qx::test::TTempDir dir;
    qx::test::TResponderScope responder;
    const std::string file = dir.File("view.txt");
    responder.FileDialog(file);
    v->Export2File(nullptr);
    EXPECT_EQ(qx::test::ReadFile(file), "x1\tx2\t\r\ny1\ty2\t\r\n");
    EXPECT_EQ(v->SaveDialog()->DefaultExt(), "txt");
    EXPECT_EQ(v->SaveDialog()->Filter(), "Tabelle *.txt|txt");
    EXPECT_NE(v->SaveDialog()->Options() & ofOverwritePrompt, 0u);

    // A folder that does not exist: the error dialog names the file.
    const std::string target = dir.File("missing") + "/view.txt";
    responder.FileDialog(target);
    responder.ErrorDialog();
    v->Export2File(nullptr);
    ASSERT_FALSE(responder.Requests().empty());
    const auto& shown = responder.Requests().back();
    EXPECT_EQ(shown.eKind, qx::platform::TDialogKind::ErrorDialog);
    EXPECT_NE(shown.text.find("missing/view.txt"), std::string::npos) << shown.text;
    EXPECT_EQ(qx::getErrorCode(), 0UL) << "the error ends in the dialog";

    v->Export2Clipboard(nullptr);
    EXPECT_EQ(qx::platform::GetClipboardText(), "x1\tx2\t\r\ny1\ty2\t\r\n");
}
