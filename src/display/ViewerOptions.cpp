#include "display/ViewerOptions.h"

#include "base/TextFile.h"
#include "board/GameFilter.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>

namespace tavlo::display {

namespace {

struct OptionText {
    Q_DECLARE_TR_FUNCTIONS(ViewerOptions)
};
const QString kFolder = QStringLiteral("display-folder");
const QString kFullScreen = QStringLiteral("full-screen");
const QString kWindowed = QStringLiteral("windowed");
const QString kScreen = QStringLiteral("screen");
const QString kGames = QStringLiteral("games");
const QString kPageSeconds = QStringLiteral("page-seconds");
const QString kTheme = QStringLiteral("theme");
const QString kPrivacy = QStringLiteral("privacy");
const QString kFullNames = QStringLiteral("full-names");
const QString kEstimates = QStringLiteral("estimates");
const QString kSettings = QStringLiteral("settings");
const QString kWebPort = QStringLiteral("web-port");
const QString kWebAddress = QStringLiteral("web-address");
const QString kWebFullNames = QStringLiteral("web-full-names");

// Values are a few words, a number, a path or a list of games; one far longer is a mistake.
constexpr qsizetype kMaxValueLength = GameFilter::kMaxListLength;

// A line as a warning shows it: the start of one that goes on and on.
QString shown(const QString &line)
{
    constexpr qsizetype kMost = 80;
    if (line.size() <= kMost)
        return line;
    return OptionText::tr("%1… (%2 characters)").arg(line.left(kMost)).arg(line.size());
}

bool readGames(const QString &text, QStringList &games)
{
    const std::optional<QStringList> read = GameFilter::read(text);
    if (read)
        games = *read;
    return read.has_value();
}

QString folderFrom(const QString &base, const QString &folder)
{
    const QString path = QDir(base).absoluteFilePath(folder);
    return withTrailingSeparator(QDir::toNativeSeparators(QDir::cleanPath(path)));
}

bool readPageSeconds(const QString &text, int &seconds)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < ViewerOptions::kMinPageSeconds || value > ViewerOptions::kMaxPageSeconds)
        return false;
    seconds = value;
    return true;
}

bool readPort(const QString &text, int &port)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 0 || value > 65535)
        return false;
    port = value;
    return true;
}

bool readAddress(const QString &text, QString &address)
{
    const QString trimmed = text.trimmed();
    if (!trimmed.isEmpty() && QHostAddress(trimmed).isNull())
        return false;
    address = trimmed;
    return true;
}

bool readSwitch(const QString &text, bool &on)
{
    // As TAVLO.ini writes them (True, False, -1, 0), and as people write them.
    const QString word = text.trimmed().toLower();
    if (word == QLatin1String("true") || word == QLatin1String("yes") || word == QLatin1String("on")
        || word == QLatin1String("1") || word == QLatin1String("-1")) {
        on = true;
        return true;
    }
    if (word == QLatin1String("false") || word == QLatin1String("no") || word == QLatin1String("off")
        || word == QLatin1String("0")) {
        on = false;
        return true;
    }
    return false;
}

// The file's keys in the order a new file lists them.
const char *const kFileKeys[] = {"display_folder", "screen", "games", "page_seconds", "theme", "privacy",
                                 "estimates", "web_port", "web_address", "web_full_names"};

// Settings files are a few lines; anything far larger is not one.
constexpr qint64 kMaxSettingsSize = 1 << 20;

QString onOff(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

// The value a key is written with; nothing where the key is better left out (the phones off).
std::optional<QString> valueOf(const QString &key, const ViewerOptions &o)
{
    if (key == QLatin1String("display_folder"))
        return o.displayFolder;
    if (key == QLatin1String("screen"))
        return o.screen;
    if (key == QLatin1String("games"))
        return o.games.join(QStringLiteral(", "));
    if (key == QLatin1String("page_seconds"))
        return QString::number(o.pageSeconds);
    if (key == QLatin1String("theme"))
        return ViewerTheme::nameOf(o.theme);
    if (key == QLatin1String("privacy"))
        return onOff(o.privacy);
    if (key == QLatin1String("estimates"))
        return onOff(o.estimates);
    if (key == QLatin1String("web_port"))
        return o.webEnabled() ? std::optional(QString::number(o.webPort)) : std::nullopt;
    if (key == QLatin1String("web_address"))
        return o.webAddress;
    return onOff(o.webFullNames);
}

} // namespace

void addViewerOptions(QCommandLineParser &parser)
{
    parser.addOption({{QStringLiteral("d"), kFolder},
                      OptionText::tr("Show the board from <folder> instead of the folder named by the "
                                     "FilePath line of TAVLO.ini in the program folder."),
                      QStringLiteral("folder")});
    parser.addOption({{QStringLiteral("f"), kFullScreen}, OptionText::tr("Start full screen (the default).")});
    parser.addOption({{QStringLiteral("w"), kWindowed}, OptionText::tr("Start in a window.")});
    parser.addOption({kScreen,
                      OptionText::tr("Fill this screen: its number, counting from 1, or its name (for example "
                                     "HDMI-1). The primary screen by default."),
                      QStringLiteral("screen")});
    parser.addOption({kGames,
                      OptionText::tr("Show only these games: names separated by commas, * for any text "
                                     "(for example \"Omaha*, Stud\")."),
                      QStringLiteral("names")});
    parser.addOption({kPageSeconds,
                      OptionText::tr("Seconds each page of a long list stays on the screen (%1 to %2, 8 by default).")
                              .arg(ViewerOptions::kMinPageSeconds)
                              .arg(ViewerOptions::kMaxPageSeconds),
                      QStringLiteral("seconds")});
    parser.addOption({kTheme, OptionText::tr("standard (the default) or high-contrast."), QStringLiteral("theme")});
    parser.addOption({kPrivacy, OptionText::tr("Show first names with initials (\"Alice B.\").")});
    parser.addOption({kFullNames, OptionText::tr("Show names as typed (the default).")});
    parser.addOption({kEstimates, OptionText::tr("Show each game's wait estimate (\"about 25 min\") under its title.")});
    parser.addOption({kWebPort,
                      OptionText::tr("Serve the board to phones on the room's network at this port (off by default)."),
                      QStringLiteral("port")});
    parser.addOption({kWebAddress,
                      OptionText::tr("Serve the phones' page on this address only (all of this machine's by default)."),
                      QStringLiteral("address")});
    parser.addOption({kWebFullNames,
                      OptionText::tr("Show full names on the phones' page (first names and initials by default).")});
    parser.addOption({kSettings,
                      OptionText::tr("Read the viewer's settings from <file> instead of TAVLO-Display.ini in the "
                                     "program folder."),
                      QStringLiteral("file")});
}

QString viewerSettingsPath(const QCommandLineParser &parser, const QString &workingFolder, const QString &programFolder,
                           bool *named)
{
    if (named)
        *named = parser.isSet(kSettings);
    if (parser.isSet(kSettings))
        return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(parser.value(kSettings)));
    return programFolder + QDir::separator() + QLatin1String(kViewerSettingsFileName);
}

QStringList applyViewerSettings(const QByteArray &bytes, const QString &settingsFolder, ViewerOptions &options)
{
    QStringList problems;
    int lineNumber = 0;
    for (const QByteArray &raw : bytes.split('\n')) {
        ++lineNumber;
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';') || line.startsWith(u'['))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        const QString key = line.left(equals).trimmed().toLower();
        const QString value = line.mid(equals + 1).trimmed();
        bool used = true;
        if (equals <= 0 || value.size() > kMaxValueLength) {
            used = false;
        } else if (key == QLatin1String("display_folder")) {
            options.displayFolder = value.isEmpty() ? QString() : folderFrom(settingsFolder, value);
        } else if (key == QLatin1String("screen")) {
            options.screen = value;
        } else if (key == QLatin1String("games")) {
            used = readGames(value, options.games);
        } else if (key == QLatin1String("page_seconds")) {
            used = readPageSeconds(value, options.pageSeconds);
        } else if (key == QLatin1String("theme")) {
            used = ViewerTheme::kindOf(value, options.theme);
        } else if (key == QLatin1String("privacy")) {
            used = readSwitch(value, options.privacy);
        } else if (key == QLatin1String("estimates")) {
            used = readSwitch(value, options.estimates);
        } else if (key == QLatin1String("web_port")) {
            used = readPort(value, options.webPort);
        } else if (key == QLatin1String("web_address")) {
            used = readAddress(value, options.webAddress);
        } else if (key == QLatin1String("web_full_names")) {
            used = readSwitch(value, options.webFullNames);
        } else {
            used = false;
        }
        if (!used)
            problems << OptionText::tr("line %1 not used: %2").arg(lineNumber).arg(shown(line));
    }
    return problems;
}

QByteArray viewerSettingsText(const QByteArray &old, const QString &settingsFolder, const ViewerOptions &options)
{
    const QByteArray end = old.contains("\r\n") || !old.contains('\n') ? QByteArray("\r\n") : QByteArray("\n");
    QList<QByteArray> lines = old.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QStringList written;
    QByteArray text;
    const auto add = [&](const QString &key) {
        if (const std::optional<QString> value = valueOf(key, options))
            text += (key + QLatin1Char('=') + *value).toUtf8() + end;
    };
    for (QByteArray raw : std::as_const(lines)) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QString line = QString::fromUtf8(raw).trimmed();
        const qsizetype equals = line.indexOf(u'=');
        const QString key = equals > 0 ? line.left(equals).trimmed().toLower() : QString();
        const bool known = !line.startsWith(u'#') && !line.startsWith(u';')
                && std::any_of(std::begin(kFileKeys), std::end(kFileKeys), [&](const char *k) { return key == QLatin1String(k); });
        if (!known) {
            text += raw + end;
            continue;
        }
        if (written.contains(key))
            continue; // a later line would override the one written
        written << key;
        // A line that already says it stays as the hand wrote it (a relative folder, "yes").
        ViewerOptions probe = options;
        if (applyViewerSettings(raw, settingsFolder, probe).isEmpty() && probe == options
            && valueOf(key, options).has_value())
            text += raw + end;
        else
            add(key);
    }
    for (const char *key : kFileKeys) {
        if (!written.contains(QLatin1String(key)))
            add(QLatin1String(key));
    }
    return text;
}

QString saveViewerSettings(const QString &path, const ViewerOptions &options)
{
    QFile file(path);
    const QByteArray old = file.open(QIODevice::ReadOnly) ? file.read(kMaxSettingsSize) : QByteArray();
    return writeFileAtomically(path, viewerSettingsText(old, QFileInfo(path).absolutePath(), options));
}

ViewerOptions readViewerSettings(const QString &path)
{
    ViewerOptions options;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        applyViewerSettings(file.read(kMaxSettingsSize), QFileInfo(path).absolutePath(), options);
    return options;
}

QStringList applyCommandLine(const QCommandLineParser &parser, const QString &workingFolder, ViewerOptions &options)
{
    QStringList problems;
    for (const QString &name : parser.optionNames()) {
        const QString value = parser.value(name);
        if (value.size() > kMaxValueLength)
            problems << OptionText::tr("--%1 takes at most %2 characters, not \"%3\"")
                                .arg(name)
                                .arg(kMaxValueLength)
                                .arg(shown(value));
    }
    if (!problems.isEmpty())
        return problems;
    if (parser.isSet(kFolder))
        options.displayFolder = folderFrom(workingFolder, parser.value(kFolder));
    for (const QString &name : parser.optionNames()) {
        if (name == kWindowed || name == QLatin1String("w"))
            options.fullScreen = false;
        else if (name == kFullScreen || name == QLatin1String("f"))
            options.fullScreen = true;
        else if (name == kPrivacy)
            options.privacy = true;
        else if (name == kFullNames)
            options.privacy = false;
        else if (name == kEstimates)
            options.estimates = true;
    }
    if (parser.isSet(kScreen))
        options.screen = parser.value(kScreen).trimmed();
    if (parser.isSet(kGames) && !readGames(parser.value(kGames), options.games))
        problems << OptionText::tr("--games takes names or patterns separated by commas, not \"%1\"").arg(parser.value(kGames));
    if (parser.isSet(kPageSeconds) && !readPageSeconds(parser.value(kPageSeconds), options.pageSeconds))
        problems << OptionText::tr("--page-seconds takes a number of seconds from %1 to %2, not \"%3\"")
                            .arg(ViewerOptions::kMinPageSeconds)
                            .arg(ViewerOptions::kMaxPageSeconds)
                            .arg(parser.value(kPageSeconds));
    if (parser.isSet(kWebPort) && !readPort(parser.value(kWebPort), options.webPort))
        problems << OptionText::tr("--web-port takes a port number from 0 to 65535, not \"%1\"").arg(parser.value(kWebPort));
    if (parser.isSet(kWebAddress) && !readAddress(parser.value(kWebAddress), options.webAddress))
        problems << OptionText::tr("--web-address takes an IP address of this machine, not \"%1\"").arg(parser.value(kWebAddress));
    if (parser.isSet(kWebFullNames))
        options.webFullNames = true;
    if (parser.isSet(kTheme) && !ViewerTheme::kindOf(parser.value(kTheme), options.theme))
        problems << OptionText::tr("--theme takes standard or high-contrast, not \"%1\"").arg(parser.value(kTheme));
    return problems;
}

} // namespace tavlo::display
