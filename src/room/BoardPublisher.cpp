#include "room/BoardPublisher.h"

#include "base/DisplayFiles.h"
#include "base/Settings.h"
#include "base/TextFile.h"
#include "board/Fragment.h"
#include "platform/FileLookup.h"
#include "room/Room.h"

#include <QFile>
#include <QFileInfo>

namespace tavlo {

BoardPublisher::BoardPublisher(const Room &room, Settings &settings, const QString &programFolder, QObject *parent)
    : QObject(parent)
    , m_room(room)
    , m_settings(settings)
    , m_programFolder(programFolder)
{
    connect(&room, &Room::changed, this, &BoardPublisher::publish);
}

QString BoardPublisher::fragmentPath() const
{
    return displayFolderPath(m_settings.displayFolder, m_programFolder) + DisplayFragmentName;
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

bool BoardPublisher::publish()
{
    const QString folder = displayFolderPath(m_settings.displayFolder, m_programFolder);
    if (!copyWhenMissing(folder, DisplayPageName) || !copyWhenMissing(folder, DisplayPictureName))
        return false;
    const QString path = folder + DisplayFragmentName;
    const QString error = writeFileAtomically(path, encodeSystemText(renderFragment(board())));
    if (!error.isEmpty()) {
        emit failed(QStringLiteral("Cannot write %1: %2").arg(path, error));
        return false;
    }
    emit published();
    return true;
}

} // namespace tavlo
