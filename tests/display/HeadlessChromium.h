#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QTemporaryDir>

#include <sys/types.h>

namespace tavlo::test {

// Debian's chromium, headless, kept off the network, driven through its DevTools pipe
// (descriptors 3 and 4), so no port is opened. Every wait is bounded; the browser is ended
// when this object goes.
class HeadlessChromium {
public:
    HeadlessChromium() = default;
    ~HeadlessChromium();
    HeadlessChromium(const HeadlessChromium &) = delete;
    HeadlessChromium &operator=(const HeadlessChromium &) = delete;

    // The browser's program, or an empty string when it is not installed.
    static QString executable();

    // Starts the browser on a page and attaches to it; the reason on failure.
    QString open(const QString &url);

    // Evaluates a script expression in the page; an undefined value on failure.
    QJsonValue evaluate(const QString &expression);

    QString lastError() const { return m_error; }

private:
    QJsonObject call(const QString &method, const QJsonObject &params, const QString &session = {});
    bool send(const QJsonObject &message);
    bool receive(QJsonObject &message, int timeoutMs);
    void stop();

    QTemporaryDir m_profile;
    pid_t m_pid = -1;
    int m_toBrowser = -1;
    int m_fromBrowser = -1;
    QByteArray m_buffer;
    int m_nextId = 1;
    QString m_session;
    QString m_error;
};

} // namespace tavlo::test
