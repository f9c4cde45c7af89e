#include "console/ListBox.h"

#include "core/DbTask.h"
#include "core/WindowState.h"

#include <QListWidget>
#include <QSignalBlocker>

namespace tavlo::listbox {

int idOf(const QListWidgetItem *item)
{
    return item->data(Qt::UserRole).toInt();
}

int selectedRow(const QListWidget *list)
{
    const auto items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.first());
}

void selectQuietly(QListWidget *list, int row)
{
    const QSignalBlocker blocker(list);
    if (row < 0 || row >= list->count()) {
        list->setCurrentRow(-1);
        list->clearSelection();
    } else {
        list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
}

void insertEntry(QListWidget *list, int row, const QString &text, int id)
{
    const QSignalBlocker blocker(list);
    auto *item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, id);
    list->insertItem(row, item);
}

void removeEntry(QListWidget *list, int row)
{
    const bool wasSelected = selectedRow(list) == row;
    {
        const QSignalBlocker blocker(list);
        delete list->takeItem(row);
    }
    // The toolkit would move the selection to a neighbour.
    if (wasSelected)
        selectQuietly(list, -1);
}

void clear(QListWidget *list)
{
    const QSignalBlocker blocker(list);
    list->clear();
}

void appendRows(QListWidget *list, Recordset &rows, const QString &textField)
{
    const QSignalBlocker blocker(list);
    while (!rows.Eof()) {
        insertEntry(list, list->count(), rows.value(textField).toString(), rows.value(QStringLiteral("id")).toInt());
        rows.MoveNext();
    }
    selectQuietly(list, -1);
}

void renumber(const QListWidget *list, const QString &statement, WindowState &state)
{
    dbTask("open", state);
    renumberInOpenBracket(list, statement, state);
    dbTask("close", state);
}

void renumberInOpenBracket(const QListWidget *list, const QString &statement, WindowState &state)
{
    for (int i = 0; i < list->count(); ++i) {
        openStatement(state.DetailRecordset, statement + QString::number(idOf(list->item(i))), state);
        state.DetailRecordset.Fields(QStringLiteral("listbox_order")) = i;
        state.DetailRecordset.Update();
        state.DetailRecordset.Close();
    }
}

void moveSelected(QListWidget *list, int offset, const std::function<void(int)> &select)
{
    const int p = selectedRow(list);
    if (p < 0 || (offset < 0 && p == 0) || (offset > 0 && p >= list->count() - 1))
        return;
    const QListWidgetItem *entry = list->item(p);
    if (offset < 0) {
        insertEntry(list, p - 1, entry->text(), idOf(entry));
        select(p - 1);
        removeEntry(list, p + 1);
    } else {
        insertEntry(list, p + 2, entry->text(), idOf(entry));
        select(p + 2);
        removeEntry(list, p);
    }
}

} // namespace tavlo::listbox
