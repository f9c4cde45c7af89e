#pragma once

#include <QByteArray>
#include <QString>

namespace tavlo {

// How the update service is set up: the server, the key its files must be signed with, the
// running version and the bounds of every transfer. The program uses builtIn(); tests fill
// in their own server, key and short bounds.
struct UpdateSettings {
    // A version text is a few bytes; anything longer is no version.
    static constexpr qint64 versionFileLimit = 64;
    static constexpr qint64 signatureFileLimit = 4096;

    QString updateRoot;     // HTTP(S) root of the update server, e.g. "https://host"
    QByteArray publicKey;   // minisign public key line; empty: no update is ever offered
    QString runningVersion; // major.minor.revision
    qint64 sizeLimit = 32 * 1024 * 1024;
    int deadline = 600000;    // milliseconds one transfer may take
    int stallTimeout = 30000; // milliseconds without a byte

    // What the build was configured with (TAVLO_UPDATE_*).
    static UpdateSettings builtIn();

    // The update folder: the root followed by "/software/upgrade/tavlo/".
    QString updateFolder() const;
};

// The running program's version text: major.minor.revision in plain decimal.
QString runningVersionText();

} // namespace tavlo
