#include "console/ListSelection.h"

#include <QItemSelectionModel>
#include <QListView>

namespace tavlo {

int selectedRow(const QListView *view)
{
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void selectRow(QListView *view, int row)
{
    QItemSelectionModel *selection = view->selectionModel();
    if (row < 0 || row >= view->model()->rowCount()) {
        selection->clear();
        return;
    }
    const QModelIndex index = view->model()->index(row, 0);
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    view->scrollTo(index);
}

} // namespace tavlo
