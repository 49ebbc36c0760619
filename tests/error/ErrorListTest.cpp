// TErrorInfo on its own instances: the list, the text pool, per-thread deletion and the log.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <thread>

#include "tests/support/TestSupport.h"

namespace {

using qx::test::ReadFile;
using qx::test::TTempDir;
using Entry = TErrorInfo::TErrorEntry;

std::unique_ptr<TErrorInfo> NewInfo() {
    return std::make_unique<TErrorInfo>();
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

std::string Param(const Entry& e) {
    return e.cpParam ? e.cpParam : "<null>";
}

size_t OpenFileCount() {
    size_t n = 0;
    for ([[maybe_unused]] const auto& fd : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

TEST(ErrorList, FreshInstanceIsEmptyAndStartsAtCurrentTick) {
    qx::platform::SetTickSource([] { return 123456u; });
    auto info = NewInfo();
    qx::platform::SetTickSource({});
    EXPECT_EQ(info->ulGetStartTime(), 123456u);
    EXPECT_EQ(info->uMaxEntries, 50u);
    EXPECT_EQ(info->uGetCurrentErrorEntry(), 0u);
    EXPECT_EQ(info->uPoolUsed, 0u);
    EXPECT_EQ(info->ulFindCode(), 0u);
    EXPECT_FALSE(info->bFileOpen);
    EXPECT_STREQ(info->cpGetFileName(), "");
}

TEST(ErrorList, NewErrorRestartsListButKeepsPoolSpace) {
    auto info = NewInfo();
    Entry& first = info->rGetNewEntry(0xE5136001, "grid.src", 1);
    info->vFillParamString("first", first);
    for (int i = 2; i <= 7; ++i) AddEntry(*info, 0xE5136001, "grid.src", i, "trace");
    ASSERT_EQ(info->uGetCurrentErrorEntry(), 7u);
    const unsigned used = info->uPoolUsed;

    Entry& e = info->rGetNewEntry(0xE7436005, "frame.src", 88);
    EXPECT_EQ(&e, &(*info)[0]);
    EXPECT_EQ(info->uGetCurrentErrorEntry(), 1u);
    EXPECT_EQ(e.ulCode, 0xE7436005u);
    EXPECT_STREQ(e.acFile, "frame.src");
    EXPECT_EQ(e.iLine, 88);
    EXPECT_EQ(e.cpParam, nullptr);  // the old entry 0's text must not show through
    EXPECT_EQ(info->uPoolUsed, used);
}

TEST(ErrorList, FillEntryKeepsOnlyNameAndExtension) {
    auto info = NewInfo();
    Entry e{};
    char sentinel[] = "kept";
    e.cpParam = sentinel;
    info->vFillEntry(0xE5136001, "/home/user/src/Table.src", 42, e);
    EXPECT_STREQ(e.acFile, "Table.src");
    EXPECT_EQ(e.ulCode, 0xE5136001u);
    EXPECT_EQ(e.iLine, 42);
    EXPECT_EQ(e.ulThreadId, qx::platform::CurrentThreadId());
    EXPECT_EQ(e.cpParam, sentinel);

    info->vFillEntry(1, "C:\\dev\\src\\Table.src", 1, e);
    EXPECT_STREQ(e.acFile, "Table.src");
    info->vFillEntry(1, "Table.src", 1, e);
    EXPECT_STREQ(e.acFile, "Table.src");
    info->vFillEntry(1, nullptr, 1, e);
    EXPECT_STREQ(e.acFile, "");

    const std::string longName = std::string(300, 'n') + ".src";
    info->vFillEntry(1, ("/x/" + longName).c_str(), 1, e);
    EXPECT_EQ(std::string(e.acFile), longName.substr(0, 259));
}

TEST(ErrorList, ParamTextsAreStoredWithoutControlCharactersUntilThePoolIsFull) {
    auto info = NewInfo();
    Entry& e = info->rGetNewEntry(1, "a.src", 1);
    info->vFillParamString("x\ty\r\nz", e);
    EXPECT_EQ(Param(e), "x y  z");
    EXPECT_EQ(e.cpParam, info->acPool);
    EXPECT_EQ(info->uPoolUsed, 7u);

    // Fill the pool to 4090 bytes: 7 + 4083.
    Entry& big = AddEntry(*info, 1, "a.src", 2, std::string(4082, 'b').c_str());
    ASSERT_NE(big.cpParam, nullptr);
    ASSERT_EQ(info->uPoolUsed, 4090u);

    Entry& tooLong = AddEntry(*info, 1, "a.src", 3, "abcdef");
    EXPECT_EQ(tooLong.cpParam, nullptr);
    EXPECT_EQ(info->uPoolUsed, 4090u);

    Entry& exact = AddEntry(*info, 1, "a.src", 4, "abcde");
    EXPECT_EQ(Param(exact), "abcde");
    EXPECT_EQ(info->uPoolUsed, 4096u);

    Entry& empty = AddEntry(*info, 1, "a.src", 5, "");
    EXPECT_EQ(empty.cpParam, nullptr);
    EXPECT_EQ(info->uPoolUsed, 4096u);
    EXPECT_EQ(Param(e), "x y  z");  // earlier texts untouched
}

TEST(ErrorList, DeleteRemovesOnlyCallersEntriesAndCompactsThePool) {
    auto info = NewInfo();
    // Main thread: entries 0 and 2 (and 4, without text); other thread: entries 1 and 3. The
    // other thread's texts are long, so moving them to the front overlaps their old place.
    const std::string b1 = "B1:" + std::string(200, '1');
    const std::string b3 = "B3:" + std::string(300, '3');
    Entry& first = info->rGetNewEntry(0xE5136001, "a.src", 10);
    info->vFillParamString("main text", first);
    auto onOtherThread = [&](int line, const std::string& text) {
        std::thread([&] { AddEntry(*info, 0xE5136001, "b.src", line, text.c_str()); }).join();
    };
    onOtherThread(11, b1);
    AddEntry(*info, 0xE5136001, "a.src", 12, "main again");
    onOtherThread(13, b3);
    AddEntry(*info, 0xE5136001, "a.src", 14, nullptr);
    ASSERT_EQ(info->uGetCurrentErrorEntry(), 5u);
    const unsigned long other = (*info)[1].ulThreadId;
    ASSERT_NE(other, qx::platform::CurrentThreadId());

    info->vDeleteError();
    ASSERT_EQ(info->uGetCurrentErrorEntry(), 2u);
    EXPECT_EQ((*info)[0].iLine, 11);
    EXPECT_EQ((*info)[1].iLine, 13);
    EXPECT_EQ((*info)[0].ulThreadId, other);
    EXPECT_EQ(Param((*info)[0]), b1);
    EXPECT_EQ(Param((*info)[1]), b3);
    EXPECT_EQ((*info)[0].cpParam, info->acPool);
    EXPECT_EQ((*info)[1].cpParam, info->acPool + b1.size() + 1);
    EXPECT_EQ(info->uPoolUsed, b1.size() + 1 + b3.size() + 1);
    EXPECT_FALSE(info->bLocked.test());

    // The freed space is usable again.
    Entry& again = info->rGetNewEntry(2, "a.src", 20);
    info->vFillParamString("new", again);
    EXPECT_EQ(again.cpParam, info->acPool + info->uPoolUsed - 4);
    info->vDeleteError();
    EXPECT_EQ(info->uGetCurrentErrorEntry(), 0u);
    EXPECT_EQ(info->uPoolUsed, 0u);
}

TEST(ErrorList, FindCodeReadsTheNewestEntry) {
    auto info = NewInfo();
    EXPECT_EQ(info->ulFindCode(), 0u);
    info->rGetNewEntry(0xE5136001, "a.src", 1);
    AddEntry(*info, 0xE5136001, "a.src", 2, nullptr);
    AddEntry(*info, 0xE5136001, "a.src", 3, nullptr);
    EXPECT_EQ(info->ulFindCode(), 0xE5136001u);
    AddEntry(*info, 0x12345678, "a.src", 4, nullptr);
    EXPECT_EQ(info->ulFindCode(), 0x12345678u);
}

class ErrorLog : public ::testing::Test {
  protected:
    TTempDir dir;
    std::unique_ptr<TErrorInfo> info = NewInfo();

    // The log line example: an error and two trace entries of thread 0x1a4.
    void WriteExample() {
        Entry& e = info->rGetNewEntry(0xE5136001, "C:\\src\\grid.src", 167);
        info->vFillParamString("FixedRows=5 NumCol=3", e);
        e.ulThreadId = 0x1a4;
        info->vOutStream("E", e);
        for (auto [file, line] : {std::pair{"grid.src", 1339}, std::pair{"/src/frame.src", 88}}) {
            Entry& t = AddEntry(*info, 0xE5136001, file, line, nullptr);
            t.ulThreadId = 0x1a4;
            info->vOutStream("T", t);
        }
    }
};

const char* const kExample =
    "\nE 0xe5136001 0x1a4 grid.src(167) FixedRows=5 NumCol=3\n"
    "T 0xe5136001 0x1a4 grid.src(1339) \n"
    "T 0xe5136001 0x1a4 frame.src(88) \n";

TEST_F(ErrorLog, AppendsToExistingContentAndRefusesASecondOpen) {
    const std::string path = dir.File("log.txt");
    const std::string other = dir.File("other.txt");
    std::ofstream(path) << "earlier\n";
    const size_t files = OpenFileCount();

    ASSERT_TRUE(info->bOpenErrorFile(path.c_str()));
    EXPECT_TRUE(info->bFileOpen);
    EXPECT_EQ(info->cpGetFileName(), path);
    EXPECT_FALSE(info->bOpenErrorFile(other.c_str()));
    EXPECT_EQ(info->cpGetFileName(), path);  // still names the open log
    EXPECT_TRUE(info->bFileOpen);
    EXPECT_EQ(access(other.c_str(), F_OK), -1);

    WriteExample();
    EXPECT_EQ(ReadFile(path), std::string("earlier\n") + kExample);

    info->vCloseErrorFile();
    EXPECT_FALSE(info->bFileOpen);
    EXPECT_STREQ(info->cpGetFileName(), "");
    EXPECT_EQ(OpenFileCount(), files);  // the file is really closed
    WriteExample();                     // dropped while closed
    EXPECT_EQ(ReadFile(path), std::string("earlier\n") + kExample);

    ASSERT_TRUE(info->bOpenErrorFile(path.c_str()));
    WriteExample();
    EXPECT_EQ(ReadFile(path), std::string("earlier\n") + kExample + kExample);
}

TEST_F(ErrorLog, NewLogIsReadableAndWritableByAll) {
    const mode_t old = umask(0);
    const std::string path = dir.File("fresh.txt");
    const bool opened = info->bOpenErrorFile(path.c_str());
    umask(old);
    ASSERT_TRUE(opened);
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u);
}

TEST_F(ErrorLog, FailedOpenLeavesLogClosedAndDropsLines) {
    const std::string path = dir.File("missing/log.txt");
    EXPECT_FALSE(info->bOpenErrorFile(path.c_str()));
    EXPECT_FALSE(info->bFileOpen);
    EXPECT_STREQ(info->cpGetFileName(), "");
    WriteExample();  // must not crash or create anything
    EXPECT_EQ(access(dir.File("missing").c_str(), F_OK), -1);

    // A later open of a good name works.
    ASSERT_TRUE(info->bOpenErrorFile(dir.File("good.txt").c_str()));
    WriteExample();
    EXPECT_EQ(ReadFile(dir.File("good.txt")), kExample);
}

TEST_F(ErrorLog, GeneratedNameComesFromLocalTimeInCurrentFolder) {
    char oldCwd[4096];
    ASSERT_NE(getcwd(oldCwd, sizeof oldCwd), nullptr);
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    auto name = [](const qx::platform::TLocalTime& t) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "./%02d-%02d-%02d-%02d-%02d.txt", t.year % 100, t.month,
                      t.day, t.hour, t.minute);
        return std::string(buf);
    };
    const std::string before = name(qx::platform::LocalTime());
    const bool opened = info->bOpenErrorFile();
    const std::string after = name(qx::platform::LocalTime());
    const std::string got = info->cpGetFileName();
    const bool second = info->bOpenErrorFile();
    const std::string gotAfterSecond = info->cpGetFileName();
    info->vCloseErrorFile();
    ASSERT_EQ(chdir(oldCwd), 0);

    ASSERT_TRUE(opened);
    EXPECT_TRUE(got == before || got == after) << got;  // the minute may turn during the call
    EXPECT_TRUE(std::regex_match(got, std::regex(R"(\./\d\d-\d\d-\d\d-\d\d-\d\d\.txt)"))) << got;
    EXPECT_EQ(access(dir.File(got.substr(2)).c_str(), F_OK), 0);
    EXPECT_FALSE(second);
    EXPECT_EQ(gotAfterSecond, got);
}

}  // namespace
