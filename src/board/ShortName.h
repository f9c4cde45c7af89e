#pragma once

#include <QString>

namespace tavlo {

// A name as a public screen shows it in privacy mode: the first word and the initial of the
// last one, "Alice Brown" as "Alice B."; a name of one word stays as it is. Blanks are
// simplified either way.
QString firstNameWithInitial(const QString &name);

} // namespace tavlo
