#include "qx/platform/Registry.h"

#include <algorithm>

namespace qx::platform {
namespace {
std::vector<TPaletteEntry>& palette() {
    static std::vector<TPaletteEntry> p;
    return p;
}
}  // namespace

const std::vector<TPaletteEntry>& RegisteredComponents() {
    return palette();
}

const TComponentClass* FindComponentClass(const AnsiString& className) {
    for (const auto& e : palette())
        if (e.Class.ClassName == className) return &e.Class;
    return nullptr;
}
}  // namespace qx::platform

void RegisterComponents(const AnsiString& page, const std::vector<TComponentClass>& classes) {
    auto& p = qx::platform::palette();
    for (const TComponentClass& c : classes) {
        p.erase(std::remove_if(p.begin(), p.end(),
                               [&](const auto& e) { return e.Class.ClassName == c.ClassName; }),
                p.end());
        p.push_back({page, c});
    }
}
