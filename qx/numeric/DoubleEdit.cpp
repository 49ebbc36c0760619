#include "qx/numeric/DoubleEdit.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "qx/numeric/StringUtils.h"
#include "qx/platform/Registry.h"

namespace {

constexpr int kButtonWidth = 20;
// Changes of the value up to this size do not notify.
constexpr double kChangeEpsilon = 1e-10;
// Below this magnitude a factor step starts again from 1.
constexpr double kFactorFloor = 1e-12;
// Typed text beyond this length is not read.
constexpr std::size_t kMaxTyped = 127;

// Reads one number the way "%le" does, with every ',' taken as the decimal point.
bool readNumber(std::string text, double& value) {
    std::replace(text.begin(), text.end(), ',', '.');
    return qx::detail::readNumberC(text.c_str(), value);
}

}  // namespace

// The edit field: its key-down and exit go to the control first.
class TDoubleEdit::TEditField final : public TEdit {
  public:
    explicit TEditField(TDoubleEdit& host) : TEdit(&host), host_(&host) {}
    void Detach() { host_ = nullptr; }

    void KeyDown(unsigned short& key, TShiftState shift) override {
        if (host_ && host_->_bEditKeyDown(key, shift)) return;
        TEdit::KeyDown(key, shift);
    }
    void DoExit() override {
        // Before OnExit, so that its handler reads the value typed.
        if (host_) host_->_vEditExit();
        TEdit::DoExit();
    }

  private:
    TDoubleEdit* host_;
};

TDoubleEdit::TDoubleEdit(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 100, 24);
    constraints_ = {60, 200, 20, Height()};

    auto* edit = new TEditField(*this);
    edit_ = edit;
    edit_->SetParent(this);
    edit_->SetBounds(0, 0, 80, Height());

    upDown_ = new TUpDown(this);
    upDown_->SetParent(this);
    upDown_->SetBounds(80, 0, kButtonWidth, Height());
    upDown_->SetMin(-32000);
    upDown_->SetMax(32000);
    upDown_->SetIncrement(1);
    upDown_->SetPosition(0);
    // The up/down has no changing event of its own: the before-step runs first in the click.
    upDown_->OnClickButton = [this](TObject* sender, TUDBtnType button) {
        _vEditExit();
        _vStep(button == btNext, sender);
    };

    _vShow();
    _vLayout();
}

TDoubleEdit::~TDoubleEdit() {
    // The children outlive this part of the object until the owner tree deletes them.
    static_cast<TEditField*>(edit_)->Detach();
    upDown_->OnClickButton = nullptr;
}

void TDoubleEdit::SetMinValue(double v) {
    min_ = v;
    SetValue(Value());
}

void TDoubleEdit::SetMaxValue(double v) {
    max_ = v;
    SetValue(Value());
}

double TDoubleEdit::Value() {
    if (edit_ && edit_->Focused()) _vEditExit();
    return value_;
}

void TDoubleEdit::SetValue(double v) {
    const double old = value_;
    if (std::isnan(v)) v = 0.0;
    if (min_ != max_) {
        if (v > max_) v = max_;
        if (v < min_) v = min_;
    }
    if (useInt_) v = std::trunc(v) + 0.0;  // + 0.0: no "-0"
    value_ = v;
    _vShow();
    if (std::fabs(old - value_) > kChangeEpsilon && OnChange) OnChange(this);
}

void TDoubleEdit::SetIncrement(double v) {
    if (v > 0 && std::isfinite(v)) increment_ = v;
}

void TDoubleEdit::SetFaktor(double v) {
    if (v >= 1.01 && v <= 10) faktor_ = v;
}

void TDoubleEdit::SetUseIntNotDouble(bool v) {
    useInt_ = v;
    if (v)
        SetValue(Value());
    else
        _vShow();
}

void TDoubleEdit::SetStellenzahlAnzeige(int n) {
    if (n >= 2 && n <= 6) digits_ = n;
    _vShow();
}

void TDoubleEdit::SetPotenzPraefix(bool v) {
    formatter_.setPraefix(v);
    SetValue(Value());
}

bool TDoubleEdit::NoEdit() const {
    return edit_->ReadOnly();
}

void TDoubleEdit::SetNoEdit(bool v) {
    edit_->SetReadOnly(v);
}

void TDoubleEdit::vChangeFactorIncrement(double k) {
    faktor_ = (faktor_ - 1) * k + 1;
    increment_ = increment_ * k;
}

void TDoubleEdit::SetConstraints(const TSizeConstraints& c) {
    constraints_ = c;
    SetBounds(Left(), Top(), Width(), Height());
}

void TDoubleEdit::SetBounds(int left, int top, int width, int height) {
    const TSizeConstraints& c = constraints_;
    if (c.MaxWidth > 0) width = std::min(width, c.MaxWidth);
    if (c.MinWidth > 0) width = std::max(width, c.MinWidth);
    if (c.MaxHeight > 0) height = std::min(height, c.MaxHeight);
    if (c.MinHeight > 0) height = std::max(height, c.MinHeight);
    TWinControl::SetBounds(left, top, width, height);
}

void TDoubleEdit::KeyDown(unsigned short& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    if (key != 0) edit_->KeyDown(key, shift);
}

void TDoubleEdit::KeyPress(char& key) {
    TWinControl::KeyPress(key);
    if (key != 0) edit_->KeyPress(key);
}

void TDoubleEdit::Resize() {
    _vLayout();
    TWinControl::Resize();
}

void TDoubleEdit::VisibleChanged() {
    TWinControl::VisibleChanged();
    if (Visible()) _vLayout();
}

void TDoubleEdit::_vLayout() {
    if (!edit_ || !upDown_) return;  // during construction
    const int w = Width(), h = Height();
    edit_->SetBounds(0, 0, std::max(0, w - kButtonWidth), h);
    upDown_->SetBounds(w - kButtonWidth, 0, kButtonWidth, h);
}

void TDoubleEdit::_vShow() {
    if (!edit_) return;
    if (useInt_) {
        // Any double as its exact integer: no conversion to a fixed-size integer type.
        char text[400];
        qx::detail::printC(text, sizeof text, "%.0f", std::trunc(value_) + 0.0);
        edit_->SetText(text);
    } else {
        edit_->SetText(formatter_.format(value_, digits_));
    }
}

void TDoubleEdit::_vEditExit() {
    if (!edit_ || !edit_->Modified()) return;
    double v = 0.0;
    if (!readNumber(edit_->Text().substr(0, kMaxTyped), v)) v = 0.0;
    // Cleared before the value is set: a change handler that reads Value must not read the
    // reformatted text (" 12.3 K") back as typed input.
    edit_->SetModified(false);
    SetValue(v);
}

void TDoubleEdit::_vStep(bool up, TObject* sender) {
    const double v = value_;
    double n = v;
    if (useFaktor_) {
        if (std::fabs(v) >= kFactorFloor)
            n = up ? v * faktor_ : v / faktor_;
        else
            n = 1.0;
        // Reduced to the digits shown, unless that would undo or reverse the step (small
        // factors with few digits would otherwise stick or step backwards).
        TFormatNumber reduce(digits_, false);
        double r = 0.0;
        if (readNumber(reduce.format(n), r) && (r - v) * (n - v) > 0) n = r;
    } else if (!useInt_) {
        const double i = increment_;
        if (i > 0) {
            const double q = v / i;
            if (up) {
                n = std::floor(q) * i + i;
                if (std::fabs(n - v) < 0.01 * i) n = n + i;
            } else {
                n = std::ceil(q) * i - i;
                if (std::fabs(n - v) < 0.01 * i) n = n - i;
            }
        }
    } else {
        n = up ? v + increment_ : v - increment_;
    }
    // Every step changes the integer shown.
    if (useInt_ && std::trunc(n) == std::trunc(v)) n += up ? 1 : -1;
    SetValue(n);
    if (sender != this && !NoEdit() && edit_->CanFocus()) edit_->SetFocus();
}

void TDoubleEdit::_vScaledStep(bool up, double k) {
    // Restores the exact values, not (f - 1) * k / k + 1, which drifts by rounding; also when
    // the change handler throws. A value the handler set during the step is kept.
    struct TRestore {
        TDoubleEdit& e;
        double faktor, increment, scaledFaktor = 0, scaledIncrement = 0;
        ~TRestore() {
            if (e.faktor_ == scaledFaktor) e.faktor_ = faktor;
            if (e.increment_ == scaledIncrement) e.increment_ = increment;
        }
    } restore{*this, faktor_, increment_};
    vChangeFactorIncrement(k);
    restore.scaledFaktor = faktor_;
    restore.scaledIncrement = increment_;
    _vStep(up, this);
}

bool TDoubleEdit::_bEditKeyDown(unsigned short& key, TShiftState shift) {
    const bool modifier = (shift & (ssShift | ssCtrl)) != 0;
    bool up = true;
    switch (key) {
        case VK_RETURN:
            _vEditExit();
            return false;  // the key goes on, e.g. to a form's default button
        case VK_UP:
            break;
        case VK_DOWN:
            up = false;
            break;
        case VK_PRIOR:
            break;
        case VK_NEXT:
            up = false;
            break;
        default:
            return false;
    }
    const bool page = key == VK_PRIOR || key == VK_NEXT;
    key = 0;  // handled here
    _vEditExit();
    if (page)
        _vScaledStep(up, modifier ? 1000 : 100);
    else if (modifier)
        _vScaledStep(up, 10);
    else
        _vStep(up, this);
    return true;
}

namespace DoubleEdit {
void Register() {
    RegisterComponents("ORVI", {TComponentClass::Of<TDoubleEdit>("TDoubleEdit")});
}
}  // namespace DoubleEdit
