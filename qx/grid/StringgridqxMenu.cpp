// TStringGridQx: the popup menu, the choice of commands before it opens, and the editing
// commands that work on the selection (delete, clear, insert, append).
#include <algorithm>

#include "qx/error/Language.h"
#include "qx/error/Qxexception.h"
#include "qx/grid/GridDialogs.h"
#include "qx/grid/Stringgridqx.h"
#include "qx/platform/WidgetSet.h"

namespace {

using THandler = void (TStringGridQx::*)(TObject*);

// The eighteen items in menu order; a separator has no handler.
struct TMenuEntry {
    TLanguage::TLanguageString caption;
    THandler handler;
};
const TMenuEntry kMenu[] = {
    {{"Tabelle laden", "Load table"}, &TStringGridQx::vTabelleLaden},
    {{"Tabelle speichern", "Save table"}, &TStringGridQx::vTabelleSpeichern},
    {{"-", "-"}, nullptr},
    {{"Tabellengr\xF6\xDF"
      "e",
      "Size of table"},
     &TStringGridQx::vTabellenGroesse},
    {{"Fixieren", "Fix"}, &TStringGridQx::vFixieren},
    {{"Fixierung aufheben", "Unfix"}, &TStringGridQx::vFixierungAufheben},
    {{"-", "-"}, nullptr},
    {{"Kopieren", "Copy"}, &TStringGridQx::vZellenKopieren},
    {{"Einf\xFC"
      "gen",
      "Paste"},
     &TStringGridQx::vZellenEinfuegen},
    {{"L\xF6schen", "Delete"}, &TStringGridQx::vZeilenLoeschen},
    {{"L\xF6schen", "Delete"}, &TStringGridQx::vSpaltenLoeschen},
    {{"Inhalte l\xF6schen", "Delete content"}, &TStringGridQx::vInhalteLoeschen},
    {{"-", "-"}, nullptr},
    {{"Neue Zeilen einf\xFC"
      "gen",
      "Insert new lines"},
     &TStringGridQx::vInsertNeueZeile},
    {{"Neue Zeilen anh\xE4ngen", "Append new lines"}, &TStringGridQx::vAppendNeueZeile},
    {{"Neue Spalten einf\xFC"
      "gen",
      "Insert new columns"},
     &TStringGridQx::vInsertNeueSpalte},
    {{"Neue Spalten anh\xE4ngen", "Append new columns"}, &TStringGridQx::vAppendNeueSpalte},
    {{"Formatierung", "Formatting"}, &TStringGridQx::vFormatierung},
};
constexpr int kItems = static_cast<int>(std::size(kMenu));
static_assert(kItems == 18);

// Menu item of each command slot, in slot order.
constexpr int kSlotItem[TSGChangeBehaviour::kSlots] = {0,  1,  3,  4,  5,  7,  8, 9,
                                                       10, 11, 13, 14, 15, 16, 17};

TNotifyEvent bind(TStringGridQx* grid, THandler handler) {
    return [grid, handler](TObject* sender) { (grid->*handler)(sender); };
}

// The count dialog: true with the count chosen (1 to 1000, starting at 1) on OK.
bool askCount(const TLanguage::TLanguageString& title, int& count) {
    int n = 1;
    TIncreaseSize dialog(nullptr, 1000, 1, &n, title());
    if (dialog.ShowModal() != mrOk) return false;
    count = n;
    return true;
}

constexpr TLanguage::TLanguageString kInsertRows{
    "Zeilen einf\xFC"
    "gen",
    "Insert rows"};
constexpr TLanguage::TLanguageString kAppendRows{"Zeilen anh\xE4ngen", "Append rows"};
constexpr TLanguage::TLanguageString kInsertCols{
    "Spalten einf\xFC"
    "gen",
    "Insert columns"};
constexpr TLanguage::TLanguageString kAppendCols{"Spalten anh\xE4ngen", "Append columns"};

}  // namespace

TNotifyEvent* TSGChangeBehaviour::pSlot(int i) {
    TNotifyEvent* const slots[kSlots] = {&TabelleLaden,     &TabelleSpeichern,  &TabellenGroesse,
                                         &Fixieren,         &FixierungAufheben, &ZellenKopieren,
                                         &ZellenEinfuegen,  &ZeilenLoeschen,    &SpaltenLoeschen,
                                         &InhalteLoeschen,  &InsertNeueZeile,   &AppendNeueZeile,
                                         &InsertNeueSpalte, &AppendNeueSpalte,  &Formatierung};
    return i >= 0 && i < kSlots ? slots[i] : nullptr;
}

void TStringGridQx::vCreatePopupMenu() {
    if (pPopupMenu) return;
    pPopupMenu = new TPopupMenu(this);  // owned by the grid as its component
    pPopupMenu->SetPopupComponent(this);
    menuItems_.clear();
    for (const TMenuEntry& entry : kMenu) {
        auto* item = new TMenuItem(pPopupMenu);  // owned by the menu
        item->SetCaption(entry.caption());
        if (entry.handler) item->OnClick = bind(this, entry.handler);
        pPopupMenu->Items()->Add(item);
        menuItems_.push_back(item);
    }
    pPopupMenu->OnPopup = [this](TObject* sender) { vPopup(sender); };
}

TMenuItem* TStringGridQx::pGetMenuItem(int i) const {
    return i >= 0 && i < static_cast<int>(menuItems_.size()) ? menuItems_[static_cast<size_t>(i)]
                                                             : nullptr;
}

void TStringGridQx::vPopup(TObject*) {
    try {
        TSGChangeBehaviour& b = ChangeBehaviour;
        const TSGSelection& s = Selection_;
        b.pPopupMenu = pPopupMenu;
        for (int i = 0; i < TSGChangeBehaviour::kSlots; ++i)
            *b.pSlot(i) = bind(this, kMenu[kSlotItem[i]].handler);

        if (FixedRows() == iNumCol && FixedCols() == iNumLin)
            b.FixierungAufheben = nullptr;
        else
            b.Fixieren = nullptr;

        if (!s.bSelected) {
            b.ZellenKopieren = nullptr;
            b.InhalteLoeschen = nullptr;
            b.Formatierung = nullptr;
        }
        // Nothing to paste into without a selection: the clipboard is not read then.
        if (!s.bSelected || !bCanInsert()) b.ZellenEinfuegen = nullptr;

        if (s.bRows) {
            b.SpaltenLoeschen = nullptr;
        } else {
            b.ZeilenLoeschen = nullptr;
            if (!s.bCols) b.SpaltenLoeschen = nullptr;
        }

        if (!s.bSingleRow) b.InsertNeueZeile = nullptr;
        if (!s.bSingleRow || s.iFirstRow != RowCount() - 1) b.AppendNeueZeile = nullptr;
        if (!s.bSingleCol) b.InsertNeueSpalte = nullptr;
        if (!s.bSingleCol || s.iFirstCol != ColCount() - 1) b.AppendNeueSpalte = nullptr;

        if (EBeforePopup) EBeforePopup(&b);

        for (int i = 0; i < TSGChangeBehaviour::kSlots; ++i) {
            TMenuItem* item = menuItems_[static_cast<size_t>(kSlotItem[i])];
            const TNotifyEvent& slot = *b.pSlot(i);
            item->OnClick = slot;
            item->SetVisible(static_cast<bool>(slot));
        }
    } catch (...) {
        // A menu prepared half-way would offer stale commands: offer none.
        for (int item : kSlotItem) menuItems_[static_cast<size_t>(item)]->SetVisible(false);
        QX_SHOW();
    }
}

void TStringGridQx::vZeilenLoeschen(TObject*) {
    try {
        const TSGSelection& s = Selection_;
        if (!s.bSelected) return;  // no rows to delete, not an error
        vDeleteRows(iRowOut(std::max(iNumCol, s.iFirstRow)), iRowOut(s.iLastRow));
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vSpaltenLoeschen(TObject*) {
    try {
        const TSGSelection& s = Selection_;
        if (!s.bSelected) return;
        vDeleteCols(iColOut(std::max(iNumLin, s.iFirstCol)), iColOut(s.iLastCol));
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vInhalteLoeschen(TObject*) {
    try {
        const TSGSelection& s = Selection_;
        if (!s.bSelected) return;
        // The block never covers the header line and column; the bounds say so anyway, so
        // that a grid without them clears its row and column 0 too.
        const int firstRow = std::max(s.iFirstRow, iNumCol), lastRow = s.iLastRow;
        const int firstCol = std::max(s.iFirstCol, iNumLin), lastCol = s.iLastCol;
        const TGridUpdateScope batch(*this);
        for (int row = firstRow; row <= lastRow; ++row) {
            for (int col = firstCol; col <= lastCol; ++col) {
                if (!Cells(col, row).empty()) SetCells(col, row, cpEmptyString);
                // A cell without a property has no hidden text: none is made to clear it.
                if (auto* p = dynamic_cast<TCellPropertyQx*>(Objects(col, row)))
                    p->vSetHiddenString(cpEmptyString);
            }
        }
        for (int row = firstRow; row <= lastRow; ++row) vCalculateRowHeight(row);
        for (int col = firstCol; col <= lastCol; ++col) vUpdateColWidth(col);
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vInsertNeueZeile(TObject*) {
    try {
        const TSGSelection& s = Selection_;
        if (!s.bSelected) return;  // no place to insert at
        const int at = iRowOut(std::max(iNumCol, s.iFirstRow));
        int count = 0;
        if (askCount(kInsertRows, count)) vInsertRows(at, count);
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vAppendNeueZeile(TObject*) {
    try {
        int count = 0;
        if (askCount(kAppendRows, count)) vAppendRows(count);
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vInsertNeueSpalte(TObject*) {
    try {
        const TSGSelection& s = Selection_;
        if (!s.bSelected) return;
        const int at = iColOut(std::max(iNumLin, s.iFirstCol));
        int count = 0;
        if (askCount(kInsertCols, count)) vInsertCols(at, count);
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vAppendNeueSpalte(TObject*) {
    try {
        int count = 0;
        if (askCount(kAppendCols, count)) vAppendCols(count);
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vTabellenGroesse(TObject*) {
    try {
        const int curRows = iGetRowCount(), curCols = iGetColCount();
        int rows = curRows, cols = curCols;
        TTabellenGroesse dialog(nullptr, &cols, &rows);
        if (dialog.ShowModal() != mrOk) return;
        const TGridUpdateScope batch(*this);
        // Deleting before appending keeps every step's table as small as it can be.
        if (rows < curRows) vDeleteRows(rows, curRows - 1);
        if (cols < curCols) vDeleteCols(cols, curCols - 1);
        if (cols > curCols) vAppendCols(cols - curCols);
        if (rows > curRows) vAppendRows(rows - curRows);
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vFormatierung(TObject*) {
    try {
        const TSGSelection& s = Selection_;
        if (!s.bSelected) return;  // no cell to take the format from
        const int r0 = std::max(iNumCol, s.iFirstRow), c0 = std::max(iNumLin, s.iFirstCol);
        TCellPropertyQx format(rViewProperty(c0, r0));
        TCellPropertyQx::TAssign assign;
        TZellenFormatierung dialog(nullptr, &assign, &format);
        if (dialog.ShowModal() != mrOk) return;
        const TGridUpdateScope batch(*this);
        for (int r = r0; r <= s.iLastRow; ++r)
            for (int c = c0; c <= s.iLastCol; ++c) {
                // Only cells whose format changes get a property object.
                TCellPropertyQx result(rViewProperty(c, r));
                result.vAssign(format, assign);
                if (result.bSameFormat(rViewProperty(c, r))) continue;
                TCellPropertyQx* p = pGetCellProperty(c, r);
                const int before = p->iGetFontSize();
                p->vAssign(format, assign);
                fontSizeChanged(c, r, before, p->iGetFontSize());
            }
        for (int r = r0; r <= s.iLastRow; ++r) vCalculateRowHeight(r);
        for (int c = c0; c <= s.iLastCol; ++c) vUpdateColWidth(c);
        Invalidate();
    } catch (...) {
        QX_SHOW();
    }
}
