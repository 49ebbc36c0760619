// The qx:: error functions on the process-wide list: raising, tracing, limits, severity,
// deletion, the reporting convention (QX_RAISE / QX_PASS / QX_SHOW), the error dialog's
// compact view, the type and program-part tables, the last-error interface and existDir.
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

using qx::test::ReadFile;
using qx::test::TResponderScope;
using qx::test::TTempDir;

struct TSeen {
    unsigned long code;
    std::string file;
    int line;
    std::string param;
};

std::vector<TSeen> ListNow() {
    const TErrorInfo& info = qx::rGetErrorInfo();
    std::vector<TSeen> out;
    for (unsigned i = 0; i < info.uGetCurrentErrorEntry(); ++i)
        out.push_back({info[i].ulCode, info[i].acFile, info[i].iLine,
                       info[i].cpParam ? info[i].cpParam : "<null>"});
    return out;
}

// Answers every error dialog with "continue" and keeps the list as it was while it showed.
class TSnapshotResponder : public qx::platform::TDialogResponder {
  public:
    TSnapshotResponder() : previous_(qx::platform::HeadlessWidgetSet().Responder()) {
        qx::platform::HeadlessWidgetSet().SetResponder(this);
    }
    ~TSnapshotResponder() override { qx::platform::HeadlessWidgetSet().SetResponder(previous_); }
    std::optional<qx::platform::TDialogAnswer> Answer(
        const qx::platform::TDialogRequest& request) override {
        EXPECT_EQ(request.eKind, qx::platform::TDialogKind::ErrorDialog);
        lists.push_back(ListNow());
        return qx::platform::TDialogAnswer{qx::platform::TDialogKind::ErrorDialog, mrOk, false};
    }
    std::vector<std::vector<TSeen>> lists;

  private:
    qx::platform::TDialogResponder* previous_;
};

class ErrorApi : public qx::test::ErrorStateTest {};

TEST_F(ErrorApi, ErrorAndTraceBuildTheCallStack) {
    EXPECT_EQ(qx::error(0xE5136001, "/work/src/grid.src", 167, "FixedRows=%d NumCol=%d", 5, 3),
              0xE5136001u);
    auto list = ListNow();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].file, "grid.src");
    EXPECT_EQ(list[0].line, 167);
    EXPECT_EQ(list[0].param, "FixedRows=5 NumCol=3");

    for (int i = 0; i < 3; ++i) EXPECT_EQ(qx::trace("C:\\src\\frame.src", 88 + i), 0xE5136001u);
    list = ListNow();
    ASSERT_EQ(list.size(), 4u);
    for (const TSeen& e : list) EXPECT_EQ(e.code, 0xE5136001u);
    EXPECT_EQ(list[3].file, "frame.src");
    EXPECT_EQ(list[3].line, 90);
    EXPECT_EQ(list[3].param, "<null>");

    // A new error replaces the whole stack; a null format leaves no text.
    qx::error(0xE7436005, "x.src", 5);
    list = ListNow();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].code, 0xE7436005u);
    EXPECT_EQ(list[0].param, "<null>");

    // Parameter texts are cut to 1023 characters.
    const std::string text(2000, 'p');
    qx::trace("x.src", 6, "%s!", text.c_str());
    EXPECT_EQ(ListNow()[1].param, text.substr(0, 1023));

    qx::deleteError();
    EXPECT_EQ(qx::trace("x.src", 6, "on empty"), 0u);
    list = ListNow();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].code, 0u);
    EXPECT_EQ(list[0].param, "on empty");
}

TEST_F(ErrorApi, FullListRecordsAndLogsNoMoreTracesButKeepsTheCode) {
    TTempDir dir;
    const std::string log = dir.File("log.txt");
    ASSERT_TRUE(qx::openErrorFile(log.c_str()));
    qx::error(0xE5136001, "grid.src", 1);
    for (int i = 0; i < 49; ++i) qx::trace("grid.src", 2 + i, "t%d", i);
    ASSERT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 50u);
    const std::string logged = ReadFile(log);
    const unsigned used = qx::rGetErrorInfo().uPoolUsed;

    EXPECT_EQ(qx::trace("grid.src", 99, "dropped"), 0xE5136001u);
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 50u);
    EXPECT_EQ(qx::rGetErrorInfo().uPoolUsed, used);
    EXPECT_EQ(ReadFile(log), logged);
    EXPECT_EQ(ListNow().back().line, 50);
}

TEST_F(ErrorApi, SeverityTestsCheckAnyBitOfTheirMask) {
    struct {
        unsigned long code;
        bool error, warning, message, ok;
    } cases[] = {
        {0xE0000000, true, true, true, true},     {0xE5136001, true, true, true, true},
        {0x12345678, false, false, false, false}, {0x80000000, true, true, false, false},
        {0x40000000, true, false, true, false},   {0x20000000, true, true, true, true},
    };
    EXPECT_EQ(qx::getErrorCode(), 0u);
    EXPECT_FALSE(qx::isError() || qx::isWarning() || qx::isMessage() || qx::isOk());
    for (const auto& c : cases) {
        qx::error(c.code, "a.src", 1);
        qx::trace("a.src", 2);
        SCOPED_TRACE(c.code);
        EXPECT_EQ(qx::getErrorCode(), c.code);
        EXPECT_EQ(qx::isError(), c.error);
        EXPECT_EQ(qx::isWarning(), c.warning);
        EXPECT_EQ(qx::isMessage(), c.message);
        EXPECT_EQ(qx::isOk(), c.ok);
    }
}

// The convention, written with the macros.
[[noreturn]] void Raise() {
    QX_RAISE(0xE5136001, "FixedRows=%d NumCol=%d", 5, 3);
}
void Pass() {
    try {
        Raise();
    } catch (...) {
        QX_PASS();
    }
}
template <class Ex>
void PassForeign(Ex ex) {
    try {
        throw ex;
    } catch (...) {
        QX_PASS();
    }
}
template <class F>
void Show(F f) {
    try {
        f();
    } catch (...) {
        QX_SHOW();
    }
}

TEST_F(ErrorApi, PassAddsTraceAndShowDisplaysThenDeletes) {
    TSnapshotResponder responder;
    Show(Pass);
    ASSERT_EQ(responder.lists.size(), 1u);
    const auto& shown = responder.lists[0];
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].param, "FixedRows=5 NumCol=3");
    for (const TSeen& e : shown) {
        EXPECT_EQ(e.code, 0xE5136001u);
        EXPECT_EQ(e.file, "ErrorApiTest.cpp");
    }
    EXPECT_EQ(shown[1].param, "<null>");
    EXPECT_LT(shown[0].line, shown[1].line);  // Raise is above Pass in this file
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 0u);
}

TEST_F(ErrorApi, ForeignExceptionsBecomeTheGeneralCode) {
    auto passed = [](auto ex) {
        try {
            PassForeign(ex);
        } catch (unsigned long code) {
            EXPECT_EQ(code, 0xE0000000u);
            return ListNow();
        } catch (...) {
            ADD_FAILURE() << "QX_PASS let a foreign exception through";
        }
        return std::vector<TSeen>{};
    };
    // The message is taken verbatim, printf directives included.
    auto list = passed(Exception("Datei 100%s %n kaputt"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].param, "Datei 100%s %n kaputt");
    EXPECT_EQ(list[0].file, "ErrorApiTest.cpp");
    list = passed(std::runtime_error("not a framework exception"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].param, "Unknown exception catched");
    list = passed(42);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].param, "Unknown exception catched");
}

TEST_F(ErrorApi, ShowRecordsForeignExceptionAsErrorOrTrace) {
    TSnapshotResponder responder;
    Show([] { throw Exception("leer"); });
    Show([] {
        qx::error(0xE7436005, "a.src", 1, "first");
        throw Exception("dazu");
    });
    Show([] {
        qx::error(0xE7436005, "a.src", 1);
        throw 3.5;
    });
    ASSERT_EQ(responder.lists.size(), 3u);
    ASSERT_EQ(responder.lists[0].size(), 1u);
    EXPECT_EQ(responder.lists[0][0].code, 0xE0000000u);
    EXPECT_EQ(responder.lists[0][0].param, "leer");
    ASSERT_EQ(responder.lists[1].size(), 2u);
    EXPECT_EQ(responder.lists[1][1].code, 0xE7436005u);
    EXPECT_EQ(responder.lists[1][1].param, "dazu");
    EXPECT_EQ(responder.lists[1][1].file, "ErrorApiTest.cpp");
    ASSERT_EQ(responder.lists[2].size(), 2u);
    EXPECT_EQ(responder.lists[2][1].param, "Unknown exception catched");
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 0u);
}

TEST_F(ErrorApi, CompactViewShowsCodePlaceAndData) {
    TResponderScope scope;
    for (int i = 0; i < 7; ++i) scope.ErrorDialog();

    qx::error(0xE5136001, "/src/grid.src", 167, "FixedRows=%d NumCol=%d", 5, 3);
    qx::trace("frame.src", 88);
    qx::ErrorMessageBox();
    qx::error(0xE5136001, "grid.src", 167);  // known type, no text
    qx::ErrorMessageBox();
    qx::error(0xE0F00001, "grid.src", 167);  // type not in the table, no text
    qx::ErrorMessageBox();
    qx::error(0xE0000000, "grid.src", 167);  // no type, no text
    qx::ErrorMessageBox();
    qx::error(0xE0F00001, "grid.src", 167, "unknown type");
    qx::ErrorMessageBox();
    qx::error(0xE0000000, "grid.src", 167, "no type");
    qx::ErrorMessageBox();
    TLanguage::setEnglisch();
    qx::error(0xE5136001, "grid.src", 167, "x");
    qx::ErrorMessageBox();

    const auto& r = scope.Requests();
    ASSERT_EQ(r.size(), 7u);
    EXPECT_EQ(r[0].caption, "Es ist ein Fehler aufgetreten");
    EXPECT_NE(r[0].text.find("Fehlercode: 0xe5136001\n"), std::string::npos) << r[0].text;
    EXPECT_NE(r[0].text.find("Quelltextdatei: grid.src(167)\n"), std::string::npos) << r[0].text;
    EXPECT_NE(r[0].text.find("Zus\xE4tzliche Angaben: FixedRows=5 NumCol=3\n"), std::string::npos);
    EXPECT_TRUE(r[0].text.ends_with(" Fehlerhafter Parameter\n")) << r[0].text;
    EXPECT_TRUE(r[1].text.ends_with("Angaben: Fehlerhafter Parameter ( 0x05100000 )\n"))
        << r[1].text;
    EXPECT_TRUE(r[2].text.ends_with("Angaben: --\n")) << r[2].text;
    EXPECT_TRUE(r[3].text.ends_with("Angaben: \n")) << r[3].text;
    EXPECT_TRUE(r[4].text.ends_with("Angaben: unknown type\n")) << r[4].text;
    EXPECT_TRUE(r[5].text.ends_with("Angaben: no type\n")) << r[5].text;
    EXPECT_EQ(r[6].caption, "An error has occurred");
    EXPECT_NE(r[6].text.find("Error code: 0xe5136001\n"), std::string::npos) << r[6].text;
    EXPECT_TRUE(r[6].text.ends_with(" wrong parameter\n")) << r[6].text;
    // The dialog only reads the list.
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 1u);
}

TEST_F(ErrorApi, TickedCheckBoxStopsFurtherDialogs) {
    TResponderScope scope;
    scope.ErrorDialog(mrOk, /*noFurther=*/true);
    qx::error(0xE5136001, "a.src", 1);
    qx::ErrorMessageBox();
    EXPECT_FALSE(bShowErrorDialog);
    qx::ErrorMessageBox();  // no answer queued: a dialog here fails the test
    Show(Pass);
    EXPECT_EQ(scope.Requests().size(), 1u);
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 0u);  // QX_SHOW still deletes
}

TEST_F(ErrorApi, AbortInTheDialogEndsTheProcess) {
    EXPECT_EXIT(
        {
            TResponderScope scope;
            scope.ErrorDialog(mrAbort);
            qx::error(0xE5136001, "a.src", 1);
            qx::ErrorMessageBox();
            std::exit(7);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(ErrorApi, TypeAndProgramPartTablesFollowTheLanguage) {
    EXPECT_STREQ(qx::cpGetErrorTypeText(0xE0100000), "Interner Fehler");
    EXPECT_STREQ(qx::cpGetErrorTypeText(0xE5136001), "Fehlerhafter Parameter");
    EXPECT_STREQ(qx::cpGetErrorTypeText(0x09200000), "Kein Treiber vorhanden");
    EXPECT_STREQ(qx::cpGetErrorTypeText(0xE0000000), "Nicht spezifizierter Fehlertyp");
    EXPECT_STREQ(qx::cpGetErrorTypeText(0xE0B00000), "Nicht spezifizierter Fehlertyp");
    EXPECT_STREQ(qx::cpGetProgramPartText(0xE5100000), "Nicht spezifizierter Programmteil");
    EXPECT_STREQ(qx::cpGetProgramPartText(0xE513B001), "Nicht spezifizierter Programmteil");
    EXPECT_FALSE(qx::bIsKnownErrorType(0xE0000000));
    EXPECT_TRUE(qx::bIsKnownErrorType(0x07700000));

    // Hosts name their own program parts; texts are copied; an empty English name falls back.
    char german[] = "Messprogramm";
    EXPECT_TRUE(qx::bSetProgramPartName(0x39000, german, ""));
    std::strcpy(german, "XXXXXXXXXXXX");
    EXPECT_STREQ(qx::cpGetProgramPartText(0xE5139001), "Messprogramm");
    EXPECT_FALSE(qx::bSetProgramPartName(qx::kPlaceGrid, "Fremd", "foreign"));
    EXPECT_FALSE(qx::bSetProgramPartName(0x3B000, "Fremd", "foreign"));
    EXPECT_TRUE(qx::bSetProgramPartName(0xA2000, "Leitstand", "control room"));

    TLanguage::setEnglisch();
    EXPECT_STREQ(qx::cpGetErrorTypeText(0xE3900000), "can not delete directory ");
    EXPECT_STREQ(qx::cpGetErrorTypeText(0xE7700000), "source and destionation are equal");
    EXPECT_STREQ(qx::cpGetErrorTypeText(0xE0000000), "Error type not specified");
    EXPECT_STREQ(qx::cpGetProgramPartText(0), "program part not specified");
    EXPECT_STREQ(qx::cpGetProgramPartText(0xE5139001), "Messprogramm");
    EXPECT_STREQ(qx::cpGetProgramPartText(0xE51A2001), "control room");
    EXPECT_STRNE(qx::cpGetProgramPartText(qx::kPlaceGrid), "foreign");  // own names stay
}

TEST_F(ErrorApi, LastErrorWithReportingOn) {
    TResponderScope scope;
    EXPECT_EQ(_QxSetLastErrorL(0, "a.src", 1), 0);
    EXPECT_EQ(QxGetLastErrorL(), 0);

    scope.ErrorDialog();
    EXPECT_EQ(_QxSetLastErrorLS(0x6000, "a.src", 2, "abc%sdef"), 0x6000);
    EXPECT_EQ(scope.Requests().size(), 1u);
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 0u);
    char buf[64] = "untouched";
    EXPECT_EQ(QxGetLastErrorLS(buf, 4), 0x6000);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(QxGetLastErrorLS(buf, 0), 0x6000);
    EXPECT_STREQ(buf, "abc");  // no room: nothing written
    EXPECT_EQ(QxGetLastErrorLS(buf, 1), 0x6000);
    EXPECT_STREQ(buf, "");

    EXPECT_EQ(_QxSetLastErrorL(0, "a.src", 3), 0);
    EXPECT_EQ(QxGetLastErrorL(), 0x6000);

    scope.ErrorDialog();
    EXPECT_EQ(_QxSetLastErrorL(0x7000, "a.src", 4), 0x7000);
    EXPECT_EQ(QxGetLastErrorLS(buf, sizeof buf), 0x7000);
    EXPECT_STREQ(buf, "abc%sdef");  // the old text stays
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 0u);

    scope.ErrorDialog();
    _QxSetLastErrorLS(0x7001, "a.src", 5, nullptr);  // no text: the old one stays
    EXPECT_EQ(QxGetLastErrorLS(buf, sizeof buf), 0x7001);
    EXPECT_STREQ(buf, "abc%sdef");

    ulLastError = 0;
    EXPECT_EQ(QxGetLastErrorLS(buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
}

TEST_F(ErrorApi, LastErrorWithReportingOff) {
    TResponderScope scope;  // no answers: any dialog fails the test
    QxReportLastError(false);
    const std::string longText(5000, 't');
    EXPECT_EQ(_QxSetLastErrorLS(0x6000, "/src/a.src", 7, longText.c_str()), 0x6000);
    auto list = ListNow();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].file, "a.src");
    EXPECT_EQ(list[0].param, longText.substr(0, 1023));
    EXPECT_EQ(std::strlen(acLastErrorText), 4095u);
    std::string buf(5000, '\0');
    QxGetLastErrorLS(buf.data(), static_cast<int>(buf.size()));
    EXPECT_EQ(std::string(buf.c_str()), longText.substr(0, 4095));

    EXPECT_EQ(_QxSetLastErrorL(0x7000, "a.src", 8), 0x7000);
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 0u);
    EXPECT_EQ(QxGetLastErrorL(), 0x7000);
}

TEST_F(ErrorApi, ExistDirAcceptsBothSeparators) {
    TTempDir dir;
    const std::string sub = dir.File("empty dir");
    ASSERT_EQ(mkdir(sub.c_str(), 0777), 0);
    std::string back = sub;
    for (char& c : back)
        if (c == '/') c = '\\';
    const std::string file = dir.File("file.txt");
    std::ofstream(file) << "x";

    EXPECT_TRUE(qx::existDir(sub.c_str()));
    EXPECT_TRUE(qx::existDir((sub + "/").c_str()));
    EXPECT_TRUE(qx::existDir((back + "\\").c_str()));
    EXPECT_TRUE(qx::existDir(back.c_str()));
    EXPECT_FALSE(qx::existDir(file.c_str()));
    EXPECT_FALSE(qx::existDir(dir.File("missing").c_str()));
    EXPECT_FALSE(qx::existDir(""));
    EXPECT_FALSE(qx::existDir(nullptr));
}

}  // namespace
