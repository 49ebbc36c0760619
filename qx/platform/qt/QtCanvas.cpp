#include "qx/platform/qt/QtCanvas.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <map>
#include <QPainter>
#include <QString>

#include "qx/platform/Codepage.h"

namespace qx::qt {

namespace {
QString toQ(const AnsiString& s) { return QString::fromStdString(qx::platform::Cp1252ToUtf8(s)); }
}  // namespace

QFont TQtCanvas::ToQFont(const TFont& font) {
    static std::map<AnsiString, bool> installed;
    auto it = installed.find(font.Name);
    const QString family = QString::fromStdString(qx::platform::Cp1252ToUtf8(font.Name));
    if (it == installed.end()) it = installed.emplace(font.Name, QFontDatabase::hasFamily(family)).first;
    QFont f(family);
    if (!it->second) {
        // The framework's face names rarely exist here. Forms are laid out for narrow faces:
        // ask for a semi-condensed sans face so that captions fit their controls.
        f.setStyleHint(QFont::SansSerif);
        f.setStretch(QFont::SemiCondensed);
    }
    // Sizes are pixels at 96 dpi in the framework, whatever the screen's resolution.
    f.setPixelSize(std::max(1, -font.Height()));
    f.setBold(font.Style & fsBold);
    f.setItalic(font.Style & fsItalic);
    f.setUnderline(font.Style & fsUnderline);
    f.setStrikeOut(font.Style & fsStrikeOut);
    return f;
}

QColor TQtCanvas::ToQColor(TColor color) {
    const TColor c = ColorToRGB(color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

void TQtCanvas::FillRect(const TRect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    p_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p_.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), ToQColor(Brush.Color));
}

void TQtCanvas::TextOut(int x, int y, const AnsiString& text) {
    const QFont f = ToQFont(Font);
    p_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p_.setFont(f);
    p_.setPen(ToQColor(Font.Color));
    const QFontMetrics fm(f);
    const QString s = toQ(text);
    // y is the top of the text line, as the framework's TextOut has it.
    p_.drawText(x, y + fm.ascent(), s);
    penPos_ = {x + fm.horizontalAdvance(s), y};
}

int TQtCanvas::TextWidth(const AnsiString& text) {
    return QFontMetrics(ToQFont(Font)).horizontalAdvance(toQ(text));
}

int TQtCanvas::TextHeight(const AnsiString&) { return QFontMetrics(ToQFont(Font)).height(); }

void TQtCanvas::MoveTo(int x, int y) { penPos_ = {x, y}; }

void TQtCanvas::LineTo(int x, int y) {
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (Pen.Mode) {
        case pmCopy: break;
        case pmMaskPenNot: mode = QPainter::RasterOp_NotSourceAndDestination; break;
        case pmNot: mode = QPainter::RasterOp_NotDestination; break;
        case pmXor: mode = QPainter::RasterOp_SourceXorDestination; break;
    }
    p_.setCompositionMode(mode);
    QPen pen(ToQColor(Pen.Color));
    pen.setWidth(std::max(1, Pen.Width));
    pen.setCapStyle(Qt::FlatCap);
    p_.setPen(pen);
    const TPoint from = penPos_;
    // The framework's LineTo leaves out the end point; for straight lines leave it out too,
    // so that raster-op lines meeting at a corner do not cancel each other there.
    int ex = x, ey = y;
    if (from.y == y && from.x != x) ex += x > from.x ? -1 : 1;
    else if (from.x == x && from.y != y) ey += y > from.y ? -1 : 1;
    if (from.x != x || from.y != y) p_.drawLine(from.x, from.y, ex, ey);
    p_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    penPos_ = {x, y};
}

}  // namespace qx::qt
