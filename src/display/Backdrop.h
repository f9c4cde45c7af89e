#pragma once

#include "display/ViewerTheme.h"

#include <QImage>
#include <QPixmap>

class QPainter;

namespace tavlo::display {

// What the board stands on: the background picture, covering the view with its proportions
// kept and the overhang cut, scaled once per size; or the theme's gradient.
class Backdrop {
public:
    void setTheme(const ViewerTheme &theme) { m_theme = theme; }
    void setPicture(const QImage &picture);
    bool hasPicture() const { return !m_picture.isNull(); }
    void paint(QPainter &painter, const QSize &size);

private:
    ViewerTheme m_theme = ViewerTheme::of(ViewerTheme::Kind::Standard);
    QImage m_picture;
    QPixmap m_scaled;
};

} // namespace tavlo::display
