#include "qx/platform/Grids.h"

#include <algorithm>
#include <string>

// ---------------------------------------------------------------------------- TInplaceEdit

TInplaceEdit::TInplaceEdit(TCustomGrid* grid) : TEdit(grid), grid_(grid) {
    SetParent(grid);
    SetVisible(false);
    OnChange = [this](TObject*) {
        if (Modified()) grid_->SetEditText(grid_->Col(), grid_->Row(), Text());
    };
}

void TInplaceEdit::KeyDown(unsigned short& key, TShiftState shift) {
    TEdit::KeyDown(key, shift);
    switch (key) {
        case VK_RETURN:
        case VK_ESCAPE:
            grid_->SetEditorMode(false);
            key = 0;
            break;
        case VK_UP:
        case VK_DOWN:
        case VK_TAB:
        case VK_PRIOR:
        case VK_NEXT:
            grid_->SetEditorMode(false);
            grid_->KeyDown(key, shift);
            break;
        default: break;
    }
}

// ---------------------------------------------------------------------------- TCustomGrid

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner) {
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 320, 120);
    colWidths_.assign(5, defaultColWidth_);
    rowHeights_.assign(5, defaultRowHeight_);
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::SetColCount(int n) {
    n = std::max(1, n);
    const int oldCols = ColCount(), oldRows = RowCount();
    if (n == oldCols) return;
    colWidths_.resize(static_cast<size_t>(n), defaultColWidth_);
    if (fixedCols_ >= n) fixedCols_ = n - 1;
    SizeChanged(oldCols, oldRows);
    MoveCurrent(std::min(col_, n - 1), row_);
    SetLeftCol(leftCol_);
    Changed(pcContent);
    Invalidate();
}

void TCustomGrid::SetRowCount(int n) {
    n = std::max(1, n);
    const int oldCols = ColCount(), oldRows = RowCount();
    if (n == oldRows) return;
    rowHeights_.resize(static_cast<size_t>(n), defaultRowHeight_);
    if (fixedRows_ >= n) fixedRows_ = n - 1;
    SizeChanged(oldCols, oldRows);
    MoveCurrent(col_, std::min(row_, n - 1));
    SetTopRow(topRow_);
    Changed(pcContent);
    Invalidate();
}

void TCustomGrid::SetFixedCols(int n) {
    if (n < 0 || n >= ColCount()) throw Exception("Fixed column count must be less than column count");
    fixedCols_ = n;
    // The first scrolled column follows the fixed ones; fewer fixed columns must not leave
    // the freed columns scrolled out of sight.
    leftCol_ = n;
    if (col_ < n) MoveCurrent(n, row_);
    Changed(pcContent);
    Invalidate();
}

void TCustomGrid::SetFixedRows(int n) {
    if (n < 0 || n >= RowCount()) throw Exception("Fixed row count must be less than row count");
    fixedRows_ = n;
    topRow_ = n;
    if (row_ < n) MoveCurrent(col_, n);
    Changed(pcContent);
    Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int w) {
    defaultColWidth_ = w;
    std::fill(colWidths_.begin(), colWidths_.end(), w);
    Changed(pcContent);
    Invalidate();
}

void TCustomGrid::SetDefaultRowHeight(int h) {
    defaultRowHeight_ = h;
    std::fill(rowHeights_.begin(), rowHeights_.end(), h);
    Changed(pcContent);
    Invalidate();
}

int TCustomGrid::ColWidths(int col) const {
    return col >= 0 && col < ColCount() ? colWidths_[static_cast<size_t>(col)] : defaultColWidth_;
}

int TCustomGrid::RowHeights(int row) const {
    return row >= 0 && row < RowCount() ? rowHeights_[static_cast<size_t>(row)] : defaultRowHeight_;
}

void TCustomGrid::SetColWidths(int col, int w) {
    if (col < 0 || col >= ColCount() || colWidths_[static_cast<size_t>(col)] == w) return;
    colWidths_[static_cast<size_t>(col)] = w;
    Changed(pcContent);
    Invalidate();
}

void TCustomGrid::SetRowHeights(int row, int h) {
    if (row < 0 || row >= RowCount() || rowHeights_[static_cast<size_t>(row)] == h) return;
    rowHeights_[static_cast<size_t>(row)] = h;
    Changed(pcContent);
    Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions o) {
    options_ = o;
    if (!(o & goEditing)) SetEditorMode(false);
    Changed(pcState);
    Invalidate();
}

bool TCustomGrid::SelectCell(int col, int row) {
    bool can = true;
    if (OnSelectCell) OnSelectCell(this, col, row, can);
    return can;
}

bool TCustomGrid::MoveCurrent(int col, int row, bool extendSelection) {
    col = std::clamp(col, fixedCols_, ColCount() - 1);
    row = std::clamp(row, fixedRows_, RowCount() - 1);
    if (col < fixedCols_ || row < fixedRows_) return false;  // everything is fixed
    if ((col != col_ || row != row_) && !SelectCell(col, row)) return false;
    const bool moved = col != col_ || row != row_;
    if (moved) SetEditorMode(false);
    col_ = col;
    row_ = row;
    if (extendSelection && (options_ & goRangeSelect)) {
        selection_ = {std::min(anchor_.X, col), std::min(anchor_.Y, row), std::max(anchor_.X, col),
                      std::max(anchor_.Y, row)};
    } else {
        anchor_ = {col, row};
        selection_ = {col, row, col, row};
    }
    if (options_ & goRowSelect) {
        selection_.Left = fixedCols_;
        selection_.Right = ColCount() - 1;
    }
    ScrollIntoView(col, row);
    Invalidate();
    return true;
}

void TCustomGrid::SetSelection(const TGridRect& r) {
    TGridRect s{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                std::max(r.Top, r.Bottom)};
    s.Left = std::clamp(s.Left, fixedCols_, ColCount() - 1);
    s.Right = std::clamp(s.Right, fixedCols_, ColCount() - 1);
    s.Top = std::clamp(s.Top, fixedRows_, RowCount() - 1);
    s.Bottom = std::clamp(s.Bottom, fixedRows_, RowCount() - 1);
    selection_ = s;
    col_ = s.Left;
    row_ = s.Top;
    anchor_ = {s.Left, s.Top};
    Invalidate();
}

void TCustomGrid::SetTopRow(int r) {
    const int maxTop = std::max(fixedRows_, RowCount() - std::max(1, VisibleRowCount()));
    r = std::clamp(r, fixedRows_, std::max(fixedRows_, std::min(maxTop, RowCount() - 1)));
    if (r == topRow_) return;
    topRow_ = r;
    placeEditor();
    Changed(pcContent);
    Invalidate();
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomGrid::SetLeftCol(int c) {
    const int maxLeft = std::max(fixedCols_, ColCount() - std::max(1, VisibleColCount()));
    c = std::clamp(c, fixedCols_, std::max(fixedCols_, std::min(maxLeft, ColCount() - 1)));
    if (c == leftCol_) return;
    leftCol_ = c;
    placeEditor();
    Changed(pcContent);
    Invalidate();
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomGrid::SetScrollBarSpace(int right, int bottom) {
    const TPoint space{std::max(0, right), std::max(0, bottom)};
    if (space == scrollBarSpace_) return;
    scrollBarSpace_ = space;
    // The last page may hold fewer rows now: let the first shown row and column re-clamp.
    SetTopRow(topRow_);
    SetLeftCol(leftCol_);
    placeEditor();
    Changed(pcContent);
    Invalidate();
}

int TCustomGrid::VisibleRowCount() const {
    int y = 0;
    for (int r = 0; r < fixedRows_; ++r) y += RowHeights(r) + kGridLineWidth;
    int n = 0;
    for (int r = topRow_; r < RowCount(); ++r) {
        y += RowHeights(r) + kGridLineWidth;
        if (y > ClientHeight() + kGridLineWidth) break;
        ++n;
    }
    return n;
}

int TCustomGrid::VisibleColCount() const {
    int x = 0;
    for (int c = 0; c < fixedCols_; ++c) x += ColWidths(c) + kGridLineWidth;
    int n = 0;
    for (int c = leftCol_; c < ColCount(); ++c) {
        x += ColWidths(c) + kGridLineWidth;
        if (x > ClientWidth() + kGridLineWidth) break;
        ++n;
    }
    return n;
}

void TCustomGrid::ScrollIntoView(int col, int row) {
    if (row >= fixedRows_) {
        if (row < topRow_) {
            SetTopRow(row);
        } else {
            while (row >= topRow_ + std::max(1, VisibleRowCount()) && topRow_ < row) {
                const int before = topRow_;
                SetTopRow(topRow_ + 1);
                if (topRow_ == before) break;
            }
        }
    }
    if (col >= fixedCols_) {
        if (col < leftCol_) {
            SetLeftCol(col);
        } else {
            while (col >= leftCol_ + std::max(1, VisibleColCount()) && leftCol_ < col) {
                const int before = leftCol_;
                SetLeftCol(leftCol_ + 1);
                if (leftCol_ == before) break;
            }
        }
    }
}

int TCustomGrid::colLeft(int col) const {
    if (col < 0 || col >= ColCount() || (col >= fixedCols_ && col < leftCol_)) return -1;
    int x = 0;
    for (int c = 0; c < std::min(col, fixedCols_); ++c) x += ColWidths(c) + kGridLineWidth;
    if (col >= fixedCols_)
        for (int c = leftCol_; c < col; ++c) x += ColWidths(c) + kGridLineWidth;
    return x < ClientWidth() ? x : -1;
}

int TCustomGrid::rowTop(int row) const {
    if (row < 0 || row >= RowCount() || (row >= fixedRows_ && row < topRow_)) return -1;
    int y = 0;
    for (int r = 0; r < std::min(row, fixedRows_); ++r) y += RowHeights(r) + kGridLineWidth;
    if (row >= fixedRows_)
        for (int r = topRow_; r < row; ++r) y += RowHeights(r) + kGridLineWidth;
    return y < ClientHeight() ? y : -1;
}

TRect TCustomGrid::CellRect(int col, int row) const {
    const int x = colLeft(col), y = rowTop(row);
    if (x < 0 || y < 0) return {};
    return {x, y, x + ColWidths(col), y + RowHeights(row)};
}

TGridCoord TCustomGrid::MouseToCell(int x, int y) const {
    TGridCoord out;
    if (x < 0 || y < 0 || x >= ClientWidth() || y >= ClientHeight()) return out;
    auto find = [](int pos, int fixed, int first, int count, auto size) {
        int edge = 0;
        for (int i = 0; i < fixed; ++i) {
            edge += size(i) + kGridLineWidth;
            if (pos < edge) return i;
        }
        for (int i = first; i < count; ++i) {
            edge += size(i) + kGridLineWidth;
            if (pos < edge) return i;
        }
        return -1;
    };
    out.X = find(x, fixedCols_, leftCol_, ColCount(), [this](int i) { return ColWidths(i); });
    out.Y = find(y, fixedRows_, topRow_, RowCount(), [this](int i) { return RowHeights(i); });
    if (out.X < 0 || out.Y < 0) out = {};
    return out;
}

void TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const {
    TGridCoord c = MouseToCell(x, y);
    col = c.X;
    row = c.Y;
}

void TCustomGrid::SetEditorMode(bool on) {
    if (on && !(options_ & goEditing)) return;
    if (on) {
        if (!editor_) editor_ = new TInplaceEdit(this);
        {
            // Filling the editor is not a user edit.
            editor_->SetModified(false);
            editor_->SetText(GetEditText(col_, row_));
        }
        placeEditor();
        editor_->SetVisible(true);
        editor_->SetFocus();
    } else if (editor_ && editor_->Visible()) {
        editor_->SetVisible(false);
        SetFocus();
        Invalidate();
    }
}

void TCustomGrid::placeEditor() {
    if (!editor_) return;
    TRect r = CellRect(col_, row_);
    editor_->SetBounds(r.left, r.top, r.Width(), r.Height());
}

AnsiString TCustomGrid::CellText(int, int) const { return {}; }

AnsiString TCustomGrid::GetEditText(int col, int row) {
    AnsiString s = CellText(col, row);
    if (OnGetEditText) OnGetEditText(this, col, row, s);
    return s;
}

void TCustomGrid::SetEditText(int col, int row, const AnsiString& value) {
    if (OnSetEditText) OnSetEditText(this, col, row, value);
}

void TCustomGrid::SizeChanged(int, int) {}

TGridDrawState TCustomGrid::CellState(int col, int row) const {
    if (col < fixedCols_ || row < fixedRows_) return gdFixed;
    TGridDrawState s = 0;
    if (col == col_ && row == row_) s |= gdFocused;
    const bool focusedAlone = (s & gdFocused) && !(options_ & goDrawFocusSelected) &&
                              !(options_ & goRowSelect);
    if (selection_.Contains(col, row) && !focusedAlone) s |= gdSelected;
    return s;
}

void TCustomGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    if (defaultDrawing_) {
        TCanvas& c = Canvas();
        c.Brush.Color = (state & gdFixed) ? fixedColor_ : (state & gdSelected) ? clHighlight : Color();
        c.Font = Font();
        if (state & gdSelected) c.Font.Color = clHighlightText;
        c.FillRect(rect);
        const AnsiString text = CellText(col, row);
        if (!text.empty()) c.TextOut(rect.left + 2, rect.top + 2, text);
    }
    if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

void TCustomGrid::PaintTo(TCanvas& canvas) {
    SetCanvas(&canvas);
    std::vector<int> cols, rows;
    for (int c = 0; c < ColCount(); ++c)
        if (colLeft(c) >= 0) cols.push_back(c);
    for (int r = 0; r < RowCount(); ++r)
        if (rowTop(r) >= 0) rows.push_back(r);
    for (int r : rows)
        for (int c : cols) DrawCell(c, r, CellRect(c, r), CellState(c, r));
    // Grid lines right of and below every cell shown.
    canvas.Pen = TPen{};
    canvas.Pen.Color = clSilver;
    for (int c : cols) {
        if (!(options_ & (c < fixedCols_ ? goFixedVertLine : goVertLine))) continue;
        const int x = colLeft(c) + ColWidths(c);
        canvas.MoveTo(x, 0);
        canvas.LineTo(x, ClientHeight());
    }
    for (int r : rows) {
        if (!(options_ & (r < fixedRows_ ? goFixedHorzLine : goHorzLine))) continue;
        const int y = rowTop(r) + RowHeights(r);
        canvas.MoveTo(0, y);
        canvas.LineTo(ClientWidth(), y);
    }
    SetCanvas(nullptr);
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    SetFocus();
    TGridCoord c = MouseToCell(x, y);
    if (button == mbLeft && c.X >= fixedCols_ && c.Y >= fixedRows_) {
        MoveCurrent(c.X, c.Y, (shift & ssShift) != 0);
        selecting_ = true;
        if ((options_ & goAlwaysShowEditor) && (options_ & goEditing)) SetEditorMode(true);
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y) {
    if (selecting_ && (options_ & goRangeSelect)) {
        TGridCoord c = MouseToCell(x, y);
        if (c.X >= fixedCols_ && c.Y >= fixedRows_ && (c.X != col_ || c.Y != row_))
            MoveCurrent(c.X, c.Y, true);
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    selecting_ = false;
    TCustomControl::MouseUp(button, shift, x, y);
}

void TCustomGrid::DblClick() {
    if (options_ & goEditing) SetEditorMode(true);
    TCustomControl::DblClick();
}

void TCustomGrid::KeyDown(unsigned short& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    const bool extend = (shift & ssShift) != 0;
    const int page = std::max(1, VisibleRowCount());
    switch (key) {
        case VK_UP: MoveCurrent(col_, row_ - 1, extend); break;
        case VK_DOWN: MoveCurrent(col_, row_ + 1, extend); break;
        case VK_LEFT: MoveCurrent(col_ - 1, row_, extend); break;
        case VK_RIGHT: MoveCurrent(col_ + 1, row_, extend); break;
        case VK_PRIOR: MoveCurrent(col_, row_ - page, extend); break;
        case VK_NEXT: MoveCurrent(col_, row_ + page, extend); break;
        case VK_HOME: MoveCurrent(fixedCols_, (shift & ssCtrl) ? fixedRows_ : row_, extend); break;
        case VK_END:
            MoveCurrent(ColCount() - 1, (shift & ssCtrl) ? RowCount() - 1 : row_, extend);
            break;
        case VK_TAB:
            if (!(options_ & goTabs)) return;
            if (shift & ssShift) {
                if (col_ > fixedCols_) MoveCurrent(col_ - 1, row_);
                else MoveCurrent(ColCount() - 1, row_ - 1);
            } else {
                if (col_ < ColCount() - 1) MoveCurrent(col_ + 1, row_);
                else MoveCurrent(fixedCols_, row_ + 1);
            }
            break;
        case VK_F2:
        case VK_RETURN: SetEditorMode(!EditorMode()); break;
        default: return;
    }
}

void TCustomGrid::KeyPress(char& key) {
    TCustomControl::KeyPress(key);
    // Typing a character starts editing with that character.
    if ((options_ & goEditing) && !EditorMode() && static_cast<unsigned char>(key) >= 32) {
        SetEditorMode(true);
        if (editor_) editor_->UserInput(AnsiString(1, key));
        key = 0;
    }
}

// ---------------------------------------------------------------------------- TStringGrid

TStringGrid::TStringGrid(TComponent* owner) : TCustomGrid(owner) { SizeChanged(0, 0); }

const TStringGrid::TCell* TStringGrid::cell(int col, int row) const {
    if (row < 0 || col < 0 || row >= static_cast<int>(cells_.size())) return nullptr;
    const auto& r = cells_[static_cast<size_t>(row)];
    return col < static_cast<int>(r.size()) ? &r[static_cast<size_t>(col)] : nullptr;
}

AnsiString TStringGrid::Cells(int col, int row) const {
    const TCell* c = cell(col, row);
    return c ? c->text : AnsiString();
}

void TStringGrid::SetCells(int col, int row, const AnsiString& text) {
    if (!cell(col, row)) return;
    auto& c = cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
    if (c.text == text) return;
    c.text = text;
    if (EditorMode() && col == Col() && row == Row() && InplaceEditor()->Text() != text) {
        InplaceEditor()->SetModified(false);
        InplaceEditor()->SetText(text);
    }
    Invalidate();
}

TObject* TStringGrid::Objects(int col, int row) const {
    const TCell* c = cell(col, row);
    return c ? c->object : nullptr;
}

void TStringGrid::SetObjects(int col, int row, TObject* object) {
    if (cell(col, row)) cells_[static_cast<size_t>(row)][static_cast<size_t>(col)].object = object;
}

AnsiString TStringGrid::GetEditText(int col, int row) { return TCustomGrid::GetEditText(col, row); }

void TStringGrid::SetEditText(int col, int row, const AnsiString& value) {
    if (cell(col, row)) cells_[static_cast<size_t>(row)][static_cast<size_t>(col)].text = value;
    Invalidate();
    TCustomGrid::SetEditText(col, row, value);
}

void TStringGrid::SizeChanged(int oldColCount, int oldRowCount) {
    cells_.resize(static_cast<size_t>(RowCount()));
    for (auto& r : cells_) r.resize(static_cast<size_t>(ColCount()));
    TCustomGrid::SizeChanged(oldColCount, oldRowCount);
}
