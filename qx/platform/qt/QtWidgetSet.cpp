// The set itself: the peer registry, realising controls, modal and modeless forms, the
// screen and the measuring canvas. The families of peers and the dialogs live in their own
// files (QtForms, QtControls, QtGrid, QtDialogs).
#include "qx/platform/qt/QtWidgetSet.h"

#include <QApplication>
#include <QEventLoop>
#include <QScreen>

#include "qx/platform/Forms.h"
#include "qx/platform/qt/QtCanvas.h"
#include "qx/platform/qt/QtClipboard.h"
#include "qx/platform/qt/internal/QtPeers.h"

namespace qx::qt {

TQtWidgetSet::TQtWidgetSet() : clipboard_(std::make_unique<TQtClipboard>()) {
    RegisterFormPeers(*this);
    RegisterControlPeers(*this);
    // After the controls: the grid refines the self-painting controls' class.
    RegisterGridPeers(*this);
}

TQtWidgetSet::~TQtWidgetSet() = default;

void TQtWidgetSet::RegisterPeer(std::string_view peerClass, TPeerFactory factory) {
    auto it = factories_.find(peerClass);
    if (it == factories_.end())
        it = factories_.emplace(std::string(peerClass), std::vector<TPeerFactory>{}).first;
    it->second.push_back(std::move(factory));
}

QWidget* TQtWidgetSet::Widget(const TControl& control) {
    auto* peer = dynamic_cast<TQtPeer*>(control.Peer());
    return peer ? peer->Widget() : nullptr;
}

std::unique_ptr<TControlPeer> TQtWidgetSet::CreatePeer(TControl& c) {
    if (!QApplication::instance()) return nullptr;
    TrackFocus();
    QWidget* parent = ParentHost(c);
    if (auto it = factories_.find(c.PeerClass()); it != factories_.end())
        for (auto f = it->second.rbegin(); f != it->second.rend(); ++f)
            if (std::unique_ptr<TControlPeer> peer = (*f)(*this, c, parent)) return peer;
    auto* w = new TLinked<QWidget>(parent);
    return std::make_unique<TQtPeer>(*this, c, w, w);
}

void TQtWidgetSet::Realize(TControl& control) {
    if (!control.Peer())
        if (auto peer = CreatePeer(control)) control.AttachPeer(std::move(peer));
    if (auto* w = dynamic_cast<TWinControl*>(&control))
        for (int i = 0; i < w->ControlCount(); ++i) Realize(*w->Controls(i));
}

void TQtWidgetSet::ProcessModal(TCustomForm& form) {
    if (!QApplication::instance()) {
        TWidgetSet::ProcessModal(form);  // nothing can show it: end it as the headless set would
        return;
    }
    // Controls added since the last round get their widgets too.
    Realize(form);
    QWidget* w = Widget(form);
    if (!w) {
        TWidgetSet::ProcessModal(form);
        return;
    }
    if (!w->isVisible()) {
        w->setWindowModality(Qt::ApplicationModal);
        w->show();
        w->raise();
        w->activateWindow();
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TQtWidgetSet::EndModal(TCustomForm& form) {
    if (QWidget* w = Widget(form)) {
        w->hide();
        w->setWindowModality(Qt::NonModal);
    }
}

void TQtWidgetSet::ShowForm(TCustomForm& form) {
    if (!QApplication::instance()) return;
    Realize(form);
    if (QWidget* w = Widget(form)) {
        w->show();
        w->raise();
    }
}

qx::platform::TClipboardService& TQtWidgetSet::Clipboard() {
    return *clipboard_;
}

TRect TQtWidgetSet::ScreenRect() {
    QScreen* s = QApplication::instance() ? QGuiApplication::primaryScreen() : nullptr;
    if (!s) return TWidgetSet::ScreenRect();
    const QRect r = s->geometry();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

TRect TQtWidgetSet::WorkAreaRect() {
    QScreen* s = QApplication::instance() ? QGuiApplication::primaryScreen() : nullptr;
    if (!s) return TWidgetSet::WorkAreaRect();
    const QRect r = s->availableGeometry();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

std::unique_ptr<TCanvas> TQtWidgetSet::CreateMeasureCanvas() {
    if (!QApplication::instance()) return TWidgetSet::CreateMeasureCanvas();
    return std::make_unique<TQtCanvas>();
}

}  // namespace qx::qt
