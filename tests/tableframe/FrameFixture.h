// Shared set-up of the table frame tests: a frame with a small table of four typed columns.
#pragma once

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "qx/tableframe/QxTableFrame.h"

namespace qx::test {

inline TQxTable::TItem item(const char* name, TH5Type::TDataTyp type, unsigned offset,
                            unsigned stringSize = 0, const char* format = "") {
    TQxTable::TItem c;
    c.sName = name;
    c.sEinheit = std::string("u") + name;
    c.eTyp = type;
    c.uOffset = offset;
    c.uStringSize = stringSize;
    c.sFormat = format;
    return c;
}

// Line layout of the standard table: Name (string, 8 bytes), Byte (UChar at 8), Long (at 9),
// Value (double at 13): 21 bytes.
constexpr int kLineSize = 21;

inline std::vector<unsigned char> line(const char* name, unsigned char b, int l, double v) {
    std::vector<unsigned char> d(kLineSize, 0);
    std::strncpy(reinterpret_cast<char*>(d.data()), name, 7);
    d[8] = b;
    std::memcpy(d.data() + 9, &l, 4);
    std::memcpy(d.data() + 13, &v, 8);
    return d;
}

class FrameTest : public ErrorStateTest {
  protected:
    void SetUp() override {
        ErrorStateTest::SetUp();
        frame = std::make_unique<TQxTableFrame>(nullptr);
    }
    void TearDown() override {
        frame.reset();
        ErrorStateTest::TearDown();
    }
    // The standard columns, in a frame of line size 21.
    void vColumns(TQxTableFrame& f) {
        f.vSetLineSize(kLineSize);
        f.vAppendColumn(item("Name", TH5Type::eTypString, 0, 8));
        f.vAppendColumn(item("Byte", TH5Type::eTypUChar, 8));
        f.vAppendColumn(item("Long", TH5Type::eTypLong, 9));
        f.vAppendColumn(item("Value", TH5Type::eTypDouble, 13, 0, "%t4-"));
    }
    void vStandard(int lines = 2) {
        vColumns(*frame);
        for (int i = 0; i < lines; ++i) {
            const auto d = line(("n" + std::to_string(i)).c_str(),
                                static_cast<unsigned char>(i + 7), -i, i * 1.5);
            frame->vAppendLine(d.data());
        }
    }
    // The code a call raises (0 when none); the error list is cleared.
    static unsigned long code(const std::function<void()>& f) {
        try {
            f();
        } catch (unsigned long c) {
            qx::deleteError();
            return c;
        }
        return 0;
    }
    std::string cell(int row, int col) { return frame->StringGridQx->cpGetCellString(row, col); }
    // Types into a data cell and raises the grid's edit event, as the grid does when it draws it.
    bool type(int row, int col, const char* text) {
        frame->StringGridQx->vSetCellString(row, col, text);
        return frame->StringGridQxECellContentChanged(row, col);
    }
    std::vector<unsigned char> bytes(int at) {
        std::vector<unsigned char> d(static_cast<std::size_t>(frame->iGetLineSize()));
        frame->vGetLine(at, reinterpret_cast<char*>(d.data()));
        return d;
    }
    // Every line of the table refers to its own buffer, in order.
    void expectBound(const TQxTableFrame& f) {
        ASSERT_EQ(f.tTable.uGetLineNumber(), f.vLineBuffers.size());
        for (std::size_t i = 0; i < f.vLineBuffers.size(); ++i)
            EXPECT_EQ(f.tTable.vLines[i], f.vLineBuffers[i].get());
    }

    std::unique_ptr<TQxTableFrame> frame;
};

}  // namespace qx::test
