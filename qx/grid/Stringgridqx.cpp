#include "qx/grid/Stringgridqx.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "qx/error/Qxexception.h"
#include "qx/numeric/StringUtils.h"
#include "qx/platform/Registry.h"

namespace {

// Error codes of the argument checks.
constexpr unsigned long kFixedRowsBelowHeader = 0xE5136001UL;
constexpr unsigned long kFixedRowsTooMany = 0xE5136002UL;
constexpr unsigned long kFixedColsBelowHeader = 0xE5136003UL;
constexpr unsigned long kFixedColsTooMany = 0xE5136004UL;
constexpr unsigned long kRowTooSmall = 0xE7436005UL;
constexpr unsigned long kRowsReversed = 0xE5136006UL;
constexpr unsigned long kRowTooLarge = 0xE7436007UL;
constexpr unsigned long kColTooSmall = 0xE7436008UL;
constexpr unsigned long kColsReversed = 0xE5136009UL;
constexpr unsigned long kColTooLarge = 0xE743600AUL;

constexpr int kTextMargin = 4, kWidthMargin = 16;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The selected look of a background: each component 32 lower, stopping at 0.
TColor darkened(TColor c) {
    const TColor rgb = ColorToRGB(c);
    return RGB(std::max(0, GetRValue(rgb) - 0x20), std::max(0, GetGValue(rgb) - 0x20),
               std::max(0, GetBValue(rgb) - 0x20));
}

}  // namespace

// ---------------------------------------------------------------------------- TSGSelection

TSGSelection::TSGSelection(TStringGridQx& grid) : rGrid(grid) {}

void TSGSelection::vReset() {
    bAll = bSingleRow = bRows = bSingleCol = bCols = bSingleCell = bSelected = false;
    iLastPointRow = iLastPointCol = -1;
    iFirstRow = iLastRow = iFirstCol = iLastCol = -1;
    iStartRow = iStartCol = iEndRow = iEndCol = -1;
    iCount = 0;
}

void TSGSelection::forgetReported() {
    iReportedFirstRow = iReportedLastRow = iReportedFirstCol = iReportedLastCol = -2;
}

void TSGSelection::startAt(int row, int col) {
    vReset();
    iLastPointRow = row;
    iLastPointCol = col;
    const TStringGridQx& g = rGrid;
    if (row == 0 && g.iNumCol != 0) {
        if (col == 0 && g.iNumLin != 0) {
            bAll = bRows = bCols = bSelected = true;
            iStartRow = iStartCol = 0;
            iEndRow = g.RowCount() - 1;
            iEndCol = g.ColCount() - 1;
        } else {
            bSingleCol = bCols = bSelected = true;
            iStartRow = 0;
            iStartCol = iEndCol = col;
            iEndRow = g.RowCount() - 1;
        }
    } else if (col == 0 && g.iNumLin != 0) {
        bSingleRow = bRows = bSelected = true;
        iStartRow = iEndRow = row;
        iStartCol = 0;
        iEndCol = g.ColCount() - 1;
    } else {
        if (row < 0 || col < 0) {
            row = g.iNumCol;
            col = g.iNumLin;
        }
        bSingleCell = bSelected = true;
        iStartRow = iEndRow = row;
        iStartCol = iEndCol = col;
    }
    normalise();
    if (iCount == 0)
        bAll = bSingleRow = bRows = bSingleCol = bCols = bSingleCell = bSelected = false;
}

bool TSGSelection::extendTo(int row, int col) {
    if (row < 0 || col < 0) return false;
    bool changed = row != iLastPointRow || col != iLastPointCol;
    if (!changed) return false;
    iLastPointRow = row;
    iLastPointCol = col;
    const TStringGridQx& g = rGrid;
    if (iStartRow == 0 && g.iNumCol != 0) {
        if (!(iStartCol == 0 && g.iNumLin != 0)) {
            const int end = std::max(col, g.iNumLin);
            changed = end != iEndCol;
            iEndCol = end;
            if (bSelectSingleCell) iStartCol = iEndCol;
            bSingleCol = iEndCol == iStartCol;
        }
    } else if (iStartCol == 0 && g.iNumLin != 0) {
        const int end = std::max(row, g.iNumCol);
        changed = end != iEndRow;
        iEndRow = end;
        if (bSelectSingleCell) iStartRow = iEndRow;
        bSingleRow = iEndRow == iStartRow;
    } else {
        iEndRow = std::max(row, g.iNumCol);
        iEndCol = std::max(col, g.iNumLin);
        if (bSelectSingleCell) {
            iStartRow = iEndRow;
            iStartCol = iEndCol;
        }
        bSingleCell = iStartRow == iEndRow && iStartCol == iEndCol;
    }
    normalise();
    return changed;
}

void TSGSelection::normalise() {
    const TStringGridQx& g = rGrid;
    auto clampRow = [&](int v) { return std::max(std::min(v, g.RowCount() - 1), g.FixedRows()); };
    auto clampCol = [&](int v) { return std::max(std::min(v, g.ColCount() - 1), g.FixedCols()); };
    iFirstRow = clampRow(std::min(iStartRow, iEndRow));
    iLastRow = clampRow(std::max(iStartRow, iEndRow));
    iFirstCol = clampCol(std::min(iStartCol, iEndCol));
    iLastCol = clampCol(std::max(iStartCol, iEndCol));
    switch (eMode) {
        case eSelectRows:
            iFirstCol = g.FixedCols();
            iLastCol = g.ColCount() - 1;
            bRows = true;
            bSingleRow = iFirstRow == iLastRow;
            break;
        case eSelectCols:
            iFirstRow = g.FixedRows();
            iLastRow = g.RowCount() - 1;
            bCols = true;
            bSingleCol = iFirstCol == iLastCol;
            break;
        case eSelectNone:
            iFirstRow = iFirstCol = 0;
            iLastRow = iLastCol = -1;
            break;
        default:
            break;
    }
    iCount = (iLastRow - iFirstRow + 1) * (iLastCol - iFirstCol + 1);
}

bool TSGSelection::contains(int row, int col) const {
    return row >= rGrid.iNumCol && row >= iFirstRow && row <= iLastRow && col >= rGrid.iNumLin &&
           col >= iFirstCol && col <= iLastCol;
}

// ---------------------------------------------------------------------------- construction

TStringGridQx::TStringGridQx(TComponent* owner)
    : TStringGrid(owner), pDefaultProperty(std::make_unique<TCellPropertyQx>()), Selection_(*this) {
    // The grid draws every cell itself from its properties.
    SetDefaultDrawing(false);
    centredColumnProperty_.vSetAdjust(eAdjustCenter);
    centredLineProperty_.vSetAdjust(eAdjustCenter);
    widths_.assign(static_cast<size_t>(ColCount()), TWidthTable{{0, RowCount()}});
    SetAnchoredCols(iNumLin);
    Selection_.vReset();
    OnDrawCell = [this](TObject* s, int c, int r, const TRect& rect, TGridDrawState st) {
        vOnDrawCell(s, c, r, rect, st);
    };
    OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        vOnMouseDown(s, b, sh, x, y);
    };
    OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { vOnMouseMove(s, sh, x, y); };
    OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        vOnMouseUp(s, b, sh, x, y);
    };
    OnSelectCell = [this](TObject* s, int c, int r, bool& can) { vOnSelectCell(s, c, r, can); };
    OnDblClick = [this](TObject* s) { vOnDblClick(s); };
    OnSetEditText = [this](TObject* s, int c, int r, const AnsiString& v) {
        vOnSetEditText(s, c, r, v);
    };
    OnExit = [this](TObject* s) { vOnExit(s); };
    OnKeyDown = [this](TObject* s, unsigned short& k, TShiftState sh) { vOnKeyDown(s, k, sh); };
    vCreatePopupMenu();
}

TStringGridQx::~TStringGridQx() {
    deleteProperties(0, ColCount() - 1, 0, RowCount() - 1);
}

void TStringGridQx::deleteProperties(int firstCol, int lastCol, int firstRow, int lastRow) {
    for (int r = firstRow; r <= lastRow; ++r)
        for (int c = firstCol; c <= lastCol; ++c)
            if (TObject* o = Objects(c, r)) {
                SetObjects(c, r, nullptr);
                delete o;
            }
}

void TStringGridQx::vSetLinColNum(bool bLineNumbers, bool bColNumbers) {
    try {
        if (bInitialised) return;
        iNumLin = bLineNumbers ? 1 : 0;
        iNumCol = bColNumbers ? 1 : 0;
        SetAnchoredCols(iNumLin);
        vCalculateRowHeights();
        vCalculateColWidths();
        bool can = true;
        vOnSelectCell(this, iNumLin, iNumCol, can);
    } catch (...) {
        QX_PASS();
    }
}

bool TStringGridQx::bInside(int col, int row) const {
    return col >= 0 && col < ColCount() && row >= 0 && row < RowCount();
}

// ---------------------------------------------------------------------------- proofs

void TStringGridQx::vProofRow(int row) const {
    if (row < iNumCol) QX_RAISE(kRowTooSmall, "Row=%d", row);
    if (row >= RowCount()) QX_RAISE(kRowTooLarge, "Row=%d RowCount=%d", row, RowCount());
}

void TStringGridQx::vProofCol(int col) const {
    if (col < iNumLin) QX_RAISE(kColTooSmall, "Col=%d", col);
    if (col >= ColCount()) QX_RAISE(kColTooLarge, "Col=%d ColCount=%d", col, ColCount());
}

void TStringGridQx::vProofRowCol(int row, int col) const {
    vProofRow(row);
    vProofCol(col);
}

void TStringGridQx::vProofFirstLastRow(int first, int last) const {
    if (first < iNumCol) QX_RAISE(kRowTooSmall, "FirstRow=%d NumCol=%d", first, iNumCol);
    if (first > last) QX_RAISE(kRowsReversed, "FirstRow=%d LastRow=%d", first, last);
    if (last >= RowCount()) QX_RAISE(kRowTooLarge, "LastRow=%d RowCount=%d", last, RowCount());
}

void TStringGridQx::vProofFirstLastCol(int first, int last) const {
    if (first < iNumLin) QX_RAISE(kColTooSmall, "FirstCol=%d NumLin=%d", first, iNumLin);
    if (first > last) QX_RAISE(kColsReversed, "FirstCol=%d LastCol=%d", first, last);
    if (last >= ColCount()) QX_RAISE(kColTooLarge, "LastCol=%d ColCount=%d", last, ColCount());
}

void TStringGridQx::vProofFirstLastRowCol(int firstRow, int lastRow, int firstCol,
                                          int lastCol) const {
    vProofFirstLastRow(firstRow, lastRow);
    vProofFirstLastCol(firstCol, lastCol);
}

// ---------------------------------------------------------------------------- table size

void TStringGridQx::vGetTableSize(int& rows, int& cols) const {
    rows = iGetRowCount();
    cols = iGetColCount();
}

void TStringGridQx::vSetTableSize(int rows, int cols) {
    try {
        const TGridUpdateScope batch(*this);
        const int curRows = iGetRowCount();
        if (curRows > rows)
            vDeleteRows(rows, curRows - 1);
        else if (curRows < rows)
            vAppendRows(rows - curRows);
        const int curCols = iGetColCount();
        if (curCols > cols)
            vDeleteCols(cols, curCols - 1);
        else if (curCols < cols)
            vAppendCols(cols - curCols);
    } catch (...) {
        QX_PASS();
    }
}

// ---------------------------------------------------------------------------- cells

const char* TStringGridQx::cpGetCellString(int row, int col) {
    try {
        vProofRowCol(iRowIn(row), iColIn(col));
        return CellRef(iColIn(col), iRowIn(row)).c_str();
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vSetCellString(int row, int col, const char* text) {
    try {
        vProofRowCol(iRowIn(row), iColIn(col));
        SetCells(iColIn(col), iRowIn(row), text ? text : "");
    } catch (...) {
        QX_PASS();
    }
}

const char* TStringGridQx::cpGetHiddenCellString(int row, int col) {
    try {
        vProofRowCol(iRowIn(row), iColIn(col));
        return rViewProperty(iColIn(col), iRowIn(row)).cpGetHiddenString();
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vSetHiddenCellString(int row, int col, const char* text) {
    try {
        const int r = iRowIn(row), c = iColIn(col);
        vProofRowCol(r, c);
        if ((!text || !*text) && !Objects(c, r)) return;  // already empty: no object needed
        pGetCellProperty(c, r)->vSetHiddenString(text);
    } catch (...) {
        QX_PASS();
    }
}

bool TStringGridQx::isNumberText(const char* text) {
    const char* p = text ? text : "";
    while (isBlank(*p)) ++p;
    if (*p == '-' || *p == '+') ++p;
    while (isDigit(*p)) ++p;
    if (isBlank(*p)) {
        while (isBlank(*p)) ++p;
        return *p == '\0';
    }
    if (*p == '.' || *p == ',') {
        ++p;
        if (!isDigit(*p)) return false;
        while (isDigit(*p)) ++p;
        if (*p != '\0' && *p != 'e' && *p != 'E') ++p;
    }
    if (*p == 'e' || *p == 'E') {
        ++p;
        if (*p == '-' || *p == '+') ++p;
        if (!isDigit(*p)) return false;
        while (isDigit(*p)) ++p;
    }
    while (isBlank(*p)) ++p;
    return *p == '\0';
}

bool TStringGridQx::bIsNumber(int row, int col) {
    try {
        vProofRowCol(iRowIn(row), iColIn(col));
        return isNumberText(CellRef(iColIn(col), iRowIn(row)).c_str());
    } catch (...) {
        QX_PASS();
    }
}

double TStringGridQx::dGetNumber(int row, int col) {
    try {
        vProofRowCol(iRowIn(row), iColIn(col));
        std::string text = CellRef(iColIn(col), iRowIn(row));
        komma2punkt(text.data());
        double d = 0.0;
        if (std::sscanf(text.c_str(), "%le", &d) != 1) return 0.0;
        return d;
    } catch (...) {
        QX_PASS();
    }
}

// ---------------------------------------------------------------------------- properties

const TCellPropertyQx& TStringGridQx::rViewProperty(int col, int row) const {
    if (TObject* o = Objects(col, row)) return *static_cast<const TCellPropertyQx*>(o);
    if (!bInside(col, row)) return *pDefaultProperty;
    // Numbered header cells are centred, whether or not they have an object yet.
    const bool centred = numbered_ && (row > 0 || col > 0);
    if (row < iNumCol) return centred ? centredLineProperty_ : defaultLineProperty_;
    if (col < iNumLin) return centred ? centredColumnProperty_ : defaultColumnProperty_;
    return *pDefaultProperty;
}

TCellPropertyQx* TStringGridQx::pGetCellProperty(int col, int row) {
    if (!bInside(col, row)) return pDefaultProperty.get();
    if (TObject* o = Objects(col, row)) return static_cast<TCellPropertyQx*>(o);
    std::unique_ptr<TCellPropertyQx> p;
    if (row < iNumCol)
        p = std::make_unique<TLinePropertyQx>();
    else if (col < iNumLin)
        p = std::make_unique<TColumnPropertyQx>();
    else
        p = std::make_unique<TCellPropertyQx>();
    // Header cells made after the numbering look like the numbered ones.
    if (numbered_ && (row < iNumCol || col < iNumLin) && (row > 0 || col > 0))
        p->vSetAdjust(eAdjustCenter);
    TCellPropertyQx* raw = p.release();
    SetObjects(col, row, raw);
    return raw;
}

template <class Get>
auto TStringGridQx::formatOf(int row, int col, Get get) {
    try {
        vProofRowCol(iRowIn(row), iColIn(col));
        return get(rViewProperty(iColIn(col), iRowIn(row)));
    } catch (...) {
        QX_PASS();
    }
}

template <class Differs, class Apply>
void TStringGridQx::formatBlock(int firstRow, int lastRow, int firstCol, int lastCol,
                                Differs differs, Apply apply) {
    const int r0 = iRowIn(firstRow), r1 = iRowIn(lastRow), c0 = iColIn(firstCol),
              c1 = iColIn(lastCol);
    vProofFirstLastRowCol(r0, r1, c0, c1);
    const TGridUpdateScope batch(*this);
    // A property is made only where the value changes.
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            if (differs(rViewProperty(c, r))) apply(c, r, *pGetCellProperty(c, r));
    Invalidate();
}

void TStringGridQx::vSetColor(eColorQx color, int firstRow, int lastRow, int firstCol,
                              int lastCol) {
    try {
        formatBlock(
            firstRow, lastRow, firstCol, lastCol,
            [&](const TCellPropertyQx& p) { return p.eGetFontColor() != color; },
            [&](int, int, TCellPropertyQx& p) { p.vSetFontColor(color); });
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vSetBKColor(eColorQx color, int firstRow, int lastRow, int firstCol,
                                int lastCol) {
    try {
        formatBlock(
            firstRow, lastRow, firstCol, lastCol,
            [&](const TCellPropertyQx& p) { return p.eGetBKColor() != color; },
            [&](int, int, TCellPropertyQx& p) { p.vSetBKColor(color); });
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vSetAdjust(eAdjustQx adjust, int firstRow, int lastRow, int firstCol,
                               int lastCol) {
    try {
        formatBlock(
            firstRow, lastRow, firstCol, lastCol,
            [&](const TCellPropertyQx& p) { return p.eGetAdjust() != adjust; },
            [&](int, int, TCellPropertyQx& p) { p.vSetAdjust(adjust); });
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vSetFontSize(eFontSizeQx size, int firstRow, int lastRow, int firstCol,
                                 int lastCol) {
    try {
        const TGridUpdateScope batch(*this);
        formatBlock(
            firstRow, lastRow, firstCol, lastCol,
            [&](const TCellPropertyQx& p) { return p.eGetFontSize() != size; },
            [&](int c, int r, TCellPropertyQx& p) {
                const int before = p.iGetFontSize();
                p.vSetFontSize(size);
                fontSizeChanged(c, r, before, p.iGetFontSize());
            });
        // Sized in one place after every cell has its size.
        for (int r = iRowIn(firstRow); r <= iRowIn(lastRow); ++r) vCalculateRowHeight(r);
        for (int c = iColIn(firstCol); c <= iColIn(lastCol); ++c) vUpdateColWidth(c);
    } catch (...) {
        QX_PASS();
    }
}

eColorQx TStringGridQx::eGetColor(int row, int col) {
    return formatOf(row, col, [](const TCellPropertyQx& p) { return p.eGetFontColor(); });
}

eColorQx TStringGridQx::eGetBKColor(int row, int col) {
    return formatOf(row, col, [](const TCellPropertyQx& p) { return p.eGetBKColor(); });
}

eFontSizeQx TStringGridQx::eGetFontSize(int row, int col) {
    return formatOf(row, col, [](const TCellPropertyQx& p) { return p.eGetFontSize(); });
}

eAdjustQx TStringGridQx::eGetAdjust(int row, int col) {
    return formatOf(row, col, [](const TCellPropertyQx& p) { return p.eGetAdjust(); });
}

// ---------------------------------------------------------------------------- storage hooks

void TStringGridQx::SizeChanged(int oldColCount, int oldRowCount) {
    const int cols = ColCount(), rows = RowCount();
    // Cells cut off take their widths and properties with them.
    for (int r = rows; r < oldRowCount; ++r)
        for (int c = 0; c < std::min(cols, oldColCount); ++c)
            widthRemove(c, measureText(CellRef(c, r), rViewProperty(c, r).iGetFontSize()));
    if (rows < oldRowCount) deleteProperties(0, oldColCount - 1, rows, oldRowCount - 1);
    if (cols < oldColCount)
        deleteProperties(cols, oldColCount - 1, 0, std::min(rows, oldRowCount) - 1);
    widths_.resize(static_cast<size_t>(cols), TWidthTable{{0, rows}});
    if (rows > oldRowCount)
        for (int c = 0; c < std::min(cols, oldColCount); ++c) widthAdd(c, 0, rows - oldRowCount);
    TStringGrid::SizeChanged(oldColCount, oldRowCount);
}

void TStringGridQx::RowsInserted(int at, int count) {
    for (int c = 0; c < ColCount(); ++c) widthAdd(c, 0, count);
    TStringGrid::RowsInserted(at, count);
}

void TStringGridQx::RowsDeleted(int at, int count) {
    // Cells of the deleted rows go, except in the anchored line-number column: there the
    // last cells go (the row count has already dropped by `count`).
    for (int c = 0; c < ColCount(); ++c) {
        const int first = c < AnchoredCols() ? RowCount() : at;
        for (int r = first; r < first + count; ++r) {
            widthRemove(c, measureText(CellRef(c, r), rViewProperty(c, r).iGetFontSize()));
            delete Objects(c, r);  // the storage drops the cell next
        }
    }
    TStringGrid::RowsDeleted(at, count);
}

void TStringGridQx::ColsInserted(int at, int count) {
    widths_.insert(widths_.begin() + at, static_cast<size_t>(count), TWidthTable{{0, RowCount()}});
    TStringGrid::ColsInserted(at, count);
}

void TStringGridQx::ColsDeleted(int at, int count) {
    deleteProperties(at, at + count - 1, 0, RowCount() - 1);
    widths_.erase(widths_.begin() + at, widths_.begin() + at + count);
    TStringGrid::ColsDeleted(at, count);
}

void TStringGridQx::ColMoved(int from, int to) {
    qx::platform::MoveEntry(widths_, from, to);
    TStringGrid::ColMoved(from, to);
}

void TStringGridQx::CellTextChanged(int col, int row, const AnsiString& before) {
    const int points = rViewProperty(col, row).iGetFontSize();
    widthRemove(col, measureText(before, points));
    widthAdd(col, measureText(CellRef(col, row), points));
    TStringGrid::CellTextChanged(col, row, before);
}

// ---------------------------------------------------------------------------- sizing

int TStringGridQx::measureText(const AnsiString& text, int points) {
    if (text.empty()) return 0;
    TCanvas& canvas = Canvas();
    canvas.Font.Size = points;
    return canvas.TextWidth(text);
}

void TStringGridQx::widthAdd(int col, int width, int count) {
    if (col < 0 || col >= static_cast<int>(widths_.size()) || count <= 0) return;
    widths_[static_cast<size_t>(col)][width] += count;
}

void TStringGridQx::widthRemove(int col, int width, int count) {
    if (col < 0 || col >= static_cast<int>(widths_.size())) return;
    TWidthTable& t = widths_[static_cast<size_t>(col)];
    auto it = t.find(width);
    // A width measured with another metric than now is not there; the next full measurement
    // of the column puts the table right.
    if (it == t.end()) return;
    if ((it->second -= count) <= 0) t.erase(it);
}

void TStringGridQx::fontSizeChanged(int col, int row, int oldPoints, int newPoints) {
    if (oldPoints == newPoints) return;
    const AnsiString& text = CellRef(col, row);
    if (text.empty()) return;
    widthRemove(col, measureText(text, oldPoints));
    widthAdd(col, measureText(text, newPoints));
}

void TStringGridQx::rebuildWidthTable(int col) {
    TWidthTable t;
    for (int r = 0; r < RowCount(); ++r)
        ++t[measureText(CellRef(col, r), rViewProperty(col, r).iGetFontSize())];
    widths_[static_cast<size_t>(col)] = std::move(t);
}

void TStringGridQx::vUpdateColWidth(int col) {
    if (col < 0 || col >= ColCount()) return;
    const TWidthTable& t = widths_[static_cast<size_t>(col)];
    SetColWidths(col, (t.empty() ? 0 : t.rbegin()->first) + kWidthMargin);
}

void TStringGridQx::vCalculateRowHeight(int row) {
    if (row < 0 || row >= RowCount()) return;
    int m = 0;
    for (int c = 0; c < ColCount(); ++c) m = std::max(m, rViewProperty(c, row).iGetFontSize());
    SetRowHeights(row, 2 * m + 1);
}

void TStringGridQx::vCalculateRowHeights() {
    const TGridUpdateScope batch(*this);
    for (int r = 0; r < RowCount(); ++r) vCalculateRowHeight(r);
}

void TStringGridQx::vCalculateColWidth(int col) {
    if (col < 0 || col >= ColCount()) return;
    rebuildWidthTable(col);
    vUpdateColWidth(col);
}

void TStringGridQx::vUpdateColWidths() {
    const TGridUpdateScope batch(*this);
    for (int c = 0; c < ColCount(); ++c) vUpdateColWidth(c);
}

void TStringGridQx::vCalculateColWidths() {
    const TGridUpdateScope batch(*this);
    for (int c = 0; c < ColCount(); ++c) vCalculateColWidth(c);
}

void TStringGridQx::vNumLinesColumns() {
    numberFrom(1, 1);
}

void TStringGridQx::numberFrom(int fromRow, int fromCol) {
    // Header cells keep their places through row and column changes, so once everything was
    // numbered only the cells added at the end need numbers.
    if (!numbered_) fromRow = fromCol = 1;
    const TGridUpdateScope batch(*this);
    auto number = [this](int col, int row, int n) {
        SetCells(col, row, std::to_string(n));
        if (TObject* o = Objects(col, row))
            static_cast<TCellPropertyQx*>(o)->vSetAdjust(eAdjustCenter);
    };
    if (iNumLin != 0)
        for (int r = std::max(1, fromRow); r < RowCount(); ++r) number(0, r, r);
    if (iNumCol != 0)
        for (int c = std::max(1, fromCol); c < ColCount(); ++c) number(c, 0, c);
    numbered_ = true;
}

// ---------------------------------------------------------------------------- rows and columns

void TStringGridQx::raiseRowEvents(const std::function<void()>& specific) {
    specific();
    if (ERowSizeChanged) ERowSizeChanged(iGetRowCount());
    if (ESizeChanged) ESizeChanged(iGetRowCount(), iGetColCount());
}

void TStringGridQx::raiseColEvents(const std::function<void()>& specific) {
    specific();
    if (EColSizeChanged) EColSizeChanged(iGetColCount());
    if (ESizeChanged) ESizeChanged(iGetRowCount(), iGetColCount());
}

void TStringGridQx::formatRowsLike(int at, int count, int source) {
    if (source < iNumCol || source >= RowCount()) return;
    for (int c = iNumLin; c < ColCount(); ++c) {
        const TObject* o = Objects(c, source);
        if (!o) continue;
        const auto& src = *static_cast<const TCellPropertyQx*>(o);
        if (src.bSameFormat(*pDefaultProperty)) continue;
        for (int r = at; r < at + count; ++r) {
            TCellPropertyQx* p = pGetCellProperty(c, r);
            const int before = p->iGetFontSize();
            *p = src;
            fontSizeChanged(c, r, before, p->iGetFontSize());
        }
    }
}

void TStringGridQx::formatColsLike(int at, int count, int source) {
    if (source < iNumLin || source >= ColCount()) return;
    for (int r = iNumCol; r < RowCount(); ++r) {
        const TObject* o = Objects(source, r);
        if (!o) continue;
        const auto& src = *static_cast<const TCellPropertyQx*>(o);
        if (src.bSameFormat(*pDefaultProperty)) continue;
        for (int c = at; c < at + count; ++c) {
            TCellPropertyQx* p = pGetCellProperty(c, r);
            const int before = p->iGetFontSize();
            *p = src;
            fontSizeChanged(c, r, before, p->iGetFontSize());
        }
    }
}

void TStringGridQx::rotateHeaderLine(int first, int middle, int last) {
    // The header cells change columns: each column's width table follows its own cells.
    auto widthOf = [this](int c) {
        return measureText(CellRef(c, 0), rViewProperty(c, 0).iGetFontSize());
    };
    for (int c = first; c < last; ++c) widthRemove(c, widthOf(c));
    RotateRowCells(0, first, middle, last);
    for (int c = first; c < last; ++c) widthAdd(c, widthOf(c));
}

void TStringGridQx::selectionChanged() {
    Invalidate();
    vMessageSelectionChanged();
}

void TStringGridQx::collapse() {
    SetFixedRows(iNumCol);
    SetFixedCols(iNumLin);
    SetRowCount(iNumCol + 1);
    SetColCount(iNumLin + 1);
    SetCells(iNumLin, iNumCol, cpEmptyString);
    if (TObject* o = Objects(iNumLin, iNumCol))
        static_cast<TCellPropertyQx*>(o)->vSetHiddenString("");
    vNumLinesColumns();
}

void TStringGridQx::vDeleteRows(int first, int last) {
    try {
        const int f = iRowIn(first), l = iRowIn(last);
        vProofFirstLastRow(f, l);
        const int n = l - f + 1;
        const TGridUpdateScope batch(*this);
        if (f < FixedRows()) vFixierungAufheben(this);
        if (iNumCol < RowCount() - n) {
            DeleteRows(f, n);  // the line-number cells are anchored: the last ones go
            numberFrom(RowCount(), ColCount());
        } else {
            collapse();  // no data row remains
        }
        Selection_.startAt(FixedRows(), FixedCols());
        Selection_.extendTo(FixedRows(), FixedCols());
        vMessageSelectionChanged();
        for (int c = 0; c < ColCount(); ++c) vUpdateColWidth(c);
        Invalidate();
        raiseRowEvents([&] {
            if (ERowsDeleted) ERowsDeleted(first, last);
        });
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vDeleteCols(int first, int last) {
    try {
        const int f = iColIn(first), l = iColIn(last);
        vProofFirstLastCol(f, l);
        const int n = l - f + 1;
        const TGridUpdateScope batch(*this);
        if (f < FixedCols()) vFixierungAufheben(this);
        if (iNumLin < ColCount() - n) {
            if (iNumCol != 0) rotateHeaderLine(f, ColCount() - n, ColCount());
            DeleteCols(f, n);
            numberFrom(RowCount(), ColCount());
        } else {
            collapse();  // no data column remains
        }
        Selection_.startAt(FixedRows(), FixedCols());
        Selection_.extendTo(FixedRows(), FixedCols());
        vMessageSelectionChanged();
        vCalculateRowHeights();
        for (int c = 0; c < ColCount(); ++c) vUpdateColWidth(c);
        Invalidate();
        raiseColEvents([&] {
            if (EColsDeleted) EColsDeleted(first, last);
        });
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vClearRows(int first, int last) {
    try {
        const int f = iRowIn(first), l = iRowIn(last);
        vProofFirstLastRow(f, l);
        const TGridUpdateScope batch(*this);
        for (int r = f; r <= l; ++r) {
            for (int c = iNumLin; c < ColCount(); ++c) {
                if (TObject* o = Objects(c, r))
                    static_cast<TCellPropertyQx*>(o)->vSetHiddenString("");
                SetCells(c, r, cpEmptyString);
            }
            vCalculateRowHeight(r);
        }
        for (int c = 0; c < ColCount(); ++c) vUpdateColWidth(c);
        Invalidate();
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vInsertRows(int row, int count) {
    try {
        const int r = iRowIn(row);
        if (count <= 0) return;
        // The check the enlarged table would pass, made before anything changes.
        if (r < iNumCol) QX_RAISE(kRowTooSmall, "Row=%d", r);
        if (r >= RowCount() + count)
            QX_RAISE(kRowTooLarge, "Row=%d RowCount=%d", r, RowCount() + count);
        const TGridUpdateScope batch(*this);
        const int at = std::min(r, RowCount());
        InsertRows(at, count);  // the line-number cells are anchored: new ones come last
        formatRowsLike(at, count, at + count);
        numberFrom(RowCount() - count, ColCount());
        for (int i = at; i < at + count; ++i) vCalculateRowHeight(i);
        vUpdateColWidth(0);
        Invalidate();
        raiseRowEvents([&] {
            if (ERowsInserted) ERowsInserted(row, count);
        });
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vInsertCols(int col, int count) {
    try {
        const int c = iColIn(col);
        if (count <= 0) return;
        if (c < iNumLin) QX_RAISE(kColTooSmall, "Col=%d", c);
        if (c >= ColCount() + count)
            QX_RAISE(kColTooLarge, "Col=%d ColCount=%d", c, ColCount() + count);
        const TGridUpdateScope batch(*this);
        const int at = std::min(c, ColCount());
        InsertCols(at, count);
        if (iNumCol != 0) rotateHeaderLine(at, at + count, ColCount());
        formatColsLike(at, count, at + count);
        numberFrom(RowCount(), ColCount() - count);
        for (int i = at; i < at + count; ++i) vUpdateColWidth(i);
        Invalidate();
        raiseColEvents([&] {
            if (EColsInserted) EColsInserted(col, count);
        });
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vAppendRows(int count) {
    try {
        if (count <= 0) return;
        const TGridUpdateScope batch(*this);
        const int old = RowCount();
        InsertRows(old, count);
        formatRowsLike(old, count, old - 1);
        numberFrom(old, ColCount());
        for (int r = old; r < old + count; ++r) vCalculateRowHeight(r);
        vUpdateColWidth(0);
        Invalidate();
        raiseRowEvents([&] {
            if (ERowsAppended) ERowsAppended(count);
        });
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vAppendCols(int count) {
    try {
        if (count <= 0) return;
        const TGridUpdateScope batch(*this);
        const int old = ColCount();
        InsertCols(old, count);
        formatColsLike(old, count, old - 1);
        numberFrom(RowCount(), old);
        for (int c = old; c < old + count; ++c) vUpdateColWidth(c);
        Invalidate();
        raiseColEvents([&] {
            if (EColsAppended) EColsAppended(count);
        });
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::enlargeTo(int lastRow, int lastCol) {
    if (lastCol >= ColCount()) vAppendCols(lastCol - ColCount() + 1);
    if (lastRow >= RowCount()) vAppendRows(lastRow - RowCount() + 1);
}

// ---------------------------------------------------------------------------- fixed area

void TStringGridQx::vGetFixedArea(int& rows, int& cols) const {
    rows = FixedRows() - iNumCol;
    cols = FixedCols() - iNumLin;
}

void TStringGridQx::vSetFixedArea(int rows, int cols) {
    try {
        const int fr = rows + iNumCol, fc = cols + iNumLin;
        if (fr < iNumCol) QX_RAISE(kFixedRowsBelowHeader, "FixedRows=%d NumCol=%d", fr, iNumCol);
        if (fr >= RowCount())
            QX_RAISE(kFixedRowsTooMany, "FixedRows=%d RowCount=%d", fr, RowCount());
        if (fc < iNumLin) QX_RAISE(kFixedColsBelowHeader, "FixedCols=%d NumLin=%d", fc, iNumLin);
        if (fc >= ColCount())
            QX_RAISE(kFixedColsTooMany, "FixedCols=%d ColCount=%d", fc, ColCount());
        SetFixedRows(fr);
        SetFixedCols(fc);
        vSetSelectedArea(iRowOut(fr), iRowOut(fr), iColOut(fc), iColOut(fc));
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vResetFixedArea() {
    try {
        SetFixedRows(iNumCol);
        SetFixedCols(iNumLin);
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vFixieren(TObject*) {
    try {
        // Nothing selected: nothing to fix at.
        if (!Selection_.bSelected || Selection_.iFirstRow < 0 || Selection_.iFirstCol < 0) return;
        const int rows = iRowOut(Selection_.iFirstRow), cols = iColOut(Selection_.iFirstCol);
        Selection_.vReset();
        Selection_.forgetReported();
        vSetFixedArea(rows, cols);
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vFixierungAufheben(TObject*) {
    try {
        Selection_.vReset();
        Selection_.forgetReported();
        vResetFixedArea();
    } catch (...) {
        QX_SHOW();
    }
}

// ---------------------------------------------------------------------------- selection

void TStringGridQx::vSetSelectionMode(TSGSelectionMode mode) {
    if (mode == Selection_.eMode) return;
    Selection_.eMode = mode;
    const int fr = Selection_.iFirstRow, fc = Selection_.iFirstCol, lr = Selection_.iLastRow,
              lc = Selection_.iLastCol;
    Selection_.startAt(fr, fc);
    Selection_.extendTo(lr, lc);
    selectionChanged();
}

void TStringGridQx::vSetSelectSingleCell(bool b) {
    if (b == Selection_.bSelectSingleCell) return;
    Selection_.bSelectSingleCell = b;
    const int fr = Selection_.iFirstRow, fc = Selection_.iFirstCol, lr = Selection_.iLastRow,
              lc = Selection_.iLastCol;
    Selection_.startAt(fr, fc);
    Selection_.extendTo(lr, lc);
    selectionChanged();
}

void TStringGridQx::vGetSelectedArea(int& firstRow, int& lastRow, int& firstCol,
                                     int& lastCol) const {
    firstRow = iRowOut(Selection_.iFirstRow);
    lastRow = iRowOut(Selection_.iLastRow);
    firstCol = iColOut(Selection_.iFirstCol);
    lastCol = iColOut(Selection_.iLastCol);
}

void TStringGridQx::vSetSelectedArea(int firstRow, int lastRow, int firstCol, int lastCol) {
    try {
        const int fr = iRowIn(firstRow), lr = iRowIn(lastRow), fc = iColIn(firstCol),
                  lc = iColIn(lastCol);
        if (fr < FixedRows()) QX_RAISE(kRowTooSmall, "FirstRow=%d FixedRows=%d", fr, FixedRows());
        if (lr < fr) QX_RAISE(kRowsReversed, "FirstRow=%d LastRow=%d", fr, lr);
        if (lr >= RowCount()) QX_RAISE(kRowTooLarge, "LastRow=%d RowCount=%d", lr, RowCount());
        if (fc < FixedCols()) QX_RAISE(kColTooSmall, "FirstCol=%d FixedCols=%d", fc, FixedCols());
        if (lc < fc) QX_RAISE(kColsReversed, "FirstCol=%d LastCol=%d", fc, lc);
        if (lc >= ColCount()) QX_RAISE(kColTooLarge, "LastCol=%d ColCount=%d", lc, ColCount());
        const TSGSelection& s = Selection_;
        if (fr == s.iFirstRow && lr == s.iLastRow && fc == s.iFirstCol && lc == s.iLastCol) return;
        Selection_.startAt(fr, fc);
        Selection_.extendTo(lr, lc);
        const int rows = VisibleRowCount(), cols = VisibleColCount();
        if (rows > 0 && cols > 0) {
            if (fr > TopRow() + rows - 1)
                SetTopRow(fr - rows + 1);
            else if (TopRow() > lr)
                SetTopRow(fr);
            if (fc > LeftCol() + cols - 1)
                SetLeftCol(fc - cols + 1);
            else if (LeftCol() > lc)
                SetLeftCol(fc);
        }
        selectionChanged();
    } catch (...) {
        QX_PASS();
    }
}

bool TStringGridQx::bIsSelectedRow(int row) const {
    try {
        const int r = iRowIn(row);
        vProofRow(r);
        return Selection_.bRows && Selection_.contains(r, iNumLin) &&
               Selection_.eMode != eSelectNone;
    } catch (...) {
        QX_PASS();
    }
}

bool TStringGridQx::bIsSelectedCol(int col) const {
    try {
        const int c = iColIn(col);
        vProofCol(c);
        return Selection_.bCols && Selection_.contains(iNumCol, c) &&
               Selection_.eMode != eSelectNone;
    } catch (...) {
        QX_PASS();
    }
}

bool TStringGridQx::bIsSelectedCell(int row, int col) const {
    try {
        const int r = iRowIn(row), c = iColIn(col);
        vProofRowCol(r, c);
        return Selection_.contains(r, c) && Selection_.eMode != eSelectNone;
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vMessageSelectionChanged() {
    TSGSelection& s = Selection_;
    if (s.eMode == eSelectNone) return;
    if (s.iFirstRow == s.iReportedFirstRow && s.iLastRow == s.iReportedLastRow &&
        s.iFirstCol == s.iReportedFirstCol && s.iLastCol == s.iReportedLastCol)
        return;
    // Remembered first: a listener that changes the selection is reported again.
    s.iReportedFirstRow = s.iFirstRow;
    s.iReportedLastRow = s.iLastRow;
    s.iReportedFirstCol = s.iFirstCol;
    s.iReportedLastCol = s.iLastCol;
    const int fr = iRowOut(s.iFirstRow), lr = iRowOut(s.iLastRow), fc = iColOut(s.iFirstCol),
              lc = iColOut(s.iLastCol);
    const bool rows = s.bRows, cols = s.bCols;
    if (ERowSelectionChanged && rows) ERowSelectionChanged(fr, lr);
    if (EColSelectionChanged && cols) EColSelectionChanged(fc, lc);
    if (ECellSelectionChanged) ECellSelectionChanged(fr, lr, fc, lc);
}

void TStringGridQx::vSetCanEditCells(bool b) {
    bCanEditCells = b;
    if (b && Selection_.iCount == 1)
        SetOptions(Options() | goEditing);
    else if (!b)
        SetOptions(Options() & ~goEditing);
}

// ---------------------------------------------------------------------------- handlers

void TStringGridQx::vOnSelectCell(TObject*, int ACol, int ARow, bool& CanSelect) {
    CanSelect = true;
    try {
        // While the left button drags, the mouse handlers extend the selection.
        if (bLeftButtonDown) return;
        Selection_.startAt(ARow, ACol);
        Selection_.extendTo(ARow, ACol);
        selectionChanged();
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vOnMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
    try {
        SetOptions(Options() & ~goEditing);
        if (Button == mbLeft)
            bLeftButtonDown = true;
        else if (Button == mbRight)
            bRightButtonDown = true;
        ssLastShift = Shift;
        MouseToCell(X, Y, iMouseDownCol, iMouseDownRow);
        // The mouse is where it was pressed: a release without a move in between must not
        // extend the selection to a cell of an earlier drag.
        iMouseMoveCol = iMouseDownCol;
        iMouseMoveRow = iMouseDownRow;
        if (Button == mbLeft) {
            Selection_.startAt(iMouseDownRow, iMouseDownCol);
            selectionChanged();
        } else if (Button == mbRight) {
            if (pPopupMenu) {
                const TPoint at = ClientToScreen({X, Y});
                pPopupMenu->SetPopupComponent(this);
                pPopupMenu->Popup(at.x, at.y);
            }
            bRightButtonDown = false;
        }
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vOnMouseMove(TObject*, TShiftState, int X, int Y) {
    try {
        MouseToCell(X, Y, iMouseMoveCol, iMouseMoveRow);
        if (bLeftButtonDown && Selection_.extendTo(iMouseMoveRow, iMouseMoveCol))
            selectionChanged();
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vOnMouseUp(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
    try {
        MouseToCell(X, Y, iMouseUpCol, iMouseUpRow);
        if (bLeftButtonDown && Selection_.extendTo(iMouseMoveRow, iMouseMoveCol))
            selectionChanged();
        if (Button == mbLeft)
            bLeftButtonDown = false;
        else if (Button == mbRight)
            bRightButtonDown = false;
        ssLastShift = Shift;
        if (Selection_.iCount == 1 && bCanEditCells) SetOptions(Options() | goEditing);
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vOnSetEditText(TObject*, int ACol, int ARow, const AnsiString&) {
    try {
        pGetCellProperty(ACol, ARow)->vSetChanged(true);
        vUpdateColWidth(ACol);
        Invalidate();
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vOnDblClick(TObject*) {}
void TStringGridQx::vOnEnter(TObject*) {}
void TStringGridQx::vOnExit(TObject*) {}
void TStringGridQx::vOnKeyDown(TObject*, unsigned short&, TShiftState) {}

// ---------------------------------------------------------------------------- drawing

void TStringGridQx::vOnDrawCell(TObject*, int ACol, int ARow, const TRect& Rect, TGridDrawState) {
    try {
        if (!bInitialised) {
            bInitialised = true;
            const TGridUpdateScope batch(*this);
            vNumLinesColumns();
            vCalculateColWidths();
            vCalculateRowHeights();
            Invalidate();
            return;
        }
        if (TObject* o = Objects(ACol, ARow);
            o && static_cast<TCellPropertyQx*>(o)->bGetChanged()) {
            static_cast<TCellPropertyQx*>(o)->vSetChanged(false);
            if (ECellContentChanged && ECellContentChanged(iRowOut(ARow), iColOut(ACol))) {
                vUpdateColWidth(ACol);
                Invalidate();
                return;
            }
        }
        const TCellPropertyQx& p = rViewProperty(ACol, ARow);
        const AnsiString& text = CellRef(ACol, ARow);
        const bool selected = Selection_.contains(ARow, ACol);
        TCanvas& canvas = Canvas();
        canvas.Brush.Color = selected ? darkened(p.iGetBKColor()) : p.iGetBKColor();
        canvas.FillRect(Rect);
        canvas.Font.Color = p.iGetFontColor();
        canvas.Font.Size = p.iGetFontSize();
        if (!text.empty()) {
            const int width = canvas.TextWidth(text);
            const int y = (Rect.top + Rect.bottom - canvas.TextHeight(text)) / 2;
            int x = Rect.left + kTextMargin;
            switch (p.eGetAdjust()) {
                case eAdjustDefault:
                    if (isNumberText(text.c_str())) x = Rect.right - width - kTextMargin;
                    break;
                case eAdjustCenter:
                    x = (Rect.left + Rect.right - width) / 2;
                    break;
                case eAdjustRight:
                    x = Rect.right - width - kTextMargin;
                    break;
                default:
                    break;
            }
            canvas.TextOut(x, y, text);
        }
        if (selected) {
            const TSGSelection& s = Selection_;
            constexpr int d = 1;
            canvas.Pen.Color = clRed;
            canvas.Pen.Width = 2;
            canvas.Pen.Mode = pmMaskPenNot;
            auto line = [&](int x0, int y0, int x1, int y1) {
                canvas.MoveTo(x0, y0);
                canvas.LineTo(x1, y1);
            };
            if (ACol == std::max(iNumLin, s.iFirstCol))
                line(Rect.left + d, Rect.top + d, Rect.left + d, Rect.bottom - d);
            if (ACol == s.iLastCol)
                line(Rect.right - d, Rect.top + d, Rect.right - d, Rect.bottom - d);
            if (ARow == std::max(iNumCol, s.iFirstRow))
                line(Rect.left + d, Rect.top + d, Rect.right - d, Rect.top + d);
            if (ARow == s.iLastRow)
                line(Rect.left + d, Rect.bottom - d, Rect.right - d, Rect.bottom - d);
            canvas.Pen.Color = clBlack;
            canvas.Pen.Width = 1;
            canvas.Pen.Mode = pmCopy;
        }
    } catch (...) {
        QX_SHOW();
    }
}

// ---------------------------------------------------------------------------- transfer bounds

TStringGridQx::TBounds TStringGridQx::bounds() const {
    return {Selection_.iFirstRow, Selection_.iLastRow, Selection_.iFirstCol, Selection_.iLastCol};
}

void TStringGridQx::setBounds(const TBounds& b) {
    Selection_.iFirstRow = b.iFirstRow;
    Selection_.iLastRow = b.iLastRow;
    Selection_.iFirstCol = b.iFirstCol;
    Selection_.iLastCol = b.iLastCol;
}

namespace Stringgridqx {
void Register() {
    RegisterComponents("ORVI", {TComponentClass::Of<TStringGridQx>("TStringGridQx")});
}
}  // namespace Stringgridqx
