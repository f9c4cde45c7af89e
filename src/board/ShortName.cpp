#include "board/ShortName.h"

#include <QStringList>

namespace tavlo {

QString firstNameWithInitial(const QString &name)
{
    const QStringList words = name.simplified().split(u' ', Qt::SkipEmptyParts);
    if (words.size() < 2)
        return words.value(0);
    // The initial is the last word's first letter or digit, so that "(Bob)" gives "B.".
    const QString &last = words.last();
    for (qsizetype i = 0; i < last.size(); ++i) {
        const bool pair = last[i].isHighSurrogate() && i + 1 < last.size() && last[i + 1].isLowSurrogate();
        const char32_t code = pair ? QChar::surrogateToUcs4(last[i], last[i + 1]) : last[i].unicode();
        if (QChar::isLetterOrNumber(code))
            return words.first() + u' ' + last.mid(i, pair ? 2 : 1).toUpper() + u'.';
        if (pair)
            ++i;
    }
    return words.first();
}

} // namespace tavlo
