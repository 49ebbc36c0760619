// Shared set-up of the Qt widget set tests: one QApplication, the Qt widget set installed
// around each test, a deadlock guard for modal loops, screenshots, and conversions.
#pragma once

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QTest>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "qx/platform/Grids.h"
#include "qx/platform/qt/QtWidgetSet.h"
#include "tests/support/TestSupport.h"

namespace qx::test {

inline QApplication& QtApp() {
    static int argc = 1;
    static char name[] = "qt_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);  // lives as long as the process
    return *app;
}

inline std::string ArtefactPath(const std::string& file) {
    const char* dir = std::getenv("QX_TEST_BINARY_DIR");
    return std::string(dir && *dir ? dir : ".") + "/" + file;
}

// Grabs `w` and saves the picture in the screenshot folder.
inline QImage Screenshot(QWidget* w, const std::string& file) {
    const QImage image = w->grab().toImage();
    EXPECT_TRUE(image.save(QString::fromStdString(ArtefactPath(file)))) << file;
    return image;
}

// The Qt widget of a control as W, or null.
template <class W = QWidget>
W* Widget(const TControl* c) {
    return qobject_cast<W*>(qx::qt::TQtWidgetSet::Widget(*c));
}

inline QRect ToQ(const TRect& r) {
    return {r.left, r.top, r.Width(), r.Height()};
}
inline TPoint ToT(QPoint p) {
    return {p.x(), p.y()};
}
// Code page 1252 text as Qt shows it: for letters from 0xA0 up it agrees with Latin-1, so the
// expectation does not go through the library's own conversion.
inline QString Latin1(const char* cp1252) {
    return QString::fromLatin1(cp1252);
}

// Pixels of `image` inside `r` for which `test` holds.
template <class Test>
int CountPixels(const QImage& image, const QRect& r, Test test) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += test(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}

// The visible top-level window with this object name, or null.
inline QWidget* TopLevel(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == name) return w;
    return nullptr;
}

// Types `text` into `w` as key events carrying the text (QTest's key clicks take ASCII only).
inline void TypeText(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &release);
    }
}

// Drives a grid's Qt widget as a person would: button-less moves before presses (the mouse is
// tracked), clicks, typing through the in-place editor, and the popup menu of a right click.
class TGridDriver {
  public:
    TGridDriver(TCustomGrid& grid, QAbstractScrollArea& area) : grid_(grid), area_(area) {}

    // Centre of a cell given in base-grid indices.
    QPoint Centre(int col, int row) const {
        const TRect r = grid_.CellRect(col, row);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void Move(QPoint at, Qt::MouseButtons buttons = Qt::NoButton) {
        QMouseEvent e(QEvent::MouseMove, at, area_.viewport()->mapToGlobal(at), Qt::NoButton,
                      buttons, Qt::NoModifier);
        QApplication::sendEvent(area_.viewport(), &e);
    }
    void Click(QPoint at) {
        Move(at);
        QTest::mouseClick(area_.viewport(), Qt::LeftButton, {}, at);
    }
    void Drag(QPoint from, QPoint to) {
        Move(from);
        QTest::mousePress(area_.viewport(), Qt::LeftButton, {}, from);
        Move((from + to) / 2, Qt::LeftButton);
        Move(to, Qt::LeftButton);
        QTest::mouseRelease(area_.viewport(), Qt::LeftButton, {}, to);
    }
    // Clicks the cell, types `text` (the first key opens the editor, which takes the focus),
    // ends with Return and paints.
    void Type(QPoint at, const char* text) {
        Click(at);
        ASSERT_NE(grid_.Options() & goEditing, 0u) << "one cell selected: editing on";
        QTest::keyClick(&area_, text[0]);
        ASSERT_TRUE(grid_.EditorMode());
        QWidget* editor = qx::qt::TQtWidgetSet::Widget(*grid_.InplaceEditor());
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, QString::fromLatin1(text + 1));
        QTest::keyClick(editor, Qt::Key_Return);
        area_.grab();
    }
    // Right-clicks at `at` and returns the texts of the menu's visible items. `inside` runs
    // while the menu is open (it may choose an item); without it the menu is closed. With a
    // `file`, the menu is saved over `background`.
    QStringList Popup(QPoint at, const char* file = nullptr, QWidget* background = nullptr,
                      std::function<void(QMenu&)> inside = nullptr) {
        QStringList items;
        QTimer::singleShot(0, QApplication::instance(), [&, file, background, inside] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) {
                ADD_FAILURE() << "no popup menu";
                return;
            }
            for (QAction* a : menu->actions())
                if (a->isVisible() && !a->isSeparator()) items << a->text();
            if (file && background) {
                QImage picture = background->grab().toImage();
                QPainter p(&picture);
                p.drawPixmap(background->mapFromGlobal(menu->pos()), menu->grab());
                p.end();
                EXPECT_TRUE(picture.save(QString::fromStdString(ArtefactPath(file))));
            }
            if (inside)
                inside(*menu);
            else
                menu->close();
        });
        Move(at);
        QTest::mouseClick(area_.viewport(), Qt::RightButton, {}, at);
        return items;
    }

  private:
    TCustomGrid& grid_;
    QAbstractScrollArea& area_;
};

class QtTest : public ErrorStateTest {
  protected:
    void SetUp() override {
        ErrorStateTest::SetUp();
        QtApp();
        qx::platform::SetWidgetSet(&set);
    }
    void TearDown() override {
        form.reset();  // its widgets go while the widget set is still installed
        qx::platform::SetWidgetSet(nullptr);
        ErrorStateTest::TearDown();
    }
    // Makes `form` with this object name and client size; shown by the caller.
    TForm& MakeForm(const char* name, int width, int height) {
        form = std::make_unique<TForm>(nullptr);
        form->SetName(name);
        form->SetCaption(name);
        form->SetClientWidth(width);
        form->SetClientHeight(height);
        return *form;
    }
    // Runs `step` from the event loop that a modal window is about to run.
    static void Later(std::function<void()> step) {
        QTimer::singleShot(0, QtApp().instance(), std::move(step));
    }

    qx::qt::TQtWidgetSet set;
    std::unique_ptr<TForm> form;
};

// Ends every modal window still open when it fires and reports it: a broken step must fail
// the test rather than block the run. Cancelled when it goes out of scope.
class TModalGuard {
  public:
    explicit TModalGuard(int ms = 30000) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [] {
            ADD_FAILURE() << "a modal window was still open: closed by the guard";
            while (QWidget* w = QApplication::activePopupWidget()) w->close();
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible()) w->close();
        });
        timer_.start(ms);
    }

  private:
    QTimer timer_;
};

}  // namespace qx::test
