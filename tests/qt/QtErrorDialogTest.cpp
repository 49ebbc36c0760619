// The error dialog shown for real, in both languages: modal, its texts in Unicode, its details
// view, screenshots, and ended by a click on continue or by the window's close box.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "qx/error/ErrorMessageForm.h"
#include "tests/qt/QtTestSupport.h"

namespace {

QPushButton* buttonWithText(QWidget* root, const QString& text) {
    for (QPushButton* b : root->findChildren<QPushButton*>())
        if (b->isVisible() && b->text() == text) return b;
    return nullptr;
}

struct TDialogCase {
    TLanguage::eTLanguage language;
    const char *caption, *cont, *noDetails, *prefix;
    bool closeBox;  // ends with the window's close box rather than with continue
};

class QtErrorDialog : public qx::test::QtTest, public ::testing::WithParamInterface<TDialogCase> {};

TEST_P(QtErrorDialog, ShowsTheErrorSwitchesDetailsAndEndsWithoutTouchingTheList) {
    const TDialogCase& c = GetParam();
    TLanguage::vSetAktLanguage(c.language);
    qx::error(0xE5136001UL, "/src/grid.src", 167,
              "Spalte f\xFCr Gr\xF6\xDF"
              "e fehlt");
    qx::trace("frame.src", 88);
    qx::trace("menu.src", 12, "Tabelle laden");
    bool done = false;
    qx::test::TModalGuard guard;
    Later([&] {
        QWidget* form = qx::test::TopLevel(QStringLiteral("ErrorMessageForm2"));
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(form->isModal());
        EXPECT_EQ(form->windowTitle(), QString::fromUtf8(c.caption));
        auto* code = form->findChild<QLineEdit*>(QStringLiteral("edFehlercode"));
        auto* data = form->findChild<QLineEdit*>(QStringLiteral("edAngaben1"));
        ASSERT_NE(code, nullptr);
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(code->text(), QStringLiteral("0xe5136001"));
        EXPECT_TRUE(code->isReadOnly());
        EXPECT_EQ(data->text(), QString::fromUtf8("Spalte f\xC3\xBCr Gr\xC3\xB6\xC3\x9F"
                                                  "e fehlt"));
        QPushButton* cont = buttonWithText(form, QString::fromUtf8(c.cont));
        QPushButton* details = buttonWithText(form, QStringLiteral("Details"));
        ASSERT_NE(cont, nullptr);
        ASSERT_NE(details, nullptr);
        const int compact = form->height();
        qx::test::Screenshot(form, std::string(c.prefix) + "-compact.png");

        QTest::mouseClick(details, Qt::LeftButton);
        EXPECT_EQ(form->height(), compact + 200);
        EXPECT_EQ(details->text(), QString::fromUtf8(c.noDetails));
        qx::test::Screenshot(form, std::string(c.prefix) + "-details.png");
        QTest::mouseClick(details, Qt::LeftButton);
        EXPECT_EQ(form->height(), compact);
        done = true;
        if (c.closeBox)
            form->close();
        else
            QTest::mouseClick(cont, Qt::LeftButton);
    });
    qx::ErrorMessageBox();
    EXPECT_TRUE(done);
    // The dialog reads the list and leaves it alone.
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 3u);
    EXPECT_EQ(qx::getErrorCode(), 0xE5136001UL);
    EXPECT_TRUE(bShowErrorDialog);
    EXPECT_EQ(qx::test::TopLevel(QStringLiteral("ErrorMessageForm2")), nullptr);
}

// The prefix keeps the suite's name first, where filters look for it.
INSTANTIATE_TEST_SUITE_P(
    QtErrorDialog, QtErrorDialog,
    ::testing::Values(TDialogCase{TLanguage::eDeutsch, "Es ist ein Fehler aufgetreten",
                                  "Programm fortsetzen", "Keine Details", "error-dialog-de", true},
                      TDialogCase{TLanguage::eEnglisch, "An error has occurred", "Continue program",
                                  "No Details", "error-dialog-en", false}));

}  // namespace
