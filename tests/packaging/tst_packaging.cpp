#include "TestPlatform.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kBuild = QStringLiteral(TAVLO_BUILD_DIR);
const QString kPrefix = QStringLiteral(TAVLO_PREFIX);
const QString kBin = QStringLiteral(TAVLO_BINDIR);
const QString kShare = QStringLiteral(TAVLO_DATADIR);
const QString kData = QStringLiteral(TAVLO_PACKAGE_DATADIR);
const QString kAppId = QStringLiteral(TAVLO_APP_ID);

// Relative to the prefix.
QStringList expectedTree()
{
    QStringList files{kBin + "/TAVLO", kBin + "/TAVLO-Display", kData + "/TAVLO.mdb", kData + "/TAVLO-Display.hta",
                      kData + "/TAVLO-Display.jpg", kData + "/TAVLO-Display-autostart.desktop",
                      kShare + "/applications/" + kAppId + ".desktop",
                      kShare + "/applications/" TAVLO_DISPLAY_APP_ID ".desktop",
                      kShare + "/icons/hicolor/scalable/apps/" + kAppId + ".svg",
                      kShare + "/metainfo/" + kAppId + ".metainfo.xml", kShare + "/doc/tavlo/copyright",
                      kShare + "/doc/tavlo/changelog.gz", QStringLiteral(TAVLO_MANDIR "/man1/TAVLO.1.gz"),
                      QStringLiteral(TAVLO_MANDIR "/man1/TAVLO-Display.1.gz")};
    files.sort();
    return files;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("-");
}

// The files under a folder, relative to it; with `stamps`, also their sizes and times.
QStringList filesUnder(const QString &folder, bool stamps = false)
{
    QStringList files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QFileInfo info(it.next());
        files << QDir(folder).relativeFilePath(info.filePath())
                     + (stamps ? QStringLiteral(" %1 %2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch()) : QString());
    }
    files.sort();
    return files;
}

QString run(const QString &program, const QStringList &arguments, int *exitCode,
            const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.waitForFinished(240000);
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAllStandardOutput() + process.readAllStandardError());
}

QString tool(const char *name)
{
    return QStandardPaths::findExecutable(QLatin1String(name));
}

} // namespace

class TestPackaging : public QObject {
    Q_OBJECT
    QTemporaryDir m_work;
    QString m_stage; // the prefix inside the temporary DESTDIR

private slots:
    void initTestCase()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), m_work.filePath(QStringLiteral("destdir")));
        int code = 0;
        const QString out = run(QStringLiteral(TAVLO_CMAKE), {QStringLiteral("--install"), kBuild}, &code, env);
        QVERIFY2(code == 0, qPrintable(out));
        m_stage = m_work.filePath(QStringLiteral("destdir")) + kPrefix + u'/';
    }

    // Exactly these files; the database is empty (not a developer's), the page is ours.
    void installedTree()
    {
        QCOMPARE(filesUnder(m_stage), expectedTree());
        QVERIFY(QFileInfo(m_stage + kBin + "/TAVLO-Display").isExecutable());
        QCOMPARE(contentOf(m_stage + kData + "/TAVLO-Display.hta"), contentOf(QStringLiteral(TAVLO_PAGE_SOURCE)));
        QCOMPARE(tavlo::test::TestPlatform::rows(m_stage + kData + "/TAVLO.mdb",
                                                 QStringLiteral("select (select count(*) from lists) + (select count(*) from list_content)")),
                 QStringList{"0"});
    }

    void validators_data()
    {
        QTest::addColumn<QString>("validator");
        QTest::addColumn<QString>("file");
        for (const QString &file : expectedTree()) {
            if (file.endsWith(QLatin1String(".desktop")))
                QTest::newRow(qPrintable(file)) << "desktop-file-validate" << file;
        }
        QTest::newRow("metainfo") << "appstreamcli" << kShare + "/metainfo/" + kAppId + ".metainfo.xml";
    }
    void validators()
    {
        QFETCH(QString, validator);
        QFETCH(QString, file);
        if (file.endsWith(QLatin1String(".desktop"))) // started from the prefix's bin, so installed
            QVERIFY(contentOf(m_stage + file).contains("\nExec=" + (kPrefix + u'/' + kBin).toUtf8() + "/TAVLO"));
        const QString program = tool(qPrintable(validator));
        if (program.isEmpty())
            QSKIP(qPrintable(validator + " is not installed (Debian packages desktop-file-utils, appstream)"));
        QStringList arguments{m_stage + file};
        if (validator == QLatin1String("appstreamcli"))
            arguments = QStringList{"validate", "--no-net"} + arguments;
        int code = 0;
        const QString out = run(program, arguments, &code);
        QVERIFY2(code == 0 && !out.contains(QLatin1String("error")), qPrintable(out));
    }

    // The .deb holds the same tree at the same prefix, depending on what dpkg-shlibdeps found
    // and on the SQLite driver Qt loads at run time.
    void debianPackage()
    {
        if (tool("dpkg-deb").isEmpty() || tool("dpkg-shlibdeps").isEmpty())
            QSKIP("dpkg-deb and dpkg-shlibdeps are not installed (Debian package dpkg-dev)");
        const QString out = m_work.filePath(QStringLiteral("deb"));
        int code = 0;
        const QString packed = run(QStringLiteral(TAVLO_CPACK),
                                   {"-G", "DEB", "--config", kBuild + "/CPackConfig.cmake", "-B", out, "-D",
                                    "CPACK_DEBIAN_COMPRESSION_TYPE=gzip"},
                                   &code);
        QVERIFY2(code == 0, qPrintable(packed));
        const QStringList debs = QDir(out).entryList({QStringLiteral("tavlo_" TAVLO_VERSION "_*.deb")});
        QCOMPARE(debs.size(), 1);
        const QString deb = out + u'/' + debs.first();
        QStringList listed;
        for (const QString &line : run(tool("dpkg-deb"), {"--contents", deb}, &code).split(u'\n', Qt::SkipEmptyParts)) {
            if (!line.startsWith(u'd'))
                listed << line.section(QStringLiteral(" ./"), 1);
        }
        QStringList expected;
        for (const QString &file : expectedTree())
            expected << (kPrefix + u'/' + file).mid(1);
        listed.sort();
        QCOMPARE(listed, expected);
        const QString depends = run(tool("dpkg-deb"), {"--field", deb, "Depends"}, &code);
        for (const char *dependency : {"libqt6sql6-sqlite", "libqt6widgets6", "libqt6network6", "libc6"})
            QVERIFY2(depends.contains(QLatin1String(dependency)), qPrintable(depends));
    }

    // Debian's checker accepts the package without a remark. It sees the package as it ships,
    // under /usr; the desktop entries of a build for another prefix name that prefix's programs.
    void lintian()
    {
        if (tool("lintian").isEmpty() || tool("dpkg-shlibdeps").isEmpty())
            QSKIP("lintian or dpkg-shlibdeps is not installed (Debian packages lintian, dpkg-dev)");
        const QString out = m_work.filePath(QStringLiteral("usr-deb"));
        int code = 0;
        const QString packed = run(QStringLiteral(TAVLO_CPACK),
                                   {"-G", "DEB", "--config", kBuild + "/CPackConfig.cmake", "-B", out, "-D",
                                    "CPACK_PACKAGING_INSTALL_PREFIX=/usr"},
                                   &code);
        QVERIFY2(code == 0, qPrintable(packed));
        QStringList arguments{"--fail-on", "error,warning"};
        if (kPrefix != QLatin1String("/usr"))
            arguments << "--suppress-tags" << "desktop-command-not-in-package";
        const QStringList debs = QDir(out).entryList({QStringLiteral("tavlo_*.deb")});
        QCOMPARE(debs.size(), 1);
        const QString remarks = run(tool("lintian"), arguments << out + u'/' + debs.first(), &code);
        QVERIFY2(code == 0 && !remarks.contains(QRegularExpression(QStringLiteral("^[EW]: "), QRegularExpression::MultilineOption)),
                 qPrintable(remarks));
    }

    // A first start with an empty home. Installed, the user's data folder is filled and the
    // console writes its six lines there, and nothing is written under the prefix; a copied
    // folder stays portable. --help names the folder without a display, and creates nothing.
    void firstStart_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("installed");
        QTest::newRow("installed console") << "TAVLO" << true;
        QTest::newRow("installed viewer") << "TAVLO-Display" << true;
        QTest::newRow("portable console") << "TAVLO" << false;
    }
    void firstStart()
    {
        QFETCH(QString, program);
        QFETCH(bool, installed);
        // The programs know only the prefix they were built for; a test may write there only
        // when it lies in the build folder, as scripts/test.sh configures it.
        if (installed && !QDir::cleanPath(kPrefix).startsWith(QDir::cleanPath(kBuild) + u'/'))
            QSKIP(qPrintable("the install prefix " + kPrefix + " is outside the build folder; configure with "
                             "-DCMAKE_INSTALL_PREFIX=<build folder>/prefix to start the installed programs"));
        int code = 0;
        const QString home = m_work.filePath(QStringLiteral("home/") + QTest::currentDataTag());
        QString folder = m_work.filePath(QStringLiteral("portable"));
        if (installed) {
            QDir(kPrefix).removeRecursively();
            const QString out = run(QStringLiteral(TAVLO_CMAKE), {QStringLiteral("--install"), kBuild}, &code);
            QVERIFY2(code == 0, qPrintable(out));
            folder = home + QStringLiteral("/.local/share/TAVLO");
        } else {
            QVERIFY(QDir().mkpath(folder));
            for (const QString &file : {kBin + "/TAVLO", kData + "/TAVLO.mdb", kData + "/TAVLO-Display.hta", kData + "/TAVLO-Display.jpg"})
                QVERIFY(QFile::copy(m_stage + file, folder + u'/' + QFileInfo(file).fileName()));
        }
        const QString executable = installed ? kPrefix + u'/' + kBin + u'/' + program : folder + "/TAVLO";
        const QStringList before = filesUnder(installed ? kPrefix : folder, true);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        for (const char *name : {"XDG_DATA_HOME", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QLatin1String(name));

        const QString help = run(executable, {QStringLiteral("--help")}, &code, env);
        QVERIFY2(code == 0 && help.contains("Program folder: " + folder + (installed ? " (installed" : " (portable")), qPrintable(help));
        QCOMPARE(run(executable, {QStringLiteral("--version")}, &code, env), program + " " TAVLO_VERSION "\n");
        QCOMPARE(filesUnder(installed ? kPrefix : folder, true), before);

        // The console stays in its welcome box; the viewer runs until it is ended.
        const QString settings = folder + QStringLiteral("/TAVLO.ini");
        const QByteArray defaults = QStringLiteral("DataBase=%1/TAVLO.mdb\r\nFilePath=%1/\r\nPlayers_Per_List_Row1=15\r\n"
                                                   "Players_Per_List_Row2=10\r\nList_Width=0\r\nStart_Maximized=False\r\n")
                                        .arg(folder)
                                        .toLocal8Bit();
        const bool console = program == QLatin1String("TAVLO");
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(executable, console ? QStringList() : QStringList{QStringLiteral("--windowed")});
        QTRY_VERIFY_WITH_TIMEOUT(console ? contentOf(settings) == defaults : QFileInfo::exists(folder + "/TAVLO-Display.jpg"), 90000);
        QCOMPARE(process.state(), QProcess::Running);
        process.kill();
        process.waitForFinished();

        if (installed) {
            QCOMPARE(filesUnder(kPrefix, true), before);
            QCOMPARE(contentOf(folder + "/TAVLO.mdb"), contentOf(kPrefix + u'/' + kData + "/TAVLO.mdb"));
            QCOMPARE(QFileInfo::exists(settings), console); // the viewer only reads it
        } else {
            QVERIFY(!QFileInfo::exists(home + QStringLiteral("/.local")));
        }
    }
};

QTEST_GUILESS_MAIN(TestPackaging)
#include "tst_packaging.moc"
