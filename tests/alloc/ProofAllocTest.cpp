// The allocation register: file names, outstanding blocks and stray releases, summaries, the
// recording switch and reports from several threads.
#include <thread>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

using TItem = TProofAlloc::TItem;
using TItems = std::vector<TItem>;
using TFiles = std::vector<std::pair<std::string, unsigned>>;

void* Block(std::uintptr_t n) {
    return reinterpret_cast<void*>(n * 16);
}

TFiles Files(TProofAlloc& p) {
    TFiles out;
    for (const auto& f : p.rGetListFiles()) out.emplace_back(f.sFileName, f.uCount);
    return out;
}

TItems Items(const TProofAlloc::TItemSet& set) {
    return {set.begin(), set.end()};
}

TEST(ProofAlloc, FilesAreCountedByNameWithoutFolderOrCase) {
    TProofAlloc p;
    p.vAlloc("C:\\Projekt\\Grid.SRC", 1, nullptr);
    p.vAlloc("/other/dir/grid.src", 2, Block(1));
    p.vFree("/home/x/table.src", 99, Block(1));  // released from another place, by address
    p.vFree("grid.src", 3, nullptr);
    p.vAlloc("\xC4NDERN.CPP", 4, nullptr);  // code page 1252 letters too
    EXPECT_EQ(Files(p), (TFiles{{"grid.src", 3}, {"table.src", 1}, {"\xE4ndern.cpp", 1}}));
    EXPECT_TRUE(p.rGetListAlloc().empty());  // null blocks are only counted
    EXPECT_TRUE(p.rGetListFree().empty());
}

TEST(ProofAlloc, UnknownReleasesAreStrayAndAReleaseTakesTheFirstEntryOfItsAddress) {
    TProofAlloc p;
    p.vAlloc("a.cpp", 8, Block(2));
    p.vAlloc("a.cpp", 8, Block(2));  // a repeated allocation is kept once
    p.vFree("a.cpp", 5, Block(1));
    EXPECT_EQ(Items(p.rGetListFree()), (TItems{{"a.cpp", 5, 16}}));
    EXPECT_EQ(Items(p.rGetListAlloc()), (TItems{{"a.cpp", 8, 2 * 16}}));
    EXPECT_EQ(p.rGetListFiles().begin()->uCount, 3u);

    // The same address reported from two places (a missed release in between): the release
    // takes the first in the register's order.
    p.vAlloc("b.cpp", 1, Block(3));
    p.vAlloc("a.cpp", 9, Block(3));
    p.vFree("z.cpp", 1, Block(3));
    EXPECT_EQ(Items(p.rGetListAlloc()), (TItems{{"a.cpp", 8, 2 * 16}, {"b.cpp", 1, 3 * 16}}));
    p.vFree("z.cpp", 1, Block(3));
    p.vFree("z.cpp", 1, Block(3));  // none left: stray
    EXPECT_EQ(Items(p.rGetListAlloc()), (TItems{{"a.cpp", 8, 2 * 16}}));
    EXPECT_EQ(p.rGetListFree().size(), 2u);
}

TEST(ProofAlloc, NothingIsRecordedWhileSwitchedOffAndNothingIsLost) {
    TProofAlloc p;
    EXPECT_TRUE(p.bGetbDo());
    p.vAlloc("a.cpp", 1, Block(1));
    p.vSetbDo(false);
    p.vAlloc("b.cpp", 1, Block(2));
    p.vFree("a.cpp", 2, Block(1));
    p.vFree("c.cpp", 2, nullptr);
    EXPECT_EQ(Files(p), (TFiles{{"a.cpp", 1}}));
    p.vSetbDo(true);
    EXPECT_EQ(p.rGetListAlloc().size(), 1u);
}

TEST(ProofAlloc, ReportsFromSeveralThreadsAreAllRecorded) {
    TProofAlloc p;
    constexpr int kThreads = 4, kBlocks = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&p, t] {
            for (int i = 0; i < kBlocks; ++i) {
                auto id = static_cast<std::uintptr_t>(t * kBlocks + i + 1);
                p.vAlloc("worker.cpp", t, Block(id));
                if (i % 2) p.vFree("worker.cpp", 100, Block(id));
            }
        });
    }
    for (auto& t : threads) t.join();
    p.vSumarize();
    ASSERT_EQ(p.rGetListSumAlloc().size(), static_cast<size_t>(kThreads));
    for (const auto& item : p.rGetListSumAlloc()) EXPECT_EQ(item.uValue, kBlocks / 2u);
    EXPECT_TRUE(p.rGetListFree().empty());
    EXPECT_EQ(p.rGetListFiles().begin()->uCount, kThreads * kBlocks * 3u / 2u);
}

}  // namespace
