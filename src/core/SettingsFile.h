#pragma once

#include <QByteArray>
#include <QString>

namespace tavlo {

struct WindowState;
struct Platform;

// Applies the lines of a settings file's text to the state; false when a value cannot be
// converted (the state then holds what the lines before it set).
bool readSettingsText(const QByteArray &bytes, WindowState &state);

// Path of the settings file in a program folder.
QString settingsFilePath(const QString &programFolder);

// Reads ("read") or writes ("write") the settings file in the program folder; `job` is
// trimmed and upper-cased in the caller's variable. A missing file marks the first run and
// is created with the defaults. On any failure it shows "Unexpected Error!" and ends the
// program; it then returns false, and the caller must stop at once.
bool INIFile(QString &job, WindowState &state, const Platform &platform);

} // namespace tavlo
