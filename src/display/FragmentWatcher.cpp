#include "display/FragmentWatcher.h"

#include "platform/FileLookup.h"
#include "board/Fragment.h"
#include "base/TextFile.h"

#include <QFile>
#include <QFileInfo>

namespace tavlo::display {

namespace {

// Polls a text that does not look whole must stay unchanged before it is shown anyway.
constexpr int kHoldChecks = 3;

QByteArray readFragment(const QString &path)
{
    QString found = path;
    if (!QFileInfo(found).isFile())
        found = findFileIgnoringCase(path);
    if (found.isEmpty())
        return {};
    QFile file(found);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(FragmentWatcher::kMaxFragmentSize);
}

} // namespace

FragmentWatcher::FragmentWatcher(QString path, QObject *parent)
    : QObject(parent)
    , m_path(std::move(path))
{
    m_poll.setInterval(250);
    connect(&m_poll, &QTimer::timeout, this, &FragmentWatcher::check);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FragmentWatcher::check);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FragmentWatcher::check);
}

void FragmentWatcher::start()
{
    check();
    m_poll.start();
}

void FragmentWatcher::setPollInterval(int milliseconds)
{
    m_poll.setInterval(milliseconds);
}

void FragmentWatcher::watchFolder()
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

void FragmentWatcher::check()
{
    watchFolder();
    const QByteArray bytes = readFragment(m_path);
    if (m_hasShown && bytes == m_shown) {
        m_held.reset();
        m_heldChecks = 0;
        return;
    }
    const bool whole = !bytes.isEmpty() && looksWhole(decodeSystemText(bytes));
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

void FragmentWatcher::show(const QByteArray &bytes)
{
    m_shown = bytes;
    m_hasShown = true;
    m_held.reset();
    m_heldChecks = 0;
    emit fragmentChanged(decodeSystemText(bytes));
}

} // namespace tavlo::display
