#pragma once

#include <QString>
#include <QStringList>

#include <cmath>

namespace tavlo::test {

// The console's worked example: Poker with Anna<star>, Ben<blink>, Carl<blink><star><phone>;
// Blackjack with nobody; three rows per game.
inline QStringList workedExampleLines()
{
    return {
        QStringLiteral("<table border='0' width='100%'><tr>"),
        QStringLiteral("<td width='50%' valign='top' align='center'><table border='0' width='90%' class='list' "
                       "cellspacing='0' cellpadding='1'><tr><td class='listhead'>Poker</td></tr>"),
        QStringLiteral("<tr><td>Anna&#9733;</td></tr>"),
        QStringLiteral("<tr><td><blink>Ben</blink></td></tr>"),
        QStringLiteral("<tr><td><blink>Carl&#9733;&#9742;</blink></td></tr>"),
        QStringLiteral("</table></td>"),
        QStringLiteral("<td width='50%' valign='top' align='center'><table border='0' width='90%' class='list' "
                       "cellspacing='0' cellpadding='1'><tr><td class='listhead'>Blackjack</td></tr>"),
        QStringLiteral("<tr><td>&nbsp;</td></tr>"),
        QStringLiteral("<tr><td>&nbsp;</td></tr>"),
        QStringLiteral("<tr><td>&nbsp;</td></tr>"),
        QStringLiteral("</table></td>"),
        QStringLiteral("</tr><tr><td width='50%'>&nbsp;</td></tr><tr>"),
        QStringLiteral("</tr></table>"),
    };
}

// The worked example as the console writes it, and what it shows, in reading order.
inline QString workedExample()
{
    return workedExampleLines().join(QLatin1String("\r\n")) + QLatin1String("\r\n");
}
inline QStringList workedExampleTexts()
{
    return {QStringLiteral("Poker"), QStringLiteral("Anna\u2605"), QStringLiteral("Ben"),
            QStringLiteral("Carl\u2605\u260E"), QStringLiteral("Blackjack")};
}

// A fragment laid out the way the console lays one out: `games` games named "Game 1" … with
// `players(i)` players each, rows1 / rows2 lines per game in the first / second row of games.
template <typename PlayersOf>
QStringList fragmentLines(int games, int rows1, int rows2, PlayersOf players)
{
    const int first = games <= 5 ? games : (games + 1) / 2;
    const int percent = games == 0 ? 100 : int(std::nearbyint(100.0 / first)); // halves to even
    QStringList lines{QStringLiteral("<table border='0' width='100%'><tr>")};
    int capacity = rows1;
    for (int g = 0; g < games; ++g) {
        lines << QStringLiteral("<td width='%1%' valign='top' align='center'><table border='0' width='90%' "
                                "class='list' cellspacing='0' cellpadding='1'><tr><td class='listhead'>Game %2</td></tr>")
                     .arg(percent)
                     .arg(g + 1);
        const QStringList names = players(g);
        int m = 0;
        for (; m < names.size() && m < capacity; ++m)
            lines << QStringLiteral("<tr><td>%1</td></tr>").arg(names[m]);
        for (; m < capacity; ++m)
            lines << QStringLiteral("<tr><td>&nbsp;</td></tr>");
        lines << QStringLiteral("</table></td>");
        if (g + 1 == first) {
            lines << QStringLiteral("</tr><tr><td width='%1%'>&nbsp;</td></tr><tr>").arg(percent);
            capacity = rows2;
        }
    }
    lines << QStringLiteral("</tr></table>");
    return lines;
}

} // namespace tavlo::test
