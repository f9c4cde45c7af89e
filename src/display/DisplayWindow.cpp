#include "display/DisplayWindow.h"

#include "base/DisplayFiles.h"
#include "base/TextFile.h"
#include "board/BoardFile.h"
#include "board/Fragment.h"
#include "board/ShownBoard.h"
#include "display/BoardView.h"
#include "display/FileWatcher.h"
#include "display/LiveBoardView.h"
#include "display/PhoneBoard.h"
#include "display/PhoneService.h"
#include "display/ViewerSettingsWindow.h"
#include "display/WebAddressBadge.h"
#include "platform/FileLookup.h"

#include <QDir>
#include <QGuiApplication>
#include <QHostAddress>
#include <QImageReader>
#include <QKeyEvent>
#include <QScreen>
#include <QStackedLayout>
#include <QWindow>

namespace tavlo::display {

namespace {

// Files beyond these sizes are not ours; only their beginning is read, and then not used.
constexpr qint64 kMaxFragmentSize = 8 * 1024 * 1024;
constexpr qint64 kMaxBoardFileSize = 64 * 1024 * 1024;
constexpr qint64 kMaxHeartbeatSize = 4096;

bool fragmentLooksWhole(const QByteArray &bytes)
{
    return looksWhole(decodeSystemText(bytes));
}

bool jsonLooksWhole(const QByteArray &bytes)
{
    qsizetype end = bytes.size();
    while (end > 0 && QChar::isSpace(uchar(bytes[end - 1])))
        --end;
    return end > 0 && bytes[end - 1] == '}';
}

} // namespace

DisplayWindow::DisplayWindow(const QString &programFolder, const ViewerOptions &options, const Clock &clock,
                             QWidget *parent)
    : QWidget(parent)
    , m_programFolder(programFolder)
    , m_displayFolder(options.displayFolder.isEmpty() ? displayFolderOf(programFolder) : options.displayFolder)
    , m_options(options)
    , m_games(options.games)
    , m_stack(new QStackedLayout(this))
    , m_fragmentView(new BoardView(this))
    , m_liveView(new LiveBoardView(clock, this))
{
    watchFolder();
    setWindowTitle(QStringLiteral("TAVLO-Display"));
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_fragmentView);
    m_stack->addWidget(m_liveView);
    resize(1280, 720);

    const ViewerTheme theme = ViewerTheme::of(options.theme);
    m_fragmentView->setTheme(theme);
    m_liveView->setTheme(theme);
    m_liveView->setShowEstimates(options.estimates);
    m_liveView->setPageSeconds(options.pageSeconds);

    loadBackground();
}

void DisplayWindow::watchFolder()
{
    delete m_fragmentWatcher;
    delete m_boardFileWatcher;
    delete m_heartbeatWatcher;
    m_fragmentWatcher = new FileWatcher(m_displayFolder + DisplayFragmentName, kMaxFragmentSize, fragmentLooksWhole, this);
    m_boardFileWatcher = new FileWatcher(m_displayFolder + BoardFileName, kMaxBoardFileSize, jsonLooksWhole, this);
    m_heartbeatWatcher = new FileWatcher(m_displayFolder + HeartbeatFileName, kMaxHeartbeatSize, jsonLooksWhole, this);
    connect(m_fragmentWatcher, &FileWatcher::contentChanged, this, &DisplayWindow::fragmentChanged);
    connect(m_boardFileWatcher, &FileWatcher::contentChanged, this, &DisplayWindow::boardFileChanged);
    connect(m_heartbeatWatcher, &FileWatcher::contentChanged, this, [this](const QByteArray &bytes) {
        if (const QDateTime beat = readHeartbeat(bytes); beat.isValid())
            m_liveView->setHeartbeat(beat);
    });
}

ViewerSettingsWindow *DisplayWindow::settingsWindow() const
{
    return m_settingsWindow.data();
}

void DisplayWindow::showSettings()
{
    if (!m_settingsWindow) {
        const QString path = m_settingsPath.isEmpty()
                ? m_programFolder + QDir::separator() + QLatin1String(kViewerSettingsFileName)
                : m_settingsPath;
        m_settingsWindow = new ViewerSettingsWindow(path, this);
        m_settingsWindow->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_settingsWindow, &ViewerSettingsWindow::saved, this, &DisplayWindow::applyOptions);
        m_settingsWindow->open();
    }
    m_settingsWindow->raise();
    m_settingsWindow->activateWindow();
}

void DisplayWindow::applyOptions(const ViewerOptions &options)
{
    const ViewerOptions before = m_options;
    // How this run shows itself and serves the phones stays as it started.
    m_options = options;
    m_options.fullScreen = before.fullScreen;
    m_options.webPort = before.webPort;
    m_options.webAddress = before.webAddress;
    m_games = GameFilter(options.games);
    const ViewerTheme theme = ViewerTheme::of(options.theme);
    m_fragmentView->setTheme(theme);
    m_liveView->setTheme(theme);
    if (m_badge)
        m_badge->setTheme(theme);
    m_liveView->setShowEstimates(options.estimates);
    m_liveView->setPageSeconds(options.pageSeconds);
    if (options.screen != before.screen) {
        if (QScreen *target = findScreen(options.screen)) {
            const bool full = isFullScreen();
            placeOn(target);
            if (full)
                enterFullScreen();
        }
    }
    const QString folder = options.displayFolder.isEmpty() ? displayFolderOf(m_programFolder) : options.displayFolder;
    if (folder != m_displayFolder) {
        m_displayFolder = folder;
        m_fragment.clear();
        m_boardBytes.clear();
        watchFolder();
        loadBackground();
        m_fragmentWatcher->start();
        m_boardFileWatcher->start();
        m_heartbeatWatcher->start();
        return;
    }
    // The same files, shown again as the options now say.
    if (showsBoardFile())
        boardFileChanged(m_boardBytes);
    else
        showFragment();
}

bool DisplayWindow::showsBoardFile() const
{
    return m_stack->currentWidget() == m_liveView;
}

void DisplayWindow::start()
{
    startPhoneService();
    m_fragmentWatcher->start();
    m_boardFileWatcher->start();
    m_heartbeatWatcher->start();
}

void DisplayWindow::startPhoneService()
{
    if (!m_options.webEnabled() || m_phones)
        return;
    m_phones = new PhoneService(this);
    if (!m_phones->start(QHostAddress(m_options.webAddress), quint16(m_options.webPort)))
        return; // said on the terminal; the screen goes on without the phones
    m_badge = new WebAddressBadge(this);
    m_badge->setTheme(ViewerTheme::of(m_options.theme));
    m_badge->setUrl(m_phones->pageUrl());
    placeBadge();
    m_badge->show();
    m_badge->raise();
}

void DisplayWindow::placeBadge()
{
    if (!m_badge)
        return;
    const QSize badge = m_badge->sizeFor(size());
    const int margin = std::max(4, height() / 90);
    m_badge->setGeometry(QRect(QPoint(width() - badge.width() - margin, height() - badge.height() - margin), badge));
    // The games end above the code, so that it never hides a name.
    m_liveView->setBottomReserve(badge.height() + margin);
}

void DisplayWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeBadge();
}

void DisplayWindow::fragmentChanged(const QByteArray &bytes)
{
    // Kept as it came: it is read only while the board file is not shown.
    m_fragment = bytes;
    if (!showsBoardFile())
        showFragment();
}

void DisplayWindow::boardFileChanged(const QByteArray &bytes)
{
    m_boardBytes = bytes;
    if (!m_liveView->hasBackground())
        loadBackground(); // the console may have copied it there since
    if (bytes.isEmpty()) {
        m_boardFileProblem = QStringLiteral("no board file");
        showFragment();
        return;
    }
    const BoardFileContent content = readBoardFile(bytes);
    if (!content.isRead()) {
        if (content.problem != m_boardFileProblem)
            qWarning("TAVLO-Display: %s: %s; showing %s", qPrintable(m_boardFileWatcher->path()),
                     qPrintable(content.problem), qPrintable(m_fragmentWatcher->path()));
        m_boardFileProblem = content.problem;
        showFragment();
        return;
    }
    m_boardFileProblem.clear();
    const BoardSnapshot shown = shownBoard(content.board, m_games, m_options.privacy);
    if (m_phones) {
        const bool privatePhones = !m_options.webFullNames;
        m_phones->setBoard(PhoneBoard::fromBoard(
                privatePhones == m_options.privacy ? shown : shownBoard(content.board, m_games, privatePhones),
                m_options.webFullNames));
    }
    const bool noneMatched = shown.games.isEmpty() && !content.board.games.isEmpty();
    m_liveView->setBoard(shown, noneMatched ? m_games.patterns() : QStringList());
    m_stack->setCurrentWidget(m_liveView);
    if (m_badge)
        m_badge->raise(); // the stack raises the view it shows
}

void DisplayWindow::showFragment()
{
    if (!m_fragmentView->hasBackground())
        loadBackground();
    const ScreenBoard board = screenBoardOf(decodeSystemText(m_fragment));
    if (m_phones)
        m_phones->setBoard(PhoneBoard::fromFragment(board, m_games, m_options.webFullNames));
    m_fragmentView->setBoard(adaptedBoard(board, m_games, m_options.privacy));
    m_stack->setCurrentWidget(m_fragmentView);
    if (m_badge)
        m_badge->raise();
}

void DisplayWindow::loadBackground()
{
    // The copy in the display folder first, as the page uses it; else the one shipped here.
    for (const QString &folder : {m_displayFolder, m_programFolder}) {
        const QString path = findFileIgnoringCase(folder, DisplayPictureName);
        if (path.isEmpty())
            continue;
        QImageReader reader(path);
        reader.setAllocationLimit(256); // megabytes; a picture larger than that is not ours
        const QImage picture = reader.read();
        if (!picture.isNull()) {
            m_fragmentView->setBackground(picture);
            m_liveView->setBackground(picture);
            return;
        }
    }
}

QScreen *DisplayWindow::findScreen(const QString &screen)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screen.trimmed().isEmpty())
        return QGuiApplication::primaryScreen();
    bool isNumber = false;
    const int number = screen.trimmed().toInt(&isNumber);
    if (isNumber)
        return number >= 1 && number <= screens.size() ? screens[number - 1] : nullptr;
    for (QScreen *candidate : screens) {
        if (candidate->name().compare(screen.trimmed(), Qt::CaseInsensitive) == 0)
            return candidate;
    }
    return nullptr;
}

void DisplayWindow::placeOn(QScreen *target)
{
    if (!target)
        return;
    winId(); // the native window, so that it can be told its screen before it is shown
    if (QWindow *window = windowHandle())
        window->setScreen(target);
    const QRect area = target->availableGeometry();
    QRect frame(QPoint(), size().boundedTo(area.size()));
    frame.moveCenter(area.center());
    setGeometry(frame);
}

void DisplayWindow::enterFullScreen()
{
    // Without a window manager (a bare X server driving the screen) the full-screen request
    // alone changes nothing, so the window also takes the screen's size itself.
    if (const QScreen *target = screen())
        setGeometry(target->geometry());
    showFullScreen();
}

void DisplayWindow::toggleFullScreen()
{
    if (isFullScreen()) {
        showNormal();
        resize(1280, 720);
    } else {
        enterFullScreen();
    }
}

void DisplayWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F11 || event->key() == Qt::Key_Escape) {
        toggleFullScreen();
        return;
    }
    if (event->key() == Qt::Key_Q && event->modifiers().testFlag(Qt::ControlModifier)) {
        close();
        return;
    }
    if (event->key() == Qt::Key_F2
        || (event->key() == Qt::Key_Comma && event->modifiers().testFlag(Qt::ControlModifier))) {
        showSettings();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DisplayWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange) {
        // Nobody wants a pointer in the middle of the room's screen.
        if (isFullScreen())
            setCursor(Qt::BlankCursor);
        else
            unsetCursor();
    }
    QWidget::changeEvent(event);
}

} // namespace tavlo::display
