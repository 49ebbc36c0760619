// Eight threads raising, tracing and deleting on the process-wide list at once. The threads use
// only the locked operations; the main thread inspects the list while they wait at a barrier.
#include <atomic>
#include <barrier>
#include <cstdio>
#include <cstring>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

constexpr int kThreads = 8;
constexpr int kRounds = 150;

unsigned long CodeOf(int k) {
    return 0xE5136000UL + static_cast<unsigned long>(k);
}
std::string FileOf(int k) {
    return "thread" + std::to_string(k) + ".src";
}
// Lines tell which call made an entry: 100 + k error, 200 + k trace, 300 + k late trace.
int ErrorLine(int k) {
    return 100 + k;
}
int TraceLine(int k) {
    return 200 + k;
}
int LateLine(int k) {
    return 300 + k;
}

struct TSeen {
    unsigned long tid, code;
    std::string file;
    int line;
    const char* param;
    std::string text;
};

// Reads the list and checks the pool invariant: every text lies inside the used pool.
std::vector<TSeen> Inspect() {
    const TErrorInfo& info = qx::rGetErrorInfo();
    EXPECT_LE(info.uGetCurrentErrorEntry(), 50u);
    EXPECT_LE(info.uPoolUsed, TErrorInfo::kPoolSize);
    std::vector<TSeen> out;
    for (unsigned i = 0; i < info.uGetCurrentErrorEntry() && i < 50; ++i) {
        const TErrorInfo::TErrorEntry& e = info[i];
        TSeen s{e.ulThreadId, e.ulCode, e.acFile, e.iLine, e.cpParam, {}};
        if (e.cpParam) {
            const char* used = info.acPool + info.uPoolUsed;
            const bool inside = e.cpParam >= info.acPool && e.cpParam < used &&
                                std::memchr(e.cpParam, '\0', used - e.cpParam) != nullptr;
            EXPECT_TRUE(inside) << "entry " << i << " text outside the used pool";
            if (inside) s.text = e.cpParam;
        }
        out.push_back(s);
    }
    return out;
}

class Concurrency : public qx::test::ErrorStateTest {};

TEST_F(Concurrency, ThreadsRaiseTraceAndDeleteWithoutCorruptingTheList) {
    qx::test::TTempDir dir;
    const std::string log = dir.File("log.txt");
    ASSERT_TRUE(qx::openErrorFile(log.c_str()));

    std::barrier sync(kThreads + 1);
    std::vector<unsigned long> tids(kThreads);
    std::atomic<int> wrongReturns{0};
    std::vector<std::thread> threads;
    for (int k = 0; k < kThreads; ++k) {
        threads.emplace_back([&, k] {
            const std::string file = "/src/" + FileOf(k);
            tids[k] = qx::platform::CurrentThreadId();
            for (int i = 0; i < kRounds; ++i) {
                if (qx::error(CodeOf(k), file.c_str(), ErrorLine(k), "E %d %d", k, i) != CodeOf(k))
                    ++wrongReturns;
                qx::trace(file.c_str(), TraceLine(k), "T %d %d\tx", k, i);
                qx::trace(file.c_str(), TraceLine(k));
                if (i % 10 == k % 10) qx::deleteError();
            }
            sync.arrive_and_wait();  // 1: main inspects the mixed list
            sync.arrive_and_wait();
            qx::trace(file.c_str(), LateLine(k), "L %d a", k);
            qx::trace(file.c_str(), LateLine(k), "L %d b", k);
            sync.arrive_and_wait();  // 2: every thread has its late entries on the list
            sync.arrive_and_wait();
            if (k % 2 == 0) qx::deleteError();
            sync.arrive_and_wait();  // 3: even threads have deleted theirs
            sync.arrive_and_wait();
            if (k % 2 == 1) qx::deleteError();
            sync.arrive_and_wait();  // 4: all deleted
        });
    }
    auto threadOf = [&](unsigned long tid) {
        for (int k = 0; k < kThreads; ++k)
            if (tids[k] == tid) return k;
        return -1;
    };
    // Every entry must be one that its own thread wrote, field for field.
    auto checkEntries = [&](const std::vector<TSeen>& list) {
        for (const TSeen& e : list) {
            const int k = threadOf(e.tid);
            ASSERT_GE(k, 0) << "entry of an unknown thread";
            EXPECT_EQ(e.file, FileOf(k));
            if (e.line == ErrorLine(k)) {
                EXPECT_EQ(e.code, CodeOf(k));
                if (e.param) {
                    EXPECT_TRUE(e.text.starts_with("E " + std::to_string(k) + " ")) << e.text;
                }
            } else if (e.line == TraceLine(k) || e.line == LateLine(k)) {
                // A trace carries whatever error is newest, or 0 after a deletion.
                EXPECT_TRUE(e.code == 0 || (e.code & ~0xFUL) == 0xE5136000UL) << e.code;
                const char tag = e.line == TraceLine(k) ? 'T' : 'L';
                if (e.param) {
                    EXPECT_TRUE(e.text.starts_with(std::string(1, tag) + " " + std::to_string(k)))
                        << e.text;
                }
                EXPECT_EQ(e.text.find('\t'), std::string::npos);
            } else {
                ADD_FAILURE() << "line " << e.line << " from thread " << k;
            }
        }
    };

    sync.arrive_and_wait();
    checkEntries(Inspect());
    sync.arrive_and_wait();

    sync.arrive_and_wait();
    const std::vector<TSeen> before = Inspect();
    checkEntries(before);
    std::map<int, int> late;
    for (const TSeen& e : before)
        if (e.line == LateLine(threadOf(e.tid))) ++late[threadOf(e.tid)];
    for (int k = 0; k < kThreads; ++k) EXPECT_EQ(late[k], 2) << "thread " << k;
    sync.arrive_and_wait();

    sync.arrive_and_wait();
    {
        const std::vector<TSeen> after = Inspect();
        std::vector<TSeen> expected;
        for (const TSeen& e : before)
            if (threadOf(e.tid) % 2 == 1) expected.push_back(e);
        ASSERT_EQ(after.size(), expected.size());
        // Order kept, texts intact, and the pool holds exactly the remaining texts in order.
        unsigned offset = 0;
        const TErrorInfo& info = qx::rGetErrorInfo();
        for (size_t i = 0; i < after.size(); ++i) {
            EXPECT_EQ(after[i].tid, expected[i].tid);
            EXPECT_EQ(after[i].line, expected[i].line);
            EXPECT_EQ(after[i].code, expected[i].code);
            EXPECT_EQ(after[i].text, expected[i].text);
            EXPECT_EQ(after[i].param == nullptr, expected[i].param == nullptr);
            if (after[i].param) {
                EXPECT_EQ(after[i].param, info.acPool + offset);
                offset += static_cast<unsigned>(after[i].text.size() + 1);
            }
        }
        EXPECT_EQ(info.uPoolUsed, offset);
    }
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
            EXPECT_EQ(std::stoul(m[2], nullptr, 16), CodeOf(k)) << line;
            EXPECT_EQ(std::stoi(m[5]), ErrorLine(k)) << line;
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
