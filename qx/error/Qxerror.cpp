#include "qx/error/Qxerror.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "qx/platform/Os.h"
#include "qx/platform/SysUtils.h"

// ---------------------------------------------------------------------------- TLogFile

namespace qx::detail {

bool TLogFile::open(const char* name) {
    close();
    fd_ = ::open(name, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    return fd_ >= 0;
}

void TLogFile::write(const char* text, std::size_t n) {
    if (fd_ < 0) return;
    while (n > 0) {
        if (used_ == sizeof buf_) flush();
        std::size_t k = std::min(n, sizeof buf_ - used_);
        std::memcpy(buf_ + used_, text, k);
        used_ += k;
        text += k;
        n -= k;
    }
}

void TLogFile::write(const char* text) {
    write(text, std::strlen(text));
}

void TLogFile::flush() {
    std::size_t done = 0;
    while (fd_ >= 0 && done < used_) {
        ssize_t n = ::write(fd_, buf_ + done, used_ - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // a log that cannot be written loses its lines silently
        done += static_cast<std::size_t>(n);
    }
    used_ = 0;
}

void TLogFile::close() {
    if (fd_ < 0) return;
    flush();
    ::close(fd_);
    fd_ = -1;
}

}  // namespace qx::detail

// ---------------------------------------------------------------------------- TErrorInfo

namespace {
// Copies at most size - 1 characters of src and terminates.
void copyCut(char* dst, std::size_t size, const char* src, std::size_t len) {
    std::size_t n = std::min(len, size - 1);
    if (n > 0) std::memmove(dst, src, n);  // src may be null when len is 0
    dst[n] = '\0';
}
}  // namespace

TErrorInfo::TErrorInfo()
    : uMaxEntries(kMaxEntries),
      uCurrentEntry(0),
      aEntries{},
      uPoolUsed(0),
      acPool{},
      acFileName{},
      bFileOpen(false),
      ulStartTime(qx::platform::TickCount()) {}

TErrorInfo::~TErrorInfo() = default;

void TErrorInfo::lock() {
    while (bLocked.test_and_set(std::memory_order_acquire)) qx::platform::SleepMs(1);
}

void TErrorInfo::unlock() {
    bLocked.clear(std::memory_order_release);
}

TErrorInfo::TErrorEntry& TErrorInfo::rGetNewEntry(unsigned long code, const char* file, int line) {
    uCurrentEntry = 0;
    vFillEntry(code, file, line, aEntries[0]);
    aEntries[0].cpParam = nullptr;
    uCurrentEntry = 1;
    return aEntries[0];
}

void TErrorInfo::vFillEntry(unsigned long code, const char* file, int line, TErrorEntry& entry) {
    entry.ulCode = code;
    entry.ulThreadId = qx::platform::CurrentThreadId();
    entry.iLine = line;
    std::string_view name = file ? qx::platform::FileNameOf(file) : std::string_view();
    copyCut(entry.acFile, sizeof entry.acFile, name.data(), name.size());
}

void TErrorInfo::vFillParamString(const char* text, TErrorEntry& entry) {
    if (!text) {
        entry.cpParam = nullptr;
        return;
    }
    std::size_t n = std::strlen(text);
    if (n + 1 > kPoolSize - uPoolUsed) {
        entry.cpParam = nullptr;
        return;
    }
    char* dst = acPool + uPoolUsed;
    std::memcpy(dst, text, n + 1);
    for (std::size_t i = 0; i < n; ++i)
        if (dst[i] == '\t' || dst[i] == '\r' || dst[i] == '\n') dst[i] = ' ';
    entry.cpParam = dst;
    uPoolUsed += static_cast<unsigned>(n + 1);
}

unsigned long TErrorInfo::ulFindCode() const {
    return uCurrentEntry == 0 ? 0 : aEntries[uCurrentEntry - 1].ulCode;
}

void TErrorInfo::vDeleteError() {
    lock();
    const unsigned long me = qx::platform::CurrentThreadId();
    unsigned kept = 0;
    for (unsigned i = 0; i < uCurrentEntry; ++i)
        if (aEntries[i].ulThreadId != me) aEntries[kept++] = aEntries[i];
    uCurrentEntry = kept;
    // Texts lie in the pool in list order, so moving them to the front in that order never
    // overwrites a text before it has been moved.
    uPoolUsed = 0;
    for (unsigned i = 0; i < uCurrentEntry; ++i) {
        char* src = aEntries[i].cpParam;
        if (!src) continue;
        std::size_t n = std::strlen(src) + 1;
        std::memmove(acPool + uPoolUsed, src, n);
        aEntries[i].cpParam = acPool + uPoolUsed;
        uPoolUsed += static_cast<unsigned>(n);
    }
    unlock();
}

bool TErrorInfo::bOpenErrorFile() {
    if (bFileOpen) return false;
    qx::platform::TLocalTime t = qx::platform::LocalTime();
    char name[kFileNameSize];
    std::snprintf(name, sizeof name, "./%02d-%02d-%02d-%02d-%02d.txt", t.year % 100, t.month, t.day,
                  t.hour, t.minute);
    return bOpenErrorFile(name);
}

bool TErrorInfo::bOpenErrorFile(const char* name) {
    // Refuse before touching acFileName: it must keep naming the log that is open.
    if (bFileOpen || !name || !*name) return false;
    if (name != acFileName) copyCut(acFileName, sizeof acFileName, name, std::strlen(name));
    bFileOpen = osErrorFile.open(acFileName);
    if (!bFileOpen) acFileName[0] = '\0';
    return bFileOpen;
}

void TErrorInfo::vCloseErrorFile() {
    lock();
    osErrorFile.close();
    bFileOpen = false;
    unlock();
    acFileName[0] = '\0';
}

void TErrorInfo::vSetOutFileFormat(const char* format) {
    cpOutFileFormat.reset();
    if (!format) return;
    std::size_t n = std::strlen(format) + 1;
    cpOutFileFormat = std::make_unique<char[]>(n);
    std::memcpy(cpOutFileFormat.get(), format, n);
}

void TErrorInfo::vOutStream(const char* kind, const TErrorEntry& entry) {
    if (!bFileOpen) return;
    // The default needs no copy: a null format stands for it.
    const char* f = cpOutFileFormat ? cpOutFileFormat.get() : qx::kDefaultOutFileFormat;
    const bool isError = kind && std::strcmp(kind, "E") == 0;
    char num[32];
    for (; *f; ++f) {
        if (*f != '$') {
            osErrorFile.put(*f);
            continue;
        }
        if (!f[1]) {
            osErrorFile.put('$');
            break;
        }
        ++f;
        switch (*f) {
            case 'E':
                if (isError) osErrorFile.put('\n');
                osErrorFile.write(kind ? kind : "");
                break;
            case 'C':
                std::snprintf(num, sizeof num, "0x%lx", entry.ulCode);
                osErrorFile.write(num);
                break;
            case 'T':
                std::snprintf(num, sizeof num, "0x%lx", entry.ulThreadId);
                osErrorFile.write(num);
                break;
            case 'F':
                osErrorFile.write(entry.acFile);
                break;
            case 'L':
                std::snprintf(num, sizeof num, "%d", entry.iLine);
                osErrorFile.write(num);
                break;
            case 'P':
                if (entry.cpParam) osErrorFile.write(entry.cpParam);
                break;
            default:
                osErrorFile.put('$');
                osErrorFile.put(*f);
                break;
        }
    }
    osErrorFile.put('\n');
    osErrorFile.flush();
}
