#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tavlo {

// Text in the system's 8-bit code page: the locale's encoding here.
QByteArray encodeSystemText(const QString &text);
QString decodeSystemText(const QByteArray &bytes);

// Removes leading and trailing blanks (spaces only, as the classic Trim does).
QString trimBlanks(const QString &text);

// A name is one line of text: control characters (C0 and DEL) can only come from a paste and
// would break the lines of the files that carry names.
QString withoutControlCharacters(const QString &text);

// Splits text into lines; CR LF, a lone CR and a lone LF each end a line.
QStringList splitLines(const QString &text);

// Whether a replaced file is synced to the disk before it takes the old one's place. Files
// derived from the database again at every start need not survive a power loss, only be whole.
enum class FileSync { Synced, Unsynced };

// Writes the lines, each ending in CR LF, in the system encoding, replacing the file in one
// step: a reader sees the old file or the new one, never a part. Returns an empty string on
// success, else the reason. A path that names a device or a pipe is refused, never replaced.
QString writeTextFileAtomically(const QString &path, const QStringList &lines);
QString writeFileAtomically(const QString &path, const QByteArray &bytes, FileSync sync = FileSync::Synced);
// The same for a file given as parts written one after the other.
QString writeFileAtomically(const QString &path, const QList<QByteArray> &parts, FileSync sync);
// For a path the user chose: a regular file (or a new one) is replaced in one step as above;
// a device or a pipe that is there already (/dev/stdout, a FIFO) is written to directly, every
// write checked, so that a full device is a failure.
QString writeFileOrDevice(const QString &path, const QByteArray &bytes);

} // namespace tavlo
