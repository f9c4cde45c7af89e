// The viewer's fragment reader on arbitrary bytes: never a crash, and never more on the
// screen than its bounds allow.
#include "board/Fragment.h"
#include "display/ScreenBoard.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const tavlo::display::ScreenBoard board = tavlo::display::screenBoardOf(text);
    if (board.gameCount() > 100)
        std::abort();
    for (const auto &row : board.rows) {
        for (const auto &game : row) {
            if (game.entries.size() > 200 || game.name.size() > 200)
                std::abort();
        }
    }
    tavlo::looksWhole(text);
    // The console's reader alone: what it reads, it writes back the same way.
    if (const auto read = tavlo::readFragment(text)) {
        const QString again = tavlo::renderFragment(*read);
        if (tavlo::readFragment(again) != read)
            std::abort();
    }
    return 0;
}
