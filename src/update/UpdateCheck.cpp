#include "update/UpdateCheck.h"

#include "base/LeadingNumber.h"
#include "base/TextFile.h"
#include "update/Downloader.h"
#include "update/SignatureVerifier.h"

namespace tavlo {

UpdateCheck::UpdateCheck(const UpdateSettings &settings, QObject *parent)
    : QObject(parent), m_settings(settings), m_downloader(new Downloader(this))
{
    m_downloader->setSizeLimit(UpdateSettings::versionFileLimit);
    m_downloader->setDeadline(m_settings.deadline);
    m_downloader->setStallTimeout(m_settings.stallTimeout);
    connect(m_downloader, &Downloader::completed, this, &UpdateCheck::onCompleted);
    connect(m_downloader, &Downloader::failed, this, [this] {
        if (!m_running)
            return; // aborted
        m_running = false;
        emit finished();
    });
}

UpdateCheck::~UpdateCheck() = default;

bool UpdateCheck::start()
{
    // Without a key no download could be trusted, so none is offered.
    if (!SignatureVerifier::fromText(m_settings.publicKey).hasKey())
        return false;
    m_running = true;
    m_downloader->start(m_settings.updateFolder() + QStringLiteral("version.txt"), Downloader::FreshFromServer);
    return true;
}

void UpdateCheck::abort()
{
    if (!m_running)
        return;
    m_running = false;
    m_downloader->cancel();
}

bool UpdateCheck::isRunning() const
{
    return m_running;
}

QString UpdateCheck::versionOf(const QString &received)
{
    qsizetype end = received.size();
    while (end > 0) {
        const QChar c = received[end - 1];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n') && c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            break;
        --end;
    }
    return received.left(end);
}

bool UpdateCheck::offers(const QString &received, const QString &runningVersion)
{
    return leadingNumber(received) != 0 && versionOf(received) != runningVersion;
}

void UpdateCheck::onCompleted()
{
    if (!m_running)
        return; // aborted
    m_running = false;
    const QString received = decodeSystemText(m_downloader->data());
    if (offers(received, m_settings.runningVersion))
        emit newVersionAvailable(versionOf(received));
    emit finished();
}

} // namespace tavlo
