#include "display/BoardView.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tavlo::display {

namespace {

// A list keeps this share of its column; the rest is the gap between lists.
constexpr qreal kListShare = 0.9;
// Text fills this share of a line's height.
constexpr qreal kTextShare = 0.66;
// A name too wide for its list may shrink to this share of the common size before it is cut.
constexpr qreal kSmallestShare = 0.6;

// A text at its place, at the largest size not above `pixelSize` (and not below the smallest
// share) at which it fits the width; cut with an ellipsis if even that is too wide.
BoardItem fittedItem(BoardItem::Kind kind, const QString &text, const QRect &rect, int pixelSize)
{
    BoardItem item;
    item.kind = kind;
    item.text = text;
    item.rect = rect;
    item.bold = kind == BoardItem::Kind::Title || kind == BoardItem::Kind::Heading;
    item.alignment = Qt::AlignVCenter | (item.bold ? Qt::AlignHCenter : Qt::AlignLeft);
    const int smallest = std::max(1, int(pixelSize * kSmallestShare));
    int size = pixelSize;
    QFont font = ViewerTheme::font(size, item.bold);
    const int width = QFontMetrics(font).horizontalAdvance(text);
    if (width > rect.width() && width > 0) {
        size = std::max(smallest, int(pixelSize * qreal(rect.width()) / width));
        font = ViewerTheme::font(size, item.bold);
    }
    item.pixelSize = size;
    item.shownText = QFontMetrics(font).elidedText(text, Qt::ElideRight, rect.width());
    return item;
}

} // namespace

BoardView::BoardView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(160, 90);
    connect(&m_blink, &BlinkRhythm::toggled, this, [this] { update(BoardPainter::blinkArea(m_scene)); });
    relayout();
}

void BoardView::setBoard(const ScreenBoard &board)
{
    if (board == m_board)
        return;
    m_board = board;
    m_blink.restart(m_board.hasBlink());
    relayout();
    update();
}

void BoardView::setTheme(const ViewerTheme &theme)
{
    m_painter.setTheme(theme);
    update();
}

void BoardView::setBackground(const QImage &picture)
{
    m_painter.setPicture(picture);
    update();
}

void BoardView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void BoardView::relayout()
{
    using Kind = BoardItem::Kind;
    m_scene = {};
    const qreal w = width();
    const qreal h = height();
    const qreal margin = std::round(std::min(w, h) * 0.03);

    if (m_board.isEmpty()) {
        m_scene.items.append(fittedItem(Kind::Title, QStringLiteral("TAVLO"), rect(), int(std::min(h * 0.16, w * 0.12))));
        return;
    }

    // Every row is as tall as its longest list plus the heading; one empty line parts the rows.
    QList<int> rowLines;
    qreal lines = 0;
    for (const auto &row : std::as_const(m_board.rows)) {
        qsizetype longest = 0;
        for (const auto &game : row)
            longest = std::max(longest, game.entries.size());
        rowLines.append(1 + int(longest));
        lines += 1 + longest + 0.3; // the panel's own padding
    }
    lines += m_board.rows.size() - 1;
    const qreal lineHeight = std::min((h - 2 * margin) / lines, h / 9.0);
    const int pixelSize = std::max(1, int(lineHeight * kTextShare));

    const int columns = m_board.columnCount();
    const qreal columnWidth = (w - 2 * margin) / columns;
    const qreal listWidth = columnWidth * kListShare;
    const qreal padding = std::round(lineHeight * 0.3);

    qreal top = margin;
    int shown = 0;
    for (int r = 0; r < m_board.rows.size(); ++r) {
        const auto &row = m_board.rows[r];
        for (int c = 0; c < row.size(); ++c, ++shown) {
            const ScreenGame &game = row[c];
            const qreal left = margin + c * columnWidth + (columnWidth - listWidth) / 2;
            const qreal panelHeight = (1 + game.entries.size() + 0.3) * lineHeight;
            m_scene.panels.append(QRectF(left, top, listWidth, panelHeight).toRect());

            const QRectF heading(left + padding, top + 0.1 * lineHeight, listWidth - 2 * padding, lineHeight);
            m_scene.items.append(fittedItem(Kind::Heading, game.name, heading.toRect(), int(pixelSize * 1.08)));
            m_scene.items.last().game = shown;
            for (int i = 0; i < game.entries.size(); ++i) {
                const ScreenEntry &entry = game.entries[i];
                const QRectF line(left + padding, top + (1.2 + i) * lineHeight, listWidth - 2 * padding, lineHeight);
                BoardItem item = fittedItem(entry.isBlank() ? Kind::Blank : Kind::Name, entry.text, line.toRect(), pixelSize);
                item.blink = entry.blink;
                item.game = shown;
                m_scene.items.append(item);
            }
        }
        top += (rowLines[r] + 0.3 + 1) * lineHeight;
    }
    // The corners follow the first heading's size.
    if (!m_scene.items.isEmpty())
        m_scene.panelRadius = std::max(2, m_scene.items.first().pixelSize / 4);
}

void BoardView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    m_painter.paint(painter, size(), m_scene, m_blink.isShown(), event->region());
    ++m_paintCount;
}

} // namespace tavlo::display
