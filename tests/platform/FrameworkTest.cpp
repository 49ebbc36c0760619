// The component framework: layout, input paths, peers, modal forms, menus and dialogs.
#include "tests/support/TestSupport.h"

namespace {
// A peer that records what it was told.
struct RecordingPeer : TControlPeer {
    std::vector<unsigned> changes;
    void Changed(unsigned what) override { changes.push_back(what); }
};

// A panel in `parent` with this alignment and height.
TPanel* alignedPanel(TComponent* owner, TWinControl* parent, TAlign align, int height = 0) {
    auto* p = MakeChild<TPanel>(owner, parent, "");
    if (height) p->SetHeight(height);
    p->SetAlign(align);
    return p;
}
}  // namespace

TEST(Framework, AlignedChildrenShareTheClientArea) {
    TForm form(nullptr);
    form.SetClientWidth(630);
    form.SetClientHeight(229);
    TPanel* bottom = alignedPanel(&form, &form, alBottom, 39);
    TPanel* top = alignedPanel(&form, &form, alTop, 124);
    TPanel* rest = alignedPanel(&form, &form, alClient);
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 190, 630, 229));
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 630, 124));
    EXPECT_EQ(rest->BoundsRect(), Rect(0, 124, 630, 190));

    int resized = 0;
    top->OnResize = [&](TObject*) { ++resized; };
    form.SetClientWidth(700);  // children follow the new width
    EXPECT_EQ(top->Width(), 700);
    EXPECT_EQ(resized, 1);
    form.SetClientHeight(top->Height() + bottom->Height());
    EXPECT_EQ(rest->Height(), 0);
}

TEST(Framework, ADestroyedParentDoesNotLayOutTheChildrenItLetsGo) {
    // Children owned elsewhere outlive the parent; their resize handlers would otherwise run
    // while the parent (a derived form in practice) is half destroyed.
    TComponent owner(nullptr);
    auto* parent = new TPanel(nullptr);
    parent->SetBounds(0, 0, 200, 100);
    TPanel* rest = alignedPanel(&owner, parent, alClient);
    TPanel* top = alignedPanel(&owner, parent, alTop, 30);
    ASSERT_EQ(rest->BoundsRect(), Rect(0, 30, 200, 100));
    int resized = 0;
    rest->OnResize = [&](TObject*) { ++resized; };
    delete parent;
    EXPECT_EQ(resized, 0);
    EXPECT_EQ(rest->Parent(), nullptr);
    EXPECT_EQ(top->Parent(), nullptr);
    EXPECT_EQ(rest->BoundsRect(), Rect(0, 30, 200, 100));
}

TEST(Framework, EditInputMarksModifiedAndIsNotEchoedToThePeer) {
    TEdit edit(nullptr);
    int changes = 0;
    edit.OnChange = [&](TObject*) { ++changes; };
    edit.SetText("before");
    EXPECT_FALSE(edit.Modified());
    auto peer = std::make_unique<RecordingPeer>();
    RecordingPeer* p = peer.get();
    edit.AttachPeer(std::move(peer));
    EXPECT_EQ(p->changes, std::vector<unsigned>{pcAll}) << "replayed when attached";
    {
        TControl::TPeerInput fromPeer(edit);
        edit.UserInput("typed");
    }
    EXPECT_TRUE(edit.Modified());
    EXPECT_EQ(p->changes, std::vector<unsigned>{pcAll});
    edit.SetReadOnly(true);
    edit.UserInput("refused");
    EXPECT_EQ(edit.Text(), "typed");
    EXPECT_EQ(changes, 2);
    edit.SetText("from code");
    EXPECT_EQ(p->changes, (std::vector<unsigned>{pcAll, pcState, pcText}));
}

TEST(Framework, FocusFollowsTabOrderAndRaisesEnterAndExit) {
    TForm form(nullptr);
    auto* e1 = new TEdit(&form);
    auto* e2 = new TEdit(&form);
    auto* label = new TLabel(&form);
    e1->SetParent(&form);
    label->SetParent(&form);
    e2->SetParent(&form);
    form.ShowForm();
    std::string trace;
    e1->OnExit = [&](TObject*) { trace += "exit1 "; };
    e2->OnEnter = [&](TObject*) { trace += "enter2 "; };
    e1->SetFocus();
    form.SelectNext();
    EXPECT_TRUE(e2->Focused());
    EXPECT_EQ(trace, "exit1 enter2 ");
    e2->SetTabOrder(0);
    form.SelectNext();  // wraps to e1, which now comes second
    EXPECT_TRUE(e1->Focused());
}

TEST(Framework, FormsArePlacedByPosition) {
    TForm owner(nullptr);
    owner.SetBounds(100, 100, 800, 600);
    TForm form(&owner);
    form.SetBounds(0, 0, 400, 200);
    form.SetPosition(poOwnerFormCenter);
    form.ShowForm();
    EXPECT_EQ(form.Left(), 300);
    EXPECT_EQ(form.Top(), 300);
}

TEST(Framework, PopupMenuRaisesOnPopupAndClicksTheChosenShownEnabledItem) {
    qx::test::TResponderScope r;
    TPopupMenu menu(nullptr);
    std::string clicked;
    auto add = [&](TMenuItem* parent, const char* caption, const char* name) {
        auto* item = new TMenuItem(&menu);
        item->SetCaption(caption);
        item->OnClick = [&clicked, name](TObject*) { clicked = name; };
        parent->Add(item);
        return item;
    };
    TMenuItem* file = add(menu.Items(), "Datei", "file");
    TMenuItem* save = add(file, "Speichern", "save");
    bool before = false;
    menu.OnPopup = [&](TObject*) { before = true; };
    r.PopupMenu("Datei|Speichern");
    menu.Popup(10, 20);
    EXPECT_TRUE(before);
    EXPECT_EQ(clicked, "save");
    EXPECT_EQ(r.Requests().back().text, "Datei\n  Speichern\n");

    save->SetEnabled(false);  // a disabled item is not clicked
    clicked.clear();
    r.PopupMenu("Datei|Speichern");
    menu.Popup(0, 0);
    EXPECT_EQ(clicked, "");

    // Of two items with one caption, the shown one is chosen.
    add(menu.Items(), "L\366schen", "rows")->SetVisible(false);
    add(menu.Items(), "L\366schen", "cols");
    r.PopupMenu("L\366schen");
    menu.Popup(0, 0);
    EXPECT_EQ(clicked, "cols");
}

TEST(Framework, MenuItemsOwnTheirSubItems) {
    auto* root = new TMenuItem(nullptr);
    auto* a = new TMenuItem(nullptr);
    auto* b = new TMenuItem(nullptr);
    root->Add(a);
    a->Add(b);
    root->Insert(0, new TMenuItem(nullptr));
    EXPECT_EQ(root->IndexOf(a), 1);
    delete a;  // leaves root and takes b with it (ASan checks the rest)
    EXPECT_EQ(root->Count(), 1);
    delete root;
}

TEST(Framework, SaveDialogAddsExtensionAndAsksBeforeOverwriting) {
    qx::test::TTempDir dir;
    const std::string existing = dir.File("table.tbl");
    { TFileStream f(existing, fmCreate); }
    qx::test::TResponderScope r;
    TSaveDialog dlg(nullptr);
    dlg.SetDefaultExt("tbl");
    dlg.SetFilter("Tabellen|*.tbl|Text|*.txt");
    dlg.SetOptions(ofOverwritePrompt);
    r.FileDialog(dir.File("table"));
    r.MessageBox(IDNO);  // do not replace: the dialog comes back
    r.FileDialog(dir.File("new"));
    EXPECT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), dir.File("new.tbl"));
    EXPECT_EQ(dlg.FilterPattern(2), "*.txt");
    r.FileDialog("", false);
    EXPECT_FALSE(dlg.Execute());
}
