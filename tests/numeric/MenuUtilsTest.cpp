// Appending the items of one popup menu to another.
#include "tests/support/TestSupport.h"

namespace {
TMenuItem* item(TPopupMenu& owner, const char* caption, TMenuItem* parent) {
    auto* i = new TMenuItem(&owner);
    i->SetCaption(caption);
    parent->Add(i);
    return i;
}
}  // namespace

TEST(AddMenu, CopiesFollowASeparatorAndShareHandlers) {
    TPopupMenu target(nullptr), source(nullptr);
    item(target, "Kopieren", target.Items());
    item(target, "Einf\xFCgen", target.Items());
    TMenuItem* load = item(source, "Laden", source.Items());
    TMenuItem* save = item(source, "Speichern", source.Items());
    TMenuItem* sub = item(source, "Als Text", save);
    item(source, "Hilfe", source.Items())->SetVisible(false);
    int clicks = 0;
    sub->OnClick = [&](TObject*) { ++clicks; };
    load->SetGroupIndex(7);  // tag 0: the copy's tag is the group index
    save->SetTag(3);

    vAddMenu(&target, &source, true);
    TMenuItem& top = *target.Items();
    ASSERT_EQ(top.Count(), 6);
    EXPECT_TRUE(top[2]->IsLine());
    EXPECT_EQ(top[3]->Caption(), "Laden");
    EXPECT_EQ(top[3]->Tag(), 7);
    EXPECT_EQ(top[4]->Tag(), 3);
    EXPECT_FALSE(top[5]->Visible());
    ASSERT_EQ(top[4]->Count(), 1);
    top[4]->Items(0)->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(source.Items()->Count(), 3) << "the source is not changed";

    vAddMenu(&target, &source, false);
    EXPECT_EQ(top.Count(), 9);
    vAddMenu(nullptr, &source, true);

    // A menu appended to itself gets its items once more (and no endless copying).
    vAddMenu(&source, &source, true);
    ASSERT_EQ(source.Items()->Count(), 7);
    EXPECT_TRUE((*source.Items())[3]->IsLine());
    EXPECT_EQ((*source.Items())[6]->Caption(), "Hilfe");
}
