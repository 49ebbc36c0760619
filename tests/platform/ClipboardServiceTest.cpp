// The platform clipboard service: format registration, the headless store's open/close rule
// and raw data per format.
#include "tests/clipboard/ClipboardSupport.h"

namespace {

using qx::platform::ClipboardFormatName;
using qx::platform::HeadlessClipboard;
using qx::platform::RegisterClipboardFormat;
using qx::platform::TClipboardService;
using qx::test::ClipboardFreeForOthers;

class ClipboardService : public ::testing::Test {
  protected:
    void SetUp() override { qx::test::EmptyHeadlessClipboard(); }
    TClipboardService& cb = HeadlessClipboard();
};

TEST_F(ClipboardService, NamesKeepTheirIdentifierAndOpensNestInOneThread) {
    unsigned id = RegisterClipboardFormat("Service test \xC4");
    EXPECT_TRUE(id >= 0xC000u && id <= 0xFFFFu) << id;
    EXPECT_EQ(RegisterClipboardFormat("SERVICE TEST \xE4"), id);  // case-insensitive, 1252
    EXPECT_EQ(ClipboardFormatName(id), "Service test \xC4");      // as first spelled
    EXPECT_EQ(RegisterClipboardFormat(""), 0u);
    EXPECT_EQ(ClipboardFormatName(CF_TEXT), "");
    EXPECT_EQ(ClipboardFormatName(0xFFFF), "");

    // Opens nest in one thread, and data needs the clipboard open by the caller.
    EXPECT_FALSE(cb.Close());  // not open
    EXPECT_FALSE(cb.SetData(CF_TEXT, "x", 1));
    EXPECT_FALSE(cb.Empty());
    ASSERT_TRUE(cb.Open());
    ASSERT_TRUE(cb.Open());
    EXPECT_FALSE(ClipboardFreeForOthers());
    EXPECT_FALSE(cb.SetData(0, "x", 1));
    EXPECT_TRUE(cb.SetData(5, "five", 4));
    cb.SetData(CF_TEXT, "one", 3);
    cb.SetData(5, "V", 1);  // replaced in place
    EXPECT_EQ(cb.Formats(), (std::vector<unsigned>{5, CF_TEXT}));
    EXPECT_EQ(cb.DataSize(5), 1u);
    char out[4] = {};
    EXPECT_EQ(cb.ReadData(CF_TEXT, 3, out, 4), 0u) << "from the end on";
    EXPECT_TRUE(cb.Close());
    EXPECT_FALSE(ClipboardFreeForOthers());
    EXPECT_TRUE(cb.Close());
    EXPECT_TRUE(ClipboardFreeForOthers());
    // Closed, only the format test answers.
    EXPECT_TRUE(cb.HasFormat(CF_TEXT));
    EXPECT_EQ(cb.DataSize(CF_TEXT), 0u);
    EXPECT_TRUE(cb.Formats().empty());
    EXPECT_EQ(cb.ReadData(CF_TEXT, 0, out, 2), 0u);
}

}  // namespace
