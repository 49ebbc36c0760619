// Raises, traces and reports an error through the installed headers.
#include <cstdio>
#include <cstring>

#include "qx/qx.h"

int main() {
    try {
        try {
            throw qx::error(0xE5136001UL, "grid.src", 167, "FixedRows=%d NumCol=%d", 5, 3);
        } catch (unsigned long) {
            throw qx::trace(__FILE__, __LINE__);
        }
    } catch (unsigned long code) {
        if (code != 0xE5136001UL || qx::rGetErrorInfo().uGetCurrentErrorEntry() != 2) return 1;
        char report[8192];
        qx::SPrintfErrorMessage(report, sizeof report);
        if (!std::strstr(report, "FixedRows=5 NumCol=3")) return 2;
        qx::deleteError();
    }
    std::puts("consumer ok");
    return qx::getErrorCode() == 0 ? 0 : 5;
}
