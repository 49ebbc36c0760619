#include "qx/platform/Os.h"

#include <dlfcn.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace qx::platform {

namespace {
std::function<std::uint32_t()>& tickSource() {
    // Never destroyed, like the other process-wide objects that an error report reads: errors
    // raised by static destructors are still reported.
    static auto* source = new std::function<std::uint32_t()>;
    return *source;
}

std::string makeOsLine() {
    utsname u{};
    if (uname(&u) != 0) return "unknown 0.0 ";
    const char* rel = u.release;
    char* end = nullptr;
    long major = std::strtol(rel, &end, 10);
    long minor = 0;
    if (end != rel && *end == '.') {
        const char* p = end + 1;
        minor = std::strtol(p, &end, 10);
        if (end == p) end = const_cast<char*>(p);
    }
    const char* rest = end ? end : rel;
    if (*rest == '.' || *rest == '-') ++rest;
    std::string line = u.sysname;
    line += ' ';
    line += std::to_string(major) + "." + std::to_string(minor) + " " + rest;
    return line;
}
}  // namespace

std::uint32_t TickCount() {
    if (const auto& src = tickSource()) return src();
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    std::uint64_t ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                       static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

void SetTickSource(std::function<std::uint32_t()> source) {
    tickSource() = std::move(source);
}

std::int64_t PerformanceCounter() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

std::uint32_t CurrentThreadId() {
    thread_local const std::uint32_t id = static_cast<std::uint32_t>(gettid());
    return id;
}

void SleepMs(unsigned ms) {
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

const std::string& OperatingSystemLine() {
    static const std::string* line = new std::string(makeOsLine());  // never destroyed
    return *line;
}

void TerminateProcessNow() {
    _exit(0);
}

void* FindModuleFunction(void* module, const char* name) {
    if (!module || !name) return nullptr;
    return dlsym(module, name);
}

}  // namespace qx::platform
