#include "board/GameFilter.h"

namespace tavlo {

namespace {

// Only * and ? are wild; brackets and the rest are the name's own letters.
QString regularExpressionOf(const QString &pattern)
{
    QString expression;
    QString literal;
    for (const QChar c : pattern) {
        if (c == u'*' || c == u'?') {
            expression += QRegularExpression::escape(literal) + (c == u'*' ? QLatin1String(".*") : QLatin1String("."));
            literal.clear();
        } else {
            literal += c;
        }
    }
    return QRegularExpression::anchoredPattern(expression + QRegularExpression::escape(literal));
}

} // namespace

GameFilter::GameFilter(const QStringList &patterns)
{
    for (const QString &pattern : patterns) {
        const QString simple = pattern.simplified();
        if (simple.isEmpty())
            continue;
        m_patterns.append(QRegularExpression(regularExpressionOf(simple), QRegularExpression::CaseInsensitiveOption));
        m_texts.append(simple);
    }
}

bool GameFilter::matches(const QString &gameName) const
{
    if (m_patterns.isEmpty())
        return true;
    const QString name = gameName.simplified();
    for (const QRegularExpression &pattern : m_patterns) {
        if (pattern.match(name).hasMatch())
            return true;
    }
    return false;
}

std::optional<QStringList> GameFilter::read(const QString &list)
{
    if (list.size() > kMaxListLength)
        return std::nullopt;
    QStringList out;
    for (const QString &piece : list.split(u',')) {
        if (piece.trimmed().isEmpty())
            continue;
        if (!QRegularExpression(regularExpressionOf(piece.simplified())).isValid())
            return std::nullopt;
        out << piece.trimmed();
    }
    return out;
}

} // namespace tavlo
