// The grid's three modal dialogs: TIncreaseSize asks for a count, TTabellenGroesse for the
// table's rows and columns, TZellenFormatierung edits a cell format and which of its four
// aspects to apply.
//
// Each works on values the caller owns, passed by pointer at construction: OK writes them
// back, Cancel leaves them alone. Number fields are TDoubleEdit controls in integer mode.
// Captions follow the language at construction. The caller creates, shows (ShowModal) and
// destroys a dialog; its controls belong to it. Threads: the thread that owns the windows.
#pragma once

#include <memory>

#include "qx/grid/CellPropertyQx.h"
#include "qx/numeric/DoubleEdit.h"
#include "qx/platform/Forms.h"

class TIncreaseSize : public TForm {
  public:
    TIncreaseSize(TComponent* owner, int maximum, int minimum, int* count, const AnsiString& title);

    TDoubleEdit* DoubleEdit1;
    TButton* btOk;
    TButton* btCancel;

    void btOkClick(TObject* sender);
    void btCancelClick(TObject* sender);

  private:
    int* count_;
};

class TTabellenGroesse : public TForm {
  public:
    TTabellenGroesse(TComponent* owner, int* cols, int* rows);

    TLabel* lbZeilen;
    TLabel* lbSpalten;
    TDoubleEdit* deZeilen;
    TDoubleEdit* deSpalten;
    TButton* btOk;
    TButton* btCancel;

    void FormCreate(TObject* sender);
    void btOkClick(TObject* sender);
    void btCancelClick(TObject* sender);

  private:
    int* cols_;
    int* rows_;
};

class TZellenFormatierung : public TForm {
  public:
    TZellenFormatierung(TComponent* owner, TCellPropertyQx::TAssign* assign,
                        TCellPropertyQx* property);
    ~TZellenFormatierung() override;

    TGroupBox* gbFontgroesse;
    TRadioButton *rbGross, *rbMittel, *rbKlein;
    TGroupBox* gbFontfarbe;
    TRadioButton *rbVGGelb, *rbVGRot, *rbVGBlau, *rbVGGruen, *rbVGSchwarz;
    TGroupBox* gbHintergrundfarbe;
    TRadioButton *rbHFWeiss, *rbHFGelb, *rbHFRot, *rbHFGruen, *rbHFBlau;
    TGroupBox* gbAusrichtung;
    TRadioButton *rbDefault, *rbLinks, *rbMitte, *rbRechts;
    TCheckBox *cbFontGroesse, *cbFontfarbe, *cbHintergrundfarbe, *cbAusrichtung;
    TPanel* paTest;
    TButton* btOk;
    TButton* btCancel;

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void HGColorChange(TObject* sender);
    void VGColorChange(TObject* sender);
    void FontSizeChange(TObject* sender);
    void rgAusrichtungClick(TObject* sender);
    void btOkClick(TObject* sender);
    void btCancelClick(TObject* sender);

    // The preview's values: background, text colour, size in points, alignment 0 to 3.
    TColor PreviewBackground() const { return previewBk_; }
    TColor PreviewText() const { return previewText_; }
    int PreviewSize() const { return previewSize_; }
    int PreviewAdjust() const { return previewAdjust_; }

  private:
    void refreshPreview();

    TCellPropertyQx::TAssign* assign_;
    TCellPropertyQx* property_;
    std::unique_ptr<TCellPropertyQx> sample_;
    TColor previewBk_ = clWhite, previewText_ = clBlack;
    int previewSize_ = 8, previewAdjust_ = 0;
};
