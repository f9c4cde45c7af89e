#include "display/Backdrop.h"

#include <QLinearGradient>
#include <QPainter>

namespace tavlo::display {

void Backdrop::setPicture(const QImage &picture)
{
    m_picture = picture;
    m_scaled = QPixmap();
}

void Backdrop::paint(QPainter &painter, const QSize &size)
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

} // namespace tavlo::display
