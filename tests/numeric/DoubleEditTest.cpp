// The numeric edits. The double edit: children and layout, limits, display, typed input,
// stepping by increment and by factor, integer mode, keys and the change notification. The spin
// edit under its own class name. Both on the palette.
#include "qx/numeric/CDoubleSpinEdit.h"
#include "qx/numeric/DoubleEdit.h"

#include "qx/platform/Registry.h"
#include "qx/platform/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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
    // New limits, whatever the old ones were.
    void limits(double min, double max) {
        de->SetMinValue(-1e300);
        de->SetMaxValue(1e300);
        de->SetMinValue(min);
        de->SetMaxValue(max);
    }

    char savedSeparator = DecimalSeparator;
    TPanel panel{nullptr};
    TDoubleEdit* de;
    TEdit* other;
    int changes = 0;
};

TEST_F(DoubleEditTest, ConstructionDefaultsAndChildren) {
    EXPECT_EQ(std::tuple(de->MinValue(), de->MaxValue(), de->Value(), de->Increment()),
              std::tuple(0.0, 0.0, 0.0, 1.0));
    EXPECT_EQ(de->Faktor(), 1.01);
    EXPECT_EQ(de->StellenzahlAnzeige(), 3);
    EXPECT_FALSE(de->UseFaktorNotIncrement() || de->UseIntNotDouble() || de->PotenzPraefix() ||
                 de->NoEdit());
    EXPECT_EQ(text(), " 0 ");
    EXPECT_EQ(de->BoundsRect(), (TRect{0, 0, 100, 24}));
    const TDoubleEdit::TSizeConstraints& c = de->Constraints();
    EXPECT_EQ(std::tuple(c.MinWidth, c.MaxWidth, c.MinHeight, c.MaxHeight),
              std::tuple(60, 200, 20, 24));

    ASSERT_EQ(de->ControlCount(), 2);
    for (TControl* child : std::initializer_list<TControl*>{de->EditField(), de->UpDown()}) {
        EXPECT_EQ(child->Owner(), de);
        EXPECT_EQ(child->Parent(), de);
        EXPECT_TRUE(child->Visible());
    }
    EXPECT_EQ(de->EditField()->BoundsRect(), (TRect{0, 0, 80, 24}));
    EXPECT_EQ(de->UpDown()->BoundsRect(), (TRect{80, 0, 100, 24}));
    const TUpDown& u = *de->UpDown();
    EXPECT_EQ(std::tuple(u.Min(), u.Max(), u.Increment(), u.Position()),
              std::tuple(-32000, 32000, 1, 0));
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

    // Showing lays the children out again; a resize handler still runs.
    de->Hide();
    de->EditField()->SetBounds(5, 5, 5, 5);
    de->Show();
    EXPECT_EQ(de->EditField()->BoundsRect(), (TRect{0, 0, 130, 40}));
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
        {0, 0, 1e9, 1e9},      {0, 0, -1e9, -1e9}, {5, 5, 7, 7},      // equal limits: no limit
        {-10, -2, 0, -2},      {0, 0, kNaN, 0},    {1, 10, kNaN, 1},  // not a number counts as 0
    };
    for (const Case& k : cases) {
        limits(k.min, k.max);
        de->SetValue(k.set);
        EXPECT_EQ(de->Value(), k.want) << k.min << ".." << k.max << " " << k.set;
    }
    // Changing a limit limits the value at once.
    limits(0, 1000);
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
    // The text shown is not read back as typed input.
    de->SetValue(12345);
    EXPECT_EQ(text(), " 12300  ");
    de->EditField()->SetFocus();
    EXPECT_EQ(de->Value(), 12345);
    leave();
    EXPECT_EQ(de->Value(), 12345);
    // Nor by a change handler reading Value: " 12.3 K" is not typed input.
    de->SetPotenzPraefix(true);
    std::vector<double> seen;
    de->OnChange = [&](TObject*) { seen.push_back(de->Value()); };
    type("12346");
    EXPECT_EQ(de->Value(), 12346);
    EXPECT_EQ(text(), " 12.3 K");
    EXPECT_EQ(seen, std::vector<double>{12346});
    EXPECT_EQ(de->Value(), 12346);
}

TEST_F(DoubleEditTest, TypedTextIsReadOnExit) {
    // Text without a number reads as 0.0 (then limited); prefix letters are not interpreted;
    // only the first 127 characters count.
    struct Case {
        double min, max;
        std::string typed;
        double want;
    };
    const Case cases[] = {
        {1, 1000, "5000", 1000},    {1, 1000, "abc", 1},
        {0, 0, "abc", 0},           {0, 0, "nan", 0},
        {0, 0, "1,5", 1.5},         {0, 0, "1,5e-3", 0.0015},
        {0, 0, "  -2.5e3", -2500},  {0, 0, " 12.3 K", 12.3},
        {0, 0, " 470e-6 ", 470e-6}, {0, 0, std::string(126, ' ') + "78", 7},
    };
    for (const Case& k : cases) {
        limits(0, 0);
        de->SetValue(99);
        limits(k.min, k.max);
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
    // Before an up/down click or a step key: the step starts from the typed value.
    type("7");
    up();
    EXPECT_EQ(de->Value(), 8);
    type("1,5");
    key(VK_DOWN);
    EXPECT_EQ(de->Value(), 1);
    // The exit notification still reaches the field's own handler, after the value is set.
    double atExit = 0;
    de->EditField()->OnExit = [&](TObject*) { atExit = de->Value(); };
    type("9");
    leave();
    EXPECT_EQ(atExit, 9);
}

TEST_F(DoubleEditTest, DisplayDigitsAndPrefixMode) {
    de->SetValue(1.2345);
    struct Case {
        int set, want;
        const char* shown;
    };
    const Case digits[] = {{7, 3, " 1.23 "}, {1, 3, " 1.23 "}, {2, 2, " 1.2 "}, {6, 6, " 1.2345 "}};
    for (const Case& k : digits) {
        de->SetStellenzahlAnzeige(k.set);
        EXPECT_EQ(de->StellenzahlAnzeige(), k.want) << k.set;
        EXPECT_EQ(text(), k.shown) << k.set;
    }
    EXPECT_EQ(de->Value(), 1.2345) << "the digits change the text only";

    de->SetStellenzahlAnzeige(3);
    de->SetValue(0.00047);
    EXPECT_EQ(text(), " 470e-6 ");
    de->SetPotenzPraefix(true);
    EXPECT_TRUE(de->PotenzPraefix());
    EXPECT_EQ(text(), " 470 \xB5");
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
    const Case increments[] = {{0.5, 0.5},      {0, 0.5},    {-1, 0.5},
                               {INFINITY, 0.5}, {kNaN, 0.5}, {1e-3, 1e-3}};
    for (const Case& k : increments) {
        de->SetIncrement(k.set);
        EXPECT_EQ(de->Increment(), k.want) << k.set;
    }
    const Case factors[] = {{1.0, 1.01}, {10, 10}, {10.01, 10}, {1.01, 1.01}, {2, 2}, {kNaN, 2}};
    for (const Case& k : factors) {
        de->SetFaktor(k.set);
        EXPECT_EQ(de->Faktor(), k.want) << k.set;
    }
    de->vChangeFactorIncrement(1000);  // the scaling itself has no range checks
    EXPECT_DOUBLE_EQ(de->Faktor(), 1001);
    EXPECT_DOUBLE_EQ(de->Increment(), 1);
    de->vChangeFactorIncrement(0.1);
    EXPECT_DOUBLE_EQ(de->Faktor(), 101);
    EXPECT_DOUBLE_EQ(de->Increment(), 0.1);
}

TEST_F(DoubleEditTest, UpDownSteps) {
    // By increment ("inc") to the next multiple, skipping one within 1 % of the increment; in
    // integer mode ("int") every step changes the integer; by factor ("fac") reduced to the
    // digits shown, and from (nearly) 0 it starts again at 1.
    struct Case {
        std::string mode;
        double step, value;
        bool up;
        double want;
        int digits = 3;
    };
    const Case cases[] = {
        {"inc", 0.5, 1.2, true, 1.5},   {"inc", 0.5, 1.2, false, 1.0},
        {"inc", 0.5, 1.499, true, 2.0}, {"inc", 0.5, 1.501, false, 1.0},
        {"inc", 1, 5, true, 6},         {"inc", 1, 5, false, 4},
        {"inc", 0.1, 0.3, true, 0.4},   {"inc", 0.1, 0.3, false, 0.2},
        {"inc", 1, -2.5, true, -2},     {"inc", 1, -2.5, false, -3},
        {"inc", 100, 5, true, 100},     {"inc", 100, 5, false, 0},
        {"int inc", 1, 3, true, 4},     {"int inc", 0.4, 3, true, 4},
        {"int inc", 0.4, 3, false, 2},  {"int inc", 1, 3, false, 2},
        {"int inc", 2.5, 3, true, 5},   {"int inc", 0.4, -3, true, -2},
        {"int fac", 1.01, 3, true, 4},  {"int fac", 1.01, 3, false, 2},
        {"int fac", 2, 0, true, 1},     {"fac", 2, 0, true, 1.0},
        {"fac", 2, 0, false, 1.0},      {"fac", 2, 1e-13, true, 1.0},
        {"fac", 2, 1.23, true, 2.46},   {"fac", 2, 2.46, false, 1.23},
        {"fac", 1.1, 1.23, true, 1.35}, {"fac", 3, 1, false, 0.333},
        {"fac", 3, 1, false, 0.33, 2},  {"fac", 2, -1.5, true, -3},
        {"fac", 1.5, 1234, true, 1850}, {"fac", 10, 4.7e-7, true, 4.7e-6},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.mode + " " + std::to_string(k.step) + " " + std::to_string(k.value) +
                     (k.up ? " up" : " down"));
        const bool faktor = k.mode.find("fac") != std::string::npos;
        de->SetUseFaktorNotIncrement(faktor);
        de->SetUseIntNotDouble(k.mode.find("int") != std::string::npos);
        faktor ? de->SetFaktor(k.step) : de->SetIncrement(k.step);
        de->SetStellenzahlAnzeige(k.digits);
        de->SetValue(k.value);
        k.up ? up() : down();
        EXPECT_DOUBLE_EQ(de->Value(), k.want);
    }
    de->SetUseIntNotDouble(false);
    DecimalSeparator = ',';
    de->SetFaktor(2);
    de->SetValue(1.23);
    up();
    EXPECT_DOUBLE_EQ(de->Value(), 2.46) << "reduced with the decimal comma too";

    de->SetUseFaktorNotIncrement(false);
    de->SetIncrement(1);
    limits(0, 2);
    de->SetValue(2);
    changes = 0;
    up();
    EXPECT_EQ(de->Value(), 2) << "limited";
    EXPECT_EQ(changes, 0);
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
    // (x * 10) * 0.1 is not x for these; the stepping must come back unchanged.
    de->SetIncrement(0.7);
    for (int i = 0; i < 20; ++i) key(i % 2 ? VK_UP : VK_NEXT, ssShift);
    EXPECT_EQ(de->Increment(), 0.7);
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
    de->SetFaktor(1.7);
    for (int i = 0; i < 20; ++i) key(VK_UP, ssCtrl);
    EXPECT_EQ(de->Faktor(), 1.7);
}

TEST_F(DoubleEditTest, ScaledStepWithAThrowingOrChangingHandler) {
    de->OnChange = [](TObject*) { throw 42; };
    EXPECT_THROW(key(VK_PRIOR), int);
    EXPECT_EQ(de->Value(), 100);
    EXPECT_EQ(de->Increment(), 1.0) << "restored all the same";
    EXPECT_EQ(de->Faktor(), 1.01);
    // Step settings the handler changes during the step are kept.
    de->OnChange = [this](TObject*) {
        de->SetIncrement(5);
        de->SetFaktor(3);
    };
    key(VK_UP, ssShift);
    EXPECT_EQ(de->Value(), 110);
    EXPECT_EQ(de->Increment(), 5);
    EXPECT_EQ(de->Faktor(), 3);
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

TEST(CDoubleSpinEdit, BehavesAsTheSpinEdit) {
    TPanel form(nullptr);
    auto* spin = new TCDoubleSpinEdit(&form);
    spin->SetParent(&form);
    TCSpinEdit* base = spin;
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

    // Unlimited (minimum = maximum = 0): a step past the largest long stays there.
    spin->SetReadOnly(false);
    spin->SetMinValue(0);
    spin->SetMaxValue(0);
    spin->SetIncrement(10);
    spin->SetValue(LONG_MAX - 3);
    spin->Button()->UpClick();
    EXPECT_EQ(spin->Value(), LONG_MAX);
    spin->SetValue(LONG_MIN + 3);
    spin->Button()->DownClick();
    EXPECT_EQ(spin->Value(), LONG_MIN);
}

TEST(NumericEditsPalette, OnPageOrviAndMadeWithTheirOwner) {
    DoubleEdit::Register();
    CDoubleSpinEdit::Register();
    const auto& palette = qx::platform::RegisteredComponents();
    TComponent owner(nullptr);
    for (const char* name : {"TDoubleEdit", "TCDoubleSpinEdit"}) {
        const TComponentClass* c = qx::platform::FindComponentClass(name);
        ASSERT_NE(c, nullptr) << name;
        EXPECT_TRUE(std::any_of(palette.begin(), palette.end(), [&](const auto& e) {
            return e.Class.ClassName == name && e.Page == "ORVI";
        })) << name;
        EXPECT_EQ(c->Create(&owner)->Owner(), &owner);
    }
    ASSERT_EQ(owner.ComponentCount(), 2);
    auto* de = dynamic_cast<TDoubleEdit*>(owner.Components(0));
    ASSERT_NE(de, nullptr);
    EXPECT_EQ(de->EditField()->Text(), " 0 ");
    EXPECT_NE(dynamic_cast<TCDoubleSpinEdit*>(owner.Components(1)), nullptr);
}

}  // namespace
