#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace tavlo;

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("-");
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// An installed tree whose data folder holds the package files, read-only as a package may
// install them, and a user whose data folder does not exist yet.
struct Installation {
    Installation()
    {
        QDir(dir.path()).mkpath(QStringLiteral("prefix/bin"));
        QDir(dir.path()).mkpath(QStringLiteral("prefix/share/tavlo"));
        for (const QString &name : packageFileNames()) {
            write(data + u'/' + name, "package " + name.toUtf8());
            QFile::setPermissions(data + u'/' + name, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        }
    }
    ProgramFolderChoice startFrom(const QString &folder) const { return chooseProgramFolder(folder, {bin, data}, user + u'/'); }

    QTemporaryDir dir;
    QString bin = dir.filePath(QStringLiteral("prefix/bin"));
    QString data = dir.filePath(QStringLiteral("prefix/share/tavlo"));
    QString user = dir.filePath(QStringLiteral("home/.local/share/TAVLO"));
};

// present: "TAVLO.ini" marks a later start
struct PreparationRow { bool portable; QStringList present, copied; };

} // namespace

class TestProgramFolder : public QObject {
    Q_OBJECT
private slots:
    void choice_data()
    {
        QTest::addColumn<QString>("executableFolder"); // in the temporary folder
        QTest::addColumn<bool>("installed");
        QTest::newRow("installed bin") << "prefix/bin/" << true;
        QTest::newRow("installed bin through a link") << "link-to-bin" << true;
        QTest::newRow("build folder") << "build/bin" << false;
        QTest::newRow("copy of the installed tree") << "copy/prefix/bin" << false;
    }
    void choice()
    {
        QFETCH(QString, executableFolder);
        QFETCH(bool, installed);
        const Installation tree;
        QVERIFY(QFile::link(tree.bin, tree.dir.filePath(QStringLiteral("link-to-bin"))));
        const ProgramFolderChoice choice = tree.startFrom(tree.dir.filePath(executableFolder));
        QCOMPARE(choice.installed, installed);
        // Portable exactly as before: the executable's folder, without a trailing separator.
        QCOMPARE(choice.folder, installed ? tree.user : tree.dir.filePath(executableFolder));
        QVERIFY(describeProgramFolder(choice).contains(choice.folder));
    }

    // The first start fills a new folder; afterwards, and in a portable folder, nothing is copied
    // and nothing of the user's is replaced.
    void preparation_data()
    {
        QTest::addColumn<PreparationRow>("row");
        const QStringList all = packageFileNames();
        QTest::newRow("first start") << PreparationRow{false, {}, all};
        QTest::newRow("first start, own database") << PreparationRow{false, {"TAVLO.mdb"}, all.mid(1)};
        QTest::newRow("later start, database removed") << PreparationRow{false, {"TAVLO.ini"}, {}};
        QTest::newRow("portable") << PreparationRow{true, {}, {}};
    }
    void preparation()
    {
        QFETCH(PreparationRow, row);
        const auto &[portable, present, copied] = row;
        const Installation tree;
        const ProgramFolderChoice choice = tree.startFrom(portable ? tree.user : tree.bin);
        if (!present.isEmpty())
            QVERIFY(QDir().mkpath(tree.user));
        for (const QString &name : present)
            write(tree.user + u'/' + name, "user's own");

        QCOMPARE(prepareProgramFolder(choice), QStringList());
        QCOMPARE(QFileInfo::exists(tree.user), !portable);
        for (const QString &name : packageFileNames()) {
            const QString path = tree.user + u'/' + name;
            QCOMPARE(contentOf(path), present.contains(name) ? QByteArray("user's own")
                                      : copied.contains(name) ? "package " + name.toUtf8()
                                                              : QByteArray("-"));
            // The database is rewritten on every change, whatever the package's permissions.
            if (copied.contains(name))
                QVERIFY(QFile::permissions(path).testFlag(QFile::WriteOwner));
        }
    }

    void failuresAreReported()
    {
        const Installation tree;
        QVERIFY(QFile::remove(tree.data + QStringLiteral("/TAVLO-Display.hta")));
        const QStringList failures = prepareProgramFolder(tree.startFrom(tree.bin));
        QCOMPARE(failures.size(), 1);
        QVERIFY2(failures.first().contains(QStringLiteral("TAVLO-Display.hta")), qPrintable(failures.first()));
        QVERIFY(QFileInfo::exists(tree.user + QStringLiteral("/TAVLO.mdb")));

        // A file where the folder should be: nothing can be created below it, not even by root.
        const QString file = tree.dir.filePath(QStringLiteral("file"));
        write(file, "");
        QCOMPARE(prepareProgramFolder(chooseProgramFolder(tree.bin, {tree.bin, tree.data}, file + "/TAVLO")).size(), 1);
    }

    void viewerNamesTheConsolesFolder()
    {
        QCoreApplication::setApplicationName(QStringLiteral("TAVLO"));
        const QString consoles = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QCoreApplication::setApplicationName(QStringLiteral("TAVLO-Display"));
        QCOMPARE(userDataFolder(), consoles);
    }
};

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
