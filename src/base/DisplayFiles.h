#pragma once

#include <QString>

namespace tavlo {

// The files the large screen uses, in the display folder.
inline const QString DisplayFragmentName = QStringLiteral("TAVLO-Display.txt");
inline const QString DisplayPageName = QStringLiteral("TAVLO-Display.hta");
inline const QString DisplayPictureName = QStringLiteral("TAVLO-Display.jpg");

// The display folder with a separator at its end, file names being appended directly: the
// FilePath setting, or the program folder when the setting is empty. The console writes there
// and the viewer reads there, so both must work it out here.
QString displayFolderPath(const QString &filePathSetting, const QString &programFolder);

// The display folder the FilePath line of the program folder's TAVLO.ini names, for a program
// that only reads the file (the viewer): the line as the console reads it, and the program
// folder when the file or the line is missing.
QString displayFolderOf(const QString &programFolder);

} // namespace tavlo
