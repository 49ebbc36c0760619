#include "qx/grid/GridDialogs.h"

#include <cmath>

#include "qx/error/Language.h"

namespace {

const TLanguage::TLanguageString kCancel{"Abbrechen", "Cancel"};

// A fixed dialog: single border, no title-bar buttons, centred on the desktop.
void styleDialog(TForm& f, const char* name, int clientWidth, int clientHeight) {
    f.SetName(name);
    f.SetBorderStyle(bsSingle);
    f.SetBorderIcons(0);
    f.SetPosition(poScreenCenter);
    f.SetClientWidth(clientWidth);
    f.SetClientHeight(clientHeight);
}

TButton* makeButton(TForm& f, const char* name, const char* caption, int left, int top,
                    int result) {
    TButton* b = MakeChild<TButton>(&f, &f, name);
    b->SetCaption(caption);
    b->SetBounds(left, top, 75, 25);
    b->SetModalResult(result);
    return b;
}

// A count field: whole numbers, stepped by 1, three digits shown, held within the limits.
TDoubleEdit* makeCount(TForm& f, const char* name, int left, int top, int minimum, int maximum,
                       int value) {
    auto* e = MakeChild<TDoubleEdit>(&f, &f, name);
    e->SetBounds(left, top, 100, 21);
    e->SetUseIntNotDouble(true);
    e->SetIncrement(1);
    e->SetStellenzahlAnzeige(3);
    e->SetMinValue(minimum);
    e->SetMaxValue(maximum);
    e->SetValue(value);
    return e;
}

int whole(double v) {
    return static_cast<int>(std::trunc(v));
}

}  // namespace

// ---------------------------------------------------------------------------- TIncreaseSize

TIncreaseSize::TIncreaseSize(TComponent* owner, int maximum, int minimum, int* count,
                             const AnsiString& title)
    : TForm(owner), count_(count) {
    styleDialog(*this, "IncreaseSize", 200, 90);
    SetCaption(title);
    DoubleEdit1 =
        makeCount(*this, "DoubleEdit1", 16, 16, minimum, maximum, count ? *count : minimum);
    btOk = makeButton(*this, "btOk", "Ok", 16, 52, mrNone);
    btOk->SetDefault(true);
    btCancel = makeButton(*this, "btCancel", kCancel(), 106, 52, mrNone);
    btCancel->SetCancel(true);
    btOk->OnClick = [this](TObject* s) { btOkClick(s); };
    btCancel->OnClick = [this](TObject* s) { btCancelClick(s); };
}

void TIncreaseSize::btOkClick(TObject*) {
    if (count_) *count_ = whole(DoubleEdit1->Value());
    SetModalResult(mrOk);
}

void TIncreaseSize::btCancelClick(TObject*) {
    SetModalResult(mrCancel);
}

// ---------------------------------------------------------------------------- TTabellenGroesse

TTabellenGroesse::TTabellenGroesse(TComponent* owner, int* cols, int* rows)
    : TForm(owner), cols_(cols), rows_(rows) {
    styleDialog(*this, "TabellenGroesse", 220, 120);
    lbZeilen = MakeChild<TLabel>(this, this, "lbZeilen");
    lbZeilen->SetBounds(16, 19, 60, 13);
    lbSpalten = MakeChild<TLabel>(this, this, "lbSpalten");
    lbSpalten->SetBounds(16, 51, 60, 13);
    deZeilen = makeCount(*this, "deZeilen", 100, 16, 1, 1000, 1);
    deSpalten = makeCount(*this, "deSpalten", 100, 48, 1, 1000, 1);
    btOk = makeButton(*this, "btOk", "Ok", 16, 84, mrNone);
    btOk->SetDefault(true);
    btCancel = makeButton(*this, "btCancel", kCancel(), 116, 84, mrNone);
    btCancel->SetCancel(true);
    btOk->OnClick = [this](TObject* s) { btOkClick(s); };
    btCancel->OnClick = [this](TObject* s) { btCancelClick(s); };
    FormCreate(this);
}

void TTabellenGroesse::FormCreate(TObject*) {
    SetCaption(
        TLanguage::TLanguageString{"Tabellengr\xF6\xDF"
                                   "e",
                                   "Table size"}());
    lbZeilen->SetCaption(TLanguage::TLanguageString{"Zeilen", "Rows"}());
    lbSpalten->SetCaption(TLanguage::TLanguageString{"Spalten", "Columns"}());
    btCancel->SetCaption(kCancel());
    if (rows_) deZeilen->SetValue(*rows_);
    if (cols_) deSpalten->SetValue(*cols_);
}

void TTabellenGroesse::btOkClick(TObject*) {
    if (rows_) *rows_ = whole(deZeilen->Value());
    if (cols_) *cols_ = whole(deSpalten->Value());
    SetModalResult(mrOk);
}

void TTabellenGroesse::btCancelClick(TObject*) {
    SetModalResult(mrCancel);
}

// ---------------------------------------------------------------------------- TZellenFormatierung

namespace {
struct TColorRadio {
    TRadioButton* TZellenFormatierung::*button;
    eColorQx color;
};
// Top to bottom, as shown.
constexpr TColorRadio kTextRadios[] = {
    {&TZellenFormatierung::rbVGGelb, eColorYellow},
    {&TZellenFormatierung::rbVGRot, eColorRed},
    {&TZellenFormatierung::rbVGBlau, eColorBlue},
    {&TZellenFormatierung::rbVGGruen, eColorGreen},
    {&TZellenFormatierung::rbVGSchwarz, eColorBlack},
};
constexpr TColorRadio kBackRadios[] = {
    {&TZellenFormatierung::rbHFWeiss, eColorWhite}, {&TZellenFormatierung::rbHFGelb, eColorYellow},
    {&TZellenFormatierung::rbHFRot, eColorRed},     {&TZellenFormatierung::rbHFGruen, eColorGreen},
    {&TZellenFormatierung::rbHFBlau, eColorBlue},
};
struct TSizeRadio {
    TRadioButton* TZellenFormatierung::*button;
    eFontSizeQx size;
};
constexpr TSizeRadio kSizeRadios[] = {
    {&TZellenFormatierung::rbGross, eFontLarge},
    {&TZellenFormatierung::rbMittel, eFontMedium},
    {&TZellenFormatierung::rbKlein, eFontSmall},
};
struct TAdjustRadio {
    TRadioButton* TZellenFormatierung::*button;
    eAdjustQx adjust;
};
constexpr TAdjustRadio kAdjustRadios[] = {
    {&TZellenFormatierung::rbDefault, eAdjustDefault},
    {&TZellenFormatierung::rbLinks, eAdjustLeft},
    {&TZellenFormatierung::rbMitte, eAdjustCenter},
    {&TZellenFormatierung::rbRechts, eAdjustRight},
};

// Wide enough for the longest caption, "Color of background", as a group title and as a
// check box in a common sans face.
constexpr int kGroupWidth = 136, kGroupHeight = 150, kGap = 8;

TGroupBox* makeGroup(TForm& f, const char* name, int index) {
    auto* g = MakeChild<TGroupBox>(&f, &f, name);
    g->SetBounds(kGap + index * (kGroupWidth + kGap), kGap, kGroupWidth, kGroupHeight);
    return g;
}

TRadioButton* makeRadio(TForm& f, TGroupBox* group, const char* name, int index) {
    auto* r = MakeChild<TRadioButton>(&f, group, name);
    r->SetBounds(10, 22 + index * 24, kGroupWidth - 20, 20);
    return r;
}
}  // namespace

TZellenFormatierung::TZellenFormatierung(TComponent* owner, TCellPropertyQx::TAssign* assign,
                                         TCellPropertyQx* property)
    : TForm(owner),
      assign_(assign),
      property_(property),
      sample_(std::make_unique<TCellPropertyQx>()) {
    styleDialog(*this, "ZellenFormatierung", 4 * kGroupWidth + 5 * kGap, 290);
    gbFontgroesse = makeGroup(*this, "gbFontgroesse", 0);
    rbGross = makeRadio(*this, gbFontgroesse, "rbGross", 0);
    rbMittel = makeRadio(*this, gbFontgroesse, "rbMittel", 1);
    rbKlein = makeRadio(*this, gbFontgroesse, "rbKlein", 2);
    gbFontfarbe = makeGroup(*this, "gbFontfarbe", 1);
    const char* textNames[] = {"rbVGGelb", "rbVGRot", "rbVGBlau", "rbVGGruen", "rbVGSchwarz"};
    for (int i = 0; i < 5; ++i)
        this->*kTextRadios[i].button = makeRadio(*this, gbFontfarbe, textNames[i], i);
    gbHintergrundfarbe = makeGroup(*this, "gbHintergrundfarbe", 2);
    const char* backNames[] = {"rbHFWeiss", "rbHFGelb", "rbHFRot", "rbHFGruen", "rbHFBlau"};
    for (int i = 0; i < 5; ++i)
        this->*kBackRadios[i].button = makeRadio(*this, gbHintergrundfarbe, backNames[i], i);
    gbAusrichtung = makeGroup(*this, "gbAusrichtung", 3);
    rbDefault = makeRadio(*this, gbAusrichtung, "rbDefault", 0);
    rbLinks = makeRadio(*this, gbAusrichtung, "rbLinks", 1);
    rbMitte = makeRadio(*this, gbAusrichtung, "rbMitte", 2);
    rbRechts = makeRadio(*this, gbAusrichtung, "rbRechts", 3);

    TCheckBox** checks[] = {&cbFontGroesse, &cbFontfarbe, &cbHintergrundfarbe, &cbAusrichtung};
    const char* checkNames[] = {"cbFontGroesse", "cbFontfarbe", "cbHintergrundfarbe",
                                "cbAusrichtung"};
    for (int i = 0; i < 4; ++i) {
        *checks[i] = MakeChild<TCheckBox>(this, this, checkNames[i]);
        (*checks[i])
            ->SetBounds(kGap + i * (kGroupWidth + kGap), kGroupHeight + 2 * kGap, kGroupWidth, 20);
    }
    paTest = MakeChild<TPanel>(this, this, "paTest");
    paTest->SetBevelOuter(bvLowered);
    paTest->SetBounds(kGap, kGroupHeight + 40, 4 * kGroupWidth + 3 * kGap, 40);
    btOk = makeButton(*this, "btOk", "Ok", kGap, 250, mrNone);
    btOk->SetDefault(true);
    btCancel = makeButton(*this, "btCancel", kCancel(), kGap + 90, 250, mrNone);
    btCancel->SetCancel(true);
    btOk->OnClick = [this](TObject* s) { btOkClick(s); };
    btCancel->OnClick = [this](TObject* s) { btCancelClick(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    FormCreate(this);
    // Handlers last: filling the dialog is not the user's choice.
    for (const auto& r : kSizeRadios)
        (this->*r.button)->OnClick = [this](TObject* s) { FontSizeChange(s); };
    for (const auto& r : kTextRadios)
        (this->*r.button)->OnClick = [this](TObject* s) { VGColorChange(s); };
    for (const auto& r : kBackRadios)
        (this->*r.button)->OnClick = [this](TObject* s) { HGColorChange(s); };
    for (const auto& r : kAdjustRadios)
        (this->*r.button)->OnClick = [this](TObject* s) { rgAusrichtungClick(s); };
}

TZellenFormatierung::~TZellenFormatierung() = default;

void TZellenFormatierung::FormCreate(TObject*) {
    using L = TLanguage::TLanguageString;
    SetCaption(L{"Zellenformatierung", "Format of cells"}());
    gbFontgroesse->SetCaption(
        L{"Fontgr\xF6\xDF"
          "e",
          "Size of text"}());
    rbGross->SetCaption(L{"Gross", "Large"}());
    rbMittel->SetCaption(L{"Mittel", "Medium"}());
    rbKlein->SetCaption(L{"Klein", "Small"}());
    gbFontfarbe->SetCaption(L{"Textfarbe", "Color of text"}());
    gbHintergrundfarbe->SetCaption(L{"Hintergrundfarbe", "Color of background"}());
    gbAusrichtung->SetCaption(L{"Ausrichtung", "Alignment"}());
    rbDefault->SetCaption(L{"Default", "Default"}());
    rbLinks->SetCaption(L{"Links", "Left"}());
    rbMitte->SetCaption(L{"     Mitte", "  Centered"}());
    rbRechts->SetCaption(L{"          Rechts", "             Right"}());
    cbFontGroesse->SetCaption(
        L{"Fontgr\xF6\xDF"
          "e",
          "Size of text"}());
    cbFontfarbe->SetCaption(L{"Textfarbe", "Color of text"}());
    cbHintergrundfarbe->SetCaption(L{"Hintergrundfarbe", "Color of background"}());
    cbAusrichtung->SetCaption(L{"Ausrichtung", "Alignment"}());
    btCancel->SetCaption(kCancel());

    // Each size radio shows its caption in its size; each colour radio is filled with its colour.
    for (const auto& r : kSizeRadios) {
        sample_->vSetFontSize(r.size);
        TFont f = (this->*r.button)->Font();
        f.Size = sample_->iGetFontSize();
        (this->*r.button)->SetFont(f);
    }
    for (const auto& r : kTextRadios) {
        (this->*r.button)->SetCaption("");
        (this->*r.button)->SetColor(TCellPropertyQx::iEnum2TColor(r.color, false));
    }
    for (const auto& r : kBackRadios) {
        (this->*r.button)->SetCaption("");
        (this->*r.button)->SetColor(TCellPropertyQx::iEnum2TColor(r.color, true));
    }

    if (property_) {
        previewBk_ = property_->iGetBKColor();
        previewText_ = property_->iGetFontColor();
        previewSize_ = property_->iGetFontSize();
        previewAdjust_ = property_->eGetAdjust();
        for (const auto& r : kSizeRadios)
            if (property_->eGetFontSize() == r.size) (this->*r.button)->SetChecked(true);
        for (const auto& r : kAdjustRadios)
            if (property_->eGetAdjust() == r.adjust) (this->*r.button)->SetChecked(true);
        for (const auto& r : kBackRadios)
            if (property_->eGetBKColor() == r.color) (this->*r.button)->SetChecked(true);
        for (const auto& r : kTextRadios)
            if (property_->eGetFontColor() == r.color) (this->*r.button)->SetChecked(true);
    }
    for (TCheckBox* c : {cbFontGroesse, cbFontfarbe, cbHintergrundfarbe, cbAusrichtung})
        c->SetChecked(false);
    refreshPreview();
}

void TZellenFormatierung::FormShow(TObject*) {
    refreshPreview();
}

void TZellenFormatierung::HGColorChange(TObject* sender) {
    for (const auto& r : kBackRadios)
        if (sender == this->*r.button) previewBk_ = TCellPropertyQx::iEnum2TColor(r.color, true);
    cbHintergrundfarbe->SetChecked(true);
    refreshPreview();
}

void TZellenFormatierung::VGColorChange(TObject* sender) {
    for (const auto& r : kTextRadios)
        if (sender == this->*r.button) previewText_ = TCellPropertyQx::iEnum2TColor(r.color, false);
    cbFontfarbe->SetChecked(true);
    refreshPreview();
}

void TZellenFormatierung::FontSizeChange(TObject* sender) {
    for (const auto& r : kSizeRadios)
        if (sender == this->*r.button) {
            sample_->vSetFontSize(r.size);
            previewSize_ = sample_->iGetFontSize();
        }
    cbFontGroesse->SetChecked(true);
    refreshPreview();
}

void TZellenFormatierung::rgAusrichtungClick(TObject* sender) {
    for (const auto& r : kAdjustRadios)
        if (sender == this->*r.button) previewAdjust_ = r.adjust;
    cbAusrichtung->SetChecked(true);
    refreshPreview();
}

void TZellenFormatierung::refreshPreview() {
    paTest->SetColor(previewBk_);
    TFont f = paTest->Font();
    f.Color = previewText_;
    f.Size = previewSize_;
    paTest->SetFont(f);
    paTest->SetAlignment(previewAdjust_ == 2   ? taCenter
                         : previewAdjust_ == 3 ? taRightJustify
                                               : taLeftJustify);
    paTest->SetCaption("Test");
}

void TZellenFormatierung::btOkClick(TObject*) {
    if (property_) {
        for (const auto& r : kSizeRadios)
            if ((this->*r.button)->Checked()) property_->vSetFontSize(r.size);
        for (const auto& r : kAdjustRadios)
            if ((this->*r.button)->Checked()) property_->vSetAdjust(r.adjust);
        for (const auto& r : kBackRadios)
            if ((this->*r.button)->Checked()) property_->vSetBKColor(r.color);
        for (const auto& r : kTextRadios)
            if ((this->*r.button)->Checked()) property_->vSetFontColor(r.color);
    }
    if (assign_) {
        assign_->bFontSize = cbFontGroesse->Checked();
        assign_->bFontColor = cbFontfarbe->Checked();
        assign_->bAdjust = cbAusrichtung->Checked();
        assign_->bBKColor = cbHintergrundfarbe->Checked();
    }
    SetModalResult(mrOk);
}

void TZellenFormatierung::btCancelClick(TObject*) {
    SetModalResult(mrCancel);
}
