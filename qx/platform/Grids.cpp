#include "qx/platform/Grids.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>

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
        default:
            break;
    }
}

// ---------------------------------------------------------------------------- TGridAxis

namespace qx::platform {

namespace {
int lowbit(int k) {
    return k & -k;
}
}  // namespace

TGridAxis::TGridAxis(int count, int defaultSize, int lineWidth)
    : sizes_(static_cast<size_t>(std::max(0, count)), defaultSize),
      defaultSize_(defaultSize),
      line_(lineWidth) {}

long long TGridAxis::room(int i) const {
    return std::max(0, sizes_[static_cast<size_t>(i)]) + static_cast<long long>(line_);
}

void TGridAxis::rebuild() const {
    const int n = Count();
    tree_.assign(static_cast<size_t>(n) + 1, 0);
    for (int k = 1; k <= n; ++k) {
        tree_[static_cast<size_t>(k)] += room(k - 1);
        const int parent = k + lowbit(k);
        if (parent <= n) tree_[static_cast<size_t>(parent)] += tree_[static_cast<size_t>(k)];
    }
    steps_ += static_cast<unsigned long long>(n);
    stale_ = false;
}

long long TGridAxis::prefix(int j) const {
    if (stale_) rebuild();
    long long sum = 0;
    for (int k = std::clamp(j, 0, Count()); k > 0; k -= lowbit(k)) {
        sum += tree_[static_cast<size_t>(k)];
        ++steps_;
    }
    return sum;
}

int TGridAxis::largestAtMost(long long target) const {
    if (stale_) rebuild();
    if (target < 0) return -1;
    const int n = Count();
    int pos = 0, step = 1;
    while (step * 2 <= n) step *= 2;
    for (; step > 0; step /= 2) {
        ++steps_;
        const int next = pos + step;
        if (next <= n && tree_[static_cast<size_t>(next)] <= target) {
            pos = next;
            target -= tree_[static_cast<size_t>(next)];
        }
    }
    return pos;
}

void TGridAxis::add(int i, long long delta) {
    if (stale_ || delta == 0) return;
    for (int k = i + 1; k <= Count(); k += lowbit(k)) tree_[static_cast<size_t>(k)] += delta;
}

void TGridAxis::SetCount(int n) {
    n = std::max(0, n);
    const int old = Count();
    if (n == old) return;
    sizes_.resize(static_cast<size_t>(n), defaultSize_);
    if (stale_) return;
    if (n < old) {
        // A node covers only entries up to its own index: a cut tree stays valid.
        tree_.resize(static_cast<size_t>(n) + 1);
    } else if (n - old <= 64) {
        // Appending one by one (a row at a time) stays O(log n) per entry.
        for (int i = old; i < n; ++i) {
            const int k = i + 1;
            tree_.push_back(room(i) + prefix(i) - prefix(k - lowbit(k)));
        }
    } else {
        stale_ = true;
    }
}

void TGridAxis::SetDefaultSize(int s) {
    defaultSize_ = s;
    std::fill(sizes_.begin(), sizes_.end(), s);
    stale_ = true;
}

int TGridAxis::Size(int i) const {
    return i >= 0 && i < Count() ? sizes_[static_cast<size_t>(i)] : defaultSize_;
}

void TGridAxis::SetSize(int i, int s) {
    if (i < 0 || i >= Count()) return;
    const long long before = room(i);
    sizes_[static_cast<size_t>(i)] = s;
    add(i, room(i) - before);
}

void TGridAxis::Insert(int at, int n) {
    at = std::clamp(at, 0, Count());
    if (n <= 0) return;
    if (at == Count()) return SetCount(Count() + n);
    sizes_.insert(sizes_.begin() + at, static_cast<size_t>(n), defaultSize_);
    stale_ = true;
}

void TGridAxis::Erase(int at, int n) {
    if (at < 0 || at >= Count() || n <= 0) return;
    n = std::min(n, Count() - at);
    if (at + n == Count()) return SetCount(at);
    sizes_.erase(sizes_.begin() + at, sizes_.begin() + at + n);
    stale_ = true;
}

void TGridAxis::Move(int from, int to) {
    if (from < 0 || to < 0 || from >= Count() || to >= Count() || from == to) return;
    MoveEntry(sizes_, from, to);
    stale_ = true;
}

int TGridAxis::Position(int i) const {
    if (i < 0 || i >= Count()) return -1;
    if (i < fixed_) return static_cast<int>(prefix(i));
    if (i < first_) return -1;
    return static_cast<int>(prefix(fixed_) + prefix(i) - prefix(first_));
}

int TGridAxis::IndexAt(int px) const {
    if (px < 0) return -1;
    const long long fixedRoom = prefix(fixed_);
    if (px < fixedRoom) return largestAtMost(px);
    const int i = largestAtMost(px - fixedRoom + prefix(first_));
    return i < Count() ? i : -1;
}

int TGridAxis::VisibleCount(int extent) const {
    // The line after the last entry may fall outside the extent.
    const int j = largestAtMost(prefix(first_) + extent + line_ - prefix(fixed_));
    return std::max(0, j - first_);
}

TGridAxis::TRange TGridAxis::VisibleRange(int extent) const {
    const int j = largestAtMost(prefix(first_) + extent - 1 - prefix(fixed_));
    return {first_, std::min(j, Count() - 1)};
}

int TGridAxis::FirstToShow(int last, int extent) const {
    last = std::min(last, Count() - 1);
    if (last < fixed_) return fixed_;
    const long long room = extent + line_ - prefix(fixed_);
    const int t = largestAtMost(prefix(last + 1) - room - 1) + 1;
    return std::clamp(t, fixed_, last);
}

int TGridAxis::Total() const {
    const long long total = prefix(Count()) - line_;
    return static_cast<int>(std::clamp<long long>(total, 0, std::numeric_limits<int>::max()));
}

}  // namespace qx::platform

// ---------------------------------------------------------------------------- TCustomGrid

namespace {
// Hands the grid a canvas for one paint and gives the measuring canvas back however the
// paint ends.
class TCanvasScope {
  public:
    TCanvasScope(TCustomControl& c, TCanvas& canvas) : c_(c) { c_.SetCanvas(&canvas); }
    ~TCanvasScope() { c_.SetCanvas(nullptr); }
    TCanvasScope(const TCanvasScope&) = delete;
    TCanvasScope& operator=(const TCanvasScope&) = delete;

  private:
    TCustomControl& c_;
};

bool intersects(const TRect& a, const TRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
}  // namespace

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner) {
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 320, 120);
    cols_.SetFixed(1);
    cols_.SetFirst(1);
    rows_.SetFixed(1);
    rows_.SetFirst(1);
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::Notify(unsigned what) {
    if (updateCount_ > 0)
        pendingChange_ |= what;
    else
        Changed(what);
}

void TCustomGrid::invalidateAll() {
    if (updateCount_ > 0)
        pendingInvalidate_ = true;
    else
        Invalidate();
}

void TCustomGrid::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ > 0) return;
    const unsigned change = std::exchange(pendingChange_, 0u);
    const bool repaint = std::exchange(pendingInvalidate_, false);
    if (change) Changed(change);
    if (repaint || change) Invalidate();
}

void TCustomGrid::InvalidateCell(int col, int row) {
    if (!Peer()) return;
    if (updateCount_ > 0) {
        pendingInvalidate_ = true;
        return;
    }
    const int x = colLeft(col), y = rowTop(row);
    // The grid lines right of and below the cell belong to it.
    if (x >= 0 && y >= 0)
        InvalidateRect(
            {x, y, x + ColWidths(col) + kGridLineWidth, y + RowHeights(row) + kGridLineWidth});
}

void TCustomGrid::InvalidateRow(int row) {
    if (!Peer()) return;
    if (updateCount_ > 0) {
        pendingInvalidate_ = true;
        return;
    }
    const int y = rowTop(row);
    if (y >= 0) InvalidateRect({0, y, ClientWidth(), y + RowHeights(row) + kGridLineWidth});
}

void TCustomGrid::InvalidateCol(int col) {
    if (!Peer()) return;
    if (updateCount_ > 0) {
        pendingInvalidate_ = true;
        return;
    }
    const int x = colLeft(col);
    if (x >= 0) InvalidateRect({x, 0, x + ColWidths(col) + kGridLineWidth, ClientHeight()});
}

void TCustomGrid::SetColCount(int n) {
    n = std::max(1, n);
    const int oldCols = ColCount(), oldRows = RowCount();
    if (n == oldCols) return;
    cols_.SetCount(n);
    if (FixedCols() >= n) cols_.SetFixed(n - 1);
    SizeChanged(oldCols, oldRows);
    MoveCurrent(std::min(col_, n - 1), row_);
    SetLeftCol(LeftCol());
    Notify(pcContent);
    invalidateAll();
}

void TCustomGrid::SetRowCount(int n) {
    n = std::max(1, n);
    const int oldCols = ColCount(), oldRows = RowCount();
    if (n == oldRows) return;
    rows_.SetCount(n);
    if (FixedRows() >= n) rows_.SetFixed(n - 1);
    SizeChanged(oldCols, oldRows);
    MoveCurrent(col_, std::min(row_, n - 1));
    SetTopRow(TopRow());
    Notify(pcContent);
    invalidateAll();
}

void TCustomGrid::SetFixedCols(int n) {
    if (n < 0 || n >= ColCount())
        throw Exception("Fixed column count must be less than column count");
    cols_.SetFixed(n);
    // The first scrolled column follows the fixed ones; fewer fixed columns must not leave
    // the freed columns scrolled out of sight.
    cols_.SetFirst(n);
    if (col_ < n) MoveCurrent(n, row_);
    placeEditor();
    Notify(pcContent);
    invalidateAll();
}

void TCustomGrid::SetFixedRows(int n) {
    if (n < 0 || n >= RowCount()) throw Exception("Fixed row count must be less than row count");
    rows_.SetFixed(n);
    rows_.SetFirst(n);
    if (row_ < n) MoveCurrent(col_, n);
    placeEditor();
    Notify(pcContent);
    invalidateAll();
}

void TCustomGrid::SetDefaultColWidth(int w) {
    cols_.SetDefaultSize(w);
    placeEditor();
    Notify(pcContent);
    invalidateAll();
}

void TCustomGrid::SetDefaultRowHeight(int h) {
    rows_.SetDefaultSize(h);
    placeEditor();
    Notify(pcContent);
    invalidateAll();
}

void TCustomGrid::SetColWidths(int col, int w) {
    if (col < 0 || col >= ColCount() || cols_.Size(col) == w) return;
    cols_.SetSize(col, w);
    placeEditor();
    Notify(pcContent);
    invalidateAll();
}

void TCustomGrid::SetRowHeights(int row, int h) {
    if (row < 0 || row >= RowCount() || rows_.Size(row) == h) return;
    rows_.SetSize(row, h);
    placeEditor();
    Notify(pcContent);
    invalidateAll();
}

namespace {
// Where index `i` goes when `count` entries are inserted at `at` (count > 0) or deleted from
// `at` (count < 0); a deleted index goes to the first entry after the gap.
int shifted(int i, int at, int count) {
    if (i < at) return i;
    if (count > 0) return i + count;
    return std::max(at, i + count);
}
}  // namespace

void TCustomGrid::keepInRange() {
    const int lastCol = ColCount() - 1, lastRow = RowCount() - 1;
    col_ = std::clamp(col_, std::min(FixedCols(), lastCol), lastCol);
    row_ = std::clamp(row_, std::min(FixedRows(), lastRow), lastRow);
    auto clampRect = [&](TGridRect r) {
        r.Left = std::clamp(r.Left, FixedCols(), lastCol);
        r.Right = std::clamp(r.Right, FixedCols(), lastCol);
        r.Top = std::clamp(r.Top, FixedRows(), lastRow);
        r.Bottom = std::clamp(r.Bottom, FixedRows(), lastRow);
        return r;
    };
    selection_ = clampRect(selection_);
    anchor_ = {std::clamp(anchor_.X, FixedCols(), lastCol),
               std::clamp(anchor_.Y, FixedRows(), lastRow)};
    BeginUpdate();
    SetTopRow(TopRow());
    SetLeftCol(LeftCol());
    EndUpdate();
    placeEditor();
}

void TCustomGrid::InsertRows(int at, int count) {
    at = std::clamp(at, 0, RowCount());
    if (count <= 0) return;
    rows_.Insert(at, count);
    RowsInserted(at, count);
    row_ = shifted(row_, at, count);
    selection_.Top = shifted(selection_.Top, at, count);
    selection_.Bottom = shifted(selection_.Bottom, at, count);
    anchor_.Y = shifted(anchor_.Y, at, count);
    keepInRange();
    Notify(pcContent);
    invalidateAll();
}

void TCustomGrid::DeleteRows(int at, int count) {
    if (at < 0 || at >= RowCount() || count <= 0) return;
    count = std::min(count, RowCount() - at);
    if (row_ >= at && row_ < at + count) SetEditorMode(false);
    if (count == RowCount()) {
        // A grid keeps one row, as SetRowCount does: the last of the range stays.
        if (--count == 0) return;
    }
    rows_.Erase(at, count);
    if (FixedRows() >= RowCount()) rows_.SetFixed(RowCount() - 1);
    RowsDeleted(at, count);
    row_ = shifted(row_, at, -count);
    selection_.Top = shifted(selection_.Top, at, -count);
    selection_.Bottom = shifted(selection_.Bottom, at, -count);
    anchor_.Y = shifted(anchor_.Y, at, -count);
    keepInRange();
    Notify(pcContent);
    invalidateAll();
}

void TCustomGrid::MoveRow(int from, int to) {
    if (from < 0 || to < 0 || from >= RowCount() || to >= RowCount() || from == to) return;
    SetEditorMode(false);  // the current cell's text changes under it
    rows_.Move(from, to);
    RowMoved(from, to);
    placeEditor();
    Notify(pcContent);
    invalidateAll();
}

void TCustomGrid::InsertCols(int at, int count) {
    at = std::clamp(at, 0, ColCount());
    if (count <= 0) return;
    cols_.Insert(at, count);
    ColsInserted(at, count);
    col_ = shifted(col_, at, count);
    selection_.Left = shifted(selection_.Left, at, count);
    selection_.Right = shifted(selection_.Right, at, count);
    anchor_.X = shifted(anchor_.X, at, count);
    keepInRange();
    Notify(pcContent);
    invalidateAll();
}

void TCustomGrid::DeleteCols(int at, int count) {
    if (at < 0 || at >= ColCount() || count <= 0) return;
    count = std::min(count, ColCount() - at);
    if (col_ >= at && col_ < at + count) SetEditorMode(false);
    if (count == ColCount() && --count == 0) return;
    cols_.Erase(at, count);
    if (FixedCols() >= ColCount()) cols_.SetFixed(ColCount() - 1);
    ColsDeleted(at, count);
    col_ = shifted(col_, at, -count);
    selection_.Left = shifted(selection_.Left, at, -count);
    selection_.Right = shifted(selection_.Right, at, -count);
    anchor_.X = shifted(anchor_.X, at, -count);
    keepInRange();
    Notify(pcContent);
    invalidateAll();
}

void TCustomGrid::MoveCol(int from, int to) {
    if (from < 0 || to < 0 || from >= ColCount() || to >= ColCount() || from == to) return;
    SetEditorMode(false);
    cols_.Move(from, to);
    ColMoved(from, to);
    placeEditor();
    Notify(pcContent);
    invalidateAll();
}

void TCustomGrid::RowsInserted(int, int) {}
void TCustomGrid::RowsDeleted(int, int) {}
void TCustomGrid::RowMoved(int, int) {}
void TCustomGrid::ColsInserted(int, int) {}
void TCustomGrid::ColsDeleted(int, int) {}
void TCustomGrid::ColMoved(int, int) {}

void TCustomGrid::SetOptions(TGridOptions o) {
    options_ = o;
    if (!(o & goEditing)) SetEditorMode(false);
    Notify(pcState);
    invalidateAll();
}

bool TCustomGrid::SelectCell(int col, int row) {
    bool can = true;
    if (OnSelectCell) OnSelectCell(this, col, row, can);
    return can;
}

bool TCustomGrid::MoveCurrent(int col, int row, bool extendSelection) {
    col = std::clamp(col, FixedCols(), ColCount() - 1);
    row = std::clamp(row, FixedRows(), RowCount() - 1);
    if (col < FixedCols() || row < FixedRows()) return false;  // everything is fixed
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
        selection_.Left = FixedCols();
        selection_.Right = ColCount() - 1;
    }
    ScrollIntoView(col, row);
    invalidateAll();
    return true;
}

void TCustomGrid::SetSelection(const TGridRect& r) {
    TGridRect s{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                std::max(r.Top, r.Bottom)};
    s.Left = std::clamp(s.Left, FixedCols(), ColCount() - 1);
    s.Right = std::clamp(s.Right, FixedCols(), ColCount() - 1);
    s.Top = std::clamp(s.Top, FixedRows(), RowCount() - 1);
    s.Bottom = std::clamp(s.Bottom, FixedRows(), RowCount() - 1);
    selection_ = s;
    col_ = s.Left;
    row_ = s.Top;
    anchor_ = {s.Left, s.Top};
    invalidateAll();
}

void TCustomGrid::SetTopRow(int r) {
    const int fixed = FixedRows();
    r = std::clamp(r, fixed, std::max(fixed, rows_.LastPageStart(ClientHeight())));
    if (r == TopRow()) return;
    rows_.SetFirst(r);
    placeEditor();
    Notify(pcContent);
    invalidateAll();
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomGrid::SetLeftCol(int c) {
    const int fixed = FixedCols();
    c = std::clamp(c, fixed, std::max(fixed, cols_.LastPageStart(ClientWidth())));
    if (c == LeftCol()) return;
    cols_.SetFirst(c);
    placeEditor();
    Notify(pcContent);
    invalidateAll();
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomGrid::SetScrollBarSpace(int right, int bottom) {
    const TPoint space{std::max(0, right), std::max(0, bottom)};
    if (space == scrollBarSpace_) return;
    scrollBarSpace_ = space;
    // The last page may hold fewer rows now: let the first shown row and column re-clamp.
    SetTopRow(TopRow());
    SetLeftCol(LeftCol());
    placeEditor();
    Notify(pcContent);
    invalidateAll();
}

void TCustomGrid::ScrollIntoView(int col, int row) {
    if (row >= FixedRows()) {
        if (row < TopRow())
            SetTopRow(row);
        else if (row >= TopRow() + std::max(1, VisibleRowCount()))
            SetTopRow(rows_.FirstToShow(row, ClientHeight()));
    }
    if (col >= FixedCols()) {
        if (col < LeftCol())
            SetLeftCol(col);
        else if (col >= LeftCol() + std::max(1, VisibleColCount()))
            SetLeftCol(cols_.FirstToShow(col, ClientWidth()));
    }
}

int TCustomGrid::colLeft(int col) const {
    const int x = cols_.Position(col);
    return x < ClientWidth() ? x : -1;
}

int TCustomGrid::rowTop(int row) const {
    const int y = rows_.Position(row);
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
    out.X = cols_.IndexAt(x);
    out.Y = rows_.IndexAt(y);
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
        // Filling the editor is not a user edit.
        editor_->SetModified(false);
        editor_->SetText(GetEditText(col_, row_));
        placeEditor();
        editor_->SetVisible(true);
        editor_->SetFocus();
    } else if (editor_ && editor_->Visible()) {
        editor_->SetVisible(false);
        SetFocus();
        invalidateAll();
    }
}

void TCustomGrid::placeEditor() {
    if (!editor_) return;
    TRect r = CellRect(col_, row_);
    editor_->SetBounds(r.left, r.top, r.Width(), r.Height());
}

AnsiString TCustomGrid::CellText(int, int) const {
    return {};
}

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
    if (col < FixedCols() || row < FixedRows()) return gdFixed;
    TGridDrawState s = 0;
    if (col == col_ && row == row_) s |= gdFocused;
    const bool focusedAlone =
        (s & gdFocused) && !(options_ & goDrawFocusSelected) && !(options_ & goRowSelect);
    if (selection_.Contains(col, row) && !focusedAlone) s |= gdSelected;
    return s;
}

void TCustomGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    if (defaultDrawing_) {
        TCanvas& c = Canvas();
        c.Brush.Color = (state & gdFixed)      ? fixedColor_
                        : (state & gdSelected) ? clHighlight
                                               : Color();
        c.Font = Font();
        if (state & gdSelected) c.Font.Color = clHighlightText;
        c.FillRect(rect);
        const AnsiString text = CellText(col, row);
        if (!text.empty()) c.TextOut(rect.left + 2, rect.top + 2, text);
    }
    if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

namespace {
// The entries of an axis in view: the fixed ones that start inside `extent`, then the
// scrolled ones from the first shown.
std::vector<int> shownEntries(const qx::platform::TGridAxis& axis, int extent) {
    std::vector<int> out;
    for (int i = 0; i < axis.Fixed(); ++i) {
        const int at = axis.Position(i);
        if (at < 0 || at >= extent) break;
        out.push_back(i);
    }
    const auto range = axis.VisibleRange(extent);
    for (int i = range.first; i <= range.last; ++i) out.push_back(i);
    return out;
}
}  // namespace

void TCustomGrid::PaintTo(TCanvas& canvas, const TRect& clip) {
    const TCanvasScope scope(*this, canvas);
    const std::vector<int> cols = shownEntries(cols_, ClientWidth());
    const std::vector<int> rows = shownEntries(rows_, ClientHeight());
    std::vector<int> colLefts;
    colLefts.reserve(cols.size());
    for (int c : cols) colLefts.push_back(cols_.Position(c));
    for (int r : rows) {
        const int y = rows_.Position(r), h = RowHeights(r);
        if (y >= clip.bottom || y + h + kGridLineWidth <= clip.top) continue;
        for (size_t i = 0; i < cols.size(); ++i) {
            const int c = cols[i];
            const TRect rect{colLefts[i], y, colLefts[i] + ColWidths(c), y + h};
            const TRect withLines{rect.left, rect.top, rect.right + kGridLineWidth,
                                  rect.bottom + kGridLineWidth};
            if (intersects(withLines, clip)) DrawCell(c, r, rect, CellState(c, r));
        }
    }
    // Grid lines right of and below every cell shown.
    canvas.Pen = TPen{};
    canvas.Pen.Color = clSilver;
    for (size_t i = 0; i < cols.size(); ++i) {
        const int c = cols[i];
        if (!(options_ & (c < FixedCols() ? goFixedVertLine : goVertLine))) continue;
        const int x = colLefts[i] + ColWidths(c);
        if (x < clip.left || x >= clip.right) continue;
        canvas.MoveTo(x, std::max(0, clip.top));
        canvas.LineTo(x, std::min(ClientHeight(), clip.bottom));
    }
    for (int r : rows) {
        if (!(options_ & (r < FixedRows() ? goFixedHorzLine : goHorzLine))) continue;
        const int y = rows_.Position(r) + RowHeights(r);
        if (y < clip.top || y >= clip.bottom) continue;
        canvas.MoveTo(std::max(0, clip.left), y);
        canvas.LineTo(std::min(ClientWidth(), clip.right), y);
    }
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    SetFocus();
    TGridCoord c = MouseToCell(x, y);
    if (button == mbLeft && c.X >= FixedCols() && c.Y >= FixedRows()) {
        MoveCurrent(c.X, c.Y, (shift & ssShift) != 0);
        selecting_ = true;
        if ((options_ & goAlwaysShowEditor) && (options_ & goEditing)) SetEditorMode(true);
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y) {
    if (selecting_ && (options_ & goRangeSelect)) {
        TGridCoord c = MouseToCell(x, y);
        if (c.X >= FixedCols() && c.Y >= FixedRows() && (c.X != col_ || c.Y != row_))
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
        case VK_UP:
            MoveCurrent(col_, row_ - 1, extend);
            break;
        case VK_DOWN:
            MoveCurrent(col_, row_ + 1, extend);
            break;
        case VK_LEFT:
            MoveCurrent(col_ - 1, row_, extend);
            break;
        case VK_RIGHT:
            MoveCurrent(col_ + 1, row_, extend);
            break;
        case VK_PRIOR:
            MoveCurrent(col_, row_ - page, extend);
            break;
        case VK_NEXT:
            MoveCurrent(col_, row_ + page, extend);
            break;
        case VK_HOME:
            MoveCurrent(FixedCols(), (shift & ssCtrl) ? FixedRows() : row_, extend);
            break;
        case VK_END:
            MoveCurrent(ColCount() - 1, (shift & ssCtrl) ? RowCount() - 1 : row_, extend);
            break;
        case VK_TAB:
            if (!(options_ & goTabs)) return;
            if (shift & ssShift) {
                if (col_ > FixedCols())
                    MoveCurrent(col_ - 1, row_);
                else
                    MoveCurrent(ColCount() - 1, row_ - 1);
            } else {
                if (col_ < ColCount() - 1)
                    MoveCurrent(col_ + 1, row_);
                else
                    MoveCurrent(FixedCols(), row_ + 1);
            }
            break;
        case VK_F2:
        case VK_RETURN:
            SetEditorMode(!EditorMode());
            break;
        default:
            return;
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

TStringGrid::TStringGrid(TComponent* owner) : TCustomGrid(owner) {
    SizeChanged(0, 0);
}

const TStringGrid::TCell* TStringGrid::cell(int col, int row) const {
    if (row < 0 || col < 0) return nullptr;
    // An anchored cell of a row just deleted stays readable until the storage drops it.
    const TRowCells* cells = col < anchored_ ? &anchoredCells_[static_cast<size_t>(col)]
                             : row < static_cast<int>(cells_.size())
                                 ? &cells_[static_cast<size_t>(row)]
                                 : nullptr;
    const int index = col < anchored_ ? row : col;
    return cells && index < static_cast<int>(cells->size()) ? &(*cells)[static_cast<size_t>(index)]
                                                            : nullptr;
}

TStringGrid::TCell* TStringGrid::writable(int col, int row) {
    if (row < 0 || col < 0 || row >= RowCount() || col >= ColCount()) return nullptr;
    if (col < anchored_) {
        auto& column = anchoredCells_[static_cast<size_t>(col)];
        if (static_cast<int>(column.size()) <= row) column.resize(static_cast<size_t>(RowCount()));
        return &column[static_cast<size_t>(row)];
    }
    auto& r = cells_[static_cast<size_t>(row)];
    if (static_cast<int>(r.size()) <= col) {
        // A row of an ordinary width takes all its cells at once, without slack; in a very
        // wide grid a row grows only as far as it is written, so that short rows stay cheap.
        r.resize(static_cast<size_t>(ColCount() <= kDenseRowLimit ? ColCount() : col + 1));
    }
    return &r[static_cast<size_t>(col)];
}

void TStringGrid::SetAnchoredCols(int n) {
    n = std::clamp(n, 0, ColCount());
    if (n == anchored_) return;
    // Cells change storage; their texts and places stay.
    std::vector<TRowCells> anchored(static_cast<size_t>(n));
    for (int c = 0; c < std::max(n, anchored_); ++c) {
        for (int r = 0; r < RowCount(); ++r) {
            const TCell* from = cell(c, r);
            if (!from || (from->text.empty() && !from->object)) continue;
            TCell moved = std::move(*const_cast<TCell*>(from));
            *const_cast<TCell*>(from) = TCell{};
            if (c < n) {
                auto& column = anchored[static_cast<size_t>(c)];
                if (static_cast<int>(column.size()) <= r)
                    column.resize(static_cast<size_t>(RowCount()));
                column[static_cast<size_t>(r)] = std::move(moved);
            } else {
                const int keep = anchored_;
                anchored_ = 0;  // write into the row
                *writable(c, r) = std::move(moved);
                anchored_ = keep;
            }
        }
    }
    anchoredCells_ = std::move(anchored);
    anchored_ = n;
}

template <class Op>
void TStringGrid::withoutAnchors(int firstCol, Op op) {
    const int keep = anchored_;
    if (firstCol < keep) SetAnchoredCols(0);
    op();
    if (firstCol < keep) SetAnchoredCols(keep);
}

AnsiString TStringGrid::Cells(int col, int row) const {
    return CellRef(col, row);
}

const AnsiString& TStringGrid::CellRef(int col, int row) const {
    static const AnsiString empty;
    const TCell* c = cell(col, row);
    return c ? c->text : empty;
}

void TStringGrid::SetCells(int col, int row, const AnsiString& text) {
    const TCell* now = cell(col, row);
    if (now ? now->text == text : text.empty() || col >= ColCount() || row >= RowCount()) return;
    TCell* c = writable(col, row);
    if (!c) return;
    AnsiString before = std::exchange(c->text, text);
    CellTextChanged(col, row, before);
    if (EditorMode() && col == Col() && row == Row() && InplaceEditor()->Text() != text) {
        InplaceEditor()->SetModified(false);
        InplaceEditor()->SetText(text);
    }
    InvalidateCell(col, row);
}

TObject* TStringGrid::Objects(int col, int row) const {
    const TCell* c = cell(col, row);
    return c ? c->object : nullptr;
}

void TStringGrid::SetObjects(int col, int row, TObject* object) {
    if (!object && !cell(col, row)) return;
    if (TCell* c = writable(col, row)) c->object = object;
}

void TStringGrid::SetEditText(int col, int row, const AnsiString& value) {
    if (TCell* c = writable(col, row); c && c->text != value) {
        AnsiString before = std::exchange(c->text, value);
        CellTextChanged(col, row, before);
    }
    InvalidateCell(col, row);
    TCustomGrid::SetEditText(col, row, value);
}

void TStringGrid::SizeChanged(int oldColCount, int oldRowCount) {
    cells_.resize(static_cast<size_t>(RowCount()));
    if (anchored_ > ColCount()) {
        anchored_ = ColCount();
        anchoredCells_.resize(static_cast<size_t>(anchored_));
    }
    for (auto& column : anchoredCells_)
        if (static_cast<int>(column.size()) > RowCount())
            column.resize(static_cast<size_t>(RowCount()));
    // Columns cut off must not come back with their old texts when the count grows again.
    if (ColCount() < oldColCount)
        for (auto& r : cells_)
            if (static_cast<int>(r.size()) > ColCount()) r.resize(static_cast<size_t>(ColCount()));
    TCustomGrid::SizeChanged(oldColCount, oldRowCount);
}

void TStringGrid::CellTextChanged(int, int, const AnsiString&) {}

void TStringGrid::RotateRowCells(int row, int first, int middle, int last) {
    if (row < 0 || row >= RowCount() || first < 0 || last > ColCount() ||
        !(first <= middle && middle <= last))
        return;
    auto& cells = cells_[static_cast<size_t>(row)];
    if (static_cast<int>(cells.size()) <= first) return;  // nothing stored there: all empty
    if (static_cast<int>(cells.size()) < last) cells.resize(static_cast<size_t>(last));
    std::rotate(cells.begin() + first, cells.begin() + middle, cells.begin() + last);
}

void TStringGrid::RowsInserted(int at, int count) {
    cells_.insert(cells_.begin() + at, static_cast<size_t>(count), TRowCells{});
}

void TStringGrid::RowsDeleted(int at, int count) {
    cells_.erase(cells_.begin() + at, cells_.begin() + at + count);
    for (auto& column : anchoredCells_)
        if (static_cast<int>(column.size()) > RowCount())
            column.resize(static_cast<size_t>(RowCount()));
}

void TStringGrid::RowMoved(int from, int to) {
    qx::platform::MoveEntry(cells_, from, to);
}

void TStringGrid::ColsInserted(int at, int count) {
    withoutAnchors(at, [&] {
        for (auto& r : cells_)
            if (static_cast<int>(r.size()) > at)
                r.insert(r.begin() + at, static_cast<size_t>(count), TCell{});
    });
}

void TStringGrid::ColsDeleted(int at, int count) {
    withoutAnchors(at, [&] {
        for (auto& r : cells_) {
            if (static_cast<int>(r.size()) <= at) continue;
            r.erase(r.begin() + at,
                    r.begin() + std::min<int>(at + count, static_cast<int>(r.size())));
        }
    });
}

void TStringGrid::ColMoved(int from, int to) {
    withoutAnchors(std::min(from, to), [&] {
        for (auto& r : cells_) {
            if (static_cast<int>(r.size()) <= std::min(from, to)) continue;
            if (static_cast<int>(r.size()) <= std::max(from, to))
                r.resize(static_cast<size_t>(std::max(from, to) + 1));
            qx::platform::MoveEntry(r, from, to);
        }
    });
}
