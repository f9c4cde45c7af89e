#include "app/UpdateFlow.h"

#include "platform/MessageBox.h"
#include "update/UpdateCheck.h"
#include "update/UpgradeDialog.h"

#include <QEvent>

namespace tavlo {

UpdateFlow::UpdateFlow(const Platform &platform, QWidget &mainWindow, const UpdateSettings &settings,
                       ProgramStarter *starter)
    : QObject(&mainWindow), m_platform(platform), m_mainWindow(&mainWindow), m_settings(settings),
      m_starter(starter), m_check(new UpdateCheck(settings, this))
{
    mainWindow.installEventFilter(this);
    // Queued: the question waits for the downloader to finish its own notice.
    connect(m_check, &UpdateCheck::newVersionAvailable, this, &UpdateFlow::ask, Qt::QueuedConnection);
}

UpdateFlow::~UpdateFlow() = default;

bool UpdateFlow::start()
{
    return m_check->start();
}

bool UpdateFlow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mainWindow && event->type() == QEvent::Close) {
        // Nothing of the update may keep a closed program alive.
        m_check->abort();
        if (m_dialog)
            m_dialog->deleteLater();
    }
    return QObject::eventFilter(watched, event);
}

void UpdateFlow::ask(const QString &version)
{
    if (!m_mainWindow || !m_mainWindow->isVisible())
        return; // closed meanwhile: nothing to upgrade
    const MessageBox::Answer answer = m_platform.messageBox->show(
            tr("A new version of this software is available! \r\n\r\n"
               "Do you want to download and install it now?"),
            MessageBox::Icon::Information, MessageBox::Buttons::YesNo, QStringLiteral("TAVLO"));
    if (answer == MessageBox::Answer::No || !m_mainWindow || !m_mainWindow->isVisible())
        return;
    m_dialog = new UpgradeDialog(m_platform, m_settings, version, m_starter, m_mainWindow);
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->show();
}

UpdateFlow *startUpdateFlow(const Platform &platform, QWidget &mainWindow, const UpdateSettings &settings,
                            ProgramStarter *starter)
{
    auto *flow = new UpdateFlow(platform, mainWindow, settings, starter);
    if (flow->start())
        return flow;
    delete flow;
    return nullptr;
}

} // namespace tavlo
