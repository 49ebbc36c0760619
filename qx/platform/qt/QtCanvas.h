// A TCanvas for Qt: paints with a QPainter (the Qt widget set hands it to PaintTo), or, made
// without one, only measures (drawing calls do nothing) for code that measures outside
// painting. Either way text is measured with Qt's font metrics of the canvas's Font, so a
// width measured outside painting equals the one measured while painting. Text is laid out
// without shaping or kerning, so its width is the sum of its characters' advances: measuring
// costs a table look-up per character.
//
// Ownership: the painter is not owned and must stay active while the canvas is used.
// Threads: the thread that owns the QApplication.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>

#include "qx/platform/Graphics.h"

class QPainter;

namespace qx::qt {

class TQtCanvas : public TCanvas {
  public:
    explicit TQtCanvas(QPainter& painter) : p_(&painter) {}
    TQtCanvas() = default;

    void FillRect(const TRect& r) override;
    void TextOut(int x, int y, const AnsiString& text) override;
    // Measured with the font TextOut paints with.
    int TextWidth(const AnsiString& text) override;
    int TextHeight(const AnsiString& text) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;

    static QFont ToQFont(const TFont& font);
    static QColor ToQColor(TColor color);

    // A font with its metrics and the advance of each code page 1252 character, made once
    // per face, size and style for the whole process (the colour does not change metrics).
    struct TFontEntry;

  private:
    TFontEntry& fontEntry();

    QPainter* p_ = nullptr;
    TFontEntry* last_ = nullptr;
    TFont lastFont_;
};

}  // namespace qx::qt
