// Shared fixtures of the qx test suites: a dialog responder that fails the test on dialogs no
// answer was queued for, a temporary folder, and a clean process-wide error state.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "qx/qx.h"

namespace qx::test {

// Installs a queued responder on the headless widget set for the lifetime of the object.
// A dialog without a queued answer, or of the wrong kind, fails the current test; answers
// left unused at the end fail it too.
class TResponderScope {
  public:
    TResponderScope();
    ~TResponderScope();
    TResponderScope(const TResponderScope&) = delete;
    TResponderScope& operator=(const TResponderScope&) = delete;

    // Queues: press this button of the next message box / message dialog.
    void MessageBox(int result = IDOK) { Push(K::MessageBox, result); }
    void MessageDlg(int result = mrOk) { Push(K::MessageDlg, result); }
    // Queues: the next error dialog ends with `result`; `noFurther` ticks the check box.
    void ErrorDialog(int result = mrOk, bool noFurther = false) {
        Push(K::ErrorDialog, result, {}, noFurther);
    }
    // Queues: the next input prompt ends with OK and `text` in its edit, or with Cancel.
    void InputQuery(const std::string& text, bool ok = true) {
        Push(K::InputQuery, ok ? mrOk : mrCancel, text);
    }
    // Queues: the next modal form presses the button named `button` (e.g. "btOk").
    void ModalForm(const std::string& button) { Push(K::ModalForm, mrNone, button); }
    // Queues: the next modal form gets `text` typed into the edit named `control` (or the
    // first edit inside that control), then loses it, as when a user types and tabs on.
    void Type(const std::string& control, const std::string& text) {
        ModalForm(control + "=" + text);
    }
    // Queues: the next modal form ends with `result`.
    void ModalResult(int result) { Push(K::ModalForm, result); }
    // Queues: the next popup menu chooses the item "File|Save"; "" chooses nothing.
    void PopupMenu(const std::string& path) { Push(K::PopupMenu, mrOk, path); }
    // Queues: the next file dialog chooses `fileName`, or is cancelled when ok is false.
    void FileDialog(const std::string& fileName, bool ok = true) {
        Push(K::FileDialog, ok ? mrOk : mrCancel, fileName);
    }

    qx::platform::TQueuedResponder& Responder() { return responder_; }
    const std::vector<qx::platform::TDialogRequest>& Requests() const {
        return responder_.Requests();
    }

  private:
    using K = qx::platform::TDialogKind;
    void Push(K kind, int result, std::string text = {}, bool noFurther = false) {
        responder_.Push(qx::platform::TDialogAnswer{kind, result, noFurther, std::move(text)});
    }
    qx::platform::TQueuedResponder responder_;
    qx::platform::TDialogResponder* previous_;
};

// A fresh folder under /tmp, removed with its contents on destruction.
class TTempDir {
  public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// The parts one after the other. Built by appending: g++ 12 warns falsely (-Wrestrict) about
// chains of std::string operator+ in optimised builds.
inline std::string Join(std::initializer_list<std::string_view> parts) {
    std::string s;
    for (std::string_view part : parts) s += part;
    return s;
}

// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

// Resets the process-wide error state around each test: the caller's entries deleted, log
// closed, default line format, German, dialogs and last-error reporting on, last error 0.
class ErrorStateTest : public ::testing::Test {
  protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset();
};

}  // namespace qx::test
