#pragma once

#include "board/BoardSnapshot.h"
#include "display/Backdrop.h"
#include "display/BoardLayout.h"
#include "display/ViewerTheme.h"

#include <QDateTime>
#include <QList>
#include <QRect>
#include <QStringList>
#include <QTimer>
#include <QWidget>

namespace tavlo {
class Clock;
}

namespace tavlo::display {

// One piece of text on the live board, placed for the view's size and the moment.
struct LiveItem {
    enum class Kind { Title, Clock, LastChange, Screens, Banner, Heading, Count, Page, Position, Name, Waiting };
    Kind kind = Kind::Name;
    QString text;      // what it says
    QString shownText; // cut with an ellipsis when even the readable size cannot fit it
    QRect rect;
    int pixelSize = 0;
    int alignment = 0; // Qt::Alignment
    bool bold = false;
    bool blink = false;
    int game = -1; // the index among the games shown, for the items of a game

    bool operator==(const LiveItem &) const = default;
};

// Paints the board file's room: every game shown with its count, each player with position,
// markers as glyphs (blinking names really blink) and waiting time; long lists page on a fixed
// rhythm, with "page 2 of 3" beside the count; a clock and the time of the last change above.
// When the board has not been rewritten for three heartbeats, a banner says since when, over
// the last state, and goes away by itself when a new one comes.
class LiveBoardView : public QWidget {
    Q_OBJECT
public:
    explicit LiveBoardView(const Clock &clock, QWidget *parent = nullptr);

    // A new board, read now, as this screen shows it (shownBoard()). When the screen's choice
    // of games left out every game of the room, `unmatchedGames` is that choice, to say so.
    // Its heartbeat counts from now; the first board counts from when it says it was written,
    // if that is earlier, so that a board left behind by a console that has stopped shows as
    // stale from the start.
    void setBoard(const BoardSnapshot &board, const QStringList &unmatchedGames = {});
    const BoardSnapshot &board() const { return m_board; }
    bool hasBoard() const { return m_hasBoard; }

    void setTheme(const ViewerTheme &theme);
    // Each game's wait estimate beside its count ("17 waiting · about 25 min"), where the board
    // file has one.
    void setShowEstimates(bool on);
    void setPageSeconds(int seconds);
    void setBackground(const QImage &picture);
    bool hasBackground() const { return m_backdrop.hasPicture(); }
    void setBlinkInterval(int milliseconds);
    // Pixels at the bottom the games leave free (for the phones' code in the corner).
    void setBottomReserve(int pixels);

    // The games shown (indices into the board's games), the layout for the current size, the
    // moment it shows, and what it says, in painting order.
    const QList<int> &shownGames() const { return m_shown; }
    const BoardLayout &layout() const { return m_layout; }
    BoardLayout::Moment moment() const { return m_moment; }
    const QList<LiveItem> &items() const { return m_items; }
    bool isStale() const { return m_stale; }
    bool blinkShown() const { return m_blinkShown; }
    quint64 paintCount() const { return m_paintCount; }

    // Looks at the clock: turns the page, moves the clock and the waiting times on, raises or
    // lowers the banner. A timer calls it every second.
    void refresh();

signals:
    void painted();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void relayout();
    QList<LiveItem> itemsAt(const QDateTime &now) const;
    void addGame(QList<LiveItem> &items, const PanelPlace &panel, int page, const QDateTime &now) const;
    void toggleBlink();

    const Clock &m_clock;
    BoardSnapshot m_board;
    bool m_hasBoard = false;
    QDateTime m_freshAt; // on the viewer's own clock: when the board last came anew
    ViewerTheme m_theme = ViewerTheme::of(ViewerTheme::Kind::Standard);
    QStringList m_unmatchedGames;
    bool m_showEstimates = false;
    int m_pageMilliseconds = 8000;
    int m_bottomReserve = 0;

    QList<int> m_shown;
    BoardLayout m_layout;
    BoardLayout::Moment m_moment;
    QList<LiveItem> m_items;
    bool m_stale = false;

    Backdrop m_backdrop;
    QTimer m_tick;
    QTimer m_blinkTimer;
    bool m_blinkShown = true;
    quint64 m_paintCount = 0;
};

} // namespace tavlo::display
