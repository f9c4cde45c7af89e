#pragma once

#include "display/BoardPainter.h"
#include "display/ScreenBoard.h"

#include <QList>
#include <QWidget>

namespace tavlo::display {

// Shows the fragment's board: every game's list in its column, the text sized so that the
// tallest arrangement fills the height. Blinking names really blink.
class BoardView : public QWidget {
    Q_OBJECT
public:
    explicit BoardView(QWidget *parent = nullptr);

    void setBoard(const ScreenBoard &board);
    const ScreenBoard &board() const { return m_board; }
    void setTheme(const ViewerTheme &theme);
    void setBackground(const QImage &picture);
    bool hasBackground() const { return m_painter.hasPicture(); }

    // The layout for the current size, in reading order: row by row, game by game; a game's
    // items carry its index in that order.
    const QList<BoardItem> &items() const { return m_scene.items; }

    bool blinkShown() const { return m_blink.isShown(); }
    void setBlinkInterval(int milliseconds) { m_blink.setInterval(milliseconds); }

    quint64 paintCount() const { return m_paintCount; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void relayout();

    ScreenBoard m_board;
    BoardScene m_scene;
    BoardPainter m_painter;
    BlinkRhythm m_blink;
    quint64 m_paintCount = 0;
};

} // namespace tavlo::display
