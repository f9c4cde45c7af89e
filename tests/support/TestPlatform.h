#pragma once

#include "Connectivity.h"
#include "Platform.h"
#include "RecordingProcessEnd.h"
#include "ScriptedMessageBox.h"

#include <QString>
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

    QTemporaryDir dir;
    ScriptedMessageBox messages;
    RecordingProcessEnd ending;
    FixedConnectivity connectivity;
    Platform platform;
};

} // namespace tavlo::test
