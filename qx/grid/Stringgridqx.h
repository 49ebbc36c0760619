// TStringGridQx: an editable string grid for tables of text and numbers.
//
// Over the framework's TStringGrid it adds a line-number column and a column-number line,
// user numbering of rows and columns (row first, from 0 after the fixed area by default), a
// formatting property object per cell (TCellPropertyQx, created on first request and owned by
// the grid through the cell's object slot), its own selection model (TSGSelection), a
// user-fixed area, row and column operations that carry texts, hidden texts, formatting and
// sizes along, fifteen events, text and binary transfer through streams, files and the
// clipboard, automatic row heights and column widths, and a German or English popup menu of
// editing commands.
//
// Failures of public operations are thrown as error codes (unsigned long) recorded with the
// error facility; handlers of framework events and menu commands show them in the error
// dialog instead, so nothing escapes an event handler.
//
// Scale: rows are moved as whole arrays, cells with default formatting have no property
// object, and column widths are kept up to date from a per-column table of text widths, so
// an operation costs what it changes, not the size of the table.
//
// Threads: the thread that owns the windows.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "qx/grid/CellPropertyQx.h"
#include "qx/platform/Grids.h"
#include "qx/platform/Menus.h"

class TStringGridQx;

enum TSGSelectionMode : unsigned char {
    eSelectCells = 0,  // blocks of cells, whole rows, whole columns
    eSelectRows = 1,   // every selection widened to whole rows
    eSelectCols = 2,   // every selection widened to whole columns
    eSelectNone = 3,   // nothing can be selected
};

// The grid's selection: what kind of selection it is, the normalised block (base-grid
// indices, never covering fixed cells), and the raw start and end points it came from.
struct TSGSelection {
    explicit TSGSelection(TStringGridQx& grid);

    bool bAll = false;        // the corner cell was used: everything
    bool bSingleRow = false;  // exactly one whole row
    bool bRows = false;       // one or more whole rows
    bool bSingleCol = false;
    bool bCols = false;
    bool bSingleCell = false;  // exactly one cell
    bool bSelected = false;    // anything
    int iFirstRow = -1, iLastRow = -1, iFirstCol = -1, iLastCol = -1;
    int iCount = 0;                  // cells in the block
    bool bSelectSingleCell = false;  // a drag follows the mouse instead of building a block
    TSGSelectionMode eMode = eSelectCells;
    int iLastPointRow = -1, iLastPointCol = -1;
    int iStartRow = -1, iStartCol = -1, iEndRow = -1, iEndCol = -1;
    // The block last reported to listeners; -2 when none was (the next one always is).
    int iReportedFirstRow = -2, iReportedLastRow = -2, iReportedFirstCol = -2,
        iReportedLastCol = -2;
    TStringGridQx& rGrid;

    // Flags false, points, block and start/end -1, count 0; mode, single-cell switch and the
    // block last reported are kept.
    void vReset();
    // Forgets what was reported, so that the next notification is raised.
    void forgetReported();
    // Starts a selection at (row, col), base-grid indices.
    void startAt(int row, int col);
    // Extends the selection to (row, col); true when it changed.
    bool extendTo(int row, int col);
    // Block from start and end, clamped to the non-fixed cells, widened by the mode.
    void normalise();
    // Whether (row, col) lies in the block and outside the header line and column.
    bool contains(int row, int col) const;
};

// The fifteen command slots of the popup menu, and the menu itself. An empty slot is a
// command that is not offered.
struct TSGChangeBehaviour {
    TNotifyEvent TabelleLaden, TabelleSpeichern, TabellenGroesse, Fixieren, FixierungAufheben,
        ZellenKopieren, ZellenEinfuegen, ZeilenLoeschen, SpaltenLoeschen, InhalteLoeschen,
        InsertNeueZeile, AppendNeueZeile, InsertNeueSpalte, AppendNeueSpalte, Formatierung;
    TPopupMenu* pPopupMenu = nullptr;

    static constexpr int kSlots = 15;
    // The slots in menu order (load first, formatting last).
    TNotifyEvent* pSlot(int i);
};

class TStringGridQx : public TStringGrid {
  public:
    static const char* const cpClassName;     // "TStringGridQx": the clipboard format's name
    static const char* const cpSgrExtension;  // ".sgr"
    static const char* const cpEmptyString;   // ""

    explicit TStringGridQx(TComponent* owner);
    ~TStringGridQx() override;

    // ------------------------------------------------------------------ configuration
    // Line numbers on the left and column numbers on top; only before the first drawing.
    void vSetLinColNum(bool bLineNumbers, bool bColNumbers);
    void vSetUseNumbersWithoutFixed(bool b) { bUseNumbersWithoutFixed = b; }
    bool bGetUseNumbersWithoutFixed() const { return bUseNumbersWithoutFixed; }
    // User numbers to base-grid indices and back.
    int iRowIn(int r) const { return bUseNumbersWithoutFixed ? r + FixedRows() : r; }
    int iRowOut(int r) const { return bUseNumbersWithoutFixed ? r - FixedRows() : r; }
    int iColIn(int c) const { return bUseNumbersWithoutFixed ? c + FixedCols() : c; }
    int iColOut(int c) const { return bUseNumbersWithoutFixed ? c - FixedCols() : c; }
    // Base-grid indices.
    bool bInside(int col, int row) const;
    int iGetNumCol() const { return iNumCol; }
    int iGetNumLin() const { return iNumLin; }
    bool bGetInitialised() const { return bInitialised; }

    // ------------------------------------------------------------------ table size (user)
    int iGetRowCount() const { return iRowOut(RowCount()); }
    int iGetColCount() const { return iColOut(ColCount()); }
    void vGetTableSize(int& rows, int& cols) const;
    void vSetTableSize(int rows, int cols);

    // ------------------------------------------------------------------ cells (user numbers)
    // Valid while the cell keeps its text.
    const char* cpGetCellString(int row, int col);
    void vSetCellString(int row, int col, const char* text);
    const char* cpGetHiddenCellString(int row, int col);
    void vSetHiddenCellString(int row, int col, const char* text);
    bool bIsNumber(int row, int col);
    double dGetNumber(int row, int col);
    // The number test on any text: blanks, sign, digits, fraction, exponent, blanks.
    static bool isNumberText(const char* text);

    // Formatting of a block (user numbers), then a repaint.
    void vSetColor(eColorQx color, int firstRow, int lastRow, int firstCol, int lastCol);
    void vSetBKColor(eColorQx color, int firstRow, int lastRow, int firstCol, int lastCol);
    void vSetFontSize(eFontSizeQx size, int firstRow, int lastRow, int firstCol, int lastCol);
    void vSetAdjust(eAdjustQx adjust, int firstRow, int lastRow, int firstCol, int lastCol);
    eColorQx eGetColor(int row, int col);
    eColorQx eGetBKColor(int row, int col);
    eFontSizeQx eGetFontSize(int row, int col);
    eAdjustQx eGetAdjust(int row, int col);
    // Base-grid indices, column first. Creates the cell's property on first request (the
    // kind depends on the position); outside the grid the shared default property. Never
    // fails. The grid owns the object.
    TCellPropertyQx* pGetCellProperty(int col, int row);

    // ------------------------------------------------------------------ rows and columns
    // User numbers. Each raises its specific event, then the row or column size event, then
    // ESizeChanged.
    virtual void vDeleteRows(int first, int last);
    virtual void vClearRows(int first, int last);
    virtual void vDeleteCols(int first, int last);
    virtual void vInsertRows(int row, int count);
    virtual void vInsertCols(int col, int count);
    virtual void vAppendRows(int count);
    virtual void vAppendCols(int count);
    // Files and clipboard (user numbers where they take cells).
    virtual void vSaveTable(const char* name);
    virtual void vLoadTable(const char* name);
    virtual bool bCanLoad(const char* name);
    virtual void vCopy2Clipboard(int firstRow, int lastRow, int firstCol, int lastCol);
    virtual void vInsertFromClipboard(int row, int col);
    virtual bool bCanInsert();

    // ------------------------------------------------------------------ fixed area (user)
    void vGetFixedArea(int& rows, int& cols) const;
    void vSetFixedArea(int rows, int cols);
    void vResetFixedArea();

    // ------------------------------------------------------------------ selection
    TSGSelectionMode eGetSelectionMode() const { return Selection_.eMode; }
    void vSetSelectionMode(TSGSelectionMode mode);
    bool bGetSelectSingleCell() const { return Selection_.bSelectSingleCell; }
    void vSetSelectSingleCell(bool b);
    void vGetSelectedArea(int& firstRow, int& lastRow, int& firstCol, int& lastCol) const;
    void vSetSelectedArea(int firstRow, int lastRow, int firstCol, int lastCol);
    bool bIsSelectedRow(int row) const;
    bool bIsSelectedCol(int col) const;
    bool bIsSelectedCell(int row, int col) const;
    void vMessageSelectionChanged();
    const TSGSelection& rGetSelection() const { return Selection_; }
    void vSetCanEditCells(bool b);
    bool bGetCanEditCells() const { return bCanEditCells; }

    // ------------------------------------------------------------------ transfer
    void vCopy2BinaerStream(TStream* stream);
    void vCopyFromBinaerStream(TStream* stream);
    void vCopy2ASCIIStream(TStream* stream);
    // `text` is changed in place (separators become NULs); `length` is not used.
    void vReadASCIIFromString(char* text, unsigned length);
    bool bReadASCIIFromClipBoard();

    // ------------------------------------------------------------------ drawing and sizing
    void vCalculateRowHeight(int row);
    void vCalculateRowHeights();
    void vCalculateColWidth(int col);
    void vCalculateColWidths();
    // Every column as wide as vCalculateColWidths makes it, from the text widths the grid
    // keeps as texts change: costs the number of columns, not of cells. (A font size changed
    // through a property pointer is seen by vCalculateColWidths only.)
    void vUpdateColWidths();
    // Line numbers into the header column and column numbers into the header line, centred.
    void vNumLinesColumns();

    // ------------------------------------------------------------------ handlers
    // Attached to the base grid's events by the constructor; public for callers that chain.
    void vOnSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void vOnMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void vOnMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void vOnMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void vOnSetEditText(TObject* Sender, int ACol, int ARow, const AnsiString& Value);
    void vOnDrawCell(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State);
    void vOnDblClick(TObject* Sender);
    void vOnEnter(TObject* Sender);
    void vOnExit(TObject* Sender);
    void vOnKeyDown(TObject* Sender, unsigned short& Key, TShiftState Shift);

    // ------------------------------------------------------------------ menu commands
    void vCreatePopupMenu();
    void vPopup(TObject* Sender);
    void vTabelleLaden(TObject* Sender);
    void vTabelleSpeichern(TObject* Sender);
    void vTabellenGroesse(TObject* Sender);
    void vFixieren(TObject* Sender);
    void vFixierungAufheben(TObject* Sender);
    void vZellenKopieren(TObject* Sender);
    void vZellenEinfuegen(TObject* Sender);
    void vZeilenLoeschen(TObject* Sender);
    void vSpaltenLoeschen(TObject* Sender);
    void vInhalteLoeschen(TObject* Sender);
    void vInsertNeueZeile(TObject* Sender);
    void vAppendNeueZeile(TObject* Sender);
    void vInsertNeueSpalte(TObject* Sender);
    void vAppendNeueSpalte(TObject* Sender);
    void vFormatierung(TObject* Sender);
    TPopupMenu* pGetPopupMenu() const { return pPopupMenu; }
    // The eighteen items in menu order (separators included); index 0 to 17.
    TMenuItem* pGetMenuItem(int i) const;
    TSGChangeBehaviour& rGetChangeBehaviour() { return ChangeBehaviour; }

    // ------------------------------------------------------------------ argument proofs
    // Base-grid indices; each records the error and throws its code.
    void vProofRow(int row) const;
    void vProofCol(int col) const;
    void vProofRowCol(int row, int col) const;
    void vProofFirstLastRow(int first, int last) const;
    void vProofFirstLastCol(int first, int last) const;
    void vProofFirstLastRowCol(int firstRow, int lastRow, int firstCol, int lastCol) const;

    // ------------------------------------------------------------------ events
    std::function<void(int iArg)> ERowSizeChanged;
    std::function<void(int iArg)> EColSizeChanged;
    std::function<void(int iArg1, int iArg2)> ERowsDeleted;
    std::function<void(int iArg1, int iArg2)> EColsDeleted;
    std::function<void(int iArg1, int iArg2)> ERowsInserted;
    std::function<void(int iArg)> ERowsAppended;
    std::function<void(int iArg1, int iArg2)> EColsInserted;
    std::function<void(int iArg)> EColsAppended;
    std::function<void(int rows, int cols)> ESizeChanged;
    std::function<void(int firstRow, int lastRow, int firstCol, int lastCol)> ECellSelectionChanged;
    std::function<void(int firstRow, int lastRow)> ERowSelectionChanged;
    std::function<void(int firstCol, int lastCol)> EColSelectionChanged;
    std::function<void(TSGChangeBehaviour* pBehaviour)> EBeforePopup;
    std::function<void(const char* cpName)> EAfterLoaded;
    std::function<bool(int row, int col)> ECellContentChanged;

    // The mouse: cells under it at the last move, press and release; the last shift state.
    int iMouseMoveCol = -1, iMouseMoveRow = -1, iMouseDownCol = -1, iMouseDownRow = -1,
        iMouseUpCol = -1, iMouseUpRow = -1;
    TShiftState ssLastShift = 0;
    bool bLeftButtonDown = false, bRightButtonDown = false;

  protected:
    // Storage hooks of the base grid: property objects go with their cells, and the width
    // table follows every text.
    void SizeChanged(int oldColCount, int oldRowCount) override;
    void RowsInserted(int at, int count) override;
    void RowsDeleted(int at, int count) override;
    void ColsInserted(int at, int count) override;
    void ColsDeleted(int at, int count) override;
    void ColMoved(int from, int to) override;
    void CellTextChanged(int col, int row, const AnsiString& before) override;

    // The property a cell is drawn and measured with, without creating one: the cell's own,
    // or the default of its kind.
    const TCellPropertyQx& rViewProperty(int col, int row) const;
    // The selection bounds (the normalised block) set for one transfer and put back after.
    struct TBounds {
        int iFirstRow, iLastRow, iFirstCol, iLastCol;
    };
    TBounds bounds() const;
    void setBounds(const TBounds& b);
    // Row and column operations without their guards and events: the shared steps.
    void enlargeTo(int lastRow, int lastCol);
    // A column's width from its width table (no pass over its cells).
    void vUpdateColWidth(int col);
    // The width of a text at a font size, measured on the grid's canvas.
    int measureText(const AnsiString& text, int points);
    // A property's formatting changed from `before` (font size matters for the width table).
    void fontSizeChanged(int col, int row, int oldPoints, int newPoints);
    // Rotates the header line's cells over columns [first, last) so that column `middle`'s
    // comes first, keeping the columns' width tables right.
    void rotateHeaderLine(int first, int middle, int last);
    // Renumbers the header cells from row `fromRow` and column `fromCol` on (all of them
    // the first time).
    void numberFrom(int fromRow, int fromCol);
    // The cells' properties of rows (columns) [at, at+count) take the formatting of `source`.
    void formatRowsLike(int at, int count, int source);
    void formatColsLike(int at, int count, int source);
    // Raises the three size events of an operation.
    void raiseRowEvents(const std::function<void()>& specific);
    void raiseColEvents(const std::function<void()>& specific);
    // Repaints after the selection changed and notifies listeners.
    void selectionChanged();

  private:
    friend struct TSGSelection;
    // Per column: how many cells have each text width; the column is as wide as the largest.
    using TWidthTable = std::map<int, int>;
    void widthAdd(int col, int width, int count = 1);
    void widthRemove(int col, int width, int count = 1);
    void rebuildWidthTable(int col);
    void deleteProperties(int firstCol, int lastCol, int firstRow, int lastRow);
    // One empty data cell, the fixation released: what deleting every data row or column leaves.
    void collapse();
    // A formatting value of one cell (user numbers), proved.
    template <class Get>
    auto formatOf(int row, int col, Get get);
    // Sets a formatting value over a block (user numbers, proved) where `differs` says it changes.
    template <class Differs, class Apply>
    void formatBlock(int firstRow, int lastRow, int firstCol, int lastCol, Differs differs,
                     Apply apply);
    // Reads a binary block at the selection's first cell: checks all of it, then runs
    // `beforeChange` (when set), then enlarges and fills. False for another block version.
    bool _bReadBinaerBlock(TStream* stream, const std::function<void()>& beforeChange);

    bool bUseNumbersWithoutFixed = true;
    std::unique_ptr<TCellPropertyQx> pDefaultProperty;
    TColumnPropertyQx defaultColumnProperty_, centredColumnProperty_;
    TLinePropertyQx defaultLineProperty_, centredLineProperty_;
    bool bInitialised = false;
    bool bCanEditCells = true;
    int iNumCol = 1;
    int iNumLin = 1;
    // Header cells made after numbering are centred like the numbered ones.
    bool numbered_ = false;
    TSGChangeBehaviour ChangeBehaviour;
    TPopupMenu* pPopupMenu = nullptr;    // owned through the component tree
    std::vector<TMenuItem*> menuItems_;  // owned by the menu
    TSGSelection Selection_;
    std::vector<TWidthTable> widths_;
};

namespace Stringgridqx {
// Puts TStringGridQx on the palette page "ORVI".
void Register();
}  // namespace Stringgridqx
