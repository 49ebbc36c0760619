// TDoubleEdit: an input control for one floating-point number, a text field with an up/down
// button pair at its right edge.
//
// The value is limited to [MinValue, MaxValue] (no limit while they are equal), shown with
// StellenzahlAnzeige significant digits through TFormatNumber (SI prefix letters or exponent
// suffixes) or as an integer, and stepped by the buttons and keys either additively (snapping
// to multiples of Increment) or multiplicatively (by Faktor). Typed text becomes the value when
// the field is left, before a step, on Enter and the step keys, and when Value is read while
// the field has the focus; OnChange fires only when the value itself changes.
//
// Ownership: the edit field and the up/down are owned children, deleted with the control; the
// control itself belongs to its owner. Threads: the thread that owns the windows.
#pragma once

#include "qx/numeric/FormatNumber.h"
#include "qx/platform/Controls.h"

class TDoubleEdit : public TWinControl {
  public:
    // Size limits enforced by SetBounds; 0 means no limit on that side.
    struct TSizeConstraints {
        int MinWidth = 0, MaxWidth = 0, MinHeight = 0, MaxHeight = 0;
    };

    explicit TDoubleEdit(TComponent* owner);
    ~TDoubleEdit() override;

    double MinValue() const { return min_; }
    // Stores the limit, then limits the value again (with notification when it changes).
    void SetMinValue(double v);
    double MaxValue() const { return max_; }
    void SetMaxValue(double v);

    // Takes over typed text first when the edit field has the focus, hence not const.
    double Value();
    // The set-value routine: limits, truncation in integer mode, display, then OnChange when
    // the value moved by more than 1e-10. NaN counts as 0.0, as text that is no number does.
    void SetValue(double v);

    double Increment() const { return increment_; }
    // Ignored unless finite and > 0.
    void SetIncrement(double v);
    double Faktor() const { return faktor_; }
    // Ignored outside [1.01, 10].
    void SetFaktor(double v);
    bool UseFaktorNotIncrement() const { return useFaktor_; }
    void SetUseFaktorNotIncrement(bool v) { useFaktor_ = v; }
    bool UseIntNotDouble() const { return useInt_; }
    // Switching integer mode on truncates the value as every later write would.
    void SetUseIntNotDouble(bool v);
    int StellenzahlAnzeige() const { return digits_; }
    // Ignored outside 2..6; the value is shown again in any case.
    void SetStellenzahlAnzeige(int n);
    bool PotenzPraefix() const { return formatter_.getPraefix(); }
    void SetPotenzPraefix(bool v);
    bool NoEdit() const;
    void SetNoEdit(bool v);

    // Scales the stepping: factor = (factor - 1) * k + 1, increment = increment * k, unchecked.
    void vChangeFactorIncrement(double k);

    const TSizeConstraints& Constraints() const { return constraints_; }
    void SetConstraints(const TSizeConstraints& c);

    // The children, for widget sets, forms and tests; owned by this control.
    TEdit* EditField() const { return edit_; }
    TUpDown* UpDown() const { return upDown_; }

    void SetBounds(int left, int top, int width, int height) override;
    // Keys reaching the control go on to its edit field.
    void KeyDown(unsigned short& key, TShiftState shift) override;
    void KeyPress(char& key) override;

    TNotifyEvent OnChange;

  protected:
    void Resize() override;
    void VisibleChanged() override;

  private:
    class TEditField;

    void _vLayout();
    void _vShow();
    // Takes over the typed text when the edit field is marked modified.
    void _vEditExit();
    // One step up or down; `sender` is this control for key steps (the focus then stays).
    void _vStep(bool up, TObject* sender);
    // A step with factor and increment scaled by k; both are restored exactly afterwards.
    void _vScaledStep(bool up, double k);
    // Key-down handling of the edit field; true when the key was one of the control's.
    bool _bEditKeyDown(unsigned short& key, TShiftState shift);

    TEdit* edit_ = nullptr;      // owned child
    TUpDown* upDown_ = nullptr;  // owned child
    double min_ = 0.0;
    double max_ = 0.0;
    double value_ = 0.0;
    double increment_ = 1.0;
    TFormatNumber formatter_{3, false};
    double faktor_ = 1.01;
    bool useFaktor_ = false;
    bool useInt_ = false;
    int digits_ = 3;
    TSizeConstraints constraints_;
};

namespace DoubleEdit {
// Registers TDoubleEdit on the component palette page "ORVI".
void Register();
}  // namespace DoubleEdit
