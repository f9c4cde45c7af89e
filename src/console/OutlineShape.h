#pragma once

#include <QColor>
#include <QWidget>

namespace tavlo {

// A rectangle outline drawn around a group of controls; it takes no input.
class OutlineShape : public QWidget {
    Q_OBJECT
public:
    explicit OutlineShape(QWidget *parent = nullptr);

    QColor borderColor() const { return m_border; }
    void setBorderColor(const QColor &color);

    void drawShape(QPainter &painter, const QRect &rect) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_border{Qt::black};
};

} // namespace tavlo
