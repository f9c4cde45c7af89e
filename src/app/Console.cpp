#include "app/Console.h"

#include "base/DeskIdentity.h"
#include "base/DisplayFiles.h"
#include "console/MainWindow.h"
#include "console/ReportsWindow.h"
#include "console/SettingsWindow.h"
#include "platform/Clock.h"
#include "platform/Connectivity.h"
#include "platform/FileLookup.h"
#include "platform/MessageBox.h"
#include "platform/PaintReport.h"
#include "platform/ProcessEnd.h"
#include "room/BoardPublisher.h"
#include "room/Room.h"
#include "room/WaitEstimates.h"
#include "store/ConnectionCheck.h"
#include "store/DatabaseAddress.h"
#include "store/JournalReader.h"
#include "store/StoreError.h"
#include "store/WaitingListStore.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <future>
#include <utility>

#ifndef TAVLO_VERSION_TEXT
#define TAVLO_VERSION_TEXT "0.0.0"
#endif

namespace tavlo {

namespace {

const QString Caption = QStringLiteral("TAVLO");
const QString CRLF = QStringLiteral("\r\n");

// A folder that exists but cannot be read is a failure, not an absent file.
QString unreadableFolder(const QString &path)
{
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (folder.exists() && (!folder.isReadable() || !folder.isExecutable()))
        return Console::tr("Permission denied: %1").arg(QDir::toNativeSeparators(folder.filePath()));
    return {};
}

} // namespace

Console::Console(const Platform &platform, QObject *parent)
    : QObject(parent)
    , m_platform(platform)
{
}

Console::~Console()
{
    // The windows go first (the reports with the main window): they show the room.
    m_window.reset();
    m_publisher.reset();
    m_estimates.reset();
    m_room.reset();
}

QString Console::versionText()
{
    return QStringLiteral(TAVLO_VERSION_TEXT);
}

void Console::reportFailure(const QString &message)
{
    if (m_ended)
        return;
    m_ended = true;
    m_platform.messageBox->show(message, MessageBox::Icon::Critical, MessageBox::Buttons::Ok, Caption);
    m_platform.processEnd->endNow(1);
}

void Console::reportSettingsFailure(const SettingsFile::Failure &failure)
{
    if (m_ended)
        return;
    m_ended = true;
    const QString job = failure.job == SettingsFile::Job::Read ? tr("READ") : tr("WRITE");
    // The value that stopped the read, so that it can be found and mended.
    const QString invalid = failure.invalidLine.isEmpty()
            ? QString()
            : CRLF + CRLF + tr("Invalid setting: ") + failure.invalidLine;
    m_platform.messageBox->show(tr("Unexpected Error!") + CRLF + tr("Cannot %1 file %2").arg(job, failure.path) + invalid,
                                MessageBox::Icon::Critical, MessageBox::Buttons::Ok, Caption);
    m_platform.processEnd->endNow(1);
}

bool Console::loadSettings()
{
    const auto failure = SettingsFile(m_platform.programFolder).load(m_settings, m_firstRun);
    if (failure)
        reportSettingsFailure(*failure);
    return !failure;
}

void Console::saveSettings()
{
    m_settings.startMaximized = m_window && m_window->isMaximized();
    if (const auto failure = SettingsFile(m_platform.programFolder).save(m_settings))
        reportSettingsFailure(*failure);
}

bool Console::checkFiles()
{
    const QString folder = displayFolderPath(m_settings.displayFolder, m_platform.programFolder);
    const DatabaseAddress address = DatabaseAddress::parse(m_settings.databasePath);
    QString failure = address.isServer() ? QString() : unreadableFolder(m_settings.databasePath);
    if (failure.isEmpty())
        failure = unreadableFolder(folder + DisplayPageName);
    if (!failure.isEmpty()) {
        reportFailure(failure + CRLF + CRLF + m_settings.databasePath + CRLF + folder + DisplayPageName + CRLF + folder
                      + DisplayPictureName);
        return false;
    }
    if (address.isServer()) {
        if (!reachServer(address))
            return false;
    } else if (m_settings.databasePath.isEmpty() || !QFileInfo(m_settings.databasePath).isFile()) {
        reportFailure(m_settings.databasePath + tr(" is missing or cannot") + CRLF
                      + tr("connect to mapped drive/network location"));
        return false;
    }
    const auto missing = [&](const QString &name) {
        return findFileIgnoringCase(folder, name).isEmpty() && findFileIgnoringCase(m_platform.programFolder, name).isEmpty();
    };
    if (missing(QStringLiteral("tavlo-display.hta"))) {
        m_platform.messageBox->show(tr("TAVLO-Display.hta file is missing!") + CRLF
                                            + tr("Video display will not be possible."),
                                    MessageBox::Icon::Warning, MessageBox::Buttons::Ok, Caption);
    }
    if (missing(QStringLiteral("tavlo-display.jpg"))) {
        m_platform.messageBox->show(tr("TAVLO-Display.jpg file is missing!") + CRLF
                                            + tr("There will be no background image") + CRLF
                                            + tr("on the video display."),
                                    MessageBox::Icon::Information, MessageBox::Buttons::Ok, Caption);
    }
    return true;
}

bool Console::reachServer(const DatabaseAddress &address)
{
    // The room's server is opened here, so that one that cannot be reached is said so plainly.
    m_store = std::make_unique<WaitingListStore>(m_settings.databasePath);
    try {
        m_store->open();
        return true;
    } catch (const StoreError &error) {
        reportFailure(address.shown() + tr(" is missing or cannot") + CRLF
                      + tr("connect to the database server") + CRLF + CRLF + error.message());
    }
    return false;
}

bool Console::start()
{
    return startWindow() && finishStart();
}

bool Console::startWindow()
{
    if (!loadSettings() || !checkFiles())
        return false;

    DeskIdentity desk;
    if (const auto failure = loadDeskIdentity(m_platform.programFolder, desk)) {
        reportSettingsFailure(*failure);
        return false;
    }
    // A server was reached already, and its connection follows notifications on this thread.
    const bool roomFile = !m_store;
    if (roomFile)
        m_store = std::make_unique<WaitingListStore>(m_settings.databasePath);
    m_room = std::make_unique<Room>(*m_store, *m_platform.clock, desk);
    m_room->setCallRules(m_settings.callMinutes * 60, m_settings.removeNoShows);
    m_publisher = std::make_unique<BoardPublisher>(*m_room, m_settings, m_platform.programFolder, *m_platform.clock);
    connect(m_room.get(), &Room::storeFailed, this, &Console::reportFailure);
    connect(m_room.get(), &Room::commandRefused, this, [this](const QString &message) {
        m_platform.messageBox->show(message, MessageBox::Icon::Warning, MessageBox::Buttons::Ok, Caption);
    });
    connect(m_publisher.get(), &BoardPublisher::failed, this, &Console::reportFailure);
    // The room file is read on the other core while the window is built, empty, on this one.
    std::future<Room::Reading> reading;
    if (roomFile) {
        reading = std::async(std::launch::async, [room = m_room.get(), store = m_store.get(), gui = thread()] {
            Room::Reading read = room->read();
            store->handOver(gui);
            return read;
        });
    }
    // Filled from the journal once the window is up; until then every game has too few figures.
    m_estimates = std::make_unique<WaitEstimates>(*m_room, *m_platform.clock);
    m_publisher->setEstimates(m_estimates.get());
    // Countdowns run out on every desk; the first to make the no-show wins, the others find
    // the call gone.
    auto *callTimer = new QTimer(m_room.get());
    connect(callTimer, &QTimer::timeout, m_room.get(), &Room::expireCalls);
    callTimer->start(1000);

    loadConsoleFonts(); // while the room is read
    m_window = std::make_unique<MainWindow>(*m_room, *m_platform.messageBox, *m_platform.clock, *m_estimates);
    if (!m_room->take(reading.valid() ? reading.get() : m_room->read())) {
        m_window.reset();
        return false;
    }
    m_window->setFirstRun(m_firstRun);
    m_window->showRoom();
    m_window->versionLabel()->setText(versionText());
    connect(m_window.get(), &MainWindow::closing, this, &Console::saveSettings);
    connect(m_window.get(), &MainWindow::reportsRequested, this, &Console::showReports);
    connect(m_window.get(), &MainWindow::settingsRequested, this, &Console::showSettings);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), m_window->size());
        frame.moveCenter(screen->availableGeometry().center());
        m_window->move(frame.topLeft());
    }
    if (m_settings.startMaximized) {
        QCoreApplication::processEvents();
        m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);
    }
    return true;
}

bool Console::finishStart()
{
    m_window->setWindowIcon(MainWindow::icon());
    // The estimates start from the journal's last two hours and follow the room's own changes.
    // Another desk's changes reach the room without their entries: the window is read again.
    if (!readWaitWindow())
        return false;
    connect(m_room.get(), &Room::updatedElsewhere, this, &Console::readWaitWindow);
    // A crash between a change and its board would otherwise leave the room watching an old
    // board until the next change.
    return m_publisher->publish();
}

bool Console::readWaitWindow()
{
    try {
        m_estimates->load(JournalReader(m_store->database()).entries(WaitEstimator::windowStart(m_platform.clock->now())));
        return true;
    } catch (const StoreError &error) {
        reportFailure(error.message());
    }
    return false;
}

ReportsWindow *Console::reportsWindow() const
{
    return m_reports.data();
}

void Console::showReports()
{
    if (!m_reports) {
        WaitingListStore *store = m_store.get();
        m_reports = new ReportsWindow(
                *m_room,
                [store](const QDateTime &from, const QDateTime &to) { return JournalReader(store->database()).entries(from, to); },
                *m_platform.messageBox, *m_platform.clock, QTimeZone::systemTimeZone(), m_window.get());
        m_reports->showToday();
    }
    m_reports->show();
    m_reports->raise();
    m_reports->activateWindow();
}

SettingsWindow *Console::settingsWindow() const
{
    return m_settingsWindow.data();
}

void Console::showSettings()
{
    if (!m_settingsWindow) {
        m_settingsWindow = new SettingsWindow(m_settings, m_platform.programFolder, connectionProblem, m_window.get());
        m_settingsWindow->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_settingsWindow, &QDialog::accepted, this, [this] { applySettings(m_settingsWindow->settings()); });
        m_settingsWindow->open();
    }
    m_settingsWindow->raise();
    m_settingsWindow->activateWindow();
}

void Console::applySettings(const Settings &chosen)
{
    Settings kept = chosen;
    bool reopen = false;
    if (chosen.databasePath != m_settings.databasePath) {
        // The lists move only to a database that can be opened, and only when the operator agrees.
        const QString problem = connectionProblem(chosen.databasePath);
        if (!problem.isEmpty()) {
            m_platform.messageBox->tell(tr("The database stays %1:").arg(DatabaseAddress::parse(m_settings.databasePath).shown())
                                                + CRLF + CRLF + problem,
                                        MessageBox::Icon::Warning, Caption);
        } else {
            reopen = m_platform.messageBox->askYesNo(
                    tr("Open the waiting lists of %1 now?").arg(DatabaseAddress::parse(chosen.databasePath).shown()) + CRLF
                            + tr("TAVLO closes its window and opens again with them."),
                    Caption);
        }
        if (!reopen)
            kept.databasePath = m_settings.databasePath;
    }
    m_settings = kept;
    // Calls already running keep the countdown they started with.
    if (m_room)
        m_room->setCallRules(m_settings.callMinutes * 60, m_settings.removeNoShows);
    if (m_window && m_window->isMaximized() != kept.startMaximized)
        m_window->setWindowState(m_window->windowState() ^ Qt::WindowMaximized);
    if (const auto failure = SettingsFile(m_platform.programFolder).save(m_settings)) {
        m_platform.messageBox->tell(tr("Cannot WRITE file %1").arg(failure->path), MessageBox::Icon::Warning, Caption);
    }
    // The board moves to a new folder, and takes new rows and widths, at once.
    if (m_publisher && !m_publisher->publish())
        return;
    if (reopen) {
        m_restart = true;
        if (m_window)
            m_window->close();
    }
}

void loadConsoleFonts()
{
    static bool loaded = false;
    if (std::exchange(loaded, true))
        return;
    // Debian's fonts-wine ships Tahoma look-alikes outside the font path.
    for (const char *file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf",
                             "/usr/share/wine/fonts/ms_sans_serif.ttf"}) {
        const QString path = QString::fromLatin1(file);
        if (QFileInfo::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
    if (!QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
    if (!QFontDatabase::families().contains(QStringLiteral("MS Sans Serif")))
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"));
}

int runConsole(const Platform &platform, const std::function<void(MainWindow &)> &versionCheck)
{
    for (bool first = true;; first = false) {
        Console console(platform);
        if (!console.startWindow())
            return 1;
        MainWindow &window = *console.window();
        reportStartupStep("window built");
        // What the first picture does not need comes after it: the journal, the board, the probe.
        afterFirstPaint(window, [&, first] {
            if (!console.finishStart()) {
                QCoreApplication::exit(1);
                return;
            }
            if (first && platform.connectivity->isOnline() && versionCheck)
                versionCheck(window);
        });
        window.show();
        window.activateWindow();
        const int code = QApplication::exec();
        // Another database was chosen: the console starts again on it, as at a start.
        if (code != 0 || !console.restartRequested())
            return code;
    }
}

} // namespace tavlo
