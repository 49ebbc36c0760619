// Package start-up, shut-down and registration, and ending the program from the error dialog.
#include <dlfcn.h>

#include "tests/support/TestSupport.h"

class PackageTest : public qx::test::ErrorStateTest {};

TEST_F(PackageTest, LastShutDownClosesTheLogKeepsLaterErrorsAndComponentsAreRegistered) {
    qx::test::TTempDir dir;
    const std::string log = dir.File("log.txt");
    qx::package::vStartUp();
    qx::package::vStartUp();
    ASSERT_TRUE(qx::openErrorFile(log.c_str()));
    qx::package::vShutDown();
    EXPECT_TRUE(qx::rGetErrorInfo().bFileOpen) << "only the last shut-down finalises";
    qx::package::vShutDown();
    EXPECT_FALSE(qx::rGetErrorInfo().bFileOpen);
    qx::package::vShutDown();  // unmatched: ignored
    EXPECT_EQ(qx::package::iStartUpCount(), 0);

    EXPECT_EQ(qx::error(0xE5136001UL, "late.src", 1, "after shut-down"), 0xE5136001UL);
    EXPECT_EQ(qx::getErrorCode(), 0xE5136001UL);
    EXPECT_EQ(qx::test::ReadFile(log), "") << "nothing is written once the log is closed";

    // Registration puts the package's five components on page ORVI, in order.
    qx::package::vRegisterComponents();
    std::vector<std::string> names;
    for (const auto& entry : qx::platform::RegisteredComponents())
        if (entry.Page == "ORVI") names.push_back(entry.Class.ClassName);
    EXPECT_EQ(names, (std::vector<std::string>{"TQxParser", "TORVI_TableView", "TDoubleEdit",
                                               "TStringGridQx", "TCDoubleSpinEdit"}));
    // Each entry makes its component, owned by the owner given.
    TComponent owner(nullptr);
    for (const auto& entry : qx::platform::RegisteredComponents()) {
        TComponent* c = entry.Class.Create(&owner);
        ASSERT_NE(c, nullptr) << entry.Class.ClassName;
        EXPECT_EQ(c->Owner(), &owner);
    }
    EXPECT_EQ(owner.ComponentCount(), 5);
}

class AbortDeathTest : public qx::test::ErrorStateTest {};

namespace {
void abortFromDialog() {
    qx::platform::TQueuedResponder r;
    r.Push({qx::platform::TDialogKind::ErrorDialog, mrAbort, false});
    qx::platform::HeadlessWidgetSet().SetResponder(&r);
    qx::error(0xE5136001UL, "grid.src", 167);
    qx::ErrorMessageBox();
    std::fputs("still running\n", stderr);  // not reached
    std::_Exit(3);
}
}  // namespace

TEST_F(AbortDeathTest, AbortEndsTheProcessWithCodeZeroAfterTheModulesCleanUp) {
    void* module = dlopen(QX_UNLOAD_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    // Without a module, or with one that has no clean-up function, nothing else runs.
    const std::pair<void*, const char*> cases[] = {
        {nullptr, "^$"}, {dlopen(nullptr, RTLD_NOW), "^$"}, {module, "module unloaded"}};
    for (const auto& [handle, output] : cases) {
        qx::detail::setUnloadModule(handle);
        EXPECT_EXIT(abortFromDialog(), testing::ExitedWithCode(0), output);
    }
    qx::detail::setUnloadModule(nullptr);
    dlclose(module);
}
