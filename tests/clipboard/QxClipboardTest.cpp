// TQxClipboard over the headless clipboard, and TExternMemoryStream.
#include <climits>
#include <cstring>
#include <vector>

#include "tests/clipboard/ClipboardSupport.h"

namespace {

using qx::platform::HeadlessClipboard;
using qx::test::ClipboardFreeForOthers;

class Clipboard : public ::testing::Test {
  protected:
    void SetUp() override { qx::test::EmptyHeadlessClipboard(); }
};

TEST_F(Clipboard, WritesOneContentInTwoFormatsAndReadsThemBackCutToTheLimit) {
    const char block[] = {'\x01', '\0', '\x02', '\xFF'};
    unsigned format = 0;
    {
        TQxClipboard w("TStringGridQx");
        format = w.uGetFormat();
        w.vClear();
        EXPECT_TRUE(w.bSet(block, sizeof block));
        EXPECT_TRUE(w.bChangeFormat(CF_TEXT));
        EXPECT_TRUE(w.bSet("0123456789", 10));
    }
    EXPECT_TRUE(ClipboardFreeForOthers());  // closed by the destructor
    TQxClipboard r("tstringgridqx");        // names are matched without regard to case
    EXPECT_EQ(r.uGetFormat(), format);
    ASSERT_EQ(r.size(), sizeof block);
    char out[16];
    EXPECT_EQ(r.uGet(out, sizeof out), sizeof block);
    EXPECT_EQ(std::memcmp(out, block, sizeof block), 0);

    ASSERT_TRUE(r.bChangeFormat(CF_TEXT));
    EXPECT_EQ(r.size(), 10u);
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(r.uGet(out, 4), 4u);
    EXPECT_EQ(std::string(out, 5), "0123#");
    EXPECT_EQ(r.uGetFromOffset(7, out, 8), 3u);
    EXPECT_EQ(std::string(out, 3), "789");
    // offset + limit beyond 32 bits must not wrap to a small end.
    EXPECT_EQ(r.uGetFromOffset(4, out, UINT_MAX), 6u);
    EXPECT_EQ(r.uGetFromOffset(UINT_MAX, out, UINT_MAX), 0u);
    EXPECT_EQ(r.uGet(nullptr, 4), 0u);
}

TEST_F(Clipboard, NothingIsPutForEmptyDataOrByAnUnusableObjectAndAnOpenOneKeepsOtherThreadsOut) {
    TQxClipboard w(CF_TEXT);
    w.vClear();
    EXPECT_FALSE(w.bSet("x", 0));
    EXPECT_FALSE(w.bSet(nullptr, 4));
    EXPECT_FALSE(HeadlessClipboard().HasFormat(CF_TEXT));
    EXPECT_FALSE(w.bChangeFormat(0));
    EXPECT_EQ(w.size(), 0u);
    char out[4];
    EXPECT_EQ(w.uGet(out, sizeof out), 0u);
    w.vClear();  // unusable: does nothing

    // Format 0 or no name leave the clipboard closed.
    std::unique_ptr<TQxClipboard> unusable[] = {std::make_unique<TQxClipboard>(0),
                                                std::make_unique<TQxClipboard>(nullptr),
                                                std::make_unique<TQxClipboard>("")};
    for (const auto& c : unusable) {
        EXPECT_EQ(c->uGetFormat(), 0u);
        EXPECT_TRUE(ClipboardFreeForOthers());
        EXPECT_FALSE(c->bSet("x", 1));
    }

    // An open object keeps other threads out.
    TQxClipboard mine(CF_TEXT);
    EXPECT_FALSE(ClipboardFreeForOthers());
    unsigned theirs = 1;
    std::thread([&theirs] {
        TQxClipboard other(CF_TEXT);
        theirs = other.uGetFormat();
    }).join();
    EXPECT_EQ(theirs, 0u);  // unusable: held by this thread
    EXPECT_FALSE(mine.bChangeFormat(0u));
    EXPECT_TRUE(ClipboardFreeForOthers());
    // A later change opens it again before the object reports itself usable.
    EXPECT_TRUE(mine.bChangeFormat("Reopened"));
    EXPECT_FALSE(ClipboardFreeForOthers());
    EXPECT_TRUE(mine.bSet("y", 1));
}

TEST_F(Clipboard, FormatNamesListRegisteredStandardAndUnknownFormatsUntilCleared) {
    ASSERT_TRUE(qx::platform::SetClipboardText("plain"));
    std::vector<std::string> names{"stale"};
    {
        TQxClipboard w("Grid cells");
        ASSERT_TRUE(w.bSet("g", 1));
        ASSERT_TRUE(w.bChangeFormat(13));
        ASSERT_TRUE(w.bSet("u\0", 2));
        ASSERT_TRUE(w.bChangeFormat(17));
        ASSERT_TRUE(w.bSet("?", 1));
        // Listing fails quietly while another thread holds the clipboard...
        std::thread([&names] { TQxClipboard::vGetClipboardFormats(names); }).join();
        EXPECT_TRUE(names.empty());
        // ...but the holding thread itself may list.
        TQxClipboard::vGetClipboardFormats(names);
        EXPECT_EQ(names, (std::vector<std::string>{"CF_TEXT", "Grid cells", "CF_UNICODETEXT", ""}));
        w.vClear();  // removes every format
    }
    TQxClipboard::vGetClipboardFormats(names);
    EXPECT_TRUE(names.empty());
}

TEST(ExternMemoryStream, ReadsCallerMemoryNeverWritesItAndANewPointerKeepsThePosition) {
    std::vector<char> memory{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};
    char other[6] = {'u', 'v', 'w', 'x', 'y', 'z'};
    TExternMemoryStream s;
    char out[20] = {};
    s.vSetPointer(memory.data(), 10);
    EXPECT_EQ(s.Read(out, 20), 10);
    s.SetPosition(2);
    EXPECT_EQ(s.Write("ab", 2), 0);
    EXPECT_EQ(s.Position(), 2);
    EXPECT_THROW(s.WriteBuffer("ab", 2), Exception);
    EXPECT_EQ(s.Seek(-3, soFromEnd), 7);
    EXPECT_EQ(s.Read(out, 20), 3);
    EXPECT_EQ(std::string(out, 3), "789");
    EXPECT_EQ(std::string(memory.begin(), memory.end()), "0123456789");  // still the owner's

    s.SetPosition(4);
    s.vSetPointer(other, 6);
    EXPECT_EQ(s.Position(), 4);
    EXPECT_EQ(s.Read(out, 8), 2);  // what lies after the old position
    EXPECT_EQ(std::string(out, 2), "yz");
    s.vSetPointer(other, -1);  // no size: an empty stream rather than a wild read
    s.SetPosition(0);
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Read(out, 8), 0);
    s.vSetPointer(nullptr, 8);
    EXPECT_EQ(s.Read(out, 8), 0);
}

}  // namespace
