#pragma once

#include <QString>

namespace tavlo {

// The files the large screen uses, in the display folder.
inline const QString DisplayFragmentName = QStringLiteral("TAVLO-Display.txt");
inline const QString DisplayPageName = QStringLiteral("TAVLO-Display.hta");
inline const QString DisplayPictureName = QStringLiteral("TAVLO-Display.jpg");

// The display folder with a separator at its end, file names being appended directly: the
// FilePath setting, or the program folder when the setting is empty.
QString displayFolderPath(const QString &filePathSetting, const QString &programFolder);

} // namespace tavlo
