// Files written whole: a failed or interrupted write never destroys the previous file.
//
// All functions may be called from any thread.
#pragma once

#include <cstddef>
#include <functional>
#include <streambuf>
#include <string>
#include <string_view>

namespace qx::platform {

// Replaces the file `path` whole. `write` fills a temporary file in the target's folder through
// the descriptor it gets and returns false on failure; the file is then fsync'ed and renamed over
// the target, and the folder is fsync'ed, so that after a crash the target holds either the old
// or the new content. The temporary file has no name while it is written (where the file system
// supports unnamed files), so a process killed meanwhile leaves nothing behind; otherwise it is a
// hidden ".qx-<pid>-<n>.tmp", and such files left by dead processes are removed by the next
// replacement in that folder.
//  - A symbolic link is followed: the file it names is replaced and the link stays. A dangling
//    link is refused rather than replaced by a file.
//  - An existing file keeps its mode and, where the system allows, its owner and group; a new
//    file gets 0666 less the umask.
//  - An existing file the caller may not write, and a folder, are refused.
//  - A device or pipe is opened (truncated) and written into, not replaced by a regular file.
// False, with the target as it was and no temporary file left, on any failure; `error` (when
// given) then says what failed. An exception from `write` propagates after the clean-up.
bool ReplaceFile(const std::string& path, const std::function<bool(int fd)>& write,
                 std::string* error = nullptr);

// ReplaceFile with the bytes as the new content.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr);

// The file a write to `path` changes: `path` itself, or for a symbolic link the file it leads
// to. False for a dangling link.
bool ResolveWriteTarget(const std::string& path, std::string& target);

// Whether `path` names a folder (following links).
bool IsFolder(const std::string& path);

// Writes all `size` bytes, resuming after signals and short writes. False on an error.
bool WriteAll(int fd, const void* data, std::size_t size);

// A buffered output stream buffer over a descriptor it does not own, for writers that stream
// large files through std::ostream. A failed write makes the stream fail. Nothing is written
// on destruction: flush the stream and check it before reporting success.
class TDescriptorBuffer : public std::streambuf {
  public:
    explicit TDescriptorBuffer(int fd);
    TDescriptorBuffer(const TDescriptorBuffer&) = delete;
    TDescriptorBuffer& operator=(const TDescriptorBuffer&) = delete;

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

  private:
    bool flushBuffer();

    int fd_;
    char buffer_[64 * 1024];
};

}  // namespace qx::platform
