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

QFont boardFont(int pixelSize, bool bold)
{
    return ViewerTheme::font(pixelSize, bold);
}

// The largest size not above `pixelSize` (and not below the smallest share) at which the
// text fits the width; the text is cut with an ellipsis if even that is too wide.
void fitText(BoardItem &item, bool bold)
{
    const int smallest = std::max(1, int(item.pixelSize * kSmallestShare));
    int size = item.pixelSize;
    QFont font = boardFont(size, bold);
    int width = QFontMetrics(font).horizontalAdvance(item.text);
    if (width > item.rect.width() && width > 0) {
        size = std::max(smallest, int(item.pixelSize * qreal(item.rect.width()) / width));
        font = boardFont(size, bold);
    }
    item.pixelSize = size;
    item.shownText = QFontMetrics(font).elidedText(item.text, Qt::ElideRight, item.rect.width());
}

} // namespace

BoardView::BoardView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(160, 90);
    m_blinkTimer.setInterval(500);
    connect(&m_blinkTimer, &QTimer::timeout, this, &BoardView::toggleBlink);
    relayout();
}

QString BoardView::productName()
{
    return QStringLiteral("TAVLO");
}

void BoardView::setBoard(const ScreenBoard &board)
{
    if (board == m_board)
        return;
    m_board = board;
    m_blinkShown = true;
    if (m_board.hasBlink())
        m_blinkTimer.start();
    else
        m_blinkTimer.stop();
    relayout();
    update();
}

void BoardView::setTheme(const ViewerTheme &theme)
{
    m_theme = theme;
    m_backdrop.setTheme(theme);
    update();
}

void BoardView::setBackground(const QImage &picture)
{
    m_backdrop.setPicture(picture);
    update();
}

void BoardView::setBlinkInterval(int milliseconds)
{
    m_blinkTimer.setInterval(milliseconds);
}

void BoardView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void BoardView::relayout()
{
    m_items.clear();
    m_panels.clear();
    const qreal w = width();
    const qreal h = height();
    const qreal margin = std::round(std::min(w, h) * 0.03);

    if (m_board.isEmpty()) {
        BoardItem title;
        title.kind = BoardItem::Kind::Title;
        title.text = productName();
        title.rect = rect();
        title.pixelSize = int(std::min(h * 0.16, w * 0.12));
        fitText(title, true);
        m_items.append(title);
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
    for (int r = 0; r < m_board.rows.size(); ++r) {
        const auto &row = m_board.rows[r];
        for (int c = 0; c < row.size(); ++c) {
            const ScreenGame &game = row[c];
            const qreal left = margin + c * columnWidth + (columnWidth - listWidth) / 2;
            const qreal panelHeight = (1 + game.entries.size() + 0.3) * lineHeight;
            m_panels.append(QRectF(left, top, listWidth, panelHeight).toRect());

            BoardItem heading;
            heading.kind = BoardItem::Kind::Heading;
            heading.text = game.name;
            heading.rect = QRectF(left + padding, top + 0.1 * lineHeight, listWidth - 2 * padding, lineHeight).toRect();
            heading.pixelSize = int(pixelSize * 1.08);
            heading.row = r;
            heading.column = c;
            fitText(heading, true);
            m_items.append(heading);

            for (int i = 0; i < game.entries.size(); ++i) {
                const ScreenEntry &entry = game.entries[i];
                BoardItem item;
                item.kind = entry.isBlank() ? BoardItem::Kind::Blank : BoardItem::Kind::Entry;
                item.text = entry.text;
                item.blink = entry.blink;
                item.rect = QRectF(left + padding, top + (1.2 + i) * lineHeight, listWidth - 2 * padding, lineHeight)
                                .toRect();
                item.pixelSize = pixelSize;
                item.row = r;
                item.column = c;
                fitText(item, false);
                m_items.append(item);
            }
        }
        top += (rowLines[r] + 0.3 + 1) * lineHeight;
    }
}

QFont BoardView::fontFor(const BoardItem &item) const
{
    return boardFont(item.pixelSize, item.kind != BoardItem::Kind::Entry);
}

void BoardView::toggleBlink()
{
    m_blinkShown = !m_blinkShown;
    update(blinkArea());
    emit blinkToggled(m_blinkShown);
}

QRect BoardView::blinkArea() const
{
    QRect area;
    for (const BoardItem &item : m_items) {
        if (item.blink)
            area = area.united(item.rect);
    }
    return area;
}

void BoardView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRegion(event->region());
    m_backdrop.paint(painter, size());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const qreal radius = m_items.isEmpty() ? 0 : std::max(2, m_items.first().pixelSize / 4);
    painter.setPen(QPen(m_theme.panelEdge, m_theme.panelEdgeWidth));
    painter.setBrush(m_theme.panel);
    for (const QRect &panel : std::as_const(m_panels))
        painter.drawRoundedRect(QRectF(panel).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);

    for (const BoardItem &item : std::as_const(m_items)) {
        if (item.kind == BoardItem::Kind::Blank || item.shownText.isEmpty())
            continue;
        if (item.blink && !m_blinkShown)
            continue;
        if (!event->region().intersects(item.rect))
            continue;
        const bool title = item.kind == BoardItem::Kind::Title;
        const int flags = Qt::AlignVCenter | (title || item.kind == BoardItem::Kind::Heading ? Qt::AlignHCenter : Qt::AlignLeft);
        painter.setFont(fontFor(item));
        m_theme.drawText(painter, item.rect, flags, item.shownText, item.pixelSize,
                         item.kind == BoardItem::Kind::Entry ? m_theme.text : m_theme.heading);
        if (item.kind == BoardItem::Kind::Heading)
            m_theme.drawHeadingRule(painter, item.rect, item.pixelSize);
    }
    ++m_paintCount;
    emit painted();
}

} // namespace tavlo::display
