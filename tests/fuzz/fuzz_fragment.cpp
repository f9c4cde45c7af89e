// The viewer's fragment reader on arbitrary bytes: never a crash, and never more on the
// screen than its bounds allow.
#include "display/Fragment.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const tavlo::display::Board board = tavlo::display::parseFragment(text);
    if (board.gameCount() > 100)
        std::abort();
    for (const auto &row : board.rows) {
        for (const auto &game : row) {
            if (game.entries.size() > 200 || game.name.size() > 200)
                std::abort();
        }
    }
    tavlo::display::looksComplete(text);
    return 0;
}
