// Forms as top-level windows.
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMoveEvent>

#include "qx/platform/Forms.h"
#include "qx/platform/qt/internal/QtPeers.h"

namespace qx::qt {

namespace {

// Where the framework puts a form's window relative to the form's bounds: the client area
// starts inside the frame the framework assumes.
constexpr int kClientDx = TCustomForm::kFrameWidth / 2;
constexpr int kClientDy = TCustomForm::kFrameHeight - TCustomForm::kFrameWidth / 2;

class TFormWidget : public TLinked<QWidget> {
  public:
    TFormWidget() : TLinked<QWidget>(nullptr, Qt::Window) {}

  protected:
    TCustomForm* form() const { return dynamic_cast<TCustomForm*>(control); }
    void closeEvent(QCloseEvent* e) override {
        // The framework decides: a modal form ends with mrCancel, a modeless one hides.
        e->ignore();
        if (TCustomForm* f = form()) f->Close();
    }
    void resizeEvent(QResizeEvent* e) override {
        QWidget::resizeEvent(e);
        TCustomForm* f = form();
        // Only a sizeable form takes its size from the window.
        if (!f || !isVisible() || minimumSize() == maximumSize()) return;
        if (f->ClientWidth() == width() && f->ClientHeight() == height()) return;
        TControl::TPeerInput in(*f);
        f->SetBounds(f->Left(), f->Top(), width() + TCustomForm::kFrameWidth,
                     height() + TCustomForm::kFrameHeight);
    }
    void moveEvent(QMoveEvent* e) override {
        QWidget::moveEvent(e);
        // A window the user (or the window manager) moved: the form's bounds follow.
        TCustomForm* f = form();
        if (!f || !isVisible()) return;
        const QPoint at = pos();
        if (f->Left() == at.x() - kClientDx && f->Top() == at.y() - kClientDy) return;
        TControl::TPeerInput in(*f);
        f->SetBounds(at.x() - kClientDx, at.y() - kClientDy, f->Width(), f->Height());
    }
    void keyPressEvent(QKeyEvent* e) override {
        TCustomForm* f = form();
        const bool ret = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        if (f && (ret || e->key() == Qt::Key_Escape)) {
            if (TButton* b = findButton(*f, ret)) {
                b->Click();
                return;
            }
        }
        QWidget::keyPressEvent(e);
    }

  private:
    // The enabled, visible default (Return) or cancel (Escape) button of the form.
    static TButton* findButton(TWinControl& w, bool isDefault) {
        for (int i = 0; i < w.ControlCount(); ++i) {
            TControl* c = w.Controls(i);
            if (!c->Visible() || !c->Enabled()) continue;
            if (auto* b = dynamic_cast<TButton*>(c); b && (isDefault ? b->Default() : b->Cancel()))
                return b;
            if (auto* cw = dynamic_cast<TWinControl*>(c))
                if (TButton* b = findButton(*cw, isDefault)) return b;
        }
        return nullptr;
    }
};

class TFormPeer : public TQtPeer {
  public:
    TFormPeer(TQtWidgetSet& set, TCustomForm& form, TFormWidget* w)
        : TQtPeer(set, form, w, w), form_(form) {}

    // The form's widget is the window itself.
    std::optional<TPoint> ClientToScreen(TPoint p) const override {
        if (!widget_) return std::nullopt;
        const QPoint g = widget_->mapToGlobal(QPoint(p.x, p.y));
        return TPoint{g.x(), g.y()};
    }

  protected:
    void applyBounds() override {
        if (fixedSize())
            widget_->setFixedSize(form_.ClientWidth(), form_.ClientHeight());
        else
            widget_->resize(form_.ClientWidth(), form_.ClientHeight());
        widget_->move(form_.Left() + kClientDx, form_.Top() + kClientDy);
    }
    void applyVisible() override {
        if (form_.Visible()) {
            if (form_.Modal()) widget_->setWindowModality(Qt::ApplicationModal);
            widget_->show();
        } else {
            widget_->hide();
        }
    }
    void applyText() override { widget_->setWindowTitle(toQ(form_.Caption())); }
    void applyState() override {
        Qt::WindowFlags flags = Qt::Window;
        if (form_.BorderStyle() == bsNone) flags |= Qt::FramelessWindowHint;
        if (!(form_.BorderIcons() & biSystemMenu))
            flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        else {
            flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            if (form_.BorderIcons() & biMinimize) flags |= Qt::WindowMinimizeButtonHint;
            if (form_.BorderIcons() & biMaximize && !fixedSize())
                flags |= Qt::WindowMaximizeButtonHint;
        }
        if (form_.FormStyle() == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
        if (flags != widget_->windowFlags()) {
            const bool shown = widget_->isVisible();
            widget_->setWindowFlags(flags);  // hides the window
            if (shown) widget_->show();
        }
        if (!fixedSize()) {
            widget_->setMinimumSize(0, 0);
            widget_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        }
        applyBounds();
    }

  private:
    bool fixedSize() const {
        const TFormBorderStyle b = form_.BorderStyle();
        return b == bsDialog || b == bsSingle || b == bsToolWindow;
    }
    TCustomForm& form_;
};

}  // namespace

void RegisterFormPeers(TQtWidgetSet& set) {
    RegisterPeerOf<TCustomForm>(set, "TCustomForm", [](TQtWidgetSet& s, TCustomForm& f, QWidget*) {
        return std::make_unique<TFormPeer>(s, f, new TFormWidget);
    });
}

}  // namespace qx::qt
