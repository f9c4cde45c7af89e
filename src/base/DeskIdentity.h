#pragma once

#include "base/Settings.h"

#include <QString>

#include <optional>

namespace tavlo {

// Who makes the changes at a console: the installation's own identity, and the machine's name
// for people to read. Machines cloned from one image share their name, so the identity, not
// the name, tells their histories apart.
struct DeskIdentity {
    QString id = {};
    QString hostName = {};
    // Made on this start: the changes this machine wrote under its name alone, before
    // installations had identities, are this one's history.
    bool isNew = false;
};

// The identity is kept in "TAVLO-Desk.id" beside TAVLO.ini: it belongs to the installation
// (each user's folder, or the portable folder), survives restarts and upgrades, and is left out
// of the settings file, whose six lines stay as they are.
QString deskIdentityPath(const QString &programFolder);

// This installation's identity and the machine's name; a folder without an identity (or with
// one that cannot be read as one) gets a new one, written at once. What failed, as the
// settings file says it.
std::optional<SettingsFile::Failure> loadDeskIdentity(const QString &programFolder, DeskIdentity &identity);

} // namespace tavlo
