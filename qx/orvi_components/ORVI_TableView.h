// TORVI_TableView: a string grid that shows a table of texts read-only, with a background
// colour per cell, a popup menu that saves the whole grid as tab-separated text or copies it
// to the clipboard, and column widths fitted to the texts on request.
//
// The view owns its save dialog and popup menu (through the component tree). vCellColors is
// a public table that code working with the view fills directly: indexed by column, then row;
// -1 means the cell is drawn the normal grid way. It grows and shrinks with the grid, in
// amortised constant time per added row. Threads: the thread that owns the windows.
#pragma once

#include <vector>

#include "qx/platform/Dialogs.h"
#include "qx/platform/Grids.h"
#include "qx/platform/Menus.h"
#include "qx/platform/TimeStamp.h"

class TORVI_TableView : public TStringGrid {
  public:
    explicit TORVI_TableView(TComponent* owner);

    // Creates the menu when it does not exist yet, then sets the captions. The constructor
    // runs it last; calling it again only renews the captions.
    void AfterConstruction();
    // The captions of the menu items in the current language.
    void vSetAktLanguage();
    TPopupMenu* GetpPopupMenu() const { return pPopupMenu_; }
    void SetpPopupMenu(TPopupMenu* menu) { pPopupMenu_ = menu; }
    // Appends copies of `source`'s items to the view's menu (after a separator line when
    // `separator` is true); nothing without a menu.
    void vAddMenu(const TPopupMenu* source, bool separator);

    // The save dialog, then the table text into the chosen file. Errors end in the error
    // dialog; an existing file is replaced whole or not at all.
    void Export2File(TObject* sender);
    // The table text on the clipboard as plain text.
    void Export2Clipboard(TObject* sender);
    // Every cell of every row (fixed ones included), each followed by a TAB, rows ended by
    // CR LF. _line2String raises 0x05100000 for a row outside the grid.
    void _table2String(AnsiString& text) const;
    void _line2String(int row, AnsiString& text) const;

    // Each column as wide as its widest text plus 5 pixels.
    void reformat();
    void vClearColor();

    TSaveDialog* SaveDialog() const { return saveDialog_; }
    TMenuItem* SaveItem() const { return saveItem_; }
    TMenuItem* CopyItem() const { return copyItem_; }
    const Process::TTimeStamp& CreationTime() const { return created_; }

    std::vector<std::vector<int>> vCellColors;

  protected:
    void _createMenu();
    void SizeChanged(int oldColCount, int oldRowCount) override;
    void RowsInserted(int at, int count) override;
    void RowsDeleted(int at, int count) override;
    void RowMoved(int from, int to) override;
    void ColsInserted(int at, int count) override;
    void ColsDeleted(int at, int count) override;
    void ColMoved(int from, int to) override;
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;

  private:
    void appendLine(int row, AnsiString& text) const;

    TSaveDialog* saveDialog_;
    TPopupMenu* pPopupMenu_ = nullptr;
    TMenuItem* saveItem_ = nullptr;
    TMenuItem* copyItem_ = nullptr;
    Process::TTimeStamp created_;
};

namespace ORVI_TableView {
// Puts TORVI_TableView on the palette page "ORVI".
void Register();
}  // namespace ORVI_TableView
