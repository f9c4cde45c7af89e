#include "display/BoardPainter.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace tavlo::display {

void BoardPainter::setPicture(const QImage &picture)
{
    m_picture = picture;
    m_scaled = QPixmap();
}

void BoardPainter::paint(QPainter &painter, const QSize &size, const BoardScene &scene, bool blinkShown,
                         const QRegion &region) const
{
    const QRegion area = region.isEmpty() ? QRegion(QRect(QPoint(), size)) : region;
    painter.setClipRegion(area);
    paintBackdrop(painter, size);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // The words on the band say it; its colour only calls the eye.
    const bool stale = scene.bannerHeight > 0;
    if (stale)
        painter.fillRect(QRect(0, 0, size.width(), scene.bannerHeight), m_theme.bannerBackground);

    painter.setPen(QPen(m_theme.panelEdge, m_theme.panelEdgeWidth));
    painter.setBrush(m_theme.panel);
    const qreal radius = scene.panelRadius;
    for (const QRect &panel : scene.panels)
        painter.drawRoundedRect(QRectF(panel).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);

    for (const BoardItem &item : scene.items) {
        if (item.shownText.isEmpty() || item.kind == BoardItem::Kind::Blank || (item.blink && !blinkShown)
            || !area.intersects(item.rect))
            continue;
        paintText(painter, item, stale);
    }
}

void BoardPainter::paintBackdrop(QPainter &painter, const QSize &size) const
{
    if (m_theme.usesPicture && !m_picture.isNull()) {
        if (m_scaled.size() != size) {
            const QImage scaled = m_picture.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
            const QRect crop((scaled.width() - size.width()) / 2, (scaled.height() - size.height()) / 2, size.width(),
                             size.height());
            // In the painter's own format, so that no paint converts it again.
            m_scaled = QPixmap::fromImage(scaled.copy(crop).convertToFormat(QImage::Format_RGB32));
        }
        painter.drawPixmap(0, 0, m_scaled);
        return;
    }
    QLinearGradient gradient(0, 0, 0, size.height());
    gradient.setColorAt(0, m_theme.backgroundTop);
    gradient.setColorAt(1, m_theme.backgroundBottom);
    painter.fillRect(QRect(QPoint(), size), gradient);
}

void BoardPainter::paintText(QPainter &painter, const BoardItem &item, bool stale) const
{
    using Kind = BoardItem::Kind;
    // The clock stands on the banner's band while there is one.
    const bool onBand = item.kind == Kind::Banner || (stale && item.kind == Kind::Clock);
    QColor colour = m_theme.quiet;
    if (onBand)
        colour = m_theme.bannerText;
    else if (item.kind == Kind::Title || item.kind == Kind::Heading || item.kind == Kind::Call)
        colour = m_theme.heading;
    else if (item.kind == Kind::Name || item.kind == Kind::Clock)
        colour = m_theme.text;

    painter.setFont(ViewerTheme::font(item.pixelSize, item.bold));
    if (!onBand && m_theme.shadow.alpha() > 0) {
        const int offset = std::max(1, item.pixelSize / 16);
        painter.setPen(m_theme.shadow);
        painter.drawText(item.rect.translated(offset, offset), item.alignment, item.shownText);
    }
    painter.setPen(colour);
    painter.drawText(item.rect, item.alignment, item.shownText);

    if (item.kind == Kind::Heading) {
        // The rule under a game's heading, its weight following the heading's size.
        QColor line = m_theme.heading;
        line.setAlpha(m_theme.kind == ViewerTheme::Kind::HighContrast ? 255 : 110);
        painter.setPen(QPen(line, std::max(1, item.pixelSize / 14)));
        const int y = item.rect.bottom() + 1;
        painter.drawLine(item.rect.left(), y, item.rect.right(), y);
    }
}

QRect BoardPainter::blinkArea(const BoardScene &scene)
{
    QRect area;
    for (const BoardItem &item : scene.items) {
        if (!item.blink)
            continue;
        // The glyphs and their shadow may reach a little beyond their line.
        const int reach = std::max(2, item.pixelSize / 4);
        area = area.united(item.rect.adjusted(-reach, -reach, reach, reach));
    }
    return area;
}

BlinkRhythm::BlinkRhythm(QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(500);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_shown = !m_shown;
        emit toggled(m_shown);
    });
}

void BlinkRhythm::follow(bool blinking)
{
    if (!blinking) {
        m_timer.stop();
        m_shown = true;
    } else if (!m_timer.isActive()) {
        m_timer.start();
    }
}

void BlinkRhythm::restart(bool blinking)
{
    m_timer.stop();
    m_shown = true;
    follow(blinking);
}

} // namespace tavlo::display
