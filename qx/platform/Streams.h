// The framework's streams: TStream and its memory and file streams.
//
// Not synchronised; a stream belongs to one thread at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "qx/platform/Classes.h"

enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

// A sequence of bytes with a position. Read and Write move as far as they can and return the
// count moved; ReadBuffer and WriteBuffer throw Exception when they cannot move everything.
class TStream : public TObject {
  public:
    virtual long Read(void* buffer, long count) = 0;
    virtual long Write(const void* buffer, long count) = 0;
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

    std::int64_t Position() { return Seek(0, soFromCurrent); }
    void SetPosition(std::int64_t pos) { Seek(pos, soFromBeginning); }
    virtual std::int64_t Size();
    virtual void SetSize(std::int64_t size);

    void ReadBuffer(void* buffer, long count);
    void WriteBuffer(const void* buffer, long count);
    // Copies `count` bytes from `source` (all of it from the start when count is 0).
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

// A stream over a block of memory that someone else provides; reads and seeks only.
class TCustomMemoryStream : public TStream {
  public:
    long Read(void* buffer, long count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return size_; }
    void* Memory() const { return memory_; }
    void SaveToStream(TStream& stream);
    void SaveToFile(const AnsiString& fileName);

  protected:
    void SetPointer(void* memory, std::int64_t size);
    std::int64_t position_ = 0;

  private:
    void* memory_ = nullptr;
    std::int64_t size_ = 0;
};

// A memory stream that owns a growing buffer; writing past the end extends it.
class TMemoryStream : public TCustomMemoryStream {
  public:
    long Write(const void* buffer, long count) override;
    void SetSize(std::int64_t size) override;
    void Clear();
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const AnsiString& fileName);

  private:
    std::vector<unsigned char> data_;
};

// File open modes; fmCreate creates or truncates. Share modes are accepted and ignored.
enum : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,
};

// A stream over a file; throws Exception when the file cannot be opened or created. The
// descriptor is closed by the destructor.
class TFileStream : public TStream {
  public:
    TFileStream(const AnsiString& fileName, unsigned mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    long Read(void* buffer, long count) override;
    long Write(const void* buffer, long count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t size) override;
    const AnsiString& FileName() const { return fileName_; }
    int Handle() const { return fd_; }

  private:
    AnsiString fileName_;
    int fd_ = -1;
};
