// TErrorMessageForm2: the modal dialog that shows the current error. A compact view shows the
// code, the source place and the text; the extended view adds a table of everything known
// (error fields, application and machine facts, the call stack). From it the user continues,
// ends the program, copies the table to the clipboard, reads a help text or switches off
// further error dialogs.
//
// qx::ErrorMessageBox creates, shows and deletes it. The form reads the list once, when it is
// created, and never changes it. Ownership: the form owns its components; the error list and
// the show flag belong to the caller. Threads: the thread that owns the windows.
//
// In the headless widget set the form asks the responder with an ErrorDialog request whose
// text is the compact view; with no responder it writes that view to standard error and the
// program continues, so a batch program never blocks on an error.
#pragma once

#include "qx/error/Qxerror.h"
#include "qx/platform/Forms.h"
#include "qx/platform/Grids.h"

class TErrorMessageForm2 : public TForm {
  public:
    TErrorMessageForm2(TComponent* owner, TErrorInfo& info, bool& show);

    TPanel* PanelBottom;
    TButton* ButtonContinue;
    TButton* ButtonAbort;
    TButton* ButtonClipboard;
    TButton* ButtonHilfe;
    TPanel* PanelTop;
    TLabel* lbFehlercode;
    TLabel* lbFehlerort;
    TLabel* lbAngaben;
    TEdit* edFehlercode;
    TEdit* edFehlerort;
    TEdit* edAngaben1;
    TEdit* edAngaben2;
    TButton* btExtend;
    TStringGrid* Fehlertabelle;
    TCheckBox* cbNoError;

    void FormCreate(TObject* sender);
    void vSetLanguage();
    void vResizeTable();
    void vFillLeftGrid();
    void vFillStandard();
    void vFillError();
    void vFillError2();
    void vFillOperatingSystem();
    void vFillErrorStack();
    void vSetFacility();
    void vSetTyp();
    void vSizeGrid(int col);
    // The table as text: every cell followed by ": ", every row by CR LF.
    AnsiString asGetTableContent() const;

    void btExtendClick(TObject* sender);
    void ButtonContinueClick(TObject* sender);
    void ButtonAbortClick(TObject* sender);
    void ButtonClipboardClick(TObject* sender);
    void ButtonHilfeClick(TObject* sender);
    void cbNoErrorClick(TObject* sender);
    void PanelTopResize(TObject* sender);
    void PanelBottomResize(TObject* sender);

    bool bExtended() const { return extended_; }

    // The module (a dlopen handle) whose "_vUnloadDll" runs before the program is ended here.
    static void vSetUnload(void* module);
    // Calls the registered module's "_vUnloadDll", then ends the process at once when
    // terminate is true.
    static void vRealizeUnload(bool terminate);

    // The compact view as text: caption, then the three labels with their edits.
    AnsiString asGetCompactView() const;

    qx::platform::TDialogRequest HeadlessRequest() const override;
    void HeadlessAnswer(const qx::platform::TDialogAnswer& answer) override;
    void HeadlessDefault() override;

  private:
    const TErrorInfo::TErrorEntry& head() const;

    TErrorInfo& info_;
    bool& show_;
    bool extended_ = false;
};
