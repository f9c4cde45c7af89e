#pragma once

#include <QString>

#include <functional>

class QListWidget;
class QListWidgetItem;

namespace tavlo {

struct WindowState;
class Recordset;

// The list boxes of both panels: entries carry the row's id as item data, and the program
// changes them with signals blocked, running the selection handling itself afterwards.
namespace listbox {

int idOf(const QListWidgetItem *item);
int selectedRow(const QListWidget *list);
// Selects a row, or clears the selection for -1, without raising the selection signal.
void selectQuietly(QListWidget *list, int row);
void insertEntry(QListWidget *list, int row, const QString &text, int id);
// Removes an entry; a removed selection leaves nothing selected.
void removeEntry(QListWidget *list, int row);
void clear(QListWidget *list);
// Appends an entry for every row of an open result, with the text of one field and the id.
void appendRows(QListWidget *list, Recordset &rows, const QString &textField);
// Writes each entry's position as its row's listbox_order, one statement per entry, in one
// bracket: `statement` is the text that the entry's id completes.
void renumber(const QListWidget *list, const QString &statement, WindowState &state);
// The same inside a bracket the caller holds open, so a delete and the renumbering of what
// follows it land together.
void renumberInOpenBracket(const QListWidget *list, const QString &statement, WindowState &state);

// Moves the selected entry one place up (-1) or down (+1): a copy is inserted beside the
// neighbour and selected through `select` (so the selection handling runs), then the original
// is removed. Nothing moves past either end.
void moveSelected(QListWidget *list, int offset, const std::function<void(int)> &select);

} // namespace listbox
} // namespace tavlo
