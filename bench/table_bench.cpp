// Binary tables of 1,000,000 lines x 96 bytes written and read beside plain fwrite/fread of
// the same bytes (with and without the fsync that the table's atomic write includes), and the
// example table as text, tab-separated and aligned, at 25k, 50k and 100k lines: the time per
// line stays flat when the export is linear. Files go to $TMPDIR (or /tmp).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "qx/qx.h"

namespace {

// The example table's columns over `lines` lines filled as the example fills its 100.
struct TGrownTable {
    explicit TGrownTable(unsigned lines) : storage(new unsigned char[std::size_t{lines} * 96]()) {
        void* data = nullptr;
        TQxTable* example = nullptr;
        TQxTable::vCreateTable(&data, &example);
        table = *example;
        delete example;
        delete[] static_cast<unsigned char*>(data);
        for (unsigned i = 0; i < lines; ++i) {
            unsigned char* line = storage.get() + std::size_t{i} * 96;
            std::snprintf(reinterpret_cast<char*>(line), 64, "Name%u", i + 1);
            const double values[4] = {i * 99.9, i * 299.9, i * 199.9, i * 9.99};
            std::memcpy(line + 64, values, sizeof values);
        }
        table.vCalculateLine(storage.get(), lines);
    }
    std::unique_ptr<unsigned char[]> storage;
    TQxTable table;
};

constexpr unsigned kBinLines = 1'000'000;

const TGrownTable& binTable() {
    static const TGrownTable t(kBinLines);
    return t;
}

std::string benchFile(const char* name) {
    static const std::string dir = [] {
        std::string tmpl = (std::filesystem::temp_directory_path() / "qx-bench-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) std::abort();
        return tmpl;
    }();
    return dir + "/" + name;
}

// The bytes of the table's file, for the plain comparisons.
const std::vector<char>& fileBytes() {
    static const std::vector<char> bytes = [] {
        const std::string f = benchFile("bytes.tbl");
        binTable().table.vWriteBin(f.c_str());
        std::vector<char> b(std::filesystem::file_size(f));
        std::FILE* in = std::fopen(f.c_str(), "rb");
        if (!in || std::fread(b.data(), 1, b.size(), in) != b.size()) std::abort();
        std::fclose(in);
        std::filesystem::remove(f);
        return b;
    }();
    return bytes;
}

void setBytes(benchmark::State& state, std::size_t perIteration) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * perIteration));
}

void BM_TableWriteBin(benchmark::State& state) {
    const TGrownTable& t = binTable();
    const std::string f = benchFile("write.tbl");
    for (auto _ : state) t.table.vWriteBin(f.c_str());
    setBytes(state, std::filesystem::file_size(f));
}

void plainWrite(benchmark::State& state, bool sync) {
    const std::vector<char>& bytes = fileBytes();
    const std::string f = benchFile(sync ? "plain-sync.tbl" : "plain.tbl");
    for (auto _ : state) {
        std::FILE* out = std::fopen(f.c_str(), "wb");
        if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) std::abort();
        if (sync && (std::fflush(out) != 0 || ::fsync(::fileno(out)) != 0)) std::abort();
        std::fclose(out);
    }
    setBytes(state, bytes.size());
}

void BM_PlainFwrite(benchmark::State& state) {
    plainWrite(state, false);
}
void BM_PlainFwriteFsync(benchmark::State& state) {
    plainWrite(state, true);
}

void BM_TableReadBin(benchmark::State& state) {
    const std::string f = benchFile("read.tbl");
    binTable().table.vWriteBin(f.c_str());
    for (auto _ : state) {
        TQxTable t;
        unsigned char* storage = nullptr;
        t.vReadBin(f.c_str(), &storage);
        benchmark::DoNotOptimize(storage);
        delete[] storage;
    }
    setBytes(state, std::filesystem::file_size(f));
}

void BM_PlainFread(benchmark::State& state) {
    const std::vector<char>& bytes = fileBytes();
    const std::string f = benchFile("plain-read.tbl");
    {
        std::FILE* out = std::fopen(f.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
    for (auto _ : state) {
        // A reader also needs the storage: allocated fresh, as the table's reader does.
        std::unique_ptr<char[]> buffer(new char[bytes.size()]);
        std::FILE* in = std::fopen(f.c_str(), "rb");
        if (!in || std::fread(buffer.get(), 1, bytes.size(), in) != bytes.size()) std::abort();
        std::fclose(in);
        benchmark::DoNotOptimize(buffer.get());
    }
    setBytes(state, bytes.size());
}

void table2String(benchmark::State& state, bool tabs) {
    const TGrownTable t(static_cast<unsigned>(state.range(0)));
    std::string text;
    for (auto _ : state) {
        vTable2String(&t.table, text, tabs);
        benchmark::DoNotOptimize(text.data());
    }
    setBytes(state, text.size());
    state.counters["time/line"] = benchmark::Counter(
        static_cast<double>(state.range(0)) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Table2StringTabs(benchmark::State& state) {
    table2String(state, true);
}
void BM_Table2StringAligned(benchmark::State& state) {
    table2String(state, false);
}

}  // namespace

BENCHMARK(BM_TableWriteBin)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainFwrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainFwriteFsync)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TableReadBin)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainFread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Table2StringTabs)
    ->Arg(25'000)
    ->Arg(50'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Table2StringAligned)
    ->Arg(25'000)
    ->Arg(50'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(std::filesystem::path(benchFile("x")).parent_path());
    return 0;
}
