#include "qx/platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace qx::platform {

namespace {

bool fail(std::string* error, const char* what, const std::string& path, int code) {
    if (error) *error = std::string(what) + " \"" + path + "\": " + std::strerror(code);
    return false;
}

// Makes a rename in `dir` durable; best effort, some file systems refuse fsync on folders.
void syncFolder(const std::string& dir) {
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

// Removes the temporary file unless the write was put in place, also when `write` throws.
struct TTempGuard {
    std::string path;
    int fd = -1;
    ~TTempGuard() {
        if (fd >= 0) ::close(fd);
        if (!path.empty()) ::unlink(path.c_str());
    }
};

// Temporary files are named ".qx-<pid>-<n>.tmp" in the target's folder: a short name, so that it
// fits wherever the target's name fits.
constexpr const char* kTempPrefix = ".qx-";
constexpr const char* kTempSuffix = ".tmp";

std::string temporaryName(const std::string& dir) {
    static std::atomic<unsigned> counter{0};
    return dir + kTempPrefix + std::to_string(::getpid()) + "-" +
           std::to_string(counter.fetch_add(1)) + kTempSuffix;
}

// Creates a fresh named temporary file in `dir` (the fallback when unnamed files are not
// available). False with errno set when none can be made.
bool openNamedTemporary(const std::string& dir, TTempGuard& temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp.path = temporaryName(dir);
        temp.fd =
            ::open(temp.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (temp.fd >= 0) return true;
        if (errno != EEXIST) break;
    }
    const int code = errno;
    temp.path.clear();
    errno = code;
    return false;
}

// An unnamed file is linked through /proc (linking a descriptor directly needs privileges), so
// it is used only where /proc is mounted.
bool canLinkUnnamed() {
    static const bool available = ::access("/proc/self/fd", X_OK) == 0;
    return available;
}

// Gives the complete unnamed file `temp.fd` a fresh temporary name in `dir`.
bool linkUnnamed(const std::string& dir, TTempGuard& temp) {
    const std::string self = "/proc/self/fd/" + std::to_string(temp.fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = temporaryName(dir);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temp.path = name;
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

// Removes temporary files that processes which died while replacing a file left in `dir`.
// A file counts as stale when its process is gone and it was not written to for a minute (the
// age guards against a writer of the same number on another machine sharing the folder).
void removeStaleTemporaries(const std::string& dir) {
    DIR* folder = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!folder) return;
    const std::time_t now = std::time(nullptr);
    const std::size_t prefix = std::strlen(kTempPrefix), suffix = std::strlen(kTempSuffix);
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name(entry->d_name);
        if (name.size() <= prefix + suffix || name.substr(0, prefix) != kTempPrefix ||
            name.substr(name.size() - suffix) != kTempSuffix)
            continue;
        const std::string_view middle = name.substr(prefix, name.size() - prefix - suffix);
        const std::string_view digits = middle.substr(0, middle.find('-'));
        long pid = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
        if (ec != std::errc() || end != digits.data() + digits.size() || pid <= 0 ||
            digits.size() == middle.size())
            continue;
        if (pid == ::getpid() || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue;
        const std::string full = dir + std::string(name);
        struct stat st {};
        if (::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode) && now - st.st_mtime > 60)
            ::unlink(full.c_str());
    }
    ::closedir(folder);
}

bool writeDirect(const std::string& target, const std::function<bool(int)>& write,
                 std::string* error) {
    TTempGuard guard;  // only closes: there is no temporary file
    guard.fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
    if (guard.fd < 0) return fail(error, "cannot open", target, errno);
    if (!write(guard.fd)) return fail(error, "cannot write", target, errno ? errno : EIO);
    const int fd = guard.fd;
    guard.fd = -1;
    if (::close(fd) != 0) return fail(error, "cannot write", target, errno);
    return true;
}

}  // namespace

bool ResolveWriteTarget(const std::string& path, std::string& target) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        target = path;
        return true;
    }
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return false;
    target = real;
    std::free(real);
    return true;
}

bool WriteAll(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool ReplaceFile(const std::string& path, const std::function<bool(int fd)>& write,
                 std::string* error) {
    if (path.empty()) return fail(error, "cannot write", path, ENOENT);
    std::string target;
    if (!ResolveWriteTarget(path, target)) return fail(error, "dangling link", path, ENOENT);

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        if (S_ISDIR(old.st_mode)) return fail(error, "cannot replace", target, EISDIR);
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
            return fail(error, "cannot write", target, errno);
        if (!S_ISREG(old.st_mode)) return writeDirect(target, write, error);
    }

    const std::string::size_type slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    removeStaleTemporaries(dir);

    // The new content goes into an unnamed file where the file system offers one, so that a
    // process killed while writing leaves nothing behind; it gets a name only when complete.
    TTempGuard temp;
    if (canLinkUnnamed())
        temp.fd = ::open(dir.empty() ? "." : dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (temp.fd < 0 && !openNamedTemporary(dir, temp))
        return fail(error, "cannot create a file beside", target, errno);

    if (exists) {
        // Owner first: a change of owner may clear set-id bits that the mode then restores.
        struct stat now {};
        if (::fstat(temp.fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid))
            (void)!::fchown(temp.fd, old.st_uid, old.st_gid);
        if (::fchmod(temp.fd, old.st_mode & 07777) != 0)
            return fail(error, "cannot set the mode of", target, errno);
    }
    errno = 0;
    if (!write(temp.fd)) return fail(error, "cannot write", target, errno ? errno : EIO);
    if (::fsync(temp.fd) != 0) return fail(error, "cannot write", target, errno);
    if (temp.path.empty() && !linkUnnamed(dir, temp))
        return fail(error, "cannot create a file beside", target, errno);
    const int fd = temp.fd;
    temp.fd = -1;
    if (::close(fd) != 0) return fail(error, "cannot write", target, errno);
    if (::rename(temp.path.c_str(), target.c_str()) != 0)
        return fail(error, "cannot replace", target, errno);
    temp.path.clear();
    syncFolder(dir);
    return true;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    return ReplaceFile(
        path, [bytes](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); }, error);
}

// ----------------------------------------------------------------------- TDescriptorBuffer

TDescriptorBuffer::TDescriptorBuffer(int fd) : fd_(fd) {
    setp(buffer_, buffer_ + sizeof buffer_);
}

bool TDescriptorBuffer::flushBuffer() {
    const std::size_t n = static_cast<std::size_t>(pptr() - pbase());
    if (n == 0) return true;
    const bool ok = WriteAll(fd_, pbase(), n);
    setp(buffer_, buffer_ + sizeof buffer_);
    return ok;
}

TDescriptorBuffer::int_type TDescriptorBuffer::overflow(int_type c) {
    if (!flushBuffer()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize TDescriptorBuffer::xsputn(const char* s, std::streamsize n) {
    if (n <= 0) return 0;  // an empty write may come with a null pointer
    if (n <= epptr() - pptr()) {
        std::memcpy(pptr(), s, static_cast<std::size_t>(n));
        pbump(static_cast<int>(n));
        return n;
    }
    if (!flushBuffer()) return 0;
    if (n < epptr() - pptr()) {
        std::memcpy(pptr(), s, static_cast<std::size_t>(n));
        pbump(static_cast<int>(n));
        return n;
    }
    // A block at least as large as the buffer goes out as it is.
    return WriteAll(fd_, s, static_cast<std::size_t>(n)) ? n : 0;
}

int TDescriptorBuffer::sync() {
    return flushBuffer() ? 0 : -1;
}

}  // namespace qx::platform
