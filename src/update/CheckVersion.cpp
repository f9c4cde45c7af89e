#include "update/CheckVersion.h"

#include "base/LeadingNumber.h"
#include "platform/MessageBox.h"
#include "update/NetGrab.h"
#include "update/fUpgrade.h"

#include <memory>

namespace tavlo {

QString runningVersionText()
{
    // Three 16-bit numbers, as the program's version always had.
    const qint16 major = TAVLO_VERSION_MAJOR;
    const qint16 minor = TAVLO_VERSION_MINOR;
    const qint16 revision = TAVLO_VERSION_REVISION;
    return QString::number(major) + QLatin1Char('.') + QString::number(minor) + QLatin1Char('.')
           + QString::number(revision);
}

QString builtInUpdateRoot()
{
    return QStringLiteral(TAVLO_UPDATE_ROOT_URL);
}

VersionCheck::VersionCheck(const Platform &platform, QWidget *mainWindow)
    : m_platform(platform), m_mainWindow(mainWindow), m_runningVersion(runningVersionText()),
      m_updateRoot(builtInUpdateRoot())
{
}

bool VersionCheck::offers(const QString &received, const QString &runningVersion)
{
    // No ordering of versions: any difference from a real number is offered.
    return leadingNumber(received) != 0 && received != runningVersion;
}

void VersionCheck::run()
{
    const QString running = m_runningVersion;
    const bool hadMainWindow = !m_mainWindow.isNull();

    QString received;
    {
        // Without a parent: the main window may be closed while the file is on its way.
        auto loader = std::make_unique<fUpgrade>(m_platform, m_updateRoot, m_starter);
        if (m_transferTimeout > 0)
            loader->NetGrab1->setTransferTimeout(m_transferTimeout);
        received = loader->StringDownload(loader->updateFolder() + QStringLiteral("version.txt"));
    }

    if (!offers(received, running))
        return;
    // The operator closed the program while the number was on its way: nothing to upgrade.
    if (hadMainWindow && (m_mainWindow.isNull() || !m_mainWindow->isVisible()))
        return;

    const int answer = m_platform.messageBox->show(
        QStringLiteral("A new version of this software is available! \r\n\r\n"
                       "Do you want to download and install it now?"),
        MessageBox::YesNo + MessageBox::Information, QStringLiteral("TAVLO"));
    if (answer == MessageBox::No)
        return;

    fUpgrade window(m_platform, m_updateRoot, m_starter, m_mainWindow.data());
    if (m_transferTimeout > 0)
        window.NetGrab1->setTransferTimeout(m_transferTimeout);
    window.exec();
}

void CheckVersion(const Platform &platform, QWidget *mainWindow)
{
    VersionCheck(platform, mainWindow).run();
}

} // namespace tavlo
