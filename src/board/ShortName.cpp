#include "board/ShortName.h"

#include <algorithm>

namespace tavlo {

namespace {

constexpr qsizetype kMaxScreenText = 200;

// Whether simplifying would leave the text as it is: a large room's names mostly are, and
// then cost no copy.
bool isSimplified(QStringView text)
{
    bool afterBlank = true; // a blank at the start is one too many
    for (const QChar c : text) {
        const bool blank = c.isSpace();
        if (blank && (afterBlank || c != u' '))
            return false;
        afterBlank = blank;
    }
    return !afterBlank || text.isEmpty();
}

} // namespace

QString shortenedForScreen(QStringView text)
{
    // Work on a bounded piece: a line of megabytes is no name.
    QString result = text.first(std::min<qsizetype>(text.size(), kMaxScreenText * 4)).toString().simplified();
    if (result.size() > kMaxScreenText)
        result = result.left(kMaxScreenText - 1) + QChar(0x2026);
    return result;
}

QString shortenedForScreen(const QString &text)
{
    return text.size() <= kMaxScreenText && isSimplified(text) ? text : shortenedForScreen(QStringView(text));
}

QString firstNameWithInitial(const QString &name)
{
    const QString simple = isSimplified(name) ? name : name.simplified();
    const qsizetype firstBlank = simple.indexOf(u' ');
    if (firstBlank < 0)
        return simple;
    // The initial is the last word's first letter or digit, so that "(Bob)" gives "B.".
    const QStringView last = QStringView(simple).sliced(simple.lastIndexOf(u' ') + 1);
    for (qsizetype i = 0; i < last.size(); ++i) {
        const bool pair = last[i].isHighSurrogate() && i + 1 < last.size() && last[i + 1].isLowSurrogate();
        const char32_t code = pair ? QChar::surrogateToUcs4(last[i], last[i + 1]) : last[i].unicode();
        if (QChar::isLetterOrNumber(code))
            return simple.first(firstBlank) + u' ' + last.sliced(i, pair ? 2 : 1).toString().toUpper() + u'.';
        if (pair)
            ++i;
    }
    return simple.first(firstBlank);
}

} // namespace tavlo
