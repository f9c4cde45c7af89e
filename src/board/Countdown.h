#pragma once

#include <QString>

namespace tavlo {

// A call's time left or an away's time so far, as the desk, the board and the phones show it:
// "4:07", "0:00" once past; "1:02:07" from an hour on.
QString countdownText(qint64 seconds);

} // namespace tavlo
