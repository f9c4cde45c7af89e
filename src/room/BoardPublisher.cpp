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

Board BoardPublisher::board()
{
    // A count below one could show nothing: it takes the fallback, as 0 does.
    if (m_settings.rowsInFirstRow < 1)
        m_settings.rowsInFirstRow = 15;
    if (m_settings.rowsInSecondRow < 1)
        m_settings.rowsInSecondRow = 10;

    Board board;
    if (m_settings.listWidth > 0)
        board.listWidth = QString::number(m_settings.listWidth);
    const QList<Game> &games = m_room.games();
    board.games.reserve(games.size());
    for (const Game &game : games)
        board.games.append({game.name, 0, {}});
    const int firstRow = board.gamesInFirstRow();
    for (qsizetype g = 0; g < games.size(); ++g) {
        BoardGame &shown = board.games[g];
        shown.rows = g < firstRow ? m_settings.rowsInFirstRow : m_settings.rowsInSecondRow;
        // Only the players the board has room for.
        const qsizetype count = std::min<qsizetype>(shown.rows, games[g].players.size());
        shown.entries.reserve(count);
        for (qsizetype p = 0; p < count; ++p)
            shown.entries.append(boardEntryOf(games[g].players[p].storedName));
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
    // The figures move with every count; the file is rewritten only when what it says moves.
    connect(estimates, &WaitEstimates::estimatesChanged, this, [this] {
        if (m_heartbeat.isActive() && estimateTexts() != m_writtenEstimates)
            writeHeartbeat();
    });
    connect(estimates, &QObject::destroyed, this, [this] { m_estimates = nullptr; });
}

QStringList BoardPublisher::estimateTexts() const
{
    QStringList texts;
    if (m_estimates == nullptr)
        return texts;
    for (const Game &game : m_room.games())
        texts << (m_estimates->estimate(game.id).enoughData() ? m_estimates->text(game.id) : QString());
    return texts;
}

BoardSnapshot BoardPublisher::snapshot() const
{
    BoardSnapshot board;
    board.writtenAt = m_clock.now();
    board.changedAt = m_changedAt;
    board.heartbeatSeconds = m_heartbeatSeconds;
    const QList<Game> &games = m_room.games();
    board.games.reserve(games.size());
    for (const Game &game : games) {
        WaitingGame &shown = board.games.emplace_back();
        shown.name = game.name;
        if (m_estimates != nullptr && m_estimates->estimate(game.id).enoughData())
            shown.estimate = m_estimates->text(game.id);
        shown.players.reserve(game.players.size());
        for (const Player &player : game.players) {
            MarkedName marked = readMarkers(player.storedName);
            shown.players.append({std::move(marked.bareName), marked.markers, player.addedAt});
        }
    }
    return board;
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
    emit failed(QStringLiteral("Cannot copy %1 to %2: %3").arg(*source, folder + fileName, file.errorString()));
    return false;
}

QString BoardPublisher::writeBoardFile()
{
    const QString path = boardFilePath();
    const BoardSnapshot board = snapshot();
    m_writtenEstimates.clear();
    for (const WaitingGame &game : board.games)
        m_writtenEstimates << game.estimate;
    if (m_estimates == nullptr)
        m_writtenEstimates.clear();
    const QString error = writeFileAtomically(path, encodeBoardFile(board));
    return error.isEmpty() ? QString() : QStringLiteral("Cannot write %1: %2").arg(path, error);
}

bool BoardPublisher::publish()
{
    m_heartbeat.stop();
    const QString folder = displayFolder();
    if (!copyWhenMissing(folder, DisplayPageName) || !copyWhenMissing(folder, DisplayPictureName))
        return false;
    const QString path = folder + DisplayFragmentName;
    const QString error = writeFileAtomically(path, encodeSystemText(renderFragment(board())));
    if (!error.isEmpty()) {
        emit failed(QStringLiteral("Cannot write %1: %2").arg(path, error));
        return false;
    }
    m_changedAt = m_clock.now();
    if (const QString failure = writeBoardFile(); !failure.isEmpty()) {
        emit failed(failure);
        return false;
    }
    m_heartbeat.start();
    emit published();
    return true;
}

bool BoardPublisher::writeHeartbeat()
{
    if (const QString failure = writeBoardFile(); !failure.isEmpty()) {
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
