// The string grid: TCustomGrid (layout, scrolling, current cell, selection, options, the
// in-place editor, painting cell by cell) and TStringGrid (cell texts and object slots).
//
// The grid computes everything itself; a widget set's peer only scrolls, forwards mouse and
// key input to MouseDown/MouseMove/MouseUp/KeyDown and paints through PaintTo on its canvas.
// Work grows with what is visible or what changed, not with the table: geometry comes from
// one TGridAxis per axis, painting visits the cells in view, rows are moved as whole arrays.
// The headless set paints on request onto a recording canvas. Ownership: the grid owns its
// cells' texts and its in-place editor; object slots are not owned. Threads: the thread that
// owns the windows.
#pragma once

#include <algorithm>
#include <functional>
#include <vector>

#include "qx/platform/Controls.h"

enum TGridOption : unsigned {
    goFixedVertLine = 1u << 0,
    goFixedHorzLine = 1u << 1,
    goVertLine = 1u << 2,
    goHorzLine = 1u << 3,
    goRangeSelect = 1u << 4,
    goDrawFocusSelected = 1u << 5,
    goRowSizing = 1u << 6,
    goColSizing = 1u << 7,
    goRowMoving = 1u << 8,
    goColMoving = 1u << 9,
    goEditing = 1u << 10,
    goTabs = 1u << 11,
    goRowSelect = 1u << 12,
    goAlwaysShowEditor = 1u << 13,
    goThumbTracking = 1u << 14,
};
using TGridOptions = unsigned;

enum TGridDrawStateFlag : unsigned { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
using TGridDrawState = unsigned;

// A block of cells, inclusive on all sides.
struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Contains(int col, int row) const {
        return col >= Left && col <= Right && row >= Top && row <= Bottom;
    }
    bool operator==(const TGridRect&) const = default;
};

struct TGridCoord {
    int X = -1, Y = -1;
};

using TDrawCellEvent =
    std::function<void(TObject* sender, int col, int row, const TRect& rect, TGridDrawState state)>;
using TSelectCellEvent = std::function<void(TObject* sender, int col, int row, bool& canSelect)>;
using TSetEditEvent =
    std::function<void(TObject* sender, int col, int row, const AnsiString& value)>;
using TGetEditEvent = std::function<void(TObject* sender, int col, int row, AnsiString& value)>;

namespace qx::platform {

// One axis of a grid's geometry: the entries' sizes (column widths or row heights), the fixed
// count and the first scrolled entry, with a grid line of LineWidth() pixels after each entry.
// Positions come from running totals kept in a Fenwick tree, so a size change, a position and
// the entry at a pixel cost O(log n); an insert, delete or move marks the totals stale and the
// next lookup rebuilds them in O(n). Nothing here walks the entries per lookup. The axis does
// not clamp First(): the grid does.
class TGridAxis {
  public:
    explicit TGridAxis(int count = 5, int defaultSize = 24, int lineWidth = 1);

    int Count() const { return static_cast<int>(sizes_.size()); }
    // New entries take DefaultSize(); never fewer than 0.
    void SetCount(int n);
    int DefaultSize() const { return defaultSize_; }
    // Sets the default and every entry's size.
    void SetDefaultSize(int s);
    // DefaultSize() outside the range.
    int Size(int i) const;
    // Ignored outside the range. Negative sizes are kept but take no room.
    void SetSize(int i, int s);
    int LineWidth() const { return line_; }

    int Fixed() const { return fixed_; }
    void SetFixed(int n) { fixed_ = n; }
    int First() const { return first_; }
    void SetFirst(int i) { first_ = i; }

    // `n` entries of the default size at `at` (0..Count()).
    void Insert(int at, int n);
    // `n` entries from `at`; the range is cut to the entries there are.
    void Erase(int at, int n);
    // Entry `from` taken out and put back at index `to`.
    void Move(int from, int to);

    // Start of entry i in client pixels: fixed entries from 0, scrolled ones from First()
    // right after the fixed ones; -1 for an entry scrolled out before First() or out of range.
    int Position(int i) const;
    // The entry at client pixel `px` (the line after an entry belongs to it); -1 for none.
    int IndexAt(int px) const;
    // Scrolled entries from First() that fit wholly into `extent` pixels.
    int VisibleCount(int extent) const;
    // Scrolled entries from First() that start inside `extent` pixels (the last may be cut):
    // First()..last, with last < First() when none does.
    struct TRange {
        int first, last;
    };
    TRange VisibleRange(int extent) const;
    // The smallest first scrolled entry that shows entry `last` wholly within `extent`
    // (at least Fixed(), at most `last`).
    int FirstToShow(int last, int extent) const;
    // The first scrolled entry of the last full page: the largest useful First().
    int LastPageStart(int extent) const { return FirstToShow(Count() - 1, extent); }
    // All entries with the lines between them.
    int Total() const;

    // Entries and tree nodes visited by lookups since the last ResetSteps(): lets tests prove
    // that lookups do not walk the entries.
    unsigned long long Steps() const { return steps_; }
    void ResetSteps() { steps_ = 0; }

  private:
    long long room(int i) const;
    long long prefix(int j) const;              // sum of room(0..j-1)
    int largestAtMost(long long target) const;  // largest j in 0..n with prefix(j) <= target
    void add(int i, long long delta);
    void rebuild() const;

    std::vector<int> sizes_;
    mutable std::vector<long long> tree_;  // 1-based Fenwick tree over room(i)
    mutable bool stale_ = true;
    mutable unsigned long long steps_ = 0;
    int defaultSize_, line_, fixed_ = 0, first_ = 0;
};

// Takes entry `from` out of `v` and puts it back at index `to` (both in range).
template <class T>
void MoveEntry(std::vector<T>& v, int from, int to) {
    const auto b = v.begin();
    if (from < to)
        std::rotate(b + from, b + from + 1, b + to + 1);
    else
        std::rotate(b + to, b + from, b + from + 1);
}

}  // namespace qx::platform

class TCustomGrid;

// The grid's in-place editor: an edit over the current cell. Typing goes through UserInput,
// which reports the text to the grid (SetEditText) at once.
class TInplaceEdit : public TEdit {
  public:
    explicit TInplaceEdit(TCustomGrid* grid);
    void KeyDown(unsigned short& key, TShiftState shift) override;

  private:
    TCustomGrid* grid_;
};

class TCustomGrid : public TCustomControl {
  public:
    static constexpr int kDefaultColWidth = 64, kDefaultRowHeight = 24, kGridLineWidth = 1;

    explicit TCustomGrid(TComponent* owner);
    ~TCustomGrid() override;
    std::string_view PeerClass() const override { return "TCustomGrid"; }

    int ColCount() const { return cols_.Count(); }
    int RowCount() const { return rows_.Count(); }
    void SetColCount(int n);
    void SetRowCount(int n);
    int FixedCols() const { return cols_.Fixed(); }
    int FixedRows() const { return rows_.Fixed(); }
    // Must stay below the column (row) count, as in the framework; throws Exception otherwise.
    void SetFixedCols(int n);
    void SetFixedRows(int n);

    int DefaultColWidth() const { return cols_.DefaultSize(); }
    int DefaultRowHeight() const { return rows_.DefaultSize(); }
    // Sets every column's (row's) size, as the framework does.
    void SetDefaultColWidth(int w);
    void SetDefaultRowHeight(int h);
    int ColWidths(int col) const { return cols_.Size(col); }
    int RowHeights(int row) const { return rows_.Size(row); }
    void SetColWidths(int col, int w);
    void SetRowHeights(int row, int h);
    int GridLineWidth() const { return kGridLineWidth; }
    // The geometry of each axis, for peers and for code that lays out over the grid.
    const qx::platform::TGridAxis& ColAxis() const { return cols_; }
    const qx::platform::TGridAxis& RowAxis() const { return rows_; }

    // Structural changes: sizes, texts and object slots move together; the current cell and
    // the selection keep to their cells where those remain. `at` may equal the count (append).
    void InsertRows(int at, int count = 1);
    void DeleteRows(int at, int count = 1);
    void MoveRow(int from, int to);
    void InsertCols(int at, int count = 1);
    void DeleteCols(int at, int count = 1);
    void MoveCol(int from, int to);

    // Batching: between BeginUpdate and the matching EndUpdate the peer is neither told of
    // changes nor asked to repaint; EndUpdate sends what was merged in one update. Nestable.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }
    // Partial repaints (through the peer; nothing when the cells are not shown).
    void InvalidateCell(int col, int row);
    void InvalidateRow(int row);
    void InvalidateCol(int col);

    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions o);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool v) { defaultDrawing_ = v; }
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor c) {
        fixedColor_ = c;
        invalidateAll();
    }

    // The current cell.
    int Col() const { return col_; }
    int Row() const { return row_; }
    void SetCol(int c) { MoveCurrent(c, row_); }
    void SetRow(int r) { MoveCurrent(col_, r); }
    // Moves the current cell if OnSelectCell allows it; the selection becomes that cell.
    bool MoveCurrent(int col, int row, bool extendSelection = false);

    TGridRect Selection() const { return selection_; }
    void SetSelection(const TGridRect& r);

    // Scrolling: the first scrolled (non-fixed) row and column shown.
    int TopRow() const { return rows_.First(); }
    int LeftCol() const { return cols_.First(); }
    void SetTopRow(int r);
    void SetLeftCol(int c);
    // The client area less what a widget set's scroll bars take (none in the headless set).
    int ClientWidth() const override { return std::max(0, Width() - scrollBarSpace_.x); }
    int ClientHeight() const override { return std::max(0, Height() - scrollBarSpace_.y); }
    void SetClientWidth(int w) override { SetWidth(w + scrollBarSpace_.x); }
    void SetClientHeight(int h) override { SetHeight(h + scrollBarSpace_.y); }
    // Set by a peer whose scroll bars cover `right` pixels at the right and `bottom` pixels at
    // the bottom, so that scrolling can bring every row and column fully into view.
    void SetScrollBarSpace(int right, int bottom);

    // Scrolled rows (columns) that fit wholly into the client area.
    int VisibleRowCount() const { return rows_.VisibleCount(ClientHeight()); }
    int VisibleColCount() const { return cols_.VisibleCount(ClientWidth()); }

    // The cell at client point (x, y); -1, -1 when there is none.
    TGridCoord MouseToCell(int x, int y) const;
    void MouseToCell(int x, int y, int& col, int& row) const;
    // The cell's rectangle in client coordinates; empty when it is not shown.
    TRect CellRect(int col, int row) const;

    // The editor.
    bool EditorMode() const { return editor_ && editor_->Visible(); }
    void SetEditorMode(bool on);
    TInplaceEdit* InplaceEditor() const { return editor_; }

    // Painting on `canvas`: the fixed cells and the scrolled cells in view through DrawCell,
    // then the grid lines. With `clip`, only cells that reach into it are drawn.
    void PaintTo(TCanvas& canvas) override { PaintTo(canvas, ClientRect()); }
    void PaintTo(TCanvas& canvas, const TRect& clip);
    // The state a cell is drawn with.
    TGridDrawState CellState(int col, int row) const;

    // Input.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(unsigned short& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void DblClick() override;

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TSetEditEvent OnSetEditText;
    TGetEditEvent OnGetEditText;
    TNotifyEvent OnTopLeftChanged;

  protected:
    friend class TInplaceEdit;
    // Draws one cell: the default background and text when DefaultDrawing, then OnDrawCell.
    virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
    // The text the default drawing shows (empty in the base grid).
    virtual AnsiString CellText(int col, int row) const;
    virtual AnsiString GetEditText(int col, int row);
    virtual void SetEditText(int col, int row, const AnsiString& value);
    virtual bool SelectCell(int col, int row);
    // The column or row count changed (old counts given).
    virtual void SizeChanged(int oldColCount, int oldRowCount);
    // Storage follows a structural change of the axis (the sizes have already moved).
    virtual void RowsInserted(int at, int count);
    virtual void RowsDeleted(int at, int count);
    virtual void RowMoved(int from, int to);
    virtual void ColsInserted(int at, int count);
    virtual void ColsDeleted(int at, int count);
    virtual void ColMoved(int from, int to);
    void ScrollIntoView(int col, int row);
    // Tells the peer of a change, or merges it into the batch.
    void Notify(unsigned what);

  private:
    void placeEditor();
    void invalidateAll();
    // After a structural change: the current cell, selection and scroll position in range.
    void keepInRange();
    // Left (top) edge of a shown column (row) in client coordinates; -1 when it is not shown.
    int colLeft(int col) const;
    int rowTop(int row) const;

    qx::platform::TGridAxis cols_{5, kDefaultColWidth, kGridLineWidth};
    qx::platform::TGridAxis rows_{5, kDefaultRowHeight, kGridLineWidth};
    TGridOptions options_ =
        goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    bool defaultDrawing_ = true;
    TColor fixedColor_ = clBtnFace;
    int col_ = 1, row_ = 1;
    TGridRect selection_{1, 1, 1, 1};
    bool selecting_ = false;
    TGridCoord anchor_;
    TInplaceEdit* editor_ = nullptr;
    TPoint scrollBarSpace_;
    int updateCount_ = 0;
    unsigned pendingChange_ = 0;
    bool pendingInvalidate_ = false;
};

// Holds a grid's peer updates from construction to destruction (BeginUpdate/EndUpdate), so
// that an operation touching many cells notifies the peer once, however it ends.
class TGridUpdateScope {
  public:
    explicit TGridUpdateScope(TCustomGrid& grid) : grid_(grid) { grid_.BeginUpdate(); }
    ~TGridUpdateScope() { grid_.EndUpdate(); }
    TGridUpdateScope(const TGridUpdateScope&) = delete;
    TGridUpdateScope& operator=(const TGridUpdateScope&) = delete;

  private:
    TCustomGrid& grid_;
};

// A grid of texts with an object slot per cell.
class TStringGrid : public TCustomGrid {
  public:
    explicit TStringGrid(TComponent* owner);

    // Out-of-range cells read as empty and ignore writes.
    AnsiString Cells(int col, int row) const;
    // The cell's text without a copy; valid until the cell's text changes or the grid's
    // structure does. An empty string for cells out of range.
    const AnsiString& CellRef(int col, int row) const;
    void SetCells(int col, int row, const AnsiString& text);
    TObject* Objects(int col, int row) const;
    void SetObjects(int col, int row, TObject* object);
    // The first AnchoredCols() columns keep their cells in place when rows are inserted,
    // deleted or moved (a column of row numbers); the other cells move with their rows.
    // Inserting rows adds empty anchored cells at the end; deleting drops the last ones.
    int AnchoredCols() const { return anchored_; }
    void SetAnchoredCols(int n);

  protected:
    AnsiString CellText(int col, int row) const override { return Cells(col, row); }
    void SetEditText(int col, int row, const AnsiString& value) override;
    void SizeChanged(int oldColCount, int oldRowCount) override;
    void RowsInserted(int at, int count) override;
    void RowsDeleted(int at, int count) override;
    void RowMoved(int from, int to) override;
    void ColsInserted(int at, int count) override;
    void ColsDeleted(int at, int count) override;
    void ColMoved(int from, int to) override;
    // A cell's text changed (by SetCells or the editor); `before` is the old text.
    virtual void CellTextChanged(int col, int row, const AnsiString& before);
    // Rotates the cells (texts and object slots) of row `row` over columns [first, last) so
    // that the cell at column `middle` comes to column `first`. Nothing is reported: the set
    // of texts stays the same.
    void RotateRowCells(int row, int first, int middle, int last);

  private:
    struct TCell {
        AnsiString text;
        TObject* object = nullptr;
    };
    using TRowCells = std::vector<TCell>;
    const TCell* cell(int col, int row) const;
    // The cell to write, allocating its row's cells on the first write; null out of range.
    TCell* writable(int col, int row);
    // One array per row, moved as a whole on structural changes. A row's array is empty
    // until a cell of it is written, then holds ColCount() cells (in grids of at most
    // kDenseRowLimit columns) or the cells up to the last one written.
    static constexpr int kDenseRowLimit = 1024;
    int anchored_ = 0;
    // The anchored columns' cells, [col][row]; a column is sized on its first write.
    std::vector<TRowCells> anchoredCells_;
    // Runs `op`, a column change that reaches the anchored columns, with them un-anchored.
    template <class Op>
    void withoutAnchors(int firstCol, Op op);
    std::vector<TRowCells> cells_;
};
