// The allocation report form over the process-wide register (its own test program, since the
// register lives for the whole process).
#include "tests/support/TestSupport.h"

namespace {
void* Block(std::uintptr_t n) {
    return reinterpret_cast<void*>(n * 16);
}
}  // namespace

TEST(ProofAllocForm, ReportShowsThreeIndependentColumns) {
    TProofAllocForm form(nullptr);
    EXPECT_EQ(form.Caption(), "Suche nach Speicherlecks");
    EXPECT_EQ(form.btOk->Caption(),
              "Schlie\xDF"
              "en");
    EXPECT_EQ(form.CheckBox1->Caption(),
              "\xDC"
              "berwachung eingeschaltet?");
    EXPECT_EQ(form.FormStyle(), fsStayOnTop);
    TProofAlloc* proof = TProofAlloc::pProof();
    ASSERT_NE(proof, nullptr) << "the form creates the register";
    EXPECT_TRUE(form.CheckBox1->Checked());

    // Two files, three outstanding positions, no stray releases.
    proof->vAlloc("grid.src", 10, Block(1));
    proof->vAlloc("grid.src", 12, Block(2));
    proof->vAlloc("frame.src", 7, Block(3));
    proof->vAlloc("frame.src", 7, Block(4));
    form.btReport->Click();
    TStringGrid& g = *form.StringGrid1;
    ASSERT_EQ(g.RowCount(), 4);
    EXPECT_EQ(g.Cells(0, 0), "Dateiname:Aufrufe");
    EXPECT_EQ(g.Cells(1, 0), "Dateiname(Zeile):Alloc");
    EXPECT_EQ(g.Cells(2, 0), "Dateiname(Zeile):Free");
    EXPECT_EQ(g.Cells(0, 1), "frame.src : 2");
    EXPECT_EQ(g.Cells(0, 2), "grid.src : 2");
    EXPECT_EQ(g.Cells(0, 3), "");
    EXPECT_EQ(g.Cells(1, 1), "frame.src ( 7 ) : 2");
    EXPECT_EQ(g.Cells(1, 3), "grid.src ( 12 ) : 1");
    for (int r = 1; r < 4; ++r) EXPECT_EQ(g.Cells(2, r), "");
}

TEST(ProofAllocForm, CheckBoxSwitchesRecordingAndANewFormShowsTheState) {
    {
        TProofAllocForm form(nullptr);
        form.CheckBox1->Click();
        EXPECT_FALSE(TProofAlloc::pProof()->bGetbDo());
        EXPECT_FALSE(form.CheckBox1->Checked());
    }
    TProofAllocForm again(nullptr);
    EXPECT_FALSE(again.CheckBox1->Checked());
    again.CheckBox1->Click();
    EXPECT_TRUE(TProofAlloc::pProof()->bGetbDo());
}

TEST(ProofAllocForm, ColumnsShareTheClientWidthAndOkCloses) {
    TProofAllocForm form(nullptr);
    form.SetClientWidth(699);
    EXPECT_EQ(form.StringGrid1->DefaultColWidth(), 225);
    EXPECT_EQ(form.btOk->Left(), form.Panel1->Width() - 61 - 8);
    qx::test::TResponderScope r;
    r.ModalForm("btOk");
    EXPECT_EQ(form.ShowModal(), mrCancel);
}
