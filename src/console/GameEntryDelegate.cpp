#include "console/GameEntryDelegate.h"

#include "console/RoomListModel.h"
#include "console/ItemBackground.h"
#include "room/WaitEstimates.h"

#include <QPainter>

namespace tavlo {

GameEntryDelegate::GameEntryDelegate(const WaitEstimates &estimates, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_estimates(estimates)
{
}

QString GameEntryDelegate::estimateText(const QModelIndex &index) const
{
    return m_estimates.text(index.data(RoomListModel::IdRole).toLongLong());
}

void GameEntryDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    // A game not running yet says so before its name.
    const QString name = index.data(RoomListModel::InterestRole).toBool() ? tr("Interest: %1").arg(item.text) : item.text;
    const WaitEstimate estimate = m_estimates.estimate(index.data(RoomListModel::IdRole).toLongLong());
    const QString wait = estimate.text(true);
    // The background and the selection as the style draws them, then our text over it.
    const auto [text, ink, selected] = drawItemBackground(painter, item);
    painter->save();
    // The estimate smaller and dimmer than the name, dimmest without a figure.
    QFont small = item.font;
    small.setPointSizeF(item.font.pointSizeF() * 0.75);
    const QFontMetrics smallMetrics(small);
    const int waitAdvance = smallMetrics.horizontalAdvance(wait);
    const int waitWidth = std::min(waitAdvance, text.width() * 3 / 5);
    QColor dim = ink;
    dim.setAlphaF(selected ? 0.85 : estimate.enoughData() ? 0.7 : 0.45);
    painter->setPen(dim);
    painter->setFont(small);
    painter->drawText(text, Qt::AlignRight | Qt::AlignVCenter,
                      waitAdvance <= waitWidth ? wait : smallMetrics.elidedText(wait, Qt::ElideRight, waitWidth));

    painter->setPen(ink);
    painter->setFont(item.font);
    const QRect nameRect = text.adjusted(0, 0, -(waitWidth + smallMetrics.averageCharWidth() * 2), 0);
    painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(item.font).elidedText(name, Qt::ElideRight, nameRect.width()));
    painter->restore();
}

} // namespace tavlo
