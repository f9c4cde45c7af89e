#pragma once

class QListView;

namespace tavlo {

// The selected row of a single-selection list view, or -1.
int selectedRow(const QListView *view);

// Selects a row and makes it current, or clears the selection for -1 (or a row out of range).
void selectRow(QListView *view, int row);

} // namespace tavlo
