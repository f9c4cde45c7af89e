#include "console/EntryListView.h"

namespace tavlo {

EntryListView::EntryListView(QWidget *parent)
    : QListView(parent)
{
    // One line each: the view need not measure every entry after each change.
    setUniformItemSizes(true);
}

void EntryListView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles)
{
    // The lines' common size is measured on the last entry, so only a change there, or one of
    // size, can move anything.
    const int last = model() ? model()->rowCount(rootIndex()) - 1 : -1;
    const bool sameSizes = uniformItemSizes() && flow() == TopToBottom && !isWrapping() && viewMode() == ListMode;
    if (!sameSizes || !topLeft.isValid() || bottomRight.row() >= last || roles.contains(Qt::SizeHintRole)
        || roles.contains(Qt::FontRole)) {
        QListView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

} // namespace tavlo
