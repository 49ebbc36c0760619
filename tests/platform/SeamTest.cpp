// The framework's side of the widget-set seam, headless: the measuring canvas, the popup a
// right click opens, forms shown by Show(), focus lost to something that is no control, the
// screen point a peer maps, and the peer class each control names.
#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {

using qx::platform::TDialogKind;

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

// ---------------------------------------------------------------------------- measuring

TEST(Seam, MeasuringOutsidePaintingKeepsNoRecordsAndComesFromTheWidgetSet) {
    TPanel panel(nullptr);
    TCanvas& measure = panel.Canvas();
    EXPECT_EQ(dynamic_cast<TRecordingCanvas*>(&measure), nullptr)
        << "a measuring canvas must not record";
    measure.Font.Size = 10;
    for (int i = 0; i < 1000; ++i) measure.TextOut(0, i, "Zeile");  // nothing is kept
    EXPECT_EQ(measure.TextWidth("abcd"), 4 * TRecordingCanvas::CharWidth(10));
    EXPECT_EQ(measure.TextHeight("abcd"), TRecordingCanvas::LineHeight(10));
    EXPECT_EQ(&panel.Canvas(), &measure);

    // While painting Canvas() is the painter's; afterwards, also after a paint that threw, the
    // same measuring canvas again.
    TRecordingCanvas painter;
    TCanvas* during = nullptr;
    struct TPaintingPanel : TPanel {
        using TPanel::TPanel;
        std::function<void()> onPaint;
        void Paint() override { onPaint(); }
    } painting(nullptr);
    TCanvas& own = painting.Canvas();
    painting.onPaint = [&] { during = &painting.Canvas(); };
    painting.PaintTo(painter);
    EXPECT_EQ(during, &painter);
    EXPECT_EQ(&painting.Canvas(), &own);
    painting.onPaint = [] { throw std::runtime_error("paint"); };
    EXPECT_THROW(painting.PaintTo(painter), std::runtime_error);
    EXPECT_EQ(&painting.Canvas(), &own);

    // Another widget set measures its way; the canvas's font stays.
    TCountingSet set;
    TSetScope scope(set);
    TCanvas& other = panel.Canvas();
    EXPECT_EQ(other.TextWidth("abcd"), 28);
    EXPECT_EQ(other.Font.Size, 10);
}

// ---------------------------------------------------------------------------- popup menus

class SeamPopup : public qx::test::ErrorStateTest {};

TEST_F(SeamPopup, ARightReleaseOpensTheMenuAtTheScreenPointUnlessTakenAwayOrOverridden) {
    qx::test::TResponderScope r;
    TForm form(nullptr);
    form.SetBounds(100, 50, 400, 300);
    auto* grid = MakeChild<TStringGrid>(&form, &form, "Grid");
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
    EXPECT_EQ(r.Requests()[0].eKind, TDialogKind::PopupMenu);
    const TPoint at = grid->ClientToScreen({30, 40});
    EXPECT_EQ(r.Requests()[0].caption, std::to_string(at.x) + "," + std::to_string(at.y));
    EXPECT_EQ(at, (TPoint{100 + 4 + 10 + 30, 50 + 23 + 20 + 40}));

    // Other buttons, no menu, or a menu taken away by the handler open nothing (the responder
    // fails the test otherwise).
    grid->MouseUp(mbLeft, 0, 30, 40);
    grid->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) {
        grid->SetPopupMenu(nullptr);
    };
    grid->MouseUp(mbRight, 0, 30, 40);
    grid->MouseUp(mbRight, 0, 30, 40);
    EXPECT_EQ(r.Requests().size(), 1u);

    // A grid that opens its own menu on a right release: only that one.
    struct TOwnMenuGrid : TStringGrid {
        using TStringGrid::TStringGrid;
        TPopupMenu* own = nullptr;
        void MouseUp(TMouseButton b, TShiftState, int x, int y) override {
            if (b == mbRight) own->Popup(x, y);
        }
    } custom(nullptr);
    TPopupMenu own(nullptr);
    own.Items()->Add(new TMenuItem(&own));
    own.Items()->Items(0)->SetCaption("Eigenes");
    custom.own = &own;
    custom.SetPopupMenu(&menu);
    order.clear();
    r.PopupMenu("Eigenes");
    custom.MouseUp(mbRight, 0, 5, 6);
    ASSERT_EQ(r.Requests().size(), 2u);
    EXPECT_EQ(r.Requests()[1].text, "Eigenes\n");
    EXPECT_EQ(order, "");  // the framework's menu stayed shut
}

// ---------------------------------------------------------------------------- forms

TEST(Seam, ShowOnAFormShowsItModelesslyWithOneOnShowAndShowModalDoesNot) {
    TCountingSet set;
    TSetScope scope(set);
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 200);
    form.SetPosition(poScreenCenter);
    int shows = 0;
    form.OnShow = [&](TObject*) { ++shows; };

    form.Show();
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(set.shown, 1);
    EXPECT_EQ(form.Top(), (Screen->WorkAreaHeight() - 200) / 2);  // placed as ShowForm places

    form.ShowForm();  // already shown: to the front, no second OnShow
    form.SetVisible(true);
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(set.shown, 2);

    form.Hide();
    form.SetVisible(true);
    EXPECT_EQ(shows, 2);
    EXPECT_EQ(set.shown, 3);
    form.Close();
    EXPECT_FALSE(form.Visible());

    TForm modal(nullptr);
    modal.OnShow = [&](TObject*) { ++shows; };
    EXPECT_EQ(modal.ShowModal(), mrCancel);
    EXPECT_EQ(shows, 3);
    EXPECT_EQ(set.shown, 3) << "a modal form is not shown modelessly too";
    EXPECT_FALSE(modal.Visible());
}

// ---------------------------------------------------------------------------- focus, peers

TEST(Seam, KillFocusEndsTheFocusWithOnExit) {
    TForm form(nullptr);
    auto* a = MakeChild<TEdit>(&form, &form, "a");
    auto* b = MakeChild<TEdit>(&form, &form, "b");
    int exits = 0;
    a->OnExit = [&](TObject*) { ++exits; };
    a->SetFocus();
    b->KillFocus();  // not focused: nothing
    EXPECT_EQ(form.ActiveControl(), a);
    a->KillFocus();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(form.ActiveControl(), nullptr);
    a->KillFocus();
    EXPECT_EQ(exits, 1);
}

TEST(Seam, ClientToScreenTakesThePeersAnswerWhenItHasOne) {
    struct TMappingPeer : TControlPeer {
        std::optional<TPoint> answer;
        void Changed(unsigned) override {}
        std::optional<TPoint> ClientToScreen(TPoint p) const override {
            if (!answer) return std::nullopt;
            return TPoint{answer->x + p.x, answer->y + p.y};
        }
    };
    TForm form(nullptr);
    form.SetBounds(100, 50, 400, 300);
    auto* edit = MakeChild<TEdit>(&form, &form, "e");
    edit->SetBounds(10, 20, 100, 21);
    const TPoint computed{100 + 4 + 10 + 1, 50 + 23 + 20 + 2};
    EXPECT_EQ(edit->ClientToScreen({1, 2}), computed);

    auto peer = std::make_unique<TMappingPeer>();
    TMappingPeer* p = peer.get();
    edit->AttachPeer(std::move(peer));
    EXPECT_EQ(edit->ClientToScreen({1, 2}), computed);  // no answer: computed
    p->answer = TPoint{1000, 2000};
    EXPECT_EQ(edit->ClientToScreen({1, 2}), (TPoint{1001, 2002}));
}

// The peer class names which widget a widget set builds; subclasses inherit it. (The Qt tests
// show the widgets built for edits, buttons, boxes, labels and up/downs.)
TEST(Seam, ControlsNameTheirPeerClassAndSubclassesInheritIt) {
    EXPECT_EQ(TForm(nullptr).PeerClass(), "TCustomForm");
    EXPECT_EQ(TPanel(nullptr).PeerClass(), "TCustomControl");
    EXPECT_EQ(TGroupBox(nullptr).PeerClass(), "TGroupBox");
    EXPECT_EQ(TCSpinEdit(nullptr).PeerClass(), "TEdit");
    EXPECT_EQ(TWinControl(nullptr).PeerClass(), "TControl");
}

}  // namespace
