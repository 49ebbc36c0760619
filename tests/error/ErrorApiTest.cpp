// The qx:: error functions on the process-wide list: raising and tracing, severity, the
// reporting convention (QX_RAISE / QX_PASS / QX_SHOW), the last-error interface, and the
// language switch with the type and program-part tables that follow it.
#include <cstring>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

using qx::test::TResponderScope;
using L = TLanguage;

// Code, file, line and text ("<null>" for none) of each entry on the list.
using TSeen = std::tuple<unsigned long, std::string, int, std::string>;
using TList = std::vector<TSeen>;

TList ListNow() {
    const TErrorInfo& info = qx::rGetErrorInfo();
    TList out;
    for (unsigned i = 0; i < info.uGetCurrentErrorEntry(); ++i)
        out.emplace_back(info[i].ulCode, info[i].acFile, info[i].iLine,
                         info[i].cpParam ? info[i].cpParam : "<null>");
    return out;
}

// Answers every error dialog with "continue" and keeps the list as it was while it showed.
struct TSnapshotResponder : qx::platform::TDialogResponder {
    TSnapshotResponder() { qx::platform::HeadlessWidgetSet().SetResponder(this); }
    ~TSnapshotResponder() override { qx::platform::HeadlessWidgetSet().SetResponder(nullptr); }
    std::optional<qx::platform::TDialogAnswer> Answer(
        const qx::platform::TDialogRequest& request) override {
        EXPECT_EQ(request.eKind, qx::platform::TDialogKind::ErrorDialog);
        lists.push_back(ListNow());
        return qx::platform::TDialogAnswer{qx::platform::TDialogKind::ErrorDialog, mrOk, false};
    }
    std::vector<TList> lists;
};

class ErrorApi : public qx::test::ErrorStateTest {};

TEST_F(ErrorApi, ErrorStartsTheStackAndTracesExtendItUpToTheLimit) {
    // A trace on an empty list carries code 0; a new error replaces the whole stack.
    EXPECT_EQ(qx::trace("x.src", 1, "on empty"), 0u);
    EXPECT_EQ(ListNow(), (TList{{0, "x.src", 1, "on empty"}}));
    EXPECT_EQ(qx::error(0xE5136001, "/src/grid.src", 167, "Rows=%d\tCols=%d", 5, 3), 0xE5136001u);
    EXPECT_EQ(qx::trace("C:\\src\\frame.src", 88), 0xE5136001u);
    const std::string text(2000, 'p');
    qx::trace("x.src", 3, "%s!", text.c_str());  // texts are cut to 1023 characters
    EXPECT_EQ(ListNow(), (TList{{0xE5136001, "grid.src", 167, "Rows=5 Cols=3"},
                                {0xE5136001, "frame.src", 88, "<null>"},
                                {0xE5136001, "x.src", 3, text.substr(0, 1023)}}));

    // A full list records and logs no more traces but still answers with the code.
    qx::test::TTempDir dir;
    ASSERT_TRUE(qx::openErrorFile(dir.File("log.txt").c_str()));
    while (qx::rGetErrorInfo().uGetCurrentErrorEntry() < 50) qx::trace("grid.src", 4, "t");
    const TList full = ListNow();
    const unsigned used = qx::rGetErrorInfo().uPoolUsed;
    const std::string logged = qx::test::ReadFile(dir.File("log.txt"));
    EXPECT_EQ(qx::trace("grid.src", 99, "dropped"), 0xE5136001u);
    EXPECT_EQ(ListNow(), full);
    EXPECT_EQ(qx::rGetErrorInfo().uPoolUsed, used);
    EXPECT_EQ(qx::test::ReadFile(dir.File("log.txt")), logged);
}

TEST_F(ErrorApi, SeverityTestsCheckAnyBitOfTheirMask) {
    // Code, error, warning, message, ok.
    using TSeverity = std::tuple<unsigned long, bool, bool, bool, bool>;
    auto now = [] {
        return TSeverity(qx::getErrorCode(), qx::isError(), qx::isWarning(), qx::isMessage(),
                         qx::isOk());
    };
    EXPECT_EQ(now(), TSeverity(0, false, false, false, false));
    for (const TSeverity& c : {
             TSeverity{0xE0000000, true, true, true, true},
             TSeverity{0x12345678, false, false, false, false},
             TSeverity{0x80000000, true, true, false, false},
             TSeverity{0x40000000, true, false, true, false},
             TSeverity{0x20000000, true, true, true, true},
         }) {
        qx::error(std::get<0>(c), "a.src", 1);
        qx::trace("a.src", 2);
        EXPECT_EQ(now(), c);
    }
}

// The convention, written with the macros; each records the line it is written on.
const int kRaiseLine = __LINE__ + 2;
[[noreturn]] void Raise() {
    QX_RAISE(0xE5136001, "FixedRows=%d NumCol=%d", 5, 3);
}
const int kPassLine = __LINE__ + 6;
template <class F>
void Pass(F f) {
    try {
        f();
    } catch (...) {
        QX_PASS();
    }
}
const int kShowLine = __LINE__ + 6;
template <class F>
void Show(F f) {
    try {
        f();
    } catch (...) {
        QX_SHOW();
    }
}
const std::string kThisFile = "ErrorApiTest.cpp";
const char* const kUnknownExceptionText = "Unknown exception catched";

TEST_F(ErrorApi, PassAndShowRecordTheExceptionShowDisplaysThenDeletes) {
    TSnapshotResponder responder;
    Show([] { Pass(Raise); });
    // Pass makes a foreign exception the general code, its message taken verbatim, printf
    // directives included; Show makes it a new error on an empty list, else a trace.
    Show([] { Pass([] { throw Exception("Datei 100%s %n kaputt"); }); });
    Show([] { Pass([] { throw std::runtime_error("not a framework exception"); }); });
    Show([] { throw Exception("leer"); });
    Show([] {
        qx::error(0xE7436005, "a.src", 1, "first");
        throw Exception("dazu");
    });
    Show([] {
        qx::error(0xE7436005, "a.src", 1);
        throw 3.5;
    });
    const unsigned long code = 0xE5136001, general = 0xE0000000;
    EXPECT_EQ(responder.lists,
              (std::vector<TList>{
                  {{code, kThisFile, kRaiseLine, "FixedRows=5 NumCol=3"},
                   {code, kThisFile, kPassLine, "<null>"},
                   {code, kThisFile, kShowLine, "<null>"}},
                  {{general, kThisFile, kPassLine, "Datei 100%s %n kaputt"},
                   {general, kThisFile, kShowLine, "<null>"}},
                  {{general, kThisFile, kPassLine, kUnknownExceptionText},
                   {general, kThisFile, kShowLine, "<null>"}},
                  {{general, kThisFile, kShowLine, "leer"}},
                  {{0xE7436005, "a.src", 1, "first"}, {0xE7436005, kThisFile, kShowLine, "dazu"}},
                  {{0xE7436005, "a.src", 1, "<null>"},
                   {0xE7436005, kThisFile, kShowLine, kUnknownExceptionText}},
              }));
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 0u);
}

TEST_F(ErrorApi, TickedCheckBoxStopsFurtherDialogs) {
    TResponderScope scope;
    scope.ErrorDialog(mrOk, /*noFurther=*/true);
    qx::error(0xE5136001, "a.src", 1);
    qx::ErrorMessageBox();
    EXPECT_FALSE(bShowErrorDialog);
    Show([] { Pass(Raise); });  // no answer queued: a dialog here fails the test
    EXPECT_EQ(scope.Requests().size(), 1u);
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 0u);  // QX_SHOW still deletes
}

// The last code and text, read into a buffer of `size` characters that held "untouched".
using TLast = std::pair<long, std::string>;
TLast LastError(int size) {
    char buf[64] = "untouched";
    const long code = QxGetLastErrorLS(buf, size);
    return {code, buf};
}

TEST_F(ErrorApi, LastErrorWithReportingOnAndOff) {
    TResponderScope scope;
    EXPECT_EQ(_QxSetLastErrorL(0, "a.src", 1), 0);
    EXPECT_EQ(QxGetLastErrorL(), 0);

    scope.ErrorDialog();
    EXPECT_EQ(_QxSetLastErrorLS(0x6000, "a.src", 2, "abc%sdef"), 0x6000);
    EXPECT_EQ(scope.Requests().size(), 1u);
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 0u);
    EXPECT_EQ(LastError(4), TLast(0x6000, "abc"));
    EXPECT_EQ(LastError(0), TLast(0x6000, "untouched"));  // no room: nothing written
    EXPECT_EQ(LastError(1), TLast(0x6000, ""));
    EXPECT_EQ(_QxSetLastErrorLS(0, "a.src", 3, "ignored"), 0);
    EXPECT_EQ(QxGetLastErrorL(), 0x6000);

    // Without a text the old one stays.
    scope.ErrorDialog();
    EXPECT_EQ(_QxSetLastErrorL(0x7000, "a.src", 4), 0x7000);
    EXPECT_EQ(LastError(64), TLast(0x7000, "abc%sdef"));
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 0u);
    scope.ErrorDialog();
    _QxSetLastErrorLS(0x7001, "a.src", 5, nullptr);
    EXPECT_EQ(LastError(64), TLast(0x7001, "abc%sdef"));

    ulLastError = 0;
    EXPECT_EQ(LastError(64), TLast(0, ""));

    // Reporting off: no dialog, and the text setter leaves its entry on the list.
    QxReportLastError(false);
    const std::string longText(5000, 't');
    EXPECT_EQ(_QxSetLastErrorLS(0x6000, "/src/a.src", 7, longText.c_str()), 0x6000);
    EXPECT_EQ(ListNow(), (TList{{0x6000, "a.src", 7, longText.substr(0, 1023)}}));
    EXPECT_EQ(std::strlen(acLastErrorText), 4095u);
    std::string buf(5000, '\0');
    QxGetLastErrorLS(buf.data(), static_cast<int>(buf.size()));
    EXPECT_EQ(std::string(buf.c_str()), longText.substr(0, 4095));

    EXPECT_EQ(_QxSetLastErrorL(0x7000, "a.src", 8), 0x7000);
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 0u);
    EXPECT_EQ(QxGetLastErrorL(), 0x7000);
}

// ---------------------------------------------------------------------------- language

class Language : public qx::test::ErrorStateTest,
                 public ::testing::WithParamInterface<L::eTLanguage> {};

TEST_P(Language, SwitchSetsOffsetAndPicksTextsAndTableEntries) {
    const bool english = GetParam() == L::eEnglisch;
    L::vSetAktLanguage(english ? L::eDeutsch : L::eEnglisch);
    english ? L::setEnglisch() : L::setDeutsch();
    // Values outside the two languages change nothing.
    for (int bad : {2, -1, static_cast<int>(L::eAktLanguage)})
        L::vSetAktLanguage(static_cast<L::eTLanguage>(bad));
    EXPECT_EQ(L::eGetAktLanguage(), GetParam());
    EXPECT_EQ(L::getOffset(), english ? 1000 : 0);
    EXPECT_EQ(L::isDeutsch(), !english);
    EXPECT_EQ(L::isEnglisch(), english);

    // An explicit language wins; other values and a missing English text give the German.
    const L::TLanguageString both{"Fehler", "error"};
    EXPECT_STREQ(both(), english ? "error" : "Fehler");
    EXPECT_STREQ(both(L::eEnglisch), "error");
    EXPECT_STREQ(both(L::eDeutsch), "Fehler");
    EXPECT_STREQ(both(static_cast<L::eTLanguage>(7)), "Fehler");
    for (const char* missing : {static_cast<const char*>(nullptr), ""})
        EXPECT_STREQ((L::TLanguageString{"Fehler", missing}(L::eEnglisch)), "Fehler");

    // Hosts name their own program parts (texts are copied, an empty English name falls back);
    // qx's own names, codes outside the place bits and places not in the table are refused.
    char german[] = "Messprogramm";
    EXPECT_TRUE(qx::bSetProgramPartName(0x39000, german, ""));
    std::strcpy(german, "XXXXXXXXXXXX");
    EXPECT_TRUE(qx::bSetProgramPartName(0xA2000, "Leitstand", "control room"));
    EXPECT_FALSE(qx::bSetProgramPartName(qx::kPlaceGrid, "Fremd", "foreign"));
    EXPECT_FALSE(qx::bSetProgramPartName(0x3B000, "Fremd", "foreign"));
    EXPECT_FALSE(qx::bSetProgramPartName(0xE5139001, "Fremd", "foreign"));
    EXPECT_FALSE(qx::bSetProgramPartName(0x38000, nullptr, "foreign"));
    const std::tuple<const char* (*)(unsigned long), unsigned long, const char*, const char*>
        texts[] = {
            {qx::cpGetErrorTypeText, 0x09200000, "Kein Treiber vorhanden", "no driver available"},
            {qx::cpGetErrorTypeText, 0xE0B00000, "Nicht spezifizierter Fehlertyp",
             "Error type not specified"},
            {qx::cpGetProgramPartText, 0xE513B001, "Nicht spezifizierter Programmteil",
             "program part not specified"},
            {qx::cpGetProgramPartText, 0xE5139001, "Messprogramm", "Messprogramm"},
            {qx::cpGetProgramPartText, 0xE51A2001, "Leitstand", "control room"},
        };
    for (const auto& [text, code, inGerman, inEnglish] : texts)
        EXPECT_STREQ(text(code), english ? inEnglish : inGerman) << std::hex << code;
    EXPECT_FALSE(qx::bIsKnownErrorType(0xE0000000));
    EXPECT_TRUE(qx::bIsKnownErrorType(0x07700000));

    EXPECT_EQ(TProgramUser::eGetUser(), puStandard);
    TProgramUser::vSetUser(puDeveloper);
    EXPECT_EQ(TProgramUser::eGetUser(), 0);
    TProgramUser::vSetUser(puStandard);
}

INSTANTIATE_TEST_SUITE_P(Languages, Language, ::testing::Values(L::eDeutsch, L::eEnglisch));

}  // namespace
