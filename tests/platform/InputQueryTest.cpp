// The input prompt of the widget set and the framework's InputQuery and InputBox.
#include "tests/support/TestSupport.h"

namespace {

TEST(InputQuery, TheResponderConfirmsWithItsTextOrCancels) {
    qx::test::TResponderScope r;
    r.InputQuery("edited");
    r.InputQuery("ignored", false);
    r.InputQuery("");
    r.InputQuery("typed", false);
    std::string value = "start";
    EXPECT_TRUE(InputQuery("Caption", "Prompt", value));
    EXPECT_EQ(value, "edited");
    EXPECT_FALSE(InputQuery("Caption", "Prompt", value));
    EXPECT_EQ(value, "edited");
    EXPECT_EQ(InputBox("C", "P", "default"), "");  // confirmed empty is not the default
    EXPECT_EQ(InputBox("C", "P", "default"), "default");
    ASSERT_EQ(r.Requests().size(), 4u);
    EXPECT_EQ(r.Requests()[0].eKind, qx::platform::TDialogKind::InputQuery);
    EXPECT_EQ(r.Requests()[0].caption, "Caption");
    EXPECT_EQ(r.Requests()[0].text, "Prompt");
    EXPECT_EQ(r.Requests()[0].value, "start");
}

TEST(InputQuery, WithoutAResponderThePromptIsCancelled) {
    std::string value = "start";
    EXPECT_FALSE(qx::platform::WidgetSet().InputQuery("Caption", "Prompt", value));
    EXPECT_EQ(value, "start");
    EXPECT_EQ(InputBox("Caption", "Prompt", "default"), "default");
}

}  // namespace
