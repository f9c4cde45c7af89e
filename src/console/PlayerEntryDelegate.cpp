#include "console/PlayerEntryDelegate.h"

#include "board/Countdown.h"
#include "board/PlayerMarkers.h"
#include "console/ItemBackground.h"
#include "console/RoomListModel.h"
#include "platform/Clock.h"

#include <QPainter>

namespace tavlo {

PlayerEntryDelegate::PlayerEntryDelegate(const Clock &clock, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_clock(clock)
{
}

QString PlayerEntryDelegate::shownName(const QModelIndex &index)
{
    const auto markers = index.data(RoomListModel::MarkersRole).value<PlayerMarkers>();
    QString name = index.data(RoomListModel::BareNameRole).toString();
    if (markers.star)
        name += QStringLiteral(" \u2605");
    if (markers.phone)
        name += QStringLiteral(" \u260E");
    return name;
}

QString PlayerEntryDelegate::waitingTime(const QModelIndex &index) const
{
    const QDateTime added = index.data(RoomListModel::AddedAtRole).toDateTime();
    if (!added.isValid())
        return {};
    const qint64 minutes = std::max<qint64>(0, added.secsTo(m_clock.now()) / 60);
    return QStringLiteral("%1:%2").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString PlayerEntryDelegate::floorTime(const QModelIndex &index) const
{
    const QDateTime now = m_clock.now();
    const QDateTime ends = index.data(RoomListModel::CallEndsRole).toDateTime();
    if (ends.isValid())
        return tr("called %1").arg(countdownText(now.secsTo(ends)));
    const QDateTime away = index.data(RoomListModel::AwaySinceRole).toDateTime();
    return away.isValid() ? tr("away %1").arg(countdownText(away.secsTo(now))) : QString();
}

void PlayerEntryDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString floor = floorTime(index);
    const QString time = floor.isEmpty() ? waitingTime(index) : floor;
    const bool blink = index.data(RoomListModel::MarkersRole).value<PlayerMarkers>().blink;
    // The background and the selection as the style draws them, then our text over it.
    const auto [text, ink, selected] = drawItemBackground(painter, item);
    painter->save();
    QFont font = item.font;
    const QFontMetrics metrics(font);
    const int timeWidth = time.isEmpty() ? 0 : metrics.horizontalAdvance(time) + metrics.averageCharWidth();
    if (!time.isEmpty()) {
        QColor dim = ink;
        dim.setAlphaF(selected ? 0.8 : 0.55);
        // A call stands out: the player is wanted now.
        const bool called = index.data(RoomListModel::CallEndsRole).toDateTime().isValid();
        painter->setPen(called && !selected ? QColor(0xC0, 0x10, 0x10) : dim);
        painter->setFont(font);
        painter->drawText(text, Qt::AlignRight | Qt::AlignVCenter, time);
    }
    // A blinking name is set apart: in italics, behind a small lamp.
    QString name = shownName(index);
    if (blink) {
        font.setItalic(true);
        name = QStringLiteral("\u25C9 ") + name;
    }
    painter->setFont(font);
    painter->setPen(blink && !selected ? QColor(0xB0, 0x3A, 0x00) : ink);
    const QRect nameRect = text.adjusted(0, 0, -timeWidth, 0);
    const QString shown = QFontMetrics(font).elidedText(name, Qt::ElideRight, nameRect.width());
    painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter, shown);
    // The other games the same person waits for, small and dim after the name.
    const QStringList others = index.data(RoomListModel::OtherGamesRole).toStringList();
    if (!others.isEmpty() && shown == name) {
        QFont small = item.font;
        small.setPointSizeF(small.pointSizeF() * 0.75);
        QColor dim = ink;
        dim.setAlphaF(selected ? 0.8 : 0.55);
        painter->setFont(small);
        painter->setPen(dim);
        const QRect rest = nameRect.adjusted(QFontMetrics(font).horizontalAdvance(name + QLatin1Char(' ')), 0, 0, 0);
        painter->drawText(rest, Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetrics(small).elidedText(tr("also %1").arg(others.join(QStringLiteral(", "))), Qt::ElideRight, rest.width()));
    }
    painter->restore();
}

} // namespace tavlo
