// The grid's popup menu: its items, the commands it offers for a selection, the receiver of
// EBeforePopup, and the commands run by choosing items.
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "qx/grid/Stringgridqx.h"
#include "tests/support/TestSupport.h"

namespace {

using qx::platform::TDialogKind;

// Menu item indices of the commands (the separators are 2, 6 and 12).
enum : int {
    kLoad = 0,
    kSave = 1,
    kSize = 3,
    kFix = 4,
    kUnfix = 5,
    kCopy = 7,
    kPaste = 8,
    kDelRows = 9,
    kDelCols = 10,
    kClear = 11,
    kInsRow = 13,
    kAppRow = 14,
    kInsCol = 15,
    kAppCol = 16,
    kFormat = 17,
};
const std::set<int> kAlways{kLoad, kSave, kSize};

void vEmptyClipboard() {
    auto& c = qx::platform::Clipboard();
    ASSERT_TRUE(c.Open());
    c.Empty();
    c.Close();
}

// Base-grid click on a cell as the current-cell handler sees it: (0, r) selects row r, (c, 0)
// column c, (0, 0) everything.
void vClick(TStringGridQx& g, int col, int row) {
    bool can = false;
    g.vOnSelectCell(nullptr, col, row, can);
}

class GridMenu : public qx::test::ErrorStateTest {
  protected:
    void SetUp() override {
        ErrorStateTest::SetUp();
        vEmptyClipboard();
        vNewGrid();
    }
    // User rows and columns 0..3, each cell named by its position ("12": row 1, column 2).
    void vNewGrid() {
        grid = std::make_unique<TStringGridQx>(nullptr);
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 4; ++col)
                grid->vSetCellString(row, col, (std::to_string(row) + std::to_string(col)).c_str());
    }
    void TearDown() override {
        grid.reset();
        vEmptyClipboard();
        ErrorStateTest::TearDown();
    }
    // Opens the menu, chooses the item with this caption (none for ""), and gives the indices
    // of the command items that were shown.
    // `thenQueue` queues the answers to the dialogs the chosen command opens.
    std::set<int> popup(const std::string& choose = "",
                        const std::function<void()>& thenQueue = {}) {
        r.PopupMenu(choose);
        if (thenQueue) thenQueue();
        grid->pGetPopupMenu()->Popup(0, 0);
        std::set<int> shown;
        for (int i = 0; i < 18; ++i)
            if (grid->pGetMenuItem(i)->Visible() && !grid->pGetMenuItem(i)->IsLine())
                shown.insert(i);
        return shown;
    }
    std::string cell(int row, int col) { return grid->cpGetCellString(row, col); }

    qx::test::TResponderScope r;  // an unexpected dialog (the error dialog too) fails the test
    std::unique_ptr<TStringGridQx> grid;
};

std::set<int> with(std::set<int> s, std::initializer_list<int> more) {
    s.insert(more);
    return s;
}

TEST_F(GridMenu, ShowsTheCommandsThatFitTheSelection) {
    struct Case {
        const char* what;
        std::function<void(TStringGridQx&)> select;
        std::set<int> shown;
    };
    const Case cases[] = {
        {"one cell", [](TStringGridQx& g) { g.vSetSelectedArea(1, 1, 1, 1); },
         with(kAlways, {kFix, kCopy, kClear, kFormat})},
        {"the last row", [](TStringGridQx& g) { vClick(g, 0, g.RowCount() - 1); },
         with(kAlways, {kFix, kCopy, kDelRows, kClear, kInsRow, kAppRow, kFormat})},
        {"another single row", [](TStringGridQx& g) { vClick(g, 0, 2); },
         with(kAlways, {kFix, kCopy, kDelRows, kClear, kInsRow, kFormat})},
        {"two rows",
         [](TStringGridQx& g) {
             g.vSetSelectionMode(eSelectRows);
             g.vSetSelectedArea(1, 2, 0, 0);
         },
         with(kAlways, {kFix, kCopy, kDelRows, kClear, kFormat})},
        {"the last column", [](TStringGridQx& g) { vClick(g, g.ColCount() - 1, 0); },
         with(kAlways, {kFix, kCopy, kDelCols, kClear, kInsCol, kAppCol, kFormat})},
        {"another single column", [](TStringGridQx& g) { vClick(g, 1, 0); },
         with(kAlways, {kFix, kCopy, kDelCols, kClear, kInsCol, kFormat})},
        {"everything", [](TStringGridQx& g) { vClick(g, 0, 0); },
         with(kAlways, {kFix, kCopy, kDelRows, kClear, kFormat})},
        {"nothing", [](TStringGridQx& g) { g.vSetSelectionMode(eSelectNone); },
         with(kAlways, {kFix})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        grid = std::make_unique<TStringGridQx>(nullptr);
        c.select(*grid);
        EXPECT_EQ(popup(), c.shown);
        // The separators stay.
        for (int i : {2, 6, 12}) EXPECT_TRUE(grid->pGetMenuItem(i)->Visible());
    }
}

TEST_F(GridMenu, PasteIsOfferedForClipboardTextAndASelection) {
    grid->vSetSelectedArea(0, 0, 0, 0);
    EXPECT_FALSE(popup().count(kPaste));
    ASSERT_TRUE(qx::platform::SetClipboardText("a\tb\r\n"));
    EXPECT_TRUE(popup().count(kPaste));
    grid->vSetSelectionMode(eSelectNone);
    EXPECT_FALSE(popup().count(kPaste));
}

TEST_F(GridMenu, FixingOffersUnfixingAndBack) {
    grid->vSetSelectedArea(1, 1, 1, 1);
    EXPECT_TRUE(popup("Fixieren").count(kFix));
    int rows = -1, cols = -1;
    grid->vGetFixedArea(rows, cols);
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(cols, 1);
    const std::set<int> shown = popup("Fixierung aufheben");
    EXPECT_TRUE(shown.count(kUnfix));
    EXPECT_FALSE(shown.count(kFix));
    grid->vGetFixedArea(rows, cols);
    EXPECT_EQ(rows, 0);
    EXPECT_EQ(cols, 0);
    EXPECT_FALSE(popup().count(kUnfix));
}

TEST_F(GridMenu, FixingWithNothingSelectedDoesNothing) {
    grid->vSetSelectedArea(1, 1, 1, 1);
    grid->vFixieren(nullptr);
    grid->vFixierungAufheben(nullptr);  // leaves nothing selected
    ASSERT_FALSE(grid->rGetSelection().bSelected);
    EXPECT_TRUE(popup("Fixieren").count(kFix));  // no error dialog either
    EXPECT_EQ(grid->FixedRows(), 1);
    EXPECT_EQ(grid->FixedCols(), 1);
    EXPECT_EQ(qx::getErrorCode(), 0u);
}

TEST_F(GridMenu, ABeforePopupReceiverChangesOneOpeningOnly) {
    bool first = true;
    grid->EBeforePopup = [&](TSGChangeBehaviour* b) {
        EXPECT_EQ(b->pPopupMenu, grid->pGetPopupMenu());
        EXPECT_TRUE(b->TabelleSpeichern);
        if (first) b->TabelleLaden = nullptr;
        first = false;
    };
    EXPECT_FALSE(popup().count(kLoad));
    EXPECT_TRUE(popup().count(kLoad));
}

TEST_F(GridMenu, AReceiverPutsItsOwnHandlersInTheSlots) {
    grid->vSetSelectedArea(1, 1, 1, 1);
    TObject* sender = nullptr;
    int calls = 0;
    grid->EBeforePopup = [&](TSGChangeBehaviour* b) {
        b->TabelleLaden = [&](TObject* s) { sender = s, ++calls; };
        b->InsertNeueZeile = [&](TObject*) { calls += 10; };  // offered although one cell
    };
    const std::set<int> shown = popup("Tabelle laden");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sender, grid->pGetMenuItem(kLoad));
    EXPECT_TRUE(shown.count(kInsRow));
    popup("Neue Zeilen einf\xFCgen");
    EXPECT_EQ(calls, 11);
}

TEST_F(GridMenu, ARightPressOpensTheMenuOnce) {
    const TRect rc = grid->CellRect(2, 2);
    r.PopupMenu("");
    grid->MouseDown(mbRight, 0, rc.left + 2, rc.top + 2);
    grid->MouseUp(mbRight, 0, rc.left + 2, rc.top + 2);
    ASSERT_EQ(r.Requests().size(), 1u);
    EXPECT_EQ(r.Requests()[0].eKind, TDialogKind::PopupMenu);
}

TEST_F(GridMenu, DeleteRemovesTheSelectedRowsOrColumns) {
    vClick(*grid, 0, grid->iRowIn(1));
    popup("L\xF6schen");
    EXPECT_EQ(grid->iGetRowCount(), 3);
    EXPECT_EQ(cell(1, 0), "20");

    vClick(*grid, grid->iColIn(0), 0);
    const std::set<int> shown = popup("L\xF6schen");
    EXPECT_TRUE(shown.count(kDelCols));
    EXPECT_FALSE(shown.count(kDelRows));
    EXPECT_EQ(grid->iGetColCount(), 3);
    EXPECT_EQ(grid->iGetRowCount(), 3);
    EXPECT_EQ(cell(0, 0), "01");
}

// Row and column commands go through the virtual operations, in user numbers.
class TRecordingGrid : public TStringGridQx {
  public:
    using TStringGridQx::TStringGridQx;
    void vDeleteRows(int first, int last) override { vRecord("DeleteRows", first, last); }
    void vDeleteCols(int first, int last) override { vRecord("DeleteCols", first, last); }
    void vInsertRows(int row, int count) override { vRecord("InsertRows", row, count); }
    void vInsertCols(int col, int count) override { vRecord("InsertCols", col, count); }
    void vAppendRows(int count) override { vRecord("AppendRows", count); }
    void vAppendCols(int count) override { vRecord("AppendCols", count); }
    std::vector<std::string> calls;

  private:
    void vRecord(const char* what, int a, int b = -1) {
        calls.push_back(what + (" " + std::to_string(a)) + (b < 0 ? "" : " " + std::to_string(b)));
    }
};

TEST_F(GridMenu, CommandsCallTheVirtualOperations) {
    struct Case {
        const char* item;
        std::function<void(TStringGridQx&)> select;
        const char* call;
    };
    const Case cases[] = {
        {"L\xF6schen",
         [](TStringGridQx& g) {
             g.vSetSelectionMode(eSelectRows);
             g.vSetSelectedArea(1, 2, 0, 0);
         },
         "DeleteRows 1 2"},
        {"L\xF6schen",
         [](TStringGridQx& g) {
             g.vSetSelectionMode(eSelectCols);
             g.vSetSelectedArea(0, 0, 1, 2);
         },
         "DeleteCols 1 2"},
        // With one user-fixed row and column base row 3 and column 3 are user row and column 1.
        {"Neue Zeilen einf\xFCgen",
         [](TStringGridQx& g) {
             g.vSetFixedArea(1, 1);
             vClick(g, 0, 3);
         },
         "InsertRows 1 2"},
        {"Neue Zeilen anh\xE4ngen", [](TStringGridQx& g) { vClick(g, 0, g.RowCount() - 1); },
         "AppendRows 2"},
        {"Neue Spalten einf\xFCgen",
         [](TStringGridQx& g) {
             g.vSetFixedArea(1, 1);
             vClick(g, 3, 0);
         },
         "InsertCols 1 2"},
        {"Neue Spalten anh\xE4ngen", [](TStringGridQx& g) { vClick(g, g.ColCount() - 1, 0); },
         "AppendCols 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        auto g = std::make_unique<TRecordingGrid>(nullptr);
        c.select(*g);
        r.PopupMenu(c.item);
        if (std::string(c.item) != "L\xF6schen") {
            r.Type("DoubleEdit1", "2");
            r.ModalForm("btOk");
        }
        g->pGetPopupMenu()->Popup(0, 0);
        EXPECT_EQ(g->calls, std::vector<std::string>{c.call});
    }
}

TEST_F(GridMenu, ClearingContentsKeepsFormattingAndSizing) {
    grid->vSetBKColor(eColorYellow, 0, 1, 0, 1);
    grid->vSetHiddenCellString(1, 1, "hidden");
    grid->vSetHiddenCellString(2, 2, "kept");
    grid->vSetCellString(1, 1, "a rather long text that widens its column");
    grid->vCalculateColWidths();
    const int narrow = grid->ColWidths(grid->iColIn(2));
    ASSERT_GT(grid->ColWidths(grid->iColIn(1)), narrow);
    const int plain = grid->iColIn(0), plainRow = grid->iRowIn(2);  // texts only, no property
    ASSERT_EQ(grid->Objects(plain, plainRow), nullptr);

    grid->vSetSelectedArea(0, 2, 0, 1);
    popup("Inhalte l\xF6schen");
    for (int row = 0; row <= 2; ++row)
        for (int col = 0; col <= 1; ++col) EXPECT_EQ(cell(row, col), "") << row << col;
    EXPECT_STREQ(grid->cpGetHiddenCellString(1, 1), "");
    EXPECT_EQ(grid->eGetBKColor(1, 1), eColorYellow);
    EXPECT_EQ(grid->Objects(plain, plainRow), nullptr);
    EXPECT_LE(grid->ColWidths(grid->iColIn(1)), narrow);
    // Outside the block nothing changes.
    EXPECT_EQ(cell(0, 2), "02");
    EXPECT_EQ(cell(3, 0), "30");
    EXPECT_STREQ(grid->cpGetHiddenCellString(2, 2), "kept");
}

TEST_F(GridMenu, CountCommandsAskForACountAndRunOnlyWithOneInRange) {
    struct Case {
        const char* item;
        std::function<void(TStringGridQx&)> select;
        const char* title;
        int rows, cols;          // added on OK with 3
        int movedRow, movedCol;  // where the text "11" is then
    };
    const Case cases[] = {
        {"Neue Zeilen einf\xFCgen", [](TStringGridQx& g) { vClick(g, 0, g.iRowIn(1)); },
         "Zeilen einf\xFCgen", 3, 0, 4, 1},
        {"Neue Zeilen anh\xE4ngen", [](TStringGridQx& g) { vClick(g, 0, g.RowCount() - 1); },
         "Zeilen anh\xE4ngen", 3, 0, 1, 1},
        {"Neue Spalten einf\xFCgen", [](TStringGridQx& g) { vClick(g, g.iColIn(1), 0); },
         "Spalten einf\xFCgen", 0, 3, 1, 4},
        {"Neue Spalten anh\xE4ngen", [](TStringGridQx& g) { vClick(g, g.ColCount() - 1, 0); },
         "Spalten anh\xE4ngen", 0, 3, 1, 1},
    };
    // The count field holds its value between 1 and 1000 and starts at 1.
    struct Answer {
        const char* typed;  // null: OK without typing
        bool ok;
        int added;  // 0: nothing happens
    };
    const Answer answers[] = {{"3", true, 3}, {nullptr, true, 1},   {"3", false, 0},
                              {"0", true, 1}, {"5000", true, 1000}, {"abc", true, 1}};
    for (const Case& c : cases) {
        for (const Answer& a : answers) {
            SCOPED_TRACE(std::string(c.item) + " answered '" + (a.typed ? a.typed : "-") + "'");
            vNewGrid();
            c.select(*grid);
            int sizeEvents = 0;
            grid->ESizeChanged = [&](int, int) { ++sizeEvents; };
            popup(c.item, [&] {
                if (a.typed) r.Type("DoubleEdit1", a.typed);
                r.ModalForm(a.ok ? "btOk" : "btCancel");
            });
            EXPECT_EQ(sizeEvents, a.added ? 1 : 0);
            const qx::platform::TDialogRequest& q = r.Requests().back();
            EXPECT_EQ(q.eKind, TDialogKind::ModalForm);
            EXPECT_EQ(q.caption, c.title);
            const int n = a.added;
            EXPECT_EQ(grid->iGetRowCount(), 4 + (c.rows ? n : 0));
            EXPECT_EQ(grid->iGetColCount(), 4 + (c.cols ? n : 0));
            if (n == 3) {
                EXPECT_EQ(cell(c.movedRow, c.movedCol), "11");
            } else if (n == 0) {
                EXPECT_EQ(cell(1, 1), "11");
            }
        }
    }
}

TEST_F(GridMenu, SelectionCommandsDoNothingWithoutASelection) {
    const std::pair<const char*, void (TStringGridQx::*)(TObject*)> commands[] = {
        {"delete rows", &TStringGridQx::vZeilenLoeschen},
        {"delete columns", &TStringGridQx::vSpaltenLoeschen},
        {"clear contents", &TStringGridQx::vInhalteLoeschen},
        {"insert rows", &TStringGridQx::vInsertNeueZeile},
        {"insert columns", &TStringGridQx::vInsertNeueSpalte},
    };
    grid->vSetSelectionMode(eSelectNone);
    for (const auto& [what, command] : commands) {
        SCOPED_TRACE(what);
        ((*grid).*command)(nullptr);  // no prompt, no error dialog
        EXPECT_EQ(grid->iGetRowCount(), 4);
        EXPECT_EQ(grid->iGetColCount(), 4);
        EXPECT_EQ(cell(1, 1), "11");
    }
    EXPECT_TRUE(r.Requests().empty());
}

TEST_F(GridMenu, AFailingReceiverShowsTheErrorAndOffersNothing) {
    grid->EBeforePopup = [](TSGChangeBehaviour*) { QX_RAISE(0xE5136001UL, "receiver"); };
    r.ErrorDialog();
    EXPECT_TRUE(popup("Tabelle laden").empty());
    EXPECT_EQ(qx::getErrorCode(), 0u);
}

TEST_F(GridMenu, CaptionsFollowTheLanguageAtConstruction) {
    struct Case {
        bool german;
        std::vector<std::string> captions;
        const char* insertTitle;
    };
    const Case cases[] = {
        {true,
         {"Tabelle laden", "Tabelle speichern", "-",
          "Tabellengr\xF6\xDF"
          "e",
          "Fixieren", "Fixierung aufheben", "-", "Kopieren",
          "Einf\xFC"
          "gen",
          "L\xF6schen", "L\xF6schen", "Inhalte l\xF6schen", "-", "Neue Zeilen einf\xFCgen",
          "Neue Zeilen anh\xE4ngen", "Neue Spalten einf\xFCgen", "Neue Spalten anh\xE4ngen",
          "Formatierung"},
         "Zeilen einf\xFCgen"},
        {false,
         {"Load table", "Save table", "-", "Size of table", "Fix", "Unfix", "-", "Copy", "Paste",
          "Delete", "Delete", "Delete content", "-", "Insert new lines", "Append new lines",
          "Insert new columns", "Append new columns", "Formatting"},
         "Insert rows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.german ? "German" : "English");
        c.german ? TLanguage::setDeutsch() : TLanguage::setEnglisch();
        grid = std::make_unique<TStringGridQx>(nullptr);
        c.german ? TLanguage::setEnglisch() : TLanguage::setDeutsch();  // later changes: none
        std::vector<std::string> captions;
        for (int i = 0; i < 18; ++i) captions.push_back(grid->pGetMenuItem(i)->Caption());
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(grid->pGetPopupMenu()->Items()->Count(), 18);
        EXPECT_EQ(grid->pGetMenuItem(18), nullptr);
        EXPECT_EQ(grid->pGetMenuItem(-1), nullptr);
        // Dialogs take the language current when they open.
        c.german ? TLanguage::setDeutsch() : TLanguage::setEnglisch();
        vClick(*grid, 0, 2);
        popup(c.captions[kInsRow], [&] { r.ModalForm("btCancel"); });
        EXPECT_EQ(r.Requests().back().caption, c.insertTitle);
    }
}

TEST(GridMenuSlots, SlotsFollowTheMenuOrder) {
    TSGChangeBehaviour b;
    for (int i = 0; i < TSGChangeBehaviour::kSlots; ++i) EXPECT_FALSE(*b.pSlot(i)) << i;
    EXPECT_EQ(b.pPopupMenu, nullptr);
    EXPECT_EQ(b.pSlot(0), &b.TabelleLaden);
    EXPECT_EQ(b.pSlot(3), &b.Fixieren);
    EXPECT_EQ(b.pSlot(8), &b.SpaltenLoeschen);
    EXPECT_EQ(b.pSlot(14), &b.Formatierung);
    EXPECT_EQ(b.pSlot(-1), nullptr);
    EXPECT_EQ(b.pSlot(15), nullptr);
}

}  // namespace
