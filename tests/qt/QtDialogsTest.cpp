// The grid's dialogs, the number edit and the table view on real Qt widgets: every control
// shown whole inside its window, input through the widgets, results, screenshots.
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QToolButton>

#include "qx/error/Language.h"
#include "qx/grid/GridDialogs.h"
#include "qx/numeric/DoubleEdit.h"
#include "qx/orvi_components/ORVI_TableView.h"
#include "qx/platform/qt/QtCanvas.h"
#include "tests/qt/QtTestSupport.h"

namespace {

using qx::qt::TQtCanvas;
using qx::test::Latin1;
using qx::test::Screenshot;
using qx::test::TModalGuard;
using qx::test::TopLevel;
using qx::test::Widget;

// Names a widget in failure messages.
QString Describe(const QWidget* w) {
    return QString::fromLatin1(w->metaObject()->className()) + " '" + w->objectName() + "'";
}

// Room a widget needs to show its whole text, or an empty size for widgets without text.
QSize TextRoom(const QWidget* w) {
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->sizeHint();
    if (auto* b = qobject_cast<const QPushButton*>(w)) {
        // A push button's size hint has a style minimum width beyond its text.
        const int margin = b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
        return {QFontMetrics(b->font()).horizontalAdvance(b->text()) + 2 * margin,
                QFontMetrics(b->font()).height()};
    }
    if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w))
        return {w->sizeHint().width(),
                QFontMetrics(w->font()).height()};  // the hint's height has margins
    if (auto* g = qobject_cast<const QGroupBox*>(w)) return {g->minimumSizeHint().width(), 0};
    if (auto* e = qobject_cast<const QLineEdit*>(w)) {
        const QMargins m = e->textMargins();
        return {QFontMetrics(e->font()).horizontalAdvance(e->text()) + m.left() + m.right() + 6,
                QFontMetrics(e->font()).height()};
    }
    return {};
}

// Every visible widget of `window` lies wholly inside it, has room for its whole text and
// overlaps none of its visible siblings.
void ExpectLaidOut(QWidget* window) {
    const QRect area = window->rect();
    const QList<QWidget*> all = window->findChildren<QWidget*>();
    for (QWidget* w : all) {
        if (!w->isVisibleTo(window) || w->isWindow()) continue;
        const QRect at(w->mapTo(window, QPoint(0, 0)), w->size());
        EXPECT_FALSE(at.isEmpty()) << Describe(w).toStdString();
        EXPECT_TRUE(area.contains(at)) << Describe(w).toStdString() << " reaches out of the window";
        const QSize room = TextRoom(w);
        EXPECT_LE(room.width(), w->width()) << Describe(w).toStdString() << " is cut";
        EXPECT_LE(room.height(), w->height()) << Describe(w).toStdString() << " is cut";
        // Siblings: a widget's own layout children (the arrows of an up/down) are placed by Qt.
        const QList<QWidget*> siblings = w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (qsizetype i = 0; i < siblings.size(); ++i)
            for (qsizetype j = i + 1; j < siblings.size(); ++j) {
                QWidget *a = siblings[i], *b = siblings[j];
                if (!a->isVisibleTo(window) || !b->isVisibleTo(window)) continue;
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << Describe(a).toStdString() << " overlaps " << Describe(b).toStdString();
            }
    }
}

// Pixels of `image` inside `r` that have exactly colour `c`.
int CountColour(const QImage& image, const QRect& r, const QColor& c) {
    return qx::test::CountPixels(image, r, [&](QColor p) { return p == c; });
}

QToolButton* Arrow(const TUpDown* upDown, Qt::ArrowType type) {
    for (QToolButton* b : Widget(upDown)->findChildren<QToolButton*>())
        if (b->arrowType() == type) return b;
    return nullptr;
}

QColor Q(TColor c) {
    return TQtCanvas::ToQColor(c);
}

QRect InWindow(const TControl* c, QWidget* window) {
    return {Widget(c)->mapTo(window, QPoint(0, 0)), Widget(c)->size()};
}

class QtDialogs : public qx::test::QtTest {
  protected:
    void TearDown() override {
        TLanguage::setDeutsch();
        QtTest::TearDown();
    }
};

// Each dialog in both languages, ended once with OK and once with Cancel.
struct TDialogCase {
    bool german, ok;
};

class QtDialogCase : public QtDialogs, public testing::WithParamInterface<TDialogCase> {
  protected:
    void SetUp() override {
        QtDialogs::SetUp();
        GetParam().german ? TLanguage::setDeutsch() : TLanguage::setEnglisch();
    }
    bool german() const { return GetParam().german; }
    bool ok() const { return GetParam().ok; }
    // Screenshot file of this language.
    std::string File(const std::string& name, const char* tail = "") const {
        return name + (german() ? "-de" : "-en") + tail + ".png";
    }
    // Shows `d` modally; from its event loop checks that the window is modal and laid out,
    // runs `steps` on it and ends it with OK or Cancel as the case says.
    void Run(TForm& d, TButton* okButton, TButton* cancelButton,
             const std::function<void(QWidget*)>& steps) {
        const QString name = QString::fromStdString(d.Name());
        bool seen = false;
        TModalGuard guard;
        Later([&] {
            QWidget* window = TopLevel(name);
            ASSERT_NE(window, nullptr);
            EXPECT_TRUE(window->isModal());
            ExpectLaidOut(window);
            steps(window);
            seen = true;
            QTest::mouseClick(Widget<QPushButton>(ok() ? okButton : cancelButton), Qt::LeftButton);
        });
        EXPECT_EQ(d.ShowModal(), ok() ? mrOk : mrCancel);
        EXPECT_TRUE(seen);
        EXPECT_EQ(TopLevel(name), nullptr);
    }
};

INSTANTIATE_TEST_SUITE_P(Languages, QtDialogCase,
                         testing::Values(TDialogCase{true, true}, TDialogCase{true, false},
                                         TDialogCase{false, true}, TDialogCase{false, false}),
                         [](const auto& info) {
                             return std::string(info.param.german ? "de" : "en") +
                                    (info.param.ok ? "_ok" : "_cancel");
                         });

TEST_P(QtDialogCase, CountDialogStepsThroughItsArrowsAndWritesBackOnOkOnly) {
    int count = 5;
    const char* title = german() ? "Zeilen einf\374gen" : "Insert rows";
    TIncreaseSize d(nullptr, 1000, 1, &count, title);
    Run(d, d.btOk, d.btCancel, [&](QWidget* form) {
        EXPECT_EQ(form->windowTitle(), Latin1(title));
        auto* edit = Widget<QLineEdit>(d.DoubleEdit1->EditField());
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), QStringLiteral("5"));
        QToolButton* up = Arrow(d.DoubleEdit1->UpDown(), Qt::UpArrow);
        ASSERT_NE(up, nullptr);
        QTest::mouseClick(up, Qt::LeftButton);
        EXPECT_EQ(edit->text(), QStringLiteral("6"));
        EXPECT_EQ(d.DoubleEdit1->Value(), 6);
        EXPECT_TRUE(d.DoubleEdit1->EditField()->Focused())
            << "the arrow leaves the focus in the field";
        if (ok()) Screenshot(form, File("grid-dialog-count"));
    });
    EXPECT_EQ(count, ok() ? 6 : 5);
}

// The format dialog as first shown: each colour radio filled with its colour beyond its round
// mark, the size radios' captions in their own fonts.
void ExpectFormatDialogShown(const TZellenFormatierung& d, QWidget* form, const QImage& shot) {
    for (TRadioButton* r : {d.rbVGGelb, d.rbVGRot, d.rbVGBlau, d.rbVGGruen, d.rbVGSchwarz,
                            d.rbHFWeiss, d.rbHFGelb, d.rbHFRot, d.rbHFGruen, d.rbHFBlau}) {
        const QRect at = InWindow(r, form);
        EXPECT_GT(CountColour(shot, at, Q(r->Color())), at.width() * at.height() / 2)
            << r->Name() << " does not show its colour " << Q(r->Color()).name().toStdString();
    }
    int lastSize = 1 << 20;
    for (TRadioButton* r : {d.rbGross, d.rbMittel, d.rbKlein}) {
        auto* w = Widget<QRadioButton>(r);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->font().pixelSize(), TQtCanvas::ToQFont(r->Font()).pixelSize()) << r->Name();
        EXPECT_LT(w->font().pixelSize(), lastSize) << r->Name() << " is not below the size above";
        lastSize = w->font().pixelSize();
    }
}

TEST_P(QtDialogCase, FormatDialogShowsColoursAndSizesAndItsPreviewFollowsClicks) {
    TCellPropertyQx property;
    TCellPropertyQx::TAssign assign{true, true, true, true};
    TZellenFormatierung d(nullptr, &assign, &property);
    Run(d, d.btOk, d.btCancel, [&](QWidget* form) {
        EXPECT_EQ(form->windowTitle(), german() ? QStringLiteral("Zellenformatierung")
                                                : QStringLiteral("Format of cells"));
        const QImage before = form->grab().toImage();
        if (ok()) {  // once per language
            Screenshot(form, File("grid-dialog-format"));
            ExpectFormatDialogShown(d, form, before);
        }
        // The preview starts white; a click on the red background radio turns it red.
        const QRect preview = InWindow(d.paTest, form).adjusted(4, 4, -4, -4);
        EXPECT_GT(CountColour(before, preview, Q(clWhite)), preview.width() * preview.height() / 2);
        auto* red = Widget<QRadioButton>(d.rbHFRot);
        QTest::mouseClick(red, Qt::LeftButton);
        EXPECT_TRUE(red->isChecked());
        EXPECT_FALSE(Widget<QRadioButton>(d.rbHFWeiss)->isChecked());
        EXPECT_TRUE(Widget<QCheckBox>(d.cbHintergrundfarbe)->isChecked());
        QTest::mouseClick(Widget<QRadioButton>(d.rbKlein), Qt::LeftButton);
        const QImage after = form->grab().toImage();
        if (ok()) Screenshot(form, File("grid-dialog-format", "-red"));
        EXPECT_GT(CountColour(after, preview, Q(d.rbHFRot->Color())),
                  preview.width() * preview.height() / 2);
        EXPECT_EQ(CountColour(after, preview, Q(clWhite)), 0);
    });
    EXPECT_EQ(property.eGetBKColor(), ok() ? eColorRed : eColorWhite);
    EXPECT_EQ(property.eGetFontSize(), ok() ? eFontSmall : eFontMedium);
}

TEST_F(QtDialogs, DoubleEditStepsByItsArrows) {
    MakeForm("DoubleEditForm", 220, 60);
    auto* de = MakeChild<TDoubleEdit>(form.get(), form.get(), "deWert");
    de->SetBounds(16, 16, 120, 24);
    de->SetIncrement(0.2);
    de->SetValue(2.4);
    form->ShowForm();
    QTest::mouseClick(Arrow(de->UpDown(), Qt::UpArrow), Qt::LeftButton);
    EXPECT_EQ(Widget<QLineEdit>(de->EditField())->text(), QStringLiteral(" 2.6 "));
    QTest::mouseClick(Arrow(de->UpDown(), Qt::DownArrow), Qt::LeftButton);
    QTest::mouseClick(Arrow(de->UpDown(), Qt::DownArrow), Qt::LeftButton);
    EXPECT_DOUBLE_EQ(de->Value(), 2.2);
}

TEST_F(QtDialogs, TableViewPaintsItsCellColours) {
    MakeForm("TableViewForm", 420, 180);
    auto* view = MakeChild<TORVI_TableView>(form.get(), form.get(), "View");
    view->SetAlign(alClient);
    view->SetColCount(4);
    view->SetRowCount(5);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c)
            view->SetCells(c, r,
                           qx::test::Join({"Messung ", std::to_string(r), ".", std::to_string(c)}));
    view->vCellColors[2][3] = clRed;
    view->vCellColors[1][0] = clYellow;  // a fixed cell keeps black text
    view->reformat();
    form->ShowForm();
    auto* area = Widget<QAbstractScrollArea>(view);
    ASSERT_NE(area, nullptr);
    const QImage shot = Screenshot(Widget(form.get()), "table-view-colours.png");
    const QPoint origin = area->viewport()->mapTo(Widget(form.get()), QPoint(0, 0));
    auto cell = [&](int col, int row) {
        return qx::test::ToQ(view->CellRect(col, row)).translated(origin);
    };

    // The red cell is red away from its text, with light text on it; its uncoloured neighbour
    // is the grid's window colour.
    const QRect red = cell(2, 3);
    EXPECT_EQ(shot.pixelColor(red.right() - 1, red.bottom() - 1), QColor(255, 0, 0));
    EXPECT_GT(CountColour(shot, red, QColor(255, 0, 0)), red.width() * red.height() / 2);
    EXPECT_GT(qx::test::CountPixels(shot, red, [](QColor c) { return c.green() > 150; }), 5)
        << "white text on the red cell";
    const QRect plain = cell(3, 3);
    EXPECT_EQ(shot.pixelColor(plain.right() - 1, plain.bottom() - 1), Q(view->Color()));
    EXPECT_EQ(CountColour(shot, plain, QColor(255, 0, 0)), 0);
    const QRect yellow = cell(1, 0);
    EXPECT_EQ(shot.pixelColor(yellow.right() - 1, yellow.bottom() - 1), QColor(255, 255, 0));
    EXPECT_GT(qx::test::CountPixels(shot, yellow, [](QColor c) { return c.lightness() < 100; }), 5)
        << "black text on the yellow fixed cell";
}

}  // namespace
