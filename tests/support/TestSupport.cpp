#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace qx::test {

using qx::platform::TDialogAnswer;
using qx::platform::TDialogKind;

TResponderScope::TResponderScope() : previous_(qx::platform::HeadlessWidgetSet().Responder()) {
    responder_.OnUnexpected = [](const qx::platform::TDialogRequest&, const std::string& why) {
        ADD_FAILURE() << why;
    };
    qx::platform::HeadlessWidgetSet().SetResponder(&responder_);
}

TResponderScope::~TResponderScope() {
    qx::platform::HeadlessWidgetSet().SetResponder(previous_);
    EXPECT_EQ(responder_.Pending(), 0u) << "queued dialog answers were not used";
}

void TResponderScope::MessageBox(int result) {
    responder_.Push(TDialogAnswer{TDialogKind::MessageBox, result, false});
}
void TResponderScope::MessageDlg(int result) {
    responder_.Push(TDialogAnswer{TDialogKind::MessageDlg, result, false});
}
void TResponderScope::ErrorDialog(int result, bool noFurther) {
    responder_.Push(TDialogAnswer{TDialogKind::ErrorDialog, result, noFurther});
}
void TResponderScope::InputQuery(const std::string& text, bool ok) {
    responder_.Push(TDialogAnswer{TDialogKind::InputQuery, ok ? mrOk : mrCancel, false, text});
}

void TResponderScope::Type(const std::string& control, const std::string& text) {
    ModalForm(control + "=" + text);
}

void TResponderScope::ModalForm(const std::string& button) {
    responder_.Push(TDialogAnswer{TDialogKind::ModalForm, mrNone, false, button});
}
void TResponderScope::ModalResult(int result) {
    responder_.Push(TDialogAnswer{TDialogKind::ModalForm, result, false, {}});
}
void TResponderScope::PopupMenu(const std::string& path) {
    responder_.Push(TDialogAnswer{TDialogKind::PopupMenu, mrOk, false, path});
}
void TResponderScope::FileDialog(const std::string& fileName, bool ok) {
    responder_.Push(TDialogAnswer{TDialogKind::FileDialog, ok ? mrOk : mrCancel, false, fileName});
}

TTempDir::TTempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "qx-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TTempDir::~TTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

namespace {
void resetErrorState() {
    qx::deleteError();
    qx::closeErrorFile();
    qx::rGetErrorInfo().vSetOutFileFormat(nullptr);
    TLanguage::setDeutsch();
    bShowErrorDialog = true;
    bReportLastError = true;
    ulLastError = 0;
    acLastErrorText[0] = '\0';
}
}  // namespace

void ErrorStateTest::SetUp() {
    resetErrorState();
}
void ErrorStateTest::TearDown() {
    resetErrorState();
}

}  // namespace qx::test
