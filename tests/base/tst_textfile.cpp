#include "FullFileSystem.h"

#include "base/TextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace tavlo;
using namespace tavlo::test;

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestTextFile : public QObject {
    Q_OBJECT
private slots:
    // Small and large writes alike: a write that cannot complete leaves the old file whole and
    // says so, whether the disk is full or the file may not grow.
    void failedWriteKeepsOldFile_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("one small write") << 100;
        QTest::newRow("many blocks") << 300 * 1024;
    }

    void failedWriteKeepsOldFile()
    {
        QFETCH(int, size);
        const QByteArray old("DataBase=old\r\n");
        const QByteArray fresh(size, 'n');

        FullFileSystem disk;
        if (disk.isMounted()) {
            const QString path = disk.path(QStringLiteral("TAVLO.ini"));
            QVERIFY(writeFileAtomically(path, old).isEmpty());
            disk.fill();
            QVERIFY(!writeFileAtomically(path, fresh).isEmpty());
            QCOMPARE(contentOf(path), old);
            QCOMPARE(QDir(disk.folder()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{"TAVLO.ini"});
        }

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("TAVLO-Display.txt"));
        QVERIFY(writeFileAtomically(path, old).isEmpty());
        // Below the old file's size, so not even a part of the new text can be written.
        const int code = runWithFileSizeLimit(10, [&] { return writeFileAtomically(path, fresh).isEmpty() ? 1 : 0; });
        QCOMPARE(code, 0);
        QCOMPARE(contentOf(path), old);

        // The board's parts, unsynced: cut off inside a part, the old file stays and no new one is
        // left behind; written whole, they are the file, in order.
        const QList<QByteArray> parts{fresh.left(size / 3), QByteArray(), fresh.mid(size / 3, 7), fresh.mid(size / 3 + 7)};
        QCOMPARE(runWithFileSizeLimit(size / 2, [&] { return writeFileAtomically(path, parts, FileSync::Unsynced).isEmpty() ? 1 : 0; }), 0);
        QCOMPARE(contentOf(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"TAVLO-Display.txt"});
        QVERIFY(writeFileAtomically(path, parts, FileSync::Unsynced).isEmpty());
        QCOMPARE(contentOf(path), fresh);
    }

    void successfulWriteReplaces()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.txt"));
        QVERIFY(writeTextFileAtomically(path, {QStringLiteral("one"), QStringLiteral("two")}).isEmpty());
        QCOMPARE(contentOf(path), QByteArray("one\r\ntwo\r\n"));
        QVERIFY(writeFileAtomically(path, QByteArray()).isEmpty());
        QCOMPARE(contentOf(path), QByteArray());
        QVERIFY(!writeFileAtomically(dir.filePath(QStringLiteral("no/such/folder/a.txt")), "x").isEmpty());

        // A pipe or a device in the way is refused, never replaced by a file.
        const QString pipe = dir.filePath(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        for (const QString &special : {pipe, makeFullDevice(dir.path())})
            QVERIFY(special.isEmpty() || writeFileAtomically(special, "x").contains(QLatin1String("not a regular file")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{"a.txt"});
    }

    void controlCharactersRemoved_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("plain") << "Anna B." << "Anna B.";
        QTest::newRow("line breaks") << "Eve\r\nFAKE\nX" << "EveFAKEX";
        QTest::newRow("nul tab del") << QString::fromUtf16(u"A\u0000B\tC\u007F", 6) << "ABC";
        QTest::newRow("markup stays") << "Mal</td></tr>" << "Mal</td></tr>";
        QTest::newRow("beyond ascii stays") << QString::fromUtf16(u"Zoë ★\u00A0") << QString::fromUtf16(u"Zoë ★\u00A0");
    }

    void controlCharactersRemoved()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QCOMPARE(withoutControlCharacters(typed), kept);
    }
};

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
