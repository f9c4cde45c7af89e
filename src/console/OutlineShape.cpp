#include "console/OutlineShape.h"

#include <QPainter>

namespace tavlo {

OutlineShape::OutlineShape(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void OutlineShape::setBorderColor(const QColor &color)
{
    m_border = color;
    update();
}

void OutlineShape::drawShape(QPainter &painter, const QRect &rect) const
{
    painter.setPen(QPen(m_border, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

void OutlineShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawShape(painter, rect());
}

} // namespace tavlo
