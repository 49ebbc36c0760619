// The input prompt of the widget set and the framework's InputQuery and InputBox.
#include "tests/support/TestSupport.h"

namespace {

TEST(InputQuery, TheResponderConfirmsWithItsTextOrCancelsAndNoResponderCancels) {
    std::string value = "start";
    EXPECT_FALSE(qx::platform::WidgetSet().InputQuery("Caption", "Prompt", value));
    EXPECT_EQ(value, "start");
    EXPECT_EQ(InputBox("Caption", "Prompt", "default"), "default");

    qx::test::TResponderScope r;
    r.InputQuery("edited");
    r.InputQuery("ignored", false);
    r.InputQuery("");
    EXPECT_TRUE(InputQuery("Caption", "Prompt", value));
    EXPECT_EQ(value, "edited");
    EXPECT_FALSE(InputQuery("Caption", "Prompt", value));
    EXPECT_EQ(value, "edited");
    EXPECT_EQ(InputBox("C", "P", "default"), "");  // confirmed empty is not the default
}

}  // namespace
