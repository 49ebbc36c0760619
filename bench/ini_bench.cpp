// Reading a table layout from an ini file: 2,000 sReadString calls over 100 sections of 20
// keys, with the file unchanged and with the file changed before every call, beside one whole
// parse of the same file by inih (the floor), and the cost of one durable write.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "qx/ini/PrivateProfile.h"
#include "qx/qx.h"

#ifdef QX_HAVE_INIH
#include <ini.h>
#endif

namespace {

constexpr int kSections = 100;
constexpr int kKeys = 20;

struct TLayoutFile {
    std::string dir;
    std::string path;
    std::vector<std::string> sections;
    std::vector<std::string> keys;
    std::size_t bytes = 0;

    TLayoutFile() {
        char tmpl[] = "/tmp/qx-ini-bench-XXXXXX";
        dir = ::mkdtemp(tmpl);
        path = dir + "/layout.ini";
        for (int k = 0; k < kKeys; ++k) keys.push_back("Key" + std::to_string(k));
        std::string text;
        for (int s = 0; s < kSections; ++s) {
            sections.push_back("Table/Column" + std::to_string(s));
            text += "[" + sections.back() + "]\r\n";
            for (int k = 0; k < kKeys; ++k)
                text += keys[k] + "=" +
                        (k % 3 ? std::to_string(s * 1000 + k) : "Caption of " + std::to_string(s)) +
                        "\r\n";
        }
        std::ofstream(path, std::ios::binary) << text;
        bytes = text.size();
    }
    ~TLayoutFile() { std::filesystem::remove_all(dir); }
};

const TLayoutFile& Layout() {
    static TLayoutFile file;
    return file;
}

// The reading pattern of a table layout: every key of every section, in order.
void ReadAll(const TQxStdIniFile& ini, const TLayoutFile& f, bool changedBeforeEachCall) {
    for (const std::string& s : f.sections)
        for (const std::string& k : f.keys) {
            if (changedBeforeEachCall) qx::detail::clearProfileCache();
            benchmark::DoNotOptimize(ini.sReadString(s.c_str(), k.c_str(), ""));
        }
}

void PerCall(benchmark::State& state, double callsPerIteration) {
    state.counters["per_call"] =
        benchmark::Counter(callsPerIteration, benchmark::Counter::kIsIterationInvariantRate |
                                                  benchmark::Counter::kInvert);
}

void BM_ReadString_UnchangedFile(benchmark::State& state) {
    const TLayoutFile& f = Layout();
    const TQxStdIniFile ini{TIniFilename(f.path)};
    for (auto _ : state) ReadAll(ini, f, false);
    PerCall(state, kSections * kKeys);
}
BENCHMARK(BM_ReadString_UnchangedFile)->Unit(benchmark::kMicrosecond);

// As if another writer had changed the file before every call: each call stats, opens, reads
// and parses the whole file.
void BM_ReadString_FileChangedBeforeEachCall(benchmark::State& state) {
    const TLayoutFile& f = Layout();
    const TQxStdIniFile ini{TIniFilename(f.path)};
    for (auto _ : state) ReadAll(ini, f, true);
    PerCall(state, kSections * kKeys);
}
BENCHMARK(BM_ReadString_FileChangedBeforeEachCall)->Unit(benchmark::kMillisecond);

// Real writes in between: every 100th call follows a durable write of another object.
void BM_ReadString_WriteEvery100Reads(benchmark::State& state) {
    const TLayoutFile& f = Layout();
    const TQxStdIniFile ini{TIniFilename(f.path)};
    TQxStdIniFile writer{TIniFilename(f.path)};
    int n = 0;
    for (auto _ : state) {
        writer.vWriteInteger("Table/Column0", "Key1", ++n);
        for (int i = 0; i < 100; ++i)
            benchmark::DoNotOptimize(
                ini.sReadString(f.sections[i].c_str(), f.keys[i % kKeys].c_str(), ""));
    }
    PerCall(state, 100);
}
BENCHMARK(BM_ReadString_WriteEvery100Reads)->Unit(benchmark::kMicrosecond);

void BM_WriteString_Durable(benchmark::State& state) {
    const TLayoutFile& f = Layout();
    TQxStdIniFile ini{TIniFilename(f.path)};
    int n = 0;
    for (auto _ : state) ini.vWriteInteger("Table/Column50", "Key7", ++n);
    PerCall(state, 1);
}
BENCHMARK(BM_WriteString_Durable)->Unit(benchmark::kMicrosecond);

// The parse alone, from memory.
void BM_Parse_InMemory(benchmark::State& state) {
    std::ifstream in(Layout().path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (auto _ : state) benchmark::DoNotOptimize(qx::detail::TProfile(text));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Parse_InMemory)->Unit(benchmark::kMicrosecond);

#ifdef QX_HAVE_INIH
int CountEntry(void* user, const char*, const char*, const char*) {
    ++*static_cast<long*>(user);
    return 1;
}

// The floor: one whole parse of the file (open, read, split every line) by inih.
void BM_Inih_WholeFileParse(benchmark::State& state) {
    const TLayoutFile& f = Layout();
    long entries = 0;
    for (auto _ : state) {
        entries = 0;
        if (ini_parse(f.path.c_str(), CountEntry, &entries) != 0)
            state.SkipWithError("inih failed");
    }
    if (entries != kSections * kKeys) state.SkipWithError("inih saw a different file");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.bytes));
}
BENCHMARK(BM_Inih_WholeFileParse)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace

BENCHMARK_MAIN();
