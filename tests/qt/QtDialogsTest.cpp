// The grid's dialogs, the number edit and the table view on real Qt widgets: every control
// shown whole inside its window, input through the widgets, results, screenshots.
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QFontMetrics>
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

// Every visible widget of `window` lies wholly inside it, labels and buttons are wide enough
// for their whole text, and no two visible siblings overlap.
void ExpectLaidOut(QWidget* window) {
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->isWindow()) continue;
        const std::string name =
            w->metaObject()->className() + (" '" + w->objectName().toStdString() + "'");
        EXPECT_TRUE(window->rect().contains(QRect(w->mapTo(window, QPoint(0, 0)), w->size())))
            << name << " reaches out of the window";
        int room = 0;
        if (qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w) ||
            qobject_cast<QRadioButton*>(w))
            room = w->sizeHint().width();
        else if (auto* b = qobject_cast<QPushButton*>(w))  // its hint has a style minimum width
            room = QFontMetrics(b->font()).horizontalAdvance(b->text()) +
                   2 * b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
        EXPECT_LE(room, w->width()) << name << " is cut";
        // Its visible children overlap no sibling (an up/down's own arrows are placed by Qt).
        const QList<QWidget*> kids = w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (qsizetype i = 0; i < kids.size(); ++i)
            for (qsizetype j = i + 1; j < kids.size(); ++j)
                EXPECT_FALSE(kids[i]->isVisibleTo(window) && kids[j]->isVisibleTo(window) &&
                             kids[i]->geometry().intersects(kids[j]->geometry()))
                    << name << ": " << kids[i]->objectName().toStdString() << " overlaps "
                    << kids[j]->objectName().toStdString();
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

// Each dialog once in German ended with OK (its screenshot), once in English with Cancel.
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
                         testing::Values(TDialogCase{true, true}, TDialogCase{false, false}),
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
        if (ok()) Screenshot(form, "grid-dialog-count.png");
    });
    EXPECT_EQ(count, ok() ? 6 : 5);
}

TEST_P(QtDialogCase, FormatDialogShowsColoursAndSizesAndItsPreviewFollowsClicks) {
    TCellPropertyQx property;
    TCellPropertyQx::TAssign assign{true, true, true, true};
    TZellenFormatierung d(nullptr, &assign, &property);
    Run(d, d.btOk, d.btCancel, [&](QWidget* form) {
        EXPECT_EQ(form->windowTitle(), german() ? QStringLiteral("Zellenformatierung")
                                                : QStringLiteral("Format of cells"));
        const QImage before = form->grab().toImage();
        if (ok()) {
            Screenshot(form, "grid-dialog-format.png");
            // Each colour radio is filled with its colour beyond its round mark.
            for (TRadioButton* r : {d.rbVGGelb, d.rbVGRot, d.rbVGBlau, d.rbVGGruen, d.rbVGSchwarz,
                                    d.rbHFWeiss, d.rbHFGelb, d.rbHFRot, d.rbHFGruen, d.rbHFBlau}) {
                const QRect at = InWindow(r, form);
                EXPECT_GT(CountColour(before, at, Q(r->Color())), at.width() * at.height() / 2)
                    << r->Name() << " does not show its colour";
            }
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

    // The red cell is red away from its text, with light text on it.
    const QRect red = cell(2, 3);
    EXPECT_EQ(shot.pixelColor(red.right() - 1, red.bottom() - 1), QColor(255, 0, 0));
    EXPECT_GT(qx::test::CountPixels(shot, red, [](QColor c) { return c.green() > 150; }), 5)
        << "white text on the red cell";
    const QRect yellow = cell(1, 0);
    EXPECT_EQ(shot.pixelColor(yellow.right() - 1, yellow.bottom() - 1), QColor(255, 255, 0));
    EXPECT_GT(qx::test::CountPixels(shot, yellow, [](QColor c) { return c.lightness() < 100; }), 5)
        << "black text on the yellow fixed cell";
}

}  // namespace
