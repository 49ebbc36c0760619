// TExternMemoryStream: reads a block of memory that somebody else owns through the TStream
// interface, without copying it.
//
// The memory is never owned: neither a new pointer nor the destructor releases it; the owner
// keeps it valid while the stream reads. The stream is read-only: Write moves nothing.
// Not synchronised; a stream belongs to one thread at a time.
#pragma once

#include "qx/platform/Streams.h"

class TExternMemoryStream : public TCustomMemoryStream {
  public:
    // An empty stream: no memory, size 0.
    TExternMemoryStream() = default;

    // Reads from now on `size` bytes at `memory`. The position is not changed: seek to 0 before
    // reading a new block. A null pointer or a negative size gives an empty stream.
    void vSetPointer(void* memory, int size);

    // Writes nothing; returns 0.
    long Write(const void* buffer, long count) override;
};
