// Installs the Qt widget set and shows a form with a string grid through the installed
// headers and libraries; run with QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QImage>
#include <QWidget>
#include <cstdio>

#include "qx/platform/qt/QtWidgetSet.h"
#include "qx/qx.h"

namespace {
int showGrid() {
    TForm form(nullptr);
    form.SetCaption("Gitter");
    auto* grid = MakeChild<TStringGrid>(&form, &form, "Grid");
    grid->SetAlign(alClient);
    grid->SetRowCount(200);
    grid->SetCells(1, 1, "Gr\xFC\xDF" "e");
    form.ShowForm();
    QApplication::processEvents();
    QWidget* w = qx::qt::TQtWidgetSet::Widget(*grid);
    if (!w || !w->isVisible()) return 1;
    if (w->grab().toImage().isNull()) return 2;
    return grid->Cells(1, 1) == "Gr\xFC\xDF" "e" ? 0 : 3;
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qx::qt::TQtWidgetSet set;
    qx::platform::SetWidgetSet(&set);
    const int rc = showGrid();
    qx::platform::SetWidgetSet(nullptr);
    std::puts(rc == 0 ? "qt consumer ok" : "qt consumer failed");
    return rc;
}
