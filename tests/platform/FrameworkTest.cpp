// The component framework: input paths, peers, form placement and focus, menus and dialogs.
#include "tests/support/TestSupport.h"

namespace {
// A peer that records what it was told.
struct RecordingPeer : TControlPeer {
    std::vector<unsigned> changes;
    void Changed(unsigned what) override { changes.push_back(what); }
};
}  // namespace

TEST(Framework, EditInputFormPlacementAndFocus) {
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
    edit.SetReadOnly(true);
    edit.UserInput("refused");
    EXPECT_EQ(edit.Text(), "typed");
    EXPECT_EQ(changes, 2);
    edit.SetText("from code");
    EXPECT_EQ(p->changes, (std::vector<unsigned>{pcAll, pcState, pcText}));

    // Forms are placed by position, and focus follows the tab order.
    TForm owner(nullptr);
    owner.SetBounds(100, 100, 800, 600);
    TForm form(&owner);
    form.SetBounds(0, 0, 400, 200);
    form.SetPosition(poOwnerFormCenter);
    auto* e1 = new TEdit(&form);
    auto* e2 = new TEdit(&form);
    auto* label = new TLabel(&form);
    e1->SetParent(&form);
    label->SetParent(&form);
    e2->SetParent(&form);
    form.ShowForm();
    EXPECT_EQ(form.BoundsRect(), Rect(300, 300, 700, 500));
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

TEST(Framework, PopupMenusAndTheSaveDialog) {
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
    r.PopupMenu("Datei|Speichern");
    menu.Popup(10, 20);
    EXPECT_EQ(clicked, "save");
    EXPECT_EQ(r.Requests().back().text, "Datei\n  Speichern\n");

    save->SetEnabled(false);  // a disabled item is not clicked
    clicked.clear();
    r.PopupMenu("Datei|Speichern");
    menu.Popup(0, 0);
    EXPECT_EQ(clicked, "");

    // Items own their sub-items: deleting one leaves its parent (ASan checks the rest).
    menu.Items()->Insert(0, new TMenuItem(nullptr));
    EXPECT_EQ(menu.Items()->IndexOf(file), 1);
    delete file;
    EXPECT_EQ(menu.Items()->Count(), 1);

    // The save dialog adds the extension and asks before overwriting.
    qx::test::TTempDir dir;
    const std::string existing = dir.File("table.tbl");
    { TFileStream f(existing, fmCreate); }
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
}
