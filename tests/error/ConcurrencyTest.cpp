// Eight threads raising, tracing and deleting on the process-wide list at once. The threads use
// only the locked operations; the main thread inspects the list while they wait at a barrier.
#include <atomic>
#include <barrier>
#include <cstring>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

constexpr int kThreads = 8;
constexpr int kRounds = 150;
// Thread k raises kCode + k from "thread<k>.src"; its lines tell which call made an entry.
constexpr unsigned long kCode = 0xE5136000UL;
enum { kErrorLine = 100, kTraceLine = 200, kLateLine = 300 };  // + k

// Thread, code, file, line, text ("<null>" for none) and the text's place in the pool.
using TSeen = std::tuple<unsigned long, unsigned long, std::string, int, std::string, long>;

// Reads the list and checks the pool invariant: every text lies inside the used pool.
std::vector<TSeen> Inspect() {
    const TErrorInfo& info = qx::rGetErrorInfo();
    EXPECT_LE(info.uGetCurrentErrorEntry(), 50u);
    EXPECT_LE(info.uPoolUsed, TErrorInfo::kPoolSize);
    std::vector<TSeen> out;
    for (unsigned i = 0; i < info.uGetCurrentErrorEntry() && i < 50; ++i) {
        const TErrorInfo::TErrorEntry& e = info[i];
        const char* used = info.acPool + info.uPoolUsed;
        const bool inside = e.cpParam >= info.acPool && e.cpParam < used &&
                            std::memchr(e.cpParam, '\0', used - e.cpParam) != nullptr;
        EXPECT_TRUE(!e.cpParam || inside) << "entry " << i << " text outside the used pool";
        out.emplace_back(e.ulThreadId, e.ulCode, e.acFile, e.iLine, inside ? e.cpParam : "<null>",
                         inside ? e.cpParam - info.acPool : -1);
    }
    return out;
}

class Concurrency : public qx::test::ErrorStateTest {};

TEST_F(Concurrency, ThreadsRaiseTraceAndDeleteWithoutCorruptingTheList) {
    qx::test::TTempDir dir;
    const std::string log = dir.File("log.txt");
    ASSERT_TRUE(qx::openErrorFile(log.c_str()));

    std::barrier sync(kThreads + 1);
    // Between two barriers the main thread inspects the list while the others wait.
    auto pause = [&sync] {
        sync.arrive_and_wait();
        sync.arrive_and_wait();
    };
    std::vector<unsigned long> tids(kThreads);
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
            pause();  // 1: every thread has its late entries on a mixed list
            if (k % 2 == 0) qx::deleteError();
            pause();  // 2: even threads have deleted theirs
            if (k % 2 == 1) qx::deleteError();
            sync.arrive_and_wait();  // 3: all deleted
        });
    }
    auto threadOf = [&](unsigned long tid) {
        for (int k = 0; k < kThreads; ++k)
            if (tids[k] == tid) return k;
        return -1;
    };
    // Every entry must be one that its own thread wrote, field for field.
    auto checkEntries = [&](const std::vector<TSeen>& list) {
        for (const auto& [tid, code, file, line, text, place] : list) {
            const int k = threadOf(tid);
            ASSERT_GE(k, 0) << "entry of an unknown thread";
            EXPECT_EQ(file, "thread" + std::to_string(k) + ".src");
            const char* tag = line == kErrorLine + k   ? "E "
                              : line == kTraceLine + k ? "T "
                              : line == kLateLine + k  ? "L "
                                                       : nullptr;
            ASSERT_NE(tag, nullptr) << "line " << line << " from thread " << k;
            // A trace carries whatever error is newest, or 0 after a deletion.
            EXPECT_TRUE(*tag == 'E' ? code == kCode + k : code == 0 || (code & ~0xFUL) == kCode)
                << std::hex << code;
            if (place >= 0) {
                EXPECT_TRUE(text.starts_with(tag + std::to_string(k) + " ")) << text;
            }
            EXPECT_EQ(text.find('\t'), std::string::npos);
        }
    };

    sync.arrive_and_wait();
    sync.arrive_and_wait();
    const std::vector<TSeen> before = Inspect();
    checkEntries(before);
    std::map<int, int> late;
    for (const TSeen& e : before)
        if (std::get<3>(e) == kLateLine + threadOf(std::get<0>(e)))
            ++late[threadOf(std::get<0>(e))];
    for (int k = 0; k < kThreads; ++k) EXPECT_EQ(late[k], 2) << "thread " << k;
    sync.arrive_and_wait();

    // The odd threads' entries remain in order, their texts moved to the front of the pool.
    sync.arrive_and_wait();
    std::vector<TSeen> expected;
    long used = 0;
    for (TSeen e : before) {
        if (threadOf(std::get<0>(e)) % 2 == 0) continue;
        if (std::get<5>(e) >= 0) {
            std::get<5>(e) = used;
            used += static_cast<long>(std::get<4>(e).size()) + 1;
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
    // after the newest error each thread adds at most its two traces).
    qx::closeErrorFile();
    std::istringstream in(qx::test::ReadFile(log));
    const std::regex lineRe(R"(([ET]) 0x([0-9a-f]+) 0x([0-9a-f]+) thread(\d)\.src\((\d+)\) (.*))");
    std::string line;
    int blank = 0, errors = 0, traces = 0;
    while (std::getline(in, line)) {
        if (line.empty()) {
            ++blank;
            continue;
        }
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, lineRe)) << line;
        const int k = std::stoi(m[4]);
        if (m[1] == "E") {
            ++errors;
            EXPECT_EQ(std::stoul(m[2], nullptr, 16), kCode + k) << line;
            EXPECT_EQ(std::stoi(m[5]), kErrorLine + k) << line;
        } else {
            ++traces;
        }
        EXPECT_EQ(std::stoul(m[3], nullptr, 16), tids[k]) << line;
    }
    EXPECT_EQ(errors, kThreads * kRounds);
    EXPECT_EQ(blank, errors);
    EXPECT_EQ(traces, kThreads * (kRounds * 2 + 2));
}

}  // namespace
