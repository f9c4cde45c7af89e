#pragma once

#include <QString>
#include <QStringView>

namespace tavlo {

// A name or a line as a screen shows it: blanks simplified, at most 200 characters (the last
// an ellipsis); only the beginning of a huge text is looked at.
QString shortenedForScreen(QStringView text);
// The same; a text a screen shows as it is comes back as it is, without a copy.
QString shortenedForScreen(const QString &text);

// A name as a public screen shows it in privacy mode: the first word and the initial of the
// last one, "Alice Brown" as "Alice B."; a name of one word stays as it is. Blanks are
// simplified either way.
QString firstNameWithInitial(const QString &name);

} // namespace tavlo
