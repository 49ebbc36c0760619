// The double edit control: children and layout, limits, display, typed input, stepping by
// increment and by factor, integer mode, keys and the change notification.
#include "qx/numeric/DoubleEdit.h"

#include "qx/platform/Registry.h"
#include "qx/platform/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

// A double edit on a panel next to a plain edit that can take the focus away.
class DoubleEditTest : public ::testing::Test {
  protected:
    DoubleEditTest() {
        de = new TDoubleEdit(&panel);
        de->SetParent(&panel);
        other = new TEdit(&panel);
        other->SetParent(&panel);
        de->OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, de);
            ++changes;
        };
    }
    void TearDown() override { DecimalSeparator = savedSeparator; }

    void type(const std::string& text) {
        de->EditField()->SetFocus();
        de->EditField()->UserInput(text);
    }
    void leave() { other->SetFocus(); }
    // Sends a key to the edit field; returns the key as the handling left it.
    unsigned short key(unsigned short vk, TShiftState shift = 0) {
        de->EditField()->KeyDown(vk, shift);
        return vk;
    }
    void up() { de->UpDown()->Press(btNext); }
    void down() { de->UpDown()->Press(btPrev); }
    std::string text() const { return de->EditField()->Text(); }

    char savedSeparator = DecimalSeparator;
    TPanel panel{nullptr};
    TDoubleEdit* de;
    TEdit* other;
    int changes = 0;
};

TEST_F(DoubleEditTest, ConstructionDefaultsAndChildren) {
    EXPECT_EQ(de->MinValue(), 0.0);
    EXPECT_EQ(de->MaxValue(), 0.0);
    EXPECT_EQ(de->Value(), 0.0);
    EXPECT_EQ(de->Increment(), 1.0);
    EXPECT_EQ(de->Faktor(), 1.01);
    EXPECT_FALSE(de->UseFaktorNotIncrement());
    EXPECT_FALSE(de->UseIntNotDouble());
    EXPECT_EQ(de->StellenzahlAnzeige(), 3);
    EXPECT_FALSE(de->PotenzPraefix());
    EXPECT_FALSE(de->NoEdit());
    EXPECT_EQ(text(), " 0 ");

    EXPECT_EQ(de->Width(), 100);
    EXPECT_EQ(de->Height(), 24);
    const TDoubleEdit::TSizeConstraints& c = de->Constraints();
    EXPECT_EQ(c.MinWidth, 60);
    EXPECT_EQ(c.MaxWidth, 200);
    EXPECT_EQ(c.MinHeight, 20);
    EXPECT_EQ(c.MaxHeight, 24);

    ASSERT_EQ(de->ControlCount(), 2);
    EXPECT_EQ(de->EditField()->Owner(), de);
    EXPECT_EQ(de->UpDown()->Owner(), de);
    EXPECT_EQ(de->EditField()->Parent(), de);
    EXPECT_EQ(de->UpDown()->Parent(), de);
    EXPECT_EQ(de->EditField()->BoundsRect(), (TRect{0, 0, 80, 24}));
    EXPECT_EQ(de->UpDown()->BoundsRect(), (TRect{80, 0, 100, 24}));
    EXPECT_TRUE(de->EditField()->Visible());
    EXPECT_TRUE(de->UpDown()->Visible());
    EXPECT_EQ(de->UpDown()->Min(), -32000);
    EXPECT_EQ(de->UpDown()->Max(), 32000);
    EXPECT_EQ(de->UpDown()->Increment(), 1);
    EXPECT_EQ(de->UpDown()->Position(), 0);
    EXPECT_EQ(changes, 0);
}

TEST_F(DoubleEditTest, SizeIsConstrainedAndChildrenFollow) {
    struct Case {
        int width, height, wantWidth, wantHeight;
    };
    const Case cases[] = {
        {150, 24, 150, 24}, {300, 24, 200, 24}, {10, 24, 60, 24},
        {100, 30, 100, 24}, {100, 10, 100, 20}, {120, 22, 120, 22},
    };
    for (const Case& k : cases) {
        de->SetBounds(3, 4, k.width, k.height);
        EXPECT_EQ(de->BoundsRect(), (TRect{3, 4, 3 + k.wantWidth, 4 + k.wantHeight})) << k.width;
        EXPECT_EQ(de->EditField()->BoundsRect(), (TRect{0, 0, k.wantWidth - 20, k.wantHeight}));
        EXPECT_EQ(de->UpDown()->BoundsRect(),
                  (TRect{k.wantWidth - 20, 0, k.wantWidth, k.wantHeight}));
    }
    de->SetConstraints({});
    de->SetHeight(40);
    EXPECT_EQ(de->Height(), 40);
    EXPECT_EQ(de->UpDown()->Height(), 40);
    de->SetConstraints({0, 150, 0, 0});
    EXPECT_EQ(de->Width(), 120) << "within the new limits";
    de->SetWidth(180);
    EXPECT_EQ(de->Width(), 150);

    // Showing lays the children out again.
    de->Hide();
    de->EditField()->SetBounds(5, 5, 5, 5);
    de->Show();
    EXPECT_EQ(de->EditField()->BoundsRect(), (TRect{0, 0, 130, 40}));
}

TEST_F(DoubleEditTest, ResizeHandlerStillRuns) {
    int resized = 0;
    de->OnResize = [&](TObject*) { ++resized; };
    de->SetWidth(140);
    EXPECT_EQ(resized, 1);
    EXPECT_EQ(de->UpDown()->Left(), 120);
}

TEST_F(DoubleEditTest, LimitsApplyOnEveryWrite) {
    struct Case {
        double min, max, set, want;
    };
    const Case cases[] = {
        {1, 1000, 5000, 1000}, {1, 1000, -5, 1},   {1, 1000, 20.5, 20.5},
        {0, 0, 1e9, 1e9},      {0, 0, -1e9, -1e9}, {5, 5, 7, 7},  // equal limits: no limit
        {-10, -2, 0, -2},
    };
    for (const Case& k : cases) {
        de->SetMinValue(-1e300);
        de->SetMaxValue(1e300);
        de->SetMinValue(k.min);
        de->SetMaxValue(k.max);
        de->SetValue(k.set);
        EXPECT_EQ(de->Value(), k.want) << k.min << ".." << k.max << " " << k.set;
    }
}

TEST_F(DoubleEditTest, ChangingALimitLimitsTheValue) {
    de->SetMaxValue(1000);
    de->SetValue(50);
    changes = 0;
    de->SetMaxValue(10);
    EXPECT_EQ(de->Value(), 10);
    EXPECT_EQ(text(), " 10 ");
    EXPECT_EQ(changes, 1);
    de->SetMinValue(-5);
    EXPECT_EQ(de->Value(), 10);
    EXPECT_EQ(changes, 1);
}

TEST_F(DoubleEditTest, NotANumberCountsAsZero) {
    de->SetValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(de->Value(), 0.0);
    de->SetMinValue(1);
    de->SetMaxValue(10);
    de->SetValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(de->Value(), 1.0);
    type("nan");
    leave();
    EXPECT_EQ(de->Value(), 1.0);
}

TEST_F(DoubleEditTest, ChangeNotificationOnlyForRealChanges) {
    de->SetValue(5);
    EXPECT_EQ(changes, 1);
    de->SetValue(5);
    EXPECT_EQ(changes, 1) << "the same value";
    de->SetValue(5 + 1e-11);
    EXPECT_EQ(changes, 1) << "within 1e-10";
    de->SetValue(6);
    EXPECT_EQ(changes, 2);
    type("7");
    EXPECT_EQ(changes, 2) << "typing alone";
    leave();
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(de->Value(), 7);
}

TEST_F(DoubleEditTest, TypedTextIsReadOnExit) {
    struct Case {
        double min, max;
        std::string typed;
        double want;
    };
    const Case cases[] = {
        {1, 1000, "5000", 1000},
        {1, 1000, "abc", 1},  // 0.0, raised to the minimum
        {0, 0, "abc", 0},
        {0, 0, "1,5", 1.5},
        {0, 0, "1,5e-3", 0.0015},
        {0, 0, "  -2.5e3", -2500},
        {0, 0, " 12.3 K", 12.3},  // prefix letters are not interpreted
        {0, 0, " 470e-6 ", 470e-6},
        {0, 0, std::string(126, ' ') + "78", 7},  // only the first 127 characters count
    };
    for (const Case& k : cases) {
        de->SetMinValue(0);
        de->SetMaxValue(0);
        de->SetValue(99);
        de->SetMinValue(k.min);
        de->SetMaxValue(k.max);
        type(k.typed);
        EXPECT_TRUE(de->EditField()->Modified());
        leave();
        EXPECT_DOUBLE_EQ(de->Value(), k.want) << k.typed;
        EXPECT_FALSE(de->EditField()->Modified());
    }
}

TEST_F(DoubleEditTest, TypedTextIsTakenOverOnEachPath) {
    // Reading Value while the field has the focus.
    type("4");
    EXPECT_EQ(de->Value(), 4);
    // Enter, which goes on to the normal handling.
    unsigned short seen = 0;
    de->EditField()->OnKeyDown = [&](TObject*, unsigned short& k, TShiftState) { seen = k; };
    type("5");
    EXPECT_EQ(key(VK_RETURN), VK_RETURN);
    EXPECT_EQ(seen, VK_RETURN);
    EXPECT_EQ(de->Value(), 5);
    EXPECT_EQ(text(), " 5 ");
    // Before an up/down click: the step starts from the typed value.
    type("7");
    up();
    EXPECT_EQ(de->Value(), 8);
    // The exit notification still reaches the field's own handler, after the value is set.
    double atExit = 0;
    de->EditField()->OnExit = [&](TObject*) { atExit = de->Value(); };
    type("9");
    leave();
    EXPECT_EQ(atExit, 9);
}

TEST_F(DoubleEditTest, UntypedTextIsNotReadBack) {
    de->SetValue(12345);
    EXPECT_EQ(text(), " 12300  ");
    de->EditField()->SetFocus();
    leave();
    EXPECT_EQ(de->Value(), 12345);
    de->EditField()->SetFocus();
    EXPECT_EQ(de->Value(), 12345);
}

TEST_F(DoubleEditTest, HandlerReadingValueSeesTheTypedValue) {
    // The shown text " 12.3 K" must not be taken as typed input by a handler's read.
    de->SetPotenzPraefix(true);
    std::vector<double> seen;
    de->OnChange = [&](TObject*) { seen.push_back(de->Value()); };
    type("12345");
    EXPECT_EQ(de->Value(), 12345);
    EXPECT_EQ(text(), " 12.3 K");
    EXPECT_EQ(seen, std::vector<double>{12345});
    EXPECT_EQ(de->Value(), 12345);
}

TEST_F(DoubleEditTest, DisplayDigitsAndPrefixMode) {
    de->SetValue(1.2345);
    de->SetStellenzahlAnzeige(7);
    EXPECT_EQ(de->StellenzahlAnzeige(), 3);
    EXPECT_EQ(text(), " 1.23 ");
    de->SetStellenzahlAnzeige(1);
    EXPECT_EQ(de->StellenzahlAnzeige(), 3);
    de->SetStellenzahlAnzeige(2);
    EXPECT_EQ(de->StellenzahlAnzeige(), 2);
    EXPECT_EQ(text(), " 1.2 ");
    de->SetStellenzahlAnzeige(6);
    EXPECT_EQ(text(), " 1.2345 ");
    EXPECT_EQ(de->Value(), 1.2345) << "the digits change the text only";

    de->SetStellenzahlAnzeige(3);
    de->SetValue(0.00047);
    EXPECT_EQ(text(), " 470e-6 ");
    de->SetPotenzPraefix(true);
    EXPECT_TRUE(de->PotenzPraefix());
    EXPECT_EQ(text(), " 470 \xB5");
    de->SetValue(12345);
    EXPECT_EQ(text(), " 12.3 K");
    DecimalSeparator = ',';
    de->SetValue(12346);
    EXPECT_EQ(text(), " 12,3 K");
    type("2.5");
    leave();
    EXPECT_EQ(de->Value(), 2.5);
}

TEST_F(DoubleEditTest, IntegerModeShowsAndKeepsWholeNumbers) {
    de->SetValue(3.7);
    changes = 0;
    de->SetUseIntNotDouble(true);
    EXPECT_EQ(de->Value(), 3) << "switching on truncates the value shown";
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(text(), "3");
    struct Case {
        double set;
        const char* shown;
    };
    const Case cases[] = {
        {-3.7, "-3"}, {-0.5, "0"}, {42, "42"}, {1e20, "100000000000000000000"}, {5e9, "5000000000"},
    };
    for (const Case& k : cases) {
        de->SetValue(k.set);
        EXPECT_EQ(text(), k.shown) << k.set;
        EXPECT_EQ(de->Value(), std::trunc(k.set));
    }
    type("2,9");
    leave();
    EXPECT_EQ(de->Value(), 2);
    de->SetUseIntNotDouble(false);
    EXPECT_EQ(text(), " 2 ");
}

TEST_F(DoubleEditTest, OutOfRangeSettingsAreIgnored) {
    struct Case {
        double set, want;
    };
    const Case increments[] = {{0.5, 0.5},
                               {0, 0.5},
                               {-1, 0.5},
                               {std::numeric_limits<double>::infinity(), 0.5},
                               {std::numeric_limits<double>::quiet_NaN(), 0.5},
                               {1e-3, 1e-3}};
    for (const Case& k : increments) {
        de->SetIncrement(k.set);
        EXPECT_EQ(de->Increment(), k.want) << k.set;
    }
    const Case factors[] = {{1.0, 1.01},  {10, 10}, {10.01, 10},
                            {1.01, 1.01}, {2, 2},   {std::numeric_limits<double>::quiet_NaN(), 2}};
    for (const Case& k : factors) {
        de->SetFaktor(k.set);
        EXPECT_EQ(de->Faktor(), k.want) << k.set;
    }
}

TEST_F(DoubleEditTest, StepByIncrementSnapsToMultiples) {
    struct Case {
        double increment, value;
        bool up;
        double want;
    };
    const Case cases[] = {
        {0.5, 1.2, true, 1.5},    {0.5, 1.2, false, 1.0}, {0.5, 1.499, true, 2.0},
        {0.5, 1.501, false, 1.0}, {1, 5, true, 6},        {1, 5, false, 4},
        {0.1, 0.3, true, 0.4},    {0.1, 0.3, false, 0.2}, {1, -2.5, true, -2},
        {1, -2.5, false, -3},     {100, 5, true, 100},    {100, 5, false, 0},
    };
    for (const Case& k : cases) {
        de->SetIncrement(k.increment);
        de->SetValue(k.value);
        k.up ? up() : down();
        EXPECT_NEAR(de->Value(), k.want, 1e-12) << k.increment << " " << k.value << " " << k.up;
    }
    de->SetMinValue(0);
    de->SetMaxValue(2);
    de->SetIncrement(1);
    de->SetValue(2);
    changes = 0;
    up();
    EXPECT_EQ(de->Value(), 2) << "limited";
    EXPECT_EQ(changes, 0);
}

TEST_F(DoubleEditTest, StepInIntegerModeChangesTheInteger) {
    struct Case {
        bool faktor;
        double step, value;
        bool up;
        double want;
    };
    const Case cases[] = {
        {false, 1, 3, true, 4},   {false, 0.4, 3, true, 4},  {false, 0.4, 3, false, 2},
        {false, 1, 3, false, 2},  {false, 2.5, 3, true, 5},  {false, 0.4, -3, true, -2},
        {true, 1.01, 3, true, 4}, {true, 1.01, 3, false, 2}, {true, 2, 0, true, 1},
    };
    de->SetUseIntNotDouble(true);
    for (const Case& k : cases) {
        de->SetUseFaktorNotIncrement(k.faktor);
        if (k.faktor)
            de->SetFaktor(k.step);
        else
            de->SetIncrement(k.step);
        de->SetValue(k.value);
        k.up ? up() : down();
        EXPECT_EQ(de->Value(), k.want) << k.faktor << " " << k.step << " " << k.value;
    }
}

TEST_F(DoubleEditTest, StepByFactorReducesToTheDigitsShown) {
    struct Case {
        double faktor;
        int digits;
        double value;
        bool up;
        double want;
    };
    const Case cases[] = {
        {2, 3, 0, true, 1.0},          {2, 3, 0, false, 1.0},      {2, 3, 1.23, true, 2.46},
        {2, 3, 2.46, false, 1.23},     {2, 3, 1e-13, true, 1.0},   {1.1, 3, 1.23, true, 1.35},
        {3, 3, 1, false, 0.333},       {3, 2, 1, false, 0.33},     {2, 3, -1.5, true, -3},
        {10, 3, 4.7e-7, true, 4.7e-6}, {1.5, 3, 1234, true, 1850},
    };
    de->SetUseFaktorNotIncrement(true);
    for (const Case& k : cases) {
        de->SetFaktor(k.faktor);
        de->SetStellenzahlAnzeige(k.digits);
        de->SetValue(k.value);
        k.up ? up() : down();
        EXPECT_DOUBLE_EQ(de->Value(), k.want) << k.faktor << " " << k.value << " " << k.up;
    }
    DecimalSeparator = ',';
    de->SetFaktor(2);
    de->SetStellenzahlAnzeige(3);
    de->SetValue(1.23);
    up();
    EXPECT_DOUBLE_EQ(de->Value(), 2.46) << "reduced with the decimal comma too";
}

TEST_F(DoubleEditTest, SmallFactorNeverSticksOrReverses) {
    // Factor 1.01 with two digits: 1.01 shows as " 1 "; the reduction must not undo the step.
    de->SetUseFaktorNotIncrement(true);
    de->SetStellenzahlAnzeige(2);
    de->SetValue(1);
    double last = de->Value();
    for (int i = 0; i < 5; ++i) {
        up();
        EXPECT_GT(de->Value(), last);
        last = de->Value();
    }
    EXPECT_DOUBLE_EQ(de->Value(), 1.1) << "reduced once the digits shown move";
    for (int i = 0; i < 5; ++i) {
        down();
        EXPECT_LT(de->Value(), last);
        last = de->Value();
    }
    de->SetValue(1.2349);  // between the values shown: reducing 1.247 gives 1.2
    up();
    EXPECT_GT(de->Value(), 1.2349);
}

TEST_F(DoubleEditTest, ClickMovesTheFocusUnlessNoEdit) {
    other->SetFocus();
    up();
    EXPECT_TRUE(de->EditField()->Focused());
    other->SetFocus();
    de->SetNoEdit(true);
    EXPECT_TRUE(de->NoEdit());
    EXPECT_TRUE(de->EditField()->ReadOnly());
    up();
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(de->Value(), 2) << "stepping still works";
    de->EditField()->UserInput("9");
    EXPECT_EQ(text(), " 2 ") << "typing is refused";
    de->SetNoEdit(false);
    EXPECT_FALSE(de->EditField()->ReadOnly());
    // Keys step without moving the focus.
    other->SetFocus();
    key(VK_UP);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(de->Value(), 3);
}

TEST_F(DoubleEditTest, KeysStepScaledAndRestoreTheStepping) {
    struct Case {
        unsigned short vk;
        TShiftState shift;
        double value, want;
    };
    const Case cases[] = {
        {VK_UP, 0, 5, 6},
        {VK_DOWN, 0, 5, 4},
        {VK_UP, ssShift, 5, 10},
        {VK_DOWN, ssCtrl, 15, 10},
        {VK_PRIOR, 0, 5, 100},
        {VK_NEXT, 0, 250, 200},
        {VK_PRIOR, ssShift, 5, 1000},
        {VK_NEXT, ssCtrl, 5000, 4000},
        {VK_UP, ssAlt, 5, 6},
        {VK_UP, ssShift | ssCtrl, 5, 10},
    };
    for (const Case& k : cases) {
        de->SetValue(k.value);
        EXPECT_EQ(key(k.vk, k.shift), 0) << "handled";
        EXPECT_EQ(de->Value(), k.want) << k.vk << " " << k.shift;
        EXPECT_EQ(de->Increment(), 1.0);
        EXPECT_EQ(de->Faktor(), 1.01);
    }
    // By factor: Shift scales 1.01 to 1.1.
    de->SetUseFaktorNotIncrement(true);
    de->SetFaktor(2);
    de->SetValue(1);
    key(VK_UP, ssShift);
    EXPECT_EQ(de->Value(), 11);
    EXPECT_EQ(de->Faktor(), 2);
    key(VK_PRIOR);
    EXPECT_EQ(de->Value(), 1110);
    EXPECT_EQ(de->Faktor(), 2);
}

TEST_F(DoubleEditTest, OtherKeysGoToTheField) {
    unsigned short seen = 0;
    de->EditField()->OnKeyDown = [&](TObject*, unsigned short& k, TShiftState) { seen = k; };
    de->SetValue(5);
    EXPECT_EQ(key(VK_LEFT), VK_LEFT);
    EXPECT_EQ(seen, VK_LEFT);
    EXPECT_EQ(de->Value(), 5);
    seen = 0;
    key(VK_UP);
    EXPECT_EQ(seen, 0) << "step keys are the control's";
    // Keys sent to the control itself reach its field.
    unsigned short k = VK_UP;
    de->KeyDown(k, ssShift);
    EXPECT_EQ(de->Value(), 10) << "6 snaps to the next multiple of 10";
    char ch = 'x';
    char pressed = 0;
    de->EditField()->OnKeyPress = [&](TObject*, char& c) { pressed = c; };
    de->KeyPress(ch);
    EXPECT_EQ(pressed, 'x');
}

TEST_F(DoubleEditTest, TypedValueThenStepKey) {
    type("7");
    key(VK_UP);
    EXPECT_EQ(de->Value(), 8);
    type("1,5");
    key(VK_DOWN);
    EXPECT_EQ(de->Value(), 1);
}

TEST_F(DoubleEditTest, ScaledStepRestoresExactly) {
    // (x * 10) * 0.1 is not x for these; the stepping must come back unchanged.
    de->SetIncrement(0.7);
    for (int i = 0; i < 20; ++i) key(i % 2 ? VK_UP : VK_NEXT, ssShift);
    EXPECT_EQ(de->Increment(), 0.7);
    de->SetUseFaktorNotIncrement(true);
    de->SetFaktor(1.7);
    for (int i = 0; i < 20; ++i) key(VK_UP, ssCtrl);
    EXPECT_EQ(de->Faktor(), 1.7);
}

TEST_F(DoubleEditTest, ScaledStepRestoresWhenTheHandlerThrows) {
    de->OnChange = [](TObject*) { throw 42; };
    EXPECT_THROW(key(VK_PRIOR), int);
    EXPECT_EQ(de->Value(), 100);
    EXPECT_EQ(de->Increment(), 1.0);
    EXPECT_EQ(de->Faktor(), 1.01);
}

TEST_F(DoubleEditTest, StepSettingChangedByTheHandlerIsKept) {
    de->OnChange = [this](TObject*) { de->SetIncrement(5); };
    key(VK_UP, ssShift);
    EXPECT_EQ(de->Value(), 10);
    EXPECT_EQ(de->Increment(), 5);
    EXPECT_EQ(de->Faktor(), 1.01);
}

TEST(DoubleEditScale, ChangeFactorIncrementScalesBoth) {
    TDoubleEdit de(nullptr);
    de.SetIncrement(2);
    de.SetFaktor(1.5);
    de.vChangeFactorIncrement(10);
    EXPECT_DOUBLE_EQ(de.Increment(), 20);
    EXPECT_DOUBLE_EQ(de.Faktor(), 6);
    de.vChangeFactorIncrement(0.1);
    EXPECT_DOUBLE_EQ(de.Increment(), 2);
    EXPECT_DOUBLE_EQ(de.Faktor(), 1.5);
    de.vChangeFactorIncrement(1000);  // no range checks
    EXPECT_DOUBLE_EQ(de.Faktor(), 501);
}

TEST(DoubleEditLifetime, OwnerDeletesItWhileTheFieldHasTheFocus) {
    auto form = std::make_unique<TPanel>(nullptr);
    auto* de = new TDoubleEdit(form.get());
    de->SetParent(form.get());
    auto* other = new TEdit(form.get());
    other->SetParent(form.get());
    de->EditField()->SetFocus();
    de->EditField()->UserInput("3");
    delete de;
    other->SetFocus();
    form->SelectNext();
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(form->ControlCount(), 1);
}

TEST(DoubleEditRegister, OnPaletteOrvi) {
    DoubleEdit::Register();
    const TComponentClass* c = qx::platform::FindComponentClass("TDoubleEdit");
    ASSERT_NE(c, nullptr);
    bool onOrvi = false;
    for (const qx::platform::TPaletteEntry& e : qx::platform::RegisteredComponents())
        if (e.Class.ClassName == "TDoubleEdit") onOrvi = e.Page == "ORVI";
    EXPECT_TRUE(onOrvi);
    std::unique_ptr<TComponent> made(c->Create(nullptr));
    auto* de = dynamic_cast<TDoubleEdit*>(made.get());
    ASSERT_NE(de, nullptr);
    EXPECT_EQ(de->EditField()->Text(), " 0 ");
}

}  // namespace
