#include "qx/platform/qt/QtWidgetSet.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <map>

#include "qx/platform/Codepage.h"
#include "qx/platform/Dialogs.h"
#include "qx/platform/Forms.h"
#include "qx/platform/Grids.h"
#include "qx/platform/Menus.h"
#include "qx/platform/qt/QtCanvas.h"
#include "qx/platform/qt/QtClipboard.h"
#include "qx/platform/qt/QtPeers.h"

namespace qx::qt {

namespace {

QString toQ(const std::string& s) { return QString::fromStdString(qx::platform::Cp1252ToUtf8(s)); }
std::string fromQ(const QString& s) { return qx::platform::Utf8ToCp1252(s.toStdString()); }

TShiftState shiftOf(Qt::KeyboardModifiers m, Qt::MouseButtons b = Qt::NoButton) {
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

// The framework's key code of a Qt key; 0 for keys it has none for.
unsigned short vkOf(int key) {
    switch (key) {
        case Qt::Key_Backspace: return VK_BACK;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return VK_TAB;
        case Qt::Key_Return:
        case Qt::Key_Enter: return VK_RETURN;
        case Qt::Key_Escape: return VK_ESCAPE;
        case Qt::Key_PageUp: return VK_PRIOR;
        case Qt::Key_PageDown: return VK_NEXT;
        case Qt::Key_End: return VK_END;
        case Qt::Key_Home: return VK_HOME;
        case Qt::Key_Left: return VK_LEFT;
        case Qt::Key_Up: return VK_UP;
        case Qt::Key_Right: return VK_RIGHT;
        case Qt::Key_Down: return VK_DOWN;
        case Qt::Key_Insert: return VK_INSERT;
        case Qt::Key_Delete: return VK_DELETE;
        case Qt::Key_Space: return 0x20;
        default: break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return static_cast<unsigned short>(0x70 + key - Qt::Key_F1);
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<unsigned short>(key);
    return 0;
}

// Sends a key press to the control's KeyDown and, for typed text, KeyPress. True when the
// control consumed it (set the key to 0).
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

template <class W>
class TLinked : public W, public TControlLink {
public:
    using W::W;
};

// A check box or radio button that reacts to a click anywhere on it, as the framework's do,
// not only on its mark and text.
template <class W>
class TWholeClick : public TLinked<W> {
public:
    using TLinked<W>::TLinked;

protected:
    bool hitButton(const QPoint& p) const override { return this->rect().contains(p); }
};

// ---------------------------------------------------------------------------- forms

class TFormWidget : public TLinked<QWidget> {
public:
    TFormWidget() : TLinked<QWidget>(nullptr, Qt::Window) {}

protected:
    void closeEvent(QCloseEvent* e) override {
        // The framework decides: a modal form ends with mrCancel, a modeless one hides.
        e->ignore();
        if (auto* f = dynamic_cast<TCustomForm*>(control)) f->Close();
    }
    void resizeEvent(QResizeEvent* e) override {
        QWidget::resizeEvent(e);
        auto* f = dynamic_cast<TCustomForm*>(control);
        // Only a sizeable form takes its size from the window.
        if (!f || !isVisible() || minimumSize() == maximumSize()) return;
        if (f->ClientWidth() == width() && f->ClientHeight() == height()) return;
        TControl::TPeerInput in(*f);
        f->SetBounds(f->Left(), f->Top(), width() + TCustomForm::kFrameWidth,
                     height() + TCustomForm::kFrameHeight);
    }
    void keyPressEvent(QKeyEvent* e) override {
        auto* f = dynamic_cast<TCustomForm*>(control);
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
    TFormPeer(TQtWidgetSet& set, TCustomForm& form, TFormWidget* w) : TQtPeer(set, form, w, w), form_(form) {}

protected:
    void applyBounds() override {
        const int x = form_.Left() + TCustomForm::kFrameWidth / 2;
        const int y = form_.Top() + TCustomForm::kFrameHeight - TCustomForm::kFrameWidth / 2;
        if (fixedSize()) widget_->setFixedSize(form_.ClientWidth(), form_.ClientHeight());
        else widget_->resize(form_.ClientWidth(), form_.ClientHeight());
        widget_->move(x, y);
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
            if (form_.BorderIcons() & biMaximize && !fixedSize()) flags |= Qt::WindowMaximizeButtonHint;
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

// ---------------------------------------------------------------------------- containers

// A container that paints itself through the control's PaintTo (panels, frames, custom
// controls) and shows a panel's caption and bevel.
class TPaintWidget : public TLinked<QFrame> {
public:
    using TLinked<QFrame>::TLinked;

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
            control->MouseDown(buttonOf(e->button()), shiftOf(e->modifiers(), e->buttons()), at.x(), at.y());
        }
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
                case bvNone: frame->setFrameStyle(QFrame::NoFrame); break;
                case bvLowered: frame->setFrameStyle(QFrame::Panel | QFrame::Sunken); break;
                case bvRaised: frame->setFrameStyle(QFrame::Panel | QFrame::Raised); break;
            }
        }
        widget_->update();
    }
};

class TGroupBoxPeer : public TQtPeer {
public:
    TGroupBoxPeer(TQtWidgetSet& set, TGroupBox& c, TLinked<QGroupBox>* w) : TQtPeer(set, c, w, w) {}

protected:
    void applyText() override { static_cast<QGroupBox*>(widget_.data())->setTitle(toQ(control_.Caption())); }
};

// ---------------------------------------------------------------------------- simple controls

class TLabelPeer : public TQtPeer {
public:
    TLabelPeer(TQtWidgetSet& set, TLabel& c, TLinked<QLabel>* w) : TQtPeer(set, c, w, w), label_(c) {}

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
    TButtonPeer(TQtWidgetSet& set, TButton& c, TLinked<QPushButton>* w) : TQtPeer(set, c, w, w), button_(c) {
        w->setAutoDefault(false);
        QObject::connect(w, &QPushButton::clicked, guard_.get(), [this] { Input([this] { button_.Click(); }); });
    }

protected:
    void applyText() override { static_cast<QPushButton*>(widget_.data())->setText(toQ(control_.Caption())); }
    void applyState() override { static_cast<QPushButton*>(widget_.data())->setDefault(button_.Default()); }
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
        QObject::connect(w, &QAbstractButton::clicked, guard_.get(), [this] { Input([this] { check_.Click(); }); });
    }

protected:
    void applyText() override { static_cast<QAbstractButton*>(widget_.data())->setText(toQ(control_.Caption())); }
    void applyState() override {
        if (!widget_) return;
        auto* b = static_cast<QAbstractButton*>(widget_.data());
        const QSignalBlocker block(b);
        b->setChecked(check_.Checked());
    }
    void applyColor() override {}

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
        if (auto* ud = dynamic_cast<TUpDown*>(&control_)) ud->Press(up ? btNext : btPrev);
        else if (auto* sb = dynamic_cast<TCSpinButton*>(&control_)) up ? sb->UpClick() : sb->DownClick();
    }
};

// ---------------------------------------------------------------------------- the grid

class TGridPeer;

class TGridWidget : public TLinked<QAbstractScrollArea> {
public:
    explicit TGridWidget(QWidget* parent) : TLinked<QAbstractScrollArea>(parent) {
        setFocusPolicy(Qt::StrongFocus);
        setFrameStyle(QFrame::NoFrame);
        viewport()->setAutoFillBackground(false);
    }
    TGridPeer* peer = nullptr;

protected:
    TCustomGrid* grid() const { return dynamic_cast<TCustomGrid*>(control); }
    void paintEvent(QPaintEvent*) override {
        TCustomGrid* g = grid();
        QPainter p(viewport());
        p.fillRect(viewport()->rect(), TQtCanvas::ToQColor(g ? g->Color() : clWindow));
        if (!g) return;
        TQtCanvas canvas(p);
        g->PaintTo(canvas);
    }
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int, int) override {}  // the grid scrolls by rows and columns
    bool focusNextPrevChild(bool next) override {
        // With goTabs the grid takes Tab itself.
        if (TCustomGrid* g = grid(); g && (g->Options() & goTabs)) return false;
        return QAbstractScrollArea::focusNextPrevChild(next);
    }
};

class TGridPeer : public TQtPeer {
public:
    TGridPeer(TQtWidgetSet& set, TCustomGrid& grid, TGridWidget* w) : TQtPeer(set, grid, w, w), grid_(grid) {
        w->peer = this;
        QObject::connect(w->verticalScrollBar(), &QScrollBar::valueChanged, guard_.get(),
                         [this](int v) { grid_.SetTopRow(v); afterInput(); });
        QObject::connect(w->horizontalScrollBar(), &QScrollBar::valueChanged, guard_.get(),
                         [this](int v) { grid_.SetLeftCol(v); afterInput(); });
    }
    ~TGridPeer() override {
        if (auto* w = static_cast<TGridWidget*>(widget_.data())) w->peer = nullptr;
    }
    QWidget* Host() const override { return static_cast<QAbstractScrollArea*>(widget_.data())->viewport(); }
    void Invalidate() override {
        if (!widget_) return;
        static_cast<QAbstractScrollArea*>(widget_.data())->viewport()->update();
        hostEditor();
    }
    // After the grid handled input: scroll bars follow, a new in-place editor gets its peer.
    void afterInput() {
        updateScrollBars();
        hostEditor();
    }
    void updateScrollBars() {
        if (!widget_ || updating_) return;
        updating_ = true;
        auto* w = static_cast<QAbstractScrollArea*>(widget_.data());
        // A bar is shown when the cells do not fit beside the other bar; the grid is told the
        // room they take, so that its last page ends above and left of them.
        const int ext = w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w);
        const int rows = total(grid_.RowCount(), [this](int i) { return grid_.RowHeights(i); });
        const int cols = total(grid_.ColCount(), [this](int i) { return grid_.ColWidths(i); });
        const int width = grid_.Width(), height = grid_.Height();
        bool horz = cols > width, vert = rows > height - (horz ? ext : 0);
        horz = cols > width - (vert ? ext : 0);
        vert = rows > height - (horz ? ext : 0);
        w->setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        w->setHorizontalScrollBarPolicy(horz ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        grid_.SetScrollBarSpace(vert ? ext : 0, horz ? ext : 0);
        setRanges(w);
        updating_ = false;
    }

private:
    void setRanges(QAbstractScrollArea* w) {
        setBar(w->verticalScrollBar(), grid_.FixedRows(), grid_.RowCount(), grid_.TopRow(),
               grid_.VisibleRowCount(), fitFromEnd(grid_.RowCount(), grid_.FixedRows(), grid_.ClientHeight(),
                                                   [this](int i) { return grid_.RowHeights(i); }));
        setBar(w->horizontalScrollBar(), grid_.FixedCols(), grid_.ColCount(), grid_.LeftCol(),
               grid_.VisibleColCount(), fitFromEnd(grid_.ColCount(), grid_.FixedCols(), grid_.ClientWidth(),
                                                   [this](int i) { return grid_.ColWidths(i); }));
        const bool track = grid_.Options() & goThumbTracking;
        w->verticalScrollBar()->setTracking(track);
        w->horizontalScrollBar()->setTracking(track);
    }

public:
    void applyContent() override {
        updateScrollBars();
        Invalidate();
    }
    void applyState() override { applyContent(); }
    void applyColor() override { Invalidate(); }
    void applyFont() override { Invalidate(); }

private:
    // The size of all rows (columns) with their lines; the last line may be cut.
    template <class Size>
    static int total(int count, Size size) {
        int sum = -TCustomGrid::kGridLineWidth;
        for (int i = 0; i < count; ++i) sum += size(i) + TCustomGrid::kGridLineWidth;
        return sum;
    }
    // How many scrolled rows (columns) fit wholly when the last one is shown at the end.
    template <class Size>
    static int fitFromEnd(int count, int fixed, int client, Size size) {
        int room = client;
        for (int i = 0; i < fixed; ++i) room -= size(i) + TCustomGrid::kGridLineWidth;
        int n = 0;
        for (int i = count - 1; i >= fixed; --i) {
            room -= size(i) + TCustomGrid::kGridLineWidth;
            if (room < -TCustomGrid::kGridLineWidth) break;
            ++n;
        }
        return std::max(1, n);
    }
    static void setBar(QScrollBar* bar, int fixed, int count, int first, int visible, int fit) {
        const QSignalBlocker block(bar);
        bar->setRange(fixed, std::max(fixed, count - fit));
        bar->setPageStep(std::max(1, visible));
        bar->setSingleStep(1);
        bar->setValue(first);
    }
    void hostEditor();

    TCustomGrid& grid_;
    bool updating_ = false;
};

void TGridWidget::mousePressEvent(QMouseEvent* e) {
    if (TCustomGrid* g = grid()) {
        const QPoint at = e->position().toPoint();
        g->MouseDown(buttonOf(e->button()), shiftOf(e->modifiers(), e->buttons()), at.x(), at.y());
        if (peer) peer->afterInput();
    }
}
void TGridWidget::mouseMoveEvent(QMouseEvent* e) {
    if (TCustomGrid* g = grid()) {
        const QPoint at = e->position().toPoint();
        g->MouseMove(shiftOf(e->modifiers(), e->buttons()), at.x(), at.y());
        if (peer) peer->afterInput();
    }
}
void TGridWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (TCustomGrid* g = grid()) {
        const QPoint at = e->position().toPoint();
        g->MouseUp(buttonOf(e->button()), shiftOf(e->modifiers(), e->buttons()), at.x(), at.y());
        if (peer) peer->afterInput();
        // The framework opens a control's popup menu on a right click.
        if (g && e->button() == Qt::RightButton && g->PopupMenu()) {
            const TPoint p = g->ClientToScreen({at.x(), at.y()});
            g->PopupMenu()->SetPopupComponent(g);
            g->PopupMenu()->Popup(p.x, p.y);
        }
    }
}
void TGridWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (TCustomGrid* g = grid()) {
        mousePressEvent(e);
        g->DblClick();
        if (peer) peer->afterInput();
    }
}
void TGridWidget::keyPressEvent(QKeyEvent* e) {
    if (TCustomGrid* g = grid()) {
        routeKey(*g, e);
        if (peer) peer->afterInput();
        return;
    }
    QAbstractScrollArea::keyPressEvent(e);
}
void TGridWidget::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    if (peer) peer->updateScrollBars();
}

// ---------------------------------------------------------------------------- menus

void buildMenu(QMenu& menu, TMenuItem& items, std::map<QAction*, TMenuItem*>& map) {
    for (int i = 0; i < items.Count(); ++i) {
        TMenuItem* item = items.Items(i);
        if (!item->Visible()) continue;
        if (item->IsLine()) {
            menu.addSeparator();
            continue;
        }
        if (item->Count() > 0) {
            QMenu* sub = menu.addMenu(toQ(item->Caption()));
            sub->setEnabled(item->Enabled());
            buildMenu(*sub, *item, map);
            continue;
        }
        QAction* a = menu.addAction(toQ(item->Caption()));
        a->setEnabled(item->Enabled());
        if (item->Checked()) {
            a->setCheckable(true);
            a->setChecked(true);
        }
        map[a] = item;
    }
}

// "Text|*.txt;*.text|All|*.*" as Qt name filters: "Text (*.txt *.text)", "All (*)".
QStringList nameFilters(const std::string& filter) {
    QStringList parts = toQ(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        }
        out << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------- TQtPeer

QWidget* ParentHost(const TControl& control) {
    TWinControl* parent = control.Parent();
    auto* peer = parent ? dynamic_cast<TQtPeer*>(parent->Peer()) : nullptr;
    return peer ? peer->Host() : nullptr;
}

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
    // Later, not now: the peer may go while one of the widget's own handlers runs.
    widget_->hide();
    widget_->deleteLater();
}

void TQtPeer::Changed(unsigned what) {
    if (!widget_) return;
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

void TQtPeer::SetFocus() {
    if (widget_) widget_->setFocus();
}

void TQtPeer::applyBounds() {
    widget_->setGeometry(control_.Left(), control_.Top(), control_.Width(), control_.Height());
}

void TQtPeer::applyVisible() { widget_->setVisible(control_.Visible()); }

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

void TGridPeer::hostEditor() {
    TInplaceEdit* editor = grid_.InplaceEditor();
    if (editor && !editor->Peer()) set_.Realize(*editor);
}

// ---------------------------------------------------------------------------- TQtWidgetSet

TQtWidgetSet::TQtWidgetSet() : clipboard_(std::make_unique<TQtClipboard>()) {}
TQtWidgetSet::~TQtWidgetSet() = default;

QWidget* TQtWidgetSet::Widget(const TControl& control) {
    auto* peer = dynamic_cast<TQtPeer*>(control.Peer());
    return peer ? peer->Widget() : nullptr;
}

std::unique_ptr<TControlPeer> TQtWidgetSet::CreatePeer(TControl& c) {
    if (!QApplication::instance()) return nullptr;
    QWidget* parent = ParentHost(c);
    if (auto* f = dynamic_cast<TCustomForm*>(&c)) {
        auto* w = new TFormWidget;
        return std::make_unique<TFormPeer>(*this, *f, w);
    }
    if (auto* g = dynamic_cast<TCustomGrid*>(&c))
        return std::make_unique<TGridPeer>(*this, *g, new TGridWidget(parent));
    if (dynamic_cast<TCSpinButton*>(&c) || dynamic_cast<TUpDown*>(&c))
        return std::make_unique<TArrowsPeer>(*this, static_cast<TWinControl&>(c), new TArrowsWidget(parent));
    if (auto* e = dynamic_cast<TEdit*>(&c)) return std::make_unique<TEditPeer>(*this, *e, new TLineEdit(parent));
    if (auto* r = dynamic_cast<TRadioButton*>(&c)) {
        auto* w = new TWholeClick<QRadioButton>(parent);
        return std::make_unique<TCheckPeer>(*this, *r, w, w);
    }
    if (auto* cb = dynamic_cast<TCheckBox*>(&c)) {
        auto* w = new TWholeClick<QCheckBox>(parent);
        return std::make_unique<TCheckPeer>(*this, *cb, w, w);
    }
    if (auto* b = dynamic_cast<TButton*>(&c))
        return std::make_unique<TButtonPeer>(*this, *b, new TLinked<QPushButton>(parent));
    if (auto* gb = dynamic_cast<TGroupBox*>(&c))
        return std::make_unique<TGroupBoxPeer>(*this, *gb, new TLinked<QGroupBox>(parent));
    if (auto* cc = dynamic_cast<TCustomControl*>(&c))
        return std::make_unique<TPanelPeer>(*this, *cc, new TPaintWidget(parent));
    if (auto* l = dynamic_cast<TLabel*>(&c))
        return std::make_unique<TLabelPeer>(*this, *l, new TLinked<QLabel>(parent));
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

int TQtWidgetSet::MessageBox(const std::string& text, const std::string& caption, int flags) {
    if (!QApplication::instance()) return qx::platform::DefaultMessageBoxResult(flags);
    QMessageBox box;
    box.setWindowTitle(toQ(caption));
    box.setText(toQ(text));
    switch (flags & 0xF0) {
        case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
        case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
        case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
        case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
        default: break;
    }
    struct B { QMessageBox::StandardButton qt; int id; };
    std::vector<B> buttons;
    switch (flags & 0xF) {
        case MB_OKCANCEL: buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
        case 0x2: buttons = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}}; break;
        case MB_YESNOCANCEL: buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}}; break;
        case MB_YESNO: buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
        case 0x5: buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}; break;
        default: buttons = {{QMessageBox::Ok, IDOK}}; break;
    }
    QMessageBox::StandardButtons set;
    for (const B& b : buttons) set |= b.qt;
    box.setStandardButtons(set);
    box.setDefaultButton(buttons.front().qt);
    if (flags & (MB_SYSTEMMODAL | MB_TASKMODAL)) box.setWindowModality(Qt::ApplicationModal);
    const int chosen = box.exec();
    for (const B& b : buttons)
        if (chosen == b.qt) return b.id;
    // Closed without a button: Cancel where there is one, else the only answer.
    for (const B& b : buttons)
        if (b.id == IDCANCEL) return IDCANCEL;
    return buttons.size() == 1 ? buttons.front().id : IDNO;
}

int TQtWidgetSet::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
    if (!QApplication::instance()) return qx::platform::DefaultMessageDlgResult(buttons);
    QMessageBox box;
    static const char* const titles[] = {"Warning", "Error", "Information", "Confirmation", ""};
    const QMessageBox::Icon icons[] = {QMessageBox::Warning, QMessageBox::Critical,
                                       QMessageBox::Information, QMessageBox::Question,
                                       QMessageBox::NoIcon};
    const int t = std::clamp(static_cast<int>(type), 0, 4);
    box.setWindowTitle(QString::fromLatin1(titles[t]));
    box.setIcon(icons[t]);
    box.setText(toQ(text));
    struct B { TMsgDlgBtn bit; QMessageBox::StandardButton qt; int result; };
    static const B all[] = {{mbYes, QMessageBox::Yes, mrYes},          {mbNo, QMessageBox::No, mrNo},
                            {mbOK, QMessageBox::Ok, mrOk},             {mbCancel, QMessageBox::Cancel, mrCancel},
                            {mbAbort, QMessageBox::Abort, mrAbort},    {mbRetry, QMessageBox::Retry, mrRetry},
                            {mbIgnore, QMessageBox::Ignore, mrIgnore}, {mbAll, QMessageBox::YesToAll, mrAll}};
    QMessageBox::StandardButtons set;
    for (const B& b : all)
        if (buttons & b.bit) set |= b.qt;
    if (!set) set = QMessageBox::Ok;
    box.setStandardButtons(set);
    const int chosen = box.exec();
    for (const B& b : all)
        if (chosen == b.qt) return b.result;
    return (buttons & mbCancel) ? mrCancel : qx::platform::DefaultMessageDlgResult(buttons);
}

bool TQtWidgetSet::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    if (!QApplication::instance()) return false;
    QInputDialog dlg;
    dlg.setWindowTitle(toQ(caption));
    dlg.setLabelText(toQ(prompt));
    dlg.setInputMode(QInputDialog::TextInput);
    dlg.setTextValue(toQ(value));
    if (dlg.exec() != QDialog::Accepted) return false;
    value = fromQ(dlg.textValue());
    return true;
}

qx::platform::TClipboardService& TQtWidgetSet::Clipboard() { return *clipboard_; }

TMenuItem* TQtWidgetSet::PopupMenu(TPopupMenu& menu, TPoint at) {
    if (!QApplication::instance()) return nullptr;
    QMenu qmenu;
    std::map<QAction*, TMenuItem*> map;
    buildMenu(qmenu, *menu.Items(), map);
    if (map.empty() && qmenu.actions().isEmpty()) return nullptr;
    QAction* chosen = qmenu.exec(QPoint(at.x, at.y));
    auto it = map.find(chosen);
    return it == map.end() ? nullptr : it->second;
}

bool TQtWidgetSet::FileDialog(TOpenDialog& dialog) {
    if (!QApplication::instance()) return false;
    QFileDialog dlg;
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    // The framework asks about overwriting and read-only files itself.
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
    dlg.setWindowTitle(toQ(dialog.Title()));
    dlg.setAcceptMode(dialog.IsSaveDialog() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(dialog.IsSaveDialog() || !(dialog.Options() & ofFileMustExist) ? QFileDialog::AnyFile
                                                                                    : QFileDialog::ExistingFile);
    const QStringList filters = nameFilters(dialog.Filter());
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        const int index = std::clamp(dialog.FilterIndex(), 1, static_cast<int>(filters.size()));
        dlg.selectNameFilter(filters[index - 1]);
    }
    std::string ext = dialog.DefaultExt();
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    if (!ext.empty()) dlg.setDefaultSuffix(toQ(ext));
    if (!dialog.InitialDir().empty()) dlg.setDirectory(toQ(dialog.InitialDir()));
    if (!dialog.FileName().empty()) dlg.selectFile(toQ(dialog.FileName()));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
    dialog.SetFileName(fromQ(dlg.selectedFiles().front()));
    const qsizetype chosen = filters.indexOf(dlg.selectedNameFilter());
    if (chosen >= 0) dialog.SetFilterIndex(static_cast<int>(chosen) + 1);
    return true;
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

}  // namespace qx::qt
