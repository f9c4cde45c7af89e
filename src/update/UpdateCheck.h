#pragma once

#include "update/UpdateSettings.h"

#include <QObject>
#include <QString>

namespace tavlo {

class Downloader;

// Asks the update server for the newest version text, on the application's own event loop,
// and tells when it differs from the running version. No widgets: the caller asks the user.
// Silent whenever the text cannot be had.
class UpdateCheck : public QObject {
    Q_OBJECT

public:
    explicit UpdateCheck(const UpdateSettings &settings, QObject *parent = nullptr);
    ~UpdateCheck() override;

    // Starts fetching the version file and returns at once. False, and nothing is fetched,
    // when the build has no key to check an update with: such a build never offers one.
    bool start();
    // Drops the running fetch; no signal follows.
    void abort();
    bool isRunning() const;

    Downloader *downloader() const { return m_downloader; }

    // The version a received text names: without its trailing line breaks and blanks.
    static QString versionOf(const QString &received);
    // Whether the received text is offered: it reads as a number other than 0 and differs
    // from the running version. Any difference counts, a lower version too.
    static bool offers(const QString &received, const QString &runningVersion);

signals:
    void newVersionAvailable(const QString &version);
    // The check is over, whatever it found; not after abort().
    void finished();

private:
    void onCompleted();

    UpdateSettings m_settings;
    Downloader *m_downloader;
    bool m_running = false;
};

} // namespace tavlo
