#include "platform/FileLookup.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace tavlo {

namespace {

QString normalised(const QString &path)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}

} // namespace

QString findFileIgnoringCase(const QString &folder, const QString &fileName)
{
    if (fileName.isEmpty())
        return {};
    const QString dirPath = normalised(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QFileInfo exact(dirPath + QLatin1Char('/') + fileName);
    if (exact.isFile())
        return QDir::toNativeSeparators(exact.filePath());

    const QDir dir(dirPath);
    if (!dir.exists())
        return {};
    const auto entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        if (entry.fileName().compare(fileName, Qt::CaseInsensitive) == 0)
            return QDir::toNativeSeparators(entry.filePath());
    }
    return {};
}

QString findFileIgnoringCase(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QString clean = normalised(path);
    const int slash = clean.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return findFileIgnoringCase(QStringLiteral("."), clean);
    return findFileIgnoringCase(clean.left(slash == 0 ? 1 : slash), clean.mid(slash + 1));
}

} // namespace tavlo
