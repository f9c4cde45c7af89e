#pragma once

#include <QListView>

namespace tavlo {

// A panel's list: one line per entry, every line as high as the others. A changed entry is
// repainted where it stands; QListView would lay the whole list out again for it.
class EntryListView : public QListView {
    Q_OBJECT
public:
    explicit EntryListView(QWidget *parent = nullptr);

protected:
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles = {}) override;
};

} // namespace tavlo
