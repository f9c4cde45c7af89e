#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

namespace tavlo::display {

// Follows one file of the display folder. The console replaces its files by a rename, so the
// folder is watched (a watch on the file itself would stay on the old, replaced file); a short
// poll backs the watch up for folders the watch cannot see (network shares, a folder created
// later). The poll reads the file when its size or times have changed, and otherwise only now
// and then, so that a large file on a share costs little while it stays the same.
// A content that does not look whole is held back until it has stayed the same for a while, so
// that a writer that does not rename is never shown half-way.
class FileWatcher : public QObject {
    Q_OBJECT
public:
    using WholeTest = std::function<bool(const QByteArray &)>;

    // Files beyond `maxSize` are not what the viewer looks for; only their beginning is read.
    FileWatcher(QString path, qint64 maxSize, WholeTest looksWhole, QObject *parent = nullptr);

    QString path() const { return m_path; }
    qint64 maxSize() const { return m_maxSize; }

    // Reads the file now and starts following it.
    void start();
    void setPollInterval(int milliseconds);

    // Reads the file once; emits when the content to show has changed.
    void check();

signals:
    // The content to show; empty when the file is missing or empty.
    void contentChanged(const QByteArray &bytes);

private:
    struct Stamp {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        QDateTime changed;
        bool operator==(const Stamp &) const = default;
    };

    void poll();
    void look(bool force);
    void watchFolder();
    void show(const QByteArray &bytes);

    QString m_path;
    qint64 m_maxSize;
    WholeTest m_looksWhole;
    QFileSystemWatcher m_watcher;
    QTimer m_poll;
    std::optional<Stamp> m_stamp; // of the bytes read last
    QByteArray m_read;            // the bytes read last
    QByteArray m_shown;
    bool m_hasShown = false;
    std::optional<QByteArray> m_held;
    int m_heldChecks = 0;
    int m_pollsSinceRead = 0;
};

} // namespace tavlo::display
