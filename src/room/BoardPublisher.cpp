#include "room/BoardPublisher.h"

#include "base/DisplayFiles.h"
#include "base/Settings.h"
#include "base/TextFile.h"
#include "board/BoardFile.h"
#include "board/Fragment.h"
#include "platform/FileLookup.h"
#include "room/Room.h"
#include "room/WaitEstimates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <algorithm>
#include <tuple>

namespace tavlo {

namespace {

// A game of the room as the board shows it, with its estimate's text; only its first players
// when a limit is given.
WaitingGame shownGame(const Game &game, const QString &estimate, qsizetype limit = -1)
{
    WaitingGame shown{game.name, {}, estimate};
    shown.interest = game.interest;
    const QList<Player> players = limit < 0 ? game.players : game.players.first(std::clamp<qsizetype>(limit, 0, game.players.size()));
    shown.players.reserve(players.size());
    for (const Player &player : players) {
        WaitingPlayer &waiting = shown.players.emplace_back(WaitingPlayer::fromStoredName(player.storedName, player.addedAt));
        if (player.state.isCalled())
            waiting.callEnds = player.state.callEnds();
        waiting.awaySince = player.state.awaySince;
    }
    return shown;
}

} // namespace

// What a publication needs of the room, taken on the room's thread.
struct BoardPublisher::Job {
    QList<Game> games; // shares the room's lists until the room changes them
    QHash<qint64, WaitEstimate> estimates;
    bool roomChanged = true;
    FragmentLayout layout;
    QString folder;
    QList<std::pair<QString, QString>> copies; // the program folder's copy, the display file's name
    QDateTime writtenAt;
    QDateTime changedAt;
    int heartbeatSeconds = DefaultHeartbeatSeconds;
};

// Renders and writes a publication. It keeps each game's rendering with the lists it was made
// from: a list the room has not changed since is the very same shared list, so only the games
// that changed are rendered again.
class BoardPublisher::Renderer {
public:
    Result run(const Job &job)
    {
        if (job.folder != m_cleaned) {
            removeLeftovers(job.folder);
            m_cleaned = job.folder;
        }
        for (const auto &[source, fileName] : job.copies) {
            if (QString failure = copyWhenMissing(source, job.folder, fileName); !failure.isEmpty())
                return {failure, false, {}};
        }
        BoardSnapshot board; // the file's head: its games are encoded one by one
        board.writtenAt = job.writtenAt;
        board.changedAt = job.changedAt;
        board.heartbeatSeconds = job.heartbeatSeconds;
        QList<QByteArray> encoded;
        encoded.reserve(job.games.size());
        Board layout; // the fragment's layout: its games' lines are the games' own
        if (job.layout.listWidth > 0)
            layout.listWidth = QString::number(job.layout.listWidth);
        layout.games.resize(job.games.size());
        const int firstRow = layout.gamesInFirstRow();
        const int percent = layout.columnPercent();
        QList<QString> fragment;
        fragment.reserve(job.games.size());
        const auto &[rows1, rows2, width] = job.layout;
        const std::tuple<QString, int, int, int> target{job.folder, rows1, rows2, width};
        bool moved = job.roomChanged || !m_hasWritten || target != m_target;
        QHash<qint64, Rendered> kept;
        kept.reserve(job.games.size());
        for (const Game &game : job.games) {
            const WaitEstimate estimate = job.estimates.value(game.id);
            const QString estimateText = estimate.enoughData() ? estimate.text() : QString();
            auto found = m_games.find(game.id);
            if (found == m_games.end() || !found->renders(game, estimateText)) {
                found = m_games.insert(game.id, render(game, estimateText));
                moved = true;
            }
            const int rows = fragment.size() < firstRow ? rows1 : rows2;
            if (found->fragmentRows != rows || found->fragmentPercent != percent || found->fragmentWidth != layout.listWidth) {
                // Only the lines the fragment has: a copy of a whole long list would stay in memory.
                found->fragment = renderFragmentGame(boardGameOf(shownGame(game, estimateText, rows), rows), layout);
                found->fragmentRows = rows;
                found->fragmentPercent = percent;
                found->fragmentWidth = layout.listWidth;
            }
            encoded << found->json;
            fragment << found->fragment;
            kept.insert(game.id, *found);
        }
        m_games = std::move(kept); // the games gone from the room are forgotten
        if (!moved)
            return {};

        // The fragment first: the display page has always been the first to know.
        const QByteArray fragmentBytes = encodeSystemText(renderFragment(layout, fragment));
        const std::pair<QString, QList<QByteArray>> outputs[] = {
            {job.folder + DisplayFragmentName, {fragmentBytes}},
            {job.folder + BoardFileName, boardFileParts(board, encoded)},
        };
        for (const auto &[path, parts] : outputs) {
            if (const QString error = writeFileAtomically(path, parts, FileSync::Unsynced); !error.isEmpty()) {
                m_hasWritten = false; // the next publication writes both again
                return {BoardPublisher::tr("Cannot write %1: %2").arg(path, error), false, {}};
            }
        }
        m_hasWritten = true;
        m_target = target;
        return {{}, true, std::chrono::steady_clock::now()};
    }

private:
    struct Rendered {
        QString name;
        QList<Player> players;
        QString estimate;
        bool interest = false;
        QByteArray json;
        QString fragment; // its lines of the fragment, for a row of that many lines
        int fragmentRows = -1;
        int fragmentPercent = -1;
        QString fragmentWidth;

        bool renders(const Game &game, const QString &estimateText) const
        {
            return players.constData() == game.players.constData() && players.size() == game.players.size()
                    && name == game.name && estimate == estimateText && interest == game.interest;
        }
    };

    static Rendered render(const Game &game, const QString &estimate)
    {
        Rendered rendered{game.name, game.players, estimate, game.interest, {}, {}, -1, -1, {}};
        rendered.json = encodeBoardGame(shownGame(game, estimate));
        return rendered;
    }

    // New files a console killed while it wrote left behind; a minute old, nobody writes them.
    static void removeLeftovers(const QString &folder)
    {
        const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-60);
        const QStringList names{DisplayFragmentName + QStringLiteral(".??????"), BoardFileName + QStringLiteral(".??????")};
        for (const QFileInfo &file : QDir(folder).entryInfoList(names, QDir::Files | QDir::Hidden)) {
            if (file.lastModified() < old)
                QFile::remove(file.filePath());
        }
    }

    static QString copyWhenMissing(const QString &source, const QString &folder, const QString &fileName)
    {
        if (QFileInfo::exists(folder + fileName) || !findFileIgnoringCase(folder, fileName).isEmpty())
            return {};
        QFile file(source);
        if (file.copy(folder + fileName))
            return {};
        return BoardPublisher::tr("Cannot copy %1 to %2: %3").arg(source, folder + fileName, file.errorString());
    }

    QHash<qint64, Rendered> m_games;
    QString m_cleaned; // the folder left over files were removed from
    bool m_hasWritten = false;
    std::tuple<QString, int, int, int> m_target; // where and how the files were last written
};

BoardPublisher::BoardPublisher(const Room &room, Settings &settings, const QString &programFolder, const Clock &clock,
                               QObject *parent)
    : QObject(parent)
    , m_room(room)
    , m_settings(settings)
    , m_programFolder(programFolder)
    , m_clock(clock)
    , m_heartbeatSeconds(DefaultHeartbeatSeconds)
    , m_renderer(std::make_unique<Renderer>())
{
    m_heartbeat.setInterval(m_heartbeatSeconds * 1000);
    m_soon.setSingleShot(true);
    connect(&room, &Room::changed, this, &BoardPublisher::roomChanged);
    connect(&m_soon, &QTimer::timeout, this, &BoardPublisher::startPublication);
    connect(&m_heartbeat, &QTimer::timeout, this, &BoardPublisher::writeHeartbeat);
}

BoardPublisher::~BoardPublisher()
{
    if (m_inFlight.valid())
        m_inFlight.wait();
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

QString BoardPublisher::heartbeatPath() const
{
    return displayFolder() + HeartbeatFileName;
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
    BoardSnapshot board;
    board.writtenAt = m_clock.now();
    board.changedAt = m_changedAt;
    board.heartbeatSeconds = m_heartbeatSeconds;
    const QList<Game> &games = m_room.games();
    board.games.reserve(games.size());
    for (const Game &game : games)
        board.games.append(shownGame(game, estimateOf(game.id)));
    return board;
}

void BoardPublisher::setEstimates(WaitEstimates *estimates)
{
    if (m_estimates != nullptr)
        disconnect(m_estimates, nullptr, this, nullptr);
    m_estimates = estimates;
    if (estimates == nullptr)
        return;
    connect(estimates, &WaitEstimates::estimatesChanged, this, &BoardPublisher::estimatesChanged);
    connect(estimates, &QObject::destroyed, this, [this] { m_estimates = nullptr; });
}

void BoardPublisher::roomChanged()
{
    m_changedAt = m_clock.now();
    m_roomChanged = true;
    // A change close behind another is part of a burst: the burst is published once it pauses.
    const bool inBurst = m_lastChange.isValid() && m_lastChange.elapsed() < QuietMilliseconds;
    m_lastChange.start();
    changeWaiting(inBurst);
}

void BoardPublisher::estimatesChanged()
{
    // Before the first publication the board is not there to correct.
    if (m_hasPublished)
        changeWaiting(m_lastChange.isValid() && m_lastChange.elapsed() < QuietMilliseconds);
}

void BoardPublisher::changeWaiting(bool inBurst)
{
    if (!m_dirty)
        m_waitingSince.start();
    m_dirty = true;
    schedule(inBurst);
}

void BoardPublisher::schedule(bool afterPause)
{
    if (m_inFlight.valid() || !m_dirty)
        return; // the publication under way schedules the next when it ends
    if (m_soon.isActive() && m_soon.interval() == 0)
        return; // due at once: the changes of this moment go with it
    const qint64 longest = LongestWaitMilliseconds - m_waitingSince.elapsed();
    m_soon.start(afterPause ? int(std::clamp<qint64>(longest, 0, QuietMilliseconds)) : 0);
}

BoardPublisher::Job BoardPublisher::takeJob(bool roomChanged)
{
    Job job;
    job.games = m_room.games();
    if (m_estimates != nullptr)
        job.estimates = m_estimates->all();
    job.roomChanged = roomChanged;
    job.layout = fragmentLayout();
    job.folder = displayFolder();
    // The program folder's own copies are looked for once: they do not come and go while we run.
    for (const QString &fileName : {DisplayPageName, DisplayPictureName}) {
        auto source = m_sources.constFind(fileName);
        if (source == m_sources.cend())
            source = m_sources.insert(fileName, findFileIgnoringCase(m_programFolder, fileName));
        if (!source->isEmpty()) // missing in both places: the start-up check has said so
            job.copies.append({*source, fileName});
    }
    job.writtenAt = m_clock.now();
    job.changedAt = m_changedAt;
    job.heartbeatSeconds = m_heartbeatSeconds;
    m_dirty = m_roomChanged = false;
    return job;
}

void BoardPublisher::startPublication()
{
    if (m_inFlight.valid() || !m_dirty)
        return;
    // A change's new estimates go out with it, not in a publication of their own.
    if (m_estimates != nullptr)
        m_estimates->settle();
    m_soon.stop();
    const quint64 serial = ++m_serial;
    m_inFlight = std::async(std::launch::async, [this, serial, job = takeJob(m_roomChanged)] {
        Result result = m_renderer->run(job);
        QMetaObject::invokeMethod(this, [this, serial] { publicationDone(serial); }, Qt::QueuedConnection);
        return result;
    });
}

void BoardPublisher::publicationDone(quint64 serial)
{
    if (serial != m_serial || !m_inFlight.valid())
        return; // collected already by publish() or settle()
    finish(m_inFlight.get());
    schedule(m_lastChange.isValid() && m_lastChange.elapsed() < QuietMilliseconds);
}

bool BoardPublisher::finish(const Result &result)
{
    if (!result.failure.isEmpty()) {
        m_heartbeat.stop();
        emit failed(result.failure);
        return false;
    }
    if (result.written) {
        m_hasPublished = true;
        m_publishedAt = result.finishedAt;
        m_heartbeat.start();
        emit published();
    }
    return true;
}

bool BoardPublisher::publish()
{
    if (m_inFlight.valid())
        finish(m_inFlight.get()); // its failure is said; this one goes on regardless
    if (m_estimates != nullptr)
        m_estimates->settle();
    m_soon.stop();
    m_changedAt = m_clock.now();
    return finish(m_renderer->run(takeJob(true)));
}

bool BoardPublisher::settle()
{
    bool succeeded = true;
    while (m_inFlight.valid() || m_dirty) {
        if (!m_inFlight.valid())
            startPublication();
        else
            succeeded = finish(m_inFlight.get());
    }
    return succeeded;
}

namespace {

// Overwrites the file where it stands: a new file each beat would cost the disk a few pages a
// beat. A beat is always the same few bytes in one write, so a reader sees one beat or the
// next, and a beat read half-way is still no older than the last.
QString overwrite(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return file.errorString();
    if (file.write(bytes) != bytes.size() || (file.size() != bytes.size() && !file.resize(bytes.size())))
        return file.errorString();
    return {};
}

} // namespace

bool BoardPublisher::writeHeartbeat()
{
    const QString path = heartbeatPath();
    const QString error = overwrite(path, encodeHeartbeat(m_clock.now(), m_heartbeatSeconds));
    if (!error.isEmpty()) {
        emit heartbeatFailed(BoardPublisher::tr("Cannot write %1: %2").arg(path, error));
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
