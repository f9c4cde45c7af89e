#pragma once

#include <QString>
#include <QTemporaryDir>

#include <functional>

namespace tavlo::test {

// A small tmpfs of our own, filled to the last byte on request. Mounting needs root; where it
// is not allowed, isMounted() is false and the caller skips.
class FullFileSystem {
public:
    explicit FullFileSystem(qint64 bytes = 256 * 1024);
    ~FullFileSystem();
    FullFileSystem(const FullFileSystem &) = delete;
    FullFileSystem &operator=(const FullFileSystem &) = delete;

    bool isMounted() const { return m_mounted; }
    QString folder() const { return m_dir.path(); }
    QString path(const QString &fileName) const { return m_dir.path() + QLatin1Char('/') + fileName; }
    // Takes every free block, so the next write fails with "no space left".
    void fill();
    // Remounts it read-only: every write fails, whoever asks.
    bool makeReadOnly();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// A device node like /dev/full in `folder` (every write fails for want of space), so that a
// writer that replaces what it writes to cannot harm the system's own; empty where device nodes
// may not be made.
QString makeFullDevice(const QString &folder);

// Runs `work` in a child process whose files may not grow beyond `limit` bytes (a write past
// it fails instead of raising SIGXFSZ). Returns the child's exit code, or -1 when it died.
int runWithFileSizeLimit(qint64 limit, const std::function<int()> &work);

} // namespace tavlo::test
