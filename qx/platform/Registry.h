// The component palette: which component classes are registered on which page.
//
// Registration happens at start-up on one thread; reading it is safe afterwards.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "qx/platform/Classes.h"

// A registrable component class: its name and a factory taking the owner.
struct TComponentClass {
    AnsiString ClassName;
    std::function<TComponent*(TComponent* owner)> Create;

    template <class T>
    static TComponentClass Of(AnsiString name) {
        return {std::move(name), [](TComponent* owner) -> TComponent* { return new T(owner); }};
    }
};

// Puts the classes on palette page `page`, after those already there; a class registered
// again moves to the new page.
void RegisterComponents(const AnsiString& page, const std::vector<TComponentClass>& classes);

namespace qx::platform {
struct TPaletteEntry {
    AnsiString Page;
    TComponentClass Class;
};
// Every registered class in registration order.
const std::vector<TPaletteEntry>& RegisteredComponents();
// The class registered under `className`, or null.
const TComponentClass* FindComponentClass(const AnsiString& className);
}  // namespace qx::platform
