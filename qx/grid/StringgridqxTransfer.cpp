// TStringGridQx: blocks of cells in and out as text (tab-separated lines, texts only) and as
// the binary block (texts, then property records), through streams, the clipboard and files.
//
// Readers of outside bytes check a binary block's header, its counts and that its cells end
// within the bytes before they enlarge the table or change a cell, so a damaged or hostile
// block changes nothing. Files are read whole and checked before the table's rows are
// replaced; they are written through whole-file replacement. Work is linear in the block.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "qx/clipboard/ExternMemoryStream.h"
#include "qx/clipboard/QxClipboard.h"
#include "qx/error/Language.h"
#include "qx/error/Qxexception.h"
#include "qx/grid/Stringgridqx.h"
#include "qx/platform/Dialogs.h"
#include "qx/platform/Files.h"
#include "qx/platform/SysUtils.h"

const char* const TStringGridQx::cpClassName = "TStringGridQx";
const char* const TStringGridQx::cpSgrExtension = ".sgr";
const char* const TStringGridQx::cpEmptyString = "";

namespace {

// Error codes of the transfer (program part: grid).
constexpr unsigned long kBlockHeaderCut = 0xE3436020UL;  // unexpected end: header incomplete
constexpr unsigned long kBlockNoCells = 0xE0536021UL;    // wrong data format: counts <= 0
constexpr unsigned long kBlockTooShort = 0xE3436022UL;   // more cells than the bytes can hold
constexpr unsigned long kBlockCut = 0xE3436023UL;        // the bytes end inside the cells
constexpr unsigned long kBlockVersion = 0xE0636024UL;    // wrong version (file loads)
constexpr unsigned long kBlockTooLarge = 0xE7236025UL;   // target beyond the grid's int range
constexpr unsigned long kFileNotFound = 0xE3136026UL;
constexpr unsigned long kFileOpen = 0xE3236027UL;
constexpr unsigned long kFileRead = 0xE3336028UL;
constexpr unsigned long kFileWrite = 0xE3636029UL;
constexpr unsigned long kClipboardRefused = 0xE853602AUL;
constexpr unsigned long kNoArgument = 0xE513602BUL;  // null stream, null or empty file name

constexpr unsigned char kBlockVersion1 = 1;
constexpr std::int64_t kHeaderBytes = 17;
// The least a cell takes: the NUL of an empty text and a version-1 record with no hidden text.
constexpr std::int64_t kMinCellBytes = 1 + 7;
// Texts read from a block keep this many characters, as hidden texts do.
constexpr std::size_t kTextMax = TCellPropertyQx::kHiddenMax;

// Runs a step when the scope ends, also when an exception leaves it.
class TAtExit {
  public:
    explicit TAtExit(std::function<void()> step) : step_(std::move(step)) {}
    ~TAtExit() { step_(); }
    TAtExit(const TAtExit&) = delete;
    TAtExit& operator=(const TAtExit&) = delete;

  private:
    std::function<void()> step_;
};

// Reads bytes that someone else owns (64-bit sized, unlike TExternMemoryStream) and remembers
// whether a read came up short: a property record read through it was then cut by the end.
class TBlockStream final : public TCustomMemoryStream {
  public:
    TBlockStream(const unsigned char* data, std::int64_t size)
        : size_(std::max<std::int64_t>(size, 0)) {
        SetPointer(const_cast<unsigned char*>(data), size_);
    }
    long Read(void* buffer, long count) override {
        const long n = TCustomMemoryStream::Read(buffer, count);
        if (n < count) bShort = true;
        return n;
    }
    long Write(const void*, long) override { return 0; }
    std::int64_t bytesLeft() const { return std::max<std::int64_t>(size_ - position_, 0); }
    const unsigned char* pHere() const {
        return static_cast<const unsigned char*>(Memory()) + std::min(position_, size_);
    }

    bool bShort = false;

  private:
    std::int64_t size_;
};

// Appends what is written to a string: the writers' sink, cheap for byte-sized writes.
class TAppendStream final : public TStream {
  public:
    explicit TAppendStream(std::string& out) : out_(out) {}
    long Read(void*, long) override { return 0; }
    long Write(const void* buffer, long count) override {
        if (count <= 0) return 0;
        out_.append(static_cast<const char*>(buffer), static_cast<std::size_t>(count));
        return count;
    }
    // Always at the end.
    std::int64_t Seek(std::int64_t, TSeekOrigin) override {
        return static_cast<std::int64_t>(out_.size());
    }

  private:
    std::string& out_;
};

// The block's cell counts: rows (NR) and columns (NC), both at least 1.
struct TBlockSize {
    std::int64_t rows = 0, cols = 0;
    std::int64_t cells() const { return rows * cols; }
};

std::int32_t readInt32(const unsigned char* p) {
    const std::uint32_t u = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                            std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
    return static_cast<std::int32_t>(u);
}

void writeInt32(unsigned char* p, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(u >> (8 * i));
}

// Reads the header. False, with only the version byte read, for a block of another version
// (or no bytes at all). Raises when the header is cut, the counts give no cell, or the cells
// cannot fit into the bytes left; the counts are then never used to size anything.
bool readBlockHeader(TBlockStream& s, TBlockSize& size) {
    unsigned char version = 0;
    if (s.Read(&version, 1) != 1 || version != kBlockVersion1) return false;
    unsigned char head[kHeaderBytes - 1];
    if (s.bytesLeft() < static_cast<std::int64_t>(sizeof head))
        QX_RAISE(kBlockHeaderCut, "block header: %lld of %d bytes",
                 static_cast<long long>(s.bytesLeft() + 1), static_cast<int>(kHeaderBytes));
    s.Read(head, sizeof head);
    const std::int64_t firstRow = readInt32(head), firstCol = readInt32(head + 4),
                       lastRow = readInt32(head + 8), lastCol = readInt32(head + 12);
    size.rows = lastRow - firstRow + 1;
    size.cols = lastCol - firstCol + 1;
    if (size.rows <= 0 || size.cols <= 0)
        QX_RAISE(kBlockNoCells, "FirstRow=%lld LastRow=%lld FirstCol=%lld LastCol=%lld",
                 static_cast<long long>(firstRow), static_cast<long long>(lastRow),
                 static_cast<long long>(firstCol), static_cast<long long>(lastCol));
    // Counts below 2^32 each: the division keeps the product from overflowing.
    const std::int64_t fit = s.bytesLeft() / kMinCellBytes;
    if (size.cols > fit || size.rows > fit / size.cols)
        QX_RAISE(kBlockTooShort, "%lld x %lld cells in %lld bytes",
                 static_cast<long long>(size.rows), static_cast<long long>(size.cols),
                 static_cast<long long>(s.bytesLeft()));
    return true;
}

// Reads one NUL-terminated text; `out` (when given) keeps its first kTextMax characters. False
// when the bytes end before the NUL (everything left is then consumed).
bool readBlockText(TBlockStream& s, std::string* out) {
    const std::int64_t left = s.bytesLeft();
    const unsigned char* p = s.pHere();
    const void* nul = left > 0 ? std::memchr(p, 0, static_cast<std::size_t>(left)) : nullptr;
    const std::size_t length =
        nul ? static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - p)
            : static_cast<std::size_t>(left);
    if (out) out->assign(reinterpret_cast<const char*>(p), std::min(length, kTextMax));
    s.Seek(static_cast<std::int64_t>(length) + (nul ? 1 : 0), soFromCurrent);
    return nul != nullptr;
}

// Whether two properties hold the same record (formatting, edit flag, hidden text).
bool sameRecord(const TCellPropertyQx& a, const TCellPropertyQx& b) {
    return a.bSameFormat(b) && std::strcmp(a.cpGetHiddenString(), b.cpGetHiddenString()) == 0;
}

// The property records of a checked block. The plain default record (most cells) and a record
// of another version (the cell keeps its values) cost one byte each; others are kept whole.
struct TBlockRecords {
    enum TKind : unsigned char { kPlain, kKeep, kOwn };
    std::vector<unsigned char> kinds;  // per cell, row by row
    std::deque<TCellPropertyQx> own;   // the kOwn records in cell order (a deque never moves them)
};

// Walks the texts and reads the property records of `cells` cells into `records`; raises when
// the bytes end before the last one is complete. Leaves the stream after the block.
void checkBlockCells(TBlockStream& s, std::int64_t cells, TBlockRecords& records) {
    for (std::int64_t i = 0; i < cells; ++i)
        if (!readBlockText(s, nullptr))
            QX_RAISE(kBlockCut, "the texts end at cell %lld of %lld", static_cast<long long>(i + 1),
                     static_cast<long long>(cells));
    records.kinds.assign(static_cast<std::size_t>(cells), TBlockRecords::kPlain);
    const TCellPropertyQx plain;
    // Most records are the plain one: recognised by its bytes, as the record writer puts them.
    std::string plainBytes;
    TAppendStream plainOut(plainBytes);
    plain.vWrite2Stream(plainOut);
    const auto plainSize = static_cast<std::int64_t>(plainBytes.size());
    TCellPropertyQx record;
    for (std::int64_t i = 0; i < cells; ++i) {
        if (s.bytesLeft() >= plainSize &&
            std::memcmp(s.pHere(), plainBytes.data(), plainBytes.size()) == 0) {
            s.Seek(plainSize, soFromCurrent);
            continue;
        }
        const std::int64_t at = s.Position();
        record.vReadFromStream(s);
        if (s.bShort)
            QX_RAISE(kBlockCut, "the property records end at cell %lld of %lld",
                     static_cast<long long>(i + 1), static_cast<long long>(cells));
        // A version-1 record sets every value; the reader takes only the version byte of another.
        if (s.Position() - at == 1) {
            records.kinds[static_cast<std::size_t>(i)] = TBlockRecords::kKeep;
        } else if (!sameRecord(record, plain)) {
            records.kinds[static_cast<std::size_t>(i)] = TBlockRecords::kOwn;
            records.own.emplace_back(record);
            records.own.back().vSetHiddenString(record.cpGetHiddenString());
        }
    }
}

// The rest of a stream from its position, read in pieces (its size may be unknown).
std::vector<unsigned char> restOf(TStream& stream) {
    std::vector<unsigned char> bytes;
    constexpr long kPiece = 64 * 1024;
    for (;;) {
        const std::size_t have = bytes.size();
        bytes.resize(have + kPiece);
        const long n = stream.Read(bytes.data() + have, kPiece);
        bytes.resize(have + static_cast<std::size_t>(std::max(n, 0L)));
        if (n <= 0) return bytes;
    }
}

// A whole file (a regular file or a pipe), with one NUL after its bytes.
std::vector<char> readFileWhole(const char* name) {
    const int fd = ::open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        QX_RAISE(e == ENOENT ? kFileNotFound : kFileOpen, "%s: %s", name, std::strerror(e));
    }
    TAtExit closeFile([fd] { ::close(fd); });
    struct stat st {};
    if (::fstat(fd, &st) != 0) QX_RAISE(kFileOpen, "%s: %s", name, std::strerror(errno));
    if (S_ISDIR(st.st_mode)) QX_RAISE(kFileOpen, "%s: is a folder", name);
    // A device may never end (/dev/zero): only files and pipes are read.
    if (!S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode))
        QX_RAISE(kFileOpen, "%s: not a regular file", name);
    std::vector<char> bytes;
    bytes.reserve(S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) + 1 : 0);
    char piece[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, piece, sizeof piece);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) QX_RAISE(kFileRead, "%s: %s", name, std::strerror(errno));
        if (n == 0) break;
        bytes.insert(bytes.end(), piece, piece + n);
    }
    bytes.push_back('\0');
    return bytes;
}

// Whether the extension of `name` is `ext` (compared without regard to case).
bool hasExtension(const char* name, std::string_view ext) {
    return name && qx::platform::CompareText(qx::platform::SplitPath(name).ext, ext) == 0;
}

// The file dialogs of the load and save commands.
void prepareFileDialog(TOpenDialog& dialog) {
    dialog.SetFilter(TLanguage::isDeutsch() ? "Tabelle *.sgr|*.sgr|Textexportdatei *.txt|*.txt"
                                            : "Table *.sgr|*.sgr|Text export file *.txt|*.txt");
    // Without a dot and a pattern: the framework appends "." and this to a bare name.
    dialog.SetDefaultExt("sgr");
}

}  // namespace

// ---------------------------------------------------------------------------- streams

void TStringGridQx::vCopy2BinaerStream(TStream* stream) {
    try {
        if (!stream) QX_RAISE(kNoArgument, "stream=null");
        const TSGSelection& sel = Selection_;
        const int firstRow = std::max(iNumCol, sel.iFirstRow);
        const int firstCol = std::max(iNumLin, sel.iFirstCol);
        const int lastRow = sel.iLastRow, lastCol = sel.iLastCol;
        // The records are written byte by byte: into memory, then in one write to the stream.
        std::string bytes;
        TAppendStream local(bytes);
        auto* direct = dynamic_cast<TAppendStream*>(stream);
        TStream& out = direct ? *direct : local;
        unsigned char head[kHeaderBytes] = {kBlockVersion1};
        writeInt32(head + 1, firstRow);
        writeInt32(head + 5, firstCol);
        writeInt32(head + 9, lastRow);
        writeInt32(head + 13, lastCol);
        out.Write(head, sizeof head);
        for (int r = firstRow; r <= lastRow; ++r)
            for (int c = firstCol; c <= lastCol; ++c) {
                // Up to an embedded NUL, which would end the text for a reader.
                const char* text = CellRef(c, r).c_str();
                out.Write(text, static_cast<long>(std::strlen(text) + 1));
            }
        // The block lies outside the header line and column, so every cell without a property
        // object shows the same default: its record is made once.
        std::string plain;
        for (int r = firstRow; r <= lastRow; ++r)
            for (int c = firstCol; c <= lastCol; ++c) {
                if (Objects(c, r)) {
                    rViewProperty(c, r).vWrite2Stream(out);
                    continue;
                }
                if (plain.empty()) {
                    TAppendStream plainOut(plain);
                    rViewProperty(c, r).vWrite2Stream(plainOut);
                }
                out.Write(plain.data(), static_cast<long>(plain.size()));
            }
        if (!direct) stream->WriteBuffer(bytes.data(), static_cast<long>(bytes.size()));
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vCopyFromBinaerStream(TStream* stream) {
    try {
        _bReadBinaerBlock(stream, nullptr);
    } catch (...) {
        QX_PASS();
    }
}

bool TStringGridQx::_bReadBinaerBlock(TStream* stream, const std::function<void()>& beforeChange) {
    if (!stream) QX_RAISE(kNoArgument, "stream=null");
    // A memory stream is read in place; anything else is read into memory first.
    const std::int64_t start = stream->Position();
    std::vector<unsigned char> copy;
    const unsigned char* data = nullptr;
    std::int64_t size = 0;
    auto* memory = dynamic_cast<TCustomMemoryStream*>(stream);
    if (memory && memory->Memory() && start >= 0) {
        data =
            static_cast<const unsigned char*>(memory->Memory()) + std::min(start, memory->Size());
        size = std::max<std::int64_t>(memory->Size() - start, 0);
    } else {
        copy = restOf(*stream);
        data = copy.data();
        size = static_cast<std::int64_t>(copy.size());
    }
    TBlockStream s(data, size);
    // Leaves the caller's stream after what was read, whatever the outcome.
    TAtExit position([&] {
        if (start >= 0) stream->Seek(start + s.Position(), soFromBeginning);
    });

    TBlockSize block;
    if (!readBlockHeader(s, block)) return false;
    const std::int64_t textsAt = s.Position();
    TBlockRecords records;
    checkBlockCells(s, block.cells(), records);
    const std::int64_t end = s.Position();

    // The target's first cell: the selection's, never in the header line or column.
    int firstRow = 0, firstCol = 0;
    auto target = [&] {
        firstRow = std::max(iNumCol, Selection_.iFirstRow);
        firstCol = std::max(iNumLin, Selection_.iFirstCol);
        if (block.rows > std::int64_t{INT_MAX} - firstRow + 1 ||
            block.cols > std::int64_t{INT_MAX} - firstCol + 1)
            QX_RAISE(kBlockTooLarge, "%lld x %lld cells at row %d, column %d",
                     static_cast<long long>(block.rows), static_cast<long long>(block.cols),
                     firstRow, firstCol);
    };
    target();
    if (beforeChange) {
        beforeChange();
        target();
    }
    const int lastRow = firstRow + static_cast<int>(block.rows) - 1;
    const int lastCol = firstCol + static_cast<int>(block.cols) - 1;

    const TGridUpdateScope batch(*this);
    enlargeTo(lastRow, lastCol);
    s.SetPosition(textsAt);
    std::string text;
    for (int r = firstRow; r <= lastRow; ++r)
        for (int c = firstCol; c <= lastCol; ++c) {
            readBlockText(s, &text);
            SetCells(c, r, text);
        }
    s.SetPosition(end);
    const TCellPropertyQx plain;
    auto own = records.own.cbegin();
    std::size_t i = 0;
    for (int r = firstRow; r <= lastRow; ++r)
        for (int c = firstCol; c <= lastCol; ++c) {
            const unsigned char kind = records.kinds[i++];
            if (kind == TBlockRecords::kKeep) continue;
            const TCellPropertyQx& want = kind == TBlockRecords::kOwn ? *own++ : plain;
            const TCellPropertyQx& now = rViewProperty(c, r);
            if (sameRecord(want, now)) continue;  // default cells stay without an object
            const int oldPoints = now.iGetFontSize();
            TCellPropertyQx* p = pGetCellProperty(c, r);
            *p = want;
            p->vSetHiddenString(want.cpGetHiddenString());
            if (p->iGetFontSize() != oldPoints) fontSizeChanged(c, r, oldPoints, p->iGetFontSize());
        }
    for (int r = firstRow; r <= lastRow; ++r) vCalculateRowHeight(r);
    for (int c = firstCol; c <= lastCol; ++c) vUpdateColWidth(c);
    return true;
}

void TStringGridQx::vCopy2ASCIIStream(TStream* stream) {
    try {
        if (!stream) QX_RAISE(kNoArgument, "stream=null");
        const TSGSelection& sel = Selection_;
        const int firstRow = std::max(iNumCol, sel.iFirstRow),
                  firstCol = std::max(iNumLin, sel.iFirstCol);
        std::string text;
        for (int r = firstRow; r <= sel.iLastRow; ++r) {
            for (int c = firstCol; c <= sel.iLastCol; ++c) {
                if (c > firstCol) text += '\t';
                text += CellRef(c, r).c_str();  // up to an embedded NUL, as the binary block
            }
            text += "\r\n";
        }
        if (!text.empty()) stream->WriteBuffer(text.data(), static_cast<long>(text.size()));
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vReadASCIIFromString(char* text, unsigned /*length*/) {
    try {
        if (!text) QX_RAISE(kNoArgument, "text=null");
        // Counting: lines, and the widest line's fields.
        std::int64_t lines = 0, widest = 0, fields = 1;
        bool open = false;  // text after the last line end
        for (const char* p = text; *p; ++p) {
            if (*p == '\r' || *p == '\n') {
                if (p[0] == '\r' && p[1] == '\n') ++p;
                ++lines;
                widest = std::max(widest, fields);
                fields = 1;
                open = false;
            } else {
                if (*p == '\t') ++fields;
                open = true;
            }
        }
        if (open) {
            ++lines;
            widest = std::max(widest, fields);
        }

        const int firstRow = std::max(iNumCol, Selection_.iFirstRow);
        const int firstCol = std::max(iNumLin, Selection_.iFirstCol);
        if (lines > std::int64_t{INT_MAX} - firstRow + 1 ||
            widest > std::int64_t{INT_MAX} - firstCol + 1)
            QX_RAISE(kBlockTooLarge, "%lld lines of %lld fields at row %d, column %d",
                     static_cast<long long>(lines), static_cast<long long>(widest), firstRow,
                     firstCol);

        const TGridUpdateScope batch(*this);
        if (lines > 0) {
            enlargeTo(firstRow + static_cast<int>(lines) - 1,
                      firstCol + static_cast<int>(widest) - 1);
            int row = firstRow, col = firstCol;
            char* field = text;
            for (char* p = text;; ++p) {
                const char c = *p;
                if (c != '\0' && c != '\t' && c != '\r' && c != '\n') continue;
                if (c == '\0' && !open) break;  // the last line end was the end
                SetCells(col, row, AnsiString(field, static_cast<std::size_t>(p - field)));
                if (c == '\0') break;
                *p = '\0';
                if (c == '\t') {
                    ++col;
                } else {
                    if (c == '\r' && p[1] == '\n') *++p = '\0';
                    ++row;
                    col = firstCol;
                    open = p[1] != '\0';
                }
                field = p + 1;
            }
        }
        for (int r = 0; r < RowCount(); ++r) vCalculateRowHeight(r);
        for (int c = 0; c < ColCount(); ++c) vUpdateColWidth(c);
        vNumLinesColumns();
    } catch (...) {
        QX_PASS();
    }
}

// ---------------------------------------------------------------------------- clipboard

bool TStringGridQx::bReadASCIIFromClipBoard() {
    try {
        std::vector<char> text;
        {
            TQxClipboard clipboard(CF_TEXT);
            const unsigned n = clipboard.size();
            if (n == 0) return false;
            text.resize(std::size_t{n} + 1);
            text.resize(std::size_t{clipboard.uGet(text.data(), n)} + 1);
            text.back() = '\0';
        }
        vReadASCIIFromString(text.data(), static_cast<unsigned>(text.size() - 1));
        return true;
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vCopy2Clipboard(int firstRow, int lastRow, int firstCol, int lastCol) {
    try {
        const TBounds block{iRowIn(firstRow), iRowIn(lastRow), iColIn(firstCol), iColIn(lastCol)};
        vProofFirstLastRowCol(block.iFirstRow, block.iLastRow, block.iFirstCol, block.iLastCol);
        std::string text, binary;
        {
            const TBounds saved = bounds();
            TAtExit restore([this, saved] { setBounds(saved); });
            setBounds(block);
            TAppendStream textOut(text), binaryOut(binary);
            vCopy2ASCIIStream(&textOut);
            vCopy2BinaerStream(&binaryOut);
        }
        // Plain text on the clipboard ends at its NUL, as the framework's text transfer puts it.
        text.push_back('\0');
        if (text.size() > UINT_MAX || binary.size() > UINT_MAX)
            QX_RAISE(kBlockTooLarge, "%zu bytes for the clipboard", binary.size());
        TQxClipboard clipboard(CF_TEXT);
        clipboard.vClear();
        const bool ok = clipboard.bSet(text.data(), static_cast<unsigned>(text.size())) &&
                        clipboard.bChangeFormat(cpClassName) &&
                        clipboard.bSet(binary.data(), static_cast<unsigned>(binary.size()));
        if (!ok)
            QX_RAISE(kClipboardRefused, "the clipboard took no data (format %u)",
                     clipboard.uGetFormat());
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vInsertFromClipboard(int row, int col) {
    try {
        const int r = iRowIn(row), c = iColIn(col);
        vProofRowCol(r, c);
        // Copied out first, so the clipboard is held only while it is read.
        std::vector<unsigned char> block;
        bool text = false;
        {
            TQxClipboard clipboard(cpClassName);
            if (const unsigned n = clipboard.size(); n > 0) {
                block.resize(n);
                block.resize(clipboard.uGet(block.data(), n));
            } else {
                text = clipboard.bChangeFormat(CF_TEXT) && clipboard.size() > 0;
            }
        }
        const TBounds saved = bounds();
        TAtExit restore([this, saved] { setBounds(saved); });
        setBounds({r, r, c, c});
        if (!block.empty()) {
            if (block.size() > INT_MAX)
                QX_RAISE(kBlockTooLarge, "%zu bytes on the clipboard", block.size());
            TExternMemoryStream stream;
            stream.vSetPointer(block.data(), static_cast<int>(block.size()));
            vCopyFromBinaerStream(&stream);
        } else if (text) {
            bReadASCIIFromClipBoard();
        }
    } catch (...) {
        QX_PASS();
    }
}

bool TStringGridQx::bCanInsert() {
    try {
        TQxClipboard clipboard(cpClassName);
        if (clipboard.size() > 0) return true;
        return clipboard.bChangeFormat(CF_TEXT) && clipboard.size() > 0;
    } catch (...) {
        QX_PASS();
    }
}

// ---------------------------------------------------------------------------- files

void TStringGridQx::vSaveTable(const char* name) {
    try {
        if (!name || !*name) QX_RAISE(kNoArgument, "no file name");
        std::string bytes;
        {
            const TBounds saved = bounds();
            TAtExit restore([this, saved] { setBounds(saved); });
            // The whole table below the header line and right of the header column.
            setBounds({iNumCol, RowCount() - 1, iNumLin, ColCount() - 1});
            TAppendStream out(bytes);
            if (hasExtension(name, cpSgrExtension))
                vCopy2BinaerStream(&out);
            else
                vCopy2ASCIIStream(&out);
        }
        std::string why;
        if (!qx::platform::WriteFileAtomically(name, bytes, &why))
            QX_RAISE(kFileWrite, "%s: %s", name, why.c_str());
    } catch (...) {
        QX_PASS();
    }
}

void TStringGridQx::vLoadTable(const char* name) {
    try {
        if (!name || !*name) QX_RAISE(kNoArgument, "no file name");
        std::vector<char> bytes = readFileWhole(name);
        // Every row after the fixed area goes, in whichever numbering the grid uses, but only
        // once the file is known to be good.
        auto clear = [this] { vDeleteRows(iRowOut(FixedRows()), iRowOut(RowCount() - 1)); };
        const auto size = static_cast<std::int64_t>(bytes.size() - 1);  // without the added NUL
        if (hasExtension(name, cpSgrExtension)) {
            TBlockStream stream(reinterpret_cast<const unsigned char*>(bytes.data()), size);
            if (!_bReadBinaerBlock(&stream, clear)) {
                if (size == 0) QX_RAISE(kBlockVersion, "%s: empty file", name);
                QX_RAISE(kBlockVersion, "%s: block version %d", name,
                         static_cast<unsigned char>(bytes[0]));
            }
        } else {
            clear();
            vReadASCIIFromString(bytes.data(),
                                 static_cast<unsigned>(std::min<std::int64_t>(size, UINT_MAX)));
        }
        if (EAfterLoaded) EAfterLoaded(name);
    } catch (...) {
        QX_PASS();
    }
}

bool TStringGridQx::bCanLoad(const char* name) {
    return hasExtension(name, cpSgrExtension) || hasExtension(name, ".txt");
}

// ---------------------------------------------------------------------------- menu commands

void TStringGridQx::vZellenKopieren(TObject*) {
    try {
        const TSGSelection& s = Selection_;
        vCopy2Clipboard(iRowOut(s.iFirstRow), iRowOut(s.iLastRow), iColOut(s.iFirstCol),
                        iColOut(s.iLastCol));
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vZellenEinfuegen(TObject*) {
    try {
        vInsertFromClipboard(iRowOut(Selection_.iFirstRow), iColOut(Selection_.iFirstCol));
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vTabelleLaden(TObject*) {
    try {
        TOpenDialog dialog(nullptr);
        prepareFileDialog(dialog);
        if (dialog.Execute()) vLoadTable(dialog.FileName().c_str());
    } catch (...) {
        QX_SHOW();
    }
}

void TStringGridQx::vTabelleSpeichern(TObject*) {
    try {
        TSaveDialog dialog(nullptr);
        prepareFileDialog(dialog);
        dialog.SetOptions(dialog.Options() | ofOverwritePrompt);
        if (dialog.Execute()) vSaveTable(dialog.FileName().c_str());
    } catch (...) {
        QX_SHOW();
    }
}
