// Helpers of the table tests: the code an operation raises, a column descriptor, and the example
// table as an object that frees its storage.
#pragma once

#include <memory>
#include <string>

#include "tests/support/TestSupport.h"

namespace qx::test {

// The code thrown by f, or 0 when it returns normally.
template <class F>
unsigned long CodeOf(F&& f) {
    try {
        f();
    } catch (unsigned long code) {
        return code;
    }
    return 0;
}

inline TQxTable::TItem Column(TH5Type::TDataTyp type, unsigned stringSize = 0,
                              const std::string& name = "") {
    TQxTable::TItem item;
    item.eTyp = type;
    item.uStringSize = stringSize;
    item.sName = name;
    return item;
}

// The example table and its line storage.
struct TExample {
    TExample() {
        void* data = nullptr;
        TQxTable* t = nullptr;
        TQxTable::vCreateTable(&data, &t);
        storage.reset(static_cast<unsigned char*>(data));
        table.reset(t);
    }
    std::unique_ptr<unsigned char[]> storage;
    std::unique_ptr<TQxTable> table;
};

}  // namespace qx::test
