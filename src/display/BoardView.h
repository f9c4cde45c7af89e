#pragma once

#include "display/Backdrop.h"
#include "display/ScreenBoard.h"
#include "display/ViewerTheme.h"

#include <QList>
#include <QRect>
#include <QTimer>
#include <QWidget>

namespace tavlo::display {

// One piece of text on the board, placed for the view's current size.
struct BoardItem {
    enum class Kind { Title, Heading, Entry, Blank };
    Kind kind = Kind::Entry;
    QString text;      // as read from the fragment
    QString shownText; // shortened with an ellipsis when even the smallest font cannot fit it
    QRect rect;
    int pixelSize = 0;
    bool blink = false;
    int row = 0;
    int column = 0;
};

// Paints the board over the background picture: every game's list in its column, the text
// sized so that the tallest arrangement fills the height. Blinking names really blink.
class BoardView : public QWidget {
    Q_OBJECT
public:
    explicit BoardView(QWidget *parent = nullptr);

    void setBoard(const ScreenBoard &board);
    const ScreenBoard &board() const { return m_board; }
    void setTheme(const ViewerTheme &theme);
    void setBackground(const QImage &picture);
    bool hasBackground() const { return m_backdrop.hasPicture(); }

    // The layout for the current size, in reading order: row by row, game by game.
    const QList<BoardItem> &items() const { return m_items; }
    // The panel behind each game's list, in the same order as the games.
    const QList<QRect> &panels() const { return m_panels; }

    bool blinkShown() const { return m_blinkShown; }
    bool isBlinking() const { return m_blinkTimer.isActive(); }
    void setBlinkInterval(int milliseconds);

    quint64 paintCount() const { return m_paintCount; }

    static QString productName();

signals:
    void blinkToggled(bool shown);
    void painted();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void relayout();
    void toggleBlink();
    QRect blinkArea() const;
    QFont fontFor(const BoardItem &item) const;

    ScreenBoard m_board;
    ViewerTheme m_theme = ViewerTheme::of(ViewerTheme::Kind::Standard);
    QList<BoardItem> m_items;
    QList<QRect> m_panels;
    Backdrop m_backdrop;
    QTimer m_blinkTimer;
    bool m_blinkShown = true;
    quint64 m_paintCount = 0;
};

} // namespace tavlo::display
