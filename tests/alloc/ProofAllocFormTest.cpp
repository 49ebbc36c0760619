// The allocation report form over the process-wide register (its own test program, since the
// register lives for the whole process).
#include "tests/support/TestSupport.h"

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

    // Two files, three outstanding positions, one position of stray releases.
    auto block = [](std::uintptr_t n) { return reinterpret_cast<void*>(n * 16); };
    proof->vAlloc("grid.src", 10, block(1));
    proof->vAlloc("grid.src", 12, block(2));
    proof->vAlloc("frame.src", 7, block(3));
    proof->vAlloc("frame.src", 7, block(4));
    proof->vFree("grid.src", 20, block(50));
    form.btReport->Click();
    form.btReport->Click();  // a new report replaces the old summary
    TStringGrid& g = *form.StringGrid1;
    ASSERT_EQ(g.RowCount(), 4);
    EXPECT_EQ(g.Cells(0, 0), "Dateiname:Aufrufe");
    EXPECT_EQ(g.Cells(1, 0), "Dateiname(Zeile):Alloc");
    EXPECT_EQ(g.Cells(2, 0), "Dateiname(Zeile):Free");
    EXPECT_EQ(g.Cells(0, 1), "frame.src : 2");
    EXPECT_EQ(g.Cells(0, 2), "grid.src : 3");
    EXPECT_EQ(g.Cells(0, 3), "");
    EXPECT_EQ(g.Cells(1, 1), "frame.src ( 7 ) : 2");
    EXPECT_EQ(g.Cells(1, 2), "grid.src ( 10 ) : 1");
    EXPECT_EQ(g.Cells(1, 3), "grid.src ( 12 ) : 1");
    EXPECT_EQ(g.Cells(2, 1), "grid.src ( 20 ) : 1");
    EXPECT_EQ(g.Cells(2, 2), "");

    // Columns share the client width; OK closes.
    form.SetClientWidth(699);
    EXPECT_EQ(form.StringGrid1->DefaultColWidth(), 225);
    EXPECT_EQ(form.btOk->Left(), form.Panel1->Width() - 61 - 8);
    qx::test::TResponderScope r;
    r.ModalForm("btOk");
    EXPECT_EQ(form.ShowModal(), mrCancel);
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
