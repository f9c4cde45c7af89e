#include "base/Language.h"

#include "base/Settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QTranslator>

namespace tavlo {

namespace {

// TAVLO.ini holds a few short lines.
constexpr qint64 kMaxSettingsSize = 1 << 20;

QString installedLanguage = QStringLiteral("en");

QString available(const QLocale &locale)
{
    const QString code = QLocale::languageToCode(locale.language());
    return availableLanguages().contains(code) ? code : QString();
}

} // namespace

QStringList availableLanguages()
{
    return {QStringLiteral("en"), QStringLiteral("de"), QStringLiteral("es")};
}

QString languageName(const QString &code)
{
    // QLocale names each with its main country ("American English", "español de España").
    if (code == QLatin1String("en"))
        return QStringLiteral("English");
    if (code == QLatin1String("de"))
        return QStringLiteral("Deutsch");
    if (code == QLatin1String("es"))
        return QStringLiteral("Espa\u00f1ol");
    return QLocale(code).nativeLanguageName();
}

QString chooseLanguage(const QString &setting, const QLocale &system)
{
    const QString named = setting.trimmed();
    if (!named.isEmpty()) {
        // QLocale knows codes and, in English, the languages' names.
        QLocale::Language language = QLocale::codeToLanguage(named.section(QRegularExpression(QStringLiteral("[_-]")), 0, 0));
        for (int i = QLocale::AnyLanguage; language == QLocale::AnyLanguage && i <= QLocale::LastLanguage; ++i) {
            if (QLocale::languageToString(QLocale::Language(i)).compare(named, Qt::CaseInsensitive) == 0)
                language = QLocale::Language(i);
        }
        if (const QString code = available(QLocale(language)); language != QLocale::AnyLanguage && !code.isEmpty())
            return code;
    }
    for (const QString &name : system.uiLanguages()) {
        if (const QString code = available(QLocale(name)); !code.isEmpty())
            return code;
    }
    return QStringLiteral("en");
}

QString languageSetting(const QString &programFolder)
{
    QFile file(SettingsFile(programFolder).path());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return SettingsFile::value(file.read(kMaxSettingsSize), QStringLiteral("LANGUAGE")).value_or(QString());
}

bool installTranslations(const QString &language)
{
    // Those of an earlier call go, so that the language can change; those of an application
    // that has ended went with it.
    static QList<QPointer<QTranslator>> installed;
    for (const QPointer<QTranslator> &translator : std::as_const(installed))
        delete translator.data();
    installed.clear();
    installedLanguage = QStringLiteral("en");
    if (language == QLatin1String("en"))
        return true;
    auto *own = new QTranslator(QCoreApplication::instance());
    if (!own->load(QStringLiteral(":/i18n/tavlo_") + language)) {
        delete own;
        return false;
    }
    auto *qt = new QTranslator(QCoreApplication::instance());
    if (!qt->load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        qt = nullptr;
    }
    for (QTranslator *translator : {own, qt}) {
        if (translator) {
            QCoreApplication::installTranslator(translator);
            installed << translator;
        }
    }
    installedLanguage = language;
    return true;
}

QLocale textLocale()
{
    if (installedLanguage == QLatin1String("en"))
        return QLocale::c();
    const QLocale system = QLocale::system();
    return available(system) == installedLanguage ? system : QLocale(installedLanguage);
}

} // namespace tavlo
