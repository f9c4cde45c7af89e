#include "display/FileWatcher.h"

#include "platform/FileLookup.h"

#include <QFile>
#include <QFileInfo>

namespace tavlo::display {

namespace {

// Polls a content that does not look whole must stay unchanged before it is shown anyway.
constexpr int kHoldChecks = 3;
// Every so many polls the file is read whatever its size and time say: some shares keep times
// to two seconds, and a change of the same size within them would otherwise wait for the next.
constexpr int kPollsBetweenReads = 16;

} // namespace

FileWatcher::FileWatcher(QString path, qint64 maxSize, WholeTest looksWhole, QObject *parent)
    : QObject(parent)
    , m_path(std::move(path))
    , m_maxSize(maxSize)
    , m_looksWhole(std::move(looksWhole))
{
    m_poll.setInterval(250);
    connect(&m_poll, &QTimer::timeout, this, &FileWatcher::poll);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileWatcher::check);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FileWatcher::check);
}

void FileWatcher::start()
{
    check();
    m_poll.start();
}

void FileWatcher::setPollInterval(int milliseconds)
{
    m_poll.setInterval(milliseconds);
}

void FileWatcher::watchFolder()
{
    // Both the folder (renames into it) and the file (writes in place); the file's watch is
    // renewed after each replacement.
    const QFileInfo info(m_path);
    const QString folder = info.absolutePath();
    if (!m_watcher.directories().contains(folder) && QFileInfo(folder).isDir())
        m_watcher.addPath(folder);
    const QString file = info.absoluteFilePath();
    if (!m_watcher.files().contains(file) && info.isFile())
        m_watcher.addPath(file);
}

void FileWatcher::check()
{
    look(true);
}

void FileWatcher::poll()
{
    m_pollsSinceRead = (m_pollsSinceRead + 1) % kPollsBetweenReads;
    look(m_pollsSinceRead == 0);
}

void FileWatcher::look(bool force)
{
    watchFolder();
    Stamp stamp;
    stamp.path = QFileInfo(m_path).isFile() ? m_path : findFileIgnoringCase(m_path);
    if (!stamp.path.isEmpty()) {
        const QFileInfo info(stamp.path);
        stamp.size = info.size();
        stamp.modified = info.lastModified();
        stamp.changed = info.metadataChangeTime(); // a rename onto the file changes it too
    }
    QByteArray bytes;
    if (!force && m_stamp == stamp) {
        bytes = m_read;
    } else if (!stamp.path.isEmpty()) {
        // As much as the file holds: reading the most allowed would reserve that much each time.
        QFile file(stamp.path);
        if (file.open(QIODevice::ReadOnly))
            bytes = file.read(std::min(file.size() > 0 ? file.size() : qint64(1) << 20, m_maxSize));
    }
    m_stamp = stamp;
    m_read = bytes;

    if (m_hasShown && bytes == m_shown) {
        m_held.reset();
        m_heldChecks = 0;
        return;
    }
    const bool whole = !bytes.isEmpty() && m_looksWhole(bytes);
    if (!m_hasShown || whole) {
        show(bytes);
        return;
    }
    if (bytes == m_held) {
        if (++m_heldChecks >= kHoldChecks)
            show(bytes);
        return;
    }
    m_held = bytes;
    m_heldChecks = 0;
}

void FileWatcher::show(const QByteArray &bytes)
{
    m_shown = bytes;
    m_hasShown = true;
    m_held.reset();
    m_heldChecks = 0;
    emit contentChanged(bytes);
}

} // namespace tavlo::display
