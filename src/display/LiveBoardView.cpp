#include "display/LiveBoardView.h"

#include "board/Countdown.h"
#include "base/Language.h"
#include "board/ShortName.h"
#include "display/ScreenBoard.h"
#include "platform/Clock.h"
#include "platform/PaintReport.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QHash>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tavlo::display {

// When a new board reached the screen, for the benchmarks that start the viewer; off unless
// QT_LOGGING_RULES turns it on.
Q_LOGGING_CATEGORY(boardPaintLog, "tavlo.display.paint", QtWarningMsg)

namespace {

QString clockText(const QDateTime &time)
{
    return time.toLocalTime().toString(QStringLiteral("HH:mm"));
}

// The time of a past moment, with its day when that is not today.
QString momentText(const QDateTime &time, const QDateTime &now)
{
    const QDateTime local = time.toLocalTime();
    if (local.date() == now.toLocalTime().date())
        return local.toString(QStringLiteral("HH:mm"));
    return textLocale().toString(local, QStringLiteral("d MMM HH:mm"));
}

// How long a player has waited: "12 min", "1 h 05"; nothing when the time is not known.
QString waitingText(const QDateTime &addedAt, const QDateTime &now)
{
    if (!addedAt.isValid())
        return {};
    const qint64 minutes = std::max<qint64>(0, addedAt.secsTo(now)) / 60;
    if (minutes < 60)
        return QStringLiteral("%1 min").arg(minutes);
    return QStringLiteral("%1 h %2").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// A called player's time left ("called 4:12"), an away player's time away ("away 2:03"), else
// the time waited.
QString timeText(const WaitingPlayer &player, const QDateTime &now)
{
    if (player.callEnds.isValid())
        return QCoreApplication::translate("tavlo::display::LiveBoardView", "called %1").arg(countdownText(now.secsTo(player.callEnds)));
    if (player.awaySince.isValid())
        return QCoreApplication::translate("tavlo::display::LiveBoardView", "away %1").arg(countdownText(player.awaySince.secsTo(now)));
    return waitingText(player.addedAt, now);
}

QString glyphsOf(const PlayerMarkers &markers)
{
    QString glyphs;
    if (markers.star)
        glyphs += QChar(0x2605);
    if (markers.phone)
        glyphs += QChar(0x260E);
    return glyphs;
}

// Whole pixels that surely hold the text: eliding compares fractions, advances round.
int textWidth(const QFont &font, const QString &text)
{
    return int(std::ceil(QFontMetricsF(font).horizontalAdvance(text))) + 1;
}

BoardItem textItem(BoardItem::Kind kind, const QString &text, const QRect &rect, int pixelSize, int alignment, bool bold)
{
    BoardItem item;
    item.kind = kind;
    item.text = text;
    item.rect = rect;
    item.pixelSize = pixelSize;
    item.alignment = alignment;
    item.bold = bold;
    item.shownText = QFontMetrics(ViewerTheme::font(pixelSize, bold)).elidedText(text, Qt::ElideRight, rect.width());
    return item;
}

} // namespace

LiveBoardView::LiveBoardView(const Clock &clock, QWidget *parent)
    : QWidget(parent)
    , m_clock(clock)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(160, 90);
    m_tick.setInterval(1000);
    connect(&m_tick, &QTimer::timeout, this, &LiveBoardView::refresh);
    connect(&m_blink, &BlinkRhythm::toggled, this, [this] { update(BoardPainter::blinkArea(m_scene)); });
    relayout();
}

void LiveBoardView::setBoard(const BoardSnapshot &board, const QStringList &unmatchedGames)
{
    if (!m_hasBoard)
        freshen(board.writtenAt, true);
    else if (board.writtenAt != m_board.writtenAt)
        freshen(board.writtenAt, false);
    m_board = board;
    m_unmatchedGames = unmatchedGames;
    m_hasBoard = true;
    m_boardUnpainted = true;
    relayout();
}

void LiveBoardView::setHeartbeat(const QDateTime &writtenAt)
{
    if (!m_beatAt.isValid() || writtenAt != m_beatAt) // the same beat read again is no sign of life
        freshen(writtenAt, !m_beatAt.isValid());
    m_beatAt = writtenAt;
    refresh();
}

void LiveBoardView::freshen(const QDateTime &writtenAt, bool first)
{
    // A file left by a console that has stopped is stale from the start.
    const QDateTime now = m_clock.now();
    const QDateTime fresh = first && writtenAt.isValid() && writtenAt < now ? writtenAt : now;
    if (!m_freshAt.isValid() || fresh > m_freshAt)
        m_freshAt = fresh;
}

void LiveBoardView::setTheme(const ViewerTheme &theme)
{
    m_painter.setTheme(theme);
    update();
}

void LiveBoardView::setShowEstimates(bool on)
{
    m_showEstimates = on;
    refresh();
}

void LiveBoardView::setPageSeconds(int seconds)
{
    m_pageMilliseconds = std::max(1, seconds) * 1000;
    refresh();
}

void LiveBoardView::setBackground(const QImage &picture)
{
    m_painter.setPicture(picture);
    update();
}

void LiveBoardView::setBottomReserve(int pixels)
{
    if (pixels == m_bottomReserve)
        return;
    m_bottomReserve = std::max(0, pixels);
    relayout();
}

void LiveBoardView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_tick.start(); // the clock, the pages and the heartbeat move on only where they are seen
    refresh();
}

void LiveBoardView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_tick.stop();
}

void LiveBoardView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void LiveBoardView::relayout()
{
    m_shown.clear();
    QList<int> lengths;
    for (int g = 0; g < m_board.games.size(); ++g) {
        m_shown.append(g);
        lengths.append(int(m_board.games[g].players.size()));
    }
    const QSize room(width(), std::max(height() / 2, height() - m_bottomReserve));
    m_layout = BoardLayout::compute(room, lengths);
    m_scene = {}; // laid out anew: paint whatever refresh finds
    refresh();
}

void LiveBoardView::refresh()
{
    const QDateTime now = m_clock.now();
    m_moment = m_layout.momentAt(now.toMSecsSinceEpoch() / m_pageMilliseconds);
    m_stale = m_hasBoard && m_freshAt.msecsTo(now) > 3000LL * std::max(1, m_board.heartbeatSeconds);
    BoardScene scene;
    if (!m_shown.isEmpty()) {
        for (const PanelPlace &panel : m_layout.screens[m_moment.screen].panels)
            scene.panels.append(panel.rect);
    }
    scene.panelRadius = std::max(2, m_layout.namePixels / 4);
    if (m_stale) // across the whole top, as far below the header as above it
        scene.bannerHeight = m_layout.header.bottom() + m_layout.header.top() + 1;
    scene.items = itemsAt(now);
    if (scene == m_scene)
        return;
    // A countdown moving on changes a few texts in place: only they are painted again.
    // One rectangle per game: a region of many small ones costs every stroke more than it saves.
    QHash<int, QRect> changed;
    const bool inPlace = scene.panels == m_scene.panels && scene.bannerHeight == m_scene.bannerHeight
            && scene.items.size() == m_scene.items.size();
    for (qsizetype i = 0; inPlace && i < scene.items.size(); ++i) {
        if (!(scene.items[i] == m_scene.items[i])) {
            const int shadow = std::max(4, scene.items[i].pixelSize / 8); // the text's shadow, and a margin
            QRect &area = changed[scene.items[i].game];
            area |= scene.items[i].rect.united(m_scene.items[i].rect).adjusted(-shadow, -shadow, shadow, shadow);
        }
    }
    m_scene = std::move(scene);
    m_blink.follow(std::any_of(m_scene.items.cbegin(), m_scene.items.cend(), [](const BoardItem &item) { return item.blink; }));
    if (!inPlace) {
        update();
        return;
    }
    for (const QRect &area : std::as_const(changed))
        update(area);
}

QList<BoardItem> LiveBoardView::itemsAt(const QDateTime &now) const
{
    QList<BoardItem> items;
    const BoardLayout &l = m_layout;
    const QRect header = l.header;
    const int headerPixels = l.headerPixels;

    // Above the games: the clock at the right, the time of the last change before it; the
    // product and the screen of games at the left; or, when the board is stale, the banner.
    const BoardItem clock = textItem(BoardItem::Kind::Clock, clockText(now), header, int(headerPixels * 1.15),
                                    Qt::AlignRight | Qt::AlignVCenter, true);
    const int clockWidth = textWidth(ViewerTheme::font(clock.pixelSize, true), clock.text) + headerPixels;
    if (m_stale) {
        BoardItem banner = textItem(BoardItem::Kind::Banner,
                                   tr("⚠ Not updated since %1").arg(momentText(m_freshAt, now)),
                                   header.adjusted(clockWidth, 0, -clockWidth, 0), headerPixels, Qt::AlignCenter, true);
        items.append(banner);
    } else {
        const QRect left = header.adjusted(0, 0, -header.width() / 2, 0);
        items.append(textItem(BoardItem::Kind::Title, QStringLiteral("TAVLO"), left, headerPixels, Qt::AlignLeft | Qt::AlignVCenter,
                              true));
        if (m_layout.screens.size() > 1) {
            const GameScreen &screen = m_layout.screens[m_moment.screen];
            const int titleWidth = textWidth(ViewerTheme::font(headerPixels, true), QStringLiteral("TAVLO")) + headerPixels;
            items.append(textItem(BoardItem::Kind::Screens,
                                  tr("games %1–%2 of %3")
                                          .arg(screen.firstGame + 1)
                                          .arg(screen.firstGame + screen.panels.size())
                                          .arg(m_shown.size()),
                                  left.adjusted(titleWidth, 0, 0, 0), int(headerPixels * 0.8),
                                  Qt::AlignLeft | Qt::AlignVCenter, false));
        }
        if (m_board.changedAt.isValid()) {
            items.append(textItem(BoardItem::Kind::LastChange,
                                  tr("Last change %1").arg(momentText(m_board.changedAt, now)),
                                  header.adjusted(header.width() / 2, 0, -clockWidth, 0), int(headerPixels * 0.8),
                                  Qt::AlignRight | Qt::AlignVCenter, false));
        }
    }
    items.append(clock);

    if (m_shown.isEmpty()) {
        const QRect middle = l.area;
        const int size = std::min(middle.height() / 6, middle.width() / 8);
        items.append(textItem(BoardItem::Kind::Title, QStringLiteral("TAVLO"), middle.adjusted(0, 0, 0, -size),
                              size, Qt::AlignCenter, true));
        const QString words = !m_unmatchedGames.isEmpty()
                ? tr("No game here is named %1").arg(m_unmatchedGames.join(QLatin1String(", ")))
                : tr("No waiting lists");
        items.append(textItem(BoardItem::Kind::Count, words, middle.adjusted(0, size * 2, 0, 0), l.namePixels,
                              Qt::AlignCenter, false));
        return items;
    }

    const GameScreen &screen = l.screens[m_moment.screen];
    for (const PanelPlace &panel : screen.panels)
        addGame(items, panel, m_moment.page % panel.pages, now);
    return items;
}

void LiveBoardView::addGame(QList<BoardItem> &items, const PanelPlace &panel, int page, const QDateTime &now) const
{
    const BoardLayout &l = m_layout;
    const WaitingGame &game = m_board.games[m_shown[panel.game]];
    const int count = int(game.players.size());

    // A game not running yet is set apart by its words: "Interest: 5/10 PLO", "4 players".
    const QString gameName = shortenedForScreen(game.name);
    const QString headingText = game.interest
            ? QCoreApplication::translate("tavlo::display::LiveBoardView", "Interest: %1").arg(gameName) : gameName;
    BoardItem heading = textItem(BoardItem::Kind::Heading, headingText, l.headingRect(panel), l.headingPixels,
                                Qt::AlignCenter, true);
    heading.game = panel.game;
    items.append(heading);
    const QRect info = l.infoRect(panel);
    QString countText = game.interest ? tr("%1 players").arg(count) : tr("%1 waiting").arg(count);
    if (m_showEstimates && !game.estimate.isEmpty())
        countText += QStringLiteral(" \u00b7 ") + shortenedForScreen(game.estimate);
    BoardItem waiting = textItem(BoardItem::Kind::Count, countText, info, l.infoPixels,
                                Qt::AlignLeft | Qt::AlignVCenter, false);
    waiting.game = panel.game;
    items.append(waiting);
    if (panel.pages > 1) {
        BoardItem pages = textItem(BoardItem::Kind::Page, tr("page %1 of %2").arg(page + 1).arg(panel.pages),
                                  info, l.infoPixels, Qt::AlignRight | Qt::AlignVCenter, false);
        pages.game = panel.game;
        items.append(pages);
        // The count gives way to the page where both do not fit.
        const int pageWidth = textWidth(ViewerTheme::font(l.infoPixels, false), pages.text);
        BoardItem &shortenedCount = items[items.size() - 2];
        shortenedCount.rect.setRight(info.right() - pageWidth - l.padding);
        shortenedCount.shownText = QFontMetrics(ViewerTheme::font(l.infoPixels, false))
                                           .elidedText(shortenedCount.text, Qt::ElideRight, shortenedCount.rect.width());
    }

    const int from = page * panel.perPage;
    const int to = std::min(count, from + panel.perPage);
    if (from >= to)
        return;

    const int positionPixels = int(std::lround(l.namePixels * 0.8));
    const int waitingPixels = int(std::lround(l.namePixels * 0.72));
    const QFont nameFont = ViewerTheme::font(l.namePixels, false);
    const QFontMetrics nameMetrics(nameFont);
    const QFont positionFont = ViewerTheme::font(positionPixels, true);
    const QFont waitingFont = ViewerTheme::font(waitingPixels, false);
    const QFont callFont = ViewerTheme::font(waitingPixels, true);
    const int gap = std::max(2, l.namePixels / 3);
    const int positionWidth = textWidth(positionFont, QString(QString::number(to).size(), u'0')) + gap;
    // The waiting times take the width the page's longest needs; the names the rest.
    QStringList waited;
    int waitingWidth = 0;
    for (int p = from; p < to; ++p) {
        waited << timeText(game.players[p], now);
        // A call's time is bold.
        const QFont &font = game.players[p].callEnds.isValid() ? callFont : waitingFont;
        if (!waited.last().isEmpty())
            waitingWidth = std::max(waitingWidth, textWidth(font, waited.last()) + gap);
    }

    for (int p = from; p < to; ++p) {
        const WaitingPlayer &player = game.players[p];
        const int k = p - from;
        const QRect line = l.lineRect(panel, k / panel.lines, k % panel.lines);

        BoardItem position = textItem(BoardItem::Kind::Position, QString::number(p + 1),
                                     QRect(line.left(), line.top(), positionWidth - gap, line.height()), positionPixels,
                                     Qt::AlignRight | Qt::AlignVCenter, true);
        position.game = panel.game;
        items.append(position);

        // The markers' glyphs stay whole; only the name gives way to an ellipsis.
        const QString name = shortenedForScreen(player.name);
        const QString glyphs = glyphsOf(player.markers);
        const QString tail = glyphs.isEmpty() ? QString() : QLatin1Char(' ') + glyphs;
        BoardItem shown;
        shown.kind = BoardItem::Kind::Name;
        shown.text = name + tail;
        shown.rect = QRect(line.left() + positionWidth, line.top(), line.width() - positionWidth - waitingWidth,
                           line.height());
        shown.pixelSize = l.namePixels;
        shown.alignment = Qt::AlignLeft | Qt::AlignVCenter;
        shown.blink = player.markers.blink;
        shown.game = panel.game;
        const int room = shown.rect.width() - textWidth(nameFont, tail);
        shown.shownText = textWidth(nameFont, shown.text) <= shown.rect.width()
                ? shown.text
                : nameMetrics.elidedText(name, Qt::ElideRight, std::max(0, room)) + tail;
        items.append(shown);

        if (!waited[k].isEmpty()) {
            BoardItem time = textItem(BoardItem::Kind::Waiting, waited[k],
                                     QRect(line.right() - waitingWidth + gap + 1, line.top(), waitingWidth - gap,
                                           line.height()),
                                     waitingPixels, Qt::AlignRight | Qt::AlignVCenter, player.callEnds.isValid());
            if (player.callEnds.isValid())
                time.kind = BoardItem::Kind::Call;
            time.game = panel.game;
            items.append(time);
        }
    }
}

void LiveBoardView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    m_painter.paint(painter, size(), m_scene, m_blink.isShown(), event->region());
    ++m_paintCount;
    if (m_boardUnpainted && boardPaintLog().isInfoEnabled()) {
        qsizetype players = 0;
        for (const WaitingGame &game : m_board.games)
            players += game.players.size();
        // Queued: it runs once the picture has been handed on to the screen.
        QMetaObject::invokeMethod(
                this,
                [games = m_board.games.size(), players, changed = m_board.changedAt] {
                    qCInfo(boardPaintLog, "board painted at %lld ns: %lld games, %lld players, changed %s",
                           monotonicNanoseconds(), qlonglong(games), qlonglong(players),
                           qPrintable(changed.toString(Qt::ISODate)));
                },
                Qt::QueuedConnection);
    }
    m_boardUnpainted = false;
}

} // namespace tavlo::display
