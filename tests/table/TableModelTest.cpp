// The table model: layout, line lists, column values, copies, index errors, the example table.
#include <utility>
#include <vector>

#include "tests/table/TableTestSupport.h"

namespace {

using qx::test::CodeOf;
using qx::test::TExample;

class TableModel : public qx::test::ErrorStateTest {};

TQxTable::TItem column(TH5Type::TDataTyp type, unsigned stringSize = 0) {
    TQxTable::TItem item;
    item.eTyp = type;
    item.uStringSize = stringSize;
    return item;
}

TEST_F(TableModel, LayoutPacksColumnsInOrder) {
    TQxTable t;
    t.uLineSize = 77;
    t.vCalculateSize();
    EXPECT_EQ(t.uGetLineSize(), 0u);

    // Types 1, 2 (size 10), 4, 8; then a zero-size column shares the next one's offset, and an
    // unknown type takes no bytes; the string size of a non-string column is ignored.
    t.vColumns = {column(TH5Type::eTypUChar),    column(TH5Type::eTypString, 10),
                  column(TH5Type::eTypShort),    column(TH5Type::eTypDouble),
                  column(TH5Type::eTypNone),     column(static_cast<TH5Type::TDataTyp>(99)),
                  column(TH5Type::eTypULong, 50)};
    t.vCalculateSize();
    std::vector<unsigned> offsets;
    for (const auto& c : t.vColumns) offsets.push_back(c.uOffset);
    EXPECT_EQ(offsets, (std::vector<unsigned>{0, 1, 11, 13, 21, 21, 21}));
    EXPECT_EQ(t.uGetLineSize(), 25u);
}

TEST_F(TableModel, LineListsResizeTogetherAndBindOneBuffer) {
    TQxTable t;
    t.vSetLineNumber(3);
    ASSERT_EQ(t.uGetLineNumber(), 3u);
    for (unsigned i = 0; i < 3; ++i) {
        EXPECT_EQ(t.ucpGetLine(i), nullptr);
        EXPECT_EQ(t.iGetNeededLines(i), 1);
    }
    unsigned char line[4];
    t.vSetLine(0, line);
    t.vSetNeededLines(0, 5);
    t.vSetNeededLines(2, 9);
    t.vSetLineNumber(1);
    EXPECT_EQ(t.ucpGetLine(0), line);
    EXPECT_EQ(t.iGetNeededLines(0), 5);
    t.vSetLineNumber(2);  // the dropped counter does not come back
    EXPECT_EQ(t.iGetNeededLines(1), 1);

    // vCalculateLine binds one buffer to every line and renews the stamp.
    t.uLineSize = 6;
    unsigned char buffer[18];
    t.vSetLineNumber(3);
    t.vCalculateLine(buffer, 3);
    for (unsigned i = 0; i < 3; ++i) EXPECT_EQ(t.ucpGetLine(i), buffer + 6 * i);

    const Process::TTimeStamp before = t.tChanged;
    qx::platform::SleepMs(1);
    t.vCalculateLine(buffer, 0);
    EXPECT_EQ(t.uGetLineNumber(), 0u);
    EXPECT_NE(t.tChanged, before);
}

TEST_F(TableModel, ColumnValuesByType) {
    // Each numeric type behind a one-byte column, so that its offset counts; the second line is
    // unbound and keeps its entry, as does every entry when the value would end past the line.
    const struct {
        TH5Type::TDataTyp type;
        std::vector<unsigned char> bytes;  // little-endian
        double value;
    } cases[] = {
        {TH5Type::eTypUChar, {0xFF}, 255.0},
        {TH5Type::eTypUShort, {0xFF, 0xFF}, 65535.0},
        {TH5Type::eTypShort, {0xFE, 0xFF}, -2.0},
        {TH5Type::eTypULong, {0xFF, 0xFF, 0xFF, 0xFF}, 4294967295.0},
        {TH5Type::eTypLong, {0xFF, 0xFF, 0xFF, 0xFF}, -1.0},
        {TH5Type::eTypFloat, {0, 0, 0xC0, 0x3F}, 1.5},
        {TH5Type::eTypDouble, {0, 0, 0, 0, 0, 0, 0xE0, 0xBF}, -0.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        TQxTable t;
        t.vColumns = {column(TH5Type::eTypUChar), column(c.type)};
        t.vCalculateSize();
        ASSERT_EQ(t.uLineSize, 1 + c.bytes.size());
        std::vector<unsigned char> line{0x7F};
        line.insert(line.end(), c.bytes.begin(), c.bytes.end());
        t.vSetLineNumber(2);
        t.vSetLine(0, line.data());
        std::vector<double> v{7.0, 8.0};
        t.vGetColumnValues(v, 1);
        EXPECT_EQ(v, (std::vector<double>{c.value, 8.0}));
        t.vColumns[1].uOffset = 2;
        v = {7.0, 8.0};
        t.vGetColumnValues(v, 1);
        EXPECT_EQ(v, (std::vector<double>{7.0, 8.0}));
    }

    // String columns store nothing: a fresh vector gets zeros, a fitting one keeps its values.
    TQxTable t;
    t.vColumns = {column(TH5Type::eTypString, 3)};
    t.vCalculateSize();
    unsigned char line[3] = {'1', '2', 0};
    t.vCalculateLine(line, 1);
    t.vSetLineNumber(2);
    std::vector<double> empty;
    t.vGetColumnValues(empty, 0);
    EXPECT_EQ(empty, (std::vector<double>{0.0, 0.0}));
    std::vector<double> kept{7.0, 8.0};
    t.vGetColumnValues(kept, 0);
    EXPECT_EQ(kept, (std::vector<double>{7.0, 8.0}));
    EXPECT_EQ(CodeOf([&] { t.vGetColumnValues(kept, 1); }), qx::kTableIndexError);
}

TEST_F(TableModel, CopiesShareLineStorage) {
    TExample ex;
    TQxTable other;
    const Process::TTimeStamp before = other.tChanged;
    qx::platform::SleepMs(1);
    other = *ex.table;
    EXPECT_NE(other.tChanged, before);
    EXPECT_TRUE(other.bCompareColumns(*ex.table));
    EXPECT_EQ(other.sName, "Beispiel einer Tabelle");
    other.ucpGetLine(3)[0] = 'X';
    EXPECT_EQ(ex.table->ucpGetLine(3)[0], 'X');

    TQxTable copy(other);
    EXPECT_EQ(copy.vLines, other.vLines);

    // Lines do not count; the line size and every field of a descriptor do.
    copy.vSetLineNumber(0);
    EXPECT_TRUE(copy.bCompareColumns(other));
    copy.uLineSize = 97;
    EXPECT_FALSE(copy.bCompareColumns(other));
    copy.uLineSize = other.uLineSize;
    copy.rGetColumn(4).sMaximum = "x";
    EXPECT_FALSE(copy.bCompareColumns(other));
    copy.rGetColumn(4).sMaximum.clear();
    copy.rGetColumn(0).sName = "name";  // case counts
    EXPECT_FALSE(copy.bCompareColumns(other));

    // The example table's contents are checked through the text and binary forms.
    EXPECT_EQ(CodeOf([] { TQxTable::vCreateTable(nullptr, nullptr); }), 0x05100000u);
    ex.table->bShowFooter = false;
    ex.table->vClear();
    EXPECT_EQ(ex.table->uGetColumnNumber() + ex.table->uGetLineNumber() + ex.table->uLineSize, 0u);
    EXPECT_TRUE(ex.table->bShowFooter && ex.table->sName.empty());
}

TEST_F(TableModel, IndexErrorsChangeNothing) {
    TQxTable t;
    EXPECT_EQ(CodeOf([&] { t.rGetColumn(0); }), qx::kTableIndexError);
    EXPECT_EQ(CodeOf([&] { std::as_const(t).rGetColumn(0); }), qx::kTableIndexError);
    EXPECT_EQ(qx::getErrorCode(), qx::kTableIndexError);
    t.vSetLineNumber(2);
    unsigned char line[1];
    EXPECT_EQ(CodeOf([&] { t.ucpGetLine(2); }), qx::kTableIndexError);
    EXPECT_EQ(CodeOf([&] { std::as_const(t).ucpGetLine(7); }), qx::kTableIndexError);
    EXPECT_EQ(CodeOf([&] { t.vSetLine(2, line); }), qx::kTableIndexError);
    EXPECT_EQ(CodeOf([&] { t.vSetNeededLines(2, 4); }), qx::kTableIndexError);
    EXPECT_EQ(CodeOf([&] { t.iGetNeededLines(5); }), qx::kTableIndexError);
    EXPECT_EQ(t.vLines, (std::vector<unsigned char*>{nullptr, nullptr}));
    EXPECT_EQ(t.vNeededLines, (std::vector<int>{1, 1}));
}

}  // namespace
