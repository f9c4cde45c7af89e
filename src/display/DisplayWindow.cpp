#include "display/DisplayWindow.h"

#include "display/BoardView.h"
#include "display/DisplayFolder.h"
#include "platform/FileLookup.h"
#include "display/FragmentWatcher.h"

#include <QImageReader>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace tavlo::display {

DisplayWindow::DisplayWindow(const QString &programFolder, const QString &displayFolder, QWidget *parent)
    : QWidget(parent)
    , m_programFolder(programFolder)
    , m_displayFolder(displayFolder.isEmpty() ? tavlo::display::displayFolder(programFolder) : displayFolder)
    , m_view(new BoardView(this))
    , m_watcher(new FragmentWatcher(fragmentPath(m_displayFolder), this))
{
    setWindowTitle(QStringLiteral("TAVLO-Display"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    resize(1280, 720);
    connect(m_watcher, &FragmentWatcher::fragmentChanged, this, &DisplayWindow::showFragment);
    loadBackground();
}

void DisplayWindow::start()
{
    m_watcher->start();
}

void DisplayWindow::showFragment(const QString &text)
{
    if (!m_view->hasBackground())
        loadBackground(); // the console may have copied it there since
    m_view->setBoard(screenBoardOf(text));
}

void DisplayWindow::loadBackground()
{
    // The copy in the display folder first, as the page uses it; else the one shipped here.
    for (const QString &folder : {m_displayFolder, m_programFolder}) {
        const QString path = findFileIgnoringCase(folder, QLatin1String(kPictureFileName));
        if (path.isEmpty())
            continue;
        QImageReader reader(path);
        reader.setAllocationLimit(256); // megabytes; a picture larger than that is not ours
        const QImage picture = reader.read();
        if (!picture.isNull()) {
            m_view->setBackground(picture);
            return;
        }
    }
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
