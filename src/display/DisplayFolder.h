#pragma once

#include <QString>

namespace tavlo::display {

inline constexpr char kFragmentFileName[] = "TAVLO-Display.txt";
inline constexpr char kPictureFileName[] = "TAVLO-Display.jpg";
inline constexpr char kSettingsFileName[] = "TAVLO.ini";

// The display folder as the console finds it: the FilePath line of the settings file in the
// program folder (key matched in upper case, value untrimmed, a later line winning), or the
// program folder itself when the file or the line is missing or the value is empty. The
// settings file is only read. The result ends with a separator unless it came from the file,
// whose value is used exactly as the console uses it.
QString displayFolder(const QString &programFolder);

// The fragment's path in a display folder: the name is appended directly, as the console does.
QString fragmentPath(const QString &displayFolder);

} // namespace tavlo::display
