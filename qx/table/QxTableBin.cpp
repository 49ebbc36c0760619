// The binary file form of a table and of a column descriptor.
#include <sys/stat.h>

#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <istream>
#include <memory>
#include <ostream>
#include <string>

#include "qx/error/Qxexception.h"
#include "qx/platform/Files.h"
#include "qx/table/QxTable.h"

namespace {

constexpr int kVersion = 1;
constexpr char kMagic[] = "QxTable";
// Largest text fields the reader takes, terminating NUL included.
constexpr std::size_t kMagicMax = 8;
constexpr std::size_t kTableNameMax = 1023;
constexpr std::size_t kItemTextMax = 1024;
// The least a column descriptor takes in a file: six empty texts and four integers.
constexpr std::uint64_t kMinItemBytes = 6 + 4 * 4;

void writeU32(std::ostream& s, std::uint32_t v) {
    const char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
    s.write(b, 4);
}

std::uint32_t readU32(std::istream& s) {
    unsigned char b[4];
    if (!s.read(reinterpret_cast<char*>(b), 4)) QX_RAISE(qx::kTableReadError);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

// The text up to its first NUL, cut to max - 1 bytes, and one NUL.
void writeText(std::ostream& s, const std::string& text, std::size_t max) {
    s.write(text.c_str(), static_cast<std::streamsize>(strnlen(text.c_str(), max - 1)));
    s.put('\0');
}

// Bytes up to and including a NUL; fails when the stream ends first or when `max` bytes hold
// no NUL.
std::string readText(std::istream& s, std::size_t max) {
    if (s.fail()) QX_RAISE(qx::kTableReadError);
    std::string text;
    std::streambuf* buf = s.rdbuf();
    for (std::size_t i = 0; i < max; ++i) {
        int c = std::char_traits<char>::eof();
        try {
            if (buf) c = buf->sbumpc();
        } catch (const std::ios_base::failure&) {  // a read error of the file buffer
            QX_RAISE(qx::kTableReadError);
        }
        if (c == std::char_traits<char>::eof()) {
            s.setstate(std::ios::eofbit | std::ios::failbit);
            QX_RAISE(qx::kTableReadError);
        }
        if (c == 0) return text;
        text.push_back(static_cast<char>(c));
    }
    QX_RAISE(qx::kTableReadError);
}

// Counters as 32-bit little-endian integers, converted in place on other hosts.
void writeCounters(std::ostream& s, const std::vector<int>& counters) {
    if constexpr (std::endian::native == std::endian::little) {
        s.write(reinterpret_cast<const char*>(counters.data()),
                static_cast<std::streamsize>(counters.size() * 4));
    } else {
        for (int n : counters) writeU32(s, static_cast<std::uint32_t>(n));
    }
}

void readCounters(std::istream& s, std::vector<int>& counters) {
    static_assert(sizeof(int) == 4);
    if (!s.read(reinterpret_cast<char*>(counters.data()),
                static_cast<std::streamsize>(counters.size() * 4)))
        QX_RAISE(qx::kTableReadError);
    if constexpr (std::endian::native != std::endian::little) {
        for (int& n : counters)
            n = static_cast<int>(__builtin_bswap32(static_cast<std::uint32_t>(n)));
    }
}

// Byte count of a regular file, or -1.
std::int64_t fileSize(const char* file) {
    struct stat st;
    if (file == nullptr || ::stat(file, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
}

}  // namespace

// ------------------------------------------------------------------------------ descriptor

void TQxTable::TItem::vWriteBin(std::ostream& stream) const {
    try {
        writeText(stream, sName, kItemTextMax);
        writeText(stream, sCaption, kItemTextMax);
        writeText(stream, sEinheit, kItemTextMax);
        writeU32(stream, static_cast<std::uint32_t>(eTyp));
        writeU32(stream, uStringSize);
        writeU32(stream, uOffset);
        writeText(stream, sFormat, kItemTextMax);
        writeText(stream, sMinimum, kItemTextMax);
        writeText(stream, sMaximum, kItemTextMax);
        writeU32(stream, static_cast<std::uint32_t>(iAdjust));
    } catch (...) {
        QX_PASS();
    }
}

void TQxTable::TItem::vReadBin(std::istream& stream) {
    try {
        sName = readText(stream, kItemTextMax);
        sCaption = readText(stream, kItemTextMax);
        sEinheit = readText(stream, kItemTextMax);
        eTyp = static_cast<TH5Type::TDataTyp>(readU32(stream));
        uStringSize = readU32(stream);
        uOffset = readU32(stream);
        sFormat = readText(stream, kItemTextMax);
        sMinimum = readText(stream, kItemTextMax);
        sMaximum = readText(stream, kItemTextMax);
        iAdjust = static_cast<int>(readU32(stream));
    } catch (...) {
        QX_PASS();
    }
}

// ------------------------------------------------------------------------------ table

void TQxTable::vWriteVersion(std::ostream& stream) {
    stream.write(kMagic, sizeof kMagic);
    writeU32(stream, kVersion);
}

int TQxTable::iReadVersion(std::istream& stream) {
    try {
        if (readText(stream, kMagicMax) != kMagic) QX_RAISE(qx::kTableFormatError);
        return static_cast<int>(readU32(stream));
    } catch (...) {
        QX_PASS();
    }
}

void TQxTable::vWriteLineBin(int line, std::ostream& stream) const {
    try {
        const unsigned char* p = ucpGetLine(static_cast<unsigned>(line));
        if (p != nullptr) {
            stream.write(reinterpret_cast<const char*>(p), uLineSize);
        } else {
            for (unsigned i = 0; i < uLineSize; ++i) stream.put('\0');
        }
    } catch (...) {
        QX_PASS();
    }
}

void TQxTable::vReadLineBin(int line, std::istream& stream) {
    try {
        unsigned char* p = ucpGetLine(static_cast<unsigned>(line));
        if (p != nullptr) {
            if (!stream.read(reinterpret_cast<char*>(p), uLineSize)) QX_RAISE(qx::kTableReadError);
        } else if (!stream.ignore(uLineSize) ||
                   stream.gcount() != static_cast<std::streamsize>(uLineSize)) {
            QX_RAISE(qx::kTableReadError);
        }
    } catch (...) {
        QX_PASS();
    }
}

void TQxTable::vWriteNeededLines(std::ostream& stream) const {
    writeCounters(stream, vNeededLines);
}

void TQxTable::vReadNeededLines(std::istream& stream) {
    try {
        std::vector<int> counters(vNeededLines.size());
        readCounters(stream, counters);
        vNeededLines = std::move(counters);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTable::vWriteBin(const char* file) const {
    // A failed write leaves the previous file; nothing is raised.
    bWriteBin(file);
}

bool TQxTable::bWriteBin(const char* file) const {
    try {
        if (file == nullptr || *file == '\0') return false;
        return qx::platform::ReplaceFile(file, [&](int fd) {
            qx::platform::TDescriptorBuffer buffer(fd);
            std::ostream s(&buffer);
            vWriteVersion(s);
            writeU32(s, uGetLineNumber());
            writeU32(s, uGetColumnNumber());
            writeU32(s, uLineSize);
            writeU32(s, bShowLineNum);
            writeU32(s, bShowEinheit);
            writeText(s, sName, kTableNameMax);
            writeU32(s, bShowName);
            writeU32(s, bShowColumnCaption);
            writeU32(s, bShowFooter);
            for (const TItem& column : vColumns) column.vWriteBin(s);
            // Lines that lie back to back in memory go out in one write.
            const std::size_t n = vLines.size();
            for (std::size_t i = 0; i < n && s;) {
                if (vLines[i] == nullptr) {
                    vWriteLineBin(static_cast<int>(i), s);
                    ++i;
                    continue;
                }
                std::size_t j = i + 1;
                while (j < n && vLines[j] != nullptr && vLines[j] == vLines[j - 1] + uLineSize) ++j;
                s.write(reinterpret_cast<const char*>(vLines[i]),
                        static_cast<std::streamsize>((j - i) * uLineSize));
                i = j;
            }
            vWriteNeededLines(s);
            return static_cast<bool>(s.flush());
        });
    } catch (...) {
        QX_PASS();
    }
}

void TQxTable::vReadBin(const char* file, unsigned char** buffer) {
    bool descriptionRead = false;
    try {
        std::ifstream in;
        if (file != nullptr) {
            // A folder opens as a stream whose reads throw: name the fault instead.
            if (qx::platform::IsFolder(file))
                QX_RAISE(qx::kTableReadError, "%s: is a folder", file);
            in.open(file, std::ios::binary | std::ios::in);
            if (!in.is_open()) QX_RAISE(qx::kTableReadError, "%s: %s", file, std::strerror(errno));
        }
        const std::int64_t size = fileSize(file);
        // Bytes left after the position p; an unknown size (not a regular file) counts as 0.
        auto remaining = [&]() -> std::uint64_t {
            const std::int64_t pos = in.tellg();
            return size >= 0 && pos >= 0 && pos <= size ? static_cast<std::uint64_t>(size - pos)
                                                        : 0;
        };

        if (iReadVersion(in) != kVersion) QX_RAISE(qx::kTableVersionError, "%s", file);
        const std::uint32_t lines = readU32(in);
        const std::uint32_t columns = readU32(in);
        const std::uint32_t lineSize = readU32(in);
        bShowLineNum = readU32(in) != 0;
        bShowEinheit = readU32(in) != 0;
        sName = readText(in, kTableNameMax);
        bShowName = readU32(in) != 0;
        bShowColumnCaption = readU32(in) != 0;
        bShowFooter = readU32(in) != 0;

        if (columns * kMinItemBytes > remaining()) QX_RAISE(qx::kTableReadError);
        vSetColumnNumber(columns);
        for (TItem& column : vColumns) column.vReadBin(in);
        uLineSize = lineSize;
        descriptionRead = true;

        // N lines of S bytes and N counters of 4 bytes; at most (2^32-1) * (2^32+3), which
        // does not fit 64 bits, so the two parts are compared one after the other.
        const std::uint64_t lineBytes = static_cast<std::uint64_t>(lines) * lineSize;
        const std::uint64_t counterBytes = static_cast<std::uint64_t>(lines) * 4;
        const std::uint64_t left = remaining();
        if (lineBytes > left || counterBytes > left - lineBytes) QX_RAISE(qx::kTableReadError);

        if (buffer == nullptr) {
            vSetLineNumber(0);
            vSetLineNumber(lines);
        } else {
            std::unique_ptr<unsigned char[]> storage(new unsigned char[lineBytes]);
            if (!in.read(reinterpret_cast<char*>(storage.get()),
                         static_cast<std::streamsize>(lineBytes)))
                QX_RAISE(qx::kTableReadError);
            std::vector<int> counters(lines);
            readCounters(in, counters);
            vCalculateLine(storage.get(), lines);
            vNeededLines = std::move(counters);
            delete[] * buffer;
            *buffer = storage.release();
        }
        tChanged.set();
    } catch (...) {
        // Never leave lines bound to storage of another line size.
        if (descriptionRead) vSetLineNumber(0);
        QX_PASS();
    }
}
