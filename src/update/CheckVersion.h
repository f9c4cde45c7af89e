#pragma once

#include "platform/Platform.h"

#include <QPointer>
#include <QString>
#include <QWidget>

namespace tavlo {

class ProgramStarter;

// The running program's version text: major.minor.revision in plain decimal.
QString runningVersionText();

// The update server's root built into the program (TAVLO_UPDATE_ROOT).
QString builtInUpdateRoot();

// Asks the update server for the newest version number and offers the upgrade when it
// differs from the running one. Silent whenever the number cannot be had. Returns once the
// question is answered and, after Yes, once the upgrade window has closed; a completed
// upgrade ends the program instead.
class VersionCheck {
public:
    VersionCheck(const Platform &platform, QWidget *mainWindow);

    void setRunningVersion(const QString &version) { m_runningVersion = version; }
    void setUpdateRoot(const QString &root) { m_updateRoot = root; }
    void setProgramStarter(ProgramStarter *starter) { m_starter = starter; }
    void setTransferTimeout(int milliseconds) { m_transferTimeout = milliseconds; }

    void run();

    // Whether the received text asks for the upgrade to be offered.
    static bool offers(const QString &received, const QString &runningVersion);

private:
    Platform m_platform;
    QPointer<QWidget> m_mainWindow;
    QString m_runningVersion;
    QString m_updateRoot;
    ProgramStarter *m_starter = nullptr;
    int m_transferTimeout = 0; // 0: the downloader's own
};

// The start-up's call, with the built-in version and server.
void CheckVersion(const Platform &platform, QWidget *mainWindow);

} // namespace tavlo
