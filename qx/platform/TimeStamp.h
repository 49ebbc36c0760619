// Process::TTimeStamp: a reading of the high-resolution performance counter.
#pragma once

#include <cstdint>

namespace Process {

// A 64-bit signed reading of the performance counter (nanoseconds, monotonic). The constructor
// takes the current reading, set() takes it again; copied by value. Not synchronised.
class TTimeStamp {
  public:
    TTimeStamp();
    void set();
    std::int64_t get() const { return llTime; }
    // Nanoseconds from this reading to `later`.
    std::int64_t llDiff(const TTimeStamp& later) const { return later.llTime - llTime; }
    bool operator==(const TTimeStamp&) const = default;

  private:
    std::int64_t llTime;
};

}  // namespace Process
