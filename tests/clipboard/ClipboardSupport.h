// Shared by the clipboard tests: the headless clipboard emptied, and a look from another thread.
#pragma once

#include <thread>

#include "tests/support/TestSupport.h"

namespace qx::test {

inline void EmptyHeadlessClipboard() {
    ASSERT_TRUE(qx::platform::HeadlessClipboard().Open());
    qx::platform::HeadlessClipboard().Empty();
    qx::platform::HeadlessClipboard().Close();
}

// Whether another thread could open the headless clipboard now.
inline bool ClipboardFreeForOthers() {
    bool ok = false;
    std::thread([&ok] {
        ok = qx::platform::HeadlessClipboard().Open();
        if (ok) qx::platform::HeadlessClipboard().Close();
    }).join();
    return ok;
}

}  // namespace qx::test
