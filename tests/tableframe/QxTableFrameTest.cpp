// The table frame: grid picture, lines and columns, editing by type, files and permissions.
#include <cstring>
#include <set>

#include "qx/tableframe/QxTableFrame.h"
#include "tests/grid/GridSupport.h"

namespace qx::test {
namespace {

using Bytes = std::vector<unsigned char>;

TQxTable::TItem item(const char* name, TH5Type::TDataTyp type, unsigned offset,
                     unsigned stringSize = 0, const char* format = "") {
    TQxTable::TItem c;
    c.sName = name;
    c.sEinheit = std::string("u") + name;
    c.eTyp = type;
    c.uOffset = offset;
    c.uStringSize = stringSize;
    c.sFormat = format;
    return c;
}

// Line layout of the standard table: Name (string, 8 bytes), Byte (UChar at 8), Long (at 9),
// Value (double at 13): 21 bytes.
constexpr int kLineSize = 21;

Bytes line(const char* name, unsigned char b, int l, double v) {
    Bytes d(kLineSize, 0);
    std::strncpy(reinterpret_cast<char*>(d.data()), name, 7);
    d[8] = b;
    std::memcpy(d.data() + 9, &l, 4);
    std::memcpy(d.data() + 13, &v, 8);
    return d;
}

// The standard columns, in a frame of line size 21.
void standardColumns(TQxTableFrame& f) {
    f.vSetLineSize(kLineSize);
    f.vAppendColumn(item("Name", TH5Type::eTypString, 0, 8));
    f.vAppendColumn(item("Byte", TH5Type::eTypUChar, 8));
    f.vAppendColumn(item("Long", TH5Type::eTypLong, 9));
    f.vAppendColumn(item("Value", TH5Type::eTypDouble, 13, 0, "%t4-"));
}

// Every line of the table refers to its own buffer, in order.
void expectBound(const TQxTableFrame& f) {
    ASSERT_EQ(f.tTable.uGetLineNumber(), f.vLineBuffers.size());
    for (std::size_t i = 0; i < f.vLineBuffers.size(); ++i)
        EXPECT_EQ(f.tTable.vLines[i], f.vLineBuffers[i].get());
}

class FrameTest : public ErrorStateTest {
  protected:
    void SetUp() override {
        ErrorStateTest::SetUp();
        frame = std::make_unique<TQxTableFrame>(nullptr);
    }
    // The standard columns and `lines` lines "n<i>", i + 7, -i, i * 1.5.
    void standard(int lines = 2) {
        standardColumns(*frame);
        for (int i = 0; i < lines; ++i)
            frame->vAppendLine(line(Join({"n", std::to_string(i)}).c_str(),
                                    static_cast<unsigned char>(i + 7), -i, i * 1.5)
                                   .data());
    }
    // A file of the standard structure with `lines` lines, written by another frame.
    std::string standardFile(const std::string& name, int lines) {
        TQxTableFrame other(nullptr);
        standardColumns(other);
        for (int i = 0; i < lines; ++i)
            other.vAppendLine(line(("f" + std::to_string(i)).c_str(), 1, i, 0.25).data());
        other.vWriteFileBin(dir.File(name).c_str());
        return dir.File(name);
    }
    std::string cell(int row, int col) { return frame->StringGridQx->cpGetCellString(row, col); }
    // "<lines> x <columns> x <line size>" of the table.
    std::string shape() {
        return std::to_string(frame->iGetLineCount()) + " x " +
               std::to_string(frame->iGetColCount()) + " x " +
               std::to_string(frame->iGetLineSize());
    }
    // The texts of the grid's first data column, joined by '|'.
    std::string names() {
        std::string s;
        for (int row = 0; row < frame->StringGridQx->iGetRowCount(); ++row)
            s += Join({row ? "|" : "", cell(row, 0)});
        return s;
    }
    // Types into a data cell and raises the grid's edit event, as the grid does when it draws
    // it after an edit (the grid's side of this is tested with the grid).
    bool type(int row, int col, const char* text) {
        frame->StringGridQx->vSetCellString(row, col, text);
        return frame->StringGridQx->ECellContentChanged(row, col);
    }
    // Types each text into line 0 and expects the cell to show `shown` (unless null) then.
    struct TTyping {
        int col;
        const char *typed, *shown;
    };
    void typeAll(const std::vector<TTyping>& typings) {
        for (const TTyping& t : typings) {
            SCOPED_TRACE(t.typed);
            EXPECT_TRUE(type(0, t.col, t.typed));
            if (t.shown) {
                EXPECT_EQ(cell(0, t.col), t.shown);
            }
        }
    }
    Bytes bytes(int at) {
        Bytes d(static_cast<std::size_t>(frame->iGetLineSize()));
        frame->vGetLine(at, reinterpret_cast<char*>(d.data()));
        return d;
    }
    // Opens the grid's popup, chooses `choose` (nothing for ""), and gives the captions of the
    // visible items. `then` queues the answers for the dialogs the chosen command opens.
    std::set<std::string> popup(const std::string& choose = "",
                                const std::function<void()>& then = {}) {
        r.PopupMenu(choose);
        if (then) then();
        frame->StringGridQx->pGetPopupMenu()->Popup(0, 0);
        std::set<std::string> shown;
        TMenuItem* items = frame->StringGridQx->pGetPopupMenu()->Items();
        for (int i = 0; i < items->Count(); ++i)
            if (items->Items(i)->Visible() && !items->Items(i)->IsLine())
                shown.insert(items->Items(i)->Caption());
        return shown;
    }

    std::unique_ptr<TQxTableFrame> frame;
    TTempDir dir;
    TResponderScope r;
};

const char* const kCaptionItem =
    "\xDC"
    "berschrift";

// The permissions' defaults are checked with the popup and the file tests.
TEST_F(FrameTest, DesignedStateAndOperationsOnAFreshFrame) {
    EXPECT_EQ(frame->sGetCaption(), "paCaption");
    EXPECT_EQ(frame->StringGridQx->ColCount(), 5);
    EXPECT_EQ(frame->StringGridQx->RowCount(), 5);
    EXPECT_EQ(frame->StringGridQx->Options() & goEditing, 0u);
    EXPECT_FALSE(frame->tTable.bShowLineNum);

    EXPECT_EQ(raisedCode([&] { frame->vDrawTable(); }), 0u);
    EXPECT_EQ(raisedCode([&] { frame->vClearContent(); }), 0u);
    EXPECT_EQ(raisedCode([&] { frame->vClearTable(); }), 0u);
    frame->vRedrawLines(1, 0);
    frame->vRedrawColumns(1, 0);
    EXPECT_EQ(shape(), "0 x 0 x 0");
    EXPECT_EQ(raisedCode([&] { frame->vRedrawLines(0, 0); }), 0xE7436011UL);
    EXPECT_NE(raisedCode([&] { frame->vSetSelectedLines(0, 0); }), 0u);
}

TEST_F(FrameTest, ColumnsMustFitTheLineSizeAndASmallerSizeCutsLines) {
    frame->vSetLineSize(4);
    frame->vAppendLine(Bytes{1, 2, 3, 4}.data());
    EXPECT_EQ(raisedCode([&] { frame->vAppendColumn(item("D", TH5Type::eTypDouble, 0)); }),
              0xE513600BUL);
    EXPECT_EQ(shape(), "1 x 0 x 4");
    frame->vSetLineSize(8);
    frame->vAppendColumn(item("D", TH5Type::eTypDouble, 0));
    EXPECT_EQ(bytes(0), (Bytes{1, 2, 3, 4, 0, 0, 0, 0}));
    expectBound(*frame);
    // Too small for the column: nothing changes.
    EXPECT_EQ(raisedCode([&] { frame->vSetLineSize(7); }), 0xE5136012UL);
    EXPECT_EQ(raisedCode([&] { frame->vSetColumn(0, item("D", TH5Type::eTypDouble, 1)); }),
              0xE513600BUL);
    EXPECT_EQ(raisedCode([&] { frame->vInsertColumn(0, item("D", TH5Type::eTypDouble, 4)); }),
              0xE513600BUL);
    EXPECT_EQ(shape(), "1 x 1 x 8");

    frame = std::make_unique<TQxTableFrame>(nullptr);
    standard(2);
    frame->vDeleteColumn(3);
    frame->vSetLineSize(13);
    EXPECT_EQ(shape(), "2 x 3 x 13");
    const Bytes full = line("n1", 8, -1, 1.5);
    EXPECT_EQ(bytes(1), Bytes(full.begin(), full.begin() + 13));
    expectBound(*frame);
    EXPECT_EQ(cell(1, 2), "-1");
}

TEST_F(FrameTest, GridPicture) {
    standard(2);
    TStringGridQx& g = *frame->StringGridQx;
    // Grid rows: number row, caption row, unit row, lines; grid columns: number column, table.
    EXPECT_EQ(g.Cells(1, 1), "Name");
    EXPECT_EQ(g.Cells(2, 2), "uByte");
    EXPECT_EQ(g.FixedRows(), 3);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(cell(0, 0), "n0");
    EXPECT_EQ(cell(1, 1), "0x08");
    EXPECT_EQ(cell(1, 2), "-1");
    EXPECT_EQ(g.eGetAdjust(0, 0), eAdjustLeft);
    EXPECT_EQ(g.eGetAdjust(1, 3), eAdjustRight);
    EXPECT_EQ(g.pGetCellProperty(2, 1)->eGetBKColor(), eColorLightGray);
    // A caption wins over the name.
    auto c = item("Byte", TH5Type::eTypUChar, 8);
    c.sCaption = "Bits";
    frame->vSetColumn(1, c);
    EXPECT_EQ(g.Cells(2, 1), "Bits");

    // A line-number column keeps the user numbering.
    frame->tTable.bShowLineNum = true;
    frame->tTable.bShowEinheit = false;
    frame->vAppendLine(line("n2", 9, -2, 3).data());
    g.vAppendCols(1);  // room for the line-number column, as vDrawTable expects
    frame->vDrawTable();
    EXPECT_EQ(g.FixedRows(), 2);
    EXPECT_EQ(g.FixedCols(), 2);
    EXPECT_EQ(g.Cells(1, 4), "2");  // line 2's number
    EXPECT_EQ(g.pGetCellProperty(1, 4)->eGetBKColor(), eColorLightGray);
    frame->vDrawContent();
    EXPECT_EQ(cell(2, 0), "n2");
    EXPECT_EQ(cell(2, 1), "0x09");
}

TEST_F(FrameTest, LinesInsertDeleteAndSetKeepBuffersBound) {
    standard(3);
    const Bytes d = line("new", 1, 42, 0);
    frame->vInsertLine(1, d.data());
    EXPECT_EQ(names(), "n0|new|n1|n2");
    expectBound(*frame);
    EXPECT_EQ(bytes(1), d);
    frame->vDeleteLine(0);
    frame->vSetLine(2, reinterpret_cast<const char*>(line("set", 2, 3, 4).data()));
    EXPECT_EQ(names(), "new|n1|set");
    expectBound(*frame);
    EXPECT_EQ(raisedCode([&] { frame->vInsertLine(3, d.data()); }), 0xE7436011UL);
    EXPECT_EQ(raisedCode([&] { frame->vDeleteLine(-1); }), 0xE743600FUL);
    TQxTable::TItem c;
    EXPECT_EQ(raisedCode([&] { frame->vGetColumn(4, c); }), 0xE743600EUL);
    EXPECT_EQ(raisedCode([&] { frame->vDeleteColumn(-2); }), 0xE743600CUL);
    EXPECT_EQ(shape(), "3 x 4 x 21");

    // Deleting the only line leaves one empty row.
    frame->vClearContent();
    frame->vAppendLine(d.data());
    const int rows = frame->StringGridQx->iGetRowCount();
    frame->vDeleteLine(0);
    EXPECT_EQ(frame->tTable.uGetLineNumber(), 0u);
    EXPECT_EQ(frame->StringGridQx->iGetRowCount(), rows);
    EXPECT_EQ(names(), std::string(rows - 1, '|'));
    frame->vAppendLine(line("back", 0, 0, 0).data());
    EXPECT_EQ(names(), "back" + std::string(rows - 1, '|'));

    // Clearing the content keeps the columns; deleting the last column clears the table.
    frame->vClearContent();
    EXPECT_EQ(shape(), "0 x 4 x 21");
    frame->vAppendLine(line("a", 0, 0, 0).data());
    EXPECT_EQ(names(), "a");
    for (int i = 0; i < 3; ++i) frame->vDeleteColumn(0);
    EXPECT_EQ(shape(), "1 x 1 x 21");
    frame->tTable.bShowLineNum = true;
    frame->vDeleteColumn(0);
    EXPECT_EQ(shape(), "0 x 0 x 0");
    EXPECT_FALSE(frame->tTable.bShowLineNum);
    frame->vFreeTable();
    EXPECT_TRUE(frame->vLineBuffers.empty());
}

TEST_F(FrameTest, LineAndColumnColoursAndTheSelection) {
    frame->vSetLineSize(4);
    frame->vAppendLine(Bytes(4).data());
    // A line but no columns: the column check fails.
    EXPECT_EQ(raisedCode([&] { frame->vSetColorBKLine(0, eColorRed); }), 0xE743600EUL);
    frame->vAppendColumn(item("A", TH5Type::eTypUChar, 0));
    frame->vAppendColumn(item("B", TH5Type::eTypUChar, 1));
    frame->vAppendLine(Bytes(4).data());
    frame->vSetColorBKLine(1, eColorRed);
    EXPECT_EQ(frame->eGetColorBKLine(1), eColorRed);
    EXPECT_EQ(frame->StringGridQx->eGetBKColor(1, 1), eColorRed);
    EXPECT_EQ(frame->StringGridQx->eGetBKColor(0, 1), eColorWhite);
    frame->vSetColorBKColumn(1, eColorYellow);
    EXPECT_EQ(frame->eGetColorBKColumn(1), eColorYellow);
    EXPECT_EQ(frame->StringGridQx->eGetBKColor(1, 1), eColorYellow);
    EXPECT_EQ(raisedCode([&] { frame->eGetColorBKLine(2); }), 0xE7436011UL);

    // The selection switches reach the grid.
    frame->vSetSelectSingleCell(true);
    frame->vSetCanEditCells(false);
    EXPECT_TRUE(frame->bGetSelectSingleCell() && frame->StringGridQx->bGetSelectSingleCell());
    EXPECT_FALSE(frame->bGetCanEditCells() || frame->StringGridQx->bGetCanEditCells());
    frame->vSetSelectSingleCell(false);
    frame->vSetSelectionMode(eSelectCells);
    EXPECT_EQ(frame->StringGridQx->eGetSelectionMode(), eSelectCells);
    frame->vSetSelectedLines(0, 1);
    int r1, r2, c1, c2;
    frame->vGetSelectedArea(r1, r2, c1, c2);
    EXPECT_EQ((std::vector<int>{r1, r2, c1, c2}), (std::vector<int>{0, 1, 0, 1}));
}

TEST_F(FrameTest, EditingParsesByTypeAndFormat) {
    standard(1);
    // UChar with "0x%02x": 12 does not parse, 0x1f does; a decimal comma is read; a string is
    // cut to its field, NUL included, and leaves its neighbour alone.
    typeAll({{1, "12", "0x07"},
             {1, "0x1f", "0x1f"},
             {2, "-5", "-5"},
             {2, "x", "-5"},
             {3, "3,25", nullptr},
             {0, "abcdefghijkl", "abcdefg"}});
    EXPECT_EQ(bytes(0), line("abcdefg", 31, -5, 3.25));

    frame = std::make_unique<TQxTableFrame>(nullptr);
    frame->vSetLineSize(12);
    frame->vAppendColumn(item("US", TH5Type::eTypUShort, 0));
    frame->vAppendColumn(item("S", TH5Type::eTypShort, 2));
    frame->vAppendColumn(item("UL", TH5Type::eTypULong, 4));
    frame->vAppendColumn(item("F", TH5Type::eTypFloat, 8, 0, "%.2f"));
    frame->vAppendLine(Bytes(12).data());
    // 1e300 lies beyond float: stored as infinity, not undefined.
    typeAll({{0, "0xbeef", "0xbeef"},
             {1, "-2", "-2"},
             {2, "0xffffffff", "0xffffffff"},
             {3, "1e300", "inf"},
             {3, "2,5", "2.50"}});
    const Bytes d = bytes(0);
    EXPECT_EQ(d[0] | d[1] << 8, 0xbeef);
    EXPECT_EQ(static_cast<short>(d[2] | d[3] << 8), -2);

    frame = std::make_unique<TQxTableFrame>(nullptr);
    standard(1);
    // The designed grid keeps spare data rows and columns beside the table.
    frame->StringGridQx->vAppendRows(1);
    frame->StringGridQx->vAppendCols(1);
    const Bytes before = bytes(0);
    EXPECT_FALSE(type(1, 0, "7"));
    EXPECT_FALSE(type(0, 4, "7"));
    EXPECT_FALSE(frame->StringGridQxECellContentChanged(-1, 0));
    EXPECT_EQ(bytes(0), before);
    EXPECT_EQ(qx::getErrorCode(), 0u);
    frame->vClearContent();  // a frame without lines
    EXPECT_FALSE(type(0, 0, "x"));
}

TEST_F(FrameTest, OddColumnsAndMismatchedFormatsNeitherCrashNorTouchNeighbours) {
    frame->vSetLineSize(1120);
    frame->vAppendColumn(item("Empty", TH5Type::eTypString, 0, 0));
    frame->vAppendColumn(item("Tail", TH5Type::eTypUChar, 0));
    frame->vAppendColumn(item("Wide", TH5Type::eTypString, 1, 1100));
    frame->vAppendColumn(item("Raw", TH5Type::eTypString, 1101, 3));
    frame->vAppendColumn(item("I", TH5Type::eTypLong, 1104, 0, "%s"));
    frame->vAppendColumn(item("D", TH5Type::eTypDouble, 1108, 0, "%s%s%n"));
    frame->vAppendColumn(item("N", TH5Type::eTypLong, 1116, 0, "%d"));
    Bytes d(1120, 0);
    d[0] = 9;
    std::memcpy(d.data() + 1101, "xyz", 3);  // no NUL in the field
    d[1116] = 5;
    frame->vAppendLine(d.data());
    EXPECT_EQ(gridTexts(*frame->StringGridQx).substr(0, 15), ",0x09,,xyz,,,5|");
    EXPECT_TRUE(type(0, 0, "abc"));  // size 0: nothing stored
    const std::string wide(1050, 'w');
    // "%le" reads the double; its format prints nothing.
    typeAll({{2, wide.c_str(), wide.c_str()},
             {4, "hello world, a long text", nullptr},
             {5, "1.5", ""}});
    const Bytes after = bytes(0);
    EXPECT_EQ(after[0], 9);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(after.data() + 1)), wide);
    EXPECT_EQ(after[1101], 'x');
    EXPECT_EQ(after[1116], 5);
    EXPECT_EQ(cell(0, 6), "5");
    // Huge widths are cut.
    AnsiString out;
    frame->vFormatString(d.data() + 1116, TH5Type::eTypLong, "%999999999d", out);
    EXPECT_LT(out.size(), TQxTableFrame::kWorkSize);

    char printed[TQxTableFrame::kWorkSize];
    TQxTableFrame::vPrintDouble(0.5, "%t2+", printed);
    EXPECT_STREQ(printed, " 500 m");
    const char saved = DecimalSeparator;
    DecimalSeparator = ',';
    TQxTableFrame::vPrintDouble(0.5, "%.2f", printed);
    EXPECT_STREQ(printed, "0.50");  // no decimal-comma replacement after printf
    DecimalSeparator = saved;
    TQxTableFrame::vPrintDouble(1.0, "%d", printed);
    EXPECT_STREQ(printed, "");
}

TEST_F(FrameTest, ReadingNeedsTheSameStructureOrPermissionAndFailuresChangeNothing) {
    standard(2);
    const std::string f = standardFile("a.tbl", 3);
    frame->vReadFile(f.c_str(), true);  // the same structure appends
    EXPECT_EQ(names(), "n0|n1|f0|f1|f2");
    frame->vReadFile(f.c_str(), false);  // or replaces
    EXPECT_EQ(names(), "f0|f1|f2");
    expectBound(*frame);

    // Another structure is refused, and kept as the last error, unless permitted.
    TQxTableFrame oneByte(nullptr);
    oneByte.vSetLineSize(1);
    oneByte.vAppendColumn(item("B", TH5Type::eTypUChar, 0));
    oneByte.vAppendLine(Bytes{5}.data());
    const std::string other = dir.File("other.tbl");
    oneByte.vWriteFileBin(other.c_str());
    EXPECT_THROW(frame->vReadFile(other.c_str(), false), unsigned long);
    EXPECT_EQ(qx::getErrorCode(), 0x12345678UL);
    qx::deleteError();
    frame->vPermitChangeColumn(true);
    EXPECT_EQ(raisedCode([&] { frame->vReadFile(other.c_str(), true); }), 0x12345678UL);
    EXPECT_EQ(shape(), "3 x 4 x 21");
    EXPECT_EQ(cell(2, 2), "2");
    frame->vReadFile(other.c_str(), false);
    EXPECT_EQ(shape(), "1 x 1 x 1");
    expectBound(*frame);
    EXPECT_EQ(cell(0, 0), "0x05");

    const std::string good = ReadFile(standardFile("good.tbl", 4));
    const std::string bad = dir.File("bad.tbl");
    ASSERT_TRUE(qx::platform::WriteFileAtomically(bad, good.substr(0, good.size() - 10)));
    for (const std::string& file : {bad, dir.File("missing.tbl")}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(raisedCode([&] { frame->vReadFile(file.c_str(), false); }), 0xE332204AUL);
        EXPECT_EQ(shape(), "1 x 1 x 1");
        EXPECT_EQ(cell(0, 0), "0x05");
        expectBound(*frame);
    }
}

TEST_F(FrameTest, WritingChoosesTheFormByExtensionAndBinaryIsTheTablesForm) {
    standard(3);
    frame->vSetCaption("Beispiel einer Tabelle");
    for (const char* name : {"t.TXT", "x.y.txt", "noext", "frame.tbl"})
        frame->vWriteFile(dir.File(name).c_str());
    EXPECT_EQ(ReadFile(dir.File("t.TXT")).substr(0, 4), "Name");
    EXPECT_NE(ReadFile(dir.File("x.y.txt")).find("n1\t0x08\t-1"), std::string::npos);
    EXPECT_EQ(ReadFile(dir.File("noext")).substr(0, 7), "QxTable");
    frame->tTable.vWriteBin(dir.File("table.tbl").c_str());
    EXPECT_EQ(ReadFile(dir.File("frame.tbl")), ReadFile(dir.File("table.tbl")));
}

TEST_F(FrameTest, FailedSavesAreReportedWithTheFileName) {
    standard(1);
    const std::string nowhere = dir.File("missing/t.tbl");
    const std::string file = dir.File("keep.txt");
    frame->vWriteFileTxt(file.c_str());
    const std::vector<std::function<void()>> saves = {
        [&] { frame->vWriteFileBin(nowhere.c_str()); },
        [&] { frame->vWriteFileTxt(dir.File("missing/t.txt").c_str()); },
        [&] { frame->vWriteFile(dir.Path().c_str()); },            // a folder
        [&] { frame->vWriteFileTxt((file + "/x.txt").c_str()); },  // through a file
    };
    for (const auto& save : saves) EXPECT_EQ(raisedCode(save), 0xE3636013UL);
    EXPECT_THROW(frame->vWriteFileBin(nowhere.c_str()), unsigned long);
    char report[8192] = {};
    qx::SPrintfErrorMessage(report, sizeof report);
    EXPECT_NE(std::string(report).find("File: " + nowhere), std::string::npos);
    qx::deleteError();
}

TEST_F(FrameTest, ThePopupTheFileCommandsAndTheCaptionFollowThePermissions) {
    standard(2);
    TMenuItem* items = frame->StringGridQx->pGetPopupMenu()->Items();
    auto expectShown = [&](const std::set<std::string>& shown) {
        EXPECT_EQ(popup(), shown);
        // The caption item and its separator lead the menu, hidden when not permitted.
        EXPECT_EQ(items->Items(0), frame->pmiCaption);
        EXPECT_EQ(items->Items(1), frame->pmiSeparator);
        EXPECT_TRUE(frame->pmiSeparator->IsLine());
        EXPECT_EQ(frame->pmiSeparator->Visible(), shown.count(kCaptionItem) == 1);
    };
    expectShown({kCaptionItem, "Tabelle laden", "Tabelle speichern", "Kopieren", "Formatierung"});
    frame->vPermitChangeCaption(false);
    frame->vPermitBinaerFile(false);  // loading needs the binary form
    frame->vPermitCopy(false);
    frame->vPermitFormat(false);
    expectShown({"Tabelle speichern"});
    frame->vPermitSave(false);
    frame->vPermitLoad(false);
    expectShown({});
    frame->vPermitSave(true);
    frame->vPermitLoad(true);
    frame->vPermitBinaerFile(true);

    const std::string path = dir.File("cmd.tbl");
    popup("Tabelle speichern", [&] { r.FileDialog(path); });
    EXPECT_EQ(frame->SaveDialog1->Filter(), "Textexportdateien *.txt|*.txt|Tabellen *.tbl|*.tbl");
    EXPECT_EQ(frame->SaveDialog1->DefaultExt(), ".txt");
    EXPECT_EQ(ReadFile(path).substr(0, 7), "QxTable");

    frame->vDeleteLine(0);
    TLanguage::setEnglisch();
    frame->vSetBinFileExtension(".tab");
    popup("Tabelle laden", [&] { r.FileDialog(path); });  // items keep their first texts
    TLanguage::setDeutsch();
    EXPECT_EQ(frame->OpenDialog1->Filter(), "Tables *.tab|*.tab");
    EXPECT_EQ(frame->OpenDialog1->DefaultExt(), ".tab");
    EXPECT_EQ(frame->iGetLineCount(), 2);
    EXPECT_EQ(frame->SaveDialog1->FileName(), path);

    // A failed load ends in the error dialog; the frame keeps its lines.
    popup("Tabelle laden", [&] {
        r.FileDialog(dir.File("missing.tbl"));
        r.ErrorDialog();
    });
    EXPECT_EQ(qx::getErrorCode(), 0u);
    EXPECT_EQ(frame->iGetLineCount(), 2);

    frame->vPermitBinaerFile(false);
    popup("Tabelle speichern", [&] { r.FileDialog("", false); });
    EXPECT_EQ(frame->SaveDialog1->Filter(), "Textexportdateien *.txt|*.txt");

    // The caption shows its panel only with text; its command asks for it, also on a fresh
    // frame with nothing selected.
    frame = std::make_unique<TQxTableFrame>(nullptr);
    frame->vSetCaption("Alt");
    EXPECT_TRUE(frame->paCaption->Visible());
    popup(kCaptionItem, [&] { r.InputQuery("Neu", false); });
    EXPECT_EQ(frame->sGetCaption(), "Alt");
    popup(kCaptionItem, [&] { r.InputQuery("Neu"); });
    EXPECT_EQ(frame->sGetCaption(), "Neu");
    EXPECT_EQ(frame->tTable.sName, "Neu");
    frame->vSetCaption("");
    EXPECT_FALSE(frame->paCaption->Visible());
    EXPECT_EQ(frame->tTable.sName, "");
    frame->vSetCaption(nullptr);
    EXPECT_EQ(frame->sGetCaption(), "");
}

}  // namespace
}  // namespace qx::test
