#include "qx/platform/Graphics.h"

TColor ColorToRGB(TColor c) {
    if (c >= 0) return c & 0xFFFFFF;
    switch (c & 0xFF) {
        case 0x05:
            return clWhite;  // window
        case 0x08:
            return clBlack;  // window text
        case 0x0D:
            return RGB(0x00, 0x78, 0xD7);  // highlight
        case 0x0E:
            return clWhite;  // highlight text
        case 0x0F:
            return RGB(0xF0, 0xF0, 0xF0);  // button face
        default:
            return clSilver;
    }
}

TCanvas::~TCanvas() = default;

int TRecordingCanvas::CharWidth(int points) {
    return points <= 0 ? 1 : (points * 3 + 2) / 4;
}
int TRecordingCanvas::LineHeight(int points) {
    return points <= 1 ? 1 : 2 * points - 3;
}

void TRecordingCanvas::add(Op op, TRect r, TPoint p, const AnsiString& text) {
    records_.push_back({op, r, p, text, Brush, Pen, Font});
}

void TRecordingCanvas::FillRect(const TRect& r) {
    add(Op::FillRect, r, {}, {});
}

void TRecordingCanvas::TextOut(int x, int y, const AnsiString& text) {
    add(Op::TextOut, {}, {x, y}, text);
    penPos_ = {x + TextWidth(text), y};
}

int TRecordingCanvas::TextWidth(const AnsiString& text) {
    return static_cast<int>(text.size()) * CharWidth(Font.Size);
}

int TRecordingCanvas::TextHeight(const AnsiString&) {
    return LineHeight(Font.Size);
}

void TRecordingCanvas::MoveTo(int x, int y) {
    add(Op::MoveTo, {}, {x, y}, {});
    penPos_ = {x, y};
}

void TRecordingCanvas::LineTo(int x, int y) {
    add(Op::LineTo, {}, {x, y}, {});
    penPos_ = {x, y};
}
