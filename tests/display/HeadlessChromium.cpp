#include "HeadlessChromium.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace tavlo::test {

namespace {

constexpr int kCallTimeoutMs = 10000;

// Moves a descriptor above the ones the child will be given, closing it on exec.
int highDescriptor(int fd)
{
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 10);
    ::close(fd);
    return moved;
}

} // namespace

QString HeadlessChromium::executable()
{
    for (const char *name : {"chromium", "chromium-browser"}) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(name));
        if (!path.isEmpty())
            return path;
    }
    return {};
}

HeadlessChromium::~HeadlessChromium()
{
    stop();
}

QString HeadlessChromium::open(const QString &url)
{
    const QString program = executable();
    if (program.isEmpty())
        return QStringLiteral("chromium is not installed");
    // A browser that died must show up as a failed call, not end the test by SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    int toBrowser[2];
    int fromBrowser[2];
    if (pipe(toBrowser) != 0 || pipe(fromBrowser) != 0)
        return QStringLiteral("no pipe");
    for (int *fd : {&toBrowser[0], &toBrowser[1], &fromBrowser[0], &fromBrowser[1]})
        *fd = highDescriptor(*fd);

    const QList<QByteArray> args{
        program.toLocal8Bit(),
        "--headless",
        "--no-sandbox",
        "--disable-gpu",
        "--disable-quic",
        "--no-first-run",
        "--disable-background-networking",
        "--disable-component-update",
        "--disable-sync",
        "--allow-file-access-from-files",
        "--remote-debugging-pipe",
        "--window-size=1280,720",
        "--user-data-dir=" + m_profile.path().toLocal8Bit(),
        url.toLocal8Bit(),
    };
    QList<char *> argv;
    for (const QByteArray &arg : args)
        argv << const_cast<char *>(arg.constData());
    argv << nullptr;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toBrowser[0], 3);
    posix_spawn_file_actions_adddup2(&actions, fromBrowser[1], 4);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int failed = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toBrowser[0]);
    ::close(fromBrowser[1]);
    m_toBrowser = toBrowser[1];
    m_fromBrowser = fromBrowser[0];
    if (failed != 0) {
        m_pid = -1;
        return QStringLiteral("cannot start %1").arg(program);
    }

    // The page's target appears shortly after the start.
    QString targetId;
    const QDeadlineTimer deadline(kCallTimeoutMs);
    while (targetId.isEmpty() && !deadline.hasExpired()) {
        const QJsonObject result = call(QStringLiteral("Target.getTargets"), {});
        if (!m_error.isEmpty())
            return m_error;
        for (const QJsonValue &info : result.value(QLatin1String("targetInfos")).toArray()) {
            const QJsonObject target = info.toObject();
            if (target.value(QLatin1String("type")).toString() == QLatin1String("page"))
                targetId = target.value(QLatin1String("targetId")).toString();
        }
        if (targetId.isEmpty())
            QThread::msleep(50);
    }
    if (targetId.isEmpty())
        return QStringLiteral("no page target");
    const QJsonObject attached = call(QStringLiteral("Target.attachToTarget"),
                                      {{QStringLiteral("targetId"), targetId}, {QStringLiteral("flatten"), true}});
    m_session = attached.value(QLatin1String("sessionId")).toString();
    if (m_session.isEmpty())
        return m_error.isEmpty() ? QStringLiteral("cannot attach to the page") : m_error;
    return {};
}

QJsonValue HeadlessChromium::evaluate(const QString &expression)
{
    const QJsonObject result = call(QStringLiteral("Runtime.evaluate"),
                                    {{QStringLiteral("expression"), expression}, {QStringLiteral("returnByValue"), true}},
                                    m_session);
    if (result.contains(QLatin1String("exceptionDetails")))
        return QJsonValue(QJsonValue::Undefined);
    return result.value(QLatin1String("result")).toObject().value(QLatin1String("value"));
}

QJsonObject HeadlessChromium::call(const QString &method, const QJsonObject &params, const QString &session)
{
    m_error.clear();
    const int id = m_nextId++;
    QJsonObject message{{QStringLiteral("id"), id}, {QStringLiteral("method"), method}, {QStringLiteral("params"), params}};
    if (!session.isEmpty())
        message.insert(QStringLiteral("sessionId"), session);
    if (!send(message)) {
        m_error = QStringLiteral("cannot send %1").arg(method);
        return {};
    }
    const QDeadlineTimer deadline(kCallTimeoutMs);
    QJsonObject reply;
    while (receive(reply, int(deadline.remainingTime()))) {
        if (reply.value(QLatin1String("id")).toInt() != id)
            continue; // an event, or the answer to an earlier call
        if (reply.contains(QLatin1String("error"))) {
            m_error = method + QLatin1String(": ")
                + QString::fromUtf8(QJsonDocument(reply.value(QLatin1String("error")).toObject()).toJson());
            return {};
        }
        return reply.value(QLatin1String("result")).toObject();
    }
    m_error = QStringLiteral("no answer to %1").arg(method);
    return {};
}

bool HeadlessChromium::send(const QJsonObject &message)
{
    const QByteArray bytes = QJsonDocument(message).toJson(QJsonDocument::Compact) + '\0';
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(m_toBrowser, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

bool HeadlessChromium::receive(QJsonObject &message, int timeoutMs)
{
    const QDeadlineTimer deadline(std::max(0, timeoutMs));
    for (;;) {
        const qsizetype end = m_buffer.indexOf('\0');
        if (end >= 0) {
            message = QJsonDocument::fromJson(m_buffer.left(end)).object();
            m_buffer.remove(0, end + 1);
            return true;
        }
        pollfd wanted{m_fromBrowser, POLLIN, 0};
        const int ready = ::poll(&wanted, 1, int(deadline.remainingTime()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char chunk[65536];
        const ssize_t n = ::read(m_fromBrowser, chunk, sizeof chunk);
        if (n <= 0)
            return false;
        m_buffer.append(chunk, n);
    }
}

void HeadlessChromium::stop()
{
    if (m_pid > 0) {
        send({{QStringLiteral("id"), m_nextId++}, {QStringLiteral("method"), QStringLiteral("Browser.close")}});
        const QDeadlineTimer deadline(5000);
        while (waitpid(m_pid, nullptr, WNOHANG) == 0) {
            if (deadline.hasExpired()) {
                ::kill(m_pid, SIGKILL);
                waitpid(m_pid, nullptr, 0);
                break;
            }
            QThread::msleep(20);
        }
        m_pid = -1;
    }
    for (int *fd : {&m_toBrowser, &m_fromBrowser}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

} // namespace tavlo::test
