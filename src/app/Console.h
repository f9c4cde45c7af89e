#pragma once

#include "base/Settings.h"
#include "platform/Platform.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

namespace tavlo {

class BoardPublisher;
struct DatabaseAddress;
class MainWindow;
class ReportsWindow;
class SettingsWindow;
class Room;
class WaitEstimates;
class WaitingListStore;

// One run of the console: the settings, the store, the room, the board's publisher and the
// window, started in the order the program has always kept, with what the user sees when
// something fails on the way: a failure of the settings file, of the files the console needs,
// of the store or of the board ends the program after its message.
class Console : public QObject {
    Q_OBJECT
public:
    explicit Console(const Platform &platform, QObject *parent = nullptr);
    ~Console() override;

    // Reads the settings, checks the files, loads the room, lays out the window and publishes
    // the board. False when it ended the program; the caller must stop then.
    bool start();
    // start() in two steps: all the first picture of the window needs (and every failure of
    // the settings, the files and the room); then the wait estimates from the journal and the
    // first board. Each false when it ended the program.
    bool startWindow();
    bool finishStart();

    MainWindow *window() const { return m_window.get(); }
    Room *room() const { return m_room.get(); }
    WaitEstimates *waitEstimates() const { return m_estimates.get(); }
    BoardPublisher *publisher() const { return m_publisher.get(); }
    // The reports window once it has been asked for.
    ReportsWindow *reportsWindow() const;
    // Opens the reports window on today's report, or brings it forward.
    void showReports();
    const Settings &settings() const { return m_settings; }
    // Opens the settings window (window-modal), or brings it forward; Save applies it.
    void showSettings();
    SettingsWindow *settingsWindow() const;
    // Keeps settings chosen in the window: writes TAVLO.ini, publishes the board where and as
    // they say, and opens another database after asking, by starting the console again.
    void applySettings(const Settings &chosen);
    // A new database was chosen: the console is to start again once its window has closed.
    bool restartRequested() const { return m_restart; }
    bool isFirstRun() const { return m_firstRun; }

    static QString versionText();

private:
    bool loadSettings();
    bool checkFiles();
    bool reachServer(const DatabaseAddress &address);
    // The journal's last two hours into the wait estimates.
    bool readWaitWindow();
    void saveSettings();
    void reportFailure(const QString &message);
    void reportSettingsFailure(const SettingsFile::Failure &failure);

    Platform m_platform;
    Settings m_settings;
    bool m_firstRun = false;
    bool m_ended = false;
    std::unique_ptr<WaitingListStore> m_store;
    std::unique_ptr<Room> m_room;
    std::unique_ptr<BoardPublisher> m_publisher;
    std::unique_ptr<WaitEstimates> m_estimates;
    std::unique_ptr<MainWindow> m_window;
    // A window of the main window's: closing the main window still ends the program.
    QPointer<ReportsWindow> m_reports;
    QPointer<SettingsWindow> m_settingsWindow;
    bool m_restart = false;
};

// The program's start: shows the console's window, then runs the version check when the
// machine is online. Returns the event loop's exit code.
int runConsole(const Platform &platform, const std::function<void(MainWindow &)> &versionCheck);

// Makes the Tahoma look-alike fonts available when the machine has them; once a run.
void loadConsoleFonts();

} // namespace tavlo
