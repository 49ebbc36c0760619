// The peers of the Qt widget set (internal to qx_qt).
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "qx/platform/Controls.h"

namespace qx::qt {

class TQtWidgetSet;

// Ties a widget to its control: every peer's widget carries one, and the peer clears it when
// it goes, so a widget that outlives its control (deleted later) does nothing.
struct TControlLink {
    TControl* control = nullptr;
};

class TQtPeer : public TControlPeer {
public:
    TQtPeer(TQtWidgetSet& set, TControl& control, QWidget* widget, TControlLink* link);
    ~TQtPeer() override;

    void Changed(unsigned what) override;
    void Invalidate() override;
    void SetFocus() override;

    QWidget* Widget() const { return widget_; }
    // The widget children are placed on, in the control's client coordinates.
    virtual QWidget* Host() const { return widget_; }
    TControl& Control() const { return control_; }

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
};

// The widget of `control`'s parent that a new widget goes under, or null.
QWidget* ParentHost(const TControl& control);

}  // namespace qx::qt
