// The ini form of tables and column descriptors, through a store on a real file.
#include <string>

#include "tests/table/TableTestSupport.h"

namespace {

using qx::test::TExample;
using qx::test::TTempDir;

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
    EXPECT_EQ(store.sReadString("TableTest/Column0", "Offset", ""), "0");
    EXPECT_EQ(store.sReadString("TableTest", "Footer", ""), "0");
    EXPECT_FALSE(store.bSectionExists("TableTest/Column5"));

    TQxTable back;
    back.vReadIni(&store, "TableTest");
    EXPECT_TRUE(back.bCompareColumns(t));
    EXPECT_EQ(back.sName, t.sName);
    EXPECT_FALSE(back.bShowName || back.bShowFooter);
    EXPECT_TRUE(back.bShowLineNum && back.bShowEinheit && back.bShowColumnCaption);
    EXPECT_EQ(back.uGetLineNumber(), 0u);  // the ini form holds no lines

    TQxTable::TItem item;
    item.vReadIni(TIniFilename(file), "TableTest/Column2");
    EXPECT_EQ(item, t.rGetColumn(2));
}

TEST_F(TableIni, MissingKeysKeepCurrentValues) {
    TExample ex;
    const TQxTable before(*ex.table);
    TQxStdIniFile store(file);
    ex.table->vReadIni(&store, "NoSuchSection");  // the file does not even exist
    EXPECT_TRUE(ex.table->bCompareColumns(before));
    EXPECT_EQ(ex.table->sName, before.sName);
    EXPECT_EQ(ex.table->vLines, before.vLines);

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
    EXPECT_EQ(ex.table->sName, before.sName);
}

TEST_F(TableIni, HostileColumnCountsAreIgnored) {
    TQxStdIniFile store(file);
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
