// The string grid at scale (100,000 and 1,000,000 rows of 20 short texts), three ways in one
// run: the grid alone with no widget set behind it, the same grid on a form shown through the
// Qt widget set (offscreen), and Qt's QTableWidget doing the same things. Each step prints one
// row: the best of a few runs in milliseconds (memory in bytes per cell) and its budget. The
// per-row loops run a second time inside BeginUpdate/EndUpdate for the qx grid, which shows
// what a peer's per-change work costs.
//
// Steps that repeat per row (append, row heights) stop once they pass the cap (--cap) and
// print the time extrapolated to all rows, marked "~": a quadratic step would otherwise run
// for hours at 1M rows. Each column is built, measured and freed before the next one, so the
// tables never share the heap.
//
//   grid_bench                   100000 and 1000000 rows
//   grid_bench --quick           10000 rows, short cap (smoke run)
//   grid_bench --rows=N[,N...]   chosen sizes
//   grid_bench --cap=SECONDS     per-step cap (default 10)
// Options starting with --benchmark_ (passed by scripts/bench.sh) are ignored.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTableWidget>
#include <QWidget>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <map>
#include <stdexcept>
#include <memory>
#include <string>
#include <vector>

#include "qx/platform/Forms.h"
#include "qx/platform/Grids.h"
#include "qx/platform/WidgetSet.h"
#include "qx/platform/qt/QtCanvas.h"
#include "qx/platform/qt/QtWidgetSet.h"

#ifndef QX_BENCH_BUILD_TYPE
#define QX_BENCH_BUILD_TYPE ""
#endif

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCols = 20;
constexpr int kViewWidth = 1200, kViewHeight = 800;
constexpr int kMaxAppend = 100'000;

double g_capMs = 10'000;  // per capped step

double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// A time in ms (or bytes for memory); `estimated` when a capped loop was cut short.
struct TFigure {
    double v = NAN;
    bool estimated = false;
};

template <class Op>
TFigure timed(Op&& op) {
    const auto t0 = Clock::now();
    op();
    return {msSince(t0), false};
}

// Runs step(0..n-1); past the cap it stops and extrapolates linearly (a lower bound when the
// steps grow with the table). `done` tells how many steps ran.
template <class Step>
TFigure cappedLoop(int n, int& done, Step&& step) {
    const auto t0 = Clock::now();
    for (int i = 0; i < n; ++i) {
        step(i);
        if ((i & 255) == 255) {
            const double el = msSince(t0);
            if (el > g_capMs && i + 1 < n) {
                done = i + 1;
                return {el * n / done, true};
            }
        }
    }
    done = n;
    return {msSince(t0), false};
}

// The best of up to `reps` runs of `run` (which times itself and does its own untimed
// preparation); a run over a second or cut at the cap is not repeated.
template <class Run>
TFigure best(int reps, Run&& run) {
    TFigure b;
    for (int i = 0; i < reps; ++i) {
        const TFigure f = run();
        if (std::isnan(b.v) || f.v < b.v) b = f;
        if (f.estimated || f.v > 1000) break;
    }
    return b;
}

std::size_t heapInUse() {
    const struct mallinfo2 mi = ::mallinfo2();
    return mi.uordblks + mi.hblkhd;
}

// "r<row>c<col>" written without formatting calls, so making the text costs little next to
// storing it.
class TCellText {
  public:
    void Row(int r) {
        buf_[0] = 'r';
        prefix_ = 1 + digits(r, buf_ + 1);
        buf_[prefix_++] = 'c';
    }
    // The text of column c of the current row; Data() holds it afterwards.
    int Col(int c) { return prefix_ + digits(c, buf_ + prefix_); }
    const char* Data() const { return buf_; }

  private:
    static int digits(int v, char* out) {
        char tmp[12];
        int n = 0;
        do {
            tmp[n++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v);
        for (int i = 0; i < n; ++i) out[i] = tmp[n - 1 - i];
        return n;
    }
    char buf_[32] = {};
    int prefix_ = 0;
};

// Draws nothing and measures with a fixed metric, so a headless paint costs only the grid's
// own work. Counts the texts it was given, to show how many cells one frame visits.
class TNullCanvas final : public TCanvas {
  public:
    void FillRect(const TRect&) override {}
    void TextOut(int x, int y, const AnsiString& text) override {
        ++texts;
        penPos_ = {x + TextWidth(text), y};
    }
    int TextWidth(const AnsiString& text) override { return static_cast<int>(text.size()) * 6; }
    int TextHeight(const AnsiString&) override { return 13; }
    void MoveTo(int x, int y) override { penPos_ = {x, y}; }
    void LineTo(int x, int y) override { penPos_ = {x, y}; }
    long texts = 0;
};

void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// One way of holding the table. Rows and columns are counted as the subject counts them; the
// qx grid's row 0 and column 0 are its fixed ones and hold texts like the rest.
class TSubject {
  public:
    virtual ~TSubject() = default;
    // An empty table, shown where there is a window.
    virtual void Setup() = 0;
    virtual void Teardown() = 0;
    virtual void Resize(int rows, int cols) = 0;
    virtual void Fill(int rows, int cols) = 0;
    // Scrolls so that `row` is the first scrolled row shown; -1: the last page.
    virtual void ShowAt(int row) = 0;
    virtual void Paint() = 0;
    // The current cell on the first scrolled row, the view at the top.
    virtual void ResetCurrent() = 0;
    virtual void ScrollToLast() = 0;
    virtual void InsertTop() = 0;
    virtual void DeleteTop() = 0;
    virtual void AppendRow(bool withTexts, TCellText& text) = 0;
    virtual void Truncate(int rows) = 0;
    virtual void SetRowHeight(int row, int h) = 0;
    virtual int RowCount() const = 0;
    // The widest text of column `col` over all rows, in pixels.
    virtual int Widest(int col) = 0;
    virtual void Settle() {}
    // Batching of many changes into one notification, where the subject has it.
    virtual bool CanBatch() const { return false; }
    virtual void BeginBatch() {}
    virtual void EndBatch() {}
};

class TQxSubject : public TSubject {
  public:
    void Resize(int rows, int cols) override {
        grid_->SetColCount(cols);
        grid_->SetRowCount(rows);
    }
    void Fill(int rows, int cols) override {
        TCellText t;
        for (int r = 0; r < rows; ++r) {
            t.Row(r);
            for (int c = 0; c < cols; ++c) {
                const int n = t.Col(c);
                grid_->SetCells(c, r, AnsiString(t.Data(), n));
            }
        }
    }
    void ShowAt(int row) override {
        grid_->SetTopRow(row < 0 ? grid_->RowAxis().LastPageStart(grid_->ClientHeight())
                                 : std::max(row, grid_->FixedRows()));
        Settle();
    }
    void ResetCurrent() override {
        grid_->SetRow(grid_->FixedRows());
        Settle();
    }
    void ScrollToLast() override { grid_->SetRow(grid_->RowCount() - 1); }
    void InsertTop() override { grid_->InsertRows(1, 1); }
    void DeleteTop() override { grid_->DeleteRows(1, 1); }
    void AppendRow(bool withTexts, TCellText& t) override {
        const int r = grid_->RowCount();
        grid_->InsertRows(r, 1);
        if (!withTexts) return;
        t.Row(r);
        for (int c = 0; c < grid_->ColCount(); ++c) {
            const int n = t.Col(c);
            grid_->SetCells(c, r, AnsiString(t.Data(), n));
        }
    }
    void Truncate(int rows) override {
        grid_->SetRowCount(rows);
        Settle();
    }
    void SetRowHeight(int row, int h) override { grid_->SetRowHeights(row, h); }
    int RowCount() const override { return grid_->RowCount(); }
    int Widest(int col) override {
        TCanvas& c = grid_->Canvas();
        int w = 0;
        for (int r = 0; r < grid_->RowCount(); ++r)
            w = std::max(w, c.TextWidth(grid_->Cells(col, r)));
        return w;
    }
    TStringGrid& Grid() { return *grid_; }
    bool CanBatch() const override { return true; }
    void BeginBatch() override { grid_->BeginUpdate(); }
    void EndBatch() override { grid_->EndUpdate(); }

  protected:
    TStringGrid* grid_ = nullptr;
};

class THeadlessSubject final : public TQxSubject {
  public:
    void Setup() override {
        owned_ = std::make_unique<TStringGrid>(nullptr);
        grid_ = owned_.get();
        grid_->SetBounds(0, 0, kViewWidth, kViewHeight);
    }
    void Teardown() override {
        grid_ = nullptr;
        owned_.reset();
    }
    void Paint() override { grid_->PaintTo(canvas_); }
    TNullCanvas& Canvas() { return canvas_; }

  private:
    std::unique_ptr<TStringGrid> owned_;
    TNullCanvas canvas_;
};

class TQtGridSubject final : public TQxSubject {
  public:
    void Setup() override {
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetCaption("grid_bench");
        form_->SetClientWidth(kViewWidth);
        form_->SetClientHeight(kViewHeight);
        grid_ = new TStringGrid(form_.get());  // owned by the form
        grid_->SetParent(form_.get());
        grid_->SetAlign(alClient);
        form_->ShowForm();
        widget_ = qx::qt::TQtWidgetSet::Widget(*grid_);
        if (!widget_) throw std::runtime_error("the grid got no Qt widget");
        Settle();
    }
    void Teardown() override {
        if (form_) form_->Close();
        grid_ = nullptr;
        widget_ = nullptr;
        form_.reset();
        Settle();
    }
    void Paint() override { benchmark::DoNotOptimize(widget_->grab()); }
    void Settle() override { settle(); }
    QWidget* Widget() const { return widget_; }
    // The widest text measured by a Qt canvas painting on an image, with the grid's font.
    int WidestOnImage(int col) {
        QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
        QPainter p(&img);
        qx::qt::TQtCanvas c(p);
        c.Font = grid_->Font();
        int w = 0;
        for (int r = 0; r < grid_->RowCount(); ++r)
            w = std::max(w, c.TextWidth(grid_->Cells(col, r)));
        return w;
    }

  private:
    std::unique_ptr<TForm> form_;
    QWidget* widget_ = nullptr;
};

class TTableWidgetSubject final : public TSubject {
  public:
    void Setup() override {
        table_ = std::make_unique<QTableWidget>();
        table_->resize(kViewWidth, kViewHeight);
        table_->show();
        Settle();
    }
    void Teardown() override {
        table_.reset();
        Settle();
    }
    void Resize(int rows, int cols) override {
        table_->setColumnCount(cols);
        table_->setRowCount(rows);
    }
    void Fill(int rows, int cols) override {
        TCellText t;
        for (int r = 0; r < rows; ++r) {
            t.Row(r);
            for (int c = 0; c < cols; ++c) {
                const int n = t.Col(c);
                table_->setItem(r, c, new QTableWidgetItem(QString::fromLatin1(t.Data(), n)));
            }
        }
    }
    void ShowAt(int row) override {
        if (row < 0)
            table_->scrollToBottom();
        else
            table_->scrollTo(table_->model()->index(row, 0), QAbstractItemView::PositionAtTop);
        Settle();
    }
    void Paint() override { benchmark::DoNotOptimize(table_->grab()); }
    void ResetCurrent() override {
        table_->setCurrentCell(0, 0);
        table_->scrollToTop();
        Settle();
    }
    void ScrollToLast() override {
        table_->setCurrentCell(table_->rowCount() - 1, 0);
        table_->scrollToBottom();
    }
    void InsertTop() override { table_->insertRow(0); }
    void DeleteTop() override { table_->removeRow(0); }
    void AppendRow(bool withTexts, TCellText& t) override {
        const int r = table_->rowCount();
        table_->insertRow(r);
        if (!withTexts) return;
        t.Row(r);
        for (int c = 0; c < table_->columnCount(); ++c) {
            const int n = t.Col(c);
            table_->setItem(r, c, new QTableWidgetItem(QString::fromLatin1(t.Data(), n)));
        }
    }
    void Truncate(int rows) override {
        table_->setRowCount(rows);
        Settle();
    }
    void SetRowHeight(int row, int h) override { table_->setRowHeight(row, h); }
    int RowCount() const override { return table_->rowCount(); }
    int Widest(int col) override {
        const QFontMetrics fm(table_->font());
        int w = 0;
        for (int r = 0; r < table_->rowCount(); ++r)
            if (const QTableWidgetItem* it = table_->item(r, col))
                w = std::max(w, fm.horizontalAdvance(it->text()));
        return w;
    }
    void Settle() override { settle(); }

  private:
    std::unique_ptr<QTableWidget> table_;
};

// ---------------------------------------------------------------------------- results

enum TColumn { kHeadless, kQtGrid, kTable, kColumns };
const char* const kColumnNames[kColumns] = {"qx headless", "qx Qt", "QTableWidget"};

struct TMeasure {
    std::string name;
    std::string budget;
    bool bytes = false;
};

class TResults {
  public:
    // A measurement seen first goes after the one set last, so that rows keep the step order
    // whichever column first has them.
    void Set(const TMeasure& m, int rows, TColumn col, TFigure f) {
        auto it = std::find_if(order_.begin(), order_.end(),
                               [&](const TMeasure& o) { return o.name == m.name; });
        if (it == order_.end())
            it = order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(next_), m);
        next_ = static_cast<std::size_t>(it - order_.begin()) + 1;
        figures_[m.name][rows][col] = f;
        std::fprintf(stderr, "  %-12s %-46s %s\n", kColumnNames[col], m.name.c_str(),
                     format(f, m.bytes).c_str());
    }
    void Print(const std::vector<int>& sizes) const {
        std::printf("\n%-46s %8s %13s %13s %13s  %s\n", "measurement", "rows", kColumnNames[0],
                    kColumnNames[1], kColumnNames[2], "budget (100k)");
        std::printf("%s\n", std::string(46 + 9 + 14 * 3 + 16, '-').c_str());
        for (const TMeasure& m : order_) {
            const auto& byRows = figures_.at(m.name);
            for (int rows : sizes) {
                auto it = byRows.find(rows);
                if (it == byRows.end()) continue;
                std::printf("%-46s %8d", m.name.c_str(), rows);
                for (int c = 0; c < kColumns; ++c)
                    std::printf(" %13s", format(it->second[c], m.bytes).c_str());
                std::printf("  %s\n", m.budget.c_str());
            }
        }
    }

  private:
    static std::string format(TFigure f, bool bytes) {
        if (std::isnan(f.v)) return "-";
        char buf[32];
        std::snprintf(buf, sizeof buf, bytes ? "%s%.1f" : "%s%.2f", f.estimated ? "~" : "", f.v);
        return buf;
    }
    std::vector<TMeasure> order_;
    std::size_t next_ = 0;
    std::map<std::string, std::map<int, std::array<TFigure, kColumns>>> figures_;
};

// ---------------------------------------------------------------------------- the steps

struct TNotes {
    std::vector<std::string> lines;
    void Add(const std::string& s) {
        if (std::find(lines.begin(), lines.end(), s) == lines.end()) lines.push_back(s);
    }
};

std::string strf(const char* fmt, auto... args) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

void measure(TSubject& s, TColumn col, int rows, TResults& res, TNotes& notes) {
    const bool big = rows > 200'000;
    const int fillReps = big ? 1 : 3, fewReps = big ? 2 : 3;
    const TMeasure mCount{"set row and column count", "-"}, mFill{"fill all cells", "500 ms"},
        mMem{"memory per cell (bytes)", "48 B", true};

    // Fill from empty, each run on a fresh table; memory from the first run.
    TFigure countTime, fillTime, perCell;
    for (int rep = 0; rep < fillReps; ++rep) {
        if (rep > 0) s.Teardown();
        s.Setup();
        const std::size_t before = heapInUse();
        const TFigure c = timed([&] { s.Resize(rows, kCols); });
        const TFigure f = timed([&] { s.Fill(rows, kCols); });
        if (rep == 0)
            perCell.v =
                static_cast<double>(heapInUse() - before) / (static_cast<double>(rows) * kCols);
        if (std::isnan(countTime.v) || c.v < countTime.v) countTime = c;
        if (std::isnan(fillTime.v) || f.v < fillTime.v) fillTime = f;
        s.Settle();
        if (f.v > 5000) break;
    }
    res.Set(mCount, rows, col, countTime);
    res.Set(mFill, rows, col, fillTime);
    res.Set(mMem, rows, col, perCell);

    const std::string paintBudget = "2 ms / Qt 16 ms";
    const std::pair<const char*, int> places[] = {{"top", 0}, {"middle", rows / 2}, {"end", -1}};
    for (const auto& [where, row] : places) {
        s.ShowAt(row);
        s.Paint();  // warm-up: lazy layout and glyph caches
        res.Set({strf("paint %dx%d, %s", kViewWidth, kViewHeight, where), paintBudget}, rows, col,
                best(10, [&] { return timed([&] { s.Paint(); }); }));
        if (auto* h = dynamic_cast<THeadlessSubject*>(&s); h && row == 0) {
            h->Canvas().texts = 0;
            s.Paint();
            notes.Add(strf("%d rows: a headless paint of the top draws %ld texts", rows,
                           h->Canvas().texts));
        }
    }

    res.Set({"scroll to last row", "1 ms"}, rows, col, best(5, [&] {
                s.ResetCurrent();
                return timed([&] { s.ScrollToLast(); });
            }));

    TFigure ins, del;
    double total = 0;
    for (int rep = 0; rep < 5; ++rep) {
        const TFigure i = timed([&] { s.InsertTop(); });
        s.Settle();
        const TFigure d = timed([&] { s.DeleteTop(); });
        s.Settle();
        if (std::isnan(ins.v) || i.v < ins.v) ins = i;
        if (std::isnan(del.v) || d.v < del.v) del = d;
        total += i.v + d.v;
        if (total > g_capMs) break;
    }
    res.Set({"insert row at top", "1 ms"}, rows, col, ins);
    res.Set({"delete row at top", "1 ms"}, rows, col, del);

    int heightRep = 0;
    for (const bool batched : {false, true}) {
        if (batched && !s.CanBatch()) continue;
        res.Set(
            {batched ? "set every row's height, BeginUpdate/EndUpdate" : "set every row's height",
             batched ? "-" : "20 ms"},
            rows, col, best(fewReps, [&] {
                // Alternating heights: setting the same height again may be skipped.
                const int h = 20 + (heightRep++ & 1);
                int done = 0;
                const int n = s.RowCount();
                const auto t0 = Clock::now();
                if (batched) s.BeginBatch();
                TFigure f = cappedLoop(n, done, [&](int r) { s.SetRowHeight(r, h); });
                if (batched) {
                    s.EndBatch();
                    if (!f.estimated) f.v = msSince(t0);
                }
                s.Settle();
                return f;
            }));
    }

    int widest = 0;
    res.Set({"widest text of column 1 (control's canvas)", "50 ms"}, rows, col,
            best(fewReps, [&] { return timed([&] { widest = s.Widest(1); }); }));
    notes.Add(
        strf("%d rows: %s: widest text of column 1 = %d px", rows, kColumnNames[col], widest));
    // Without a Qt measuring canvas outside painting, a Qt canvas on an image stands in.
    if (auto* q = dynamic_cast<TQtGridSubject*>(&s);
        q && !dynamic_cast<qx::qt::TQtCanvas*>(&q->Grid().Canvas())) {
        notes.Add(
            "qx Qt: the grid's Canvas() outside painting is not a Qt canvas (headless metric)");
        int onImage = 0;
        res.Set({"widest text of column 1 (TQtCanvas, QImage)", "50 ms"}, rows, col,
                best(fewReps, [&] { return timed([&] { onImage = q->WidestOnImage(1); }); }));
        notes.Add(strf("%d rows: qx Qt: widest text measured by TQtCanvas on a QImage = %d px",
                       rows, onImage));
    }

    // Appending: on top of the filled table; the appended rows are removed afterwards.
    const int appendRows = std::min(rows, kMaxAppend);
    for (const bool withTexts : {false, true})
        for (const bool batched : {false, true}) {
            if (batched && !s.CanBatch()) continue;
            std::string name = withTexts ? strf("append %d rows + %d texts each", appendRows, kCols)
                                         : strf("append %d rows one at a time", appendRows);
            if (batched) name += ", batched";
            res.Set({name, withTexts || batched ? "-" : "100 ms"}, rows, col, best(fewReps, [&] {
                        TCellText t;
                        int done = 0;
                        const auto t0 = Clock::now();
                        if (batched) s.BeginBatch();
                        TFigure f =
                            cappedLoop(appendRows, done, [&](int) { s.AppendRow(withTexts, t); });
                        if (batched) {
                            s.EndBatch();
                            if (!f.estimated) f.v = msSince(t0);
                        }
                        s.Settle();
                        s.Truncate(rows);
                        return f;
                    }));
        }
    s.Teardown();
}

void printMachine(const std::vector<int>& sizes) {
    std::printf("grid_bench: %ld cores online, build type %s, %s, Qt %s (platform %s)\n",
                ::sysconf(_SC_NPROCESSORS_ONLN),
                *QX_BENCH_BUILD_TYPE ? QX_BENCH_BUILD_TYPE : "(none)",
#if defined(__clang__)
                "clang " __clang_version__,
#elif defined(__GNUC__)
                "gcc " __VERSION__,
#else
                "unknown compiler",
#endif
                qVersion(), qPrintable(QGuiApplication::platformName()));
    std::printf("%d columns of short texts (\"r123c4\"); rows:", kCols);
    for (int r : sizes) std::printf(" %d", r);
    std::printf("; view %dx%d\n", kViewWidth, kViewHeight);
    std::printf(
        "times in ms, best of up to 10 (paint), 5 (scroll, insert, delete) or 3 runs; "
        "'~' = cut at the %.0f s cap and extrapolated linearly (a lower bound)\n",
        g_capMs / 1000);
    std::fflush(stdout);
}

int usage(const char* self) {
    std::fprintf(stderr, "usage: %s [--quick] [--rows=N[,N...]] [--cap=SECONDS]\n", self);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes = {100'000, 1'000'000};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--quick") {
            sizes = {10'000};
            g_capMs = 3'000;
        } else if (a.rfind("--rows=", 0) == 0) {
            sizes.clear();
            const char* p = a.c_str() + 7;
            while (*p) {
                char* end = nullptr;
                const long v = std::strtol(p, &end, 10);
                if (end == p || v < 10 || v > 5'000'000) return usage(argv[0]);
                sizes.push_back(static_cast<int>(v));
                p = *end == ',' ? end + 1 : end;
                if (*end && *end != ',') return usage(argv[0]);
            }
            if (sizes.empty()) return usage(argv[0]);
        } else if (a.rfind("--cap=", 0) == 0) {
            const double s = std::atof(a.c_str() + 6);
            if (!(s > 0)) return usage(argv[0]);
            g_capMs = s * 1000;
        } else if (a.rfind("--benchmark_", 0) == 0) {
            // scripts/bench.sh passes Google Benchmark options to every program
        } else {
            return usage(argv[0]);
        }
    }

    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The offscreen platform warns at every shown window that it cannot raise it.
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& ctx, const QString& msg) {
            if (!msg.contains(QLatin1String("does not support raise()"))) previous(type, ctx, msg);
        });
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    qx::qt::TQtWidgetSet set;
    // Installed for the qx Qt column only: the headless column must measure with the headless
    // set's canvas, which a grid takes from whatever set is installed.
    struct TInstall {
        explicit TInstall(qx::platform::TWidgetSet* s) { qx::platform::SetWidgetSet(s); }
        ~TInstall() { qx::platform::SetWidgetSet(nullptr); }
        TInstall(const TInstall&) = delete;
        TInstall& operator=(const TInstall&) = delete;
    };

    printMachine(sizes);
    TResults res;
    TNotes notes;
    try {
        for (int rows : sizes) {
            std::fprintf(stderr, "== %d rows\n", rows);
            {
                THeadlessSubject s;
                measure(s, kHeadless, rows, res, notes);
            }
            {
                TInstall install(&set);
                TQtGridSubject s;
                s.Setup();
                notes.Add(
                    strf("qx Qt grid widget %dx%d", s.Widget()->width(), s.Widget()->height()));
                s.Teardown();
                measure(s, kQtGrid, rows, res, notes);
            }
            {
                TTableWidgetSubject s;
                measure(s, kTable, rows, res, notes);
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "grid_bench: %s\n", e.what());
        res.Print(sizes);
        return 1;
    }
    res.Print(sizes);
    std::printf("\n");
    for (const std::string& n : notes.lines) std::printf("note: %s\n", n.c_str());
    return 0;
}
