#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tavlo {

namespace {

struct FolderText {
    Q_DECLARE_TR_FUNCTIONS(ProgramFolder)
};

QString withoutTrailingSeparator(const QString &path)
{
    QString folder = QDir::toNativeSeparators(path);
    while (folder.size() > 1 && folder.endsWith(QDir::separator()))
        folder.chop(1);
    return folder;
}

// Symbolic links resolved where the folder exists, so that /bin and /usr/bin on a merged
// /usr count as one.
QString comparable(const QString &folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

} // namespace

ProgramFolderChoice chooseProgramFolder(const QString &executableFolder, const InstallLayout &layout,
                                        const QString &userDataFolder)
{
    if (!layout.binFolder.isEmpty() && comparable(executableFolder) == comparable(layout.binFolder))
        return {withoutTrailingSeparator(userDataFolder), true, withoutTrailingSeparator(layout.dataFolder)};
    return {withoutTrailingSeparator(executableFolder), false, {}};
}

QStringList prepareProgramFolder(const ProgramFolderChoice &choice)
{
    if (!choice.installed)
        return {};
    const QDir folder(choice.folder);
    if (!folder.mkpath(QStringLiteral(".")))
        return {FolderText::tr("cannot create the folder %1").arg(choice.folder)};
    // A settings file means the first start has happened; whatever the user removed since stays
    // removed, as in a portable folder.
    if (QFileInfo(folder.filePath(QStringLiteral("TAVLO.ini"))).isFile())
        return {};

    QStringList failures;
    for (const QString &name : packageFileNames()) {
        const QString target = folder.filePath(name);
        if (QFileInfo::exists(target))
            continue;
        const QString source = QDir(choice.packageDataFolder).filePath(name);
        if (!QFile::copy(source, target)) {
            if (!QFileInfo::exists(target)) // the other program may have copied it just now
                failures << FolderText::tr("cannot copy %1 to %2").arg(source, choice.folder);
            continue;
        }
        // The copy keeps the package's permissions, which may be read-only.
        QFile::setPermissions(target, QFile::permissions(target) | QFile::ReadOwner | QFile::WriteOwner);
    }
    return failures;
}

InstallLayout builtInstallLayout()
{
    return {QStringLiteral(TAVLO_INSTALL_BIN_FOLDER), QStringLiteral(TAVLO_INSTALL_DATA_FOLDER)};
}

QString userDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1String("/TAVLO");
}

ProgramFolderChoice programFolderChoice()
{
    return chooseProgramFolder(QCoreApplication::applicationDirPath(), builtInstallLayout(), userDataFolder());
}

QString describeProgramFolder(const ProgramFolderChoice &choice)
{
    if (choice.installed)
        return FolderText::tr("Program folder: %1 (installed: your own data folder; the first start fills it from %2)")
            .arg(choice.folder, choice.packageDataFolder);
    return FolderText::tr("Program folder: %1 (portable: the folder of the program itself)").arg(choice.folder);
}

QString withTrailingSeparator(const QString &folder)
{
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator()))
        return folder;
    return folder + QDir::separator();
}

} // namespace tavlo
