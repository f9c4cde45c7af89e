#pragma once

#include <QString>
#include <QStringList>

namespace tavlo {

// Where an installed copy lives; fixed when the program is built.
struct InstallLayout {
    QString binFolder;  // the install prefix's bin
    QString dataFolder; // the package's data folder: the empty database and the display files
};

// The folder the program keeps its settings, database and display files in.
struct ProgramFolderChoice {
    QString folder;            // native separators, no trailing separator
    bool installed = false;    // false: portable, the executable's own folder
    QString packageDataFolder; // installed only: where the first start copies from
};

// The files a new user's folder receives from the package's data folder.
inline const QStringList &packageFileNames()
{
    static const QStringList names{QStringLiteral("TAVLO.mdb"), QStringLiteral("TAVLO-Display.hta"),
                                   QStringLiteral("TAVLO-Display.jpg")};
    return names;
}

// Installed when the executable runs from the layout's bin folder: the user's data folder.
// Anywhere else (a build folder, a copied folder, a share) the executable's own folder.
ProgramFolderChoice chooseProgramFolder(const QString &executableFolder, const InstallLayout &layout,
                                        const QString &userDataFolder);

// On the first start of an installed program (no "TAVLO.ini" in its folder yet): creates the
// folder and copies the package files that are missing there, writable by the user, so that
// the start goes on as a first start in a fresh build folder. A portable folder is left alone.
// Returns one line for each thing that failed.
QStringList prepareProgramFolder(const ProgramFolderChoice &choice);

// The layout this build installs to.
InstallLayout builtInstallLayout();

// The console's AppDataLocation (no organization name). The viewer names the same folder, so
// that both read one "TAVLO.ini".
QString userDataFolder();

// The running program's choice (needs the application object).
ProgramFolderChoice programFolderChoice();

// The choice in words, for --help.
QString describeProgramFolder(const ProgramFolderChoice &choice);

// A folder path followed by a separator, unless it already ends with one.
QString withTrailingSeparator(const QString &folder);

} // namespace tavlo
