// A TCanvas that paints with a QPainter: the Qt widget set hands it to PaintTo.
#pragma once

#include <QColor>
#include <QFont>

#include "qx/platform/Graphics.h"

class QPainter;

namespace qx::qt {

class TQtCanvas : public TCanvas {
public:
    // The painter must stay active while the canvas is used.
    explicit TQtCanvas(QPainter& painter) : p_(painter) {}

    void FillRect(const TRect& r) override;
    void TextOut(int x, int y, const AnsiString& text) override;
    // Measured with the font TextOut paints with.
    int TextWidth(const AnsiString& text) override;
    int TextHeight(const AnsiString& text) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;

    static QFont ToQFont(const TFont& font);
    static QColor ToQColor(TColor color);

private:
    QPainter& p_;
};

}  // namespace qx::qt
