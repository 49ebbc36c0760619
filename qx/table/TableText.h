// Tables as text: one value by its column's type and format, a whole table as tab-separated or
// aligned text, and a table appended to a text log with a date and time stamp.
//
// Texts are code page 1252. Numbers follow the process-wide DecimalSeparator; nothing reads
// the C locale. The functions only read the table.
//
// Column formats usually come from files, so a format is checked before it is used: it must
// hold exactly one conversion, of the kind of the column's value ("%%" aside), or the value
// renders as an empty text. Integer columns take d, i, u, o, x, X (optionally with h, hh, l,
// ll) and c; string columns take s; float and double columns take what vPrintDouble takes.
//
// Threads: none of these lock anything; use a table from one thread.
#pragma once

#include <string>

#include "qx/platform/Grids.h"
#include "qx/platform/SysUtils.h"
#include "qx/table/QxTable.h"

// The value at `value` as text in `out`: formatted with `format` (the type's default format
// when empty: "0x%02x", "%s", "0x%04x", "%d", "0x%08x", "%ld", "%t4-", "%t4-"), cut to 1023
// characters. A string value is read up to its NUL (at most 1023 bytes). With a decimal comma,
// a string that starts with a number gets its first point turned into a comma, and every text
// gets each point between two digits turned into a comma. eTypNone, unknown types and formats
// that fail the check give an empty text. `flag` has no effect.
void vFormatString(const unsigned char* value, TH5Type::TDataTyp type, const std::string& format,
                   AnsiString& out, bool flag = false);

// The table as text, replacing `out`. Rows: a caption row (column names when bShowName,
// otherwise captions) if bShowColumnCaption, a unit row if bShowEinheit, then one row per line;
// columns: the line number (from 0) if bShowLineNum, then the table's columns.
// bTabs: cells separated by one tab, each row ended by CR LF. Otherwise every column is as
// wide as its longest cell plus two blanks, cells left-aligned, each row ended by CR LF.
// Tab, CR and LF inside a cell become blanks so that they cannot split cells or rows. Values of
// unbound lines, and of columns that do not lie inside uLineSize, are empty.
// Raises 0x05100000 when table is null.
void vTable2String(const TQxTable* table, std::string& out, bool bTabs);

// Fills a string grid with the table: a caption row of column names if bShowColumnCaption and a
// unit row if bShowEinheit, both fixed, then one row per line, one column per table column (no
// line-number column). A table without lines leaves the grid alone. `buffer` and `flag` are not
// used. A null grid or table raises 0x05100000.
void vTableToGrid(TStringGrid* grid, const TQxTable* table, unsigned char* buffer = nullptr,
                  bool flag = false);

// Appends the table to the text log `file` (opened for appending, created when missing): a
// blank line, the date ("dd.mm.yyyy"), a tab and the time (LongTimeFormat), then the table's
// tab-separated rows; each later row indented by two tabs, or, with bOneLine, all rows on the
// stamp's line separated by tabs. A new file first gets one header line (the table's first row
// after two tabs); to an existing file the table is written without caption and unit rows.
// Raises 0x05100000 when file or table is null, 0x03100000 when the file cannot be opened.
void vTableToFile(const char* file, const TQxTable* table, bool bOneLine);

namespace qx::detail {
// The format a column of this type is shown with when its own format is empty.
const char* defaultFormat(TH5Type::TDataTyp type);

// The text of one value of the table as vTable2String shows it (empty for an unbound line, a
// column outside the line, or a line or column out of range).
AnsiString cellText(const TQxTable& table, unsigned line, unsigned column);
}  // namespace qx::detail
