// The extended grid's transfer: text and binary blocks through streams, the clipboard and
// files; damaged and hostile input; the file and clipboard commands.
#include <sys/resource.h>
#include <sys/stat.h>

#include <climits>
#include <csignal>
#include <fstream>

#include "tests/grid/GridSupport.h"

namespace qx::test {
namespace {

constexpr unsigned long kBlockHeaderCut = 0xE3436020UL;
constexpr unsigned long kBlockNoCells = 0xE0536021UL;
constexpr unsigned long kBlockTooShort = 0xE3436022UL;
constexpr unsigned long kBlockCut = 0xE3436023UL;
constexpr unsigned long kBlockVersion = 0xE0636024UL;
constexpr unsigned long kFileNotFound = 0xE3136026UL;
constexpr unsigned long kFileOpen = 0xE3236027UL;
constexpr unsigned long kFileWrite = 0xE3636029UL;

unsigned gridFormat() {
    return qx::platform::RegisterClipboardFormat(TStringGridQx::cpClassName);
}

std::string clipboardBytes(unsigned format) {
    auto& c = qx::platform::Clipboard();
    EXPECT_TRUE(c.Open());
    std::string bytes(c.DataSize(format), '\0');
    bytes.resize(c.ReadData(format, 0, bytes.data(), bytes.size()));
    c.Close();
    return bytes;
}

std::string int32(std::int32_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i) s += static_cast<char>(static_cast<std::uint32_t>(v) >> (8 * i));
    return s;
}

std::string header(int firstRow, int firstCol, int lastRow, int lastCol) {
    return "\x01" + int32(firstRow) + int32(firstCol) + int32(lastRow) + int32(lastCol);
}

// A version-1 property record: alignment, size, font colour, background, edit flag, hidden.
std::string record(int adjust = 0, int size = 1, int color = 0, int bk = 7, bool edit = true,
                   const std::string& hidden = "") {
    std::string r = {1, char(adjust), char(size), char(color), char(bk), char(edit ? 1 : 0)};
    return r + hidden + '\0';
}

class GridTransfer : public ErrorStateTest {
  protected:
    void SetUp() override {
        ErrorStateTest::SetUp();
        EmptyHeadlessClipboard();
        g = std::make_unique<TStringGridQx>(nullptr);
        g->SetBounds(0, 0, 600, 400);
    }
    void readBlock(const std::string& bytes) {
        std::string copy = bytes;
        TExternMemoryStream s;
        s.vSetPointer(copy.data(), static_cast<int>(copy.size()));
        g->vCopyFromBinaerStream(&s);
    }
    void logEvents() {
        g->EColsAppended = logTo(events, "cols+");
        g->ERowsAppended = logTo(events, "rows+");
        g->ESizeChanged = logTo(events, "size");
        g->EAfterLoaded = logTo(events, "loaded");
    }

    std::unique_ptr<TStringGridQx> g;
    std::vector<std::string> events;
    TTempDir dir;
};

TEST_F(GridTransfer, CopyingAndPastingTextProveTheCellsAndEnlargeTheTable) {
    fillGrid(*g, 3, 4);
    g->vSetSelectedArea(0, 0, 3, 3);
    EXPECT_EQ(raisedCode([&] { g->vCopy2Clipboard(0, 3, 0, 0); }), 0xE7436007UL);
    EXPECT_EQ(raisedCode([&] { g->vInsertFromClipboard(-1, 0); }), 0xE7436005UL);
    EXPECT_EQ(raisedCode([&] { g->vCopy2BinaerStream(nullptr); }), 0xE513602BUL);
    EXPECT_EQ(clipboardBytes(CF_TEXT), "");
    g->vCopy2Clipboard(1, 2, 0, 2);
    EXPECT_EQ(qx::platform::GetClipboardText(), "r1c0\tr1c1\tr1c2\r\nr2c0\tr2c1\tr2c2\r\n");
    EXPECT_EQ(clipboardBytes(CF_TEXT).back(), '\0') << "plain text ends at its NUL";
    std::string expected = header(2, 1, 3, 3) + "r1c0" + '\0' + "r1c1" + '\0' + "r1c2" + '\0' +
                           "r2c0" + '\0' + "r2c1" + '\0' + "r2c2" + '\0';
    for (int i = 0; i < 6; ++i) expected += record();
    EXPECT_EQ(clipboardBytes(gridFormat()), expected);
    int firstRow = -1, lastRow = -1, firstCol = -1, lastCol = -1;
    g->vGetSelectedArea(firstRow, lastRow, firstCol, lastCol);
    EXPECT_EQ((std::vector{firstRow, lastRow, firstCol, lastCol}), (std::vector{0, 0, 3, 3}))
        << "bounds restored";

    // Pasted text enlarges the table from the cell.
    g->vSetTableSize(1, 1);
    logEvents();
    ASSERT_TRUE(qx::platform::SetClipboardText("x\ty\r\nz"));
    g->vInsertFromClipboard(0, 0);
    EXPECT_EQ(gridTexts(*g), "x,y|z,");
    EXPECT_EQ(events, (std::vector<std::string>{"cols+ 1", "size 1 2", "rows+ 1", "size 2 2"}));

    // Lines end at CR LF, CR or LF, and separators become NULs.
    char text[] = "a\rb\nc\r\n\r\nd\te\r\n";  // a final line end adds no line
    g->vSetTableSize(1, 1);
    g->vReadASCIIFromString(text, 0);
    EXPECT_EQ(gridTexts(*g), "a,|b,|c,|,|d,e");
    EXPECT_EQ(std::string(text, sizeof text - 1), std::string("a\0b\0c\0\0\0\0d\0e\0\0", 14));

    char empty[] = "";
    g->vReadASCIIFromString(empty, 0);
    EXPECT_EQ(gridTexts(*g), "a,|b,|c,|,|d,e") << "an empty text holds no line";
}

TEST_F(GridTransfer, ForeignOverlongHostileAndDamagedBlocks) {
    fillGrid(*g, 1, 3);
    g->vSetBKColor(eColorGreen, 0, 0, 0, 2);
    // Cell 0: an overlong text and a version-2 record (one byte, the cell keeps its values);
    // 1: an overlong hidden text; 2: its own record.
    readBlock(header(1, 1, 1, 3) + std::string(3000, 'a') + '\0' + "b" + '\0' + "c" + '\0' +
              "\x02" + record(0, 1, 0, 7, true, std::string(2000, 'h')) +
              record(2, 0, 4, 6, true, "zzz"));
    EXPECT_EQ(gridTexts(*g), std::string(1023, 'a') + ",b,c");
    EXPECT_EQ(g->eGetBKColor(0, 0), eColorGreen);
    EXPECT_EQ(std::string(g->cpGetHiddenCellString(0, 1)), std::string(1023, 'h'));
    EXPECT_EQ(g->eGetBKColor(0, 2), eColorYellow);
    EXPECT_STREQ(g->cpGetHiddenCellString(0, 2), "zzz");

    // Hostile or damaged blocks change nothing; code 0: ignored without an error.
    const std::string oneCell = std::string("t") + '\0' + record();
    const std::tuple<const char*, std::string, unsigned long> cases[] = {
        {"no bytes", "", 0},
        {"another version", "\x02" + header(1, 1, 1, 1).substr(1) + oneCell, 0},
        {"header cut", header(1, 1, 1, 1).substr(0, 10), kBlockHeaderCut},
        {"last row before the first", header(5, 1, 4, 1) + oneCell, kBlockNoCells},
        {"last column before the first", header(1, 5, 1, 4) + oneCell, kBlockNoCells},
        {"2^31 x 2^31 cells in a few bytes", header(0, 0, INT_MAX, INT_MAX) + oneCell,
         kBlockTooShort},
        {"2^32 rows (counts overflow int)", header(INT_MIN, 1, INT_MAX, 1) + oneCell,
         kBlockTooShort},
        {"one cell too many for the bytes", header(1, 1, 1, 2) + oneCell, kBlockTooShort},
        {"texts end before a NUL", header(1, 1, 1, 2) + "t" + '\0' + std::string(20, 'u'),
         kBlockCut},
        {"records end inside a hidden text",
         header(1, 1, 1, 2) + "t" + '\0' + "u" + '\0' + record() +
             record(0, 1, 0, 7, true, "h").substr(0, 7),
         kBlockCut},
    };
    for (const auto& [what, bytes, code] : cases) {
        SCOPED_TRACE(what);
        g = std::make_unique<TStringGridQx>(nullptr);
        fillGrid(*g, 2, 2);
        g->vSetBKColor(eColorBlue, 0, 0, 0, 0);
        logEvents();
        EXPECT_EQ(raisedCode([&] { readBlock(bytes); }), code);
        EXPECT_EQ(gridTexts(*g), "r0c0,r0c1|r1c0,r1c1");
        EXPECT_EQ(g->eGetBKColor(0, 0), eColorBlue);
        EXPECT_TRUE(events.empty()) << "the table did not grow";
    }

    // A read leaves the stream right after the block.
    const std::string block = header(1, 1, 1, 1) + "v" + '\0' + record(0, 1, 0, 7, true, "hid");
    const std::string file = dir.File("block.bin");
    std::ofstream(file, std::ios::binary) << block << "tail";
    TMemoryStream m;
    m.LoadFromFile(file);
    TFileStream f(file, fmOpenRead);
    for (TStream* s : std::initializer_list<TStream*>{&m, &f}) {
        SCOPED_TRACE(s == &m ? "memory stream" : "file stream");
        g = std::make_unique<TStringGridQx>(nullptr);
        g->vCopyFromBinaerStream(s);
        EXPECT_EQ(s->Position(), std::int64_t(block.size()));
        EXPECT_STREQ(g->cpGetCellString(0, 0), "v");
    }
}

TEST_F(GridTransfer, TablesRoundTripThroughFilesAndFailedLoadsAndSavesChangeNothing) {
    fillGrid(*g, 3, 2);
    g->vSetFixedArea(1, 0);  // the user-fixed row is saved too
    g->vSetColor(eColorGreen, 1, 1, 1, 1);
    g->vSetHiddenCellString(0, 0, "h");
    const std::string sgr = dir.File("t.SGR");
    g->vSaveTable(sgr.c_str());
    ASSERT_EQ(ReadFile(sgr).substr(0, 17), header(1, 1, 3, 2));

    TStringGridQx other(nullptr);
    fillGrid(other, 5, 5);
    other.vLoadTable(sgr.c_str());
    EXPECT_EQ(gridTexts(other), "r0c0,r0c1|r1c0,r1c1|r2c0,r2c1");
    EXPECT_EQ(other.eGetColor(2, 1), eColorGreen);
    EXPECT_STREQ(other.cpGetHiddenCellString(1, 0), "h");

    const std::string csv = dir.File("t.csv");
    g->vSaveTable(csv.c_str());
    EXPECT_EQ(ReadFile(csv), "r0c0\tr0c1\r\nr1c0\tr1c1\r\nr2c0\tr2c1\r\n");
    EXPECT_TRUE(g->bCanLoad("a/b.Sgr"));
    EXPECT_FALSE(g->bCanLoad("sgr"));
    EXPECT_FALSE(g->bCanLoad(nullptr));

    // Text keeps a last line without line end, and the load reports once at the end.
    const std::string txt = dir.File("t.txt");
    std::ofstream(txt, std::ios::binary) << "a\tb\r\nc";
    g = std::make_unique<TStringGridQx>(nullptr);
    logEvents();
    g->vLoadTable(txt.c_str());
    EXPECT_EQ(gridTexts(*g), "a,b|c,");
    ASSERT_EQ(std::count(events.begin(), events.end(), "loaded " + txt), 1);
    EXPECT_EQ(events.back(), "loaded " + txt);

    // Numbers that count the fixed area too replace the same rows.
    g->vSetUseNumbersWithoutFixed(false);
    g->vLoadTable(txt.c_str());
    g->vSetUseNumbersWithoutFixed(true);
    EXPECT_EQ(gridTexts(*g), "a,b|c,");

    // A failed load leaves the table as it was.
    const std::string good = ReadFile(sgr);
    std::ofstream(dir.File("cut.sgr"), std::ios::binary) << good.substr(0, good.size() - 3);
    std::ofstream(dir.File("v2.sgr"), std::ios::binary) << "\x02" << good.substr(1);
    std::ofstream(dir.File("empty.sgr"), std::ios::binary) << "";
    std::ofstream(dir.File("huge.sgr"), std::ios::binary)
        << header(0, 0, INT_MAX, INT_MAX) << std::string(64, '\0');
    ::mkdir(dir.File("folder.txt").c_str(), 0700);
    const std::pair<const char*, unsigned long> cases[] = {
        {"missing.sgr", kFileNotFound}, {"cut.sgr", kBlockCut},       {"v2.sgr", kBlockVersion},
        {"empty.sgr", kBlockVersion},   {"huge.sgr", kBlockTooShort}, {"folder.txt", kFileOpen},
    };
    fillGrid(*g, 3, 3);
    g->vSetBKColor(eColorGray, 2, 2, 2, 2);
    events.clear();
    for (const auto& [name, code] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(raisedCode([&] { g->vLoadTable(dir.File(name).c_str()); }), code);
        EXPECT_EQ(gridTexts(*g), "r0c0,r0c1,r0c2|r1c0,r1c1,r1c2|r2c0,r2c1,r2c2");
        EXPECT_EQ(g->eGetBKColor(2, 2), eColorGray);
    }
    EXPECT_TRUE(events.empty());

    // A failed save leaves the old file whole.
    const std::string file = dir.File("t.sgr");
    fillGrid(*g, 1, 1);
    g->vSaveTable(file.c_str());
    const std::string before = ReadFile(file);
    fillGrid(*g, 200, 20);
    // Files may not grow past the old one's size: the new content cannot be written.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = before.size();
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const unsigned long code = raisedCode([&] { g->vSaveTable(file.c_str()); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(code, kFileWrite);
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_EQ(raisedCode([&] { g->vSaveTable(dir.File("no/such/t.txt").c_str()); }), kFileWrite);
}

TEST_F(GridTransfer, FileCommandsAskWithTheLanguagesFilterAndTheDefaultExtension) {
    TResponderScope r;
    fillGrid(*g, 2, 2);
    r.FileDialog(dir.File("table"));  // a bare name gets ".sgr"
    g->vTabelleSpeichern(nullptr);
    ASSERT_EQ(r.Requests().size(), 1u);
    EXPECT_EQ(r.Requests()[0].text, "Tabelle *.sgr|*.sgr|Textexportdatei *.txt|*.txt");
    EXPECT_EQ(r.Requests()[0].iFlags, 1) << "a save dialog";
    EXPECT_EQ(ReadFile(dir.File("table.sgr")).substr(0, 17), header(1, 1, 2, 2));

    TLanguage::setEnglisch();
    TStringGridQx other(nullptr);
    r.FileDialog(dir.File("table.sgr"));
    other.vTabelleLaden(nullptr);
    EXPECT_EQ(r.Requests()[1].text, "Table *.sgr|*.sgr|Text export file *.txt|*.txt");
    EXPECT_EQ(r.Requests()[1].iFlags, 0);
    EXPECT_EQ(gridTexts(other), "r0c0,r0c1|r1c0,r1c1");

    r.FileDialog("", false);  // cancelled: no load, so no error dialog either
    other.vTabelleLaden(nullptr);

    // A failure ends in the error dialog, not in the caller.
    r.FileDialog(dir.File("missing.sgr"));
    r.ErrorDialog();
    other.vTabelleLaden(nullptr);
    EXPECT_EQ(qx::getErrorCode(), 0UL);

    // The copy and paste commands follow the selection and what the clipboard holds.
    fillGrid(*g, 1, 1);
    EXPECT_FALSE(g->bCanInsert());
    g->vInsertFromClipboard(0, 0);  // nothing there: nothing happens
    EXPECT_EQ(gridTexts(*g), "r0c0");
    EXPECT_FALSE(g->bReadASCIIFromClipBoard());
    const std::string block = header(1, 1, 1, 1) + "g" + '\0' + record();
    ASSERT_TRUE(TQxClipboard(TStringGridQx::cpClassName).bSet(block.data(), block.size()));
    EXPECT_TRUE(g->bCanInsert());
    g->vInsertFromClipboard(0, 0);
    EXPECT_EQ(gridTexts(*g), "g");

    fillGrid(*g, 3, 3);
    g->vSetSelectedArea(1, 2, 1, 2);
    g->vZellenKopieren(nullptr);
    EXPECT_EQ(qx::platform::GetClipboardText(), "r1c1\tr1c2\r\nr2c1\tr2c2\r\n");
    g->vSetSelectedArea(0, 0, 0, 0);
    g->vZellenEinfuegen(nullptr);
    EXPECT_EQ(gridTexts(*g), "r1c1,r1c2,r0c2|r2c1,r2c2,r1c2|r2c0,r2c1,r2c2");
}

}  // namespace
}  // namespace qx::test
