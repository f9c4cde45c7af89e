#pragma once

#include <QString>

namespace tavlo {

struct WindowState;

inline const QString DisplayFragmentName = QStringLiteral("TAVLO-Display.txt");
inline const QString DisplayPageName = QStringLiteral("TAVLO-Display.hta");
inline const QString DisplayPictureName = QStringLiteral("TAVLO-Display.jpg");

// The display folder with a separator at its end; an empty setting means the program folder.
QString displayFolder(const QString &filePath, const QString &programFolder);

// Games in the first row of the board, and the column width in percent, for n games.
int gamesInFirstRow(int games);
int columnPercent(int games);

// Rewrites the whole display fragment from the store, replacing the file in one step, after
// copying the display page and picture from the program folder when the display folder lacks
// them. Opens and closes its own connection bracket. Throws StoreError on any failure; the
// previous fragment then stays whole.
void CreateHTML(WindowState &state, const QString &programFolder);

} // namespace tavlo
