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
#include "qx/platform/Codepage.h"
#include "qx/platform/qt/QtCanvas.h"
#include "tests/qt/QtTestSupport.h"

namespace {

using qx::qt::TQtCanvas;
using qx::qt::TQtWidgetSet;
using qx::test::ArtefactPath;
using qx::test::TModalGuard;
using qx::test::TopLevel;

QWidget* W(const TControl* c) {
    return TQtWidgetSet::Widget(*c);
}

template <class T>
T* W(const TControl* c) {
    return qobject_cast<T*>(TQtWidgetSet::Widget(*c));
}

QImage Screenshot(QWidget* w, const std::string& file) {
    const QImage image = w->grab().toImage();
    EXPECT_TRUE(image.save(QString::fromStdString(ArtefactPath(file)))) << file;
    return image;
}

QString Describe(const QWidget* w) {
    QString text;
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) text = b->text();
    if (auto* l = qobject_cast<const QLabel*>(w)) text = l->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w)) text = g->title();
    return QString::fromLatin1(w->metaObject()->className()) + " '" + w->objectName() + "' \"" +
           text + "\"";
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
        EXPECT_TRUE(area.contains(at))
            << Describe(w).toStdString() << " at " << at.x() << "," << at.y() << " " << at.width()
            << "x" << at.height() << " outside the window " << area.width() << "x" << area.height();
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
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += image.pixelColor(x, y) == c;
    return n;
}

QToolButton* Arrow(const TUpDown* upDown, Qt::ArrowType type) {
    for (QToolButton* b : W(upDown)->findChildren<QToolButton*>())
        if (b->arrowType() == type) return b;
    return nullptr;
}

class QtDialogs : public qx::test::QtTest {
  protected:
    void TearDown() override {
        TLanguage::setDeutsch();
        QtTest::TearDown();
    }
};

struct TLanguageCase {
    bool german;
    const char* suffix;
};
constexpr TLanguageCase kLanguages[] = {{true, "de"}, {false, "en"}};

void SetLanguage(const TLanguageCase& l) {
    l.german ? TLanguage::setDeutsch() : TLanguage::setEnglisch();
}

// ---------------------------------------------------------------------------- count

TEST_F(QtDialogs, CountDialogStepsThroughItsArrowsAndWritesBackOnOkOnly) {
    for (const TLanguageCase& lang : kLanguages)
        for (const bool ok : {true, false}) {
            SCOPED_TRACE(std::string(lang.suffix) + (ok ? " ok" : " cancel"));
            SetLanguage(lang);
            int count = 5;
            const char* title = lang.german ? "Zeilen einf\xFCgen" : "Insert rows";
            TIncreaseSize d(nullptr, 1000, 1, &count, title);
            bool seen = false;
            TModalGuard guard;
            Later([&] {
                QWidget* form = TopLevel(QStringLiteral("IncreaseSize"));
                ASSERT_NE(form, nullptr);
                EXPECT_TRUE(form->isModal());
                EXPECT_EQ(form->windowTitle(), QString::fromLatin1(title));
                ExpectLaidOut(form);
                auto* edit = W<QLineEdit>(d.DoubleEdit1->EditField());
                ASSERT_NE(edit, nullptr);
                EXPECT_EQ(edit->text(), QStringLiteral("5"));
                QToolButton* up = Arrow(d.DoubleEdit1->UpDown(), Qt::UpArrow);
                ASSERT_NE(up, nullptr);
                QTest::mouseClick(up, Qt::LeftButton);
                EXPECT_EQ(edit->text(), QStringLiteral("6"));
                EXPECT_EQ(d.DoubleEdit1->Value(), 6);
                if (ok) Screenshot(form, "grid-dialog-count-" + std::string(lang.suffix) + ".png");
                auto* button = W<QPushButton>(ok ? d.btOk : d.btCancel);
                ASSERT_NE(button, nullptr);
                EXPECT_EQ(button->text(), ok            ? QStringLiteral("Ok")
                                          : lang.german ? QStringLiteral("Abbrechen")
                                                        : QStringLiteral("Cancel"));
                seen = true;
                QTest::mouseClick(button, Qt::LeftButton);
            });
            EXPECT_EQ(d.ShowModal(), ok ? mrOk : mrCancel);
            EXPECT_TRUE(seen);
            EXPECT_EQ(count, ok ? 6 : 5);
            EXPECT_EQ(TopLevel(QStringLiteral("IncreaseSize")), nullptr);
        }
}

// ---------------------------------------------------------------------------- table size

TEST_F(QtDialogs, TableSizeDialogTakesTypedCountsAndWritesBackOnOkOnly) {
    for (const TLanguageCase& lang : kLanguages)
        for (const bool ok : {true, false}) {
            SCOPED_TRACE(std::string(lang.suffix) + (ok ? " ok" : " cancel"));
            SetLanguage(lang);
            int cols = 3, rows = 7;
            TTabellenGroesse d(nullptr, &cols, &rows);
            bool seen = false;
            TModalGuard guard;
            Later([&] {
                QWidget* form = TopLevel(QStringLiteral("TabellenGroesse"));
                ASSERT_NE(form, nullptr);
                EXPECT_EQ(form->windowTitle(), lang.german
                                                   ? QString::fromUtf8("Tabellengr\xC3\xB6\xC3\x9F"
                                                                       "e")
                                                   : QStringLiteral("Table size"));
                auto* rowsLabel = W<QLabel>(d.lbZeilen);
                auto* colsLabel = W<QLabel>(d.lbSpalten);
                ASSERT_NE(rowsLabel, nullptr);
                ASSERT_NE(colsLabel, nullptr);
                EXPECT_EQ(rowsLabel->text(),
                          lang.german ? QStringLiteral("Zeilen") : QStringLiteral("Rows"));
                EXPECT_EQ(colsLabel->text(),
                          lang.german ? QStringLiteral("Spalten") : QStringLiteral("Columns"));
                ExpectLaidOut(form);
                // Each label stands left of its field on the field's line.
                for (auto [label, field] :
                     {std::pair{rowsLabel, W(d.deZeilen)}, std::pair{colsLabel, W(d.deSpalten)}}) {
                    EXPECT_LE(label->geometry().right(), field->geometry().left());
                    EXPECT_GE(label->geometry().center().y(), field->geometry().top());
                    EXPECT_LE(label->geometry().center().y(), field->geometry().bottom());
                }
                auto* rowsEdit = W<QLineEdit>(d.deZeilen->EditField());
                auto* colsEdit = W<QLineEdit>(d.deSpalten->EditField());
                ASSERT_NE(rowsEdit, nullptr);
                ASSERT_NE(colsEdit, nullptr);
                EXPECT_EQ(rowsEdit->text(), QStringLiteral("7"));
                EXPECT_EQ(colsEdit->text(), QStringLiteral("3"));

                // Typing needs the focus, and the focus an active window.
                ASSERT_TRUE(QTest::qWaitForWindowActive(form));
                QTest::mouseClick(rowsEdit, Qt::LeftButton);
                EXPECT_TRUE(d.deZeilen->EditField()->Focused());
                rowsEdit->selectAll();
                qx::test::TypeText(rowsEdit, QStringLiteral("12"));
                QTest::mouseClick(Arrow(d.deSpalten->UpDown(), Qt::DownArrow), Qt::LeftButton);
                EXPECT_EQ(rowsEdit->text(), QStringLiteral("12"))
                    << "the typed count, taken over on the step";
                EXPECT_EQ(colsEdit->text(), QStringLiteral("2"));
                if (ok) Screenshot(form, "grid-dialog-size-" + std::string(lang.suffix) + ".png");
                seen = true;
                QTest::mouseClick(W<QPushButton>(ok ? d.btOk : d.btCancel), Qt::LeftButton);
            });
            EXPECT_EQ(d.ShowModal(), ok ? mrOk : mrCancel);
            EXPECT_TRUE(seen);
            EXPECT_EQ(rows, ok ? 12 : 7);
            EXPECT_EQ(cols, ok ? 2 : 3);
        }
}

// ---------------------------------------------------------------------------- cell format

QColor Q(TColor c) {
    return TQtCanvas::ToQColor(c);
}

QRect InWindow(const TControl* c, QWidget* window) {
    return {W(c)->mapTo(window, QPoint(0, 0)), W(c)->size()};
}

// The format dialog as first shown: laid out, each colour radio filled with its colour beyond
// its round mark, the size radios' captions in their sizes (large above medium above small).
void ExpectFormatDialogShown(const TZellenFormatierung& d, QWidget* form, const QImage& shot) {
    ExpectLaidOut(form);
    for (TRadioButton* r : {d.rbVGGelb, d.rbVGRot, d.rbVGBlau, d.rbVGGruen, d.rbVGSchwarz,
                            d.rbHFWeiss, d.rbHFGelb, d.rbHFRot, d.rbHFGruen, d.rbHFBlau}) {
        const QRect at = InWindow(r, form);
        EXPECT_GT(CountColour(shot, at, Q(r->Color())), at.width() * at.height() / 2)
            << r->Name() << " does not show its colour " << Q(r->Color()).name().toStdString();
    }
    int lastHeight = 1 << 20;
    for (TRadioButton* r : {d.rbGross, d.rbMittel, d.rbKlein}) {
        auto* w = W<QRadioButton>(r);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->font().pixelSize(), TQtCanvas::ToQFont(r->Font()).pixelSize()) << r->Name();
        const int mark = w->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) +
                         w->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
        const QRect text = InWindow(r, form).adjusted(mark, 0, 0, 0);
        int top = 1 << 20, bottom = -1;
        for (int y = text.top(); y <= text.bottom(); ++y)
            for (int x = text.left(); x <= text.right(); ++x)
                if (shot.pixelColor(x, y).lightness() < 100) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        ASSERT_GE(bottom, top) << r->Name() << " shows no caption";
        EXPECT_LT(bottom - top, lastHeight) << r->Name() << " is not smaller than the size above";
        lastHeight = bottom - top;
    }
}

TEST_F(QtDialogs, FormatDialogShowsColoursAndSizesAndItsPreviewFollowsClicks) {
    for (const TLanguageCase& lang : kLanguages)
        for (const bool ok : {true, false}) {
            SCOPED_TRACE(std::string(lang.suffix) + (ok ? " ok" : " cancel"));
            SetLanguage(lang);
            TCellPropertyQx property;
            TCellPropertyQx::TAssign assign{true, true, true, true};
            TZellenFormatierung d(nullptr, &assign, &property);
            bool seen = false;
            TModalGuard guard;
            Later([&] {
                QWidget* form = TopLevel(QStringLiteral("ZellenFormatierung"));
                ASSERT_NE(form, nullptr);
                EXPECT_EQ(form->windowTitle(), lang.german ? QStringLiteral("Zellenformatierung")
                                                           : QStringLiteral("Format of cells"));
                const std::string file = "grid-dialog-format-" + std::string(lang.suffix);
                const QImage before = ok ? Screenshot(form, file + ".png") : form->grab().toImage();
                if (ok) ExpectFormatDialogShown(d, form, before);  // once per language

                // The preview starts white; a click on the red background radio turns it red.
                const QRect preview = InWindow(d.paTest, form).adjusted(4, 4, -4, -4);
                EXPECT_GT(CountColour(before, preview, Q(clWhite)),
                          preview.width() * preview.height() / 2);
                auto* red = W<QRadioButton>(d.rbHFRot);
                QTest::mouseClick(red, Qt::LeftButton);
                EXPECT_TRUE(red->isChecked());
                EXPECT_FALSE(W<QRadioButton>(d.rbHFWeiss)->isChecked());
                EXPECT_TRUE(W<QCheckBox>(d.cbHintergrundfarbe)->isChecked());
                QTest::mouseClick(W<QRadioButton>(d.rbKlein), Qt::LeftButton);
                const QImage after =
                    ok ? Screenshot(form, file + "-red.png") : form->grab().toImage();
                EXPECT_GT(CountColour(after, preview, Q(d.rbHFRot->Color())),
                          preview.width() * preview.height() / 2);
                EXPECT_EQ(CountColour(after, preview, Q(clWhite)), 0);

                seen = true;
                QTest::mouseClick(W<QPushButton>(ok ? d.btOk : d.btCancel), Qt::LeftButton);
            });
            EXPECT_EQ(d.ShowModal(), ok ? mrOk : mrCancel);
            EXPECT_TRUE(seen);
            if (ok) {
                EXPECT_EQ(property.eGetBKColor(), eColorRed);
                EXPECT_EQ(property.eGetFontSize(), eFontSmall);
                EXPECT_TRUE(assign.bBKColor);
                EXPECT_TRUE(assign.bFontSize);
                EXPECT_FALSE(assign.bFontColor);
                EXPECT_FALSE(assign.bAdjust);
            } else {
                EXPECT_EQ(property.eGetBKColor(), eColorWhite);
                EXPECT_EQ(property.eGetFontSize(), eFontMedium);
                EXPECT_TRUE(assign.bBKColor && assign.bFontSize && assign.bFontColor &&
                            assign.bAdjust);
            }
        }
}

// ---------------------------------------------------------------------------- number edit

TEST_F(QtDialogs, DoubleEditStepsByItsUpArrowAndByPageUp) {
    TForm form(nullptr);
    form.SetName("DoubleEditForm");
    form.SetCaption("Wert");
    form.SetClientWidth(220);
    form.SetClientHeight(60);
    auto* de = new TDoubleEdit(&form);
    de->SetName("deWert");
    de->SetParent(&form);
    de->SetBounds(16, 16, 120, 24);
    de->SetIncrement(0.2);
    de->SetValue(2.4);
    form.ShowForm();
    QWidget* window = W(&form);
    ASSERT_NE(window, nullptr);
    auto* edit = W<QLineEdit>(de->EditField());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QStringLiteral(" 2.4 "));
    ExpectLaidOut(window);

    QToolButton* up = Arrow(de->UpDown(), Qt::UpArrow);
    ASSERT_NE(up, nullptr);
    EXPECT_GT(up->height(), 4) << "each arrow has room";
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(de->Value(), 2.6);
    EXPECT_EQ(de->EditField()->Text(), " 2.6 ");
    EXPECT_EQ(edit->text(), QStringLiteral(" 2.6 "));
    Screenshot(window, "double-edit-up.png");

    // Page Up steps by a hundred increments, to the next multiple of 20.
    EXPECT_TRUE(de->EditField()->Focused()) << "a click on an arrow leaves the focus in the field";
    QTest::keyClick(edit, Qt::Key_PageUp);
    EXPECT_DOUBLE_EQ(de->Value(), 20);
    EXPECT_EQ(de->EditField()->Text(), " 20 ");
    EXPECT_EQ(edit->text(), QStringLiteral(" 20 "));
    EXPECT_DOUBLE_EQ(de->Increment(), 0.2) << "the step size is restored";
    ExpectLaidOut(window);
    Screenshot(window, "double-edit-page-up.png");
}

// ---------------------------------------------------------------------------- table view

TEST_F(QtDialogs, TableViewPaintsItsCellColoursAndFitsColumnsToTexts) {
    TForm form(nullptr);
    form.SetName("TableViewForm");
    form.SetCaption("Messwerte");
    form.SetClientWidth(420);
    form.SetClientHeight(180);
    auto* view = new TORVI_TableView(&form);
    view->SetName("View");
    view->SetParent(&form);
    view->SetAlign(alClient);
    view->SetColCount(4);
    view->SetRowCount(5);
    const char* head[] = {"Nr", "Spannung", "Strom",
                          "Gr\xF6\xDF"
                          "e"};
    for (int c = 0; c < 4; ++c) view->SetCells(c, 0, head[c]);
    for (int r = 1; r < 5; ++r) {
        view->SetCells(0, r, std::to_string(r));
        view->SetCells(1, r, std::to_string(r * 12) + ".5 V");
        view->SetCells(2, r, std::to_string(r * 3) + " mA");
        view->SetCells(3, r, "Messung Nummer " + std::to_string(r));
    }
    view->vCellColors[2][3] = clRed;
    view->vCellColors[1][0] = clYellow;  // a fixed cell keeps black text
    view->reformat();
    form.ShowForm();
    auto* area = W<QAbstractScrollArea>(view);
    ASSERT_NE(area, nullptr);
    const QImage shot = Screenshot(W(&form), "table-view-colours.png");
    const QPoint origin = area->viewport()->mapTo(W(&form), QPoint(0, 0));
    auto cell = [&](int col, int row) {
        const TRect r = view->CellRect(col, row);
        return QRect(origin.x() + r.left, origin.y() + r.top, r.Width(), r.Height());
    };

    // Every text fits its column, with the margin the grid draws it at.
    const QFontMetrics fm(TQtCanvas::ToQFont(view->Font()));
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 5; ++r)
            EXPECT_LE(fm.horizontalAdvance(
                          QString::fromStdString(qx::platform::Cp1252ToUtf8(view->Cells(c, r)))) +
                          2,
                      view->ColWidths(c))
                << c << "," << r;

    // The red cell is red away from its text, with light text on it; its uncoloured neighbour
    // is the grid's window colour.
    const QRect red = cell(2, 3);
    EXPECT_EQ(shot.pixelColor(red.right() - 1, red.bottom() - 1), QColor(255, 0, 0));
    EXPECT_GT(CountColour(shot, red, QColor(255, 0, 0)), red.width() * red.height() / 2);
    int light = 0;
    for (int y = red.top(); y <= red.bottom(); ++y)
        for (int x = red.left(); x <= red.right(); ++x)
            light += shot.pixelColor(x, y).green() > 150;
    EXPECT_GT(light, 5) << "white text on the red cell";
    const QRect plain = cell(3, 3);
    EXPECT_EQ(shot.pixelColor(plain.right() - 1, plain.bottom() - 1), Q(view->Color()));
    EXPECT_EQ(CountColour(shot, plain, QColor(255, 0, 0)), 0);
    const QRect yellow = cell(1, 0);
    EXPECT_EQ(shot.pixelColor(yellow.right() - 1, yellow.bottom() - 1), QColor(255, 255, 0));
    int dark = 0;
    for (int y = yellow.top(); y <= yellow.bottom(); ++y)
        for (int x = yellow.left(); x <= yellow.right(); ++x)
            dark += shot.pixelColor(x, y).lightness() < 100;
    EXPECT_GT(dark, 5) << "black text on the yellow fixed cell";
}

}  // namespace
