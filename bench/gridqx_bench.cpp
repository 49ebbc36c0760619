// The extended grid and the table view at scale: 100,000 rows × 20 columns of short texts
// (--rows=N for another size, --quick for 10,000). Each step prints the best of a few runs in
// milliseconds, headless (fixed text metric) and with Qt's text metrics (the Qt widget set
// installed, offscreen), beside its budget.
#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "qx/qx.h"
#include "qx/platform/qt/QtCanvas.h"
#include "qx/platform/qt/QtWidgetSet.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kCols = 20;

double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// The best of `reps` runs of `prepare` (untimed) then `op` (timed).
double best(int reps, const std::function<void()>& prepare, const std::function<void()>& op) {
    double b = INFINITY;
    for (int i = 0; i < reps; ++i) {
        if (prepare) prepare();
        const auto t0 = Clock::now();
        op();
        b = std::min(b, msSince(t0));
    }
    return b;
}

std::size_t heapInUse() {
    const struct mallinfo2 mi = ::mallinfo2();
    return mi.uordblks + mi.hblkhd;
}

// "r<row>c<col>", built without operator+ chains (g++ 12 warns falsely on those).
std::string cellText(int r, int c) {
    std::string t = "r";
    t += std::to_string(r);
    t += 'c';
    t += std::to_string(c);
    return t;
}

// A canvas that draws nothing and measures with the fixed metric.
class TNullCanvas final : public TCanvas {
  public:
    void FillRect(const TRect&) override {}
    void TextOut(int, int, const AnsiString&) override {}
    int TextWidth(const AnsiString& t) override {
        return static_cast<int>(t.size()) * TRecordingCanvas::CharWidth(Font.Size);
    }
    int TextHeight(const AnsiString&) override { return TRecordingCanvas::LineHeight(Font.Size); }
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
};

// Paints `grid` once on a Qt canvas over an image, as the Qt widget set does.
void paintQt(TCustomGrid& grid) {
    QImage image(grid.ClientWidth(), grid.ClientHeight(), QImage::Format_RGB32);
    QPainter painter(&image);
    qx::qt::TQtCanvas canvas(painter);
    grid.PaintTo(canvas);
}

std::unique_ptr<TStringGridQx> makeGrid(int rows, bool qt) {
    auto g = std::make_unique<TStringGridQx>(nullptr);
    g->SetBounds(0, 0, 1200, 800);
    g->BeginUpdate();
    g->vSetTableSize(rows, kCols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kCols; ++c) g->SetCells(g->iColIn(c), g->iRowIn(r), cellText(r, c));
    g->EndUpdate();
    TNullCanvas null;
    if (qt)
        paintQt(*g);
    else
        g->PaintTo(null);  // the first drawing: numbering and sizing
    return g;
}

void row(const char* what, double headless, double qt, const char* budget) {
    std::printf("%-46s %12.2f %12.2f   %s\n", what, headless, qt, budget);
}

}  // namespace

int main(int argc, char** argv) {
    int rows = 100'000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            rows = 10'000;
        else if (std::strncmp(argv[i], "--rows=", 7) == 0)
            rows = std::max(10, std::atoi(argv[i] + 7));
    }
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    qx::qt::TQtWidgetSet qtSet;
    std::printf("gridqx_bench: %ld cores, %d rows x %d columns of short texts\n",
                ::sysconf(_SC_NPROCESSORS_ONLN), rows, kCols);
    std::printf("%-46s %12s %12s   %s\n", "measurement (ms)", "headless", "Qt metrics", "budget");

    double h = 0, q = 0;
    auto both = [&](const std::function<double()>& run) {
        qx::platform::SetWidgetSet(nullptr);
        h = run();
        qx::platform::SetWidgetSet(&qtSet);
        q = run();
        qx::platform::SetWidgetSet(nullptr);
    };

    // Memory per cell with the first drawing done.
    {
        const std::size_t before = heapInUse();
        auto g = makeGrid(rows, false);
        const double perCell = double(heapInUse() - before) / (double(rows) * kCols);
        std::printf("%-46s %12.1f %12s   %s\n", "memory per cell (bytes)", perCell, "", "64 B");
    }
    both([&] {
        std::unique_ptr<TStringGridQx> g;
        return best(
            3,
            [&] {
                g = std::make_unique<TStringGridQx>(nullptr);
                g->SetBounds(0, 0, 1200, 800);
            },
            [&] { g->vAppendRows(rows); });
    });
    row("vAppendRows(rows)", h, q, "100 ms");
    both([&] {
        std::unique_ptr<TStringGridQx> g;
        const bool qt = &qx::platform::WidgetSet() == &qtSet;
        return best(
            2,
            [&] {
                g = makeGrid(rows, qt);
                g->vCalculateColWidths();
            },
            [&] {
                // What the first drawing does: numbering, every width, every height.
                g->vNumLinesColumns();
                g->vCalculateColWidths();
                g->vCalculateRowHeights();
            });
    });
    row("first drawing: numbering and sizing", h, q, "300 ms (Qt)");
    {
        qx::platform::SetWidgetSet(&qtSet);
        auto g = makeGrid(rows, true);
        const double ins = best(5, nullptr, [&] { g->vInsertRows(0, 1); });
        const double del = best(5, nullptr, [&] { g->vDeleteRows(0, 0); });
        const double font = best(3, nullptr, [&] {
            static bool large = false;
            large = !large;
            g->vSetFontSize(large ? eFontLarge : eFontMedium, 0, rows - 1, 3, 3);
        });
        char path[] = "/tmp/gridqx_benchXXXXXX";
        const int fd = ::mkstemp(path);
        if (fd >= 0) ::close(fd);
        const std::string sgr = std::string(path) + ".sgr";
        const double save = best(2, nullptr, [&] { g->vSaveTable(sgr.c_str()); });
        auto loaded = std::make_unique<TStringGridQx>(nullptr);
        const double load = best(2, nullptr, [&] { loaded->vLoadTable(sgr.c_str()); });
        ::unlink(sgr.c_str());
        ::unlink(path);
        const int block = std::min(rows, 10'000);
        auto target = std::make_unique<TStringGridQx>(nullptr);
        const double copyPaste = best(3, nullptr, [&] {
            g->vCopy2Clipboard(0, block - 1, 0, kCols - 1);
            target->vInsertFromClipboard(0, 0);
        });
        qx::platform::SetWidgetSet(nullptr);
        row("vInsertRows one row at the top", NAN, ins, "5 ms");
        row("vDeleteRows one row at the top", NAN, del, "5 ms");
        row("vSetFontSize on one whole column", NAN, font, "50 ms");
        row(".sgr save", NAN, save, "1000 ms");
        row(".sgr load", NAN, load, "1000 ms");
        row("copy 10,000 x 20 to the clipboard, paste back", NAN, copyPaste, "300 ms");
    }

    // The table frame: a binary table file of `rows` lines loaded and drawn, one cell edited.
    {
        qx::platform::SetWidgetSet(&qtSet);
        char dir[] = "/tmp/gridqx_frameXXXXXX";
        if (::mkdtemp(dir) && ::chdir(dir) == 0) try {
                TForm form(nullptr);
                auto* maker = MakeChild<TQxTableFrame>(&form, &form, "Maker");
                maker->vCreateTestTable();  // writes its example files into the folder
                const TQxTable& t = maker->tTable;
                maker->StringGridQx->vSetTableSize(
                    maker->iGetLineCount() + (t.bShowColumnCaption ? 1 : 0) +
                        (t.bShowEinheit ? 1 : 0),
                    maker->iGetColCount() + (t.bShowLineNum ? 1 : 0));
                maker->vDrawTable();
                const unsigned size = maker->tTable.uGetLineSize();
                const int have = maker->iGetLineCount();
                std::vector<unsigned char> block(static_cast<size_t>(rows - have) * size);
                for (int i = 0; i < rows - have; ++i)
                    std::memcpy(block.data() + static_cast<size_t>(i) * size,
                                maker->tTable.vLines[static_cast<unsigned>(i % have)], size);
                maker->vAppendLines(block.data(), rows - have);
                const std::string file = std::string(dir) + "/big.tbl";
                maker->vWriteFileBin(file.c_str());
                std::unique_ptr<TForm> shown;
                TQxTableFrame* frame = nullptr;
                const double load = best(
                    2,
                    [&] {
                        shown = std::make_unique<TForm>(nullptr);
                        shown->SetBounds(0, 0, 1200, 800);
                        frame = MakeChild<TQxTableFrame>(shown.get(), shown.get(), "Frame");
                        frame->SetAlign(alClient);
                        frame->vPermitChangeColumn(true);
                    },
                    [&] {
                        frame->vReadFile(file.c_str(), false);
                        paintQt(*frame->StringGridQx);  // the first drawing
                        paintQt(*frame->StringGridQx);
                    });
                TStringGridQx& g = *frame->StringGridQx;
                const int editRow = rows / 2, col = 1;
                const double edit = best(5, nullptr, [&] {
                    // What typing into a cell does: the text, the changed mark, the next drawing.
                    g.vSetCellString(editRow, col, "42");
                    g.pGetCellProperty(g.iColIn(col), g.iRowIn(editRow))->vSetChanged(true);
                    g.vOnDrawCell(&g, g.iColIn(col), g.iRowIn(editRow),
                                  g.CellRect(g.iColIn(col), g.iRowIn(editRow)), 0);
                });
                row("table frame: load binary file and draw", NAN, load, "1000 ms (100k lines)");
                row("table frame: edit one cell, stored and shown", NAN, edit, "5 ms");
                (void)::chdir("/");
                std::system((std::string("rm -rf ") + dir).c_str());
            } catch (unsigned long) {
                char report[2048];
                qx::SPrintfErrorMessage(report, sizeof report);
                std::printf("table frame: failed:\n%s\n", report);
                qx::deleteError();
            }
        qx::platform::SetWidgetSet(nullptr);
    }

    // The table view.
    auto makeView = [&] {
        auto v = std::make_unique<TORVI_TableView>(nullptr);
        v->SetColCount(kCols);
        v->SetRowCount(rows);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < kCols; ++c) v->SetCells(c, r, cellText(r, c));
        return v;
    };
    both([&] {
        auto v = makeView();
        return best(3, nullptr, [&] { v->reformat(); });
    });
    row("table view: reformat", h, q, "300 ms (Qt)");
    {
        auto v = makeView();
        AnsiString text;
        const double render = best(3, nullptr, [&] { v->_table2String(text); });
        auto grow = std::make_unique<TORVI_TableView>(nullptr);
        grow->SetColCount(kCols);
        const double append = best(1, nullptr, [&] {
            for (int r = 0; r < rows; ++r) grow->SetRowCount(grow->RowCount() + 1);
        });
        row("table view: export to text", render, NAN, "300 ms");
        row("table view: grow by one row, all rows", append, NAN, "amortised O(1)");
    }
    return 0;
}
