#include "components/PixelCanvas.h"

#include "components/BgrColor.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tavlo {

PixelCanvas::PixelCanvas(QImage &image, const QRect &area, State &state)
    : m_image(image)
    , m_origin(area.topLeft())
    , m_clip(area.intersected(image.rect()))
    , m_state(state)
{
    if (!m_clip.isEmpty()) {
        m_bits = image.bits();
        m_stride = image.bytesPerLine();
    }
}

int PixelCanvas::nearest(double x)
{
    if (std::isnan(x))
        return 0;
    // rint follows the default rounding mode, to nearest with ties to even, like nearbyint,
    // without the cost of keeping the inexact flag untouched.
    const double r = std::rint(x);
    if (r >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (r <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(r);
}

bool PixelCanvas::toImage(long long left, long long top, long long right, long long bottom, QRect &out) const
{
    if (m_clip.isEmpty())
        return false;
    left = std::max<long long>(left + m_origin.x(), m_clip.left());
    top = std::max<long long>(top + m_origin.y(), m_clip.top());
    right = std::min<long long>(right + m_origin.x(), m_clip.right() + 1LL);
    bottom = std::min<long long>(bottom + m_origin.y(), m_clip.bottom() + 1LL);
    if (left >= right || top >= bottom)
        return false;
    out = QRect(int(left), int(top), int(right - left), int(bottom - top));
    return true;
}

void PixelCanvas::put(long long x, long long y, QRgb color)
{
    x += m_origin.x();
    y += m_origin.y();
    if (x >= m_clip.left() && x <= m_clip.right() && y >= m_clip.top() && y <= m_clip.bottom())
        line(int(y))[x] = color;
}

void PixelCanvas::fillRect(int left, int top, int right, int bottom, QRgb color)
{
    QRect r;
    if (!toImage(left, top, right, bottom, r))
        return;
    QRgb *row = line(r.top()) + r.left();
    const qsizetype step = m_stride / qsizetype(sizeof(QRgb));
    if (r.width() == 1) { // a column, as the column gradients draw them
        for (int y = 0; y < r.height(); ++y, row += step)
            *row = color;
        return;
    }
    for (int y = 0; y < r.height(); ++y, row += step)
        std::fill(row, row + r.width(), color);
}

void PixelCanvas::frameRect(int left, int top, int right, int bottom, QRgb color)
{
    if (left >= right || top >= bottom)
        return;
    fillRect(left, top, right, top + 1, color);
    fillRect(left, bottom - 1, right, bottom, color);
    fillRect(left, top, left + 1, bottom, color);
    fillRect(right - 1, top, right, bottom, color);
}

void PixelCanvas::drawLine(int x0, int y0, int x1, int y1, QRgb color)
{
    // One past a coordinate, kept inside the int range (nothing is drawn that far out anyway).
    auto next = [](int v) { return v == std::numeric_limits<int>::max() ? v : v + 1; };
    if (y0 == y1) {
        if (x0 <= x1)
            fillRect(x0, y0, x1, next(y0), color);
        else
            fillRect(next(x1), y0, next(x0), next(y0), color);
        return;
    }
    if (x0 == x1) {
        if (y0 <= y1)
            fillRect(x0, y0, next(x0), y1, color);
        else
            fillRect(x0, next(y1), next(x0), next(y0), color);
        return;
    }
    if (m_clip.isEmpty())
        return;
    // A slanted line steps along its longer axis, over the part that can reach the clip only,
    // with the other coordinate rounded from the exact slope; the end point is left out.
    const long long dx = static_cast<long long>(x1) - x0;
    const long long dy = static_cast<long long>(y1) - y0;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long major = xMajor ? dx : dy;
    const long long minor = xMajor ? dy : dx;
    const long long start = xMajor ? x0 : y0;
    const long long other = xMajor ? y0 : x0;
    const long long low = xMajor ? m_clip.left() - m_origin.x() : m_clip.top() - m_origin.y();
    const long long high = xMajor ? m_clip.right() - m_origin.x() : m_clip.bottom() - m_origin.y();
    const int step = major > 0 ? 1 : -1;
    const long long steps = std::llabs(major); // 0 .. steps - 1 are drawn
    long long first = step > 0 ? low - start : start - high;
    long long last = step > 0 ? high - start : start - low;
    first = std::max(first, 0LL);
    last = std::min(last, steps - 1);
    for (long long k = first; k <= last; ++k) {
        const long long q = std::llround(static_cast<long double>(minor) * k / steps);
        const long long a = start + step * k;
        if (xMajor)
            put(a, other + q, color);
        else
            put(other + q, a, color);
    }
}

void PixelCanvas::setPixel(int x, int y, QRgb color)
{
    put(x, y, color);
}

void PixelCanvas::drawEdge(int left, int top, int right, int bottom, int edge, const QPalette &palette)
{
    auto sys = [&palette](BgrColor::SystemColor index) { return BgrColor::system(index).color(palette).rgb(); };
    // One ring: the top and left side in one colour, the bottom and right side (with the two
    // corners they share with the others) in the other.
    auto ring = [this](int l, int t, int r, int b, QRgb topLeft, QRgb bottomRight) {
        if (l >= r || t >= b)
            return;
        fillRect(l, t, r - 1, t + 1, topLeft);
        fillRect(l, t, l + 1, b - 1, topLeft);
        fillRect(l, b - 1, r, b, bottomRight);
        fillRect(r - 1, t, r, b, bottomRight);
    };
    if (left >= right || top >= bottom)
        return;
    if (edge & RaisedOuter)
        ring(left, top, right, bottom, sys(BgrColor::Light3D), sys(BgrColor::DarkShadow3D));
    else if (edge & SunkenOuter)
        ring(left, top, right, bottom, sys(BgrColor::ButtonShadow), sys(BgrColor::ButtonHighlight));
    if (edge & RaisedInner)
        ring(left + 1, top + 1, right - 1, bottom - 1, sys(BgrColor::ButtonHighlight), sys(BgrColor::ButtonShadow));
    else if (edge & SunkenInner)
        ring(left + 1, top + 1, right - 1, bottom - 1, sys(BgrColor::DarkShadow3D), sys(BgrColor::Light3D));
}

bool PixelCanvas::fillHatch(int left, int top, int right, int bottom, int style, QRgb color)
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
    QRect r;
    if (!toImage(left, top, right, bottom, r))
        return true;
    const QRgb back = m_state.background;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb *row = line(y);
        const unsigned char bits = patterns[style][(y - m_origin.y()) & 7];
        for (int x = r.left(); x <= r.right(); ++x) {
            if (bits & (0x80 >> ((x - m_origin.x()) & 7)))
                row[x] = color;
            else if (!m_state.transparentBackground)
                row[x] = back;
        }
    }
    return true;
}

void PixelCanvas::tile(int x, int y, int width, int height, const QImage &pattern)
{
    QRect r;
    if (pattern.isNull() || width <= 0 || height <= 0
        || !toImage(x, y, static_cast<long long>(x) + width, static_cast<long long>(y) + height, r))
        return;
    const QImage cell = pattern.convertToFormat(QImage::Format_RGB32);
    const int tw = cell.width();
    const int th = cell.height();
    for (int py = r.top(); py <= r.bottom(); ++py) {
        QRgb *row = line(py);
        const QRgb *src = reinterpret_cast<const QRgb *>(cell.constScanLine((py - m_origin.y()) % th));
        for (int px = r.left(); px <= r.right(); ++px)
            row[px] = src[(px - m_origin.x()) % tw];
    }
}

void PixelCanvas::drawGradient(QRgb from, QRgb to, int x, int y, int a, int b, Lines lines)
{
    const bool columns = lines == Lines::Columns;
    const long long n = columns ? a : b;
    // With no distance to cover the steps stay 0: one line in the first colour.
    float stepRed = 0.0f;
    float stepGreen = 0.0f;
    float stepBlue = 0.0f;
    if (n != 0) {
        stepRed = float(double(qRed(to) - qRed(from)) / double(n));
        stepGreen = float(double(qGreen(to) - qGreen(from)) / double(n));
        stepBlue = float(double(qBlue(to) - qBlue(from)) / double(n));
    }
    // Only the lines that can land in the clip are walked.
    const long long origin = columns ? x : y;
    const long long low = columns ? m_clip.left() - m_origin.x() : m_clip.top() - m_origin.y();
    const long long high = columns ? m_clip.right() - m_origin.x() : m_clip.bottom() - m_origin.y();
    const long long first = std::max(0LL, low - origin);
    const long long last = std::min(n, high - origin);
    for (long long i = first; i <= last; ++i) {
        const double di = double(i);
        const QRgb c = qRgb(nearest(qRed(from) + double(stepRed) * di), nearest(qGreen(from) + double(stepGreen) * di),
                            nearest(qBlue(from) + double(stepBlue) * di));
        if (columns)
            drawLine(int(x + i), y, int(x + i), b, c);
        else
            drawLine(x, int(y + i), a, int(y + i), c);
    }
}

void PixelCanvas::drawText(const QString &text, const QFont &font, const QRect &box, int clipRight)
{
    QRect clip;
    if (!toImage(box.left(), box.top(), clipRight, box.top() + box.height(), clip))
        return;
    QPainter painter(&m_image);
    painter.setFont(font);
    painter.setPen(QColor(m_state.text));
    painter.setClipRect(clip);
    if (!m_state.transparentBackground)
        painter.fillRect(clip, QColor(m_state.background));
    // The text starts at the box's left edge; a narrower clip only cuts it off.
    const int width = std::max(clipRight - box.left(), box.width());
    painter.drawText(QRect(box.left() + m_origin.x(), box.top() + m_origin.y(), width, box.height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

} // namespace tavlo
