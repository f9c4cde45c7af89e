// The board file's reader on arbitrary bytes: never a crash, a reason whenever it refuses, and
// what it reads the writer writes so that it reads the same again.
#include "board/BoardFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The writer writes the years 1 to 9999 of UTC, all a console's clock gives; another writer's
// offset can carry a time just beyond them.
bool writable(const QDateTime &time)
{
    static const QDateTime first(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);
    static const QDateTime last(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC);
    return !time.isValid() || (time >= first && time <= last);
}

bool writable(const tavlo::BoardSnapshot &board)
{
    for (const tavlo::WaitingGame &game : board.games) {
        for (const tavlo::WaitingPlayer &player : game.players) {
            if (!writable(player.addedAt))
                return false;
        }
    }
    return writable(board.writtenAt) && writable(board.changedAt);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const tavlo::BoardFileContent content = tavlo::readBoardFile(bytes);
    if (content.isRead() == !content.problem.isEmpty())
        std::abort();
    if (content.isRead() && writable(content.board)) {
        const QByteArray written = tavlo::encodeBoardFile(content.board);
        const tavlo::BoardFileContent again = tavlo::readBoardFile(written);
        if (!again.isRead() || tavlo::encodeBoardFile(again.board) != written)
            std::abort();
    }
    return 0;
}
