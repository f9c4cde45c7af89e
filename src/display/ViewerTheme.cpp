#include "display/ViewerTheme.h"

#include <algorithm>

namespace tavlo::display {

ViewerTheme ViewerTheme::of(Kind kind)
{
    ViewerTheme theme;
    theme.kind = kind;
    if (kind == Kind::HighContrast) {
        // White on black, yellow heads: the strongest pairs a screen can show, no picture.
        theme.usesPicture = false;
        theme.backgroundTop = Qt::black;
        theme.backgroundBottom = Qt::black;
        theme.text = Qt::white;
        theme.heading = QColor(0xff, 0xe0, 0x00);
        theme.quiet = QColor(0xd8, 0xd8, 0xd8);
        theme.shadow = Qt::transparent;
        theme.panel = Qt::black;
        theme.panelEdge = Qt::white;
        theme.panelEdgeWidth = 2;
        theme.bannerBackground = QColor(0xff, 0xe0, 0x00);
        theme.bannerText = Qt::black;
        return theme;
    }
    theme.backgroundTop = QColor(0x1b, 0x2a, 0x2f);
    theme.backgroundBottom = QColor(0x0b, 0x10, 0x13);
    theme.text = QColor(0xf4, 0xf1, 0xe8);
    theme.heading = QColor(0xf2, 0xd2, 0x7a);
    theme.quiet = QColor(0xc9, 0xd2, 0xd6);
    theme.shadow = QColor(0, 0, 0, 170);
    theme.panel = QColor(8, 12, 16, 150);
    theme.panelEdge = QColor(255, 255, 255, 38);
    theme.bannerBackground = QColor(0xb0, 0x1e, 0x1e);
    theme.bannerText = Qt::white;
    return theme;
}

QFont ViewerTheme::font(int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(std::max(1, pixelSize));
    font.setBold(bold);
    return font;
}

bool ViewerTheme::kindOf(const QString &word, Kind &kind)
{
    const QString w = word.trimmed().toLower();
    if (w == QLatin1String("standard"))
        kind = Kind::Standard;
    else if (w == QLatin1String("high-contrast"))
        kind = Kind::HighContrast;
    else
        return false;
    return true;
}

QString ViewerTheme::nameOf(Kind kind)
{
    return kind == Kind::HighContrast ? QStringLiteral("high-contrast") : QStringLiteral("standard");
}

} // namespace tavlo::display
