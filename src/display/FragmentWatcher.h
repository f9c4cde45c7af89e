#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

namespace tavlo::display {

// Follows the fragment file. The console replaces it by a rename, so the folder is watched
// (a watch on the file itself would stay on the old, replaced file); a short poll backs the
// watch up for folders the watch cannot see (network shares, a folder created later).
// A text that does not look whole is held back until it has stayed the same for a while, so
// that a writer that does not rename is never shown half-way.
class FragmentWatcher : public QObject {
    Q_OBJECT
public:
    explicit FragmentWatcher(QString path, QObject *parent = nullptr);

    QString path() const { return m_path; }

    // Reads the file now and starts following it.
    void start();
    void setPollInterval(int milliseconds);

    // Looks at the file once; emits when the text to show has changed.
    void check();

    // Files beyond this are not fragments; only their beginning is read.
    static constexpr qint64 kMaxFragmentSize = 8 * 1024 * 1024;

signals:
    // The text to show; empty when the file is missing or empty.
    void fragmentChanged(const QString &text);

private:
    void watchFolder();
    void show(const QByteArray &bytes);

    QString m_path;
    QFileSystemWatcher m_watcher;
    QTimer m_poll;
    QByteArray m_shown;
    bool m_hasShown = false;
    std::optional<QByteArray> m_held;
    int m_heldChecks = 0;
};

} // namespace tavlo::display
