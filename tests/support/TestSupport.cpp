#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace qx::test {

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

void ErrorStateTest::Reset() {
    qx::deleteError();
    qx::closeErrorFile();
    qx::rGetErrorInfo().vSetOutFileFormat(nullptr);
    TLanguage::setDeutsch();
    bShowErrorDialog = true;
    bReportLastError = true;
    ulLastError = 0;
    acLastErrorText[0] = '\0';
}

}  // namespace qx::test
