#include "core/SettingsFile.h"

#include "base/LeadingNumber.h"
#include "base/TextFile.h"
#include "core/WindowState.h"

#include "platform/MessageBox.h"
#include "platform/Platform.h"
#include "platform/ProcessEnd.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

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

// Applies one settings line; false when its value cannot be converted.
bool applyLine(const QString &line, WindowState &state)
{
    const int equals = line.indexOf(QLatin1Char('='));
    if (equals <= 0)
        return true;
    const QString key = line.left(equals).toUpper();
    const QString value = line.mid(equals + 1);

    if (key == QLatin1String("DATABASE")) {
        state.DatabasePath = value;
    } else if (key == QLatin1String("FILEPATH")) {
        state.FilePath = value;
    } else if (key == QLatin1String("PLAYERS_PER_LIST_ROW1") || key == QLatin1String("PLAYERS_PER_LIST_ROW2")
               || key == QLatin1String("LIST_WIDTH")) {
        const auto number = toInt16(leadingNumber(value));
        if (!number)
            return false;
        if (key == QLatin1String("LIST_WIDTH"))
            state.ListWidth = *number;
        else if (key.endsWith(QLatin1Char('1')))
            state.PlayersPerListRow1 = *number;
        else
            state.PlayersPerListRow2 = *number;
    } else if (key == QLatin1String("START_MAXIMIZED")) {
        const auto flag = toBoolean(value);
        if (!flag)
            return false;
        state.StartMaximized = *flag;
    }
    return true;
}

bool readSettings(const QString &path, WindowState &state)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    return readSettingsText(bytes, state);
}

bool writeSettings(const QString &path, const WindowState &state)
{
    const QStringList lines{
        QLatin1String("DataBase=") + state.DatabasePath,
        QLatin1String("FilePath=") + state.FilePath,
        QLatin1String("Players_Per_List_Row1=") + QString::number(state.PlayersPerListRow1),
        QLatin1String("Players_Per_List_Row2=") + QString::number(state.PlayersPerListRow2),
        QLatin1String("List_Width=") + QString::number(state.ListWidth),
        QLatin1String("Start_Maximized=") + QLatin1String(state.StartMaximized ? "True" : "False"),
    };
    return writeTextFileAtomically(path, lines).isEmpty();
}

} // namespace

bool readSettingsText(const QByteArray &bytes, WindowState &state)
{
    const QStringList lines = splitLines(decodeSystemText(bytes));
    for (const QString &line : lines) {
        if (!applyLine(line, state))
            return false;
    }
    return true;
}

QString settingsFilePath(const QString &programFolder)
{
    return programFolder + QDir::separator() + QLatin1String("TAVLO.ini");
}

bool INIFile(QString &job, WindowState &state, const Platform &platform)
{
    const QString path = settingsFilePath(platform.programFolder);
    job = job.trimmed().toUpper();

    if (!QFileInfo(path).isFile()) {
        state.FirstRun = true;
        const QString folder = platform.programFolder + QDir::separator();
        state.DatabasePath = folder + QLatin1String("TAVLO.mdb");
        state.FilePath = folder;
        state.PlayersPerListRow1 = 15;
        state.PlayersPerListRow2 = 10;
        state.ListWidth = 0;
        state.StartMaximized = false;
        job = QStringLiteral("WRITE");
    }

    bool ok = true;
    if (job == QLatin1String("READ"))
        ok = readSettings(path, state);
    else if (job == QLatin1String("WRITE"))
        ok = writeSettings(path, state);
    if (ok)
        return true;

    platform.messageBox->show(QLatin1String("Unexpected Error!\r\nCannot ") + job + QLatin1String(" file ") + path,
                              MessageBox::Critical | MessageBox::OkOnly, QStringLiteral("TAVLO"));
    platform.processEnd->endNow(1);
    return false;
}

} // namespace tavlo
