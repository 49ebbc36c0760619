// The table model (layout, line lists, column values, copies, index errors, the example table)
// and its ini form through a store on a real file.
#include <string>
#include <utility>
#include <vector>

#include "tests/table/TableTestSupport.h"

namespace {

using qx::test::CodeOf;
using qx::test::Column;
using qx::test::TExample;
using qx::test::TTempDir;

class TableModel : public qx::test::ErrorStateTest {};

TEST_F(TableModel, LayoutPacksColumnsInOrder) {
    TQxTable t;
    // Types 1, 2 (size 10), 4, 8; then a zero-size column shares the next one's offset, and an
    // unknown type takes no bytes; the string size of a non-string column is ignored.
    t.vColumns = {Column(TH5Type::eTypUChar),    Column(TH5Type::eTypString, 10),
                  Column(TH5Type::eTypShort),    Column(TH5Type::eTypDouble),
                  Column(TH5Type::eTypNone),     Column(static_cast<TH5Type::TDataTyp>(99)),
                  Column(TH5Type::eTypULong, 50)};
    t.vCalculateSize();
    std::vector<unsigned> offsets;
    for (const auto& c : t.vColumns) offsets.push_back(c.uOffset);
    EXPECT_EQ(offsets, (std::vector<unsigned>{0, 1, 11, 13, 21, 21, 21}));
    EXPECT_EQ(t.uGetLineSize(), 25u);
}

TEST_F(TableModel, LineListsResizeTogetherBindOneBufferAndIndexErrorsChangeNothing) {
    TQxTable t;
    EXPECT_EQ(CodeOf([&] { t.rGetColumn(0); }), qx::kTableIndexError);
    EXPECT_EQ(CodeOf([&] { std::as_const(t).rGetColumn(0); }), qx::kTableIndexError);
    t.vSetLineNumber(3);
    unsigned char line[4];
    EXPECT_EQ(CodeOf([&] { t.ucpGetLine(3); }), qx::kTableIndexError);
    EXPECT_EQ(CodeOf([&] { std::as_const(t).ucpGetLine(7); }), qx::kTableIndexError);
    EXPECT_EQ(CodeOf([&] { t.vSetLine(3, line); }), qx::kTableIndexError);
    EXPECT_EQ(CodeOf([&] { t.vSetNeededLines(3, 4); }), qx::kTableIndexError);
    EXPECT_EQ(CodeOf([&] { t.iGetNeededLines(5); }), qx::kTableIndexError);
    EXPECT_EQ(t.vLines, (std::vector<unsigned char*>{nullptr, nullptr, nullptr}));
    EXPECT_EQ(t.vNeededLines, (std::vector<int>{1, 1, 1}));

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
    qx::platform::SleepMs(1);  // a later reading, whatever the counter's resolution
    t.vCalculateLine(buffer, 0);
    EXPECT_EQ(t.uGetLineNumber(), 0u);
    EXPECT_NE(t.tChanged, before);
}

TEST_F(TableModel, ColumnValuesByType) {
    // Each type behind a one-byte column, so that its offset counts. A fresh vector gets a zero
    // per line, and the unbound second line keeps it; strings store no value; every entry stays
    // when the value would end past the line.
    const struct {
        TH5Type::TDataTyp type;
        std::vector<unsigned char> bytes;  // little-endian
        double value;
    } cases[] = {{TH5Type::eTypUChar, {0xFF}, 255.0},
                 {TH5Type::eTypUShort, {0xFF, 0xFF}, 65535.0},
                 {TH5Type::eTypShort, {0xFE, 0xFF}, -2.0},
                 {TH5Type::eTypULong, {0xFF, 0xFF, 0xFF, 0xFF}, 4294967295.0},
                 {TH5Type::eTypLong, {0xFF, 0xFF, 0xFF, 0xFF}, -1.0},
                 {TH5Type::eTypFloat, {0, 0, 0xC0, 0x3F}, 1.5},
                 {TH5Type::eTypDouble, {0, 0, 0, 0, 0, 0, 0xE0, 0xBF}, -0.5},
                 {TH5Type::eTypString, {'1', '2', 0}, 0.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        TQxTable t;
        t.vColumns = {Column(TH5Type::eTypUChar),
                      Column(c.type, static_cast<unsigned>(c.bytes.size()))};
        t.vCalculateSize();
        std::vector<unsigned char> line{0x7F};
        line.insert(line.end(), c.bytes.begin(), c.bytes.end());
        t.vSetLineNumber(2);
        t.vSetLine(0, line.data());
        std::vector<double> v;
        t.vGetColumnValues(v, 1);
        EXPECT_EQ(v, (std::vector<double>{c.value, 0.0}));
        t.vColumns[1].uOffset = 2;
        v = {7.0, 8.0};
        t.vGetColumnValues(v, 1);
        EXPECT_EQ(v, (std::vector<double>{7.0, 8.0}));
        EXPECT_EQ(CodeOf([&] { t.vGetColumnValues(v, 2); }), qx::kTableIndexError);
    }
}

TEST_F(TableModel, CopiesShareLineStorage) {
    TExample ex;
    TQxTable other;
    other = *ex.table;
    other.ucpGetLine(3)[0] = 'X';
    EXPECT_EQ(ex.table->ucpGetLine(3)[0], 'X');

    // Lines do not count; the line size and every field of a descriptor do.
    TQxTable copy(other);
    copy.vSetLineNumber(0);
    EXPECT_TRUE(copy.bCompareColumns(other));
    copy.uLineSize = 97;
    EXPECT_FALSE(copy.bCompareColumns(other));
    copy.uLineSize = other.uLineSize;
    copy.rGetColumn(4).sMaximum = "x";
    EXPECT_FALSE(copy.bCompareColumns(other));

    // The example table's contents are checked through the text and binary forms.
    EXPECT_EQ(CodeOf([] { TQxTable::vCreateTable(nullptr, nullptr); }), 0x05100000u);
    ex.table->bShowFooter = false;
    ex.table->vClear();
    EXPECT_EQ(ex.table->uGetColumnNumber() + ex.table->uGetLineNumber() + ex.table->uLineSize, 0u);
    EXPECT_TRUE(ex.table->bShowFooter && ex.table->sName.empty());
}

class TableIni : public qx::test::ErrorStateTest {
  protected:
    TTempDir dir;
    std::string file = dir.File("layout.ini");
};

TEST_F(TableIni, RoundTripRestoresTheDescription) {
    TExample ex;
    TQxTable& t = *ex.table;
    t.bShowName = false;
    t.bShowFooter = false;
    t.rGetColumn(1).sCaption = "Kleinster Wert";
    t.rGetColumn(1).iAdjust = TQxTable::AdjustRight;
    t.rGetColumn(2).sMinimum = "-1,5";
    t.rGetColumn(2).sMaximum = "1e3";
    t.rGetColumn(3).eTyp = static_cast<TH5Type::TDataTyp>(-3);  // kept as it is
    t.vWriteIni(TIniFilename(file), "TableTest");

    TQxStdIniFile store(file);
    EXPECT_EQ(store.iReadInteger("TableTest", "Columns", -1), 5);
    EXPECT_EQ(store.sReadString("TableTest/Column4", "Name", ""), "Streuung");
    EXPECT_FALSE(store.bSectionExists("TableTest/Column5"));

    TQxTable back;
    back.vReadIni(&store, "TableTest");
    EXPECT_TRUE(back.bCompareColumns(t));
    EXPECT_EQ(back.sName, t.sName);
    EXPECT_FALSE(back.bShowName || back.bShowFooter);

    TQxTable::TItem item;
    item.vReadIni(TIniFilename(file), "TableTest/Column2");
    EXPECT_EQ(item, t.rGetColumn(2));
}

TEST_F(TableIni, MissingKeysKeepCurrentValuesAndHostileColumnCountsAreIgnored) {
    TExample ex;
    const TQxTable before(*ex.table);
    TQxStdIniFile store(file);
    ex.table->vReadIni(&store, "NoSuchSection");  // the file does not even exist
    EXPECT_TRUE(ex.table->bCompareColumns(before));
    // More columns than sections: the added ones stay default; one key changes one field.
    store.vWriteInteger("T", "Columns", 7);
    store.vWriteString("T/Column6", "Format", "%5.1f");
    ex.table->vReadIni(&store, "T");
    ASSERT_EQ(ex.table->uGetColumnNumber(), 7u);
    EXPECT_EQ(ex.table->rGetColumn(4), before.rGetColumn(4));
    TQxTable::TItem expected;
    EXPECT_EQ(ex.table->rGetColumn(5), expected);
    expected.sFormat = "%5.1f";
    EXPECT_EQ(ex.table->rGetColumn(6), expected);

    TQxTable t;
    t.vSetColumnNumber(2);
    for (const char* count : {"-1", "2147483647", "99999999999", "65537"}) {
        store.vWriteString("T", "Columns", count);
        t.vReadIni(&store, "T");
        EXPECT_EQ(t.uGetColumnNumber(), 2u) << count;
    }
    store.vWriteString("T", "Columns", "0");
    t.vReadIni(&store, "T");
    EXPECT_EQ(t.uGetColumnNumber(), 0u);
}

}  // namespace
