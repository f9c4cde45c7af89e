#include "base/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <climits>
#include <cstdio>
#include <sys/uio.h>
#include <unistd.h>
#include <vector>
#endif

namespace tavlo {

namespace {

bool syncToDisk(int handle)
{
#ifdef Q_OS_WIN
    return handle < 0 || _commit(handle) == 0;
#else
    if (handle < 0)
        return true;
    // Pipes, sockets and some special files cannot be synced; that is no loss of data.
    return ::fsync(handle) == 0 || errno == EINVAL || errno == EROFS;
#endif
}

} // namespace

QByteArray encodeSystemText(const QString &text)
{
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(text);
}

QString decodeSystemText(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::System);
    return decoder.decode(bytes);
}

QString trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QString withoutControlCharacters(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F)
            kept += c;
    }
    return kept;
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines << line;
            line.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

namespace {

// Writes all bytes, each write checked.
bool writeAll(QFileDevice &file, const QByteArray &bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            return false;
        written += n;
    }
    return file.error() == QFileDevice::NoError;
}

// Writes the parts one after another; the reason when it fails. The file system's cost is
// by the write as much as by the byte, so on POSIX they go in one gathered write.
QString writeParts(QFileDevice &file, const QList<QByteArray> &parts)
{
#ifdef Q_OS_WIN
    if (!std::all_of(parts.cbegin(), parts.cend(), [&file](const QByteArray &part) { return writeAll(file, part); })
        || !file.flush())
        return file.errorString();
    return {};
#else
    if (!file.flush()) // nothing may wait in the device's buffer behind the descriptor's back
        return file.errorString();
    std::vector<iovec> pending;
    pending.reserve(parts.size());
    for (const QByteArray &part : parts) {
        if (!part.isEmpty())
            pending.push_back({const_cast<char *>(part.constData()), size_t(part.size())});
    }
    size_t first = 0;
    while (first < pending.size()) {
        const ssize_t n = ::writev(file.handle(), pending.data() + first, int(std::min<size_t>(pending.size() - first, IOV_MAX)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return QString::fromLocal8Bit(std::strerror(n < 0 ? errno : EIO));
        // Past what went out, part of a part included.
        for (size_t left = size_t(n); left > 0;) {
            iovec &part = pending[first];
            const size_t taken = std::min(left, part.iov_len);
            part.iov_base = static_cast<char *>(part.iov_base) + taken;
            part.iov_len -= taken;
            left -= taken;
            if (part.iov_len == 0)
                ++first;
        }
    }
    return {};
#endif
}

// Renames over an existing file in one step (QFile::rename refuses to replace).
bool replaceFile(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    return MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
                       reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
                       MOVEFILE_REPLACE_EXISTING)
            != 0;
#else
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

// The unsynced replacement: QSaveFile always syncs, so a temporary file of our own beside it.
QString replaceUnsynced(const QFileInfo &existing, const QList<QByteArray> &parts)
{
    const QString path = existing.filePath();
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open())
        return file.errorString();
    // A temporary file is the owner's alone; the file it becomes is read by the screens.
    constexpr QFile::Permissions readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
                                            | QFile::ReadGroup | QFile::ReadOther;
    file.setPermissions(existing.exists() ? existing.permissions() : readable);
    // Written and checked here: a failure of the flush inside close() would go unseen.
    if (const QString reason = writeParts(file, parts); !reason.isEmpty() || file.error() != QFileDevice::NoError)
        return reason.isEmpty() ? QStringLiteral("Cannot write %1").arg(path) : reason;
    file.close();
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    if (!replaceFile(file.fileName(), path))
        return QString::fromLocal8Bit(std::strerror(errno));
    file.setAutoRemove(false); // it is the file now
    return {};
}

} // namespace

QString writeFileAtomically(const QString &path, const QByteArray &bytes, FileSync sync)
{
    return writeFileAtomically(path, QList<QByteArray>{bytes}, sync);
}

QString writeFileAtomically(const QString &path, const QList<QByteArray> &parts, FileSync sync)
{
    // Renaming a new file over a device or a pipe would replace it, not write to it.
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile() && !existing.isDir())
        return QStringLiteral("%1 is not a regular file").arg(QDir::toNativeSeparators(path));
    if (sync == FileSync::Unsynced) {
        if (existing.isDir())
            return QStringLiteral("%1 is a folder").arg(QDir::toNativeSeparators(path));
        return replaceUnsynced(existing, parts);
    }
    QSaveFile file(path);
    // Unbuffered, so that a full disk fails the write checked here: a failure of the flush
    // inside commit() would go unseen and an empty file would replace the good one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (!std::all_of(parts.cbegin(), parts.cend(), [&file](const QByteArray &part) { return writeAll(file, part); })) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason.isEmpty() ? QStringLiteral("Cannot write %1").arg(path) : reason;
    }
    // Some file systems report a lost write only when the data reaches the disk.
    if (!syncToDisk(file.handle())) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

QString writeFileOrDevice(const QString &path, const QByteArray &bytes)
{
    const QFileInfo existing(path);
    if (!existing.exists() || existing.isFile() || existing.isDir())
        return writeFileAtomically(path, bytes);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            return file.errorString().isEmpty() ? QStringLiteral("Cannot write %1").arg(path) : file.errorString();
        written += n;
    }
    if (!syncToDisk(file.handle()))
        return QString::fromLocal8Bit(std::strerror(errno));
    return {};
}

QString writeTextFileAtomically(const QString &path, const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return writeFileAtomically(path, encodeSystemText(text));
}

} // namespace tavlo
