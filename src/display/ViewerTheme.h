#pragma once

#include <QColor>
#include <QFont>
#include <QString>

namespace tavlo::display {

// How the large screen looks. Either way the markers are glyphs and the banner has words:
// colour is never the only sign of anything.
struct ViewerTheme {
    enum class Kind { Standard, HighContrast };

    Kind kind = Kind::Standard;
    bool usesPicture = true; // the background picture, when there is one
    QColor backgroundTop;
    QColor backgroundBottom;
    QColor text;
    QColor heading;
    QColor quiet;   // counts, pages, waiting times, positions
    QColor shadow;  // transparent: no shadow
    QColor panel;
    QColor panelEdge;
    int panelEdgeWidth = 1;
    QColor bannerBackground;
    QColor bannerText;

    static ViewerTheme of(Kind kind);
    // The board's typeface at a pixel size.
    static QFont font(int pixelSize, bool bold);
    // "standard" or "high-contrast" (letter case aside); nothing for another word.
    static bool kindOf(const QString &word, Kind &kind);
    static QString nameOf(Kind kind);

};

} // namespace tavlo::display
