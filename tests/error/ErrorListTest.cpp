// TErrorInfo on its own instances: the list, the text pool, per-thread deletion and the log.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>

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
Entry& AddEntry(TErrorInfo& info, unsigned long code, const char* file, int line,
                const char* text) {
    Entry& e = info[info.uGetCurrentErrorEntry()];
    info.vFillEntry(code, file, line, e);
    e.cpParam = nullptr;
    if (text) info.vFillParamString(text, e);
    info.vIncreaseCurrentErrorEntry();
    return e;
}

TEST(ErrorList, FillEntryKeepsOnlyNameAndExtensionAndLeavesTheText) {
    TErrorInfo info;
    Entry e{};
    char sentinel[] = "kept";
    e.cpParam = sentinel;
    const std::string longName = std::string(300, 'n') + ".src", longPath = "/x/" + longName;
    const std::pair<const char*, std::string> names[] = {
        {nullptr, ""},
        {longPath.c_str(), longName.substr(0, 259)},
    };
    for (const auto& [path, name] : names) {
        info.vFillEntry(0xE5136001, path, 42, e);
        EXPECT_EQ(std::string(e.acFile), name);
    }
    EXPECT_EQ(e.ulCode, 0xE5136001u);
    EXPECT_EQ(e.iLine, 42);
    EXPECT_EQ(e.ulThreadId, qx::platform::CurrentThreadId());
    EXPECT_EQ(e.cpParam, sentinel);
}

TEST(ErrorList, ParamTextsAreStoredWithoutControlCharactersUntilThePoolIsFull) {
    TErrorInfo info;
    const std::string big(4082, 'b');
    info.vFillParamString("x\ty\r\nz", info.rGetNewEntry(1, "a.src", 1));
    AddEntry(info, 1, "a.src", 2, big.c_str());  // 7 + 4083: 4090 bytes used
    AddEntry(info, 1, "a.src", 3, "abcdef");     // one byte too long
    AddEntry(info, 1, "a.src", 4, "abcde");      // fills the pool exactly
    AddEntry(info, 1, "a.src", 5, "");           // no room even for an empty text
    EXPECT_EQ(Entries(info), (TEntries{{1, "x y  z", 0},
                                       {2, big, 7},
                                       {3, "<null>", -1},
                                       {4, "abcde", 4090},
                                       {5, "<null>", -1}}));
    EXPECT_EQ(info.uPoolUsed, 4096u);
}

TEST(ErrorList, DeleteRemovesOnlyCallersEntriesAndCompactsThePool) {
    TErrorInfo info;
    // Main thread: entries 0, 2 and 4 (without text); another thread: 1 and 3. Its texts are
    // long, so moving them to the front overlaps their old place.
    const std::string b1 = "B1:" + std::string(200, '1'), b3 = "B3:" + std::string(300, '3');
    const long after1 = static_cast<long>(b1.size()) + 1, after3 = after1 + b3.size() + 1;
    auto onOtherThread = [&](int line, const std::string& text) {
        std::thread([&] { AddEntry(info, 0xE5136001, "b.src", line, text.c_str()); }).join();
    };
    info.vFillParamString("main text", info.rGetNewEntry(0xE5136001, "a.src", 10));
    onOtherThread(11, b1);
    AddEntry(info, 0xE5136001, "a.src", 12, "main again");
    onOtherThread(13, b3);
    AddEntry(info, 0xE5136001, "a.src", 14, nullptr);
    const unsigned long other = info[1].ulThreadId;
    ASSERT_NE(other, qx::platform::CurrentThreadId());

    info.vDeleteError();
    EXPECT_EQ(Entries(info), (TEntries{{11, b1, 0}, {13, b3, after1}}));
    EXPECT_EQ(info[0].ulThreadId, other);
    EXPECT_EQ(info.uPoolUsed, after3);
    EXPECT_FALSE(info.bLocked.test());

    // The freed space is usable again.
    info.vFillParamString("new", info.rGetNewEntry(2, "a.src", 20));
    EXPECT_EQ(Entries(info), (TEntries{{20, "new", after3}}));
    info.vDeleteError();
    EXPECT_EQ(info.uGetCurrentErrorEntry(), 0u);
    EXPECT_EQ(info.uPoolUsed, 0u);
}

class ErrorLog : public ::testing::Test {
  protected:
    qx::test::TTempDir dir;
    TErrorInfo info;

    // Logs an entry of thread 0x1a4 as qx::error ("E") or qx::trace ("T") does.
    void Log(const char* kind, unsigned long code, const char* file, int line, const char* text) {
        Entry& e = std::strcmp(kind, "E") == 0 ? info.rGetNewEntry(code, file, line)
                                               : AddEntry(info, code, file, line, nullptr);
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

TEST_F(ErrorLog, OpensOnlyOnceAppendsAndClosesForReal) {
    // A failed open leaves the log closed; lines are dropped then.
    EXPECT_FALSE(info.bOpenErrorFile(dir.File("missing/log.txt").c_str()));
    EXPECT_FALSE(info.bOpenErrorFile(""));
    EXPECT_FALSE(info.bFileOpen);
    EXPECT_STREQ(info.cpGetFileName(), "");
    WriteExample();  // must not crash or create anything
    EXPECT_EQ(access(dir.File("missing").c_str(), F_OK), -1);

    // A new log is readable and writable by all.
    const mode_t old = umask(0);
    const bool opened = info.bOpenErrorFile(dir.File("new.txt").c_str());
    umask(old);
    ASSERT_TRUE(opened);
    struct stat st {};
    ASSERT_EQ(stat(dir.File("new.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u);
    info.vCloseErrorFile();

    const std::string path = dir.File("log.txt"), other = dir.File("other.txt");
    std::ofstream(path) << "earlier\n";
    auto openFiles = [] {
        auto it = std::filesystem::directory_iterator("/proc/self/fd");
        return std::distance(begin(it), end(it));
    };
    const auto files = openFiles();
    ASSERT_TRUE(info.bOpenErrorFile(path.c_str()));
    EXPECT_FALSE(info.bOpenErrorFile(other.c_str()));
    EXPECT_EQ(info.cpGetFileName(), path);  // still names the open log
    EXPECT_TRUE(info.bFileOpen);
    EXPECT_EQ(access(other.c_str(), F_OK), -1);
    WriteExample();
    EXPECT_EQ(ReadFile(path), "earlier\n" + kExample);

    info.vCloseErrorFile();
    EXPECT_FALSE(info.bFileOpen);
    EXPECT_STREQ(info.cpGetFileName(), "");
    EXPECT_EQ(openFiles(), files);  // the file is really closed
    WriteExample();                 // dropped while closed
    ASSERT_TRUE(info.bOpenErrorFile(path.c_str()));
    WriteExample();
    EXPECT_EQ(ReadFile(path), "earlier\n" + kExample + kExample);
}

TEST_F(ErrorLog, CustomFormatsKeepUnknownEscapesAndATrailingDollar) {
    const std::string path = dir.File("log.txt");
    ASSERT_TRUE(info.bOpenErrorFile(path.c_str()));
    info.vSetOutFileFormat("$C;$X;$");
    Log("E", 0xE5136001, "grid.src", 1, nullptr);
    char format[] = "[$E|$T|$F|$L|$P|$$|%d]";
    info.vSetOutFileFormat(format);
    format[1] = '#';  // the list keeps its own copy
    Log("T", 0xE5136001, "f.src", 9, "p%");
    Log("E", 0x12345678, "g.src", 10, "q");
    info.vSetOutFileFormat(nullptr);
    Log("E", 0xE7436005, "h.src", 11, "r");
    EXPECT_EQ(ReadFile(path),
              "0xe5136001;$X;$\n"
              "[T|0x1a4|f.src|9|p%|$$|%d]\n"
              "[\nE|0x1a4|g.src|10|q|$$|%d]\n"
              "\nE 0xe7436005 0x1a4 h.src(11) r\n");
}

}  // namespace
