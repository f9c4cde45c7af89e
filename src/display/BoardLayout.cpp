#include "display/BoardLayout.h"

#include <algorithm>
#include <cmath>

namespace tavlo::display {

namespace {

// A list that pages shows at least this many names at a time.
constexpr int kMinLines = 3;
// A column of names needs room for the position, a name of about sixteen letters, the
// markers and the waiting time: this many times the names' pixel size.
constexpr double kEntryEms = 14;
// A column of names grows no wider than this share of that: beyond it the eye loses the line.
constexpr double kWidestEntry = 1.6;

int ceilDiv(int a, int b)
{
    return b <= 0 ? 0 : (a + b - 1) / b;
}

} // namespace

int BoardLayout::minimumNamePixels(int height)
{
    return std::max(10, int(std::lround(28.0 * height / 1080.0)));
}

void BoardLayout::setSizes(const QSize &size, int pixels)
{
    namePixels = pixels;
    headingPixels = int(std::lround(pixels * 1.1));
    infoPixels = std::max(8, int(std::lround(pixels * 0.68)));
    lineHeight = int(std::ceil(pixels * 1.2));
    headingHeight = int(std::ceil(headingPixels * 1.3));
    infoHeight = int(std::ceil(infoPixels * 1.35));
    padding = std::max(2, int(std::lround(pixels * 0.3)));
    columnGap = std::max(4, int(std::lround(pixels * 0.45)));

    // The clock line depends on the screen alone, so that it stays put while the board changes.
    const int w = size.width();
    const int h = size.height();
    const int margin = std::max(4, int(std::lround(std::min(w, h) * 0.015)));
    headerPixels = std::max(10, int(std::lround(h * 0.033)));
    header = QRect(margin, margin / 2, std::max(1, w - 2 * margin), int(std::lround(headerPixels * 1.5)));
    const int top = header.bottom() + 1 + margin / 2;
    area = QRect(margin, top, std::max(1, w - 2 * margin), std::max(1, h - top - margin));
}

int BoardLayout::panelHeight(int lines) const
{
    return 2 * padding + headingHeight + infoHeight + lines * lineHeight;
}

int BoardLayout::entryWidth() const
{
    return int(std::lround(namePixels * kEntryEms));
}

int BoardLayout::panelWidth(int columns) const
{
    return (area.width() - (columns - 1) * columnGap) / std::max(1, columns);
}

int BoardLayout::maxColumns() const
{
    int columns = 1;
    while (panelWidth(columns + 1) >= entryWidth() + 2 * padding)
        ++columns;
    return columns;
}

int BoardLayout::columnsInPanel(int width) const
{
    return std::max(1, (width - 2 * padding + columnGap) / (entryWidth() + columnGap));
}

GameScreen BoardLayout::place(const QList<int> &lengths, int first, int count, int columns,
                              const QList<int> &rowLines) const
{
    GameScreen screen;
    screen.firstGame = first;
    const int fullWidth = panelWidth(columns);
    const int fit = columnsInPanel(fullWidth);

    QList<PanelPlace> panels;
    int widest = 0;
    for (int i = 0; i < count; ++i) {
        PanelPlace panel;
        panel.game = first + i;
        panel.lines = rowLines[i / columns];
        const int length = lengths[first + i];
        panel.columns = std::clamp(ceilDiv(length, panel.lines), 1, fit);
        const int capacity = panel.lines * panel.columns;
        panel.pages = std::max(1, ceilDiv(length, capacity));
        // Pages of even length: fifteen names on pages of seven show as 5, 5, 5, not 7, 7, 1.
        panel.perPage = ceilDiv(length, panel.pages);
        panel.columns = std::max(1, ceilDiv(panel.perPage, panel.lines));
        screen.pages = std::max(screen.pages, panel.pages);
        widest = std::max(widest, panel.columns);
        panels.append(panel);
    }

    // Wide panels shrink to what their names need and the grid stands in the middle.
    const int needed = int(widest * entryWidth() * kWidestEntry) + (widest - 1) * columnGap + 2 * padding;
    const int width = std::min(fullWidth, needed);
    const int used = std::min(columns, count);
    const int left = area.left() + (area.width() - (used * width + (used - 1) * columnGap)) / 2;
    int top = area.top();
    for (int i = 0; i < panels.size(); ++i) {
        const int row = i / columns;
        if (i > 0 && i % columns == 0)
            top += panelHeight(rowLines[row - 1]) + columnGap;
        panels[i].rect = QRect(left + (i % columns) * (width + columnGap), top, width, panelHeight(panels[i].lines));
    }
    screen.panels = panels;
    return screen;
}

bool BoardLayout::placeWhole(const QList<int> &lengths, bool splitLists, GameScreen &screen) const
{
    // Of the arrangements that fit, the one with the fewest rows of games, and of those the
    // one with the fewest columns: the widest panels, the least cut names.
    const int count = int(lengths.size());
    int bestRows = 0;
    for (int columns = std::min(count, maxColumns()); columns >= 1; --columns) {
        const int rows = ceilDiv(count, columns);
        if (bestRows > 0 && rows > bestRows)
            break;
        const int fit = splitLists ? columnsInPanel(panelWidth(columns)) : 1;
        QList<int> rowLines(rows, 1);
        for (int i = 0; i < count; ++i)
            rowLines[i / columns] = std::max(rowLines[i / columns], ceilDiv(lengths[i], fit));
        int height = (rows - 1) * columnGap;
        for (const int lines : rowLines)
            height += panelHeight(lines);
        if (height <= area.height()) {
            screen = place(lengths, 0, count, columns, rowLines);
            bestRows = rows;
        }
    }
    return bestRows > 0;
}

bool BoardLayout::placePaged(const QList<int> &lengths, int first, int count, GameScreen &screen) const
{
    // The arrangement that shows the most names at once; among equals the one with fewer
    // columns of games, whose names have more room.
    int bestShown = -1;
    for (int columns = 1; columns <= std::min(count, maxColumns()); ++columns) {
        const int rows = ceilDiv(count, columns);
        const int chrome = rows * panelHeight(0) + (rows - 1) * columnGap;
        const int total = (area.height() - chrome) / lineHeight;
        if (total < rows * kMinLines && !(bestShown < 0 && columns == std::min(count, maxColumns())))
            continue;
        const int fit = columnsInPanel(panelWidth(columns));
        QList<int> need(rows, 1);
        for (int i = 0; i < count; ++i)
            need[i / columns] = std::max(need[i / columns], ceilDiv(lengths[first + i], fit));
        // The longest rows are cut to the same number of lines, as many as the height allows.
        int cap = std::max(1, total);
        const auto used = [&](int c) {
            int sum = 0;
            for (const int n : need)
                sum += std::min(n, c);
            return sum;
        };
        while (cap > 1 && used(cap) > total)
            --cap;
        QList<int> rowLines(rows);
        int spare = std::max(0, total);
        for (int r = 0; r < rows; ++r) {
            rowLines[r] = std::min(need[r], cap);
            spare -= rowLines[r];
        }
        for (int r = 0; r < rows && spare > 0; ++r) {
            if (need[r] > rowLines[r]) {
                ++rowLines[r];
                --spare;
            }
        }
        int shown = 0;
        for (int i = 0; i < count; ++i)
            shown += std::min(lengths[first + i], rowLines[i / columns] * fit);
        if (shown > bestShown) {
            bestShown = shown;
            screen = place(lengths, first, count, columns, rowLines);
        }
    }
    return bestShown >= 0;
}

BoardLayout BoardLayout::compute(const QSize &size, const QList<int> &listLengths)
{
    BoardLayout layout;
    const int smallest = minimumNamePixels(size.height());
    layout.setSizes(size, smallest);
    const int count = int(listLengths.size());
    if (count == 0)
        return layout;

    // Everything at once, as large as it fits: each list in one column, or long lists in
    // columns side by side when that makes the text clearly larger (one column reads easier).
    const auto largestWhole = [&](bool splitLists, BoardLayout &best) {
        for (int pixels = 2 * smallest; pixels >= smallest; --pixels) {
            best.setSizes(size, pixels);
            GameScreen screen;
            if (best.placeWhole(listLengths, splitLists, screen)) {
                best.screens = {screen};
                return pixels;
            }
        }
        return 0;
    };
    BoardLayout split = layout;
    const int single = largestWhole(false, layout);
    if (largestWhole(true, split) > single * 1.15)
        return split;
    if (single > 0)
        return layout;

    // At the readable size, the lists page; when the games do not all fit at a few names
    // each, they are split into screens of about equal numbers.
    layout.setSizes(size, smallest);
    const int rows = std::max(1, (layout.area.height() + layout.columnGap) / (layout.panelHeight(kMinLines) + layout.columnGap));
    const int perScreen = std::max(1, rows * layout.maxColumns());
    const int screens = ceilDiv(count, perScreen);
    const int each = ceilDiv(count, screens);
    for (int first = 0; first < count; first += each) {
        GameScreen screen;
        layout.placePaged(listLengths, first, std::min(each, count - first), screen);
        layout.screens.append(screen);
    }
    return layout;
}

int BoardLayout::turnsPerCycle() const
{
    int turns = 0;
    for (const GameScreen &screen : screens)
        turns += screen.pages;
    return std::max(1, turns);
}

BoardLayout::Moment BoardLayout::momentAt(qint64 turn) const
{
    const int cycle = turnsPerCycle();
    int t = int(((turn % cycle) + cycle) % cycle);
    for (int s = 0; s < screens.size(); ++s) {
        if (t < screens[s].pages)
            return {s, t};
        t -= screens[s].pages;
    }
    return {};
}

QRect BoardLayout::headingRect(const PanelPlace &panel) const
{
    return QRect(panel.rect.left() + padding, panel.rect.top() + padding, panel.rect.width() - 2 * padding, headingHeight);
}

QRect BoardLayout::infoRect(const PanelPlace &panel) const
{
    return QRect(panel.rect.left() + padding, panel.rect.top() + padding + headingHeight, panel.rect.width() - 2 * padding,
                 infoHeight);
}

QRect BoardLayout::lineRect(const PanelPlace &panel, int column, int line) const
{
    const int inner = panel.rect.width() - 2 * padding;
    const int width = (inner - (panel.columns - 1) * columnGap) / panel.columns;
    return QRect(panel.rect.left() + padding + column * (width + columnGap),
                 panel.rect.top() + padding + headingHeight + infoHeight + line * lineHeight, width, lineHeight);
}

} // namespace tavlo::display
