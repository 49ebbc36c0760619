// TQxClipboard over the headless clipboard, and TExternMemoryStream.
#include <climits>
#include <cstring>
#include <thread>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

using qx::platform::HeadlessClipboard;

class Clipboard : public ::testing::Test {
  protected:
    void SetUp() override { empty(); }
    void TearDown() override { empty(); }
    static void empty() {
        ASSERT_TRUE(HeadlessClipboard().Open());
        HeadlessClipboard().Empty();
        HeadlessClipboard().Close();
    }
    // Whether another thread could open the clipboard now.
    static bool freeForOthers() {
        bool ok = false;
        std::thread([&ok] {
            ok = HeadlessClipboard().Open();
            if (ok) HeadlessClipboard().Close();
        }).join();
        return ok;
    }
};

TEST_F(Clipboard, WritesOneContentInTwoFormatsAndReadsThemBack) {
    const char block[] = {'\x01', '\0', '\x02', '\xFF'};
    {
        TQxClipboard w("TStringGridQx");
        w.vClear();
        EXPECT_TRUE(w.bSet(block, sizeof block));
        EXPECT_TRUE(w.bChangeFormat(CF_TEXT));
        EXPECT_TRUE(w.bSet("a\tb\r\n", 6));
    }
    EXPECT_TRUE(freeForOthers());     // closed by the destructor
    TQxClipboard r("tstringgridqx");  // names are matched without regard to case
    ASSERT_EQ(r.size(), sizeof block);
    char out[8] = {};
    EXPECT_EQ(r.uGet(out, sizeof out), sizeof block);
    EXPECT_EQ(std::memcmp(out, block, sizeof block), 0);
    ASSERT_TRUE(r.bChangeFormat(1));
    EXPECT_EQ(r.size(), 6u);
}

TEST_F(Clipboard, SameNameSameIdentifierFromTheRegisteredRange) {
    unsigned first, second;
    {
        TQxClipboard a("Qx test format");
        first = a.uGetFormat();
    }
    {
        TQxClipboard b("Qx test format");
        second = b.uGetFormat();
    }
    EXPECT_GE(first, 0xC000u);
    EXPECT_EQ(first, second);
    TQxClipboard c("Another format");
    EXPECT_NE(c.uGetFormat(), first);
}

TEST_F(Clipboard, NothingIsPutForEmptyDataOrAnUnusableObject) {
    TQxClipboard w(CF_TEXT);
    w.vClear();
    EXPECT_FALSE(w.bSet("x", 0));
    EXPECT_FALSE(w.bSet(nullptr, 4));
    EXPECT_EQ(w.size(), 0u);
    EXPECT_FALSE(HeadlessClipboard().HasFormat(CF_TEXT));
    EXPECT_FALSE(w.bChangeFormat(0));
    EXPECT_FALSE(w.bSet("x", 1));
    EXPECT_EQ(w.size(), 0u);
    char out[4];
    EXPECT_EQ(w.uGet(out, sizeof out), 0u);
}

TEST_F(Clipboard, ReadsAreCutToTheLimitAndOffsetsPastTheEndGiveNothing) {
    const char data[] = "0123456789";
    {
        TQxClipboard w("Offsets");
        w.vClear();
        ASSERT_TRUE(w.bSet(data, 10));
    }
    TQxClipboard r("Offsets");
    char out[16];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(r.uGet(out, 4), 4u);
    EXPECT_EQ(std::string(out, 5), "0123#");
    EXPECT_EQ(r.uGetFromOffset(7, out, 8), 3u);
    EXPECT_EQ(std::string(out, 3), "789");
    EXPECT_EQ(r.uGetFromOffset(2, out, 3), 3u);
    EXPECT_EQ(std::string(out, 3), "234");
    EXPECT_EQ(r.uGetFromOffset(10, out, 4), 0u);
    EXPECT_EQ(r.uGetFromOffset(11, out, 4), 0u);
    EXPECT_EQ(r.uGetFromOffset(3, out, 0), 0u);
    // offset + limit beyond 32 bits must not wrap to a small end.
    EXPECT_EQ(r.uGetFromOffset(4, out, UINT_MAX), 6u);
    EXPECT_EQ(r.uGetFromOffset(UINT_MAX, out, UINT_MAX), 0u);
    EXPECT_EQ(r.uGet(nullptr, 4), 0u);
}

TEST_F(Clipboard, FormatZeroOrNoNameLeavesTheClipboardClosed) {
    for (int i = 0; i < 3; ++i) {
        std::unique_ptr<TQxClipboard> c;
        if (i == 0) c = std::make_unique<TQxClipboard>(0);
        if (i == 1) c = std::make_unique<TQxClipboard>(nullptr);
        if (i == 2) c = std::make_unique<TQxClipboard>("");
        EXPECT_EQ(c->uGetFormat(), 0u);
        EXPECT_TRUE(freeForOthers());
        EXPECT_FALSE(c->bSet("x", 1));
    }
}

TEST_F(Clipboard, AnOpenObjectKeepsOtherThreadsOut) {
    TQxClipboard mine(CF_TEXT);
    EXPECT_FALSE(freeForOthers());
    unsigned theirs = 1;
    std::thread([&theirs] {
        TQxClipboard other(CF_TEXT);
        theirs = other.uGetFormat();
    }).join();
    EXPECT_EQ(theirs, 0u);  // unusable: held by this thread
    EXPECT_FALSE(mine.bChangeFormat(0u));
    EXPECT_TRUE(freeForOthers());
    // A later change opens it again before the object reports itself usable.
    EXPECT_TRUE(mine.bChangeFormat("Reopened"));
    EXPECT_FALSE(freeForOthers());
    EXPECT_TRUE(mine.bSet("y", 1));
}

TEST_F(Clipboard, ClearRemovesEveryFormat) {
    {
        TQxClipboard w("First");
        ASSERT_TRUE(w.bSet("1", 1));
        ASSERT_TRUE(w.bChangeFormat("Second"));
        ASSERT_TRUE(w.bSet("2", 1));
        w.vClear();
    }
    std::vector<std::string> names{"stale"};
    TQxClipboard::vGetClipboardFormats(names);
    EXPECT_TRUE(names.empty());
}

TEST_F(Clipboard, FormatNamesListRegisteredStandardAndUnknownFormats) {
    ASSERT_TRUE(qx::platform::SetClipboardText("plain"));
    {
        TQxClipboard w("Grid cells");
        ASSERT_TRUE(w.bSet("g", 1));
        ASSERT_TRUE(w.bChangeFormat(13));
        ASSERT_TRUE(w.bSet("u\0", 2));
        ASSERT_TRUE(w.bChangeFormat(17));
        ASSERT_TRUE(w.bSet("?", 1));
    }
    std::vector<std::string> names;
    TQxClipboard::vGetClipboardFormats(names);
    EXPECT_EQ(names, (std::vector<std::string>{"CF_TEXT", "Grid cells", "CF_UNICODETEXT", ""}));
    EXPECT_STREQ(TQxClipboard::cpCommonFormat[0], "");
    EXPECT_STREQ(TQxClipboard::cpCommonFormat[16], "CF_LOCALE");
}

TEST_F(Clipboard, ListingFailsQuietlyWhileAnotherThreadHoldsTheClipboard) {
    ASSERT_TRUE(qx::platform::SetClipboardText("plain"));
    TQxClipboard mine(CF_TEXT);
    std::vector<std::string> names{"stale"};
    std::thread([&names] { TQxClipboard::vGetClipboardFormats(names); }).join();
    EXPECT_TRUE(names.empty());
    TQxClipboard::vGetClipboardFormats(names);  // the holding thread itself may list
    EXPECT_EQ(names, std::vector<std::string>{"CF_TEXT"});
}

// ---------------------------------------------------------------------------- memory stream

TEST(ExternMemoryStream, ReadsCallerMemoryAndNeverWritesIt) {
    std::vector<char> memory{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};
    {
        TExternMemoryStream s;
        EXPECT_EQ(s.Size(), 0);
        char out[20] = {};
        EXPECT_EQ(s.Read(out, 5), 0);
        s.vSetPointer(memory.data(), 10);
        EXPECT_EQ(s.Read(out, 20), 10);
        EXPECT_EQ(std::string(out, 10), "0123456789");
        s.SetPosition(2);
        EXPECT_EQ(s.Write("ab", 2), 0);
        EXPECT_EQ(s.Position(), 2);
        EXPECT_THROW(s.WriteBuffer("ab", 2), Exception);
        EXPECT_EQ(s.Seek(-3, soFromEnd), 7);
        EXPECT_EQ(s.Read(out, 20), 3);
        EXPECT_EQ(std::string(out, 3), "789");
    }
    EXPECT_EQ(std::string(memory.begin(), memory.end()), "0123456789");  // still the owner's
}

TEST(ExternMemoryStream, ANewPointerKeepsThePosition) {
    char first[4] = {'a', 'b', 'c', 'd'}, second[6] = {'u', 'v', 'w', 'x', 'y', 'z'};
    TExternMemoryStream s;
    s.vSetPointer(first, 4);
    char out[8];
    EXPECT_EQ(s.Read(out, 8), 4);
    s.vSetPointer(second, 6);
    EXPECT_EQ(s.Position(), 4);
    EXPECT_EQ(s.Read(out, 8), 2);  // what lies after the old position
    EXPECT_EQ(std::string(out, 2), "yz");
    s.SetPosition(0);
    EXPECT_EQ(s.Read(out, 8), 6);
    s.vSetPointer(first, -1);  // no size: an empty stream rather than a wild read
    s.SetPosition(0);
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Read(out, 8), 0);
    s.vSetPointer(nullptr, 8);
    EXPECT_EQ(s.Read(out, 8), 0);
}

}  // namespace
