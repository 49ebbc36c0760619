// The widget set: the seam between the framework's controls and whatever shows them.
//
// Controls hold their own state; a widget set shows dialogs and boxes for them. The headless
// set, the default, shows nothing: every dialog is answered by the installed responder or,
// without one, takes its default (boxes: their default button; input prompts: Cancel; the
// error dialog writes its compact view to standard error and the program continues). Nothing
// ever blocks.
//
// The current widget set and responder are process-wide and not synchronised: install them
// at start-up or in a test's set-up, on the thread that owns the windows.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "qx/platform/Graphics.h"
#include "qx/platform/SysUtils.h"

// Modal results and message-box answers.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};
// Message-box answers share the values of the modal results.
constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7;

// Message-box flags (buttons, icon, modality), combined with '|'.
constexpr int MB_OK = 0x0000, MB_OKCANCEL = 0x0001, MB_YESNOCANCEL = 0x0003, MB_YESNO = 0x0004;
constexpr int MB_ICONERROR = 0x0010, MB_ICONQUESTION = 0x0020, MB_ICONEXCLAMATION = 0x0030,
              MB_ICONWARNING = 0x0030, MB_ICONINFORMATION = 0x0040;
constexpr int MB_SYSTEMMODAL = 0x1000, MB_TASKMODAL = 0x2000;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
// Buttons of MessageDlg as a bit set: combine with '|'.
enum TMsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
};
using TMsgDlgButtons = unsigned;

namespace qx::platform {

// ModalForm: a modal form of the component framework (answer: the Name of the button to press
// in `text`, or just a modal result); PopupMenu: a popup menu (answer: the captions of the item
// to choose, from the top level down, separated by '|'; empty chooses nothing); FileDialog: an
// open or save dialog (answer: the file name in `text` with mrOk, or mrCancel).
enum class TDialogKind {
    MessageBox,
    MessageDlg,
    ErrorDialog,
    InputQuery,
    ModalForm,
    PopupMenu,
    FileDialog
};

// What a dialog shows, as handed to the widget set and to responders.
struct TDialogRequest {
    TDialogKind eKind;
    std::string caption;         // window caption (empty for MessageDlg: the type names it)
    std::string text;            // message text; for the error dialog its compact view
    int iFlags = 0;              // MessageBox flags, or the TMsgDlgType of MessageDlg
    TMsgDlgButtons buttons = 0;  // MessageDlg buttons
    std::string value{};         // InputQuery: the text the edit field starts with
};

// A queued answer: the kind of dialog it expects, the button pressed (a TModalResult), for
// the error dialog whether "show no further error messages" was ticked, and for an input
// prompt the text in the edit field when the button was pressed.
struct TDialogAnswer {
    TDialogKind eKind;
    int iResult = mrOk;
    bool bNoFurtherErrors = false;
    std::string text{};
};

// Answers dialogs in the headless widget set.
class TDialogResponder {
  public:
    virtual ~TDialogResponder();
    // An answer, or nothing to let the dialog take its default.
    virtual std::optional<TDialogAnswer> Answer(const TDialogRequest& request) = 0;
};

// Answers dialogs from a queue, in order. A dialog arriving with the queue empty, or of
// another kind than the next answer (a ModalForm answer also fits the error dialog), is
// unexpected: OnUnexpected is called (a test support
// hook makes that a test failure) and the dialog takes its default. Every request is kept in
// Requests() for inspection.
class TQueuedResponder : public TDialogResponder {
  public:
    void Push(TDialogAnswer answer) { answers_.push_back(answer); }
    size_t Pending() const { return answers_.size(); }
    const std::vector<TDialogRequest>& Requests() const { return requests_; }
    std::optional<TDialogAnswer> Answer(const TDialogRequest& request) override;

    std::function<void(const TDialogRequest& request, const std::string& why)> OnUnexpected;

  private:
    std::deque<TDialogAnswer> answers_;
    std::vector<TDialogRequest> requests_;
};

class TClipboardService;
}  // namespace qx::platform

class TControl;
class TControlPeer;
class TCustomForm;
class TPopupMenu;
class TMenuItem;
class TOpenDialog;

namespace qx::platform {

// The interface every widget set implements.
class TWidgetSet {
  public:
    virtual ~TWidgetSet();
    // Returns the button pressed (IDOK, IDYES, ...).
    virtual int MessageBox(const std::string& text, const std::string& caption, int flags) = 0;
    // Returns the modal result of the button pressed.
    virtual int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
    // Shows a modal input prompt: `caption`, one `prompt` line, an edit field starting with
    // `value`, OK and Cancel. On OK stores the edited text in `value` and returns true; on
    // Cancel returns false and leaves `value` alone.
    virtual bool InputQuery(const std::string& caption, const std::string& prompt,
                            std::string& value) = 0;
    // The clipboard this widget set reaches; by default the headless in-process store.
    virtual TClipboardService& Clipboard();

    // The component framework's windows. The defaults show nothing: no peers, modal forms end
    // with their HeadlessDefault, menus choose nothing, file dialogs cancel.

    // A peer that shows `control`, or null to leave it without one.
    virtual std::unique_ptr<TControlPeer> CreatePeer(TControl& control);
    // One round of the modal loop that TCustomForm::ShowModal runs until the form has a modal
    // result: show the form on the first round, then process input. Must make progress: a
    // round that cannot get input ends the form.
    virtual void ProcessModal(TCustomForm& form);
    // The modal loop of `form` has ended (hide its window).
    virtual void EndModal(TCustomForm& form);
    // `form` is being shown modeless (make sure it has a window).
    virtual void ShowForm(TCustomForm& form);
    // Shows `menu` at screen point `at`; returns the item chosen, or null.
    virtual TMenuItem* PopupMenu(TPopupMenu& menu, TPoint at);
    // Runs a file dialog; returns true when a file was chosen (the dialog's FileName is set).
    virtual bool FileDialog(TOpenDialog& dialog);
    // The screen and its work area (the screen less task bars).
    virtual TRect ScreenRect();
    virtual TRect WorkAreaRect();
    // A canvas that measures text as this widget set shows it and draws nothing, for code
    // that measures outside painting. By default the headless fixed metric (see
    // TRecordingCanvas), without keeping records.
    virtual std::unique_ptr<TCanvas> CreateMeasureCanvas();
};

// The default widget set: no windows; answers through the responder (see above).
class THeadlessWidgetSet : public TWidgetSet {
  public:
    int MessageBox(const std::string& text, const std::string& caption, int flags) override;
    int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
    // Answered by the responder (OK with its text, or Cancel); cancelled when there is none.
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;
    // Answered by the responder: a ModalForm answer presses the named button (or sets the
    // result); a PopupMenu answer chooses an item by its captions; a FileDialog answer chooses
    // a file. Without a responder: the form's HeadlessDefault, no item, cancel.
    void ProcessModal(TCustomForm& form) override;
    TMenuItem* PopupMenu(TPopupMenu& menu, TPoint at) override;
    bool FileDialog(TOpenDialog& dialog) override;

    // Not owned; null for defaults.
    void SetResponder(TDialogResponder* responder) { responder_ = responder; }
    TDialogResponder* Responder() const { return responder_; }

  private:
    std::optional<TDialogAnswer> ask(const TDialogRequest& request);
    TDialogResponder* responder_ = nullptr;
};

// The current widget set (the headless one unless a host installs another). Not owned; pass
// null to go back to the headless set.
TWidgetSet& WidgetSet();
void SetWidgetSet(TWidgetSet* set);
// The headless widget set, e.g. to install a responder.
THeadlessWidgetSet& HeadlessWidgetSet();

// The default button of a message box with `flags` and of a MessageDlg with `buttons`.
int DefaultMessageBoxResult(int flags);
int DefaultMessageDlgResult(TMsgDlgButtons buttons);

}  // namespace qx::platform

// Shows a message dialog through the current widget set; returns the modal result.
int MessageDlg(const AnsiString& msg, TMsgDlgType type, TMsgDlgButtons buttons,
               int helpContext = 0);
// The framework's input boxes through the current widget set. InputQuery returns whether the
// user confirmed (then `value` holds the edited text); InputBox returns the edited text, or
// `defaultValue` when the user cancelled.
bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value);
AnsiString InputBox(const AnsiString& caption, const AnsiString& prompt,
                    const AnsiString& defaultValue);
