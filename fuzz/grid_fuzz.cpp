// The grid's readers of outside bytes: property records read one after another from any
// bytes, each then written and read back to the same record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "qx/qx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TMemoryStream in;
    if (size) in.Write(data, static_cast<long>(size));
    in.SetPosition(0);
    while (in.Position() < in.Size()) {
        TCellPropertyQx p;
        p.vReadFromStream(in);
        TMemoryStream out;
        p.vWrite2Stream(out);
        out.SetPosition(0);
        TCellPropertyQx q;
        q.vReadFromStream(out);
        if (std::string(q.cpGetHiddenString()) != p.cpGetHiddenString()) std::abort();
    }
    return 0;
}
