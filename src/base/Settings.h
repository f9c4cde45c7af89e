#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tavlo {

// The settings of TAVLO.ini: six lines always, then optional ones (the floor's, written only
// when they differ from their defaults, and the language, when one is set). A value the file
// does not name stays as it is: empty texts, zeros and false until something sets them, the
// floor's defaults for its own.
struct Settings {
    QString databasePath;
    QString displayFolder; // the FilePath line: file names are appended to it directly
    qint16 rowsInFirstRow = 0;
    qint16 rowsInSecondRow = 0;
    qint16 listWidth = 0; // 0: the lists take 90% of their column
    bool startMaximized = false;
    // How long a called player has to come (Call_Minutes), and whether a player who does not
    // leaves the list (Remove_No_Shows) rather than going to its end.
    qint16 callMinutes = DefaultCallMinutes;
    bool removeNoShows = false;
    static constexpr qint16 DefaultCallMinutes = 5;
    QString language; // empty: the system's; written back only when the file names one

    // What a first start writes, for a program folder without a trailing separator.
    static Settings defaults(const QString &programFolder);
    bool operator==(const Settings &) const = default;
};

// Reading and writing TAVLO.ini in a program folder.
class SettingsFile {
public:
    enum class Job { Read, Write };
    struct Failure {
        Job job;
        QString path;
        QString invalidLine; // a read stopped by a value that cannot be converted: its line, as parse() gives it
    };

    explicit SettingsFile(const QString &programFolder);

    QString path() const { return m_path; }
    QString programFolder() const { return m_programFolder; }

    // Reads the file into `settings`. Without a file this is the first run: the settings become
    // the defaults and the file is written with them. Returns what failed, if anything.
    std::optional<Failure> load(Settings &settings, bool &firstRun) const;
    std::optional<Failure> save(const Settings &settings) const;

    // Applies the lines of a file's text; false when a value cannot be converted (a number
    // beyond 16 bits, a boolean that is neither a word nor a number), and that line goes to
    // `invalidLine`, cut to a length a message can show.
    static bool parse(const QByteArray &bytes, Settings &settings, QString *invalidLine = nullptr);
    // The value of one key (matched in upper case, a later line winning), or nothing; for
    // readers that want one line and must not fail on the others.
    static std::optional<QString> value(const QByteArray &bytes, const QString &upperCaseKey);
    // The six lines, then the floor's lines that are not at their defaults and the language line
    // when one is set, as the console writes them.
    static QByteArray render(const Settings &settings);

private:
    QString m_programFolder;
    QString m_path;
};

} // namespace tavlo
