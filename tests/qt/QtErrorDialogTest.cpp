// The error dialog shown for real: modal, closed by a click, its details view, screenshots.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "qx/error/ErrorMessageForm.h"
#include "tests/qt/QtTestSupport.h"

namespace {

using qx::test::QtTest;

QPushButton* buttonWithText(QWidget* root, const QString& text) {
    for (QPushButton* b : root->findChildren<QPushButton*>())
        if (b->isVisible() && b->text() == text) return b;
    return nullptr;
}

class QtErrorDialog : public QtTest {
  protected:
    void raiseWithTwoTraces() {
        qx::error(0xE5136001UL, "/src/grid.src", 167,
                  "Spalte f\xFCr Gr\xF6\xDF"
                  "e fehlt");
        qx::trace("frame.src", 88);
        qx::trace("menu.src", 12, "Tabelle laden");
    }
    struct TEntry {
        unsigned long code;
        std::string file;
        int line;
    };
    static std::vector<TEntry> entries() {
        std::vector<TEntry> out;
        const TErrorInfo& info = qx::rGetErrorInfo();
        for (unsigned i = 0; i < info.uGetCurrentErrorEntry(); ++i)
            out.push_back({info[i].ulCode, info[i].acFile, info[i].iLine});
        return out;
    }

    // Shows the dialog; on screen: checks the texts, saves the compact view, switches to the
    // details and saves them, switches back, then continues with a click.
    void showAndContinue(const QString& continueText, const QString& detailsText,
                         const QString& noDetailsText, const std::string& prefix) {
        raiseWithTwoTraces();
        const auto before = entries();
        ASSERT_EQ(before.size(), 3u);
        bool clicked = false;
        qx::test::TModalGuard guard;
        Later([&] {
            QWidget* form = qx::test::TopLevel(QStringLiteral("ErrorMessageForm2"));
            ASSERT_NE(form, nullptr);
            EXPECT_TRUE(form->isModal());
            QPushButton* cont = buttonWithText(form, continueText);
            QPushButton* details = buttonWithText(form, detailsText);
            ASSERT_NE(cont, nullptr);
            ASSERT_NE(details, nullptr);
            const int compact = form->height();
            ASSERT_TRUE(form->grab().save(
                QString::fromStdString(qx::test::ArtefactPath(prefix + "-compact.png"))));

            QTest::mouseClick(details, Qt::LeftButton);
            EXPECT_EQ(form->height(), compact + 200);
            EXPECT_EQ(details->text(), noDetailsText);
            QWidget* table = form->findChild<QWidget*>(QStringLiteral("Fehlertabelle"));
            ASSERT_NE(table, nullptr);
            EXPECT_GE(table->height(), 200);
            ASSERT_TRUE(form->grab().save(
                QString::fromStdString(qx::test::ArtefactPath(prefix + "-details.png"))));

            QTest::mouseClick(details, Qt::LeftButton);
            EXPECT_EQ(form->height(), compact);
            EXPECT_EQ(details->text(), detailsText);

            clicked = true;
            QTest::mouseClick(cont, Qt::LeftButton);
        });
        qx::ErrorMessageBox();
        EXPECT_TRUE(clicked);
        // The dialog reads the list and leaves it alone.
        const auto after = entries();
        ASSERT_EQ(after.size(), before.size());
        for (size_t i = 0; i < after.size(); ++i) {
            EXPECT_EQ(after[i].code, before[i].code);
            EXPECT_EQ(after[i].file, before[i].file);
            EXPECT_EQ(after[i].line, before[i].line);
        }
        EXPECT_TRUE(bShowErrorDialog);
        EXPECT_EQ(qx::test::TopLevel(QStringLiteral("ErrorMessageForm2")), nullptr);
    }
};

TEST_F(QtErrorDialog, GermanDialogSwitchesDetailsAndContinuesOnClick) {
    showAndContinue(QStringLiteral("Programm fortsetzen"), QStringLiteral("Details"),
                    QStringLiteral("Keine Details"), "error-dialog-de");
}

TEST_F(QtErrorDialog, EnglishDialogSwitchesDetailsAndContinuesOnClick) {
    TLanguage::setEnglisch();
    showAndContinue(QStringLiteral("Continue program"), QStringLiteral("Details"),
                    QStringLiteral("No Details"), "error-dialog-en");
}

TEST_F(QtErrorDialog, EditsShowTheErrorInUnicode) {
    raiseWithTwoTraces();
    bool seen = false;
    qx::test::TModalGuard guard;
    Later([&] {
        QWidget* form = qx::test::TopLevel(QStringLiteral("ErrorMessageForm2"));
        ASSERT_NE(form, nullptr);
        auto* code = form->findChild<QLineEdit*>(QStringLiteral("edFehlercode"));
        auto* data = form->findChild<QLineEdit*>(QStringLiteral("edAngaben1"));
        ASSERT_NE(code, nullptr);
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(code->text(), QStringLiteral("0xe5136001"));
        EXPECT_TRUE(code->isReadOnly());
        EXPECT_EQ(data->text(), QString::fromUtf8("Spalte f\xC3\xBCr Gr\xC3\xB6\xC3\x9F"
                                                  "e fehlt"));
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Es ist ein Fehler aufgetreten"));
        seen = true;
        form->close();  // the window's close box ends the dialog as well
    });
    qx::ErrorMessageBox();
    EXPECT_TRUE(seen);
}

}  // namespace
