// The allocation register and its report form. Only the form uses the process-wide register;
// the other cases use their own, so none sees what another recorded.
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

TEST(ProofAlloc, FilesCountedReleasesMatchedByAddressAndNothingRecordedWhileOff) {
    TProofAlloc p;
    p.vAlloc("C:\\Projekt\\Grid.SRC", 1, nullptr);
    p.vAlloc("/other/dir/grid.src", 2, Block(1));
    p.vFree("/home/x/table.src", 99, Block(1));  // released from another place, by address
    p.vFree("grid.src", 3, nullptr);
    p.vAlloc("\xC4NDERN.CPP", 4, nullptr);  // code page 1252 letters too
    EXPECT_EQ(Files(p), (TFiles{{"grid.src", 3}, {"table.src", 1}, {"\xE4ndern.cpp", 1}}));
    EXPECT_TRUE(p.rGetListAlloc().empty());  // null blocks are only counted
    EXPECT_TRUE(p.rGetListFree().empty());

    // Unknown releases are stray; a release takes the first entry of its address.
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

    // Nothing is recorded while switched off, and nothing recorded before is lost.
    EXPECT_TRUE(p.bGetbDo());
    const TFiles files = Files(p);
    p.vSetbDo(false);
    p.vAlloc("b.cpp", 1, Block(5));
    p.vFree("a.cpp", 2, Block(2));
    p.vFree("c.cpp", 2, nullptr);
    EXPECT_EQ(Files(p), files);
    p.vSetbDo(true);
    EXPECT_EQ(Items(p.rGetListAlloc()), (TItems{{"a.cpp", 8, 2 * 16}, {"b.cpp", 1, 3 * 16}}));
    EXPECT_EQ(p.rGetListFree().size(), 1u);
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

TEST(ProofAllocForm, ReportShowsThreeIndependentColumnsAndTheCheckBoxSwitchesRecording) {
    TProofAllocForm form(nullptr);
    EXPECT_EQ(form.Caption(), "Suche nach Speicherlecks");
    EXPECT_EQ(form.btOk->Caption(), "Schlie\337en");  // octal: code page 1252 letters
    EXPECT_EQ(form.CheckBox1->Caption(), "\334berwachung eingeschaltet?");
    TProofAlloc* proof = TProofAlloc::pProof();
    ASSERT_NE(proof, nullptr) << "the form creates the register";
    EXPECT_TRUE(form.CheckBox1->Checked());

    // Two files, three outstanding positions, one position of stray releases.
    proof->vAlloc("grid.src", 10, Block(1));
    proof->vAlloc("grid.src", 12, Block(2));
    proof->vAlloc("frame.src", 7, Block(3));
    proof->vAlloc("frame.src", 7, Block(4));
    proof->vFree("grid.src", 20, Block(50));
    form.btReport->Click();
    form.btReport->Click();  // a new report replaces the old summary
    TStringGrid& g = *form.StringGrid1;
    ASSERT_EQ(g.RowCount(), 4);
    std::vector<std::string> rows;
    for (int r = 0; r < 4; ++r)
        rows.push_back(qx::test::Join({g.Cells(0, r), "|", g.Cells(1, r), "|", g.Cells(2, r)}));
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "Dateiname:Aufrufe|Dateiname(Zeile):Alloc|Dateiname(Zeile):Free",
                        "frame.src : 2|frame.src ( 7 ) : 2|grid.src ( 20 ) : 1",
                        "grid.src : 3|grid.src ( 10 ) : 1|",
                        "|grid.src ( 12 ) : 1|",
                    }));

    // Columns share the client width; OK closes.
    form.SetClientWidth(699);
    EXPECT_EQ(form.StringGrid1->DefaultColWidth(), 225);
    EXPECT_EQ(form.btOk->Left(), form.Panel1->Width() - 61 - 8);
    qx::test::TResponderScope r;
    r.ModalForm("btOk");
    EXPECT_EQ(form.ShowModal(), mrCancel);

    // The check box switches recording.
    form.CheckBox1->Click();
    EXPECT_FALSE(proof->bGetbDo());
    EXPECT_FALSE(form.CheckBox1->Checked());
    form.CheckBox1->Click();
    EXPECT_TRUE(proof->bGetbDo());
}

}  // namespace
