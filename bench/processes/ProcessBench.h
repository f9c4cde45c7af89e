#pragma once

// What the benchmarks that start the programs as processes share: a program folder holding a
// room, a started program whose log says when it painted, and /proc's memory figures.

#include "../BenchRoom.h"

#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace bench {

// A program started with its paint reports turned on, read line by line from its error output.
class Program {
public:
    Program(const QString &path, const QStringList &arguments, const QString &logRules)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!environment.contains(QStringLiteral("DISPLAY")) && !environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), logRules);
        environment.insert(QStringLiteral("QT_FORCE_STDERR_LOGGING"), QStringLiteral("1"));
        static const QTemporaryDir runtime; // private, as the programs want it; else each start warns
        if (!environment.contains(QStringLiteral("XDG_RUNTIME_DIR")))
            environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        m_process.setProcessEnvironment(environment);
        QObject::connect(&m_process, &QProcess::readyReadStandardError, [this] { m_lines += m_process.readAllStandardError(); });
        m_process.start(path, arguments);
    }
    ~Program()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    qint64 pid() const { return m_process.processId(); }

    // The first number `pattern` captures in a line that comes before the deadline and for
    // which `accept` holds for all its captures, taking the lines up to it; nothing when none.
    std::optional<qint64> waitFor(const QRegularExpression &pattern, int milliseconds,
                                  const std::function<bool(const QRegularExpressionMatch &)> &accept = {})
    {
        QDeadlineTimer deadline(milliseconds);
        while (true) {
            qsizetype end;
            while ((end = m_lines.indexOf('\n')) >= 0) {
                const QString line = QString::fromUtf8(m_lines.left(end));
                m_lines.remove(0, end + 1);
                const QRegularExpressionMatch match = pattern.match(line);
                if (match.hasMatch() && (!accept || accept(match)))
                    return match.captured(1).toLongLong();
                if (!match.hasMatch() && !line.isEmpty() && !line.startsWith(QLatin1String("tavlo.startup:")))
                    std::fprintf(stderr, "%s\n", qPrintable(line)); // the program's own warnings
            }
            if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
                return std::nullopt;
            QEventLoop loop;
            QObject::connect(&m_process, &QProcess::readyReadStandardError, &loop, &QEventLoop::quit);
            QObject::connect(&m_process, &QProcess::finished, &loop, &QEventLoop::quit);
            QTimer::singleShot(std::max<qint64>(1, deadline.remainingTime()), &loop, &QEventLoop::quit);
            if (m_lines.indexOf('\n') < 0)
                loop.exec();
        }
    }

private:
    QProcess m_process;
    QByteArray m_lines;
};

// Megabytes of a line of /proc/<pid>/status ("VmRSS:", "VmHWM:").
inline double statusMegabytes(qint64 pid, const char *key)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t half = values.size() / 2;
    return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2;
}

inline void waitMilliseconds(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace bench
