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
        QTest::addColumn<bool>("holds");
        const QByteArray good = ours.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.2"));
        QVERIFY(!good.isEmpty());
        const QByteArray older = ours.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.1"));

        QTest::newRow("prehashed") << good << program << true;
        QTest::newRow("legacy") << ours.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.2"), true)
                                << program << true;
        QTest::newRow("tokens among others, tabs")
                << ours.sign(program, QStringLiteral("timestamp:1700000000\tfile:TAVLO.exe \tversion:1.0.2\thashed"))
                << program << true;
        QTest::newRow("CR LF lines") << QByteArray(good).replace("\n", "\r\n") << program << true;

        QTest::newRow("file changed") << good << program + "x" << false;
        QTest::newRow("file truncated, same signature") << good << program.left(3) << false;
        QTest::newRow("another key") << theirs.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.2"))
                                     << program << false;
        QTest::newRow("another key posing with our key id")
                << withSignatureLine(theirs.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.2")),
                                     [&](QByteArray &line) { line.replace(2, 8, QByteArray::fromBase64(good.split('\n')[1]).mid(2, 8)); })
                << program << false;
        QTest::newRow("signature of an older version") << older << program << false;
        QTest::newRow("trusted comment edited") << QByteArray(older).replace("version:1.0.1", "version:1.0.2")
                                                << program << false;
        QTest::newRow("signature of the other file")
                << ours.sign(program, QStringLiteral("file:bootstrap.exe version:1.0.2")) << program << false;
        QTest::newRow("version token twice")
                << ours.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.2 version:1.0.1")) << program << false;
        QTest::newRow("longer version") << ours.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.22"))
                                        << program << false;
        QTest::newRow("unknown algorithm")
                << withSignatureLine(good, [](QByteArray &line) { line[1] = 'X'; }) << program << false;
        QTest::newRow("signature line not base64") << QByteArray(good).replace('R', '%') << program << false;
        QTest::newRow("HTML page") << QByteArray("<html><body>Not Found</body></html>") << program << false;
    }

    void verify()
    {
        QFETCH(QByteArray, signature);
        QFETCH(QByteArray, data);
        QFETCH(bool, holds);
        const SignatureVerifier verifier = SignatureVerifier::fromText(ours.publicKeyLine());
        QVERIFY(verifier.hasKey());
        const QString reason = verifier.verify(data, signature, QStringLiteral("TAVLO.exe"), QStringLiteral("1.0.2"));
        QVERIFY2(reason.isEmpty() == holds, qPrintable(reason));
    }
};

QTEST_GUILESS_MAIN(tst_SignatureVerifier)
#include "tst_SignatureVerifier.moc"
