#include "qx/alloc/ProofAllocForm.h"

#include <algorithm>
#include <vector>

TProofAllocForm* ProofAllocForm = nullptr;

TProofAllocForm::TProofAllocForm(TComponent* owner) : TForm(owner) {
    SetName("ProofAllocForm");
    SetCaption("Suche nach Speicherlecks");
    SetBounds(0, 0, 701, 640);
    SetFormStyle(fsStayOnTop);
    SetPosition(poOwnerFormCenter);
    SetBorderIcons(0);
    TFont f = Font();
    f.Name = "MS Sans Serif";
    f.SetHeight(10);
    SetFont(f);

    Panel1 = MakeChild<TPanel>(this, this, "Panel1");
    Panel1->SetHeight(42);
    btOk = MakeChild<TButton>(this, Panel1, "btOk");
    btOk->SetCaption(
        "Schlie\xDF"
        "en");
    btOk->SetBounds(0, 11, 61, 20);
    btOk->OnClick = [this](TObject* s) { btOkClick(s); };
    btReport = MakeChild<TButton>(this, Panel1, "btReport");
    btReport->SetCaption("Report");
    btReport->SetBounds(0, 11, 60, 20);
    btReport->OnClick = [this](TObject* s) { btReportClick(s); };
    // The buttons keep to the panel's top right corner.
    Panel1->OnResize = [this](TObject*) {
        btOk->SetLeft(Panel1->Width() - btOk->Width() - 8);
        btReport->SetLeft(btOk->Left() - btReport->Width() - 8);
    };

    StringGrid1 = MakeChild<TStringGrid>(this, this, "StringGrid1");
    StringGrid1->SetColCount(3);
    StringGrid1->SetFixedCols(0);
    StringGrid1->SetFixedRows(1);
    StringGrid1->SetDefaultRowHeight(20);

    CheckBox1 = MakeChild<TCheckBox>(this, Panel1, "CheckBox1");
    CheckBox1->SetCaption(
        "\xDC"
        "berwachung eingeschaltet?");
    CheckBox1->SetBounds(8, 12, 200, 17);

    Panel1->SetAlign(alBottom);
    StringGrid1->SetAlign(alClient);
    OnResize = [this](TObject* s) { FormResize(s); };
    FormResize(this);

    TProofAlloc::vCreateStaticInstanceIfNotExist();
    CheckBox1->SetChecked(TProofAlloc::pProof()->bGetbDo());
    CheckBox1->OnClick = [this](TObject* s) { CheckBox1Click(s); };
}

void TProofAllocForm::btOkClick(TObject*) {
    Close();
}

void TProofAllocForm::CheckBox1Click(TObject*) {
    TProofAlloc* proof = TProofAlloc::pProof();
    if (!proof) return;
    proof->vSetbDo(CheckBox1->Checked());
    // Show what the register took, even if it refused the change.
    auto handler = std::move(CheckBox1->OnClick);
    CheckBox1->SetChecked(proof->bGetbDo());
    CheckBox1->OnClick = std::move(handler);
}

void TProofAllocForm::FormResize(TObject*) {
    StringGrid1->SetDefaultColWidth((ClientWidth() - 24) / 3);
}

void TProofAllocForm::btReportClick(TObject*) {
    TProofAlloc* proof = TProofAlloc::pProof();
    if (!proof) return;
    proof->vSumarize();
    std::vector<AnsiString> files, allocs, frees;
    char buf[1200];
    for (const auto& f : proof->rGetListFiles()) {
        std::snprintf(buf, sizeof buf, "%.1023s : %u", f.sFileName.c_str(), f.uCount);
        files.emplace_back(buf);
    }
    auto positions = [&buf](const TProofAlloc::TItemSet& set, std::vector<AnsiString>& out) {
        for (const auto& i : set) {
            std::snprintf(buf, sizeof buf, "%.1023s ( %d ) : %lu", i.sFileName.c_str(), i.iLine,
                          static_cast<unsigned long>(i.uValue));
            out.emplace_back(buf);
        }
    };
    positions(proof->rGetListSumAlloc(), allocs);
    positions(proof->rGetListSumFree(), frees);
    const size_t n = std::max({files.size(), allocs.size(), frees.size()});
    StringGrid1->SetRowCount(static_cast<int>(n) + 1);
    StringGrid1->SetCells(0, 0, "Dateiname:Aufrufe");
    StringGrid1->SetCells(1, 0, "Dateiname(Zeile):Alloc");
    StringGrid1->SetCells(2, 0, "Dateiname(Zeile):Free");
    const std::vector<AnsiString>* columns[3] = {&files, &allocs, &frees};
    for (int col = 0; col < 3; ++col)
        for (size_t i = 0; i < n; ++i)
            StringGrid1->SetCells(col, static_cast<int>(i) + 1,
                                  i < columns[col]->size() ? (*columns[col])[i] : AnsiString());
}
