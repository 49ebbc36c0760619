// The spin edit under its own class name: the base control's behaviour, owner and palette.
#include "qx/numeric/CDoubleSpinEdit.h"

#include "qx/platform/Registry.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

namespace {

TEST(CDoubleSpinEdit, BehavesAsTheSpinEdit) {
    TPanel form(nullptr);
    auto* spin = new TCDoubleSpinEdit(&form);
    spin->SetParent(&form);
    TCSpinEdit* base = spin;
    EXPECT_EQ(spin->Owner(), &form);
    ASSERT_NE(base->Button(), nullptr);
    EXPECT_EQ(base->Button()->Parent(), spin);
    EXPECT_EQ(spin->Text(), "0");
    EXPECT_EQ(spin->Value(), 0);

    spin->SetIncrement(5);
    spin->SetMinValue(-10);
    spin->SetMaxValue(12);
    struct Step {
        bool up;
        long want;
    };
    const Step steps[] = {{true, 5},  {true, 10},  {true, 12},  {false, 7},
                          {false, 2}, {false, -3}, {false, -8}, {false, -10}};
    for (const Step& s : steps) {
        s.up ? base->Button()->UpClick() : base->Button()->DownClick();
        EXPECT_EQ(spin->Value(), s.want);
    }
    spin->SetReadOnly(true);
    base->Button()->UpClick();
    EXPECT_EQ(spin->Value(), -10) << "read-only refuses steps";
}

TEST(CDoubleSpinEdit, StepsStopAtTheEndsOfTheRange) {
    // Unlimited (minimum = maximum = 0): a step past the largest long stays there.
    TCDoubleSpinEdit spin(nullptr);
    spin.SetIncrement(10);
    spin.SetValue(LONG_MAX - 3);
    spin.Button()->UpClick();
    EXPECT_EQ(spin.Value(), LONG_MAX);
    spin.SetValue(LONG_MIN + 3);
    spin.Button()->DownClick();
    EXPECT_EQ(spin.Value(), LONG_MIN);
}

TEST(CDoubleSpinEdit, OnPaletteOrvi) {
    CDoubleSpinEdit::Register();
    const TComponentClass* c = qx::platform::FindComponentClass("TCDoubleSpinEdit");
    ASSERT_NE(c, nullptr);
    bool onOrvi = false;
    for (const qx::platform::TPaletteEntry& e : qx::platform::RegisteredComponents())
        if (e.Class.ClassName == "TCDoubleSpinEdit") onOrvi = e.Page == "ORVI";
    EXPECT_TRUE(onOrvi);
    auto owner = std::make_unique<TComponent>(nullptr);
    TComponent* made = c->Create(owner.get());
    EXPECT_NE(dynamic_cast<TCDoubleSpinEdit*>(made), nullptr);
    EXPECT_EQ(made->Owner(), owner.get());
}

}  // namespace
