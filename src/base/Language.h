#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace tavlo {

// The languages the programs speak: English, the one every text is written in, first.
QStringList availableLanguages();
// A language's name in its own words ("Deutsch"), as its speakers look for it in a list.
QString languageName(const QString &code);

// The language to speak: the Language line of TAVLO.ini when it names an available one
// ("de", "es", "en"; "de_AT" and "German" too), otherwise the first available one of the
// system's languages, otherwise English.
QString chooseLanguage(const QString &setting, const QLocale &system);

// The Language line of TAVLO.ini in a program folder; empty without one.
QString languageSetting(const QString &programFolder);

// Installs the programs' translations, and Qt's own where Debian has them, into the running
// application. English needs none. Returns false when the programs' own translation cannot be
// loaded.
bool installTranslations(const QString &language);

// The locale that writes day and month names in texts: C's while the programs speak English,
// so that those texts stay as they were; the system's when it speaks the installed language,
// otherwise that language's.
QLocale textLocale();

} // namespace tavlo
