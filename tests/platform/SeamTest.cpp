// The framework's side of the widget-set seam, headless: the measuring canvas, the popup a
// right click opens and forms shown by Show().
#include "tests/support/TestSupport.h"

namespace {

// A widget set that measures 7 pixels per character and counts the forms it shows.
class TCountingSet : public qx::platform::THeadlessWidgetSet {
  public:
    class TSevenCanvas : public TRecordingCanvas {
      public:
        int TextWidth(const AnsiString& text) override { return 7 * static_cast<int>(text.size()); }
    };
    std::unique_ptr<TCanvas> CreateMeasureCanvas() override {
        return std::make_unique<TSevenCanvas>();
    }
    void ShowForm(TCustomForm&) override { ++shown; }
    int shown = 0;
};

class TSetScope {
  public:
    explicit TSetScope(qx::platform::TWidgetSet& set) { qx::platform::SetWidgetSet(&set); }
    ~TSetScope() { qx::platform::SetWidgetSet(nullptr); }
};

using Seam = qx::test::ErrorStateTest;

TEST_F(Seam, MeasuringShowingAndTheRightClickPopup) {
    // A right release opens the menu at the screen point unless taken away.
    qx::test::TResponderScope r;
    TForm window(nullptr);
    window.SetBounds(100, 50, 400, 300);
    auto* grid = MakeChild<TStringGrid>(&window, &window, "Grid");
    grid->SetBounds(10, 20, 300, 200);
    TPopupMenu menu(nullptr);
    std::string order;
    menu.Items()->Add(new TMenuItem(&menu));
    menu.Items()->Items(0)->SetCaption("Kopieren");
    menu.Items()->Items(0)->OnClick = [&](TObject*) { order += "click;"; };
    menu.OnPopup = [&](TObject*) { order += "popup;"; };
    grid->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { order += "up;"; };
    grid->SetPopupMenu(&menu);
    r.PopupMenu("Kopieren");
    grid->MouseUp(mbRight, 0, 30, 40);
    EXPECT_EQ(order, "up;popup;click;");
    EXPECT_EQ(menu.PopupComponent(), grid);
    ASSERT_EQ(r.Requests().size(), 1u);
    const TPoint at = grid->ClientToScreen({30, 40});
    EXPECT_EQ(r.Requests()[0].caption, std::to_string(at.x) + "," + std::to_string(at.y));

    // Other buttons, no menu, or a menu the handler took away open nothing (else r fails).
    grid->MouseUp(mbLeft, 0, 30, 40);
    grid->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) {
        grid->SetPopupMenu(nullptr);
    };
    grid->MouseUp(mbRight, 0, 30, 40);
    grid->MouseUp(mbRight, 0, 30, 40);
    EXPECT_EQ(r.Requests().size(), 1u);

    // Measuring comes from the widget set.
    TPanel panel(nullptr);
    TCanvas& measure = panel.Canvas();
    EXPECT_EQ(dynamic_cast<TRecordingCanvas*>(&measure), nullptr)
        << "a measuring canvas must not record";
    measure.Font.Size = 10;
    measure.TextOut(3, 4, "Zeile");  // moves the pen only
    EXPECT_EQ(measure.PenPos(), (TPoint{3 + 5 * TRecordingCanvas::CharWidth(10), 4}));
    EXPECT_EQ(measure.TextWidth("abcd"), 4 * TRecordingCanvas::CharWidth(10));
    EXPECT_EQ(measure.TextHeight("abcd"), TRecordingCanvas::LineHeight(10));

    // Another widget set measures its way; the canvas's font stays.
    TCountingSet set;
    TSetScope scope(set);
    TCanvas& other = panel.Canvas();
    EXPECT_EQ(other.TextWidth("abcd"), 28);
    EXPECT_EQ(other.Font.Size, 10);

    // Show() on a form shows it modelessly with one OnShow; ShowModal() does not.
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 200);
    form.SetPosition(poScreenCenter);
    int shows = 0;
    form.OnShow = [&](TObject*) { ++shows; };

    form.Show();
    EXPECT_EQ(std::pair(shows, set.shown), std::pair(1, 1)) << "OnShows, forms shown";
    EXPECT_EQ(form.Top(), (Screen->WorkAreaHeight() - 200) / 2);  // placed as ShowForm places

    form.ShowForm();  // already shown: to the front, no second OnShow
    form.SetVisible(true);
    EXPECT_EQ(std::pair(shows, set.shown), std::pair(1, 2));
    form.Hide();
    form.SetVisible(true);
    EXPECT_EQ(std::pair(shows, set.shown), std::pair(2, 3));
    form.Close();
    EXPECT_FALSE(form.Visible());

    TForm modal(nullptr);
    modal.OnShow = [&](TObject*) { ++shows; };
    EXPECT_EQ(modal.ShowModal(), mrCancel);
    EXPECT_EQ(std::pair(shows, set.shown), std::pair(3, 3)) << "not shown modelessly too";
}

}  // namespace
