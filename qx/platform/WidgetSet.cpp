#include "qx/platform/WidgetSet.h"

#include <cstdio>

#include "qx/platform/Clipboard.h"
#include "qx/platform/Codepage.h"

namespace qx::platform {

namespace {
const char* kindName(TDialogKind k) {
    switch (k) {
        case TDialogKind::MessageBox:
            return "message box";
        case TDialogKind::MessageDlg:
            return "message dialog";
        case TDialogKind::ErrorDialog:
            return "error dialog";
        case TDialogKind::InputQuery:
            return "input prompt";
        case TDialogKind::ModalForm:
            return "modal form";
        case TDialogKind::PopupMenu:
            return "popup menu";
        case TDialogKind::FileDialog:
            return "file dialog";
    }
    return "dialog";
}

TWidgetSet*& current() {
    static TWidgetSet* set = nullptr;
    return set;
}
}  // namespace

TDialogResponder::~TDialogResponder() = default;

std::optional<TDialogAnswer> TQueuedResponder::Answer(const TDialogRequest& request) {
    requests_.push_back(request);
    std::string why;
    if (answers_.empty()) {
        why = std::string("unexpected ") + kindName(request.eKind) + " (no answer queued)";
    } else if (answers_.front().eKind != request.eKind &&
               !(answers_.front().eKind == TDialogKind::ModalForm &&
                 request.eKind == TDialogKind::ErrorDialog)) {
        // (The error dialog is a modal form too: pressing its buttons by name is fine.)
        why = std::string("unexpected ") + kindName(request.eKind) + " (the next answer is for a " +
              kindName(answers_.front().eKind) + ")";
    } else {
        TDialogAnswer a = answers_.front();
        answers_.pop_front();
        return a;
    }
    if (OnUnexpected) OnUnexpected(request, why + ": \"" + request.caption + "\" " + request.text);
    return std::nullopt;
}

namespace {
// The headless metric without the records: a measuring canvas lives as long as its control.
class TFixedMetricCanvas : public TCanvas {
  public:
    void FillRect(const TRect&) override {}
    void TextOut(int x, int y, const AnsiString& text) override {
        penPos_ = {x + TextWidth(text), y};
    }
    int TextWidth(const AnsiString& text) override {
        return static_cast<int>(text.size()) * TRecordingCanvas::CharWidth(Font.Size);
    }
    int TextHeight(const AnsiString&) override { return TRecordingCanvas::LineHeight(Font.Size); }
    void MoveTo(int x, int y) override { penPos_ = {x, y}; }
    void LineTo(int x, int y) override { penPos_ = {x, y}; }
};
}  // namespace

TWidgetSet::~TWidgetSet() = default;

std::unique_ptr<TCanvas> TWidgetSet::CreateMeasureCanvas() {
    return std::make_unique<TFixedMetricCanvas>();
}

TClipboardService& TWidgetSet::Clipboard() {
    return HeadlessClipboard();
}

int DefaultMessageBoxResult(int flags) {
    switch (flags & 0xF) {
        case MB_OKCANCEL:
            return IDOK;
        case MB_YESNOCANCEL:
        case MB_YESNO:
            return IDYES;
        default:
            return IDOK;
    }
}

int DefaultMessageDlgResult(TMsgDlgButtons buttons) {
    if (buttons & mbOK) return mrOk;
    if (buttons & mbYes) return mrYes;
    if (buttons & mbCancel) return mrCancel;
    if (buttons & mbNo) return mrNo;
    return mrOk;
}

std::optional<TDialogAnswer> THeadlessWidgetSet::ask(const TDialogRequest& request) {
    if (!responder_) return std::nullopt;
    return responder_->Answer(request);
}

int THeadlessWidgetSet::MessageBox(const std::string& text, const std::string& caption, int flags) {
    auto a = ask({TDialogKind::MessageBox, caption, text, flags, 0});
    return a ? a->iResult : DefaultMessageBoxResult(flags);
}

int THeadlessWidgetSet::MessageDlg(const std::string& text, TMsgDlgType type,
                                   TMsgDlgButtons buttons) {
    auto a = ask({TDialogKind::MessageDlg, "", text, static_cast<int>(type), buttons});
    if (a) return a->iResult;
    if (!responder_) std::fprintf(stderr, "%s\n", Cp1252ToUtf8(text).c_str());
    return DefaultMessageDlgResult(buttons);
}

bool THeadlessWidgetSet::InputQuery(const std::string& caption, const std::string& prompt,
                                    std::string& value) {
    TDialogRequest request{TDialogKind::InputQuery, caption, prompt, 0, 0};
    request.value = value;
    auto a = ask(request);
    if (!a || a->iResult != mrOk) return false;
    value = a->text;
    return true;
}

TWidgetSet& WidgetSet() {
    TWidgetSet* set = current();
    return set ? *set : HeadlessWidgetSet();
}

void SetWidgetSet(TWidgetSet* set) {
    current() = set;
}

THeadlessWidgetSet& HeadlessWidgetSet() {
    static THeadlessWidgetSet* set = new THeadlessWidgetSet;  // never destroyed, see Os.cpp
    return *set;
}

}  // namespace qx::platform

int MessageDlg(const AnsiString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int) {
    return qx::platform::WidgetSet().MessageDlg(msg, type, buttons);
}

bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value) {
    return qx::platform::WidgetSet().InputQuery(caption, prompt, value);
}

AnsiString InputBox(const AnsiString& caption, const AnsiString& prompt,
                    const AnsiString& defaultValue) {
    AnsiString value = defaultValue;
    return InputQuery(caption, prompt, value) ? value : defaultValue;
}
