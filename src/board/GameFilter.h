#pragma once

#include <QList>
#include <QRegularExpression>
#include <QStringList>

#include <optional>

namespace tavlo {

// Which games a screen shows: all of them, or those whose names match one of a few patterns
// (letter case and surrounding blanks aside; * stands for any text, ? for one character), so
// that a side room can show its own games.
class GameFilter {
public:
    GameFilter() = default;
    explicit GameFilter(const QStringList &patterns);

    bool isEmpty() const { return m_patterns.isEmpty(); }
    const QStringList &patterns() const { return m_texts; }
    bool matches(const QString &gameName) const;

    // A room's game names fit with room to spare; a list far longer is a mistake.
    static constexpr qsizetype kMaxListLength = 4096;
    // A comma-separated list as the command line and the settings file give it; nothing when
    // it is longer than kMaxListLength or a pattern in it cannot be matched.
    static std::optional<QStringList> read(const QString &list);

private:
    QList<QRegularExpression> m_patterns;
    QStringList m_texts;
};

} // namespace tavlo
