// Installs the Qt widget set and shows the README's table window (a TQxTableFrame in a form)
// through the installed headers and libraries; run with QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <string>

#include "qx/platform/qt/QtWidgetSet.h"
#include "qx/qx.h"

namespace {
// --- the README's table window, word for word
// Shows the binary table file `file` in a window; the frame's popup menu does the rest.
int showTable(const char* file) {
    TForm form(nullptr);
    form.SetCaption("Tabelle");
    form.SetBounds(0, 0, 640, 480);
    auto* frame = MakeChild<TQxTableFrame>(&form, &form, "Table");
    frame->SetAlign(alClient);
    frame->vPermitChangeColumn(true);  // the file brings its own columns
    try {
        frame->vReadFile(file, false);
    } catch (...) {
        QX_SHOW();
    }
    return form.ShowModal();
}
// --- end

// The example table's file, written into `dir`.
std::string writeExample(const QString& dir) {
    const QString here = QDir::currentPath();
    QDir::setCurrent(dir);
    {
        TForm form(nullptr);
        MakeChild<TQxTableFrame>(&form, &form, "Example")->vCreateTestTable();
    }
    QDir::setCurrent(here);
    return QDir(dir).filePath("TableTest.tbl").toStdString();
}

// Whether `window` is the table window with its grid shown.
bool showsTable(QWidget& window) {
    if (window.windowTitle() != "Tabelle") return false;
    for (QWidget* w : window.findChildren<QWidget*>())
        if (w->objectName() == "StringGridQx" && w->isVisible() && w->width() > 0)
            return !w->grab().toImage().isNull();
    return false;
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qx::qt::TQtWidgetSet set;
    qx::platform::SetWidgetSet(&set);
    QTemporaryDir dir;
    const std::string file = writeExample(dir.path());
    // The modal window is looked at from inside its loop and closed: the table window, or the
    // error dialog when the file could not be read.
    bool shown = false, other = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            (showsTable(*w) ? shown : other) = true;
            w->close();
        }
    });
    timer.start(0);
    const int result = showTable(file.c_str());
    const int rc = result == mrCancel && shown && !other ? 0 : 4;
    qx::platform::SetWidgetSet(nullptr);
    std::puts(rc == 0 ? "qt consumer ok" : "qt consumer failed");
    return rc;
}
