// Shared set-up of the Qt widget set tests: one QApplication, the Qt widget set installed
// around each test, a deadlock guard for modal loops, and the folder screenshots go to.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

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

class QtTest : public ErrorStateTest {
protected:
    void SetUp() override {
        ErrorStateTest::SetUp();
        QtApp();
        qx::platform::SetWidgetSet(&set);
    }
    void TearDown() override {
        qx::platform::SetWidgetSet(nullptr);
        ErrorStateTest::TearDown();
    }
    // Runs `step` from the event loop that a modal window is about to run.
    static void Later(std::function<void()> step) { QTimer::singleShot(0, QtApp().instance(), std::move(step)); }

    qx::qt::TQtWidgetSet set;
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
