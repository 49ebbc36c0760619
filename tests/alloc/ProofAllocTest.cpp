// The allocation register: file names, outstanding blocks and stray releases, summaries, the
// recording switch, the process-wide instance and reports from several threads.
#include <thread>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

using TItem = TProofAlloc::TItem;

void* Block(std::uintptr_t n) {
    return reinterpret_cast<void*>(n * 16);
}

std::vector<std::pair<std::string, unsigned>> Files(TProofAlloc& p) {
    std::vector<std::pair<std::string, unsigned>> out;
    for (const auto& f : p.rGetListFiles()) out.emplace_back(f.sFileName, f.uCount);
    return out;
}

std::vector<TItem> Items(const TProofAlloc::TItemSet& set) {
    return {set.begin(), set.end()};
}

TEST(ProofAlloc, ReleaseFromAnotherPlaceFindsTheBlockByAddress) {
    TProofAlloc p;
    p.vAlloc("C:\\src\\grid.src", 10, Block(1));
    p.vFree("/home/x/table.src", 99, Block(1));
    EXPECT_TRUE(p.rGetListAlloc().empty());
    EXPECT_TRUE(p.rGetListFree().empty());
    using F = std::vector<std::pair<std::string, unsigned>>;
    EXPECT_EQ(Files(p), (F{{"grid.src", 1}, {"table.src", 1}}));
}

TEST(ProofAlloc, FileNamesLoseFolderAndCaseSoOneFileIsCountedOnce) {
    TProofAlloc p;
    p.vAlloc("C:\\Projekt\\Grid.SRC", 1, nullptr);
    p.vAlloc("/other/dir/grid.src", 2, nullptr);
    p.vFree("grid.src", 3, nullptr);
    p.vAlloc("\xC4NDERN.CPP", 4, nullptr);  // code page 1252 letters too
    using F = std::vector<std::pair<std::string, unsigned>>;
    EXPECT_EQ(Files(p), (F{{"grid.src", 3}, {"\xE4ndern.cpp", 1}}));
    EXPECT_TRUE(p.rGetListAlloc().empty());  // null blocks are only counted
    EXPECT_TRUE(p.rGetListFree().empty());
}

TEST(ProofAlloc, UnknownReleasesAreStrayAndARepeatedAllocationIsKeptOnce) {
    TProofAlloc p;
    p.vFree("a.cpp", 5, Block(7));
    p.vAlloc("a.cpp", 8, Block(2));
    p.vAlloc("a.cpp", 8, Block(2));
    EXPECT_EQ(Items(p.rGetListFree()), (std::vector<TItem>{{"a.cpp", 5, 7 * 16}}));
    EXPECT_EQ(p.rGetListAlloc().size(), 1u);
    EXPECT_EQ(p.rGetListFiles().begin()->uCount, 3u);
}

TEST(ProofAlloc, ReleaseRemovesTheFirstOfSeveralEntriesOfOneAddress) {
    // The same address reported from two places (a missed release in between): the release
    // takes the first in the register's order.
    TProofAlloc p;
    p.vAlloc("b.cpp", 1, Block(3));
    p.vAlloc("a.cpp", 9, Block(3));
    p.vAlloc("a.cpp", 2, Block(4));
    p.vFree("z.cpp", 1, Block(3));
    EXPECT_EQ(Items(p.rGetListAlloc()),
              (std::vector<TItem>{{"a.cpp", 2, 4 * 16}, {"b.cpp", 1, 3 * 16}}));
    p.vFree("z.cpp", 1, Block(3));
    p.vFree("z.cpp", 1, Block(3));  // none left: stray
    EXPECT_EQ(Items(p.rGetListAlloc()), (std::vector<TItem>{{"a.cpp", 2, 4 * 16}}));
    EXPECT_EQ(p.rGetListFree().size(), 1u);
}

TEST(ProofAlloc, SummariesCountBlocksPerFileAndLine) {
    TProofAlloc p;
    for (std::uintptr_t b = 1; b <= 3; ++b) p.vAlloc("grid.src", 10, Block(b));
    p.vAlloc("grid.src", 12, Block(9));
    p.vFree("grid.src", 20, Block(50));
    p.vFree("grid.src", 20, Block(51));
    p.vSumarize();
    EXPECT_EQ(Items(p.rGetListSumAlloc()),
              (std::vector<TItem>{{"grid.src", 10, 3}, {"grid.src", 12, 1}}));
    EXPECT_EQ(Items(p.rGetListSumFree()), (std::vector<TItem>{{"grid.src", 20, 2}}));
    // Stale until asked again; a new summary replaces the old one.
    p.vFree("grid.src", 30, Block(1));
    EXPECT_EQ(p.rGetListSumAlloc().begin()->uValue, 3u);
    p.vSumarize();
    EXPECT_EQ(p.rGetListSumAlloc().begin()->uValue, 2u);
    EXPECT_EQ(p.rGetListSumFree().size(), 1u);
}

TEST(ProofAlloc, NothingIsRecordedWhileSwitchedOffAndNothingIsLost) {
    TProofAlloc p;
    EXPECT_TRUE(p.bGetbDo());
    p.vAlloc("a.cpp", 1, Block(1));
    p.vSetbDo(false);
    p.vAlloc("b.cpp", 1, Block(2));
    p.vFree("a.cpp", 2, Block(1));
    p.vFree("c.cpp", 2, nullptr);
    EXPECT_EQ(p.rGetListFiles().size(), 1u);
    EXPECT_EQ(p.rGetListFiles().begin()->uCount, 1u);
    p.vSetbDo(true);
    EXPECT_EQ(p.rGetListAlloc().size(), 1u);
}

TEST(ProofAlloc, OneProcessWideInstanceCreatedOnDemand) {
    EXPECT_EQ(TProofAlloc::pProof(), nullptr);
    {
        TProofAlloc local;  // a private register is not the process-wide one
        EXPECT_EQ(TProofAlloc::pProof(), nullptr);
    }
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) threads.emplace_back(TProofAlloc::vCreateStaticInstanceIfNotExist);
    for (auto& t : threads) t.join();
    TProofAlloc* first = TProofAlloc::pProof();
    ASSERT_NE(first, nullptr);
    TProofAlloc::vCreateStaticInstanceIfNotExist();
    EXPECT_EQ(TProofAlloc::pProof(), first);
    { TProofAlloc local; }
    first->vAlloc("a.cpp", 1, Block(1));  // still recording after another register went away
    EXPECT_EQ(first->rGetListAlloc().size(), 1u);
    delete first;  // a host that deletes it gets null rather than a dangling pointer
    EXPECT_EQ(TProofAlloc::pProof(), nullptr);
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
