// TQxTableFrame: a frame that shows and edits one TQxTable in a TStringGridQx, with a caption
// panel above the grid, file commands (binary table files and tab-separated text) and
// permission switches that decide what the grid's popup menu offers.
//
// Ownership: the frame owns its table and one buffer of uLineSize bytes per line; the table's
// line i refers to buffer i. Its components (panel, grid, dialogs, caption menu items) belong
// to the frame through the component tree.
//
// Binding: line i and column j of the table are the grid's user cell (i, j): the caption row,
// the unit row and the table's line-number column form the grid's fixation. The line and
// column operations keep the grid's data area at least as large as the table.
//
// Errors follow the package's convention (thrown error codes, a trace entry per level); the
// popup commands show the error dialog and clear the error instead. A failed check changes
// nothing.
//
// Threads: the thread that owns the windows.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "qx/grid/Stringgridqx.h"
#include "qx/platform/Controls.h"
#include "qx/platform/Dialogs.h"
#include "qx/platform/Forms.h"
#include "qx/platform/Menus.h"
#include "qx/table/QxTable.h"

class TQxTableFrame : public TFrame {
  public:
    // Size of the frame's work text: formatted values are cut to one less.
    static constexpr std::size_t kWorkSize = 1024;

    explicit TQxTableFrame(TComponent* owner);
    ~TQxTableFrame() override;
    TQxTableFrame(const TQxTableFrame&) = delete;
    TQxTableFrame& operator=(const TQxTableFrame&) = delete;

    // ------------------------------------------------------------------ caption and format
    // Panel text and table name; the panel shows only a non-empty text.
    void vSetCaption(const char* text);
    AnsiString sGetCaption() const;
    // The grid's own line and column numbers, the table's caption and unit rows. Nothing is
    // redrawn.
    void vSetFormat(bool bLineNumbers, bool bColNumbers, bool bCaptions, bool bUnits);

    // ------------------------------------------------------------------ drawing
    void vDrawTable();
    void vResizeGrid();
    void vDrawHeader();
    void vDrawContent();
    // Inclusive ranges of lines and columns.
    void vRedrawLines(int first, int last);
    void vRedrawColumns(int first, int last);

    // ------------------------------------------------------------------ lines
    int iGetLineCount() const { return static_cast<int>(vLineBuffers.size()); }
    int iGetColCount() const { return static_cast<int>(tTable.uGetColumnNumber()); }
    int iGetLineSize() const { return static_cast<int>(tTable.uGetLineSize()); }
    // Each copies uLineSize bytes from data.
    void vAppendLine(const unsigned char* data);
    // `count` lines of uLineSize bytes lying back to back at data, appended in one batch: the
    // same cells, alignments, row heights and column widths as `count` vAppendLine calls.
    void vAppendLines(const unsigned char* data, int count);
    void vInsertLine(int at, const unsigned char* data);
    void vDeleteLine(int at);
    void vSetLine(int at, const char* data);
    void vGetLine(int at, char* out) const;

    // ------------------------------------------------------------------ columns
    void vAppendColumn(const TQxTable::TItem& item);
    void vInsertColumn(int at, const TQxTable::TItem& item);
    void vDeleteColumn(int at);
    void vGetColumn(int at, TQxTable::TItem& out) const;
    void vSetColumn(int at, const TQxTable::TItem& item);
    // Resizes every line buffer (bytes kept up to the smaller size, zeros after). Raises
    // 0xE5136012 when a column would no longer fit. Nothing is redrawn.
    void vSetLineSize(int size);
    // uOffset plus the bytes of the column's type.
    int iGetMinLineSize(const TQxTable::TItem& item) const;

    // ------------------------------------------------------------------ clearing
    // Columns, lines and the grid's data area gone; the table's line numbers off.
    void vClearTable();
    // Lines gone, columns kept, one empty data row left in the grid.
    void vClearContent();
    // Lines gone and the table cleared; the grid is not touched.
    void vFreeTable();

    // ------------------------------------------------------------------ colours and selection
    void vSetColorBKLine(int line, eColorQx color);
    eColorQx eGetColorBKLine(int line);
    void vSetColorBKColumn(int column, eColorQx color);
    eColorQx eGetColorBKColumn(int column);
    void vSetSelectionMode(TSGSelectionMode mode) { StringGridQx->vSetSelectionMode(mode); }
    TSGSelectionMode eGetSelectionMode() const { return StringGridQx->eGetSelectionMode(); }
    void vSetSelectSingleCell(bool b) { StringGridQx->vSetSelectSingleCell(b); }
    bool bGetSelectSingleCell() const { return StringGridQx->bGetSelectSingleCell(); }
    void vGetSelectedArea(int& firstRow, int& lastRow, int& firstCol, int& lastCol) const;
    void vSetSelectedArea(int firstRow, int lastRow, int firstCol, int lastCol);
    void vSetSelectedLines(int first, int last);
    void vSetCanEditCells(bool b) { StringGridQx->vSetCanEditCells(b); }
    bool bGetCanEditCells() const { return StringGridQx->bGetCanEditCells(); }

    // ------------------------------------------------------------------ checks
    void vProofRow(int row) const;
    void vProofCol(int column) const;
    void vProofMinLineSize(int size) const;

    // ------------------------------------------------------------------ values as text
    // The value by type and format (the type's default when empty), without decimal-comma
    // replacement. Formats are checked: one conversion of the value's kind, or an empty text.
    // A string value is read up to its NUL; use the overload with a limit for bytes of a line.
    void vFormatString(const unsigned char* value, TH5Type::TDataTyp type,
                       const std::string& format, AnsiString& out);
    static void vFormatString(const unsigned char* value, TH5Type::TDataTyp type,
                              const std::string& format, std::size_t stringLimit, AnsiString& out);
    // "%t..." formats through TFormatNumber, anything else one checked floating conversion.
    // `out` holds kWorkSize characters; the text is cut to fit.
    static void vPrintDouble(double value, const char* format, char* out);

    // ------------------------------------------------------------------ grid events
    // The user typed into data cell (row, column): parsed by type and format into the line,
    // and the stored value shown again. False, changing nothing, beside the table.
    bool StringGridQxECellContentChanged(int row, int column);
    // Fills the popup's command slots by the permissions; adds the caption items.
    void StringGridQxEBeforePopup(TSGChangeBehaviour* pBehaviour);

    // ------------------------------------------------------------------ permissions
    void vPermitChangeCaption(bool b) { bPermitChangeCaption = b; }
    void vPermitCopy(bool b) { bPermitCopy = b; }
    void vPermitSave(bool b) { bPermitSave = b; }
    void vPermitLoad(bool b) { bPermitLoad = b; }
    void vPermitFormat(bool b) { bPermitFormat = b; }
    void vPermitBinaerFile(bool b) { bPermitBinaerFile = b; }
    void vPermitChangeColumn(bool b) { bPermitChangeColumn = b; }
    void vSetBinFileExtension(const char* extension) {
        sBinFileExtension = extension ? extension : "";
    }

    // ------------------------------------------------------------------ files
    // Loads a binary table file. The file is read and checked whole before the frame changes:
    // on any failure the frame stays as it was. Another structure raises 0x12345678 when
    // appending or when bPermitChangeColumn is false.
    void vReadFile(const char* file, bool bAppend);
    // Text for a ".txt" extension (any case), binary otherwise.
    void vWriteFile(const char* file) const;
    // Both replace the file whole, so a failed write keeps the previous file, and both raise
    // 0xE3636013 ("File: %s") when the file cannot be written.
    void vWriteFileBin(const char* file) const;
    void vWriteFileTxt(const char* file) const;
    // Popup commands: dialogs, then the work; errors are shown and cleared.
    void vTabelleLaden(TObject* Sender);
    void vTabelleSpeichern(TObject* Sender);
    void _vSetCaption(TObject* Sender);
    // Frees the table and builds the example table; writes TableTest.tbl and TableTest.ini
    // (section "TableTest") into the current directory. The grid is not touched.
    void vCreateTestTable();

    // ------------------------------------------------------------------ fields
    TPanel* paCaption = nullptr;
    TStringGridQx* StringGridQx = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    // Change the table only through the frame's operations, which keep it bound to the buffers.
    TQxTable tTable;
    std::vector<std::unique_ptr<unsigned char[]>> vLineBuffers;
    TMenuItem* pmiCaption = nullptr;    // owned by the frame, shown in the grid's popup
    TMenuItem* pmiSeparator = nullptr;  // likewise
    bool bPermitChangeCaption = true;
    bool bPermitCopy = true;
    bool bPermitSave = true;
    bool bPermitLoad = true;
    bool bPermitFormat = true;
    bool bPermitBinaerFile = true;
    bool bPermitChangeColumn = false;
    std::string sBinFileExtension = ".tbl";

  private:
    // Header rows (caption, unit) and the line-number column of the table.
    int headerRows() const;
    int headerCols() const;
    // The text of line i, column j (empty for a value that does not lie inside the line).
    AnsiString cellText(int line, int column);
    // Writes the cells (and alignment) of lines [first, last] of every column.
    void writeLines(int first, int last);
    // New buffers for `count` lines from data, bound to the table after the present ones.
    void addBuffers(const unsigned char* data, int count);
    void releaseLines();
};
