// The Qt widget set: canvas, control peers, menus, boxes and the clipboard.
#include <QCheckBox>
#include <QFileDialog>
#include <QClipboard>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "qx/platform/qt/QtCanvas.h"
#include "tests/qt/QtTestSupport.h"

namespace {

using qx::qt::TQtCanvas;
using qx::qt::TQtWidgetSet;
using qx::test::QtTest;

// ---------------------------------------------------------------------------- canvas

TEST_F(QtTest, CanvasFillsLinesAndMeasuresWithItsFont) {
    QImage image(120, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TQtCanvas canvas(painter);

    canvas.Brush.Color = clRed;
    canvas.FillRect({0, 0, 10, 10});
    // The mask-pen-not pen clears the pen's bits: red over white leaves cyan; the end point
    // is left out.
    canvas.Pen.Color = clRed;
    canvas.Pen.Mode = pmMaskPenNot;
    canvas.MoveTo(0, 20);
    canvas.LineTo(50, 20);
    EXPECT_EQ(canvas.PenPos(), (TPoint{50, 20}));

    canvas.Font.Size = 12;
    canvas.Font.Color = clBlue;
    const AnsiString text =
        "Gr\xFC\xDF"
        "e";
    const int width = canvas.TextWidth(text);
    canvas.TextOut(60, 5, text);
    painter.end();

    EXPECT_EQ(image.pixelColor(5, 5), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(10, 10), QColor(255, 255, 255));  // right and bottom excluded
    EXPECT_EQ(image.pixelColor(20, 20), QColor(0, 255, 255));
    EXPECT_EQ(image.pixelColor(50, 20), QColor(255, 255, 255));

    const QFontMetrics fm(TQtCanvas::ToQFont(canvas.Font));
    EXPECT_EQ(width, fm.horizontalAdvance(QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"
                                                            "e")));
    EXPECT_EQ(canvas.TextHeight(text), fm.height());
    EXPECT_GT(width, canvas.TextWidth("Gr"));
    // Blue text pixels lie only where TextOut put the text.
    int blue = 0, stray = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 55; x < 120; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > 150 && c.red() < 100) (x >= 60 && x < 60 + width + 1 ? blue : stray)++;
        }
    EXPECT_GT(blue, 10);
    EXPECT_EQ(stray, 0);
}

// ---------------------------------------------------------------------------- controls

class QtControls : public QtTest {
  protected:
    void SetUp() override {
        QtTest::SetUp();
        form = std::make_unique<TForm>(nullptr);
        form->SetName("Controls");
        form->SetCaption("Steuerelemente");
        auto place = [this](auto* c, const char* name, int top) {
            c->SetName(name);
            c->SetParent(form.get());
            c->SetBounds(10, top, 150, 21);
            return c;
        };
        edit = place(new TEdit(form.get()), "edit", 10);
        check = place(new TCheckBox(form.get()), "check", 40);
        check->SetCaption(
            "Pr\xFC"
            "fen");
        radio1 = place(new TRadioButton(form.get()), "radio1", 70);
        radio2 = place(new TRadioButton(form.get()), "radio2", 100);
        button = place(new TButton(form.get()), "button", 130);
        button->SetCaption(
            "Schlie\xDF"
            "en");
        label = place(new TLabel(form.get()), "label", 160);
        label->SetCaption("\xC4nderung");
        spin = place(new TCSpinEdit(form.get()), "spin", 190);
        form->ShowForm();
    }
    void TearDown() override {
        form.reset();
        QtTest::TearDown();
    }
    template <class W>
    W* widget(TControl* c) {
        return qobject_cast<W*>(TQtWidgetSet::Widget(*c));
    }

    std::unique_ptr<TForm> form;
    TEdit* edit;
    TCheckBox* check;
    TRadioButton *radio1, *radio2;
    TButton* button;
    TLabel* label;
    TCSpinEdit* spin;
};

TEST_F(QtControls, StateFollowsTheControlsAndInputReachesThem) {
    QWidget* top = TQtWidgetSet::Widget(*form);
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(top->isVisible());
    EXPECT_EQ(top->windowTitle(), QStringLiteral("Steuerelemente"));
    EXPECT_EQ(top->size(), QSize(form->ClientWidth(), form->ClientHeight()));

    auto* le = widget<QLineEdit>(edit);
    ASSERT_NE(le, nullptr);
    EXPECT_EQ(le->geometry(), QRect(10, 10, 150, 21));
    EXPECT_EQ(le->parentWidget(), top);
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    qx::test::TypeText(le, QString::fromUtf8("\xC3\xA4"
                                             "b"));
    EXPECT_EQ(edit->Text(),
              "\xE4"
              "b");
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(changes, 2);
    edit->SetText("neu \xDF");
    EXPECT_EQ(le->text(), QString::fromUtf8("neu \xC3\x9F"));
    edit->SetReadOnly(true);
    EXPECT_TRUE(le->isReadOnly());
    edit->SetEnabled(false);
    EXPECT_FALSE(le->isEnabled());
    edit->SetBounds(20, 15, 100, 25);
    EXPECT_EQ(le->geometry(), QRect(20, 15, 100, 25));
    edit->Hide();
    EXPECT_FALSE(le->isVisible());

    auto* cb = widget<QCheckBox>(check);
    ASSERT_NE(cb, nullptr);
    EXPECT_EQ(cb->text(), QString::fromUtf8("Pr\xC3\xBC"
                                            "fen"));
    int clicks = 0;
    check->OnClick = [&](TObject*) { ++clicks; };
    QTest::mouseClick(cb, Qt::LeftButton);
    EXPECT_TRUE(check->Checked());
    EXPECT_TRUE(cb->isChecked());
    EXPECT_EQ(clicks, 1);
    check->SetChecked(false);
    EXPECT_FALSE(cb->isChecked());

    auto* r1 = widget<QRadioButton>(radio1);
    auto* r2 = widget<QRadioButton>(radio2);
    ASSERT_TRUE(r1 && r2);
    QTest::mouseClick(r1, Qt::LeftButton);
    QTest::mouseClick(r2, Qt::LeftButton);
    EXPECT_FALSE(radio1->Checked());
    EXPECT_TRUE(radio2->Checked());
    EXPECT_FALSE(r1->isChecked());
    EXPECT_TRUE(r2->isChecked());

    auto* pb = widget<QPushButton>(button);
    ASSERT_NE(pb, nullptr);
    EXPECT_EQ(pb->text(), QString::fromUtf8("Schlie\xC3\x9F"
                                            "en"));
    int pressed = 0;
    button->OnClick = [&](TObject*) { ++pressed; };
    QTest::mouseClick(pb, Qt::LeftButton);
    EXPECT_EQ(pressed, 1);

    auto* lb = widget<QLabel>(label);
    ASSERT_NE(lb, nullptr);
    EXPECT_EQ(lb->text(), QString::fromUtf8("\xC3\x84nderung"));
    EXPECT_GE(lb->width(), lb->sizeHint().width());  // never cut

    spin->SetMaxValue(10);
    auto* arrows = TQtWidgetSet::Widget(*spin->Button());
    ASSERT_NE(arrows, nullptr);
    auto buttons = arrows->findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 2);
    QTest::mouseClick(buttons[0], Qt::LeftButton);
    EXPECT_EQ(spin->Value(), 1);
    EXPECT_EQ(widget<QLineEdit>(spin)->text(), QStringLiteral("1"));

    ASSERT_TRUE(top->grab().save(QString::fromStdString(qx::test::ArtefactPath("controls.png"))));
}

TEST_F(QtControls, ModalFormEndsWithTheButtonsModalResult) {
    button->SetModalResult(mrOk);
    form->Hide();
    qx::test::TModalGuard guard;
    Later([&] {
        QWidget* top = TQtWidgetSet::Widget(*form);
        ASSERT_NE(top, nullptr);
        EXPECT_TRUE(top->isVisible());
        EXPECT_TRUE(top->isModal());
        QTest::mouseClick(widget<QPushButton>(button), Qt::LeftButton);
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_FALSE(TQtWidgetSet::Widget(*form)->isVisible());
    EXPECT_FALSE(form->Visible());
}

TEST_F(QtControls, ControlsAddedLaterGetWidgetsAndDeletedOnesLoseThem) {
    auto* later = new TButton(form.get());
    later->SetParent(form.get());
    later->SetCaption("sp\xE4t");
    EXPECT_EQ(later->Peer(), nullptr);
    set.Realize(*form);
    QPointer<QWidget> w = TQtWidgetSet::Widget(*later);
    ASSERT_FALSE(w.isNull());
    EXPECT_EQ(w->parentWidget(), TQtWidgetSet::Widget(*form));
    delete later;
    ASSERT_FALSE(w.isNull());
    EXPECT_FALSE(w->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
}

// ---------------------------------------------------------------------------- menus

TEST_F(QtTest, PopupMenuChoosesTheClickedItem) {
    TPopupMenu menu(nullptr);
    auto add = [](TMenuItem* parent, const char* caption) {
        auto* item = new TMenuItem(nullptr);
        item->SetCaption(caption);
        parent->Add(item);
        return item;
    };
    TMenuItem* open = add(menu.Items(),
                          "\xD6"
                          "ffnen");
    add(menu.Items(), "-");
    TMenuItem* off = add(menu.Items(), "Gesperrt");
    off->SetEnabled(false);
    add(menu.Items(), "Versteckt")->SetVisible(false);
    TMenuItem* sub = add(menu.Items(), "Mehr");
    add(sub, "Eins");
    int opened = 0, offClicked = 0;
    open->OnClick = [&](TObject*) { ++opened; };
    off->OnClick = [&](TObject*) { ++offClicked; };

    qx::test::TModalGuard guard;
    Later([&] {
        auto* m = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(m, nullptr);
        QStringList texts;
        QAction* target = nullptr;
        for (QAction* a : m->actions()) {
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
            if (a->text() == QString::fromUtf8("\xC3\x96"
                                               "ffnen"))
                target = a;
            if (a->text() == QStringLiteral("Gesperrt")) {
                EXPECT_FALSE(a->isEnabled());
            }
            if (a->text() == QStringLiteral("Mehr")) {
                EXPECT_NE(a->menu(), nullptr);
            }
        }
        EXPECT_EQ(texts, (QStringList{QString::fromUtf8("\xC3\x96"
                                                        "ffnen"),
                                      QStringLiteral("-"), QStringLiteral("Gesperrt"),
                                      QStringLiteral("Mehr")}));
        ASSERT_NE(target, nullptr);
        QTest::mouseClick(m, Qt::LeftButton, {}, m->actionGeometry(target).center());
    });
    menu.Popup(100, 100);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(offClicked, 0);
}

TEST_F(QtTest, PopupMenuClosedWithoutChoiceClicksNothing) {
    TPopupMenu menu(nullptr);
    auto* item = new TMenuItem(nullptr);
    item->SetCaption("Eins");
    int clicked = 0;
    item->OnClick = [&](TObject*) { ++clicked; };
    menu.Items()->Add(item);
    qx::test::TModalGuard guard;
    Later([] {
        QWidget* m = QApplication::activePopupWidget();
        ASSERT_NE(m, nullptr);
        QTest::keyClick(m, Qt::Key_Escape);
    });
    menu.Popup(10, 10);
    EXPECT_EQ(clicked, 0);
}

// ---------------------------------------------------------------------------- boxes

TEST_F(QtTest, MessageBoxShowsUnicodeAndReturnsTheButtonPressed) {
    qx::test::TModalGuard guard;
    Later([] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QString::fromUtf8("Gr\xC3\xB6\xC3\x9F"
                                                 "e \xC3\xA4ndern?"));
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Frage"));
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        ASSERT_NE(box->button(QMessageBox::Cancel), nullptr);
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    EXPECT_EQ(Application->MessageBox("Gr\xF6\xDF"
                                      "e \xE4ndern?",
                                      "Frage", MB_YESNOCANCEL | MB_ICONQUESTION),
              IDNO);

    Later([] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    EXPECT_EQ(MessageDlg("Fertig", mtInformation, mbOK | mbCancel), mrOk);
}

TEST_F(QtTest, InputQueryReturnsTheTypedTextInCodePage1252) {
    qx::test::TModalGuard guard;
    Later([] {
        auto* dlg = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->labelText(), QString::fromUtf8("Stra\xC3\x9F"
                                                      "e:"));
        auto* le = dlg->findChild<QLineEdit*>();
        ASSERT_NE(le, nullptr);
        EXPECT_EQ(le->text(), QStringLiteral("alt"));
        le->selectAll();
        qx::test::TypeText(le, QString::fromUtf8("M\xC3\xBC"
                                                 "hlweg"));
        dlg->accept();
    });
    AnsiString value = "alt";
    EXPECT_TRUE(InputQuery("Adresse",
                           "Stra\xDF"
                           "e:",
                           value));
    EXPECT_EQ(value,
              "M\xFC"
              "hlweg");

    Later([] {
        auto* dlg = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->reject();
    });
    EXPECT_EQ(InputBox("Adresse", "Ort:", "Bonn"), "Bonn");
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
        auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Tabelle speichern"));
        EXPECT_EQ(dlg->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dlg->nameFilters(), (QStringList{QStringLiteral("Tabellen (*.qxt)"),
                                                   QStringLiteral("Text (*.txt *.csv)"),
                                                   QStringLiteral("Alle Dateien (*)")}));
        EXPECT_EQ(dlg->selectedNameFilter(), QStringLiteral("Alle Dateien (*)"));
        dlg->selectNameFilter(QStringLiteral("Tabellen (*.qxt)"));
        dlg->selectFile(QString::fromStdString(dir.Path()) + QString::fromUtf8("/Gr\xC3\xB6\xC3\x9F"
                                                                               "e"));
        QMetaObject::invokeMethod(dlg, "accept");  // as the dialog's Save button does
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName(), dir.Path() +
                                     "/Gr\xF6\xDF"
                                     "e.qxt");
    EXPECT_EQ(dialog.FilterIndex(), 1);

    Later([] {
        auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->reject();
    });
    EXPECT_FALSE(dialog.Execute());
}

// ---------------------------------------------------------------------------- clipboard

TEST_F(QtTest, ClipboardTextAndRegisteredFormatsReachTheSystemClipboard) {
    ASSERT_TRUE(
        qx::platform::SetClipboardText("Gr\xFC\xDF"
                                       "e"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"
                                                                      "e"));
    EXPECT_EQ(qx::platform::GetClipboardText(),
              "Gr\xFC\xDF"
              "e");

    QGuiApplication::clipboard()->setText(QString::fromUtf8("\xC3\x84pfel"));
    EXPECT_EQ(qx::platform::GetClipboardText(), "\xC4pfel");

    const unsigned format = qx::platform::RegisterClipboardFormat("QxQtTestBlock");
    auto& cb = qx::platform::Clipboard();
    ASSERT_TRUE(cb.Open());
    ASSERT_TRUE(cb.Empty());
    const char bytes[] = {1, 0, 2, 3};
    ASSERT_TRUE(cb.SetData(format, bytes, sizeof bytes));
    const char text[] = "x\xE4";
    ASSERT_TRUE(cb.SetData(CF_TEXT, text, sizeof text));
    EXPECT_EQ(cb.DataSize(format), sizeof bytes);
    ASSERT_TRUE(cb.Close());

    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->data(QStringLiteral("application/x-qx-QxQtTestBlock")),
              QByteArray(bytes, sizeof bytes));
    EXPECT_EQ(mime->text(), QString::fromUtf8("x\xC3\xA4"));

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
