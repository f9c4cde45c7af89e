#pragma once

#include <QRect>

namespace tavlo {

// Layout values are written in twips, 1/1440 inch; at 96 dots per inch 15 of them make a pixel.
constexpr int TwipsPerPixel = 15;

// Whole pixels for a length in twips, to the nearest pixel. Halves cannot occur: 15 is odd.
constexpr int twips(int value)
{
    const long long v = value;
    const long long half = TwipsPerPixel / 2;
    return static_cast<int>(v >= 0 ? (v + half) / TwipsPerPixel : -((-v + half) / TwipsPerPixel));
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

} // namespace tavlo
