#pragma once

#include "board/BoardSnapshot.h"

#include <QByteArray>
#include <QString>

namespace tavlo {

// The board file, TAVLO-Board.json: the whole room as JSON in UTF-8, beside the fragment in
// the display folder. Unlike the fragment it carries every player, the markers apart from the
// name, the time each joined the list, and a heartbeat (docs/board-file.md describes it for
// readers in other languages).
inline const QString BoardFileName = QStringLiteral("TAVLO-Board.json");
inline const QString BoardFileFormat = QStringLiteral("TAVLO board");
// Raised only when a reader of an older version would misread the file; added members
// keep the version, and readers ignore members they do not know.
inline constexpr int BoardFileVersion = 1;
inline constexpr int DefaultHeartbeatSeconds = 10;

// The heartbeat file, TAVLO-Heartbeat.json, beside it: a few bytes rewritten every heartbeat
// while the console runs, so that a screen can tell a quiet room from a console that has
// stopped without the whole room written again.
inline const QString HeartbeatFileName = QStringLiteral("TAVLO-Heartbeat.json");
inline const QString HeartbeatFileFormat = QStringLiteral("TAVLO heartbeat");

QByteArray encodeBoardFile(const BoardSnapshot &board);
// The same file from its games encoded one by one, in order (the board's own games are not
// read): a writer that keeps each game's bytes encodes only the games that changed.
QByteArray encodeBoardGame(const WaitingGame &game);
QByteArray encodeBoardFile(const BoardSnapshot &board, const QList<QByteArray> &encodedGames);
// The same bytes as parts to be written one after the other: the games' own bytes are shared,
// not copied into one large buffer.
QList<QByteArray> boardFileParts(const BoardSnapshot &board, const QList<QByteArray> &encodedGames);

struct BoardFileContent {
    enum class Status { Read, Unreadable, UnknownVersion };
    Status status = Status::Unreadable;
    BoardSnapshot board;
    int version = 0;
    QString problem; // why it could not be read, for the log

    bool isRead() const { return status == Status::Read; }
};

// Reads a board file. A file of another version is not read further; anything malformed in a
// file of this version makes the whole file unreadable rather than half shown.
BoardFileContent readBoardFile(const QByteArray &bytes);

QByteArray encodeHeartbeat(const QDateTime &writtenAt, int heartbeatSeconds);
// When a heartbeat file says it was written; invalid when the bytes are no heartbeat file.
QDateTime readHeartbeat(const QByteArray &bytes);

// Times in the board file: UTC to the second, "2026-12-06T21:04:10Z". Invalid becomes null.
QString boardFileTime(const QDateTime &time);
// Reads that shape, and any other RFC 3339 time (a fraction of a second, an offset) that
// other writers give; invalid for any other text.
QDateTime readBoardFileTime(QStringView text);

} // namespace tavlo
