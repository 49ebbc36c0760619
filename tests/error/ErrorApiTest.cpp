// TErrorInfo on its own instances (list, text pool, per-thread deletion, log), and the qx::
// error functions on the process-wide list, including the reporting macros, the last error,
// the language tables and threads raising, tracing and deleting at once.

#include <algorithm>
#include <atomic>
#include <barrier>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

using qx::test::ReadFile;
using Entry = TErrorInfo::TErrorEntry;
// Line, text ("<null>" for none) and the text's place in the pool (-1 for none) of each entry.
using TEntries = std::vector<std::tuple<int, std::string, long>>;

TEntries Entries(const TErrorInfo& info) {
    TEntries out;
    for (unsigned i = 0; i < info.uGetCurrentErrorEntry(); ++i) {
        const char* p = info[i].cpParam;
        out.emplace_back(info[i].iLine, p ? p : "<null>", p ? p - info.acPool : -1);
    }
    return out;
}

// Appends a trace-like entry the way qx::trace does.
Entry& AddEntry(TErrorInfo& info, int line, const char* text, const char* file = "a.src") {
    Entry& e = info[info.uGetCurrentErrorEntry()];
    info.vFillEntry(0xE5136001, file, line, e);
    e.cpParam = nullptr;
    if (text) info.vFillParamString(text, e);
    info.vIncreaseCurrentErrorEntry();
    return e;
}

TEST(ErrorList, FillTextsUntilThePoolIsFullAndDeleteOnlyTheCallersEntries) {
    TErrorInfo info;
    Entry e{};
    char sentinel[] = "kept";
    e.cpParam = sentinel;
    info.vFillEntry(0xE5136002, nullptr, 42, e);
    EXPECT_STREQ(e.acFile, "");
    const std::string longName = std::string(300, 'n') + ".src";
    info.vFillEntry(0xE5136002, ("/x/" + longName).c_str(), 42, e);
    EXPECT_EQ(std::string(e.acFile), longName.substr(0, 259));
    EXPECT_EQ(std::tie(e.ulCode, e.iLine, e.cpParam), std::make_tuple(0xE5136002UL, 42, sentinel));

    const std::string big(4082, 'b');
    info.vFillParamString("x\ty\r\nz", info.rGetNewEntry(1, "a.src", 1));
    AddEntry(info, 2, big.c_str());  // 7 + 4083: 4090 bytes used
    AddEntry(info, 3, "abcdef");     // one byte too long
    AddEntry(info, 4, "abcde");      // fills the pool exactly
    AddEntry(info, 5, "");           // no room even for an empty text
    EXPECT_EQ(Entries(info), (TEntries{{1, "x y  z", 0},
                                       {2, big, 7},
                                       {3, "<null>", -1},
                                       {4, "abcde", 4090},
                                       {5, "<null>", -1}}));
    EXPECT_EQ(info.uPoolUsed, 4096u);

    // Deletion removes only the caller's entries and compacts the pool. Main thread: entries
    // 0, 2, 4 (no text); another thread: 1, 3, with long texts that overlap their old place.
    const std::string b1 = "B1:" + std::string(200, '1'), b3 = "B3:" + std::string(300, '3');
    const long after1 = static_cast<long>(b1.size()) + 1, after3 = after1 + b3.size() + 1;
    info.vDeleteError();
    auto onOtherThread = [&](int line, const std::string& text) {
        std::thread([&] { AddEntry(info, line, text.c_str(), "b.src"); }).join();
    };
    info.vFillParamString("main text", info.rGetNewEntry(0xE5136001, "a.src", 10));
    onOtherThread(11, b1);
    AddEntry(info, 12, "main again");
    onOtherThread(13, b3);
    AddEntry(info, 14, nullptr);
    const unsigned long other = info[1].ulThreadId;
    ASSERT_NE(other, qx::platform::CurrentThreadId());

    info.vDeleteError();
    EXPECT_EQ(Entries(info), (TEntries{{11, b1, 0}, {13, b3, after1}}));
    EXPECT_EQ(info.uPoolUsed, after3);
}

class ErrorLog : public ::testing::Test {
  protected:
    qx::test::TTempDir dir;
    TErrorInfo info;

    // Logs an entry of thread 0x1a4 as qx::error ("E") or qx::trace ("T") does.
    void Log(const char* kind, unsigned long code, const char* file, int line, const char* text) {
        Entry& e = *kind == 'E' ? info.rGetNewEntry(code, file, line)
                                : AddEntry(info, line, nullptr, file);
        info.vFillParamString(text, e);
        e.ulThreadId = 0x1a4;
        info.vOutStream(kind, e);
    }
    // The log line example: an error and two trace entries.
    void WriteExample() {
        Log("E", 0xE5136001, "C:\\src\\grid.src", 167, "FixedRows=5 NumCol=3");
        Log("T", 0xE5136001, "grid.src", 1339, nullptr);
        Log("T", 0xE5136001, "/src/frame.src", 88, nullptr);
    }
};

const std::string kExample =
    "\nE 0xe5136001 0x1a4 grid.src(167) FixedRows=5 NumCol=3\n"
    "T 0xe5136001 0x1a4 grid.src(1339) \n"
    "T 0xe5136001 0x1a4 frame.src(88) \n";

TEST_F(ErrorLog, OpensOnlyOnceAppendsClosesForRealAndFollowsCustomFormats) {
    // A failed open leaves the log closed; lines are dropped then.
    EXPECT_FALSE(info.bOpenErrorFile(dir.File("missing/log.txt").c_str()));
    EXPECT_FALSE(info.bOpenErrorFile(""));
    WriteExample();  // must not crash

    const std::string path = dir.File("log.txt"), other = dir.File("other.txt");
    std::ofstream(path) << "earlier\n";
    auto openFiles = [] {
        return std::ranges::distance(std::filesystem::directory_iterator("/proc/self/fd"));
    };
    const auto files = openFiles();
    ASSERT_TRUE(info.bOpenErrorFile(path.c_str()));
    EXPECT_FALSE(info.bOpenErrorFile(other.c_str()));
    WriteExample();
    EXPECT_EQ(ReadFile(path), "earlier\n" + kExample);

    info.vCloseErrorFile();
    EXPECT_EQ(openFiles(), files);  // the file is really closed
    WriteExample();                 // dropped while closed
    ASSERT_TRUE(info.bOpenErrorFile(path.c_str()));
    WriteExample();

    // Custom formats keep unknown escapes and a trailing dollar.
    info.vSetOutFileFormat("$C;$X;$");
    Log("E", 0xE5136001, "grid.src", 1, nullptr);
    char format[] = "[$E|$T|$F|$L|$P|$$|%d]";
    info.vSetOutFileFormat(format);
    format[1] = '#';  // the list keeps its own copy
    Log("T", 0xE5136001, "f.src", 9, "p%");
    Log("E", 0x12345678, "g.src", 10, "q");
    info.vSetOutFileFormat(nullptr);
    Log("E", 0xE7436005, "h.src", 11, "r");
    EXPECT_EQ(ReadFile(path), "earlier\n" + kExample + kExample +
                                  "0xe5136001;$X;$\n"
                                  "[T|0x1a4|f.src|9|p%|$$|%d]\n"
                                  "[\nE|0x1a4|g.src|10|q|$$|%d]\n"
                                  "\nE 0xe7436005 0x1a4 h.src(11) r\n");
}

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

class ErrorApi : public qx::test::ErrorStateTest {};

TEST_F(ErrorApi, ErrorStartsTheStackTracesExtendItUpToTheLimitAndSeverityFollowsTheCode) {
    // A trace on an empty list carries code 0; a new error replaces the whole stack.
    EXPECT_EQ(qx::trace("x.src", 1, "on empty"), 0u);
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
    const std::string logged = qx::test::ReadFile(dir.File("log.txt"));
    EXPECT_EQ(qx::trace("grid.src", 99, "dropped"), 0xE5136001u);
    EXPECT_EQ(ListNow(), full);
    EXPECT_EQ(qx::test::ReadFile(dir.File("log.txt")), logged);

    // Severity tests check any bit of their mask. Code, error, warning, message, ok.
    qx::deleteError();
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

TEST_F(ErrorApi, PassAndShowRecordTheExceptionShowDisplaysThenDeletesUnlessSwitchedOff) {
    // Unanswered, each error dialog continues; the list is kept as it was while it showed.
    TResponderScope scope;
    std::vector<TList> lists;
    scope.Responder().OnUnexpected = [&](const qx::platform::TDialogRequest& r,
                                         const std::string&) {
        EXPECT_EQ(r.eKind, qx::platform::TDialogKind::ErrorDialog);
        lists.push_back(ListNow());
    };
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
    EXPECT_EQ(lists,
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

    // A ticked check box stops further dialogs.
    TResponderScope ticked;
    ticked.ErrorDialog(mrOk, /*noFurther=*/true);
    qx::error(0xE5136001, "a.src", 1);
    qx::ErrorMessageBox();
    EXPECT_FALSE(bShowErrorDialog);
    Show([] { Pass(Raise); });  // no answer queued: a dialog here fails the test
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
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 0u);
    EXPECT_EQ(LastError(4), TLast(0x6000, "abc"));
    EXPECT_EQ(LastError(0), TLast(0x6000, "untouched"));  // no room: nothing written
    EXPECT_EQ(_QxSetLastErrorLS(0, "a.src", 3, "ignored"), 0);
    EXPECT_EQ(QxGetLastErrorL(), 0x6000);

    // Without a text the old one stays.
    scope.ErrorDialog();
    EXPECT_EQ(_QxSetLastErrorL(0x7000, "a.src", 4), 0x7000);
    EXPECT_EQ(LastError(64), TLast(0x7000, "abc%sdef"));
    scope.ErrorDialog();
    _QxSetLastErrorLS(0x7001, "a.src", 5, nullptr);
    EXPECT_EQ(LastError(64), TLast(0x7001, "abc%sdef"));
    ulLastError = 0;
    EXPECT_EQ(LastError(64), TLast(0, ""));  // no code: no text

    // Reporting off: no dialog, and the text setter leaves its entry on the list.
    QxReportLastError(false);
    const std::string longText(5000, 't');
    EXPECT_EQ(_QxSetLastErrorLS(0x6000, "/src/a.src", 7, longText.c_str()), 0x6000);
    EXPECT_EQ(ListNow(), (TList{{0x6000, "a.src", 7, longText.substr(0, 1023)}}));
    std::string buf(5000, '\0');
    QxGetLastErrorLS(buf.data(), static_cast<int>(buf.size()));
    EXPECT_EQ(std::string(buf.c_str()), longText.substr(0, 4095));

    EXPECT_EQ(_QxSetLastErrorL(0x7000, "a.src", 8), 0x7000);
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 0u);
    EXPECT_EQ(QxGetLastErrorL(), 0x7000);
}

class Language : public qx::test::ErrorStateTest,
                 public ::testing::WithParamInterface<L::eTLanguage> {};

TEST_P(Language, SwitchSetsOffsetAndPicksTextsAndTableEntries) {
    const bool english = GetParam() == L::eEnglisch;
    L::vSetAktLanguage(english ? L::eDeutsch : L::eEnglisch);
    english ? L::setEnglisch() : L::setDeutsch();
    // Values outside the two languages change nothing.
    for (int bad : {2, -1, static_cast<int>(L::eAktLanguage)})
        L::vSetAktLanguage(static_cast<L::eTLanguage>(bad));
    EXPECT_EQ(std::tuple(L::eGetAktLanguage(), L::getOffset(), L::isDeutsch(), L::isEnglisch()),
              std::tuple(GetParam(), english ? 1000 : 0, !english, english));

    // An explicit language wins; other values and a missing English text give the German.
    const L::TLanguageString both{"Fehler", "error"};
    EXPECT_STREQ(both(), english ? "error" : "Fehler");
    EXPECT_STREQ(both(english ? L::eDeutsch : L::eEnglisch), english ? "Fehler" : "error");
    EXPECT_STREQ(both(static_cast<L::eTLanguage>(7)), "Fehler");
    for (const char* missing : {static_cast<const char*>(nullptr), ""})
        EXPECT_STREQ((L::TLanguageString{"Fehler", missing}(L::eEnglisch)), "Fehler");

    // Hosts name their own program parts (texts are copied, an empty English name falls back);
    // qx's own names, codes outside the place bits and places not in the table are refused.
    char german[] = "Messprogramm";
    EXPECT_TRUE(qx::bSetProgramPartName(0x39000, german, ""));
    std::strcpy(german, "XXXXXXXXXXXX");
    EXPECT_TRUE(qx::bSetProgramPartName(0xA2000, "Leitstand", "control room"));
    for (unsigned long refused : {qx::kPlaceGrid, 0x3B000UL, 0xE5139001UL})
        EXPECT_FALSE(qx::bSetProgramPartName(refused, "Fremd", "foreign")) << std::hex << refused;
    EXPECT_FALSE(qx::bSetProgramPartName(0x38000, nullptr, "foreign"));
    const std::tuple<const char* (*)(unsigned long), unsigned long, const char*, const char*>
        texts[] = {
            {qx::cpGetProgramPartText, 0xE513B001, "Nicht spezifizierter Programmteil",
             "program part not specified"},
            {qx::cpGetProgramPartText, 0xE5139001, "Messprogramm", "Messprogramm"},
            {qx::cpGetProgramPartText, 0xE51A2001, "Leitstand", "control room"},
        };
    for (const auto& [text, code, inGerman, inEnglish] : texts)
        EXPECT_STREQ(text(code), english ? inEnglish : inGerman) << std::hex << code;
}

INSTANTIATE_TEST_SUITE_P(Languages, Language, ::testing::Values(L::eDeutsch, L::eEnglisch));

// Eight threads raising, tracing and deleting on the process-wide list at once. The threads use
// only the locked operations; the main thread inspects the list while they wait at a barrier.

constexpr int kThreads = 8;
constexpr int kRounds = 150;
// Thread k raises kCode + k from "thread<k>.src"; its lines tell which call made an entry.
constexpr unsigned long kCode = 0xE5136000UL;
enum { kErrorLine = 100, kTraceLine = 200, kLateLine = 300 };  // + k

// Thread index, code, line, text ("<null>" for none) and the text's place in the pool.
using TThreadEntry = std::tuple<int, unsigned long, int, std::string, long>;

class Concurrency : public qx::test::ErrorStateTest {
  protected:
    std::vector<unsigned long> tids = std::vector<unsigned long>(kThreads);

    // Reads the list; every entry must be one that its own thread wrote, field for field, with
    // its text inside the used pool.
    std::vector<TThreadEntry> Inspect() {
        const TErrorInfo& info = qx::rGetErrorInfo();
        EXPECT_LE(info.uGetCurrentErrorEntry(), 50u);
        EXPECT_LE(info.uPoolUsed, TErrorInfo::kPoolSize);
        std::vector<TThreadEntry> out;
        for (unsigned i = 0; i < info.uGetCurrentErrorEntry() && i < 50; ++i) {
            const TErrorInfo::TErrorEntry& e = info[i];
            const int k = static_cast<int>(std::ranges::find(tids, e.ulThreadId) - tids.begin());
            EXPECT_LT(k, kThreads) << "entry of an unknown thread";
            if (k == kThreads) continue;
            EXPECT_EQ(e.acFile, "thread" + std::to_string(k) + ".src");
            const int base = e.iLine - k;  // kErrorLine, kTraceLine or kLateLine
            const char tag =
                base % 100 == 0 && base >= 100 && base <= 300 ? " ETL"[base / 100] : '?';
            EXPECT_NE(tag, '?') << "line " << e.iLine << " from thread " << k;
            // A trace carries whatever error is newest, or 0 after a deletion.
            EXPECT_TRUE(tag == 'E' ? e.ulCode == kCode + k
                                   : e.ulCode == 0 || (e.ulCode & ~0xFUL) == kCode)
                << std::hex << e.ulCode;
            const char* used = info.acPool + info.uPoolUsed;
            const bool inside = e.cpParam >= info.acPool && e.cpParam < used &&
                                std::memchr(e.cpParam, '\0', used - e.cpParam) != nullptr;
            EXPECT_TRUE(!e.cpParam || inside) << "entry " << i << " text outside the used pool";
            const std::string text = inside ? e.cpParam : "<null>";
            EXPECT_TRUE(!inside || text.starts_with(tag + (" " + std::to_string(k) + " "))) << text;
            EXPECT_EQ(text.find('\t'), std::string::npos);
            out.emplace_back(k, e.ulCode, e.iLine, text, inside ? e.cpParam - info.acPool : -1);
        }
        return out;
    }
};

TEST_F(Concurrency, ThreadsRaiseTraceAndDeleteWithoutCorruptingTheList) {
    qx::test::TTempDir dir;
    const std::string log = dir.File("log.txt");
    ASSERT_TRUE(qx::openErrorFile(log.c_str()));

    std::barrier sync(kThreads + 1);
    std::atomic<int> wrongReturns{0};
    std::vector<std::thread> threads;
    for (int k = 0; k < kThreads; ++k) {
        threads.emplace_back([&, k] {
            const std::string file = "/src/thread" + std::to_string(k) + ".src";
            tids[k] = qx::platform::CurrentThreadId();
            for (int i = 0; i < kRounds; ++i) {
                if (qx::error(kCode + k, file.c_str(), kErrorLine + k, "E %d %d", k, i) !=
                    kCode + k)
                    ++wrongReturns;
                qx::trace(file.c_str(), kTraceLine + k, "T %d %d\tx", k, i);
                qx::trace(file.c_str(), kTraceLine + k);
                if (i % 10 == k % 10) qx::deleteError();
            }
            sync.arrive_and_wait();  // no new error replaces the list from here on
            qx::trace(file.c_str(), kLateLine + k, "L %d a", k);
            qx::trace(file.c_str(), kLateLine + k, "L %d b", k);
            // Between two barriers the main thread inspects the list while the others wait:
            // first every thread's late entries on a mixed list, then after the even threads
            // deleted theirs, then after all did.
            for (int phase = 0; phase < 2; ++phase) {
                sync.arrive_and_wait();
                sync.arrive_and_wait();
                if (k % 2 == phase) qx::deleteError();
            }
            sync.arrive_and_wait();
        });
    }

    sync.arrive_and_wait();
    sync.arrive_and_wait();
    const std::vector<TThreadEntry> before = Inspect();
    std::vector<int> late(kThreads);
    for (const auto& [k, code, line, text, place] : before) late[k] += line == kLateLine + k;
    EXPECT_EQ(late, std::vector<int>(kThreads, 2));
    sync.arrive_and_wait();

    // The odd threads' entries remain in order, their texts moved to the front of the pool.
    sync.arrive_and_wait();
    std::vector<TThreadEntry> expected;
    long used = 0;
    for (TThreadEntry e : before) {
        if (std::get<0>(e) % 2 == 0) continue;
        if (std::get<4>(e) >= 0) {
            std::get<4>(e) = used;
            used += static_cast<long>(std::get<3>(e).size()) + 1;
        }
        expected.push_back(e);
    }
    EXPECT_EQ(Inspect(), expected);
    EXPECT_EQ(qx::rGetErrorInfo().uPoolUsed, used);
    sync.arrive_and_wait();

    sync.arrive_and_wait();
    EXPECT_EQ(qx::rGetErrorInfo().uGetCurrentErrorEntry(), 0u);
    EXPECT_EQ(qx::rGetErrorInfo().uPoolUsed, 0u);
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(wrongReturns.load(), 0);

    // The log: lines never mix, one line per recorded entry (the list never fills up here:
    // after the newest error each thread adds at most its two traces); an error's line follows
    // a blank one.
    qx::closeErrorFile();
    std::istringstream in(qx::test::ReadFile(log));
    const std::regex lineRe(R"(([ET]) 0x([0-9a-f]+) 0x([0-9a-f]+) thread(\d)\.src\((\d+)\) (.*))");
    int blank = 0, errors = 0, traces = 0;
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        blank += line.empty();
        if (line.empty()) continue;
        ASSERT_TRUE(std::regex_match(line, m, lineRe)) << line;
        const int k = std::stoi(m[4]);
        EXPECT_EQ(std::stoul(m[3], nullptr, 16), tids[k]) << line;
        if (m[1] == "T") {
            ++traces;
            continue;
        }
        ++errors;
        EXPECT_EQ(std::pair(std::stoul(m[2], nullptr, 16), std::stoi(m[5])),
                  std::pair(kCode + k, kErrorLine + k))
            << line;
    }
    EXPECT_EQ(errors, kThreads * kRounds);
    EXPECT_EQ(blank, errors);
    EXPECT_EQ(traces, kThreads * (kRounds * 2 + 2));
}

}  // namespace
