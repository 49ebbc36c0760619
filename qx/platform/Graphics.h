// Drawing: colours, font, brush, pen and the canvas interface that controls paint on.
//
// A TCanvas belongs to the control or peer that hands it out and is used on the thread that
// owns the windows. The headless TRecordingCanvas measures text with a fixed metric and
// records every operation, so drawing can be checked exactly in tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "qx/platform/SysUtils.h"

// A colour as 0x00BBGGRR; values with the top bit set name system colours.
using TColor = std::int32_t;

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
constexpr TColor clScrollBar = static_cast<TColor>(0x80000000),
                 clBtnFace = static_cast<TColor>(0x8000000F),
                 clWindow = static_cast<TColor>(0x80000005),
                 clWindowText = static_cast<TColor>(0x80000008),
                 clHighlight = static_cast<TColor>(0x8000000D),
                 clHighlightText = static_cast<TColor>(0x8000000E), clNone = 0x1FFFFFFF;

// The RGB value of a colour; system colours map to a fixed light theme.
TColor ColorToRGB(TColor c);
inline int GetRValue(TColor c) {
    return c & 0xFF;
}
inline int GetGValue(TColor c) {
    return (c >> 8) & 0xFF;
}
inline int GetBValue(TColor c) {
    return (c >> 16) & 0xFF;
}
inline TColor RGB(int r, int g, int b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

struct TPoint {
    int x = 0, y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(TPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool operator==(const TRect&) const = default;
};
inline TRect Rect(int l, int t, int r, int b) {
    return {l, t, r, b};
}

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// Font description; Size in points (positive) or Height in pixels, as the framework has both.
struct TFont {
    AnsiString Name = "MS Sans Serif";
    int Size = 8;
    TColor Color = clWindowText;
    unsigned Style = 0;
    // Pixel height of the font at 96 dpi (negative by the framework's convention).
    int Height() const { return -(Size * 96 + 36) / 72; }
    void SetHeight(int h) { Size = ((h < 0 ? -h : h) * 72 + 48) / 96; }
    bool operator==(const TFont&) const = default;
};

enum TPenMode { pmCopy, pmMaskPenNot, pmNot, pmXor };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenMode Mode = pmCopy;
};

struct TBrush {
    TColor Color = clWhite;
};

// The drawing surface. Brush, pen and font are state that the drawing calls use.
class TCanvas {
  public:
    virtual ~TCanvas();

    TBrush Brush;
    TPen Pen;
    TFont Font;

    virtual void FillRect(const TRect& r) = 0;
    virtual void TextOut(int x, int y, const AnsiString& text) = 0;
    virtual int TextWidth(const AnsiString& text) = 0;
    virtual int TextHeight(const AnsiString& text) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    TPoint PenPos() const { return penPos_; }

  protected:
    TPoint penPos_;
};

// A canvas that draws nothing and records every call. Text is measured with a fixed metric:
// every character is CharWidth(size) pixels wide and a line LineHeight(size) pixels high, so a
// width depends only on the text's length and the font size.
class TRecordingCanvas : public TCanvas {
  public:
    enum class Op { FillRect, TextOut, MoveTo, LineTo };
    struct TRecord {
        Op op;
        TRect rect;       // FillRect
        TPoint point;     // TextOut, MoveTo, LineTo
        AnsiString text;  // TextOut
        TBrush brush;
        TPen pen;
        TFont font;
    };

    void FillRect(const TRect& r) override;
    void TextOut(int x, int y, const AnsiString& text) override;
    int TextWidth(const AnsiString& text) override;
    int TextHeight(const AnsiString& text) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;

    static int CharWidth(int points);
    static int LineHeight(int points);

    const std::vector<TRecord>& Records() const { return records_; }
    void Clear() { records_.clear(); }

  private:
    void add(Op op, TRect r, TPoint p, const AnsiString& text);
    std::vector<TRecord> records_;
};
