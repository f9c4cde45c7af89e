#pragma once

// Debian's minisign, run at test time: a throwaway key pair, signatures with any trusted
// comment, and the vendor's script that lays out an update folder.

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace tavlo::test {

class MinisignTool {
public:
    MinisignTool()
    {
        m_ok = run({QStringLiteral("-G"), QStringLiteral("-W"), QStringLiteral("-p"), path("key.pub"),
                    QStringLiteral("-s"), path("key.sec")});
    }

    // False when minisign is missing or failed: the tests cannot stand without it.
    bool ok() const { return m_ok; }
    QByteArray publicKeyLine() const { return read(path("key.pub")).split('\n').value(1).trimmed(); }

    // A .minisig of the data with this trusted comment; legacy signs the data itself ("Ed").
    QByteArray sign(const QByteArray &data, const QString &trustedComment, bool legacy = false) const
    {
        write(path("data"), data);
        QStringList args{QStringLiteral("-S"), QStringLiteral("-s"), path("key.sec"), QStringLiteral("-m"),
                         path("data"), QStringLiteral("-x"), path("data.minisig"), QStringLiteral("-t"),
                         trustedComment};
        if (legacy)
            args << QStringLiteral("-l");
        return run(args) ? read(path("data.minisig")) : QByteArray();
    }

    // The update folder the vendor's script lays out, file name to content; empty on failure.
    QHash<QString, QByteArray> publish(const QString &version, const QByteArray &program,
                                       const QByteArray &bootstrap) const
    {
        write(path("program"), program);
        write(path("bootstrap"), bootstrap);
        const QString folder = path("published");
        QDir(folder).removeRecursively();
        QProcess script;
        script.start(QStringLiteral("bash"), {QStringLiteral(TAVLO_PUBLISH_SCRIPT), version, path("program"),
                                              path("bootstrap"), path("key.sec"), folder, path("key.pub")});
        if (!script.waitForFinished(30000) || script.exitStatus() != QProcess::NormalExit || script.exitCode() != 0)
            return {};
        QHash<QString, QByteArray> files;
        for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
            files.insert(name, read(folder + QLatin1Char('/') + name));
        return files;
    }

private:
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    bool run(const QStringList &args) const
    {
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("minisign"));
        if (tool.isEmpty())
            return false;
        QProcess process;
        process.start(tool, args);
        process.closeWriteChannel();
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
               && process.exitCode() == 0;
    }

    static QByteArray read(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }

    QTemporaryDir m_dir;
    bool m_ok = false;
};

} // namespace tavlo::test
