// TErrorInfo: the store behind the error facility. One process-wide instance (reached through
// qx::rGetErrorInfo) holds the list of at most 50 entries (entry 0 the raised error, entries
// 1.. the trace entries of the call stack it passed through), a 4096-byte pool for the entries'
// parameter texts, and the error log.
//
// Ownership: the instance owns its entries, their texts (in the pool), the log and the copy of
// the log line format. Nothing is allocated per error.
//
// Threads: writers (qx::error, qx::trace, vDeleteError, the closing of the log) serialise on a
// non-recursive lock (an atomic test-and-set flag; a waiting thread sleeps 1 ms between
// attempts). Readers of the list take no lock. Never call a locking operation while holding
// the lock.
//
// The data members are public so that tools and tests can inspect the list; change them only
// through the operations.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>

#include "qx/error/Language.h"

namespace qx::detail {
// An append-only log file with a small fixed buffer: opened with O_APPEND and mode 0666,
// written through write(2). Allocates nothing.
class TLogFile {
  public:
    TLogFile() = default;
    ~TLogFile() { close(); }
    TLogFile(const TLogFile&) = delete;
    TLogFile& operator=(const TLogFile&) = delete;

    bool open(const char* name);
    bool is_open() const { return fd_ >= 0; }
    void write(const char* text, std::size_t n);
    void write(const char* text);
    void put(char c) { write(&c, 1); }
    void flush();
    void close();

  private:
    int fd_ = -1;
    std::size_t used_ = 0;
    char buf_[512];
};
}  // namespace qx::detail

class TErrorInfo {
  public:
    static constexpr unsigned kMaxEntries = 50;
    static constexpr unsigned kPoolSize = 4096;
    static constexpr unsigned kFileNameSize = 260;

    // One list entry: plain data, copied whole when the list is compacted.
    struct TErrorEntry {
        unsigned long ulCode;
        unsigned long ulThreadId;
        char acFile[kFileNameSize];  // name and extension of the source file, NUL-terminated
        int iLine;
        char* cpParam;  // parameter text inside the pool, or null; not owned
    };

    TErrorInfo();
    virtual ~TErrorInfo();
    TErrorInfo(const TErrorInfo&) = delete;
    TErrorInfo& operator=(const TErrorInfo&) = delete;

    void lock();
    void unlock();

    // Restarts the list with one entry (code, calling thread, file name, line; no text).
    TErrorEntry& rGetNewEntry(unsigned long code, const char* file, int line);
    // Fills code, thread id, line and file name (name and extension of `file`, at most 259
    // characters; null gives an empty name). Leaves cpParam alone.
    void vFillEntry(unsigned long code, const char* file, int line, TErrorEntry& entry);
    // Stores `text` in the pool (tabs, CR and LF become blanks) and points cpParam at it; when
    // it does not fit into the free pool, or is null, cpParam becomes null.
    void vFillParamString(const char* text, TErrorEntry& entry);

    unsigned uGetCurrentErrorEntry() const { return uCurrentEntry; }
    void vIncreaseCurrentErrorEntry() { ++uCurrentEntry; }
    TErrorEntry& operator[](unsigned int i) { return aEntries[i]; }
    const TErrorEntry& operator[](unsigned int i) const { return aEntries[i]; }

    // The code of the newest entry, or 0 when the list is empty. Takes no lock.
    unsigned long ulFindCode() const;
    // Removes the calling thread's entries and compacts the pool (takes the lock).
    void vDeleteError();

    // Opens ./YY-MM-DD-HH-MM.txt (local date and time) for appending.
    bool bOpenErrorFile();
    // Opens `name` for appending, creating it with mode 0666. False when a log is already
    // open (nothing changes then), when the name is null or empty, or when the open fails.
    bool bOpenErrorFile(const char* name);
    void vCloseErrorFile();
    const char* cpGetFileName() const { return acFileName; }
    unsigned long ulGetStartTime() const { return ulStartTime; }

    // Replaces the log line format by a copy of `format`; null brings back the default
    // "$E $C $T $F($L) $P".
    void vSetOutFileFormat(const char* format);
    // Writes one log line for `entry` ("E": error, "T": trace). Called under the lock.
    void vOutStream(const char* kind, const TErrorEntry& entry);

    std::atomic_flag bLocked = ATOMIC_FLAG_INIT;
    unsigned uMaxEntries;
    unsigned uCurrentEntry;
    TErrorEntry aEntries[kMaxEntries];
    unsigned uPoolUsed;
    char acPool[kPoolSize];
    char acFileName[kFileNameSize];
    qx::detail::TLogFile osErrorFile;
    bool bFileOpen;
    std::unique_ptr<char[]> cpOutFileFormat;
    unsigned long ulStartTime;
};

namespace qx {
// The default log line format.
inline constexpr const char* kDefaultOutFileFormat = "$E $C $T $F($L) $P";
}  // namespace qx
