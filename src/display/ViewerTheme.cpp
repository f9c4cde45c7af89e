#include "display/ViewerTheme.h"

#include <QPainter>

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

void ViewerTheme::drawText(QPainter &painter, const QRect &rect, int flags, const QString &text, int pixelSize,
                           const QColor &colour, bool shadowed) const
{
    if (shadowed && shadow.alpha() > 0) {
        const int offset = std::max(1, pixelSize / 16);
        painter.setPen(shadow);
        painter.drawText(rect.translated(offset, offset), flags, text);
    }
    painter.setPen(colour);
    painter.drawText(rect, flags, text);
}

void ViewerTheme::drawHeadingRule(QPainter &painter, const QRect &heading, int pixelSize) const
{
    const int y = heading.bottom() + 1;
    QColor line = this->heading;
    line.setAlpha(kind == Kind::HighContrast ? 255 : 110);
    painter.setPen(QPen(line, std::max(1, pixelSize / 14)));
    painter.drawLine(heading.left(), y, heading.right(), y);
}

} // namespace tavlo::display
