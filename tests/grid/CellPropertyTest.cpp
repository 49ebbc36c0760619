// Cell, column and line properties: defaults, assignment rules, colours and the stream record.
#include "tests/support/TestSupport.h"

namespace {

std::vector<unsigned char> bytesOf(const TCellPropertyQx& p) {
    TMemoryStream s;
    p.vWrite2Stream(s);
    const auto* m = static_cast<const unsigned char*>(s.Memory());
    return {m, m + s.Size()};
}

// Reads `bytes` into `p`; returns how many bytes the read consumed.
std::int64_t readInto(TCellPropertyQx& p, const std::vector<unsigned char>& bytes) {
    TMemoryStream s;
    if (!bytes.empty()) s.Write(bytes.data(), static_cast<long>(bytes.size()));
    s.SetPosition(0);
    p.vReadFromStream(s);
    return s.Position();
}

using Bytes = std::vector<unsigned char>;

}  // namespace

TEST(CellProperty, FreshObjectsWriteTheirDefaultRecords) {
    EXPECT_EQ(bytesOf(TCellPropertyQx{}), (Bytes{1, 0, 1, 0, 7, 1, 0}));
    EXPECT_EQ(bytesOf(TColumnPropertyQx{}), (Bytes{1, 0, 1, 0, 1, 1, 0}));
    EXPECT_EQ(bytesOf(TLinePropertyQx{}), (Bytes{1, 0, 1, 0, 1, 1, 0}));
    EXPECT_TRUE(TColumnPropertyQx{}.bGetAutomaticWidth());
    EXPECT_TRUE(TLinePropertyQx{}.bGetAutomaticHeight());
}

TEST(CellProperty, RecordsRoundTripAndForeignVersionsChangeNothing) {
    TCellPropertyQx p;
    p.vSetAdjust(eAdjustRight);
    p.vSetFontSize(eFontLarge);
    p.vSetFontColor(eColorRed);
    p.vSetBKColor(eColorYellow);
    p.vSetCanEdit(false);
    p.vSetHiddenString("verborgen \xE4");
    const Bytes record = bytesOf(p);
    ASSERT_EQ(record.size(), 7u + 11u);

    TCellPropertyQx q;
    EXPECT_EQ(readInto(q, record), static_cast<std::int64_t>(record.size()));
    EXPECT_EQ(bytesOf(q), record);
    EXPECT_FALSE(q.bGetChanged());

    Bytes v2 = record;
    v2[0] = 2;
    TCellPropertyQx r;
    EXPECT_EQ(readInto(r, v2), 1) << "stops after the version byte";
    EXPECT_EQ(bytesOf(r), bytesOf(TCellPropertyQx{}));

    // Out-of-range values are stored as read; unknown sizes are 10 points, unknown colours black.
    TCellPropertyQx odd;
    readInto(odd, {1, 9, 200, 8, 255, 5, 0});
    EXPECT_EQ(odd.eGetAdjust(), 9);
    EXPECT_EQ(odd.iGetFontSize(), 10);
    EXPECT_EQ(odd.iGetFontColor(), clBlack);
    EXPECT_EQ(odd.iGetBKColor(), clBlack);
    EXPECT_TRUE(odd.bGetCanEdit());
}

TEST(CellProperty, ShortAndOversizedRecordsStayInsideTheirBuffers) {
    // Ends before the NUL: the text read so far, and the read stops at the end.
    TCellPropertyQx p;
    EXPECT_EQ(readInto(p, {1, 2, 0, 3, 4, 0, 'a', 'b'}), 8);
    EXPECT_STREQ(p.cpGetHiddenString(), "ab");
    EXPECT_EQ(p.eGetAdjust(), eAdjustCenter);
    EXPECT_FALSE(p.bGetCanEdit());
    // Ends inside the fixed fields: what was read is kept.
    TCellPropertyQx q;
    readInto(q, {1, 3, 2});
    EXPECT_EQ(q.eGetAdjust(), eAdjustRight);
    EXPECT_EQ(q.eGetFontSize(), eFontLarge);
    EXPECT_EQ(q.eGetBKColor(), eColorWhite);
    // A hidden text of 5000 characters: 1023 kept, and the next record still reads.
    Bytes big{1, 0, 1, 0, 7, 1};
    big.insert(big.end(), 5000, 'x');
    big.push_back(0);
    const Bytes next = {1, 3, 0, 0, 7, 1, 'n', 0};
    big.insert(big.end(), next.begin(), next.end());
    TMemoryStream s;
    s.Write(big.data(), static_cast<long>(big.size()));
    s.SetPosition(0);
    TCellPropertyQx a, b;
    a.vReadFromStream(s);
    b.vReadFromStream(s);
    EXPECT_EQ(std::string(a.cpGetHiddenString()), std::string(1023, 'x'));
    EXPECT_STREQ(b.cpGetHiddenString(), "n");
    EXPECT_EQ(b.eGetAdjust(), eAdjustRight);
}

TEST(CellProperty, AssignmentCopiesFormattingButNeverTheHiddenTextOrChangedFlag) {
    TCellPropertyQx src;
    src.vSetAdjust(eAdjustLeft);
    src.vSetFontSize(eFontSmall);
    src.vSetFontColor(eColorBlue);
    src.vSetBKColor(eColorGreen);
    src.vSetCanEdit(false);
    src.vSetHiddenString("secret");
    src.vSetChanged(true);

    TCellPropertyQx only;
    TCellPropertyQx::TAssign bk{false, false, false, true};
    only.vAssign(src, bk);
    EXPECT_EQ(only.eGetBKColor(), eColorGreen);
    EXPECT_EQ(only.eGetAdjust(), eAdjustDefault);
    EXPECT_EQ(only.eGetFontSize(), eFontMedium);
    EXPECT_EQ(only.eGetFontColor(), eColorBlack);
    EXPECT_TRUE(only.bGetCanEdit()) << "vAssign leaves the edit flag";

    TCellPropertyQx copy(src), assigned;
    assigned.vSetHiddenString("mine");
    assigned = src;
    for (const TCellPropertyQx* p : {&copy, &assigned}) {
        EXPECT_EQ(p->eGetAdjust(), eAdjustLeft);
        EXPECT_EQ(p->iGetFontSize(), 6);
        EXPECT_EQ(p->iGetFontColor(), 0xFF0000);
        EXPECT_FALSE(p->bGetCanEdit()) << "assignment copies the edit flag";
        EXPECT_FALSE(p->bGetChanged());
    }
    EXPECT_STREQ(copy.cpGetHiddenString(), "");
    EXPECT_STREQ(assigned.cpGetHiddenString(), "mine");

    TColumnPropertyQx col;
    col.vSetAutomaticWidth(false);
    col.vSetHiddenString("h");
    TColumnPropertyQx col2(col);
    EXPECT_FALSE(col2.bGetAutomaticWidth());
    EXPECT_STREQ(col2.cpGetHiddenString(), "");
    TLinePropertyQx line;
    line.vSetAutomaticHeight(false);
    TLinePropertyQx line2;
    line2 = line;
    EXPECT_FALSE(line2.bGetAutomaticHeight());
    line2 = line2;  // self-assignment keeps everything
    EXPECT_FALSE(line2.bGetAutomaticHeight());
}

TEST(CellProperty, ColoursDependOnTheirUse) {
    EXPECT_EQ(TCellPropertyQx::iEnum2TColor(eColorRed, true), 0xC8C8FF);
    EXPECT_EQ(TCellPropertyQx::iEnum2TColor(eColorRed, false), 0x0000FF);
    EXPECT_EQ(TCellPropertyQx::iEnum2TColor(eColorGreen, false), 0x00AA00);
    EXPECT_EQ(TCellPropertyQx::iEnum2TColor(eColorYellow, true), 0xAAFFFF);
    for (eColorQx same : {eColorGray, eColorLightGray, eColorBlack, eColorWhite})
        EXPECT_EQ(TCellPropertyQx::iEnum2TColor(same, true),
                  TCellPropertyQx::iEnum2TColor(same, false));
}
