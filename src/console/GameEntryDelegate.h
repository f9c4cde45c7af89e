#pragma once

#include <QStyledItemDelegate>

namespace tavlo {

class WaitEstimates;

// Draws a game with its wait estimate at the right ("about 25 min", "not enough data"). The
// entry's text stays the game's name, for type-ahead and for anyone reading the list's model.
class GameEntryDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GameEntryDelegate(const WaitEstimates &estimates, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The estimate as shown beside the entry.
    QString estimateText(const QModelIndex &index) const;

private:
    const WaitEstimates &m_estimates;
};

} // namespace tavlo
