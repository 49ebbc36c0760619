#include "qx/table/TableText.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "qx/error/Qxexception.h"
#include "qx/numeric/FormatCheck.h"
#include "qx/numeric/FormatNumber.h"
#include "qx/numeric/StringUtils.h"

namespace {

using qx::detail::TConversion;
using qx::detail::TLength;
using qx::detail::TLengths;

constexpr std::size_t kWorkSize = 1024;  // texts are at most 1023 characters

// An integer value given as its 32-bit pattern and as the number its type means; the argument
// handed to printf matches the conversion's length. A 'l' keeps the 32-bit meaning that long
// has in the stored tables ("%ld" of 0xFFFFFFFF is -1).
int printInteger(char* out, const char* format, std::uint32_t bits, std::int64_t typed) {
    TConversion c;
    if (!qx::detail::findSingleConversion(format, "diuoxXc", TLengths::Integer, &c)) return -1;
    const bool isSigned = c.conv == 'd' || c.conv == 'i';
    switch (c.length) {
        case TLength::None:
        case TLength::Short:
            return isSigned ? std::snprintf(out, kWorkSize, format, static_cast<int>(bits))
                            : std::snprintf(out, kWorkSize, format, static_cast<unsigned>(bits));
        case TLength::Long:
            return isSigned
                       ? std::snprintf(out, kWorkSize, format,
                                       static_cast<long>(static_cast<std::int32_t>(bits)))
                       : std::snprintf(out, kWorkSize, format, static_cast<unsigned long>(bits));
        case TLength::LongLong:
            return isSigned ? std::snprintf(out, kWorkSize, format, static_cast<long long>(typed))
                            : std::snprintf(out, kWorkSize, format,
                                            static_cast<unsigned long long>(typed));
    }
    return -1;
}

template <class T>
T loadValue(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The value as text in out (kWorkSize bytes); a string value is read up to its NUL but never
// beyond `stringLimit` bytes. Returns the text's length.
std::size_t formatValue(const unsigned char* value, TH5Type::TDataTyp type, const char* format,
                        std::size_t stringLimit, char* out) {
    out[0] = '\0';
    if (value == nullptr) return 0;
    if (format == nullptr || *format == '\0') format = qx::detail::defaultFormat(type);
    const std::string clamped = qx::detail::clampFormatFields(format, kWorkSize);
    format = clamped.c_str();
    int n = -1;
    switch (type) {
        case TH5Type::eTypUChar:
            n = printInteger(out, format, *value, *value);
            break;
        case TH5Type::eTypUShort: {
            const std::uint16_t v = loadValue<std::uint16_t>(value);
            n = printInteger(out, format, v, v);
            break;
        }
        case TH5Type::eTypShort: {
            const std::int16_t v = loadValue<std::int16_t>(value);
            n = printInteger(out, format, static_cast<std::uint32_t>(v), v);
            break;
        }
        case TH5Type::eTypULong: {
            const std::uint32_t v = loadValue<std::uint32_t>(value);
            n = printInteger(out, format, v, v);
            break;
        }
        case TH5Type::eTypLong: {
            const std::int32_t v = loadValue<std::int32_t>(value);
            n = printInteger(out, format, static_cast<std::uint32_t>(v), v);
            break;
        }
        case TH5Type::eTypString: {
            if (!qx::detail::findSingleConversion(format, "s", TLengths::None)) break;
            char text[kWorkSize];
            const std::size_t len =
                strnlen(reinterpret_cast<const char*>(value), std::min(stringLimit, kWorkSize - 1));
            std::memcpy(text, value, len);
            text[len] = '\0';
            n = std::snprintf(out, kWorkSize, format, text);
            if (n >= 0 && DecimalSeparator == ',') {
                double number = 0;
                char* point = std::strchr(out, '.');
                if (point != nullptr && qx::detail::readNumberC(out, number)) *point = ',';
            }
            break;
        }
        case TH5Type::eTypFloat:
            vPrintDouble(loadValue<float>(value), format, out, kWorkSize);
            n = 0;
            break;
        case TH5Type::eTypDouble:
            vPrintDouble(loadValue<double>(value), format, out, kWorkSize);
            n = 0;
            break;
        default:
            break;
    }
    if (n < 0) {
        out[0] = '\0';
        return 0;
    }
    modPunkt(out);
    return std::strlen(out);
}

// The text of column c in line i into work; empty for an unbound line or a column that does not
// lie inside the line.
std::size_t lineValue(const TQxTable& t, std::size_t i, const TQxTable::TItem& c, char* work) {
    const unsigned char* line = t.vLines[i];
    if (line == nullptr || c.uOffset >= t.uLineSize) return 0;
    const std::size_t room = t.uLineSize - c.uOffset;
    if (c.eTyp != TH5Type::eTypString && qx::detail::valueSize(c) > room) return 0;
    return formatValue(line + c.uOffset, c.eTyp, c.sFormat.c_str(),
                       std::min<std::size_t>(c.uStringSize, room), work);
}

// The cells of the table's text form, measured, before any output is written: one arena of
// texts and the end of each cell in it, row by row.
class TCellMatrix {
  public:
    explicit TCellMatrix(const TQxTable& t) {
        const bool lineNum = t.bShowLineNum;
        const std::size_t columns = t.vColumns.size();
        cols_ = columns + (lineNum ? 1 : 0);
        const std::size_t lines = t.vLines.size();
        rows_ = (t.bShowColumnCaption ? 1 : 0) + (t.bShowEinheit ? 1 : 0) + lines;
        widths_.assign(cols_, 0);
        ends_.reserve(rows_ * cols_);
        arena_.reserve(rows_ * cols_ * 8);

        if (t.bShowColumnCaption) {
            if (lineNum) add("", 0);
            for (const auto& c : t.vColumns) add(t.bShowName ? c.sName : c.sCaption);
        }
        if (t.bShowEinheit) {
            if (lineNum) add("", 0);
            for (const auto& c : t.vColumns) add(c.sEinheit);
        }
        char work[kWorkSize];
        for (std::size_t i = 0; i < lines; ++i) {
            if (lineNum) add(work, static_cast<std::size_t>(std::snprintf(work, 32, "%zu", i)));
            for (const auto& c : t.vColumns) add(work, lineValue(t, i, c, work));
        }
    }

    std::size_t rows() const { return rows_; }
    std::size_t cols() const { return cols_; }
    std::size_t width(std::size_t k) const { return widths_[k]; }
    const char* cell(std::size_t r, std::size_t k, std::size_t& len) const {
        const std::size_t i = r * cols_ + k;
        const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
        len = ends_[i] - begin;
        return arena_.data() + begin;
    }
    std::size_t textBytes() const { return arena_.size(); }

  private:
    void add(const std::string& s) { add(s.data(), s.size()); }
    void add(const char* s, std::size_t len) {
        const std::size_t begin = arena_.size();
        arena_.append(s, len);
        for (std::size_t i = begin; i < arena_.size(); ++i) {
            char& ch = arena_[i];
            if (ch == '\t' || ch == '\r' || ch == '\n') ch = ' ';
        }
        std::size_t& w = widths_[ends_.size() % cols_];
        w = std::max(w, len);
        ends_.push_back(arena_.size());
    }

    std::size_t rows_ = 0;
    std::size_t cols_ = 0;
    std::vector<std::size_t> widths_;
    std::vector<std::size_t> ends_;
    std::string arena_;
};

// Builds the whole text from the measured cells; the aligned form is allocated once and filled
// in place.
void renderTable(const TQxTable& table, std::string& out, bool tabs) {
    const TCellMatrix m(table);
    out.clear();
    const std::size_t rows = m.rows(), cols = m.cols();
    std::size_t len = 0;
    if (tabs) {
        out.reserve(m.textBytes() + rows * (cols + 2));
        for (std::size_t r = 0; r < rows; ++r) {
            for (std::size_t k = 0; k < cols; ++k) {
                if (k > 0) out.push_back('\t');
                const char* text = m.cell(r, k, len);
                out.append(text, len);
            }
            out.append("\r\n", 2);
        }
        return;
    }
    std::size_t rowWidth = 2;
    for (std::size_t k = 0; k < cols; ++k) rowWidth += m.width(k) + 2;
    out.assign(rows * rowWidth, ' ');
    char* row = out.data();
    for (std::size_t r = 0; r < rows; ++r, row += rowWidth) {
        std::size_t pos = 0;
        for (std::size_t k = 0; k < cols; ++k) {
            const char* text = m.cell(r, k, len);
            std::memcpy(row + pos, text, len);
            pos += m.width(k) + 2;
        }
        row[rowWidth - 2] = '\r';
        row[rowWidth - 1] = '\n';
    }
}

bool hasLetterOrDigit(const std::string& text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    }
    return false;
}

// The next line of text from pos: up to a CR or the end; one CR and one LF after it are
// skipped.
std::string_view takeLine(const std::string& text, std::size_t& pos) {
    const std::size_t start = std::min(pos, text.size());
    std::size_t end = text.find('\r', start);
    if (end == std::string::npos) {
        pos = text.size();
        return std::string_view(text).substr(start);
    }
    pos = end + 1;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    return std::string_view(text).substr(start, end - start);
}

struct TFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

void put(std::FILE* f, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), f);
}

}  // namespace

void vFormatString(const unsigned char* value, TH5Type::TDataTyp type, const std::string& format,
                   AnsiString& out, bool) {
    char work[kWorkSize];
    const std::size_t len = formatValue(value, type, format.c_str(), kWorkSize - 1, work);
    out.assign(work, len);
}

void vTable2String(const TQxTable* table, std::string& out, bool bTabs) {
    try {
        if (table == nullptr) QX_RAISE(0x05100000UL);
        renderTable(*table, out, bTabs);
    } catch (...) {
        QX_PASS();
    }
}

void vTableToFile(const char* file, const TQxTable* table, bool bOneLine) {
    try {
        if (file == nullptr || table == nullptr) QX_RAISE(0x05100000UL);
        struct stat st;
        const bool existed = ::stat(file, &st) == 0;
        std::unique_ptr<std::FILE, TFileCloser> f(std::fopen(file, "ab+"));
        if (!f)
            QX_RAISE(0x03100000UL,
                     "Datei %s kann nicht ge\xF6"
                     "ffnet/erzeugt werden.",
                     file);

        std::string text;
        if (existed) {
            // An existing log already has its header: leave out the caption and unit rows.
            TQxTable body(*table);
            body.bShowColumnCaption = false;
            body.bShowEinheit = false;
            renderTable(body, text, true);
        } else {
            renderTable(*table, text, true);
        }

        const qx::platform::TLocalTime now = qx::platform::LocalTime();
        char date[32];
        std::snprintf(date, sizeof date, "%02d.%02d.%04d", now.day, now.month, now.year);
        const std::string stamp = std::string(date) + "\t" + qx::platform::FormatLongTime(now);

        std::size_t pos = 0;
        bool header = !existed;
        bool firstData = true;
        while (text.size() - pos >= 3 && hasLetterOrDigit(text, pos)) {
            if (header) {
                put(f.get(), "\t\t");
                put(f.get(), takeLine(text, pos));
                put(f.get(), "\r\n");
                header = false;
            }
            if (firstData) {
                put(f.get(), "\r\n");
                put(f.get(), stamp);
                put(f.get(), "\t");
                firstData = false;
            } else if (!bOneLine) {
                put(f.get(), "\t\t");
            }
            put(f.get(), takeLine(text, pos));
            put(f.get(), bOneLine ? "\t" : "\r\n");
        }
    } catch (...) {
        QX_PASS();
    }
}

namespace qx::detail {
AnsiString cellText(const TQxTable& table, unsigned line, unsigned column) {
    if (line >= table.vLines.size() || column >= table.vColumns.size()) return {};
    char work[kWorkSize];
    return AnsiString(work, lineValue(table, line, table.vColumns[column], work));
}

const char* defaultFormat(TH5Type::TDataTyp type) {
    switch (type) {
        case TH5Type::eTypUChar:
            return "0x%02x";
        case TH5Type::eTypString:
            return "%s";
        case TH5Type::eTypUShort:
            return "0x%04x";
        case TH5Type::eTypShort:
            return "%d";
        case TH5Type::eTypULong:
            return "0x%08x";
        case TH5Type::eTypLong:
            return "%ld";
        case TH5Type::eTypFloat:
        case TH5Type::eTypDouble:
            return "%t4-";
        default:
            return "";
    }
}
}  // namespace qx::detail
