#pragma once

#include <QFont>
#include <QImage>
#include <QPalette>
#include <QtGlobal>

namespace tavlo {

// Colours as the components keep them: 0x00BBGGRR, red in the low byte. A value with the
// top bit set refers to a system colour (its low bits are the classic system colour index).
using OleColor = quint32;

constexpr OleColor RGB(int red, int green, int blue)
{
    return OleColor(red & 0xFF) | (OleColor(green & 0xFF) << 8) | (OleColor(blue & 0xFF) << 16);
}
constexpr int redOf(OleColor c) { return int(c & 0xFF); }
constexpr int greenOf(OleColor c) { return int((c >> 8) & 0xFF); }
constexpr int blueOf(OleColor c) { return int((c >> 16) & 0xFF); }

constexpr OleColor SystemColorFlag = 0x80000000u;
constexpr OleColor SystemColor(int index) { return SystemColorFlag | OleColor(index); }

// The classic system colour indices the components resolve from the palette.
enum SysColorIndex : int {
    COLOR_WINDOW = 5,
    COLOR_WINDOWTEXT = 8,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
};

// A rectangle with its right and bottom edge excluded.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const Rect &, const Rect &) = default;
};

// The state a drawing target carries between calls, as a device context does: a caption
// leaves the background mode transparent, and later hatch fills see that.
struct DrawContext {
    QImage *image = nullptr;
    bool transparentBackground = false;
    OleColor backgroundColor = RGB(255, 255, 255);
    OleColor textColor = RGB(0, 0, 0);
};

namespace gdi {

// Nearest whole number, halves to the even neighbour; clamped to the int range.
int Nearest(double x);

OleColor TranslateColor(OleColor c, const QPalette &palette);
OleColor LightenColor(OleColor c, int amount);
OleColor BlendColor(OleColor c1, OleColor c2, int ratio, const QPalette &palette);
QRgb toQRgb(OleColor resolved);

// Primitives with the classic pixel rules; everything is clipped to the image.
void FillRect(DrawContext &dc, const Rect &r, OleColor resolved);
void FrameRect(DrawContext &dc, const Rect &r, OleColor resolved);
void LineTo(DrawContext &dc, int x0, int y0, int x1, int y1, OleColor resolved); // end excluded
void SetPixelV(DrawContext &dc, int x, int y, OleColor resolved);

enum EdgeBorder : int {
    BDR_RAISEDOUTER = 1,
    BDR_SUNKENOUTER = 2,
    BDR_RAISEDINNER = 4,
    BDR_SUNKENINNER = 8,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
    EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,
};
// The four sides of a 3D border (BF_RECT) from the palette's 3D colours; the middle is left.
void DrawEdge(DrawContext &dc, const Rect &r, int edge, const QPalette &palette);

// Hatch styles 0 (horizontal) to 5 (diagonal cross), 8x8 from the context's origin. Gaps
// take the context's background colour unless its background mode is transparent.
// Returns false (and draws nothing) for any other style.
bool FillHatch(DrawContext &dc, const Rect &r, int style, OleColor resolved);

// Tiles pattern over (x, y, width, height), anchored at the context's origin.
void PatBlt(DrawContext &dc, int x, int y, int width, int height, const QImage &pattern);

} // namespace gdi
} // namespace tavlo
