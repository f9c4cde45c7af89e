#include "components/GdiCanvas.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tavlo::gdi {

int Nearest(double x)
{
    if (std::isnan(x))
        return 0;
    // nearbyint follows the default rounding mode: to nearest, ties to even.
    const double r = std::nearbyint(x);
    if (r >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (r <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(r);
}

OleColor TranslateColor(OleColor c, const QPalette &palette)
{
    if (!(c & SystemColorFlag))
        return c;
    QColor q;
    switch (int(c & 0xFF)) {
    case COLOR_WINDOW: q = palette.color(QPalette::Active, QPalette::Base); break;
    case COLOR_WINDOWTEXT: q = palette.color(QPalette::Active, QPalette::WindowText); break;
    case COLOR_HIGHLIGHT: q = palette.color(QPalette::Active, QPalette::Highlight); break;
    case COLOR_HIGHLIGHTTEXT: q = palette.color(QPalette::Active, QPalette::HighlightedText); break;
    case COLOR_BTNFACE: q = palette.color(QPalette::Active, QPalette::Button); break;
    case COLOR_BTNSHADOW: q = palette.color(QPalette::Active, QPalette::Dark); break;
    case COLOR_GRAYTEXT: q = palette.color(QPalette::Disabled, QPalette::Text); break;
    case COLOR_BTNTEXT: q = palette.color(QPalette::Active, QPalette::ButtonText); break;
    case COLOR_BTNHIGHLIGHT: q = palette.color(QPalette::Active, QPalette::Light); break;
    case COLOR_3DDKSHADOW: q = palette.color(QPalette::Active, QPalette::Shadow); break;
    case COLOR_3DLIGHT: q = palette.color(QPalette::Active, QPalette::Midlight); break;
    default: return 0; // an unknown index reads as black
    }
    return RGB(q.red(), q.green(), q.blue());
}

OleColor LightenColor(OleColor c, int amount)
{
    auto channel = [amount](int x) { return std::min(255, ((255 - amount) * x) / 255 + amount); };
    return RGB(channel(redOf(c)), channel(greenOf(c)), channel(blueOf(c)));
}

OleColor BlendColor(OleColor c1, OleColor c2, int ratio, const QPalette &palette)
{
    c1 = TranslateColor(c1, palette);
    c2 = TranslateColor(c2, palette);
    auto channel = [ratio](int x1, int x2) {
        return Nearest((255 - ratio) * double(x2) / 255.0 + double(x1) * ratio / 255.0);
    };
    return RGB(channel(redOf(c1), redOf(c2)), channel(greenOf(c1), greenOf(c2)), channel(blueOf(c1), blueOf(c2)));
}

QRgb toQRgb(OleColor c)
{
    return qRgb(redOf(c), greenOf(c), blueOf(c));
}

namespace {

// Clips r to the image; false when nothing of it is left.
bool clip(const DrawContext &dc, Rect &r)
{
    if (!dc.image || dc.image->isNull())
        return false;
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, dc.image->width());
    r.bottom = std::min(r.bottom, dc.image->height());
    return r.left < r.right && r.top < r.bottom;
}

void put(DrawContext &dc, int x, int y, QRgb c)
{
    if (dc.image && x >= 0 && y >= 0 && x < dc.image->width() && y < dc.image->height())
        reinterpret_cast<QRgb *>(dc.image->scanLine(y))[x] = c;
}

} // namespace

void FillRect(DrawContext &dc, const Rect &rect, OleColor resolved)
{
    Rect r = rect;
    if (!clip(dc, r))
        return;
    const QRgb c = toQRgb(resolved);
    for (int y = r.top; y < r.bottom; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(dc.image->scanLine(y));
        std::fill(line + r.left, line + r.right, c);
    }
}

void FrameRect(DrawContext &dc, const Rect &r, OleColor resolved)
{
    if (r.left >= r.right || r.top >= r.bottom)
        return;
    FillRect(dc, {r.left, r.top, r.right, r.top + 1}, resolved);
    FillRect(dc, {r.left, r.bottom - 1, r.right, r.bottom}, resolved);
    FillRect(dc, {r.left, r.top, r.left + 1, r.bottom}, resolved);
    FillRect(dc, {r.right - 1, r.top, r.right, r.bottom}, resolved);
}

void LineTo(DrawContext &dc, int x0, int y0, int x1, int y1, OleColor resolved)
{
    const QRgb c = toQRgb(resolved);
    // One past a coordinate, kept inside the int range (nothing is drawn that far out anyway).
    auto next = [](int v) { return v == INT_MAX ? v : v + 1; };
    if (y0 == y1) {
        if (x0 <= x1)
            FillRect(dc, {x0, y0, x1, next(y0)}, resolved);
        else
            FillRect(dc, {next(x1), y0, next(x0), next(y0)}, resolved);
        return;
    }
    if (x0 == x1) {
        if (y0 <= y1)
            FillRect(dc, {x0, y0, next(x0), y1}, resolved);
        else
            FillRect(dc, {x0, next(y1), next(x0), next(y0)}, resolved);
        return;
    }
    // Slanted lines step along their longer axis, only over the part that can reach the
    // image, with the other coordinate rounded from the exact slope; the end point is left out.
    if (!dc.image || dc.image->isNull())
        return;
    const long long dx = static_cast<long long>(x1) - x0;
    const long long dy = static_cast<long long>(y1) - y0;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long major = xMajor ? dx : dy;
    const long long minor = xMajor ? dy : dx;
    const long long start = xMajor ? x0 : y0;
    const long long other = xMajor ? y0 : x0;
    const long long extent = xMajor ? dc.image->width() : dc.image->height();
    const int step = major > 0 ? 1 : -1;
    const long long steps = std::llabs(major); // 0 .. steps - 1 are drawn
    // Steps k for which start + step * k lies inside 0 .. extent - 1.
    long long first = step > 0 ? -start : start - (extent - 1);
    long long last = step > 0 ? extent - 1 - start : start;
    first = std::max(first, 0LL);
    last = std::min(last, steps - 1);
    for (long long k = first; k <= last; ++k) {
        const long long q = std::llround(static_cast<long double>(minor) * k / steps);
        const long long a = start + step * k;
        const long long b = other + q;
        if (xMajor)
            put(dc, int(a), b < 0 || b > INT_MAX ? -1 : int(b), c);
        else
            put(dc, b < 0 || b > INT_MAX ? -1 : int(b), int(a), c);
    }
}

void SetPixelV(DrawContext &dc, int x, int y, OleColor resolved)
{
    put(dc, x, y, toQRgb(resolved));
}

void DrawEdge(DrawContext &dc, const Rect &r, int edge, const QPalette &palette)
{
    auto sys = [&palette](int index) { return TranslateColor(SystemColor(index), palette); };
    // One ring: the top and left side in one colour, the bottom and right side (with the
    // two corners they share with the others) in the other.
    auto ring = [&dc](const Rect &q, OleColor topLeft, OleColor bottomRight) {
        if (q.left >= q.right || q.top >= q.bottom)
            return;
        FillRect(dc, {q.left, q.top, q.right - 1, q.top + 1}, topLeft);
        FillRect(dc, {q.left, q.top, q.left + 1, q.bottom - 1}, topLeft);
        FillRect(dc, {q.left, q.bottom - 1, q.right, q.bottom}, bottomRight);
        FillRect(dc, {q.right - 1, q.top, q.right, q.bottom}, bottomRight);
    };
    if (r.left >= r.right || r.top >= r.bottom)
        return;
    if (edge & BDR_RAISEDOUTER)
        ring(r, sys(COLOR_3DLIGHT), sys(COLOR_3DDKSHADOW));
    else if (edge & BDR_SUNKENOUTER)
        ring(r, sys(COLOR_BTNSHADOW), sys(COLOR_BTNHIGHLIGHT));
    const Rect inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    if (edge & BDR_RAISEDINNER)
        ring(inner, sys(COLOR_BTNHIGHLIGHT), sys(COLOR_BTNSHADOW));
    else if (edge & BDR_SUNKENINNER)
        ring(inner, sys(COLOR_3DDKSHADOW), sys(COLOR_3DLIGHT));
}

bool FillHatch(DrawContext &dc, const Rect &rect, int style, OleColor resolved)
{
    // One byte per row, the high bit is the left pixel of the 8x8 cell.
    static constexpr unsigned char patterns[6][8] = {
        {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF}, // horizontal
        {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08}, // vertical
        {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // forward diagonal
        {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // backward diagonal
        {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0xFF}, // cross
        {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // diagonal cross
    };
    if (style < 0 || style > 5)
        return false;
    Rect r = rect;
    if (!clip(dc, r))
        return true;
    const QRgb fore = toQRgb(resolved);
    const QRgb back = toQRgb(dc.backgroundColor);
    for (int y = r.top; y < r.bottom; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(dc.image->scanLine(y));
        const unsigned char bits = patterns[style][y & 7];
        for (int x = r.left; x < r.right; ++x) {
            if (bits & (0x80 >> (x & 7)))
                line[x] = fore;
            else if (!dc.transparentBackground)
                line[x] = back;
        }
    }
    return true;
}

void PatBlt(DrawContext &dc, int x, int y, int width, int height, const QImage &pattern)
{
    if (pattern.isNull() || width <= 0 || height <= 0)
        return;
    Rect r{x, y, int(std::min<long long>(std::numeric_limits<int>::max(), static_cast<long long>(x) + width)),
           int(std::min<long long>(std::numeric_limits<int>::max(), static_cast<long long>(y) + height))};
    if (!clip(dc, r))
        return;
    const QImage tile = pattern.convertToFormat(QImage::Format_RGB32);
    const int tw = tile.width();
    const int th = tile.height();
    for (int py = r.top; py < r.bottom; ++py) {
        QRgb *line = reinterpret_cast<QRgb *>(dc.image->scanLine(py));
        const QRgb *src = reinterpret_cast<const QRgb *>(tile.constScanLine(py % th));
        for (int px = r.left; px < r.right; ++px)
            line[px] = src[px % tw];
    }
}

} // namespace tavlo::gdi
