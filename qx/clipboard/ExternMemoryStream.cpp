#include "qx/clipboard/ExternMemoryStream.h"

void TExternMemoryStream::vSetPointer(void* memory, int size) {
    if (!memory || size < 0) size = 0;
    SetPointer(memory, size);
}

long TExternMemoryStream::Write(const void*, long) {
    return 0;
}
