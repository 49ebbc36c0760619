// Operating-system services: clocks, thread ids, sleeping, the system's name and version,
// ending the process and looking up functions in loaded modules.
//
// All functions may be called from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace qx::platform {

// Milliseconds since the system started (CLOCK_BOOTTIME), as a 32-bit value that wraps after
// about 49.7 days.
std::uint32_t TickCount();

// Replaces the tick source, for tests that need a known uptime; an empty function restores
// the system clock. Not synchronised: set it while no other thread reads the tick.
void SetTickSource(std::function<std::uint32_t()> source);

// Monotonic high-resolution counter in nanoseconds (CLOCK_MONOTONIC).
std::int64_t PerformanceCounter();

// The kernel's id of the calling thread.
std::uint32_t CurrentThreadId();

// Sleeps the calling thread for about `ms` milliseconds.
void SleepMs(unsigned ms);

// The operating-system line of reports: "<sysname> <major>.<minor> <rest of release>",
// e.g. "Linux 6.1 0-18-amd64" for release "6.1.0-18-amd64".
const std::string& OperatingSystemLine();

// Ends the process at once with exit code 0: no destructors, no atexit handlers.
[[noreturn]] void TerminateProcessNow();

// Looks up the exported function `name` in a module handle from dlopen; null when the module
// is null or does not export it.
void* FindModuleFunction(void* module, const char* name);

}  // namespace qx::platform
