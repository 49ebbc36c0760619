// The base grid at table sizes: axis geometry against a plain reference, lookups that do not
// walk the rows, painting of the visible block only, structural changes and batching.
#include <random>

#include "tests/support/TestSupport.h"

using qx::platform::TGridAxis;

namespace {

// The geometry written the plain way: walk the entries.
struct TReferenceAxis {
    std::vector<int> sizes;
    int fixed = 0, first = 0, line = 1;

    int room(int i) const { return std::max(0, sizes[static_cast<size_t>(i)]) + line; }
    int count() const { return static_cast<int>(sizes.size()); }
    int position(int i) const {
        if (i < 0 || i >= count() || (i >= fixed && i < first)) return -1;
        int at = 0;
        for (int k = 0; k < std::min(i, fixed); ++k) at += room(k);
        for (int k = first; k < i; ++k) at += room(k);
        return at;
    }
    int indexAt(int px) const {
        if (px < 0) return -1;
        int edge = 0;
        for (int k = 0; k < fixed; ++k)
            if (px < (edge += room(k))) return k;
        for (int k = first; k < count(); ++k)
            if (px < (edge += room(k))) return k;
        return -1;
    }
    int visibleCount(int extent) const {
        int at = 0, n = 0;
        for (int k = 0; k < fixed; ++k) at += room(k);
        for (int k = first; k < count() && (at += room(k)) <= extent + line; ++k) ++n;
        return n;
    }
    int lastPageStart(int extent) const {
        int space = extent + line;
        for (int k = 0; k < fixed; ++k) space -= room(k);
        int t = count();
        while (t > fixed && (space -= room(t - 1)) >= 0) --t;
        return std::clamp(t, fixed, std::max(fixed, count() - 1));
    }
    int total() const {
        int sum = -line;
        for (int k = 0; k < count(); ++k) sum += room(k);
        return std::max(0, sum);
    }
};

void expectSame(const TGridAxis& axis, const TReferenceAxis& ref, int extent, int step) {
    SCOPED_TRACE(testing::Message() << "step " << step);
    ASSERT_EQ(axis.Count(), ref.count());
    for (int i = 0; i < ref.count(); ++i) {
        ASSERT_EQ(axis.Size(i), ref.sizes[static_cast<size_t>(i)]) << i;
        ASSERT_EQ(axis.Position(i), ref.position(i)) << i;
    }
    for (int px = -1; px < ref.total() + 3; ++px)
        ASSERT_EQ(axis.IndexAt(px), ref.indexAt(px)) << px;
    EXPECT_EQ(axis.VisibleCount(extent), ref.visibleCount(extent));
    EXPECT_EQ(axis.LastPageStart(extent), ref.lastPageStart(extent));
    EXPECT_EQ(axis.Total(), ref.total());
}

// Counts the calls a grid makes to its peer.
class TCountingPeer : public TControlPeer {
  public:
    void Changed(unsigned what) override {
        ++changes;
        bits |= what;
    }
    void Invalidate() override { ++repaints; }
    void InvalidateRect(const TRect& r) override { rects.push_back(r); }
    int changes = 0, repaints = 0;
    unsigned bits = 0;
    std::vector<TRect> rects;
};

// A grid that records which cells it draws, and in which state.
class TCountingGrid : public TStringGrid {
  public:
    using TStringGrid::TStringGrid;
    struct TDrawn {
        int col, row;
        bool fixed;
        bool operator==(const TDrawn&) const = default;
    };
    std::vector<TDrawn> drawn;

  protected:
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override {
        drawn.push_back({col, row, (state & gdFixed) != 0});
        TStringGrid::DrawCell(col, row, rect, state);
    }
};

std::string text(int c, int r) {
    return qx::test::Join({std::to_string(c), ":", std::to_string(r)});
}

// Every cell texted "c:r", and its object slot pointing at a per-row marker.
void fill(TStringGrid& g, std::vector<TObject>& markers) {
    markers.resize(static_cast<size_t>(g.RowCount()));
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c) {
            g.SetCells(c, r, text(c, r));
            g.SetObjects(c, r, &markers[static_cast<size_t>(r)]);
        }
}

// The texts of a column top to bottom, joined by '|'.
std::string column(const TStringGrid& g, int c) {
    std::string s;
    for (int r = 0; r < g.RowCount(); ++r) (s += r ? "|" : "") += g.Cells(c, r);
    return s;
}

}  // namespace

TEST(GridAxis, AgreesWithAWalkingReferenceThroughSizeAndStructureChanges) {
    std::mt19937 rng(5);
    TGridAxis axis(40, 20);
    TReferenceAxis ref{std::vector<int>(40, 20)};
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int step = 0; step < 300; ++step) {
        const int n = axis.Count(), at = pick(0, n - 1), k = pick(1, 3), to = pick(0, n - 1);
        const int size = pick(-3, 50), where = pick(0, n);  // insertion at the end included
        auto& sizes = ref.sizes;
        const int moved = sizes[static_cast<size_t>(at)];
        switch (pick(0, 6)) {
            case 0:  // a negative size takes no room
                axis.SetSize(at, size);
                sizes[static_cast<size_t>(at)] = size;
                break;
            case 1:
                axis.Insert(where, k);
                sizes.insert(sizes.begin() + where, static_cast<size_t>(k), 20);
                break;
            case 2:
                if (n < 8) break;
                axis.Erase(at, k);
                sizes.erase(sizes.begin() + at, sizes.begin() + std::min(at + k, n));
                break;
            case 3:
                axis.Move(at, to);
                sizes.erase(sizes.begin() + at);
                sizes.insert(sizes.begin() + to, moved);
                break;
            case 4:  // grow by one (the appending path) or shrink
                axis.SetCount(std::max(8, n + (k > 1 ? 1 : -2)));
                sizes.resize(static_cast<size_t>(axis.Count()), 20);
                break;
            default:
                ref.fixed = pick(0, 3);
                ref.first = pick(ref.fixed, n - 1);
                axis.SetFixed(ref.fixed);
                axis.SetFirst(ref.first);
                break;
        }
        expectSame(axis, ref, pick(0, 400), step);
        if (HasFatalFailure()) return;
    }
    EXPECT_EQ(axis.FirstToShow(axis.Count() - 1, 0), axis.Count() - 1) << "no room: the row itself";
}

TEST(GridAxis, LookupsAndSizeChangesAtAMillionEntriesDoNotWalkThem) {
    TGridAxis axis(1'000'000, 24);
    axis.SetFixed(1);
    axis.SetFirst(900'000);
    EXPECT_EQ(axis.Total(), 1'000'000 * 25 - 1);  // builds the running totals once
    axis.ResetSteps();
    axis.SetSize(500'000, 40);
    EXPECT_EQ(axis.Position(900'010), 25 + 10 * 25);
    EXPECT_EQ(axis.IndexAt(25 + 10 * 25 + 3), 900'010);
    EXPECT_EQ(axis.LastPageStart(800), 1'000'000 - 31);
    EXPECT_EQ(axis.Total(), 1'000'000 * 25 - 1 + 16);
    for (int i = 0; i < 1000; ++i) axis.SetCount(axis.Count() + 1);  // appending a row at a time
    EXPECT_EQ(axis.Position(1'000'999), 25 + 100'999 * 25);
    EXPECT_LT(axis.Steps(), 1000u * 2 * 64 + 10 * 64) << "each call costs O(log n)";
    axis.Insert(1, 1);  // a structural change rebuilds once, on the next lookup
    axis.ResetSteps();
    axis.Total();
    EXPECT_GE(axis.Steps(), 1'000'000u);
    axis.ResetSteps();
    axis.Total();
    EXPECT_LT(axis.Steps(), 64u);
}

TEST(GridScale, PaintingDeepInALargeGridDrawsExactlyTheCellsInViewAndKeepsNoCanvas) {
    TCountingGrid g(nullptr);
    g.SetBounds(0, 0, 300, 200);
    g.SetColCount(20);
    g.SetRowCount(100'000);
    for (int r : {0, 1, 89'990, 89'993, 89'994, 90'000, 90'001})
        for (int c = 0; c < 20; ++c) g.SetCells(c, r, text(c, r));
    g.SetRow(90'000);
    g.SetLeftCol(5);
    TRecordingCanvas canvas;
    g.PaintTo(canvas);
    // 300 px: the fixed column, then 4 scrolled columns start inside it (the last one cut);
    // 200 px: the fixed row, then 7 whole rows. Row by row, the fixed row first.
    std::vector<TCountingGrid::TDrawn> inView;
    for (int r : {0, 89'994, 89'995, 89'996, 89'997, 89'998, 89'999, 90'000})
        for (int c : {0, 5, 6, 7, 8}) inView.push_back({c, r, c == 0 || r == 0});
    EXPECT_EQ(g.drawn, inView);

    // A clip of one row's band draws that row only, and no line outside it.
    g.drawn.clear();
    canvas.Clear();
    const TRect band = g.CellRect(5, 90'000);
    g.PaintTo(canvas, {0, band.top, g.ClientWidth(), band.bottom});
    EXPECT_EQ(g.drawn, std::vector(inView.end() - 5, inView.end()));
    for (const auto& rec : canvas.Records()) {
        if (rec.op == TRecordingCanvas::Op::MoveTo || rec.op == TRecordingCanvas::Op::LineTo) {
            EXPECT_TRUE(rec.point.y >= band.top && rec.point.y <= band.bottom) << rec.point.y;
        }
    }
    // A clip of one cell draws that cell only, not its neighbours on either side.
    g.drawn.clear();
    g.PaintTo(canvas, g.CellRect(6, 90'000));
    EXPECT_EQ(g.drawn, (std::vector<TCountingGrid::TDrawn>{{6, 90'000, false}}));

    // A canvas that throws while painting is handed back.
    g.OnDrawCell = [](TObject*, int, int, const TRect&, TGridDrawState) {
        throw Exception("draw");
    };
    EXPECT_THROW(g.PaintTo(canvas), Exception);
    EXPECT_NE(&g.Canvas(), &canvas) << "the grid must not keep a canvas that goes out of scope";
}

TEST(GridScale, RowsInsertedDeletedAndMovedCarryTextsObjectsAndSizes) {
    TStringGrid g(nullptr);
    g.SetBounds(0, 0, 400, 400);
    g.SetColCount(4);
    g.SetRowCount(6);
    std::vector<TObject> markers;
    fill(g, markers);
    g.SetRowHeights(3, 40);
    g.SetSelection({1, 3, 2, 4});

    g.InsertRows(2, 2);
    EXPECT_EQ(column(g, 1), "1:0|1:1|||1:2|1:3|1:4|1:5");
    EXPECT_EQ(g.Objects(1, 3), nullptr);
    EXPECT_EQ(g.Objects(1, 5), &markers[3]);
    EXPECT_EQ(g.RowHeights(5), 40);
    EXPECT_EQ(g.RowHeights(2), g.DefaultRowHeight());
    EXPECT_EQ(g.Selection(), (TGridRect{1, 5, 2, 6})) << "the selection keeps to its cells";
    EXPECT_EQ(g.Row(), 5);

    g.DeleteRows(1, 4);  // rows "0:1", two new ones, "0:2"
    EXPECT_EQ(column(g, 0), "0:0|0:3|0:4|0:5");
    EXPECT_EQ(g.RowHeights(1), 40);
    EXPECT_EQ(g.Selection(), (TGridRect{1, 1, 2, 2}));

    g.MoveRow(1, 3);  // "0:3" to the end
    EXPECT_EQ(column(g, 0), "0:0|0:4|0:5|0:3");
    EXPECT_EQ(g.Objects(2, 3), &markers[3]);
    EXPECT_EQ(g.RowHeights(3), 40);

    g.DeleteRows(0, 100);  // a grid keeps one row
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_EQ(g.FixedRows(), 0);
    EXPECT_EQ(g.Cells(3, 0), "3:3") << "the last one";
}

TEST(GridScale, ABatchSendsOnePeerUpdateAndSingleCellsRepaintAlone) {
    TStringGrid g(nullptr);
    g.SetBounds(0, 0, 300, 200);
    g.SetRowCount(1000);
    auto owned = std::make_unique<TCountingPeer>();
    TCountingPeer* peer = owned.get();
    g.AttachPeer(std::move(owned));
    peer->changes = peer->repaints = 0;

    g.SetCells(2, 3, "x");
    EXPECT_EQ(peer->rects, std::vector<TRect>{Rect(130, 75, 195, 100)})
        << "the cell and the lines after it";
    EXPECT_EQ(peer->repaints, 0);
    g.SetCells(2, 900, "not shown");
    EXPECT_EQ(peer->rects.size(), 1u);

    g.BeginUpdate();
    g.BeginUpdate();
    for (int r = 0; r < 1000; ++r) {
        g.SetCells(1, r, "y");
        g.SetRowHeights(r, 30);
    }
    g.InsertRows(5, 10);
    g.SetRow(500);
    g.EndUpdate();
    EXPECT_EQ(peer->changes, 0) << "still inside the outer batch";
    g.EndUpdate();
    EXPECT_EQ(peer->changes, 1);
    EXPECT_EQ(peer->bits & pcContent, pcContent);
    EXPECT_EQ(peer->repaints, 1);
    EXPECT_EQ(peer->rects.size(), 1u);
    g.EndUpdate();  // unbalanced: ignored
    EXPECT_EQ(g.UpdateCount(), 0);
}

TEST(GridScale, AVeryWideGridAllocatesOnlyTheCellsWrittenAndAnchoredColumnsStayPut) {
    TStringGrid g(nullptr);
    g.SetColCount(1'000'000);
    g.SetRowCount(1000);
    // Would be 40 GB if every written row took all its cells.
    for (int r = 0; r < 1000; ++r) g.SetCells(0, r, "x");
    g.SetCells(999'999, 5, "far");
    g.MoveCol(999'999, 1);
    EXPECT_EQ(g.Cells(1, 5), "far");
    EXPECT_EQ(g.Cells(0, 5), "x");
    EXPECT_EQ(g.Cells(2, 5), "");
    g.MoveCol(3, 700'000);
    EXPECT_EQ(g.Cells(1, 5), "far");

    // Anchored columns keep their cells while rows move.
    g.SetColCount(3);
    g.SetRowCount(5);
    std::vector<TObject> markers;
    fill(g, markers);
    g.SetAnchoredCols(1);
    g.InsertRows(1, 2);
    EXPECT_EQ(column(g, 0), "0:0|0:1|0:2|0:3|0:4||") << "anchored cells stay";
    EXPECT_EQ(column(g, 1), "1:0|||1:1|1:2|1:3|1:4") << "the others move";
    EXPECT_EQ(g.Objects(0, 4), &markers[4]);
    g.DeleteRows(0, 3);
    EXPECT_EQ(column(g, 0), "0:0|0:1|0:2|0:3") << "the last anchored cells went";
    EXPECT_EQ(column(g, 1), "1:1|1:2|1:3|1:4");
    g.MoveRow(0, 3);
    EXPECT_EQ(column(g, 0), "0:0|0:1|0:2|0:3");
    EXPECT_EQ(column(g, 1), "1:2|1:3|1:4|1:1");
    g.SetCells(0, 3, "written");
    g.InsertCols(0, 1);  // the new first column is anchored now
    EXPECT_EQ(g.AnchoredCols(), 1);
    EXPECT_EQ(g.Cells(1, 3), "written");
    g.InsertRows(0, 1);
    EXPECT_EQ(g.Cells(1, 4), "written") << "the former anchored column moves with its rows";
    g.SetAnchoredCols(0);
    EXPECT_EQ(g.Cells(1, 4), "written");
    g.SetColCount(1);
    EXPECT_EQ(g.AnchoredCols(), 0);
}
