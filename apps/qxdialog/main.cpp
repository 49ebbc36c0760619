// qxdialog: the error dialog for a sample error in the Qt widget set. With a display it is shown
// for real; without one it is rendered offscreen into PNG files (German and English, compact
// view and details) in the folder given as the argument (default: the current one).
#include <QApplication>
#include <QDir>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "qx/platform/qt/QtWidgetSet.h"
#include "qx/qx.h"

using qx::qt::TQtWidgetSet;

namespace {
void raiseSampleError() {
    try {
        try {
            QX_RAISE(0xE5136001UL,
                     "Spalte f\xFCr Gr\xF6\xDF"
                     "e fehlt: FixedRows=%d NumCol=%d",
                     5, 3);
        } catch (...) {
            QX_PASS();
        }
    } catch (...) {
        qx::trace(__FILE__, __LINE__, "Tabelle laden");
    }
}

bool save(TErrorMessageForm2& form, const QString& path) {
    QApplication::processEvents();
    QWidget* w = TQtWidgetSet::Widget(form);
    return w && w->grab().save(path);
}
}  // namespace

int main(int argc, char** argv) {
    const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    if (!display) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application->SetArguments(argc, argv);
    Application->SetTitle("qxdialog");
    TQtWidgetSet widgets;
    qx::platform::SetWidgetSet(&widgets);
    raiseSampleError();

    if (display) {
        qx::ErrorMessageBox();
    } else {
        const QDir dir(QString::fromLocal8Bit(argc > 1 ? argv[1] : "."));
        bool show = true;
        for (const char* lang : {"de", "en"}) {
            if (std::string(lang) == "en") TLanguage::setEnglisch();
            TErrorMessageForm2 form(nullptr, qx::rGetErrorInfo(), show);
            form.ShowForm();
            const QString base = dir.filePath(QStringLiteral("error-dialog-%1").arg(lang));
            if (!save(form, base + "-compact.png")) return 1;
            form.btExtend->Click();
            if (!save(form, base + "-details.png")) return 1;
            std::printf("wrote %s-compact.png and %s-details.png\n", qPrintable(base),
                        qPrintable(base));
        }
    }
    qx::deleteError();
    qx::platform::SetWidgetSet(nullptr);
    return 0;
}
