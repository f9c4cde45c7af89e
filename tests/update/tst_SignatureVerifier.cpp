#include "MinisignTool.h"
#include "update/SignatureVerifier.h"

#include <QTest>

using tavlo::SignatureVerifier;
using tavlo::test::MinisignTool;

class tst_SignatureVerifier : public QObject {
    Q_OBJECT

    MinisignTool ours;
    MinisignTool theirs;
    const QByteArray program = QByteArray(5000, 'P') + "end";

    static QByteArray withSignatureLine(const QByteArray &minisig, const std::function<void(QByteArray &)> &change)
    {
        QList<QByteArray> lines = minisig.split('\n');
        QByteArray decoded = QByteArray::fromBase64(lines[1]);
        change(decoded);
        lines[1] = decoded.toBase64();
        return lines.join('\n');
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(ours.ok() && theirs.ok(), "minisign is needed (Debian: apt-get install minisign)");
    }

    void verify_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("refused"); // how the reason starts; empty: the signature holds
        const QByteArray good = ours.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.2"));
        QVERIFY(!good.isEmpty());
        const QByteArray older = ours.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.1"));
        const QString changed = QStringLiteral("the signature does not match the file");
        const QString other = QStringLiteral("signed for another file or version");
        const QString notOne = QStringLiteral("not a minisign signature");

        QTest::newRow("prehashed") << good << program << QString();
        QTest::newRow("legacy") << ours.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.2"), true) << program << QString();
        QTest::newRow("tokens among others, tabs")
                << ours.sign(program, QStringLiteral("timestamp:1700000000\tfile:TAVLO.exe \tversion:1.0.2\thashed"))
                << program << QString();
        QTest::newRow("CR LF lines") << QByteArray(good).replace("\n", "\r\n") << program << QString();

        QTest::newRow("file changed") << good << program + "x" << changed;
        QTest::newRow("file truncated, same signature") << good << program.left(3) << changed;
        QTest::newRow("another key") << theirs.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.2")) << program
                                     << QStringLiteral("signed with another key");
        QTest::newRow("another key posing with our key id")
                << withSignatureLine(theirs.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.2")),
                                     [&](QByteArray &line) { line.replace(2, 8, QByteArray::fromBase64(good.split('\n')[1]).mid(2, 8)); })
                << program << changed;
        QTest::newRow("signature of an older version") << older << program << other;
        QTest::newRow("trusted comment edited") << QByteArray(older).replace("version:1.0.1", "version:1.0.2") << program
                                                << QStringLiteral("the trusted comment is not signed");
        QTest::newRow("signature of the other file") << ours.sign(program, QStringLiteral("file:bootstrap.exe version:1.0.2"))
                                                     << program << other;
        QTest::newRow("a longer file name") << ours.sign(program, QStringLiteral("file:TAVLO.exe.old version:1.0.2")) << program
                                            << other;
        QTest::newRow("version token twice")
                << ours.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.2 version:1.0.1")) << program << other;
        QTest::newRow("no version") << ours.sign(program, QStringLiteral("file:TAVLO.exe")) << program << other;
        QTest::newRow("longer version") << ours.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.22")) << program << other;
        QTest::newRow("unknown algorithm") << withSignatureLine(good, [](QByteArray &line) { line[1] = 'X'; }) << program << notOne;
        QTest::newRow("signature line too long") << withSignatureLine(good, [](QByteArray &line) { line += 'x'; }) << program
                                                 << notOne;
        QTest::newRow("a fifth line") << good.trimmed() + "\nmore\n" << program << notOne;
        QTest::newRow("trusted comment without its words")
                << QByteArray(good).replace("\ntrusted comment: ", "\ntrusted_comment: ") << program << notOne;
        QTest::newRow("signature line not base64") << QByteArray(good).replace('R', '%') << program << notOne;
        QTest::newRow("HTML page") << QByteArray("<html><body>Not Found</body></html>") << program << notOne;
    }

    void verify()
    {
        QFETCH(QByteArray, signature);
        QFETCH(QByteArray, data);
        QFETCH(QString, refused);
        const SignatureVerifier verifier = SignatureVerifier::fromText(ours.publicKeyLine());
        QVERIFY(verifier.hasKey());
        const QString reason = verifier.verify(data, signature, QStringLiteral("TAVLO.exe"), QStringLiteral("1.0.2"));
        QVERIFY2(refused.isEmpty() ? reason.isEmpty() : reason.startsWith(refused), qPrintable(reason));
    }
};

QTEST_GUILESS_MAIN(tst_SignatureVerifier)
#include "tst_SignatureVerifier.moc"
