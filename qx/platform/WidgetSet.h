// The widget set: the seam between the framework's controls and whatever shows them.
//
// Controls hold their own state; a widget set shows dialogs and boxes for them. The headless
// set, the default, shows nothing: every dialog is answered by the installed responder or,
// without one, takes its default (boxes: their default button; the error dialog writes its
// compact view to standard error and the program continues). Nothing ever blocks.
//
// The current widget set and responder are process-wide and not synchronised: install them
// at start-up or in a test's set-up, on the thread that owns the windows.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

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

enum class TDialogKind { MessageBox, MessageDlg, ErrorDialog };

// What a dialog shows, as handed to the widget set and to responders.
struct TDialogRequest {
    TDialogKind eKind;
    std::string caption;           // window caption (empty for MessageDlg: the type names it)
    std::string text;              // message text; for the error dialog its compact view
    int iFlags = 0;                // MessageBox flags, or the TMsgDlgType of MessageDlg
    TMsgDlgButtons buttons = 0;    // MessageDlg buttons
};

// A queued answer: the kind of dialog it expects, the button pressed (a TModalResult), and
// for the error dialog whether "show no further error messages" was ticked.
struct TDialogAnswer {
    TDialogKind eKind;
    int iResult = mrOk;
    bool bNoFurtherErrors = false;
};

// The compact view of the error dialog as the package fills it.
struct TErrorDialogView {
    std::string caption;
    std::string codeLabel, code;
    std::string placeLabel, place;
    std::string dataLabel, data1, data2;
    std::string continueCaption, abortCaption;

    // The view as lines of text: caption, then "label: value" lines (data2 under data1).
    std::string Text() const;
};

// Answers dialogs in the headless widget set.
class TDialogResponder {
public:
    virtual ~TDialogResponder();
    // An answer, or nothing to let the dialog take its default.
    virtual std::optional<TDialogAnswer> Answer(const TDialogRequest& request) = 0;
};

// Answers dialogs from a queue, in order. A dialog arriving with the queue empty, or of
// another kind than the next answer, is unexpected: OnUnexpected is called (a test support
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

// The interface every widget set implements.
class TWidgetSet {
public:
    virtual ~TWidgetSet();
    // Returns the button pressed (IDOK, IDYES, ...).
    virtual int MessageBox(const std::string& text, const std::string& caption, int flags) = 0;
    // Returns the modal result of the button pressed.
    virtual int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
    // Shows the error dialog modally. `show` is the caller's "show error dialogs" flag, which
    // the dialog's check box clears. Returns mrOk (continue) or mrAbort (end the program).
    virtual int ErrorDialog(const TErrorDialogView& view, bool& show) = 0;
};

// The default widget set: no windows; answers through the responder (see above).
class THeadlessWidgetSet : public TWidgetSet {
public:
    int MessageBox(const std::string& text, const std::string& caption, int flags) override;
    int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
    int ErrorDialog(const TErrorDialogView& view, bool& show) override;

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
int MessageDlg(const AnsiString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
