#pragma once

#include <QRect>

#include <cmath>

namespace tavlo {

// Window layout values are in twips; 15 twips make one pixel at 96 dots per inch.
constexpr int twips(int value)
{
    return static_cast<int>(value >= 0 ? (value + 7) / 15 : -((-value + 7) / 15));
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

} // namespace tavlo
