#pragma once

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace tavlo::test {

// Chromium, headless and kept off the internet (it reaches files and the loopback), driven through
// its DevTools pipe, so it opens no port of its own. Every wait is bounded; the browser is ended when this object goes.
class Chromium {
public:
    ~Chromium()
    {
        call(QStringLiteral("Browser.close"), {}, QString());
        m_process.waitForFinished(5000); // else QProcess kills it
    }

    // Starts the browser and attaches to a tab on the page; whether that worked.
    bool open(const QString &program, const QString &url)
    {
        const QStringList flags = QStringLiteral("--headless --no-sandbox --disable-gpu --no-first-run --disable-sync "
                                                 "--disable-background-networking --disable-component-update "
                                                 "--allow-file-access-from-files --remote-debugging-pipe about:blank")
                                      .split(QLatin1Char(' '));
        // The shell hands the browser this process's pipes as descriptors 3 and 4, and drops its output.
        const QString shell = QStringLiteral("exec \"$0\" \"$@\" 3<&0 4>&1 >/dev/null 2>&1");
        m_process.start(QStringLiteral("/bin/sh"),
                        QStringList{QStringLiteral("-c"), shell, program, QStringLiteral("--user-data-dir=") + m_profile.path()}
                            + flags);
        const QJsonValue target = call(QStringLiteral("Target.createTarget"), {{QStringLiteral("url"), url}},
                                       QStringLiteral("targetId"));
        m_session = call(QStringLiteral("Target.attachToTarget"),
                         {{QStringLiteral("targetId"), target}, {QStringLiteral("flatten"), true}},
                         QStringLiteral("sessionId"))
                        .toString();
        return !m_session.isEmpty();
    }

    // The board's text; not innerText, which leaves out the blinking names while they are off.
    QString boardText() { return evaluate(QStringLiteral("(document.getElementById('board') || {}).textContent || ''")).toString(); }

    QJsonValue evaluate(const QString &script)
    {
        return call(QStringLiteral("Runtime.evaluate"), {{QStringLiteral("expression"), script}},
                    QStringLiteral("result"), m_session)
            .toObject()
            .value(QLatin1String("value"));
    }

private:
    // A field of the call's result; undefined on an error or after ten seconds without an answer.
    QJsonValue call(const QString &method, const QJsonObject &params, const QString &field, const QString &session = {})
    {
        QJsonObject message{{QStringLiteral("id"), ++m_id}, {QStringLiteral("method"), method}, {QStringLiteral("params"), params}};
        if (!session.isEmpty())
            message.insert(QStringLiteral("sessionId"), session);
        m_process.write(QJsonDocument(message).toJson(QJsonDocument::Compact) + '\0');
        const QDeadlineTimer deadline(10000);
        for (;;) {
            for (qsizetype end; (end = m_received.indexOf('\0')) >= 0;) {
                const QJsonObject reply = QJsonDocument::fromJson(m_received.left(end)).object();
                m_received.remove(0, end + 1);
                if (reply.value(QLatin1String("id")).toInt() == m_id) // else an event or an older answer
                    return reply.value(QLatin1String("result")).toObject().value(field);
            }
            if (!m_process.waitForReadyRead(int(deadline.remainingTime())))
                return QJsonValue::Undefined;
            m_received += m_process.readAllStandardOutput();
        }
    }

    QProcess m_process;
    QTemporaryDir m_profile;
    QByteArray m_received;
    QString m_session;
    int m_id = 0;
};

} // namespace tavlo::test
