#pragma once

// Debian's minisign, run at test time: a throwaway key pair, signatures with any trusted
// comment, and the vendor's script that lays out an update folder.

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace tavlo::test {

class MinisignTool {
public:
    MinisignTool() { m_ok = run(QStringLiteral("minisign"), {"-G", "-W", "-p", path("key.pub"), "-s", path("key.sec")}); }

    // False when minisign is missing or failed: the tests cannot stand without it.
    bool ok() const { return m_ok; }
    QByteArray publicKeyLine() const { return read("key.pub").split('\n').value(1).trimmed(); }

    // A .minisig of the data with this trusted comment; legacy signs the data itself ("Ed").
    QByteArray sign(const QByteArray &data, const QString &trustedComment, bool legacy = false) const
    {
        write("data", data);
        QStringList args{"-S", "-s", path("key.sec"), "-m", path("data"), "-x", path("data.minisig"), "-t", trustedComment};
        return run(QStringLiteral("minisign"), legacy ? args << "-l" : args) ? read("data.minisig") : QByteArray();
    }

    // The update folder as the vendor's script lays it out, file name to content; empty on failure.
    QHash<QString, QByteArray> publish(const QString &version, const QByteArray &program, const QByteArray &bootstrap) const
    {
        write("program", program);
        write("bootstrap", bootstrap);
        QHash<QString, QByteArray> files;
        if (!run(QStringLiteral("bash"), {TAVLO_PUBLISH_SCRIPT, version, path("program"), path("bootstrap"),
                                          path("key.sec"), path("published"), path("key.pub")}))
            return files;
        for (const QString &name : QDir(path("published")).entryList(QDir::Files | QDir::Hidden))
            files.insert(name, read("published/" + name));
        return files;
    }

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
    static bool run(const QString &program, const QStringList &args)
    {
        QProcess process;
        process.start(QStandardPaths::findExecutable(program), args);
        process.closeWriteChannel();
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
               && process.exitCode() == 0;
    }

    QTemporaryDir m_dir;
    bool m_ok = false;
};

} // namespace tavlo::test
