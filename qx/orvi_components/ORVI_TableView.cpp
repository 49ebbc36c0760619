#include "qx/orvi_components/ORVI_TableView.h"

#include <algorithm>

#include "qx/error/Language.h"
#include "qx/error/Qxexception.h"
#include "qx/numeric/MenuUtils.h"
#include "qx/platform/Clipboard.h"
#include "qx/platform/Files.h"
#include "qx/platform/Registry.h"

namespace {
constexpr unsigned long kWrongParameter = 0x05100000UL;
constexpr unsigned long kOpenToWrite = 0x03500000UL;
constexpr unsigned long kWriteFile = 0x03600000UL;
// Cells of this system colour keep black text on their own colour.
constexpr TColor kInfoBackground = static_cast<TColor>(0x80000016);
constexpr int kReformatMargin = 5;

const TLanguage::TLanguageString kSaveCaption{"&Speichern unter", "&Save as"};
const TLanguage::TLanguageString kCopyCaption{"&Kopieren", "&Copy"};
const TLanguage::TLanguageString kSaveFilter{"Tabelle *.txt|txt", "Table *.txt|txt"};
}  // namespace

TORVI_TableView::TORVI_TableView(TComponent* owner)
    : TStringGrid(owner), saveDialog_(new TSaveDialog(this)) {
    vCellColors.assign(static_cast<size_t>(ColCount()),
                       std::vector<int>(static_cast<size_t>(RowCount()), -1));
    AfterConstruction();
}

void TORVI_TableView::AfterConstruction() {
    if (!saveItem_) _createMenu();
    vSetAktLanguage();
}

void TORVI_TableView::_createMenu() {
    pPopupMenu_ = new TPopupMenu(this);
    saveItem_ = new TMenuItem(nullptr);
    saveItem_->OnClick = [this](TObject* s) { Export2File(s); };
    copyItem_ = new TMenuItem(nullptr);
    copyItem_->OnClick = [this](TObject* s) { Export2Clipboard(s); };
    pPopupMenu_->Items()->Add(saveItem_);
    pPopupMenu_->Items()->Add(copyItem_);
    // A right click opens the control's popup menu: that is the menu's automatic popup.
    SetPopupMenu(pPopupMenu_);
}

void TORVI_TableView::vSetAktLanguage() {
    if (copyItem_) copyItem_->SetCaption(kCopyCaption());
    if (saveItem_) saveItem_->SetCaption(kSaveCaption());
}

void TORVI_TableView::vAddMenu(const TPopupMenu* source, bool separator) {
    if (pPopupMenu_) ::vAddMenu(pPopupMenu_, source, separator);
}

void TORVI_TableView::appendLine(int row, AnsiString& out) const {
    for (int c = 0; c < ColCount(); ++c) {
        out += CellRef(c, row);
        out += '\t';
    }
    out += "\r\n";
}

void TORVI_TableView::_line2String(int row, AnsiString& out) const {
    try {
        if (row < 0 || row >= RowCount())
            QX_RAISE(kWrongParameter, "Row=%d RowCount=%d", row, RowCount());
        out.clear();
        appendLine(row, out);
    } catch (...) {
        QX_PASS();
    }
}

void TORVI_TableView::_table2String(AnsiString& out) const {
    out.clear();
    for (int r = 0; r < RowCount(); ++r) appendLine(r, out);
}

void TORVI_TableView::Export2File(TObject*) {
    try {
        saveDialog_->SetFilter(kSaveFilter());
        saveDialog_->SetDefaultExt("txt");
        saveDialog_->SetOptions(saveDialog_->Options() | ofOverwritePrompt | ofNoReadOnlyReturn);
        if (!saveDialog_->Execute()) return;
        const AnsiString name = saveDialog_->FileName();
        AnsiString content;
        _table2String(content);
        bool writeFailed = false;
        const bool ok = qx::platform::ReplaceFile(name, [&](int fd) {
            writeFailed = !qx::platform::WriteAll(fd, content.data(), content.size());
            return !writeFailed;
        });
        if (!ok) QX_RAISE(writeFailed ? kWriteFile : kOpenToWrite, "%s", name.c_str());
    } catch (...) {
        QX_SHOW();
    }
}

void TORVI_TableView::Export2Clipboard(TObject*) {
    try {
        AnsiString content;
        _table2String(content);
        qx::platform::SetClipboardText(content);
    } catch (...) {
        QX_SHOW();
    }
}

void TORVI_TableView::reformat() {
    TCanvas& canvas = Canvas();
    canvas.Font = Font();
    BeginUpdate();
    for (int c = 0; c < ColCount(); ++c) {
        int widest = 0;
        for (int r = 0; r < RowCount(); ++r) {
            const AnsiString& t = CellRef(c, r);
            if (!t.empty()) widest = std::max(widest, canvas.TextWidth(t));
        }
        SetColWidths(c, widest + kReformatMargin);
    }
    EndUpdate();
}

void TORVI_TableView::vClearColor() {
    for (auto& column : vCellColors) std::fill(column.begin(), column.end(), -1);
}

void TORVI_TableView::SizeChanged(int oldColCount, int oldRowCount) {
    TStringGrid::SizeChanged(oldColCount, oldRowCount);
    vCellColors.resize(static_cast<size_t>(ColCount()));
    for (auto& column : vCellColors) column.resize(static_cast<size_t>(RowCount()), -1);
}

void TORVI_TableView::RowsInserted(int at, int count) {
    TStringGrid::RowsInserted(at, count);
    for (auto& column : vCellColors)
        if (static_cast<int>(column.size()) >= at)
            column.insert(column.begin() + at, static_cast<size_t>(count), -1);
}

void TORVI_TableView::RowsDeleted(int at, int count) {
    TStringGrid::RowsDeleted(at, count);
    for (auto& column : vCellColors) {
        const int end = std::min(at + count, static_cast<int>(column.size()));
        if (end > at) column.erase(column.begin() + at, column.begin() + end);
    }
}

void TORVI_TableView::RowMoved(int from, int to) {
    TStringGrid::RowMoved(from, to);
    for (auto& column : vCellColors)
        if (std::max(from, to) < static_cast<int>(column.size()))
            qx::platform::MoveEntry(column, from, to);
}

void TORVI_TableView::ColsInserted(int at, int count) {
    TStringGrid::ColsInserted(at, count);
    at = std::min(at, static_cast<int>(vCellColors.size()));
    vCellColors.insert(vCellColors.begin() + at, static_cast<size_t>(count),
                       std::vector<int>(static_cast<size_t>(RowCount()), -1));
}

void TORVI_TableView::ColsDeleted(int at, int count) {
    TStringGrid::ColsDeleted(at, count);
    const int end = std::min(at + count, static_cast<int>(vCellColors.size()));
    if (end > at) vCellColors.erase(vCellColors.begin() + at, vCellColors.begin() + end);
}

void TORVI_TableView::ColMoved(int from, int to) {
    TStringGrid::ColMoved(from, to);
    if (std::max(from, to) < static_cast<int>(vCellColors.size()))
        qx::platform::MoveEntry(vCellColors, from, to);
}

void TORVI_TableView::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    const int colour = col >= 0 && col < static_cast<int>(vCellColors.size()) && row >= 0 &&
                               row < static_cast<int>(vCellColors[static_cast<size_t>(col)].size())
                           ? vCellColors[static_cast<size_t>(col)][static_cast<size_t>(row)]
                           : -1;
    if (colour == -1) {
        TStringGrid::DrawCell(col, row, rect, state);
        return;
    }
    TCanvas& canvas = Canvas();
    canvas.Brush.Color = colour;
    canvas.FillRect(rect);
    canvas.Font = Font();
    canvas.Font.Color = row < FixedRows() || colour == kInfoBackground ? clBlack : clWhite;
    canvas.TextOut(rect.left, rect.top, CellRef(col, row));
}

namespace ORVI_TableView {
void Register() {
    RegisterComponents("ORVI", {TComponentClass::Of<TORVI_TableView>("TORVI_TableView")});
}
}  // namespace ORVI_TableView
