// The frame's form, the binding of table and grid, and the line and column operations.
#include "qx/tableframe/QxTableFrame.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "qx/error/Qxexception.h"

namespace {

constexpr unsigned long kRowNegative = 0xE743600FUL;
constexpr unsigned long kRowTooLarge = 0xE7436011UL;
constexpr unsigned long kColNegative = 0xE743600CUL;
constexpr unsigned long kColTooLarge = 0xE743600EUL;
constexpr unsigned long kColumnOutsideLine = 0xE513600BUL;
constexpr unsigned long kLineSizeTooSmall = 0xE5136012UL;

eAdjustQx adjustOf(const TQxTable::TItem& item) {
    return item.eTyp == TH5Type::eTypString ? eAdjustLeft : eAdjustRight;
}

}  // namespace

// ---------------------------------------------------------------------------- form

TQxTableFrame::TQxTableFrame(TComponent* owner) : TFrame(owner) {
    SetBounds(0, 0, 441, 352);
    paCaption = MakeChild<TPanel>(this, this, "paCaption");
    paCaption->SetAlign(alTop);
    paCaption->SetHeight(24);
    paCaption->SetBevelOuter(bvNone);
    TFont font = paCaption->Font();
    font.Name = "Arial";
    font.Style = fsBold;
    font.SetHeight(-17);
    font.Color = clWindowText;
    paCaption->SetFont(font);
    paCaption->SetCaption("paCaption");

    StringGridQx = MakeChild<TStringGridQx>(this, this, "StringGridQx");
    StringGridQx->SetAlign(alClient);
    StringGridQx->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine |
                             goRangeSelect | goTabs | goThumbTracking);
    StringGridQx->SetColCount(5);
    StringGridQx->SetRowCount(5);
    StringGridQx->SetDefaultRowHeight(20);
    StringGridQx->SetDefaultColWidth(23);
    for (int r = 0; r < StringGridQx->RowCount(); ++r) StringGridQx->SetRowHeights(r, 17);
    StringGridQx->EBeforePopup = [this](TSGChangeBehaviour* b) { StringGridQxEBeforePopup(b); };
    StringGridQx->ECellContentChanged = [this](int row, int col) {
        return StringGridQxECellContentChanged(row, col);
    };

    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->SetName("SaveDialog1");
    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->SetName("OpenDialog1");
    tTable.bShowLineNum = false;
}

TQxTableFrame::~TQxTableFrame() {
    // The grid outlives this body (the owner deletes it later): it must not call back.
    StringGridQx->EBeforePopup = nullptr;
    StringGridQx->ECellContentChanged = nullptr;
    vFreeTable();
}

// ---------------------------------------------------------------------------- caption, format

void TQxTableFrame::vSetCaption(const char* text) {
    const AnsiString t = text ? text : "";
    paCaption->SetCaption(t);
    tTable.sName = t;
    paCaption->SetVisible(!t.empty());
}

AnsiString TQxTableFrame::sGetCaption() const {
    return paCaption->Caption();
}

void TQxTableFrame::vSetFormat(bool bLineNumbers, bool bColNumbers, bool bCaptions, bool bUnits) {
    try {
        StringGridQx->vSetLinColNum(bLineNumbers, bColNumbers);
        tTable.bShowColumnCaption = bCaptions;
        tTable.bShowEinheit = bUnits;
    } catch (...) {
        QX_PASS();
    }
}

int TQxTableFrame::headerRows() const {
    return (tTable.bShowColumnCaption ? 1 : 0) + (tTable.bShowEinheit ? 1 : 0);
}

int TQxTableFrame::headerCols() const {
    return tTable.bShowLineNum ? 1 : 0;
}

// ---------------------------------------------------------------------------- drawing

void TQxTableFrame::vDrawTable() {
    try {
        const TGridUpdateScope batch(*StringGridQx);
        vResizeGrid();
        vDrawHeader();
        vDrawContent();
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vResizeGrid() {
    try {
        TStringGridQx& g = *StringGridQx;
        const int h = headerRows(), l = headerCols();
        g.vResetFixedArea();
        if (g.iGetRowCount() <= h || g.iGetColCount() <= l)
            g.vSetTableSize(std::max(h + 1, g.iGetRowCount()), std::max(l + 1, g.iGetColCount()));
        g.vSetFixedArea(h, l);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vDrawHeader() {
    try {
        TStringGridQx& g = *StringGridQx;
        const TGridUpdateScope batch(g);
        int fixedRows = 0, fixedCols = 0;
        g.vGetFixedArea(fixedRows, fixedCols);
        g.vResetFixedArea();
        const int l = headerCols(), lines = iGetLineCount();
        // Only what the grid holds: a grid not yet brought to the table's size (a cleared
        // frame, a table shown before vResizeGrid) gets the part of the header that fits.
        const int gridRows = g.iGetRowCount(), gridCols = g.iGetColCount();
        const int cols = std::min(iGetColCount(), gridCols - l);
        int r = 0;
        auto headerRow = [&](auto text) {
            if (r >= gridRows) return;
            for (int j = 0; j < cols; ++j)
                g.vSetCellString(r, j + l, text(tTable.vColumns[static_cast<std::size_t>(j)]));
            if (gridCols > 0) g.vSetBKColor(eColorLightGray, r, r, 0, gridCols - 1);
            ++r;
        };
        if (tTable.bShowColumnCaption)
            headerRow([](const TQxTable::TItem& c) {
                return (c.sCaption.empty() ? c.sName : c.sCaption).c_str();
            });
        if (tTable.bShowEinheit)
            headerRow([](const TQxTable::TItem& c) { return c.sEinheit.c_str(); });
        if (tTable.bShowLineNum && gridCols > 0) {
            const int shown = std::min(lines, gridRows - r);
            char number[16];
            for (int i = 0; i < shown; ++i) {
                std::snprintf(number, sizeof number, "%d", i);
                g.vSetCellString(i + r, 0, number);
            }
            if (shown + r > 0) g.vSetBKColor(eColorLightGray, 0, shown + r - 1, 0, 0);
        }
        if (fixedRows != 0 || fixedCols != 0) g.vSetFixedArea(fixedRows, fixedCols);
        g.vCalculateColWidths();
    } catch (...) {
        QX_PASS();
    }
}

AnsiString TQxTableFrame::cellText(int line, int column) {
    AnsiString out;
    const TQxTable::TItem& c = tTable.vColumns[static_cast<std::size_t>(column)];
    const unsigned size = tTable.uGetLineSize();
    if (c.uOffset >= size) return out;
    const std::size_t room = size - c.uOffset;
    if (c.eTyp != TH5Type::eTypString && qx::detail::valueSize(c) > room) return out;
    vFormatString(vLineBuffers[static_cast<std::size_t>(line)].get() + c.uOffset, c.eTyp, c.sFormat,
                  std::min<std::size_t>(c.uStringSize, room), out);
    return out;
}

void TQxTableFrame::vDrawContent() {
    try {
        const TGridUpdateScope batch(*StringGridQx);
        for (int j = 0; j < iGetColCount(); ++j)
            for (int i = 0; i < iGetLineCount(); ++i)
                StringGridQx->vSetCellString(i, j, cellText(i, j).c_str());
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::writeLines(int first, int last) {
    TStringGridQx& g = *StringGridQx;
    for (int j = 0; j < iGetColCount(); ++j) {
        g.vSetAdjust(adjustOf(tTable.vColumns[static_cast<std::size_t>(j)]), first, last, j, j);
        for (int i = first; i <= last; ++i) g.vSetCellString(i, j, cellText(i, j).c_str());
    }
}

void TQxTableFrame::vRedrawLines(int first, int last) {
    try {
        if (first <= last) {
            vProofRow(first);
            vProofRow(last);
        }
        TStringGridQx& g = *StringGridQx;
        const TGridUpdateScope batch(g);
        if (first <= last) writeLines(first, last);
        for (int i = first; i <= last; ++i) g.vCalculateRowHeight(g.iRowIn(i));
        g.vUpdateColWidths();  // the grid keeps its text widths: no pass over every row
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vRedrawColumns(int first, int last) {
    try {
        if (first <= last) {
            vProofCol(first);
            vProofCol(last);
        }
        TStringGridQx& g = *StringGridQx;
        const TGridUpdateScope batch(g);
        const int lines = iGetLineCount();
        for (int j = first; j <= last; ++j) {
            if (lines > 0)
                g.vSetAdjust(adjustOf(tTable.vColumns[static_cast<std::size_t>(j)]), 0, lines - 1,
                             j, j);
            for (int i = 0; i < lines; ++i) g.vSetCellString(i, j, cellText(i, j).c_str());
        }
        for (int j = first; j <= last; ++j) g.vCalculateColWidth(g.iColIn(j));
        g.vCalculateRowHeights();
        vDrawHeader();
    } catch (...) {
        QX_PASS();
    }
}

// ---------------------------------------------------------------------------- lines

void TQxTableFrame::addBuffers(const unsigned char* data, int count) {
    const std::size_t size = tTable.uGetLineSize();
    const std::size_t n = vLineBuffers.size();
    std::vector<std::unique_ptr<unsigned char[]>> fresh;
    fresh.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        // A null source gives zero-filled lines.
        auto b = std::make_unique<unsigned char[]>(size);
        if (data != nullptr && size > 0)
            std::memcpy(b.get(), data + static_cast<std::size_t>(k) * size, size);
        fresh.push_back(std::move(b));
    }
    // Everything is allocated before the table changes.
    vLineBuffers.reserve(n + fresh.size());
    tTable.vSetLineNumber(static_cast<unsigned>(n + fresh.size()));
    for (auto& b : fresh) {
        tTable.vSetLine(static_cast<unsigned>(vLineBuffers.size()), b.get());
        vLineBuffers.push_back(std::move(b));
    }
}

void TQxTableFrame::vAppendLine(const unsigned char* data) {
    try {
        vAppendLines(data, 1);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vAppendLines(const unsigned char* data, int count) {
    try {
        if (count <= 0) return;
        const int n = iGetLineCount();
        addBuffers(data, count);
        TStringGridQx& g = *StringGridQx;
        const TGridUpdateScope batch(g);
        if (iGetLineCount() > g.iGetRowCount()) g.vAppendRows(iGetLineCount() - g.iGetRowCount());
        vRedrawLines(n, n + count - 1);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vInsertLine(int at, const unsigned char* data) {
    try {
        vProofRow(at);
        const std::size_t size = tTable.uGetLineSize();
        auto b = std::make_unique<unsigned char[]>(size);
        if (data != nullptr && size > 0) std::memcpy(b.get(), data, size);
        const auto pos = vLineBuffers.begin() + at;
        vLineBuffers.insert(pos, std::move(b));
        const unsigned n = static_cast<unsigned>(vLineBuffers.size());
        tTable.vSetLineNumber(n);
        for (unsigned i = static_cast<unsigned>(at); i < n; ++i)
            tTable.vSetLine(i, vLineBuffers[i].get());
        StringGridQx->vInsertRows(at, 1);
        vRedrawLines(at, at);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vDeleteLine(int at) {
    try {
        vProofRow(at);
        vLineBuffers.erase(vLineBuffers.begin() + at);
        const unsigned n = static_cast<unsigned>(vLineBuffers.size());
        for (unsigned i = static_cast<unsigned>(at); i < n; ++i)
            tTable.vSetLine(i, vLineBuffers[i].get());
        tTable.vSetLineNumber(n);
        if (n > 0)
            StringGridQx->vDeleteRows(at, at);
        else
            StringGridQx->vClearRows(at, at);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vSetLine(int at, const char* data) {
    try {
        vProofRow(at);
        if (data != nullptr && tTable.uGetLineSize() > 0)
            std::memcpy(vLineBuffers[static_cast<std::size_t>(at)].get(), data,
                        tTable.uGetLineSize());
        vRedrawLines(at, at);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vGetLine(int at, char* out) const {
    try {
        vProofRow(at);
        if (out != nullptr && tTable.uGetLineSize() > 0)
            std::memcpy(out, vLineBuffers[static_cast<std::size_t>(at)].get(),
                        tTable.uGetLineSize());
    } catch (...) {
        QX_PASS();
    }
}

// ---------------------------------------------------------------------------- columns

int TQxTableFrame::iGetMinLineSize(const TQxTable::TItem& item) const {
    const std::uint64_t need = std::uint64_t{item.uOffset} + qx::detail::valueSize(item);
    return static_cast<int>(std::min<std::uint64_t>(need, INT_MAX));
}

void TQxTableFrame::vAppendColumn(const TQxTable::TItem& item) {
    try {
        vProofMinLineSize(iGetMinLineSize(item));
        tTable.vColumns.push_back(item);
        const int last = iGetColCount() - 1;
        if (iGetColCount() > StringGridQx->iGetColCount()) StringGridQx->vAppendCols(1);
        vResizeGrid();
        vDrawHeader();
        vRedrawColumns(last, last);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vInsertColumn(int at, const TQxTable::TItem& item) {
    try {
        vProofMinLineSize(iGetMinLineSize(item));
        vProofCol(at);
        tTable.vColumns.insert(tTable.vColumns.begin() + at, item);
        StringGridQx->vInsertCols(at, 1);
        vDrawHeader();
        vRedrawColumns(at, at);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vDeleteColumn(int at) {
    try {
        vProofCol(at);
        if (iGetColCount() >= 2) {
            tTable.vColumns.erase(tTable.vColumns.begin() + at);
            StringGridQx->vDeleteCols(at, at);
            vDrawHeader();
        } else {
            vClearTable();
        }
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vGetColumn(int at, TQxTable::TItem& out) const {
    try {
        vProofCol(at);
        out = tTable.vColumns[static_cast<std::size_t>(at)];
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vSetColumn(int at, const TQxTable::TItem& item) {
    try {
        vProofCol(at);
        vProofMinLineSize(iGetMinLineSize(item));
        tTable.vColumns[static_cast<std::size_t>(at)] = item;
        vRedrawColumns(at, at);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vSetLineSize(int size) {
    try {
        int needed = 0;
        for (const auto& c : tTable.vColumns) needed = std::max(needed, iGetMinLineSize(c));
        if (needed > size)
            QX_RAISE(kLineSizeTooSmall, "NeededLineSize=%d NewLineSize=%d", needed, size);
        const std::size_t old = tTable.uGetLineSize(), now = static_cast<std::size_t>(size);
        // All new buffers first, so that a failed allocation changes nothing.
        std::vector<std::unique_ptr<unsigned char[]>> fresh;
        fresh.reserve(vLineBuffers.size());
        for (const auto& b : vLineBuffers) {
            auto n = std::make_unique<unsigned char[]>(now);  // zero-filled
            std::memcpy(n.get(), b.get(), std::min(old, now));
            fresh.push_back(std::move(n));
        }
        tTable.vSetLineSize(static_cast<unsigned>(size));
        for (std::size_t i = 0; i < fresh.size(); ++i)
            tTable.vSetLine(static_cast<unsigned>(i), fresh[i].get());
        vLineBuffers = std::move(fresh);
    } catch (...) {
        QX_PASS();
    }
}

// ---------------------------------------------------------------------------- clearing

void TQxTableFrame::releaseLines() {
    tTable.vSetLineNumber(0);
    vLineBuffers.clear();
}

void TQxTableFrame::vClearTable() {
    try {
        tTable.vClear();
        vLineBuffers.clear();
        TStringGridQx& g = *StringGridQx;
        const TGridUpdateScope batch(g);
        g.vResetFixedArea();
        g.vSetTableSize(0, 0);
        tTable.bShowLineNum = false;
        g.vSetBKColor(eColorWhite, 0, 0, 0, 0);
        g.vSetColor(eColorBlack, 0, 0, 0, 0);
        g.vSetFontSize(eFontMedium, 0, 0, 0, 0);
        g.vSetAdjust(eAdjustDefault, 0, 0, 0, 0);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vClearContent() {
    try {
        releaseLines();
        TStringGridQx& g = *StringGridQx;
        const TGridUpdateScope batch(g);
        g.vSetTableSize(1, iGetColCount());
        g.vClearRows(0, 0);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vFreeTable() {
    releaseLines();
    tTable.vClear();
}

// ---------------------------------------------------------------------------- colours, selection

void TQxTableFrame::vSetColorBKLine(int line, eColorQx color) {
    try {
        vProofRow(line);
        vProofCol(0);
        StringGridQx->vSetBKColor(color, line, line, 0, iGetColCount() - 1);
    } catch (...) {
        QX_PASS();
    }
}

eColorQx TQxTableFrame::eGetColorBKLine(int line) {
    try {
        vProofRow(line);
        vProofCol(0);
        return StringGridQx->eGetBKColor(line, 0);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vSetColorBKColumn(int column, eColorQx color) {
    try {
        vProofCol(column);
        vProofRow(0);
        StringGridQx->vSetBKColor(color, 0, iGetLineCount() - 1, column, column);
    } catch (...) {
        QX_PASS();
    }
}

eColorQx TQxTableFrame::eGetColorBKColumn(int column) {
    try {
        vProofCol(column);
        vProofRow(0);
        return StringGridQx->eGetBKColor(0, column);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vGetSelectedArea(int& firstRow, int& lastRow, int& firstCol,
                                     int& lastCol) const {
    StringGridQx->vGetSelectedArea(firstRow, lastRow, firstCol, lastCol);
}

void TQxTableFrame::vSetSelectedArea(int firstRow, int lastRow, int firstCol, int lastCol) {
    try {
        StringGridQx->vSetSelectedArea(firstRow, lastRow, firstCol, lastCol);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTableFrame::vSetSelectedLines(int first, int last) {
    try {
        StringGridQx->vSetSelectedArea(first, last, 0, iGetColCount() - 1);
    } catch (...) {
        QX_PASS();
    }
}

// ---------------------------------------------------------------------------- checks

void TQxTableFrame::vProofRow(int row) const {
    if (row < 0) QX_RAISE(kRowNegative, "Row=%d", row);
    if (row >= iGetLineCount()) QX_RAISE(kRowTooLarge, "Row=%d RowCount=%d", row, iGetLineCount());
}

void TQxTableFrame::vProofCol(int column) const {
    if (column < 0) QX_RAISE(kColNegative, "Col=%d", column);
    if (column >= iGetColCount())
        QX_RAISE(kColTooLarge, "Col=%d ColCount=%d", column, iGetColCount());
}

void TQxTableFrame::vProofMinLineSize(int size) const {
    if (iGetLineSize() < size)
        QX_RAISE(kColumnOutsideLine, "MinLineSize=%d > TableLineSize=%d", size, iGetLineSize());
}
