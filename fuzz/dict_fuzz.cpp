// The dictionary reader on arbitrary bytes. Whatever it reads must be sorted, hold no empty
// German text, survive writing and reading back unchanged, and translate into small buffers
// without overrunning them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "qx/qx.h"

namespace {
void check(bool ok) {
    if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TTranslator t;
    t.vSetLearnMode(false);  // no prompts
    t.vReadText(std::string_view(reinterpret_cast<const char*>(data), size));

    for (int i = 0; i < t.iGetCount(); ++i) {
        check(!t.rGetItem(i).sDeutsch.empty());
        if (i > 0) check(t.rGetItem(i - 1).sDeutsch <= t.rGetItem(i).sDeutsch);
    }

    TTranslator back;
    back.vReadText(t.asGetText());
    check(back.iGetCount() == t.iGetCount());
    for (int i = 0; i < t.iGetCount(); ++i) {
        check(back.rGetItem(i).sDeutsch == t.rGetItem(i).sDeutsch);
        check(back.rGetItem(i).sEnglisch == t.rGetItem(i).sEnglisch);
    }

    // Lookups of the first few texts, into buffers just large enough to notice an overrun.
    TLanguage::setEnglisch();
    for (int i = 0; i < t.iGetCount() && i < 4; ++i) {
        const std::string& german = t.rGetItem(i).sDeutsch;
        for (int n : {1, 2, 7}) {
            char* buffer = static_cast<char*>(std::malloc(static_cast<size_t>(n)));
            buffer[0] = '\0';  // stays so when a text with a NUL is not found by its C string
            t.vTranslate(german.c_str(), buffer, n);
            check(std::strlen(buffer) < static_cast<size_t>(n));
            std::free(buffer);
        }
    }
    TLanguage::setDeutsch();
    return 0;
}
