// The base of the Qt widget set's peers (internal to qx_qt, not installed).
//
// A peer owns nothing of its control; its widget is owned by the parent widget (or, for a
// window, deleted by the peer). Threads: the thread that owns the QApplication.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "qx/platform/Controls.h"
#include "qx/platform/qt/internal/QtSupport.h"

namespace qx::qt {

class TQtWidgetSet;

class TQtPeer : public TControlPeer {
  public:
    TQtPeer(TQtWidgetSet& set, TControl& control, QWidget* widget, TControlLink* link);
    ~TQtPeer() override;

    void Changed(unsigned what) override;
    void Invalidate() override;
    void InvalidateRect(const TRect& r) override;
    void SetFocus() override;
    // Mapped through Host(); nothing while the widget lies on no window of a form.
    std::optional<TPoint> ClientToScreen(TPoint p) const override;

    QWidget* Widget() const { return widget_; }
    // The widget children are placed on, in the control's client coordinates.
    virtual QWidget* Host() const { return widget_; }
    TControl& Control() const { return control_; }

    // Qt gave the widget the focus: the control becomes the focused one.
    void FocusIn();

    // While one lives, the framework is changing widgets: the focus moves Qt makes on its own
    // then (hiding the focused widget, ...) are not reported back to the controls.
    class TApplying {
      public:
        TApplying() { ++depth_; }
        ~TApplying() { --depth_; }
        TApplying(const TApplying&) = delete;
        TApplying& operator=(const TApplying&) = delete;
    };
    static bool Applying() { return depth_ > 0; }

  protected:
    // Runs `f` (a call into the control for the user's input) inside TPeerInput, then shows
    // whatever else the control's handlers changed on it. Safe when they delete the control.
    template <class F>
    void Input(F f) {
        const std::shared_ptr<bool> alive = alive_;
        {
            TControl::TPeerInput in(control_);
            f();
        }
        if (*alive) Changed(pcBounds | pcVisible | pcText | pcFont | pcColor | pcEnabled | pcState);
    }

    virtual void applyBounds();
    virtual void applyVisible();
    virtual void applyText() {}
    virtual void applyFont();
    virtual void applyColor();
    virtual void applyState() {}
    virtual void applyContent() {}
    void applyParent();

    TQtWidgetSet& set_;
    TControl& control_;
    QPointer<QWidget> widget_;
    TControlLink* link_;
    // Context of every signal connection: going with the peer, it cuts them all.
    std::unique_ptr<QObject> guard_ = std::make_unique<QObject>();
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  private:
    static inline int depth_ = 0;
};

// The widget of `control`'s parent that a new widget goes under, or null.
QWidget* ParentHost(const TControl& control);

// Reports Qt's focus changes to the controls (once per QApplication).
void TrackFocus();

}  // namespace qx::qt
