#pragma once

#include <QImage>
#include <QPalette>
#include <QPoint>
#include <QRect>

class QFont;
class QString;

namespace tavlo {

// Draws into a QImage with the pixel rules of the classic Windows drawing calls, where
// QPainter would give other pixels: rectangles are (left, top, right, bottom) with the right
// and bottom edge left out, lines leave out their end point, hatches and tiles are anchored
// at the canvas origin. Coordinates count from the top-left of the canvas area; everything
// is clipped to that area and to the image, so no coordinate is too large.
class PixelCanvas {
public:
    // What a Windows device context keeps from one call to the next: a caption drawn with a
    // transparent background leaves it so, and later hatch fills see that.
    struct State {
        bool transparentBackground = false;
        QRgb background = qRgb(255, 255, 255);
        QRgb text = qRgb(0, 0, 0);
    };

    enum Edge : int {
        RaisedOuter = 1,
        SunkenOuter = 2,
        RaisedInner = 4,
        SunkenInner = 8,
        Etched = SunkenOuter | RaisedInner,
        Bump = RaisedOuter | SunkenInner,
    };
    enum class Lines { Rows, Columns };

    PixelCanvas(QImage &image, const QRect &area, State &state);

    State &state() { return m_state; }
    // The image, for measuring text on the device it is drawn on.
    const QImage &image() const { return m_image; }

    void fillRect(int left, int top, int right, int bottom, QRgb color);
    // A one-pixel border just inside the rectangle.
    void frameRect(int left, int top, int right, int bottom, QRgb color);
    // From (x0, y0) towards (x1, y1), the end point left out.
    void drawLine(int x0, int y0, int x1, int y1, QRgb color);
    void setPixel(int x, int y, QRgb color);
    // The four sides of a 3D border in the palette's 3D colours; the middle is left alone.
    void drawEdge(int left, int top, int right, int bottom, int edge, const QPalette &palette);
    // Hatch styles 0 (horizontal) to 5 (diagonal cross) in 8x8 cells; the gaps take the
    // state's background colour unless the background is transparent. Any other style draws
    // nothing and gives false.
    bool fillHatch(int left, int top, int right, int bottom, int style, QRgb color);
    // The pattern repeated over the rectangle at (x, y).
    void tile(int x, int y, int width, int height, const QImage &pattern);
    // N + 1 lines from one colour to the other, N = a for columns, b for rows. Columns run
    // x = x .. x + a, each from y down to b (left out); rows y = y .. y + b, each from x to a
    // (left out). The channel steps are single precision; N = 0 draws one line in `from`.
    void drawGradient(QRgb from, QRgb to, int x, int y, int a, int b, Lines lines);
    // One line of text from the top-left corner of box, clipped to box with its right edge
    // moved to clipRight, in the state's text colour, on the state's background colour unless
    // that is transparent.
    void drawText(const QString &text, const QFont &font, const QRect &box, int clipRight);

    // The nearest int, halves to the even neighbour; clamped to the int range, NaN gives 0.
    static int nearest(double x);

private:
    // The rectangle in image coordinates, clipped; false when nothing is left.
    bool toImage(long long left, long long top, long long right, long long bottom, QRect &out) const;
    void put(long long x, long long y, QRgb color);
    QRgb *line(int y) const { return reinterpret_cast<QRgb *>(m_bits + y * m_stride); }

    QImage &m_image;
    // Taken once: QImage::scanLine() checks for sharing on every call.
    uchar *m_bits = nullptr;
    qsizetype m_stride = 0;
    QPoint m_origin;
    QRect m_clip; // in image coordinates
    State &m_state;
};

} // namespace tavlo
