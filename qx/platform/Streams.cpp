#include "qx/platform/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

// ---------------------------------------------------------------------------- TStream

std::int64_t TStream::Size() {
    std::int64_t pos = Seek(0, soFromCurrent);
    std::int64_t size = Seek(0, soFromEnd);
    Seek(pos, soFromBeginning);
    return size;
}

void TStream::SetSize(std::int64_t) {
    throw Exception("Stream size cannot be changed");
}

void TStream::ReadBuffer(void* buffer, long count) {
    if (count > 0 && Read(buffer, count) != count) throw Exception("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, long count) {
    if (count > 0 && Write(buffer, count) != count) throw Exception("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::int64_t done = 0;
    unsigned char buf[64 * 1024];
    while (done < count) {
        long n = static_cast<long>(std::min<std::int64_t>(count - done, sizeof buf));
        source.ReadBuffer(buf, n);
        WriteBuffer(buf, n);
        done += n;
    }
    return done;
}

// ---------------------------------------------------------------------------- memory streams

void TCustomMemoryStream::SetPointer(void* memory, std::int64_t size) {
    memory_ = memory;
    size_ = size;
}

long TCustomMemoryStream::Read(void* buffer, long count) {
    if (count <= 0 || position_ >= size_) return 0;
    long n = static_cast<long>(std::min<std::int64_t>(count, size_ - position_));
    std::memcpy(buffer, static_cast<const unsigned char*>(memory_) + position_,
                static_cast<size_t>(n));
    position_ += n;
    return n;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    std::int64_t base = origin == soFromBeginning ? 0 : origin == soFromCurrent ? position_ : size_;
    position_ = std::max<std::int64_t>(0, base + offset);
    return position_;
}

void TCustomMemoryStream::SaveToStream(TStream& stream) {
    if (size_ > 0) stream.WriteBuffer(memory_, static_cast<long>(size_));
}

void TCustomMemoryStream::SaveToFile(const AnsiString& fileName) {
    TFileStream f(fileName, fmCreate);
    SaveToStream(f);
}

long TMemoryStream::Write(const void* buffer, long count) {
    if (count <= 0) return 0;
    std::int64_t end = position_ + count;
    if (end > Size()) SetSize(end);
    std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

void TMemoryStream::SetSize(std::int64_t size) {
    if (size < 0) size = 0;
    data_.resize(static_cast<size_t>(size));
    SetPointer(data_.data(), size);
    if (position_ > size) position_ = size;
}

void TMemoryStream::Clear() {
    data_.clear();
    data_.shrink_to_fit();
    SetPointer(nullptr, 0);
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    std::int64_t n = stream.Size();
    SetSize(n);
    if (n > 0) stream.ReadBuffer(data_.data(), static_cast<long>(n));
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const AnsiString& fileName) {
    TFileStream f(fileName, fmOpenRead);
    LoadFromStream(f);
}

// ---------------------------------------------------------------------------- TFileStream

TFileStream::TFileStream(const AnsiString& fileName, unsigned mode) : fileName_(fileName) {
    int flags;
    if ((mode & 0xFF00) == fmCreate) {
        flags = O_RDWR | O_CREAT | O_TRUNC;
    } else {
        unsigned access = mode & 0x3;
        flags = access == fmOpenWrite ? O_WRONLY : access == fmOpenReadWrite ? O_RDWR : O_RDONLY;
    }
    fd_ = ::open(fileName.c_str(), flags | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        const char* what = (mode & 0xFF00) == fmCreate ? "Cannot create file" : "Cannot open file";
        throw Exception(std::string(what) + " \"" + fileName + "\". " + std::strerror(errno));
    }
}

TFileStream::~TFileStream() {
    if (fd_ >= 0) ::close(fd_);
}

long TFileStream::Read(void* buffer, long count) {
    long done = 0;
    while (done < count) {
        ssize_t n =
            ::read(fd_, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

long TFileStream::Write(const void* buffer, long count) {
    long done = 0;
    while (done < count) {
        ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done,
                            static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    int whence = origin == soFromBeginning ? SEEK_SET
                 : origin == soFromCurrent ? SEEK_CUR
                                           : SEEK_END;
    off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
    return r < 0 ? -1 : static_cast<std::int64_t>(r);
}

void TFileStream::SetSize(std::int64_t size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        throw Exception("Cannot set size of \"" + fileName_ + "\". " + std::strerror(errno));
    if (Position() > size) Seek(size, soFromBeginning);
}
