// The table model: a table whose rows ("lines") are fixed-size binary records described by
// typed columns, with its ini form (the description only), its binary file form (description,
// line data and needed-lines counters) and the column types.
//
// Ownership: a TQxTable owns its column descriptors and its two per-line lists, but never the
// line storage they refer to. Whoever binds storage (vCalculateLine, vSetLine, or the buffer
// pointer handed to vReadBin) owns it and keeps it alive while the table refers to it. Copying
// a table copies the references, so both copies then share the same storage.
//
// Errors follow the package's convention: a failure throws the unsigned long code made by
// qx::error, and every operation an error passes through adds a trace entry.
//
// Threads: none. A table and the streams it reads or writes are used from one thread.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "qx/platform/SysUtils.h"
#include "qx/platform/TimeStamp.h"

class TQxIniFile;
class TIniFilename;

// Holder of the column type codes.
class TH5Type {
  public:
    // Type of a column's value; stored as a 32-bit integer, and any other value is kept as it
    // is (it takes no bytes and formats as an empty text).
    enum TDataTyp : std::int32_t {
        eTypNone = 0,    // no value
        eTypUChar = 1,   // unsigned 8-bit
        eTypString = 2,  // character field of uStringSize bytes, NUL-terminated inside them
        eTypUShort = 3,  // unsigned 16-bit
        eTypShort = 4,   // signed 16-bit
        eTypULong = 5,   // unsigned 32-bit
        eTypLong = 6,    // signed 32-bit
        eTypFloat = 7,   // IEEE 754 single
        eTypDouble = 8,  // IEEE 754 double
    };
};

class TQxTable {
  public:
    // Alignment codes of TItem::iAdjust.
    static constexpr int AdjustLeft = 1;
    static constexpr int AdjustCenter = 2;
    static constexpr int AdjustRight = 3;

    // Describes one column: where its value lies in a line, its type, and how it is shown.
    class TItem {
      public:
        // Key names of the descriptor's ini form. Visible and ShowCol are for users of the
        // class; no field uses them.
        static constexpr const char* cpName = "Name";
        static constexpr const char* cpCaption = "Caption";
        static constexpr const char* cpEinheit = "Einheit";
        static constexpr const char* cpTyp = "Typ";
        static constexpr const char* cpStringSize = "StringSize";
        static constexpr const char* cpOffset = "Offset";
        static constexpr const char* cpFormat = "Format";
        static constexpr const char* cpMinimum = "Minimum";
        static constexpr const char* cpMaximum = "Maximum";
        static constexpr const char* cpAdjust = "Adjust";
        static constexpr const char* cpVisible = "Visible";
        static constexpr const char* cpShowCol = "ShowCol";

        // Equal when all ten fields are equal (texts byte by byte).
        bool operator==(const TItem&) const = default;

        // Ini form: ten keys in the section `section`. Reading takes each key's current
        // value as its default, so missing keys leave fields as they are.
        void vWriteIni(TQxIniFile* store, const char* section) const;
        void vReadIni(TQxIniFile* store, const char* section);
        void vWriteIni(const TIniFilename& file, const char* section) const;
        void vReadIni(const TIniFilename& file, const char* section);

        // Binary form: three texts, type, string size, offset, three texts, alignment.
        // Texts are written up to their first NUL and cut to 1023 bytes, the most the reader
        // takes. Reading fills the fields in order; those read before a failure keep their
        // new values.
        void vWriteBin(std::ostream& stream) const;
        void vReadBin(std::istream& stream);

        std::string sName;
        std::string sCaption;
        std::string sEinheit;  // unit text
        TH5Type::TDataTyp eTyp = TH5Type::eTypNone;
        unsigned uStringSize = 0;  // bytes of an eTypString value; ignored for other types
        unsigned uOffset = 0;      // byte offset of the value from the start of a line
        std::string sFormat;       // printf format or "%tN..." number format; empty: default
        int iAdjust = AdjustCenter;
        std::string sMinimum;
        std::string sMaximum;
    };

    // Key names of the table's ini form; cpFormat is the pattern of a column's section name
    // (appended to the table's section and a slash).
    static constexpr const char* cpSize = "LineSize";
    static constexpr const char* cpCount = "Columns";
    static constexpr const char* cpFormat = "Column%d";
    static constexpr const char* cpShowLineNum = "LineNum";
    static constexpr const char* cpShowEinheit = "Einheit";
    static constexpr const char* cpName = "Name";
    static constexpr const char* cpShowName = "ShowName";
    static constexpr const char* cpColumnCaption = "ColumnCaption";
    static constexpr const char* cpFooter = "Footer";

    // An empty table: no columns, no lines, all flags true; the stamp is taken.
    TQxTable();
    // Copies every field (line references included); the target's stamp is renewed.
    TQxTable(const TQxTable& other);
    TQxTable& operator=(const TQxTable& other);
    ~TQxTable();

    // Removes all columns and lines, line size 0, name empty, all flags true; renews the stamp.
    void vClear();

    // ---- columns
    unsigned uGetColumnNumber() const { return static_cast<unsigned>(vColumns.size()); }
    // Grows with default descriptors or drops trailing ones.
    void vSetColumnNumber(unsigned n);
    // Raises 0xE742204D when i is not a column.
    TItem& rGetColumn(unsigned i);
    const TItem& rGetColumn(unsigned i) const;
    // Same line size and equal descriptors; lines are not compared.
    bool bCompareColumns(const TQxTable& other) const;
    // Lays the columns out back to back in column order and sets uLineSize to their total.
    void vCalculateSize();

    // ---- lines
    unsigned uGetLineNumber() const { return static_cast<unsigned>(vLines.size()); }
    unsigned uGetLineSize() const { return uLineSize; }
    void vSetLineSize(unsigned size) { uLineSize = size; }
    // Resizes both per-line lists; new lines are unbound (null) with a counter of 1.
    void vSetLineNumber(unsigned n);
    // Binds n lines of uLineSize bytes each, back to back from `buffer` (which must hold
    // n * uLineSize bytes; a null buffer leaves them unbound); every earlier binding is
    // replaced. Renews the stamp.
    void vCalculateLine(unsigned char* buffer, unsigned n);
    // The storage of line i (null when unbound). Raises 0xE742204D when i is not a line.
    unsigned char* ucpGetLine(unsigned i);
    const unsigned char* ucpGetLine(unsigned i) const;
    void vSetLine(unsigned i, unsigned char* line);
    int iGetNeededLines(unsigned i) const;
    void vSetNeededLines(unsigned i, int n);
    // One value per line of a numeric column, as double. `values` is resized to the line count
    // when it does not have one entry per line (new entries 0.0). Entries of string and
    // untyped columns, of unbound lines and of a column that does not lie inside uLineSize
    // keep their previous values.
    void vGetColumnValues(std::vector<double>& values, unsigned column);

    // Builds the example table: 100 lines of 96 bytes (a name and four doubles) in a new
    // buffer. The caller owns both: delete[] the buffer (an unsigned char array), delete the
    // table. Raises 0x05100000 when either pointer is null.
    static void vCreateTable(void** data, TQxTable** table);

    // Accept a file name and do nothing.
    void vRead(const char* file);
    void vWrite(const char* file) const;

    // ---- ini form: the description only, under `section`, with one section per column
    // ("<section>/Column<i>"). Reading keeps current values for missing keys; a column count
    // that is negative or above kMaxIniColumns counts as missing. A null store or section does
    // nothing. Raises only what the store raises.
    static constexpr int kMaxIniColumns = 65536;
    void vWriteIni(TQxIniFile* store, const char* section) const;
    void vReadIni(TQxIniFile* store, const char* section);
    void vWriteIni(const TIniFilename& file, const char* section) const;
    void vReadIni(const TIniFilename& file, const char* section);

    // ---- binary form
    // Writes the file whole: a temporary file in the same folder is written, flushed to disk
    // and renamed over `file`, so a failed write leaves the previous file as it was. Raises
    // nothing: when the file cannot be written (or an existing one is not writable), nothing
    // changes. Unbound lines are written as zero bytes; the name is cut to 1022 bytes (the
    // most the reader takes). A device or pipe is written into directly.
    void vWriteBin(const char* file) const;
    // vWriteBin that tells whether the file was written (false for a null or empty name).
    bool bWriteBin(const char* file) const;
    // Reads the description, and unless `buffer` is null, the lines into new storage of
    // N * S bytes (one piece) and the counters. On success the storage from *buffer (if any)
    // is released with delete[] and replaced; the caller owns the new one. With a null
    // `buffer` only the description is read and the table gets N unbound lines.
    // Before allocating anything for columns or lines, the sizes the file claims are checked
    // against the bytes it still holds. Raises 0xE332204A when the file cannot be read, is
    // truncated or claims more than it holds, 0xE052204C on a wrong magic, 0xE062204B (text:
    // the file name) on a version other than 1. On failure the caller's pointer is unchanged;
    // description fields read before the failure keep their new values, and a table whose
    // line data failed to load is left without lines.
    void vReadBin(const char* file, unsigned char** buffer);
    // The version header: the magic "QxTable" with its NUL, then the version 1.
    static void vWriteVersion(std::ostream& stream);
    static int iReadVersion(std::istream& stream);
    // The uLineSize bytes of one line (an unbound line is written as zeros; reading into an
    // unbound line skips the bytes).
    void vWriteLineBin(int line, std::ostream& stream) const;
    void vReadLineBin(int line, std::istream& stream);
    // One 32-bit counter per line.
    void vWriteNeededLines(std::ostream& stream) const;
    void vReadNeededLines(std::istream& stream);

    std::vector<TItem> vColumns;
    unsigned uLineSize = 0;
    std::vector<unsigned char*> vLines;  // not owned
    std::vector<int> vNeededLines;       // one per line; kept and stored, not interpreted
    Process::TTimeStamp tChanged;
    std::string sName;
    bool bShowName = true;           // header rows show column names instead of captions
    bool bShowColumnCaption = true;  // a caption row is shown
    bool bShowFooter = true;         // stored only
    bool bShowLineNum = true;        // a line-number column is shown
    bool bShowEinheit = true;        // a unit row is shown
};

namespace qx {
// Codes the table raises (program part 0x22000).
inline constexpr unsigned long kTableReadError = 0xE332204AUL;     // read failed or truncated
inline constexpr unsigned long kTableFormatError = 0xE052204CUL;   // magic is not "QxTable"
inline constexpr unsigned long kTableVersionError = 0xE062204BUL;  // version is not 1
inline constexpr unsigned long kTableIndexError = 0xE742204DUL;    // line or column index
}  // namespace qx

namespace qx::detail {
// Bytes a value of the column takes in a line (uStringSize for strings, 0 for eTypNone and
// unknown types).
unsigned valueSize(const TQxTable::TItem& column);
}  // namespace qx::detail
