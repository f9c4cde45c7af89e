#pragma once

#include <QStyledItemDelegate>

namespace tavlo {

class Clock;

// Draws a waiting player the way the board shows it: the name without its tags, ★ and ☎ after
// it, a blinking name set apart, and the time on the list at the right ("0:42"), or a call's
// countdown or the time away (in red, and so on for an away player). The entry's
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
    // What a called or away player shows instead: "called 4:12" (minutes and seconds left),
    // "away 2:03" (since); empty for others.
    QString floorTime(const QModelIndex &index) const;

private:
    const Clock &m_clock;
};

} // namespace tavlo
