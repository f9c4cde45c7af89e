#pragma once

#include "board/BoardSnapshot.h"
#include "display/BoardLayout.h"
#include "display/BoardPainter.h"

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

// Shows the board file's room: every game shown with its count, each player with position,
// markers as glyphs (blinking names really blink) and waiting time; long lists page on a fixed
// rhythm, with "page 2 of 3" beside the count; a clock and the time of the last change above.
// When neither the board nor the console's heartbeat file has been rewritten for three
// heartbeats, a banner says since when, over the last state, and goes away by itself when a
// new one comes.
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
    // A heartbeat file, written when it says: a new one keeps the board fresh as a new board
    // does. The first counts from when it was written, as the first board does.
    void setHeartbeat(const QDateTime &writtenAt);
    const BoardSnapshot &board() const { return m_board; }
    bool hasBoard() const { return m_hasBoard; }

    void setTheme(const ViewerTheme &theme);
    // Each game's wait estimate beside its count ("17 waiting · about 25 min"), where the board
    // file has one.
    void setShowEstimates(bool on);
    void setPageSeconds(int seconds);
    void setBackground(const QImage &picture);
    bool hasBackground() const { return m_painter.hasPicture(); }
    void setBlinkInterval(int milliseconds) { m_blink.setInterval(milliseconds); }
    // Pixels at the bottom the games leave free (for the phones' code in the corner).
    void setBottomReserve(int pixels);

    // The games shown (indices into the board's games), the layout for the current size, the
    // moment it shows, and what it says, in painting order.
    const QList<int> &shownGames() const { return m_shown; }
    const BoardLayout &layout() const { return m_layout; }
    BoardLayout::Moment moment() const { return m_moment; }
    const QList<BoardItem> &items() const { return m_scene.items; }
    bool isStale() const { return m_stale; }
    bool blinkShown() const { return m_blink.isShown(); }
    quint64 paintCount() const { return m_paintCount; }

    // Looks at the clock: turns the page, moves the clock and the waiting times on, raises or
    // lowers the banner. A timer calls it every second.
    void refresh();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // A file came anew; the first of its kind counts from when it was written.
    void freshen(const QDateTime &writtenAt, bool first);
    void relayout();
    QList<BoardItem> itemsAt(const QDateTime &now) const;
    void addGame(QList<BoardItem> &items, const PanelPlace &panel, int page, const QDateTime &now) const;

    const Clock &m_clock;
    BoardSnapshot m_board;
    bool m_hasBoard = false;
    QDateTime m_freshAt; // on the viewer's own clock: when the board or a heartbeat last came anew
    QDateTime m_beatAt;  // what the last heartbeat said
    QStringList m_unmatchedGames;
    bool m_showEstimates = false;
    int m_pageMilliseconds = 8000;
    int m_bottomReserve = 0;

    QList<int> m_shown;
    BoardLayout m_layout;
    BoardLayout::Moment m_moment;
    bool m_stale = false;
    BoardScene m_scene;

    BoardPainter m_painter;
    BlinkRhythm m_blink;
    QTimer m_tick;
    quint64 m_paintCount = 0;
    bool m_boardUnpainted = false;
};

} // namespace tavlo::display
