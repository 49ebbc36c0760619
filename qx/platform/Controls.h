// The framework's controls: TControl and TWinControl with parent, bounds, alignment,
// visibility, text, font, colour, events and focus, and the simple controls built on them.
//
// A control holds all of its state and behaviour and works without any window: that is the
// headless widget set. A widget set may attach a peer (TControlPeer) that shows the control;
// the control tells the peer what changed, and the peer reports user input by calling the
// control's own methods (Click(), SetText() inside TPeerInput, ...), so input from a person,
// a test or a script takes one path.
//
// Ownership: TComponent's owner tree deletes controls; a control's parent only shows it (a
// control being deleted leaves its parent's list). Threads: the thread that owns the windows.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "qx/platform/Classes.h"
#include "qx/platform/Graphics.h"

class TControl;
class TWinControl;
class TPopupMenu;
namespace qx::platform {
class TWidgetSet;
}

// What changed on a control, for its peer (a bit set).
enum TPeerChange : unsigned {
    pcBounds = 1u << 0,
    pcVisible = 1u << 1,
    pcText = 1u << 2,
    pcFont = 1u << 3,
    pcColor = 1u << 4,
    pcEnabled = 1u << 5,
    pcState = 1u << 6,    // checked, read-only, position, ... (control-specific)
    pcContent = 1u << 7,  // items, cells, sizes (control-specific)
    pcParent = 1u << 8,
    pcAll = ~0u,
};

// The widget-set side of a control.
class TControlPeer {
  public:
    virtual ~TControlPeer();
    // The control's state changed; `what` is a TPeerChange set. Read the state from the control.
    virtual void Changed(unsigned what) = 0;
    // The control's look must be redrawn.
    virtual void Invalidate() {}
    // Only `r` (client coordinates) must be redrawn; by default the whole control is.
    virtual void InvalidateRect(const TRect&) { Invalidate(); }
    virtual void SetFocus() {}
    // Client point `p` of the control in screen coordinates as the window system places it,
    // or nothing to let the control compute it from its bounds.
    virtual std::optional<TPoint> ClientToScreen(TPoint) const { return std::nullopt; }
};

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64
};
using TShiftState = unsigned;

// Key codes used by the controls.
constexpr unsigned short VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_ESCAPE = 0x1B,
                         VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24,
                         VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
                         VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_F2 = 0x71;

using TNotifyEvent = std::function<void(TObject* sender)>;
using TMouseEvent =
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, unsigned short& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;

class TControl : public TComponent {
  public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    void SetParent(TWinControl* parent);

    int Left() const { return bounds_.left; }
    int Top() const { return bounds_.top; }
    int Width() const { return bounds_.Width(); }
    int Height() const { return bounds_.Height(); }
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return bounds_; }
    // The inner size; equal to the outer size except for forms, which have a frame.
    virtual int ClientWidth() const { return Width(); }
    virtual int ClientHeight() const { return Height(); }
    virtual void SetClientWidth(int w) { SetWidth(w); }
    virtual void SetClientHeight(int h) { SetHeight(h); }
    TRect ClientRect() const { return {0, 0, ClientWidth(), ClientHeight()}; }
    // Client coordinates of this control to screen coordinates: the peer's answer when a
    // widget set shows the control, else computed from the bounds up to the form.
    TPoint ClientToScreen(TPoint p) const;

    TAlign Align() const { return align_; }
    void SetAlign(TAlign a);

    bool Visible() const { return visible_; }
    // Calls VisibleChanged when the value changes.
    void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);

    // Caption and Text are the same property, as in the framework.
    const AnsiString& Caption() const { return text_; }
    void SetCaption(const AnsiString& s) { SetText(s); }
    const AnsiString& Text() const { return text_; }
    virtual void SetText(const AnsiString& s);

    const TFont& Font() const { return font_; }
    void SetFont(const TFont& f);
    TColor Color() const { return color_; }
    void SetColor(TColor c);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);

    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* m) { popupMenu_ = m; }

    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v) { tabStop_ = v; }
    int TabOrder() const;
    void SetTabOrder(int order);
    bool Focused() const;
    virtual bool CanFocus() const;
    // Makes this the focused control of its top container; the previous one gets DoExit.
    void SetFocus();
    // The focus went to something that is no control (a widget set reports it): this control
    // stops being the focused one and gets DoExit.
    void KillFocus();

    // Input entry points, used by peers, tests and code alike.
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    // Raises OnMouseUp; a right button then opens PopupMenu() at the point.
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void KeyDown(unsigned short& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void DoEnter();
    virtual void DoExit();

    TNotifyEvent OnClick, OnDblClick, OnResize, OnEnter, OnExit;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;

    // Which kind of peer shows this control: widget sets register a peer factory per name.
    // Framework classes with a look of their own override it with their class name;
    // subclasses inherit their base's.
    virtual std::string_view PeerClass() const { return "TControl"; }
    // The peer, if a widget set shows this control. Attaching replays the whole state.
    TControlPeer* Peer() const { return peer_.get(); }
    void AttachPeer(std::unique_ptr<TControlPeer> peer);
    std::unique_ptr<TControlPeer> DetachPeer() { return std::move(peer_); }
    // Asks the peer to redraw.
    void Invalidate();
    // Asks the peer to redraw the client rectangle `r` only.
    void InvalidateRect(const TRect& r);
    void Repaint() { Invalidate(); }

    // While a TPeerInput lives, changes the control makes are not sent back to its peer: the
    // peer already shows them.
    class TPeerInput {
      public:
        explicit TPeerInput(TControl& c) : c_(c), saved_(c.fromPeer_) { c_.fromPeer_ = true; }
        ~TPeerInput() { c_.fromPeer_ = saved_; }
        TPeerInput(const TPeerInput&) = delete;
        TPeerInput& operator=(const TPeerInput&) = delete;

      private:
        TControl& c_;
        bool saved_;
    };

  protected:
    void Changed(unsigned what);
    virtual void Resize();
    // Visible() changed: tells the peer. Forms also show themselves through the widget set.
    virtual void VisibleChanged();
    // The form this control lies on (through parents), or null.
    class TCustomForm* ParentForm() const;

  private:
    friend class TWinControl;
    TWinControl* parent_ = nullptr;
    TRect bounds_{0, 0, 0, 0};
    TAlign align_ = alNone;
    bool visible_ = true;
    bool enabled_ = true;
    bool parentColor_ = false;
    bool tabStop_ = false;
    bool fromPeer_ = false;
    AnsiString text_;
    TFont font_;
    TColor color_ = clBtnFace;
    TPopupMenu* popupMenu_ = nullptr;
    std::unique_ptr<TControlPeer> peer_;
};

// A control that contains others. Children aligned top, bottom, left, right or client are
// placed whenever the container's size or a child's alignment changes.
class TWinControl : public TControl {
  public:
    explicit TWinControl(TComponent* owner) : TControl(owner) {}
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int i) const { return controls_.at(static_cast<size_t>(i)); }
    void SetBounds(int left, int top, int width, int height) override;
    void AlignControls();
    // The focused control among this container's descendants, or null.
    TControl* ActiveControl() const;
    // Moves the focus to the next (or previous) tab stop in tab order.
    void SelectNext(bool forward = true);

  private:
    friend class TControl;
    std::vector<TControl*> controls_;
    TControl* focused_ = nullptr;  // on the top-level container only
    bool destroying_ = false;
};

// A container that paints itself on a canvas. Outside painting, Canvas() is a measuring
// canvas from the current widget set (its font metrics; drawing on it does nothing), made on
// first use and owned by the control; its brush, pen and font are kept when the widget set
// changes.
class TCustomControl : public TWinControl {
  public:
    explicit TCustomControl(TComponent* owner) : TWinControl(owner) {}
    std::string_view PeerClass() const override { return "TCustomControl"; }
    // Paints the whole control on `canvas` (a peer's or a recording canvas).
    virtual void PaintTo(TCanvas& canvas);
    // The canvas being painted on, else the measuring one.
    TCanvas& Canvas();
    // Which canvas Canvas() returns (a peer's while it paints); null restores the measuring one.
    void SetCanvas(TCanvas* canvas) { canvas_ = canvas; }

  protected:
    virtual void Paint() {}

  private:
    TCanvas* canvas_ = nullptr;  // not owned
    std::unique_ptr<TCanvas> measure_;
    const qx::platform::TWidgetSet* measureSet_ = nullptr;  // where measure_ came from
};

// Creates a control of type T owned by `owner`, named `name` and shown on `parent`: the step
// every form constructor repeats for each of its components.
template <class T>
T* MakeChild(TComponent* owner, TWinControl* parent, const char* name) {
    T* c = new T(owner);
    c->SetName(name);
    c->SetParent(parent);
    return c;
}

enum TBevelCut { bvNone, bvLowered, bvRaised };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TPanel : public TCustomControl {
  public:
    explicit TPanel(TComponent* owner);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut b) {
        bevelOuter_ = b;
        Changed(pcState);
    }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a) {
        alignment_ = a;
        Changed(pcState);
    }

  private:
    TBevelCut bevelOuter_ = bvRaised;
    TAlignment alignment_ = taCenter;
};

class TGroupBox : public TCustomControl {
  public:
    explicit TGroupBox(TComponent* owner) : TCustomControl(owner) {}
    std::string_view PeerClass() const override { return "TGroupBox"; }
};

class TLabel : public TControl {
  public:
    explicit TLabel(TComponent* owner);
    std::string_view PeerClass() const override { return "TLabel"; }
    void SetText(const AnsiString& s) override;
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v) { autoSize_ = v; }

  private:
    bool autoSize_ = true;
};

// A one-line edit. Modified is set by user input (SetText through a peer, or UserInput).
class TEdit : public TWinControl {
  public:
    explicit TEdit(TComponent* owner);
    std::string_view PeerClass() const override { return "TEdit"; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) {
        readOnly_ = v;
        Changed(pcState);
    }
    bool Modified() const { return modified_; }
    void SetModified(bool v) { modified_ = v; }
    // Text typed by the user: refused while read-only, marks the edit modified, raises OnChange.
    void UserInput(const AnsiString& s);
    void SetText(const AnsiString& s) override;
    void SelectAll() {}
    TNotifyEvent OnChange;

  private:
    bool readOnly_ = false;
    bool modified_ = false;
};

// A push button. Clicking a button with a ModalResult ends the modal form it lies on.
class TButton : public TWinControl {
  public:
    explicit TButton(TComponent* owner);
    std::string_view PeerClass() const override { return "TButton"; }
    bool Default() const { return default_; }
    void SetDefault(bool v) {
        default_ = v;
        Changed(pcState);
    }
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int r) { modalResult_ = r; }
    void Click() override;

  private:
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
};

// A check box. Changing Checked raises OnClick, as a click does.
class TCheckBox : public TWinControl {
  public:
    explicit TCheckBox(TComponent* owner);
    std::string_view PeerClass() const override { return "TCheckBox"; }
    bool Checked() const { return checked_; }
    virtual void SetChecked(bool v);
    void Click() override;  // toggles, then raises OnClick

  protected:
    bool checked_ = false;
};

// A radio button: checking it unchecks the other radio buttons of its parent.
class TRadioButton : public TCheckBox {
  public:
    explicit TRadioButton(TComponent* owner) : TCheckBox(owner) {}
    std::string_view PeerClass() const override { return "TRadioButton"; }
    void SetChecked(bool v) override;
    void Click() override;  // checks, then raises OnClick
};

enum TUDBtnType { btNext, btPrev };

// Up/down arrows stepping Position between Min and Max by Increment.
class TUpDown : public TWinControl {
  public:
    explicit TUpDown(TComponent* owner);
    std::string_view PeerClass() const override { return "TUpDown"; }
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    int Increment() const { return increment_; }
    void SetMin(int v) {
        min_ = v;
        SetPosition(position_);
    }
    void SetMax(int v) {
        max_ = v;
        SetPosition(position_);
    }
    void SetPosition(int v);
    void SetIncrement(int v) { increment_ = v; }
    TWinControl* Associate() const { return associate_; }
    void SetAssociate(TWinControl* c) { associate_ = c; }
    // A press on an arrow: steps Position, then raises OnClickButton.
    void Press(TUDBtnType button);
    std::function<void(TObject* sender, TUDBtnType button)> OnClickButton;

  private:
    int min_ = 0, max_ = 100, position_ = 0, increment_ = 1;
    TWinControl* associate_ = nullptr;
};

// The two arrows of a spin edit.
class TCSpinButton : public TWinControl {
  public:
    explicit TCSpinButton(TComponent* owner);
    std::string_view PeerClass() const override { return "TCSpinButton"; }
    void UpClick();
    void DownClick();
    TNotifyEvent OnUpClick, OnDownClick;
};

// An integer edit with a spin button.
class TCSpinEdit : public TEdit {
  public:
    explicit TCSpinEdit(TComponent* owner);
    long Value() const;
    void SetValue(long v);
    long MinValue() const { return minValue_; }
    long MaxValue() const { return maxValue_; }
    void SetMinValue(long v) { minValue_ = v; }
    void SetMaxValue(long v) { maxValue_ = v; }
    long Increment() const { return increment_; }
    void SetIncrement(long v) { increment_ = v; }
    TCSpinButton* Button() const { return button_; }
    // Steps used by the spin button; derived controls change the stepping.
    virtual void UpClick(TObject* sender);
    virtual void DownClick(TObject* sender);

  private:
    long clamp(long v) const;
    long minValue_ = 0, maxValue_ = 0, increment_ = 1;
    TCSpinButton* button_;
};
