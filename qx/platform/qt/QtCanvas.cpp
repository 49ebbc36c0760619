#include "qx/platform/qt/QtCanvas.h"

#include <QFontDatabase>
#include <QPainter>
#include <QString>
#include <QCoreApplication>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "qx/platform/Codepage.h"
#include "qx/platform/qt/internal/QtSupport.h"

namespace qx::qt {

struct TQtCanvas::TFontEntry {
    explicit TFontEntry(const TFont& f) : font(ToQFont(f)), metrics(font), metricsF(font) {
        advance.fill(-1);
    }
    QFont font;
    QFontMetrics metrics;
    QFontMetricsF metricsF;
    std::array<double, 256> advance;  // -1: not measured yet
};

namespace {
using TFontKey = std::tuple<std::string, int, unsigned>;

// The process-wide fonts. Never destroyed: fonts must not outlive the QApplication's font
// database at exit, and a new application (as in tests) starts a new cache.
std::map<TFontKey, std::unique_ptr<TQtCanvas::TFontEntry>>& fontCache() {
    static auto* cache = new std::map<TFontKey, std::unique_ptr<TQtCanvas::TFontEntry>>;
    static const QCoreApplication* owner = nullptr;
    if (owner != QCoreApplication::instance()) {
        owner = QCoreApplication::instance();
        cache->clear();
    }
    return *cache;
}
}  // namespace

QFont TQtCanvas::ToQFont(const TFont& font) {
    static std::map<AnsiString, bool> installed;
    auto it = installed.find(font.Name);
    const QString family = toQ(font.Name);
    if (it == installed.end())
        it = installed.emplace(font.Name, QFontDatabase::hasFamily(family)).first;
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
    // Characters keep their own advances: no kerning or ligatures, so a text is as wide as
    // its characters added up, which lets the canvas measure from a table.
    f.setKerning(false);
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

QColor TQtCanvas::ToQColor(TColor color) {
    const TColor c = ColorToRGB(color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

TQtCanvas::TFontEntry& TQtCanvas::fontEntry() {
    if (last_ && lastFont_.Size == Font.Size && lastFont_.Style == Font.Style &&
        lastFont_.Name == Font.Name)
        return *last_;
    auto& cache = fontCache();
    auto& entry = cache[TFontKey{Font.Name, Font.Size, Font.Style}];
    if (!entry) entry = std::make_unique<TFontEntry>(Font);
    last_ = entry.get();
    lastFont_ = Font;
    return *entry;
}

void TQtCanvas::FillRect(const TRect& r) {
    if (!p_ || r.Width() <= 0 || r.Height() <= 0) return;
    p_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p_->fillRect(QRect(r.left, r.top, r.Width(), r.Height()), ToQColor(Brush.Color));
}

void TQtCanvas::TextOut(int x, int y, const AnsiString& text) {
    const TFontEntry& f = fontEntry();
    const QString s = toQ(text);
    if (p_) {
        p_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p_->setFont(f.font);
        p_->setPen(ToQColor(Font.Color));
        // y is the top of the text line, as the framework's TextOut has it.
        p_->drawText(x, y + f.metrics.ascent(), s);
    }
    penPos_ = {x + TextWidth(text), y};
}

int TQtCanvas::TextWidth(const AnsiString& text) {
    TFontEntry& f = fontEntry();
    double width = 0;
    for (const char c : text) {
        double& a = f.advance[static_cast<unsigned char>(c)];
        if (a < 0) a = f.metricsF.horizontalAdvance(toQ(AnsiString(1, c)));
        width += a;
    }
    return static_cast<int>(std::lround(width));
}

int TQtCanvas::TextHeight(const AnsiString&) {
    return fontEntry().metrics.height();
}

void TQtCanvas::MoveTo(int x, int y) {
    penPos_ = {x, y};
}

void TQtCanvas::LineTo(int x, int y) {
    if (!p_) {
        penPos_ = {x, y};
        return;
    }
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (Pen.Mode) {
        case pmCopy:
            break;
        case pmMaskPenNot:
            mode = QPainter::RasterOp_NotSourceAndDestination;
            break;
        case pmNot:
            mode = QPainter::RasterOp_NotDestination;
            break;
        case pmXor:
            mode = QPainter::RasterOp_SourceXorDestination;
            break;
    }
    p_->setCompositionMode(mode);
    QPen pen(ToQColor(Pen.Color));
    pen.setWidth(std::max(1, Pen.Width));
    pen.setCapStyle(Qt::FlatCap);
    p_->setPen(pen);
    const TPoint from = penPos_;
    // The framework's LineTo leaves out the end point; for straight lines leave it out too,
    // so that raster-op lines meeting at a corner do not cancel each other there.
    int ex = x, ey = y;
    if (from.y == y && from.x != x)
        ex += x > from.x ? -1 : 1;
    else if (from.x == x && from.y != y)
        ey += y > from.y ? -1 : 1;
    if (from.x != x || from.y != y) p_->drawLine(from.x, from.y, ex, ey);
    p_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    penPos_ = {x, y};
}

}  // namespace qx::qt
