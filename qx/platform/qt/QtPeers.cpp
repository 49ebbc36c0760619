// The base peer and the helpers every family of peers uses.
#include "qx/platform/qt/internal/QtPeers.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPalette>

#include "qx/platform/Codepage.h"
#include "qx/platform/qt/QtCanvas.h"

namespace qx::qt {

// ---------------------------------------------------------------------------- helpers

QString toQ(const std::string& s) {
    return QString::fromStdString(qx::platform::Cp1252ToUtf8(s));
}
std::string fromQ(const QString& s) {
    return qx::platform::Utf8ToCp1252(s.toStdString());
}

TShiftState shiftOf(Qt::KeyboardModifiers m, Qt::MouseButtons b) {
    TShiftState s = 0;
    if (m & Qt::ShiftModifier) s |= ssShift;
    if (m & Qt::AltModifier) s |= ssAlt;
    if (m & Qt::ControlModifier) s |= ssCtrl;
    if (b & Qt::LeftButton) s |= ssLeft;
    if (b & Qt::RightButton) s |= ssRight;
    if (b & Qt::MiddleButton) s |= ssMiddle;
    return s;
}

TMouseButton buttonOf(Qt::MouseButton b) {
    return b == Qt::RightButton ? mbRight : b == Qt::MiddleButton ? mbMiddle : mbLeft;
}

unsigned short vkOf(int key) {
    switch (key) {
        case Qt::Key_Backspace:
            return VK_BACK;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return VK_TAB;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VK_RETURN;
        case Qt::Key_Escape:
            return VK_ESCAPE;
        case Qt::Key_PageUp:
            return VK_PRIOR;
        case Qt::Key_PageDown:
            return VK_NEXT;
        case Qt::Key_End:
            return VK_END;
        case Qt::Key_Home:
            return VK_HOME;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Down:
            return VK_DOWN;
        case Qt::Key_Insert:
            return VK_INSERT;
        case Qt::Key_Delete:
            return VK_DELETE;
        case Qt::Key_Space:
            return 0x20;
        default:
            break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return static_cast<unsigned short>(0x70 + key - Qt::Key_F1);
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<unsigned short>(key);
    return 0;
}

bool routeKey(TControl& c, QKeyEvent* e) {
    unsigned short vk = vkOf(e->key());
    if (vk) {
        c.KeyDown(vk, shiftOf(e->modifiers()));
        if (vk == 0) return true;
    }
    const std::string text = fromQ(e->text());
    if (text.size() == 1 && static_cast<unsigned char>(text[0]) >= 32 && text[0] != 127) {
        char ch = text[0];
        c.KeyPress(ch);
        if (ch == 0) return true;
    }
    return false;
}

TControl* ControlOf(QWidget* w) {
    for (; w; w = w->parentWidget()) {
        if (auto* link = dynamic_cast<TControlLink*>(w)) return link->control;
        if (w->isWindow()) break;
    }
    return nullptr;
}

QWidget* ParentHost(const TControl& control) {
    TWinControl* parent = control.Parent();
    auto* peer = parent ? dynamic_cast<TQtPeer*>(parent->Peer()) : nullptr;
    return peer ? peer->Host() : nullptr;
}

// ---------------------------------------------------------------------------- focus

namespace {
void focusMoved(QWidget* old, QWidget* now) {
    if (TQtPeer::Applying()) return;
    // A window's own widget (a form) is never its focused control: a foreign widget placed
    // right on it counts as no control.
    if (TControl* to = ControlOf(now); to && to->Parent()) {
        if (auto* peer = dynamic_cast<TQtPeer*>(to->Peer())) peer->FocusIn();
        return;
    }
    // Leaving the window (another window, a popup menu, none) keeps the form's focused
    // control, as the framework does; a widget of no control on the same window takes it.
    if (TControl* from = ControlOf(old); from && old && now && old->window() == now->window())
        from->KillFocus();
}
}  // namespace

void TrackFocus() {
    // The tracker goes with the QApplication; a later one gets a new tracker.
    static QPointer<QObject> tracker;
    if (tracker || !qApp) return;
    tracker = new QObject(qApp);
    QObject::connect(qApp, &QApplication::focusChanged, tracker.data(), &focusMoved);
}

// ---------------------------------------------------------------------------- TQtPeer

TQtPeer::TQtPeer(TQtWidgetSet& set, TControl& control, QWidget* widget, TControlLink* link)
    : set_(set), control_(control), widget_(widget), link_(link) {
    link_->control = &control;
    if (!control.Name().empty()) widget->setObjectName(QString::fromStdString(control.Name()));
}

TQtPeer::~TQtPeer() {
    *alive_ = false;
    guard_.reset();
    if (!widget_) return;
    link_->control = nullptr;
    // Hiding a focused widget moves Qt's focus: not a user's move, and the control is going.
    const TApplying applying;
    // Later, not now: the peer may go while one of the widget's own handlers runs.
    widget_->hide();
    widget_->deleteLater();
}

void TQtPeer::Changed(unsigned what) {
    if (!widget_) return;
    const TApplying applying;
    if (what & pcParent) applyParent();
    if (what & pcFont) applyFont();
    if (what & pcColor) applyColor();
    if (what & pcText) applyText();
    if (what & pcState) applyState();
    if (what & pcContent) applyContent();
    if (what & pcBounds) applyBounds();
    if (what & pcEnabled) widget_->setEnabled(control_.Enabled());
    if (what & pcVisible) applyVisible();
    if (what == pcAll && control_.Focused() && control_.Visible()) widget_->setFocus();
}

void TQtPeer::Invalidate() {
    if (widget_) widget_->update();
}

void TQtPeer::InvalidateRect(const TRect& r) {
    if (widget_) widget_->update(QRect(r.left, r.top, r.Width(), r.Height()));
}

void TQtPeer::SetFocus() {
    if (!widget_) return;
    const TApplying applying;
    widget_->setFocus();
}

std::optional<TPoint> TQtPeer::ClientToScreen(TPoint p) const {
    QWidget* host = Host();
    if (!widget_ || !host || !widget_->parentWidget()) return std::nullopt;
    const QPoint g = host->mapToGlobal(QPoint(p.x, p.y));
    return TPoint{g.x(), g.y()};
}

void TQtPeer::FocusIn() {
    if (!control_.Focused()) Input([this] { control_.SetFocus(); });
}

void TQtPeer::applyBounds() {
    widget_->setGeometry(control_.Left(), control_.Top(), control_.Width(), control_.Height());
}

void TQtPeer::applyVisible() {
    widget_->setVisible(control_.Visible());
}

void TQtPeer::applyFont() {
    widget_->setFont(TQtCanvas::ToQFont(control_.Font()));
    QPalette pal = widget_->palette();
    const QColor text = TQtCanvas::ToQColor(control_.Font().Color);
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Text, text);
    pal.setColor(QPalette::ButtonText, text);
    widget_->setPalette(pal);
}

void TQtPeer::applyColor() {
    QPalette pal = widget_->palette();
    pal.setColor(QPalette::Window, TQtCanvas::ToQColor(control_.Color()));
    widget_->setPalette(pal);
    widget_->setAutoFillBackground(true);
}

void TQtPeer::applyParent() {
    QWidget* host = ParentHost(control_);
    if (widget_->parentWidget() == host) return;
    widget_->setParent(host, host ? Qt::WindowFlags() : widget_->windowFlags());
    applyBounds();
    applyVisible();
}

}  // namespace qx::qt
