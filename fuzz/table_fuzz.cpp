// The binary table reader on arbitrary bytes, and what a table read from a file goes through
// next: its text forms and column values. A first byte of 0xFF instead hands the rest to the
// value formatter as a column format, for every column type.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "qx/qx.h"

namespace {

// The input lives in an in-memory file that the reader opens by name like any other file.
const std::string& inputFile() {
    static const std::string name = [] {
        const int fd = ::memfd_create("table_fuzz", 0);
        if (fd < 0) std::abort();
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return name;
}

void fuzzFormats(const std::uint8_t* data, std::size_t size) {
    const std::string format(reinterpret_cast<const char*>(data), size);
    // Large enough for every type; the string value is terminated.
    unsigned char value[16] = {'1', '.', '5', 0xFF, 0x7F, 0x80, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0};
    AnsiString out;
    for (int type = 0; type <= 9; ++type)
        vFormatString(value, static_cast<TH5Type::TDataTyp>(type), format, out, false);
}

void fuzzTable(const std::uint8_t* data, std::size_t size) {
    const std::string& name = inputFile();
    const int fd = std::stoi(name.substr(name.rfind('/') + 1));
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();

    TQxTable table;
    unsigned char* storage = nullptr;
    try {
        table.vReadBin(name.c_str(), &storage);
    } catch (unsigned long) {
        qx::deleteError();
        if (storage != nullptr) std::abort();  // a failed read hands out nothing
        return;
    }
    std::unique_ptr<unsigned char[]> owned(storage);
    // A few kilobytes can describe gigabytes of text (a thousand lines of a thousand columns
    // with 1023-character cells); smaller tables reach every formatting path as well.
    if (std::uint64_t{table.uGetLineNumber() + 2} * (table.uGetColumnNumber() + 1) > 20000) return;
    std::string text;
    vTable2String(&table, text, true);
    vTable2String(&table, text, false);
    std::vector<double> values;
    for (unsigned c = 0; c < table.uGetColumnNumber(); ++c) table.vGetColumnValues(values, c);

    TQxTable description;
    try {
        description.vReadBin(name.c_str(), nullptr);
    } catch (unsigned long) {
        std::abort();  // what reads with lines reads without them
    }
    if (!description.bCompareColumns(table) ||
        description.uGetLineNumber() != table.uGetLineNumber())
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 0 && data[0] == 0xFF)
        fuzzFormats(data + 1, size - 1);
    else
        fuzzTable(data, size);
    return 0;
}
