// The string grid: TCustomGrid (layout, scrolling, current cell, selection, options, the
// in-place editor, painting cell by cell) and TStringGrid (cell texts and object slots).
//
// The grid computes everything itself; a widget set's peer only scrolls, forwards mouse and
// key input to MouseDown/MouseMove/MouseUp/KeyDown and paints through PaintTo on its canvas.
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

using TDrawCellEvent = std::function<void(TObject* sender, int col, int row, const TRect& rect,
                                          TGridDrawState state)>;
using TSelectCellEvent = std::function<void(TObject* sender, int col, int row, bool& canSelect)>;
using TSetEditEvent =
    std::function<void(TObject* sender, int col, int row, const AnsiString& value)>;
using TGetEditEvent = std::function<void(TObject* sender, int col, int row, AnsiString& value)>;

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

    int ColCount() const { return static_cast<int>(colWidths_.size()); }
    int RowCount() const { return static_cast<int>(rowHeights_.size()); }
    void SetColCount(int n);
    void SetRowCount(int n);
    int FixedCols() const { return fixedCols_; }
    int FixedRows() const { return fixedRows_; }
    // Must stay below the column (row) count, as in the framework; throws Exception otherwise.
    void SetFixedCols(int n);
    void SetFixedRows(int n);

    int DefaultColWidth() const { return defaultColWidth_; }
    int DefaultRowHeight() const { return defaultRowHeight_; }
    // Sets every column's (row's) size, as the framework does.
    void SetDefaultColWidth(int w);
    void SetDefaultRowHeight(int h);
    int ColWidths(int col) const;
    int RowHeights(int row) const;
    void SetColWidths(int col, int w);
    void SetRowHeights(int row, int h);
    int GridLineWidth() const { return kGridLineWidth; }

    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions o);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool v) { defaultDrawing_ = v; }
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor c) { fixedColor_ = c; Invalidate(); }

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
    int TopRow() const { return topRow_; }
    int LeftCol() const { return leftCol_; }
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
    int VisibleRowCount() const;
    int VisibleColCount() const;

    // The cell at client point (x, y); -1, -1 when there is none.
    TGridCoord MouseToCell(int x, int y) const;
    void MouseToCell(int x, int y, int& col, int& row) const;
    // The cell's rectangle in client coordinates; empty when it is not shown.
    TRect CellRect(int col, int row) const;

    // The editor.
    bool EditorMode() const { return editor_ && editor_->Visible(); }
    void SetEditorMode(bool on);
    TInplaceEdit* InplaceEditor() const { return editor_; }

    // Painting: every shown cell through DrawCell, then the grid lines, on `canvas`.
    void PaintTo(TCanvas& canvas) override;
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
    void ScrollIntoView(int col, int row);

private:
    void placeEditor();
    // Left (top) edge of a shown column (row) in client coordinates; -1 when it is not shown.
    int colLeft(int col) const;
    int rowTop(int row) const;

    std::vector<int> colWidths_, rowHeights_;
    int fixedCols_ = 1, fixedRows_ = 1;
    int defaultColWidth_ = kDefaultColWidth, defaultRowHeight_ = kDefaultRowHeight;
    TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine |
                            goRangeSelect;
    bool defaultDrawing_ = true;
    TColor fixedColor_ = clBtnFace;
    int col_ = 1, row_ = 1, topRow_ = 1, leftCol_ = 1;
    TGridRect selection_{1, 1, 1, 1};
    bool selecting_ = false;
    TGridCoord anchor_;
    TInplaceEdit* editor_ = nullptr;
    TPoint scrollBarSpace_;
};

// A grid of texts with an object slot per cell.
class TStringGrid : public TCustomGrid {
public:
    explicit TStringGrid(TComponent* owner);

    // Out-of-range cells read as empty and ignore writes.
    AnsiString Cells(int col, int row) const;
    void SetCells(int col, int row, const AnsiString& text);
    TObject* Objects(int col, int row) const;
    void SetObjects(int col, int row, TObject* object);

protected:
    AnsiString CellText(int col, int row) const override { return Cells(col, row); }
    AnsiString GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const AnsiString& value) override;
    void SizeChanged(int oldColCount, int oldRowCount) override;

private:
    struct TCell {
        AnsiString text;
        TObject* object = nullptr;
    };
    const TCell* cell(int col, int row) const;
    std::vector<std::vector<TCell>> cells_;  // [row][col]
};
