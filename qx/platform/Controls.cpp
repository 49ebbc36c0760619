#include "qx/platform/Controls.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "qx/platform/Forms.h"
#include "qx/platform/Menus.h"
#include "qx/platform/WidgetSet.h"

TControlPeer::~TControlPeer() = default;

// ---------------------------------------------------------------------------- TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
    peer_.reset();
    SetParent(nullptr);
}

void TControl::Changed(unsigned what) {
    if (peer_ && !fromPeer_) peer_->Changed(what);
}

void TControl::AttachPeer(std::unique_ptr<TControlPeer> peer) {
    peer_ = std::move(peer);
    if (peer_) peer_->Changed(pcAll);
}

void TControl::Invalidate() {
    if (peer_) peer_->Invalidate();
}

void TControl::InvalidateRect(const TRect& r) {
    if (peer_ && r.Width() > 0 && r.Height() > 0) peer_->InvalidateRect(r);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_) {
        auto& list = parent_->controls_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        for (TWinControl* w = parent_; w; w = w->parent_)
            if (w->focused_ == this) w->focused_ = nullptr;
        TWinControl* old = parent_;
        parent_ = nullptr;
        if (align_ != alNone) old->AlignControls();
    }
    parent_ = parent;
    if (parent_) {
        parent_->controls_.push_back(this);
        if (parentColor_) color_ = parent_->Color();
        if (align_ != alNone) parent_->AlignControls();
    }
    Changed(pcParent);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    TRect r{left, top, left + std::max(0, width), top + std::max(0, height)};
    if (r == bounds_) return;
    const bool resized = r.Width() != bounds_.Width() || r.Height() != bounds_.Height();
    bounds_ = r;
    Changed(pcBounds);
    if (resized) Resize();
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

TPoint TControl::ClientToScreen(TPoint p) const {
    if (peer_)
        if (std::optional<TPoint> mapped = peer_->ClientToScreen(p)) return *mapped;
    for (const TControl* c = this; c; c = c->parent_) {
        p.x += c->Left();
        p.y += c->Top();
        if (dynamic_cast<const TCustomForm*>(c)) {
            // The client area of a form starts inside its frame.
            p.x += TCustomForm::kFrameWidth / 2;
            p.y += TCustomForm::kFrameHeight - TCustomForm::kFrameWidth / 2;
        }
    }
    return p;
}

void TControl::SetAlign(TAlign a) {
    if (a == align_) return;
    align_ = a;
    if (parent_) parent_->AlignControls();
}

void TControl::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    VisibleChanged();
    if (parent_ && align_ != alNone) parent_->AlignControls();
}

void TControl::VisibleChanged() {
    Changed(pcVisible);
}

void TControl::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    Changed(pcEnabled);
}

void TControl::SetText(const AnsiString& s) {
    if (s == text_) return;
    text_ = s;
    Changed(pcText);
}

void TControl::SetFont(const TFont& f) {
    if (f == font_) return;
    font_ = f;
    Changed(pcFont);
}

void TControl::SetColor(TColor c) {
    parentColor_ = false;
    if (c == color_) return;
    color_ = c;
    Changed(pcColor);
}

void TControl::SetParentColor(bool v) {
    parentColor_ = v;
    if (v && parent_ && color_ != parent_->Color()) {
        color_ = parent_->Color();
        Changed(pcColor);
    }
}

TCustomForm* TControl::ParentForm() const {
    for (TControl* c = const_cast<TControl*>(this); c; c = c->parent_)
        if (auto* f = dynamic_cast<TCustomForm*>(c)) return f;
    return nullptr;
}

namespace {
TWinControl* topContainer(const TControl* c) {
    TWinControl* top = nullptr;
    for (TWinControl* w = c->Parent(); w; w = w->Parent()) top = w;
    return top ? top : dynamic_cast<TWinControl*>(const_cast<TControl*>(c));
}

// Every control below `w`, depth first in child order.
void collect(TWinControl* w, std::vector<TControl*>& out) {
    for (int i = 0; i < w->ControlCount(); ++i) {
        TControl* c = w->Controls(i);
        out.push_back(c);
        if (auto* cw = dynamic_cast<TWinControl*>(c)) collect(cw, out);
    }
}
}  // namespace

int TControl::TabOrder() const {
    if (!parent_) return -1;
    const auto& list = parent_->controls_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TControl::SetTabOrder(int order) {
    if (!parent_) return;
    auto& list = parent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    order = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + order, this);
}

bool TControl::Focused() const {
    TWinControl* top = topContainer(this);
    return top && top->focused_ == this;
}

bool TControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->visible_ || !c->enabled_) return false;
    return dynamic_cast<const TWinControl*>(this) != nullptr;
}

void TControl::SetFocus() {
    TWinControl* top = topContainer(this);
    if (!top || top->focused_ == this) return;
    TControl* old = top->focused_;
    top->focused_ = this;
    if (old) old->DoExit();
    DoEnter();
    if (peer_ && !fromPeer_) peer_->SetFocus();
}

void TControl::KillFocus() {
    TWinControl* top = topContainer(this);
    if (!top || top->focused_ != this) return;
    top->focused_ = nullptr;
    DoExit();
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}
void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}
void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, b, s, x, y);
}
void TControl::MouseMove(TShiftState s, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, s, x, y);
}
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, b, s, x, y);
    // Read after the handler: it may change or remove the menu.
    if (b == mbRight && popupMenu_) {
        const TPoint at = ClientToScreen({x, y});
        popupMenu_->SetPopupComponent(this);
        popupMenu_->Popup(at.x, at.y);
    }
}
void TControl::KeyDown(unsigned short& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}
void TControl::KeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}
void TControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}
void TControl::DoExit() {
    if (OnExit) OnExit(this);
}

// ---------------------------------------------------------------------------- TWinControl

TWinControl::~TWinControl() {
    // Children owned elsewhere stay alive; they only lose their parent. The dying parent's
    // layout is not redone: the resize handlers it would run belong to the derived object,
    // which is already destroyed.
    destroying_ = true;
    while (!controls_.empty()) controls_.back()->SetParent(nullptr);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    const int w = Width(), h = Height();
    TControl::SetBounds(left, top, width, height);
    if (Width() != w || Height() != h) AlignControls();
}

void TWinControl::AlignControls() {
    if (destroying_) return;
    TRect r = ClientRect();
    auto place = [](TControl* c, int l, int t, int w, int h) { c->SetBounds(l, t, w, h); };
    for (TControl* c : controls_) {
        if (!c->Visible()) continue;
        switch (c->Align()) {
            case alTop:
                place(c, r.left, r.top, r.Width(), c->Height());
                r.top += c->Height();
                break;
            case alBottom:
                place(c, r.left, r.bottom - c->Height(), r.Width(), c->Height());
                r.bottom -= c->Height();
                break;
            default:
                break;
        }
    }
    for (TControl* c : controls_) {
        if (!c->Visible()) continue;
        switch (c->Align()) {
            case alLeft:
                place(c, r.left, r.top, c->Width(), r.Height());
                r.left += c->Width();
                break;
            case alRight:
                place(c, r.right - c->Width(), r.top, c->Width(), r.Height());
                r.right -= c->Width();
                break;
            default:
                break;
        }
    }
    for (TControl* c : controls_)
        if (c->Visible() && c->Align() == alClient)
            place(c, r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height()));
}

TControl* TWinControl::ActiveControl() const {
    return topContainer(this)->focused_;
}

void TWinControl::SelectNext(bool forward) {
    std::vector<TControl*> all;
    collect(topContainer(this), all);
    std::vector<TControl*> stops;
    for (TControl* c : all)
        if (c->TabStop() && c->CanFocus()) stops.push_back(c);
    if (stops.empty()) return;
    auto it = std::find(stops.begin(), stops.end(), ActiveControl());
    std::ptrdiff_t i = it == stops.end() ? (forward ? -1 : 0) : it - stops.begin();
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(stops.size());
    i = ((forward ? i + 1 : i - 1) % n + n) % n;
    stops[static_cast<size_t>(i)]->SetFocus();
}

// ---------------------------------------------------------------------------- simple controls

TCanvas& TCustomControl::Canvas() {
    if (canvas_) return *canvas_;
    qx::platform::TWidgetSet& set = qx::platform::WidgetSet();
    if (!measure_ || measureSet_ != &set) {
        std::unique_ptr<TCanvas> fresh = set.CreateMeasureCanvas();
        if (!fresh) fresh = set.qx::platform::TWidgetSet::CreateMeasureCanvas();
        if (measure_) {
            fresh->Brush = measure_->Brush;
            fresh->Pen = measure_->Pen;
            fresh->Font = measure_->Font;
        }
        measure_ = std::move(fresh);
        measureSet_ = &set;
    }
    return *measure_;
}

void TCustomControl::PaintTo(TCanvas& canvas) {
    // A throwing Paint must not leave Canvas() pointing at the caller's canvas.
    struct TRestore {
        TCanvas*& slot;
        TCanvas* saved;
        ~TRestore() { slot = saved; }
    } restore{canvas_, canvas_};
    canvas_ = &canvas;
    Paint();
}

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 185, 41);
}

TLabel::TLabel(TComponent* owner) : TControl(owner) {
    SetParentColor(true);
    SetBounds(0, 0, 0, 13);
}

void TLabel::SetText(const AnsiString& s) {
    TControl::SetText(s);
    if (autoSize_) {
        TRecordingCanvas measure;
        measure.Font = Font();
        SetBounds(Left(), Top(), measure.TextWidth(s), measure.TextHeight(s));
    }
}

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    SetColor(clWindow);
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
}

void TEdit::SetText(const AnsiString& s) {
    if (s == Text()) return;
    TWinControl::SetText(s);
    if (OnChange) OnChange(this);
}

void TEdit::UserInput(const AnsiString& s) {
    if (readOnly_) return;
    modified_ = true;
    SetText(s);
}

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::Click() {
    if (modalResult_ != mrNone)
        if (TCustomForm* f = ParentForm()) f->SetModalResult(modalResult_);
    TWinControl::Click();
}

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::SetChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    Changed(pcState);
    TWinControl::Click();
}

void TCheckBox::Click() {
    SetChecked(!checked_);
}

void TRadioButton::SetChecked(bool v) {
    if (v == checked_) return;
    if (v && Parent())
        for (int i = 0; i < Parent()->ControlCount(); ++i)
            if (auto* r = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); r && r != this)
                if (r->checked_) {
                    r->checked_ = false;
                    r->Changed(pcState);
                }
    TCheckBox::SetChecked(v);
}

void TRadioButton::Click() {
    SetChecked(true);
}

TUpDown::TUpDown(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 17, 21);
}

void TUpDown::SetPosition(int v) {
    v = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
    if (v == position_) return;
    position_ = v;
    Changed(pcState);
}

void TUpDown::Press(TUDBtnType button) {
    SetPosition(position_ + (button == btNext ? increment_ : -increment_));
    if (OnClickButton) OnClickButton(this, button);
}

TCSpinButton::TCSpinButton(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 15, 21);
}

void TCSpinButton::UpClick() {
    if (OnUpClick) OnUpClick(this);
}
void TCSpinButton::DownClick() {
    if (OnDownClick) OnDownClick(this);
}

TCSpinEdit::TCSpinEdit(TComponent* owner) : TEdit(owner), button_(new TCSpinButton(this)) {
    button_->SetParent(this);
    button_->OnUpClick = [this](TObject* s) { UpClick(s); };
    button_->OnDownClick = [this](TObject* s) { DownClick(s); };
    SetText("0");
}

long TCSpinEdit::clamp(long v) const {
    if (maxValue_ != 0 || minValue_ != 0)
        v = std::clamp(v, minValue_, std::max(minValue_, maxValue_));
    return v;
}

long TCSpinEdit::Value() const {
    char* end = nullptr;
    long v = std::strtol(Text().c_str(), &end, 10);
    return clamp(end == Text().c_str() ? minValue_ : v);
}

void TCSpinEdit::SetValue(long v) {
    SetText(std::to_string(clamp(v)));
}

namespace {
// A step past the range of long stops at its end instead of overflowing.
long stepped(long v, long by, bool up) {
    long r = 0;
    if (!(up ? __builtin_add_overflow(v, by, &r) : __builtin_sub_overflow(v, by, &r))) return r;
    return (up == (by > 0)) ? std::numeric_limits<long>::max() : std::numeric_limits<long>::min();
}
}  // namespace

void TCSpinEdit::UpClick(TObject*) {
    if (!ReadOnly()) SetValue(stepped(Value(), increment_, true));
}
void TCSpinEdit::DownClick(TObject*) {
    if (!ReadOnly()) SetValue(stepped(Value(), increment_, false));
}
