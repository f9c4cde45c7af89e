#pragma once

#include "board/GameFilter.h"
#include "display/ViewerOptions.h"
#include "platform/Clock.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QWidget>

class QScreen;
class QStackedLayout;

namespace tavlo::display {

class BoardView;
class FileWatcher;
class LiveBoardView;
class PhoneService;
class ViewerSettingsWindow;
class WebAddressBadge;

// The large screen. It shows the board file of the display folder (TAVLO-Board.json) when
// there is one it can read, with counts, waiting times, paging and the heartbeat, and else the
// fragment (TAVLO-Display.txt) as the console lays it out; it follows both.
// F11 or Esc leaves and re-enters full screen; Ctrl+Q ends the program; Ctrl+, or F2 opens the
// settings window.
class DisplayWindow : public QWidget {
    Q_OBJECT
public:
    // An empty display folder in the options means the one the program folder's settings name.
    explicit DisplayWindow(const QString &programFolder, const ViewerOptions &options = {},
                           const Clock &clock = SystemClock::instance(), QWidget *parent = nullptr);

    QString displayFolder() const { return m_displayFolder; }
    BoardView *fragmentView() const { return m_fragmentView; }
    LiveBoardView *liveView() const { return m_liveView; }
    FileWatcher *fragmentWatcher() const { return m_fragmentWatcher; }
    FileWatcher *boardFileWatcher() const { return m_boardFileWatcher; }
    FileWatcher *heartbeatWatcher() const { return m_heartbeatWatcher; }
    // Whether the board file is what the screen shows now.
    bool showsBoardFile() const;
    // Why the board file is not shown: missing, or what was wrong with it; empty while it is.
    QString boardFileProblem() const { return m_boardFileProblem; }

    // The phones' page, when the options ask for it: its server (running or not) and the
    // corner of the screen with its address; null when off.
    PhoneService *phoneService() const { return m_phones; }
    WebAddressBadge *webBadge() const { return m_badge; }

    // Shows the files as they are now and starts following them, and serves the phones' page
    // when the options ask for it.
    void start();
    // The screen the window fills: a number counting from 1 or a name; nothing when there is
    // no such screen.
    static QScreen *findScreen(const QString &screen);
    void placeOn(QScreen *screen);
    void enterFullScreen();
    void toggleFullScreen();

    // The settings file the settings window edits.
    void setSettingsPath(const QString &path) { m_settingsPath = path; }
    // Opens the settings window, or brings it forward.
    void showSettings();
    ViewerSettingsWindow *settingsWindow() const;
    // Shows the board as the options say from now on: the folder, the screen, the games, the
    // theme, privacy, estimates and paging; the phones' page keeps its start's settings.
    void applyOptions(const ViewerOptions &options);
    const ViewerOptions &options() const { return m_options; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fragmentChanged(const QByteArray &bytes);
    void boardFileChanged(const QByteArray &bytes);
    void showFragment();
    void loadBackground();
    void startPhoneService();
    void watchFolder();
    void placeBadge();

    QString m_programFolder;
    QString m_displayFolder;
    ViewerOptions m_options;
    GameFilter m_games; // the games this screen and the phones show
    QStackedLayout *m_stack = nullptr;
    BoardView *m_fragmentView = nullptr;
    LiveBoardView *m_liveView = nullptr;
    FileWatcher *m_fragmentWatcher = nullptr;
    FileWatcher *m_boardFileWatcher = nullptr;
    FileWatcher *m_heartbeatWatcher = nullptr; // a console's beats between its boards
    QByteArray m_fragment;
    QByteArray m_boardBytes;
    QString m_settingsPath;
    QPointer<ViewerSettingsWindow> m_settingsWindow;
    QString m_boardFileProblem;
    PhoneService *m_phones = nullptr;
    WebAddressBadge *m_badge = nullptr;
};

} // namespace tavlo::display
