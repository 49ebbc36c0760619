// Cost of the error path: qx::error + 3 qx::trace + qx::deleteError, with the log closed and
// open, beside a std::runtime_error thrown and caught four frames up. Allocations are counted
// through a replaced operator new and reported per iteration.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "qx/qx.h"

namespace {
std::atomic<long> gAllocations{0};
}

// The replacements pair malloc with free on purpose; g++ cannot see that through inlining.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t n) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

void errorPath() {
    qx::error(0xE5136001UL, "grid.src", 167, "FixedRows=%d NumCol=%d", 5, 3);
    qx::trace("grid.src", 1339);
    qx::trace("frame.src", 88);
    qx::trace("main.src", 12);
    qx::deleteError();
}

void report(benchmark::State& state, long allocations) {
    state.counters["allocs/error"] = benchmark::Counter(static_cast<double>(allocations) /
                                                        static_cast<double>(state.iterations()));
}

void BM_QxError_LogClosed(benchmark::State& state) {
    qx::closeErrorFile();
    errorPath();  // warm up: first use builds the instance
    long before = gAllocations.load();
    for (auto _ : state) errorPath();
    report(state, gAllocations.load() - before);
}
BENCHMARK(BM_QxError_LogClosed);

void BM_QxError_LogOpen(benchmark::State& state) {
    std::string name = "/tmp/qx-error-bench-" + std::to_string(getpid()) + ".txt";
    if (!qx::openErrorFile(name.c_str())) {
        state.SkipWithError("cannot open the log");
        return;
    }
    errorPath();
    long before = gAllocations.load();
    for (auto _ : state) errorPath();
    report(state, gAllocations.load() - before);
    qx::closeErrorFile();
    std::remove(name.c_str());
}
BENCHMARK(BM_QxError_LogOpen);

// The convention in full: raised four frames down, passed up with a trace at each level.
[[gnu::noinline]] void qxFrame(int depth) {
    if (depth == 0) QX_RAISE(0xE5136001UL, "FixedRows=%d NumCol=%d", 5, 3);
    try {
        qxFrame(depth - 1);
    } catch (...) {
        QX_PASS();
    }
}

void BM_QxThrown4Frames(benchmark::State& state) {
    qx::closeErrorFile();
    long before = gAllocations.load();
    for (auto _ : state) {
        try {
            qxFrame(3);
        } catch (unsigned long code) {
            benchmark::DoNotOptimize(code);
            qx::deleteError();
        }
    }
    report(state, gAllocations.load() - before);
}
BENCHMARK(BM_QxThrown4Frames);

[[gnu::noinline]] void stdFrame(int depth) {
    if (depth == 0) throw std::runtime_error("FixedRows=5 NumCol=3");
    stdFrame(depth - 1);
    benchmark::ClobberMemory();
}

void BM_StdRuntimeError4Frames(benchmark::State& state) {
    long before = gAllocations.load();
    for (auto _ : state) {
        try {
            stdFrame(3);
        } catch (const std::runtime_error& e) {
            benchmark::DoNotOptimize(e.what());
        }
    }
    report(state, gAllocations.load() - before);
}
BENCHMARK(BM_StdRuntimeError4Frames);

}  // namespace

BENCHMARK_MAIN();
