#pragma once

#include "display/ViewerTheme.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QTimer>

class QPainter;

namespace tavlo::display {

// One piece of text on the large screen, placed for the view's size and the moment.
struct BoardItem {
    enum class Kind { Title, Clock, LastChange, Screens, Banner, Heading, Count, Page, Position, Name, Waiting, Blank, Call };
    Kind kind = Kind::Name;
    QString text;      // what it says
    QString shownText; // cut with an ellipsis where even the smallest size allowed cannot fit it
    QRect rect;
    int pixelSize = 0;
    int alignment = 0; // Qt::Alignment
    bool bold = false;
    bool blink = false;
    int game = -1; // the index among the games shown, for the items of a game

    bool operator==(const BoardItem &) const = default;
};

// What a view of the board shows at one moment, placed for its size.
struct BoardScene {
    QList<QRect> panels; // behind the games' lists
    int panelRadius = 0;
    int bannerHeight = 0; // the stale banner's band across the top; none at 0
    QList<BoardItem> items; // in painting order

    bool operator==(const BoardScene &) const = default;
};

// Paints a board: what it stands on (the background picture, covering the view with its
// proportions kept and the overhang cut; or the theme's gradient), the panels, the banner's
// band, and every text in the colour of its kind over its shadow. It holds no widget, so that
// any painter can take a board: each view's paintEvent() only calls paint().
class BoardPainter {
public:
    void setTheme(const ViewerTheme &theme) { m_theme = theme; }
    void setPicture(const QImage &picture);
    bool hasPicture() const { return !m_picture.isNull(); }

    // The scene as a view of `size` shows it, only what meets `region` (all of it when
    // empty); the blinking texts are left out while `blinkShown` is false.
    void paint(QPainter &painter, const QSize &size, const BoardScene &scene, bool blinkShown,
               const QRegion &region = QRegion()) const;

    // Where the blinking texts of a scene paint, their glyphs and shadows included.
    static QRect blinkArea(const BoardScene &scene);

private:
    void paintBackdrop(QPainter &painter, const QSize &size) const;
    void paintText(QPainter &painter, const BoardItem &item, bool stale) const;

    ViewerTheme m_theme = ViewerTheme::of(ViewerTheme::Kind::Standard);
    QImage m_picture;
    mutable QPixmap m_scaled; // the picture for the last size painted, scaled once per size
};

// The rhythm of blinking names, the same for every view: shown and hidden by turns, every half
// second unless told otherwise, while something blinks.
class BlinkRhythm : public QObject {
    Q_OBJECT
public:
    explicit BlinkRhythm(QObject *parent = nullptr);

    bool isShown() const { return m_shown; }
    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    // Runs on from where it stands while something blinks; stopped, the names show.
    void follow(bool blinking);
    // As follow(), but from "shown" again: for a board that came anew.
    void restart(bool blinking);

signals:
    void toggled(bool shown);

private:
    QTimer m_timer;
    bool m_shown = true;
};

} // namespace tavlo::display
