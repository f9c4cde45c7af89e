#pragma once

#include "FixedClock.h"
#include "platform/Connectivity.h"
#include "platform/Platform.h"
#include "RecordingProcessEnd.h"
#include "ScriptedMessageBox.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace tavlo::test {

class FixedConnectivity final : public Connectivity {
public:
    bool isOnline() override
    {
        ++probes;
        return online;
    }
    bool online = false;
    int probes = 0;
};

// A temporary program folder with the side effects answered and observed.
class TestPlatform {
public:
    TestPlatform();

    // Puts an empty database (and optionally the two display files) into the program folder.
    void addEmptyDatabase(const QString &fileName = QStringLiteral("TAVLO.mdb"));
    void addDisplayFiles();
    void writeFile(const QString &fileName, const QByteArray &bytes);
    QByteArray readFile(const QString &fileName) const;
    QString path(const QString &fileName) const;

    // Stores games with their players (stored names), in this order, into a database file.
    // Rows go in out of id order, so readers must follow listbox_order.
    using Game = QPair<QString, QStringList>;
    static void seed(const QString &databasePath, const QList<Game> &games);
    // The rows a statement returns, fields joined by '|', read through a connection of its own.
    static QStringList rows(const QString &databasePath, const QString &statement);

    QTemporaryDir dir;
    ScriptedMessageBox messages;
    RecordingProcessEnd ending;
    FixedConnectivity connectivity;
    FixedClock clock;
    Platform platform;
};

} // namespace tavlo::test
