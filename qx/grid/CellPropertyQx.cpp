#include "qx/grid/CellPropertyQx.h"

TCellPropertyQx::TCellPropertyQx(const TCellPropertyQx& source) : TObject() {
    *this = source;
}

TCellPropertyQx::~TCellPropertyQx() = default;

TCellPropertyQx& TCellPropertyQx::operator=(const TCellPropertyQx& source) {
    if (this == &source) return *this;
    vAssign(source, TAssign{});
    bCanEdit = source.bCanEdit;
    return *this;
}

void TCellPropertyQx::vAssign(const TCellPropertyQx& source, const TAssign& which) {
    if (this == &source) return;
    if (which.bAdjust) eAdjust = source.eAdjust;
    if (which.bFontSize) eFontSize = source.eFontSize;
    if (which.bFontColor) eFontColor = source.eFontColor;
    if (which.bBKColor) eBKColor = source.eBKColor;
}

int TCellPropertyQx::iGetFontSize() const {
    switch (eFontSize) {
        case eFontSmall:
            return 6;
        case eFontMedium:
            return 8;
        default:
            return 10;
    }
}

TColor TCellPropertyQx::iEnum2TColor(eColorQx color, bool bBackground) {
    struct TPair {
        TColor background, text;
    };
    static constexpr TPair kColors[] = {
        {0x000000, 0x000000}, {0xAAAAAA, 0xAAAAAA}, {0xC8C8C8, 0xC8C8C8}, {0xFFC8C8, 0xFF0000},
        {0xC8FFC8, 0x00AA00}, {0xC8C8FF, 0x0000FF}, {0xAAFFFF, 0x00FFFF}, {0xFFFFFF, 0xFFFFFF},
    };
    if (color >= std::size(kColors)) return clBlack;
    return bBackground ? kColors[color].background : kColors[color].text;
}

void TCellPropertyQx::vWrite2Stream(TStream& stream) const {
    const unsigned char head[] = {kRecordVersion, eAdjust,
                                  eFontSize,      eFontColor,
                                  eBKColor,       static_cast<unsigned char>(bCanEdit ? 1 : 0)};
    for (unsigned char b : head) stream.Write(&b, 1);
    stream.Write(sHidden.c_str(), static_cast<long>(sHidden.size() + 1));
}

void TCellPropertyQx::vReadFromStream(TStream& stream) {
    unsigned char b = 0;
    if (stream.Read(&b, 1) != 1 || b != kRecordVersion) return;
    unsigned char* const fields[] = {
        reinterpret_cast<unsigned char*>(&eAdjust), reinterpret_cast<unsigned char*>(&eFontSize),
        reinterpret_cast<unsigned char*>(&eFontColor), reinterpret_cast<unsigned char*>(&eBKColor)};
    for (unsigned char* f : fields)
        if (stream.Read(f, 1) != 1) return;
    if (stream.Read(&b, 1) != 1) return;
    bCanEdit = b != 0;
    std::string hidden;
    char c = 0;
    while (stream.Read(&c, 1) == 1 && c != '\0')
        if (hidden.size() < kHiddenMax) hidden.push_back(c);
    sHidden = std::move(hidden);
}

TColumnPropertyQx::~TColumnPropertyQx() = default;

TColumnPropertyQx& TColumnPropertyQx::operator=(const TColumnPropertyQx& source) {
    if (this == &source) return *this;
    TCellPropertyQx::operator=(source);
    bAutomaticWidth = source.bAutomaticWidth;
    return *this;
}

TLinePropertyQx::~TLinePropertyQx() = default;

TLinePropertyQx& TLinePropertyQx::operator=(const TLinePropertyQx& source) {
    if (this == &source) return *this;
    TCellPropertyQx::operator=(source);
    bAutomaticHeight = source.bAutomaticHeight;
    return *this;
}
