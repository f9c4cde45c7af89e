#include "room/BoardPublisher.h"

#include "base/DisplayFiles.h"
#include "base/Settings.h"
#include "base/TextFile.h"
#include "board/BoardFile.h"
#include "board/Fragment.h"
#include "platform/FileLookup.h"
#include "room/Room.h"
#include "room/WaitEstimates.h"

#include <QFile>
#include <QFileInfo>

namespace tavlo {

BoardPublisher::BoardPublisher(const Room &room, Settings &settings, const QString &programFolder, const Clock &clock,
                               QObject *parent)
    : QObject(parent)
    , m_room(room)
    , m_settings(settings)
    , m_programFolder(programFolder)
    , m_clock(clock)
    , m_heartbeatSeconds(DefaultHeartbeatSeconds)
{
    m_heartbeat.setInterval(m_heartbeatSeconds * 1000);
    connect(&room, &Room::changed, this, &BoardPublisher::publish);
    connect(&m_heartbeat, &QTimer::timeout, this, &BoardPublisher::writeHeartbeat);
}

QString BoardPublisher::displayFolder() const
{
    return displayFolderPath(m_settings.displayFolder, m_programFolder);
}

QString BoardPublisher::fragmentPath() const
{
    return displayFolder() + DisplayFragmentName;
}

QString BoardPublisher::boardFilePath() const
{
    return displayFolder() + BoardFileName;
}

FragmentLayout BoardPublisher::fragmentLayout()
{
    // A count below one could show nothing: it takes the fallback, as 0 does.
    if (m_settings.rowsInFirstRow < 1)
        m_settings.rowsInFirstRow = 15;
    if (m_settings.rowsInSecondRow < 1)
        m_settings.rowsInSecondRow = 10;
    return {m_settings.rowsInFirstRow, m_settings.rowsInSecondRow, m_settings.listWidth};
}

QString BoardPublisher::estimateOf(qint64 gameId) const
{
    if (m_estimates == nullptr || !m_estimates->estimate(gameId).enoughData())
        return {};
    return m_estimates->text(gameId);
}

BoardSnapshot BoardPublisher::snapshot() const
{
    QList<qint64> gameIds;
    return snapshot(gameIds);
}

BoardSnapshot BoardPublisher::snapshot(QList<qint64> &gameIds) const
{
    BoardSnapshot board;
    board.writtenAt = m_clock.now();
    board.changedAt = m_changedAt;
    board.heartbeatSeconds = m_heartbeatSeconds;
    const QList<Game> &games = m_room.games();
    board.games.reserve(games.size());
    gameIds.clear();
    gameIds.reserve(games.size());
    for (const Game &game : games) {
        gameIds << game.id;
        WaitingGame &shown = board.games.emplace_back();
        shown.name = game.name;
        shown.estimate = estimateOf(game.id);
        shown.interest = game.interest;
        shown.players.reserve(game.players.size());
        for (const Player &player : game.players) {
            WaitingPlayer &waiting = shown.players.emplace_back(WaitingPlayer::fromStoredName(player.storedName, player.addedAt));
            if (player.state.isCalled())
                waiting.callEnds = player.state.callEnds();
            waiting.awaySince = player.state.awaySince;
        }
    }
    return board;
}

void BoardPublisher::setEstimates(const WaitEstimates *estimates)
{
    if (m_estimates != nullptr)
        disconnect(m_estimates, nullptr, this, nullptr);
    m_estimates = estimates;
    if (estimates == nullptr)
        return;
    connect(estimates, &WaitEstimates::estimatesChanged, this, &BoardPublisher::estimatesChanged);
    connect(estimates, &QObject::destroyed, this, [this] { m_estimates = nullptr; });
}

void BoardPublisher::estimatesChanged()
{
    // The figures move with every count; the file is rewritten only when what it says moves.
    if (!m_heartbeat.isActive())
        return;
    bool moved = false;
    for (qsizetype g = 0; g < m_publishedIds.size(); ++g) {
        QString estimate = estimateOf(m_publishedIds[g]);
        if (estimate != m_published.games[g].estimate) {
            m_published.games[g].estimate = std::move(estimate);
            moved = true;
        }
    }
    if (moved)
        writeHeartbeat();
}

bool BoardPublisher::copyWhenMissing(const QString &folder, const QString &fileName)
{
    // The program folder's own copy is looked for once: it does not come and go while we run.
    auto source = m_sources.constFind(fileName);
    if (source == m_sources.cend())
        source = m_sources.insert(fileName, findFileIgnoringCase(m_programFolder, fileName));
    if (source->isEmpty())
        return true; // missing in both places: the start-up check has said so
    if (QFileInfo::exists(folder + fileName) || !findFileIgnoringCase(folder, fileName).isEmpty())
        return true;
    QFile file(*source);
    if (file.copy(folder + fileName))
        return true;
    emit failed(tr("Cannot copy %1 to %2: %3").arg(*source, folder + fileName, file.errorString()));
    return false;
}

QString BoardPublisher::write(const Output &output)
{
    const QString error = writeFileAtomically(output.path, output.bytes);
    return error.isEmpty() ? QString() : tr("Cannot write %1: %2").arg(output.path, error);
}

bool BoardPublisher::publish()
{
    m_heartbeat.stop();
    const QString folder = displayFolder();
    if (!copyWhenMissing(folder, DisplayPageName) || !copyWhenMissing(folder, DisplayPictureName))
        return false;

    m_changedAt = m_clock.now();
    m_published = snapshot(m_publishedIds);
    m_hasPublished = true;

    // The fragment first: the display page has always been the first to know.
    const Output outputs[] = {
        {folder + DisplayFragmentName, encodeSystemText(renderFragment(boardOf(m_published, fragmentLayout())))},
        {folder + BoardFileName, encodeBoardFile(m_published)},
    };
    for (const Output &output : outputs) {
        if (const QString failure = write(output); !failure.isEmpty()) {
            emit failed(failure);
            return false;
        }
    }
    m_heartbeat.start();
    emit published();
    return true;
}

bool BoardPublisher::writeHeartbeat()
{
    if (!m_hasPublished)
        m_published = snapshot();
    m_published.writtenAt = m_clock.now();
    m_published.heartbeatSeconds = m_heartbeatSeconds;
    if (const QString failure = write({boardFilePath(), encodeBoardFile(m_published)}); !failure.isEmpty()) {
        emit heartbeatFailed(failure);
        return false;
    }
    emit heartbeatWritten();
    return true;
}

void BoardPublisher::setHeartbeatSeconds(int seconds)
{
    m_heartbeatSeconds = std::max(1, seconds);
    m_heartbeat.setInterval(m_heartbeatSeconds * 1000);
}

} // namespace tavlo
