#pragma once

#include <QColor>
#include <QRect>
#include <QStyleOptionViewItem>

class QPainter;

namespace tavlo {

// Where an entry's own text goes once the style has drawn its background and selection, and
// in which colour.
struct ItemTextArea {
    QRect rect;
    QColor ink;
    bool selected = false;
};

// Draws `item` (prepared by initStyleOption) without its text, as the style would, so that a
// delegate can draw the text its own way over it.
ItemTextArea drawItemBackground(QPainter *painter, QStyleOptionViewItem &item);

} // namespace tavlo
