#include "console/ItemBackground.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace tavlo {

ItemTextArea drawItemBackground(QPainter *painter, QStyleOptionViewItem &item)
{
    item.text.clear();
    const QWidget *widget = item.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    ItemTextArea area;
    area.rect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget).adjusted(2, 0, -4, 0);
    area.selected = item.state & QStyle::State_Selected;
    area.ink = item.palette.color(item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled,
                                  area.selected ? QPalette::HighlightedText : QPalette::Text);
    return area;
}

} // namespace tavlo
