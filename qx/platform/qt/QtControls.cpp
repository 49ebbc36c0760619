// Simple controls and containers: panels and other self-painting controls, group boxes,
// labels, edits, buttons, check and radio boxes, up/downs and spin buttons.
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "qx/platform/Grids.h"
#include "qx/platform/qt/QtCanvas.h"
#include "qx/platform/qt/internal/QtPeers.h"

namespace qx::qt {

namespace {

// A check box or radio button that reacts to a click anywhere on it, as the framework's do,
// not only on its mark and text.
template <class W>
class TWholeClick : public TLinked<W> {
  public:
    using TLinked<W>::TLinked;

  protected:
    bool hitButton(const QPoint& p) const override { return this->rect().contains(p); }
};

// ---------------------------------------------------------------------------- containers

// A container that paints itself through the control's PaintTo (panels, frames, custom
// controls) and shows a panel's caption and bevel.
class TPaintWidget : public TLinked<QFrame> {
  public:
    explicit TPaintWidget(QWidget* parent) : TLinked<QFrame>(parent) {
        // Moves without a pressed button reach MouseMove too.
        setMouseTracking(true);
    }

  protected:
    void paintEvent(QPaintEvent* e) override {
        QFrame::paintEvent(e);
        auto* c = dynamic_cast<TCustomControl*>(control);
        if (!c) return;
        QPainter p(this);
        if (auto* panel = dynamic_cast<TPanel*>(c); panel && !panel->Caption().empty()) {
            p.setFont(font());
            p.setPen(TQtCanvas::ToQColor(panel->Font().Color));
            const int align = panel->Alignment() == taLeftJustify    ? Qt::AlignLeft
                              : panel->Alignment() == taRightJustify ? Qt::AlignRight
                                                                     : Qt::AlignHCenter;
            p.drawText(contentsRect(), align | Qt::AlignVCenter, toQ(panel->Caption()));
        }
        TQtCanvas canvas(p);
        c->PaintTo(canvas);
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (control) {
            const QPoint at = e->position().toPoint();
            control->MouseDown(buttonOf(e->button()), shiftOf(e->modifiers(), e->buttons()), at.x(),
                               at.y());
        }
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (!control) return;
        const QPoint at = e->position().toPoint();
        control->MouseMove(shiftOf(e->modifiers(), e->buttons()), at.x(), at.y());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (!control) return;
        const QPoint at = e->position().toPoint();
        TControl* c = control;
        c->MouseUp(buttonOf(e->button()), shiftOf(e->modifiers(), e->buttons()), at.x(), at.y());
        if (rect().contains(at) && e->button() == Qt::LeftButton) c->Click();
    }
};

class TPanelPeer : public TQtPeer {
  public:
    TPanelPeer(TQtWidgetSet& set, TCustomControl& c, TPaintWidget* w) : TQtPeer(set, c, w, w) {}

  protected:
    void applyText() override { widget_->update(); }
    void applyState() override {
        auto* frame = static_cast<QFrame*>(widget_.data());
        if (auto* panel = dynamic_cast<TPanel*>(&control_)) {
            switch (panel->BevelOuter()) {
                case bvNone:
                    frame->setFrameStyle(QFrame::NoFrame);
                    break;
                case bvLowered:
                    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                    break;
                case bvRaised:
                    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
                    break;
            }
        }
        widget_->update();
    }
};

class TGroupBoxPeer : public TQtPeer {
  public:
    TGroupBoxPeer(TQtWidgetSet& set, TGroupBox& c, TLinked<QGroupBox>* w) : TQtPeer(set, c, w, w) {}

  protected:
    void applyText() override {
        static_cast<QGroupBox*>(widget_.data())->setTitle(toQ(control_.Caption()));
    }
};

// ---------------------------------------------------------------------------- simple controls

class TLabelPeer : public TQtPeer {
  public:
    TLabelPeer(TQtWidgetSet& set, TLabel& c, TLinked<QLabel>* w)
        : TQtPeer(set, c, w, w), label_(c) {}

  protected:
    void applyText() override {
        static_cast<QLabel*>(widget_.data())->setText(toQ(control_.Caption()));
        applyBounds();
    }
    void applyBounds() override {
        // An auto-sized label is measured by the framework with its own metric; let the
        // widget grow to what the real font needs rather than cut the text.
        QSize size(control_.Width(), control_.Height());
        if (label_.AutoSize()) size = size.expandedTo(widget_->sizeHint());
        widget_->setGeometry(control_.Left(), control_.Top(), size.width(), size.height());
    }
    void applyColor() override {}  // labels show their parent's background

  private:
    TLabel& label_;
};

class TLineEdit : public TLinked<QLineEdit> {
  public:
    using TLinked<QLineEdit>::TLinked;

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        QPointer<TLineEdit> self(this);
        if (control && routeKey(*control, e)) return;
        if (self && self->control) QLineEdit::keyPressEvent(e);
    }
};

class TEditPeer : public TQtPeer {
  public:
    TEditPeer(TQtWidgetSet& set, TEdit& c, TLineEdit* w) : TQtPeer(set, c, w, w), edit_(c) {
        if (dynamic_cast<TInplaceEdit*>(&c)) w->setFrame(false);
        QObject::connect(w, &QLineEdit::textEdited, guard_.get(), [this](const QString& s) {
            // A refused edit (read-only) does not stay on screen: Input shows the control's text.
            Input([&] { edit_.UserInput(fromQ(s)); });
        });
    }

  protected:
    QLineEdit* lineEdit() const { return static_cast<QLineEdit*>(widget_.data()); }
    void applyText() override {
        const QString t = toQ(edit_.Text());
        if (lineEdit()->text() != t) lineEdit()->setText(t);
    }
    void applyState() override { lineEdit()->setReadOnly(edit_.ReadOnly()); }
    void applyColor() override {
        QPalette pal = widget_->palette();
        pal.setColor(QPalette::Base, TQtCanvas::ToQColor(control_.Color()));
        widget_->setPalette(pal);
    }

  private:
    TEdit& edit_;
};

class TButtonPeer : public TQtPeer {
  public:
    TButtonPeer(TQtWidgetSet& set, TButton& c, TLinked<QPushButton>* w)
        : TQtPeer(set, c, w, w), button_(c) {
        w->setAutoDefault(false);
        QObject::connect(w, &QPushButton::clicked, guard_.get(),
                         [this] { Input([this] { button_.Click(); }); });
    }

  protected:
    void applyText() override {
        static_cast<QPushButton*>(widget_.data())->setText(toQ(control_.Caption()));
    }
    void applyState() override {
        static_cast<QPushButton*>(widget_.data())->setDefault(button_.Default());
    }
    void applyColor() override {}

  private:
    TButton& button_;
};

// Check boxes and radio buttons: the framework keeps the state (and a radio group's
// exclusivity); the widget only reports the user's click.
class TCheckPeer : public TQtPeer {
  public:
    TCheckPeer(TQtWidgetSet& set, TCheckBox& c, QAbstractButton* w, TControlLink* link)
        : TQtPeer(set, c, w, link), check_(c) {
        w->setCheckable(true);
        w->setAutoExclusive(false);
        // The framework may decide otherwise than the widget: Input shows its state after.
        QObject::connect(w, &QAbstractButton::clicked, guard_.get(),
                         [this] { Input([this] { check_.Click(); }); });
    }

  protected:
    void applyText() override {
        static_cast<QAbstractButton*>(widget_.data())->setText(toQ(control_.Caption()));
    }
    void applyState() override {
        if (!widget_) return;
        auto* b = static_cast<QAbstractButton*>(widget_.data());
        const QSignalBlocker block(b);
        b->setChecked(check_.Checked());
    }
    void applyColor() override {
        // Check and radio boxes show the face colour of their parent unless given one of
        // their own, as colour choosers are.
        if (control_.Color() == clBtnFace) {
            widget_->setAutoFillBackground(false);
            return;
        }
        QPalette pal = widget_->palette();
        pal.setColor(widget_->backgroundRole(), TQtCanvas::ToQColor(control_.Color()));
        widget_->setPalette(pal);
        widget_->setAutoFillBackground(true);
    }

  private:
    TCheckBox& check_;
};

// Two arrow buttons: up/downs and the button of a spin edit.
class TArrowsWidget : public TLinked<QWidget> {
  public:
    explicit TArrowsWidget(QWidget* parent) : TLinked<QWidget>(parent) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        up = new QToolButton(this);
        down = new QToolButton(this);
        up->setArrowType(Qt::UpArrow);
        down->setArrowType(Qt::DownArrow);
        for (QToolButton* b : {up, down}) {
            b->setAutoRepeat(true);
            b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            b->setFocusPolicy(Qt::NoFocus);
            layout->addWidget(b);
        }
    }
    QToolButton* up;
    QToolButton* down;
};

class TArrowsPeer : public TQtPeer {
  public:
    TArrowsPeer(TQtWidgetSet& set, TWinControl& c, TArrowsWidget* w) : TQtPeer(set, c, w, w) {
        QObject::connect(w->up, &QToolButton::clicked, guard_.get(), [this] { step(true); });
        QObject::connect(w->down, &QToolButton::clicked, guard_.get(), [this] { step(false); });
    }

  protected:
    void applyBounds() override {
        // A spin edit's button sits inside the edit's right edge, wherever the control says.
        if (auto* spin = dynamic_cast<TCSpinEdit*>(control_.Parent())) {
            const int w = control_.Width(), h = spin->Height();
            widget_->setGeometry(spin->Width() - w, 0, w, h);
            return;
        }
        TQtPeer::applyBounds();
    }
    void applyColor() override {}

  private:
    void step(bool up) {
        if (auto* ud = dynamic_cast<TUpDown*>(&control_))
            ud->Press(up ? btNext : btPrev);
        else if (auto* sb = dynamic_cast<TCSpinButton*>(&control_))
            up ? sb->UpClick() : sb->DownClick();
    }
};

}  // namespace

void RegisterControlPeers(TQtWidgetSet& set) {
    RegisterPeerOf<TCustomControl>(
        set, "TCustomControl", [](TQtWidgetSet& s, TCustomControl& c, QWidget* parent) {
            return std::make_unique<TPanelPeer>(s, c, new TPaintWidget(parent));
        });
    RegisterPeerOf<TGroupBox>(set, "TGroupBox", [](TQtWidgetSet& s, TGroupBox& c, QWidget* parent) {
        return std::make_unique<TGroupBoxPeer>(s, c, new TLinked<QGroupBox>(parent));
    });
    RegisterPeerOf<TLabel>(set, "TLabel", [](TQtWidgetSet& s, TLabel& c, QWidget* parent) {
        return std::make_unique<TLabelPeer>(s, c, new TLinked<QLabel>(parent));
    });
    RegisterPeerOf<TEdit>(set, "TEdit", [](TQtWidgetSet& s, TEdit& c, QWidget* parent) {
        return std::make_unique<TEditPeer>(s, c, new TLineEdit(parent));
    });
    RegisterPeerOf<TButton>(set, "TButton", [](TQtWidgetSet& s, TButton& c, QWidget* parent) {
        return std::make_unique<TButtonPeer>(s, c, new TLinked<QPushButton>(parent));
    });
    RegisterPeerOf<TCheckBox>(set, "TCheckBox", [](TQtWidgetSet& s, TCheckBox& c, QWidget* parent) {
        auto* w = new TWholeClick<QCheckBox>(parent);
        return std::make_unique<TCheckPeer>(s, c, w, w);
    });
    RegisterPeerOf<TRadioButton>(set, "TRadioButton",
                                 [](TQtWidgetSet& s, TRadioButton& c, QWidget* parent) {
                                     auto* w = new TWholeClick<QRadioButton>(parent);
                                     return std::make_unique<TCheckPeer>(s, c, w, w);
                                 });
    auto arrows = [](TQtWidgetSet& s, TWinControl& c, QWidget* parent) {
        return std::make_unique<TArrowsPeer>(s, c, new TArrowsWidget(parent));
    };
    RegisterPeerOf<TUpDown>(set, "TUpDown", arrows);
    RegisterPeerOf<TCSpinButton>(set, "TCSpinButton", arrows);
}

}  // namespace qx::qt
