// The grid as one scrolling widget: the grid paints, hit-tests and edits itself; the widget
// scrolls by rows and columns and forwards input.
#include <QAbstractScrollArea>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QStyle>

#include "qx/platform/Grids.h"
#include "qx/platform/qt/QtCanvas.h"
#include "qx/platform/qt/internal/QtPeers.h"

namespace qx::qt {

namespace {

class TGridPeer;

class TGridWidget : public TLinked<QAbstractScrollArea> {
  public:
    explicit TGridWidget(QWidget* parent) : TLinked<QAbstractScrollArea>(parent) {
        setFocusPolicy(Qt::StrongFocus);
        setFrameStyle(QFrame::NoFrame);
        viewport()->setAutoFillBackground(false);
        // Moves without a pressed button reach MouseMove too.
        viewport()->setMouseTracking(true);
    }
    TGridPeer* peer = nullptr;

  protected:
    TCustomGrid* grid() const { return dynamic_cast<TCustomGrid*>(control); }
    void paintEvent(QPaintEvent* e) override {
        TCustomGrid* g = grid();
        const QRect r = e->rect();
        QPainter p(viewport());
        p.fillRect(r, TQtCanvas::ToQColor(g ? g->Color() : clWindow));
        if (!g) return;
        TQtCanvas canvas(p);
        g->PaintTo(canvas, TRect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()});
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
    TGridPeer(TQtWidgetSet& set, TCustomGrid& grid, TGridWidget* w)
        : TQtPeer(set, grid, w, w), grid_(grid) {
        w->peer = this;
        QObject::connect(w->verticalScrollBar(), &QScrollBar::valueChanged, guard_.get(),
                         [this](int v) {
                             grid_.SetTopRow(v);
                             afterInput();
                         });
        QObject::connect(w->horizontalScrollBar(), &QScrollBar::valueChanged, guard_.get(),
                         [this](int v) {
                             grid_.SetLeftCol(v);
                             afterInput();
                         });
    }
    ~TGridPeer() override {
        if (auto* w = static_cast<TGridWidget*>(widget_.data())) w->peer = nullptr;
    }
    QWidget* Host() const override { return area()->viewport(); }
    void Invalidate() override {
        if (!widget_ || pending_) return;  // the pending update repaints everything
        area()->viewport()->update();
        hostEditor();
    }
    void InvalidateRect(const TRect& r) override {
        if (!widget_ || pending_) return;
        area()->viewport()->update(QRect(r.left, r.top, r.Width(), r.Height()));
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
        QAbstractScrollArea* w = area();
        // A bar is shown when the cells do not fit beside the other bar; the grid is told the
        // room they take, so that its last page ends above and left of them.
        const int ext = w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w);
        const int rows = grid_.RowAxis().Total(), cols = grid_.ColAxis().Total();
        const int width = grid_.Width(), height = grid_.Height();
        bool horz = cols > width, vert = rows > height - (horz ? ext : 0);
        horz = cols > width - (vert ? ext : 0);
        vert = rows > height - (horz ? ext : 0);
        w->setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        w->setHorizontalScrollBarPolicy(horz ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        grid_.SetScrollBarSpace(vert ? ext : 0, horz ? ext : 0);
        setBar(w->verticalScrollBar(), grid_.RowAxis(), grid_.ClientHeight());
        setBar(w->horizontalScrollBar(), grid_.ColAxis(), grid_.ClientWidth());
        const bool track = grid_.Options() & goThumbTracking;
        w->verticalScrollBar()->setTracking(track);
        w->horizontalScrollBar()->setTracking(track);
        updating_ = false;
    }

  protected:
    // The first few changes between two turns of the event loop are shown at once; a burst
    // beyond them (a loop setting every row's height, say) is shown once, when the loop next
    // runs, so that per-change work does not multiply with the table.
    void applyContent() override {
        if (!widget_) return;
        if (pending_) return;
        if (burst_ < kChangesShownAtOnce) {
            if (burst_++ == 0) QTimer::singleShot(0, guard_.get(), [this] { burst_ = 0; });
            updateScrollBars();
            Invalidate();
            return;
        }
        pending_ = true;
        QTimer::singleShot(0, guard_.get(), [this] {
            pending_ = false;
            burst_ = 0;
            updateScrollBars();
            Invalidate();
        });
    }
    void applyState() override { applyContent(); }
    void applyColor() override { Invalidate(); }
    void applyFont() override { Invalidate(); }

  private:
    static constexpr int kChangesShownAtOnce = 16;
    int burst_ = 0;
    bool pending_ = false;
    QAbstractScrollArea* area() const { return static_cast<QAbstractScrollArea*>(widget_.data()); }
    // From the fixed entries to the start of the last full page, a page at a time.
    static void setBar(QScrollBar* bar, const qx::platform::TGridAxis& axis, int extent) {
        const QSignalBlocker block(bar);
        bar->setRange(axis.Fixed(), std::max(axis.Fixed(), axis.LastPageStart(extent)));
        bar->setPageStep(std::max(1, axis.VisibleCount(extent)));
        bar->setSingleStep(1);
        bar->setValue(axis.First());
    }
    void hostEditor() {
        TInplaceEdit* editor = grid_.InplaceEditor();
        if (editor && !editor->Peer()) set_.Realize(*editor);
    }

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
    // The grid opens its popup menu itself (TControl::MouseUp).
    if (TCustomGrid* g = grid()) {
        const QPoint at = e->position().toPoint();
        g->MouseUp(buttonOf(e->button()), shiftOf(e->modifiers(), e->buttons()), at.x(), at.y());
        if (peer) peer->afterInput();
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

}  // namespace

void RegisterGridPeers(TQtWidgetSet& set) {
    auto make = [](TQtWidgetSet& s, TCustomGrid& g, QWidget* parent) {
        return std::make_unique<TGridPeer>(s, g, new TGridWidget(parent));
    };
    RegisterPeerOf<TCustomGrid>(set, "TCustomGrid", make);
}

}  // namespace qx::qt
