#include "qx/table/QxTable.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "qx/error/Qxexception.h"

namespace qx::detail {

unsigned valueSize(const TQxTable::TItem& column) {
    switch (column.eTyp) {
        case TH5Type::eTypUChar:
            return 1;
        case TH5Type::eTypString:
            return column.uStringSize;
        case TH5Type::eTypUShort:
        case TH5Type::eTypShort:
            return 2;
        case TH5Type::eTypULong:
        case TH5Type::eTypLong:
        case TH5Type::eTypFloat:
            return 4;
        case TH5Type::eTypDouble:
            return 8;
        default:
            return 0;
    }
}

}  // namespace qx::detail

namespace {

template <class T>
T loadValue(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);  // values need not be aligned
    return v;
}

}  // namespace

TQxTable::TQxTable() = default;

TQxTable::TQxTable(const TQxTable& other)
    : vColumns(other.vColumns),
      uLineSize(other.uLineSize),
      vLines(other.vLines),
      vNeededLines(other.vNeededLines),
      sName(other.sName),
      bShowName(other.bShowName),
      bShowColumnCaption(other.bShowColumnCaption),
      bShowFooter(other.bShowFooter),
      bShowLineNum(other.bShowLineNum),
      bShowEinheit(other.bShowEinheit) {}

TQxTable& TQxTable::operator=(const TQxTable& other) {
    if (this != &other) {
        vColumns = other.vColumns;
        uLineSize = other.uLineSize;
        vLines = other.vLines;
        vNeededLines = other.vNeededLines;
        sName = other.sName;
        bShowName = other.bShowName;
        bShowColumnCaption = other.bShowColumnCaption;
        bShowFooter = other.bShowFooter;
        bShowLineNum = other.bShowLineNum;
        bShowEinheit = other.bShowEinheit;
    }
    tChanged.set();
    return *this;
}

TQxTable::~TQxTable() = default;

void TQxTable::vClear() {
    vColumns.clear();
    vLines.clear();
    vNeededLines.clear();
    uLineSize = 0;
    sName.clear();
    bShowName = bShowColumnCaption = bShowFooter = bShowLineNum = bShowEinheit = true;
    tChanged.set();
}

void TQxTable::vSetColumnNumber(unsigned n) {
    vColumns.resize(n);
}

TQxTable::TItem& TQxTable::rGetColumn(unsigned i) {
    if (i >= vColumns.size()) QX_RAISE(qx::kTableIndexError);
    return vColumns[i];
}

const TQxTable::TItem& TQxTable::rGetColumn(unsigned i) const {
    if (i >= vColumns.size()) QX_RAISE(qx::kTableIndexError);
    return vColumns[i];
}

bool TQxTable::bCompareColumns(const TQxTable& other) const {
    return uLineSize == other.uLineSize && vColumns == other.vColumns;
}

void TQxTable::vCalculateSize() {
    uLineSize = 0;
    for (TItem& column : vColumns) {
        column.uOffset = uLineSize;
        uLineSize += qx::detail::valueSize(column);
    }
}

void TQxTable::vSetLineNumber(unsigned n) {
    vLines.resize(n, nullptr);
    vNeededLines.resize(n, 1);
}

void TQxTable::vCalculateLine(unsigned char* buffer, unsigned n) {
    vSetLineNumber(n);
    // A null buffer leaves the lines unbound rather than pointing them near address 0.
    for (unsigned i = 0; i < n; ++i)
        vLines[i] = buffer ? buffer + static_cast<std::size_t>(i) * uLineSize : nullptr;
    tChanged.set();
}

unsigned char* TQxTable::ucpGetLine(unsigned i) {
    if (i >= vLines.size()) QX_RAISE(qx::kTableIndexError);
    return vLines[i];
}

const unsigned char* TQxTable::ucpGetLine(unsigned i) const {
    if (i >= vLines.size()) QX_RAISE(qx::kTableIndexError);
    return vLines[i];
}

void TQxTable::vSetLine(unsigned i, unsigned char* line) {
    if (i >= vLines.size()) QX_RAISE(qx::kTableIndexError);
    vLines[i] = line;
}

int TQxTable::iGetNeededLines(unsigned i) const {
    if (i >= vNeededLines.size()) QX_RAISE(qx::kTableIndexError);
    return vNeededLines[i];
}

void TQxTable::vSetNeededLines(unsigned i, int n) {
    if (i >= vNeededLines.size()) QX_RAISE(qx::kTableIndexError);
    vNeededLines[i] = n;
}

void TQxTable::vGetColumnValues(std::vector<double>& values, unsigned column) {
    try {
        const TItem& item = rGetColumn(column);
        if (values.size() != vLines.size()) values.resize(vLines.size(), 0.0);
        const std::uint64_t end =
            static_cast<std::uint64_t>(item.uOffset) + qx::detail::valueSize(item);
        if (end > uLineSize) return;  // the value does not lie inside a line
        for (std::size_t i = 0; i < vLines.size(); ++i) {
            if (vLines[i] == nullptr) continue;
            const unsigned char* p = vLines[i] + item.uOffset;
            switch (item.eTyp) {
                case TH5Type::eTypUChar:
                    values[i] = *p;
                    break;
                case TH5Type::eTypUShort:
                    values[i] = loadValue<std::uint16_t>(p);
                    break;
                case TH5Type::eTypShort:
                    values[i] = loadValue<std::int16_t>(p);
                    break;
                case TH5Type::eTypULong:
                    values[i] = loadValue<std::uint32_t>(p);
                    break;
                case TH5Type::eTypLong:
                    values[i] = loadValue<std::int32_t>(p);
                    break;
                case TH5Type::eTypFloat:
                    values[i] = loadValue<float>(p);
                    break;
                case TH5Type::eTypDouble:
                    values[i] = loadValue<double>(p);
                    break;
                default:
                    break;
            }
        }
    } catch (...) {
        QX_PASS();
    }
}

void TQxTable::vCreateTable(void** data, TQxTable** table) {
    if (data == nullptr || table == nullptr) QX_RAISE(0x05100000UL);
    constexpr unsigned kLines = 100;
    constexpr unsigned kLineSize = 96;
    // Zero-filled, so that the bytes after each name's NUL do not carry stale memory into
    // files written from this table.
    auto* buffer = new unsigned char[kLines * kLineSize]();
    for (unsigned i = 0; i < kLines; ++i) {
        unsigned char* line = buffer + i * kLineSize;
        std::snprintf(reinterpret_cast<char*>(line), 64, "Name%u", i + 1);
        const double values[4] = {i * 99.9, i * 299.9, i * 199.9, i * 9.99};
        std::memcpy(line + 64, values, sizeof values);
    }

    auto* t = new TQxTable;
    t->vSetColumnNumber(5);
    static const char* const kNames[5] = {"Name", "Minimum", "Maximum", "Mittelwert", "Streuung"};
    for (unsigned c = 0; c < 5; ++c) {
        TItem& item = t->vColumns[c];
        item.sName = kNames[c];
        if (c == 0) {
            item.eTyp = TH5Type::eTypString;
            item.uStringSize = 64;
            item.uOffset = 0;
            item.sFormat = "%s";
        } else {
            item.sEinheit = "cd/m\xB2";
            item.eTyp = TH5Type::eTypDouble;
            item.uOffset = 64 + (c - 1) * 8;
            item.sFormat = "%t4-";
        }
    }
    t->uLineSize = kLineSize;
    t->sName = "Beispiel einer Tabelle";
    t->vCalculateLine(buffer, kLines);
    *data = buffer;
    *table = t;
}

void TQxTable::vRead(const char*) {}

void TQxTable::vWrite(const char*) const {}
