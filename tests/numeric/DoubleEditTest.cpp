// The double edit (layout, limits, display, typed input, steps, keys, notification), the spin
// edit's steps, and appending one popup menu's items to another.
#include "qx/numeric/CDoubleSpinEdit.h"
#include "qx/numeric/DoubleEdit.h"

#include "qx/platform/Registry.h"
#include "qx/platform/SysUtils.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A double edit on a panel next to a plain edit that can take the focus away.
class DoubleEditTest : public ::testing::Test {
  protected:
    DoubleEditTest() {
        de->SetParent(&panel);
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
    TDoubleEdit* de = new TDoubleEdit(&panel);
    TEdit* other = new TEdit(&panel);
    int changes = 0;
};

TEST_F(DoubleEditTest, DefaultsLayoutAndStepSettings) {
    EXPECT_EQ(std::tuple(de->MinValue(), de->MaxValue(), de->Increment(), de->Faktor()),
              std::tuple(0.0, 0.0, 1.0, 1.01));
    EXPECT_FALSE(de->UseFaktorNotIncrement() || de->UseIntNotDouble() || de->PotenzPraefix());
    EXPECT_EQ(text(), " 0 ");
    const TUpDown& u = *de->UpDown();
    EXPECT_EQ(std::tuple(u.Min(), u.Max(), u.Increment(), u.Position()),
              std::tuple(-32000, 32000, 1, 0));
    de->SetBounds(3, 4, 300, 30);
    EXPECT_EQ(de->BoundsRect(), (TRect{3, 4, 203, 28}));
    de->SetConstraints({});
    de->SetHeight(40);
    // Showing lays the children out again.
    de->Hide();
    de->EditField()->SetBounds(5, 5, 5, 5);
    de->Show();
    EXPECT_EQ(de->EditField()->BoundsRect(), (TRect{0, 0, 180, 40}));

    // Step settings out of range are ignored.
    for (double bad : {0.0, -1.0, HUGE_VAL, kNaN}) de->SetIncrement(bad);
    EXPECT_EQ(de->Increment(), 1.0);
    for (double bad : {1.0, 10.01, kNaN}) de->SetFaktor(bad);
    EXPECT_EQ(de->Faktor(), 1.01);
    de->SetFaktor(10);
    EXPECT_EQ(de->Faktor(), 10);
    de->vChangeFactorIncrement(0.1);  // the scaling itself has no range checks
    EXPECT_DOUBLE_EQ(de->Faktor(), 1.9);
    EXPECT_DOUBLE_EQ(de->Increment(), 0.1);
}

TEST_F(DoubleEditTest, LimitsAndChangeNotification) {
    // Equal limits mean no limit; not a number counts as 0.
    const struct {
        double min, max, set, want;
    } cases[] = {{1, 1000, 5000, 1000}, {1, 1000, -5, 1}, {5, 5, 7, 7}, {1, 10, kNaN, 1}};
    for (const auto& k : cases) {
        limits(k.min, k.max);
        de->SetValue(k.set);
        EXPECT_EQ(de->Value(), k.want) << k.min << ".." << k.max << " " << k.set;
    }
    // Changing a limit limits the value at once.
    limits(0, 1000);
    de->SetValue(50);
    changes = 0;
    de->SetMaxValue(10);
    EXPECT_EQ(text(), " 10 ");
    EXPECT_EQ(changes, 1);
}

TEST_F(DoubleEditTest, TypedTextIsReadOnExitOnly) {
    // Text without a number reads as 0.0; prefix letters are not interpreted; only the first
    // 127 characters count.
    const std::pair<std::string, double> cases[] = {
        {"abc", 0}, {"1,5e-3", 0.0015}, {" 12.3 K", 12.3}, {std::string(126, ' ') + "78", 7}};
    for (const auto& [typed, want] : cases) {
        de->SetValue(99);
        changes = 0;
        type(typed);
        EXPECT_EQ(changes, 0) << "typing alone";
        leave();
        EXPECT_DOUBLE_EQ(de->Value(), want) << typed;
        EXPECT_FALSE(de->EditField()->Modified());
    }
    // The text shown is not read back as typed input, nor by a change handler reading Value:
    // " 12.3 K" is not typed input.
    de->SetPotenzPraefix(true);
    std::vector<double> notified;
    de->OnChange = [&](TObject*) { notified.push_back(de->Value()); };
    type("12346");
    EXPECT_EQ(de->Value(), 12346);
    EXPECT_EQ(text(), " 12.3 K");
    EXPECT_EQ(notified, std::vector<double>{12346});
}

TEST_F(DoubleEditTest, DisplayDigitsPrefixAndIntegerMode) {
    de->SetValue(1.2345);
    for (int bad : {1, 7}) de->SetStellenzahlAnzeige(bad);
    EXPECT_EQ(de->StellenzahlAnzeige(), 3) << "out of 2..6";
    de->SetStellenzahlAnzeige(2);
    EXPECT_EQ(text(), " 1.2 ");
    EXPECT_EQ(de->Value(), 1.2345) << "the digits change the text only";
    de->SetPotenzPraefix(true);
    de->SetValue(0.00047);
    EXPECT_EQ(text(), " 470 \xB5");

    changes = 0;
    de->SetValue(3.7);
    de->SetUseIntNotDouble(true);
    EXPECT_EQ(de->Value(), 3) << "switching on truncates the value shown";
    EXPECT_EQ(changes, 2);
    const std::pair<double, const char*> cases[] = {{1e20, "100000000000000000000"}, {-0.5, "0"}};
    for (const auto& [set, shown] : cases) {
        de->SetValue(set);
        EXPECT_EQ(text(), shown) << set;
    }
}

TEST_F(DoubleEditTest, UpDownSteps) {
    // By increment ("inc") to the next multiple, skipping one within 1 % of it; in integer mode
    // ("int") every step changes the integer; by factor ("fac") reduced to the digits shown, from
    // (nearly) 0 again at 1. With factor 1.01 and two digits the shown value may not move: the
    // reduction must not undo or reverse the step then. A negative step steps down.
    const struct {
        std::string mode;
        double step, value, want;
        int digits = 3;
    } cases[] = {
        {"inc", 0.5, 1.2, 1.5},    {"inc", -0.5, 1.2, 1.0},    {"inc", 0.5, 1.499, 2.0},
        {"inc", -0.5, 1.501, 1.0}, {"int inc", 0.4, 3, 4},     {"int inc", -0.4, 3, 2},
        {"int fac", -1.01, 3, 2},  {"fac", 1.01, 1, 1.01, 2},  {"fac", 1.01, 1.2349, 1.247249, 2},
        {"fac", -2, 1e-13, 1.0},   {"fac", 1.1, 1.23, 1.35},   {"fac", -3, 1, 0.33, 2},
        {"fac", 2, -1.5, -3},      {"fac", 10, 4.7e-7, 4.7e-6}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.mode + " " + std::to_string(k.step) + " " + std::to_string(k.value));
        const bool faktor = k.mode.find("fac") != std::string::npos;
        de->SetUseFaktorNotIncrement(faktor);
        de->SetUseIntNotDouble(k.mode.find("int") != std::string::npos);
        faktor ? de->SetFaktor(std::fabs(k.step)) : de->SetIncrement(std::fabs(k.step));
        de->SetStellenzahlAnzeige(k.digits);
        de->SetValue(k.value);
        k.step > 0 ? up() : down();
        EXPECT_DOUBLE_EQ(de->Value(), k.want);
    }
}

TEST_F(DoubleEditTest, FocusKeyRoutingAndScaledKeySteps) {
    // A click moves the focus to the field unless it is read-only.
    other->SetFocus();
    up();
    EXPECT_TRUE(de->EditField()->Focused());
    other->SetFocus();
    de->SetNoEdit(true);
    up();
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(de->Value(), 2) << "stepping still works";
    de->EditField()->UserInput("9");
    EXPECT_EQ(text(), " 2 ") << "typing is refused";
    // Keys step without moving the focus.
    de->SetNoEdit(false);
    key(VK_UP);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(de->Value(), 3);

    // Enter reads the typed text and goes on to the normal handling.
    unsigned short seen = 0;
    de->EditField()->OnKeyDown = [&](TObject*, unsigned short& k, TShiftState) { seen = k; };
    type("5");
    EXPECT_EQ(key(VK_RETURN), VK_RETURN);
    EXPECT_EQ(seen, VK_RETURN);
    EXPECT_EQ(text(), " 5 ");
    EXPECT_EQ(key(VK_LEFT), VK_LEFT);
    seen = 0;
    // Keys sent to the control itself reach its field; step keys are the control's.
    unsigned short k = VK_UP;
    de->KeyDown(k, ssShift);
    EXPECT_EQ(seen, 0);
    EXPECT_EQ(de->Value(), 10);
    char ch = 'x';
    char pressed = 0;
    de->EditField()->OnKeyPress = [&](TObject*, char& c) { pressed = c; };
    de->KeyPress(ch);
    EXPECT_EQ(pressed, 'x');

    // Keys step scaled and restore the stepping.
    const struct {
        unsigned short vk;
        TShiftState shift;
        double value, want;
    } cases[] = {
        {VK_DOWN, 0, 5, 4},          {VK_UP, ssShift, 5, 10}, {VK_NEXT, 0, 250, 200},
        {VK_PRIOR, ssCtrl, 5, 1000}, {VK_UP, ssAlt, 5, 6},
    };
    for (const auto& k : cases) {
        de->SetValue(k.value);
        EXPECT_EQ(key(k.vk, k.shift), 0) << "handled";
        EXPECT_EQ(de->Value(), k.want) << k.vk << " " << k.shift;
        EXPECT_EQ(de->Increment(), 1.0);
    }
}

TEST_F(DoubleEditTest, ScaledStepWithAThrowingOrChangingHandlerAndDeletionWithFocus) {
    de->OnChange = [](TObject*) { throw 42; };
    EXPECT_THROW(key(VK_PRIOR), int);
    EXPECT_EQ(de->Value(), 100);
    EXPECT_EQ(de->Increment(), 1.0) << "restored all the same";
    // Step settings the handler changes during the step are kept.
    de->OnChange = [this](TObject*) {
        de->SetIncrement(5);
        de->SetFaktor(3);
    };
    key(VK_UP, ssShift);
    EXPECT_EQ(de->Value(), 110);
    EXPECT_EQ(de->Increment(), 5);
    EXPECT_EQ(de->Faktor(), 3);
    // The owner deletes it while the field has the focus.
    type("3");
    delete de;
    other->SetFocus();
    panel.SelectNext();
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(panel.ControlCount(), 1);
}

TMenuItem* item(TPopupMenu& owner, const char* caption, TMenuItem* parent) {
    auto* i = new TMenuItem(&owner);
    i->SetCaption(caption);
    parent->Add(i);
    return i;
}

TEST(NumericEdits, MadeFromThePaletteSpinEditStepsAndMenuCopies) {
    DoubleEdit::Register();
    CDoubleSpinEdit::Register();
    TPanel form(nullptr);
    const TComponentClass* editClass = qx::platform::FindComponentClass("TDoubleEdit");
    const TComponentClass* spinClass = qx::platform::FindComponentClass("TCDoubleSpinEdit");
    ASSERT_TRUE(editClass && spinClass);
    EXPECT_NE(dynamic_cast<TDoubleEdit*>(editClass->Create(&form)), nullptr);
    auto* spin = dynamic_cast<TCDoubleSpinEdit*>(spinClass->Create(&form));
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(form.ComponentCount(), 2);
    EXPECT_EQ(form.Components(1)->Owner(), &form);
    spin->SetParent(&form);
    TCSpinButton* button = static_cast<TCSpinEdit*>(spin)->Button();
    ASSERT_NE(button, nullptr);
    auto step = [&](long min, long max, long value, bool up) {
        spin->SetMinValue(min);
        spin->SetMaxValue(max);
        spin->SetValue(value);
        up ? button->UpClick() : button->DownClick();
        return spin->Value();
    };
    spin->SetIncrement(5);
    EXPECT_EQ(step(-10, 12, 10, true), 12);
    spin->SetReadOnly(true);
    EXPECT_EQ(step(-10, 12, -8, true), -8) << "read-only refuses steps";
    // Unlimited (minimum = maximum = 0): a step past the largest long stays there.
    spin->SetReadOnly(false);
    spin->SetIncrement(10);
    EXPECT_EQ(step(0, 0, LONG_MAX - 3, true), LONG_MAX);
    EXPECT_EQ(step(0, 0, LONG_MIN + 3, false), LONG_MIN);
    // Appended menu items follow a separator and share their handlers.
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

}  // namespace
