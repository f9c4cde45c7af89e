#include "base/Settings.h"

#include "base/LeadingNumber.h"
#include "base/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace tavlo {

namespace {

std::optional<bool> toBoolean(const QString &value)
{
    const QString word = value.trimmed();
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const auto number = wholeNumber(value))
        return *number != 0.0;
    return std::nullopt;
}

// Each line of the text as key (upper case, untrimmed) and value (untrimmed); lines without
// "=" or starting with it are no settings. The line `apply` refuses goes to `refused`.
template <typename Apply>
bool forEachLine(const QByteArray &bytes, Apply apply, QString *refused = nullptr)
{
    const QStringList lines = splitLines(decodeSystemText(bytes));
    for (const QString &line : lines) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        if (!apply(line.left(equals).toUpper(), line.mid(equals + 1))) {
            if (refused)
                *refused = line;
            return false;
        }
    }
    return true;
}

// A line as a message can show it: a value of a million digits is cut.
QString shownLine(const QString &line)
{
    constexpr qsizetype Most = 60;
    const QString kept = withoutControlCharacters(line);
    return kept.size() <= Most ? kept : kept.left(Most) + QStringLiteral("\u2026");
}

} // namespace

Settings Settings::defaults(const QString &programFolder)
{
    const QString folder = programFolder + QDir::separator();
    Settings settings;
    settings.databasePath = folder + QLatin1String("TAVLO.mdb");
    settings.displayFolder = folder;
    settings.rowsInFirstRow = 15;
    settings.rowsInSecondRow = 10;
    return settings;
}

SettingsFile::SettingsFile(const QString &programFolder)
    : m_programFolder(programFolder)
    , m_path(programFolder + QDir::separator() + QLatin1String("TAVLO.ini"))
{
}

bool SettingsFile::parse(const QByteArray &bytes, Settings &settings, QString *invalidLine)
{
    QString refused;
    const bool read = forEachLine(bytes, [&settings](const QString &key, const QString &value) {
        if (key == QLatin1String("DATABASE")) {
            settings.databasePath = value;
        } else if (key == QLatin1String("FILEPATH")) {
            settings.displayFolder = value;
        } else if (key == QLatin1String("PLAYERS_PER_LIST_ROW1") || key == QLatin1String("PLAYERS_PER_LIST_ROW2")
                   || key == QLatin1String("LIST_WIDTH")) {
            const auto number = toInt16(leadingNumber(value));
            if (!number)
                return false;
            if (key == QLatin1String("LIST_WIDTH"))
                settings.listWidth = *number;
            else if (key.endsWith(QLatin1Char('1')))
                settings.rowsInFirstRow = *number;
            else
                settings.rowsInSecondRow = *number;
        } else if (key == QLatin1String("CALL_MINUTES")) {
            const auto number = toInt16(leadingNumber(value));
            if (!number)
                return false;
            // A call shorter than a minute cannot be answered; a room sets a longer one.
            settings.callMinutes = std::max<qint16>(1, *number);
        } else if (key == QLatin1String("LANGUAGE")) {
            settings.language = value;
        } else if (key == QLatin1String("START_MAXIMIZED") || key == QLatin1String("REMOVE_NO_SHOWS")) {
            const auto flag = toBoolean(value);
            if (!flag)
                return false;
            (key.startsWith(QLatin1Char('S')) ? settings.startMaximized : settings.removeNoShows) = *flag;
        }
        return true;
    }, &refused);
    if (!read && invalidLine)
        *invalidLine = shownLine(refused);
    return read;
}

std::optional<QString> SettingsFile::value(const QByteArray &bytes, const QString &upperCaseKey)
{
    std::optional<QString> found;
    forEachLine(bytes, [&](const QString &key, const QString &value) {
        if (key == upperCaseKey)
            found = value;
        return true;
    });
    return found;
}

QByteArray SettingsFile::render(const Settings &settings)
{
    QString text;
    const auto line = [&text](const char *key, const QString &value) {
        text += QLatin1String(key) + value + QLatin1String("\r\n");
    };
    line("DataBase=", settings.databasePath);
    line("FilePath=", settings.displayFolder);
    line("Players_Per_List_Row1=", QString::number(settings.rowsInFirstRow));
    line("Players_Per_List_Row2=", QString::number(settings.rowsInSecondRow));
    line("List_Width=", QString::number(settings.listWidth));
    line("Start_Maximized=", QLatin1String(settings.startMaximized ? "True" : "False"));
    if (settings.callMinutes != Settings::DefaultCallMinutes)
        line("Call_Minutes=", QString::number(settings.callMinutes));
    if (settings.removeNoShows)
        line("Remove_No_Shows=", QStringLiteral("True"));
    if (!settings.language.isEmpty())
        line("Language=", settings.language);
    return encodeSystemText(text);
}

std::optional<SettingsFile::Failure> SettingsFile::load(Settings &settings, bool &firstRun) const
{
    if (!QFileInfo(m_path).isFile()) {
        // Even a read creates the file on the first run.
        firstRun = true;
        settings = Settings::defaults(m_programFolder);
        return save(settings);
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure{Job::Read, m_path, {}};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Failure{Job::Read, m_path, {}};
    QString invalid;
    if (!parse(bytes, settings, &invalid))
        return Failure{Job::Read, m_path, invalid};
    return std::nullopt;
}

std::optional<SettingsFile::Failure> SettingsFile::save(const Settings &settings) const
{
    if (!writeFileAtomically(m_path, render(settings)).isEmpty())
        return Failure{Job::Write, m_path, {}};
    return std::nullopt;
}

} // namespace tavlo
