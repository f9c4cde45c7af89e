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
        const auto sign = [this](const char *comment) { return ours.sign(program, QString::fromLatin1(comment)); };
        const auto row = [this](const char *name, const QByteArray &signature, const QString &refused) {
            QTest::newRow(name) << signature << program << refused;
        };
        const QByteArray good = sign("file:TAVLO.exe version:1.0.2");
        QVERIFY(!good.isEmpty());
        const QByteArray older = sign("file:TAVLO.exe version:1.0.1");
        const QString changed = QStringLiteral("the signature does not match the file");
        const QString other = QStringLiteral("signed for another file or version");
        const QString notOne = QStringLiteral("not a minisign signature");

        row("prehashed", good, {});
        row("legacy", ours.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.2"), true), {});
        row("tokens among others, tabs", sign("timestamp:1700000000\tfile:TAVLO.exe \tversion:1.0.2\thashed"), {});
        row("CR LF lines", QByteArray(good).replace("\n", "\r\n"), {});

        QTest::newRow("file changed") << good << program + "x" << changed;
        QTest::newRow("file truncated, same signature") << good << program.left(3) << changed;
        row("another key", theirs.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.2")), QStringLiteral("signed with another key"));
        row("another key posing with our key id",
            withSignatureLine(theirs.sign(program, QStringLiteral("file:TAVLO.exe version:1.0.2")),
                              [&](QByteArray &line) { line.replace(2, 8, QByteArray::fromBase64(good.split('\n')[1]).mid(2, 8)); }),
            changed);
        row("signature of an older version", older, other);
        row("trusted comment edited", QByteArray(older).replace("version:1.0.1", "version:1.0.2"),
            QStringLiteral("the trusted comment is not signed"));
        row("signature of the other file", sign("file:bootstrap.exe version:1.0.2"), other);
        row("a longer file name", sign("file:TAVLO.exe.old version:1.0.2"), other);
        row("version token twice", sign("file:TAVLO.exe version:1.0.2 version:1.0.1"), other);
        row("no version", sign("file:TAVLO.exe"), other);
        row("longer version", sign("file:TAVLO.exe version:1.0.22"), other);
        row("unknown algorithm", withSignatureLine(good, [](QByteArray &line) { line[1] = 'X'; }), notOne);
        row("signature line too long", withSignatureLine(good, [](QByteArray &line) { line += 'x'; }), notOne);
        row("a fifth line", good.trimmed() + "\nmore\n", notOne);
        row("trusted comment without its words", QByteArray(good).replace("\ntrusted comment: ", "\ntrusted_comment: "), notOne);
        row("signature line not base64", QByteArray(good).replace('R', '%'), notOne);
        row("HTML page", QByteArray("<html><body>Not Found</body></html>"), notOne);
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
