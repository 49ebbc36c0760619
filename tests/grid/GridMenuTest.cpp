// The grid's popup menu: its items, the receiver of EBeforePopup, and the commands run by
// choosing items.
#include <set>

#include "tests/grid/GridSupport.h"

namespace qx::test {
namespace {

// Menu item indices of some commands.
enum : int { kLoad = 0, kFix = 4, kUnfix = 5, kPaste = 8, kInsRow = 13 };

class GridMenu : public ErrorStateTest {
  protected:
    void SetUp() override {
        ErrorStateTest::SetUp();
        EmptyHeadlessClipboard();
        newGrid();
    }
    // 4 × 4 user cells texted "r<row>c<col>".
    void newGrid() {
        grid = std::make_unique<TStringGridQx>(nullptr);
        fillGrid(*grid, 4, 4);
    }
    // Opens the menu, chooses the item captioned `choose` (none for ""), and gives the indices
    // of the command items shown; `thenQueue` queues answers to the command's dialogs.
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

    TResponderScope r;  // an unexpected dialog (the error dialog too) fails the test
    std::unique_ptr<TStringGridQx> grid;
};

void selectTwoRows(TStringGridQx& g) {
    g.vSetSelectionMode(eSelectRows);
    g.vSetSelectedArea(1, 2, 0, 0);
}
void selectTwoCols(TStringGridQx& g) {
    g.vSetSelectionMode(eSelectCols);
    g.vSetSelectedArea(0, 0, 1, 2);
}
const auto clickLastRow = [](TStringGridQx& g) { clickCell(g, 0, g.RowCount() - 1); };
const auto clickLastCol = [](TStringGridQx& g) { clickCell(g, g.ColCount() - 1, 0); };
// Fixes one user row and column, then clicks base cell (col, row).
std::function<void(TStringGridQx&)> fixAndClick(int col, int row) {
    return [col, row](TStringGridQx& g) {
        g.vSetFixedArea(1, 1);
        clickCell(g, col, row);
    };
}

TEST_F(GridMenu, FixingOffersUnfixingAndBackAndNeedsASelection) {
    auto fixedArea = [&] {
        int rows = -1, cols = -1;
        grid->vGetFixedArea(rows, cols);
        return std::pair(rows, cols);
    };
    grid->vSetSelectedArea(1, 1, 1, 1);
    // Text on the clipboard offers pasting only where there is a selection.
    ASSERT_TRUE(qx::platform::SetClipboardText("a\tb\r\n"));
    EXPECT_TRUE(popup("Fixieren").count(kPaste));
    EXPECT_EQ(fixedArea(), std::pair(1, 1));
    EXPECT_FALSE(popup("Fixierung aufheben").count(kFix)) << "fixed: unfixing offered instead";
    EXPECT_EQ(fixedArea(), std::pair(0, 0));
    // Unfixing leaves nothing selected; fixing then does nothing, and raises no error.
    ASSERT_FALSE(grid->rGetSelection().bSelected);
    const std::set<int> unselected = popup("Fixieren");
    EXPECT_TRUE(unselected.count(kFix));
    EXPECT_FALSE(unselected.count(kPaste));
    EXPECT_EQ(fixedArea(), std::pair(0, 0));
    EXPECT_EQ(qx::getErrorCode(), 0u);

    // A receiver changes one opening and puts its own handlers in the slots.
    grid->vSetSelectedArea(1, 1, 1, 1);
    std::function<void(TSGChangeBehaviour*)> change = [](auto* b) { b->TabelleLaden = nullptr; };
    grid->EBeforePopup = [&](TSGChangeBehaviour* b) {
        EXPECT_EQ(b->pPopupMenu, grid->pGetPopupMenu());
        change(b);
    };
    EXPECT_FALSE(popup().count(kLoad));
    change = [](TSGChangeBehaviour*) {};
    EXPECT_TRUE(popup().count(kLoad)) << "each opening starts from the grid's own commands";
    TObject* sender = nullptr;
    int calls = 0;
    change = [&](TSGChangeBehaviour* b) {
        b->TabelleLaden = [&](TObject* s) { sender = s, ++calls; };
        b->InsertNeueZeile = [&](TObject*) { calls += 10; };  // offered although one cell
    };
    EXPECT_TRUE(popup("Tabelle laden").count(kInsRow));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sender, grid->pGetMenuItem(kLoad));
    popup("Neue Zeilen einf\xFCgen");
    EXPECT_EQ(calls, 11);

    // A failing receiver: the error is shown, nothing is offered.
    grid->EBeforePopup = [](TSGChangeBehaviour*) { QX_RAISE(0xE5136001UL, "receiver"); };
    r.ErrorDialog();
    EXPECT_TRUE(popup("Tabelle laden").empty());
    EXPECT_EQ(qx::getErrorCode(), 0u);
}

// Row and column commands go through the virtual operations, in user numbers.
class TRecordingGrid : public TStringGridQx {
  public:
    using TStringGridQx::TStringGridQx;
    void vDeleteRows(int first, int last) override { logTo(calls, "DeleteRows")(first, last); }
    void vDeleteCols(int first, int last) override { logTo(calls, "DeleteCols")(first, last); }
    void vInsertRows(int row, int count) override { logTo(calls, "InsertRows")(row, count); }
    void vInsertCols(int col, int count) override { logTo(calls, "InsertCols")(col, count); }
    void vAppendRows(int count) override { logTo(calls, "AppendRows")(count); }
    void vAppendCols(int count) override { logTo(calls, "AppendCols")(count); }
    std::vector<std::string> calls;
};

TEST_F(GridMenu, CommandsAskForACountAndCallTheVirtualOperations) {
    struct Case {
        const char* item;
        std::function<void(TStringGridQx&)> select;
        const char* title;  // of the count dialog; null: no dialog
        const char* typed;  // into the count field; null: left at its start
        const char* call;
    };
    // With one user-fixed row and column base row 3 and column 3 are user row and column 1.
    // The count field starts at 1 and holds at most 1000 (its clamping is the edit's own).
    const Case cases[] = {
        {"L\xF6schen", selectTwoRows, nullptr, nullptr, "DeleteRows 1 2"},
        {"L\xF6schen", selectTwoCols, nullptr, nullptr, "DeleteCols 1 2"},
        {"Neue Zeilen einf\xFCgen", fixAndClick(0, 3), "Zeilen einf\xFCgen", "2", "InsertRows 1 2"},
        {"Neue Spalten einf\xFCgen", fixAndClick(3, 0), "Spalten einf\xFCgen", "2",
         "InsertCols 1 2"},
        {"Neue Spalten anh\xE4ngen", clickLastCol, "Spalten anh\xE4ngen", "2", "AppendCols 2"},
        {"Neue Zeilen anh\xE4ngen", clickLastRow, "Zeilen anh\xE4ngen", nullptr, "AppendRows 1"},
        {"Neue Zeilen anh\xE4ngen", clickLastRow, "Zeilen anh\xE4ngen", "5000", "AppendRows 1000"},
    };
    for (const Case& c : cases) {
        for (bool ok : {true, false}) {  // a cancelled count runs nothing
            if (!ok && !c.title) continue;
            SCOPED_TRACE(std::string(c.call) + (ok ? "" : " cancelled"));
            TRecordingGrid g(nullptr);
            c.select(g);
            r.PopupMenu(c.item);
            if (c.title) {
                if (c.typed) r.Type("DoubleEdit1", c.typed);
                r.ModalForm(ok ? "btOk" : "btCancel");
            }
            g.pGetPopupMenu()->Popup(0, 0);
            EXPECT_EQ(g.calls, ok ? std::vector<std::string>{c.call} : std::vector<std::string>{});
            if (c.title) {
                EXPECT_EQ(r.Requests().back().caption, c.title);
            }
        }
    }
}

// The dialogs' captions per language are checked with the Qt widget set.
TEST_F(GridMenu, SelectionCommandsNeedASelectionAndCaptionsAreTakenAtConstruction) {
    grid->vSetBKColor(eColorYellow, 0, 1, 0, 1);
    grid->vSetHiddenCellString(1, 1, "hidden");
    grid->vSetHiddenCellString(2, 2, "kept");
    grid->vSetCellString(1, 1, "a rather long text that widens its column");
    grid->vCalculateColWidths();
    const int narrow = grid->ColWidths(grid->iColIn(2));
    ASSERT_GT(grid->ColWidths(grid->iColIn(1)), narrow);
    const int plain = grid->iColIn(0), plainRow = grid->iRowIn(2);  // texts only, no property

    grid->vSetSelectedArea(0, 2, 0, 1);
    popup("Inhalte l\xF6schen");
    EXPECT_EQ(gridTexts(*grid), ",,r0c2,r0c3|,,r1c2,r1c3|,,r2c2,r2c3|r3c0,r3c1,r3c2,r3c3");
    EXPECT_STREQ(grid->cpGetHiddenCellString(1, 1), "");
    EXPECT_STREQ(grid->cpGetHiddenCellString(2, 2), "kept");
    EXPECT_EQ(grid->eGetBKColor(1, 1), eColorYellow);
    EXPECT_EQ(grid->Objects(plain, plainRow), nullptr);
    EXPECT_LE(grid->ColWidths(grid->iColIn(1)), narrow);

    // Without a selection the selection commands do nothing.
    const std::pair<const char*, void (TStringGridQx::*)(TObject*)> commands[] = {
        {"delete rows", &TStringGridQx::vZeilenLoeschen},
        {"delete columns", &TStringGridQx::vSpaltenLoeschen},
        {"clear contents", &TStringGridQx::vInhalteLoeschen},
        {"insert rows", &TStringGridQx::vInsertNeueZeile},
        {"insert columns", &TStringGridQx::vInsertNeueSpalte},
    };
    grid->vSetSelectionMode(eSelectNone);
    const std::string before = gridTexts(*grid);
    for (const auto& [what, command] : commands) {
        SCOPED_TRACE(what);
        ((*grid).*command)(nullptr);  // no prompt, no error dialog
        EXPECT_EQ(gridTexts(*grid), before);
    }

    // A right press opens the menu once.
    const TRect rc = grid->CellRect(2, 2);
    r.PopupMenu("");
    grid->MouseDown(mbRight, 0, rc.left + 2, rc.top + 2);
    grid->MouseUp(mbRight, 0, rc.left + 2, rc.top + 2);
    EXPECT_EQ(r.Requests().size(), 2u) << "the clearing's menu and this one";

    // Captions are taken at construction, and the slots follow the menu.
    const std::pair<bool, const char*> menus[] = {
        {true,
         "Tabelle laden|Tabelle speichern|-|Tabellengr\xF6\xDF\x65|Fixieren|Fixierung aufheben|-|"
         "Kopieren|Einf\xFCgen|L\xF6schen|L\xF6schen|Inhalte l\xF6schen|-|Neue Zeilen einf\xFCgen|"
         "Neue Zeilen anh\xE4ngen|Neue Spalten einf\xFCgen|Neue Spalten anh\xE4ngen|Formatierung"},
        {false,
         "Load table|Save table|-|Size of table|Fix|Unfix|-|Copy|Paste|Delete|Delete|Delete "
         "content|-|Insert new lines|Append new lines|Insert new columns|Append new "
         "columns|Formatting"}};
    for (const auto& [german, expected] : menus) {
        german ? TLanguage::setDeutsch() : TLanguage::setEnglisch();
        newGrid();
        german ? TLanguage::setEnglisch() : TLanguage::setDeutsch();  // later changes: none
        std::string menu;
        for (int i = 0; i < 18; ++i) menu += (i ? "|" : "") + grid->pGetMenuItem(i)->Caption();
        EXPECT_EQ(menu, expected);
    }
    // Dialogs take the language current when they open.
    TLanguage::setEnglisch();
    clickCell(*grid, 0, 2);
    popup("Insert new lines", [&] { r.ModalForm("btCancel"); });
    EXPECT_EQ(r.Requests().back().caption, "Insert rows");
}

}  // namespace
}  // namespace qx::test
