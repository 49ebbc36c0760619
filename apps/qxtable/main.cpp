// qxtable: a table editor. A main window with a TQxTableFrame filling it; `qxtable [FILE]`
// opens a binary table file (the frame's example table without one). Without a display it
// renders screenshots instead (`--shots DIR`, default build/demo) and exits.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "qx/platform/qt/QtWidgetSet.h"
#include "qx/qx.h"
#include "qx/tableframe/QxTableFrame.h"

using qx::qt::TQtWidgetSet;

namespace {

using TText = TLanguage::TLanguageString;
constexpr TText kFile{"&Datei", "&File"};
constexpr TText kOpen{
    "\xD6"
    "&ffnen ...",
    "&Open ..."};
constexpr TText kSaveAs{"Speichern &unter ...", "Save &as ..."};
constexpr TText kQuit{"&Beenden", "&Quit"};
constexpr TText kLanguage{"&Sprache", "&Language"};
constexpr TText kHelp{"&Hilfe", "&Help"};
constexpr TText kAbout{
    "\xDC"
    "&ber qxtable",
    "&About qxtable"};
constexpr TText kAboutText{
    "qxtable: Tabellen im Bin\xE4rformat ansehen und bearbeiten.\n"
    "Alle weiteren Befehle im Kontextmen\xFC der Tabelle.",
    "qxtable: view and edit binary table files.\n"
    "Every other command is in the table's context menu."};
constexpr TText kLines{"Zeilen", "Lines"};
constexpr TText kColumns{"Spalten", "Columns"};
constexpr TText kExample{"(Beispieltabelle)", "(example table)"};
constexpr TText kFilter{"Tabellen (*.tbl)|*.tbl|Text (*.txt)|*.txt|Alle Dateien (*.*)|*.*",
                        "Tables (*.tbl)|*.tbl|Text (*.txt)|*.txt|All files (*.*)|*.*"};

QString q(const std::string& cp1252) {
    return QString::fromLatin1(cp1252.data(), qsizetype(cp1252.size()));
}
QString q(const TText& t) {
    return q(std::string(t()));
}

// The main window: Qt's menu bar and status line around a form whose widget hosts the frame.
class TTableWindow {
  public:
    TTableWindow() : form_(nullptr) {
        form_.SetCaption("qxtable");
        form_.SetBounds(0, 0, 820, 520);
        frame_ = MakeChild<TQxTableFrame>(&form_, &form_, "TableFrame");
        frame_->SetAlign(alClient);
        frame_->vPermitChangeColumn(true);  // any table file may be opened
        auto& set = static_cast<TQtWidgetSet&>(qx::platform::WidgetSet());
        // Give the form its widget before it is shown, so it shows inside the main window.
        set.Realize(form_);
        window_.setCentralWidget(TQtWidgetSet::Widget(form_));
        form_.ShowForm();

        fileMenu_ = window_.menuBar()->addMenu(QString());
        open_ = fileMenu_->addAction(QString(), [this] { open(); });
        saveAs_ = fileMenu_->addAction(QString(), [this] { saveAs(); });
        fileMenu_->addSeparator();
        quit_ = fileMenu_->addAction(QString(), [this] { window_.close(); });
        open_->setShortcut(QKeySequence::Open);
        saveAs_->setShortcut(QKeySequence::SaveAs);
        quit_->setShortcut(QKeySequence::Quit);
        langMenu_ = window_.menuBar()->addMenu(QString());
        german_ = langMenu_->addAction(QStringLiteral("Deutsch"), [this] { setLanguage(true); });
        english_ = langMenu_->addAction(QStringLiteral("English"), [this] { setLanguage(false); });
        german_->setCheckable(true);
        english_->setCheckable(true);
        helpMenu_ = window_.menuBar()->addMenu(QString());
        about_ = helpMenu_->addAction(QString(), [this] {
            QMessageBox::about(&window_, about_->text().remove('&'), q(kAboutText));
        });
        status_ = new QLabel;
        window_.statusBar()->addPermanentWidget(status_, 1);
        // Popup commands (load, insert, delete) change the table behind the window's back.
        QObject::connect(&statusTimer_, &QTimer::timeout, [this] { updateStatus(); });
        statusTimer_.start(250);
        retitle();
        window_.resize(860, 580);
    }
    ~TTableWindow() { window_.takeCentralWidget(); }  // the form's peer owns that widget
    TTableWindow(const TTableWindow&) = delete;
    TTableWindow& operator=(const TTableWindow&) = delete;

    QMainWindow& window() { return window_; }
    TQxTableFrame& frame() { return *frame_; }

    void showExample() {
        // The example table also writes TableTest.tbl/.ini: keep them out of the user's folder.
        const QString here = QDir::currentPath();
        if (scratch_.isValid()) QDir::setCurrent(scratch_.path());
        frame_->vCreateTestTable();
        QDir::setCurrent(here);
        // The example leaves the grid as it was; vDrawTable needs room for the header rows.
        const TQxTable& t = frame_->tTable;
        frame_->StringGridQx->vSetTableSize(
            frame_->iGetLineCount() + (t.bShowColumnCaption ? 1 : 0) + (t.bShowEinheit ? 1 : 0),
            frame_->iGetColCount() + (t.bShowLineNum ? 1 : 0));
        frame_->vDrawTable();
        file_.clear();
        showName(q(kExample).mid(1).chopped(1));
        updateStatus();
    }
    QString exampleFile() const { return scratch_.filePath(QStringLiteral("TableTest.tbl")); }
    QString scratch(const QString& name) const { return scratch_.filePath(name); }

    // Loads a binary table file; a failure is shown in the error dialog and leaves the table.
    bool load(const std::string& path) {
        try {
            try {
                frame_->vReadFile(path.c_str(), false);
            } catch (...) {
                QX_PASS();
            }
        } catch (...) {
            QX_SHOW();
            return false;
        }
        file_ = path;
        showName(QFileInfo(q(path)).completeBaseName());
        updateStatus();
        return true;
    }

    void setLanguage(bool german) {
        if (german)
            TLanguage::setDeutsch();
        else
            TLanguage::setEnglisch();
        retitle();
    }
    // The form takes its size from its widget only once that is visible: catch up after showing.
    void fitForm() {
        QWidget* w = TQtWidgetSet::Widget(form_);
        if (!w) return;
        form_.SetBounds(form_.Left(), form_.Top(), w->width() + TCustomForm::kFrameWidth,
                        w->height() + TCustomForm::kFrameHeight);
    }

  private:
    // The caption panel shows the table's name, or the given one for a table without.
    void showName(const QString& fallback) {
        const std::string name = frame_->tTable.sName;
        frame_->vSetCaption(name.empty() ? fallback.toLatin1().constData() : name.c_str());
    }
    void open() {
        TOpenDialog& d = *frame_->OpenDialog1;
        d.SetFilter(kFilter());
        d.SetFilterIndex(1);
        if (d.Execute()) load(d.FileName());
    }
    void saveAs() {
        TSaveDialog& d = *frame_->SaveDialog1;
        d.SetFilter(kFilter());
        d.SetFilterIndex(1);
        d.SetFileName(file_);
        if (!d.Execute()) return;
        try {
            try {
                frame_->vWriteFile(d.FileName().c_str());
            } catch (...) {
                QX_PASS();
            }
        } catch (...) {
            QX_SHOW();
            return;
        }
        file_ = d.FileName();
        updateStatus();
    }
    void retitle() {
        fileMenu_->setTitle(q(kFile));
        open_->setText(q(kOpen));
        saveAs_->setText(q(kSaveAs));
        quit_->setText(q(kQuit));
        langMenu_->setTitle(q(kLanguage));
        helpMenu_->setTitle(q(kHelp));
        about_->setText(q(kAbout));
        german_->setChecked(TLanguage::isDeutsch());
        english_->setChecked(TLanguage::isEnglisch());
        shownStatus_.clear();
        updateStatus();
    }
    void updateStatus() {
        const QString name = file_.empty() ? q(kExample) : q(file_);
        const QString text = QStringLiteral("%1: %2    %3: %4    %5")
                                 .arg(q(kLines))
                                 .arg(frame_->iGetLineCount())
                                 .arg(q(kColumns))
                                 .arg(frame_->iGetColCount())
                                 .arg(name);
        if (text == shownStatus_) return;
        shownStatus_ = text;
        status_->setText(text);
        window_.setWindowTitle(QStringLiteral("qxtable - ") + name);
    }

    QMainWindow window_;
    TForm form_;
    TQxTableFrame* frame_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* langMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction *open_ = nullptr, *saveAs_ = nullptr, *quit_ = nullptr;
    QAction *german_ = nullptr, *english_ = nullptr, *about_ = nullptr;
    QLabel* status_ = nullptr;
    QTimer statusTimer_;
    QString shownStatus_;
    std::string file_;
    QTemporaryDir scratch_;
};

// Runs `open`, which opens a modal window (popup menu or form) and returns when it closes; a
// zero timer inside its event loop hands the window to `grab` and closes it.
bool withModal(const std::function<void()>& open, const std::function<bool(QWidget&)>& grab) {
    bool grabbed = false;
    QTimer timer;
    timer.setInterval(0);
    int rounds = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activePopupWidget();
        if (!w) w = QApplication::activeModalWidget();
        if (!w) {
            // Not up yet, or the command opened nothing: stop looking after a while.
            if (++rounds > 2000) timer.stop();
            return;
        }
        timer.stop();
        QApplication::processEvents();
        grabbed = grab(*w);
        w->close();
    });
    timer.start();
    open();
    timer.stop();
    return grabbed;
}

bool saveShot(const QPixmap& p, const QDir& dir, const char* name) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (!p.save(path)) {
        std::fprintf(stderr, "qxtable: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("qxtable: wrote %s\n", qPrintable(path));
    return true;
}

// The window with `top` painted over it at its place.
QPixmap composite(QMainWindow& win, QWidget& top) {
    QPixmap base = win.grab();
    QPainter p(&base);
    p.drawPixmap(win.mapFromGlobal(top.mapToGlobal(QPoint(0, 0))), top.grab());
    return base;
}

// The offscreen tour: the example table, the popup on a cell, the cell format dialog and the
// error dialog after a damaged file.
int screenshots(TTableWindow& app, const QDir& dir) {
    QMainWindow& win = app.window();
    TQxTableFrame& frame = app.frame();
    TStringGridQx& grid = *frame.StringGridQx;
    QApplication::processEvents();
    bool ok = saveShot(win.grab(), dir, "qxtable-table.png");

    // A data cell in the middle of the table, selected as a right click would.
    frame.vSetSelectedArea(1, 1, 1, 1);
    const TRect cell = grid.CellRect(grid.iColIn(1), grid.iRowIn(1));
    const TPoint at =
        grid.ClientToScreen({cell.left + cell.Width() / 2, cell.top + cell.Height() / 2});
    ok &= withModal(
        [&] { grid.pGetPopupMenu()->Popup(at.x, at.y); },
        [&](QWidget& menu) { return saveShot(composite(win, menu), dir, "qxtable-popup.png"); });

    ok &= withModal([&] { grid.vFormatierung(nullptr); },
                    [&](QWidget& dlg) { return saveShot(dlg.grab(), dir, "qxtable-format.png"); });

    // A damaged file: the example table cut in the middle of its lines.
    QFile good(app.exampleFile());
    const QString damaged = app.scratch(QStringLiteral("damaged.tbl"));
    QFile bad(damaged);
    if (good.open(QIODevice::ReadOnly) && bad.open(QIODevice::WriteOnly)) {
        const QByteArray bytes = good.readAll();
        bad.write(bytes.left(bytes.size() * 2 / 3));
    }
    bad.close();
    ok &= withModal([&] { app.load(damaged.toStdString()); },
                    [&](QWidget& dlg) { return saveShot(dlg.grab(), dir, "qxtable-error.png"); });
    QApplication::processEvents();
    // The failed load left the table as it was; the window once more, in English.
    app.setLanguage(false);
    QApplication::processEvents();
    ok &= saveShot(win.grab(), dir, "qxtable-table-en.png");
    app.setLanguage(true);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string file;
    QString shots = QStringLiteral("build/demo");
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--shots" && i + 1 < argc)
            shots = QString::fromLocal8Bit(argv[++i]);
        else if (a == "-h" || a == "--help") {
            std::puts(
                "usage: qxtable [--shots DIR] [FILE]\n"
                "Opens a binary table file (the example table without FILE). Without a display\n"
                "it writes screenshots into DIR (default build/demo) and exits.");
            return 0;
        } else
            file = a;
    }
    const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    if (!display) qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool offscreen = qgetenv("QT_QPA_PLATFORM") == "offscreen";

    QApplication qapp(argc, argv);
    Application->SetArguments(argc, argv);
    Application->SetTitle("qxtable");
    TQtWidgetSet widgets;
    qx::platform::SetWidgetSet(&widgets);
    int rc = 0;
    {
        TTableWindow app;
        app.showExample();
        if (!file.empty()) {
            // Offscreen nobody could close the error dialog of a failed load: close it here.
            if (offscreen)
                withModal([&] { app.load(file); }, [](QWidget&) { return true; });
            else
                app.load(file);
        }
        app.window().show();
        QApplication::processEvents();
        app.fitForm();
        if (offscreen) {
            if (!QDir().mkpath(shots)) {
                std::fprintf(stderr, "qxtable: cannot create %s\n", qPrintable(shots));
                rc = 1;
            } else {
                std::printf("qxtable: no display, writing screenshots into %s\n",
                            qPrintable(shots));
                rc = screenshots(app, QDir(shots));
            }
        } else {
            rc = qapp.exec();
        }
        qx::deleteError();
    }
    qx::platform::SetWidgetSet(nullptr);
    return rc;
}
