// Helpers shared by the files of the Qt widget set (internal to qx_qt, not installed): text
// conversion at the Qt boundary, input translation, the link from a widget to its control,
// and the per-family peer registration.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <string_view>

#include "qx/platform/Controls.h"
#include "qx/platform/qt/QtWidgetSet.h"

class QKeyEvent;

namespace qx::qt {

// Code page 1252 to Unicode and back: the only place texts cross.
QString toQ(const std::string& s);
std::string fromQ(const QString& s);

TShiftState shiftOf(Qt::KeyboardModifiers m, Qt::MouseButtons b = Qt::NoButton);
TMouseButton buttonOf(Qt::MouseButton b);
// The framework's key code of a Qt key; 0 for keys it has none for.
unsigned short vkOf(int key);
// Sends a key press to the control's KeyDown and, for typed text, KeyPress. True when the
// control consumed it (set the key to 0).
bool routeKey(TControl& c, QKeyEvent* e);

// Ties a widget to its control: every peer's widget carries one, and the peer clears it when
// it goes, so a widget that outlives its control (deleted later) does nothing.
struct TControlLink {
    TControl* control = nullptr;
};

// A Qt widget class with the link to its control.
template <class W>
class TLinked : public W, public TControlLink {
  public:
    using W::W;
};

// The control whose widget `w` is or lies in (within one window); null for none.
TControl* ControlOf(QWidget* w);

// Registers `make(set, control, parent)` for controls of class C whose PeerClass() is
// `peerClass`; it declines (the next factory is tried) for controls that are no C.
template <class C, class Make>
void RegisterPeerOf(TQtWidgetSet& set, std::string_view peerClass, Make make) {
    set.RegisterPeer(
        peerClass,
        [make](TQtWidgetSet& s, TControl& c, QWidget* parent) -> std::unique_ptr<TControlPeer> {
            auto* typed = dynamic_cast<C*>(&c);
            if (!typed) return nullptr;
            return make(s, *typed, parent);
        });
}

// The families of peers, one file each; TQtWidgetSet's constructor registers them.
void RegisterFormPeers(TQtWidgetSet& set);
void RegisterControlPeers(TQtWidgetSet& set);
void RegisterGridPeers(TQtWidgetSet& set);

}  // namespace qx::qt
