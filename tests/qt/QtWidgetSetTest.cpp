// The Qt widget set: canvas, control peers, menus, boxes and the clipboard.
#include <QCheckBox>
#include <QFileDialog>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "tests/qt/QtTestSupport.h"

namespace {

using qx::test::Latin1;
using qx::test::QtTest;
using qx::test::Widget;

class QtControls : public QtTest {
  protected:
    void SetUp() override {
        QtTest::SetUp();
        MakeForm("Controls", 200, 190).SetCaption("Steuerelemente");
        auto place = [this](auto* c, const char* name, int top) {
            c->SetName(name);
            c->SetParent(form.get());
            c->SetBounds(10, top, 150, 21);
            return c;
        };
        edit = place(new TEdit(form.get()), "edit", 10);
        check = place(new TCheckBox(form.get()), "check", 40);
        check->SetCaption("Pr\374fen");
        button = place(new TButton(form.get()), "button", 70);
        button->SetCaption("Schlie\337en");
        label = place(new TLabel(form.get()), "label", 100);
        radio = place(new TRadioButton(form.get()), "radio", 160);
        label->SetCaption("\304nderung");
        spin = place(new TCSpinEdit(form.get()), "spin", 130);
        form->ShowForm();
    }

    TEdit* edit;
    TCheckBox* check;
    TButton* button;
    TLabel* label;
    TRadioButton* radio;  // among controls of other kinds, which checking it passes over
    TCSpinEdit* spin;
};

TEST_F(QtControls, StateFollowsTheControlsAndInputReachesThem) {
    QWidget* top = Widget(form.get());
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(top->isVisible());
    EXPECT_EQ(top->windowTitle(), QStringLiteral("Steuerelemente"));
    EXPECT_EQ(top->size(), QSize(form->ClientWidth(), form->ClientHeight()));

    auto* le = Widget<QLineEdit>(edit);
    ASSERT_NE(le, nullptr);
    EXPECT_EQ(le->geometry(), QRect(10, 10, 150, 21));
    EXPECT_EQ(le->parentWidget(), top);
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    qx::test::TypeText(le, Latin1("\344b"));
    EXPECT_EQ(edit->Text(), "\344b");
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(changes, 2);
    edit->SetText("neu \337");
    EXPECT_EQ(le->text(), Latin1("neu \337"));
    edit->SetEnabled(false);
    EXPECT_FALSE(le->isEnabled());
    edit->SetBounds(20, 15, 100, 25);
    EXPECT_EQ(le->geometry(), QRect(20, 15, 100, 25));
    edit->Hide();
    EXPECT_FALSE(le->isVisible());

    auto* cb = Widget<QCheckBox>(check);
    ASSERT_NE(cb, nullptr);
    EXPECT_EQ(cb->text(), Latin1("Pr\374fen"));
    int clicks = 0;
    check->OnClick = [&](TObject*) { ++clicks; };
    QTest::mouseClick(cb, Qt::LeftButton);
    EXPECT_TRUE(check->Checked());
    EXPECT_EQ(clicks, 1);
    check->SetChecked(false);
    EXPECT_FALSE(cb->isChecked());
    QTest::mouseClick(Widget<QRadioButton>(radio), Qt::LeftButton);
    EXPECT_TRUE(radio->Checked());

    auto* pb = Widget<QPushButton>(button);
    ASSERT_NE(pb, nullptr);
    EXPECT_EQ(pb->text(), Latin1("Schlie\337en"));
    int pressed = 0;
    button->OnClick = [&](TObject*) { ++pressed; };
    QTest::mouseClick(pb, Qt::LeftButton);
    EXPECT_EQ(pressed, 1);

    spin->SetMaxValue(10);
    QWidget* arrows = Widget(spin->Button());
    ASSERT_NE(arrows, nullptr);
    auto buttons = arrows->findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 2);
    QTest::mouseClick(buttons[0], Qt::LeftButton);
    EXPECT_EQ(spin->Value(), 1);
    EXPECT_EQ(Widget<QLineEdit>(spin)->text(), QStringLiteral("1"));

    qx::test::Screenshot(top, "controls.png");
}

TEST_F(QtControls, ModalFormEndsWithTheButtonsModalResult) {
    button->SetModalResult(mrOk);
    form->Hide();
    qx::test::TModalGuard guard;
    Later([&] {
        QWidget* top = Widget(form.get());
        ASSERT_NE(top, nullptr);
        EXPECT_TRUE(top->isVisible());
        EXPECT_TRUE(top->isModal());
        QTest::mouseClick(Widget<QPushButton>(button), Qt::LeftButton);
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_FALSE(Widget(form.get())->isVisible());
    EXPECT_FALSE(form->Visible());
}

TEST_F(QtTest, PopupMenuShowsTheItemsAndChoosesTheClickedOneOrNone) {
    TPopupMenu menu(nullptr);
    auto add = [](TMenuItem* parent, const char* caption) {
        auto* item = new TMenuItem(nullptr);
        item->SetCaption(caption);
        parent->Add(item);
        return item;
    };
    TMenuItem* open = add(menu.Items(), "\326ffnen");
    add(menu.Items(), "-");
    TMenuItem* off = add(menu.Items(), "Gesperrt");
    off->SetEnabled(false);
    add(menu.Items(), "Versteckt")->SetVisible(false);
    TMenuItem* sub = add(menu.Items(), "Mehr");
    add(sub, "Eins");
    int opened = 0;
    open->OnClick = [&](TObject*) { ++opened; };

    qx::test::TModalGuard guard;
    Later([] {
        QWidget* m = QApplication::activePopupWidget();
        ASSERT_NE(m, nullptr);
        QTest::keyClick(m, Qt::Key_Escape);
    });
    menu.Popup(10, 10);
    EXPECT_EQ(opened, 0) << "closed without a choice";

    Later([&] {
        auto* m = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(m, nullptr);
        QStringList texts;
        for (QAction* a : m->actions())
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        EXPECT_EQ(texts, (QStringList{Latin1("\326ffnen"), QStringLiteral("-"),
                                      QStringLiteral("Gesperrt"), QStringLiteral("Mehr")}));
        ASSERT_EQ(m->actions().size(), 4);
        EXPECT_FALSE(m->actions()[2]->isEnabled());
        EXPECT_NE(m->actions()[3]->menu(), nullptr);
        EXPECT_EQ(m->pos(), QPoint(100, 100)) << "at the screen point asked for";
        QTest::mouseClick(m, Qt::LeftButton, {}, m->actionGeometry(m->actions()[0]).center());
    });
    menu.Popup(100, 100);
    EXPECT_EQ(opened, 1);
}

// The active modal window as W; fails the step when there is none.
template <class W>
W* Modal() {
    auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
    EXPECT_NE(w, nullptr) << "no modal " << W::staticMetaObject.className();
    return w;
}

TEST_F(QtTest, MessageBoxShowsUnicodeAndReturnsTheButtonPressed) {
    qx::test::TModalGuard guard;
    Later([] {
        auto* box = Modal<QMessageBox>();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), Latin1("Gr\366\337e \344ndern?"));
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Frage"));
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        ASSERT_NE(box->button(QMessageBox::Cancel), nullptr);
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    EXPECT_EQ(Application->MessageBox("Gr\366\337e \344ndern?", "Frage",
                                      MB_YESNOCANCEL | MB_ICONQUESTION),
              IDNO);

    Later([] {
        auto* box = Modal<QMessageBox>();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Information"));
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    EXPECT_EQ(MessageDlg("Fertig", mtInformation, mbOK | mbCancel), mrOk);
}

TEST_F(QtTest, SaveDialogMapsFiltersAndReturnsTheChosenFile) {
    qx::test::TTempDir dir;
    TSaveDialog dialog(nullptr);
    dialog.SetTitle("Tabelle speichern");
    dialog.SetFilter("Tabellen|*.qxt|Text|*.txt;*.csv|Alle Dateien|*.*");
    dialog.SetFilterIndex(3);
    dialog.SetDefaultExt("qxt");
    dialog.SetInitialDir(dir.Path());
    qx::test::TModalGuard guard;
    Later([&] {
        auto* dlg = Modal<QFileDialog>();
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Tabelle speichern"));
        EXPECT_EQ(dlg->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dlg->nameFilters(), (QStringList{QStringLiteral("Tabellen (*.qxt)"),
                                                   QStringLiteral("Text (*.txt *.csv)"),
                                                   QStringLiteral("Alle Dateien (*)")}));
        EXPECT_EQ(dlg->selectedNameFilter(), QStringLiteral("Alle Dateien (*)"));
        dlg->selectNameFilter(QStringLiteral("Tabellen (*.qxt)"));
        dlg->selectFile(QString::fromStdString(dir.Path()) + Latin1("/Gr\366\337e"));
        QMetaObject::invokeMethod(dlg, "accept");  // as the dialog's Save button does
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), dir.Path() + "/Gr\366\337e.qxt");
    EXPECT_EQ(dialog.FilterIndex(), 1);

    Later([] {
        if (auto* dlg = Modal<QFileDialog>()) dlg->reject();
    });
    EXPECT_FALSE(dialog.Execute());
}

TEST_F(QtTest, ClipboardTextAndRegisteredFormatsReachTheSystemClipboard) {
    ASSERT_TRUE(qx::platform::SetClipboardText("Gr\374\337e"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), Latin1("Gr\374\337e"));
    EXPECT_EQ(qx::platform::GetClipboardText(), "Gr\374\337e");

    const unsigned format = qx::platform::RegisterClipboardFormat("QxQtTestBlock");
    auto& cb = qx::platform::Clipboard();
    ASSERT_TRUE(cb.Open());
    ASSERT_TRUE(cb.Empty());
    const char bytes[] = {1, 0, 2, 3};
    ASSERT_TRUE(cb.SetData(format, bytes, sizeof bytes));
    const char text[] = "x\344";
    ASSERT_TRUE(cb.SetData(CF_TEXT, text, sizeof text));
    EXPECT_EQ(cb.DataSize(format), sizeof bytes);
    ASSERT_TRUE(cb.Close());

    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->data(QStringLiteral("application/x-qx-QxQtTestBlock")),
              QByteArray(bytes, sizeof bytes));
    EXPECT_EQ(mime->text(), Latin1("x\344"));

    ASSERT_TRUE(cb.Open());
    EXPECT_TRUE(cb.HasFormat(format));
    char back[8] = {};
    EXPECT_EQ(cb.ReadData(format, 1, back, sizeof back), 3u);
    EXPECT_EQ(std::string(back, 3), std::string("\0\2\3", 3));
    const auto formats = cb.Formats();
    EXPECT_NE(std::find(formats.begin(), formats.end(), format), formats.end());
    EXPECT_NE(std::find(formats.begin(), formats.end(), CF_TEXT), formats.end());
    ASSERT_TRUE(cb.Close());
    EXPECT_FALSE(cb.Close());  // not open any more
}

TEST_F(QtTest, ScreenComesFromQt) {
    const QRect r = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(Screen->Width(), r.width());
    EXPECT_EQ(Screen->Height(), r.height());
    EXPECT_EQ(Screen->WorkAreaHeight(),
              QGuiApplication::primaryScreen()->availableGeometry().height());
}

}  // namespace
