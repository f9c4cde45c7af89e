#pragma once

#include "core/Connection.h"
#include "core/Recordset.h"

#include <QString>

#include <cstdint>

namespace tavlo {

// The main window's state, in the order the program has always declared it. Owned by the
// main window and handed by reference to everything that works on it; there is no other
// global state.
struct WindowState {
    Connection Conn;
    Recordset MainRecordset;
    Recordset DetailRecordset;
    QString DatabasePath;
    QString FilePath; // display folder, ends with a separator
    QString ListsMode;
    QString PlayersMode;
    QString SqlText;
    std::int32_t CurrentListID = 0;
    std::int16_t PlayersPerListRow1 = 0;
    std::int16_t PlayersPerListRow2 = 0;
    std::int16_t ListWidth = 0;
    bool StartMaximized = false;
    bool BlinkOn = false;
    bool StarOn = false;
    bool PhoneOn = false;
    bool Reordering = false;
    bool FirstRun = false;
};

} // namespace tavlo
