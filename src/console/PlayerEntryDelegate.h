#pragma once

#include <QStyledItemDelegate>

namespace tavlo {

class Clock;

// Draws a waiting player the way the board shows it: the name without its tags, ★ and ☎ after
// it, a blinking name set apart, and the time on the list at the right ("0:42"). The entry's
// text stays the stored name, for type-ahead and for anyone reading the list's model.
class PlayerEntryDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit PlayerEntryDelegate(const Clock &clock, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The name as shown, symbols included.
    static QString shownName(const QModelIndex &index);
    // Hours and minutes on the list ("0:42", "12:05"); empty when the time is not known.
    QString waitingTime(const QModelIndex &index) const;

private:
    const Clock &m_clock;
};

} // namespace tavlo
