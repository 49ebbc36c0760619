// The grid's readers of outside bytes, each on the same input:
//  - property records read one after another, each then written and read back to the same record;
//  - the binary block read into a grid: a refused block leaves the grid as it was, an accepted one
//    written out whole and read into a second grid gives the same cells;
//  - the text block read into a grid.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "qx/grid/Stringgridqx.h"
#include "qx/qx.h"

namespace {

void fuzzRecords(const uint8_t* data, size_t size) {
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
}

bool sameCell(TStringGridQx& a, TStringGridQx& b, int col, int row) {
    const TCellPropertyQx& p = *a.pGetCellProperty(col, row);
    const TCellPropertyQx& q = *b.pGetCellProperty(col, row);
    return a.Cells(col, row) == b.Cells(col, row) && p.eGetAdjust() == q.eGetAdjust() &&
           p.eGetFontSize() == q.eGetFontSize() && p.eGetFontColor() == q.eGetFontColor() &&
           p.eGetBKColor() == q.eGetBKColor() && p.bGetCanEdit() == q.bGetCanEdit() &&
           std::strcmp(p.cpGetHiddenString(), q.cpGetHiddenString()) == 0;
}

void fuzzBlock(const uint8_t* data, size_t size) {
    std::vector<unsigned char> bytes(data, data + size);
    TExternMemoryStream in;
    in.vSetPointer(bytes.data(), static_cast<int>(bytes.size()));
    TStringGridQx grid(nullptr);
    const int rows = grid.RowCount(), cols = grid.ColCount();
    try {
        grid.vCopyFromBinaerStream(&in);
    } catch (unsigned long) {
        qx::deleteError();
        if (grid.RowCount() != rows || grid.ColCount() != cols) std::abort();
        return;
    }
    if (in.Position() > static_cast<std::int64_t>(size)) std::abort();

    grid.vSetSelectedArea(0, grid.iGetRowCount() - 1, 0, grid.iGetColCount() - 1);
    TMemoryStream whole;
    grid.vCopy2BinaerStream(&whole);
    whole.SetPosition(0);
    TStringGridQx copy(nullptr);
    copy.vCopyFromBinaerStream(&whole);
    if (copy.RowCount() != grid.RowCount() || copy.ColCount() != grid.ColCount()) std::abort();
    for (int r = 1; r < grid.RowCount(); ++r)
        for (int c = 1; c < grid.ColCount(); ++c)
            if (!sameCell(grid, copy, c, r)) std::abort();
}

void fuzzText(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    text.resize(std::strlen(text.c_str()));
    // A few bytes of line ends and tabs describe a large rectangle; small ones reach every path.
    std::size_t lines = 1, widest = 1, fields = 1;
    for (char c : text) {
        if (c == '\r' || c == '\n') ++lines, fields = 1;
        if (c == '\t' && ++fields > widest) widest = fields;
    }
    if (lines * widest > 20000) return;
    TStringGridQx grid(nullptr);
    grid.vReadASCIIFromString(text.data(), static_cast<unsigned>(text.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzRecords(data, size);
    fuzzBlock(data, size);
    fuzzText(data, size);
    return 0;
}
