#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace tavlo::display {

// Where one game's list stands on a screen of games, and how it pages.
struct PanelPlace {
    int game = 0;    // the index among the games shown
    QRect rect;      // the whole panel: heading, count line and names
    int lines = 1;   // lines of names in each column of the panel
    int columns = 1; // columns of names side by side in a wide panel
    int pages = 1;   // pages of its list
    int perPage = 0; // names on every page but perhaps the last

    bool operator==(const PanelPlace &) const = default;
};

// The games one screen shows together, for as many page turns as its longest list has pages.
struct GameScreen {
    QList<PanelPlace> panels;
    int firstGame = 0;
    int pages = 1;

    bool operator==(const GameScreen &) const = default;
};

// The geometry of the large screen for lists of given lengths, widget-free: the text size, the
// panels of the games, and how long lists page. Names are never drawn below the readable size
// (28 pixels at 1080 lines, in proportion on other heights); what does not fit pages instead:
// first the lists, each by itself, and when even the games do not all fit at a few names each,
// the games too, one screen of games after another. Nobody is left out of the cycle.
class BoardLayout {
public:
    static BoardLayout compute(const QSize &size, const QList<int> &listLengths);

    // The smallest name size for a screen of this height, and the largest the board grows to.
    static int minimumNamePixels(int height);

    int namePixels = 0;
    int headingPixels = 0;
    int infoPixels = 0;  // the count and page line
    int headerPixels = 0; // the clock line above the games
    int lineHeight = 0;
    int headingHeight = 0;
    int infoHeight = 0;
    int padding = 0;
    int columnGap = 0;
    QRect header;        // the clock, the time of the last change
    QRect area;          // where the games go
    QList<GameScreen> screens;

    // Which screen of games and which page turn within it a turn of the cycle shows.
    struct Moment {
        int screen = 0;
        int page = 0;
        bool operator==(const Moment &) const = default;
    };
    int turnsPerCycle() const;
    Moment momentAt(qint64 turn) const;

    // Geometry inside a panel.
    QRect headingRect(const PanelPlace &panel) const;
    QRect infoRect(const PanelPlace &panel) const;
    QRect lineRect(const PanelPlace &panel, int column, int line) const;

    bool operator==(const BoardLayout &) const = default;

private:
    void setSizes(const QSize &size, int namePixels);
    int panelHeight(int lines) const;
    int entryWidth() const;
    int panelWidth(int columns) const;
    int maxColumns() const;
    int columnsInPanel(int width) const;
    GameScreen place(const QList<int> &lengths, int first, int count, int columns, const QList<int> &rowLines) const;
    bool placeWhole(const QList<int> &lengths, bool splitLists, GameScreen &screen) const;
    bool placePaged(const QList<int> &lengths, int first, int count, GameScreen &screen) const;
};

} // namespace tavlo::display
